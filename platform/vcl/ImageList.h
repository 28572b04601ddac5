#pragma once
// TCustomImageList / TImageList: the framework's image list over the common controls' one
// (made on first use), with change links that tell its users when images change, drawing in
// the list's style and colours, and the disabled look: the image's non-white pixels as a
// clBtnShadow silhouette over a clBtnHighlight copy one pixel right and down.
//
// The class derives from TPersistent until TComponent is in the tree.

#include <vector>

#include "platform/controls/ImageList.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Icon.h"

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType { itImage, itMask };
using TOverlay = int;  // 0 to 3

class TCustomImageList;

// A user's subscription to an image list's changes; unsubscribes when freed.
class TChangeLink : public TObject {
  QUILLO_DECLARE_CLASS()

public:
  TChangeLink() = default;
  ~TChangeLink() override;
  virtual void Change();

  TCustomImageList* Sender = nullptr;
  TNotifyEvent OnChange;
};

class TCustomImageList : public TPersistent {
  QUILLO_DECLARE_CLASS()

public:
  explicit TCustomImageList(int width = 16, int height = 16);
  ~TCustomImageList() override;
  // Takes another list's size, settings and images.
  void Assign(const TPersistent* source) override;

  int GetWidth() const { return width_; }
  void SetWidth(int width);  // removes every image, as a change of size does
  int GetHeight() const { return height_; }
  void SetHeight(int height);
  int GetCount() const;
  int GetAllocBy() const { return allocBy_; }
  void SetAllocBy(int allocBy) { allocBy_ = allocBy; }
  // The colour under transparent pixels (clNone: transparent) and the blend colour.
  TColor GetBkColor() const { return bkColor_; }
  void SetBkColor(TColor colour);
  TColor GetBlendColor() const { return blendColor_; }
  void SetBlendColor(TColor colour);
  TDrawingStyle GetDrawingStyle() const { return drawingStyle_; }
  void SetDrawingStyle(TDrawingStyle style);
  TImageType GetImageType() const { return imageType_; }
  void SetImageType(TImageType type);
  bool GetMasked() const { return masked_; }
  void SetMasked(bool masked);  // remakes the list without its images
  bool GetShareImages() const { return shareImages_; }
  void SetShareImages(bool share) { shareImages_ = share; }

  HIMAGELIST GetHandle();
  // Takes over a list made elsewhere (freed with this one unless ShareImages).
  void SetHandle(HIMAGELIST list);
  bool HandleAllocated() const { return handle_ != nullptr; }

  // EInvalidOperation "Invalid image size" for an image smaller than the list's size.
  int Add(TBitmap* image, TBitmap* mask);
  // Pixels of the colour are transparent; clDefault takes the image's transparent colour.
  int AddMasked(TBitmap* image, TColor maskColour);
  int AddIcon(TIcon* icon);
  void AddImages(TCustomImageList* list);
  void Insert(int index, TBitmap* image, TBitmap* mask);
  void InsertMasked(int index, TBitmap* image, TColor maskColour);
  void InsertIcon(int index, TIcon* icon);
  // EInvalidOperation "Unable to Replace Image" when the list refuses.
  void Replace(int index, TBitmap* image, TBitmap* mask);
  void ReplaceMasked(int index, TBitmap* image, TColor maskColour);
  void ReplaceIcon(int index, TIcon* icon);
  // EInvalidOperation "Invalid ImageList Index" for an index outside the list.
  void Delete(int index);
  void Clear();
  void Move(int currentIndex, int newIndex);

  void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);
  void Draw(TCanvas* canvas, int x, int y, int index, TDrawingStyle style, TImageType type, bool enabled = true);
  void DrawOverlay(TCanvas* canvas, int x, int y, int imageIndex, TOverlay overlay, bool enabled = true);
  bool Overlay(int imageIndex, TOverlay overlay);
  // The image drawn on a bitmap of the list's size; the image as an icon.
  void GetBitmap(int index, TBitmap* image);
  void GetIcon(int index, TIcon* icon);

  void RegisterChanges(TChangeLink* link);
  void UnRegisterChanges(TChangeLink* link);

  TNotifyEvent OnChange;

protected:
  virtual void Change();
  virtual void DoDraw(int index, TCanvas* canvas, int x, int y, UINT style, bool enabled);

private:
  void FreeHandle();
  void Recreate();
  void CheckIndex(int index) const;
  void CheckImage(const TBitmap* image) const;
  UINT DrawStyle(TDrawingStyle style, TImageType type) const;
  // Moves the last image to index.
  void MoveLastTo(int index);

  int width_;
  int height_;
  int allocBy_ = 4;
  TColor bkColor_ = clNone;
  TColor blendColor_ = clNone;
  TDrawingStyle drawingStyle_ = dsNormal;
  TImageType imageType_ = itImage;
  bool masked_ = true;
  bool shareImages_ = false;
  HIMAGELIST handle_ = nullptr;
  std::vector<TChangeLink*> links_;
  std::unique_ptr<TBitmap> mono_;  // the disabled look's work bitmap
};

class TImageList : public TCustomImageList {
  QUILLO_DECLARE_CLASS()

public:
  using TCustomImageList::TCustomImageList;
};

namespace VclText {
inline constexpr const char* InvalidImageSize = "Invalid image size";
inline constexpr const char* ReplaceImage = "Unable to Replace Image";
inline constexpr const char* ImageIndexError = "Invalid ImageList Index";
inline constexpr const char* InsertImage = "Unable to Insert Image";
}  // namespace VclText
