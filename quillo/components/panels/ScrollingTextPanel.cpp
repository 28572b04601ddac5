#include "quillo/components/panels/ScrollingTextPanel.h"

#include <algorithm>

#include "platform/vcl/TypInfo.h"
#include "quillo/components/utilities/BitmapUtils.h"

QUILLO_DEFINE_ENUM_TYPE(TGlyphLayout, "glGlyphLeft", "glGlyphRight", "glGlyphTop", "glGlyphBottom")
QUILLO_DEFINE_ENUM_TYPE(TScrollDirection, "sdVertical", "sdHorizontal")
QUILLO_DEFINE_PUBLISHED_CLASS(TSecretPanel, TCustomPanel)

namespace {

// Posted by the worker: paint the text at the position reached; the end was reached.
constexpr UINT CM_SECRETPAINT = CM_BASE + 0x400;
constexpr UINT CM_SECRETSTOP = CM_BASE + 0x401;
constexpr int MaxLineLength = 255;

AnsiString Trimmed(const AnsiString& s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

}  // namespace

const TPropTable* TSecretPanel::PublishedProperties() {
  using P = TSecretPanel;
  static const TPropTable table = TPublisher<P>()
                                      .Property("AsyncDrawing", &P::GetAsyncDrawing, &P::SetAsyncDrawing)
                                      .Property("Active", &P::GetActive, &P::SetActive)
                                      .Property("Alignment", &P::GetAlignment, &P::SetAlignment)
                                      .Property("Cycled", &P::GetCycled, &P::SetCycled)
                                      .Property("Glyph", &P::GetGlyph, &P::SetGlyph)
                                      .Property("GlyphLayout", &P::GetGlyphLayout, &P::SetGlyphLayout)
                                      .Property("Interval", &P::GetInterval, &P::SetInterval)
                                      .Property("Lines", &P::GetLines, &P::SetLines)
                                      .Property("ScrollDirection", &P::GetScrollDirection, &P::SetScrollDirection)
                                      .Property("TextStyle", &P::GetTextStyle, &P::SetTextStyle)
                                      .Property("BevelInner", &P::GetBevelInner, &P::SetBevelInner)
                                      .Property("BevelOuter", &P::GetBevelOuter, &P::SetBevelOuter)
                                      .Property("BevelWidth", &P::GetBevelWidth, &P::SetBevelWidth)
                                      .Property("BorderWidth", &P::GetBorderWidth, &P::SetBorderWidth)
                                      .Table();
  return &table;
}

TSecretPanel::TSecretPanel(TComponent* owner)
    : TCustomPanel(owner), lines_(MakeObject<TStringList>()), glyph_(MakeObject<TBitmap>()) {
  controlStyle_ >> csSetCaption;
  SetBevelOuter(bvLowered);
  SetColor(clBtnFace);
  SetParentColor(false);
  timer_ = NewComponent<TExTimer>(this);
  timer_->SetEnabled(false);
  timer_->SetInterval(30);
  timer_->SetSyncEvent(false);
  timer_->SetOnTimer([this](TObject* sender) { TimerExpired(sender); });
  lines_->OnChange = [this](TObject*) { LinesChanged(); };
  glyph_->OnChange = [this](TObject*) {
    if (active_) Rebuild(false);
  };
}

TSecretPanel::~TSecretPanel() = default;

void TSecretPanel::BeforeDestruction() {
  if (!Freed()) {
    // The worker goes before anything it reads: the timer's end waits for it.
    active_ = false;
    window_ = nullptr;
    if (timer_) {
      timer_->SetOnTimer(nullptr);
      FreeObject(timer_);
      timer_ = nullptr;
    }
    memoryImage_.reset();
    lines_->OnChange = nullptr;
    glyph_->OnChange = nullptr;
  }
  TCustomPanel::BeforeDestruction();
}

void TSecretPanel::CreateWnd() {
  TCustomPanel::CreateWnd();
  window_ = GetHandle();
}

void TSecretPanel::DestroyWnd() {
  window_ = nullptr;
  TCustomPanel::DestroyWnd();
}

// ---- properties ----

void TSecretPanel::SetAsyncDrawing(bool value) {
  asyncDrawing_ = value;
  timer_->SetSyncEvent(!value);
}

void TSecretPanel::SetGlyph(TBitmap* value) {
  if (value) glyph_->Assign(value);
  else glyph_->SetSize(0, 0);
  Invalidate();
}

void TSecretPanel::SetGlyphLayout(TGlyphLayout value) {
  if (value == glyphLayout_) return;
  glyphLayout_ = value;
  if (active_) Rebuild(false);
}

void TSecretPanel::SetScrollDirection(TScrollDirection value) {
  if (value == scrollDirection_) return;
  scrollDirection_ = value;
  if (active_) Rebuild(true);
}

void TSecretPanel::SetTextStyle(TBevelCut value) {
  if (value == textStyle_) return;
  textStyle_ = value;
  if (active_) Rebuild(false);
}

void TSecretPanel::LinesChanged() {
  if (active_) Rebuild(true);
}

void TSecretPanel::Resize() {
  TCustomPanel::Resize();
  if (active_) Rebuild(false);
}

void TSecretPanel::Rebuild(bool resetPosition) {
  if (resetPosition) position_ = 0;
  if (memoryImage_) UpdateMemoryImage();
  Invalidate();
}

// ---- geometry ----

int TSecretPanel::InflateWidth() const {
  int width = GetBorderWidth();
  if (GetBevelOuter() != bvNone) width += GetBevelWidth();
  if (GetBevelInner() != bvNone) width += GetBevelWidth();
  return width;
}

void TSecretPanel::RecalcDrawRect() {
  const int inflate = InflateWidth();
  TRect client = GetClientRect();
  paintRect_ = TRect(client.left + inflate, client.top + inflate, client.right - inflate, client.bottom - inflate);
  TRect text(client.left + inflate + 3, client.top + inflate + 3, client.right - inflate - 3,
             client.bottom - inflate - 3);
  const int w = glyph_->GetWidth(), h = glyph_->GetHeight();
  TPoint origin;
  switch (glyphLayout_) {
    case glGlyphLeft:
    case glGlyphRight:
      origin.y = std::max<int>((text.top + text.bottom - h) / 2, text.top);
      if (glyphLayout_ == glGlyphLeft) {
        origin.x = text.left;
        if (w > 0) {
          origin.x += 3;
          text.left = origin.x + w + inflate + 3;
        }
      } else {
        origin.x = text.right - w;
        if (w > 0) {
          origin.x = std::max<int>(origin.x - 3, text.left);
          text.right = origin.x - (inflate + 3);
        }
      }
      break;
    case glGlyphTop:
    case glGlyphBottom:
      origin.x = std::max<int>((text.left + text.right - w) / 2, text.left);
      if (glyphLayout_ == glGlyphTop) {
        origin.y = text.top;
        if (h > 0) {
          origin.y += 3;
          text.top = origin.y + h + inflate + 6;
        }
      } else {
        origin.y = text.bottom - h;
        if (h > 0) {
          origin.y = std::max<int>(origin.y - 3, text.top);
          text.bottom = origin.y - (inflate + 6);
        }
      }
      break;
  }
  glyphOrigin_ = origin;
  if (scrollDirection_ == sdHorizontal) {
    int last = lines_->Count() - 1;
    while (last >= 0 && Trimmed(lines_->Get(last)).empty()) --last;
    const int spare = text.Height() - (last + 1 - firstLine_) * lineHeight_;
    if (spare > 0) {
      text.top += spare / 2;
      text.bottom -= spare / 2;
    }
  }
  if (text.Width() <= 0 || text.Height() <= 0) text = TRect(0, 0, 0, 0);
  textRect_ = text;
}

void TSecretPanel::UpdateMemoryImage() {
  if (!memoryImage_) memoryImage_ = MakeObject<TBitmap>();
  TCanvas* c = memoryImage_->GetCanvas();
  c->Lock();
  try {
    firstLine_ = 0;
    while (firstLine_ < lines_->Count() && Trimmed(lines_->Get(firstLine_)).empty()) ++firstLine_;
    c->SetFont(GetFont());
    TEXTMETRIC tm{};
    GetTextMetrics(c->GetHandle(), &tm);
    lineHeight_ = static_cast<unsigned char>(tm.tmHeight + tm.tmExternalLeading + (textStyle_ != bvNone ? 1 : 0));
    if (lineHeight_ == 0) lineHeight_ = 1;
    RecalcDrawRect();
    if (scrollDirection_ == sdVertical) {
      scrollLength_ = textRect_.Height() + (lines_->Count() - firstLine_) * lineHeight_;
    } else {
      int widest = 0;
      for (int i = 0; i < lines_->Count(); ++i) widest = std::max(widest, c->TextWidth(lines_->Get(i)));
      scrollLength_ = widest + textRect_.Width();
    }
    memoryImage_->SetSize(textRect_.Width(), textRect_.Height());
    c->SetFont(GetFont());
    c->GetBrush()->SetColor(GetColor());
    c->GetBrush()->SetStyle(bsClear);
  } catch (...) {
    c->Unlock();
    throw;
  }
  c->Unlock();
}

// ---- painting (user-interface thread only) ----

void TSecretPanel::PaintText() {
  if (!memoryImage_ || lines_->Count() == 0 || textRect_.Width() <= 0 || textRect_.Height() <= 0 ||
      !HandleAllocated())
    return;
  TCanvas* image = memoryImage_->GetCanvas();
  image->Lock();
  try {
    const int tw = textRect_.Width(), th = textRect_.Height();
    TRect client(paintRect_.left - textRect_.left, paintRect_.top - textRect_.top, paintRect_.right - textRect_.left,
                 paintRect_.bottom - textRect_.top);
    image->GetBrush()->SetStyle(bsSolid);
    image->GetBrush()->SetColor(GetColor());
    PaintClient(image, client);
    HDC dc = image->GetHandle();
    SetBkMode(dc, TRANSPARENT);
    const int position = position_.load();
    TRect r(0, 0, tw, th);
    if (scrollDirection_ == sdVertical) {
      r.top = th - position;
    } else {
      r.left = tw - position;
      r.right = r.left + scrollLength_.load() - tw;
    }
    r.bottom = r.top + lineHeight_;
    UINT flags = DT_EXPANDTABS | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX;
    switch (GetAlignment()) {
      case taLeftJustify: flags |= DT_LEFT; break;
      case taRightJustify: flags |= DT_RIGHT; break;
      default: flags |= DT_CENTER; break;
    }
    const COLORREF textColour = ColorToRGB(GetFont()->GetColor());
    for (int i = firstLine_; i < lines_->Count() && r.top < th; ++i) {
      const AnsiString line = lines_->Get(i).substr(0, MaxLineLength);
      if (r.bottom > 0) {
        if (textStyle_ == bvLowered || textStyle_ == bvRaised) {
          const int d = textStyle_ == bvLowered ? 1 : -1;
          RECT shade{r.left + d, r.top + d, r.right + d, r.bottom + d};
          SetTextColor(dc, ColorToRGB(clBtnHighlight));
          ::DrawText(dc, line.c_str(), -1, &shade, flags);
        }
        RECT rr = r;
        SetTextColor(dc, textColour);
        ::DrawText(dc, line.c_str(), -1, &rr, flags);
      }
      r.top += lineHeight_;
      r.bottom += lineHeight_;
    }
    TCanvas* panel = GetCanvas();
    panel->Lock();
    try {
      BitBlt(panel->GetHandle(), textRect_.left, textRect_.top, tw, th, dc, 0, 0, SRCCOPY);
    } catch (...) {
      panel->Unlock();
      throw;
    }
    panel->Unlock();
    RECT valid = textRect_;
    ValidateRect(GetHandle(), &valid);
  } catch (...) {
    image->Unlock();
    throw;
  }
  image->Unlock();
}

void TSecretPanel::PaintClient(TCanvas* canvas, TRect& rect) {
  if (OnPaintClient) {
    OnPaintClient(this, canvas, rect);
    return;
  }
  canvas->FillRect(rect);
}

void TSecretPanel::Paint() {
  TCanvas* c = GetCanvas();
  TRect r = GetClientRect();
  auto bevel = [&](TBevelCut cut) {
    if (cut == bvNone) return;
    const bool lowered = cut == bvLowered;
    Frame3D(c, r, lowered ? clBtnShadow : clBtnHighlight, lowered ? clBtnHighlight : clBtnShadow, GetBevelWidth());
  };
  bevel(GetBevelOuter());
  Frame3D(c, r, GetColor(), GetColor(), GetBorderWidth());
  bevel(GetBevelInner());
  HDC dc = c->GetHandle();
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
  c->GetBrush()->SetColor(GetColor());
  c->GetBrush()->SetStyle(bsSolid);
  PaintClient(c, r);
  RestoreDC(dc, saved);
  if (active_ && !glyph_->Empty()) DrawBitmapTransparent(c, glyphOrigin_.x, glyphOrigin_.y, glyph_.get(), clDefault);
  if (active_ && memoryImage_) PaintText();
}

// ---- playing ----

void TSecretPanel::SetActive(bool value) {
  if (value == active_) return;
  if (value) {
    position_ = 0;
    try {
      active_ = true;
      UpdateMemoryImage();
      timer_->SetEnabled(true);
      StartPlay();
    } catch (...) {
      active_ = false;
      timer_->SetEnabled(false);
      memoryImage_.reset();
      throw;
    }
  } else {
    active_ = false;
    if (memoryImage_) memoryImage_->GetCanvas()->Lock();
    timer_->SetEnabled(false);
    position_ = 0;
    if (memoryImage_) memoryImage_->GetCanvas()->Unlock();
    memoryImage_.reset();
    StopPlay();
  }
  if (!ComponentState().Contains(csDestroying)) {
    if (value) {
      hiddenControls_.clear();
      for (int i = 0; i < ControlCount(); ++i) {
        TControl* child = Controls(i);
        if (!child->GetVisible()) continue;
        hiddenControls_.push_back(child);
        if (!ComponentState().Contains(csDesigning)) child->Hide();
      }
    } else {
      for (TControl* child : hiddenControls_) {
        child->Show();
        child->Invalidate();
      }
      hiddenControls_.clear();
    }
  }
  Invalidate();
}

void TSecretPanel::StartPlay() {
  if (OnStartPlay) OnStartPlay(this);
}

void TSecretPanel::StopPlay() {
  if (OnStopPlay) OnStopPlay(this);
}

void TSecretPanel::PostToWindow(UINT message) {
  std::atomic<bool>& pending = message == CM_SECRETPAINT ? paintPosted_ : stopPosted_;
  if (pending.exchange(true)) return;  // one waiting post is enough
  HWND window = window_.load();
  if (!window || !PostMessage(window, message, 0, 0)) pending = false;
}

void TSecretPanel::TimerExpired(TObject*) {
  if (!active_) return;
  const int length = scrollLength_.load();
  const int position = position_.load();
  const bool onWorker = asyncDrawing_;
  if (position < length) {
    position_ = position + 1;
  } else if (cycled_) {
    position_ = 0;
  } else {
    if (onWorker) PostToWindow(CM_SECRETSTOP);
    else Stop();
    return;
  }
  if (onWorker) PostToWindow(CM_SECRETPAINT);
  else PaintText();
}

void TSecretPanel::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CM_SECRETPAINT:
      paintPosted_ = false;
      if (active_) PaintText();
      return;
    case CM_SECRETSTOP:
      stopPosted_ = false;
      if (active_ && !cycled_ && position_.load() >= scrollLength_.load()) Stop();
      return;
    case CM_FONTCHANGED:
    case CM_COLORCHANGED:
      TCustomPanel::Dispatch(m);
      if (active_) Rebuild(false);
      return;
    default:
      TCustomPanel::Dispatch(m);
  }
}
