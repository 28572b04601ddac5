// The gallery dialog as a user meets it from the image browser: OK makes the pages, a new
// thumbnail size makes new thumbnails, and a folder that cannot be made is named in a message.

#include <filesystem>
#include <fstream>
#include <string>

#include "../shell/ProgramFixture.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/Settings.h"
#include "quillo/components/edits/FileEdit.h"
#include "quillo/components/edits/SpinEdit.h"
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

}  // namespace
