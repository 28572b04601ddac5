#include "platform/vcl/Canvas.h"

#include <algorithm>

#include "platform/rtl/Exceptions.h"
#include "platform/user/UserDraw.h"
#include "platform/vcl/Bitmap.h"

QUILLO_DEFINE_CLASS(TCanvas, TPersistent)

TCanvas::TCanvas()
    : font_(std::make_unique<TFont>()), pen_(std::make_unique<TPen>()), brush_(std::make_unique<TBrush>()) {
  font_->OnChange = [this](TObject*) { FontChanged(); };
  pen_->OnChange = [this](TObject*) { PenChanged(); };
  brush_->OnChange = [this](TObject*) { BrushChanged(); };
}

TCanvas::~TCanvas() { SetHandle(nullptr); }

HDC TCanvas::GetHandle() {
  RequiredState(csAllValid);
  return handle_;
}

void TCanvas::SetHandle(HDC dc) {
  if (dc == handle_) return;
  if (handle_ != nullptr) {
    DeselectHandles();
    handle_ = nullptr;
    state_ &= ~csHandleValid;
  }
  if (dc != nullptr) {
    state_ |= csHandleValid;
    handle_ = dc;
  }
}

void TCanvas::RequiredState(unsigned wanted) {
  unsigned needed = wanted & ~state_;
  if (needed == 0) return;
  if (needed & csHandleValid) {
    CreateHandle();
    if (handle_ == nullptr) throw EInvalidOperation(VclText::NoCanvasHandle);
  }
  if (needed & csFontValid) SelectFont();
  if (needed & csPenValid) SelectPen();
  if (needed & csBrushValid) SelectBrush();
  state_ |= needed;
}

void TCanvas::SelectFont() {
  SelectObject(handle_, font_->GetHandle());
  SetTextColor(handle_, ColorToRGB(font_->GetColor()));
}

void TCanvas::SelectPen() {
  SelectObject(handle_, pen_->GetHandle());
  SetROP2(handle_, PenModeToRop2(pen_->GetMode()));
}

void TCanvas::SelectBrush() {
  SelectObject(handle_, brush_->GetHandle());
  // Hatches are drawn over what is there; their gaps keep the pixels under them.
  if (brush_->GetStyle() == bsSolid) {
    SetBkColor(handle_, ColorToRGB(brush_->GetColor()));
    SetBkMode(handle_, OPAQUE);
  } else {
    SetBkColor(handle_, ~ColorToRGB(brush_->GetColor()) & 0xFFFFFF);
    SetBkMode(handle_, TRANSPARENT);
  }
}

void TCanvas::DeselectHandles() {
  if (handle_ == nullptr || (state_ & (csPenValid | csBrushValid | csFontValid)) == 0) return;
  SelectObject(handle_, GetStockObject(BLACK_PEN));
  SelectObject(handle_, GetStockObject(HOLLOW_BRUSH));
  SelectObject(handle_, GetStockObject(SYSTEM_FONT));
  state_ &= ~(csPenValid | csBrushValid | csFontValid);
}

// A tool that changed is taken out of the context at once: its old GDI object is freed, and
// the new one is selected by the next drawing call that needs it.
void TCanvas::FontChanged() {
  if (!(state_ & csFontValid)) return;
  state_ &= ~csFontValid;
  SelectObject(handle_, GetStockObject(SYSTEM_FONT));
}

void TCanvas::PenChanged() {
  if (!(state_ & csPenValid)) return;
  state_ &= ~csPenValid;
  SelectObject(handle_, GetStockObject(BLACK_PEN));
}

void TCanvas::BrushChanged() {
  if (!(state_ & csBrushValid)) return;
  state_ &= ~csBrushValid;
  SelectObject(handle_, GetStockObject(HOLLOW_BRUSH));
}

void TCanvas::Refresh() { DeselectHandles(); }

void TCanvas::Changing() {
  if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

TPoint TCanvas::GetPenPos() {
  RequiredState(csHandleValid);
  TPoint p;
  GetCurrentPositionEx(handle_, &p);
  return p;
}

TColor TCanvas::GetPixel(int x, int y) {
  RequiredState(csHandleValid);
  return static_cast<TColor>(::GetPixel(handle_, x, y));
}

void TCanvas::SetPixel(int x, int y, TColor colour) {
  Changing();
  RequiredState(csHandleValid | csPenValid);
  ::SetPixel(handle_, x, y, ColorToRGB(colour));
  Changed();
}

TRect TCanvas::GetClipRect() {
  RequiredState(csHandleValid);
  TRect r;
  GetClipBox(handle_, &r);
  return r;
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Arc(handle_, x1, y1, x2, y2, x3, y3, x4, y4);
  Changed();
}

void TCanvas::Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Chord(handle_, x1, y1, x2, y2, x3, y3, x4, y4);
  Changed();
}

void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Pie(handle_, x1, y1, x2, y2, x3, y3, x4, y4);
  Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Ellipse(handle_, x1, y1, x2, y2);
  Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Rectangle(handle_, x1, y1, x2, y2);
  Changed();
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::RoundRect(handle_, x1, y1, x2, y2, x3, y3);
  Changed();
}

