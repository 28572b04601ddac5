// Batch script files: the exact bytes written, every field read back, and damaged scripts
// refused whole without a crash or an allocation beyond the file's size; the depth lists
// each output format offers and the options each depth allows.

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "FilesFixture.h"
#include "quillo/files/BatchFormats.h"
#include "quillo/files/BatchScript.h"
#include "support/FileSizeLimit.h"
#include "support/SpecialFiles.h"

namespace {

constexpr char kNoise[] = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe\x01\x02";

class BatchScriptTest : public FilesFixture {
protected:
  // One image, PNG at 24 bits, the rest as the window starts.
  BatchSettings OneImage() const {
    BatchSettings s;
    s.singleImage = PathOf("a.png");
    s.format = "Portable Network Graphics";
    s.depth = "True Color (24 bit)";
    return s;
  }
  // Every field away from its default.
  static BatchSettings EveryFieldChanged() {
    BatchSettings s;
    s.input = BatchInput::MultipleFolders;
    s.singleImage = "/pictures/with space/b.jpg";
    s.singleFolder = "/pictures/folder";
    s.folders = {"/f1", "/f2 with space", "/f3/"};
    s.subfolders = true;
    s.subfoldersMulti = true;
    s.format = "JPEG";
    s.depth = "Grayscale";
    s.limit = true;
    s.limitColours = 17;
    s.dither = true;
    s.transparent = true;
    s.interlaced = true;
    s.quality = 42;
    s.keepName = false;
    s.addIndex = false;
    s.baseName = "Holiday";
    s.firstNumber = -12;
    s.digits = 4;
    return s;
  }
  std::vector<BatchFormatChoice> formats = BatchFormatChoices();
};

TEST_F(BatchScriptTest, OneImageToPngIsWrittenByteForByte) {
  const std::string d = folder;
  EXPECT_EQ(WriteBatchScript(OneImage()),
            "QLSCP100\r\n0\r\n" + d + "/a.png\r\n.\r\n0 0 0 Portable Network Graphics\r\nTrue Color (24 bit)\r\n"
            "0 234 0 0 0 75 1 1 Image\r\n0 1");
}

TEST_F(BatchScriptTest, AFolderListOfTwoFollowsItsCountOnTheSameLine) {
  BatchSettings s = OneImage();
  s.folders = {"/f1", "/f2"};
  const std::string bytes = WriteBatchScript(s);
  EXPECT_NE(bytes.find("\r\n.\r\n2 /f1\r\n/f2\r\n0 0 Portable"), std::string::npos) << bytes;
}

TEST_F(BatchScriptTest, EveryFieldComesBack) {
  for (const BatchSettings& written : {OneImage(), EveryFieldChanged()}) {
    BatchSettings read;
    ASSERT_TRUE(ReadBatchScript(WriteBatchScript(written), formats, read));
    EXPECT_EQ(read, written);
  }
  // Empty names are written as a dot and read back empty.
  BatchSettings empty = OneImage();
  empty.singleImage = "";
  BatchSettings read = EveryFieldChanged();
  ASSERT_TRUE(ReadBatchScript(WriteBatchScript(empty), formats, read));
  EXPECT_EQ(read.singleImage, "");
  EXPECT_EQ(read.singleFolder, "");
}

// Every name the file system allows comes back as it was, in every place a name is kept, or
// the save is refused and writes nothing.
TEST_F(BatchScriptTest, EveryNameComesBackOrTheSaveIsRefused) {
  struct Case {
    std::string name;
    bool storable;
  } cases[] = {
      {"/pictures/a.png", true}, {"  leading blanks", true}, {"trailing blanks  ", true}, {" ", true},
      {"/f/ inner /x", true},    {"tab\there", true},        {"..", true},                {"-", true},
      {".", false},              {"line\nbreak", false},     {"return\rhere", false},    {"ends\r\n", false},
  };
  using Place = std::function<void(BatchSettings&, const std::string&)>;
  const std::pair<const char*, Place> places[] = {
      {"single image", [](BatchSettings& s, const std::string& n) { s.singleImage = n; }},
      {"single folder", [](BatchSettings& s, const std::string& n) { s.singleFolder = n; }},
      {"first folder", [](BatchSettings& s, const std::string& n) { s.folders = {n, "/second"}; }},
      {"last folder", [](BatchSettings& s, const std::string& n) { s.folders = {"/first", n}; }},
      {"base name", [](BatchSettings& s, const std::string& n) { s.baseName = n; }},
  };
  const std::string path = PathOf("names.scr");
  for (const auto& [where, place] : places) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(where) + ": \"" + c.name + "\"");
      BatchSettings s = EveryFieldChanged();
      place(s, c.name);
      // The base name is no file or folder: "." stands for nothing there.
      const bool storable = c.storable || (std::string(where) == "base name" && c.name == ".");
      std::filesystem::remove(path);
      EXPECT_EQ(BatchScriptCanHold(s), storable);
      EXPECT_EQ(SaveBatchScript(path, s), storable);
      if (!storable) {
        EXPECT_FALSE(std::filesystem::exists(path));
        continue;
      }
      BatchSettings read = OneImage();
      ASSERT_EQ(LoadBatchScript(path, formats, read), ScriptLoad::Loaded);
      EXPECT_EQ(read, s);
    }
  }
}

