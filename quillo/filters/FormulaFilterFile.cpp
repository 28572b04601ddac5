#include "quillo/filters/FormulaFilterFile.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <vector>

#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/RegularFile.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr const char* kSingleHeader = "%RGB-1.0";
constexpr const char* kLibraryHeader = "FFL1.0";
// A count beyond this is no count a library could have been written with.
constexpr long kMostEntries = 1000000;
// The most a file may hold to be read: a single filter is a few kilobytes, a library some
// thousand of them.
constexpr std::int64_t kMostSingleFilterBytes = std::int64_t(1) << 20;
constexpr std::int64_t kMostLibraryBytes = std::int64_t(64) << 20;

// Lines with one line put back, as the single-filter reader looks one line ahead.
class Lines {
public:
  explicit Lines(std::istream& in) : reader_(in) {}
  // The next line or piece of one; false when the file has ended before anything was read.
  bool Next(std::string& line) {
    if (held_) {
      held_ = false;
      line = heldLine_;
      cut_ = heldCut_;
      return true;
    }
    const bool more = reader_.Read(line);
    cut_ = reader_.WasCut();
    return more || !line.empty();
  }
  // The next whole line, its pieces joined.
  bool NextWhole(std::string& line) {
    if (!Next(line)) return false;
    std::string piece;
    while (cut_ && Next(piece)) line += piece;
    return true;
  }
  void PutBack(const std::string& line) {
    held_ = true;
    heldLine_ = line;
    heldCut_ = cut_;
  }
  bool Cut() const { return cut_; }

private:
  FilterLineReader reader_;
  bool cut_ = false;
  bool held_ = false;
  bool heldCut_ = false;
  std::string heldLine_;
};