void TCanvas::MoveTo(int x, int y) {
  RequiredState(csHandleValid);
  MoveToEx(handle_, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::LineTo(handle_, x, y);
  Changed();
}

void TCanvas::Polyline(std::span<const TPoint> points) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Polyline(handle_, points.data(), static_cast<int>(points.size()));
  Changed();
}

void TCanvas::Polygon(std::span<const TPoint> points) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Polygon(handle_, points.data(), static_cast<int>(points.size()));
  Changed();
}

void TCanvas::PolyBezier(std::span<const TPoint> points) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::PolyBezier(handle_, points.data(), static_cast<DWORD>(points.size()));
  Changed();
}

void TCanvas::PolyBezierTo(std::span<const TPoint> points) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::PolyBezierTo(handle_, points.data(), static_cast<DWORD>(points.size()));
  Changed();
}

void TCanvas::FillRect(const TRect& rect) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  ::FillRect(handle_, &rect, brush_->GetHandle());
  Changed();
}

void TCanvas::FrameRect(const TRect& rect) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  ::FrameRect(handle_, &rect, brush_->GetHandle());
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& rect) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  ::DrawFocusRect(handle_, &rect);
  Changed();
}

void TCanvas::FloodFill(int x, int y, TColor colour, TFillStyle style) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  ExtFloodFill(handle_, x, y, ColorToRGB(colour), style == fsSurface ? FLOODFILLSURFACE : FLOODFILLBORDER);
  Changed();
}

void TCanvas::TextOut(int x, int y, const AnsiString& text) {
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  ExtTextOut(handle_, x, y, static_cast<UINT>(textFlags_), nullptr, text.data(), static_cast<UINT>(text.size()),
             nullptr);
  // The pen moves to the end of the text, so consecutive calls continue the line.
  MoveTo(x + TextWidth(text), y);
  Changed();
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const AnsiString& text) {
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  UINT options = ETO_CLIPPED | static_cast<UINT>(textFlags_);
  if (brush_->GetStyle() != bsClear) options |= ETO_OPAQUE;
  ExtTextOut(handle_, x, y, options, &rect, text.data(), static_cast<UINT>(text.size()), nullptr);
  Changed();
}

SIZE TCanvas::TextExtent(const AnsiString& text) {
  RequiredState(csHandleValid | csFontValid);
  SIZE size;
  GetTextExtentPoint32(handle_, text.data(), static_cast<int>(text.size()), &size);
  return size;
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source) {
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  canvas->RequiredState(csHandleValid | csBrushValid);
  StretchBlt(handle_, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, canvas->handle_,
             source.left, source.top, source.right - source.left, source.bottom - source.top, copyMode_);
  Changed();
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  if (graphic == nullptr || graphic->Empty()) return;
  StretchDraw(Bounds(x, y, graphic->GetWidth(), graphic->GetHeight()), graphic);
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic* graphic) {
  if (graphic == nullptr || graphic->Empty()) return;
  Changing();
  RequiredState(csHandleValid);
  // The colours a monochrome picture takes.
  SetBkColor(handle_, ColorToRGB(brush_->GetColor()));
  SetTextColor(handle_, ColorToRGB(font_->GetColor()));
  graphic->Draw(this, rect);
  // The next text or fill sets the colours it needs again.
  state_ &= ~(csFontValid | csBrushValid);
  Changed();
}

void TCanvas::BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& source, TColor colour) {
  if (bitmap == nullptr || bitmap->Empty()) return;
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  const int sw = source.right - source.left, sh = source.bottom - source.top;
  const int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
  HDC picture = bitmap->GetCanvas()->GetHandle();
  // A monochrome mask, white where the picture has the colour.
  HBITMAP mask = CreateBitmap(std::max(sw, 1), std::max(sh, 1), 1, 1, nullptr);
  HDC maskDc = CreateCompatibleDC(nullptr);
  HGDIOBJ oldMask = SelectObject(maskDc, mask);
  const COLORREF oldPictureBack = SetBkColor(picture, ColorToRGB(colour));
  BitBlt(maskDc, 0, 0, sw, sh, picture, source.left, source.top, SRCCOPY);
  SetBkColor(picture, oldPictureBack);
  StretchBlt(handle_, dest.left, dest.top, dw, dh, picture, source.left, source.top, sw, sh, SRCCOPY);
  // The brush where the mask is white, the copied picture where it is black.
  const COLORREF oldText = SetTextColor(handle_, 0), oldBack = SetBkColor(handle_, 0xFFFFFF);
  StretchBlt(handle_, dest.left, dest.top, dw, dh, maskDc, 0, 0, sw, sh, 0x00E20746);
  SetTextColor(handle_, oldText);
  SetBkColor(handle_, oldBack);
  SelectObject(maskDc, oldMask);
  DeleteDC(maskDc);
  DeleteObject(mask);
  Changed();
}

void TCanvas::Lock() {
  ++lockCount_;
  lock_.lock();
}

bool TCanvas::TryLock() {
  int expected = 0;
  if (!lockCount_.compare_exchange_strong(expected, 1)) return false;
  if (lock_.try_lock()) return true;
  --lockCount_;
  return false;
}

void TCanvas::Unlock() {
  lock_.unlock();
  --lockCount_;
}
