#include "platform/vcl/Buttons.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/controls/Button.h"
#include "platform/vcl/Form.h"

QUILLO_DEFINE_ENUM_TYPE(TButtonLayout, "blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom")
QUILLO_DEFINE_ENUM_TYPE(TButtonStyle, "bsAutoDetect", "bsWin31", "bsNew")
QUILLO_DEFINE_ENUM_TYPE(TBitBtnKind, "bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo", "bkClose", "bkAbort",
                        "bkRetry", "bkIgnore", "bkAll")

namespace {

// The luminance of a colour, 0 to 255.
int Luma(COLORREF c) { return (77 * GetRValue(c) + 150 * GetGValue(c) + 29 * GetBValue(c)) >> 8; }

}  // namespace

// --- TButtonGlyph ---------------------------------------------------------------------------

TButtonGlyph::TButtonGlyph() : glyph_(MakeObject<TBitmap>()) {
  glyph_->OnChange = [this](TObject*) { GlyphChanged(); };
}

void TButtonGlyph::GlyphChanged() {
  // A strip whose width is a whole number of squares has that many cells.
  int w = glyph_->GetWidth(), h = glyph_->GetHeight();
  if (h > 0 && w % h == 0 && w / h >= 1 && w / h <= 4) numGlyphs_ = w / h;
  if (OnChange) OnChange();
}

TButtonGlyph::~TButtonGlyph() { glyph_->OnChange = nullptr; }

void TButtonGlyph::SetGlyph(TBitmap* bitmap) {
  if (bitmap) glyph_->Assign(bitmap);
  else glyph_->SetSize(0, 0);
  GlyphChanged();
}

void TButtonGlyph::SetNumGlyphs(TNumGlyphs value) {
  value = std::clamp(value, 1, 4);
  if (value == numGlyphs_) return;
  numGlyphs_ = value;
  if (OnChange) OnChange();
}

SIZE TButtonGlyph::CellSize() const {
  if (glyph_->Empty()) return SIZE{0, 0};
  return SIZE{glyph_->GetWidth() / numGlyphs_, glyph_->GetHeight()};
}

void TButtonGlyph::DrawGlyph(TCanvas* canvas, const TPoint& at, TButtonState state) {
  SIZE cell = CellSize();
  if (cell.cx <= 0 || cell.cy <= 0) return;
  int index = static_cast<int>(state);
  if (index >= numGlyphs_) index = 0;
  bool emboss = state == bsDisabled && index == 0;
  TCanvas* source = glyph_->GetCanvas();
  TColor transparent = ColorToRGB(glyph_->GetTransparentColor() & 0xFFFFFF);
  std::vector<COLORREF> pixels(static_cast<size_t>(cell.cx) * cell.cy);
  for (int y = 0; y < cell.cy; ++y)
    for (int x = 0; x < cell.cx; ++x) pixels[y * cell.cx + x] = ColorToRGB(source->GetPixel(index * cell.cx + x, y));
  HDC dc = canvas->GetHandle();
  auto put = [&](int x, int y, COLORREF c) { ::SetPixel(dc, at.x + x, at.y + y, c); };
  if (!emboss) {
    for (int y = 0; y < cell.cy; ++y)
      for (int x = 0; x < cell.cx; ++x)
        if (pixels[y * cell.cx + x] != static_cast<COLORREF>(transparent)) put(x, y, pixels[y * cell.cx + x]);
    return;
  }
  // Disabled: the dark pixels engraved, a highlight one pixel down and right, the shadow above.
  COLORREF highlight = ColorToRGB(clBtnHighlight), shadow = ColorToRGB(clBtnShadow);
  auto dark = [&](int x, int y) {
    COLORREF c = pixels[y * cell.cx + x];
    return c != static_cast<COLORREF>(transparent) && Luma(c) < 192;
  };
  for (int y = 0; y < cell.cy; ++y)
    for (int x = 0; x < cell.cx; ++x)
      if (dark(x, y)) put(x + 1, y + 1, highlight);
  for (int y = 0; y < cell.cy; ++y)
    for (int x = 0; x < cell.cx; ++x)
      if (dark(x, y)) put(x, y, shadow);
}

