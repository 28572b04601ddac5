#include "vorlen/formats/jpeg/JpegColour.h"

#include <cmath>

#include "vorlen/formats/jpeg/JpegDct.h"

namespace jpeg {

namespace {

// The four decoder tables (JPGStoreYCbCr's products, whole numbers).
struct YCbCrToRgb {
  short crR[256], crG[256], cbG[256], cbB[256];
  YCbCrToRgb() {
    for (int i = 0; i < 256; ++i) {
      const double c = i - 128;
      crR[i] = static_cast<short>(std::lround(1.402 * c));
      crG[i] = static_cast<short>(std::lround(0.714136 * c));
      cbG[i] = static_cast<short>(std::lround(0.344136 * c));
      cbB[i] = static_cast<short>(std::lround(1.772 * c));
    }
  }
};

const YCbCrToRgb& DecoderColour() {
  static const YCbCrToRgb tables;
  return tables;
}

template <int HShift>
void StoreRow(const uchar* y, const uchar* cb, const uchar* cr, uint* dst, int width) {
  const YCbCrToRgb& t = DecoderColour();
  for (int x = 0; x < width; ++x) {
    const int l = y[x];
    const int b = cb[x >> HShift], r = cr[x >> HShift];
    const uint red = ClampPlain(l + t.crR[r]);
    const uint green = ClampPlain(l - t.cbG[b] - t.crG[r]);
    const uint blue = ClampPlain(l + t.cbB[b]);
    dst[x] = red << 16 | green << 8 | blue;
  }
}

}  // namespace

void JPGStoreGrey(const uchar* y, int yStride, uint* dst, int dstStride, int width, int height) {
  for (int row = 0; row < height; ++row, y += yStride, dst += dstStride)
    for (int x = 0; x < width; ++x) dst[x] = 0x010101u * y[x];
}

void JPGStoreYCbCr(const uchar* y, int yStride, const uchar* cb, const uchar* cr, int cStride,
                   int hShift, int vShift, uint* dst, int dstStride, int width, int height) {
  for (int row = 0; row < height; ++row, y += yStride, dst += dstStride) {
    const long c = static_cast<long>(row >> vShift) * cStride;
    if (hShift != 0)
      StoreRow<1>(y, cb + c, cr + c, dst, width);
    else
      StoreRow<0>(y, cb + c, cr + c, dst, width);
  }
}

RgbToYCbCr::RgbToYCbCr() {
  for (int i = 0; i < 256; ++i) {
    const double s = 128.0 * i;
    yr[i] = static_cast<short>(std::lround(0.299 * s));
    yg[i] = static_cast<short>(std::lround(0.587 * s));
    yb[i] = static_cast<short>(std::lround(0.114 * s));
    cbr[i] = static_cast<short>(std::lround(-0.168736 * s));
    cbg[i] = static_cast<short>(std::lround(-0.331264 * s));
    crg[i] = static_cast<short>(std::lround(-0.418688 * s));
    crb[i] = static_cast<short>(std::lround(-0.081312 * s));
  }
}

const RgbToYCbCr& EncoderColour() {
  static const RgbToYCbCr tables;
  return tables;
}

}  // namespace jpeg
