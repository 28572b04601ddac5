#include "platform/vcl/ImageList.h"

#include <algorithm>

#include "platform/rtl/Exceptions.h"

QUILLO_DEFINE_CLASS(TChangeLink, TObject)
QUILLO_DEFINE_CLASS(TCustomImageList, TPersistent)
QUILLO_DEFINE_CLASS(TImageList, TCustomImageList)

namespace {

COLORREF ListColor(TColor colour) {
  if (colour == clNone) return CLR_NONE;
  if (colour == clDefault) return CLR_DEFAULT;
  return ColorToRGB(colour);
}

// ImageList_DrawEx's raster operation: the brush where the source is white, the target
// elsewhere.
constexpr DWORD kBrushWhereSource = 0x00E20746;

}  // namespace

TChangeLink::~TChangeLink() {
  if (Sender != nullptr) Sender->UnRegisterChanges(this);
}

void TChangeLink::Change() {
  if (OnChange) OnChange(Sender);
}

TCustomImageList::TCustomImageList(int width, int height) : width_(width), height_(height) {}

TCustomImageList::~TCustomImageList() {
  for (TChangeLink* link : links_) link->Sender = nullptr;
  FreeHandle();
}

void TCustomImageList::FreeHandle() {
  if (handle_ != nullptr && !shareImages_) ImageList_Destroy(handle_);
  handle_ = nullptr;
}

HIMAGELIST TCustomImageList::GetHandle() {
  if (handle_ == nullptr) {
    handle_ = ImageList_Create(width_, height_, ILC_COLORDDB | (masked_ ? ILC_MASK : 0), allocBy_, allocBy_);
    if (handle_ == nullptr) throw EInvalidOperation(VclText::InvalidImageSize);
    ImageList_SetBkColor(handle_, ListColor(bkColor_));
  }
  return handle_;
}

void TCustomImageList::SetHandle(HIMAGELIST list) {
  FreeHandle();
  handle_ = list;
  if (list != nullptr) {
    ImageList_GetIconSize(list, &width_, &height_);
    const COLORREF back = ImageList_GetBkColor(list);
    bkColor_ = back == CLR_NONE ? clNone : static_cast<TColor>(back);
  }
  Change();
}

void TCustomImageList::Recreate() {
  FreeHandle();
  Change();
}

int TCustomImageList::GetCount() const { return handle_ ? ImageList_GetImageCount(handle_) : 0; }

void TCustomImageList::SetWidth(int width) {
  if (width == width_) return;
  width_ = width;
  Recreate();
}

void TCustomImageList::SetHeight(int height) {
  if (height == height_) return;
  height_ = height;
  Recreate();
}

void TCustomImageList::SetBkColor(TColor colour) {
  bkColor_ = colour;
  if (handle_) ImageList_SetBkColor(handle_, ListColor(colour));
  Change();
}

void TCustomImageList::SetBlendColor(TColor colour) {
  blendColor_ = colour;
  Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle style) {
  drawingStyle_ = style;
  Change();
}

void TCustomImageList::SetImageType(TImageType type) {
  imageType_ = type;
  Change();
}

void TCustomImageList::SetMasked(bool masked) {
  if (masked == masked_) return;
  masked_ = masked;
  Recreate();
}

void TCustomImageList::Change() {
  // A link may unregister itself from its handler.
  const std::vector<TChangeLink*> links = links_;
  for (TChangeLink* link : links)
    if (std::find(links_.begin(), links_.end(), link) != links_.end()) link->Change();
  if (OnChange) OnChange(this);
}

void TCustomImageList::RegisterChanges(TChangeLink* link) {
  if (link == nullptr) return;
  link->Sender = this;
  if (std::find(links_.begin(), links_.end(), link) == links_.end()) links_.push_back(link);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* link) {
  links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
  if (link != nullptr && link->Sender == this) link->Sender = nullptr;
}

void TCustomImageList::CheckIndex(int index) const {
  if (index < 0 || index >= GetCount()) throw EInvalidOperation(VclText::ImageIndexError);
}

void TCustomImageList::CheckImage(const TBitmap* image) const {
  if (image == nullptr) return;
  if (image->GetWidth() < width_ || image->GetHeight() < height_) throw EInvalidOperation(VclText::InvalidImageSize);
}

int TCustomImageList::Add(TBitmap* image, TBitmap* mask) {
  CheckImage(image);
  const int index = ImageList_Add(GetHandle(), image ? image->GetHandle() : nullptr, mask ? mask->GetHandle() : nullptr);
  Change();
  return index;
}

