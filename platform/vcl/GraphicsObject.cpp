#include "platform/vcl/GraphicsObject.h"

#include "platform/vcl/Bitmap.h"

QUILLO_DEFINE_CLASS(TGraphicsObject, TPersistent)
QUILLO_DEFINE_CLASS(TPen, TGraphicsObject)
QUILLO_DEFINE_CLASS(TBrush, TGraphicsObject)

void TGraphicsObject::Changed() {
  if (OnChange) OnChange(this);
}

int PenModeToRop2(TPenMode mode) {
  static constexpr int kRop2[] = {R2_BLACK, R2_WHITE, R2_NOP, R2_NOT, R2_COPYPEN, R2_NOTCOPYPEN,
                                  R2_MERGEPENNOT, R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN,
                                  R2_MERGEPEN, R2_NOTMERGEPEN, R2_MASKPEN, R2_NOTMASKPEN,
                                  R2_XORPEN, R2_NOTXORPEN};
  return kRop2[mode];
}

// Pen.

TPen::TPen() = default;

TPen::~TPen() { FreeHandle(); }

void TPen::Assign(const TPersistent* source) {
  const auto* pen = dynamic_cast<const TPen*>(source);
  if (pen == nullptr) return TGraphicsObject::Assign(source);
  color_ = pen->color_;
  width_ = pen->width_;
  style_ = pen->style_;
  mode_ = pen->mode_;
  FreeHandle();
  Changed();
}

void TPen::SetColor(TColor colour) {
  if (colour == color_) return;
  color_ = colour;
  FreeHandle();
  Changed();
}

void TPen::SetWidth(int width) {
  if (width < 0 || width == width_) return;
  width_ = width;
  FreeHandle();
  Changed();
}

void TPen::SetStyle(TPenStyle style) {
  if (style == style_) return;
  style_ = style;
  FreeHandle();
  Changed();
}

void TPen::SetMode(TPenMode mode) {
  if (mode == mode_) return;
  mode_ = mode;
  Changed();
}

HPEN TPen::GetHandle() {
  static constexpr int kStyles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
  if (handle_ == nullptr) handle_ = CreatePen(kStyles[style_], width_, ColorToRGB(color_));
  return handle_;
}

void TPen::SetHandle(HPEN pen) {
  LOGPEN log;
  if (pen == handle_ || GetObject(pen, sizeof log, &log) == 0) return;
  FreeHandle();
  handle_ = pen;
  color_ = static_cast<TColor>(log.lopnColor);
  width_ = log.lopnWidth.x;
  style_ = log.lopnStyle <= PS_INSIDEFRAME ? static_cast<TPenStyle>(log.lopnStyle) : psSolid;
  Changed();
}

void TPen::FreeHandle() {
  if (handle_ != nullptr) DeleteObject(handle_);
  handle_ = nullptr;
}

// Brush.

TBrush::TBrush() = default;

TBrush::~TBrush() { FreeHandle(); }

void TBrush::Assign(const TPersistent* source) {
  const auto* brush = dynamic_cast<const TBrush*>(source);
  if (brush == nullptr) return TGraphicsObject::Assign(source);
  color_ = brush->color_;
  style_ = brush->style_;
  bitmap_ = brush->bitmap_;
  FreeHandle();
  Changed();
}

void TBrush::SetColor(TColor colour) {
  if (colour == color_ && style_ != bsClear) return;
  color_ = colour;
  if (style_ == bsClear) style_ = bsSolid;
  FreeHandle();
  Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
  if (style == style_ && bitmap_ == nullptr) return;
  style_ = style;
  bitmap_ = nullptr;
  FreeHandle();
  Changed();
}

void TBrush::SetBitmap(TBitmap* bitmap) {
  if (bitmap == bitmap_) return;
  bitmap_ = bitmap;
  FreeHandle();
  Changed();
}

HBRUSH TBrush::GetHandle() {
  if (handle_ != nullptr) return handle_;
  if (bitmap_ != nullptr && !bitmap_->Empty()) {
    handle_ = CreatePatternBrush(bitmap_->GetHandle());
  } else if (style_ == bsSolid) {
    handle_ = CreateSolidBrush(ColorToRGB(color_));
  } else if (style_ == bsClear) {
    handle_ = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  } else {
    static constexpr int kHatches[] = {HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS};
    handle_ = CreateHatchBrush(kHatches[style_ - bsHorizontal], ColorToRGB(color_));
  }
  return handle_;
}

void TBrush::FreeHandle() {
  // Stock objects ignore DeleteObject.
  if (handle_ != nullptr) DeleteObject(handle_);
  handle_ = nullptr;
}
