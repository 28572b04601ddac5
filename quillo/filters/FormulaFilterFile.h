#pragma once
// Formula filters on disk: a single filter in an ".afs" file (lines ending in a carriage
// return, each text followed by an empty line) or any number of them in an ".ffl" library
// (lines ending in CR LF, a header of "FFL1.0" and the count, then 29 lines per filter).
// Both are read with one line reader that takes either line end and cuts lines longer than
// its buffer. Every file is written whole beside the old one and renamed over it, so a failed
// save leaves the old file as it was.

#include <functional>
#include <istream>
#include <string>

#include "platform/rtl/AnsiString.h"

constexpr int kFilterSliders = 8;
constexpr int kFilterFormulas = 4;  // red, green, blue, opacity
constexpr int kLibraryEntryLines = 29;

struct FormulaFilter {
  AnsiString entryName;  // the library entry it came from; empty otherwise
  int values[kFilterSliders] = {};
  AnsiString formulas[kFilterFormulas];
  AnsiString category, title, author, copyright;
  AnsiString names[kFilterSliders];
};

// Reads lines of at most 1023 characters: a carriage return ends a line and takes a line feed
// right after it along, a lone line feed ends one too. A longer line comes in pieces.
class FilterLineReader {
public:
  static constexpr std::size_t kBufferSize = 1024;
  explicit FilterLineReader(std::istream& in) : in_(in) {}
  // The next line or piece, without its end. False at the end of the file (line then holds
  // what came before it).
  bool Read(std::string& line);
  // Whether the last line read was cut at the buffer's size.
  bool WasCut() const { return cut_; }

private:
  std::istream& in_;
  bool cut_ = false;
};

enum class FilterFileStatus {
  Ok,
  NotValid,    // not in the format: the fields keep what was read up to the fault
  CannotOpen,
};

// Whether the name ends in ".ffl" in any letter case: then it is read and written as a library.
bool IsFilterLibraryName(const AnsiString& fileName);

// The file-name forms read only a regular file of a size fitting its kind; a file refused for
// that is CannotOpen, with *refusal (when given) the message naming it.
FilterFileStatus ReadSingleFilter(const AnsiString& fileName, FormulaFilter& filter, AnsiString* refusal = nullptr);
FilterFileStatus ReadSingleFilter(std::istream& in, FormulaFilter& filter);
// Entry is 1-based.
FilterFileStatus ReadLibraryEntry(const AnsiString& fileName, int entry, FormulaFilter& filter,
                                  AnsiString* refusal = nullptr);
FilterFileStatus ReadLibraryEntry(std::istream& in, int entry, FormulaFilter& filter);
// The number of filters a library says it holds; -1 when the file cannot be read, does not
// start with "FFL1.0" or has no readable count.
int LibraryEntryCount(const AnsiString& fileName);
int LibraryEntryCount(std::istream& in);
// The Title of the entry in that slot (1-based); false when the library has no such entry.
bool LibraryEntryTitle(const AnsiString& fileName, int entry, AnsiString& title);

// The formula a filter file cannot hold: both formats keep a formula on one line, so one whose
// "//" comment would run on over the lines after it once they are joined cannot be stored.
// -1 when all can be stored.
int FormulaAFileCannotHold(const FormulaFilter& filter);
// The 29 lines of one library entry, each ending in CR LF. Line breaks inside a text or a
// formula become blanks, so that no entry can shift the ones after it.
std::string LibraryEntryText(const FormulaFilter& filter);

// The single-filter format of the filter. Line breaks in a text or a formula become blanks (a
// reader joins a formula's lines with nothing between them, so none is written inside one),
// an empty text is written as "-".
std::string SingleFilterText(const FormulaFilter& filter);
// Writes that text; false, writing nothing, when FormulaAFileCannotHold names a formula.
// EFCreateError when the file cannot be written.
bool WriteSingleFilter(const AnsiString& fileName, const FormulaFilter& filter);

enum class LibrarySaveResult {
  Saved,
  Declined,       // the user kept the entry that was there
  NotALibrary,    // the file is there but is no library: left as it is
  CannotHold,     // FormulaAFileCannotHold names a formula
  CannotWrite,
};
// Puts the filter into slot (1-based) of the library: a slot past its end appends, any other
// replaces that entry once confirmReplace, given the entry's Title, agrees. A library that is
// not there yet is made with the one entry. A library shorter than its count keeps what it
// has, and the count written is the true one.
LibrarySaveResult SaveIntoLibrary(const AnsiString& fileName, int slot, const FormulaFilter& filter,
                                  const std::function<bool(const AnsiString& replacedTitle)>& confirmReplace);
