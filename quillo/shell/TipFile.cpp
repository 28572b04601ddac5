#include "quillo/shell/TipFile.h"

#include <cctype>
#include <charconv>
#include <sstream>
#include <string>
#include <string_view>

#include "platform/rtl/RegularFile.h"

namespace {

// A tips file holds some hundred short lines; a larger file is no tips file.
constexpr std::int64_t kMostTipFileBytes = std::int64_t(4) << 20;

// The line's leading decimal number as "%d," reads it: blanks, a sign, digits. A line that
// does not start with one, or whose number does not fit, has no help context.
int LeadingNumber(const std::string& line) {
  std::size_t at = 0;
  while (at < line.size() && std::isspace(static_cast<unsigned char>(line[at]))) ++at;
  if (at < line.size() && line[at] == '+') ++at;
  int value = 0;
  const bool read = std::from_chars(line.data() + at, line.data() + line.size(), value).ec == std::errc();
  return read ? value : 0;
}

// Whether the bytes are UTF-8 text: every sequence complete, no overlong forms or surrogates.
bool IsUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const int length = c < 0x80 ? 1 : c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
    if (length == 0 || i + length > s.size()) return false;
    for (int k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    const auto second = static_cast<unsigned char>(s[i + 1 < s.size() ? i + 1 : i]);
    if ((c == 0xE0 && second < 0xA0) || (c == 0xED && second > 0x9F) || (c == 0xF0 && second < 0x90) ||
        (c == 0xF4 && second > 0x8F))
      return false;
    i += length;
  }
  return true;
}

void CutLineEnd(std::string& line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
}

// A line holds a tip when text follows its first comma.
bool HoldsTip(std::string line) {
  CutLineEnd(line);
  const std::size_t comma = line.find(',');
  if (comma == std::string::npos) return false;
  const std::string_view text = std::string_view(line).substr(comma + 1);
  const bool blank = text.find_first_not_of(" \t") == std::string_view::npos;
  return !blank && IsUtf8(text);
}

TipReading TipFromLine(std::string line, int nextIndex) {
  CutLineEnd(line);
  TipReading tip;
  tip.opened = true;
  tip.helpContext = LeadingNumber(line);
  const std::size_t comma = line.find(',');
  if (comma != std::string::npos) tip.text = line.substr(comma + 1, TipLineLimit);
  tip.nextIndex = nextIndex;
  return tip;
}

}  // namespace

TipReading ReadTip(const AnsiString& path, int index) {
  // Nothing but a regular file of a tips file's size is read (a folder, a pipe or a device
  // holds no tips).
  RegularFileText whole = ReadRegularFile(path, kMostTipFileBytes);
  if (whole.outcome != RegularFileText::Outcome::Read) return {};
  std::istringstream file(std::move(whole.text));
  const int wanted = index < 0 ? 0 : index;
  std::string line, first;
  int firstAt = -1;
  for (int at = 0; std::getline(file, line); ++at) {
    if (!HoldsTip(line)) continue;
    if (at >= wanted) return TipFromLine(line, at + 1);
    if (firstAt < 0) {
      first = line;
      firstAt = at;
    }
  }
  if (firstAt < 0) {
    TipReading none;
    none.opened = true;
    return none;
  }
  return TipFromLine(first, firstAt + 1);
}
