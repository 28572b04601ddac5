#pragma once
// The glyph of a toolbar button: its sources (a bitmap strip of up to five state images with
// an optional monochrome mask, or an image of an image list) and the image built for each
// draw state on first use, kept in image lists shared by every button whose images have the
// same size. (The controls' button glyphs have a cache of their own, with other rules; these
// live in namespace tbx; the list and cache classes are shared.)

#include <functional>
#include <vector>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/ImageList.h"
#include "quillo/components/utilities/GlyphList.h"

namespace tbx {

enum TButtonStateX { bsUp, bsDisabled, bsDown, bsExclusive, bsMouseIn };

using ::TGlyphCache;
using ::TGlyphList;

// The unit's one cache: null when no glyph object lives and no list is held.
TGlyphCache* GlyphCache();

class TButtonGlyph : public TObject {
  QUILLO_DECLARE_CLASS()

public:
  TButtonGlyph();
  ~TButtonGlyph() override;

  TBitmap* GetGlyph() const { return glyph_.get(); }
  void SetGlyph(TBitmap* value);
  TBitmap* GetGlyphMask() const { return glyphMask_.get(); }
  void SetGlyphMask(TBitmap* value);
  int GetNumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int value);
  TCustomImageList* GetImages() const { return images_; }
  void SetImages(TCustomImageList* value);
  int GetImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  bool GetOldDisabledStyle() const { return oldDisabledStyle_; }
  void SetOldDisabledStyle(bool value);
  bool CallDormant = true;
  std::function<void()> OnChange;

  // The cell size of the glyph (0, 0 without one).
  TPoint GlyphSize() const;
  // Builds (once) the image of a state; list null and index -1 when there is nothing to show.
  struct Built {
    TGlyphList* list = nullptr;
    int index = -1;
  };
  Built BuildStateImage(TButtonStateX state);
  void Draw(HDC dc, int x, int y, TButtonStateX state);
  void DropImages();

private:
  void SourceChanged(bool fromGlyph);

  TOwnedPtr<TBitmap> glyph_;
  TOwnedPtr<TBitmap> glyphMask_;
  TGlyphList* lists_[2] = {};  // 0 the disabled image, 1 every other state
  int imageIndex_ = -1;
  TCustomImageList* images_ = nullptr;
  TOwnedPtr<TChangeLink> imageChangeLink_;
  int indexes_[2][5];
  TColor transparentColour_ = 0x02000000;
  int numGlyphs_ = 1;
  bool oldDisabledStyle_ = false;
};

}  // namespace tbx
