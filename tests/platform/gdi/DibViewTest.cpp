// What an image view asks of the DIB transfers: 32-bit top-down rows addressed in the middle
// of a wider buffer (the stride as the bitmap width), the version 4 header, and the image
// colour-management mode of a context with the header's gamma.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "support/Canvas.h"

namespace {

// A w x h image of distinct pixels inside rows of stride pixels, with nothing after its last
// pixel, so that a read past the pixels asked for runs off the block (AddressSanitizer).
struct Image {
  Image(int w, int h, int stride) : width(w), height(h), stride(stride), pixels(static_cast<size_t>(stride) * (h - 1) + w) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) pixels[static_cast<size_t>(y) * stride + x] = 0xAB000000u | (y << 8) | x;
  }
  const std::uint32_t* At(int x, int y) const { return pixels.data() + static_cast<size_t>(y) * stride + x; }
  int width, height, stride;
  std::vector<std::uint32_t> pixels;
};

BITMAPV4HEADER TopDown(int width, int rows, DWORD size) {
  BITMAPV4HEADER h{};
  h.bV4Size = size;
  h.bV4Width = width;
  h.bV4Height = -rows;
  h.bV4Planes = 1;
  h.bV4BitCount = 32;
  h.bV4V4Compression = BI_RGB;
  return h;
}

const BITMAPINFO* Info(const BITMAPV4HEADER& h) { return reinterpret_cast<const BITMAPINFO*>(&h); }

TEST(DibView, SetDIBitsToDeviceReadsOnlyTheBlockAskedForFromAStridedPointer) {
  // The last rows of the image from column 5: the stride says where rows start, and the
  // pixels after the block's last one are not there to be read.
  const Image image(12, 6, 16);
  for (DWORD size : {DWORD(40), DWORD(108)}) {
    Canvas c(10, 10, 0x123456);
    BITMAPV4HEADER h = TopDown(image.stride, 3, size);
    EXPECT_EQ(SetDIBitsToDevice(c.dc(), 2, 1, 7, 3, 0, 0, 0, 3, image.At(5, 3), Info(h), DIB_RGB_COLORS), 3);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 7; ++x) EXPECT_EQ(c.at(2 + x, 1 + y), (((3u + y) << 8) | (5u + x))) << x << "," << y;
    EXPECT_EQ(c.at(1, 1), 0x123456u);
    EXPECT_EQ(c.at(9, 1), 0x123456u);
    EXPECT_EQ(c.at(2, 4), 0x123456u);
  }
}

TEST(DibView, StretchDIBitsWidensABlockFromAStridedPointer) {
  const Image image(12, 6, 16);
  Canvas c(20, 20, 0);
  BITMAPV4HEADER h = TopDown(image.stride, 2, 40);
  SetStretchBltMode(c.dc(), COLORONCOLOR);
  // 3 x 2 source pixels from (9, 4) onto 9 x 6 device pixels: each becomes 3 x 3.
  EXPECT_EQ(StretchDIBits(c.dc(), 1, 1, 9, 6, 0, 0, 3, 2, image.At(9, 4), Info(h), DIB_RGB_COLORS, SRCCOPY), 2);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 9; ++x) EXPECT_EQ(c.at(1 + x, 1 + y), (((4u + y / 3) << 8) | (9u + x / 3))) << x << "," << y;
  EXPECT_EQ(c.at(10, 1), 0u);
  EXPECT_EQ(c.at(1, 7), 0u);
}

TEST(DibView, ColourManagementModeIsKeptAndRestoredButChangesNoPixel) {
  Canvas c(4, 4, 0);
  EXPECT_EQ(SetICMMode(c.dc(), ICM_QUERY), ICM_OFF);
  EXPECT_EQ(SetICMMode(c.dc(), ICM_ON), ICM_ON);
  EXPECT_EQ(SetICMMode(c.dc(), ICM_QUERY), ICM_ON);
  EXPECT_EQ(SetICMMode(c.dc(), 7), 0);  // no such mode: nothing changes
  EXPECT_EQ(SetICMMode(c.dc(), ICM_QUERY), ICM_ON);
  const int saved = SaveDC(c.dc());
  SetICMMode(c.dc(), ICM_OFF);
  RestoreDC(c.dc(), saved);
  EXPECT_EQ(SetICMMode(c.dc(), ICM_QUERY), ICM_ON);
  EXPECT_EQ(SetICMMode(nullptr, ICM_ON), 0);

  // A calibrated header with the screen's own gamma of 2.2 passes the pixels as they are.
  const Image image(2, 2, 2);
  BITMAPV4HEADER h = TopDown(2, 2, 108);
  h.bV4GammaRed = h.bV4GammaGreen = h.bV4GammaBlue = 144179;
  h.bV4Endpoints.ciexyzRed = CIEXYZ{687194767, 354334801, 32212255};
  EXPECT_EQ(SetDIBitsToDevice(c.dc(), 0, 0, 2, 2, 0, 0, 0, 2, image.At(0, 0), Info(h), DIB_RGB_COLORS), 2);
  EXPECT_EQ(c.at(1, 1), 0x0101u);
}

// Black, white, mid grey and mid red through a calibrated header on a context whose colour
// management is on or off.
struct GammaCase {
  const char* name;
  int icm;
  DWORD size;
  DWORD csType;
  DWORD red, green, blue;       // 16.16
  std::uint32_t grey, midRed;  // the mid grey and mid red as they reach the screen
};

