// Opening the previous and the next image of the folder from the standard toolbar, and the
// recent-files list, as a user does them.

#include <fstream>

#include "../shell/ProgramFixture.h"
#include "VideoSample.h"
#include "quillo/components/files/MRUFileList.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/files/OpenCommands.h"
#include "quillo/base/Language.h"
#include "quillo/tools/Tool.h"

namespace {

class OpenCommandsTest : public ProgramTest {
protected:
  void ClickToolButton(const char* name) {
    auto* button = dynamic_cast<TControl*>(form->FindComponent(name));
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->GetEnabled()) << name;
    POINT p{button->GetLeft() + button->GetWidth() / 2, button->GetTop() + button->GetHeight() / 2};
    ClientToScreen(button->GetParent()->GetHandle(), &p);
    ui.Click(p.x, p.y);
    ui.RunUntilIdle();
  }
  static std::string Prompt() { return ImageForm ? std::string(ImageForm->StatusText(spPrompt)) : std::string(); }
  std::string Name(const std::string& file) const { return home.Path() + "/" + file; }
  // The recent-files entry shown first in the File menu, chosen there.
  void ChooseFirstRecentFile() {
    const std::vector<TMRUMenuEntry> entries = form->MRUFileList1->MenuEntries();
    ASSERT_FALSE(entries.empty());
    ChooseMenuItem("&File", entries.front().Caption);
    ui.RunUntilIdle();
  }
};

// In name order (without regard to case), passing over files that are no images; the folder
// does not wrap: its ends say so in the status bar and load nothing.
TEST_F(OpenCommandsTest, PreviousAndNextWalkTheFolderWithoutWrapping) {
  WriteImage("a.bmp", 4, 4, 0x0000AA);
  home.WriteFile("b.txt", "not a picture");
  WriteImage("C.png", 5, 5, 0x00CC00);
  const std::string current = WriteImage("d.png", 6, 6, 0xDD0000);
  home.WriteFile("e.png", "a text that calls itself a picture");
  Start({current});
  ASSERT_EQ(ImgFormCount, 1);
  TImageForm* window = ImageForm;

  std::vector<std::string> visited;
  for (const char* button : {"OpenPrevBtn", "OpenPrevBtn", "OpenPrevBtn"}) {
    ClickToolButton(button);
    visited.push_back(std::string(CurrentPicture->FileName));
  }
  EXPECT_EQ(visited, (std::vector<std::string>{Name("C.png"), Name("a.bmp"), Name("a.bmp")}));
  EXPECT_EQ(Prompt(), LangMessage("NoPrevImg"));
  EXPECT_EQ(CurrentPicture->pixels[0] & 0x00FFFFFF, 0x0000AAu);

  visited.clear();
  for (const char* button : {"OpenNextBtn", "OpenNextBtn", "OpenNextBtn"}) {
    ClickToolButton(button);
    visited.push_back(std::string(CurrentPicture->FileName));
  }
  EXPECT_EQ(visited, (std::vector<std::string>{Name("C.png"), Name("d.png"), Name("d.png")}));
  EXPECT_EQ(Prompt(), LangMessage("NoNextImg"));
  EXPECT_EQ(ImgFormCount, 1);
  EXPECT_EQ(ImageForm, window);
  EXPECT_EQ(CurrentPicture->Width(), 6);
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
}

// A 2 x 2 icon of one 32-bit image, written byte by byte as icon files are.
void WriteIcon(const std::string& path) {
  std::string bytes;
  auto put16 = [&bytes](unsigned v) { bytes += char(v & 0xFF), bytes += char(v >> 8); };
  auto put32 = [&](unsigned v) { put16(v & 0xFFFF), put16(v >> 16); };
  const unsigned pixels = 2 * 2 * 4, mask = 2 * 4, size = 40 + pixels + mask;
  put16(0), put16(1), put16(1);                          // the directory: an icon file of one image
  bytes += char(2), bytes += char(2), put16(0), put16(1), put16(32), put32(size), put32(6 + 16);
  put32(40), put32(2), put32(4), put16(1), put16(32), put32(0), put32(pixels + mask);
  put32(0), put32(0), put32(0), put32(0);                // the header, twice the height for the mask
  for (int i = 0; i < 4; ++i) put32(0xFF3366CCu);
  bytes.append(mask, '\0');
  std::ofstream(path, std::ios::binary) << bytes;
}

