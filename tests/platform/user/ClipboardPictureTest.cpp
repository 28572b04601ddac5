// Pictures on the clipboard: a packed DIB, a bitmap and a palette set in one format come back
// with the same pixels in the others, damaged DIBs are refused, the formats the clipboard can
// make are listed, promised pictures are rendered by their owner, and the clipboard frees the
// GDI objects it was given.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/user/Clipboard.h"
#include "platform/user/Desktop.h"
#include "platform/user/DesktopImageFile.h"
#include "platform/user/User.h"
#include "support/UiDriver.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Le16(Bytes& b, unsigned v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Le32(Bytes& b, std::uint32_t v) {
  Le16(b, v & 0xFFFF);
  Le16(b, v >> 16);
}
std::uint32_t Get32(const Bytes& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t(b[at + 3]) << 24;
}

// A test picture: each pixel's colour (0x00RRGGBB) or, at 8 bits and fewer, its index.
struct Picture {
  int width = 7, height = 5, bits = 24;
  std::vector<std::uint32_t> table;  // indexed pictures: 0x00RRGGBB
  std::function<std::uint32_t(int x, int y)> value;
  std::uint32_t Colour(int x, int y) const { return bits <= 8 ? table[value(x, y)] : value(x, y); }
};

Picture Rgb24() {
  Picture p;
  p.value = [](int x, int y) { return std::uint32_t(x * 36) << 16 | std::uint32_t(y * 50) << 8 | std::uint32_t(x * y * 7); };
  return p;
}
Picture Indexed8() {
  Picture p;
  p.bits = 8;
  p.table = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xFEDCBA};
  p.value = [](int x, int y) { return std::uint32_t((x + 2 * y) % 6); };
  return p;
}
Picture Mono1() {
  Picture p;
  p.bits = 1;
  p.width = 19;  // rows of more than one byte, not whole
  p.table = {0x000000, 0xFFFFFF};
  p.value = [](int x, int y) { return std::uint32_t((x * x + y) % 3 == 0); };
  return p;
}

// The packed DIB of a picture, bottom row first, written byte by byte.
Bytes PackedDib(const Picture& p) {
  Bytes b;
  const size_t stride = ((p.width * p.bits + 31) / 32) * 4;
  Le32(b, 40);
  Le32(b, p.width);
  Le32(b, p.height);
  Le16(b, 1);
  Le16(b, p.bits);
  Le32(b, 0);
  Le32(b, static_cast<std::uint32_t>(stride * p.height));
  Le32(b, 0);
  Le32(b, 0);
  Le32(b, p.table.size() < (1u << p.bits) ? static_cast<std::uint32_t>(p.table.size()) : 0);
  Le32(b, 0);
  for (std::uint32_t c : p.table) Le32(b, c);
  for (int y = p.height - 1; y >= 0; --y) {
    Bytes row(stride, 0);
    for (int x = 0; x < p.width; ++x) {
      const std::uint32_t v = p.value(x, y);
      if (p.bits == 24) {
        row[3 * x] = v & 0xFF;
        row[3 * x + 1] = (v >> 8) & 0xFF;
        row[3 * x + 2] = (v >> 16) & 0xFF;
      } else if (p.bits == 8) {
        row[x] = static_cast<std::uint8_t>(v);
      } else if (v) {
        row[x / 8] |= 0x80 >> (x % 8);
      }
    }
    b.insert(b.end(), row.begin(), row.end());
  }
  return b;
}

// The colour of a pixel of a packed DIB with a 40-byte header (BI_RGB), read by hand.
std::uint32_t DibPixel(const Bytes& dib, int x, int y) {
  const int width = static_cast<int>(Get32(dib, 4)), height = static_cast<int>(Get32(dib, 8));
  const int bits = dib[14];
  const std::uint32_t used = Get32(dib, 32);
  const size_t entries = bits <= 8 ? (used ? used : 1u << bits) : 0;
  const size_t stride = ((width * bits + 31) / 32) * 4;
  const int row = height > 0 ? height - 1 - y : y;
  const size_t at = 40 + entries * 4 + row * stride;
  int index = 0;
  switch (bits) {
    case 32: return Get32(dib, at + 4 * x) & 0xFFFFFF;
    case 24: return dib[at + 3 * x] | dib[at + 3 * x + 1] << 8 | dib[at + 3 * x + 2] << 16;
    case 8: index = dib[at + x]; break;
    case 4: index = (dib[at + x / 2] >> (x % 2 ? 0 : 4)) & 15; break;
    case 1: index = (dib[at + x / 8] >> (7 - x % 8)) & 1; break;
    default: return 0xDEADBEEF;
  }
  return Get32(dib, 40 + 4 * index) & 0xFFFFFF;
}

