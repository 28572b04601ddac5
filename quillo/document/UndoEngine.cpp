#include "quillo/document/UndoEngine.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <memory>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "platform/user/WinConst.h"
#include "quillo/base/Language.h"
#include "quillo/base/Settings.h"
#include "quillo/document/DocumentHost.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/MaskRows.h"
#include "quillo/document/UndoSwapFile.h"
#include "quillo/document/Zoom.h"
#include "vorlen/core/PixelBlock.h"

UndoCounters UndoTotals;

namespace {

void AllocPicture(UDBuffer& picture, int width, int height) { picture.Alloc(width, height); }

}  // namespace

UndoPictureAllocator UndoAllocPicture = AllocPicture;

namespace {

enum class Chain { Undo, Redo };

UndoEntry*& Head(UDBuffer& p, Chain c) { return c == Chain::Undo ? p.UndoChain : p.RedoChain; }

// Adds kb (negative: takes off) to the counter of the picture and the global one that hold
// a step of that chain and place.
void Count(UDBuffer& p, Chain c, bool onDisk, std::int64_t kb) {
  if (c == Chain::Undo) {
    (onDisk ? p.UndoDiskKB : p.UndoMemKB) += kb;
    (onDisk ? UndoTotals.UndoDiskKB : UndoTotals.UndoMemKB) += kb;
  } else {
    (onDisk ? p.RedoDiskKB : p.RedoMemKB) += kb;
    (onDisk ? UndoTotals.RedoDiskKB : UndoTotals.RedoMemKB) += kb;
  }
}

std::int64_t MemoryInUse() { return UndoTotals.UndoMemKB + UndoTotals.RedoMemKB; }
std::int64_t DiskInUse() { return UndoTotals.UndoDiskKB + UndoTotals.RedoDiskKB; }

// A budget that was never set takes no limit from it (start-up sets both).
std::int64_t Budget(std::int64_t setting) {
  return setting < 0 ? std::numeric_limits<std::int64_t>::max() / 4 : setting;
}

void PushHead(UDBuffer& p, Chain c, std::unique_ptr<UndoEntry> step) {
  UndoEntry*& head = Head(p, c);
  UndoEntry* s = step.release();
  s->Prev = nullptr;
  s->Next = head;
  if (head != nullptr) head->Prev = s;
  head = s;
  Count(p, c, s->OnDisk, s->SizeKB());
}

// Takes the step out of the chain and its size off the counters; the caller owns it then.
std::unique_ptr<UndoEntry> Unlink(UDBuffer& p, Chain c, UndoEntry* s) {
  UndoEntry*& head = Head(p, c);
  if (head == s) head = s->Next;
  if (s->Prev != nullptr) s->Prev->Next = s->Next;
  if (s->Next != nullptr) s->Next->Prev = s->Prev;
  s->Next = s->Prev = nullptr;
  Count(p, c, s->OnDisk, -s->SizeKB());
  return std::unique_ptr<UndoEntry>(s);
}

// The oldest step of the chain that is (or is not) on disk; null when none. With protect,
// the chain's newest step is never the answer.
UndoEntry* Oldest(UDBuffer& p, Chain c, bool onDisk, bool protectNewest) {
  UndoEntry* found = nullptr;
  for (UndoEntry* s = Head(p, c); s != nullptr; s = s->Next)
    if (s->OnDisk == onDisk && !(protectNewest && s == Head(p, c))) found = s;
  return found;
}

// The pictures the budgets look at besides p: the open documents in list order, then the
// brush.
std::vector<UDBuffer*> OtherPictures(const UDBuffer& p) {
  std::vector<UDBuffer*> others;
  for (int i = 0; i < ImgFormCount; ++i) {
    UDBuffer* q = &ImgForms[static_cast<std::size_t>(i)]->Picture;
    if (q != &p) others.push_back(q);
  }
  if (&Brush != &p) others.push_back(&Brush);
  return others;
}

// Copies the rows y1..y2 of picture p that the deferred step s still lacks, a band at a
// time. The rows of a pending band are as they were when the step opened: whatever changes
// the picture asks for its rows first.
void KeepBands(UDBuffer& p, UndoEntry& s, int y1, int y2) {
  if (s.PendingBands.empty()) return;
  y1 = std::max(y1 - s.Top, 0);
  y2 = std::min(y2 - s.Top, s.Height() - 1);
  const std::size_t width = static_cast<std::size_t>(s.Width());
  for (int band = y1 / kDeferredBandRows; y1 <= y2 && band <= y2 / kDeferredBandRows; ++band) {
    std::uint8_t& pending = s.PendingBands[static_cast<std::size_t>(band)];
    if (pending == 0) continue;
    const int end = std::min((band + 1) * kDeferredBandRows, s.Height());
    for (int y = band * kDeferredBandRows; y < end; ++y)
      std::memcpy(s.Saved.At(0, y), p.At(s.Left, s.Top + y), width * 4);
    pending = 0;
  }
  if (std::find(s.PendingBands.begin(), s.PendingBands.end(), 1) == s.PendingBands.end())
    s.PendingBands.clear();
}

// Every row of a deferred step in Saved, before anything reads the step or changes the
// picture otherwise.
void CompleteStep(UDBuffer& p, UndoEntry& s) {
  if (!s.PendingBands.empty()) KeepBands(p, s, s.Top, s.Bottom);
}

// Writes the whole of a step's Saved picture to a new swap file.
bool WriteSaved(UndoEntry& s, SwapFileWriter& file) {
  const UDBuffer& saved = s.Saved;
  const int w = s.Width(), h = s.Height();
  if (!file.Create() || !file.WriteHeader(saved, w, h)) return false;
  for (int y = 0; y < h; ++y)
    if (!file.WriteWords(saved.At(0, y), static_cast<std::size_t>(w))) return false;
  std::vector<uint> row(static_cast<std::size_t>(MaskRowWords(w)));
  for (int y = 0; y < h; ++y) {
    ReadMaskBits(saved.Mask, 0, y, w, row.data());
    if (!file.WriteWords(row.data(), row.size())) return false;
  }
  return file.Finish();
}

// Moves one step of the chain from memory into a swap file; its size, or 0 when none was
// swapped (none in memory, only the protected newest, over the disk budget, not written).
std::int64_t SwapOutOldest(UDBuffer& p, Chain c, bool protectNewest) {
  UndoEntry* s = Oldest(p, c, false, protectNewest);
  if (s == nullptr) return 0;
  const std::int64_t kb = s->SizeKB();
  if (kb == 0 || kb + DiskInUse() > Budget(Settings.UndoDisk)) return 0;
  CompleteStep(p, *s);
  SwapFileWriter file;
  if (!WriteSaved(*s, file)) return 0;
  Count(p, c, false, -kb);
  s->SwapFile = file.Path();
  s->OnDisk = true;
  static_cast<Buffer&>(s->Saved).Free();
  s->Saved.Mask.Free();
  Count(p, c, true, kb);
  return kb;
}

// Deletes the oldest swapped step of the chain; its size, or 0 when there was none.
std::int64_t DeleteOldestSwapped(UDBuffer& p, Chain c, bool protectNewest) {
  UndoEntry* s = Oldest(p, c, true, protectNewest);
  if (s == nullptr) return 0;
  const std::int64_t kb = s->SizeKB();
  Unlink(p, c, s);  // destroyed here, its file with it
  return std::max<std::int64_t>(kb, 1);
}

// Runs one step of room-making over the other pictures, then over p, until need is met.
template <typename StepFn>
std::int64_t MakeRoom(UDBuffer& p, std::int64_t need, bool protectOwn, StepFn step) {
  while (need > 0) {
    std::int64_t got = 0;
    for (UDBuffer* q : OtherPictures(p)) {
      got = step(*q, Chain::Redo, false);
      if (got == 0) got = step(*q, Chain::Undo, false);
      if (got != 0) break;
    }
    if (got == 0) break;
    need -= got;
  }
  while (need > 0) {
    std::int64_t got = step(p, Chain::Redo, protectOwn);
    if (got == 0) got = step(p, Chain::Undo, protectOwn);
    if (got == 0) break;
    need -= got;
  }
  return std::max<std::int64_t>(need, 0);
}

void ShowError(const char* key) { LangMessageBox(key, "Err", MB_OK | MB_ICONEXCLAMATION); }

// --- capture ---

struct Area {
  int left, top, right, bottom;
  int Width() const { return right - left + 1; }
  int Height() const { return bottom - top + 1; }
};

void PlaceStep(UndoEntry& s, const Area& area) {
  s.Left = area.left;
  s.Top = area.top;
  s.Right = area.right;
  s.Bottom = area.bottom;
}

// Narrows a step kept in memory to cut within its own blocks, without a fresh copy: a large
// step narrowed into new memory would pay for first touching all of it. Rows move towards the
// start in order (row y lands before any row not yet moved), rows still pending come straight
// from the picture, and the pages past the narrowed step go back to the system. False, with
// nothing changed, where the step's blocks are not its own.
bool NarrowInPlace(UDBuffer& p, UndoEntry& s, const Area& cut) {
  // Large blocks give their unused part back in huge pages, so what the step holds stays
  // within a huge page of what it counts; a small one is copied, cheaply.
  constexpr std::int64_t kInPlaceBytes = std::int64_t(8) << 20;
  UDBuffer& saved = s.Saved;
  BitBuffer& mask = saved.Mask;
  if (std::int64_t(s.Width()) * s.Height() * 4 < kInPlaceBytes || saved.pixels == nullptr || saved.ownership == Buffer::kView || saved.stride != s.Width() ||
      saved.rect.left != 0 || saved.rect.top != 0 || mask.words == nullptr || mask.ownership == BitBuffer::kView)
    return false;
  const int w = cut.Width(), h = cut.Height();
  const int dx = cut.left - s.Left, dy = cut.top - s.Top;
  const std::size_t rowBytes = static_cast<std::size_t>(w) * 4;
  uint* const pixels = saved.pixels;
  uint* const oldEnd = pixels + static_cast<std::size_t>(saved.stride) * s.Height();
  for (int y = 0; y < h; ++y) {
    const bool pending =
        !s.PendingBands.empty() && s.PendingBands[static_cast<std::size_t>((dy + y) / kDeferredBandRows)];
    const uint* from = pending ? p.At(cut.left, cut.top + y) : saved.At(dx, dy + y);
    std::memmove(pixels + static_cast<std::size_t>(y) * w, from, rowBytes);
  }
  s.PendingBands.clear();
  saved.stride = w;
  saved.rect = Rect(0, 0, w - 1, h - 1);
  // Four words of slack stay after the pixels, as every block has.
  ReleasePixelBlockPages(pixels + static_cast<std::size_t>(w) * h + 4, oldEnd);

  const int rowWords = MaskRowWords(w);
  std::vector<uint> row(static_cast<std::size_t>(rowWords));
  for (int y = 0; y < h; ++y) {
    ReadMaskBits(mask, dx, dy + y, w, row.data());
    std::memcpy(mask.words + static_cast<std::size_t>(y) * rowWords, row.data(), row.size() * sizeof(uint));
  }
  mask.stride = rowWords;
  mask.width = w;
  mask.height = h;
  return true;
}

// Now: copied at once; Deferred: copied as the picture asks (KeepRowsForUndo); Taken: the
// picture's own pixels and mask to be handed to the step (PushReplacedUndo).
enum class Pixels { Now, Deferred, Taken };

// Whether the step over the whole of p can take p's pixels and mask themselves.
bool CanTake(const UDBuffer& p) {
  return p.pixels != nullptr && p.ownership != Buffer::kView && p.rect.left == 0 && p.rect.top == 0 &&
         p.Mask.words != nullptr && p.Mask.ownership != BitBuffer::kView;
}

bool CaptureInMemory(UDBuffer& p, const Area& r, UndoEntry& s, Pixels pixels) {
  const int w = r.Width(), h = r.Height();
  if (w <= 0 || h <= 0) return true;
  // The step takes the picture's own once nothing can fail any more (PushReplacedUndo).
  if (pixels == Pixels::Taken) return true;
  try {
    UndoAllocPicture(s.Saved, w, h);
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (s.Saved.pixels == nullptr) return false;
  if (pixels == Pixels::Deferred)
    s.PendingBands.assign(static_cast<std::size_t>((h + kDeferredBandRows - 1) / kDeferredBandRows), 1);
  std::vector<uint> row(static_cast<std::size_t>(MaskRowWords(w)));
  const bool hasMask = p.Mask.words != nullptr;
  for (int y = 0; y < h; ++y) {
    if (pixels == Pixels::Now)
      std::memcpy(s.Saved.At(0, y), p.At(r.left, r.top + y), static_cast<std::size_t>(w) * 4);
    if (!hasMask) continue;
    ReadMaskBits(p.Mask, r.left, r.top + y, w, row.data());
    WriteMaskBits(s.Saved.Mask, 0, y, w, row.data());
  }
  return true;
}

bool CaptureToDisk(UDBuffer& p, const Area& r, UndoEntry& s) {
  const int w = r.Width(), h = r.Height();
  SwapFileWriter file;
  if (!file.Create() || !file.WriteHeader(p, w, h)) return false;
  for (int y = 0; y < h; ++y)
    if (!file.WriteWords(p.At(r.left, r.top + y), static_cast<std::size_t>(w))) return false;
  std::vector<uint> row(static_cast<std::size_t>(MaskRowWords(w)), 0);
  for (int y = 0; y < h; ++y) {
    if (p.Mask.words != nullptr) ReadMaskBits(p.Mask, r.left, r.top + y, w, row.data());
    if (!file.WriteWords(row.data(), row.size())) return false;
  }
  if (!file.Finish()) return false;
  s.SwapFile = file.Path();
  s.OnDisk = true;
  return true;
}

// A new step holding area r of p as it is now, placed in memory or on disk by the budgets
// (owner's chains are the picture's own there); null when it could not be made. A deferred
// step in memory leaves its pixels in p for now.
std::unique_ptr<UndoEntry> Capture(UDBuffer& p, UDBuffer& owner, const Area& r, bool whole,
                                   Pixels pixels = Pixels::Now) {
  try {
    auto s = std::make_unique<UndoEntry>();
    s->Left = r.left;
    s->Top = r.top;
    s->Right = r.right;
    s->Bottom = r.bottom;
    s->WholeImage = whole;
    const std::int64_t kb = s->SizeKB();
    bool toDisk = false;
    if (kb > 0) {
      const std::int64_t missing = MakeUndoMemory(owner, kb, ProtectNewest::Yes);
      if (missing > 0) {
        if (MakeUndoDisk(owner, missing) > 0) {
          toDisk = true;
        } else if (MakeUndoMemory(owner, kb, ProtectNewest::Yes) > 0) {
          MakeUndoDisk(owner, kb);
          toDisk = true;
        }
      }
    }
    bool captured = toDisk ? CaptureToDisk(p, r, *s) : CaptureInMemory(p, r, *s, pixels);
    // Memory may run out within the budget: the swap file needs a row buffer only.
    if (!captured && !toDisk && MakeUndoDisk(owner, kb) <= 0) {
      s->Saved.Free();
      s->PendingBands.clear();
      captured = CaptureToDisk(p, r, *s);
    }
    if (!captured) return nullptr;
    s->Saved.CopyAttributes(p);
    return s;
  } catch (...) {
    return nullptr;
  }
}

// The area of p a step over the same place as s would cover now: the whole image for a
// whole-image step (its size may have changed since), else s's rectangle.
Area AreaLike(const UDBuffer& p, const UndoEntry& s) {
  if (s.WholeImage) return Area{0, 0, p.Width() - 1, p.Height() - 1};
  return Area{s.Left, s.Top, s.Right, s.Bottom};
}

// --- restore ---

enum class Restored { Done, NoMemory, Unreadable };

// The saved pixels and mask of a step in a picture of its own: the step's own Saved picture
// when in memory, else read from its swap file into held.
Restored LoadSaved(UndoEntry& s, UDBuffer& held, UDBuffer*& from) {
  if (!s.OnDisk) {
    from = &s.Saved;
    return Restored::Done;
  }
  const int w = s.Width(), h = s.Height();
  SwapFileReader file;
  if (!file.Open(s.SwapFile, w, h)) return Restored::Unreadable;
  try {
    UndoAllocPicture(held, w, h);
  } catch (...) {
    return Restored::NoMemory;
  }
  if (held.pixels == nullptr) return Restored::NoMemory;
  for (int y = 0; y < h; ++y)
    if (!file.ReadWords(held.At(0, y), static_cast<std::size_t>(w))) return Restored::Unreadable;
  std::vector<uint> row(static_cast<std::size_t>(MaskRowWords(w)));
  for (int y = 0; y < h; ++y) {
    if (!file.ReadWords(row.data(), row.size())) return Restored::Unreadable;
    WriteMaskBits(held.Mask, 0, y, w, row.data());
  }
  from = &held;
  return Restored::Done;
}

// Puts the step back into p. Everything that can fail (reading the file, the memory for it)
// happens before p is touched, so a failure leaves p as it was.
Restored Restore(UDBuffer& p, UndoEntry& s) {
  UDBuffer held;
  UDBuffer* saved = nullptr;
  const int w = s.Width(), h = s.Height();
  if (w > 0 && h > 0) {
    const Restored loaded = LoadSaved(s, held, saved);
    if (loaded != Restored::Done) return loaded;
  }
  if (s.WholeImage) {
    if (saved != nullptr) {
      // The step is dropped after this: its pixels and mask change hands, nothing is copied.
      static_cast<Buffer&>(p) = static_cast<Buffer&>(*saved);
      p.Mask = saved->Mask;
    } else {
      p.Free();
    }
  } else if (saved != nullptr) {
    const int left = std::max(s.Left, 0), top = std::max(s.Top, 0);
    const int right = std::min(s.Right, p.Width() - 1), bottom = std::min(s.Bottom, p.Height() - 1);
    const int cw = right - left + 1;
    std::vector<uint> row(static_cast<std::size_t>(MaskRowWords(w)));
    std::vector<uint> part(static_cast<std::size_t>(MaskRowWords(std::max(cw, 1))));
    for (int y = top; y <= bottom && cw > 0; ++y) {
      const int sy = y - s.Top;
      std::memcpy(p.At(left, y), saved->At(left - s.Left, sy), static_cast<std::size_t>(cw) * 4);
      if (p.Mask.words == nullptr) continue;
      ReadMaskBits(saved->Mask, left - s.Left, sy, cw, part.data());
      WriteMaskBits(p.Mask, left, y, cw, part.data());
    }
  }
  p.CopyAttributes(s.Saved);
  return Restored::Done;
}

// The brush restored takes back its state and is stamped anew: BrushShape at its size.
void ShowRestoredBrush(const BrushStateBlock& state) {
  BrushState = state;
  try {
    BrushShape.Reshape(Brush.Width(), Brush.Height());
    if (Brush.pixels != nullptr && BrushShape.pixels == nullptr) throw std::bad_alloc();
    if (BrushShape.pixels != nullptr) {
      BrushShape.CopyFrom(Brush);
      TheDocumentHost().BrushRestored();
    }
  } catch (...) {
    LangMessageBox("NoMem", "Err", MB_OK | MB_ICONEXCLAMATION);
  }
}

// The active document shows the restored picture: its view and the tools' drawing view point
// at the (possibly new) pixels, the restored mask gets its outline (no selection is kept with
// the instant brush) and the zoom is applied again for a changed size.
void ShowRestored(UDBuffer& p, const BrushStateBlock& brushState) {
  if (&p == &Brush) ShowRestoredBrush(brushState);
  if (&p != CurrentPicture || ImageForm == nullptr || &ImageForm->Picture != &p) return;
  ImageForm->ShowBuf->SetBuffer(&p);
  if (!Settings.InstBrush) p.RebuildSelectionOutline();
  ApplyZoom();
  ImageForm->ShowBuf->Invalidate();
}

// The Edit menu's Undo and Redo and the buttons follow the active picture's history at once.
void ShowHistoryChanged(const UDBuffer& p) {
  if (&p == CurrentPicture) TheDocumentHost().UndoHistoryChanged();
}

void ReportRestoreFailure(Restored r) {
  ShowError(r == Restored::Unreadable ? "UndoFileErr" : "NoMem");
}

// A whole-image step held in memory is exchanged without copying: the present pixels and
// mask become the opposite step, and the step's own become the picture's.
bool HandsOver(const UDBuffer& p, const UndoEntry& s) {
  return s.WholeImage && !s.OnDisk && s.Saved.pixels != nullptr && p.pixels != nullptr &&
         p.Mask.words != nullptr;
}

// The opposite step of a hand-over, holding the present pixels and mask themselves; the
// picture is left without them until the step is restored into it. Null when the memory
// budget has no room for the difference in size.
std::unique_ptr<UndoEntry> TakePresent(UDBuffer& p, const UndoEntry& s) {
  auto opposite = std::make_unique<UndoEntry>();
  opposite->Left = 0;
  opposite->Top = 0;
  opposite->Right = p.Width() - 1;
  opposite->Bottom = p.Height() - 1;
  opposite->WholeImage = true;
  // The step goes from memory as the present state comes in: only a larger picture asks for
  // more room.
  const std::int64_t grows = opposite->SizeKB() - s.SizeKB();
  if (grows > 0 && MakeUndoMemory(p, grows, ProtectNewest::Yes) > 0) return nullptr;
  opposite->Saved.CopyAttributes(p);
  static_cast<Buffer&>(opposite->Saved) = static_cast<Buffer&>(p);
  opposite->Saved.Mask = p.Mask;
  return opposite;
}

// A step held in memory over a part of the picture is exchanged in place: its pixels and
// mask bits trade places with the picture's, and its own memory becomes the opposite step, so
// Undo and Redo neither copy into nor first touch new memory.
bool SwapsInPlace(const UDBuffer& p, const UndoEntry& s) {
  return !s.WholeImage && !s.OnDisk && s.PendingBands.empty() && s.Saved.pixels != nullptr &&
         s.Saved.Mask.words != nullptr && p.pixels != nullptr && p.Mask.words != nullptr && s.Left >= 0 &&
         s.Top >= 0 && s.Right < p.Width() && s.Bottom < p.Height() && s.Saved.Width() == s.Width() &&
         s.Saved.Height() == s.Height();
}

std::unique_ptr<UndoEntry> SwapPresent(UDBuffer& p, UndoEntry& s) {
  auto opposite = std::make_unique<UndoEntry>();
  PlaceStep(*opposite, AreaLike(p, s));
  UDBuffer presentAttributes;
  presentAttributes.CopyAttributes(p);
  const int w = s.Width(), h = s.Height();
  std::vector<uint> present(static_cast<std::size_t>(MaskRowWords(w))), saved(present.size());
  for (int y = 0; y < h; ++y) {
    uint* row = p.At(s.Left, s.Top + y);
    std::swap_ranges(row, row + w, s.Saved.At(0, y));
    ReadMaskBits(p.Mask, s.Left, s.Top + y, w, present.data());
    ReadMaskBits(s.Saved.Mask, 0, y, w, saved.data());
    WriteMaskBits(p.Mask, s.Left, s.Top + y, w, saved.data());
    WriteMaskBits(s.Saved.Mask, 0, y, w, present.data());
  }
  p.CopyAttributes(s.Saved);
  static_cast<Buffer&>(opposite->Saved) = static_cast<Buffer&>(s.Saved);
  opposite->Saved.Mask = s.Saved.Mask;
  opposite->Saved.CopyAttributes(presentAttributes);
  return opposite;
}

// Exchanges the newest step of one chain for the present state, which goes to the other
// chain: the state is captured first, the step restored, and only then are both chains
// changed. A failure leaves picture and chains as they were.
bool Exchange(UDBuffer& p, Chain from) {
  UndoEntry* s = Head(p, from);
  if (s == nullptr) return false;
  const Chain to = from == Chain::Undo ? Chain::Redo : Chain::Undo;
  // A swap file that has gone must be found missing before the present state is captured:
  // the capture's new file may take the freed name, and would then be read back as the step.
  if (s->OnDisk && s->Width() > 0 && s->Height() > 0) {
    SwapFileReader probe;
    if (!probe.Open(s->SwapFile, s->Width(), s->Height())) {
      ReportRestoreFailure(Restored::Unreadable);
      return false;
    }
  }
  std::unique_ptr<UndoEntry> opposite;
  if (SwapsInPlace(p, *s)) {
    opposite = SwapPresent(p, *s);
  } else {
    opposite = HandsOver(p, *s) ? TakePresent(p, *s) : Capture(p, p, AreaLike(p, *s), s->WholeImage);
    if (opposite == nullptr) {
      ShowError("NoMem");
      return false;
    }
    // Capturing may have moved s to disk, never dropped it (the chain's newest is protected).
    Restored restored;
    try {
      restored = Restore(p, *s);
    } catch (...) {
      restored = Restored::NoMemory;
    }
    if (restored != Restored::Done) {
      if (p.pixels == opposite->Saved.pixels) {
        // A hand-over gives the present state back.
        static_cast<Buffer&>(p) = static_cast<Buffer&>(opposite->Saved);
        p.Mask = opposite->Saved.Mask;
      }
      ReportRestoreFailure(restored);
      return false;
    }
  }
  opposite->Description = s->Description;
  if (&p == &Brush) opposite->BrushState = BrushState;
  const BrushStateBlock brushState = s->BrushState;
  PushHead(p, to, std::move(opposite));
  Unlink(p, from, s);
  ShowRestored(p, brushState);
  ShowHistoryChanged(p);
  return true;
}

// A step over the whole of p whose pixels are kept later (Deferred) or taken from p (Taken).
bool PushWholeStep(UDBuffer& p, const AnsiString& description, Pixels pixels) {
  if (p.UndoChain != nullptr) CompleteStep(p, *p.UndoChain);
  std::unique_ptr<UndoEntry> s = Capture(p, p, Area{0, 0, p.Width() - 1, p.Height() - 1}, true, pixels);
  if (s == nullptr) {
    ShowError("NoMem");
    return false;
  }
  p.FreeRedo();
  s->Description = description;
  if (&p == &Brush) s->BrushState = BrushState;
  if (pixels == Pixels::Taken && !s->OnDisk) {
    // Last, where nothing can throw: a step dropped after this would free the picture's pixels.
    static_cast<Buffer&>(s->Saved) = static_cast<Buffer&>(p);
    s->Saved.Mask = p.Mask;
  }
  PushHead(p, Chain::Undo, std::move(s));
  ShowHistoryChanged(p);
  return true;
}

bool ReadMemInfo(const char* key, std::int64_t& kb) {
  std::ifstream in("/proc/meminfo");
  std::string line;
  const std::size_t keyLength = std::strlen(key);
  while (std::getline(in, line)) {
    if (line.compare(0, keyLength, key) != 0 || line.size() <= keyLength ||
        line[keyLength] != ':')
      continue;
    std::istringstream fields(line.substr(keyLength + 1));
    long long value = -1;
    if (!(fields >> value) || value < 0) return false;
    kb = value;
    return true;
  }
  return false;
}

}  // namespace

// --- UndoEntry ---

UndoEntry::~UndoEntry() {
  if (!SwapFile.empty()) unlink(SwapFile.c_str());
}

std::int64_t UndoEntry::SizeKB() const { return UndoSizeKB(Width(), Height()); }

std::int64_t UndoSizeKB(int width, int height) {
  if (width <= 0 || height <= 0) return 0;
  const std::int64_t w = width, h = height;
  return (((w + 31) >> 5) * 4 * h + w * h * 4 + 1023) >> 10;
}

int UndoStepWidth(const UDBuffer& picture) {
  return picture.UndoChain != nullptr ? std::max(picture.UndoChain->Width(), 0) : 0;
}

int UndoStepHeight(const UDBuffer& picture) {
  return picture.UndoChain != nullptr ? std::max(picture.UndoChain->Height(), 0) : 0;
}

// --- budgets ---

std::int64_t AvailableMemoryKB() {
  std::int64_t kb = -1;
  return ReadMemInfo("MemAvailable", kb) ? kb : -1;
}

std::int64_t FreeDiskKB(const AnsiString& folder) {
  struct statvfs st;
  if (folder.empty() || statvfs(folder.c_str(), &st) != 0) return -1;
  return static_cast<std::int64_t>(st.f_bavail) * static_cast<std::int64_t>(st.f_frsize) / 1024;
}

std::int64_t MakeUndoMemory(UDBuffer& picture, std::int64_t needKB, ProtectNewest protect) {
  std::int64_t room = Budget(Settings.UndoMem) - MemoryInUse();
  const std::int64_t available = AvailableMemoryKB();
  if (available >= 0) room = std::min(room, available);
  return MakeRoom(picture, needKB - room, protect == ProtectNewest::Yes, SwapOutOldest);
}

std::int64_t MakeUndoDisk(UDBuffer& picture, std::int64_t needKB) {
  std::int64_t room = Budget(Settings.UndoDisk) - DiskInUse();
  const std::int64_t free = FreeDiskKB(UndoSwapFolderPath());
  if (free >= 0) room = std::min(room, free);
  // The newest step of each of this picture's chains is never deleted.
  return MakeRoom(picture, needKB - room, true, DeleteOldestSwapped);
}

void MoveUndoFiles(UDBuffer& picture) {
  for (Chain c : {Chain::Undo, Chain::Redo}) {
    for (UndoEntry* s = Head(picture, c); s != nullptr; s = s->Next) {
      if (!s->OnDisk) continue;
      const AnsiString moved = MoveSwapFile(s->SwapFile);
      if (!moved.empty()) {
        s->SwapFile = moved;
        continue;
      }
      // This step and every older one go: a chain never has a gap.
      while (s != nullptr) {
        UndoEntry* older = s->Next;
        Unlink(picture, c, s);
        s = older;
      }
      break;
    }
  }
  RemoveEmptyOldSwapFolders();
}

void ApplyUndoDefaults() {
  if (Settings.UndoDir.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    Settings.UndoDir = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
  }
  if (Settings.UndoMem < 0) {
    std::int64_t total = -1;
    Settings.UndoMem = ReadMemInfo("MemTotal", total) ? total / 3 : 0;
  }
  if (Settings.UndoDisk < 0) {
    const std::int64_t free = FreeDiskKB(Settings.UndoDir);
    Settings.UndoDisk = free >= 0 ? free / 3 : 0;
  }
}

void RemoveUndoSwapFolder() { RemoveAllSwapFolders(); }
void RemoveAbandonedUndoFolders() { RemoveAbandonedSwapFolders(); }

// --- the picture's chains ---

bool UDBuffer::PushUndo(const AnsiString& description, UDBuffer* owner, int x1, int y1, int x2,
                        int y2) {
  UDBuffer& chainOwner = owner != nullptr ? *owner : *this;
  const bool whole = x1 == kWholeImage;
  Area r{0, 0, Width() - 1, Height() - 1};
  if (!whole) {
    r = Area{std::max(x1, 0), std::max(y1, 0), std::min(x2, Width() - 1),
             std::min(y2, Height() - 1)};
    // A rectangle outside the picture saves nothing; the step still opens, so that the
    // operation's ExtendUndo finds its own step and not an older one.
    if (r.right < r.left || r.bottom < r.top) r = Area{r.left, r.top, r.left - 1, r.top - 1};
  }
  // The picture is about to change: an older deferred step takes the rest of its rows now.
  if (chainOwner.UndoChain != nullptr) CompleteStep(chainOwner, *chainOwner.UndoChain);
  std::unique_ptr<UndoEntry> s = Capture(*this, chainOwner, r, whole);
  if (s == nullptr) {
    ShowError("NoMem");
    return false;
  }
  // The redo chain goes only once the new step exists: a step that cannot be made leaves the
  // history as it was.
  chainOwner.FreeRedo();
  s->Description = description;
  if (this == &Brush) s->BrushState = BrushState;
  PushHead(chainOwner, Chain::Undo, std::move(s));
  ShowHistoryChanged(chainOwner);
  return true;
}

bool UDBuffer::PushReplacedUndo(const AnsiString& description) {
  if (!CanTake(*this)) return PushUndo(description);
  return PushWholeStep(*this, description, Pixels::Taken);
}

bool UDBuffer::PushDeferredUndo(const AnsiString& description) {
  return PushWholeStep(*this, description, Pixels::Deferred);
}

void UDBuffer::KeepRowsForUndo(int y1, int y2) {
  if (UndoChain != nullptr) KeepBands(*this, *UndoChain, y1, y2);
}

void UDBuffer::ExtendUndo(int x1, int y1, int x2, int y2) {
  UndoEntry* s = UndoChain;
  if (s == nullptr) return;
  const Area cut{std::max(x1, s->Left), std::max(y1, s->Top), std::min(x2, s->Right),
                 std::min(y2, s->Bottom)};
  if (cut.right < cut.left || cut.bottom < cut.top) {
    // Nothing inside the step changed: the step holds nothing worth undoing.
    DropUndoStep();
    ShowHistoryChanged(*this);
    return;
  }
  s->WholeImage = false;
  if (cut.left == s->Left && cut.top == s->Top && cut.right == s->Right &&
      cut.bottom == s->Bottom) {
    CompleteStep(*this, *s);
    return;
  }
  const int w = cut.Width(), h = cut.Height();
  const int dx = cut.left - s->Left, dy = cut.top - s->Top;
  const std::int64_t oldKB = s->SizeKB();
  const std::int64_t newKB = UndoSizeKB(w, h);
  std::vector<uint> row(static_cast<std::size_t>(MaskRowWords(w)));
  if (!s->OnDisk && NarrowInPlace(*this, *s, cut)) {
    Count(*this, Chain::Undo, false, newKB - oldKB);
    PlaceStep(*s, cut);
    return;
  }
  // Only the rows kept are read below; the rest of a deferred step goes with the narrowing.
  KeepBands(*this, *s, cut.top, cut.bottom);
  if (!s->OnDisk) {
    UDBuffer part;
    try {
      UndoAllocPicture(part, w, h);
    } catch (...) {
      part.Free();
    }
    if (part.pixels == nullptr) {
      CompleteStep(*this, *s);  // the step keeps its larger rectangle: still sound, only bigger
      return;
    }
    s->PendingBands.clear();
    for (int y = 0; y < h; ++y) {
      std::memcpy(part.At(0, y), s->Saved.At(dx, dy + y), static_cast<std::size_t>(w) * 4);
      ReadMaskBits(s->Saved.Mask, dx, dy + y, w, row.data());
      WriteMaskBits(part.Mask, 0, y, w, row.data());
    }
    static_cast<Buffer&>(s->Saved) = static_cast<Buffer&>(part);
    s->Saved.Mask = part.Mask;
    Count(*this, Chain::Undo, false, newKB - oldKB);
  } else {
    SwapFileReader in;
    SwapFileWriter out;
    if (!in.Open(s->SwapFile, s->Width(), s->Height()) || !out.Create() ||
        !out.WriteHeader(in.Header(), w, h))
      return;
    std::vector<uint> pixels(static_cast<std::size_t>(w));
    for (int y = 0; y < h; ++y)
      if (!in.SeekPixel(dx, dy + y) || !in.ReadWords(pixels.data(), pixels.size()) ||
          !out.WriteWords(pixels.data(), pixels.size()))
        return;
    BitBuffer source;
    std::vector<uint> sourceRow(static_cast<std::size_t>(MaskRowWords(s->Width())));
    source.Alloc(s->Width(), 1, sourceRow.data(), MaskRowWords(s->Width()));
    for (int y = 0; y < h; ++y) {
      if (!in.SeekMaskRow(dy + y) || !in.ReadWords(sourceRow.data(), sourceRow.size())) return;
      ReadMaskBits(source, dx, 0, w, row.data());
      if (!out.WriteWords(row.data(), row.size())) return;
    }
    if (!out.Finish()) return;
    unlink(s->SwapFile.c_str());
    s->SwapFile = out.Path();
    Count(*this, Chain::Undo, true, newKB - oldKB);
  }
  PlaceStep(*s, cut);
}

bool UDBuffer::Undo(RedoRecord redo) {
  if (UndoChain == nullptr) return false;
  CompleteStep(*this, *UndoChain);
  if (redo == RedoRecord::Keep) return Exchange(*this, Chain::Undo);
  Restored restored;
  try {
    restored = Restore(*this, *UndoChain);
  } catch (...) {
    restored = Restored::NoMemory;
  }
  if (restored != Restored::Done) {
    ReportRestoreFailure(restored);
    return false;
  }
  const BrushStateBlock brushState = UndoChain->BrushState;
  DropUndoStep();
  ShowRestored(*this, brushState);
  ShowHistoryChanged(*this);
  return true;
}

bool UDBuffer::Redo() { return Exchange(*this, Chain::Redo); }

void UDBuffer::DropUndoStep() {
  if (UndoChain != nullptr) Unlink(*this, Chain::Undo, UndoChain);
}

void UDBuffer::DropRedoStep() {
  if (RedoChain != nullptr) Unlink(*this, Chain::Redo, RedoChain);
}

void UDBuffer::FreeUndo() {
  while (UndoChain != nullptr) DropUndoStep();
}

void UDBuffer::FreeRedo() {
  while (RedoChain != nullptr) DropRedoStep();
}

bool UDBuffer::CopyFromUndo(UDBuffer& dest, int x1, int y1, int x2, int y2) {
  UndoEntry* s = UndoChain;
  if (s == nullptr || x2 < x1 || y2 < y1) return false;
  CompleteStep(*this, *s);
  const Area want{x1, y1, x2, y2};
  const Area have{std::max(x1, s->Left), std::max(y1, s->Top), std::min(x2, s->Right),
                  std::min(y2, s->Bottom)};
  if (have.right < have.left || have.bottom < have.top) return false;
  UDBuffer held;
  UDBuffer* saved = nullptr;
  try {
    if (LoadSaved(*s, held, saved) != Restored::Done) return false;
    UDBuffer result;
    UndoAllocPicture(result, want.Width(), want.Height());
    if (result.pixels == nullptr) return false;
    const int cw = have.Width();
    const int ox = have.left - want.left, oy = have.top - want.top;
    std::vector<uint> row(static_cast<std::size_t>(MaskRowWords(cw)));
    for (int y = have.top; y <= have.bottom; ++y) {
      std::memcpy(result.At(ox, y - want.top), saved->At(have.left - s->Left, y - s->Top),
                  static_cast<std::size_t>(cw) * 4);
      ReadMaskBits(saved->Mask, have.left - s->Left, y - s->Top, cw, row.data());
      WriteMaskBits(result.Mask, ox, y - want.top, cw, row.data());
    }
    // The margins repeat the edge: each copied row sideways, then each column up and down.
    const int W = want.Width(), H = want.Height();
    for (int y = oy; y < oy + have.Height(); ++y) {
      for (int x = 0; x < ox; ++x) {
        *result.At(x, y) = *result.At(ox, y);
        result.SetMaskPixel(x, y, result.IsSelected(ox, y));
      }
      for (int x = ox + cw; x < W; ++x) {
        *result.At(x, y) = *result.At(ox + cw - 1, y);
        result.SetMaskPixel(x, y, result.IsSelected(ox + cw - 1, y));
      }
    }
    const int firstRow = oy, lastRow = oy + have.Height() - 1;
    for (int y = 0; y < H; ++y) {
      if (y >= firstRow && y <= lastRow) continue;
      const int from = y < firstRow ? firstRow : lastRow;
      std::memcpy(result.At(0, y), result.At(0, from), static_cast<std::size_t>(W) * 4);
      std::vector<uint> maskRow(static_cast<std::size_t>(MaskRowWords(W)));
      ReadMaskBits(result.Mask, 0, from, W, maskRow.data());
      WriteMaskBits(result.Mask, 0, y, W, maskRow.data());
    }
    static_cast<Buffer&>(dest) = static_cast<Buffer&>(result);
    dest.Mask = result.Mask;
    return true;
  } catch (...) {
    return false;
  }
}
