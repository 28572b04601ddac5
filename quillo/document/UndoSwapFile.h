#pragma once
// The undo history's swap files: one file a swapped step, in a folder of this run's own that
// only this user can enter and that this run holds locked while it lives, made inside the undo folder (Settings.UndoDir). A file holds a
// header (the rectangle's width and height and the picture's attributes), the pixels row by
// row and the mask row by row, little-endian:
//   0 width, 4 height (i32); 8 Save-As flag (u8), 9..11 zero; 12 change counter (i32);
//   16 file name, 256 bytes, zero-terminated; 272 zero; 276 image number (i32);
//   280 SelLeft, 284 SelRight, 288 SelTop, 292 SelBottom (i32);
//   296 the pixels, h rows of w words; then the mask, h rows of MaskRowWords(w) words.
// Files are created exclusively (an existing name, a planted link among them, is never
// opened) and go through buffered streams.

#include <cstdint>
#include <cstdio>
#include <memory>

#include "platform/rtl/AnsiString.h"
#include "vorlen/core/Types.h"

class UDBuffer;

constexpr int SwapHeaderBytes = 296;
// The length a swap file of a w x h rectangle has.
std::int64_t SwapFileBytes(int width, int height);

// This run's swap folder inside the present undo folder, made when first asked for (and
// again inside a new undo folder when Settings.UndoDir changed); empty when it cannot be made.
AnsiString UndoSwapFolderPath();
// Removes the swap folders of earlier undo folders once they are empty.
void RemoveEmptyOldSwapFolders();
// Removes every swap folder of this run with the files in it.
void RemoveAllSwapFolders();
// Removes the swap folders in the present undo folder that no running program holds: those
// that programs which were killed or crashed left behind, with their files. A run's own
// folders are locked while it lives.
void RemoveAbandonedSwapFolders();

// A new swap file being written. Unless Finish succeeds, the file is deleted when the writer
// goes.
class SwapFileWriter {
public:
  SwapFileWriter() = default;
  ~SwapFileWriter();
  SwapFileWriter(const SwapFileWriter&) = delete;
  SwapFileWriter& operator=(const SwapFileWriter&) = delete;

  // Creates a new file under a fresh name in the swap folder. False when none can be made.
  bool Create();
  const AnsiString& Path() const { return path_; }
  // The header: the rectangle's size and the attributes of the picture.
  bool WriteHeader(const UDBuffer& attributes, int width, int height);
  // A header read from another swap file, with a new size.
  bool WriteHeader(const std::uint8_t* header, int width, int height);
  bool WriteWords(const uint* words, std::size_t count);
  // Flushes and closes; false (and the file deleted) when anything was not written in full.
  bool Finish();

private:
  std::FILE* file_ = nullptr;
  AnsiString path_;
  std::unique_ptr<char[]> buffer_;
  bool failed_ = false;
};

// A swap file read back. Open checks that its header gives the expected size and that its
// length is exactly that of such a file, so that a foreign or cut file is refused before
// anything of it is used.
class SwapFileReader {
public:
  SwapFileReader() = default;
  ~SwapFileReader();
  SwapFileReader(const SwapFileReader&) = delete;
  SwapFileReader& operator=(const SwapFileReader&) = delete;

  bool Open(const AnsiString& path, int width, int height);
  // The header as it is in the file (for copying it on).
  const std::uint8_t* Header() const { return header_; }
  // Places the reading position at pixel (x, y) of the rectangle, or at the start of mask
  // row y.
  bool SeekPixel(int x, int y);
  bool SeekMaskRow(int y);
  bool ReadWords(uint* words, std::size_t count);

private:
  std::FILE* file_ = nullptr;
  std::unique_ptr<char[]> buffer_;
  std::uint8_t header_[SwapHeaderBytes] = {};
  int width_ = 0;
  int height_ = 0;
};

// Moves a swap file into the present swap folder: a rename, or across file systems a copy
// that is synced before the original is deleted. Answers the new path; empty (the file left
// where it was) when it could not be moved.
AnsiString MoveSwapFile(const AnsiString& path);
