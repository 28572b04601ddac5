// Loading and saving image files: what a load leaves in each kind of target, what a failed or
// quiet load leaves alone, saves read back by libpng and libjpeg, the backup copy, what a
// failed save leaves alone, and the format lists of the dialogs.

#include <cstdio>
#include <cstring>
#include <optional>

#include "FilesFixture.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FileSystem.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/ExtCtrls.h"
#include "quillo/components/files/MRUFileList.h"
#include "quillo/files/ImageFiles.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/Tool.h"
#include "quillo/tools/ToolObjects.h"
#include "quillo/shell/MainForm.h"
#include "support/TempHome.h"
#include "vorlen/formats/jpeg/LibJpegReference.h"

namespace {

class ImageFilesTest : public FilesFixture {
protected:
  // A picture with state of its own, to see whether a call touched it.
  void MakeOldPicture(UDBuffer& p) {
    p.Alloc(3, 3);
    p.Box(p.rect, 0x123456);
    p.SetMaskPixel(1, 1, true);
    p.FileName = "/old/name.png";
    p.ChangeCount = 5;
    p.SaveAsRequired = 1;
    p.BlankStart = 1;
    p.ImageNumber = 2;
    p.SaveParams.bits = 8;
  }
  void ExpectOldPicture(const UDBuffer& p, const std::string& what) {
    ASSERT_NE(p.pixels, nullptr) << what;
    EXPECT_EQ(p.Width(), 3) << what;
    EXPECT_EQ(*p.At(2, 2), 0x123456u) << what;
    EXPECT_EQ(p.Mask.width, 3) << what;
    EXPECT_TRUE(p.IsSelected(1, 1)) << what;
    EXPECT_EQ(p.FileName, "/old/name.png") << what;
    EXPECT_EQ(p.ChangeCount, 5) << what;
    EXPECT_EQ(p.SaveAsRequired, 1) << what;
    EXPECT_EQ(p.BlankStart, 1) << what;
    EXPECT_EQ(p.ImageNumber, 2) << what;
    EXPECT_EQ(p.SaveParams.bits, 8) << what;
  }
  // A PNG that breaks off in its image data, after several whole data chunks.
  std::string TruncatedPng() {
    const std::string whole = SamplePng(96, 96);
    return whole.substr(0, whole.size() * 2 / 3);
  }
};

TEST_F(ImageFilesTest, ALoadFillsThePictureAndForgetsItsOldState) {
  const std::string path = PathOf("sample.png");
  WriteBytes(path, SamplePng(7, 5));
  UDBuffer p;
  MakeOldPicture(p);
  p.Outline = std::make_unique<uchar[]>(8);
  p.SelLeft = 1, p.SelRight = 1, p.SelTop = 1, p.SelBottom = 1;

  EXPECT_EQ(LoadImageFile(&p, path, 0, false), LoadOk);
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
  EXPECT_TRUE(HoldsSample(p, 7, 5));
  EXPECT_EQ(p.Mask.width, 7);
  EXPECT_EQ(p.Mask.height, 5);
  EXPECT_FALSE(p.IsSelected(1, 1));
  EXPECT_EQ(p.Outline, nullptr);
  EXPECT_FALSE(p.HasSelectionBounds());
  EXPECT_EQ(p.FileName, path);
  EXPECT_EQ(p.ChangeCount, 0);
  EXPECT_EQ(p.SaveAsRequired, 0);
  EXPECT_EQ(p.ImageNumber, 0);
  EXPECT_EQ(p.SaveParams.bits, 24);
}

// A load replaces the picture, and the undo history of the picture that was there goes with
// it; a quiet load (the reload after a save) keeps it, so that Undo gives back what was saved.
TEST_F(ImageFilesTest, ALoudLoadForgetsTheUndoHistoryAQuietOneKeepsIt) {
  WriteBytes(PathOf("s.png"), SamplePng(4, 3));
  for (bool quiet : {false, true}) {
    UDBuffer p;
    MakeOldPicture(p);
    ASSERT_TRUE(p.PushUndo("DelSel"));
    ASSERT_EQ(LoadImageFile(&p, PathOf("s.png"), 0, quiet), LoadOk) << quiet;
    EXPECT_EQ(p.UndoChain == nullptr, !quiet) << quiet;
    p.FreeUndo();
  }
}

TEST_F(ImageFilesTest, ARelativeNameBecomesTheFullPath) {
  WriteBytes(PathOf("rel.png"), SamplePng(2, 2));
  const AnsiString before = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir(folder));
  UDBuffer p;
  EXPECT_EQ(LoadImageFile(&p, "rel.png", 0, true), LoadOk);
  SetCurrentDir(before);
  EXPECT_EQ(p.FileName, PathOf("rel.png"));
}