void TButtonGlyph::DrawText(TCanvas* canvas, const AnsiString& caption, const TRect& bounds, TButtonState state,
                            UINT textFlags) {
  HDC dc = canvas->GetHandle();
  SetBkMode(dc, TRANSPARENT);
  UINT flags = DT_CENTER | DT_VCENTER | textFlags;
  RECT r = bounds;
  if (state == bsDisabled) {
    RECT below = r;
    OffsetRect(&below, 1, 1);
    SetTextColor(dc, ColorToRGB(clBtnHighlight));
    ::DrawText(dc, caption.c_str(), -1, &below, flags);
    SetTextColor(dc, ColorToRGB(clBtnShadow));
    ::DrawText(dc, caption.c_str(), -1, &r, flags);
    return;
  }
  SetTextColor(dc, ColorToRGB(canvas->GetFont()->GetColor()));
  ::DrawText(dc, caption.c_str(), -1, &r, flags);
}

void TButtonGlyph::CalcLayout(TCanvas* canvas, const TRect& client, const AnsiString& caption, TButtonLayout layout,
                              int margin, int spacing, TPoint& glyphPos, TRect& textBounds, UINT textFlags) {
  SIZE clientSize{client.Width(), client.Height()};
  SIZE glyphSize = CellSize();
  SIZE textSize{0, 0};
  if (!caption.empty()) {
    RECT r{0, 0, clientSize.cx, 0};
    ::DrawText(canvas->GetHandle(), caption.c_str(), -1, &r, DT_CALCRECT | textFlags);
    textSize = SIZE{r.right - r.left, r.bottom - r.top};
  }
  bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
  // Centred across the layout's axis.
  if (horizontal) {
    glyphPos.y = (clientSize.cy - glyphSize.cy + 1) / 2;
    textBounds.top = (clientSize.cy - textSize.cy + 1) / 2;
  } else {
    glyphPos.x = (clientSize.cx - glyphSize.cx + 1) / 2;
    textBounds.left = (clientSize.cx - textSize.cx + 1) / 2;
  }
  if (textSize.cx == 0 || glyphSize.cx == 0) spacing = 0;
  int along = horizontal ? clientSize.cx : clientSize.cy;
  int glyphAlong = horizontal ? glyphSize.cx : glyphSize.cy;
  int textAlong = horizontal ? textSize.cx : textSize.cy;
  if (margin == -1) {
    if (spacing == -1) {
      int total = glyphAlong + textAlong;
      margin = (along - total) / 3;
      spacing = margin;
    } else {
      int total = glyphAlong + spacing + textAlong;
      margin = (along - total + 1) / 2;
    }
  } else if (spacing == -1) {
    int rest = along - (margin + glyphAlong);
    spacing = (rest - textAlong) / 2;
  }
  switch (layout) {
    case blGlyphLeft:
      glyphPos.x = margin;
      textBounds.left = glyphPos.x + glyphSize.cx + spacing;
      break;
    case blGlyphRight:
      glyphPos.x = clientSize.cx - margin - glyphSize.cx;
      textBounds.left = glyphPos.x - spacing - textSize.cx;
      break;
    case blGlyphTop:
      glyphPos.y = margin;
      textBounds.top = glyphPos.y + glyphSize.cy + spacing;
      break;
    case blGlyphBottom:
      glyphPos.y = clientSize.cy - margin - glyphSize.cy;
      textBounds.top = glyphPos.y - spacing - textSize.cy;
      break;
  }
  textBounds.right = textBounds.left + textSize.cx;
  textBounds.bottom = textBounds.top + textSize.cy;
  glyphPos.x += client.left;
  glyphPos.y += client.top;
  OffsetRect(&textBounds, client.left, client.top);
}

TRect TButtonGlyph::Draw(TCanvas* canvas, const TRect& client, const TPoint& offset, const AnsiString& caption,
                         TButtonLayout layout, int margin, int spacing, TButtonState state, bool, UINT textFlags) {
  TPoint glyphPos;
  TRect textBounds;
  CalcLayout(canvas, client, caption, layout, margin, spacing, glyphPos, textBounds, textFlags);
  glyphPos.x += offset.x;
  glyphPos.y += offset.y;
  OffsetRect(&textBounds, offset.x, offset.y);
  DrawGlyph(canvas, glyphPos, state);
  if (!caption.empty()) DrawText(canvas, caption, textBounds, state, textFlags);
  return textBounds;
}

TRect DrawButtonFace(TCanvas* canvas, const TRect& client, int, TButtonStyle style, bool, bool isDown, bool isFocused) {
  HDC dc = canvas->GetHandle();
  RECT r = client;
  if (isFocused) {
    FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(&r, -1, -1);
  }
  if (style == bsWin31) {
    FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(&r, -1, -1);
  }
  if (isDown && isFocused) {
    FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
    InflateRect(&r, -1, -1);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  } else {
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (isDown ? DFCS_PUSHED : 0));
  }
  return TRect(r);
}

