#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/vcl/Collection.h"
#include "platform/vcl/Strings.h"
#include "support/TempHome.h"

namespace {

using Lines = std::vector<AnsiString>;

Lines LinesOf(const TStrings& list) {
  Lines lines;
  for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Get(i));
  return lines;
}

void Fill(TStrings& list, const Lines& lines) {
  list.Clear();
  for (const AnsiString& line : lines) list.Add(line);
}

std::string ReadAll(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

TEST(StringList, CommaTextQuotesWhatItMustAndReadsItBack) {
  struct Case {
    Lines lines;
    const char* comma;
  };
  const Case cases[] = {
      {{"a", "b", "c"}, "a,b,c"},
      {{"with space", "x"}, "\"with space\",x"},
      {{"say \"hi\"", "q"}, "\"say \"\"hi\"\"\",q"},
      {{"a,b"}, "\"a,b\""},
      {{"tab\there"}, "\"tab\there\""},
      {{""}, "\"\""},
      {{"a", "", "b"}, "a,,b"},
      {{"a", ""}, "a,"},
      {{"", "a"}, ",a"},
      {{}, ""},
      {{"C:/Program Files/quillo", "1.5"}, "\"C:/Program Files/quillo\",1.5"},
  };
  for (const Case& c : cases) {
    TStringList list;
    Fill(list, c.lines);
    EXPECT_EQ(list.CommaText(), c.comma);
    TStringList back;
    back.Add("left over");
    back.SetCommaText(c.comma);
    EXPECT_EQ(LinesOf(back), c.lines) << c.comma;
  }
}

TEST(StringList, CommaTextSplitsAtBlanksAndReadsLooseQuotes) {
  struct Case {
    const char* comma;
    Lines lines;
  };
  const Case cases[] = {
      {"a b", {"a", "b"}},
      {"  a ,  b  ", {"a", "b"}},
      {"\"x\"\"y\"", {"x\"y"}},
      {"\"unterminated", {"unterminated"}},
      {"\"q\"tail", {"q", "tail"}},
      {",", {"", ""}},
  };
  for (const Case& c : cases) {
    TStringList list;
    list.SetCommaText(c.comma);
    EXPECT_EQ(LinesOf(list), c.lines) << c.comma;
  }
}

TEST(StringList, DelimitedTextUsesTheListsDelimiter) {
  TStringList list;
  list.Delimiter = '|';
  list.SetDelimitedText("one|two words|three");
  EXPECT_EQ(LinesOf(list), (Lines{"one", "two", "words", "three"}));
  Fill(list, {"a|b", "c"});
  EXPECT_EQ(list.DelimitedText(), "\"a|b\"|c");
  EXPECT_EQ(list.CommaText(), "a|b,c");
  EXPECT_EQ(list.Delimiter, '|');
}

TEST(StringList, TextBreaksLinesWithCrLfAndReadsAnyBreak) {
  TStringList list;
  Fill(list, {"a", "b"});
  EXPECT_EQ(list.Text(), "a\r\nb\r\n");
  struct Case {
    const char* text;
    Lines lines;
  };
  const Case cases[] = {
      {"a\nb\r\nc\rd", {"a", "b", "c", "d"}},
      {"a\r\n", {"a"}},
      {"\r\n", {""}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"a\n\rb", {"a", "", "b"}},
      {"", {}},
  };
  for (const Case& c : cases) {
    list.SetText(c.text);
    EXPECT_EQ(LinesOf(list), c.lines) << c.text;
  }
}

TEST(StringList, SavesWithCrLfAndLoadsBack) {
  TempHome home;
  const std::string path = home.Path() + "/list.txt";
  TStringList list;
  Fill(list, {"first", "", "third line"});
  list.SaveToFile(path);
  EXPECT_EQ(ReadAll(path), "first\r\n\r\nthird line\r\n");

  TStringList loaded;
  loaded.LoadFromFile(path);
  EXPECT_EQ(LinesOf(loaded), LinesOf(list));
  loaded.LoadFromFile(home.WriteFile("unix.txt", "x\ny"));
  EXPECT_EQ(LinesOf(loaded), (Lines{"x", "y"}));
  EXPECT_THROW(loaded.LoadFromFile(home.Path() + "/missing.txt"), EFOpenError);
}

TEST(StringList, AFailedSaveKeepsWhatWasThere) {
  TempHome home;
  TStringList list;
  list.Add("new");
  EXPECT_THROW(list.SaveToFile(home.Path() + "/no/such/folder/list.txt"), EFCreateError);

  // A folder where the file should go cannot be replaced: the folder and its file stay,
  // and nothing is left beside it.
  const std::string kept = home.WriteFile("target/inside.txt", "kept");
  EXPECT_THROW(list.SaveToFile(home.Path() + "/target"), EFCreateError);
  EXPECT_EQ(ReadAll(kept), "kept");
  size_t entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(home.Path())) ++entries;
  EXPECT_EQ(entries, 1u);

  const std::string existing = home.WriteFile("mode.txt", "old");
  ::chmod(existing.c_str(), 0640);
  list.SaveToFile(existing);
  struct stat info {};
  ::stat(existing.c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0640u);  // the saved file keeps the old one's permissions
  EXPECT_EQ(ReadAll(existing), "new\r\n");
}

