#pragma once
// TBuffer: the control that shows a pixel buffer at a zoom. Every view and preview of an
// image is one. It does not own the buffer. It paints only the invalid part of its window,
// copying pixels from the buffer with the DIB functions (32 bits a pixel, the buffer's stride
// as the bitmap width, top-down), optionally over a checkerboard where pixels are
// transparent, and then fires OnPaint on the same device context so that its owner can draw
// feedback over the image.
//
// The zoom is packed: the numerator in the low 16 bits, the denominator (signed) in the high
// 16 bits, a denominator of 1 stored as 0. View pixel v shows image pixel v * d / n.

#include <cstdint>

#include "platform/gdi/Gdi.h"
#include "platform/vcl/GraphicControl.h"
#include "vorlen/core/Buffer.h"

// The parts of a packed zoom; a zero part reads as 1.
int ZoomNumerator(int packedZoom);
int ZoomDenominator(int packedZoom);
// n / d packed as the control stores it (d = 1 stored as 0).
int PackZoom(int numerator, int denominator);
// The packed zoom with numerator and denominator divided by their greatest common divisor.
int ReducePackedZoom(int packedZoom);

class TBuffer : public TCustomControl {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TBuffer(TComponent* owner);
  ~TBuffer() override;

  // The buffer shown (not owned); setting another one invalidates the control.
  Buffer* GetBuffer() const { return buffer_; }
  void SetBuffer(Buffer* buffer);
  // The packed zoom; setting it reduces it and invalidates when the stored value changes.
  int GetZoom() const { return zoom_; }
  void SetZoom(int packedZoom);
  // False: the control paints nothing and marks its whole window valid.
  bool GetRefresh() const { return refresh_; }
  void SetRefresh(bool value) { refresh_ = value; }
  // True: pixels are composited by their transparency over a checkerboard fixed to the
  // window's coordinates (8 x 8 cells, white and light grey).
  bool GetAlpha() const { return alpha_; }
  void SetAlpha(bool value) { alpha_ = value; }

  // Colour management and gamma correction: each switch is the control's own or, with its
  // UseGlobal... switch on, the class-wide one.
  bool GetICM() const { return icm_; }
  void SetICM(bool value) { icm_ = value; }
  bool GetUseGlobalICM() const { return useGlobalICM_; }
  void SetUseGlobalICM(bool value) { useGlobalICM_ = value; }
  bool GetGammaCorr() const { return gammaCorr_; }
  void SetGammaCorr(bool value) { gammaCorr_ = value; }
  bool GetUseGlobalGammaCorr() const { return useGlobalGammaCorr_; }
  void SetUseGlobalGammaCorr(bool value) { useGlobalGammaCorr_ = value; }
  // The control's own gamma values, 16.16 fixed point (copied from the global ones when made).
  std::int32_t GammaRed = 0;
  std::int32_t GammaGreen = 0;
  std::int32_t GammaBlue = 0;

  // The colour-management switch and whether gamma correction applies, as a paint uses them.
  bool ColourManaged() const;
  bool GammaCorrected() const;
  // The header the last paint blitted with: 40 bytes, or 108 with end points and gamma
  // values when colour management and gamma correction are both on.
  const BITMAPV4HEADER& BlitHeader() const { return header_; }

  // Fired after the image is blitted, on the same device context (Canvas), with or
  // without a buffer. OnMouseEnter and OnMouseLeave (TControl's) are fired when set;
  // otherwise the message goes on to the parent.
  TNotifyEvent OnPaint;

  // Class-wide switches and values.
  static std::uint8_t GlobalICM;
  static std::uint8_t GlobalGammaCorr;
  static std::int32_t GlobalGammaRed;  // 16.16; 2.2 is 144179
  static std::int32_t GlobalGammaGreen;
  static std::int32_t GlobalGammaBlue;
  static CIEXYZ ciexyzRed;  // end points, 2.30 fixed point
  static CIEXYZ ciexyzGreen;
  static CIEXYZ ciexyzBlue;
  // Zooms from 1/StretchPatchMin to StretchPatchMax are scaled by the library into a
  // temporary buffer rather than stretched by GDI when StretchPatch is set.
  static std::uint8_t StretchPatch;
  static std::int32_t StretchPatchMin;
  static std::int32_t StretchPatchMax;

  void Dispatch(TMessage& message) override;

protected:
  // Without a buffer (or one without pixels): a black area with a white frame and cross.
  // Then OnPaint.
  void Paint() override;

private:
  void WMPaint(TMessage& message);
  void MouseEnterLeave(TMessage& message, const TNotifyEvent& event);

  Buffer* buffer_ = nullptr;
  int zoom_ = 1;
  bool refresh_ = true;
  BITMAPV4HEADER header_;
  bool icm_ = false;
  bool useGlobalICM_ = true;
  bool gammaCorr_ = false;
  bool useGlobalGammaCorr_ = true;
  bool alpha_ = false;
};
