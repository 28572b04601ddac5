#include "quillo/plugins/FilterPluginProbe.h"

#include <atomic>
#include <cstring>
#include <optional>
#include <set>
#include <string>

#include "platform/rtl/RegularFile.h"

namespace {

std::atomic<std::uint64_t> probeCount{0};

// Files larger than this are not plug-ins worth reading.
constexpr std::uint64_t kLargestModule = 512ull << 20;

constexpr std::uint32_t FourCC(char a, char b, char c, char d) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(a)) << 24 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 8 | static_cast<unsigned char>(d);
}

// A window on bytes that answers nothing outside them.
class ByteView {
public:
  explicit ByteView(std::string_view bytes) : bytes_(bytes) {}
  std::uint64_t Size() const { return bytes_.size(); }
  bool Has(std::uint64_t offset, std::uint64_t count) const {
    return offset <= bytes_.size() && count <= bytes_.size() - offset;
  }
  std::optional<std::uint64_t> Read(std::uint64_t offset, int count) const {
    if (!Has(offset, static_cast<std::uint64_t>(count))) return std::nullopt;
    std::uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes_[offset + i]);
    return value;
  }
  std::optional<std::string_view> Slice(std::uint64_t offset, std::uint64_t count) const {
    if (!Has(offset, count)) return std::nullopt;
    return bytes_.substr(offset, count);
  }
  // Text up to a NUL or the end.
  std::string_view TextAt(std::uint64_t offset) const {
    if (offset >= bytes_.size()) return {};
    std::string_view rest = bytes_.substr(offset);
    return rest.substr(0, std::min(rest.find('\0'), rest.size()));
  }

private:
  std::string_view bytes_;
};

struct Section {
  std::string name;
  std::uint32_t type = 0;
  std::uint64_t offset = 0;
  std::uint64_t size = 0;
  std::uint32_t link = 0;
  bool cut = false;  // its bytes reach past the file's end
};

constexpr std::uint32_t kNoBits = 8;  // a section with no bytes in the file

// The sections of an x86-64 little-endian ELF shared object; none when it is not one.
std::optional<std::vector<Section>> ReadSections(const ByteView& file) {
  const auto magic = file.Slice(0, 4);
  if (!magic || *magic != std::string_view("\x7f" "ELF", 4)) return std::nullopt;
  if (file.Read(4, 1) != 2u || file.Read(5, 1) != 1u) return std::nullopt;  // 64-bit, little-endian
  if (file.Read(16, 2) != 3u || file.Read(18, 2) != 62u) return std::nullopt;  // shared object, x86-64
  const auto tableOffset = file.Read(40, 8);
  const auto entrySize = file.Read(58, 2);
  const auto count = file.Read(60, 2);
  const auto namesIndex = file.Read(62, 2);
  if (!tableOffset || !entrySize || !count || !namesIndex || *entrySize < 64) return std::nullopt;
  if (!file.Has(*tableOffset, *entrySize * *count)) return std::nullopt;
  std::vector<Section> sections;
  for (std::uint64_t i = 0; i < *count; ++i) {
    const std::uint64_t at = *tableOffset + i * *entrySize;
    Section s;
    s.type = static_cast<std::uint32_t>(*file.Read(at + 4, 4));
    s.offset = *file.Read(at + 24, 8);
    s.size = *file.Read(at + 32, 8);
    s.link = static_cast<std::uint32_t>(*file.Read(at + 40, 4));
    if (s.type != kNoBits && !file.Has(s.offset, s.size)) {
      s.size = 0;
      s.cut = true;
    }
    if (s.type == kNoBits) s.size = 0;
    sections.push_back(s);
  }
  if (*namesIndex < sections.size()) {
    const Section names = sections[*namesIndex];
    for (std::uint64_t i = 0; i < *count; ++i) {
      const std::uint64_t at = *tableOffset + i * *entrySize;
      const std::uint64_t nameOffset = *file.Read(at, 4);
      if (nameOffset < names.size)
        sections[i].name = std::string(ByteView(*file.Slice(names.offset, names.size)).TextAt(nameOffset));
    }
  }
  return sections;
}

std::string_view SectionBytes(const ByteView& file, const Section& s) {
  return file.Slice(s.offset, s.size).value_or(std::string_view());
}

const Section* FindSection(const std::vector<Section>& sections, std::string_view name) {
  for (const Section& s : sections)
    if (s.name == name) return &s;
  return nullptr;
}

