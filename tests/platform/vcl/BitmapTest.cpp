#include <gtest/gtest.h>

#include <functional>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi/DibFile.h"
#include "platform/rtl/Exceptions.h"
#include "platform/user/User.h"
#include "platform/vcl/Bitmap.h"
#include "support/Canvas.h"
#include "support/TempHome.h"

namespace {

std::vector<std::uint8_t> Saved(TBitmap& bitmap) {
  TMemoryStream stream;
  bitmap.SaveToStream(&stream);
  const auto* bytes = static_cast<const std::uint8_t*>(stream.Memory());
  return std::vector<std::uint8_t>(bytes, bytes + stream.Size());
}

void Load(TBitmap& bitmap, const std::vector<std::uint8_t>& bytes) {
  TMemoryStream stream;
  stream.Write(bytes.data(), static_cast<int>(bytes.size()));
  stream.SetPosition(0);
  bitmap.LoadFromStream(&stream);
}

// Pixels as ImageMagick reads the file (0x00RRGGBB, rows top first); empty when it is not
// installed or cannot read it.
std::vector<std::uint32_t> MagickPixels(const std::string& path, int& width, int& height) {
  if (std::system("/usr/bin/convert -version >/dev/null 2>&1") != 0) return {};
  const std::string command = "/usr/bin/convert '" + path + "' -depth 8 ppm:- 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return {};
  int maxval = 0;
  std::vector<std::uint32_t> pixels;
  if (std::fscanf(pipe, "P6 %d %d %d", &width, &height, &maxval) == 3 && maxval == 255) {
    std::fgetc(pipe);
    pixels.resize(static_cast<size_t>(width) * height);
    for (std::uint32_t& p : pixels) {
      int r = std::fgetc(pipe), g = std::fgetc(pipe), b = std::fgetc(pipe);
      p = static_cast<std::uint32_t>(r << 16 | g << 8 | b);
    }
  }
  pclose(pipe);
  return pixels;
}

bool HaveMagick() { return std::system("/usr/bin/convert -version >/dev/null 2>&1") == 0; }

// A 7 x 5 picture in colours every depth's table holds exactly: black, white, red, blue.
void PaintTestPicture(TBitmap& b) {
  b.SetSize(7, 5);
  TCanvas* c = b.GetCanvas();
  c->GetBrush()->SetColor(clWhite);
  c->FillRect(TRect(0, 0, 7, 5));
  c->GetBrush()->SetColor(clRed);
  c->FillRect(TRect(0, 0, 3, 2));
  c->GetBrush()->SetColor(clBlue);
  c->FillRect(TRect(4, 3, 7, 5));
  c->SetPixel(6, 0, clBlack);
}

TColor Expected(TPixelFormat format, TColor colour) {
  // In black and white, red and blue are nearer black.
  if (format == pf1bit && colour != clWhite) return clBlack;
  return colour;
}

struct FormatCase {
  TPixelFormat format;
  int bits;
  TPixelFormat loadedAs;
};

TEST(Bitmap, EveryDepthRoundTripsThroughBmpFiles) {
  TempHome home;
  const FormatCase cases[] = {{pf1bit, 1, pf1bit},   {pf4bit, 4, pf4bit},   {pf8bit, 8, pf8bit},
                              {pf15bit, 16, pf15bit}, {pf16bit, 16, pf16bit}, {pf24bit, 24, pf24bit},
                              {pf32bit, 32, pf32bit}, {pfDevice, 32, pf32bit}};
  for (const FormatCase& c : cases) {
    TBitmap b;
    b.SetPixelFormat(c.format);
    PaintTestPicture(b);
    std::vector<std::uint8_t> bytes = Saved(b);
    BmpFileImage image;
    ASSERT_TRUE(ReadBmpFile(bytes.data(), bytes.size(), image)) << c.format;
    const auto* info = reinterpret_cast<const BITMAPINFO*>(image.info.data());
    EXPECT_EQ(info->bmiHeader.biBitCount, c.bits) << c.format;
    EXPECT_EQ(info->bmiHeader.biHeight, 5) << c.format;  // bottom row first

    TBitmap loaded;
    Load(loaded, bytes);
    EXPECT_EQ(loaded.GetPixelFormat(), c.loadedAs) << c.format;
    ASSERT_EQ(loaded.GetWidth(), 7);
    ASSERT_EQ(loaded.GetHeight(), 5);
    const struct {
      int x, y;
      TColor colour;
    } probes[] = {{1, 1, clRed}, {5, 4, clBlue}, {6, 0, clBlack}, {3, 3, clWhite}, {0, 4, clWhite}};
    for (const auto& p : probes)
      EXPECT_EQ(loaded.GetCanvas()->GetPixel(p.x, p.y), Expected(c.format, p.colour)) << c.format << " " << p.x << "," << p.y;

    // Another reader sees the same picture.
    const std::string path = home.Path() + "/depth.bmp";
    b.SaveToFile(path);
    int w = 0, h = 0;
    std::vector<std::uint32_t> seen = MagickPixels(path, w, h);
    if (seen.empty()) continue;
    ASSERT_EQ(w, 7);
    ASSERT_EQ(h, 5);
    for (const auto& p : probes)
      EXPECT_EQ(seen[p.y * 7 + p.x], PixelFromColor(ColorToRGB(Expected(c.format, p.colour)))) << c.format;
  }
}

TEST(Bitmap, LoadsWhatImageMagickWrites) {
  if (!HaveMagick()) GTEST_SKIP() << "ImageMagick is not installed";
  TempHome home;
  const std::string source = home.Path() + "/source.ppm";
  {
    // 6 x 4: a red row, a green row, a blue row and a grey one.
    std::string ppm = "P6 6 4 255\n";
    const unsigned char rows[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {128, 128, 128}};
    for (const auto& row : rows)
      for (int x = 0; x < 6; ++x) ppm.append(reinterpret_cast<const char*>(row), 3);
    FILE* f = std::fopen(source.c_str(), "wb");
    std::fwrite(ppm.data(), 1, ppm.size(), f);
    std::fclose(f);
  }
  // Four colours make ImageMagick write 4-bit palettes (RLE4 when compressed).
  const struct {
    const char* options;
    TPixelFormat format;
  } variants[] = {{"-type truecolor BMP3:", pf24bit},
                  {"-type palette BMP3:", pf4bit},
                  {"-type palette -compress RLE BMP3:", pf8bit},
                  {"-define bmp:format=bmp4 -type truecolormatte BMP:", pf32bit}};
  for (const auto& v : variants) {
    const std::string path = home.Path() + "/written.bmp";
    std::string options = v.options;
    const std::string prefix = options.substr(options.rfind(' ') + 1);
    options = options.substr(0, options.rfind(' '));
    ASSERT_EQ(std::system(("/usr/bin/convert '" + source + "' " + options + " " + prefix + "'" + path + "' 2>/dev/null").c_str()), 0)
        << v.options;
    TBitmap b;
    b.LoadFromFile(path);
    EXPECT_EQ(b.GetPixelFormat(), v.format) << v.options;
    EXPECT_EQ(b.GetCanvas()->GetPixel(5, 0), clRed) << v.options;
    EXPECT_EQ(b.GetCanvas()->GetPixel(0, 1), clLime) << v.options;
    EXPECT_EQ(b.GetCanvas()->GetPixel(2, 2), clBlue) << v.options;
    EXPECT_EQ(b.GetCanvas()->GetPixel(3, 3), clGray) << v.options;
  }
}

TEST(Bitmap, MalformedFilesAreRefusedAndThePictureKept) {
  TBitmap good;
  good.SetPixelFormat(pf8bit);
  PaintTestPicture(good);
  const std::vector<std::uint8_t> bytes = Saved(good);
  auto with = [&](size_t at, std::vector<std::uint8_t> values) {
    std::vector<std::uint8_t> copy = bytes;
    std::copy(values.begin(), values.end(), copy.begin() + at);
    return copy;
  };
  const std::vector<std::vector<std::uint8_t>> bad = {
      {},
      std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 20),          // header cut short
      std::vector<std::uint8_t>(bytes.begin(), bytes.end() - 1),             // last row cut short
      with(0, {'B', 'X'}),                                                    // not a BMP
      with(18, {0xFF, 0xFF, 0xFF, 0x7F}),                                     // absurd width
      with(22, {0, 0, 0, 0}),                                                 // no rows
      with(28, {7, 0}),                                                       // 7 bits a pixel
      with(30, {9, 0, 0, 0}),                                                 // unknown compression
      with(10, {0x10, 0, 0, 0}),                                              // pixels inside the header
      with(14, {0xFF, 0xFF, 0, 0}),                                           // header size beyond the file
  };
  for (size_t i = 0; i < bad.size(); ++i) {
    TBitmap b;
    PaintTestPicture(b);
    EXPECT_THROW(Load(b, bad[i]), EInvalidGraphic) << i;
    EXPECT_EQ(b.GetWidth(), 7) << i;
    EXPECT_EQ(b.GetCanvas()->GetPixel(1, 1), clRed) << i;
  }
}

