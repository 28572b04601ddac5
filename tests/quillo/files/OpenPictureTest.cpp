// File > Open as a user meets it: the panel beside the file list previews the file under the
// cursor with its information and, for a file of several images, the image number; the
// chosen file (and image) opens in a window of its own; a damaged one opens nothing and says
// so; the recent folders lead the dialog back.

#include <fstream>

#include "../shell/ProgramFixture.h"
#include "VideoSample.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ScrollBar.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/components/files/MRUFileList.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/files/OpenCommands.h"
#include "quillo/files/ImageFiles.h"
#include "quillo/files/OpenPictureDialog.h"
#include "quillo/base/Language.h"
#include "quillo/base/Settings.h"
#include "support/FileDialogUser.h"
#include "vorlen/formats/GFXFile.h"

namespace {

POINT CentreOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class OpenPictureTest : public ProgramTest {
protected:
  OpenPictureTest() { OpenFilterIndex = -1; }
  ~OpenPictureTest() override { OpenFilterIndex = -1; }
  std::string WriteVideo(const std::string& name, const std::vector<std::int64_t>& colours) const {
    const std::string path = home.Path() + "/" + name;
    const std::string bytes = VideoSample(colours);
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  // File > Open through the menu; inDialog runs once the dialog waits for the user and must
  // end it.
  void ChooseOpen(std::function<void()> inDialog) {
    const MenuPlace bar = FindMenuItem({"&File"});
    const MenuPlace entry = FindMenuItem({"&File", "&Open..."});
    ASSERT_NE(entry.position, -1);
    RECT r{};
    ASSERT_TRUE(GetMenuItemRect(form->GetHandle(), bar.menu, static_cast<UINT>(bar.position), &r));
    ui.WhenModalWaits([this, entry, inDialog] {
      RECT item{};
      GetMenuItemRect(form->GetHandle(), entry.menu, static_cast<UINT>(entry.position), &item);
      ui.QueueClick((item.left + item.right) / 2, (item.top + item.bottom) / 2);
      ui.WhenModalWaits(inDialog);
    });
    ui.Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ui.RunUntilIdle();
  }

  // A button of the standard toolbar, clicked.
  void ClickToolButton(const char* name) {
    auto* button = dynamic_cast<TControl*>(form->FindComponent(name));
    ASSERT_NE(button, nullptr);
    POINT p{button->GetLeft() + button->GetWidth() / 2, button->GetTop() + button->GetHeight() / 2};
    ClientToScreen(button->GetParent()->GetHandle(), &p);
    ui.Click(p.x, p.y);
    ui.RunUntilIdle();
  }

  // What the panel shows now.
  struct Panel {
    std::vector<std::string> info;  // colour, size, bits per pixel, per sample, bytes
    bool imageNumberShown = false;
    std::string imageNumber;
    int lastImage = 0;
    RECT preview{};  // the thumbnail's place in the panel; empty when none shows
    std::uint32_t thumbCentre = 0;
  };
  static Panel PanelNow() {
    Panel p;
    for (TLabel* l : {OpenPlus->PicColor, OpenPlus->PicSize, OpenPlus->PicBPP, OpenPlus->PicBPC, OpenPlus->PicBytes})
      p.info.push_back(l->GetCaption());
    p.imageNumberShown = IsWindowVisible(OpenPlus->ImgNum->GetHandle()) && OpenPlus->ImgNumLab->GetVisible();
    p.imageNumber = OpenPlus->ImgNumLab->GetCaption();
    p.lastImage = OpenPlus->ImgNum->GetMax();
    TBuffer* view = OpenPlus->PreviewBuf;
    p.preview = {view->GetLeft(), view->GetTop(), view->GetLeft() + view->GetWidth(), view->GetTop() + view->GetHeight()};
    if (view->GetBuffer() != nullptr && view->GetWidth() > 0) {
      Buffer* b = view->GetBuffer();
      p.thumbCentre = b->pixels[(b->Height() / 2) * b->stride + b->Width() / 2] & 0x00FFFFFF;
    }
    return p;
  }
  void ClickImageNumberUp(int times) {
    RECT r{};
    GetWindowRect(OpenPlus->ImgNum->GetHandle(), &r);
    for (int i = 0; i < times; ++i) ui.Click(r.right - 4, (r.top + r.bottom) / 2);
  }

  FileDialogUser user{ui};
};

// Each file under the cursor shows its information and its thumbnail fitted into the
// 240 x 180 box and centred there; OK opens it.
TEST_F(OpenPictureTest, ThePanelPreviewsTheFileUnderTheCursorAndOkOpensIt) {
  WriteImage("wide.png", 480, 100, 0x3060C0);
  WriteImage("tall.bmp", 100, 900, 0xC03060);
  WriteImage("thin.png", 1, 1000, 0x20A040);
  Settings.ImageDir = home.Path() + "/";
  Start();
  struct Case {
    const char* name;
    RECT preview;
    std::uint32_t colour;
    const char* size;
  };
  const Case cases[] = {
      {"wide.png", {4, 117, 244, 167}, 0x3060C0, "Size: 480x100 Pixels"},
      {"tall.bmp", {114, 52, 134, 232}, 0xC03060, "Size: 100x900 Pixels"},
      {"thin.png", {123, 52, 124, 232}, 0x20A040, "Size: 1x1000 Pixels"},
  };
  std::vector<Panel> shown;
  ChooseOpen([&] {
    for (const Case& c : cases) {
      user.ClickItem(c.name);
      shown.push_back(PanelNow());
    }
    user.ClickItem("wide.png");
    user.ClickControl(IDOK);
  });
  ASSERT_EQ(shown.size(), 3u);
  for (std::size_t i = 0; i < shown.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    const RECT& want = cases[i].preview;
    EXPECT_EQ(shown[i].preview.left, want.left);
    EXPECT_EQ(shown[i].preview.top, want.top);
    EXPECT_EQ(shown[i].preview.right, want.right);
    EXPECT_EQ(shown[i].preview.bottom, want.bottom);
    EXPECT_EQ(shown[i].thumbCentre, cases[i].colour);
    EXPECT_EQ(shown[i].info[1], cases[i].size);
    EXPECT_EQ(shown[i].info[0].rfind("Color Image", 0), 0u) << shown[i].info[0];
    EXPECT_EQ(shown[i].info[4].rfind("Size in Bytes: ", 0), 0u) << shown[i].info[4];
    EXPECT_FALSE(shown[i].imageNumberShown);
  }
  EXPECT_EQ(shown[0].info[2].rfind("Bits per Pixel: ", 0), 0u) << shown[0].info[2];
  EXPECT_EQ(shown[0].info[3], "Bits per Channel: 8");

  ASSERT_EQ(ImgFormCount, 1);  // the blank start document gave way
  EXPECT_EQ(CurrentPicture->FileName, home.Path() + "/wide.png");
  EXPECT_EQ(CurrentPicture->Width(), 480);
  EXPECT_EQ(CurrentPicture->pixels[0] & 0x00FFFFFF, 0x3060C0u);
  EXPECT_FALSE(PreviewLoaded);
  EXPECT_TRUE(PreviewThumb.Empty());
  EXPECT_EQ(Settings.ImageDir, home.Path() + "/");
}

// A file of five images shows the image number 1 to 5; the number chosen stays for the next
// file as far as it has images; OK opens the chosen image and records it so.
TEST_F(OpenPictureTest, AFileOfSeveralImagesOpensTheImageChosen) {
  WriteVideo("five.avi", {0x100000, 0x200000, 0x300000, 0x400000, 0x500000});
  WriteVideo("two.avi", {0x000011, 0x000022});
  Settings.ImageDir = home.Path() + "/";
  Start();
  Panel first, fourth, second;
  ChooseOpen([&] {
    user.ClickItem("five.avi");
    first = PanelNow();
    ClickImageNumberUp(3);
    fourth = PanelNow();
    user.ClickItem("two.avi");
    second = PanelNow();
    user.ClickControl(IDOK);
  });
  EXPECT_TRUE(first.imageNumberShown);
  EXPECT_EQ(first.lastImage, 4);
  EXPECT_EQ(first.imageNumber, "Image 1");
  EXPECT_EQ(first.thumbCentre, 0x100000u);
  EXPECT_EQ(fourth.imageNumber, "Image 4");
  EXPECT_EQ(fourth.thumbCentre, 0x400000u);
  EXPECT_EQ(second.imageNumber, "Image 2");
  EXPECT_EQ(second.lastImage, 1);
  EXPECT_EQ(second.thumbCentre, 0x000022u);

  ASSERT_NE(CurrentPicture, nullptr);
  EXPECT_EQ(CurrentPicture->FileName, home.Path() + "/two.avi");
  EXPECT_EQ(CurrentPicture->ImageNumber, 1);
  EXPECT_EQ(CurrentPicture->pixels[0] & 0x00FFFFFF, 0x000022u);
  ASSERT_GE(form->MRUFileList1->Items()->Count(), 1);
  EXPECT_EQ(form->MRUFileList1->Items()->Strings(0), home.Path() + "/two.avi: 1");
}

// A preview that cannot be loaded shows no picture: never the thumbnail of the file before.
TEST_F(OpenPictureTest, AFileWhosePreviewFailsShowsNoPictureAtAll) {
  WriteImage("good.png", 40, 30, 0x808000);
  WriteVideo("broken.avi", {-1});
  Settings.ImageDir = home.Path() + "/";
  Start();
  Panel good, broken;
  ChooseOpen([&] {
    user.ClickItem("good.png");
    good = PanelNow();
    user.ClickItem("broken.avi");
    broken = PanelNow();
    user.ClickControl(IDCANCEL);
  });
  EXPECT_EQ(good.thumbCentre, 0x808000u);
  EXPECT_EQ(broken.info[1], "Size: 4x2 Pixels");  // the probe knows the file
  EXPECT_EQ(broken.preview.right - broken.preview.left, 0);
  EXPECT_EQ(broken.preview.bottom - broken.preview.top, 0);
  EXPECT_EQ(broken.thumbCentre, 0u);
  EXPECT_FALSE(PreviewLoaded);
  EXPECT_TRUE(PreviewPicture.Empty());
  EXPECT_TRUE(PreviewThumb.Empty());
  EXPECT_EQ(ImgFormCount, 1);
}

// A damaged file opens no window and the loader says why; the blank document stays.
TEST_F(OpenPictureTest, ADamagedFileOpensNothingAndSaysSo) {
  WriteDamagedImage("damaged.png");
  Settings.ImageDir = home.Path() + "/";
  Start();
  ChooseOpen([&] {
    user.ClickItem("damaged.png");
    user.ClickControl(IDOK);
  });
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  const std::string said = ui.MessageBoxTexts()[0];
  const std::string named = home.Path() + "/damaged.png\n\n";
  EXPECT_TRUE(said == named + std::string(LangMessage("FormNotSup")) || said == named + std::string(LangMessage("ErrOpenImg"))) << said;
  // Still one blank, untitled document.
  EXPECT_EQ(ImgFormCount, 1);
  EXPECT_TRUE(CurrentPicture->FileName.empty());
  EXPECT_EQ(CurrentPicture->BlankStart, 1);
  EXPECT_EQ(CurrentPicture->Width(), BlankDocumentWidth);
  EXPECT_EQ(form->MRUFileList1->Items()->Count(), 0);
}

// The preview stands only for the file it was loaded from: a name typed after another file
// was previewed opens the typed file, as its first image.
TEST_F(OpenPictureTest, ANameTypedAfterAPreviewOpensTheTypedFile) {
  WriteVideo("five.avi", {0x100000, 0x200000, 0x300000, 0x400000, 0x500000});
  WriteImage("typed.png", 6, 6, 0x00AA00);
  Settings.ImageDir = home.Path() + "/";
  Start();
  ChooseOpen([&] {
    user.ClickItem("five.avi");
    ClickImageNumberUp(2);
    user.TypeName("typed.png");
  });
  ASSERT_NE(CurrentPicture, nullptr);
  EXPECT_EQ(CurrentPicture->FileName, home.Path() + "/typed.png");
  EXPECT_EQ(CurrentPicture->Width(), 6);
  EXPECT_EQ(CurrentPicture->ImageNumber, 0);
  EXPECT_EQ(CurrentPicture->pixels[0] & 0x00FFFFFF, 0x00AA00u);
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
}

// Opening files puts their folders at the top of the recent folders; choosing one in the
// panel takes the dialog there.
TEST_F(OpenPictureTest, TheRecentFoldersLeadTheDialogBack) {
  home.WriteFile("one/placeholder.txt", "x");
  home.WriteFile("two/placeholder.txt", "x");
  const std::string one = WriteImage("one/a.png", 5, 5, 0x111111);
  WriteImage("two/b.png", 5, 5, 0x222222);
  Settings.ImageDir = home.Path() + "/two/";
  Start();
  ChooseOpen([&] {
    user.ClickItem("b.png");
    user.ClickControl(IDOK);
  });
  ChooseOpen([&] { user.TypeName(one); });
  TStrings* folders = OpenPlus->RecFolders->GetItems();
  ASSERT_EQ(folders->Count(), 2);
  EXPECT_EQ(folders->Strings(0), home.Path() + "/one/");
  EXPECT_EQ(folders->Strings(1), home.Path() + "/two/");

  std::string shownFolder, typedName;
  std::vector<std::string> listed;
  int selectedAtStart = 0;
  ChooseOpen([&] {
    selectedAtStart = OpenPlus->RecFolders->GetItemIndex();
    user.TypeName("half typed", false);
    // The user picks the second folder of the drop-down list.
    POINT p = CentreOf(OpenPlus->RecFolders->GetHandle());
    ui.Click(p.x, p.y);
    ui.Press(VK_DOWN);
    ui.Press(VK_DOWN);
    ui.Press(VK_RETURN);
    shownFolder = user.Folder();
    typedName = user.Spec();
    listed = user.ListNames();
    user.ClickControl(IDCANCEL);
  });
  EXPECT_EQ(selectedAtStart, -1);
  EXPECT_EQ(shownFolder, home.Path() + "/two");
  EXPECT_EQ(typedName, "");
  EXPECT_EQ(listed, (std::vector<std::string>{"b.png"}));
}

TEST_F(OpenPictureTest, AFolderOpenedAgainMovesToTheTopAndANinthDropsTheOldest) {
  Start();
  for (int i = 0; i < 9; ++i) OpenPlus->AddRecentFolder(std::string("/pictures/f") + std::to_string(i) + "/x.png");
  OpenPlus->AddRecentFolder("/pictures/f5/y.png");
  std::vector<std::string> folders;
  for (int i = 0; i < OpenPlus->RecFolders->GetItems()->Count(); ++i)
    folders.push_back(OpenPlus->RecFolders->GetItems()->Strings(i));
  EXPECT_EQ(folders, (std::vector<std::string>{"/pictures/f5/", "/pictures/f8/", "/pictures/f7/", "/pictures/f6/",
                                               "/pictures/f4/", "/pictures/f3/", "/pictures/f2/", "/pictures/f1/"}));
}

// The list outlives the program: written when the form goes, read when it is made again.
TEST_F(OpenPictureTest, TheRecentFoldersAreKeptFromRunToRun) {
  Start();
  OpenPlus->AddRecentFolder("/pictures/older/a.png");
  OpenPlus->AddRecentFolder("/pictures/newer/b.png");
  FreeObject(OpenPlus);
  ASSERT_EQ(OpenPlus, nullptr);
  TOpenPlus* again = CreateOpenPlus();
  std::vector<std::string> folders;
  for (int i = 0; i < again->RecFolders->GetItems()->Count(); ++i)
    folders.push_back(again->RecFolders->GetItems()->Strings(i));
  EXPECT_EQ(folders, (std::vector<std::string>{"/pictures/newer/", "/pictures/older/"}));
}

// Without "Show Preview" the information still shows but no picture, and the file is read
// when it is opened.
TEST_F(OpenPictureTest, WithoutThePreviewTheInformationStaysAndTheFileOpens) {
  WriteImage("a.png", 30, 20, 0x445566);
  Settings.ImageDir = home.Path() + "/";
  Start();
  Panel shown;
  bool loaded = true;
  ChooseOpen([&] {
    const POINT p = CentreOf(OpenPlus->ShowPreview->GetHandle());
    ui.Click(p.x, p.y);
    user.ClickItem("a.png");
    shown = PanelNow();
    loaded = PreviewLoaded;
    user.ClickControl(IDOK);
  });
  EXPECT_FALSE(OpenPlus->ShowPreview->GetChecked());
  EXPECT_EQ(shown.info[1], "Size: 30x20 Pixels");
  EXPECT_EQ(shown.preview.right - shown.preview.left, 0);
  EXPECT_FALSE(loaded);
  ASSERT_NE(CurrentPicture, nullptr);
  EXPECT_EQ(CurrentPicture->FileName, home.Path() + "/a.png");
  EXPECT_EQ(CurrentPicture->pixels[0] & 0x00FFFFFF, 0x445566u);
}

// A recent folder removed since leaves the list when chosen; the dialog stays where it was,
// with no message about a file the user never named.
TEST_F(OpenPictureTest, ARecentFolderThatIsGoneLeavesTheDialogWhereItWas) {
  WriteImage("a.png", 5, 5, 0x111111);
  Settings.ImageDir = home.Path() + "/";
  Start();
  OpenPlus->AddRecentFolder(home.Path() + "/gone/x.png");
  std::string folder;
  bool open = false;
  ChooseOpen([&] {
    POINT p = CentreOf(OpenPlus->RecFolders->GetHandle());
    ui.Click(p.x, p.y);
    ui.Press(VK_DOWN);
    ui.Press(VK_RETURN);
    folder = user.Folder();
    open = FileDialogUser::Dialog() != nullptr;
    user.ClickControl(IDCANCEL);
  });
  EXPECT_TRUE(open);
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
  EXPECT_EQ(folder, home.Path());
  EXPECT_EQ(OpenPlus->RecFolders->GetItems()->Count(), 0);
  EXPECT_EQ(ImgFormCount, 1);
  EXPECT_TRUE(CurrentPicture->FileName.empty());
}

// Open without a sender is the brush's open: its own title and folder, the file becomes
// the brush and no document window opens.
TEST_F(OpenPictureTest, OpeningABrushLoadsTheBrush) {
  home.WriteFile("brushes/placeholder.txt", "x");
  WriteImage("brushes/star.png", 9, 7, 0x102030);
  Settings.BrushDir = home.Path() + "/brushes/";
  Settings.ImageDir = home.Path() + "/";
  Start();
  std::string title, folder;
  ui.WhenModalWaits([&] {
    char text[256] = {};
    GetWindowText(FileDialogUser::Dialog(), text, sizeof text);
    title = text;
    folder = user.Folder();
    user.ClickItem("star.png");
    user.ClickControl(IDOK);
  });
  OpenImageClick(nullptr);
  ui.RunUntilIdle();
  EXPECT_EQ(title, "Open Brush");
  EXPECT_EQ(folder, home.Path() + "/brushes");
  EXPECT_EQ(Brush.Width(), 9);
  EXPECT_EQ(Brush.Height(), 7);
  EXPECT_EQ(ImgFormCount, 1);
  EXPECT_TRUE(CurrentPicture->FileName.empty());
  EXPECT_EQ(Settings.BrushDir, home.Path() + "/brushes/");
  EXPECT_EQ(form->MRUFileList1->Items()->Count(), 0);
}

// "Set as default" takes a single format's entry, never the combined ones after them.
TEST_F(OpenPictureTest, SetAsDefaultTakesOnlyASingleFormat) {
  WriteImage("a.png", 5, 5, 0x111111);
  Settings.ImageDir = home.Path() + "/";
  Settings.DefFileExt = 5;
  Start();
  int afterAllImages = -1, afterSecond = -1;
  ChooseOpen([&] {
    POINT p = CentreOf(OpenPlus->SetAsDefault->GetHandle());
    ui.Click(p.x, p.y);  // the all-images entry is selected at first
    afterAllImages = Settings.DefFileExt;
    user.ChooseType(1);
    p = CentreOf(OpenPlus->SetAsDefault->GetHandle());
    ui.Click(p.x, p.y);
    afterSecond = Settings.DefFileExt;
    user.ClickControl(IDCANCEL);
  });
  EXPECT_EQ(afterAllImages, 5);
  EXPECT_EQ(afterSecond, 1);
}

// The first Open selects the all-images entry; later ones open with the type last chosen for
// a file that was opened.
TEST_F(OpenPictureTest, OpenRemembersTheTypeLastChosen) {
  WriteImage("a.png", 5, 5, 0x111111);
  Settings.ImageDir = home.Path() + "/";
  Start();
  int firstType = 0, secondType = 0;
  int formats = 0;
  for (GFXFile* f = GFXFile::Formats(); f; f = f->next) ++formats;
  ChooseOpen([&] {
    firstType = OpenPlus->CustomOpenDialog1->Hook().GetSelFilterIndex();
    user.ChooseType(2);
    user.TypeName("a.png");
  });
  ASSERT_EQ(CurrentPicture->FileName, home.Path() + "/a.png");
  ChooseOpen([&] {
    secondType = OpenPlus->CustomOpenDialog1->Hook().GetSelFilterIndex();
    user.ClickControl(IDCANCEL);
  });
  EXPECT_EQ(firstType, formats + 1);
  EXPECT_EQ(secondType, 3);
}

}  // namespace
