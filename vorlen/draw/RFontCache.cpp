#include "vorlen/draw/RFontCache.h"

#include <cstdint>
#include <cstring>

#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/RegularFile.h"
#include "platform/rtl/SysUtils.h"
#include "vorlen/draw/RFontFile.h"
#include "vorlen/formats/ByteOrder.h"

namespace {

constexpr size_t kRecordSize = 20;
constexpr size_t kEntrySize = 44;
// A cache is a few kilobytes; anything far larger is not one of ours.
constexpr std::int64_t kMaxCacheSize = std::int64_t(16) << 20;

// Little-endian words out of a byte block; a read past the end fails the whole read.
class CacheCursor {
public:
  explicit CacheCursor(const std::vector<uchar>& bytes) : at_(bytes.data()), end_(at_ + bytes.size()) {}
  size_t Remaining() const { return static_cast<size_t>(end_ - at_); }
  bool Word(uint& value) {
    if (Remaining() < 4) return false;
    value = GetLE32(at_);
    at_ += 4;
    return true;
  }
  bool Bytes(uchar* dst, size_t n) {
    if (Remaining() < n) return false;
    std::memcpy(dst, at_, n);
    at_ += n;
    return true;
  }
  bool Block(size_t n, const char*& block) {
    if (Remaining() < n) return false;
    block = reinterpret_cast<const char*>(at_);
    at_ += n;
    return true;
  }

private:
  const uchar* at_;
  const uchar* end_;
};

// Turns the length fields of one name block back into names. lengths[i] is 0 for an item that
// shares its predecessor's name. Every name must lie in the block, end in its zero, and the
// names must fill the block exactly.
bool ReadNameBlock(CacheCursor& in, const std::vector<uint>& lengths,
                   std::deque<std::string>& names, std::vector<size_t>& nameOf) {
  if (lengths.empty()) return true;
  const uint blockSize = lengths[0];
  const char* block = nullptr;
  if (blockSize == 0 || !in.Block(blockSize, block)) return false;
  size_t offset = 0;
  size_t previousLength = 0;
  for (size_t i = 0; i < lengths.size(); ++i) {
    if (i > 0 && lengths[i] == 0) {
      nameOf.push_back(names.size() - 1);
      continue;
    }
    if (i > 0) {
      if (lengths[i] != previousLength) return false;
      offset += previousLength;
    }
    if (offset >= blockSize) return false;
    const void* zero = std::memchr(block + offset, 0, blockSize - offset);
    if (zero == nullptr) return false;
    previousLength = static_cast<size_t>(static_cast<const char*>(zero) - (block + offset)) + 1;
    names.emplace_back(block + offset, previousLength - 1);
    nameOf.push_back(names.size() - 1);
  }
  return offset + previousLength == blockSize;
}

bool ReadRecords(CacheCursor& in, RFontRegistry& registry) {
  uint count = 0;
  if (!in.Word(count) || count > in.Remaining() / kRecordSize) return false;
  std::vector<uint> lengths(count);
  registry.files.resize(count);
  for (uint i = 0; i < count; ++i) {
    RFontFileRecord& record = registry.files[i];
    if (!in.Word(lengths[i]) || !in.Word(record.size) || !in.Word(record.timeLow) ||
        !in.Word(record.timeHigh) || !in.Word(record.version))
      return false;
    if ((i > 0 && lengths[i] == 0) || record.version >= kRfnVersionLimit) return false;
  }
  std::vector<size_t> nameOf;
  if (!ReadNameBlock(in, lengths, registry.fileNames, nameOf)) return false;
  for (uint i = 0; i < count; ++i) registry.files[i].name = registry.fileNames[nameOf[i]].c_str();
  return true;
}

bool ReadEntry(CacheCursor& in, RFontEntry& entry, uint& nameLength, uint& fileIndex) {
  uchar desc[8];
  uchar runtime[16];
  uint count = 0;
  if (!in.Word(nameLength) || !in.Word(count) || !in.Word(fileIndex) || !in.Word(entry.dataPos) ||
      !in.Bytes(desc, sizeof(desc)) || !in.Word(entry.glyphBytes) ||
      !in.Bytes(runtime, sizeof(runtime)))
    return false;
  entry.count = static_cast<int>(count);
  entry.height = desc[0];
  entry.rowBytes = desc[1];
  entry.first = desc[2];
  entry.last = desc[3];
  entry.spacing = desc[4];
  entry.space = desc[5];
  entry.kept = desc[6];
  return entry.glyphBytes == uint(entry.height) * entry.rowBytes;
}

// The entries of one name must be contiguous, counted in the first, and sorted by size.
bool EntriesAreConsistent(const std::vector<RFontEntry>& entries,
                          const std::vector<size_t>& nameOf) {
  for (size_t i = 0; i < entries.size();) {
    const int count = entries[i].count;
    if (count <= 0 || static_cast<size_t>(count) > entries.size() - i) return false;
    for (size_t k = i + 1; k < i + static_cast<size_t>(count); ++k)
      if (entries[k].count != 0 || nameOf[k] != nameOf[i] || entries[k].height < entries[k - 1].height)
        return false;
    i += static_cast<size_t>(count);
    if (i < entries.size() && nameOf[i] == nameOf[i - 1]) return false;
  }
  return true;
}

// Each name has one run of entries, and the runs are in the order of their names.
bool NamesAreSorted(const std::vector<RFontEntry>& entries) {
  const char* previous = nullptr;
  for (const RFontEntry& entry : entries) {
    if (entry.count == 0) continue;
    if (previous != nullptr && CompareText(previous, entry.name) >= 0) return false;
    previous = entry.name;
  }
  return true;
}

bool ReadEntries(CacheCursor& in, RFontRegistry& registry) {
  uint count = 0;
  if (!in.Word(count) || count > in.Remaining() / kEntrySize) return false;
  std::vector<uint> lengths(count);
  std::vector<size_t> fileIndex(count);
  registry.entries.resize(count);
  for (uint i = 0; i < count; ++i) {
    uint index = 0;
    if (!ReadEntry(in, registry.entries[i], lengths[i], index)) return false;
    if (index >= registry.files.size() || (i == 0 && lengths[i] == 0)) return false;
    if ((lengths[i] != 0) != (registry.entries[i].count != 0)) return false;
    fileIndex[i] = index;
  }
  std::vector<size_t> nameOf;
  if (!ReadNameBlock(in, lengths, registry.fontNames, nameOf)) return false;
  if (!EntriesAreConsistent(registry.entries, nameOf)) return false;
  for (uint i = 0; i < count; ++i) registry.entries[i].name = registry.fontNames[nameOf[i]].c_str();
  if (!NamesAreSorted(registry.entries)) return false;
  registry.LinkFiles(fileIndex);
  return true;
}

void PutWord(std::vector<uchar>& out, uint value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uchar>(value >> shift));
}