namespace {

// An 8-bit run-length file of width x height with a two-colour table (black, white) and the
// given run-length data.
std::vector<std::uint8_t> Rle8File(std::uint32_t width, std::uint32_t height, const std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> out = {'B', 'M'};
  const std::uint32_t offset = 14 + 40 + 8;
  PutLe32(out, offset + static_cast<std::uint32_t>(data.size()));
  PutLe32(out, 0);
  PutLe32(out, offset);
  PutLe32(out, 40);
  PutLe32(out, width);
  PutLe32(out, height);
  PutLe16(out, 1);
  PutLe16(out, 8);
  PutLe32(out, BI_RLE8);
  PutLe32(out, static_cast<std::uint32_t>(data.size()));
  PutLe32(out, 0);  // pixels per metre
  PutLe32(out, 0);
  PutLe32(out, 2);  // colours used
  PutLe32(out, 0);
  PutLe32(out, 0);  // black
  PutLe32(out, 0x00FFFFFF);
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

}  // namespace

// A run codes at most 255 pixels in two bytes, so run-length data can fill no more than that:
// a picture larger than its data could describe is refused before its rows are reserved, and
// the picture loaded before is kept.
TEST(Bitmap, RunLengthPicturesTheirDataCannotFillAreRefused) {
  const std::vector<std::uint8_t> oneRun = {0xFF, 0x01, 0x00, 0x01};  // 255 white, end
  struct Case {
    std::uint32_t width;
    std::uint32_t height;
    bool loads;
  } cases[] = {{510, 1, true}, {511, 1, false}, {255, 2, true}, {256, 2, false}, {4096, 4096, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
    TBitmap b;
    PaintTestPicture(b);
    if (c.loads) {
      Load(b, Rle8File(c.width, c.height, oneRun));
      EXPECT_EQ(b.GetWidth(), static_cast<int>(c.width));
      EXPECT_EQ(b.GetCanvas()->GetPixel(254, static_cast<int>(c.height) - 1), clWhite);  // the bottom row first
      EXPECT_EQ(b.GetCanvas()->GetPixel(static_cast<int>(c.width) - 1, 0), clBlack);
    } else {
      EXPECT_THROW(Load(b, Rle8File(c.width, c.height, oneRun)), EInvalidGraphic);
      EXPECT_EQ(b.GetWidth(), 7);
      EXPECT_EQ(b.GetCanvas()->GetPixel(1, 1), clRed);
    }
  }
}

TEST(Bitmap, ScanLinesAreTheRowsTopFirst) {
  for (TPixelFormat format : {pf24bit, pf32bit}) {
    TBitmap b;
    b.SetPixelFormat(format);
    b.SetSize(4, 3);
    b.GetCanvas()->SetPixel(1, 0, clRed);
    auto* top = static_cast<std::uint8_t*>(b.ScanLine(0));
    const int step = format == pf24bit ? 3 : 4;
    // Drawing on the canvas is in the rows: blue, green, red bytes.
    EXPECT_EQ(top[step * 1 + 2], 0xFF);
    EXPECT_EQ(top[step * 1 + 0], 0x00);
    auto* bottom = static_cast<std::uint8_t*>(b.ScanLine(2));
    bottom[step * 3 + 0] = 0xFF;  // blue at (3, 2)
    bottom[step * 3 + 1] = 0x00;
    bottom[step * 3 + 2] = 0x00;
    EXPECT_EQ(b.GetCanvas()->GetPixel(3, 2), clBlue);
    EXPECT_THROW(b.ScanLine(3), EInvalidOperation);
    EXPECT_THROW(b.ScanLine(-1), EInvalidOperation);
  }
  // An 8-bit picture: drawing becomes indexes, indexes become what the canvas shows.
  TBitmap b;
  b.SetPixelFormat(pf8bit);
  b.SetSize(4, 2);
  b.GetCanvas()->SetPixel(0, 0, clRed);
  auto* row = static_cast<std::uint8_t*>(b.ScanLine(0));
  EXPECT_EQ(row[0], 9);  // red in the default table
  row[1] = 12;           // blue
  EXPECT_EQ(b.GetCanvas()->GetPixel(1, 0), clBlue);
  // A device bitmap becomes a 32-bit DIB to hand out rows.
  TBitmap device;
  device.SetSize(2, 2);
  EXPECT_EQ(device.GetHandleType(), bmDDB);
  device.ScanLine(0);
  EXPECT_EQ(device.GetPixelFormat(), pf32bit);
}

TEST(Bitmap, ResizingKeepsTheTopLeftAndFillsWithTheBrush) {
  TBitmap b;
  b.SetSize(2, 2);
  b.GetCanvas()->GetBrush()->SetColor(clRed);
  b.GetCanvas()->FillRect(TRect(0, 0, 2, 2));
  b.GetCanvas()->GetBrush()->SetColor(clYellow);
  b.SetSize(4, 3);
  EXPECT_EQ(b.GetCanvas()->GetPixel(1, 1), clRed);
  EXPECT_EQ(b.GetCanvas()->GetPixel(3, 2), clYellow);
  b.SetWidth(0);
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(b.GetHandle(), nullptr);
}

TEST(Bitmap, WidthThenHeightOfANewBitmapGivesBoth) {
  struct Case {
    const char* what;
    std::function<void(TBitmap&)> size;
    int width, height;
  };
  const Case cases[] = {
      {"width, then height", [](TBitmap& b) { b.SetWidth(10); b.SetHeight(20); }, 10, 20},
      {"height, then width", [](TBitmap& b) { b.SetHeight(7); b.SetWidth(3); }, 3, 7},
      {"width alone", [](TBitmap& b) { b.SetWidth(5); }, 5, 0},
      {"a size, then a width of 0, then a width again", [](TBitmap& b) { b.SetSize(4, 4); b.SetWidth(0); b.SetWidth(6); }, 6, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TBitmap b;
    c.size(b);
    EXPECT_EQ(b.GetWidth(), c.width);
    EXPECT_EQ(b.GetHeight(), c.height);
    EXPECT_EQ(b.Empty(), c.width == 0 || c.height == 0);
    EXPECT_EQ(b.GetHandle() != nullptr, !b.Empty());
    if (b.Empty()) {
      EXPECT_THROW(b.ScanLine(0), EInvalidOperation);
    }
  }
}

TEST(Bitmap, DepthChangesConvertToTheNearestColour) {
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(3, 1);
  b.GetCanvas()->SetPixel(0, 0, static_cast<TColor>(RGB(250, 10, 5)));
  b.GetCanvas()->SetPixel(1, 0, static_cast<TColor>(RGB(200, 200, 200)));
  b.GetCanvas()->SetPixel(2, 0, static_cast<TColor>(RGB(40, 40, 40)));
  b.SetPixelFormat(pf4bit);
  EXPECT_EQ(b.GetCanvas()->GetPixel(0, 0), clRed);
  EXPECT_EQ(b.GetCanvas()->GetPixel(1, 0), clSilver);
  EXPECT_EQ(b.GetCanvas()->GetPixel(2, 0), clBlack);
  b.SetMonochrome(true);
  EXPECT_TRUE(b.GetMonochrome());
  EXPECT_EQ(b.GetPixelFormat(), pf1bit);
  EXPECT_EQ(b.GetCanvas()->GetPixel(1, 0), clWhite);
  b.SetHandleType(bmDDB);
  EXPECT_TRUE(b.GetMonochrome());
  BITMAP info;
  GetObject(b.GetHandle(), sizeof info, &info);
  EXPECT_EQ(info.bmBitsPixel, 1);
  EXPECT_EQ(b.GetCanvas()->GetPixel(1, 0), clWhite);
  EXPECT_EQ(b.GetCanvas()->GetPixel(0, 0), clBlack);
}

TEST(Bitmap, TransparentDrawingLeavesTheTransparentColourOut) {
  TBitmap b;
  b.SetSize(4, 4);
  b.GetCanvas()->GetBrush()->SetColor(clFuchsia);
  b.GetCanvas()->FillRect(TRect(0, 0, 4, 4));
  b.GetCanvas()->GetBrush()->SetColor(clRed);
  b.GetCanvas()->FillRect(TRect(1, 1, 3, 3));
  EXPECT_EQ(b.GetTransparentColor(), clFuchsia | 0x02000000);  // the bottom-left pixel
  b.SetTransparent(true);
  Canvas target(8, 8, 0x0000FF);
  TCanvas canvas;
  canvas.SetHandle(target.dc());
  canvas.Draw(0, 0, &b);
  EXPECT_EQ(target.at(0, 0), 0x0000FFu);
  EXPECT_EQ(target.at(1, 1), 0xFF0000u);
  EXPECT_EQ(target.at(3, 3), 0x0000FFu);
  // Stretched too, and the mask follows drawing done since.
  b.GetCanvas()->SetPixel(0, 0, clLime);
  canvas.StretchDraw(TRect(0, 0, 8, 8), &b);
  EXPECT_EQ(target.at(1, 1), 0x00FF00u);
  EXPECT_EQ(target.at(3, 3), 0xFF0000u);
  EXPECT_EQ(target.at(7, 7), 0x0000FFu);
  // A fixed transparent colour.
  b.SetTransparentColor(clRed);
  EXPECT_EQ(b.GetTransparentMode(), tmFixed);
  Canvas other(4, 4, 0x000000);
  canvas.SetHandle(other.dc());
  canvas.Draw(0, 0, &b);
  EXPECT_EQ(other.at(1, 1), 0x000000u);
  EXPECT_EQ(other.at(3, 3), 0xFF00FFu);
  // The mask is white where the colour is.
  HBITMAP mask = b.GetMaskHandle();
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, mask);
  EXPECT_EQ(GetPixel(dc, 1, 1), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dc, 3, 3), RGB(0, 0, 0));
  SelectObject(dc, old);
  DeleteDC(dc);
}

TEST(Bitmap, MonochromePicturesTakeTheCanvasColours) {
  TBitmap mono;
  mono.SetMonochrome(true);
  mono.SetSize(2, 1);
  mono.GetCanvas()->SetPixel(0, 0, clBlack);
  mono.GetCanvas()->SetPixel(1, 0, clWhite);
  Canvas target(2, 1, 0);
  TCanvas canvas;
  canvas.SetHandle(target.dc());
  canvas.GetFont()->SetColor(clRed);
  canvas.GetBrush()->SetColor(clLime);
  canvas.Draw(0, 0, &mono);
  EXPECT_EQ(target.at(0, 0), 0xFF0000u);  // black takes the text colour
  EXPECT_EQ(target.at(1, 0), 0x00FF00u);  // white the background colour
}

TEST(Bitmap, AssignCopiesThePictureNotTheHandle) {
  TBitmap a;
  a.SetPixelFormat(pf8bit);
  a.SetSize(3, 1);
  // Index 5 and index 12 of the default table... a repeated colour keeps its index.
  static_cast<std::uint8_t*>(a.ScanLine(0))[0] = 12;
  a.SetTransparentColor(clBlue);
  TBitmap b;
  b.Assign(&a);
  EXPECT_NE(b.GetHandle(), a.GetHandle());
  EXPECT_EQ(b.GetPixelFormat(), pf8bit);
  EXPECT_EQ(static_cast<std::uint8_t*>(b.ScanLine(0))[0], 12);
  EXPECT_EQ(b.GetTransparentColor(), clBlue);
  b.GetCanvas()->SetPixel(0, 0, clRed);
  EXPECT_EQ(a.GetCanvas()->GetPixel(0, 0), clBlue);
  b.Assign(nullptr);
  EXPECT_TRUE(b.Empty());
}

TEST(Bitmap, ResourcesLoadByName) {
  TBitmap b;
  b.LoadFromResourceName(GetModuleHandle(nullptr), "TESTBMP");
  EXPECT_EQ(b.GetWidth(), 3);
  EXPECT_EQ(b.GetPixelFormat(), pf24bit);
  EXPECT_EQ(b.GetCanvas()->GetPixel(0, 1), clBlue);  // the file's first row is the bottom one
  EXPECT_EQ(b.GetCanvas()->GetPixel(2, 0), clGray);
  EXPECT_THROW(b.LoadFromResourceName(GetModuleHandle(nullptr), "NOSUCH"), EResNotFound);
  EXPECT_EQ(b.GetWidth(), 3);
}

TEST(Bitmap, ChangesAreReported) {
  TBitmap b;
  int changes = 0;
  b.OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, &b);
    ++changes;
  };
  b.SetSize(2, 2);
  EXPECT_EQ(changes, 1);
  b.GetCanvas()->FillRect(TRect(0, 0, 1, 1));
  EXPECT_EQ(changes, 2);
  EXPECT_TRUE(b.GetModified());
}

