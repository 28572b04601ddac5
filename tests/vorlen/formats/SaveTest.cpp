// Saving through the registry, across every writable format: settings out of range, the
// caller's pixels, palettes taken from another image, and images without pixels.

#include <gtest/gtest.h>


#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "support/TempHome.h"
#include "tests/vorlen/BufferFixtures.h"
#include "tests/vorlen/formats/FormatTesting.h"
#include "tests/vorlen/formats/PeakMemory.h"
#include "vorlen/formats/GFXFile.h"
#include "vorlen/formats/SaveRows.h"

namespace {

std::vector<GFXFile*> WritableFormats() {
  std::vector<GFXFile*> formats;
  for (GFXFile* f = GFXFile::Formats(); f != nullptr; f = f->next)
    if (f->depths != 0 || f->grey_depths != 0) formats.push_back(f);
  return formats;
}

// Every pixel with its transparency byte, row by row, and the buffer's rectangle: what a
// save must leave as it found it.
struct Snapshot {
  explicit Snapshot(const Buffer& b) : rect(b.rect), pixels(Pixels(b)) {}
  Rect rect;
  std::vector<uint> pixels;
  bool operator==(const Snapshot&) const = default;
};

// 16 colours in a pattern, each with its own transparency byte.
Buffer Sixteen(int w, int h) {
  Buffer b = Filled(w, h, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint k = static_cast<uint>((x * 3 + y * 5) % 16);
      *b.At(x, y) = (k * 0x0B000000u) | (k * 0x000F0E0Du & 0x00FFFFFF);
    }
  return b;
}

std::set<uint> PaletteEntries(const uchar* palette, int count) {
  std::set<uint> entries;
  for (int i = 0; i < count; ++i)
    entries.insert(uint(palette[3 * i]) << 16 | uint(palette[3 * i + 1]) << 8 | palette[3 * i + 2]);
  return entries;
}

std::set<uint> Colours(const Buffer& b) {
  std::set<uint> colours;
  for (const uint p : Pixels(b)) colours.insert(p & 0x00FFFFFF);
  return colours;
}

}  // namespace

TEST(Saving, DepthsBelowMinusOneAreRefusedBeforeAnyFileIsMade) {
  TempHome home;
  Buffer image = Sixteen(4, 3);
  for (GFXFile* f : WritableFormats()) {
    for (const signed char bits : {-2, -8, -128}) {
      for (const bool grey : {false, true}) {
        GFXSaveParams p;
        p.bits = bits;
        p.grey = grey;
        try {
          f->SetSaveDefaults(&p);
          ADD_FAILURE() << f->name << " accepted " << int(bits) << (grey ? " grey" : "");
        } catch (const EInvalidImage& e) {
          EXPECT_EQ(e.Message, "100");
        }
        p = GFXSaveParams();
        p.bits = bits;
        p.grey = grey;
        p.format = f;
        EXPECT_THROW(GFXFile::Save(image, home.Path() + "/x", nullptr, &p), EInvalidImage) << f->name;
      }
    }
  }
  EXPECT_TRUE(home.Files().empty());
}

TEST(Saving, AGivenPaletteIsRequiredWhenTheSettingsSayToUseIt) {
  TempHome home;
  Buffer image = Sixteen(4, 3);
  GFXSaveParams p;
  p.bits = 8;
  p.colours = -4;
  EXPECT_THROW(GFXFile::Save(image, home.Path() + "/x.bmp", nullptr, &p), EInvalidImage);
  EXPECT_TRUE(home.Files().empty());
  const uchar palette[12] = {0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 0, 255};
  p.palette = const_cast<uchar*>(palette);
  ASSERT_TRUE(GFXFile::Save(image, home.Path() + "/x.bmp", nullptr, &p));
  Buffer back;
  ASSERT_TRUE(GFXFile::Load(back, home.Path() + "/x.bmp", nullptr, 0, nullptr));
  for (const uint c : Colours(back)) EXPECT_TRUE(PaletteEntries(palette, 4).count(c)) << std::hex << c;
}

// Every depth a format writes, plain and grey, in both alpha modes.
std::vector<std::pair<signed char, bool>> WritableDepths(const GFXFile* f) {
  std::vector<std::pair<signed char, bool>> depths;
  for (int b = 1; b <= 32; ++b)
    if (f->depths & (1u << (b - 1))) depths.push_back({static_cast<signed char>(b), false});
  for (int b = 1; b <= 8; ++b)
    if (f->grey_depths & (1u << (b - 1))) depths.push_back({static_cast<signed char>(b), true});
  return depths;
}

