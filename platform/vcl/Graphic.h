#pragma once
// TGraphic: what every picture class (bitmap, icon, metafile) offers: a size, emptiness,
// transparency, a palette, loading and saving through streams and files, and drawing
// itself into a rectangle of a canvas (which TCanvas::Draw and StretchDraw call).

#include <memory>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/Object.h"
#include "platform/vcl/Types.h"

class TCanvas;

class TGraphic : public TPersistent {
  QUILLO_DECLARE_CLASS()

public:
  virtual bool Empty() const = 0;
  virtual int GetWidth() const = 0;
  virtual void SetWidth(int width) = 0;
  virtual int GetHeight() const = 0;
  virtual void SetHeight(int height) = 0;
  virtual bool GetTransparent() const { return transparent_; }
  virtual void SetTransparent(bool transparent);
  virtual HPALETTE GetPalette() const { return nullptr; }
  virtual void SetPalette(HPALETTE) {}
  bool GetModified() const { return modified_; }
  void SetModified(bool modified);

  // A malformed stream raises EInvalidGraphic and leaves the graphic as it was.
  virtual void LoadFromStream(TStream* stream) = 0;
  virtual void SaveToStream(TStream* stream) = 0;
  void LoadFromFile(const AnsiString& fileName);
  // Written to a temporary file that replaces the old one only when complete.
  void SaveToFile(const AnsiString& fileName);

  // A new, empty graphic of the same class (TPicture copies graphics through it).
  virtual std::unique_ptr<TGraphic> NewEmpty() const { return nullptr; }

  TNotifyEvent OnChange;

protected:
  friend class TCanvas;
  virtual void Draw(TCanvas* canvas, const TRect& rect) = 0;
  virtual void Changed();

private:
  bool transparent_ = false;
  bool modified_ = false;
};
