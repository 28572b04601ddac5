#pragma once
// The font registry's storage and its cache file "fonts.bin" (little-endian 32-bit numbers):
// the number of file records, the records (20 bytes, the name replaced by a length), their
// name block; the number of entries, the entries (44 bytes, the name replaced by a length in
// the first entry of each name and 0 in the others, the file record replaced by its index),
// their name block. The first length of each block is the block's size, each later one the
// size of the previous name with its terminating zero.

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "vorlen/draw/RFont.h"

struct RFontRegistry {
  std::deque<std::string> fileNames;  // stable storage behind the records' names
  std::deque<std::string> fontNames;  // stable storage behind the entries' names
  std::vector<RFontFileRecord> files;
  std::vector<RFontEntry> entries;
  std::vector<std::unique_ptr<RFontGlyphs>> glyphs;  // one per entry, prepared on demand

  void Clear();
  // Points each entry's file at its record; call once the records no longer move.
  void LinkFiles(const std::vector<size_t>& fileIndex);
};

// Reads the cache into an empty registry. False when the file is missing, short, or any
// length, index or count in it does not fit: a damaged cache is never trusted.
bool ReadFontCache(const std::string& path, RFontRegistry& registry);
// Writes the cache afresh through a temporary file (AtomicFile); a failed write leaves the old
// cache, if any, as it was.
bool WriteFontCache(const std::string& path, const RFontRegistry& registry);
