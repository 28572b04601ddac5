// The file name and folder edits: names with spaces quoted and read back, invalid names
// refused, files dropped on them (one, or all of them, and names of any length), and their
// buttons running the file dialog (through the dialog hook) and the folder browser.

#include "EditsFixture.h"

#include <fstream>
#include <vector>

#include "platform/dialogs/DialogIds.h"
#include "platform/host/Host.h"
#include "platform/rtl/SysUtils.h"
#include "quillo/components/edits/FileEdit.h"

namespace edits_testing {
namespace {

class FileEditTest : public EditsTest {
protected:
  void SetUp() override {
    EditsTest::SetUp();
    file = NewComponent<TFilenameEdit>(form);
    file->SetName("FileEdit");
    file->SetBounds(20, 20, 200, 21);
    file->SetParent(form);
    folder = NewComponent<TDirectoryEdit>(form);
    folder->SetName("FolderEdit");
    folder->SetBounds(20, 60, 200, 21);
    folder->SetParent(form);
    file->SetText("");  // naming an edit sets its text, as the framework does
    folder->SetText("");
    ShowForm();
  }
  // Drops names on a control, as the desktop's file manager would.
  void Drop(TControl* c, const std::vector<std::string>& names) {
    POINT p = At(c, 10, 5);
    InputEvent e;
    e.kind = InputEvent::Kind::DropFiles;
    e.x = p.x;
    e.y = p.y;
    e.files = names;
    DesktopHost().Inject(e);
    ui.RunUntilIdle();
  }
  AnsiString MakeFile(const AnsiString& name) {
    const AnsiString path = home->Path() + "/" + name;
    std::ofstream(path.c_str()) << "x";
    return path;
  }
  void ClickButton(TCustomComboEdit* edit) {
    TEditButton* b = edit->Button();
    POINT p = At(b, b->GetWidth() / 2, b->GetHeight() / 2);
    ui.Click(p.x, p.y);
  }

