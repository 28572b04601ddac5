#include "quillo/base/LanguageText.h"

#include <algorithm>
#include <cctype>

namespace {

// Blanks and control characters, as the framework's Trim drops them; views, so that a long
// text of short lines costs no copies.
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view TrimStart(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}

std::string_view TrimView(std::string_view s) {
  s = TrimStart(s);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool StartsWith(std::string_view line, char c) { return !line.empty() && line.front() == c; }

bool IsMessagesHeading(std::string_view line) {
  constexpr std::string_view heading = "[MESSAGES]";
  if (line.size() != heading.size()) return false;
  for (std::size_t i = 0; i < heading.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(line[i])) != heading[i]) return false;
  return true;
}

// Trailing white space as the C library sees it, below 128 only: bytes of UTF-8 text stay.
std::string_view CutTrailingBlanks(std::string_view value) {
  while (!value.empty()) {
    const unsigned char last = static_cast<unsigned char>(value.back());
    if (last >= 128 || !std::isspace(last)) break;
    value.remove_suffix(1);
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
    const std::string_view trimmed = TrimView(Line(i));
    if (StartsWith(trimmed, '[')) headings_.emplace(trimmed, i);
  }
}

std::vector<std::pair<AnsiString, AnsiString>> LanguageText::Messages() const {
  std::vector<std::pair<AnsiString, AnsiString>> messages;
  std::size_t i = 0;
  while (i < lines_.size() && !IsMessagesHeading(TrimView(Line(i)))) ++i;
  for (++i; i < lines_.size(); ++i) {
    const std::string_view line = TrimView(Line(i));
    if (line.empty() || StartsWith(line, ';')) continue;
    if (StartsWith(line, '[')) break;
    const std::size_t equals = line.find('=');
    AnsiString key(TrimView(line.substr(0, equals)));
    AnsiString value(equals == std::string_view::npos ? std::string_view() : TrimView(line.substr(equals + 1)));
    messages.emplace_back(std::move(key), UnescapeBlanks(std::move(value)));
  }
  return messages;
}

bool LanguageText::SectionEntries(const AnsiString& heading, std::vector<Entry>& entries) const {
  entries.clear();
  auto found = headings_.find(std::string_view(heading));
  if (found == headings_.end()) return false;
  for (std::size_t i = found->second + 1; i < lines_.size(); ++i) {
    const std::string_view start = TrimStart(Line(i));
    if (start.empty() || StartsWith(start, ';')) continue;
    if (StartsWith(start, '[')) break;
    const std::size_t equals = start.find('=');
    Entry entry;
    if (StartsWith(start, '>')) {
      entry.selectsForm = true;
      entry.name = AnsiString(TrimView(start.substr(1, equals == std::string_view::npos ? std::string_view::npos : equals - 1)));
    } else {
      if (equals == std::string_view::npos) continue;
      entry.name = AnsiString(TrimView(start.substr(0, equals)));
      entry.value = AnsiString(CutTrailingBlanks(start.substr(equals + 1)));
    }
    entries.push_back(std::move(entry));
  }
  return true;
}