TEST(StringList, SortedListsFollowTheDuplicatesPolicy) {
  struct Case {
    TDuplicates policy;
    bool caseSensitive;
    Lines expected;
  };
  const Case cases[] = {
      {dupIgnore, false, {"a", "b", "c"}},
      {dupAccept, false, {"a", "b", "B", "b", "c"}},  // a new equal line goes first
      {dupIgnore, true, {"a", "b", "B", "c"}},
      {dupAccept, true, {"a", "b", "b", "B", "c"}},
  };
  for (const Case& c : cases) {
    TStringList list;
    list.SetSorted(true);
    list.SetCaseSensitive(c.caseSensitive);
    list.SetDuplicates(c.policy);
    for (const char* line : {"b", "a", "B", "c", "b"}) list.Add(line);
    EXPECT_EQ(LinesOf(list), c.expected) << c.policy << " " << c.caseSensitive;
  }

  TStringList strict;
  strict.SetSorted(true);
  strict.SetDuplicates(dupError);
  strict.Add("b");
  strict.Add("a");
  EXPECT_THROW(strict.Add("B"), EStringListError);
  EXPECT_EQ(LinesOf(strict), (Lines{"a", "b"}));
}

TEST(StringList, SortedListsRefuseInsertAndFindByHalving) {
  TStringList list;
  list.SetSorted(true);
  for (const char* line : {"delta", "alpha", "charlie"}) list.Add(line);
  EXPECT_EQ(list.Add("bravo"), 1);
  EXPECT_EQ(list.Add("Alpha"), 0);  // already there: the index of the line that is
  EXPECT_THROW(list.Insert(0, "zulu"), EStringListError);
  EXPECT_THROW(list.Put(0, "zulu"), EStringListError);
  int index = -1;
  EXPECT_TRUE(list.Find("CHARLIE", index));
  EXPECT_EQ(index, 2);
  EXPECT_FALSE(list.Find("cat", index));
  EXPECT_EQ(index, 2);
  EXPECT_EQ(list.IndexOf("DELTA"), 3);
  EXPECT_EQ(list.IndexOf("echo"), -1);

  TStringList unsorted;
  Fill(unsorted, {"b", "a", "b"});
  unsorted.SetSorted(true);  // sorting an existing list keeps its duplicates
  EXPECT_EQ(LinesOf(unsorted), (Lines{"a", "b", "b"}));
}

TEST(StringList, NamesAndValues) {
  TStringList list;
  Fill(list, {"Width=10", "height=20", "noequals", "=empty", "Path=a=b"});
  EXPECT_EQ(list.Values("WIDTH"), "10");
  EXPECT_EQ(list.Values("Path"), "a=b");
  EXPECT_EQ(list.Values("missing"), "");
  EXPECT_EQ(list.Values(""), "empty");
  EXPECT_EQ(list.Names(0), "Width");
  EXPECT_EQ(list.Names(2), "");
  EXPECT_EQ(list.ValueFromIndex(4), "a=b");
  EXPECT_EQ(list.IndexOfName("HEIGHT"), 1);

  list.SetValue("Height", "30");
  list.SetValue("Depth", "5");
  list.SetValue("width", "");
  EXPECT_EQ(LinesOf(list), (Lines{"Height=30", "noequals", "=empty", "Path=a=b", "Depth=5"}));

  list.SetCaseSensitive(true);
  EXPECT_EQ(list.Values("HEIGHT"), "");
  EXPECT_EQ(list.IndexOf("NOEQUALS"), -1);
}

TEST(StringList, ObjectsTravelWithTheirLines) {
  TObject one, two, three;
  TStringList list;
  list.AddObject("c", &three);
  list.AddObject("a", &one);
  list.AddObject("b", &two);
  list.Exchange(0, 1);
  EXPECT_EQ(list.Objects(0), &one);
  list.Move(0, 2);
  EXPECT_EQ(LinesOf(list), (Lines{"c", "b", "a"}));
  EXPECT_EQ(list.Objects(2), &one);
  list.SetSorted(true);
  EXPECT_EQ(list.Objects(0), &one);
  EXPECT_EQ(list.Objects(2), &three);
  EXPECT_EQ(list.IndexOfObject(&two), 1);

  TObject other;
  EXPECT_EQ(list.AddObject("A", &other), 0);  // refused as a duplicate: the old object stays
  EXPECT_EQ(list.Objects(0), &one);
}

TEST(StringList, ChangesAreAnnouncedOncePerUpdate) {
  TStringList list;
  int changing = 0, changed = 0;
  list.OnChanging = [&](TObject* sender) {
    EXPECT_EQ(sender, &list);
    ++changing;
  };
  list.OnChange = [&](TObject*) { ++changed; };
  list.Add("one");
  EXPECT_EQ(changing, 1);
  EXPECT_EQ(changed, 1);
  list.SetCommaText("a,b,c,d");
  EXPECT_EQ(changing, 2);
  EXPECT_EQ(changed, 2);
  list.BeginUpdate();
  list.Delete(0);
  list.Add("e");
  list.EndUpdate();
  EXPECT_EQ(changed, 3);
}

TEST(StringList, AssignCopiesListsAndRefusesStrangers) {
  TStringList source, target;
  TObject marker;
  source.AddObject("x", &marker);
  source.Add("y");
  target.Add("old");
  target.Assign(&source);
  EXPECT_EQ(LinesOf(target), (Lines{"x", "y"}));
  EXPECT_EQ(target.Objects(0), &marker);
  EXPECT_TRUE(target.Equals(source));

  TCollection collection(TCollectionItem::StaticClass(), CollectionItemFactory<TCollectionItem>());
  try {
    target.Assign(&collection);
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message, "Cannot assign a TCollection to a TStringList");
  }
  EXPECT_THROW(target.Assign(nullptr), EConvertError);
}

TEST(StringList, BadIndexesRaise) {
  TStringList list;
  list.Add("only");
  try {
    list.Get(5);
    FAIL() << "no exception";
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message, "List index out of bounds (5)");
  }
  EXPECT_THROW(list.Delete(-1), EStringListError);
  EXPECT_THROW(list.Insert(3, "x"), EStringListError);
  EXPECT_THROW(list.Objects(1), EStringListError);
}

}  // namespace