struct FailedLoad {
  const char* what;
  std::optional<std::string> bytes;  // none: no file at all
  int code;
  const char* messageKey;
};

// A load that fails leaves the picture that was there as it was, quiet or not; only a loud one
// says why.
TEST_F(ImageFilesTest, AFailedLoadLeavesThePictureAsItWas) {
  const std::vector<FailedLoad> cases = {
      {"not an image", std::string("this is text, not a picture\n"), LoadNotSupported, "FormNotSup"},
      {"no such file", std::nullopt, LoadCannotOpen, "ErrOpenImg"},
      {"an empty file", std::string(), LoadNotSupported, "FormNotSup"},
  };
  for (bool quiet : {true, false}) {
    for (const FailedLoad& c : cases) {
      const std::string what = std::string(c.what) + (quiet ? " (quiet)" : "");
      const std::string path = PathOf("failing.png");
      std::filesystem::remove(path);
      if (c.bytes) WriteBytes(path, *c.bytes);
      UDBuffer p;
      MakeOldPicture(p);
      const size_t boxesBefore = ui.MessageBoxTexts().size();
      EXPECT_EQ(LoadImageFile(&p, path, 0, quiet), c.code) << what;
      ExpectOldPicture(p, what);
      if (quiet) {
        EXPECT_EQ(ui.MessageBoxTexts().size(), boxesBefore) << what;
      } else {
        ASSERT_EQ(ui.MessageBoxTexts().size(), boxesBefore + 1) << what;
        // The message names the file on a line of its own.
        EXPECT_EQ(ui.MessageBoxTexts().back(), path + "\n\n" + std::string(LangMessage(c.messageKey))) << what;
      }
    }
  }
}

TEST_F(ImageFilesTest, AQuietLoadOfADamagedFileTakesThePartRead) {
  const std::string path = PathOf("broken.png");
  WriteBytes(path, TruncatedPng());
  UDBuffer p;
  MakeOldPicture(p);
  const int code = LoadImageFile(&p, path, 0, true);
  EXPECT_TRUE(code == LoadDamaged || code == LoadReadFailed) << code;
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
  ASSERT_EQ(p.Width(), 96);
  EXPECT_EQ(*p.At(5, 0), SampleColour(5, 0));
  EXPECT_EQ(p.FileName, path);
  EXPECT_EQ(p.ChangeCount, 0);
}

// The user is asked whether to keep what could be read of a damaged file.
TEST_F(ImageFilesTest, TheUserDecidesWhetherToKeepADamagedFilesPart) {
  const std::string path = PathOf("broken.png");
  WriteBytes(path, TruncatedPng());
  for (int answer : {IDNO, IDYES}) {
    UDBuffer p;
    MakeOldPicture(p);
    UINT flags = 0;
    std::string text;
    ui.OnMessageBox([&](const std::string& t, const std::string&, UINT f) {
      text = t;
      flags = f;
      return answer;
    });
    const int code = LoadImageFile(&p, path, 0, false);
    EXPECT_TRUE(code == LoadDamaged || code == LoadReadFailed) << code;
    EXPECT_EQ(text, path + "\n\n" + std::string(LangMessage("ErrLoadImg")));
    EXPECT_EQ(flags, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION));
    if (answer == IDYES) {
      ASSERT_EQ(p.Width(), 96);
      EXPECT_EQ(*p.At(95, 0), SampleColour(95, 0));
      EXPECT_EQ(p.FileName, path);
      EXPECT_EQ(p.ChangeCount, 0);
    } else {
      ExpectOldPicture(p, "declined");
    }
  }
}

