#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "support/SpecialFiles.h"
#include "support/TempHome.h"
#include "vorlen/formats/GFXFile.h"

namespace {

GFXFile* Frm() { return GFXFile::GetDefaultFormat("x.frm"); }

Buffer Image(int w, int h) {
  Buffer b;
  b.Alloc(Pair<int>(w, h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) *b.At(x, y) = static_cast<uint>(x * 40 + y * 7000);
  return b;
}

int starts, ends, steps;
int stopAt = -1;
void OnStart() { ++starts; }
void OnEnd() { ++ends; }
bool OnStep(int) { return ++steps != stopAt; }

struct Hooks {
  Hooks() {
    starts = ends = steps = 0;
    stopAt = -1;
    GFXFile::SetProgFunc(OnStart, OnStep, OnEnd);
  }
  ~Hooks() { GFXFile::SetProgFunc(nullptr, nullptr, nullptr); }
};

}  // namespace

TEST(Registry, FrameFormatComesFirstWithItsDefaults) {
  GFXFile* f = GFXFile::Formats();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->name, "Dornick Frame");
  EXPECT_EQ(f->extensions, "*.FRM");
  EXPECT_EQ(f->depths, 0x80800000u);
  EXPECT_EQ(f->defaults.bits, 32);
  EXPECT_EQ(f->defaults.quality, 100);
  EXPECT_EQ(f->DefaultExtension(), ".FRM");
}

