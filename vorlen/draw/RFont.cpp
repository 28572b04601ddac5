#include "vorlen/draw/RFont.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"
#include "vorlen/draw/RFontCache.h"
#include "vorlen/draw/RFontFile.h"

char RFont::path[260] = {};

namespace {

constexpr const char* kCacheName = "fonts.bin";
constexpr std::uintmax_t kMaxFontFileSize = 0xFFFFFFFFu;  // files of 4 GB or more are skipped

RFontRegistry registry;
bool registryBuilt = false;

// A font file of the folder as it is now.
struct FolderFont {
  std::string name;
  uint size = 0;
  std::uint64_t time = 0;
};

bool HasFontExtension(const std::string& name) {
  return name.size() > 4 && SameText(name.substr(name.size() - 4), ".rfn");
}

std::uint64_t LastWriteTime(const std::string& file) {
  struct stat info {};
  if (stat(file.c_str(), &info) != 0) return 0;
  return static_cast<std::uint64_t>(info.st_mtim.tv_sec) * 1000000000u +
         static_cast<std::uint64_t>(info.st_mtim.tv_nsec);
}

// The order of the folder's font files: by name without regard to case, then by bytes, so
// that names differing only in case (different files here) still have one order.
bool ComesFirstInFolder(const std::string& a, const std::string& b) {
  const int byText = CompareText(a, b);
  return byText != 0 ? byText < 0 : a < b;
}

std::vector<FolderFont> ListFolderFonts(const std::string& folder) {
  std::vector<FolderFont> fonts;
  std::error_code error;
  for (const auto& item : std::filesystem::directory_iterator(folder, error)) {
    std::error_code itemError;
    const std::string name = item.path().filename().string();
    if (!HasFontExtension(name) || !item.is_regular_file(itemError)) continue;
    const std::uintmax_t size = item.file_size(itemError);
    if (itemError || size >= kMaxFontFileSize) continue;
    fonts.push_back({name, static_cast<uint>(size), LastWriteTime(folder + name)});
  }
  std::sort(fonts.begin(), fonts.end(),
            [](const FolderFont& a, const FolderFont& b) { return ComesFirstInFolder(a.name, b.name); });
  return fonts;
}

std::uint64_t RecordTime(const RFontFileRecord& record) {
  return (std::uint64_t(record.timeHigh) << 32) | record.timeLow;
}

// The cache holds exactly the folder's font files, unchanged. File names are matched exactly:
// a name in another case is another file.
bool CacheMatchesFolder(const std::vector<FolderFont>& fonts) {
  if (fonts.size() != registry.files.size()) return false;
  std::vector<bool> matched(registry.files.size());
  for (const FolderFont& font : fonts) {
    bool found = false;
    for (size_t i = 0; i < registry.files.size() && !found; ++i) {
      const RFontFileRecord& record = registry.files[i];
      if (matched[i] || record.name != font.name) continue;
      if (record.size != font.size || RecordTime(record) != font.time) return false;
      matched[i] = found = true;
    }
    if (!found) return false;
  }
  return true;
}

// Whether the record's file comes first in the folder's order among the files of its font
// name (nameOf: each record's name, null for a file without sizes).
bool FirstFileOfItsName(size_t file, const std::vector<const char*>& nameOf) {
  for (size_t other = 0; other < nameOf.size(); ++other)
    if (other != file && nameOf[other] == nameOf[file] &&
        ComesFirstInFolder(registry.files[other].name, registry.files[file].name))
      return false;
  return true;
}

// Every record's font file holds what the cache says of it. The folder check above only
// compares sizes and times; this one reads the bytes each cached entry stands for, so that a
// damaged cache cannot keep a good font broken from one run to the next. A name is spelled as
// the first file of the folder that has sizes under it spells it; the others may differ in case.
bool CacheMatchesFontFiles(const std::string& folder) {
  std::vector<std::vector<RfnSize>> sizesOf(registry.files.size());
  std::vector<const char*> nameOf(registry.files.size(), nullptr);
  for (const RFontEntry& entry : registry.entries) {
    const size_t file = static_cast<size_t>(entry.file - registry.files.data());
    if (nameOf[file] != nullptr && !SameText(nameOf[file], entry.name)) return false;  // a file has one name
    nameOf[file] = entry.name;
    RfnSize size;
    size.dataPos = entry.dataPos;
    const uchar desc[10] = {entry.height, entry.rowBytes, entry.first, entry.last,
                            entry.spacing, entry.space, 0, 0, 0, entry.kept};
    std::memcpy(size.desc, desc, sizeof(desc));
    sizesOf[file].push_back(size);
  }
  for (size_t i = 0; i < registry.files.size(); ++i) {
    const RFontFileRecord& record = registry.files[i];
    const RfnNameMatch match =
        nameOf[i] != nullptr && FirstFileOfItsName(i, nameOf) ? RfnNameMatch::Exact : RfnNameMatch::AnyCase;
    if (!RfnFileHolds(folder + record.name, record.version, nameOf[i] != nullptr ? nameOf[i] : "",
                      match, sizesOf[i]))
      return false;
  }
  return true;
}

// Where a new size of a name goes: after the smaller sizes of its name, before an equal one.
size_t InsertionPoint(const std::vector<RFontEntry>& entries, const char* name, uchar height) {
  size_t at = 0;
  while (at < entries.size() && CompareText(entries[at].name, name) < 0) ++at;
  while (at < entries.size() && SameText(entries[at].name, name) && entries[at].height < height)
    ++at;
  return at;
}

const char* SharedFontName(const std::string& name) {
  for (const std::string& known : registry.fontNames)
    if (SameText(known, name)) return known.c_str();
  registry.fontNames.push_back(name);
  return registry.fontNames.back().c_str();
}

// A file without sizes adds no name, so that a name is spelled as its first file with sizes.
void AddSizes(const RfnScan& scan, size_t fileIndex, std::vector<RFontEntry>& entries,
              std::vector<size_t>& fileOf) {
  if (scan.sizes.empty()) return;
  const char* name = SharedFontName(scan.name);
  for (const RfnSize& size : scan.sizes) {
    RFontEntry entry;
    entry.name = name;
    entry.dataPos = size.dataPos;
    entry.height = size.desc[0];
    entry.rowBytes = size.desc[1];
    entry.first = size.desc[2];
    entry.last = size.desc[3];
    entry.spacing = size.desc[4];
    entry.space = size.desc[5];
    entry.kept = size.desc[9];
    entry.glyphBytes = uint(size.desc[0]) * size.desc[1];
    const size_t at = InsertionPoint(entries, name, entry.height);
    entries.insert(entries.begin() + static_cast<long>(at), entry);
    fileOf.insert(fileOf.begin() + static_cast<long>(at), fileIndex);
  }
}

void CountNames(std::vector<RFontEntry>& entries) {
  for (size_t i = 0; i < entries.size();) {
    size_t k = i + 1;
    while (k < entries.size() && entries[k].name == entries[i].name) entries[k++].count = 0;
    entries[i].count = static_cast<int>(k - i);
    i = k;
  }
}

void RebuildRegistry(const std::string& folder, const std::vector<FolderFont>& fonts) {
  registry.Clear();
  std::vector<RFontEntry> entries;
  std::vector<size_t> fileOf;
  for (const FolderFont& font : fonts) {
    RfnScan scan;
    const bool isFont = ScanRfnFile(folder + font.name, scan);
    registry.fileNames.push_back(font.name);
    RFontFileRecord record;
    record.name = registry.fileNames.back().c_str();
    record.size = font.size;
    record.timeLow = static_cast<uint>(font.time);
    record.timeHigh = static_cast<uint>(font.time >> 32);
    // A file of a later version is no font, and the cache refuses records of such versions.
    record.version = isFont ? scan.version : 0;
    registry.files.push_back(record);
    if (isFont) AddSizes(scan, registry.files.size() - 1, entries, fileOf);
  }
  CountNames(entries);
  registry.entries = std::move(entries);
  registry.LinkFiles(fileOf);
  WriteFontCache(folder + kCacheName, registry);
}

size_t IndexOf(const RFontEntry* entry) {
  return static_cast<size_t>(entry - registry.entries.data());
}

// The first entry of the run of entries that shares entry's name.
RFontEntry* FirstOfName(RFontEntry* entry) {
  while (entry->count == 0) --entry;
  return entry;
}

// The entry of a name whose size is nearest to size; the smaller of two equally near ones.
RFontEntry* NearestSize(RFontEntry* first, int size) {
  RFontEntry* best = first;
  for (RFontEntry* e = first; e < first + first->count; ++e)
    if (std::abs(e->height - size) < std::abs(best->height - size)) best = e;
  return best;
}

void ReleaseGlyphs(RFontEntry* entry) {
  registry.glyphs[IndexOf(entry)].reset();
  entry->glyphs = nullptr;
}

}  // namespace