TEST_F(ImageFilesTest, ABrushTakesTheFilesTransparentColourAsItsOutside) {
  const std::uint32_t key = SampleColour(2, 1);
  const std::string path = PathOf("brush.png");
  WriteBytes(path, SamplePng(6, 4, &key));
  // What an earlier brush left: a PNG carries no origin, so the position starts at 0, 0.
  BrushState.PositionX = 77;
  BrushState.PositionY = -5;
  BrushMode = BrushModeColor;
  ASSERT_EQ(LoadImageFile(&Brush, path, 0, false), LoadOk);
  ASSERT_EQ(Brush.Width(), 6);
  EXPECT_EQ(*Brush.At(2, 1), 0xFF000000u);
  EXPECT_EQ(*Brush.At(3, 1), SampleColour(3, 1));
  EXPECT_EQ(BrushShape.Width(), 6);
  EXPECT_EQ(BrushShape.Height(), 4);
  EXPECT_EQ(BrushTransparentColor, key);
  EXPECT_EQ(BrushState.PositionX, 0);
  EXPECT_EQ(BrushState.PositionY, 0);
  EXPECT_EQ(BrushMode, BrushModePaint);
  EXPECT_EQ(*BrushShape.At(3, 1), SampleColour(3, 1)) << "the shape is made from the brush";
  Brush.Free();
  BrushShape.Free();
  BrushState = BrushStateBlock();
}

TEST_F(ImageFilesTest, APreviewKeepsTheFilesExtraDataWithTheOriginAtZero) {
  const std::uint32_t background = 0x204060;
  const std::string path = PathOf("preview.png");
  WriteBytes(path, SamplePng(5, 5, nullptr, &background));
  PreviewDesc = GFXtra32{7, 9, 1, 2};  // what an earlier preview left
  ASSERT_EQ(LoadImageFile(&PreviewPicture, path, 0, true), LoadOk);
  EXPECT_EQ(PreviewDesc.x, 0);
  EXPECT_EQ(PreviewDesc.y, 0);
  EXPECT_EQ(PreviewDesc.background, background);
  EXPECT_TRUE(HoldsSample(PreviewPicture, 5, 5));
  PreviewPicture.Free();
}

// The open dialog has read the file already: its preview is taken over, the file not read.
TEST_F(ImageFilesTest, ALoadTakesOverThePreviewOfTheSameFile) {
  const std::string path = PathOf("seen.png");
  WriteBytes(path, SamplePng(4, 3));
  ASSERT_EQ(LoadImageFile(&PreviewPicture, path, 0, true), LoadOk);
  PreviewLoaded = true;
  PreviewInfo = 0;
  std::filesystem::remove(path);
  UDBuffer p;
  MakeOldPicture(p);
  EXPECT_EQ(LoadImageFile(&p, path, 0, false), LoadOk);
  EXPECT_TRUE(HoldsSample(p, 4, 3));
  EXPECT_EQ(p.FileName, path);
  EXPECT_EQ(p.ChangeCount, 0);
  EXPECT_FALSE(PreviewLoaded);
  EXPECT_EQ(PreviewPicture.pixels, nullptr);
}

