#include "quillo/shell/LanguageText.h"

#include <algorithm>
#include <cctype>

#include "platform/rtl/SysUtils.h"

namespace {

bool StartsWith(const AnsiString& line, char c) { return !line.empty() && line[0] == c; }

// Trailing white space as the C library sees it, below 128 only: bytes of UTF-8 text stay.
AnsiString CutTrailingBlanks(AnsiString value) {
  while (!value.empty()) {
    const unsigned char last = static_cast<unsigned char>(value.back());
    if (last >= 128 || !std::isspace(last)) break;
    value.pop_back();
  }
  return value;
}

}  // namespace

AnsiString UnescapeBlanks(AnsiString value) {
  std::replace(value.begin(), value.end(), '@', ' ');
  return value;
}

LanguageText::LanguageText(std::string text) : text_(std::move(text)) {
  std::size_t start = 0;
  while (start < text_.size()) {
    std::size_t end = text_.find('\n', start);
    if (end == std::string::npos) end = text_.size();
    lines_.emplace_back(start, end - start);
    start = end + 1;
  }
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    AnsiString trimmed = Trim(Line(i));
    if (StartsWith(trimmed, '[')) headings_.emplace(std::move(trimmed), i);
  }
}

std::vector<std::pair<AnsiString, AnsiString>> LanguageText::Messages() const {
  std::vector<std::pair<AnsiString, AnsiString>> messages;
  std::size_t i = 0;
  while (i < lines_.size() && UpperCase(Trim(Line(i))) != "[MESSAGES]") ++i;
  for (++i; i < lines_.size(); ++i) {
    const AnsiString line = Trim(Line(i));
    if (line.empty() || StartsWith(line, ';')) continue;
    if (StartsWith(line, '[')) break;
    const std::size_t equals = line.find('=');
    AnsiString key = Trim(line.substr(0, equals));
    AnsiString value = equals == AnsiString::npos ? AnsiString() : Trim(line.substr(equals + 1));
    messages.emplace_back(std::move(key), UnescapeBlanks(std::move(value)));
  }
  return messages;
}

bool LanguageText::SectionEntries(const AnsiString& heading, std::vector<Entry>& entries) const {
  entries.clear();
  auto found = headings_.find(heading);
  if (found == headings_.end()) return false;
  for (std::size_t i = found->second + 1; i < lines_.size(); ++i) {
    const AnsiString line = Line(i);
    const AnsiString start = TrimLeft(line);
    if (start.empty() || StartsWith(start, ';')) continue;
    if (StartsWith(start, '[')) break;
    const std::size_t equals = start.find('=');
    Entry entry;
    if (StartsWith(start, '>')) {
      entry.selectsForm = true;
      entry.name = Trim(start.substr(1, equals == AnsiString::npos ? AnsiString::npos : equals - 1));
    } else {
      if (equals == AnsiString::npos) continue;
      entry.name = Trim(start.substr(0, equals));
      entry.value = CutTrailingBlanks(start.substr(equals + 1));
    }
    entries.push_back(std::move(entry));
  }
  return true;
}