void RFont::InitReg() {
  if (registryBuilt || path[0] == '\0') return;
  try {
    const std::string folder = path;
    const std::vector<FolderFont> fonts = ListFolderFonts(folder);
    if (!ReadFontCache(folder + kCacheName, registry) || !CacheMatchesFolder(fonts) ||
        !CacheMatchesFontFiles(folder))
      RebuildRegistry(folder, fonts);
  } catch (const std::bad_alloc&) {
    registry.Clear();
    throw EOutOfMemory("RFontInit");
  }
  registryBuilt = true;
}

void RFont::FreeReg() {
  registry.Clear();
  registryBuilt = false;
}

char* RFont::GetPath() { return path; }

RFontEntry* RFont::GetReg() { return registry.entries.empty() ? nullptr : registry.entries.data(); }

int RFont::GetCount() { return static_cast<int>(registry.entries.size()); }

RFont::RFont() = default;

RFont::RFont(const RFont& other)
    : kerning(other.kerning), space_size(other.space_size), spacing(other.spacing),
      reserved(other.reserved) {
  Select(other.entry);
}

RFont& RFont::operator=(const RFont& other) {
  if (this != &other) {
    kerning = other.kerning;
    space_size = other.space_size;
    spacing = other.spacing;
    reserved = other.reserved;
    Select(other.entry);
  }
  return *this;
}