// The thumbnail maker of the gallery pages reads the file itself.
TEST_F(ImageFilesTest, LoadScaledMakesAThumbnailOfAFile) {
  const std::string path = PathOf("wide.png");
  WriteBytes(path, SamplePng(40, 20));
  UDBuffer thumb;
  EXPECT_EQ(thumb.LoadScaled(path, 10, 10, false, false, 0), 0);
  EXPECT_EQ(thumb.Width(), 10);
  EXPECT_EQ(thumb.Height(), 5);
  EXPECT_EQ(thumb.Mask.width, 10);
  EXPECT_EQ(thumb.LoadScaled(path, 10, 10, false, true, 0), 0);
  EXPECT_EQ(thumb.Width(), 10);
  EXPECT_EQ(thumb.Height(), 10);
  // A file that cannot be read raises the library's exception and leaves the thumbnail.
  EXPECT_THROW(thumb.LoadScaled(PathOf("missing.png"), 10, 10, false, false, 0), Exception);
  EXPECT_EQ(thumb.Width(), 10);
}

// --- Saving -------------------------------------------------------------------------------

GFXSaveParams Depth(int bits) {
  GFXSaveParams p;
  p.bits = static_cast<signed char>(bits);
  return p;
}

void FillSample(UDBuffer& p, int width, int height) {
  p.Alloc(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) *p.At(x, y) = SampleColour(x, y);
}

libpng::Result ReadPngFile(const std::string& path) {
  const std::string bytes = FileContents(path);
  return libpng::Read(libpng::Bytes(bytes.begin(), bytes.end()));
}

TEST_F(ImageFilesTest, SavedPngsReadBackThroughLibpng) {
  struct Case {
    const char* what;
    int bits;
    std::vector<std::uint32_t> colours;  // the picture's columns repeat these
  };
  const std::vector<Case> cases = {
      {"true colour", 24, {}},
      {"a palette", 8, {0x000000, 0xFF0000, 0x00FF80, 0x123456}},
      {"two colours", 1, {0x000000, 0xFFFFFF}},
  };
  for (const Case& c : cases) {
    UDBuffer p;
    FillSample(p, 9, 6);
    if (!c.colours.empty())
      for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 9; ++x) *p.At(x, y) = c.colours[(x + y) % c.colours.size()];
    GFXSaveParams params = Depth(c.bits);
    const std::string path = PathOf("round.png");
    ASSERT_EQ(SaveImageFile(path, &p, &params, true), SaveOk) << c.what;
    const libpng::Result back = ReadPngFile(path);
    ASSERT_EQ(back.width, 9) << c.what;
    ASSERT_EQ(back.height, 6) << c.what;
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 9; ++x)
        ASSERT_EQ(back.rgba[y * 9 + x], 0xFF000000u | *p.At(x, y)) << c.what << " " << x << "," << y;
  }
}

TEST_F(ImageFilesTest, SavedJpegsReadBackThroughLibjpeg) {
  UDBuffer p;
  p.Alloc(24, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 24; ++x) *p.At(x, y) = std::uint32_t(x * 10) << 16 | std::uint32_t(y * 15) << 8 | 0x40;
  GFXSaveParams params = Depth(24);
  params.quality = 95;
  const std::string path = PathOf("round.jpg");
  ASSERT_EQ(SaveImageFile(path, &p, &params, true), SaveOk);
  std::FILE* file = std::fopen(path.c_str(), "rb");
  ASSERT_NE(file, nullptr);
  const reference::Decoded back = reference::DecodeFile(file);
  std::fclose(file);
  ASSERT_TRUE(back.ok);
  ASSERT_EQ(back.image.width, 24);
  ASSERT_EQ(back.image.height, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 24; ++x)
      for (int shift : {16, 8, 0}) {
        const int want = *p.At(x, y) >> shift & 0xFF;
        const int got = back.image.pixels[y * 24 + x] >> shift & 0xFF;
        ASSERT_NEAR(got, want, 12) << x << "," << y;
      }
}

