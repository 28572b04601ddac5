#pragma once
// TCanvas: the framework's drawing surface over a device context. It keeps a pen, a brush and
// a font, selects them into the context only when a drawing call needs them (and again after
// they change), and tells OnChanging/OnChange around every drawing call.
//
// A canvas may draw on any HDC given to SetHandle; the context stays its owner's. Canvases
// that make their own context (bitmaps, controls, metafiles) override CreateHandle, which
// RequiredState calls the first time a drawing call needs a handle, and give the context up
// through SetHandle(nullptr) before they free it.

#include <atomic>
#include <memory>
#include <mutex>
#include <span>

#include "platform/vcl/Font.h"
#include "platform/vcl/Graphic.h"
#include "platform/vcl/GraphicsObject.h"

// The parts of the context's state the canvas has brought up to date.
enum TCanvasState : unsigned {
  csHandleValid = 1,
  csFontValid = 2,
  csPenValid = 4,
  csBrushValid = 8,
  csAllValid = 15,
};
enum TFillStyle { fsSurface, fsBorder };

// CopyRect's raster operation.
using TCopyMode = DWORD;
constexpr TCopyMode cmBlackness = BLACKNESS, cmDstInvert = DSTINVERT, cmMergeCopy = MERGECOPY,
                    cmMergePaint = MERGEPAINT, cmNotSrcCopy = NOTSRCCOPY, cmNotSrcErase = NOTSRCERASE,
                    cmPatCopy = PATCOPY, cmPatInvert = PATINVERT, cmPatPaint = PATPAINT,
                    cmSrcAnd = SRCAND, cmSrcCopy = SRCCOPY, cmSrcErase = SRCERASE,
                    cmSrcInvert = SRCINVERT, cmSrcPaint = SRCPAINT, cmWhiteness = WHITENESS;

class TBitmap;

class TCanvas : public TPersistent {
  QUILLO_DECLARE_CLASS()

public:
  TCanvas();
  ~TCanvas() override;

  // The context, with the canvas's pen, brush and font selected into it (GDI calls made on
  // it draw with them); a canvas that makes its own creates it here. EInvalidOperation when
  // there is none to be had.
  HDC GetHandle();
  // Draws on dc from now on (nullptr: on nothing); the old context gets the stock objects
  // back. The canvas never frees a context.
  void SetHandle(HDC dc);
  bool HandleAllocated() const { return handle_ != nullptr; }

  TPen* GetPen() const { return pen_.get(); }
  void SetPen(const TPen* pen) { pen_->Assign(pen); }
  TBrush* GetBrush() const { return brush_.get(); }
  void SetBrush(const TBrush* brush) { brush_->Assign(brush); }
  TFont* GetFont() const { return font_.get(); }
  void SetFont(const TFont* font) { font_->Assign(font); }
  TCopyMode GetCopyMode() const { return copyMode_; }
  void SetCopyMode(TCopyMode mode) { copyMode_ = mode; }
  // ETO_ options added to every TextOut and TextRect.
  int GetTextFlags() const { return textFlags_; }
  void SetTextFlags(int flags) { textFlags_ = flags; }
  TPoint GetPenPos();
  void SetPenPos(const TPoint& position) { MoveTo(position.x, position.y); }
  // The pixel's colour, or -1 (CLR_INVALID) outside the drawable area.
  TColor GetPixel(int x, int y);
  void SetPixel(int x, int y, TColor colour);
  // The bounds of what drawing may touch, in logical coordinates.
  TRect GetClipRect();

  void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  void Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  void Ellipse(int x1, int y1, int x2, int y2);
  void Ellipse(const TRect& rect) { Ellipse(rect.left, rect.top, rect.right, rect.bottom); }
  void Rectangle(int x1, int y1, int x2, int y2);
  void Rectangle(const TRect& rect) { Rectangle(rect.left, rect.top, rect.right, rect.bottom); }
  void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Polyline(std::span<const TPoint> points);
  void Polygon(std::span<const TPoint> points);
  void PolyBezier(std::span<const TPoint> points);
  void PolyBezierTo(std::span<const TPoint> points);
  void FillRect(const TRect& rect);
  void FrameRect(const TRect& rect);
  void DrawFocusRect(const TRect& rect);
  // Fills with the brush from (x, y): the area of colour (fsSurface) or the area bounded by
  // colour (fsBorder).
  void FloodFill(int x, int y, TColor colour, TFillStyle style);

  void TextOut(int x, int y, const AnsiString& text);
  // Text clipped to rect, on the brush colour unless the brush is clear.
  void TextRect(const TRect& rect, int x, int y, const AnsiString& text);
  SIZE TextExtent(const AnsiString& text);
  int TextWidth(const AnsiString& text) { return TextExtent(text).cx; }
  int TextHeight(const AnsiString& text) { return TextExtent(text).cy; }

  // Copies source's rectangle onto dest, stretched, through CopyMode.
  void CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source);
  // Draws a graphic at its own size or stretched; a monochrome bitmap takes the font colour
  // for its black pixels and the brush colour for its white ones.
  void Draw(int x, int y, TGraphic* graphic);
  void StretchDraw(const TRect& rect, TGraphic* graphic);
  // Copies source's rectangle of bitmap onto dest, stretched, with the brush where the
  // bitmap has colour.
  void BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& source, TColor colour);

  // Hands the context's tools back to it, so that the next call selects them afresh.
  void Refresh();

  // Serialises drawing from several threads. Lock waits; TryLock takes the lock only when
  // nobody holds or waits for it. LockCount counts holders and waiters.
  void Lock();
  bool TryLock();
  void Unlock();
  int LockCount() const { return lockCount_.load(); }

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

protected:
  virtual void Changed();
  virtual void Changing();
  // Makes the context on demand; the default has none to make.
  virtual void CreateHandle() {}
  // Brings the parts of state the caller needs up to date (a TCanvasState set).
  void RequiredState(unsigned state);
  unsigned State() const { return state_; }
  // The context drawn on now, without making one.
  HDC CurrentHandle() const { return handle_; }

private:
  void DeselectHandles();
  void SelectFont();
  void SelectPen();
  void SelectBrush();
  void FontChanged();
  void PenChanged();
  void BrushChanged();

  HDC handle_ = nullptr;
  unsigned state_ = 0;
  std::unique_ptr<TFont> font_;
  std::unique_ptr<TPen> pen_;
  std::unique_ptr<TBrush> brush_;
  TCopyMode copyMode_ = cmSrcCopy;
  int textFlags_ = 0;
  std::recursive_mutex lock_;
  std::atomic<int> lockCount_{0};
};

// Lends a canvas a device context for one paint: locks the canvas and sets the context now;
// on every way out, exceptions included, hands the context back and unlocks.
class TCanvasPaintScope {
public:
  TCanvasPaintScope(TCanvas* canvas, HDC dc) : canvas_(canvas) {
    canvas_->Lock();
    canvas_->SetHandle(dc);
  }
  ~TCanvasPaintScope() {
    canvas_->SetHandle(nullptr);
    canvas_->Unlock();
  }
  TCanvasPaintScope(const TCanvasPaintScope&) = delete;
  TCanvasPaintScope& operator=(const TCanvasPaintScope&) = delete;

private:
  TCanvas* canvas_;
};

namespace VclText {
inline constexpr const char* NoCanvasHandle = "Canvas does not allow drawing";
}  // namespace VclText