TEST(Saving, NoSaveChangesTheCallersPixels) {
  TempHome home;
  for (const bool alpha : {false, true}) {
    AlphaMode mode(alpha);
    for (GFXFile* f : WritableFormats()) {
      for (const auto& [bits, grey] : WritableDepths(f)) {
        for (const bool transparent : {false, true}) {
          Buffer image = Sixteen(9, 6);
          Buffer source = Sixteen(10, 8);  // room enough to have served as scratch memory
          const Snapshot imageBefore(image), sourceBefore(source);
          GFXSaveParams p;
          p.format = f;
          p.bits = bits;
          p.grey = grey;
          p.transparent = transparent;
          p.palette_source = &source;
          GFXtra32 extra{0, 0, 0x00112233, 0x000F0E0D};
          const std::string what = f->name + " " + std::to_string(bits) + (grey ? " grey" : "") +
                                   (alpha ? " alpha" : "") + (transparent ? " transparent" : "");
          ASSERT_TRUE(GFXFile::Save(image, home.Path() + "/out", &extra, &p)) << what;
          EXPECT_TRUE(Snapshot(image) == imageBefore) << what;
          EXPECT_TRUE(Snapshot(source) == sourceBefore) << what;
        }
      }
    }
  }
}

TEST(Saving, IndexedSavesLeaveTheCallersPixelsAndKeepEveryColour) {
  TempHome home;
  for (const bool alpha : {false, true}) {
    AlphaMode mode(alpha);
    for (GFXFile* f : WritableFormats()) {
      if ((f->depths & 0x80) == 0) continue;
      Buffer image = Sixteen(7, 5);
      const Snapshot before(image);
      GFXSaveParams p;
      p.format = f;
      p.bits = 8;
      p.palette_source = &image;
      const std::string path = home.Path() + "/same" + f->DefaultExtension();
      ASSERT_TRUE(GFXFile::Save(image, path, nullptr, &p)) << f->name;
      EXPECT_TRUE(Snapshot(image) == before) << f->name << " changed the image it saved";
      Buffer back;
      ASSERT_TRUE(GFXFile::Load(back, path, nullptr, 0, nullptr)) << f->name;
      ASSERT_EQ(back.Width(), 7);
      ASSERT_EQ(back.Height(), 5);
      Buffer expected = Sixteen(7, 5);
      if (alpha) {  // opaque formats get the image composited over black
        Buffer black = Filled(7, 5, 0);
        black.Copy(expected, Pair<int>(0, 0), Buffer::kComposite);
        expected = black;
      }
      for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
          ASSERT_EQ(*back.At(x, y) & 0x00FFFFFF, *expected.At(x, y) & 0x00FFFFFF)
              << f->name << (alpha ? " alpha" : "") << " at " << x << "," << y;
    }
  }
}

TEST(Saving, ThePaletteComesFromThePaletteSourcesColours) {
  TempHome home;
  const uint four[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00FFFF00};
  for (const bool alpha : {false, true}) {
    AlphaMode mode(alpha);
    for (const char* extension : {".bmp", ".png", ".gif", ".pcx", ".tga", ".iff"}) {
      Buffer source = Filled(3, 3, four[0]);
      for (int i = 0; i < 9; ++i) *source.At(i % 3, i / 3) = four[i % 4];
      Buffer image = Filled(5, 4, 0);
      for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) *image.At(x, y) = static_cast<uint>(x * 40 + y * 9) * 0x010101u;
      const Snapshot sourceBefore(source), imageBefore(image);
      GFXSaveParams p;
      p.bits = 8;
      p.palette_source = &source;
      const std::string path = home.Path() + "/four" + extension;
      ASSERT_TRUE(GFXFile::Save(image, path, nullptr, &p)) << extension;
      EXPECT_TRUE(Snapshot(source) == sourceBefore) << extension;
      EXPECT_TRUE(Snapshot(image) == imageBefore) << extension;
      uchar palette[768] = {};
      GFXFileDesc desc;
      desc.palette_data = palette;
      Buffer back;
      ASSERT_TRUE(GFXFile::Load(back, path, nullptr, 0, &desc)) << extension;
      const std::set<uint> wanted(four, four + 4);
      const std::set<uint> written = PaletteEntries(palette, 4);
      EXPECT_EQ(written, wanted) << extension << (alpha ? " alpha" : "");
      const std::set<uint> drawn = Colours(back);
      EXPECT_TRUE(std::includes(wanted.begin(), wanted.end(), drawn.begin(), drawn.end()))
          << extension << ": every pixel is one of the palette source's colours";
    }
  }
}