// A JPEG cut short is a damaged picture, not an unknown format: the part read is offered.
TEST_F(ImageFilesTest, ATruncatedJpegIsDamagedAndItsTopPartIsKept) {
  UDBuffer p;
  p.Alloc(64, 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) *p.At(x, y) = std::uint32_t(x * 4) << 16 | std::uint32_t(y * 4) << 8 | 0x40;
  GFXSaveParams params = Depth(24);
  params.quality = 95;
  const std::string path = PathOf("cut.jpg");
  ASSERT_EQ(SaveImageFile(path, &p, &params, true), SaveOk);
  std::filesystem::resize_file(path, std::filesystem::file_size(path) * 2 / 3);
  UDBuffer back;
  const int code = LoadImageFile(&back, path, 0, true);
  EXPECT_TRUE(code == LoadDamaged || code == LoadReadFailed) << code;
  ASSERT_EQ(back.Width(), 64);
  ASSERT_EQ(back.Height(), 64);
  EXPECT_NEAR(static_cast<int>(*back.At(8, 2) >> 16 & 0xFF), 32, 12) << "the top rows were read";
}

TEST_F(ImageFilesTest, ASaveNamesThePictureAndMarksItUnchangedUnlessQuiet) {
  for (bool quiet : {false, true}) {
    UDBuffer p;
    MakeOldPicture(p);
    GFXSaveParams params = Depth(24);
    const std::string path = PathOf(quiet ? "quiet.png" : "loud.png");
    ASSERT_EQ(SaveImageFile(path, &p, &params, quiet), SaveOk);
    if (quiet) {
      ExpectOldPicture(p, "quiet");
    } else {
      EXPECT_EQ(p.FileName, path);
      EXPECT_EQ(p.ChangeCount, 0);
      EXPECT_EQ(p.SaveAsRequired, 0);
      EXPECT_EQ(p.BlankStart, 0);
    }
  }
}

// The library adds the extension of the format to a name without one; the picture is named
// after the file that was written.
TEST_F(ImageFilesTest, ANameWithoutExtensionGetsTheFormatsOne) {
  UDBuffer p;
  FillSample(p, 4, 4);
  GFXSaveParams params = Depth(24);
  params.format = DefaultFormatIndex("x.png", nullptr);
  ASSERT_EQ(SaveImageFile(PathOf("shot"), &p, &params, false), SaveOk);
  EXPECT_EQ(p.FileName, PathOf("shot.PNG"));
  EXPECT_TRUE(std::filesystem::exists(PathOf("shot.PNG")));
  EXPECT_EQ(ReadPngFile(PathOf("shot.PNG")).width, 4);
}

TEST_F(ImageFilesTest, OverwritingKeepsTheOldFileAsItsBackup) {
  struct Case {
    const char* name;
    const char* backup;
    bool backupsOn;
  };
  const std::vector<Case> cases = {
      {"photo.png", "photo._pn", true},
      {"photo.jpg", "photo._jp", true},
      {"photo.jpeg", "photo._jp", true},
      {"plain.png", nullptr, false},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    Settings.BackupFiles = c.backupsOn;
    const std::string path = PathOf(c.name);
    WriteBytes(path, "the old file");
    if (c.backup != nullptr) WriteBytes(PathOf(c.backup), "an older backup");
    UDBuffer p;
    FillSample(p, 5, 5);
    GFXSaveParams params = Depth(24);
    ASSERT_EQ(SaveImageFile(path, &p, &params, false), SaveOk) << c.name;
    EXPECT_NE(FileContents(path), "the old file") << c.name;
    if (c.backup != nullptr) {
      EXPECT_EQ(FileContents(PathOf(c.backup)), "the old file") << c.name;
      EXPECT_EQ(FolderNames(), std::vector<std::string>({c.backup, c.name}));
    } else {
      EXPECT_EQ(FolderNames(), std::vector<std::string>({c.name}));
    }
  }
}

TEST_F(ImageFilesTest, ANewFileNeedsNoBackup) {
  UDBuffer p;
  FillSample(p, 5, 5);
  GFXSaveParams params = Depth(24);
  ASSERT_EQ(SaveImageFile(PathOf("new.png"), &p, &params, false), SaveOk);
  EXPECT_EQ(FolderNames(), std::vector<std::string>({"new.png"}));
}

