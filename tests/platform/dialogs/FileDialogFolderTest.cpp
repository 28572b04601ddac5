#include <gtest/gtest.h>

#include <sys/stat.h>

#include "platform/dialogs/FileDialogFolder.h"
#include "support/TempHome.h"

using namespace filedialog;

namespace {

TEST(FileDialogFolder, FilterStringsGiveTheirEntriesAndEveryPattern) {
  const char filter[] = "Pictures\0*.png; *.JPG;*.jpeg\0All files\0*.*\0Unpaired\0";
  std::vector<FileFilter> filters = ParseFilter(filter);
  ASSERT_EQ(filters.size(), 2u);
  EXPECT_EQ(filters[0].description, "Pictures");
  EXPECT_EQ(filters[0].patterns, (std::vector<std::string>{"*.png", "*.JPG", "*.jpeg"}));
  EXPECT_EQ(filters[1].patterns, (std::vector<std::string>{"*.*"}));
  EXPECT_TRUE(ParseFilter(nullptr).empty());
  EXPECT_TRUE(ParseFilter("").empty());
}

TEST(FileDialogFolder, PatternsMatchAsTheDialogShowsFiles) {
  struct Case {
    const char* name;
    const char* pattern;
    bool matches;
  };
  const Case cases[] = {
      {"photo.png", "*.png", true},     {"PHOTO.PNG", "*.png", true},      {"photo.png.bak", "*.png", false},
      {"README", "*.*", true},          {"a.b.c", "*.c", true},            {"x", "?", true},
      {"xy", "?", false},               {"émile.jpg", "*.JPG", true},      {"émile.jpg", "é*", true},
      {"data", "*.png", false},         {"image01.gif", "image??.gif", true}, {"aaa", "*a*a*a*", true},
  };
  for (const Case& c : cases) EXPECT_EQ(MatchesPattern(c.name, c.pattern), c.matches) << c.name << " " << c.pattern;
}

TEST(FileDialogFolder, TypedNamesSplitAndResolve) {
  EXPECT_EQ(SplitNames("\"a b.png\" \"c.png\""), (std::vector<std::string>{"a b.png", "c.png"}));
  EXPECT_EQ(SplitNames("  plain name.png "), (std::vector<std::string>{"plain name.png"}));
  EXPECT_EQ(SplitNames("\"\" \"x\""), (std::vector<std::string>{"x"}));
  EXPECT_EQ(SplitNames("\"unclosed"), (std::vector<std::string>{"unclosed"}));
  EXPECT_TRUE(SplitNames("   ").empty());
  EXPECT_EQ(JoinNames({"one.png"}), "one.png");
  EXPECT_EQ(JoinNames({"a b", "c"}), "\"a b\" \"c\"");

  struct Case {
    const char* folder;
    const char* name;
    const char* path;
  };
  const Case cases[] = {
      {"/home/ann", "x.png", "/home/ann/x.png"},    {"/home/ann", "../bob/y.png", "/home/bob/y.png"},
      {"/home/ann", "/etc//z", "/etc/z"},           {"/", "..", "/"},
      {"/a/b", "./c/./d/../e", "/a/b/c/e"},         {"/a", "sub/", "/a/sub"},
  };
  for (const Case& c : cases) EXPECT_EQ(ResolvePath(c.folder, c.name), c.path) << c.name;
  EXPECT_EQ(FolderAncestors("/home/ann/pics"), (std::vector<std::string>{"/", "/home", "/home/ann", "/home/ann/pics"}));
  EXPECT_EQ(FolderAncestors("/"), (std::vector<std::string>{"/"}));
  EXPECT_EQ(ParentFolder("/home"), "/");
}

TEST(FileDialogFolder, ExtensionsAreThoseOfTheLastName) {
  struct Case {
    const char* path;
    size_t offset;
  };
  const Case cases[] = {{"/a/b.png", 5}, {"/a.d/b", 0}, {"/a/.hidden", 0}, {"/a/x.tar.gz", 9}, {"/a/dot.", 0}};
  for (const Case& c : cases) EXPECT_EQ(ExtensionOffset(c.path), c.offset) << c.path;
  FileFilter png{"PNG", {"*.png"}};
  FileFilter all{"All", {"*.*"}};
  EXPECT_EQ(ExtensionToAdd(&png, "bmp"), "png");
  EXPECT_EQ(ExtensionToAdd(&all, "bmp"), "bmp");
  EXPECT_EQ(ExtensionToAdd(nullptr, "bmp"), "bmp");
}

TEST(FileDialogFolder, ListingPutsFoldersFirstSortsWithoutCaseAndHidesDotFiles) {
  TempHome home;
  for (const char* name : {"b.png", "A.png", "c.txt", ".secret.png", "Zed/x", "alpha/x", ".hid/x", "ü.png"})
    home.WriteFile(name, "12345");
  std::vector<FolderEntry> entries = ListFolder(home.Path(), {"*.png"}, HiddenFiles::Hide);
  std::vector<std::string> names;
  for (const FolderEntry& e : entries) names.push_back(e.name);
  EXPECT_EQ(names, (std::vector<std::string>{"alpha", "Zed", "A.png", "b.png", "ü.png"}));
  EXPECT_TRUE(entries[0].folder);
  EXPECT_EQ(entries[2].size, 5u);
  names.clear();
  for (const FolderEntry& e : ListFolder(home.Path(), {}, HiddenFiles::Show)) names.push_back(e.name);
  EXPECT_EQ(names, (std::vector<std::string>{".hid", "alpha", "Zed", ".secret.png", "A.png", "b.png", "c.txt", "ü.png"}));
  EXPECT_TRUE(ListFolder(home.Path() + "/missing", {}, HiddenFiles::Hide).empty());
}

}  // namespace