// --- TSpeedButton ---------------------------------------------------------------------------

QUILLO_DEFINE_PUBLISHED_CLASS(TSpeedButton, TGraphicControl)

const TPropTable* TSpeedButton::PublishedProperties() {
  static const TPropTable table =
      TPublisher<TSpeedButton>()
          .Property("AllowAllUp", &TSpeedButton::GetAllowAllUp, &TSpeedButton::SetAllowAllUp)
          .Property("Down", &TSpeedButton::GetDown, &TSpeedButton::SetDown)
          .Property("Flat", &TSpeedButton::GetFlat, &TSpeedButton::SetFlat)
          .Property("Glyph", &TSpeedButton::GetGlyph, &TSpeedButton::SetGlyph)
          .Property("GroupIndex", &TSpeedButton::GetGroupIndex, &TSpeedButton::SetGroupIndex)
          .Property("Layout", &TSpeedButton::GetLayout, &TSpeedButton::SetLayout)
          .Property("Margin", &TSpeedButton::GetMargin, &TSpeedButton::SetMargin)
          .Property("NumGlyphs", &TSpeedButton::GetNumGlyphs, &TSpeedButton::SetNumGlyphs)
          .Property("Spacing", &TSpeedButton::GetSpacing, &TSpeedButton::SetSpacing)
          .Property("Transparent", &TSpeedButton::GetTransparent, &TSpeedButton::SetTransparent)
          .Table();
  return &table;
}

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner), glyph_(std::make_unique<TButtonGlyph>()) {
  controlStyle_ = TControlStyle{csCaptureMouse, csDoubleClicks, csOpaque};
  SetBounds(0, 0, 23, 22);
  glyph_->OnChange = [this] { Invalidate(); };
}

TSpeedButton::~TSpeedButton() { glyph_->OnChange = nullptr; }

void TSpeedButton::SetGroupIndex(int value) {
  if (value == groupIndex_) return;
  groupIndex_ = value;
  UpdateExclusive();
}

void TSpeedButton::SetDown(bool value) {
  if (groupIndex_ == 0) value = false;
  if (value == down_) return;
  if (down_ && !allowAllUp_) return;
  down_ = value;
  if (value) {
    if (state_ == bsUp) Invalidate();
    state_ = bsExclusive;
  } else {
    state_ = bsUp;
  }
  Invalidate();
  if (value) UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool value) {
  if (value == allowAllUp_) return;
  allowAllUp_ = value;
  UpdateExclusive();
}

void TSpeedButton::SetFlat(bool value) {
  if (value == flat_) return;
  flat_ = value;
  Invalidate();
}

void TSpeedButton::SetGlyph(TBitmap* bitmap) { glyph_->SetGlyph(bitmap); }

void TSpeedButton::SetNumGlyphs(TNumGlyphs value) { glyph_->SetNumGlyphs(value); }

void TSpeedButton::SetLayout(TButtonLayout value) {
  if (value == layout_) return;
  layout_ = value;
  Invalidate();
}

void TSpeedButton::SetMargin(int value) {
  if (value == margin_ || value < -1) return;
  margin_ = value;
  Invalidate();
}

void TSpeedButton::SetSpacing(int value) {
  if (value == spacing_) return;
  spacing_ = value;
  Invalidate();
}

void TSpeedButton::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  if (value) controlStyle_ >> csOpaque;
  else controlStyle_ << csOpaque;
  Invalidate();
}

void TSpeedButton::UpdateExclusive() {
  if (groupIndex_ == 0 || !GetParent()) return;
  // The sender travels as a TObject, so that every button class on the parent can check what it is.
  TMessage m{CM_BUTTONPRESSED, static_cast<WPARAM>(groupIndex_), reinterpret_cast<LPARAM>(static_cast<TObject*>(this)), 0};
  GetParent()->Broadcast(m);
}

void TSpeedButton::ButtonPressed(int groupIndex, TSpeedButton* sender) {
  if (groupIndex != groupIndex_ || !sender || sender == this) return;
  if (sender->down_ && down_) {
    down_ = false;
    state_ = bsUp;
    Invalidate();
  }
  allowAllUp_ = sender->allowAllUp_;
}

