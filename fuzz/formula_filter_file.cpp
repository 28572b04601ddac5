// Formula filter files from untrusted bytes, read both as a single filter and as a library.
// Properties: nothing crashes or hangs; a filter that is read back from the text written for
// it gives the same text again (the writer's changes happen once).

#include <cstdint>
#include <sstream>
#include <string>

#include "fuzz/support/FuzzCheck.h"
#include "quillo/filters/FormulaFilterFile.h"

namespace {

void CheckSingle(const std::string& bytes) {
  std::istringstream in(bytes);
  FormulaFilter filter;
  if (ReadSingleFilter(in, filter) != FilterFileStatus::Ok) return;
  const std::string text = SingleFilterText(filter);
  std::istringstream again(text);
  FormulaFilter back;
  CHECK(ReadSingleFilter(again, back) == FilterFileStatus::Ok);
  CHECK(SingleFilterText(back) == text);
}

void CheckLibrary(const std::string& bytes) {
  std::istringstream counted(bytes);
  const int count = LibraryEntryCount(counted);
  for (int entry = 1; entry <= count && entry <= 8; ++entry) {
    std::istringstream in(bytes);
    FormulaFilter filter;
    if (ReadLibraryEntry(in, entry, filter) != FilterFileStatus::Ok) continue;
    const std::string text = LibraryEntryText(filter);
    std::istringstream again("FFL1.0\r\n    1\r\n" + text);
    FormulaFilter back;
    CHECK(ReadLibraryEntry(again, 1, back) == FilterFileStatus::Ok);
    CHECK(LibraryEntryText(back) == text);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  CheckSingle(bytes);
  CheckLibrary(bytes);
  return 0;
}
