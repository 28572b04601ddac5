// The HTML gallery: page arithmetic, the exact text of a small page, thumbnails and copies,
// names that would break markup or links, and folders or pages that cannot be made.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

#include "../files/FilesFixture.h"
#include "quillo/output/GalleryPages.h"
#include "vorlen/core/Buffer.h"

namespace {

// "stem", i with at least `digits` digits, then "ext" (appended piece by piece: GCC's release
// warnings misjudge a literal joined to to_string).
std::string Numbered(const char* stem, int i, const char* ext, int digits = 1) {
  std::string number = std::to_string(i);
  while (static_cast<int>(number.size()) < digits) number.insert(number.begin(), '0');
  std::string name = stem;
  name += number;
  name += ext;
  return name;
}

namespace fs = std::filesystem;

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

class GalleryPagesTest : public FilesFixture {
protected:
  GalleryPagesTest() {
    settings.sourceFolder = folder + "/";
    settings.baseName = "base";
  }

  void Image(const std::string& name, int width, int height) {
    Buffer image;
    image.Alloc(Pair<int>(width, height));
    image.Box(image.rect, 0x336699);
    ASSERT_TRUE(GFXFile::Save(image, PathOf(name), nullptr, nullptr)) << name;
    image.Free();
  }
  void Images(int count) {
    for (int i = 0; i < count; ++i) Image(Numbered("img", i, ".bmp", 2), 40, 30);
  }
  GalleryResult Make() {
    bool make = true;
    return MakeGallery(settings, make);
  }
  // The navigation images, made here as GIFs of 20 x 10.
  void NavigationImages() {
    fs::create_directories(folder + "/nav");
    for (const char* name : {"previmage.gif", "nextimage.gif"}) {
      Buffer image;
      image.Alloc(Pair<int>(20, 10));
      image.Box(image.rect, 0x808080);
      ASSERT_TRUE(GFXFile::Save(image, folder + "/nav/" + name, nullptr, nullptr));
      image.Free();
    }
    settings.prevImage = folder + "/nav/previmage.gif";
    settings.nextImage = folder + "/nav/nextimage.gif";
  }