// The pixels of a bitmap, top row first, through GetDIBits at 32 bits.
std::vector<std::uint32_t> BitmapPixels(HBITMAP bitmap, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biBitCount = 32;
  std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * height);
  if (GetDIBits(nullptr, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS) != height) return {};
  for (std::uint32_t& p : pixels) p &= 0xFFFFFF;
  return pixels;
}

std::vector<std::uint32_t> Expected(const Picture& p) {
  std::vector<std::uint32_t> out;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) out.push_back(p.Colour(x, y));
  return out;
}

std::vector<std::uint32_t> DibPixels(const Bytes& dib, const Picture& p) {
  std::vector<std::uint32_t> out;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) out.push_back(DibPixel(dib, x, y));
  return out;
}

HGLOBAL Block(const Bytes& bytes) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
  GlobalUnlock(block);
  return block;
}

Bytes BlockBytes(HANDLE block) {
  const auto* p = static_cast<const std::uint8_t*>(GlobalLock(block));
  if (!p) return {};
  Bytes b(p, p + GlobalSize(block));
  GlobalUnlock(block);
  return b;
}

HBITMAP AsBitmap(HANDLE h) { return static_cast<HBITMAP>(const_cast<void*>(h)); }
HPALETTE AsPalette(HANDLE h) { return static_cast<HPALETTE>(const_cast<void*>(h)); }

// The picture as a bitmap the way a program makes one: a DIB section of its own depth and
// table for the indexed ones, a plain bitmap for the others.
HBITMAP MakeBitmap(const Picture& p) {
  const Bytes dib = PackedDib(p);
  std::vector<std::uint32_t> info((dib.size() + 3) / 4);
  std::memcpy(info.data(), dib.data(), dib.size());
  auto* bmi = reinterpret_cast<BITMAPINFO*>(info.data());
  const size_t bitsAt = 40 + p.table.size() * 4;
  if (p.bits <= 8) {
    void* bits = nullptr;
    HBITMAP b = CreateDIBSection(nullptr, bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::memcpy(bits, dib.data() + bitsAt, dib.size() - bitsAt);
    return b;
  }
  HBITMAP b = CreateBitmap(p.width, p.height, 1, 32, nullptr);
  SetDIBits(nullptr, b, 0, p.height, dib.data() + bitsAt, bmi, DIB_RGB_COLORS);
  return b;
}

void Put(UINT format, HANDLE data) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  EXPECT_EQ(SetClipboardData(format, data), data);
  CloseClipboard();
}

struct Kind {
  const char* name;
  Picture (*make)();
};
const Kind kKinds[] = {{"24-bit", Rgb24}, {"8-bit with a palette", Indexed8}, {"1-bit", Mono1}};

TEST(ClipboardPicture, ADibPastesBackAsTheSameBitmapAndDib) {
  for (const Kind& kind : kKinds) {
    UiDriver ui;
    const Picture p = kind.make();
    const Bytes dib = PackedDib(p);
    Put(CF_DIB, Block(dib));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP)) << kind.name;
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(BlockBytes(GetClipboardData(CF_DIB)), dib) << kind.name << ": the DIB as it was set";
    HBITMAP bitmap = AsBitmap(GetClipboardData(CF_BITMAP));
    ASSERT_NE(bitmap, nullptr) << kind.name;
    EXPECT_EQ(BitmapPixels(bitmap, p.width, p.height), Expected(p)) << kind.name;
    EXPECT_EQ(AsBitmap(GetClipboardData(CF_BITMAP)), bitmap) << kind.name << ": made once";
    CloseClipboard();
  }
}

TEST(ClipboardPicture, ABitmapPastesBackAsTheSameDib) {
  for (const Kind& kind : kKinds) {
    UiDriver ui;
    const Picture p = kind.make();
    HBITMAP bitmap = MakeBitmap(p);
    ASSERT_NE(bitmap, nullptr);
    Put(CF_BITMAP, bitmap);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB)) << kind.name;
    ASSERT_TRUE(OpenClipboard(nullptr));
    const Bytes dib = BlockBytes(GetClipboardData(CF_DIB));
    CloseClipboard();
    ASSERT_GE(dib.size(), 40u) << kind.name;
    EXPECT_EQ(static_cast<int>(Get32(dib, 8)), p.height) << kind.name << ": bottom row first";
    EXPECT_EQ(DibPixels(dib, p), Expected(p)) << kind.name;
    // An indexed section keeps its depth, table and indexes: the very DIB it was made from.
    if (p.bits <= 8) {
      EXPECT_EQ(dib, PackedDib(p)) << kind.name;
    }
  }
}