TEST_F(BatchScriptTest, PathsLongerThanOldLineBuffersComeBackWhole) {
  BatchSettings s = OneImage();
  s.singleImage = "/" + std::string(300, 'p') + "/a.png";
  s.folders = {"/" + std::string(1000, 'f')};
  BatchSettings read;
  ASSERT_TRUE(ReadBatchScript(WriteBatchScript(s), formats, read));
  EXPECT_EQ(read, s);
}

TEST_F(BatchScriptTest, NumbersOutsideTheControlsLimitsAreBroughtInside) {
  BatchSettings read;
  ASSERT_TRUE(ReadBatchScript(
      "QLSCP100\r\n7\r\n.\r\n.\r\n0 0 0 JPEG\r\nTrue Color (24 bit)\r\n0 9999 0 0 0 500 1 1 Image\r\n0 60", formats, read));
  EXPECT_EQ(read.input, BatchInput::SingleImage) << "an unknown input kind changes nothing";
  EXPECT_EQ(read.limitColours, kMaxLimitColours);
  EXPECT_EQ(read.quality, kMaxQuality);
  EXPECT_EQ(read.digits, kMaxDigits);
}

// Every damaged script is refused and leaves the settings exactly as they were.
TEST_F(BatchScriptTest, DamagedScriptsChangeNothing) {
  const std::string sound = WriteBatchScript(EveryFieldChanged());
  std::vector<std::pair<std::string, std::string>> cases = {
      {"wrong first line", "QLSCP101\r\n" + sound.substr(10)},
      {"magic without CR", "QLSCP100\n" + sound.substr(10)},
      {"a huge folder count with two lines", "QLSCP100\r\n2\r\n.\r\n.\r\n2147483647 /f1\r\n/f2\r\n"},
      {"a negative folder count", "QLSCP100\r\n2\r\n.\r\n.\r\n-1 0 0 JPEG\r\nGrayscale\r\n0 2 0 0 0 1 1 1 I\r\n0 1"},
      {"a count too large for 32 bits", "QLSCP100\r\n2\r\n.\r\n.\r\n99999999999 0 0 JPEG\r\nGrayscale\r\n0 2 0 0 0 1 1 1 I\r\n0 1"},
      {"a 100 KB line", "QLSCP100\r\n0\r\n/" + std::string(100 * 1024, 'x') + "\r\n.\r\n0 0 0 JPEG\r\nGrayscale\r\n0 2 0 0 0 1 1 1 I\r\n0 1"},
      {"a format not in the list", "QLSCP100\r\n0\r\n.\r\n.\r\n0 0 0 Joint Photo\r\nGrayscale\r\n0 2 0 0 0 1 1 1 I\r\n0 1"},
      {"a depth the format lacks", "QLSCP100\r\n0\r\n.\r\n.\r\n0 0 0 JPEG\r\n256 Colors\r\n0 2 0 0 0 1 1 1 I\r\n0 1"},
      {"a word for a number", "QLSCP100\r\n0\r\n.\r\n.\r\n0 0 0 JPEG\r\nGrayscale\r\nno 2 0 0 0 1 1 1 I\r\n0 1"},
      {"binary noise", std::string(kNoise, sizeof kNoise - 1)},
      {"nothing", ""},
  };
  for (std::size_t cut = 0; cut < sound.size(); ++cut)
    cases.emplace_back("cut at byte " + std::to_string(cut), sound.substr(0, cut));
  for (const auto& [name, bytes] : cases) {
    BatchSettings settings = OneImage();
    EXPECT_FALSE(ReadBatchScript(bytes, formats, settings)) << name;
    EXPECT_EQ(settings, OneImage()) << name;
  }
}