TEST(DibView, ColourManagementBringsTheHeadersGammaToTheScreens) {
  const GammaCase cases[] = {
      {"off", ICM_OFF, 108, LCS_CALIBRATED_RGB, 117965, 117965, 117965, 0x7F7F7F, 0x7F0000},
      {"a plain header", ICM_ON, 40, LCS_CALIBRATED_RGB, 117965, 117965, 117965, 0x7F7F7F, 0x7F0000},
      {"another colour space", ICM_ON, 108, 0x73524742, 117965, 117965, 117965, 0x7F7F7F, 0x7F0000},
      {"no gamma given", ICM_ON, 108, LCS_CALIBRATED_RGB, 0, 0, 0, 0x7F7F7F, 0x7F0000},
      {"the screen's own", ICM_ON, 108, LCS_CALIBRATED_RGB, 144179, 144179, 144179, 0x7F7F7F, 0x7F0000},
      {"1.8", ICM_ON, 108, LCS_CALIBRATED_RGB, 117965, 117965, 117965, 0x909090, 0x900000},
      {"1.0 red, 2.0 green, 4.0 blue", ICM_ON, 108, LCS_CALIBRATED_RGB, 65536, 131072, 262144, 0xBA8748, 0xBA0000},
  };
  const std::uint32_t pixels[4] = {0x000000, 0xFFFFFF, 0x7F7F7F, 0x7F0000};
  for (const GammaCase& k : cases) {
    SCOPED_TRACE(k.name);
    BITMAPV4HEADER h = TopDown(4, 1, k.size);
    h.bV4CSType = k.csType;
    h.bV4GammaRed = k.red;
    h.bV4GammaGreen = k.green;
    h.bV4GammaBlue = k.blue;
    for (bool stretch : {false, true}) {
      Canvas c(8, 2, 0x123456);
      SetICMMode(c.dc(), k.icm);
      if (stretch) StretchDIBits(c.dc(), 0, 0, 8, 1, 0, 0, 4, 1, pixels, Info(h), DIB_RGB_COLORS, SRCCOPY);
      else SetDIBitsToDevice(c.dc(), 0, 0, 4, 1, 0, 0, 0, 1, pixels, Info(h), DIB_RGB_COLORS);
      const int step = stretch ? 2 : 1;
      EXPECT_EQ(c.at(0, 0), 0x000000u) << "black stays black";
      EXPECT_EQ(c.at(step, 0), 0xFFFFFFu) << "white stays white";
      EXPECT_EQ(c.at(2 * step, 0), k.grey);
      EXPECT_EQ(c.at(3 * step, 0), k.midRed);
    }
  }
}

TEST(DibView, ShrinkingStretchesPickTheSamePixelsAsStretchingTheWholeSource) {
  // The same picture as a packed DIB and on a memory context: StretchDIBits must show what
  // StretchBlt from the context shows, mirrored or not, for DIBs of either direction.
  constexpr int kW = 37, kH = 23;
  std::vector<std::uint32_t> pixels(kW * kH);
  for (int i = 0; i < kW * kH; ++i) pixels[i] = 0x010203u * static_cast<std::uint32_t>(i % 251) ^ static_cast<std::uint32_t>(i);
  struct Case {
    bool bottomUp;
    int x, y, w, h;  // the target, negative sizes mirroring
    int sx, sy, sw, sh;
  } cases[] = {
      {false, 0, 0, 11, 7, 0, 0, kW, kH},   {true, 0, 0, 11, 7, 0, 0, kW, kH},
      {false, 12, 8, -11, -7, 0, 0, kW, kH}, {true, 0, 8, 9, -7, 0, 0, kW, kH},
      {false, 1, 1, 5, 3, 4, 6, 20, 12},     {false, 0, 0, 13, 5, kW, 0, -kW, kH},
  };
  for (const Case& c : cases) {
    BITMAPV4HEADER h = TopDown(kW, kH, 40);
    std::vector<std::uint32_t> rows = pixels;
    if (c.bottomUp) {
      h.bV4Height = kH;
      for (int y = 0; y < kH; ++y) std::copy_n(pixels.begin() + (kH - 1 - y) * kW, kW, rows.begin() + y * kW);
    }
    Canvas source(kW, kH, 0);
    SetDIBitsToDevice(source.dc(), 0, 0, kW, kH, 0, 0, 0, kH, rows.data(), Info(h), DIB_RGB_COLORS);
    Canvas viaContext(16, 12, 0x777777), viaDib(16, 12, 0x777777);
    // A bottom-up DIB counts its source rectangle from the bottom row.
    const int dibY = c.bottomUp ? kH - c.sy - c.sh : c.sy;
    StretchBlt(viaContext.dc(), c.x, c.y, c.w, c.h, source.dc(), c.sx, c.sy, c.sw, c.sh, SRCCOPY);
    StretchDIBits(viaDib.dc(), c.x, c.y, c.w, c.h, c.sx, dibY, c.sw, c.sh, rows.data(), Info(h), DIB_RGB_COLORS, SRCCOPY);
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 16; ++x)
        ASSERT_EQ(viaDib.at(x, y), viaContext.at(x, y)) << x << "," << y << " case " << c.w << "x" << c.h;
  }
}

}  // namespace
