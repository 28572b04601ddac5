#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <vector>

#include "support/TempHome.h"
#include "platform/rtl/FindFile.h"
#include "platform/rtl/LastError.h"

namespace {

class FindFileTest : public ::testing::Test {
protected:
  void SetUp() override {
    home_.WriteFile("a.png", "12345");
    home_.WriteFile("B.PNG", "");
    home_.WriteFile("c.txt", "x");
    home_.WriteFile("d.pngx", "x");
    home_.WriteFile(".hidden.png", "x");
    home_.WriteFile("ro.png", "xy");
    home_.WriteFile("sub/inner.png", "x");
    ::chmod(Path("ro.png").c_str(), 0444);
  }

  AnsiString Path(const AnsiString& name) const { return home_.Path() + "/" + name; }

  std::vector<AnsiString> Find(const AnsiString& mask, int attr) {
    std::vector<AnsiString> names;
    TSearchRec rec;
    for (int found = FindFirst(Path(mask), attr, rec); found == 0; found = FindNext(rec))
      names.push_back(rec.Name);
    FindClose(rec);
    return names;
  }

  TempHome home_;
};

using Names = std::vector<AnsiString>;

TEST_F(FindFileTest, MasksAndAttributesChooseTheEntries) {
  struct Case {
    const char* mask;
    int attr;
    Names expected;
  };
  const Case cases[] = {
      {"*.png", 0, {"a.png", "B.PNG", "ro.png"}},
      {"*.png", faReadOnly | faArchive, {"a.png", "B.PNG", "ro.png"}},
      {"*.png", faHidden, {".hidden.png", "a.png", "B.PNG", "ro.png"}},
      {"*", faDirectory, {".", "..", "a.png", "B.PNG", "c.txt", "d.pngx", "ro.png", "sub"}},
      {"*.*", faAnyFile,
       {".", "..", ".hidden.png", "a.png", "B.PNG", "c.txt", "d.pngx", "ro.png", "sub"}},
      {"?.png", 0, {"a.png", "B.PNG"}},
      {"*.PNG*", 0, {"a.png", "B.PNG", "d.pngx", "ro.png"}},
      {"*.p?g", 0, {"a.png", "B.PNG", "ro.png"}},
      {"C.TXT", 0, {"c.txt"}},
      {"sub", 0, {}},
      {"sub", faDirectory, {"sub"}},
      {"*.gif", faAnyFile, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(Find(c.mask, c.attr), c.expected) << c.mask << " " << c.attr;
}

TEST_F(FindFileTest, EntriesCarryAttributesSizesAndTimes) {
  TSearchRec rec;
  ASSERT_EQ(FindFirst(Path("a.png"), faAnyFile, rec), 0);
  EXPECT_EQ(rec.Size, 5);
  EXPECT_EQ(rec.Attr, faArchive);
  EXPECT_LT(std::fabs(FileDateToDateTime(rec.Time) - Now()), 5.0 / SecsPerDay);
  EXPECT_EQ(FindNext(rec), static_cast<int>(ERROR_NO_MORE_FILES));
  FindClose(rec);
  EXPECT_EQ(FindNext(rec), static_cast<int>(ERROR_INVALID_HANDLE));

  ASSERT_EQ(FindFirst(Path("ro.png"), faAnyFile, rec), 0);
  EXPECT_EQ(rec.Attr, faReadOnly | faArchive);
  ASSERT_EQ(FindFirst(Path("sub"), faDirectory, rec), 0);
  EXPECT_EQ(rec.Attr, faDirectory);
  EXPECT_EQ(rec.Size, 0);
  ASSERT_EQ(FindFirst(Path(".hidden.png"), faHidden, rec), 0);
  EXPECT_EQ(rec.Attr, faHidden | faArchive);
  FindClose(rec);
}

TEST_F(FindFileTest, MissingFoldersAndNoMatchesAreTold) {
  TSearchRec rec;
  EXPECT_EQ(FindFirst(Path("nowhere/*.*"), faAnyFile, rec), static_cast<int>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(FindFirst(Path("a.png/*.*"), faAnyFile, rec), static_cast<int>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(FindFirst(Path("*.gif"), faAnyFile, rec), static_cast<int>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(FindNext(rec), static_cast<int>(ERROR_INVALID_HANDLE));
}

TEST_F(FindFileTest, AttributesAndDatesCanBeSet) {
  EXPECT_EQ(FileGetAttr(Path("a.png")), faArchive);
  EXPECT_EQ(FileSetAttr(Path("a.png"), faReadOnly), 0);
  EXPECT_EQ(FileGetAttr(Path("a.png")), faReadOnly | faArchive);
  EXPECT_EQ(FileSetAttr(Path("a.png"), 0), 0);
  EXPECT_EQ(FileGetAttr(Path("a.png")), faArchive);
  EXPECT_EQ(FileGetAttr(Path("sub")), faDirectory);
  EXPECT_EQ(FileGetAttr(Path("none")), -1);

  const int date = DateTimeToFileDate(EncodeDate(2003, 4, 5) + EncodeTime(6, 7, 8, 0));
  EXPECT_EQ(FileSetDate(Path("c.txt"), date), 0);
  EXPECT_EQ(FileAge(Path("c.txt")), date);
  EXPECT_EQ(FileAge(Path("none")), -1);
  EXPECT_NE(FileSetDate(Path("none"), date), 0);
}

TEST(MatchesMask, StarAndQuestionMarkWithoutRegardToCase) {
  struct Case {
    const char* name;
    const char* mask;
    bool match;
  };
  const Case cases[] = {
      {"photo.png", "*.png", true},   {"photo.PNG", "*.png", true},  {"photo.png", "*.jpg", false},
      {"photo", "*.*", true},         {"photo", "*", true},          {"a.b.c", "*.c", true},
      {"abc", "a?c", true},           {"ac", "a?c", false},          {"abbbc", "a*c", true},
      {"abcd", "a*c", false},         {"x.qlc", "*.qlc", true},      {"x.qlcx", "*.qlc", false},
      {"", "*", true},                {"", "?", false},              {"aXbXc", "*x*x*", true},
      {"mississippi", "*sip*", true}, {"mississippi", "m*s?p*i", true},
  };
  for (const Case& c : cases) EXPECT_EQ(MatchesMask(c.name, c.mask), c.match) << c.name << " " << c.mask;
}

}  // namespace
