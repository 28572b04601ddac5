#pragma once
// The undo history. Every picture keeps an undo chain and a redo chain of steps; a step holds
// the pixels and selection mask of a rectangle of the picture as they were before an
// operation, with the picture's attributes. Steps stay in memory while the memory budget
// allows; beyond it the oldest ones move to swap files (those of the other open pictures
// first), and beyond the disk budget the oldest swapped ones are deleted. The operations on one
// picture's chains are members of UDBuffer (PushUndo, ExtendUndo, Undo, Redo, ...); what spans
// all pictures is here.

#include <cstdint>
#include <vector>

#include "platform/rtl/AnsiString.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/document/BrushState.h"

// One step of an undo or redo chain. The chain owns its steps; destroying a step deletes its
// swap file.
class UndoEntry {
public:
  UndoEntry() = default;
  ~UndoEntry();
  UndoEntry(const UndoEntry&) = delete;
  UndoEntry& operator=(const UndoEntry&) = delete;

  UndoEntry* Next = nullptr;  // the next older step; null for the oldest
  UndoEntry* Prev = nullptr;  // the next newer step; null for the chain's head
  bool OnDisk = false;        // the pixels and mask are in SwapFile, Saved holds none
  // The saved rectangle's pixels and mask (while in memory) and the picture's attributes at
  // the time (always).
  UDBuffer Saved;
  AnsiString SwapFile;     // full path; empty while never swapped
  AnsiString Description;  // language key of the operation
  int Top = 0;             // the covered rectangle in image coordinates, inclusive
  int Left = 0;
  int Right = -1;
  int Bottom = -1;
  bool WholeImage = false;  // restoring gives the picture the saved size
  // The brush state when the step was made (steps of the brush picture only).
  BrushStateBlock BrushState{};
  // A deferred step's bands of rows whose pixels are still only in the picture (1: not yet
  // copied); empty once every row is in Saved, and always for other steps.
  std::vector<std::uint8_t> PendingBands;

  int Width() const { return Right - Left + 1; }
  int Height() const { return Bottom - Top + 1; }
  std::int64_t SizeKB() const;
};

// Rows of a deferred step copied together.
constexpr int kDeferredBandRows = 64;

// KB of a step of w x h pixels: its mask bytes and pixel bytes, rounded up to whole KB.
std::int64_t UndoSizeKB(int width, int height);

// The KB of every open picture's steps (and the brush's), in memory and in swap files.
struct UndoCounters {
  std::int64_t UndoMemKB = 0;
  std::int64_t UndoDiskKB = 0;
  std::int64_t RedoMemKB = 0;
  std::int64_t RedoDiskKB = 0;
};
extern UndoCounters UndoTotals;

// How the undo history allocates the pictures it saves into and restores from (pixels and
// mask; empty when the memory is not there). Tests put one in that fails.
using UndoPictureAllocator = void (*)(UDBuffer& picture, int width, int height);
extern UndoPictureAllocator UndoAllocPicture;

// Width and height of the picture's newest undo step; 0 when it has none.
int UndoStepWidth(const UDBuffer& picture);
int UndoStepHeight(const UDBuffer& picture);

enum class ProtectNewest { No, Yes };
// Swaps steps to disk (the other pictures' first, redo chains before undo chains) until
// needKB more fit the memory budget. Returns the KB still missing, 0 when they fit.
std::int64_t MakeUndoMemory(UDBuffer& picture, std::int64_t needKB, ProtectNewest protect);
// Deletes the oldest swapped steps (the other pictures' first; never the newest step of a
// chain of this picture) until needKB more fit the disk budget. Returns the KB still missing.
std::int64_t MakeUndoDisk(UDBuffer& picture, std::int64_t needKB);
// Moves the swap files of the picture's chains into the swap folder of the present undo
// folder (Settings.UndoDir). A step whose file cannot be moved is dropped with every older
// step of its chain.
void MoveUndoFiles(UDBuffer& picture);

// First-run budgets and folder: the undo folder $TMPDIR (else /tmp), a third of the physical
// memory and a third of that folder's free space. Fills only what the settings left empty
// (a folder of "" and budgets below 0).
void ApplyUndoDefaults();
// Removes this run's swap folder and every file left in it (at close-down).
void RemoveUndoSwapFolder();
// Removes the swap folders in the undo folder that no running program holds, those killed
// or crashed programs left (at start, once the settings name the undo folder).
void RemoveAbandonedUndoFolders();

// What the budgets are measured against: MemAvailable of /proc/meminfo and the free space of
// the file system holding a folder, both in KB; -1 when they cannot be read.
std::int64_t AvailableMemoryKB();
std::int64_t FreeDiskKB(const AnsiString& folder);
