// Save and Save As of a picture: the name asked for when the picture has none, the cancel
// flag of the close-down, and nothing changed or read back after a save that did not succeed.

#include "support/FileDialogUser.h"
#include "FilesFixture.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Application.h"
#include "quillo/files/ImageFiles.h"
#include "quillo/files/PictureSaving.h"
#include "quillo/files/SaveCommands.h"
#include "quillo/files/SavePictureDialog.h"
#include "quillo/shell/MainForm.h"
#include "quillo/tools/BrushModel.h"

#include <tuple>

namespace {

bool StopEverything(int) { return false; }

// The 0-based entry of a format in the save dialog's type list.
int WritableTypeIndex(const char* name) {
  int index = -1;
  for (GFXFile* f = GFXFile::Formats(); f != nullptr; f = f->next) {
    if (f->depths != 0) ++index;
    if (f->name == name) return index;
  }
  return -1;
}

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

namespace {

// With AutoReload the picture as it was before a lossy save is kept in an undo step: Undo
// gives it back after the reload. A save that does not succeed leaves no step and reads
// nothing back.
TEST_F(PictureSavingTest, AutoReloadKeepsThePictureBeforeTheSaveForUndo) {
  Settings.AutoReload = true;
  NameAsLoaded("photo.jpg");
  picture->SaveParams.bits = 24;
  GFXFile::SetProgFunc(nullptr, StopEverything, nullptr);
  EXPECT_FALSE(SavePictureFile(*picture));
  GFXFile::SetProgFunc(nullptr, nullptr, nullptr);
  EXPECT_EQ(picture->UndoChain, nullptr);
  EXPECT_TRUE(HoldsSample(*picture, 6, 4));
  EXPECT_EQ(picture->ChangeCount, 3);

  ASSERT_TRUE(SavePictureFile(*picture));
  EXPECT_FALSE(HoldsSample(*picture, 6, 4)) << "the picture shows the JPEG file";
  ASSERT_NE(picture->UndoChain, nullptr);
  EXPECT_TRUE(picture->Undo());
  EXPECT_TRUE(HoldsSample(*picture, 6, 4));
  picture->FreeUndo();
  picture->FreeRedo();
}

// A save that cannot lose anything is neither kept for Undo nor read back.
TEST_F(PictureSavingTest, ATrueColourSaveKeepsNoUndoStep) {
  Settings.AutoReload = true;
  NameAsLoaded("photo.bmp");
  ASSERT_TRUE(SavePictureFile(*picture));
  EXPECT_EQ(picture->UndoChain, nullptr);
  EXPECT_TRUE(HoldsSample(*picture, 6, 4));
}

}  // namespace

namespace {

// The brush saved with Save As (no sender): its outside is written in its transparent colour,
// marked transparent in the file, and comes back as the outside when the file is loaded as
// the brush again; the brush carries the file's name and its stamped shape is made again.
TEST_F(PictureSavingTest, TheBrushIsSavedWithItsOutsideAndComesBack) {
  Brush.Alloc(6, 4);
  Brush.FileName = AnsiString();  // a new brush: the dialog starts in the pictures folder
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) *Brush.At(x, y) = (x + y) % 3 == 0 ? BrushOutside : SampleColour(x, y);
  BrushShape.Alloc(6, 4);
  BrushTransparentColor = 0xFF00FF;
  BrushMode = BrushModePaint;
  ui.WhenModalWaits([&] {
    user.ChooseType(WritableTypeIndex("CompuServe GIF"));
    if (!SavePlus->Transparent->GetChecked()) SavePlus->Transparent->SetChecked(true);
    TypeName("brush.gif");
  });
  ASSERT_TRUE(SavePictureAs(nullptr));
  EXPECT_EQ(Brush.FileName, PathOf("brush.gif"));
  EXPECT_TRUE(Brush.SaveParams.transparent);
  EXPECT_EQ(*BrushShape.At(0, 0), BrushOutside) << "the stamped shape is made again";

  UDBuffer file;
  ASSERT_EQ(LoadImageFile(&file, PathOf("brush.gif"), 0, true), LoadOk);
  EXPECT_TRUE(file.SaveParams.transparent);

  Brush.Box(Brush.rect, 0x123456);
  BrushTransparentColor = 0;
  ASSERT_EQ(LoadImageFile(&Brush, PathOf("brush.gif"), 0, true), LoadOk);
  EXPECT_EQ(BrushTransparentColor, 0xFF00FFu);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) {
      if ((x + y) % 3 == 0) {
        EXPECT_EQ(*Brush.At(x, y), BrushOutside) << x << "," << y;
      } else {
        EXPECT_EQ(*Brush.At(x, y) & 0xFF000000u, 0u) << x << "," << y;
      }
    }
  EXPECT_EQ(BrushShape.Width(), 6);
  Brush.Free();
  Brush.FileName = AnsiString();
  BrushShape.Free();
  BrushState = BrushStateBlock();
}

}  // namespace
