// Writing Targa files: run-length coded, top row first, with the footer.

#include <cstring>
#include <vector>

#include "vorlen/core/Colconv.h"
#include "vorlen/formats/ByteOrder.h"
#include "vorlen/formats/FormatTarget.h"
#include "vorlen/formats/tga/RunPackets.h"
#include "vorlen/formats/tga/TGAFile.h"

uchar* TGAEncodePixels(uchar* out, const uint* source, int n, TGAConvert convert, int size, uint mask) {
  EncodeRunPackets(
      n, 2, [source, mask](int i, int j) { return ((source[i] ^ source[j]) & mask) == 0; },
      [&out, source, convert, size](int start, int count) {
        *out++ = static_cast<uchar>(count - 1);
        convert(source + start, out, count);
        out += count * size;
      },
      [&out, source, convert, size, mask](int start, int count) {
        *out++ = static_cast<uchar>(127 + count);
        const uint pixel = source[start] & mask;
        convert(&pixel, out, 1);
        out += size;
      });
  return out;
}

uchar* TGAEncodeRun(uchar* out, const uchar* source, int n) {
  return EncodeBytePackets(out, source, n, [](int count) { return 127 + count; });
}

namespace {

// 32-bit file pixels: blue, green, red and the fourth byte, as the word holds them.
void PixelWords(const uint* source, uchar* target, int count) {
  for (int i = 0; i < count; ++i) PutLE32(target + 4 * i, source[i]);
}

void OpaqueWords(const uint* source, uchar* target, int count) {
  for (int i = 0; i < count; ++i) PutLE32(target + 4 * i, source[i] & 0x00FFFFFF);
}

void WriteHeader(TStream* stream, int width, int height, int bits, bool keyed, const GFXtra32* extra) {
  uchar h[Tga::kHeaderSize] = {};
  h[0] = 8;
  const bool empty = width == 0 || height == 0;
  h[1] = bits == 8 ? 1 : 0;
  h[2] = empty ? 0 : bits == 8 ? 9 : 10;
  if (bits == 8) {
    PutLE16(h + 5, 256);
    h[7] = keyed ? 32 : 24;
  }
  PutLE16(h + 8, static_cast<uint>(extra != nullptr ? extra->x : 0));
  PutLE16(h + 10, static_cast<uint>(extra != nullptr ? extra->y : 0));
  PutLE16(h + 12, static_cast<uint>(width));
  PutLE16(h + 14, static_cast<uint>(height));
  h[16] = static_cast<uchar>(bits);
  h[17] = bits == 8 && keyed ? 0x28 : 0x20;
  stream->WriteBuffer(h, Tga::kHeaderSize);
  static const uchar kImageId[8] = {'D', 'O', 'R', 'N', 'I', 'C', 'K', 0};
  stream->WriteBuffer(kImageId, sizeof kImageId);
}

void WriteColourMap(TStream* stream, const uchar* palette, bool keyed, int keyIndex) {
  uchar map[256 * 4] = {};
  const int entryBytes = keyed ? 4 : 3;
  for (int i = 0; i < 256; ++i) {
    uchar* e = map + i * entryBytes;
    if (palette != nullptr) {
      e[0] = palette[3 * i + 2];
      e[1] = palette[3 * i + 1];
      e[2] = palette[3 * i];
    }
    if (keyed) e[3] = i == keyIndex ? 255 : 0;
  }
  stream->WriteBuffer(map, 256 * entryBytes);
}

}  // namespace

bool TGAFile::Save(Buffer& image, TStream* stream, GFXSaveParams* params, GFXtra32* extra) {
  CheckSizeFits(image, 16);
  const int bits = params->bits;
  if (bits != 8 && bits != 24 && bits != 32) ThrowInvalidImage();
  const bool empty = image.pixels == nullptr || image.Empty();
  const int width = empty ? 0 : image.Width();
  const int height = empty ? 0 : image.Height();
  const bool keyed = bits == 8 && params->transparent;
  WriteHeader(stream, width, height, bits, keyed, extra);
  if (bits == 8) WriteColourMap(stream, params->palette, keyed, extra != nullptr ? extra->transparent >> 24 : 0);

  const int size = bits / 8;
  std::vector<uchar> out(static_cast<size_t>(width) * size + (width + 127) / 128 + 1);
  for (int y = 0; y < height; ++y) {
    const uint* row = image.At(image.rect.left, image.rect.top + y);
    uchar* end = nullptr;
    if (bits == 8) {
      end = TGAEncodeRun(out.data(), reinterpret_cast<const uchar*>(row), width);
    } else if (bits == 24) {
      end = TGAEncodePixels(out.data(), row, width, RGB32RGB24s, 3, 0x00FFFFFF);
    } else if (alpha) {
      end = TGAEncodePixels(out.data(), row, width, PixelWords, 4, 0xFFFFFFFF);
    } else {
      end = TGAEncodePixels(out.data(), row, width, OpaqueWords, 4, 0x00FFFFFF);
    }
    stream->WriteBuffer(out.data(), static_cast<int>(end - out.data()));
    if (!Step(y * 100 / height)) return false;
  }

  uchar footer[Tga::kFooterSize] = {};
  std::memcpy(footer + 8, Tga::kSignature, sizeof Tga::kSignature);
  stream->WriteBuffer(footer, Tga::kFooterSize);
  return true;
}