TEST_F(ImageFilesTest, BackupNamesKeepTwoCharactersOfTheExtension) {
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"/p/photo.jpg", "/p/photo._jp"}, {"/p/picture.tiff", "/p/picture._ti"},
      {"/p/x.j", "/p/x._j"},            {"/p/noext", "/p/noext._"},
      {"/p.d/noext", "/p.d/noext._"},
  };
  for (auto [path, backup] : cases) EXPECT_EQ(BackupFileName(path), backup) << path;
}

bool StopEverything(int) { return false; }

struct FailedSave {
  const char* what;
  const char* name;
  int bits;
  bool stopByHook;
  int code;
  const char* messageKey;  // null: no message box
};

// Nothing is lost when a save fails: the file under its name, its older backup and the
// picture stay exactly as they were, and no temporary file is left.
TEST_F(ImageFilesTest, AFailedSaveLeavesFileBackupAndPictureAsTheyWere) {
  const std::vector<FailedSave> cases = {
      {"a depth the format cannot write", "photo.jpg", 4, false, SaveFormatRefused, "ErrSaveImgForm"},
      {"stopped by the user", "photo.png", 24, true, SaveStopped, nullptr},
  };
  for (const FailedSave& c : cases) {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string path = PathOf(c.name);
    const std::string backup = BackupFileName(path);
    WriteBytes(path, "the old file");
    WriteBytes(backup, "an older backup");
    const std::vector<std::string> before = FolderNames();
    UDBuffer p;
    MakeOldPicture(p);
    GFXSaveParams params = Depth(c.bits);
    if (c.stopByHook) GFXFile::SetProgFunc(nullptr, StopEverything, nullptr);
    const size_t boxes = ui.MessageBoxTexts().size();
    const int code = SaveImageFile(path, &p, &params, false);
    GFXFile::SetProgFunc(nullptr, nullptr, nullptr);
    EXPECT_EQ(code, c.code) << c.what;
    EXPECT_EQ(FileContents(path), "the old file") << c.what;
    EXPECT_EQ(FileContents(backup), "an older backup") << c.what;
    EXPECT_EQ(FolderNames(), before) << c.what;
    ExpectOldPicture(p, c.what);
    if (c.messageKey == nullptr) {
      EXPECT_EQ(ui.MessageBoxTexts().size(), boxes) << c.what;
    } else {
      ASSERT_EQ(ui.MessageBoxTexts().size(), boxes + 1) << c.what;
      EXPECT_EQ(ui.MessageBoxTexts().back(), LangMessage(c.messageKey).c_str()) << c.what;
    }
  }
}

TEST_F(ImageFilesTest, AFileThatCannotBeWrittenIsReported) {
  UDBuffer p;
  MakeOldPicture(p);
  GFXSaveParams params = Depth(24);
  EXPECT_EQ(SaveImageFile(PathOf("no such folder/x.png"), &p, &params, false), SaveWriteFailed);
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  // The message says that the file cannot be written, and why.
  const std::string text = ui.MessageBoxTexts().back();
  EXPECT_EQ(text.rfind(LangMessage("ErrSaveImg").c_str(), 0), 0u) << text;
  EXPECT_NE(text.find("No such file or directory"), std::string::npos) << text;
  ExpectOldPicture(p, "unwritable");
}

// A quiet save reports no progress and cannot be stopped; the hooks are back afterwards.
TEST_F(ImageFilesTest, AQuietCallRunsWithoutTheProgressHooksAndPutsThemBack) {
  UDBuffer p;
  FillSample(p, 5, 5);
  GFXSaveParams params = Depth(24);
  GFXFile::SetProgFunc(nullptr, StopEverything, nullptr);
  EXPECT_EQ(SaveImageFile(PathOf("q.png"), &p, &params, true), SaveOk);
  EXPECT_EQ(GFXFile::PrStep, &StopEverything);
  UDBuffer back;
  EXPECT_EQ(LoadImageFile(&back, PathOf("q.png"), 0, true), LoadOk);
  EXPECT_EQ(GFXFile::PrStep, &StopEverything);
  EXPECT_EQ(LoadImageFile(&back, PathOf("q.png"), 0, false), LoadStopped);
  GFXFile::SetProgFunc(nullptr, nullptr, nullptr);
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
}

