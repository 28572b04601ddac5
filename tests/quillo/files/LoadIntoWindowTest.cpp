// Loading into new document windows: a good file opens in a window of its own, named after
// it; a damaged one asks whether to keep what was read; a window made for a load that failed
// goes again, or becomes the blank document when it is the only one.

#include "FilesFixture.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Application.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/files/ImageFiles.h"
#include "quillo/shell/MainForm.h"

namespace {

class LoadIntoWindowTest : public FilesFixture {
protected:
  LoadIntoWindowTest() { MainForm = Application()->CreateForm<TMainForm>(); }
  ~LoadIntoWindowTest() override {
    CloseAllDocuments();
    ui.RunUntilIdle();
    MainForm = nullptr;
  }
  std::string TruncatedPng() {
    const std::string whole = SamplePng(96, 96);
    return whole.substr(0, whole.size() * 2 / 3);
  }
};

TEST_F(LoadIntoWindowTest, AFileOpensInAWindowOfItsOwn) {
  const std::string path = PathOf("open.png");
  WriteBytes(path, SamplePng(20, 10));
  ASSERT_EQ(LoadImageFile(nullptr, path, 0, false), LoadOk);
  ui.RunUntilIdle();
  ASSERT_EQ(ImgFormCount, 1);
  EXPECT_EQ(CurrentPicture, &ImageForm->Picture);
  EXPECT_TRUE(HoldsSample(*CurrentPicture, 20, 10));
  EXPECT_EQ(CurrentPicture->FileName, path);
  EXPECT_EQ(CurrentPicture->SaveAsRequired, 0);
  EXPECT_EQ(CurrentPicture->ChangeCount, 0);
  EXPECT_NE(ImageForm->GetCaption().find("open.png"), AnsiString::npos);
}

// The user answers the question about the damaged file through the message box.
TEST_F(LoadIntoWindowTest, ADamagedFileIsKeptOrItsWindowGoes) {
  const std::string good = PathOf("good.png");
  WriteBytes(good, SamplePng(8, 8));
  ASSERT_EQ(LoadImageFile(nullptr, good, 0, false), LoadOk);
  const std::string broken = PathOf("broken.png");
  WriteBytes(broken, TruncatedPng());

  ui.AnswerMessageBoxes({IDNO});
  const int declined = LoadImageFile(nullptr, broken, 0, false);
  ui.RunUntilIdle();
  EXPECT_TRUE(declined == LoadDamaged || declined == LoadReadFailed) << declined;
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  EXPECT_EQ(ui.MessageBoxTexts().back(), broken + "\n\n" + std::string(LangMessage("ErrLoadImg")));
  EXPECT_EQ(ImgFormCount, 1);
  EXPECT_EQ(CurrentPicture->FileName, good);

  ui.AnswerMessageBoxes({IDYES});
  const int kept = LoadImageFile(nullptr, broken, 0, false);
  ui.RunUntilIdle();
  EXPECT_EQ(kept, declined);
  ASSERT_EQ(ImgFormCount, 2);
  EXPECT_EQ(CurrentPicture->FileName, broken);
  EXPECT_EQ(CurrentPicture->Width(), 96);
  EXPECT_EQ(*CurrentPicture->At(7, 0), SampleColour(7, 0));
  EXPECT_EQ(CurrentPicture->ChangeCount, 0);
}

// There is always a document: the window made for a file that failed becomes the blank one,
// untitled, when no other is open.
TEST_F(LoadIntoWindowTest, TheOnlyWindowOfAFailedLoadBecomesTheBlankDocument) {
  const std::string path = PathOf("text.png");
  WriteBytes(path, "not a picture");
  EXPECT_EQ(LoadImageFile(nullptr, path, 0, false), LoadNotSupported);
  ui.RunUntilIdle();
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  EXPECT_EQ(ui.MessageBoxTexts().back(), path + "\n\n" + std::string(LangMessage("FormNotSup")));
  ASSERT_EQ(ImgFormCount, 1);
  EXPECT_EQ(CurrentPicture->Width(), 384);
  EXPECT_EQ(CurrentPicture->Height(), 288);
  EXPECT_EQ(CurrentPicture->FileName, "");
  EXPECT_EQ(CurrentPicture->BlankStart, 1);
  EXPECT_GE(CurrentPicture->UntitledNumber, 1);
}

}  // namespace

namespace {

bool StopEverything(int) { return false; }

// A save the user stopped is no error: the status bar says so, no message box.
TEST_F(LoadIntoWindowTest, AStoppedSaveSaysSoInTheStatusBar) {
  const std::string path = PathOf("open.png");
  WriteBytes(path, SamplePng(20, 10));
  ASSERT_EQ(LoadImageFile(nullptr, path, 0, false), LoadOk);
  GFXFile::SetProgFunc(nullptr, StopEverything, nullptr);
  GFXSaveParams params;
  params.bits = 24;
  const int code = SaveImageFile(PathOf("stopped.png"), CurrentPicture, &params, false);
  GFXFile::SetProgFunc(nullptr, nullptr, nullptr);
  EXPECT_EQ(code, SaveStopped);
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
  EXPECT_EQ(ImageForm->StatusText(spPrompt), LangMessage("OpCanceled"));
  EXPECT_EQ(CurrentPicture->FileName, path);
}

// A text file with a picture's name: the message names the file and says it is not a picture,
// and the window made for it is gone before the message shows (no empty picture behind it).
TEST_F(LoadIntoWindowTest, AFileThatIsNoPictureIsNamedAndLeavesNoWindowBehindItsMessage) {
  const std::string good = PathOf("good.png");
  WriteBytes(good, SamplePng(8, 8));
  ASSERT_EQ(LoadImageFile(nullptr, good, 0, false), LoadOk);
  const std::string path = PathOf("notes.png");
  WriteBytes(path, "shopping list\n");
  int windowsDuringMessage = -1;
  std::string text;
  ui.OnMessageBox([&](const std::string& t, const std::string&, UINT) {
    text = t;
    windowsDuringMessage = 0;
    for (int i = 0; i < ImgFormCount; ++i)
      if (ImgForms[static_cast<std::size_t>(i)]->GetVisible()) ++windowsDuringMessage;
    return IDOK;
  });
  EXPECT_EQ(LoadImageFile(nullptr, path, 0, false), LoadNotSupported);
  ui.RunUntilIdle();
  EXPECT_EQ(text.rfind(path + "\n\n", 0), 0u) << text;
  EXPECT_NE(text.find("not a picture"), std::string::npos) << text;
  EXPECT_EQ(windowsDuringMessage, 1) << "only the picture opened before shows";
  EXPECT_EQ(ImgFormCount, 1);
  EXPECT_EQ(CurrentPicture->FileName, good);
}

}  // namespace