void TSpeedButton::Paint() {
  if (!GetEnabled()) {
    state_ = bsDisabled;
    dragging_ = false;
  } else if (state_ == bsDisabled) {
    state_ = down_ && groupIndex_ ? bsExclusive : bsUp;
  }
  TCanvas* canvas = GetCanvas();
  canvas->SetFont(GetFont());
  TRect r = GetClientRect();
  HDC dc = canvas->GetHandle();
  bool pressed = state_ == bsDown || state_ == bsExclusive;
  if (!transparent_) FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  RECT inner = r;
  if (!flat_) {
    DrawFrameControl(dc, &inner, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pressed ? DFCS_PUSHED : 0) |
                                                 (transparent_ ? DFCS_TRANSPARENT : 0));
  } else {
    if ((mouseInControl_ && GetEnabled()) || pressed)
      DrawEdge(dc, &inner, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    InflateRect(&inner, -1, -1);
  }
  if (state_ == bsExclusive && !transparent_ && (!flat_ || !mouseInControl_)) {
    // A button stuck down shows the dither of face and highlight.
    COLORREF face = ColorToRGB(clBtnFace), light = ColorToRGB(clBtnHighlight);
    for (int y = inner.top; y < inner.bottom; ++y)
      for (int x = inner.left; x < inner.right; ++x) ::SetPixel(dc, x, y, ((x + y) & 1) ? light : face);
  }
  TPoint offset(pressed ? 1 : 0, pressed ? 1 : 0);
  glyph_->Draw(canvas, TRect(inner), offset, GetCaption(), layout_, margin_, spacing_, state_, transparent_, 0);
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button == mbLeft && GetEnabled()) {
    if (!down_) {
      state_ = bsDown;
      Invalidate();
    }
    dragging_ = true;
  }
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::MouseMove(shift, x, y);
  if (!dragging_) return;
  TButtonState next = down_ ? bsExclusive : bsUp;
  if (x >= 0 && x < GetClientWidth() && y >= 0 && y < GetClientHeight()) next = down_ ? bsExclusive : bsDown;
  if (next != state_) {
    state_ = next;
    Invalidate();
  }
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseUp(button, shift, x, y);
  if (!dragging_) return;
  dragging_ = false;
  bool doClick = x >= 0 && x < GetClientWidth() && y >= 0 && y < GetClientHeight();
  if (groupIndex_ == 0) {
    state_ = bsUp;
    Invalidate();
  } else if (doClick) {
    SetDown(!down_);
    if (down_) state_ = bsExclusive;
    Invalidate();
  } else {
    if (down_) state_ = bsExclusive;
    Invalidate();
  }
  if (doClick) Click();
}

void TSpeedButton::Click() { TGraphicControl::Click(); }

void TSpeedButton::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TSpeedButton::MouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}

void TSpeedButton::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CM_BUTTONPRESSED:
      // Other button classes broadcast it too: only a speed button's group is this one's.
      ButtonPressed(static_cast<int>(m.WParam), dynamic_cast<TSpeedButton*>(reinterpret_cast<TObject*>(m.LParam)));
      return;
    case CM_MOUSEENTER:
      if (!mouseInControl_ && GetEnabled()) {
        mouseInControl_ = true;
        if (flat_) Invalidate();
        MouseEnter();
      }
      return;
    case CM_MOUSELEAVE:
      if (mouseInControl_ && !dragging_) {
        mouseInControl_ = false;
        if (flat_) Invalidate();
        MouseLeave();
      }
      return;
    case CM_DIALOGCHAR:
      if (IsAccel(m.WParam, GetCaption()) && GetEnabled() && GetVisible() && GetParent() && GetParent()->Showing()) {
        Click();
        m.Result = 1;
      }
      return;
    case CM_ENABLEDCHANGED: case CM_SYSCOLORCHANGE: case CM_TEXTCHANGED: case CM_FONTCHANGED:
      TGraphicControl::Dispatch(m);
      Invalidate();
      return;
    case WM_LBUTTONDBLCLK:
      TGraphicControl::Dispatch(m);
      if (down_) DblClick();
      return;
  }
  TGraphicControl::Dispatch(m);
}

// --- The standard bit-button glyphs ---------------------------------------------------------