TEST(Bitmap, BrushPatternsBrushCopyAndFloodFill) {
  TBitmap pattern;
  pattern.SetSize(2, 2);
  pattern.GetCanvas()->GetBrush()->SetColor(clWhite);
  pattern.GetCanvas()->FillRect(TRect(0, 0, 2, 2));
  pattern.GetCanvas()->SetPixel(0, 0, clRed);
  Canvas target(6, 6, 0);
  TCanvas canvas;
  canvas.SetHandle(target.dc());
  canvas.GetBrush()->SetBitmap(&pattern);
  canvas.FillRect(TRect(0, 0, 4, 4));
  EXPECT_EQ(target.at(2, 2), 0xFF0000u);
  EXPECT_EQ(target.at(3, 2), 0xFFFFFFu);

  // BrushCopy: the picture with the brush in place of one colour.
  TBitmap glyph;
  glyph.SetSize(2, 1);
  glyph.GetCanvas()->SetPixel(0, 0, clFuchsia);
  glyph.GetCanvas()->SetPixel(1, 0, clBlue);
  canvas.GetBrush()->SetBitmap(nullptr);
  canvas.GetBrush()->SetColor(clLime);
  canvas.BrushCopy(TRect(0, 5, 4, 6), &glyph, TRect(0, 0, 2, 1), clFuchsia);
  EXPECT_EQ(target.at(1, 5), 0x00FF00u);
  EXPECT_EQ(target.at(2, 5), 0x0000FFu);

  // FloodFill: a closed square is filled inside only.
  Canvas area(10, 10, 0xFFFFFF);
  canvas.SetHandle(area.dc());
  canvas.GetPen()->SetColor(clBlack);
  canvas.GetBrush()->SetStyle(bsClear);
  canvas.Rectangle(2, 2, 8, 8);
  canvas.GetBrush()->SetColor(clYellow);
  canvas.FloodFill(4, 4, clBlack, fsBorder);
  EXPECT_EQ(area.at(4, 4), 0xFFFF00u);
  EXPECT_EQ(area.at(1, 1), 0xFFFFFFu);
  EXPECT_EQ(area.at(2, 4), 0x000000u);
  canvas.GetBrush()->SetColor(clRed);
  canvas.FloodFill(0, 0, clWhite, fsSurface);
  EXPECT_EQ(area.at(0, 9), 0xFF0000u);
  EXPECT_EQ(area.at(5, 5), 0xFFFF00u);
}