TEST(Registry, ExtensionLookup) {
  struct Case {
    const char* path;
    bool found;
  };
  const Case cases[] = {
      {"a.frm", true},      {"/x/B.FRM", true},  {"a.fr", false},
      {"/a.frm/file", false}, {"noext", false},  {"a.frm.bak", false},
      {".frm", true},       {"a.", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(GFXFile::GetDefaultFormat(c.path) != nullptr, c.found) << c.path;
}

TEST(Registry, UnknownFileRaisesInvalidImageHundred) {
  TempHome home;
  const std::string path = home.WriteFile("junk.frm", "not an image at all");
  Buffer dst;
  try {
    GFXFile::Load(dst, path, nullptr, 0, nullptr);
    FAIL();
  } catch (const EInvalidImage& e) {
    EXPECT_EQ(e.Message, "100");
  }
  GFXFileDesc desc;
  desc.format = Frm();
  EXPECT_FALSE(GFXFile::Test(path, &desc));
  EXPECT_EQ(desc.format, nullptr);
  EXPECT_THROW(GFXFile::Test(home.Path() + "/missing.frm", &desc), EFOpenError);
}

TEST(Registry, ProbesAllFormatsWhenTheExtensionIsWrong) {
  TempHome home;
  Buffer image = Image(3, 2);
  const std::string frm = home.Path() + "/real.frm";
  ASSERT_TRUE(GFXFile::Save(image, frm, nullptr, nullptr));
  const std::string disguised = home.WriteFile("photo.gif", FileContents(frm));
  GFXFileDesc desc;
  EXPECT_TRUE(GFXFile::Test(disguised, &desc));
  EXPECT_EQ(desc.format, Frm());
  Buffer back;
  ASSERT_TRUE(GFXFile::Load(back, disguised, nullptr, 0, &desc));
  EXPECT_EQ(*back.At(2, 1), *image.At(2, 1));
}

TEST(Registry, LoadAlwaysNamesTheFormatSoTheSettingsFollowIt) {
  TempHome home;
  // A 12-bit frame file: the settings made from it must be a depth the format writes.
  const std::string path =
      home.WriteFile("old.frm", std::string("FRM\0\1\0\1\0", 8) + std::string("\x0F\x00", 2));
  Buffer dst;
  GFXFileDesc desc;
  ASSERT_TRUE(GFXFile::Load(dst, path, nullptr, 0, &desc));
  ASSERT_EQ(desc.format, Frm());
  GFXSaveParams params;
  params = desc;
  EXPECT_EQ(params.bits, 24);
  EXPECT_EQ(params.quality, 100);
  EXPECT_TRUE(GFXFile::Save(dst, home.Path() + "/again.frm", nullptr, &params));
}

// A given format completes a name without an extension with its own. Without one the path's
// extension must name a format: a path that names none is refused, and nothing is written
// under that name or any other.
TEST(Registry, SaveCompletesThePathOnlyForAGivenFormat) {
  TempHome home;
  Buffer image = Image(2, 2);
  for (const char* name : {"/a.xyz", "/plain", "/folder.frm/inside", "/trailing."}) {
    EXPECT_THROW(GFXFile::Save(image, home.Path() + name, nullptr, nullptr), EInvalidImage) << name;
    GFXSaveParams noFormat;
    EXPECT_THROW(GFXFile::Save(image, home.Path() + name, nullptr, &noFormat), EInvalidImage) << name;
  }
  EXPECT_EQ(home.Files(), std::vector<std::string>{});
  GFXSaveParams params;
  params.format = Frm();
  ASSERT_TRUE(GFXFile::Save(image, home.Path() + "/plain", nullptr, &params));
  EXPECT_TRUE(FileExists(home.Path() + "/plain.FRM"));
  ASSERT_TRUE(GFXFile::Save(image, home.Path() + "/named.bin", nullptr, &params));
  EXPECT_TRUE(FileExists(home.Path() + "/named.bin"));
  EXPECT_EQ(params.format, Frm()) << "the caller's record is not changed";
  EXPECT_EQ(params.bits, 0);
}

TEST(Registry, ImpossibleSettingsRaiseBeforeAnyFileIsMade) {
  TempHome home;
  Buffer image = Image(2, 2);
  GFXSaveParams params;
  params.bits = 8;
  EXPECT_THROW(GFXFile::Save(image, home.Path() + "/x.frm", nullptr, &params), EInvalidImage);
  params.bits = 0;
  params.grey = true;
  EXPECT_THROW(GFXFile::Save(image, home.Path() + "/x.frm", nullptr, &params), EInvalidImage);
  EXPECT_TRUE(home.Files().empty());
}

TEST(Registry, SaveDefaultsFollowTheFormatsRules) {
  GFXFile* frm = Frm();
  struct Case {
    signed char bits;
    bool grey;
    uchar quality;
    bool valid;
    signed char bitsAfter;
    uchar qualityAfter;
  };
  const Case cases[] = {
      {0, false, 0, true, 32, 100},  {24, false, 50, true, 24, 100}, {16, false, 0, false, 0, 0},
      {-1, false, 0, false, 0, 0},   {33, false, 0, false, 0, 0},    {0, true, 0, false, 0, 0},
  };
  for (const Case& c : cases) {
    GFXSaveParams p;
    p.bits = c.bits;
    p.grey = c.grey;
    p.quality = c.quality;
    if (!c.valid) {
      EXPECT_THROW(frm->SetSaveDefaults(&p), EInvalidImage) << int(c.bits);
      continue;
    }
    frm->SetSaveDefaults(&p);
    EXPECT_EQ(p.bits, c.bitsAfter);
    EXPECT_EQ(p.quality, c.qualityAfter);
  }
}

TEST(Registry, ProgressHooksRunOnceAroundLoadAndSave) {
  TempHome home;
  Hooks hooks;
  Buffer image = Image(4, 5);
  const std::string path = home.Path() + "/p.frm";
  ASSERT_TRUE(GFXFile::Save(image, path, nullptr, nullptr));
  EXPECT_EQ(starts, 1);
  EXPECT_EQ(ends, 1);
  EXPECT_EQ(steps, 5);
  Buffer back;
  ASSERT_TRUE(GFXFile::Load(back, path, nullptr, 0, nullptr));
  EXPECT_EQ(starts, 2);
  EXPECT_EQ(ends, 2);
  const std::string junk = home.WriteFile("junk.frm", "junk");
  EXPECT_THROW(GFXFile::Load(back, junk, nullptr, 0, nullptr), EInvalidImage);
  EXPECT_EQ(starts, 3);
  EXPECT_EQ(ends, 3) << "the end hook runs also when an exception passes";
}

TEST(Registry, StoppedSaveLeavesTheOldFileAndNothingElse) {
  TempHome home;
  const std::string path = home.WriteFile("keep.frm", "the original");
  Hooks hooks;
  stopAt = 2;
  Buffer image = Image(4, 5);
  EXPECT_FALSE(GFXFile::Save(image, path, nullptr, nullptr));
  EXPECT_EQ(FileContents(path), "the original");
  EXPECT_EQ(home.Files(), std::vector<std::string>{"keep.frm"});
  stopAt = -1;
  const std::string fresh = home.Path() + "/fresh.frm";
  stopAt = steps + 1;
  EXPECT_FALSE(GFXFile::Save(image, fresh, nullptr, nullptr));
  EXPECT_FALSE(FileExists(fresh)) << "a stopped save of a new file leaves no file";
}

TEST(Registry, StoppedLoadAnswersZero) {
  TempHome home;
  Buffer image = Image(4, 5);
  const std::string path = home.Path() + "/s.frm";
  ASSERT_TRUE(GFXFile::Save(image, path, nullptr, nullptr));
  Hooks hooks;
  stopAt = 1;
  Buffer back;
  EXPECT_FALSE(GFXFile::Load(back, path, nullptr, 0, nullptr));
}

TEST(Registry, FailedSaveKeepsTheFileItReplacesAndItsPermissions) {
  TempHome home;
  const std::string path = home.WriteFile("old.frm", "precious");
  Buffer tall;
  tall.Alloc(Pair<int>(1, 70000));
  EXPECT_THROW(GFXFile::Save(tall, path, nullptr, nullptr), EInvalidImage);
  EXPECT_EQ(FileContents(path), "precious");
  EXPECT_EQ(home.Files().size(), 1u);
  EXPECT_THROW(GFXFile::Save(tall, home.Path() + "/no/folder.frm", nullptr, nullptr), EFCreateError);
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  Buffer small = Image(2, 2);
  ASSERT_TRUE(GFXFile::Save(small, path, nullptr, nullptr));
  struct stat after {};
  ASSERT_EQ(stat(path.c_str(), &after), 0);
  EXPECT_EQ(after.st_mode & 0777, 0640u);
  ASSERT_EQ(chmod(path.c_str(), 0440), 0);
  if (geteuid() != 0) {  // the superuser may write any file
    EXPECT_THROW(GFXFile::Save(small, path, nullptr, nullptr), EFCreateError)
        << "a read-only file is not replaced";
  }
}

TEST(Registry, DescriptorToSettingsTable) {
  GFXFile* frm = Frm();
  struct Case {
    uchar bits;
    bool colour, palette;
    GFXFile* format;
    signed char bitsAfter;
    bool greyAfter;
    uchar quality;
  };
  const Case cases[] = {
      {24, true, false, frm, 24, false, 100}, {16, true, false, frm, 24, false, 100},
      {8, true, true, frm, 24, false, 100},   {8, false, false, frm, 24, false, 100},
      {8, true, true, nullptr, 8, false, 0},  {32, true, false, frm, 32, false, 100},
  };
  for (const Case& c : cases) {
    GFXFileDesc d;
    d.bits = c.bits;
    d.colour = c.colour;
    d.palette = c.palette;
    d.format = c.format;
    d.transparent = true;
    GFXSaveParams p;
    p = d;
    EXPECT_EQ(p.bits, c.bitsAfter) << int(c.bits);
    EXPECT_EQ(p.grey, c.greyAfter) << int(c.bits);
    EXPECT_EQ(p.quality, c.quality) << int(c.bits);
    EXPECT_TRUE(p.transparent);
    EXPECT_EQ(p.format, nullptr);
  }
}

TEST(Registry, AlphaModeCompositesOverTheTransparentColourBelowThirtyTwoBits) {
  TempHome home;
  GFXFile::SetAlpha(true);
  Buffer image;
  image.Alloc(Pair<int>(2, 1));
  *image.At(0, 0) = 0x80FF0000;
  *image.At(1, 0) = 0x00123456;
  GFXtra32 extra{0, 0, 0x7F000000, 0x550000FF};
  GFXSaveParams params;
  params.bits = 24;
  const std::string path = home.Path() + "/c.frm";
  const bool saved = GFXFile::Save(image, path, &extra, &params);
  GFXFile::SetAlpha(false);
  ASSERT_TRUE(saved);
  EXPECT_EQ(extra.transparent, 0x000000FFu) << "alpha mode clears the colours' top bytes";
  EXPECT_EQ(extra.background, 0u);
  Buffer back;
  GFXFile::Load(back, path, nullptr, 0, nullptr);
  EXPECT_EQ(*back.At(0, 0), 0x007F0080u);
  EXPECT_EQ(*back.At(1, 0), 0x00123456u);
  EXPECT_EQ(*image.At(0, 0), 0x80FF0000u) << "the source is not changed";
}

TEST(Registry, HoldsEveryFormatInProbingOrderWithItsSettings) {
  struct Entry {
    const char* name;
    const char* extensions;
    uint depths;
    uchar grey_depths;
    bool interlace;
    signed char quality;
  };
  // TGA writes no interlaced files, so it does not offer the choice.
  const Entry table[] = {
      {"Dornick Frame", "*.FRM", 0x80800000, 0, false, 0},
      {"PC PaintBrush PCX", "*.PCX", 0x00800089, 0, false, 0},
      {"Amiga IFF", "*.IFF;*.LBM;*.BBM;*.ILB;*.ILBM", 0x008000FF, 0, false, 0},
      {"Windows Bitmap", "*.BMP;*.RLE", 0x80800089, 0, false, 0},
      {"JPEG", "*.JPG;*.JPEG;*.JFIF", 0x00800000, 0x80, true, 1},
      {"Portable Network Graphics", "*.PNG", 0x8080008B, 0, true, 0},
      {"Windows Metafile", "*.WMF", 0x00800000, 0, false, 0},
      {"Enhanced Metafile", "*.EMF", 0x00800000, 0, false, 0},
      {"Icon", "*.ICO", 0, 0, false, 0},
      {"AVI", "*.AVI", 0, 0, false, 0},
      {"CompuServe GIF", "*.GIF", 0x000000FF, 0, true, 0},
      {"TrueVision Targa", "*.TGA", 0x80800080, 0, false, 0},
      {"WAP Bitmap", "*.WBMP", 0x00000001, 0, false, 0},
  };
  GFXFile* f = GFXFile::Formats();
  for (const Entry& e : table) {
    ASSERT_NE(f, nullptr) << e.name << " is missing";
    EXPECT_EQ(f->name, e.name);
    EXPECT_EQ(f->extensions, e.extensions) << e.name;
    EXPECT_EQ(f->depths, e.depths) << e.name;
    EXPECT_EQ(f->grey_depths, e.grey_depths) << e.name;
    EXPECT_EQ(f->interlace, e.interlace) << e.name;
    EXPECT_EQ(f->quality, e.quality) << e.name;
    f = f->next;
  }
  EXPECT_EQ(f, nullptr) << "a format beyond the thirteen: " << f->name;
}

TEST(Registry, ExtensionMustEndTheListOrMeetASemicolon) {
  for (GFXFile* f = GFXFile::Formats(); f != nullptr; f = f->next) {
    if (f->extensions != "*.JPG;*.JPEG;*.JFIF") continue;
    EXPECT_EQ(GFXFile::GetDefaultFormat("a.jpeg"), f);
    EXPECT_EQ(GFXFile::GetDefaultFormat("a.JPG"), f);
    EXPECT_EQ(GFXFile::GetDefaultFormat("a.jpe"), nullptr);
    EXPECT_EQ(GFXFile::GetDefaultFormat("a.jp"), nullptr);
    return;
  }
  FAIL() << "no JPEG format registered";
}

TEST(Registry, SavingThroughALinkReplacesTheFileItNames) {
  TempHome home;
  const std::string real = home.WriteFile("real.frm", "old");
  const std::string link = home.Path() + "/link.frm";
  ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
  Buffer image = Image(2, 2);
  ASSERT_TRUE(GFXFile::Save(image, link, nullptr, nullptr));
  struct stat st {};
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link is still a link";
  Buffer back;
  ASSERT_TRUE(GFXFile::Load(back, real, nullptr, 0, nullptr));
  EXPECT_EQ(back.Width(), 2);
}

TEST(Registry, SavingKeepsTheOwnerGroupAndModeOfTheFileItReplaces) {
  if (!MayGiveFilesAway()) GTEST_SKIP() << "only the superuser can hand files to another user";
  TempHome home;
  const std::string path = home.WriteFile("shared.frm", "old");
  ASSERT_EQ(chown(path.c_str(), NobodyUser(), NobodyGroup()), 0);
  ASSERT_EQ(chmod(path.c_str(), 0604), 0);
  Buffer image = Image(2, 2);
  ASSERT_TRUE(GFXFile::Save(image, path, nullptr, nullptr));
  struct stat after {};
  ASSERT_EQ(stat(path.c_str(), &after), 0);
  EXPECT_EQ(after.st_mode & 07777, 0604u);
  EXPECT_EQ(after.st_uid, NobodyUser());
  EXPECT_EQ(after.st_gid, NobodyGroup());
}

// A link that leads nowhere, a device or a pipe is not an image file to replace: the save
// raises and leaves it as it was, with no file left behind.
TEST(Registry, SavingOverWhatIsNotAFileIsRefusedAndLeavesIt) {
  for (SpecialFile kind : {SpecialFile::DanglingLink, SpecialFile::LinkLoop, SpecialFile::Device,
                           SpecialFile::Fifo}) {
    SCOPED_TRACE(Describe(kind));
    TempHome home;
    const std::string path = home.Path() + "/out.frm";
    MakeSpecialFile(kind, path);
    const std::string before = Inspect(path);
    const std::vector<std::string> files = home.Files();
    Buffer image = Image(2, 2);
    EXPECT_THROW(GFXFile::Save(image, path, nullptr, nullptr), EFCreateError);
    EXPECT_EQ(Inspect(path), before);
    EXPECT_EQ(home.Files(), files);
  }
}

// What is not a regular file is refused as an image at once: a pipe is never waited on, a
// device never read.
TEST(Registry, OpeningWhatIsNotAFileIsRefusedWithoutWaiting) {
  for (SpecialFile kind : {SpecialFile::Fifo, SpecialFile::LinkToFifo, SpecialFile::Device, SpecialFile::Folder}) {
    SCOPED_TRACE(Describe(kind));
    TempHome home;
    const std::string path = home.Path() + "/in.png";
    MakeSpecialFile(kind, path);
    const std::string fifo = kind == SpecialFile::LinkToFifo ? path + ".fifo" : path;
    EXPECT_TRUE(FinishesWithoutAWriter(fifo, [&] {
      Buffer image;
      EXPECT_THROW(GFXFile::Load(image, path, nullptr, 0, nullptr), EFOpenError);
      EXPECT_TRUE(image.Empty());
    }));
    EXPECT_TRUE(FinishesWithoutAWriter(fifo, [&] { EXPECT_THROW(GFXFile::Test(path, nullptr), EFOpenError); }));
  }
  Buffer image;
  EXPECT_THROW(GFXFile::Load(image, "/dev/zero", nullptr, 0, nullptr), EFOpenError);
}

TEST(Registry, ReadOnlyFormatsRefuseToSaveBeforeAnyFileIsMade) {
  TempHome home;
  Buffer image = Image(2, 2);
  int checked = 0;
  for (GFXFile* f = GFXFile::Formats(); f != nullptr; f = f->next) {
    if (f->depths != 0 || f->grey_depths != 0) continue;
    GFXSaveParams params;
    params.format = f;
    EXPECT_THROW(GFXFile::Save(image, home.Path() + "/out", nullptr, &params), EInvalidImage) << f->name;
    ++checked;
  }
  EXPECT_TRUE(home.Files().empty());
  EXPECT_EQ(checked, 2) << "Icon and AVI are read only";
}

TEST(Registry, EveryFormatAnswersNoStreamWithNotThisFormat) {
  int asked = 0;
  for (GFXFile* f = GFXFile::Formats(); f != nullptr; f = f->next, ++asked) {
    EXPECT_EQ(f->Test(nullptr, nullptr), 0) << f->name;
    GFXFileDesc desc;
    desc.width = 7;
    EXPECT_EQ(f->Test(nullptr, &desc), 0) << f->name;
    EXPECT_EQ(desc.width, 7) << f->name << " filled a descriptor for nothing";
  }
  EXPECT_GT(asked, 0);
}
