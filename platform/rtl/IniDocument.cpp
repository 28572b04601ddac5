#include "platform/rtl/IniDocument.h"

#include <iterator>

#include "platform/rtl/FileUpdate.h"
#include "platform/rtl/RegularFile.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

AnsiString WithoutEnclosingQuotes(const AnsiString& value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

}  // namespace

// A key line has a key before its first '='; everything else is kept as it stands. The value
// is what follows the '=', trimmed; an empty value sits right after the '='.
IniDocument::Line IniDocument::KeyLine(const std::string& text, const std::string& end) {
  Line line{text, end, AnsiString(), 0, 0};
  size_t first = 0;
  while (first < text.size() && IsBlank(text[first])) ++first;
  const size_t equals = text.find('=', first);
  if (first == text.size() || equals == std::string::npos || equals == first) return line;
  line.key = Trim(text.substr(first, equals - first));
  size_t begin = equals + 1;
  size_t stop = text.size();
  while (begin < stop && IsBlank(text[begin])) ++begin;
  while (stop > begin && IsBlank(text[stop - 1])) --stop;
  if (begin == stop) begin = stop = equals + 1;
  line.valueBegin = begin;
  line.valueEnd = stop;
  return line;
}

bool IniDocument::Load(const AnsiString& path) {
  // Read without waiting: a pipe or a device in the file's place reads as no file.
  const RegularFileText file = ReadRegularFile(path);
  Parse(file.text);
  return file.outcome == RegularFileText::Outcome::Read;
}

void IniDocument::Parse(const std::string& text) {
  sections_.clear();
  lineEnd_ = "\r\n";
  const size_t markSize = std::char_traits<char>::length(kByteOrderMark);
  byteOrderMark_ = text.compare(0, markSize, kByteOrderMark) == 0 ? kByteOrderMark : "";
  bool lineEndSeen = false;
  for (size_t at = byteOrderMark_.size(); at < text.size();) {
    const size_t newline = text.find('\n', at);
    size_t stop = newline == std::string::npos ? text.size() : newline;
    const size_t next = newline == std::string::npos ? text.size() : newline + 1;
    if (newline != std::string::npos && stop > at && text[stop - 1] == '\r') --stop;
    const std::string body = text.substr(at, stop - at);
    const std::string end = text.substr(stop, next - stop);
    at = next;
    if (!lineEndSeen && !end.empty()) {
      lineEnd_ = end;
      lineEndSeen = true;
    }

    const AnsiString trimmed = Trim(body);
    if (!trimmed.empty() && trimmed.front() == '[') {
      const size_t close = trimmed.find(']');
      const AnsiString name =
          Trim(trimmed.substr(1, close == AnsiString::npos ? AnsiString::npos : close - 1));
      sections_.push_back(Section{name, true, Line{body, end, AnsiString(), 0, 0}, {}});
      continue;
    }
    if (sections_.empty()) sections_.push_back(Section{AnsiString(), false, Line{}, {}});
    sections_.back().lines.push_back(KeyLine(body, end));
  }
}

std::string IniDocument::Text() const {
  std::string out = byteOrderMark_;
  bool unterminated = false;  // the file's last line had no line end and more now follows it
  auto put = [&](const Line& line) {
    if (unterminated) out += lineEnd_;
    out += line.text;
    out += line.end;
    unterminated = line.end.empty();
  };
  for (const Section& section : sections_) {
    if (section.headed) put(section.header);
    for (const Line& line : section.lines) put(line);
  }
  return out;
}

void IniDocument::Edit(const AnsiString& path, const std::function<void(IniDocument&)>& change) {
  const AnsiString folder = ExtractFilePath(path);
  if (!folder.empty()) ForceDirectories(folder);
  UpdateFileText(path, [&](std::string& text) {
    IniDocument document;
    document.Parse(text);
    change(document);
    std::string changed = document.Text();
    if (changed == text) return false;
    text = std::move(changed);
    return true;
  });
}

// Names given by callers are compared as the file's names are read: trimmed.
const IniDocument::Section* IniDocument::FindSection(const AnsiString& name) const {
  const AnsiString wanted = Trim(name);
  for (const Section& section : sections_)
    if (section.headed && SameText(section.name, wanted)) return &section;
  return nullptr;
}

bool IniDocument::IsKey(const Line& line, const AnsiString& key) {
  return !line.key.empty() && SameText(line.key, Trim(key));
}

IniDocument::Section* IniDocument::FindSection(const AnsiString& name) {
  return const_cast<Section*>(static_cast<const IniDocument*>(this)->FindSection(name));
}

std::optional<AnsiString> IniDocument::Value(const AnsiString& section,
                                             const AnsiString& key) const {
  const Section* found = FindSection(section);
  if (found == nullptr) return std::nullopt;
  for (const Line& line : found->lines)
    if (IsKey(line, key))
      return WithoutEnclosingQuotes(line.text.substr(line.valueBegin, line.valueEnd - line.valueBegin));
  return std::nullopt;
}

std::vector<AnsiString> IniDocument::SectionNames() const {
  std::vector<AnsiString> names;
  for (const Section& section : sections_)
    if (section.headed) names.push_back(section.name);
  return names;
}

std::vector<AnsiString> IniDocument::KeyNames(const AnsiString& section) const {
  std::vector<AnsiString> names;
  if (const Section* found = FindSection(section))
    for (const Line& line : found->lines)
      if (!line.key.empty()) names.push_back(line.key);
  return names;
}

bool IniDocument::HasSection(const AnsiString& section) const {
  return FindSection(section) != nullptr;
}

void IniDocument::SetValue(const AnsiString& section, const AnsiString& key,
                           const AnsiString& value) {
  Section* found = FindSection(section);
  if (found == nullptr) {
    const AnsiString name = Trim(section);
    sections_.push_back(Section{name, true, Line{"[" + name + "]", lineEnd_, AnsiString(), 0, 0}, {}});
    found = &sections_.back();
  }
  // An existing key keeps its line: only the value's bytes change. The line is read again, so
  // that the value is held as the file will give it back.
  for (Line& line : found->lines)
    if (IsKey(line, key)) {
      line.text.replace(line.valueBegin, line.valueEnd - line.valueBegin, value);
      line = KeyLine(line.text, line.end);
      return;
    }
  // A new key goes after the section's last key, before trailing blank lines.
  auto at = found->lines.end();
  while (at != found->lines.begin() && std::prev(at)->key.empty() &&
         Trim(std::prev(at)->text).empty())
    --at;
  found->lines.insert(at, KeyLine(Trim(key) + "=" + value, lineEnd_));
}

void IniDocument::DeleteKey(const AnsiString& section, const AnsiString& key) {
  Section* found = FindSection(section);
  if (found == nullptr) return;
  std::erase_if(found->lines, [&](const Line& line) { return IsKey(line, key); });
}

void IniDocument::DeleteSection(const AnsiString& section) {
  const AnsiString name = Trim(section);
  std::erase_if(sections_, [&](const Section& s) { return s.headed && SameText(s.name, name); });
}

bool IniDocument::Writable(const AnsiString& section, const AnsiString* key, const AnsiString* value) {
  const auto hasLineBreak = [](const AnsiString& text) { return text.find_first_of("\r\n") != AnsiString::npos; };
  if (hasLineBreak(section) || section.find(']') != AnsiString::npos) return false;
  if (key != nullptr) {
    const AnsiString name = Trim(*key);
    if (name.empty() || hasLineBreak(*key) || name.find('=') != AnsiString::npos || name[0] == '[') return false;
  }
  return value == nullptr || !hasLineBreak(*value);
}
