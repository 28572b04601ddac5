#include "quillo/components/buttons/ExButtonGlyph.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/controls/ImageList.h"
#include "platform/rtl/Everlasting.h"
#include "platform/vcl/TypInfo.h"
#include "quillo/components/utilities/BitmapUtils.h"
#include "quillo/components/utilities/StrUtils.h"
#include "quillo/components/utilities/VclUtils.h"

QUILLO_DEFINE_ENUM_TYPE(TExButtonState, "rbsUp", "rbsDisabled", "rbsDown", "rbsExclusive", "rbsInactive")
QUILLO_DEFINE_CLASS(TExButtonGlyph, TObject)
QUILLO_DEFINE_CLASS(TButtonImage, TObject)

namespace {

TGlyphCacheSlot& CacheSlot() {
  static Everlasting<TGlyphCacheSlot> slot;
  return *slot;
}

constexpr int MaxCaptionLength = 255;
constexpr int PopupMarkWidth = 9;

// A 32-bit bitmap of the given size filled with a colour.
TOwnedPtr<TBitmap> WorkBitmap(int width, int height, TColor fill) {
  auto bitmap = MakeObject<TBitmap>();
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(width, height);
  TCanvas* c = bitmap->GetCanvas();
  c->GetBrush()->SetColor(fill);
  c->FillRect(TRect(0, 0, width, height));
  return bitmap;
}

// 0x00RRGGBB pixel words to framework colours and back.
TColor PixelToColor(std::uint32_t p) {
  return static_cast<TColor>(((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16));
}
std::uint32_t ColorToPixel(TColor c) {
  COLORREF v = ColorToRGB(c);
  return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

// Every pixel of a 32-bit bitmap through a colour mapping.
template <class Map>
void MapPixels(TBitmap* bitmap, Map map) {
  for (int y = 0; y < bitmap->GetHeight(); ++y) {
    auto* row = static_cast<std::uint32_t*>(bitmap->ScanLine(y));
    for (int x = 0; x < bitmap->GetWidth(); ++x) row[x] = ColorToPixel(map(PixelToColor(row[x] & 0xFFFFFF)));
  }
}

// A one-pixel 3-D frame that shrinks the rectangle by one on each side.
void Frame(TCanvas* canvas, TRect& r, TColor topLeft, TColor bottomRight) {
  TPen* pen = canvas->GetPen();
  pen->SetWidth(1);
  pen->SetColor(topLeft);
  canvas->MoveTo(r.left, r.bottom - 1);
  canvas->LineTo(r.left, r.top);
  canvas->LineTo(r.right - 1, r.top);
  pen->SetColor(bottomRight);
  canvas->LineTo(r.right - 1, r.bottom - 1);
  canvas->LineTo(r.left - 1, r.bottom - 1);
  r.left += 1;
  r.top += 1;
  r.right -= 1;
  r.bottom -= 1;
}

bool NewStyleControls() { return true; }  // the desktop always draws the 3-D look

}  // namespace

TGlyphCache* ExButtonGlyphCache() { return CacheSlot().Get(); }

// ---- TExButtonGlyph ----

TExButtonGlyph::TExButtonGlyph() : original_(MakeObject<TBitmap>()) {
  std::fill(std::begin(indexes_), std::end(indexes_), -1);
  original_->OnChange = [this](TObject* sender) { GlyphChanged(sender); };
  CacheSlot().Ensure();
}

TExButtonGlyph::~TExButtonGlyph() {
  original_->OnChange = nullptr;
  Invalidate();
  original_.reset();
  CacheSlot().ReleaseWhenEmpty();
}

void TExButtonGlyph::Invalidate() {
  for (int& index : indexes_) {
    if (index >= 0 && glyphList_) glyphList_->FreeIndex(index);
    index = -1;
  }
  if (glyphList_ && CacheSlot().Get()) CacheSlot().Get()->ReturnList(glyphList_);
  glyphList_ = nullptr;
}

void TExButtonGlyph::GlyphChanged(TObject* sender) {
  if (sender != original_.get()) return;
  Invalidate();
  if (original_->GetHeight() > 0) {
    transparentColor_ = static_cast<TColor>(original_->GetTransparentColor() & ~0x02000000);
    if (original_->GetWidth() % original_->GetHeight() == 0)
      numGlyphs_ = GlyphCountOfStrip(original_->GetWidth(), original_->GetHeight());
  }
  if (OnChange) OnChange(this);
}

void TExButtonGlyph::SetGlyph(TBitmap* value) {
  Invalidate();
  if (value) {
    original_->Assign(value);
  } else {
    original_->SetSize(0, 0);
    GlyphChanged(original_.get());
  }
}

void TExButtonGlyph::SetNumGlyphs(int value) {
  if (value <= 0 || value == numGlyphs_) return;
  Invalidate();
  numGlyphs_ = std::min(value, 255);
}

TColor TExButtonGlyph::MapColor(TColor color) const {
  if (color == transparentColor_ || ColorToRGB(color) == ColorToRGB(clBtnFace)) return color;
  COLORREF c = ColorToRGB(color);
  int grey = (77 * GetRValue(c) + 150 * GetGValue(c) + 29 * GetBValue(c)) >> 8;
  return static_cast<TColor>(RGB(grey, grey, grey));
}

TGlyphList* TExButtonGlyph::EnsureList(int width, int height) {
  if (!glyphList_) glyphList_ = CacheSlot().Ensure()->GetList(width, height);
  return glyphList_;
}

int TExButtonGlyph::CreateButtonGlyph(TExButtonState state) {
  if (state == rbsDown && numGlyphs_ < 3) state = rbsUp;
  if (indexes_[state] >= 0) return indexes_[state];
  if (original_->GetWidth() == 0 || original_->GetHeight() == 0 || original_->Empty()) return -1;
  const int w = original_->GetWidth() / numGlyphs_, h = original_->GetHeight();
  if (w <= 0) return -1;
  TGlyphList* list = EnsureList(w, h);
  auto cellOf = [&](int cell) {
    auto work = WorkBitmap(w, h, transparentColor_);
    work->GetCanvas()->CopyRect(TRect(0, 0, w, h), original_->GetCanvas(), TRect(cell * w, 0, cell * w + w, h));
    return work;
  };
  const int ordinal = static_cast<int>(state);
  const int cell = ordinal < numGlyphs_ ? ordinal : 0;
  int index = -1;
  switch (state) {
    case rbsUp: case rbsDown: case rbsExclusive: {
      auto work = cellOf(cell);
      index = list->AddImageMasked(work.get(), transparentColor_);
      break;
    }
    case rbsDisabled:
      if (numGlyphs_ >= 2) {
        auto work = cellOf(1);
        index = list->AddImageMasked(work.get(), transparentColor_);
      } else {
        // The embossed silhouette of what the glyph draws: every pixel but its transparent
        // ones. (Taking black as the colour around the shape, as the older rule did, turned
        // the transparent background into part of the shape: a grey block.)
        auto disabled = CreateDisabledBitmap(original_.get(), transparentColor_);
        index = list->AddImageMasked(disabled.get(), static_cast<TColor>(ColorToRGB(clBtnFace)));
      }
      break;
    case rbsInactive: {
      auto work = cellOf(numGlyphs_ == 5 ? 4 : 0);
      if (numGlyphs_ != 5) MapPixels(work.get(), [this](TColor c) { return MapColor(c); });
      index = list->AddImageMasked(work.get(), transparentColor_);
      break;
    }
  }
  indexes_[state] = index;
  original_->Dormant();
  return index;
}

int TExButtonGlyph::CreateImageGlyph(TExButtonState state, TCustomImageList* images, int index) {
  if (state == rbsDown) state = rbsUp;
  if (indexes_[state] >= 0) return indexes_[state];
  if (!images || images->GetWidth() == 0 || images->GetHeight() == 0 || images->GetCount() == 0) return -1;
  const int w = images->GetWidth(), h = images->GetHeight();
  TGlyphList* list = EnsureList(w, h);
  const COLORREF face = ColorToRGB(clBtnFace);
  int built = -1;
  switch (state) {
    case rbsUp: case rbsDown: case rbsExclusive: {
      auto work = WorkBitmap(w, h, clBtnFace);
      ImageList_DrawEx(images->GetHandle(), index, work->GetCanvas()->GetHandle(), 0, 0, 0, 0, CLR_NONE, CLR_NONE,
                       ILD_NORMAL);
      auto mask = MakeObject<TBitmap>();
      mask->SetMonochrome(true);
      mask->SetSize(w, h);
      ImageList_DrawEx(images->GetHandle(), index, mask->GetCanvas()->GetHandle(), 0, 0, 0, 0, CLR_NONE, CLR_NONE,
                       ILD_MASK);
      built = list->AddImage(work.get(), mask.get());
      break;
    }
    case rbsDisabled: {
      auto work = WorkBitmap(w, h, clBtnFace);
      ImageListDrawDisabled(images, work->GetCanvas(), 0, 0, index, clBtnHighlight, clBtnShadow, true);
      built = list->AddImageMasked(work.get(), static_cast<TColor>(face));
      break;
    }
    case rbsInactive: {
      auto work = WorkBitmap(w, h, clBtnFace);
      images->Draw(work->GetCanvas(), 0, 0, index);
      MapPixels(work.get(), [this](TColor c) { return MapColor(c); });
      built = list->AddImageMasked(work.get(), static_cast<TColor>(face));
      break;
    }
  }
  indexes_[state] = built;
  return built;
}

TPoint TExButtonGlyph::DrawButtonGlyph(TCanvas* canvas, int x, int y, TExButtonState state) {
  if (original_->Empty() || numGlyphs_ <= 0 || original_->GetWidth() / numGlyphs_ == 0) return TPoint(0, 0);
  int index = CreateButtonGlyph(state);
  if (index < 0 || !glyphList_) return TPoint(0, 0);
  ImageList_DrawEx(glyphList_->GetHandle(), index, canvas->GetHandle(), x, y, 0, 0, CLR_NONE, CLR_NONE,
                   ILD_TRANSPARENT);
  return TPoint(glyphList_->GetWidth(), glyphList_->GetHeight());
}

TPoint TExButtonGlyph::DrawButtonImage(TCanvas* canvas, int x, int y, TCustomImageList* images, int index,
                                       TExButtonState state) {
  if (!images || index < 0 || index >= images->GetCount()) return TPoint(0, 0);
  if (state == rbsDisabled) {
    ImageListDrawDisabled(images, canvas, x, y, index, clBtnHighlight, clBtnShadow, true);
  } else if (state == rbsInactive) {
    int built = CreateImageGlyph(state, images, index);
    if (built >= 0 && glyphList_)
      ImageList_DrawEx(glyphList_->GetHandle(), built, canvas->GetHandle(), x, y, 0, 0, CLR_NONE, CLR_NONE,
                       ILD_TRANSPARENT);
  } else {
    images->Draw(canvas, x, y, index);
  }
  return TPoint(images->GetWidth(), images->GetHeight());
}

void TExButtonGlyph::DrawPopupMark(TCanvas* canvas, int x, int y, TExButtonState state) {
  auto mark = [canvas](int x0, int y0, TColor colour) {
    HDC dc = canvas->GetHandle();
    COLORREF c = ColorToRGB(colour);
    for (int i = 0; i <= 6; ++i) ::SetPixel(dc, x0 + i, y0 - 1, c);
    for (int i = 1; i <= 5; ++i) ::SetPixel(dc, x0 + i, y0, c);
    for (int i = 2; i <= 4; ++i) ::SetPixel(dc, x0 + i, y0 + 1, c);
    ::SetPixel(dc, x0 + 3, y0 + 2, c);
  };
  if (state == rbsDisabled) {
    mark(x + 1, y + 1, clBtnHighlight);
    mark(x, y, clBtnShadow);
  } else {
    mark(x, y, clBtnText);
  }
}

AnsiString TExButtonGlyph::MinimizeCaption(TCanvas* canvas, const AnsiString& caption, int width) const {
  if (wordWrap_) return caption.substr(0, MaxCaptionLength);
  AnsiString result;
  size_t start = 0;
  while (start <= caption.size()) {
    size_t end = caption.find('\n', start);
    AnsiString line = caption.substr(start, end == AnsiString::npos ? AnsiString::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!result.empty() || start > 0) result += "\r\n";
    result += MinimizeText(line, canvas, width);
    if (end == AnsiString::npos) break;
    start = end + 1;
  }
  while (!result.empty() && static_cast<unsigned char>(result.back()) <= ' ') result.pop_back();
  return result;
}

void TExButtonGlyph::DrawButtonText(TCanvas* canvas, const AnsiString& caption, const TRect& textBounds,
                                    TExButtonState state, UINT flags) {
  HDC dc = canvas->GetHandle();
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  flags |= DT_VCENTER | WordWrapTextFlags(wordWrap_);
  AnsiString text = caption.substr(0, MaxCaptionLength);
  canvas->GetBrush()->SetStyle(bsClear);
  dc = canvas->GetHandle();
  SetBkMode(dc, TRANSPARENT);
  RECT r = textBounds;
  if (state == rbsDisabled) {
    RECT below = r;
    OffsetRect(&below, 1, 1);
    SetTextColor(dc, ColorToRGB(clBtnHighlight));
    ::DrawText(dc, text.c_str(), -1, &below, flags);
    SetTextColor(dc, ColorToRGB(clBtnShadow));
    ::DrawText(dc, text.c_str(), -1, &r, flags);
  } else {
    SetTextColor(dc, ColorToRGB(canvas->GetFont()->GetColor()));
    ::DrawText(dc, text.c_str(), -1, &r, flags);
  }
  SetBkMode(dc, oldMode);
  canvas->GetBrush()->SetStyle(bsSolid);
}

AnsiString TExButtonGlyph::CalcButtonLayout(TCanvas* canvas, const TRect& client, const AnsiString& caption,
                                            TButtonLayout layout, int margin, int spacing, bool popupMark,
                                            TPoint& glyphPos, TRect& textBounds, UINT flags,
                                            TCustomImageList* images, int imageIndex) {
  const TPoint clientSize(client.Width(), client.Height());
  TPoint glyphSize(0, 0);
  if (images && images->GetWidth() >= 1 && imageIndex >= 0 && imageIndex < images->GetCount())
    glyphSize = TPoint(images->GetWidth(), images->GetHeight());
  else if (!original_->Empty() && numGlyphs_ > 0)
    glyphSize = TPoint(original_->GetWidth() / numGlyphs_, original_->GetHeight());
  const bool sideways = layout == blGlyphLeft || layout == blGlyphRight;

  // The room the caption may take.
  TPoint room;
  if (sideways) {
    room.x = clientSize.x - glyphSize.x - (margin != -1 ? margin : 0) - (spacing != -1 ? spacing : 0) -
             (popupMark ? PopupMarkWidth : 0);
    room.y = clientSize.y;
  } else {
    room.x = clientSize.x;
    room.y = clientSize.y - glyphSize.y - (margin != -1 ? margin : 0) - (spacing != -1 ? spacing : 0);
  }
  room.x = std::max(room.x, 0);
  room.y = std::max(room.y, 0);
  AnsiString text = MinimizeCaption(canvas, caption, room.x);

  TPoint textSize(0, 0);
  if (!text.empty()) {
    RECT r{0, 0, room.x, 0};
    ::DrawText(canvas->GetHandle(), text.c_str(), -1, &r,
               DT_CALCRECT | DT_CENTER | DT_VCENTER | WordWrapTextFlags(wordWrap_) | flags);
    textSize = TPoint(std::min<int>(r.right - r.left, room.x), std::min<int>(r.bottom - r.top, room.y));
  }
  if (popupMark) {
    if (glyphSize.x == 0 || glyphSize.y == 0 || layout == blGlyphLeft) textSize.x += PopupMarkWidth;
    else glyphSize.x += 6;
  }
  TPoint textPos;
  if (sideways) {
    glyphPos.y = clientSize.y / 2 - glyphSize.y / 2;
    textPos.y = clientSize.y / 2 - textSize.y / 2;
  } else {
    glyphPos.x = clientSize.x / 2 - glyphSize.x / 2;
    textPos.x = clientSize.x / 2 - textSize.x / 2;
  }
  if (textSize.x == 0 || glyphSize.x == 0) spacing = 0;
  const int along = sideways ? clientSize.x : clientSize.y;
  const int glyphAlong = sideways ? glyphSize.x : glyphSize.y;
  const int textAlong = sideways ? textSize.x : textSize.y;
  if (margin == -1) {
    if (spacing != -1) {
      int total = glyphAlong + spacing + textAlong;
      margin = along / 2 - total / 2;
    } else {
      int total = glyphAlong + textAlong;
      margin = (along - total) / 3;
      spacing = margin;
    }
  } else if (spacing == -1) {
    int rest = along - (margin + glyphAlong);
    spacing = rest / 2 - textAlong / 2;
  }
  switch (layout) {
    case blGlyphLeft:
      glyphPos.x = margin;
      textPos.x = glyphPos.x + glyphSize.x + spacing;
      break;
    case blGlyphRight:
      glyphPos.x = clientSize.x - margin - glyphSize.x;
      textPos.x = glyphPos.x - spacing - textSize.x;
      break;
    case blGlyphTop:
      glyphPos.y = margin;
      textPos.y = glyphPos.y + glyphSize.y + spacing;
      break;
    case blGlyphBottom:
      glyphPos.y = clientSize.y - margin - glyphSize.y;
      textPos.y = glyphPos.y - spacing - textSize.y;
      break;
  }
  glyphPos.x += client.left;
  glyphPos.y += client.top;
  textBounds = TRect(textPos.x + client.left, textPos.y + client.top, textPos.x + textSize.x + client.left,
                     textPos.y + textSize.y + client.top);
  return text;
}

TRect TExButtonGlyph::DrawEx(TCanvas* canvas, const TRect& client, const AnsiString& caption, TButtonLayout layout,
                             int margin, int spacing, bool popupMark, TCustomImageList* images, int imageIndex,
                             TExButtonState state, UINT flags) {
  TPoint glyphPos;
  TRect textBounds;
  AnsiString text = CalcButtonLayout(canvas, client, caption, layout, margin, spacing, popupMark, glyphPos,
                                     textBounds, flags, images, imageIndex);
  const bool useImages = images && imageIndex >= 0 && imageIndex < images->GetCount();
  TPoint drawn = useImages ? DrawButtonImage(canvas, glyphPos.x, glyphPos.y, images, imageIndex, state)
                           : DrawButtonGlyph(canvas, glyphPos.x, glyphPos.y, state);
  DrawButtonText(canvas, text, textBounds, state, flags);
  if (popupMark) {
    TPoint at;
    if (layout != blGlyphLeft && (original_->GetWidth() > 0 || useImages)) {
      at = TPoint(glyphPos.x + drawn.x + 1, glyphPos.y + drawn.y / 2);
    } else {
      at.x = !text.empty() ? textBounds.right + 3 : (client.left + client.right - 7) / 2;
      at.y = textBounds.top + textBounds.Height() / 2;
    }
    DrawPopupMark(canvas, at.x, at.y, state);
  }
  return textBounds;
}

// ---- DrawButtonFrame ----

TRect DrawButtonFrame(TCanvas* canvas, const TRect& client, bool isDown, bool isFlat, TButtonStyle style) {
  const bool newStyle = style == bsNew || (NewStyleControls() && style == bsAutoDetect);
  TRect r = client;
  if (!isDown) {
    if (newStyle && !isFlat) {
      Frame(canvas, r, clBtnHighlight, clWindowFrame);
      Frame(canvas, r, clBtnFace, clBtnShadow);
    } else if (newStyle) {
      Frame(canvas, r, clBtnHighlight, clBtnShadow);
    } else if (!isFlat) {
      Frame(canvas, r, clWindowFrame, clWindowFrame);
      Frame(canvas, r, clBtnHighlight, clBtnShadow);
    } else {
      Frame(canvas, r, clBtnHighlight, clWindowFrame);
    }
  } else {
    if (newStyle && !isFlat) {
      Frame(canvas, r, clWindowFrame, clBtnHighlight);
      Frame(canvas, r, clBtnShadow, clBtnFace);
    } else if (!newStyle && !isFlat) {
      Frame(canvas, r, clWindowFrame, clWindowFrame);
      TPen* pen = canvas->GetPen();
      pen->SetColor(clBtnShadow);
      canvas->MoveTo(r.left, r.bottom - 1);
      canvas->LineTo(r.left, r.top);
      canvas->LineTo(r.right, r.top);
    } else {
      Frame(canvas, r, clWindowFrame, clBtnHighlight);
    }
  }
  r.left += 1;
  r.top += 1;
  r.right -= 1;
  r.bottom -= 1;
  return r;
}

// ---- TButtonImage ----

TButtonImage::TButtonImage() : glyph_(MakeObject<TExButtonGlyph>()) {}

TButtonImage::~TButtonImage() = default;

void TButtonImage::DrawEx(TCanvas* canvas, int x, int y, int margin, int spacing, TButtonLayout layout, TFont* font,
                          TCustomImageList* images, int imageIndex, UINT flags) {
  const TRect target(x, y, x + ButtonSize.x, y + ButtonSize.y);
  const TColor savedBrush = canvas->GetBrush()->GetColor();
  auto savedFont = MakeObject<TFont>();
  savedFont->Assign(canvas->GetFont());
  try {
    canvas->GetBrush()->SetColor(clBtnFace);
    canvas->FillRect(target);
    TRect r = target;
    Frame(canvas, r, clBtnShadow, clWindowFrame);
    Frame(canvas, r, clBtnHighlight, clBtnShadow);
    if (font) canvas->SetFont(font);
    glyph_->DrawEx(canvas, r, Caption, layout, margin, spacing, false, images, imageIndex, rbsUp, flags);
  } catch (...) {
    canvas->SetFont(savedFont.get());
    canvas->GetBrush()->SetColor(savedBrush);
    throw;
  }
  canvas->SetFont(savedFont.get());
  canvas->GetBrush()->SetColor(savedBrush);
}