// --- Format lists -------------------------------------------------------------------------

// A writable format whose list holds an extension that starts another one's.
class PatternTestFormat : public GFXFile {
public:
  PatternTestFormat() : GFXFile("Pattern test", "*.TIFF;*.TIF", 0x00800000, 0, false, 0) {}
  int Test(TStream*, GFXFileDesc*) override { return 0; }
  bool Load(Buffer&, TStream*, int, GFXtra32*, GFXFileDesc*) override { return false; }
};

GFXFile* PatternFormat() {
  GFXFile::Formats();  // the library's own formats first
  static PatternTestFormat format;
  return &format;
}

GFXFile* FormatNamed(const char* name) {
  for (GFXFile* f = GFXFile::Formats(); f != nullptr; f = f->next)
    if (f->name == name) return f;
  return nullptr;
}

// The place of a format among those that can write, from 1.
int WritablePlace(const GFXFile* format) {
  int place = 0;
  for (GFXFile* f = GFXFile::Formats(); f != nullptr; f = f->next) {
    if (f->depths != 0) ++place;
    if (f == format) return place;
  }
  return 0;
}

TEST_F(ImageFilesTest, TheFormatOfANameComparesWholePatterns) {
  GFXFile* const pattern = PatternFormat();
  GFXFile* const jpeg = FormatNamed("JPEG");
  GFXFile* const png = FormatNamed("Portable Network Graphics");
  ASSERT_NE(jpeg, nullptr);
  ASSERT_NE(png, nullptr);
  const std::vector<std::pair<const char*, GFXFile*>> cases = {
      {"x.jpeg", jpeg},       {"X.JPG", jpeg},           {"/a.b/c.Png", png},
      {"x.tif", pattern},     {"x.tiff", pattern},       {"x.jp", nullptr},
      {"x.ico", nullptr},     {"x.avi", nullptr},        {"noext", nullptr},
      {"/a.png/noext", nullptr}, {"x.", nullptr},
  };
  for (auto [name, format] : cases) {
    int index = -1;
    EXPECT_EQ(DefaultFormatIndex(name, &index), format) << name;
    EXPECT_EQ(index, format != nullptr ? WritablePlace(format) : 0) << name;
  }
}

// Splits "a|b|c|d" into its parts.
std::vector<std::string> Parts(const std::string& filter) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start < filter.size()) {
    size_t bar = filter.find('|', start);
    if (bar == std::string::npos) bar = filter.size();
    parts.push_back(filter.substr(start, bar - start));
    start = bar + 1;
  }
  return parts;
}

TEST_F(ImageFilesTest, TheWritableFilterListsOnlyFormatsThatWrite) {
  AnsiString filter;
  const int next = ImageFilterString(filter, true);
  ASSERT_FALSE(filter.empty());
  EXPECT_EQ(filter.back(), '|');
  const std::vector<std::string> parts = Parts(filter);
  ASSERT_EQ(parts.size() % 2, 0u);
  EXPECT_EQ(next, static_cast<int>(parts.size() / 2) + 1);
  EXPECT_EQ(filter.find("Icon"), AnsiString::npos);
  EXPECT_EQ(filter.find("AVI"), AnsiString::npos);
  EXPECT_EQ(filter.find(LangMessage("AllImg")), AnsiString::npos);
  EXPECT_NE(filter.find("|JPEG (*.jpg,*.jpeg,*.jfif)|*.jpg;*.jpeg;*.jfif|"), AnsiString::npos);
  // The entries are numbered as DefaultFormatIndex numbers them.
  int index = 0;
  DefaultFormatIndex("a.jpg", &index);
  EXPECT_EQ(parts[2 * (index - 1)], "JPEG (*.jpg,*.jpeg,*.jfif)");
}