namespace {

struct KindInfo {
  const char* caption;
  TModalResult result;
  std::vector<const char*> glyph;  // '.' transparent; g r b k y: green, red, blue, black, yellow
};

const KindInfo& InfoOf(TBitBtnKind kind) {
  static const KindInfo none{"", mrNone, {}};
  static const KindInfo infos[] = {
      {VclText::OKButton, mrOk, {"..........g", ".........gg", "........gg.", "g......gg..", "gg....gg...",
                                 ".gg..gg....", "..gggg.....", "...gg......"}},
      {VclText::CancelButton, mrCancel, {"rr.....rr", ".rr...rr.", "..rr.rr..", "...rrr...", "..rr.rr..",
                                         ".rr...rr.", "rr.....rr"}},
      {VclText::HelpButton, mrNone, {"..bbbbb..", ".bb...bb.", ".....bb..", "....bb...", "....bb...", ".........",
                                     "....bb..."}},
      {VclText::YesButton, mrYes, {"..........g", ".........gg", "........gg.", "g......gg..", "gg....gg...",
                                   ".gg..gg....", "..gggg.....", "...gg......"}},
      {VclText::NoButton, mrNo, {"..rrrrr..", ".rr...rr.", "rr...rrrr", "rr..rr.rr", "rr.rr..rr", "rrrr...rr",
                                 ".rr...rr.", "..rrrrr.."}},
      {VclText::CloseButton, mrNone, {"kkkkkkk.", "k.....k.", "k.....k.", "k..y..k.", "k.....k.", "k.....k.",
                                      "kkkkkkk."}},
      {VclText::AbortButton, mrAbort, {"rr.....rr", ".rr...rr.", "..rr.rr..", "...rrr...", "..rr.rr..",
                                       ".rr...rr.", "rr.....rr"}},
      {VclText::RetryButton, mrRetry, {"..gggg.g", ".gg..ggg", "gg...ggg", "gg......", "gg......", ".gg..gg.",
                                       "..gggg.."}},
      {VclText::IgnoreButton, mrIgnore, {"...k...", "..kkk..", "...k...", "..kkk..", ".k.k.k.", "...k...",
                                         "..k.k..", ".k...k."}},
      {VclText::AllButton, mrAll, {"........g..g", ".......gg.gg", "g.....gg.gg.", "gg...gg.gg..", ".gg.gg.gg...",
                                   "..ggg.gg....", "...g..g....."}},
  };
  if (kind == bkCustom) return none;
  return infos[static_cast<int>(kind) - 1];
}

}  // namespace

const char* StandardButtonCaption(TBitBtnKind kind) { return InfoOf(kind).caption; }

TOwnedPtr<TBitmap> StandardButtonGlyph(TBitBtnKind kind) {
  const KindInfo& info = InfoOf(kind);
  if (info.glyph.empty()) return nullptr;
  int height = static_cast<int>(info.glyph.size()), width = 0;
  for (const char* row : info.glyph) width = std::max<int>(width, static_cast<int>(std::strlen(row)));
  auto bitmap = MakeObject<TBitmap>();
  bitmap->SetSize(width + 2, height + 2);
  TCanvas* c = bitmap->GetCanvas();
  const TColor background = clOlive;
  c->GetBrush()->SetColor(background);
  c->FillRect(TRect(0, 0, width + 2, height + 2));
  for (int y = 0; y < height; ++y)
    for (int x = 0; info.glyph[y][x]; ++x) {
      TColor colour = background;
      switch (info.glyph[y][x]) {
        case 'g': colour = clGreen; break;
        case 'r': colour = clMaroon; break;
        case 'b': colour = clNavy; break;
        case 'k': colour = clBlack; break;
        case 'y': colour = clYellow; break;
      }
      if (colour != background) c->SetPixel(x + 1, y + 1, colour);
    }
  return bitmap;
}

// --- TBitBtn --------------------------------------------------------------------------------

QUILLO_DEFINE_PUBLISHED_CLASS(TBitBtn, TButton)

const TPropTable* TBitBtn::PublishedProperties() {
  static const TPropTable table = TPublisher<TBitBtn>()
                                      .Property("Glyph", &TBitBtn::GetGlyph, &TBitBtn::SetGlyph)
                                      .Property("Kind", &TBitBtn::GetKind, &TBitBtn::SetKind)
                                      .Property("Layout", &TBitBtn::GetLayout, &TBitBtn::SetLayout)
                                      .Property("Margin", &TBitBtn::GetMargin, &TBitBtn::SetMargin)
                                      .Property("NumGlyphs", &TBitBtn::GetNumGlyphs, &TBitBtn::SetNumGlyphs)
                                      .Property("Spacing", &TBitBtn::GetSpacing, &TBitBtn::SetSpacing)
                                      .Property("Style", &TBitBtn::GetStyle, &TBitBtn::SetStyle)
                                      .Table();
  return &table;
}

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner), glyph_(std::make_unique<TButtonGlyph>()) {
  glyph_->OnChange = [this] {
    if (HandleAllocated()) InvalidateRect(GetHandle(), nullptr, FALSE);
  };
}

