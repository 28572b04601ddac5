// The file name and folder edits: names with spaces quoted and read back, invalid names
// refused, files dropped on them (one, or all of them, and names of any length), and their
// buttons running the file dialog (through the dialog hook) and the folder browser.

#include "EditsFixture.h"

#include <fstream>
#include <vector>

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
  void TearDown() override { SetFileEditDialogRunner(nullptr); }
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
  file->SetMultiSelect(true);
  Drop(file, {"/tmp/one.png", "/tmp/two.png", "/tmp/three.png"});
  EXPECT_EQ(file->DialogFiles().size(), 3u);
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
  std::vector<AnsiString> startedAt;
  SetFileEditDialogRunner([&](TFileEditDialogSettings& s) {
    startedAt.push_back(s.FileName);
    if (s.Title != "Open it") return false;
    s.FileName = picture;
    return true;
  });
  file->SetText("/nowhere/start.png");
  ClickButton(file);  // the dialog is cancelled: nothing changes
  EXPECT_EQ(file->GetText(), "/nowhere/start.png");
  file->SetDialogTitle("Open it");
  file->SetDialogKind(dkSave);  // the kind changes, the settings stay
  EXPECT_EQ(file->GetDialogTitle(), "Open it");
  ClickButton(file);
  EXPECT_EQ(file->GetText(), QuotedFileName(picture));
  EXPECT_EQ(file->GetInitialDir(), ExtractFilePath(picture));
  ASSERT_EQ(startedAt.size(), 2u);
  EXPECT_EQ(startedAt[0], "/nowhere/start.png");
  // OnBeforeDialog can stop the dialog.
  file->OnBeforeDialog = [](TObject*, AnsiString&, bool& action) { action = false; };
  ClickButton(file);
  EXPECT_EQ(startedAt.size(), 2u);
}

TEST_F(FileEditTest, FolderButtonStartsAtTheInitialFolder) {
  AnsiString seen;
  folder->SetInitialDir(home->Path());
  folder->OnAfterDialog = [&](TObject*, AnsiString& name, bool&) { seen = name; };
  ClickButton(folder);
  EXPECT_EQ(seen, home->Path());
  folder->SetText("/does/not/exist");
  ClickButton(folder);
  EXPECT_EQ(seen, "/");
  EXPECT_EQ(folder->GetText(), "/does/not/exist");  // the browser was not accepted
}

}  // namespace
}  // namespace edits_testing
