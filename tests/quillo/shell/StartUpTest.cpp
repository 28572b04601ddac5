// Start-up and close-down as a user meets them: the blank document when nothing is named, the
// named images in windows of their own with a damaged one reported, a blank start document
// that gives way to the first real one, and File > Exit with the save question answered each
// way.

#include "ProgramFixture.h"

#include "platform/vcl/Application.h"
#include "quillo/components/files/MRUFileList.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/files/ImageFiles.h"
#include "quillo/base/Language.h"
#include "quillo/base/Settings.h"
#include "vorlen/formats/GFXFile.h"

namespace {

class StartUpTest : public ProgramTest {
protected:
  static std::string Title(int index) {
    char text[512] = {};
    GetWindowText(ImgForms[index]->GetHandle(), text, sizeof text);
    return text;
  }
  // The message boxes shown, each answered by the next answer.
  std::vector<std::string> shown;
  void Answer(std::deque<int> answers) {
    ui.OnMessageBox([this, answers](const std::string& text, const std::string&, UINT) mutable {
      shown.push_back(text);
      const int answer = answers.empty() ? IDOK : answers.front();
      if (!answers.empty()) answers.pop_front();
      return answer;
    });
  }
};

TEST_F(StartUpTest, WithNoFilesOneBlankDocumentOpens) {
  Start();
  ASSERT_EQ(ImgFormCount, 1);
  ASSERT_NE(CurrentPicture, nullptr);
  EXPECT_EQ(CurrentPicture->Width(), 384);
  EXPECT_EQ(CurrentPicture->Height(), 288);
  EXPECT_EQ(CurrentPicture->BlankStart, 1);
  EXPECT_TRUE(IsWindowVisible(ImgForms[0]->GetHandle()));
  EXPECT_EQ(form->LastImageSize.x, 384);
  EXPECT_EQ(form->LastImageSize.y, 288);
}

TEST_F(StartUpTest, NamedImagesOpenAndADamagedOneIsReported) {
  const std::string sunset = WriteImage("sunset.png", 60, 40, 0xE08030);
  const std::string sea = WriteImage("sea.jpg", 50, 30, 0x3070C0);
  const std::string broken = WriteDamagedImage("broken.png");
  Answer({IDNO});
  Start({sunset, sea, broken});
  EXPECT_EQ(shown.size(), 1u) << "one message, for the damaged file";
  ASSERT_EQ(ImgFormCount, 2);
  EXPECT_NE(Title(0).find("sunset.png"), std::string::npos) << Title(0);
  EXPECT_NE(Title(1).find("sea.jpg"), std::string::npos) << Title(1);
  EXPECT_EQ(CurrentPicture->BlankStart, 0);
}

// Every named file failing used to end start-up with no document at all and the steps after
// the files (recent-files length, the language list) never run.
TEST_F(StartUpTest, WhenEveryNamedFileFailsTheBlankDocumentOpensAndStartUpGoesOn) {
  const std::string broken = WriteDamagedImage("broken.png");
  const std::string sunset = WriteImage("sunset.png", 60, 40, 0xE08030);
  Answer({IDNO});
  Start({broken, sunset});
  EXPECT_EQ(shown.size(), 1u);
  ASSERT_EQ(ImgFormCount, 1) << "the file after the failing one is not tried; the blank one opens";
  EXPECT_EQ(CurrentPicture->Width(), 384);
  EXPECT_EQ(CurrentPicture->BlankStart, 1);
  EXPECT_EQ(form->MRUFileList1->GetMaximum(), Settings.MRUFiles);
  ASSERT_NE(Lang, nullptr);
  EXPECT_NE(std::find(Lang->Names().begin(), Lang->Names().end(), AnsiString("English")), Lang->Names().end());
}

TEST_F(StartUpTest, TheBlankStartDocumentGivesWayToTheFirstImageOnce) {
  const std::string sunset = WriteImage("sunset.png", 60, 40, 0xE08030);
  Start();
  ASSERT_EQ(ImgFormCount, 1);
  ASSERT_EQ(LoadImageFile(nullptr, sunset, 0, false), LoadOk);
  PostMessage(form->GetHandle(), UM_DOCOPENED, 0, 0);
  ui.RunUntilIdle();
  ASSERT_EQ(ImgFormCount, 1);
  EXPECT_NE(Title(0).find("sunset.png"), std::string::npos);
  // A second notice finds nothing more to close.
  PostMessage(form->GetHandle(), UM_DOCOPENED, 0, 0);
  ui.RunUntilIdle();
  EXPECT_EQ(ImgFormCount, 1);
}

TEST_F(StartUpTest, ABlankDocumentThatWasPaintedOnStays) {
  const std::string sunset = WriteImage("sunset.png", 60, 40, 0xE08030);
  Start();
  MarkPictureChanged();
  ASSERT_EQ(LoadImageFile(nullptr, sunset, 0, false), LoadOk);
  PostMessage(form->GetHandle(), UM_DOCOPENED, 0, 0);
  ui.RunUntilIdle();
  EXPECT_EQ(ImgFormCount, 2);
}

TEST_F(StartUpTest, ClosingTheLastDocumentOpensABlankOne) {
  const std::string sunset = WriteImage("sunset.png", 60, 40, 0xE08030);
  Start({sunset});
  ASSERT_EQ(ImgFormCount, 1);
  ImgForms[0]->Close();
  ui.RunUntilIdle();
  PostMessage(form->GetHandle(), UM_LASTDOCCLOSED, 0, 0);
  ui.RunUntilIdle();
  ASSERT_EQ(ImgFormCount, 1);
  EXPECT_EQ(CurrentPicture->BlankStart, 1);
}

// File > Exit on a changed image: Cancel keeps everything; No closes without saving; Yes saves
// the image to its file, then closes.
class ExitTest : public StartUpTest, public ::testing::WithParamInterface<int> {};

TEST_P(ExitTest, AsksAboutAChangedImage) {
  const int answer = GetParam();
  const bool programRuns = answer == IDCANCEL;
  const std::string sunset = WriteImage("sunset.png", 60, 40, 0xE08030);
  Start();
  ASSERT_EQ(ImgFormCount, 1);
  ASSERT_EQ(LoadImageFile(CurrentPicture, sunset, 0, false), LoadOk) << "the image in the start window";
  CurrentPicture->Box(Rect(0, 0, 9, 9), 0x00FF00);
  MarkPictureChanged();
  Answer({answer});
  ChooseMenuItem("&File", "E&xit");
  EXPECT_EQ(shown.size(), 1u) << "the save question";
  EXPECT_EQ(!Application()->Terminated(), programRuns) << "the program's loop ends";
  EXPECT_EQ(ImgFormCount, programRuns ? 1 : 0);
  EXPECT_EQ(Lang != nullptr, programRuns) << "the language table goes with the program";
  Buffer saved;
  ASSERT_TRUE(GFXFile::Load(saved, sunset, nullptr, 0, nullptr));
  EXPECT_EQ(saved.At(2, 2)[0] & 0xFFFFFF, answer == IDYES ? 0x00FF00u : 0xE08030u);
  saved.Free();
}

INSTANTIATE_TEST_SUITE_P(EachAnswer, ExitTest, ::testing::Values(IDCANCEL, IDNO, IDYES));

}  // namespace