TBitBtn::~TBitBtn() { glyph_->OnChange = nullptr; }

void TBitBtn::CreateParams(TCreateParams& p) {
  TButton::CreateParams(p);
  p.Style = (p.Style & ~BS_TYPEMASK) | BS_OWNERDRAW;
}

void TBitBtn::CopyKindGlyph() {
  TOwnedPtr<TBitmap> glyph = StandardButtonGlyph(kind_);
  glyph_->SetGlyph(glyph.get());
  glyph_->SetNumGlyphs(1);
}

void TBitBtn::SetKind(TBitBtnKind kind) {
  if (kind == kind_) return;
  kind_ = kind;
  if (kind == bkCustom) return;
  SetCaption(StandardButtonCaption(kind));
  SetModalResult(InfoOf(kind).result);
  SetDefault(kind == bkOK || kind == bkYes);
  SetCancel(kind == bkCancel || kind == bkNo);
  CopyKindGlyph();
  modifiedGlyph_ = false;
}

void TBitBtn::SetGlyph(TBitmap* bitmap) {
  glyph_->SetGlyph(bitmap);
  modifiedGlyph_ = true;
}

void TBitBtn::SetNumGlyphs(TNumGlyphs value) { glyph_->SetNumGlyphs(value); }

void TBitBtn::SetLayout(TButtonLayout value) {
  if (value == layout_) return;
  layout_ = value;
  Invalidate();
}

void TBitBtn::SetMargin(int value) {
  if (value == margin_ || value < -1) return;
  margin_ = value;
  Invalidate();
}

void TBitBtn::SetSpacing(int value) {
  if (value == spacing_) return;
  spacing_ = value;
  Invalidate();
}

void TBitBtn::SetStyle(TButtonStyle value) {
  if (value == style_) return;
  style_ = value;
  Invalidate();
}

void TBitBtn::SetButtonStyle(bool isDefault) {
  // An owner-drawn button draws its default frame itself.
  if (isDefault == isFocused_) return;
  isFocused_ = isDefault;
  if (HandleAllocated()) InvalidateRect(GetHandle(), nullptr, FALSE);
}

void TBitBtn::Click() {
  if (kind_ == bkClose) {
    if (TCustomForm* form = GetParentForm(this)) {
      form->Close();
      return;
    }
  }
  TButton::Click();
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& item) {
  auto canvas = MakeObject<TCanvas>();
  canvas->SetHandle(item.hDC);
  canvas->SetFont(GetFont());
  TRect r = item.rcItem;
  bool isDown = item.itemState & ODS_SELECTED;
  bool isDefault = isFocused_ || (item.itemState & ODS_FOCUS);
  TRect inner = DrawButtonFace(canvas.get(), r, 1, style_, false, isDown, isDefault);
  TButtonState state = !GetEnabled() ? bsDisabled : isDown ? bsDown : bsUp;
  TPoint offset(isDown ? 1 : 0, isDown ? 1 : 0);
  TRect text = glyph_->Draw(canvas.get(), inner, offset, GetCaption(), layout_, margin_, spacing_, state, false, 0);
  if (item.itemState & ODS_FOCUS) {
    RECT focus = r;
    InflateRect(&focus, -4, -4);
    SetTextColor(item.hDC, ColorToRGB(clBtnText));
    SetBkColor(item.hDC, ColorToRGB(clBtnFace));
    ::DrawFocusRect(item.hDC, &focus);
  }
  (void)text;
  canvas->SetHandle(nullptr);
}

void TBitBtn::WndProc(TMessage& m) {
  // An owner-drawn button tells of a double click; here it is a second press.
  if (m.Msg == WM_LBUTTONDBLCLK) m.Msg = WM_LBUTTONDOWN;
  TButton::WndProc(m);
}

void TBitBtn::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_DRAWITEM:
      DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam));
      m.Result = TRUE;
      return;
    case CM_ENABLEDCHANGED: case CM_FONTCHANGED: case CM_SYSCOLORCHANGE:
      TButton::Dispatch(m);
      Invalidate();
      return;
  }
  TButton::Dispatch(m);
}