  TFilenameEdit* file = nullptr;
  TDirectoryEdit* folder = nullptr;
};

TEST_F(FileEditTest, NamesWithSpacesAreQuotedAndReadBackWithoutQuotes) {
  struct Case {
    const char* name;
    const char* quoted;
  };
  for (const Case& c : std::vector<Case>{{"plain.txt", "plain.txt"},
                                         {"/tmp/with space.txt", "\"/tmp/with space.txt\""},
                                         {"\"/tmp/already quoted\"", "\"/tmp/already quoted\""},
                                         {"", ""}})
    EXPECT_EQ(QuotedFileName(c.name), c.quoted) << c.name;
  file->SetFileName("/no/such folder/pic.png");
  EXPECT_EQ(file->GetText(), "\"/no/such folder/pic.png\"");
  EXPECT_EQ(file->GetFileName(), "/no/such folder/pic.png");
  // A program followed by arguments reads as the program alone, unless the whole text is a file.
  file->SetText("/usr/bin/quillo -x picture.png");
  EXPECT_EQ(file->GetFileName(), "/usr/bin/quillo");
  const AnsiString spaced = MakeFile("two words");
  file->SetText(spaced);
  EXPECT_EQ(file->GetFileName(), spaced);
}

TEST_F(FileEditTest, InvalidFileNameIsRefused) {
  file->SetFileName("/tmp/good.png");
  EXPECT_THROW(file->SetFileName("/tmp/"), EComboEditError);
  EXPECT_THROW(file->SetFileName("/tmp/.."), EComboEditError);
  EXPECT_EQ(file->GetFileName(), "/tmp/good.png");  // the old name kept
  file->SetFileName("");
  EXPECT_EQ(file->GetText(), "");
}

TEST_F(FileEditTest, DroppedFilesAreTakenWhole) {
  int dropped = 0;
  file->OnDropFiles = [&](TObject*) { ++dropped; };
  Drop(file, {"/tmp/a.png"});
  EXPECT_EQ(file->GetText(), "");  // AcceptFiles is off
  file->SetAcceptFiles(true);
  folder->SetAcceptFiles(true);
  // A name past 255 characters arrives whole.
  const std::string longName = "/tmp/" + std::string(300, 'n') + ".png";
  Drop(file, {longName});
  EXPECT_EQ(file->GetFileName(), longName);
  EXPECT_EQ(dropped, 1);
  // Without multi-select only the first of three.
  Drop(file, {"/tmp/one.png", "/tmp/two.png", "/tmp/three.png"});
  EXPECT_EQ(file->GetFileName(), "/tmp/one.png");
  EXPECT_EQ(file->GetDialogFiles()->Count(), 0);  // without multi-select the list stays empty
  file->SetDialogOptions(file->GetDialogOptions() << ofAllowMultiSelect);
  Drop(file, {"/tmp/one.png", "/tmp/two.png", "/tmp/three.png"});
  EXPECT_EQ(file->GetDialogFiles()->Count(), 3);
  EXPECT_EQ(file->GetFileName(), "/tmp/one.png");
  // A folder edit takes a file's folder, and with MultipleDirs every name joined by ";".
  const AnsiString existing = MakeFile("dropped.txt");
  Drop(folder, {existing.c_str()});
  EXPECT_EQ(folder->GetText(), ExtractFilePath(existing));
  folder->SetMultipleDirs(true);
  folder->SetText("");
  Drop(folder, {"/tmp/x", "/tmp/y", "/tmp/z"});
  EXPECT_EQ(folder->GetText(), "/tmp/x;/tmp/y;/tmp/z");
  EXPECT_EQ(folder->GetLongName(), "/tmp/x;/tmp/y;/tmp/z");
}

TEST_F(FileEditTest, ButtonRunsTheFileDialog) {
  const AnsiString picture = MakeFile("my picture.png");
  // The user at the open dialog: the name typed into its name box, then Enter.
  auto typeName = [&](const std::string& name) {
    HWND dialog = GetActiveWindow();
    HWND box = GetDlgItem(dialog, edt1);
    ASSERT_NE(box, nullptr);
    RECT r;
    GetWindowRect(box, &r);
    const POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ui.Click(p.x, p.y);
    SendMessage(box, EM_SETSEL, 0, -1);
    ui.Type(name);
    ui.Press(VK_RETURN);
  };
  AnsiString caption;
  file->SetText(picture);  // the dialog starts in the file's folder, with its name
  file->SetDialogTitle("Open it");
  file->SetDialogKind(dkOpenPicture);  // the kind changes, the settings stay
  EXPECT_EQ(file->GetDialogTitle(), "Open it");
  EXPECT_EQ(file->GetFilter(), "All files (*.*)|*");
  ui.WhenModalWaits([&] {
    char text[64] = {};
    GetWindowText(GetActiveWindow(), text, sizeof text);
    caption = text;
    typeName("other name.png");
  });
  MakeFile("other name.png");
  ClickButton(file);
  EXPECT_EQ(caption, "Open it");
  EXPECT_EQ(file->GetText(), QuotedFileName(ExtractFilePath(picture) + "other name.png"));
  EXPECT_EQ(file->GetFileName(), ExtractFilePath(picture) + "other name.png");
  EXPECT_EQ(file->GetInitialDir(), ExtractFilePath(picture));
  // Cancelled: nothing changes.
  ui.WhenModalWaits([&] { ui.Press(VK_ESCAPE); });
  ClickButton(file);
  EXPECT_EQ(file->GetFileName(), ExtractFilePath(picture) + "other name.png");
  // OnBeforeDialog can stop the dialog before it opens.
  file->OnBeforeDialog = [](TObject*, AnsiString&, bool& action) { action = false; };
  ClickButton(file);
}

TEST_F(FileEditTest, FolderButtonStartsAtTheInitialFolder) {
  AnsiString seen;
  folder->SetDialogKind(dkWin32);
  folder->SetInitialDir(home->Path());
  folder->OnBeforeDialog = [&](TObject*, AnsiString& name, bool&) { seen = name; };
  ui.WhenModalWaits([&] { ui.Press(VK_RETURN); });  // the folder it starts at is accepted
  ClickButton(folder);
  EXPECT_EQ(seen, "");
  EXPECT_EQ(folder->GetText(), home->Path());
  folder->SetText("/does/not/exist");
  folder->OnAfterDialog = [&](TObject*, AnsiString& name, bool&) { seen = name; };
  ui.WhenModalWaits([&] { ui.Press(VK_ESCAPE); });
  ClickButton(folder);
  EXPECT_EQ(seen, "/");  // a folder that is not there starts at the root
  EXPECT_EQ(folder->GetText(), "/does/not/exist");
  // The classic dialog, cancelled.
  folder->SetDialogKind(dkVCL);
  ui.WhenModalWaits([&] { ui.Press(VK_ESCAPE); });
  ClickButton(folder);
  EXPECT_EQ(folder->GetText(), "/does/not/exist");
}

}  // namespace
}  // namespace edits_testing
