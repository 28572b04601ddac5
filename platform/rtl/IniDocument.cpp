#include "platform/rtl/IniDocument.h"

#include <unistd.h>

#include <fstream>
#include <sstream>

#include "platform/rtl/SysUtils.h"

namespace {

AnsiString WithoutEnclosingQuotes(const AnsiString& value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

}  // namespace

bool IniDocument::Load(const AnsiString& path) {
  sections_.clear();
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  Section* current = nullptr;
  std::string raw;
  while (std::getline(in, raw)) {
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    const AnsiString text = Trim(raw);
    if (!text.empty() && text.front() == '[') {
      const size_t close = text.find(']');
      sections_.push_back(Section{Trim(text.substr(1, close == AnsiString::npos ? AnsiString::npos
                                                                                : close - 1)),
                                  true, {}});
      current = &sections_.back();
      continue;
    }
    if (current == nullptr) {
      sections_.push_back(Section{AnsiString(), false, {}});
      current = &sections_.back();
    }
    const size_t equals = text.find('=');
    if (equals == AnsiString::npos || equals == 0)
      current->lines.push_back(Line{AnsiString(), raw});
    else
      current->lines.push_back(Line{Trim(text.substr(0, equals)), Trim(text.substr(equals + 1))});
  }
  return true;
}

bool IniDocument::Save(const AnsiString& path) const {
  std::ostringstream out;
  for (const Section& section : sections_) {
    if (section.headed) out << '[' << section.name << "]\r\n";
    for (const Line& line : section.lines) {
      if (line.key.empty())
        out << line.value << "\r\n";
      else
        out << line.key << '=' << line.value << "\r\n";
    }
  }
  const AnsiString folder = ExtractFilePath(path);
  if (!folder.empty()) ForceDirectories(folder);
  const AnsiString temporary = path + ".tmp" + IntToStr(::getpid());
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    file << out.str();
    file.flush();
    if (!file) {
      file.close();
      DeleteFile(temporary);
      return false;
    }
  }
  if (!RenameFile(temporary, path)) {
    DeleteFile(temporary);
    return false;
  }
  return true;
}

const IniDocument::Section* IniDocument::FindSection(const AnsiString& name) const {
  for (const Section& section : sections_)
    if (section.headed && SameText(section.name, name)) return &section;
  return nullptr;
}

IniDocument::Section* IniDocument::FindSection(const AnsiString& name) {
  return const_cast<Section*>(static_cast<const IniDocument*>(this)->FindSection(name));
}

std::optional<AnsiString> IniDocument::Value(const AnsiString& section,
                                             const AnsiString& key) const {
  const Section* found = FindSection(section);
  if (found == nullptr) return std::nullopt;
  for (const Line& line : found->lines)
    if (!line.key.empty() && SameText(line.key, key)) return WithoutEnclosingQuotes(line.value);
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
    sections_.push_back(Section{section, true, {}});
    found = &sections_.back();
  }
  for (Line& line : found->lines)
    if (!line.key.empty() && SameText(line.key, key)) {
      line.value = value;
      return;
    }
  // A new key goes after the section's last key, before trailing blank lines.
  auto at = found->lines.end();
  while (at != found->lines.begin() && std::prev(at)->key.empty() &&
         Trim(std::prev(at)->value).empty())
    --at;
  found->lines.insert(at, Line{key, value});
}

void IniDocument::DeleteKey(const AnsiString& section, const AnsiString& key) {
  Section* found = FindSection(section);
  if (found == nullptr) return;
  std::erase_if(found->lines,
                [&](const Line& line) { return !line.key.empty() && SameText(line.key, key); });
}

void IniDocument::DeleteSection(const AnsiString& section) {
  std::erase_if(sections_,
                [&](const Section& s) { return s.headed && SameText(s.name, section); });
}
