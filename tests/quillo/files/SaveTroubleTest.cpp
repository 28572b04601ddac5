// What saves and loads tell the user when memory or the folder fails them, what a name without
// a format becomes, and the pending backups that killed saves leave behind.

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "FilesFixture.h"
#include "platform/rtl/Exceptions.h"
#include "quillo/files/BackupLeftovers.h"
#include "quillo/files/ImageFiles.h"
#include "support/ImmutableFolder.h"

namespace {

// A format that finds no memory: it reads files that start with "NOMEM" and writes
// "*.nomem" files, and both fail as a full memory makes them fail.
class NoMemoryFormat : public GFXFile {
public:
  NoMemoryFormat() : GFXFile("No memory test", "*.NOMEM", 0x00800000, 0, false, 0) {}
  int Test(TStream* stream, GFXFileDesc*) override {
    StreamPositionGuard guard(stream);
    char magic[5] = {};
    return stream->Read(magic, 5) == 5 && std::string(magic, 5) == "NOMEM" ? 1 : 0;
  }
  bool Load(Buffer&, TStream*, int, GFXtra32*, GFXFileDesc*) override { throw EOutOfMemory("Out of memory."); }
  bool Save(Buffer&, TStream*, GFXSaveParams*, GFXtra32*) override { throw EOutOfMemory("Out of memory."); }
};

GFXFile* NoMemory() {
  GFXFile::Formats();  // the library's own formats first
  static NoMemoryFormat format;
  return &format;
}

void FillSample(UDBuffer& p, int width, int height) {
  p.Alloc(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) *p.At(x, y) = SampleColour(x, y);
}

GFXSaveParams TrueColour() {
  GFXSaveParams p;
  p.bits = 24;
  return p;
}

// A process id no process has: a child's, once it has ended and been waited for.
pid_t GonePid() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

class SaveTroubleTest : public FilesFixture {};

// A save without a chosen format writes the name it was given or nothing: a name that names
// no format is refused, not completed with some format's extension.
TEST_F(SaveTroubleTest, ANameThatNamesNoFormatIsRefusedAsItIs) {
  UDBuffer p;
  FillSample(p, 4, 4);
  EXPECT_EQ(SaveImageFile(PathOf("noext"), &p, nullptr, false), SaveFormatRefused);
  EXPECT_TRUE(FolderNames().empty());
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  EXPECT_EQ(ui.MessageBoxTexts().back(), LangMessage("ErrSaveImgForm").c_str());
}

TEST_F(SaveTroubleTest, OutOfMemoryWhileLoadingSaysSo) {
  NoMemory();
  const std::string path = PathOf("big.nomem");
  WriteBytes(path, "NOMEM and more");
  EXPECT_EQ(LoadImageFile(nullptr, path, 0, false), LoadNoMemory);
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  EXPECT_EQ(ui.MessageBoxTexts().back(), path + "\n\n" + LangMessage("NoMem").c_str());
}

TEST_F(SaveTroubleTest, OutOfMemoryWhileSavingSaysThePictureWasNotSavedAndTheFileIsUnchanged) {
  GFXSaveParams params = TrueColour();
  params.format = NoMemory();
  const std::string path = PathOf("photo.nomem");
  WriteBytes(path, "the old file");
  UDBuffer p;
  FillSample(p, 4, 4);
  p.FileName = "/old/name.png";
  p.ChangeCount = 3;
  EXPECT_EQ(SaveImageFile(path, &p, &params, false), SaveNoMemory);
  EXPECT_EQ(FileContents(path), "the old file");
  EXPECT_EQ(FolderNames(), std::vector<std::string>({"photo.nomem"}));
  EXPECT_EQ(p.FileName, "/old/name.png");
  EXPECT_EQ(p.ChangeCount, 3);
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  EXPECT_EQ(ui.MessageBoxTexts().back(), LangMessage("SaveNoMem").c_str());
}

// A writable file in a folder that takes no new names cannot be replaced: the message names
// the folder, which is what the user has to change.
TEST_F(SaveTroubleTest, AFolderThatCannotBeWrittenIsNamed) {
  const std::string path = PathOf("photo.png");
  WriteBytes(path, "the old file");
  ImmutableFolder locked(folder);
  if (!locked.Set()) GTEST_SKIP() << "this file system keeps no immutable flag";
  ASSERT_EQ(::access(path.c_str(), W_OK), 0);
  UDBuffer p;
  FillSample(p, 4, 4);
  GFXSaveParams params = TrueColour();
  EXPECT_EQ(SaveImageFile(path, &p, &params, false), SaveWriteFailed);
  EXPECT_EQ(FileContents(path), "the old file");
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  const std::string text = ui.MessageBoxTexts().back();
  EXPECT_EQ(text.rfind(LangMessage("ErrSaveImg").c_str(), 0), 0u) << text;
  EXPECT_NE(text.find(LangMessage("NoWriteFolder").c_str()), std::string::npos) << text;
  EXPECT_NE(text.find(folder + "/"), std::string::npos) << text;
}

// The pending backups of saves whose process has gone: a second name of a file that is still
// there goes; the only copy of a replaced file's old bytes becomes its backup unless the
// backup there is later. Those of living processes and other names stay.
TEST_F(SaveTroubleTest, ASaveTidiesThePendingBackupsOfGoneSaves) {
  Settings.BackupFiles = true;
  const pid_t gone = GonePid();
  const std::string linked = PendingBackupName("", "linked.png", gone, 0).c_str();
  const std::string only = PendingBackupName("", "only.png", gone, 1).c_str();
  const std::string older = PendingBackupName("", "older.png", gone, 0).c_str();
  const std::string living = PendingBackupName("", "living.png", 1, 0).c_str();
  const std::string mine = PendingBackupName("", "mine.png", ::getpid(), 5).c_str();
  WriteBytes(PathOf("linked.png"), "linked");
  ASSERT_EQ(::link(PathOf("linked.png").c_str(), PathOf(linked).c_str()), 0);
  WriteBytes(PathOf("only.png"), "the new only");
  WriteBytes(PathOf(only), "the old only");
  WriteBytes(PathOf("only._pn"), "an older backup");
  ASSERT_EQ(::utimensat(AT_FDCWD, PathOf("only._pn").c_str(), std::array<timespec, 2>{{{1000, 0}, {1000, 0}}}.data(), 0), 0);
  WriteBytes(PathOf(older), "an old generation");
  ASSERT_EQ(::utimensat(AT_FDCWD, PathOf(older).c_str(), std::array<timespec, 2>{{{1000, 0}, {1000, 0}}}.data(), 0), 0);
  WriteBytes(PathOf("older._pn"), "a later backup");
  WriteBytes(PathOf(living), "a save going on");
  WriteBytes(PathOf(mine), "this process's");
  const std::vector<std::string> others = {".x.png.12-x.qlbak", ".qlbak", "notes.txt"};
  for (const std::string& name : others) WriteBytes(PathOf(name), "other");

  UDBuffer p;
  FillSample(p, 4, 4);
  GFXSaveParams params = TrueColour();
  ASSERT_EQ(SaveImageFile(PathOf("new.png"), &p, &params, false), SaveOk);

  std::vector<std::string> expected = {"linked.png", "only.png",  "only._pn", "older._pn",
                                       "new.png",    living,      mine};
  expected.insert(expected.end(), others.begin(), others.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(FolderNames(), expected);
  EXPECT_EQ(FileContents(PathOf("linked.png")), "linked");
  EXPECT_EQ(FileContents(PathOf("only.png")), "the new only");
  EXPECT_EQ(FileContents(PathOf("only._pn")), "the old only");
  EXPECT_EQ(FileContents(PathOf("older._pn")), "a later backup");
}

}  // namespace