  GallerySettings settings;
};

TEST_F(GalleryPagesTest, NineImagesMakeFourColumnsOfThreeRows) {
  Images(9);
  settings.showNames = false;
  EXPECT_EQ(GalleryColumns(settings), 4);
  ASSERT_EQ(Make(), GalleryResult::Ok);
  const std::string page = Read(PathOf("base1.htm"));
  EXPECT_EQ(Count(page, "<TR "), 3);
  EXPECT_EQ(Count(page, "<IMG "), 9);
  EXPECT_EQ(Count(page, "    <TD></TD>\r\n"), 3);
  EXPECT_FALSE(fs::exists(PathOf("base2.htm")));
}

TEST_F(GalleryPagesTest, RowLimitSplitsPagesWithNavigation) {
  Images(25);
  NavigationImages();
  settings.limitRows = true;
  settings.rowLimit = 3;
  settings.previous = settings.next = true;
  settings.showNames = false;
  settings.imageFolder = folder + "/img/";
  ASSERT_EQ(Make(), GalleryResult::Ok);
  for (const char* name : {"base1.htm", "base2.htm", "base3.htm"}) ASSERT_TRUE(fs::exists(PathOf(name))) << name;
  EXPECT_FALSE(fs::exists(PathOf("base4.htm")));
  const std::string first = Read(PathOf("base1.htm")), middle = Read(PathOf("base2.htm")), last = Read(PathOf("base3.htm"));
  EXPECT_EQ(Count(first, "<IMG SRC=\"img/~%5E~"), 12);
  EXPECT_EQ(Count(last, "<IMG SRC=\"img/~%5E~"), 1);
  const std::string emptyCell = "    <TD WIDTH=\"20\" HEIGHT=\"10\"></TD>";
  const std::string back = "    <TD><A HREF=\"base1.htm\"><IMG SRC=\"img/previmage.gif\" WIDTH=\"20\" HEIGHT=\"10\" BORDER=\"0\"></A></TD>\r\n";
  const std::string forward = "    <TD><A HREF=\"base3.htm\"><IMG SRC=\"img/nextimage.gif\" WIDTH=\"20\" HEIGHT=\"10\" BORDER=\"0\"></A></TD>\r\n";
  EXPECT_NE(first.find("<BR><TABLE BORDER=\"0\" ALIGN=\"CENTER\" CELLSPACING=\"0\">\r\n  <TR ALIGN=\"CENTER\" VALIGN=\"CENTER\">\r\n" + emptyCell +
                       "    <TD><A HREF=\"base2.htm\">"),
            std::string::npos);
  EXPECT_NE(middle.find(back + forward + "  </TR>\r\n</TABLE></BODY></HTML>"), std::string::npos);
  EXPECT_NE(last.find(emptyCell + "  </TR>\r\n</TABLE></BODY></HTML>"), std::string::npos);
  EXPECT_TRUE(fs::exists(folder + "/img/previmage.gif"));
}

TEST_F(GalleryPagesTest, SmallPageIsWrittenExactly) {
  Image("b.bmp", 60, 30);
  Image("a.bmp", 30, 60);
  settings.pageWidth = 300;  // two columns
  settings.alignment = 0;
  settings.imageFolder = folder + "/pics/";
  ASSERT_EQ(Make(), GalleryResult::Ok);
  const std::string expected =
      "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2//EN\">\r\n"
      "<HTML>\r\n<HEAD>\r\n  <TITLE></TITLE>\r\n</HEAD>\r\n<BODY>\r\n"
      "<TABLE BORDER=\"0\" ALIGN=\"LEFT\" CELLSPACING=\"0\">\r\n"
      "  <TR ALIGN=\"CENTER\" VALIGN=\"CENTER\">\r\n"
      "    <TD><A HREF=\"pics/a.bmp\"><IMG SRC=\"pics/~%5E~a.jpg\" WIDTH=\"45\" HEIGHT=\"90\" HSPACE=\"20\" VSPACE=\"10\" BORDER=\"0\"></A></TD>\r\n"
      "    <TD><A HREF=\"pics/b.bmp\"><IMG SRC=\"pics/~%5E~b.jpg\" WIDTH=\"120\" HEIGHT=\"60\" HSPACE=\"20\" VSPACE=\"10\" BORDER=\"0\"></A></TD>\r\n"
      "  </TR>\r\n"
      "  <TR ALIGN=\"CENTER\" VALIGN=\"CENTER\">\r\n"
      "    <TD>a.bmp</TD>\r\n"
      "    <TD>b.bmp</TD>\r\n"
      "  </TR>\r\n"
      "</TABLE></BODY></HTML>";
  EXPECT_EQ(Read(PathOf("base1.htm")), expected);
  // The thumbnails are JPEGs of the sizes the page names; the images were copied beside them.
  GFXFileDesc desc;
  ASSERT_TRUE(GFXFile::Test(folder + "/pics/~^~a.jpg", &desc));
  EXPECT_EQ(desc.width, 45);
  EXPECT_EQ(desc.height, 90);
  EXPECT_TRUE(fs::exists(folder + "/pics/a.bmp"));
}

TEST_F(GalleryPagesTest, ThumbnailsAreNotListedAndNothingIsCopiedOntoItself) {
  Images(3);
  ASSERT_EQ(Make(), GalleryResult::Ok);
  EXPECT_TRUE(fs::exists(PathOf("~^~img00.jpg")));
  // A second gallery of the same folder still sees three images, not six.
  ASSERT_EQ(Make(), GalleryResult::Ok);
  const std::string page = Read(PathOf("base1.htm"));
  EXPECT_EQ(Count(page, "<IMG "), 3);
  EXPECT_EQ(Count(page, "~%5E~~%5E~"), 0);
  EXPECT_EQ(FolderNames().size(), 3u + 3u + 1u);
}

TEST_F(GalleryPagesTest, EveryLinkResolvesWhateverTheNames) {
  for (const char* name : {"with space.bmp", "fish&chips.bmp", "a<b>.bmp", "100%.bmp", "quote\"d.bmp", "it's.bmp"}) Image(name, 16, 12);
  NavigationImages();
  settings.previous = settings.next = true;
  settings.limitRows = true;
  settings.rowLimit = 1;
  settings.imageFolder = folder + "/site/the images/";
  settings.destination = folder + "/site/";
  ASSERT_EQ(Make(), GalleryResult::Ok);
  std::string command = "python3 " QUILLO_SOURCE_DIR "/tests/quillo/output/check_links.py";
  for (int p = 1; p <= 2; ++p) command += " '" + folder + Numbered("/site/base", p, ".htm'");
  EXPECT_EQ(std::system(command.c_str()), 0);
  const std::string page = Read(folder + "/site/base1.htm");
  EXPECT_NE(page.find("<TD>fish&amp;chips.bmp</TD>"), std::string::npos);
  EXPECT_NE(page.find("<TD>100%.bmp</TD>"), std::string::npos);
  EXPECT_EQ(page.find("a<b>"), std::string::npos);
}

TEST_F(GalleryPagesTest, AThumbnailThatCannotBeSavedIsLeftOut) {
  Image("good.bmp", 16, 12);
  Image("bad.bmp", 16, 12);
  fs::create_directories(PathOf("~^~bad.jpg"));  // the thumbnail's name is taken by a folder
  ASSERT_EQ(Make(), GalleryResult::Ok);
  const std::string page = Read(PathOf("base1.htm"));
  EXPECT_EQ(Count(page, "<IMG "), 1);
  EXPECT_EQ(page.find("bad"), std::string::npos);
}

// The gallery writes over no picture of the user's: an empty prefix is refused before
// anything is written, and pictures whose names differ only by their extension each get a
// thumbnail of their own that the page shows.
TEST_F(GalleryPagesTest, NoPictureOfTheUsersIsWrittenOver) {
  Image("x.png", 40, 30);
  Image("x.jpg", 30, 40);
  const std::string png = Read(PathOf("x.png"));
  const std::string jpg = Read(PathOf("x.jpg"));
  settings.prefix = "";
  EXPECT_EQ(Make(), GalleryResult::NoPrefix);
  EXPECT_EQ(FolderNames(), (std::vector<std::string>{"x.jpg", "x.png"}));
  settings.prefix = "tn_";
  ASSERT_EQ(Make(), GalleryResult::Ok);
  EXPECT_EQ(Read(PathOf("x.png")), png);
  EXPECT_EQ(Read(PathOf("x.jpg")), jpg);
  GFXFileDesc desc;
  ASSERT_TRUE(GFXFile::Test(PathOf("tn_x_png.jpg"), &desc));
  EXPECT_EQ(desc.width, 120) << "the wide picture's thumbnail";
  ASSERT_TRUE(GFXFile::Test(PathOf("tn_x_jpg.jpg"), &desc));
  EXPECT_EQ(desc.height, 90);
  EXPECT_LT(desc.width, 90) << "the tall picture's thumbnail";
  const std::string page = Read(PathOf("base1.htm"));
  EXPECT_EQ(Count(page, "<IMG SRC=\"tn_x_png.jpg\""), 1);
  EXPECT_EQ(Count(page, "<IMG SRC=\"tn_x_jpg.jpg\""), 1);
}

TEST(GalleryThumbnailNames, TakeTheExtensionOnlyWhereNamesWouldClash) {
  EXPECT_EQ(GalleryThumbnailNames({"a.bmp", "b.PNG", "B.gif", "c"}, "~"),
            (std::vector<AnsiString>{"~a.jpg", "~b_PNG.jpg", "~B_gif.jpg", "~c.jpg"}));
}

TEST_F(GalleryPagesTest, FailuresAreReported) {
  EXPECT_EQ(Make(), GalleryResult::NoImages);
  Image("a.bmp", 8, 8);
  WriteBytes(PathOf("file"), "x");
  settings.imageFolder = PathOf("file") + "/sub/";
  EXPECT_EQ(Make(), GalleryResult::CannotCreateFolder);
  settings.imageFolder.clear();
  fs::create_directories(PathOf("base1.htm"));
  EXPECT_EQ(Make(), GalleryResult::CannotCreatePage);
}

TEST(GalleryText, EscapesTextAndEncodesLinks) {
  EXPECT_EQ(HtmlText("a&b<c>\"d'"), "a&amp;b&lt;c&gt;&quot;d&#39;");
  EXPECT_EQ(UrlPath("my pics/100% & <x>.png"), "my%20pics/100%25%20%26%20%3Cx%3E.png");
  EXPECT_EQ(RelativeImageFolder("/a/site/", "/a/site/img/"), "img/");
  EXPECT_EQ(RelativeImageFolder("/a/site/", "/a/site/"), "");
  EXPECT_EQ(RelativeImageFolder("/a/site/", "/a/other/"), "../other/");
}

}  // namespace

namespace {

// The program folder's navigation images are GIFs the library reads, arrows of 24 x 24.
TEST(GalleryNavigationImages, ShipBesideTheProgramAndLoad) {
  for (const char* name : {"previmage.gif", "nextimage.gif"}) {
    Buffer image;
    ASSERT_TRUE(GFXFile::Load(image, std::string(QUILLO_BIN_DIR) + "/" + name, nullptr, 0, nullptr)) << name;
    EXPECT_EQ(image.Width(), 24);
    EXPECT_EQ(image.Height(), 24);
    EXPECT_EQ(*image.At(12, 12) & 0xFFFFFF, 0x204090u) << name;  // the arrow's body
    image.Free();
  }
}

}  // namespace