// The names the module exports: defined, global or weak symbols of its dynamic table.
std::set<std::string, std::less<>> ExportedNames(const ByteView& file, const std::vector<Section>& sections) {
  std::set<std::string, std::less<>> names;
  const Section* symbols = FindSection(sections, ".dynsym");
  if (symbols == nullptr || symbols->link >= sections.size()) return names;
  const ByteView table(SectionBytes(file, *symbols));
  const ByteView strings(SectionBytes(file, sections[symbols->link]));
  constexpr std::uint64_t kSymbolSize = 24;
  for (std::uint64_t at = 0; table.Has(at, kSymbolSize); at += kSymbolSize) {
    const std::uint64_t nameOffset = *table.Read(at, 4);
    const std::uint64_t info = *table.Read(at + 4, 1);
    const std::uint64_t sectionIndex = *table.Read(at + 6, 2);
    const std::uint64_t binding = info >> 4;
    if (sectionIndex == 0 || (binding != 1 && binding != 2)) continue;
    const std::string_view name = strings.TextAt(nameOffset);
    if (!name.empty()) names.emplace(name);
  }
  return names;
}

// Walks the records {u32 id, u32 size, bytes, padding to 4} of a section; each gets
// visit(id, bytes), which answers false to stop. False when the section is damaged: a record
// runs past its end, or bytes that are not all zero (a linker's padding) are left over.
bool WalkRecords(std::string_view section, const std::function<bool(std::uint32_t, std::string_view)>& visit) {
  const ByteView bytes(section);
  std::uint64_t at = 0;
  while (bytes.Has(at, 8)) {
    const auto id = static_cast<std::uint32_t>(*bytes.Read(at, 4));
    const std::uint64_t size = *bytes.Read(at + 4, 4);
    const auto resource = bytes.Slice(at + 8, size);
    if (!resource) return false;
    if (!visit(id, *resource)) return true;
    at += 8 + ((size + 3) & ~std::uint64_t{3});
  }
  for (; at < bytes.Size(); ++at)
    if (section[at] != '\0') return false;
  return true;
}

// The fault of a section walked: cut off by the file's end, or damaged inside.
FilterProbeFault SectionFault(const Section& section, bool whole) {
  if (section.cut) return FilterProbeFault::SectionCut;
  return whole ? FilterProbeFault::None : FilterProbeFault::SectionDamaged;
}

void Tell(FilterProbeFault* fault, FilterProbeFault value) {
  if (fault != nullptr) *fault = value;
}

// A length byte and that many characters, all inside data; empty otherwise.
AnsiString PascalText(std::string_view data) {
  if (data.empty()) return {};
  const std::size_t length = static_cast<unsigned char>(data[0]);
  if (length > data.size() - 1) return {};
  return AnsiString(data.substr(1, length));
}

}  // namespace

AnsiString FilterIdentifierFile(const AnsiString& identifier) {
  const std::size_t hash = identifier.rfind('#');
  return hash == AnsiString::npos ? identifier : identifier.substr(0, hash);
}

AnsiString FilterIdentifierEntry(const AnsiString& identifier) {
  const std::size_t hash = identifier.rfind('#');
  return hash == AnsiString::npos ? AnsiString() : identifier.substr(hash + 1);
}

AnsiString FilterFileBaseName(const AnsiString& path) {
  const std::size_t slash = path.find_last_of('/');
  AnsiString name = slash == AnsiString::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.find_last_of('.');
  if (dot != AnsiString::npos) name.erase(dot);
  return name;
}

int ReadPiPL(const AnsiString& path, std::string_view resource, const std::function<bool(std::string_view)>& exported,
             const FilterFoundCallback& found) {
  const ByteView bytes(resource);
  const auto count = bytes.Read(6, 4);
  if (!count) return 1;
  AnsiString identifier = path + "#";
  AnsiString title, category;
  bool isFilter = false, entryFound = false, haveTitle = false, haveCategory = false;
  std::uint64_t at = 10;
  for (std::uint64_t i = 0; i < *count && !(isFilter && entryFound && haveTitle && haveCategory); ++i) {
    if (!bytes.Has(at, 16)) break;
    const auto vendor = static_cast<std::uint32_t>(*bytes.Read(at, 4));
    const auto key = static_cast<std::uint32_t>(*bytes.Read(at + 4, 4));
    const std::uint64_t length = *bytes.Read(at + 12, 4);
    const auto data = bytes.Slice(at + 16, length);
    if (!data) break;  // a property running past the resource
    if (vendor == FourCC('8', 'B', 'I', 'M')) {
      const ByteView value(*data);
      if (key == FourCC('k', 'i', 'n', 'd')) {
        isFilter = value.Read(0, 4) == std::optional<std::uint64_t>(FourCC('8', 'B', 'F', 'M'));
      } else if (key == FourCC('n', 'a', 'm', 'e')) {
        title = PascalText(*data);
        haveTitle = true;
      } else if (key == FourCC('c', 'a', 't', 'g')) {
        category = PascalText(*data);
        haveCategory = true;
      } else if (key == FourCC('w', 'x', '8', '6')) {
        const std::string_view name = value.TextAt(0);
        // A name holding "#" would make the identifier split in the wrong place.
        entryFound = !name.empty() && name.find('#') == std::string_view::npos && exported(name);
        if (entryFound) identifier += AnsiString(name);
      }
    }
    at += 16 + ((length + 3) & ~std::uint64_t{3});
  }
  if (!isFilter || !entryFound) return 1;
  if (title.empty()) title = FilterFileBaseName(path);
  return found(identifier, category, title) != 0 ? 0 : 1;
}

