#include "quillo/components/utilities/GlyphList.h"

#include <algorithm>

#include "platform/rtl/Exceptions.h"

QUILLO_DEFINE_CLASS(TGlyphList, TCustomImageList)
QUILLO_DEFINE_CLASS(TGlyphCache, TObject)

namespace {
inline constexpr const char* InvalidImageSize = "Invalid image size";
inline constexpr const char* UnableToReplaceImage = "Unable to Replace Image";
}  // namespace

// ---- TGlyphList ----

TGlyphList::TGlyphList(int width, int height) : TCustomImageList(nullptr, width, height), used_(MakeObject<TBits>()) {
  SetMasked(true);
}

TGlyphList::~TGlyphList() = default;

int TGlyphList::TakeIndex() {
  int index = used_->OpenBit();
  if (index >= used_->Size()) {
    auto blank = MakeObject<TBitmap>();
    blank->SetPixelFormat(pf32bit);
    blank->SetSize(GetWidth(), GetHeight());
    while (GetCount() <= index) Add(blank.get(), nullptr);
    used_->SetSize(index + 1);
  }
  used_->SetBit(index, true);
  return index;
}

int TGlyphList::AddImage(TBitmap* image, TBitmap* mask) {
  int index = TakeIndex();
  Replace(index, image, mask);
  ++count_;
  return index;
}

int TGlyphList::AddImageMasked(TBitmap* image, TColor colour) {
  if (image->GetWidth() < GetWidth() || image->GetHeight() < GetHeight())
    throw EInvalidOperation(InvalidImageSize);
  int index = TakeIndex();
  try {
    ReplaceMasked(index, image, colour);
  } catch (const Exception&) {
    // The slot goes back unused: FreeIndex counts it off, so count it on first.
    ++count_;
    FreeIndex(index);
    throw EInvalidOperation(UnableToReplaceImage);
  }
  ++count_;
  return index;
}

void TGlyphList::FreeIndex(int index) {
  if (index < 0 || index >= used_->Size() || !used_->Bits(index)) return;
  --count_;
  used_->SetBit(index, false);
}

// ---- TGlyphCache ----

TGlyphCache::~TGlyphCache() {
  for (TGlyphList* list : lists_) FreeObject(list);
}

TGlyphList* TGlyphCache::GetList(int width, int height) {
  for (auto it = lists_.rbegin(); it != lists_.rend(); ++it)
    if ((*it)->GetWidth() == width && (*it)->GetHeight() == height) return *it;
  TGlyphList* list = MakeObject<TGlyphList>(width, height).release();
  lists_.push_back(list);
  return list;
}

void TGlyphCache::ReturnList(TGlyphList* list) {
  if (!list || list->UsedCount() != 0) return;
  auto it = std::find(lists_.begin(), lists_.end(), list);
  if (it == lists_.end()) return;
  lists_.erase(it);
  FreeObject(list);
}

// ---- TGlyphCacheSlot ----

TGlyphCache* TGlyphCacheSlot::Ensure() {
  if (!cache_) cache_.reset(MakeObject<TGlyphCache>().release());
  return cache_.get();
}

void TGlyphCacheSlot::ReleaseWhenEmpty() {
  if (cache_ && cache_->Empty()) cache_.reset();
}

int GlyphCountOfStrip(int width, int height, int maxCells) {
  if (width <= 0 || height <= 0 || width % height != 0) return 1;
  int cells = width / height;
  return cells <= maxCells ? cells : 1;
}