TEST(Bitmap, PalettesAreTheColourTablesOfIndexedPictures) {
  // The palette made for an indexed picture holds its colour table.
  TBitmap vga;
  vga.SetPixelFormat(pf4bit);
  vga.SetSize(1, 1);
  PALETTEENTRY entries[16];
  ASSERT_EQ(GetPaletteEntries(vga.GetPalette(), 0, 16, entries), 16u);
  EXPECT_EQ(entries[9].peRed, 0xFF);
  EXPECT_EQ(entries[9].peGreen, 0x00);
  // A palette set on an indexed picture recolours its indexes.
  TBitmap b;
  b.SetPixelFormat(pf8bit);
  b.SetSize(2, 1);
  static_cast<std::uint8_t*>(b.ScanLine(0))[0] = 3;
  std::vector<std::uint8_t> buffer(sizeof(LOGPALETTE) + 4 * sizeof(PALETTEENTRY));
  auto* log = reinterpret_cast<LOGPALETTE*>(buffer.data());
  log->palVersion = 0x300;
  log->palNumEntries = 4;
  log->palPalEntry[3] = PALETTEENTRY{255, 128, 0, 0};
  HPALETTE palette = CreatePalette(log);
  b.SetPalette(palette);
  EXPECT_EQ(b.GetPalette(), palette);
  EXPECT_EQ(b.GetCanvas()->GetPixel(0, 0), static_cast<TColor>(RGB(255, 128, 0)));
  EXPECT_EQ(static_cast<std::uint8_t*>(b.ScanLine(0))[0], 3);
  // Saved and loaded, the picture keeps the colour.
  TBitmap loaded;
  Load(loaded, Saved(b));
  EXPECT_EQ(loaded.GetCanvas()->GetPixel(0, 0), static_cast<TColor>(RGB(255, 128, 0)));
}

}  // namespace
