// Save and Save As of a picture: the name asked for when the picture has none, the cancel
// flag of the close-down, and nothing changed or read back after a save that did not succeed.

#include "../../platform/dialogs/FileDialogUser.h"
#include "FilesFixture.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Application.h"
#include "quillo/files/ImageFiles.h"
#include "quillo/files/PictureSaving.h"
#include "quillo/files/SaveCommands.h"
#include "quillo/shell/MainForm.h"

#include <tuple>

namespace {

bool StopEverything(int) { return false; }

class PictureSavingTest : public FilesFixture {
protected:
  PictureSavingTest() {
    MainForm = Application()->CreateForm<TMainForm>();
    Settings.ImageDir = folder + "/";
    picture = &document;
    picture->Alloc(6, 4);
    picture->SaveAsRequired = 1;  // as a new document window's picture
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 6; ++x) *picture->At(x, y) = SampleColour(x, y);
    picture->ChangeCount = 3;
    SaveCancelled = 0;
  }
  ~PictureSavingTest() override {
    GFXFile::SetProgFunc(nullptr, nullptr, nullptr);
    SaveCancelled = 0;
    MainForm = nullptr;
  }
  // The picture as it was made, named after a PNG file it was loaded from.
  void NameAsLoaded(const std::string& name) {
    picture->FileName = PathOf(name);
    picture->SaveAsRequired = 0;
    picture->SaveParams = GFXSaveParams();
    picture->SaveParams.bits = 24;
  }
  // Types the name and presses Enter. The dialog's loop is woken to see that it has closed,
  // so that a next answer goes to the dialog shown after it.
  void TypeName(const std::string& name) {
    user.TypeName(name);
    PostMessage(nullptr, WM_NULL, 0, 0);
  }
  UDBuffer document;
  UDBuffer* picture = nullptr;
  FileDialogUser user{ui};
};

TEST_F(PictureSavingTest, SaveWritesThePictureUnderItsName) {
  NameAsLoaded("mine.png");
  EXPECT_TRUE(SavePictureFile(*picture));
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
  EXPECT_EQ(picture->ChangeCount, 0);
  UDBuffer back;
  ASSERT_EQ(LoadImageFile(&back, PathOf("mine.png"), 0, true), LoadOk);
  EXPECT_TRUE(HoldsSample(back, 6, 4));
}

// A picture without a name of a writable format goes through Save As.
TEST_F(PictureSavingTest, SaveAsksForANameWhenThePictureHasNoWritableOne) {
  // The dialog starts with the type of the name, else the preferred one (the first); a typed
  // name of another type brings it back with that type, to be confirmed.
  const std::vector<std::tuple<std::string, bool, bool>> cases = {
      {"", true, true}, {"icon.ico", false, true}, {"shot.png", true, false}};
  for (const auto& [name, saveAsRequired, confirmType] : cases) {
    picture->FileName = name.empty() ? AnsiString() : AnsiString(PathOf(name));
    picture->SaveAsRequired = saveAsRequired ? 1 : 0;
    bool asked = false;
    ui.WhenModalWaits([&] {
      asked = true;
      TypeName("typed.png");
    });
    if (confirmType) ui.WhenModalWaits([&] { user.ClickControl(IDOK); });
    EXPECT_TRUE(SavePictureFile(*picture)) << name;
    EXPECT_TRUE(asked) << name;
    EXPECT_EQ(picture->FileName, PathOf("typed.png")) << name;
    EXPECT_EQ(picture->SaveAsRequired, 0) << name;
    EXPECT_TRUE(std::filesystem::exists(PathOf("typed.png"))) << name;
    std::filesystem::remove(PathOf("typed.png"));
  }
}

TEST_F(PictureSavingTest, ACancelledSaveAsKeepsThePictureAndTellsTheCloseDown) {
  NameAsLoaded("kept.png");
  ui.WhenModalWaits([&] { user.ClickControl(IDCANCEL); });
  EXPECT_FALSE(SavePictureFileAs(*picture));
  EXPECT_EQ(SaveCancelled, 1);
  EXPECT_EQ(picture->FileName, PathOf("kept.png"));
  EXPECT_EQ(picture->SaveAsRequired, 0);
  EXPECT_EQ(picture->ChangeCount, 3);
}

// A Save As that does not succeed leaves the picture as it was: its name, its parameters, its
// pixels (nothing is read back from a file that was not written).
TEST_F(PictureSavingTest, AStoppedSaveAsKeepsThePictureItsParametersAndReadsNothingBack) {
  Settings.AutoReload = true;
  NameAsLoaded("kept.png");
  GFXFile::SetProgFunc(nullptr, StopEverything, nullptr);
  ui.WhenModalWaits([&] { TypeName("other.gif"); });
  ui.WhenModalWaits([&] { user.ClickControl(IDOK); });  // the GIF type, as typed
  EXPECT_FALSE(SavePictureFileAs(*picture));
  EXPECT_EQ(picture->FileName, PathOf("kept.png"));
  EXPECT_EQ(picture->SaveParams.bits, 24);
  EXPECT_EQ(picture->SaveAsRequired, 0);
  EXPECT_EQ(picture->ChangeCount, 3);
  EXPECT_TRUE(HoldsSample(*picture, 6, 4));
  EXPECT_FALSE(std::filesystem::exists(PathOf("other.gif")));
}

// With AutoReload a save that may lose colours shows what the file holds; without it the
// picture keeps its own pixels.
TEST_F(PictureSavingTest, AutoReloadShowsWhatALossySaveWrote) {
  for (bool reload : {false, true}) {
    Settings.AutoReload = reload;
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 6; ++x) *picture->At(x, y) = SampleColour(x, y);
    const std::string name = reload ? "reloaded.jpg" : "kept.jpg";
    ui.WhenModalWaits([&] { TypeName(name); });
    // The first time the picture has no name: the dialog comes back with the JPEG type.
    if (!reload) ui.WhenModalWaits([&] { user.ClickControl(IDOK); });
    ASSERT_TRUE(SavePictureFileAs(*picture));
    UDBuffer file;
    ASSERT_EQ(LoadImageFile(&file, PathOf(name), 0, true), LoadOk);
    bool sameAsFile = true;
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 6; ++x) sameAsFile = sameAsFile && *picture->At(x, y) == *file.At(x, y);
    EXPECT_EQ(sameAsFile, reload);
    EXPECT_EQ(HoldsSample(*picture, 6, 4), !reload);
    EXPECT_EQ(picture->FileName, PathOf(name));
    EXPECT_EQ(picture->ChangeCount, 0);
  }
}

}  // namespace
