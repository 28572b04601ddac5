// Formula filter files: the line reader, single filters and libraries written and read back,
// hostile files refused without harm, and libraries changed only by a save that worked.

#include "quillo/filters/FormulaFilterFile.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <functional>
#include <fstream>
#include <set>
#include <sstream>

#include "FormulaFilterSample.h"
#include "quillo/filters/FormulaCompiler.h"
#include "support/FileSizeLimit.h"
#include "support/TempHome.h"

namespace {

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Write(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

class FormulaFilterFileTest : public ::testing::Test {
protected:
  TempHome home;
  std::string Path(const char* name) const { return home.Path() + "/" + name; }
};

TEST(FilterLineReader, TakesEveryLineEndAndCutsLongLines) {
  std::istringstream in("a\rb\r\nc\nd\r\re" + std::string(1500, 'x') + "\r\nlast");
  FilterLineReader reader(in);
  std::string line;
  std::vector<std::string> lines;
  std::vector<bool> cuts;
  while (reader.Read(line)) {
    lines.push_back(line);
    cuts.push_back(reader.WasCut());
  }
  EXPECT_EQ(line, "last");  // the end of the file comes with what was read before it
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ((std::vector<std::string>{lines[0], lines[1], lines[2], lines[3], lines[4]}),
            (std::vector<std::string>{"a", "b", "c", "d", ""}));
  EXPECT_EQ(lines[5], "e" + std::string(1022, 'x'));
  EXPECT_TRUE(cuts[5]);
  EXPECT_EQ(lines[6], std::string(1500 - 1022, 'x'));
  EXPECT_FALSE(cuts[6]);
}

TEST_F(FormulaFilterFileTest, ASingleFilterComesBackAsWritten) {
  FormulaFilter f = Sample("Invert");
  f.formulas[2] = "";
  f.author = "";
  f.copyright = "two\r\nlines";
  f.formulas[3] = std::string(3000, ' ') + "a";  // longer than a line the reader takes at once
  ASSERT_TRUE(WriteSingleFilter(Path("f.afs"), f));
  const std::string text = Contents(Path("f.afs"));
  EXPECT_EQ(text.substr(0, 9), "%RGB-1.0\r");
  EXPECT_NE(text.find("\r\r1: Slider 1\r\r2: Slider 2\r\r"), std::string::npos);

  FormulaFilter back;
  ASSERT_EQ(ReadSingleFilter(Path("f.afs"), back), FilterFileStatus::Ok);
  for (int i = 0; i < kFilterSliders; ++i) {
    EXPECT_EQ(back.values[i], f.values[i]);
    EXPECT_EQ(back.names[i], f.names[i]);
  }
  EXPECT_EQ(back.formulas[0], "255-r");
  EXPECT_EQ(back.formulas[2], " ");  // an empty formula keeps its place
  EXPECT_EQ(back.formulas[3], f.formulas[3]);
  EXPECT_EQ(back.category, "Colour");
  EXPECT_EQ(back.title, "Invert");
  EXPECT_EQ(back.author, "-");
  EXPECT_EQ(back.copyright, "two  lines");
}

std::string WithoutBlanks(const std::string& s) {
  std::string out;
  for (char c : s)
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') out += c;
  return out;
}

// Every way a filter is written, followed by the reader: the same four formulas up to blanks,
// and no formula written with a line break inside it.
TEST_F(FormulaFilterFileTest, EveryWriterGivesTheReaderTheSameFormulas) {
  const std::string formulas[] = {
      "255-r",
      "r +\r\n0",                         // a typed line break
      "g\r\n\r\n+ 0",                      // an empty inner line
      "b\n+\n1",                          // line feeds alone
      "",                                 // empty
      std::string(3000, ' ') + "a",       // longer than a line the reader takes at once
      "b +\r\n1 // a comment on the last line",
      "x // a comment\r\n   \r\n",         // nothing but blanks after the comment
      "ctl(0) > 128 ?\r\n  255 - r\r\n: r",
  };
  const auto yes = [](const AnsiString&) { return true; };
  struct Writer {
    const char* what;
    std::function<FormulaFilter(const FormulaFilter&)> roundTrip;
  } writers[] = {
      {"single filter",
       [&](const FormulaFilter& f) {
         EXPECT_TRUE(WriteSingleFilter(Path("rt.afs"), f));
         FormulaFilter back;
         EXPECT_EQ(ReadSingleFilter(Path("rt.afs"), back), FilterFileStatus::Ok);
         return back;
       }},
      {"single filter text",
       [&](const FormulaFilter& f) {
         std::istringstream in(SingleFilterText(f));
         FormulaFilter back;
         EXPECT_EQ(ReadSingleFilter(in, back), FilterFileStatus::Ok);
         return back;
       }},
      {"library entry",
       [&](const FormulaFilter& f) {
         std::filesystem::remove(Path("rt.ffl"));
         EXPECT_EQ(SaveIntoLibrary(Path("rt.ffl"), 1, f, yes), LibrarySaveResult::Saved);
         FormulaFilter back;
         EXPECT_EQ(ReadLibraryEntry(Path("rt.ffl"), 1, back), FilterFileStatus::Ok);
         return back;
       }},
  };
  for (const Writer& writer : writers) {
    for (const std::string& formula : formulas) {
      SCOPED_TRACE(std::string(writer.what) + ": " + formula.substr(0, 60));
      FormulaFilter f = Sample("Round trip");
      for (std::string& text : f.formulas) text = formula;
      ASSERT_EQ(FormulaAFileCannotHold(f), -1);
      const FormulaFilter back = writer.roundTrip(f);
      for (const AnsiString& text : back.formulas) {
        EXPECT_EQ(WithoutBlanks(text), WithoutBlanks(formula));
        EXPECT_EQ(std::string(text).find_first_of("\r\n"), std::string::npos);
      }
    }
  }
}

// A comment before the last line would hide what follows once the formula is one line: both
// formats refuse it and write nothing.
TEST_F(FormulaFilterFileTest, AFormulaACommentWouldSwallowIsRefused) {
  FormulaFilter commented = Sample("C");
  commented.formulas[2] = "b // keep\r\n+ 1";
  EXPECT_EQ(FormulaAFileCannotHold(commented), 2);
  EXPECT_FALSE(WriteSingleFilter(Path("c.afs"), commented));
  EXPECT_FALSE(std::filesystem::exists(Path("c.afs")));
  EXPECT_EQ(SaveIntoLibrary(Path("c.ffl"), 1, commented, [](const AnsiString&) { return true; }),
            LibrarySaveResult::CannotHold);
  EXPECT_FALSE(std::filesystem::exists(Path("c.ffl")));
}

// Files of other hosts: they end right after the formulas and cut long formulas anywhere.
TEST_F(FormulaFilterFileTest, FilesEndingAfterTheirFormulasAndCutFormulasRead) {
  const std::string values = "%RGB-1.0\r0\r0\r0\r0\r0\r0\r0\r0\r";
  struct Case {
    const char* what;
    std::string bytes;
    std::array<std::string, 4> formulas;
  } cases[] = {
      {"four formulas, each with its empty line", values + "r\r\rg\r\rb\r\ra\r\r", {"r", "g", "b", "a"}},
      {"four formulas, the last line without an end", values + "r\r\rg\r\rb\r\ra", {"r", "g", "b", "a"}},
      {"CR LF line ends", "%RGB-1.0\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\nr\r\n\r\ng\r\n\r\nb\r\n\r\na\r\n\r\n",
       {"r", "g", "b", "a"}},
      {"a name cut in two",
       values + "r\r\rg\r\rb\r\rctl(0) > 0 ? a + (2 * (c\rtl(1) - 128)) : 0\r\r",
       {"r", "g", "b", "ctl(0) > 0 ? a + (2 * (ctl(1) - 128)) : 0"}},
      {"a number cut in two, lines of blanks", values + "r + 1\r28\r\r\r\rg\r \r\rb\r\ra\r\r",
       {"r + 128", "g ", "b", "a"}},
      {"the values alone", values, {"", "", "", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::istringstream in(c.bytes);
    FormulaFilter f = Sample("left over");
    ASSERT_EQ(ReadSingleFilter(in, f), FilterFileStatus::Ok);
    for (int i = 0; i < kFilterFormulas; ++i) EXPECT_EQ(f.formulas[i], c.formulas[i]) << i;
    for (const AnsiString* text : {&f.category, &f.title, &f.author, &f.copyright}) EXPECT_EQ(*text, "");
    for (const AnsiString& name : f.names) EXPECT_EQ(name, "");
    if (!c.formulas[0].empty()) {
      FormulaSource source;
      for (int i = 0; i < kFilterFormulas; ++i) source.text[i] = f.formulas[i].c_str();
      const CompiledFormula compiled = CompileFormula(source);
      for (int i = 0; i < kFilterFormulas; ++i) EXPECT_EQ(compiled.Error(i), FormulaError::kNone) << i;
    }
  }
}

TEST_F(FormulaFilterFileTest, DamagedSingleFiltersAreNotValid) {
  const std::string good = SingleFilterText(Sample("Good"));
  struct Case {
    const char* what;
    std::string bytes;
    FilterFileStatus status;
  } cases[] = {
      {"good", good, FilterFileStatus::Ok},
      {"another header", "%RGB-2.0" + good.substr(8), FilterFileStatus::NotValid},
      {"a value with a blank after it", "%RGB-1.0\r12 \r" + good.substr(12), FilterFileStatus::NotValid},
      {"a value above 255", "%RGB-1.0\r256\r" + good.substr(11), FilterFileStatus::NotValid},
      {"a value past 32 bits", "%RGB-1.0\r99999999999\r" + good.substr(11), FilterFileStatus::NotValid},
      {"a name without a colon", good.substr(0, good.rfind("8:")) + "8 x\r\r", FilterFileStatus::NotValid},
      {"binary junk", std::string("\0\x01\xff\r\n\0", 6), FilterFileStatus::NotValid},
  };
  for (const Case& c : cases) {
    std::istringstream in(c.bytes);
    FormulaFilter f;
    EXPECT_EQ(ReadSingleFilter(in, f), c.status) << c.what;
  }
  // Cut after each line: within the header and the values it is not valid; from there on what
  // the file no longer holds is empty.
  int linesKept = 0;
  for (std::size_t at = good.find('\r'); at != std::string::npos; at = good.find('\r', at + 1)) {
    ++linesKept;
    std::istringstream in(good.substr(0, at + 1));
    FormulaFilter f;
    const FilterFileStatus status = ReadSingleFilter(in, f);
    EXPECT_EQ(status, linesKept < 1 + kFilterSliders ? FilterFileStatus::NotValid : FilterFileStatus::Ok) << at;
  }
  std::istringstream spaced("%RGB-1.0\r" + good.substr(9, good.find("1: ") - 9) + "1:    far\r\r");
  FormulaFilter f;
  ASSERT_EQ(ReadSingleFilter(spaced, f), FilterFileStatus::Ok);
  EXPECT_EQ(f.names[0], "far");
  EXPECT_EQ(f.names[1], "");
}

TEST_F(FormulaFilterFileTest, ALibraryIsMadeAppendedToAndReplacedIntoAfterAsking) {
  const std::string lib = Path("lib.ffl");
  const auto never = [](const AnsiString&) -> bool { ADD_FAILURE() << "asked"; return false; };
  ASSERT_EQ(SaveIntoLibrary(lib, 1, Sample("One"), never), LibrarySaveResult::Saved);
  EXPECT_EQ(Contents(lib).substr(0, 15), "FFL1.0\r\n    1\r\n");
  for (const char* title : {"Two", "Three", "Four", "Five"})
    ASSERT_EQ(SaveIntoLibrary(lib, 99, Sample(title), never), LibrarySaveResult::Saved);
  EXPECT_EQ(LibraryEntryCount(lib), 5);

  // Slot 3 of 5 asks, naming the filter there; No keeps the file as it was.
  std::vector<std::string> asked;
  const std::string before = Contents(lib);
  EXPECT_EQ(SaveIntoLibrary(lib, 3, Sample("New"), [&](const AnsiString& t) { asked.push_back(t); return false; }),
            LibrarySaveResult::Declined);
  EXPECT_EQ(Contents(lib), before);
  EXPECT_EQ(SaveIntoLibrary(lib, 3, Sample("New"), [&](const AnsiString& t) { asked.push_back(t); return true; }),
            LibrarySaveResult::Saved);
  EXPECT_EQ(asked, (std::vector<std::string>{"Three", "Three"}));
  // Slot 6 appends without asking and counts 6.
  ASSERT_EQ(SaveIntoLibrary(lib, 6, Sample("Six"), never), LibrarySaveResult::Saved);
  EXPECT_EQ(Contents(lib).substr(0, 15), "FFL1.0\r\n    6\r\n");

  const char* titles[] = {"One", "Two", "New", "Four", "Five", "Six"};
  for (int entry = 1; entry <= 6; ++entry) {
    FormulaFilter f;
    ASSERT_EQ(ReadLibraryEntry(lib, entry, f), FilterFileStatus::Ok) << entry;
    EXPECT_EQ(f.title, titles[entry - 1]);
    EXPECT_EQ(f.values[7], 210);
    EXPECT_EQ(f.names[7], "Slider 8");
    EXPECT_EQ(f.formulas[3], "a");
    AnsiString title;
    ASSERT_TRUE(LibraryEntryTitle(lib, entry, title));
    EXPECT_EQ(title, titles[entry - 1]);
  }
  AnsiString title;
  EXPECT_FALSE(LibraryEntryTitle(lib, 7, title));
}

TEST_F(FormulaFilterFileTest, AnEntryNeverShiftsTheOnesAfterIt) {
  const std::string lib = Path("lib.ffl");
  const auto yes = [](const AnsiString&) { return true; };
  FormulaFilter odd = Sample("Two\r\nlines");
  odd.formulas[0] = "r +\r\n0";
  odd.formulas[1] = std::string(5000, ' ') + "g";
  odd.names[2] = "a\nb";
  ASSERT_EQ(SaveIntoLibrary(lib, 1, odd, yes), LibrarySaveResult::Saved);
  ASSERT_EQ(SaveIntoLibrary(lib, 2, Sample("After"), yes), LibrarySaveResult::Saved);
  FormulaFilter f;
  ASSERT_EQ(ReadLibraryEntry(lib, 1, f), FilterFileStatus::Ok);
  EXPECT_EQ(f.title, "Two  lines");
  EXPECT_EQ(f.formulas[0], "r +  0");
  EXPECT_EQ(f.formulas[1], odd.formulas[1]);
  EXPECT_EQ(f.names[2], "a b");
  ASSERT_EQ(ReadLibraryEntry(lib, 2, f), FilterFileStatus::Ok);
  EXPECT_EQ(f.title, "After");
  // A comment on an inner line would run on over the lines joined after it: refused.
  FormulaFilter commented = Sample("C");
  commented.formulas[2] = "b // keep\r\n+ 1";
  const std::string before = Contents(lib);
  EXPECT_EQ(SaveIntoLibrary(lib, 3, commented, yes), LibrarySaveResult::CannotHold);
  EXPECT_EQ(Contents(lib), before);
}

TEST_F(FormulaFilterFileTest, HostileLibrariesAreRefusedAndLeftAsTheyAre) {
  const auto yes = [](const AnsiString&) { return true; };
  const std::string entry = LibraryEntryText(Sample("E"));
  struct Case {
    const char* what;
    std::string bytes;
    int count;
  } cases[] = {
      {"another first line", "FFL2.0\r\n    1\r\n" + entry, -1},
      {"a negative count", "FFL1.0\r\n   -1\r\n", -1},
      {"a count that is no number", "FFL1.0\r\nabc\r\n", -1},
      {"a count past 32 bits", "FFL1.0\r\n99999999999\r\n", -1},
      {"no count", "FFL1.0", -1},
      {"NUL bytes", std::string("FFL1.0\r\n\0\0\0", 11), -1},
  };
  for (const Case& c : cases) {
    const std::string path = Path("hostile.ffl");
    Write(path, c.bytes);
    EXPECT_EQ(LibraryEntryCount(path), c.count) << c.what;
    FormulaFilter f;
    EXPECT_EQ(ReadLibraryEntry(path, 1, f), FilterFileStatus::NotValid) << c.what;
    EXPECT_EQ(SaveIntoLibrary(path, 1, Sample("X"), yes), LibrarySaveResult::NotALibrary) << c.what;
    EXPECT_EQ(Contents(path), c.bytes) << c.what;
  }
  // A library shorter than its count keeps the whole entries it has and counts truly.
  const std::string shortLib = Path("short.ffl");
  Write(shortLib, "FFL1.0\r\n   40\r\n" + entry + entry.substr(0, 20));
  EXPECT_EQ(LibraryEntryCount(shortLib), 40);
  FormulaFilter f;
  EXPECT_EQ(ReadLibraryEntry(shortLib, 2, f), FilterFileStatus::NotValid);
  ASSERT_EQ(SaveIntoLibrary(shortLib, 41, Sample("Appended"), yes), LibrarySaveResult::Saved);
  EXPECT_EQ(LibraryEntryCount(shortLib), 2);
  ASSERT_EQ(ReadLibraryEntry(shortLib, 2, f), FilterFileStatus::Ok);
  EXPECT_EQ(f.title, "Appended");
}

TEST_F(FormulaFilterFileTest, AFailedSaveLeavesTheOldFileAsItWas) {
  const std::string lib = Path("lib.ffl");
  const auto yes = [](const AnsiString&) { return true; };
  ASSERT_EQ(SaveIntoLibrary(lib, 1, Sample("Kept"), yes), LibrarySaveResult::Saved);
  ASSERT_TRUE(WriteSingleFilter(Path("one.afs"), Sample("Kept")));
  const std::string library = Contents(lib);
  const std::string single = Contents(Path("one.afs"));
  const auto names = [this] {
    std::set<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(home.Path())) out.insert(e.path().filename().string());
    return out;
  };
  const std::set<std::string> before = names();
  {
    FileSizeLimit limit(library.size() + 10);
    FormulaFilter big = Sample("Big");
    big.formulas[0] = std::string(4000, ' ') + "r";
    EXPECT_EQ(SaveIntoLibrary(lib, 1, big, yes), LibrarySaveResult::CannotWrite);
    EXPECT_ANY_THROW(WriteSingleFilter(Path("one.afs"), big));
  }
  EXPECT_EQ(Contents(lib), library);
  EXPECT_EQ(Contents(Path("one.afs")), single);
  EXPECT_EQ(names(), before);  // no temporary file is left behind
}

}  // namespace