TEST_F(BatchScriptTest, FilesThatAreNoScriptsCannotBeOpenedOrAreDamaged) {
  BatchSettings settings = OneImage();
  EXPECT_EQ(LoadBatchScript(PathOf("missing.scr"), formats, settings), ScriptLoad::CannotOpen);
  EXPECT_EQ(LoadBatchScript(folder, formats, settings), ScriptLoad::CannotOpen) << "a folder";
  const std::string fifo = PathOf("pipe.scr");
  MakeSpecialFile(SpecialFile::Fifo, fifo);
  ScriptLoad fromPipe = ScriptLoad::Loaded;
  EXPECT_TRUE(FinishesWithoutAWriter(fifo, [&] { fromPipe = LoadBatchScript(fifo, formats, settings); }));
  EXPECT_EQ(fromPipe, ScriptLoad::CannotOpen);
  WriteBytes(PathOf("noise.scr"), "\x01\x02QLSCP100");
  EXPECT_EQ(LoadBatchScript(PathOf("noise.scr"), formats, settings), ScriptLoad::Damaged);
  EXPECT_EQ(settings, OneImage());
}

TEST_F(BatchScriptTest, SavedScriptsLoadAndAFailedSaveKeepsTheOldFile) {
  const std::string path = PathOf("kept.scr");
  ASSERT_TRUE(SaveBatchScript(path, OneImage()));
  BatchSettings settings;
  ASSERT_EQ(LoadBatchScript(path, formats, settings), ScriptLoad::Loaded);
  EXPECT_EQ(settings, OneImage());
  BatchSettings longer = EveryFieldChanged();
  longer.folders.assign(200, "/a/folder/with/a/long/name");
  {
    FileSizeLimit full(64);
    EXPECT_FALSE(SaveBatchScript(path, longer));
  }
  EXPECT_EQ(FileContents(path), WriteBatchScript(OneImage()));
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"kept.scr"}) << "no temporary file stays";
}

// The depth list of each format in table order, and which options each depth allows.
TEST_F(BatchScriptTest, EachFormatOffersItsDepthsInTableOrder) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> expected = {
      {"Portable Network Graphics",
       {"True Color (32 bit)", "True Color (24 bit)", "256 Colors", "16 Colors", "Black and White", "Adaptive"}},
      {"JPEG", {"True Color (24 bit)", "Grayscale"}},
      {"CompuServe GIF", {"256 Colors", "16 Colors", "Black and White", "Adaptive"}},
      {"TrueVision Targa", {"True Color (32 bit)", "True Color (24 bit)", "256 Colors"}},
      {"WAP Bitmap", {"Black and White"}},
  };
  for (const auto& [name, depths] : expected) {
    GFXFile* format = BatchFormatNamed(name);
    ASSERT_NE(format, nullptr) << name;
    const std::vector<AnsiString> texts = BatchDepthTexts(format);
    EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.end()), depths) << name;
  }
  EXPECT_EQ(BatchFormatNamed("Icon"), nullptr) << "a format that cannot write is not offered";
  EXPECT_EQ(BatchOutputExtension(BatchFormatNamed("Windows Bitmap")), ".bmp");
  EXPECT_EQ(BatchOutputExtension(BatchFormatNamed("JPEG")), ".jpg");
}

TEST_F(BatchScriptTest, DepthTextsMapToDepthsAndPaletteDepthsTakeALimit) {
  const std::vector<std::tuple<std::string, int, bool>> cases = {
      {"True Color (32 bit)", 32, false}, {"True Color (24 bit)", 24, false}, {"High Color (16 bit)", 16, false},
      {"High Color (15 bit)", 15, false}, {"256 Colors", 8, true},            {"16 Colors", 4, true},
      {"Grayscale", kGreyDepth, true},    {"Black and White", 1, false},      {"Adaptive", kAdaptiveDepth, true},
      {"anything else", kAdaptiveDepth, true},
  };
  for (const auto& [text, depth, palette] : cases) {
    EXPECT_EQ(ColorDepthOf(text), depth) << text;
    EXPECT_EQ(IsPaletteDepth(ColorDepthOf(text)), palette) << text;
  }
  BatchSettings grey = EveryFieldChanged();
  const GFXSaveParams params = BatchSaveParams(grey);
  EXPECT_EQ(params.bits, 8);
  EXPECT_TRUE(params.grey);
  EXPECT_EQ(params.colours, 17);
  EXPECT_EQ(params.quality, 42);
  grey.depth = "Adaptive";
  grey.limit = false;
  EXPECT_EQ(BatchSaveParams(grey).bits, -1);
  EXPECT_EQ(BatchSaveParams(grey).colours, 0);
}

}  // namespace
