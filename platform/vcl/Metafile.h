#pragma once
// TMetafile: a Windows or enhanced metafile picture, read from a stream, drawn by playing it
// into the target rectangle, and saved as read. TMetafileCanvas draws a new picture for a
// metafile: everything drawn on it is recorded, when the canvas is freed, as one bitmap of
// the metafile's size (of the drawn extent from the origin when the metafile had no size).

#include <memory>

#include "platform/gdi/Metafile.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Graphic.h"

class TMetafile : public TGraphic {
  QUILLO_DECLARE_CLASS()

public:
  TMetafile();
  ~TMetafile() override;
  void Assign(const TPersistent* source) override;
  std::unique_ptr<TGraphic> NewEmpty() const override { return std::make_unique<TMetafile>(); }

  bool Empty() const override { return picture_.Bytes().empty(); }
  int GetWidth() const override { return Empty() ? width_ : picture_.Width(); }
  void SetWidth(int width) override;
  int GetHeight() const override { return Empty() ? height_ : picture_.Height(); }
  void SetHeight(int height) override;
  // Enhanced metafiles (EMF) or Windows ones (WMF) are written by the next recording.
  bool GetEnhanced() const { return Empty() ? enhanced_ : picture_.Enhanced(); }
  void SetEnhanced(bool enhanced);
  void Clear();

  // EInvalidGraphic (the picture kept as it was) for bytes that are not a metafile read here.
  void LoadFromStream(TStream* stream) override;
  void SaveToStream(TStream* stream) override;

protected:
  void Draw(TCanvas* canvas, const TRect& rect) override;

private:
  friend class TMetafileCanvas;
  void Record(const std::uint32_t* pixels, int width, int height, int stride);

  Metafile picture_;
  int width_ = 0;
  int height_ = 0;
  bool enhanced_ = true;
};

class TMetafileCanvas : public TCanvas {
public:
  // referenceDevice is accepted for the framework's signature; pictures are in screen pixels.
  TMetafileCanvas(TMetafile* metafile, HDC referenceDevice);
  ~TMetafileCanvas() override;

private:
  TMetafile* metafile_;
  bool sized_;
  int width_;
  int height_;
  HBITMAP bitmap_ = nullptr;
  std::uint32_t* pixels_ = nullptr;
  HDC dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
};
