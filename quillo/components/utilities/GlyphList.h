#pragma once
// Image lists that hold the built state images of button glyphs, shared by every glyph of
// one size: slots are taken and given back, and a freed slot is reused. Each family of
// glyph objects (toolbar buttons, speed buttons) keeps one cache of its own.

#include <memory>
#include <vector>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Bits.h"
#include "platform/vcl/ImageList.h"

// An image list whose slots are taken and given back; freed slots are reused.
class TGlyphList : public TCustomImageList {
  QUILLO_DECLARE_CLASS()

public:
  TGlyphList(int width, int height);
  ~TGlyphList() override;
  // The lowest free slot, the list grown by an empty image when every slot is in use.
  int TakeIndex();
  int AddImage(TBitmap* image, TBitmap* mask);
  // EInvalidOperation when the image is smaller than the list's cells or the list refuses it.
  int AddImageMasked(TBitmap* image, TColor colour);
  // Gives a slot back; its image stays for the next user. A slot not in use is ignored.
  void FreeIndex(int index);
  int UsedCount() const { return count_; }

private:
  TOwnedPtr<TBits> used_;
  int count_ = 0;
};

// The glyph lists of every size.
class TGlyphCache : public TObject {
  QUILLO_DECLARE_CLASS()

public:
  ~TGlyphCache() override;
  // The list of that size (the latest made first), else a new one.
  TGlyphList* GetList(int width, int height);
  // A list no image uses any more is removed and freed.
  void ReturnList(TGlyphList* list);
  bool Empty() const { return lists_.empty(); }
  int ListCount() const { return static_cast<int>(lists_.size()); }

private:
  std::vector<TGlyphList*> lists_;  // owned
};

// The one cache of a family of glyph objects: made by the first user, freed by the last once
// it holds no list.
class TGlyphCacheSlot {
public:
  TGlyphCache* Get() const { return cache_.get(); }
  TGlyphCache* Ensure();
  void ReleaseWhenEmpty();

private:
  std::unique_ptr<TGlyphCache, TObjectDeleter> cache_;
};

// How many cells a glyph strip holds: width / height when the width is a whole multiple of
// the height and that is at most maxCells, else 1.
int GlyphCountOfStrip(int width, int height, int maxCells = 5);
