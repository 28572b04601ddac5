#include "quillo/shell/TipFile.h"

#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

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

TipReading TipFromLine(std::string line, int nextIndex) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
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
  // A folder opens as a stream too, but holds no lines to read.
  std::error_code error;
  if (!std::filesystem::is_regular_file(std::filesystem::path(path), error)) return {};
  std::ifstream file(path, std::ios::binary);
  if (!file) return {};
  const int wanted = index < 0 ? 0 : index;
  std::string line, first;
  bool any = false;
  for (int at = 0; std::getline(file, line); ++at) {
    if (at == wanted) return TipFromLine(line, wanted + 1);
    if (!any) first = line;
    any = true;
  }
  if (!any) {
    TipReading empty;
    empty.opened = true;
    return empty;
  }
  return TipFromLine(first, 1);
}