int TCustomImageList::AddMasked(TBitmap* image, TColor maskColour) {
  CheckImage(image);
  if (image == nullptr) return -1;
  if (!masked_) return Add(image, nullptr);
  const TColor colour = maskColour == clDefault ? image->GetTransparentColor() : maskColour;
  const int index = ImageList_AddMasked(GetHandle(), image->GetHandle(), ColorToRGB(colour));
  Change();
  return index;
}

int TCustomImageList::AddIcon(TIcon* icon) {
  if (icon == nullptr) return -1;
  const int index = ImageList_AddIcon(GetHandle(), icon->GetHandle());
  Change();
  return index;
}

void TCustomImageList::AddImages(TCustomImageList* list) {
  if (list == nullptr) return;
  for (int i = 0; i < list->GetCount(); ++i) {
    TBitmap image, mask;
    image.SetSize(list->width_, list->height_);
    ImageList_DrawEx(list->GetHandle(), i, image.GetCanvas()->GetHandle(), 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_IMAGE);
    mask.SetMonochrome(true);
    mask.SetSize(list->width_, list->height_);
    ImageList_DrawEx(list->GetHandle(), i, mask.GetCanvas()->GetHandle(), 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_MASK);
    ImageList_Add(GetHandle(), image.GetHandle(), list->masked_ ? mask.GetHandle() : nullptr);
  }
  Change();
}

void TCustomImageList::MoveLastTo(int index) {
  for (int i = GetCount() - 1; i > index; --i) ImageList_Copy(handle_, i, handle_, i - 1, ILCF_SWAP);
}

void TCustomImageList::Insert(int index, TBitmap* image, TBitmap* mask) {
  if (index < 0 || index > GetCount()) throw EInvalidOperation(VclText::ImageIndexError);
  CheckImage(image);
  if (ImageList_Add(GetHandle(), image ? image->GetHandle() : nullptr, mask ? mask->GetHandle() : nullptr) < 0)
    throw EInvalidOperation(VclText::InsertImage);
  MoveLastTo(index);
  Change();
}

void TCustomImageList::InsertMasked(int index, TBitmap* image, TColor maskColour) {
  if (index < 0 || index > GetCount()) throw EInvalidOperation(VclText::ImageIndexError);
  if (AddMasked(image, maskColour) < 0) throw EInvalidOperation(VclText::InsertImage);
  MoveLastTo(index);
  Change();
}

void TCustomImageList::InsertIcon(int index, TIcon* icon) {
  if (index < 0 || index > GetCount()) throw EInvalidOperation(VclText::ImageIndexError);
  if (AddIcon(icon) < 0) throw EInvalidOperation(VclText::InsertImage);
  MoveLastTo(index);
  Change();
}

void TCustomImageList::Replace(int index, TBitmap* image, TBitmap* mask) {
  CheckIndex(index);
  CheckImage(image);
  if (!ImageList_Replace(GetHandle(), index, image ? image->GetHandle() : nullptr, mask ? mask->GetHandle() : nullptr))
    throw EInvalidOperation(VclText::ReplaceImage);
  Change();
}

void TCustomImageList::ReplaceMasked(int index, TBitmap* image, TColor maskColour) {
  CheckIndex(index);
  CheckImage(image);
  if (image == nullptr) throw EInvalidOperation(VclText::ReplaceImage);
  // Added at the end with its mask made from the colour, then moved into place.
  const TColor colour = maskColour == clDefault ? image->GetTransparentColor() : maskColour;
  const int added = masked_ ? ImageList_AddMasked(GetHandle(), image->GetHandle(), ColorToRGB(colour))
                            : ImageList_Add(GetHandle(), image->GetHandle(), nullptr);
  if (added < 0 || !ImageList_Copy(handle_, index, handle_, added, ILCF_MOVE)) throw EInvalidOperation(VclText::ReplaceImage);
  ImageList_Remove(handle_, added);
  Change();
}

void TCustomImageList::ReplaceIcon(int index, TIcon* icon) {
  CheckIndex(index);
  if (icon == nullptr || ImageList_ReplaceIcon(GetHandle(), index, icon->GetHandle()) < 0)
    throw EInvalidOperation(VclText::ReplaceImage);
  Change();
}

void TCustomImageList::Delete(int index) {
  CheckIndex(index);
  ImageList_Remove(handle_, index);
  Change();
}

void TCustomImageList::Clear() {
  if (handle_) ImageList_RemoveAll(handle_);
  Change();
}