int ReadPiMI(const AnsiString& path, std::uint32_t id, std::string_view resource,
             const std::function<bool(std::string_view)>& exported, const FilterFoundCallback& found) {
  if (id >= 0x10000) return 1;
  const std::string entry = "ENTRYPOINT" + std::to_string(id);
  if (!exported(entry)) return 1;
  const AnsiString identifier = path + "#" + entry;
  AnsiString title = FilterFileBaseName(path);
  AnsiString category;
  const ByteView bytes(resource);
  std::uint64_t at = 0;
  if (bytes.Read(at, 2) == 3u) {
    const std::string_view text = bytes.TextAt(at + 2);
    category = AnsiString(text);
    at += 2 + text.size() + 1;
  }
  if (bytes.Read(at, 2) == 4u) at += 18;
  if (bytes.Read(at, 2) != 3u) ++at;
  if (bytes.Read(at, 2) == 3u) title = AnsiString(bytes.TextAt(at + 2));
  return found(identifier, category, title) != 0 ? 0 : 1;
}

bool ProbeAdobeModuleBytes(const AnsiString& path, std::string_view contents, const FilterFoundCallback& found,
                           FilterProbeFault* fault) {
  Tell(fault, FilterProbeFault::None);
  const ByteView file(contents);
  const auto sections = ReadSections(file);
  if (!sections) {
    Tell(fault, FilterProbeFault::NotSharedObject);
    return false;
  }
  const auto names = ExportedNames(file, *sections);
  const auto exported = [&names](std::string_view name) { return names.find(name) != names.end(); };
  int piplSeen = 0;
  const Section* pipl = FindSection(*sections, ".pipl");
  if (pipl != nullptr) {
    const bool whole = WalkRecords(SectionBytes(file, *pipl), [&](std::uint32_t, std::string_view resource) {
      ++piplSeen;
      return ReadPiPL(path, resource, exported, found) != 0;
    });
    Tell(fault, SectionFault(*pipl, whole));
  }
  if (piplSeen == 0) {
    if (const Section* pimi = FindSection(*sections, ".pimi")) {
      const bool whole = WalkRecords(SectionBytes(file, *pimi), [&](std::uint32_t id, std::string_view resource) {
        return ReadPiMI(path, id, resource, exported, found) != 0;
      });
      if (fault != nullptr && *fault == FilterProbeFault::None) *fault = SectionFault(*pimi, whole);
    }
  }
  return true;
}

bool ProbeAdobeModule(const AnsiString& path, const FilterFoundCallback& found, FilterProbeFault* fault) {
  ++probeCount;
  Tell(fault, FilterProbeFault::Unreadable);
  // Opened without waiting: a pipe or device named like a plug-in is refused unread.
  const RegularFileText file = ReadRegularFile(path, static_cast<std::int64_t>(kLargestModule));
  if (file.outcome != RegularFileText::Outcome::Read || file.text.empty()) return false;
  return ProbeAdobeModuleBytes(path, file.text, found, fault);
}

const char* FilterProbeFaultKey(FilterProbeFault fault) {
  switch (fault) {
    case FilterProbeFault::None:
      return "";
    case FilterProbeFault::Unreadable:
      return "PlugUnreadable";
    case FilterProbeFault::NotSharedObject:
      return "PlugNotLibrary";
    case FilterProbeFault::SectionCut:
      return "PlugSectionCut";
    case FilterProbeFault::SectionDamaged:
      return "PlugSectionDamaged";
  }
  return "";
}

std::uint64_t FilterProbeCount() { return probeCount.load(); }