TEST(ClipboardPicture, ABitmapWithAPaletteBecomesAnIndexedDib) {
  UiDriver ui;
  Picture p = Indexed8();
  Picture plain = p;
  plain.bits = 24;
  plain.value = [p](int x, int y) { return p.Colour(x, y); };
  HBITMAP bitmap = MakeBitmap(plain);  // 32 bits a pixel, every one a colour of the palette
  std::vector<std::uint8_t> log(sizeof(LOGPALETTE) + 6 * sizeof(PALETTEENTRY));
  auto* lp = reinterpret_cast<LOGPALETTE*>(log.data());
  lp->palVersion = 0x300;
  lp->palNumEntries = 6;
  for (int i = 0; i < 6; ++i)
    lp->palPalEntry[i] = PALETTEENTRY{static_cast<BYTE>(p.table[i] >> 16), static_cast<BYTE>(p.table[i] >> 8),
                                      static_cast<BYTE>(p.table[i]), 0};
  HPALETTE palette = CreatePalette(lp);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_BITMAP, bitmap);
  SetClipboardData(CF_PALETTE, palette);
  const Bytes dib = BlockBytes(GetClipboardData(CF_DIB));
  CloseClipboard();
  ASSERT_GE(dib.size(), 40u);
  EXPECT_EQ(dib[14], 4) << "six colours fit in four bits";
  EXPECT_EQ(Get32(dib, 32), 6u) << "the table holds the palette's colours";
  EXPECT_EQ(DibPixels(dib, p), Expected(p));
}

TEST(ClipboardPicture, AnIndexedDibGivesItsColoursAsAPalette) {
  UiDriver ui;
  const Picture p = Indexed8();
  Put(CF_DIB, Block(PackedDib(p)));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_PALETTE));
  ASSERT_TRUE(OpenClipboard(nullptr));
  HPALETTE palette = AsPalette(GetClipboardData(CF_PALETTE));
  ASSERT_NE(palette, nullptr);
  PALETTEENTRY entries[8] = {};
  ASSERT_EQ(GetPaletteEntries(palette, 0, 8, entries), 6u);
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(std::uint32_t(entries[i].peRed) << 16 | entries[i].peGreen << 8 | entries[i].peBlue, p.table[i]);
  CloseClipboard();
  // A DIB without a table gives none.
  Put(CF_DIB, Block(PackedDib(Rgb24())));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_PALETTE));
}

TEST(ClipboardPicture, FormatsTheClipboardCanMakeAreListedAfterThoseSet) {
  UiDriver ui;
  const UINT mine = RegisterClipboardFormat("Quillo Selection");
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_DIB, Block(PackedDib(Indexed8())));
  SetClipboardData(mine, Block({1, 2, 3}));
  std::vector<UINT> listed;
  for (UINT f = EnumClipboardFormats(0); f; f = EnumClipboardFormats(f)) listed.push_back(f);
  EXPECT_EQ(listed, (std::vector<UINT>{CF_DIB, mine, CF_BITMAP, CF_PALETTE}));
  GetClipboardData(CF_BITMAP);  // made now: still listed once
  listed.clear();
  for (UINT f = EnumClipboardFormats(0); f; f = EnumClipboardFormats(f)) listed.push_back(f);
  EXPECT_EQ(listed, (std::vector<UINT>{CF_DIB, mine, CF_BITMAP, CF_PALETTE}));
  CloseClipboard();
  EXPECT_EQ(CountClipboardFormats(), 4);

  Put(CF_BITMAP, MakeBitmap(Rgb24()));
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_EQ(EnumClipboardFormats(0), CF_BITMAP);
  EXPECT_EQ(EnumClipboardFormats(CF_BITMAP), CF_DIB);
  EXPECT_EQ(EnumClipboardFormats(CF_DIB), 0u);
  CloseClipboard();
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_PALETTE));
}

