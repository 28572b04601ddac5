// A batch conversion run over real files: the file list (subfolders, dot folders, trailing
// slashes, pipes and link loops), the naming rules, the first image of a file of several,
// Cancel after the current file, and nothing lost when files cannot be opened or saved.

#include <filesystem>
#include <string>
#include <vector>

#include "FilesFixture.h"
#include "VideoSample.h"
#include "platform/vcl/Memo.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/Language.h"
#include "quillo/files/BatchFileList.h"
#include "quillo/files/BatchRun.h"
#include "quillo/files/ProgressForm.h"
#include "quillo/files/ImageFiles.h"
#include "support/FileSizeLimit.h"
#include "support/SpecialFiles.h"

namespace {

namespace fs = std::filesystem;

class BatchRunTest : public FilesFixture {
protected:
  BatchSettings ToPng() const {
    BatchSettings s;
    s.input = BatchInput::SingleFolder;
    s.singleFolder = folder;
    s.format = "Portable Network Graphics";
    s.depth = "True Color (24 bit)";
    return s;
  }
  void WriteSample(const std::string& name, int width = 5, int height = 3) const {
    WriteBytes(PathOf(name), SamplePng(width, height));
  }
  // Runs the batch in the progress window, as the Go button does; answers the lines shown.
  std::vector<std::string> Run(const BatchSettings& s, const std::function<void()>& whileShown = nullptr) {
    TProgressForm* progress = BatchProgressForm();
    progress->Show();
    progress->Empty();
    ui.RunUntilIdle();
    if (whileShown) whileShown();
    progress->SetRunning(true);
    BatchRun(s, *progress).Run(BatchInputFiles(s));
    progress->SetRunning(false);
    std::vector<std::string> lines;
    for (int i = 0; i < progress->Memo->GetLines()->Count(); ++i) lines.push_back(progress->Memo->GetLines()->Strings(i));
    return lines;
  }
  bool LoadsAsSample(const std::string& name, int width = 5, int height = 3) const {
    UDBuffer p;
    return LoadImageFile(&p, PathOf(name), 0, true) == LoadOk && HoldsSample(p, width, height);
  }
};

TEST_F(BatchRunTest, OverwriteReplacesEachFileByItsConversion) {
  WriteSample("a.png");
  WriteSample("b.png", 7, 2);
  BatchSettings s = ToPng();
  s.addIndex = false;
  EXPECT_EQ(Run(s), std::vector<std::string>{});
  EXPECT_EQ(FolderNames(), (std::vector<std::string>{"a.png", "b.png"}));
  EXPECT_TRUE(LoadsAsSample("a.png"));
  EXPECT_TRUE(LoadsAsSample("b.png", 7, 2));
}

TEST_F(BatchRunTest, AddIndexWritesBesideTheFileWithTheNextFreeNumber) {
  WriteSample("name.png");
  BatchSettings s = ToPng();
  s.input = BatchInput::SingleImage;
  s.singleImage = PathOf("name.png");
  Run(s);
  Run(s);
  EXPECT_EQ(FolderNames(), (std::vector<std::string>{"name.png", "name1.png", "name2.png"}));
  EXPECT_TRUE(LoadsAsSample("name2.png"));
}

TEST_F(BatchRunTest, NewNamesCountFromTheFirstNumberAndAFailedFileUsesItsNumber) {
  WriteSample("a.png");
  WriteBytes(PathOf("b.png"), "not a picture at all");
  WriteSample("c.png");
  BatchSettings s = ToPng();
  s.keepName = false;
  s.baseName = "Image";
  s.firstNumber = 5;
  s.digits = 3;
  EXPECT_EQ(Run(s), std::vector<std::string>{"Can't open " + PathOf("b.png")});
  EXPECT_EQ(FolderNames(), (std::vector<std::string>{"Image005.png", "Image007.png", "a.png", "b.png", "c.png"}));
  EXPECT_TRUE(LoadsAsSample("Image007.png"));
  EXPECT_TRUE(BatchProgressForm()->GetVisible()) << "a run that added lines leaves them shown";
}

TEST_F(BatchRunTest, ANewNameNeverReplacesAFileStillWaiting) {
  WriteSample("a.png");
  WriteSample("b1.png", 2, 2);
  const std::string waiting = FileContents(PathOf("b1.png"));
  BatchSettings s = ToPng();
  s.keepName = false;
  s.baseName = "b";
  s.firstNumber = 1;
  EXPECT_EQ(Run(s), std::vector<std::string>{"Can't save " + PathOf("b1.png")});
  EXPECT_EQ(FolderNames(), (std::vector<std::string>{"a.png", "b1.png", "b2.png"}));
  EXPECT_TRUE(LoadsAsSample("b2.png", 2, 2)) << "b1.png was converted as itself";
}

TEST_F(BatchRunTest, TheListSkipsDotFoldersLinkedFoldersPipesAndLoops) {
  fs::create_directories(PathOf("sub"));
  fs::create_directories(PathOf(".hidden"));
  WriteSample("a.png");
  WriteSample("sub/c.png");
  WriteSample(".hidden/b.png");
  WriteSample("sub/.d.png");
  WriteBytes(PathOf("notes.txt"), "text");
  MakeSpecialFile(SpecialFile::Fifo, PathOf("pipe.png"));
  MakeSpecialFile(SpecialFile::LinkLoop, PathOf("loop.png"));
  fs::create_directory_symlink(folder, PathOf("up"));
  fs::create_symlink(PathOf("a.png"), PathOf("sub/link.png"));
  const std::vector<AnsiString> expected = {PathOf("a.png"), PathOf("sub/.d.png"), PathOf("sub/c.png"),
                                            PathOf("sub/link.png")};
  BatchSettings s = ToPng();
  s.subfolders = true;
  for (const std::string& name : {folder, folder + "/"}) {
    s.singleFolder = name;
    EXPECT_EQ(BatchInputFiles(s), expected) << name;
  }
  s.subfolders = false;
  EXPECT_EQ(BatchInputFiles(s), std::vector<AnsiString>{PathOf("a.png")});
  s.input = BatchInput::MultipleFolders;
  s.folders = {folder, "", "  ", PathOf("sub")};
  EXPECT_EQ(BatchInputFiles(s), (std::vector<AnsiString>{PathOf("a.png"), PathOf("sub/.d.png"), PathOf("sub/c.png"),
                                                          PathOf("sub/link.png")}));
}

TEST_F(BatchRunTest, AnUnknownSingleImageGivesAnEmptyRun) {
  BatchSettings s = ToPng();
  s.input = BatchInput::SingleImage;
  for (const char* name : {"picture.unknown", "", "   "}) {
    s.singleImage = name;
    EXPECT_TRUE(BatchInputFiles(s).empty()) << name;
  }
  EXPECT_EQ(Run(s), std::vector<std::string>{});
}

TEST_F(BatchRunTest, OnlyTheFirstImageOfAFileOfSeveralIsConverted) {
  WriteBytes(PathOf("clip.avi"), VideoSample({0xFF0000, 0x00FF00, 0x0000FF}));
  Run(ToPng());
  UDBuffer p;
  ASSERT_EQ(LoadImageFile(&p, PathOf("clip.png"), 0, true), LoadOk);
  EXPECT_EQ(*p.At(0, 0) & 0x00FFFFFF, 0xFF0000u);
}

TEST_F(BatchRunTest, CancelStopsAfterTheCurrentFile) {
  for (const char* name : {"a.png", "b.png", "c.png"}) WriteSample(name);
  BatchSettings s = ToPng();
  s.keepName = false;
  Run(s, [this] {
    TButton* cancel = BatchProgressForm()->CancelBtn;
    const POINT at = UiDriver::At(cancel->GetHandle(), 10, 10);
    ui.QueueClick(at.x, at.y);
  });
  EXPECT_EQ(FolderNames(), (std::vector<std::string>{"Image0.png", "a.png", "b.png", "c.png"}));
  EXPECT_TRUE(BatchProgressForm()->Cancelled());
  EXPECT_TRUE(BatchProgressForm()->GetVisible()) << "Cancel during a run only stops it";
}

// Overwriting on a full disk: every source stays as it was, and each file not saved says so.
TEST_F(BatchRunTest, AFullDiskLosesNoSourceFile) {
  WriteSample("a.png", 40, 40);
  WriteSample("b.png", 40, 40);
  const std::string a = FileContents(PathOf("a.png"));
  const std::string b = FileContents(PathOf("b.png"));
  BatchSettings s = ToPng();
  s.addIndex = false;
  std::vector<std::string> lines;
  {
    FileSizeLimit full(100);
    lines = Run(s);
  }
  EXPECT_EQ(lines, (std::vector<std::string>{"Can't save " + PathOf("a.png"), "Can't save " + PathOf("b.png")}));
  EXPECT_EQ(FileContents(PathOf("a.png")), a);
  EXPECT_EQ(FileContents(PathOf("b.png")), b);
  EXPECT_EQ(FolderNames(), (std::vector<std::string>{"a.png", "b.png"}));
}

// A file read only in part says so by name; with "Keep name" and "Overwrite" it is never
// replaced by what was read of it, and under a new name the part read is still converted.
TEST_F(BatchRunTest, AFileReadInPartIsNamedAndNeverReplacedByItsPart) {
  struct Case {
    bool keepName;
    std::vector<std::string> files;
  } cases[] = {{true, {"cut.png"}}, {false, {"Image1.png", "cut.png"}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keepName);
    for (const std::string& name : FolderNames()) fs::remove(PathOf(name));
    std::string bytes = SamplePng(60, 60);
    bytes.resize(bytes.size() * 2 / 3);
    WriteBytes(PathOf("cut.png"), bytes);
    UDBuffer probe;
    ASSERT_NE(LoadImageFile(&probe, PathOf("cut.png"), 0, true), LoadOk) << "the sample is damaged";
    BatchSettings s = ToPng();
    s.keepName = c.keepName;
    s.addIndex = false;
    s.baseName = "Image";
    s.digits = 1;
    s.firstNumber = 1;
    std::vector<std::string> expected{LangMessage("Read in part").c_str() + std::string(" ") + PathOf("cut.png")};
    if (c.keepName) expected.push_back("Can't save " + PathOf("cut.png"));
    EXPECT_EQ(Run(s), expected);
    EXPECT_EQ(FileContents(PathOf("cut.png")), bytes);
    EXPECT_EQ(FolderNames(), c.files);
  }
}

}  // namespace
