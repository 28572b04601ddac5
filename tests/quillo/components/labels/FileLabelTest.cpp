// The path-shortening label: splitting, the shortening rule on tables (one pixel a
// character, so widths are exact), and the label on a form refitting when its width or font
// changes.

#include "../captions/CaptionFixture.h"

#include <string>

#include "platform/vcl/TypInfo.h"
#include "quillo/components/labels/FileLabel.h"

namespace {

int OnePixelEach(const AnsiString& s) { return static_cast<int>(s.size()); }

TEST(FileLabelPathsTest, BreakApartSplitsAtEverySeparator) {
  struct Case {
    const char* text;
    const char* separator;
    std::vector<AnsiString> want;
  } cases[] = {
      {"C:\\one\\file.txt", "\\", {"C:", "one", "file.txt"}},
      {"/home/ann/", "/", {"", "home", "ann", ""}},
      {"a//b", "/", {"a", "", "b"}},
      {"file.txt", "/", {"file.txt"}},
      {"", "/", {""}},
      {"a > b > c", " > ", {"a", "b", "c"}},
  };
  for (const Case& c : cases) EXPECT_EQ(BreakApart(c.text, c.separator), c.want) << c.text;
  // A long path is split like a short one.
  std::string longPath;
  for (int i = 0; i < 60; ++i) longPath += "/folder" + std::to_string(i);
  ASSERT_GT(longPath.size(), 255u);
  EXPECT_EQ(BreakApart(longPath, "/").size(), 61u);
}

TEST(FileLabelPathsTest, ShorteningKeepsRootFoldersThatFitAndTheFileName) {
  struct Case {
    const char* path;
    const char* separator;
    TDirection direction;
    int width;
    const char* want;
  } cases[] = {
      {"C:\\one\\two\\three\\file.txt", "\\", drFromLeft, 30, "C:\\one\\two\\three\\file.txt"},
      {"C:\\one\\two\\three\\file.txt", "\\", drFromLeft, 20, "C:\\one\\...\\file.txt"},
      {"C:\\one\\two\\three\\file.txt", "\\", drFromRight, 20, "C:\\...\\file.txt"},
      {"C:\\one\\two\\three\\file.txt", "\\", drFromRight, 22, "C:\\...\\three\\file.txt"},
      {"C:\\one\\two\\three\\file.txt", "\\", drFromLeft, 14, "...\\file.txt"},
      {"C:\\one\\two\\three\\file.txt", "\\", drFromLeft, 12, "file.txt"},
      {"one\\two\\file.txt", "\\", drFromLeft, 14, "...\\file.txt"},
      {"one\\two\\file.txt", "\\", drFromRight, 15, "...\\file.txt"},
      {"one\\two\\three\\file.txt", "\\", drFromRight, 18, "...\\three\\file.txt"},
      {"/home/ann/pictures/cat.png", "/", drFromLeft, 20, "/home/.../cat.png"},
      {"/home/ann/pictures/cat.png", "/", drFromRight, 20, "/.../cat.png"},
      {"/home/ann/pictures/cat.png", "/", drFromRight, 21, "/.../pictures/cat.png"},
      {"a-very-long-file-name.png", "/", drFromLeft, 10, "a-very-long-file-name.png"},
      {"", "/", drFromLeft, 10, ""},
  };
  for (const Case& c : cases) {
    std::vector<AnsiString> parts = BreakApart(c.path, c.separator);
    AnsiString got = ShortenPath(c.path, parts, c.separator, c.direction, c.width, OnePixelEach);
    EXPECT_EQ(got, c.want) << c.path << " in " << c.width;
  }
}

class FileLabelTest : public CaptionUiTest {};

TEST_F(FileLabelTest, LabelRefitsWhenItsWidthOrFontChanges) {
  auto* form = NewComponent<TForm>(Application());
  form->SetBounds(100, 100, 400, 200);
  auto* label = NewComponent<TFileLabel>(form);
  label->SetParent(form);
  label->SetBounds(10, 10, 150, 17);
  EXPECT_FALSE(label->GetAutoSize());
  SetEnumProp(label, "Direction", "drFromRight");
  const AnsiString path = "/home/ann/pictures/holidays/2024/summer/beach.png";
  label->SetFileName(path);
  form->Show();
  ui.RunUntilIdle();
  AnsiString narrow = label->GetCaption();
  EXPECT_NE(narrow, path);
  EXPECT_EQ(narrow.substr(0, 5), "/.../");
  EXPECT_EQ(narrow.substr(narrow.size() - 9), "beach.png");
  EXPECT_LE(label->TextWidth(narrow), 150);
  label->SetWidth(400);
  EXPECT_EQ(label->GetCaption(), path);
  label->SetWidth(150);
  EXPECT_EQ(label->GetCaption(), narrow);
  label->GetFont()->SetSize(14);
  EXPECT_NE(label->GetCaption(), narrow);
  EXPECT_LE(label->TextWidth(label->GetCaption()), 150);
  // The caption is drawn in the font's colour.
  int ink = 0;
  for (int x = 0; x < 150; ++x)
    for (int y = 0; y < 17; ++y) {
      POINT p = At(label, x, y);
      ink += ui.Pixel(p.x, p.y) == Rgb(clWindowText);
    }
  EXPECT_GT(ink, 10);
}

}  // namespace
