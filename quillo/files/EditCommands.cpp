#include "quillo/files/EditCommands.h"

#include <new>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/GlobalMemory.h"
#include "platform/user/Clipboard.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/files/ClipboardDib.h"

namespace {

// Opens the clipboard for the scope and closes it again whatever happens.
class OpenedClipboard {
public:
  explicit OpenedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
  ~OpenedClipboard() {
    if (open_) CloseClipboard();
  }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  bool IsOpen() const { return open_; }

private:
  bool open_;
};

// A locked block, unlocked at the end of the scope.
class LockedBlock {
public:
  explicit LockedBlock(HGLOBAL block) : block_(block), bytes_(block ? GlobalLock(block) : nullptr) {}
  ~LockedBlock() {
    if (bytes_) GlobalUnlock(block_);
  }
  LockedBlock(const LockedBlock&) = delete;
  LockedBlock& operator=(const LockedBlock&) = delete;
  std::uint8_t* Bytes() const { return static_cast<std::uint8_t*>(bytes_); }
  std::size_t Size() const { return bytes_ ? GlobalSize(block_) : 0; }

private:
  HGLOBAL block_;
  void* bytes_;
};

void RepaintView() {
  if (ImageForm != nullptr && ImageForm->ShowBuf != nullptr) ImageForm->ShowBuf->Invalidate();
}

}  // namespace

bool HasSelection(const UDBuffer& picture) { return picture.Outline != nullptr; }

void DropSelection(UDBuffer& picture) {
  picture.ClearSelection(false);
  if (!picture.HasSelectionBounds()) return;
  // Bits left behind by an outline that could not be traced.
  picture.SetMaskAll(false);
  picture.UpdateSelectionBounds();
  RepaintView();
}

Rect EditRectangle(const UDBuffer& picture) {
  if (HasSelection(picture)) {
    const Rect bounds(picture.SelLeft, picture.SelTop, picture.SelRight, picture.SelBottom);
    return Intersect(bounds, Rect(0, 0, picture.Width() - 1, picture.Height() - 1));
  }
  return Rect(0, 0, picture.Width() - 1, picture.Height() - 1);
}

ClipboardWrite CopyPictureToClipboard(const UDBuffer& picture, HWND owner) {
  const bool selected = HasSelection(picture);
  const Rect r = EditRectangle(picture);
  const std::int64_t size = r.Empty() ? -1 : ClipboardDibSize(r.Width(), r.Height());
  if (picture.pixels == nullptr || size < 0) return ClipboardWrite::NoMemory;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(size));
  if (block == nullptr) return ClipboardWrite::NoMemory;
  {
    LockedBlock bytes(block);
    if (bytes.Bytes() == nullptr) {
      GlobalFree(block);
      return ClipboardWrite::NoMemory;
    }
    // The picture's rectangle is in image coordinates from 0, 0; its pixels from rect.left.
    const Rect inPicture(r.left + picture.rect.left, r.top + picture.rect.top, r.right + picture.rect.left,
                         r.bottom + picture.rect.top);
    WriteClipboardDib(picture, inPicture, selected ? &picture.Mask : nullptr, bytes.Bytes());
  }
  OpenedClipboard clipboard(owner);
  if (!clipboard.IsOpen() || !EmptyClipboard() || SetClipboardData(CF_DIB, block) == nullptr) {
    // The clipboard never took the block: it is still ours to free.
    GlobalFree(block);
    return ClipboardWrite::Refused;
  }
  return ClipboardWrite::Written;
}

void ErasePicture(UDBuffer& picture, uint colour) {
  colour &= 0x00FFFFFFu;
  if (!HasSelection(picture)) {
    picture.Box(picture.rect, colour);
    return;
  }
  const Rect r = EditRectangle(picture);
  for (int y = r.top; y <= r.bottom; ++y) {
    uint* row = picture.At(picture.rect.left, picture.rect.top + y);
    for (int x = r.left; x <= r.right; ++x)
      if (picture.IsSelected(x, y)) row[x] = colour;
  }
}

void InvertSelectionMask(UDBuffer& picture) {
  BitBuffer& mask = picture.Mask;
  if (mask.words == nullptr) return;
  // Whole words at once; the bits past the right edge stay as they were.
  const int fullWords = mask.width >> 5;
  const int tailBits = mask.width & 31;
  const uint tailMask = tailBits != 0 ? (1u << tailBits) - 1 : 0;
  for (int y = 0; y < mask.height; ++y) {
    uint* row = mask.words + static_cast<long>(y) * mask.stride;
    for (int i = 0; i < fullWords; ++i) row[i] = ~row[i];
    if (tailBits != 0) row[fullWords] ^= tailMask;
  }
}

bool ClipboardHasPicture() {
  return IsClipboardFormatAvailable(CF_DIB) != FALSE || IsClipboardFormatAvailable(CF_BITMAP) != FALSE;
}

ClipboardRead ReadClipboardPicture(HWND owner, Buffer& picture) {
  picture.Free();
  if (!ClipboardHasPicture()) return ClipboardRead::NoPicture;
  OpenedClipboard clipboard(owner);
  if (!clipboard.IsOpen()) return ClipboardRead::Busy;
  HANDLE data = GetClipboardData(CF_DIB);
  if (data == nullptr) return ClipboardRead::Damaged;  // a bitmap that would not convert
  LockedBlock bytes(data);
  if (bytes.Bytes() == nullptr) return ClipboardRead::Damaged;
  try {
    if (!PictureFromClipboardDib(bytes.Bytes(), bytes.Size(), picture)) return ClipboardRead::Damaged;
  } catch (const Exception&) {
    picture.Free();
    return ClipboardRead::Failed;
  } catch (const std::bad_alloc&) {
    picture.Free();
    return ClipboardRead::Failed;
  }
  return ClipboardRead::Read;
}

Rect PasteIntoPicture(UDBuffer& target, const Buffer& pasted, PastePlacement placement, bool selectPasted) {
  Pair<int> at(0, 0);
  if (placement == PastePlacement::AsSelection && HasSelection(target)) {
    at = Pair<int>(target.SelLeft, target.SelTop);
    DropSelection(target);
  }
  // Pixel positions of target count from its own first pixel.
  const Pair<int> offset(target.rect.left + at.x - pasted.rect.left, target.rect.top + at.y - pasted.rect.top);
  target.Copy(pasted, offset, 0xFF000000u);
  const Rect landed = Intersect(Rect(at.x, at.y, at.x + pasted.Width() - 1, at.y + pasted.Height() - 1),
                                Rect(0, 0, target.Width() - 1, target.Height() - 1));
  if (placement == PastePlacement::AsSelection && selectPasted && !landed.Empty() && target.Mask.words != nullptr) {
    for (int y = landed.top; y <= landed.bottom; ++y) {
      const uint* row = pasted.At(pasted.rect.left + landed.left - at.x, pasted.rect.top + y - at.y);
      for (int x = landed.left; x <= landed.right; ++x)
        if ((row[x - landed.left] >> 24) == 0) target.SetMaskPixel(x, y, true);
    }
    target.RebuildSelectionOutline();
  }
  return landed;
}