// The length fields and the name block of a list of names (null: shares the previous name).
void PutNames(const std::vector<const char*>& names, std::vector<uint>& lengths,
              std::vector<uchar>& block) {
  size_t previous = 0;
  for (const char* name : names) {
    if (name == nullptr) {
      lengths.push_back(0);
      continue;
    }
    lengths.push_back(static_cast<uint>(previous));
    const size_t length = std::strlen(name) + 1;
    block.insert(block.end(), name, name + length);
    previous = length;
  }
  if (!lengths.empty()) lengths[0] = static_cast<uint>(block.size());
}

void PutRecords(std::vector<uchar>& out, const RFontRegistry& registry) {
  std::vector<const char*> names;
  for (const RFontFileRecord& record : registry.files) names.push_back(record.name);
  std::vector<uint> lengths;
  std::vector<uchar> block;
  PutNames(names, lengths, block);
  PutWord(out, static_cast<uint>(registry.files.size()));
  for (size_t i = 0; i < registry.files.size(); ++i) {
    const RFontFileRecord& record = registry.files[i];
    for (uint word : {lengths[i], record.size, record.timeLow, record.timeHigh, record.version})
      PutWord(out, word);
  }
  out.insert(out.end(), block.begin(), block.end());
}

void PutEntries(std::vector<uchar>& out, const RFontRegistry& registry) {
  std::vector<const char*> names;
  for (const RFontEntry& entry : registry.entries) names.push_back(entry.count != 0 ? entry.name : nullptr);
  std::vector<uint> lengths;
  std::vector<uchar> block;
  PutNames(names, lengths, block);
  PutWord(out, static_cast<uint>(registry.entries.size()));
  for (size_t i = 0; i < registry.entries.size(); ++i) {
    const RFontEntry& e = registry.entries[i];
    PutWord(out, lengths[i]);
    PutWord(out, static_cast<uint>(e.count));
    PutWord(out, static_cast<uint>(e.file - registry.files.data()));
    PutWord(out, e.dataPos);
    for (uchar b : {e.height, e.rowBytes, e.first, e.last, e.spacing, e.space, e.kept, uchar(0)})
      out.push_back(b);
    PutWord(out, e.glyphBytes);
    out.insert(out.end(), 16, 0);  // run-time fields
  }
  out.insert(out.end(), block.begin(), block.end());
}

}  // namespace

void RFontRegistry::Clear() {
  entries.clear();
  glyphs.clear();
  files.clear();
  fileNames.clear();
  fontNames.clear();
}

void RFontRegistry::LinkFiles(const std::vector<size_t>& fileIndex) {
  for (size_t i = 0; i < entries.size(); ++i) entries[i].file = &files[fileIndex[i]];
  glyphs.resize(entries.size());
}

bool ReadFontCache(const std::string& path, RFontRegistry& registry) {
  // Read without waiting: a pipe or a device in the cache's place is no cache.
  const RegularFileText file = ReadRegularFile(path, kMaxCacheSize);
  if (file.outcome != RegularFileText::Outcome::Read) return false;
  const std::vector<uchar> bytes(file.text.begin(), file.text.end());
  CacheCursor in(bytes);
  const bool ok = ReadRecords(in, registry) && ReadEntries(in, registry) && in.Remaining() == 0;
  if (!ok) registry.Clear();
  return ok;
}

bool WriteFontCache(const std::string& path, const RFontRegistry& registry) {
  std::vector<uchar> bytes;
  PutRecords(bytes, registry);
  PutEntries(bytes, registry);
  try {
    AtomicFile::WriteFile(path, std::string(bytes.begin(), bytes.end()));
  } catch (const Exception&) {
    return false;
  }
  return true;
}