TEST_F(ImageFilesTest, TheOpenFilterEndsWithAllImagesAndAllFiles) {
  AnsiString filter;
  const int allImages = ImageFilterString(filter, false);
  const std::vector<std::string> parts = Parts(filter);
  ASSERT_GE(parts.size(), 4u);
  EXPECT_EQ(parts[2 * (allImages - 1)], LangMessage("AllImg").c_str());
  EXPECT_EQ(parts[parts.size() - 2], LangMessage("All").c_str());
  EXPECT_EQ(parts.back(), "*.*");
  EXPECT_NE(filter.find("Icon (*.ico)|*.ico|"), AnsiString::npos);
  const std::string all = parts[2 * allImages - 1];
  for (const char* pattern : {"*.ico", "*.jpg", "*.jfif", "*.png", "*.wbmp"})
    EXPECT_NE(all.find(pattern), std::string::npos) << pattern;
  EXPECT_NE(all.back(), ';');
}

}  // namespace

namespace {

// With the main window: the swatches' colours and the recent-files list.
class ImageFilesWithMainWindow : public FilesFixture {
protected:
  ImageFilesWithMainWindow() {
    MainForm = Application()->CreateForm<TMainForm>();
    MainForm->DrawCol->SetColor(static_cast<TColor>(0x00332211));  // 0x112233 as a pixel
    MainForm->BackCol->SetColor(static_cast<TColor>(0x00CCBBAA));  // 0xAABBCC
  }
  ~ImageFilesWithMainWindow() override { MainForm = nullptr; }
  AnsiString TopRecentFile() const {
    const TStringList* items = MainForm->MRUFileList1->Items();
    return items->Count() > 0 ? items->Get(0) : AnsiString();
  }
};

// A brush loaded in the program is taken up by the dotted pen.
TEST_F(ImageFilesWithMainWindow, ALoadedBrushMakesTheDottedPenCurrent) {
  const std::string path = PathOf("brush.png");
  WriteBytes(path, SamplePng(4, 4));
  P_icon* const before = CurrentTool;
  ASSERT_EQ(LoadImageFile(&Brush, path, 0, false), LoadOk);
  EXPECT_EQ(CurrentTool, &PenDiscTool);
  SelectTool(before, false, -1);
  Brush.Free();
  BrushShape.Free();
  BrushState = BrushStateBlock();
}

TEST_F(ImageFilesWithMainWindow, ALoadPresetsTheExtraColoursFromTheSwatches) {
  const std::string path = PathOf("plain.png");
  WriteBytes(path, SamplePng(3, 3));
  ASSERT_EQ(LoadImageFile(&PreviewPicture, path, 0, true), LoadOk);
  EXPECT_EQ(PreviewDesc.background, 0x112233u);
  EXPECT_EQ(PreviewDesc.transparent, 0xAABBCCu);
  PreviewPicture.Free();
}

TEST_F(ImageFilesWithMainWindow, LoudLoadsAndSavesGoToTheRecentFiles) {
  const std::string loaded = PathOf("Loaded.PNG");
  WriteBytes(loaded, SamplePng(3, 3));
  UDBuffer p;
  ASSERT_EQ(LoadImageFile(&p, loaded, 0, true), LoadOk);
  EXPECT_EQ(TopRecentFile(), "");
  ASSERT_EQ(LoadImageFile(&Brush, loaded, 0, false), LoadOk);
  EXPECT_EQ(TopRecentFile(), "");
  ASSERT_EQ(LoadImageFile(&p, loaded, 0, false), LoadOk);
  EXPECT_EQ(TopRecentFile(), loaded);  // as named: another case would be another file

  GFXSaveParams params = Depth(24);
  ASSERT_EQ(SaveImageFile(PathOf("quiet.png"), &p, &params, true), SaveOk);
  EXPECT_EQ(TopRecentFile(), loaded);
  ASSERT_EQ(SaveImageFile(PathOf("Saved.png"), &p, &params, false), SaveOk);
  EXPECT_EQ(TopRecentFile(), PathOf("Saved.png"));
  Brush.Free();
  BrushShape.Free();
}

}  // namespace
