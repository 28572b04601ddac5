#include "quillo/components/toolbars/ButtonGlyph.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "platform/controls/ImageList.h"
#include "platform/rtl/Everlasting.h"
#include "quillo/components/toolbars/ToolbarTexts.h"

namespace tbx {

QUILLO_DEFINE_CLASS(TButtonGlyph, TObject)

namespace {

TGlyphCacheSlot& CacheSlot() {
  static Everlasting<TGlyphCacheSlot> slot;
  return *slot;
}

// 0xRRGGBB of a framework colour.
std::uint32_t Rgb(TColor colour) {
  COLORREF c = ColorToRGB(colour);
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

constexpr std::uint32_t White = 0xFFFFFF, Silver = 0xC0C0C0, Grey = 0x808080, Black = 0;

// A 32-bit working copy whose pixels are read and written directly.
class Pixels {
public:
  Pixels(int width, int height, std::uint32_t fill) : bitmap_(MakeObject<TBitmap>()) {
    bitmap_->SetPixelFormat(pf32bit);
    bitmap_->SetSize(width, height);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) Set(x, y, fill);
  }
  int Width() const { return bitmap_->GetWidth(); }
  int Height() const { return bitmap_->GetHeight(); }
  std::uint32_t Get(int x, int y) const {
    return static_cast<const std::uint32_t*>(bitmap_->ScanLine(y))[x] & 0xFFFFFF;
  }
  void Set(int x, int y, std::uint32_t rgb) { static_cast<std::uint32_t*>(bitmap_->ScanLine(y))[x] = rgb; }
  TBitmap* Bitmap() const { return bitmap_.get(); }
  HDC Dc() const { return bitmap_->GetCanvas()->GetHandle(); }

private:
  TOwnedPtr<TBitmap> bitmap_;
};

std::unique_ptr<Pixels> CopyOf(TBitmap* source) {
  auto copy = std::make_unique<Pixels>(source->GetWidth(), source->GetHeight(), 0);
  copy->Bitmap()->GetCanvas()->Draw(0, 0, source);
  return copy;
}

// A monochrome mask: white (1) where the image is transparent.
TOwnedPtr<TBitmap> MaskOf(int width, int height, const std::function<bool(int, int)>& transparent) {
  auto mask = MakeObject<TBitmap>();
  mask->SetMonochrome(true);
  mask->SetSize(width, height);
  TCanvas* c = mask->GetCanvas();
  c->GetBrush()->SetColor(clBlack);
  c->FillRect(TRect(0, 0, width, height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (transparent(x, y)) c->SetPixel(x, y, clWhite);
  return mask;
}

}  // namespace

TGlyphCache* GlyphCache() { return CacheSlot().Get(); }

// ---- TButtonGlyph ----

TButtonGlyph::TButtonGlyph()
    : glyph_(MakeObject<TBitmap>()), glyphMask_(MakeObject<TBitmap>()), imageChangeLink_(MakeObject<TChangeLink>()) {
  for (auto& row : indexes_) std::fill(std::begin(row), std::end(row), -1);
  glyph_->OnChange = [this](TObject*) { SourceChanged(true); };
  glyphMask_->OnChange = [this](TObject*) { SourceChanged(false); };
  imageChangeLink_->OnChange = [this](TObject*) { SourceChanged(false); };
  CacheSlot().Ensure();
}

TButtonGlyph::~TButtonGlyph() {
  if (images_) images_->UnRegisterChanges(imageChangeLink_.get());
  DropImages();
  CacheSlot().ReleaseWhenEmpty();
}

void TButtonGlyph::DropImages() {
  for (int list = 0; list < 2; ++list) {
    for (int& index : indexes_[list]) {
      if (index >= 0 && lists_[list]) lists_[list]->FreeIndex(index);
      index = -1;
    }
    if (lists_[list] && CacheSlot().Get()) CacheSlot().Get()->ReturnList(lists_[list]);
    lists_[list] = nullptr;
  }
}

void TButtonGlyph::SourceChanged(bool fromGlyph) {
  if (fromGlyph && glyph_->GetWidth() && glyph_->GetHeight()) {
    TColor corner = glyph_->GetCanvas()->GetPixel(0, glyph_->GetHeight() - 1);
    transparentColour_ = static_cast<TColor>(corner | 0x02000000);
  }
  DropImages();
  if (OnChange) OnChange();
}

void TButtonGlyph::SetGlyph(TBitmap* value) {
  DropImages();
  glyph_->Assign(value);
  numGlyphs_ = GlyphCountOfStrip(glyph_->GetWidth(), glyph_->GetHeight());
  SourceChanged(true);
}

void TButtonGlyph::SetGlyphMask(TBitmap* value) {
  DropImages();
  glyphMask_->Assign(value);
  SourceChanged(false);
}

void TButtonGlyph::SetNumGlyphs(int value) {
  DropImages();
  numGlyphs_ = !images_ && value >= 1 && value <= 5 ? value : 1;
  SourceChanged(false);
}

void TButtonGlyph::SetImages(TCustomImageList* value) {
  if (value == images_) return;
  if (images_) images_->UnRegisterChanges(imageChangeLink_.get());
  images_ = value;
  if (images_) {
    images_->RegisterChanges(imageChangeLink_.get());
    numGlyphs_ = 1;
  }
  SourceChanged(false);
}

void TButtonGlyph::SetImageIndex(int value) {
  if (value == imageIndex_) return;
  imageIndex_ = value;
  SourceChanged(false);
}

void TButtonGlyph::SetOldDisabledStyle(bool value) {
  if (value == oldDisabledStyle_) return;
  oldDisabledStyle_ = value;
  SourceChanged(false);
}

TPoint TButtonGlyph::GlyphSize() const {
  if (images_) return TPoint(images_->GetWidth(), images_->GetHeight());
  if (glyph_->GetWidth() == 0 || glyph_->GetHeight() == 0) return TPoint(0, 0);
  return TPoint(glyph_->GetWidth() / numGlyphs_, glyph_->GetHeight());
}

TButtonGlyph::Built TButtonGlyph::BuildStateImage(TButtonStateX state) {
  if (state != bsDisabled && static_cast<int>(state) >= numGlyphs_) state = bsUp;
  for (int list : {1, 0})
    if (indexes_[list][state] >= 0) return {lists_[list], indexes_[list][state]};
  if (images_) {
    if (imageIndex_ < 0 || imageIndex_ >= images_->GetCount()) return {};
  } else if (glyph_->GetWidth() == 0 || glyph_->GetHeight() == 0) {
    return {};
  }
  const bool useMask = !images_ && glyphMask_->GetWidth() && glyphMask_->GetHeight();
  const int listKind = state == bsDisabled ? 0 : 1;
  const TPoint cell = GlyphSize();
  const int w = cell.x, h = cell.y, extra = state == bsDisabled ? 1 : 0;
  if (!lists_[listKind]) lists_[listKind] = CacheSlot().Ensure()->GetList(w + extra, h + extra);

  // The source cell and which of its pixels are transparent.
  const int cellIndex = static_cast<int>(state) < numGlyphs_ ? static_cast<int>(state) : 0;
  const int ox = images_ ? 0 : cellIndex * w;
  std::unique_ptr<Pixels> source, onWhite, mask;
  std::uint32_t transparentRgb = 0;
  if (images_) {
    // Drawn on black and on white: the pixels that differ are the image's transparent ones.
    source = std::make_unique<Pixels>(w, h, Black);
    onWhite = std::make_unique<Pixels>(w, h, White);
    ImageList_DrawEx(images_->GetHandle(), imageIndex_, source->Dc(), 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_TRANSPARENT);
    ImageList_DrawEx(images_->GetHandle(), imageIndex_, onWhite->Dc(), 0, 0, 0, 0, CLR_NONE, CLR_NONE,
                     ILD_TRANSPARENT);
  } else {
    source = CopyOf(glyph_.get());
    transparentRgb = source->Get(0, source->Height() - 1);
    if (useMask) mask = CopyOf(glyphMask_.get());
  }
  auto transparent = [&](int x, int y) {
    if (images_) return source->Get(x, y) != onWhite->Get(x, y);
    if (mask) return ox + x < mask->Width() && y < mask->Height() && mask->Get(ox + x, y) != Black;
    return source->Get(ox + x, y) == transparentRgb;
  };
  const std::uint32_t face = Rgb(clBtnFace), highlight = Rgb(clBtnHighlight), shadow = Rgb(clBtnShadow);
  Pixels work(w + extra, h + extra, face);
  int index;
  if (state == bsDisabled && numGlyphs_ < 2) {
    // A silhouette in the shadow colour with a highlight copy one pixel right and down: of
    // every pixel but the transparent, white and silver ones (the older style: of black
    // pixels only).
    auto drawn = [&](int x, int y) {
      if (transparent(x, y)) return false;
      std::uint32_t p = source->Get(ox + x, y);
      return oldDisabledStyle_ ? p == Black : p != White && p != Silver;
    };
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (drawn(x, y)) work.Set(x + 1, y + 1, highlight);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (drawn(x, y)) work.Set(x, y, shadow);
    index = lists_[0]->AddImageMasked(work.Bitmap(), clBtnFace);
  } else if (state == bsDisabled) {
    // The strip's own disabled cell: white and grey take the system's highlight and shadow.
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        std::uint32_t p = source->Get(ox + x, y);
        work.Set(x, y, p == White ? highlight : p == Grey ? shadow : p);
      }
    auto m = MaskOf(w + 1, h + 1, [&](int x, int y) { return x >= w || y >= h || transparent(x, y); });
    index = lists_[0]->AddImage(work.Bitmap(), m.get());
  } else {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) work.Set(x, y, source->Get(ox + x, y));
    auto m = MaskOf(w, h, transparent);
    index = lists_[1]->AddImage(work.Bitmap(), m.get());
  }
  indexes_[listKind][state] = index;
  if (CallDormant && !images_) glyph_->Dormant();
  if (useMask) glyphMask_->Dormant();
  return {lists_[listKind], index};
}

void TButtonGlyph::Draw(HDC dc, int x, int y, TButtonStateX state) {
  Built built = BuildStateImage(state);
  if (!built.list) return;
  ImageList_DrawEx(built.list->GetHandle(), built.index, dc, x, y, 0, 0, CLR_NONE, CLR_NONE, ILD_TRANSPARENT);
}

}  // namespace tbx