// An image without pixels either comes back as one, or is refused with the library's error
// before the file at the path is touched.
TEST(Saving, EmptyImagesRoundTripOrAreRefusedAndTheOldFileKept) {
  TempHome home;
  for (const bool alpha : {false, true}) {
    AlphaMode mode(alpha);
    for (GFXFile* f : WritableFormats()) {
      std::vector<std::pair<signed char, bool>> depths = WritableDepths(f);
      depths.push_back({0, false});
      for (const auto& [bits, grey] : depths) {
        const std::string what = f->name + " " + std::to_string(bits) + (grey ? " grey" : "") + (alpha ? " alpha" : "");
        const std::string path = home.WriteFile("old" + f->DefaultExtension(), "the old file");
        const std::vector<std::string> filesBefore = home.Files();
        GFXSaveParams p;
        p.format = f;
        p.bits = bits;
        p.grey = grey;
        Buffer empty;
        bool saved = false;
        try {
          saved = GFXFile::Save(empty, path, nullptr, &p);
        } catch (const EInvalidImage& e) {
          EXPECT_EQ(e.Message, "100") << what;
          EXPECT_EQ(FileContents(path), "the old file") << what;
          EXPECT_EQ(home.Files(), filesBefore) << what;
          continue;
        }
        ASSERT_TRUE(saved) << what;
        Buffer back;
        try {
          EXPECT_TRUE(GFXFile::Load(back, path, nullptr, 0, nullptr)) << what;
          EXPECT_TRUE(back.Empty()) << what;
        } catch (const Exception& e) {
          ADD_FAILURE() << what << " wrote a file its reader refuses: " << e.Message;
        }
      }
    }
  }
}

namespace {

// Every transparency from opaque to clear over a shaded picture, so that compositing shows
// in every pixel.
Buffer Translucent(int w, int h) {
  Buffer b = Filled(w, h, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      *b.At(x, y) = uint((x * 7 + y * 3) & 0xFF) << 24 | uint(x * 255 / w) << 16 |
                    uint(y * 255 / h) << 8 | uint((x ^ y) & 0xFF);
  return b;
}

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct RowSave {
  const char* extension;
  signed char bits;
  bool grey;
  bool interlaced;
};

// A save by path makes its settings the format's defaults; these tests leave them as found.
class DefaultsKept {
public:
  explicit DefaultsKept(GFXFile* format) : format_(format), kept_(format->defaults) {}
  ~DefaultsKept() { format_->defaults = kept_; }
  DefaultsKept(const DefaultsKept&) = delete;
  DefaultsKept& operator=(const DefaultsKept&) = delete;

private:
  GFXFile* format_;
  GFXSaveParams kept_;
};

const RowSave kRowSaves[] = {
    {".png", 24, false, false}, {".png", 24, false, true},  {".jpg", 24, false, false},
    {".jpg", 24, false, true},  {".jpg", 8, true, false},
};

}  // namespace

// Formats that composite row by row as they write give the very bytes they wrote from a
// whole composited copy, the picture's height running past the rows held at once.
TEST(Saving, CompositingByRowsWritesWhatAWholeCompositedCopyGives) {
  TempHome home;
  AlphaMode alpha(true);
  Buffer source = Translucent(53, 2 * SaveRows::kHeld + 7);
  for (const RowSave& s : kRowSaves) {
    GFXFile* const format = GFXFile::GetDefaultFormat(std::string("x") + s.extension);
    ASSERT_NE(format, nullptr);
    ASSERT_TRUE(format->SavesByRows());
    DefaultsKept kept(format);
    GFXSaveParams p;
    p.bits = s.bits;
    p.grey = s.grey;
    p.interlaced = s.interlaced;
    p.quality = 90;
    GFXtra32 extra{0, 0, 0x00112233, 0x00C08040};
    const std::string path = home.Path() + "/rows" + s.extension;
    ASSERT_TRUE(GFXFile::Save(source, path, &extra, &p)) << s.extension;

    GFXSaveParams whole = p;
    format->SetSaveDefaults(&whole);
    Buffer work;
    Buffer* composited = GFXFile::CompositeForSave(&work, &source, &extra);
    TMemoryStream expected;
    ASSERT_TRUE(format->Save(*composited, &expected, &whole, &extra));
    EXPECT_EQ(FileBytes(path), std::string(static_cast<const char*>(expected.Memory()), expected.Size()))
        << s.extension << " " << int(s.bits) << (s.interlaced ? " interlaced" : "");
  }
}

// A save that composites takes a few rows more than one that does not, not a copy of the
// picture. The two are compared because the sanitizers keep freed blocks for a while, which
// both pay alike; the benchmark save_memory_bench measures the peak of a release build.
TEST(Saving, CompositingSavesTakeLittleBesideThePicture) {
  TempHome home;
  Buffer image = Translucent(2000, 1500);
  const long pictureKiB = 2000L * 1500 * 4 / 1024;
  for (const char* extension : {".png", ".jpg"}) {
    DefaultsKept kept(GFXFile::GetDefaultFormat(std::string("x") + extension));
    GFXSaveParams p;
    p.bits = 24;
    GFXtra32 extra{0, 0, 0, 0x00FFFFFF};
    const std::string path = home.Path() + "/big" + extension;
    long growth[2];
    for (const bool alpha : {false, true}) {
      AlphaMode mode(alpha);
      growth[alpha] = PeakMemoryGrowthKiB([&] { GFXFile::Save(image, path, &extra, &p); });
      ASSERT_GE(growth[alpha], 0) << extension;
    }
    EXPECT_LT(growth[1], growth[0] + pictureKiB / 5) << extension;
  }
}