std::string Trimmed(const std::string& s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// A slider value: digits only, 0 to 255.
bool ParseValue(const std::string& text, int& value) {
  if (text.empty() || text.size() > 3 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  value = std::stoi(text);
  return value <= 255;
}

// A count: digits with blanks around them, at most kMostEntries.
bool ParseCount(const std::string& text, int& count) {
  const std::string digits = Trimmed(text);
  if (digits.empty() || digits.size() > 7 || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  const long value = std::stol(digits);
  if (value > kMostEntries) return false;
  count = static_cast<int>(value);
  return true;
}

// Line breaks become blanks: a text takes one line of the file.
std::string OneLine(const AnsiString& text) {
  std::string line = text;
  std::replace_if(line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return line;
}

// The formula's non-empty lines.
std::vector<std::string> FormulaLines(const AnsiString& formula) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : formula) {
    if (c == '\r' || c == '\n') {
      if (!line.empty()) lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

bool OpenLibrary(Lines& lines, int& count) {
  std::string first, second;
  if (!lines.NextWhole(first) || Trimmed(first) != kLibraryHeader) return false;
  return lines.NextWhole(second) && ParseCount(second, count);
}

bool SkipWholeLines(Lines& lines, long n) {
  std::string line;
  for (long i = 0; i < n; ++i)
    if (!lines.NextWhole(line)) return false;
  return true;
}

// The file's bytes as a stream; false when it is missing, no regular file or too large for
// its kind (then *refusal, when given, says so, naming the file).
bool OpenFilterFile(const AnsiString& fileName, std::istringstream& in, AnsiString* refusal = nullptr) {
  RegularFileText file =
      ReadRegularFile(fileName, IsFilterLibraryName(fileName) ? kMostLibraryBytes : kMostSingleFilterBytes);
  if (file.outcome == RegularFileText::Outcome::Refused && refusal != nullptr) *refusal = file.Message(fileName);
  if (file.outcome != RegularFileText::Outcome::Read) return false;
  in.str(std::move(file.text));
  return true;
}

void Commit(const AnsiString& fileName, const std::string& text) {
  AtomicFile file(fileName);
  file.Write(text.data(), text.size());
  file.Commit();
}

}  // namespace

bool FilterLineReader::Read(std::string& line) {
  line.clear();
  cut_ = false;
  for (;;) {
    const int c = in_.get();
    if (c == std::char_traits<char>::eof()) return false;
    if (c == '\r') {
      if (in_.peek() == '\n') in_.get();
      return true;
    }
    if (c == '\n') return true;
    if (line.size() == kBufferSize - 1) {
      in_.unget();
      cut_ = true;
      return true;
    }
    line += static_cast<char>(c);
  }
}

bool IsFilterLibraryName(const AnsiString& fileName) { return SameText(ExtractFileExt(fileName), ".ffl"); }

FilterFileStatus ReadSingleFilter(const AnsiString& fileName, FormulaFilter& filter, AnsiString* refusal) {
  std::istringstream in;
  if (!OpenFilterFile(fileName, in, refusal)) return FilterFileStatus::CannotOpen;
  return ReadSingleFilter(in, filter);
}

FilterFileStatus ReadSingleFilter(std::istream& in, FormulaFilter& filter) {
  Lines lines(in);
  std::string line;
  if (!lines.Next(line) || line != kSingleHeader) return FilterFileStatus::NotValid;
  for (int& value : filter.values)
    if (!lines.Next(line) || !ParseValue(line, value)) return FilterFileStatus::NotValid;
  const auto skipEmpty = [&] {
    while (lines.Next(line)) {
      if (!line.empty()) {
        lines.PutBack(line);
        return true;
      }
    }
    return false;
  };
  // Past the values, what the file no longer holds is empty: many files end right after
  // their formulas.
  for (AnsiString& formula : filter.formulas) {
    std::string text;
    // Writers cut long formulas into short lines anywhere, even inside a name, so the lines
    // up to the empty one join with nothing between them.
    if (skipEmpty())
      while (lines.Next(line) && !line.empty()) text += line;
    formula = text;
  }
  for (AnsiString* text : {&filter.category, &filter.title, &filter.author, &filter.copyright}) {
    text->clear();
    if (skipEmpty() && lines.NextWhole(line)) *text = line;
  }
  for (int i = 0; i < kFilterSliders; ++i) {
    std::string name;
    if (!lines.NextWhole(line) || !lines.NextWhole(name)) {
      for (; i < kFilterSliders; ++i) filter.names[i].clear();
      break;
    }
    const auto colon = name.find(':');
    if (colon == std::string::npos) return FilterFileStatus::NotValid;
    const auto start = name.find_first_not_of(' ', colon + 1);
    filter.names[i] = start == std::string::npos ? std::string() : name.substr(start);
  }
  return FilterFileStatus::Ok;
}

FilterFileStatus ReadLibraryEntry(const AnsiString& fileName, int entry, FormulaFilter& filter, AnsiString* refusal) {
  std::istringstream in;
  if (!OpenFilterFile(fileName, in, refusal)) return FilterFileStatus::CannotOpen;
  return ReadLibraryEntry(in, entry, filter);
}

FilterFileStatus ReadLibraryEntry(std::istream& in, int entry, FormulaFilter& filter) {
  Lines lines(in);
  int count = 0;
  if (!OpenLibrary(lines, count) || entry < 1 || entry > count) return FilterFileStatus::NotValid;
  if (!SkipWholeLines(lines, static_cast<long>(entry - 1) * kLibraryEntryLines)) return FilterFileStatus::NotValid;
  std::string line;
  const auto next = [&](AnsiString& into) {
    if (!lines.NextWhole(line)) return false;
    into = line;
    return true;
  };
  for (AnsiString* text : {&filter.entryName, &filter.category, &filter.title, &filter.author, &filter.copyright})
    if (!next(*text)) return FilterFileStatus::NotValid;
  if (!SkipWholeLines(lines, 4)) return FilterFileStatus::NotValid;
  for (AnsiString& name : filter.names)
    if (!next(name)) return FilterFileStatus::NotValid;
  for (int& value : filter.values)
    if (!lines.NextWhole(line) || !ParseValue(Trimmed(line), value)) return FilterFileStatus::NotValid;
  for (AnsiString& formula : filter.formulas)
    if (!next(formula)) return FilterFileStatus::NotValid;
  return FilterFileStatus::Ok;
}

int LibraryEntryCount(const AnsiString& fileName) {
  std::istringstream in;
  return OpenFilterFile(fileName, in) ? LibraryEntryCount(in) : -1;
}

int LibraryEntryCount(std::istream& in) {
  Lines lines(in);
  int count = 0;
  return OpenLibrary(lines, count) ? count : -1;
}

bool LibraryEntryTitle(const AnsiString& fileName, int entry, AnsiString& title) {
  std::istringstream in;
  if (!OpenFilterFile(fileName, in)) return false;
  Lines lines(in);
  int count = 0;
  if (!OpenLibrary(lines, count) || entry < 1) return false;
  std::string line;
  if (!SkipWholeLines(lines, static_cast<long>(entry - 1) * kLibraryEntryLines + 2) || !lines.NextWhole(line)) return false;
  title = line;
  return true;
}

int FormulaAFileCannotHold(const FormulaFilter& filter) {
  for (int i = 0; i < kFilterFormulas; ++i) {
    const std::vector<std::string> lines = FormulaLines(filter.formulas[i]);
    bool commented = false;
    for (const std::string& line : lines) {
      if (commented && !Trimmed(line).empty()) return i;
      commented = commented || line.find("//") != std::string::npos;
    }
  }
  return -1;
}

std::string LibraryEntryText(const FormulaFilter& filter) {
  std::string text;
  const auto line = [&text](const AnsiString& s) { text += OneLine(s) + "\r\n"; };
  for (const AnsiString* s : {&filter.entryName, &filter.category, &filter.title, &filter.author, &filter.copyright}) line(*s);
  text += "\r\n\r\n\r\n\r\n";
  for (const AnsiString& name : filter.names) line(name);
  for (int value : filter.values) line(std::to_string(value));
  for (const AnsiString& formula : filter.formulas) line(formula);
  return text;
}

std::string SingleFilterText(const FormulaFilter& filter) {
  std::string text = std::string(kSingleHeader) + "\r";
  for (int value : filter.values) text += std::to_string(value) + "\r";
  for (const AnsiString& formula : filter.formulas) {
    // One line each, as the reader joins a formula's lines without a break; an empty formula
    // is written as a blank so that it still takes its place.
    const std::string line = OneLine(formula);
    text += (line.empty() ? std::string(" ") : line) + "\r\r";
  }
  for (const AnsiString* s : {&filter.category, &filter.title, &filter.author, &filter.copyright}) {
    const std::string line = OneLine(*s);
    text += (Trimmed(line).empty() ? std::string("-") : line) + "\r\r";
  }
  for (int i = 0; i < kFilterSliders; ++i) text += std::to_string(i + 1) + ": " + OneLine(filter.names[i]) + "\r\r";
  return text;
}

bool WriteSingleFilter(const AnsiString& fileName, const FormulaFilter& filter) {
  if (FormulaAFileCannotHold(filter) >= 0) return false;
  Commit(fileName, SingleFilterText(filter));
  return true;
}

LibrarySaveResult SaveIntoLibrary(const AnsiString& fileName, int slot, const FormulaFilter& filter,
                                  const std::function<bool(const AnsiString& replacedTitle)>& confirmReplace) {
  if (FormulaAFileCannotHold(filter) >= 0) return LibrarySaveResult::CannotHold;
  const std::string entry = LibraryEntryText(filter);
  std::error_code error;
  if (!std::filesystem::exists(fileName.c_str(), error)) {
    try {
      Commit(fileName, std::string(kLibraryHeader) + "\r\n    1\r\n" + entry);
    } catch (const Exception&) {
      return LibrarySaveResult::CannotWrite;
    }
    return LibrarySaveResult::Saved;
  }

  std::istringstream in;
  if (!OpenFilterFile(fileName, in)) return LibrarySaveResult::NotALibrary;
  Lines lines(in);
  int count = 0;
  if (!OpenLibrary(lines, count)) return LibrarySaveResult::NotALibrary;
  std::vector<std::string> old;
  for (std::string line; lines.NextWhole(line);) old.push_back(line);

  // Whole entries only: the lines of a cut-off last entry could not be read as one.
  const int present = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(count), old.size() / kLibraryEntryLines));
  const std::size_t declaredEnd = std::min(old.size(), static_cast<std::size_t>(count) * kLibraryEntryLines);
  const bool append = slot < 1 || slot > present;
  if (!append && !confirmReplace(old[static_cast<std::size_t>(slot - 1) * kLibraryEntryLines + 2])) return LibrarySaveResult::Declined;

  const int total = present + (append ? 1 : 0);
  char header[32];
  std::snprintf(header, sizeof header, "%s\r\n%5d\r\n", kLibraryHeader, total);
  std::string text = header;
  const auto copy = [&](std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) text += old[i] + "\r\n";
  };
  const std::size_t wholeEnd = static_cast<std::size_t>(present) * kLibraryEntryLines;
  if (append) {
    copy(0, wholeEnd);
    text += entry;
  } else {
    const std::size_t at = static_cast<std::size_t>(slot - 1) * kLibraryEntryLines;
    copy(0, at);
    text += entry;
    copy(at + kLibraryEntryLines, wholeEnd);
  }
  // Lines after the entries the count names are kept as they were.
  copy(std::max(wholeEnd, declaredEnd), old.size());
  try {
    Commit(fileName, text);
  } catch (const Exception&) {
    return LibrarySaveResult::CannotWrite;
  }
  return LibrarySaveResult::Saved;
}
