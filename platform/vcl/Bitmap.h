#pragma once
// TBitmap: a picture held in a GDI bitmap, either a device bitmap (pfDevice, the screen's
// 32 bits, or a monochrome one) or a DIB section of 1, 4, 8, 15, 16, 24 or 32 bits whose rows
// ScanLine hands out. It has a canvas drawing on it, a palette for the indexed depths, a
// transparent colour with the monochrome mask made from it, and reads and writes BMP files.
//
// Changing the size keeps the picture's top-left part and fills the new part with the
// canvas's brush colour (white without a canvas). Changing the depth converts the pixels,
// to the nearest colour of the new colour table where there is one.

#include <memory>
#include <vector>

#include "platform/vcl/Canvas.h"
#include "platform/vcl/Graphic.h"

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TBitmapHandleType { bmDIB, bmDDB };
enum TTransparentMode { tmAuto, tmFixed };

class TBitmapCanvas;

class TBitmap : public TGraphic {
  QUILLO_DECLARE_CLASS()

public:
  TBitmap();
  ~TBitmap() override;
  // Copies another bitmap's picture, depth, palette and transparency settings (null: empties).
  void Assign(const TPersistent* source) override;
  std::unique_ptr<TGraphic> NewEmpty() const override { return std::make_unique<TBitmap>(); }

  TCanvas* GetCanvas();
  bool Empty() const override { return width_ == 0 || height_ == 0; }
  int GetWidth() const override { return width_; }
  void SetWidth(int width) override { SetSize(width, height_); }
  int GetHeight() const override { return height_; }
  void SetHeight(int height) override { SetSize(width_, height); }
  void SetSize(int width, int height);

  TPixelFormat GetPixelFormat() const { return format_; }
  void SetPixelFormat(TPixelFormat format);
  TBitmapHandleType GetHandleType() const { return format_ == pfDevice || monoDevice_ ? bmDDB : bmDIB; }
  void SetHandleType(TBitmapHandleType type);
  bool GetMonochrome() const;
  void SetMonochrome(bool monochrome);

  // The GDI bitmap; the bitmap keeps owning it. Asking for it gives back the canvas's context,
  // so that the caller can select it in its own. SetHandle takes over a bitmap made elsewhere
  // (its size and depth become the picture's); ReleaseHandle gives the bitmap away and
  // leaves the picture empty.
  HBITMAP GetHandle();
  void SetHandle(HBITMAP bitmap);
  HBITMAP ReleaseHandle();
  bool HandleAllocated() const { return handle_ != nullptr; }

  // A palette made from the colour table of an indexed picture (owned by the bitmap), or the
  // palette set; setting one on an indexed picture gives its colour table those colours.
  HPALETTE GetPalette() const override;
  void SetPalette(HPALETTE palette) override;
  HPALETTE ReleasePalette();

  // The colour that drawing transparently leaves out: the bottom-left pixel's (white for a
  // monochrome picture) as a palette-relative colour, unless set (tmFixed).
  TColor GetTransparentColor() const;
  void SetTransparentColor(TColor colour);
  TTransparentMode GetTransparentMode() const { return transparentMode_; }
  void SetTransparentMode(TTransparentMode mode);
  // A monochrome bitmap, white where the picture has the transparent colour; made on demand
  // and owned by the bitmap (ReleaseMaskHandle hands it over). Mask turns the picture itself
  // into such a mask for the colour.
  HBITMAP GetMaskHandle();
  HBITMAP ReleaseMaskHandle();
  void Mask(TColor transparentColour);

  // The memory of a row of a DIB (a device bitmap becomes a 32-bit one first), top row 0.
  // Drawing done on the canvas is written into the rows first. EInvalidOperation for a row
  // outside the picture.
  void* ScanLine(int row);

  // Gives back the device context and the mask; the picture stays.
  void Dormant();
  void FreeImage() { Dormant(); }

  // BMP files: 1, 4 and 8 bits (also run-length encoded), 16, 24 and 32 bits. A malformed
  // file raises EInvalidGraphic and leaves the picture as it was. Saved at the picture's own
  // depth (a device bitmap at 32 bits), bottom row first.
  void LoadFromStream(TStream* stream) override;
  void SaveToStream(TStream* stream) override;
  // A bitmap resource of a module (nullptr: the program); EResNotFound when it has none.
  void LoadFromResourceName(HINSTANCE instance, const AnsiString& name);
  void LoadFromResourceID(HINSTANCE instance, int id);

protected:
  void Draw(TCanvas* canvas, const TRect& rect) override;
  void Changed() override;

private:
  friend class TBitmapCanvas;
  // Replaces the picture's GDI bitmap; the old pixels are copied into the new one.
  void NewImage(int width, int height, TPixelFormat format, bool monoDevice, std::vector<RGBQUAD> table);
  void TakeBitmap(HBITMAP bitmap);
  // The canvas's context: a bitmap is selected in one context at a time.
  HDC Dc();
  void FreeContext();
  void FreeMask();
  void DropPalette();
  std::vector<RGBQUAD> TableFor(TPixelFormat format) const;
  void CanvasChanging();

  HBITMAP handle_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  TPixelFormat format_ = pfDevice;
  bool monoDevice_ = false;
  mutable HPALETTE palette_ = nullptr;
  HBITMAP mask_ = nullptr;
  TColor maskColour_ = clNone;
  TColor transparentColour_ = clDefault;
  TTransparentMode transparentMode_ = tmAuto;
  std::unique_ptr<TBitmapCanvas> canvas_;
};

// The bitmap's canvas: a memory context made on first use with the picture selected.
class TBitmapCanvas : public TCanvas {
public:
  explicit TBitmapCanvas(TBitmap* bitmap) : bitmap_(bitmap) {}
  ~TBitmapCanvas() override { FreeContext(); }
  void FreeContext();

protected:
  void CreateHandle() override;

private:
  TBitmap* bitmap_;
  HDC dc_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  HPALETTE oldPalette_ = nullptr;
};

namespace VclText {
inline constexpr const char* ScanLineOutOfRange = "Scan line index out of range";
inline constexpr const char* InvalidBitmap = "Bitmap image is not valid";
inline constexpr const char* ResNotFound = "Resource %s not found";
inline constexpr const char* OutOfResources = "Out of system resources";
}  // namespace VclText