TEST(ClipboardPicture, DamagedDibsAreRefusedAsBitmapsAndPalettes) {
  const Bytes good = PackedDib(Indexed8());
  struct Case {
    const char* what;
    std::function<void(Bytes&)> damage;
  };
  auto set32 = [](Bytes& b, size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  const Case cases[] = {
      {"header size 0", [&](Bytes& b) { set32(b, 0, 0); }},
      {"header larger than the block", [&](Bytes& b) { set32(b, 0, 100000); }},
      {"width 0", [&](Bytes& b) { set32(b, 4, 0); }},
      {"negative width", [&](Bytes& b) { set32(b, 4, 0xFFFFFFF0u); }},
      {"height 0", [&](Bytes& b) { set32(b, 8, 0); }},
      {"the lowest height there is", [&](Bytes& b) { set32(b, 8, 0x80000000u); }},
      {"two planes", [&](Bytes& b) { b[12] = 2; }},
      {"7 bits a pixel", [&](Bytes& b) { b[14] = 7; }},
      {"run-length compressed", [&](Bytes& b) { set32(b, 16, 1); }},
      {"more colours than 8 bits have", [&](Bytes& b) { set32(b, 32, 300); }},
      {"more colours than the block holds", [&](Bytes& b) { set32(b, 32, 256); }},
      {"rows cut short", [&](Bytes& b) { b.pop_back(); }},
      {"a huge picture in a small block", [&](Bytes& b) { set32(b, 4, 60000); set32(b, 8, 60000); }},
      {"only part of a header", [&](Bytes& b) { b.resize(30); }},
      {"bit fields without their masks", [&](Bytes& b) { b[14] = 32; set32(b, 16, 3); set32(b, 32, 0); b.resize(44); }},
  };
  for (const Case& c : cases) {
    UiDriver ui;
    Bytes bad = good;
    c.damage(bad);
    Put(CF_DIB, Block(bad));
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(BlockBytes(GetClipboardData(CF_DIB)), bad) << c.what << ": the block itself stays as set";
    EXPECT_EQ(GetClipboardData(CF_BITMAP), nullptr) << c.what;
    EXPECT_EQ(GetClipboardData(CF_PALETTE), nullptr) << c.what;
    CloseClipboard();
  }
}

TEST(ClipboardPicture, OnlyBitmapsArePicturesAndTheClipboardFreesThem) {
  UiDriver ui;
  const Picture p = Rgb24();
  HBITMAP bitmap = MakeBitmap(p);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  EXPECT_EQ(SetClipboardData(CF_BITMAP, Block({1, 2, 3})), nullptr) << "a memory block is no bitmap";
  EXPECT_EQ(SetClipboardData(CF_DIB, bitmap), nullptr) << "a bitmap is no memory block";
  EXPECT_EQ(SetClipboardData(CF_PALETTE, bitmap), nullptr) << "a bitmap is no palette";
  EXPECT_EQ(SetClipboardData(CF_BITMAP, bitmap), bitmap);
  HANDLE made = GetClipboardData(CF_DIB);
  ASSERT_NE(made, nullptr);
  // A new bitmap replaces the old and the DIB made from it.
  HBITMAP second = MakeBitmap(Indexed8());
  SetClipboardData(CF_BITMAP, second);
  EXPECT_EQ(GetObjectType(bitmap), 0u) << "the replaced bitmap is deleted";
  const Bytes dib = BlockBytes(GetClipboardData(CF_DIB));
  ASSERT_GE(dib.size(), 40u);
  EXPECT_EQ(dib[14], 8) << "made again from the new bitmap";
  HANDLE madeBitmap = nullptr;
  EmptyClipboard();
  EXPECT_EQ(GetObjectType(second), 0u) << "emptying deletes the bitmap it was given";
  SetClipboardData(CF_DIB, Block(PackedDib(p)));
  madeBitmap = GetClipboardData(CF_BITMAP);
  ASSERT_NE(madeBitmap, nullptr);
  EmptyClipboard();
  EXPECT_EQ(GetObjectType(AsBitmap(madeBitmap)), 0u) << "and the bitmap it made";
  CloseClipboard();
}

// Owners that promise a DIB and render it when asked, or all at once when they go.
class Promiser {
public:
  Promiser() {
    WNDCLASS wc;
    wc.lpfnWndProc = [this](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
      if (m == WM_RENDERFORMAT) {
        rendered.push_back(static_cast<UINT>(wp));
        if (wp == CF_DIB) SetClipboardData(CF_DIB, Block(PackedDib(Rgb24())));
        return 0;
      }
      if (m == WM_RENDERALLFORMATS) {
        rendered.push_back(0);
        if (OpenClipboard(w)) {
          SetClipboardData(CF_DIB, Block(PackedDib(Rgb24())));
          CloseClipboard();
        }
        return 0;
      }
      return DefWindowProc(w, m, wp, lp);
    };
    wc.lpszClassName = "PicturePromiser";
    RegisterClass(&wc);
  }
  ~Promiser() {
    for (HWND w : made_)
      if (IsWindow(w)) DestroyWindow(w);
    UnregisterClass("PicturePromiser", nullptr);
  }
  HWND Make() {
    made_.push_back(
        CreateWindowEx(0, "PicturePromiser", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    return made_.back();
  }
  std::vector<UINT> rendered;

private:
  std::vector<HWND> made_;
};

TEST(ClipboardPicture, APromisedDibIsRenderedForTheBitmapAskedFor) {
  UiDriver ui;
  Promiser owners;
  HWND owner = owners.Make();
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  SetClipboardData(CF_DIB, nullptr);
  CloseClipboard();
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
  EXPECT_TRUE(owners.rendered.empty());
  ASSERT_TRUE(OpenClipboard(nullptr));
  HBITMAP bitmap = AsBitmap(GetClipboardData(CF_BITMAP));
  CloseClipboard();
  EXPECT_EQ(owners.rendered, std::vector<UINT>{CF_DIB});
  EXPECT_EQ(BitmapPixels(bitmap, 7, 5), Expected(Rgb24()));

  // An owner that goes renders what it still promised, and the picture stays.
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  SetClipboardData(CF_DIB, nullptr);
  CloseClipboard();
  owners.rendered.clear();
  DestroyWindow(owner);
  EXPECT_EQ(owners.rendered, std::vector<UINT>{0});
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_EQ(BlockBytes(GetClipboardData(CF_DIB)), PackedDib(Rgb24()));
  CloseClipboard();
}

TEST(ClipboardPicture, APictureGoesToTheHostAndANewerHostPictureComesBack) {
  UiDriver ui;
  Host& host = DesktopHost();
  // A copied selection: the pixels outside it fully transparent.
  Bytes dib(40, 0);
  const std::uint32_t header[] = {40, 4, 3};
  std::memcpy(dib.data(), header, sizeof header);
  dib[12] = 1;
  dib[14] = 32;
  for (int i = 0; i < 12; ++i) Le32(dib, i % 3 ? 0x00102030u + i : 0xFF000000u);
  const UINT mine = RegisterClipboardFormat("Quillo Selection");
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_DIB, Block(dib));
  SetClipboardData(mine, Block({7}));
  CloseClipboard();
  Host::ClipboardFile file;
  ASSERT_TRUE(host.GetClipboardFile({"image/bmp"}, file));
  ASSERT_TRUE(host.GetClipboardFile({"image/png"}, file));
  Bytes back;
  ASSERT_TRUE(PackedDibFromPngFile(file.bytes.data(), file.bytes.size(), back));
  EXPECT_EQ(Bytes(back.begin() + 40, back.end()), Bytes(dib.begin() + 40, dib.end())) << "transparency kept as alpha";
  // The host holds the program's own picture: the program's clipboard stays whole.
  EXPECT_TRUE(IsClipboardFormatAvailable(mine));

  // Another program copies a picture (and text with it): it replaces the program's clipboard.
  const Picture p = Rgb24();
  const Bytes theirs = PackedDib(p);
  const std::string text = "a picture";
  host.SetClipboardContent(&text, {{"image/bmp", BmpFileFromPackedDib(theirs.data(), theirs.size())}});
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_FALSE(IsClipboardFormatAvailable(mine));
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_EQ(BitmapPixels(AsBitmap(GetClipboardData(CF_BITMAP)), p.width, p.height), Expected(p));
  CloseClipboard();

  // A picture the program cannot read is passed over; the text beside it still comes.
  Bytes damaged = PngFileFromPackedDib(theirs.data(), theirs.size());
  damaged.resize(damaged.size() / 2);
  const std::string other = "other text";
  host.SetClipboardContent(&other, {{"image/png", damaged}});
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_DIB));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
}

// The host's files are made when another program asks, from the clipboard as it stands then:
// never a picture the program has since taken away.
TEST(ClipboardPicture, TheHostIsGivenOnlyThePictureTheClipboardHoldsNow) {
  UiDriver ui;
  Host& host = DesktopHost();
  const Bytes first = PackedDib(Rgb24());
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_DIB, Block(first));
  CloseClipboard();

  // Emptied and not yet closed: what the host was offered is gone.
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  Host::ClipboardFile file;
  EXPECT_FALSE(host.GetClipboardFile({"image/png", "image/bmp"}, file));
  SetClipboardData(CF_TEXT, Block({'t', 0}));
  CloseClipboard();
  EXPECT_FALSE(host.GetClipboardFile({"image/png", "image/bmp"}, file)) << "text alone now";

  // The next picture copied reaches the host.
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_DIB, Block(first));
  CloseClipboard();
  ASSERT_TRUE(host.GetClipboardFile({"image/bmp"}, file));
  EXPECT_EQ(file.bytes, BmpFileFromPackedDib(first.data(), first.size()));
}

}  // namespace