void TCustomImageList::Move(int currentIndex, int newIndex) {
  if (currentIndex == newIndex) return;
  CheckIndex(currentIndex);
  CheckIndex(newIndex);
  const int step = newIndex > currentIndex ? 1 : -1;
  for (int i = currentIndex; i != newIndex; i += step) ImageList_Copy(handle_, i, handle_, i + step, ILCF_SWAP);
  Change();
}

UINT TCustomImageList::DrawStyle(TDrawingStyle style, TImageType type) const {
  static constexpr UINT kStyles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
  return kStyles[style] | (type == itMask ? ILD_MASK : 0);
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) {
  Draw(canvas, x, y, index, drawingStyle_, imageType_, enabled);
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, TDrawingStyle style, TImageType type,
                            bool enabled) {
  if (!handle_ || canvas == nullptr) return;
  DoDraw(index, canvas, x, y, DrawStyle(style, type), enabled);
}

void TCustomImageList::DrawOverlay(TCanvas* canvas, int x, int y, int imageIndex, TOverlay overlay, bool enabled) {
  if (!handle_ || canvas == nullptr || overlay < 0 || overlay > 3) return;
  DoDraw(imageIndex, canvas, x, y, DrawStyle(drawingStyle_, imageType_) | INDEXTOOVERLAYMASK(overlay + 1), enabled);
}

bool TCustomImageList::Overlay(int imageIndex, TOverlay overlay) {
  if (overlay < 0 || overlay > 3) return false;
  return ImageList_SetOverlayImage(GetHandle(), imageIndex, overlay + 1) != FALSE;
}

void TCustomImageList::DoDraw(int index, TCanvas* canvas, int x, int y, UINT style, bool enabled) {
  if (enabled) {
    ImageList_DrawEx(handle_, index, canvas->GetHandle(), x, y, 0, 0, ListColor(bkColor_), ListColor(blendColor_), style);
    return;
  }
  if (index < 0 || index >= GetCount()) return;
  // The image drawn over white into a monochrome bitmap: black wherever it is not white.
  if (!mono_) {
    mono_ = std::make_unique<TBitmap>();
    mono_->SetMonochrome(true);
  }
  mono_->SetSize(width_, height_);
  TCanvas* mono = mono_->GetCanvas();
  mono->GetBrush()->SetColor(clWhite);
  mono->FillRect(TRect(0, 0, width_, height_));
  ImageList_DrawEx(handle_, index, mono->GetHandle(), 0, 0, 0, 0, CLR_DEFAULT, CLR_NONE, ILD_NORMAL);
  // Those pixels painted clBtnHighlight one pixel right and down, then clBtnShadow in place.
  HDC dc = canvas->GetHandle();
  for (TColor colour : {clBtnHighlight, clBtnShadow}) {
    const int offset = colour == clBtnHighlight ? 1 : 0;
    HBRUSH brush = CreateSolidBrush(ColorToRGB(colour));
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    const COLORREF oldText = ::SetTextColor(dc, 0xFFFFFF), oldBack = ::SetBkColor(dc, 0);
    BitBlt(dc, x + offset, y + offset, width_, height_, mono->GetHandle(), 0, 0, kBrushWhereSource);
    ::SetTextColor(dc, oldText);
    ::SetBkColor(dc, oldBack);
    SelectObject(dc, oldBrush);
    DeleteObject(brush);
  }
}

void TCustomImageList::GetBitmap(int index, TBitmap* image) {
  if (image == nullptr || !handle_) return;
  image->SetSize(width_, height_);
  Draw(image->GetCanvas(), 0, 0, index);
}

void TCustomImageList::GetIcon(int index, TIcon* icon) {
  if (icon == nullptr || !handle_) return;
  CheckIndex(index);
  icon->SetHandle(ImageList_GetIcon(handle_, index, ILD_NORMAL));
}

void TCustomImageList::Assign(const TPersistent* source) {
  if (source == this) return;
  if (source == nullptr) {
    Clear();
    return;
  }
  const auto* list = dynamic_cast<const TCustomImageList*>(source);
  if (list == nullptr) return TPersistent::Assign(source);
  FreeHandle();
  width_ = list->width_;
  height_ = list->height_;
  allocBy_ = list->allocBy_;
  bkColor_ = list->bkColor_;
  blendColor_ = list->blendColor_;
  drawingStyle_ = list->drawingStyle_;
  imageType_ = list->imageType_;
  masked_ = list->masked_;
  AddImages(const_cast<TCustomImageList*>(list));
}