RFont::~RFont() { Select(nullptr); }

void RFont::Select(RFontEntry* chosen) {
  if (chosen == entry) return;
  if (chosen != nullptr) ++chosen->refs;
  if (entry != nullptr && --entry->refs <= 0) {
    entry->refs = 0;
    ReleaseGlyphs(entry);
  }
  entry = chosen;
}

AnsiString RFont::GetName() const { return entry != nullptr ? AnsiString(entry->name) : AnsiString(); }

void RFont::SetName(AnsiString name) {
  InitReg();
  if (entry != nullptr && SameText(entry->name, name)) return;
  const int oldSize = GetSize();
  Select(nullptr);
  for (RFontEntry& candidate : registry.entries) {
    if (candidate.count == 0 || !SameText(candidate.name, name)) continue;
    Select(oldSize > 0 ? NearestSize(&candidate, oldSize) : &candidate);
    return;
  }
}

int RFont::GetSize() const { return entry != nullptr ? entry->height : 0; }

void RFont::SetSize(int size) {
  if (entry == nullptr) return;
  Select(NearestSize(FirstOfName(entry), size));
}

int RFont::GetSpacing() const {
  if (spacing != kFontValue) return spacing;
  return entry != nullptr ? entry->spacing : 0;
}

int RFont::GetSpaceSize() const {
  if (space_size != kFontValue) return space_size;
  return entry != nullptr ? entry->space : 0;
}

void RFont::Prepare() {
  if (entry == nullptr || entry->glyphs != nullptr) return;
  uchar desc[10] = {entry->height, entry->rowBytes, entry->first, entry->last,
                    entry->spacing, entry->space, 0, 0, 0, entry->kept};
  std::unique_ptr<RFontGlyphs> glyphs =
      ReadRfnGlyphs(std::string(path) + entry->file->name, entry->dataPos, desc, entry->file->version);
  if (glyphs == nullptr) return;
  entry->glyphs = glyphs.get();
  registry.glyphs[IndexOf(entry)] = std::move(glyphs);
}

void RFont::Unprepare() {
  if (entry != nullptr) ReleaseGlyphs(entry);
}

const RFontGlyphs* RFont::Glyphs() const { return entry != nullptr ? entry->glyphs : nullptr; }
