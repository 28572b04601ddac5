// The gallery dialog as a user meets it from the image browser: OK makes the pages, a new
// thumbnail size makes new thumbnails, and a folder that cannot be made is named in a message.

#include <filesystem>
#include <fstream>
#include <string>

#include "../shell/ProgramFixture.h"
#include "support/FileDialogUser.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/Settings.h"
#include "quillo/components/edits/FileEdit.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/components/persistence/FormPlacement.h"
#include "quillo/document/ImageView.h"
#include "quillo/files/BrowseForm.h"
#include "quillo/output/CreateHTMLForm.h"
#include "vorlen/formats/GFXFile.h"

namespace {

namespace fs = std::filesystem;

class CreateHTMLFormTest : public ProgramTest {
protected:
  CreateHTMLFormTest() {
    ForgetCreateHTMLFormPlace();
    ForgetBrowseFormPlace();
  }
  ~CreateHTMLFormTest() override {
    ForgetCreateHTMLFormPlace();
    ForgetBrowseFormPlace();
  }
  static TCreateHTMLForm* Dialog() {
    for (int i = 0; i < Screen()->FormCount(); ++i)
      if (auto* d = dynamic_cast<TCreateHTMLForm*>(Screen()->Forms(i)); d && d->GetVisible()) return d;
    return nullptr;
  }
  void Press(TButton* button) {
    const POINT at = UiDriver::At(button->GetHandle(), button->GetWidth() / 2, button->GetHeight() / 2);
    ui.QueueClick(at.x, at.y);
  }
  std::string Pics() const { return home.Path() + "/pics/"; }
};

TEST_F(CreateHTMLFormTest, OkFromTheBrowserWritesTheGallery) {
  fs::create_directories(Pics());
  WriteImage("pics/a.png", 200, 100, 0x204080);
  Start();
  Settings.ImageDir = Pics();
  ui.WhenModalWaits([&] {
    for (int i = 0; i < Screen()->FormCount(); ++i)
      if (auto* browser = dynamic_cast<TBrowseForm*>(Screen()->Forms(i))) Press(browser->CreateHTMLBtn);
  });
  ui.WhenModalWaits([&] {
    ASSERT_NE(Dialog(), nullptr);
    Dialog()->DestinationFolderEdit->SetText(Pics() + "site");
    EXPECT_EQ(Dialog()->DestinationFolderEdit->GetText(), Pics() + "site/");
    Dialog()->ImageSubfolderEdit->SetText(Pics() + "site/img/");
    Dialog()->BaseNameEdit->SetText("gallery");
    Press(Dialog()->OkBtn);
  });
  ui.WhenModalWaits([&] { ui.QueuePress(VK_ESCAPE); });
  Browse1Click(nullptr);
  EXPECT_EQ(Dialog(), nullptr);
  const std::string page = FileContents(Pics() + "site/gallery1.htm");
  EXPECT_NE(page.find("<A HREF=\"img/a.png\"><IMG SRC=\"img/~%5E~a.jpg\" WIDTH=\"120\" HEIGHT=\"60\""), std::string::npos);
  EXPECT_TRUE(fs::exists(Pics() + "site/img/a.png"));
}

TEST_F(CreateHTMLFormTest, NewThumbnailSizeMakesNewThumbnails) {
  fs::create_directories(Pics());
  WriteImage("pics/a.png", 200, 100, 0x204080);
  Start();
  Settings.ImageDir = Pics();
  TOwnedPtr<TCreateHTMLForm> dialog(NewComponent<TCreateHTMLForm>(Application()));
  dialog->BaseNameEdit->SetText("g");
  ASSERT_TRUE(dialog->MakeGallery());
  EXPECT_FALSE(dialog->ThumbnailsToMake());
  GFXFileDesc desc;
  ASSERT_TRUE(GFXFile::Test(Pics() + "~^~a.jpg", &desc));
  EXPECT_EQ(desc.width, 120);
  dialog->ThumbnailWidthEdit->SetValue(80);
  ASSERT_TRUE(dialog->MakeGallery());
  ASSERT_TRUE(GFXFile::Test(Pics() + "~^~a.jpg", &desc));
  EXPECT_EQ(desc.width, 80);
  EXPECT_NE(FileContents(Pics() + "g1.htm").find("WIDTH=\"80\" HEIGHT=\"40\""), std::string::npos);
}

TEST_F(CreateHTMLFormTest, FailuresAreNamedInMessages) {
  fs::create_directories(Pics());
  Start();
  Settings.ImageDir = Pics();
  TOwnedPtr<TCreateHTMLForm> dialog(NewComponent<TCreateHTMLForm>(Application()));
  ui.AnswerMessageBoxes({IDOK, IDOK, IDOK});
  EXPECT_FALSE(dialog->MakeGallery());
  WriteImage("pics/a.png", 20, 10, 0x204080);
  std::ofstream(Pics() + "plain") << "x";
  dialog->ImageSubfolderEdit->SetText(Pics() + "plain/sub");
  EXPECT_FALSE(dialog->MakeGallery());
  // A page whose name is taken by a folder cannot be written.
  dialog->ImageSubfolderEdit->SetText("");
  dialog->BaseNameEdit->SetText("taken");
  fs::create_directories(Pics() + "taken1.htm");
  EXPECT_FALSE(dialog->MakeGallery());
  ASSERT_EQ(ui.MessageBoxTexts().size(), 3u);
  EXPECT_NE(ui.MessageBoxTexts()[2].find("The HTML page cannot be written."), std::string::npos);
  EXPECT_NE(ui.MessageBoxTexts()[0].find("There is no image to put in the gallery."), std::string::npos);
  EXPECT_NE(ui.MessageBoxTexts()[1].find("The folder cannot be created."), std::string::npos);
}

// Replace... takes a readable image as the navigation picture, previewed within 64 x 64 and
// centred in its box; a file no format reads is refused with a message and changes nothing.
TEST_F(CreateHTMLFormTest, ReplaceTakesOnlyReadableImagesAndCentresTheirPreview) {
  fs::create_directories(Pics());
  WriteImage("pics/arrow.png", 200, 100, 0x30C060);
  std::ofstream(Pics() + "notes.png") << "not a picture";
  Start();
  Settings.ImageDir = Pics();
  TOwnedPtr<TCreateHTMLForm> dialog(NewComponent<TCreateHTMLForm>(Application()));
  const auto stored = [&](const char* name) { return dialog->Storage->GetStoredValues()->GetValue(name)->Value; };
  const AnsiString shippedPrev = stored("PrevImage");
  FileDialogUser user(ui);
  ui.AnswerMessageBoxes({IDOK});
  ui.WhenModalWaits([&] { user.TypeName(Pics() + "notes.png"); });
  dialog->PrevReplaceBtnClick(nullptr);
  EXPECT_EQ(stored("PrevImage"), shippedPrev);
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  EXPECT_NE(ui.MessageBoxTexts()[0].find("The image file cannot be opened."), std::string::npos);

  ui.WhenModalWaits([&] { user.TypeName(Pics() + "arrow.png"); });
  dialog->NextReplaceBtnClick(nullptr);
  EXPECT_EQ(stored("NextImage"), Pics() + "arrow.png");
  ASSERT_NE(dialog->NextImg->GetBuffer(), nullptr);
  EXPECT_EQ(dialog->NextImg->GetWidth(), 64);
  EXPECT_EQ(dialog->NextImg->GetHeight(), 32);
  const int boxTop = dialog->NextCB->GetTop();
  EXPECT_EQ(dialog->NextImg->GetTop(), boxTop + 16);
  EXPECT_EQ(ui.MessageBoxTexts().size(), 1u);
  // The gallery takes the chosen picture as its "next" link.
  dialog->NextCB->SetChecked(true);
  dialog->LimitRowsToCB->SetChecked(true);
  dialog->LimitRowsToEdit->SetValue(1);
  WriteImage("pics/b.png", 20, 10, 0x102030);
  WriteImage("pics/c.png", 20, 10, 0x102030);
  dialog->PageWidthEdit->SetValue(64);
  dialog->BaseNameEdit->SetText("g");
  dialog->DestinationFolderEdit->SetText(Pics() + "site");
  ASSERT_TRUE(dialog->MakeGallery());
  EXPECT_NE(FileContents(Pics() + "site/g1.htm").find("arrow.png"), std::string::npos);
}

// A novice sees neither the gap labels, the alignment, the thumbnail prefix nor Full Fit; an
// expert sees them all.
TEST_F(CreateHTMLFormTest, ANoviceSeesOnlyTheSimpleControls) {
  Start();
  for (int level : {0, 1}) {
    SCOPED_TRACE(level);
    Settings.Level = level;
    TOwnedPtr<TCreateHTMLForm> dialog(NewComponent<TCreateHTMLForm>(Application()));
    const bool expert = level == 1;
    ui.WhenModalWaits([&] {
      for (const char* name : {"GapsLab", "AlignmentLab", "AlignmentCombo", "ThumbPrefixLab", "ThumbPrefixEdit", "FullFitCB"}) {
        auto* control = dynamic_cast<TControl*>(dialog->FindComponent(name));
        ASSERT_NE(control, nullptr) << name;
        EXPECT_EQ(control->GetVisible(), expert) << name;
        if (auto* window = dynamic_cast<TWinControl*>(control)) {
          EXPECT_EQ(IsWindowVisible(window->GetHandle()) != 0, expert) << name;
        }
      }
      for (TWinControl* always : std::initializer_list<TWinControl*>{dialog->HorizontalGapEdit, dialog->PreviousCB,
                                                                     dialog->PrevReplaceBtn, dialog->BaseNameEdit, dialog->OkBtn})
        EXPECT_TRUE(IsWindowVisible(always->GetHandle())) << always->GetName();
      ui.QueuePress(VK_ESCAPE);
    });
    dialog->ShowModal();
  }
}

}  // namespace