// Icons are images like any other, and the files come in the order the open dialog lists
// them: "a_b" before "ab".
TEST_F(OpenCommandsTest, NextAndPreviousTakeIconsInTheOrderTheOpenDialogShows) {
  const std::string first = WriteImage("a.bmp", 4, 4, 0x0000AA);
  WriteIcon(Name("a_b.ico"));
  WriteImage("ab.png", 5, 5, 0x00CC00);
  Start({first});
  std::vector<std::string> visited;
  for (const char* button : {"OpenNextBtn", "OpenNextBtn", "OpenPrevBtn", "OpenPrevBtn"}) {
    ClickToolButton(button);
    visited.push_back(std::string(CurrentPicture->FileName));
  }
  EXPECT_EQ(visited, (std::vector<std::string>{Name("a_b.ico"), Name("ab.png"), Name("a_b.ico"), first}));
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
}

// A changed picture asks first; Cancel keeps it, No loads the neighbour.
TEST_F(OpenCommandsTest, AChangedPictureAsksBeforeItsNeighbourReplacesIt) {
  WriteImage("a.png", 4, 4, 0x0000AA);
  const std::string current = WriteImage("b.png", 5, 5, 0x00BB00);
  Start({current});
  CurrentPicture->ChangeCount = 1;
  ui.AnswerMessageBoxes({IDCANCEL});
  ClickToolButton("OpenPrevBtn");
  EXPECT_EQ(CurrentPicture->FileName, current);
  EXPECT_EQ(CurrentPicture->ChangeCount, 1);
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);

  ui.AnswerMessageBoxes({IDNO});
  ClickToolButton("OpenPrevBtn");
  EXPECT_EQ(CurrentPicture->FileName, Name("a.png"));
  EXPECT_EQ(CurrentPicture->ChangeCount, 0);
}

// An untitled picture has no folder: neither button does anything.
TEST_F(OpenCommandsTest, AnUntitledPictureHasNoNeighbours) {
  Start();
  ClickToolButton("OpenPrevBtn");
  ClickToolButton("OpenNextBtn");
  EXPECT_EQ(ImgFormCount, 1);
  EXPECT_TRUE(CurrentPicture->FileName.empty());
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
}

// The entry of an image after the first names its number, and choosing it opens that image.
TEST_F(OpenCommandsTest, ARecentFileOpensTheImageItNames) {
  const std::string video = home.Path() + "/five.avi";
  const std::string bytes = VideoSample({0x100000, 0x200000, 0x300000, 0x400000, 0x500000});
  std::ofstream(video, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  Start();
  form->MRUFileList1->InsertItem(0, video + ": 3");
  P_icon* tool = CurrentTool;
  ChooseFirstRecentFile();
  // The tool rested while the file was read and is back.
  EXPECT_EQ(CurrentTool, tool);
  EXPECT_EQ(ToolSuspendDepth, 0);
  ASSERT_NE(CurrentPicture, nullptr);
  EXPECT_EQ(CurrentPicture->FileName, video);
  EXPECT_EQ(CurrentPicture->ImageNumber, 3);
  EXPECT_EQ(CurrentPicture->pixels[0] & 0x00FFFFFF, 0x400000u);
}

// A file whose own name holds ": " opens from the list like any other.
TEST_F(OpenCommandsTest, ARecentFileWithAColonInItsNameOpens) {
  const std::string path = WriteImage("trip: day 1.png", 7, 3, 0x123456);
  Start({path});
  ASSERT_EQ(form->MRUFileList1->Items()->Strings(0), path);
  CloseAllDocuments();
  ui.RunUntilIdle();
  ChooseFirstRecentFile();
  ASSERT_NE(CurrentPicture, nullptr);
  EXPECT_EQ(CurrentPicture->FileName, path);
  EXPECT_EQ(CurrentPicture->Width(), 7);
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
}

TEST(RecentFileEntry, TheImageNumberIsOnlyALastColonAndDigits) {
  struct Case {
    const char* entry;
    const char* file;
    int image;
  };
  const Case cases[] = {
      {"/p/a.png", "/p/a.png", 0},
      {"/p/a.avi: 3", "/p/a.avi", 3},
      {"/p/trip: day.png", "/p/trip: day.png", 0},
      {"/p/trip: 2/a.avi: 12", "/p/trip: 2/a.avi", 12},
      {"/p/a.png: ", "/p/a.png: ", 0},
      {"/p/a.png: 1a", "/p/a.png: 1a", 0},
      {"/p/a.png: 99999999999", "/p/a.png: 99999999999", 0},
  };
  for (const Case& c : cases) {
    const RecentFileEntry split = SplitRecentEntry(c.entry);
    EXPECT_EQ(split.fileName, c.file) << c.entry;
    EXPECT_EQ(split.imageNumber, c.image) << c.entry;
  }
}

}  // namespace
