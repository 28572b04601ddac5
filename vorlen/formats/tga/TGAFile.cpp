#include "vorlen/formats/tga/TGAFile.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "vorlen/core/Colconv.h"
#include "vorlen/formats/ByteOrder.h"
#include "vorlen/formats/FormatTarget.h"
#include "vorlen/formats/StreamBuf.h"

// The interlace option is not offered: the writer has no interlaced layout, so a dialog
// offering it would show a switch that does nothing.
TGAFile::TGAFile() : GFXFile("TrueVision Targa", "*.TGA", 0x80800080, 0, false, 0) {}

void RegisterTGAFile() { static TGAFile instance; }

Tga::Header Tga::ParseHeader(const uchar* b) {
  Header h;
  h.idLength = b[0];
  h.mapType = b[1];
  h.imageType = b[2];
  h.mapFirst = GetLE16(b + 3);
  h.mapLength = GetLE16(b + 5);
  h.mapEntryBits = b[7];
  h.xOrigin = GetLE16(b + 8);
  h.yOrigin = GetLE16(b + 10);
  h.width = GetLE16(b + 12);
  h.height = GetLE16(b + 14);
  h.depth = b[16];
  h.descriptor = b[17];
  return h;
}

bool Tga::Header::Valid() const {
  if (mapType > 1) return false;
  switch (imageType) {
    case 1: case 2: case 3: case 9: case 10: case 11: break;
    default: return false;
  }
  switch (Kind()) {
    case 1:
      return mapFirst + mapLength <= 256 &&
             (mapEntryBits == 15 || mapEntryBits == 16 || mapEntryBits == 24 || mapEntryBits == 32) &&
             depth >= 1 && depth <= 8;
    case 2: return depth == 15 || depth == 16 || depth == 24 || depth == 32;
    default: return depth >= 1 && depth <= 8;
  }
}

namespace {

bool HasFooter(TStream* stream, std::int64_t start) {
  const std::int64_t size = stream->Size() - start;
  if (size <= 44) return false;
  uchar footer[Tga::kFooterSize];
  stream->Seek(-Tga::kFooterSize, soFromEnd);
  stream->ReadBuffer(footer, Tga::kFooterSize);
  stream->Seek(start, soFromBeginning);
  return std::memcmp(footer + 8, Tga::kSignature, sizeof Tga::kSignature) == 0;
}

void Describe(const Tga::Header& h, int answer, GFXFileDesc* desc) {
  desc->ClearProbeFields();
  desc->width = h.width;
  desc->height = h.height;
  desc->colour = h.Kind() == 1 || h.Kind() == 2;
  desc->palette = h.Kind() == 1;
  desc->bits = static_cast<uchar>(h.depth);
  // Grey files carry no sample size; a grey level has as many bits as the pixel.
  const int sample = h.Kind() == 1 ? h.mapEntryBits / 3 : h.Kind() == 2 ? h.depth / 3 : h.depth;
  desc->sample_bits = static_cast<uchar>(std::min(sample, 8));
  desc->interlaced = h.Interleaved();
  desc->supported = answer == 1;
}

}  // namespace

int TGAFile::Test(TStream* stream, GFXFileDesc* desc) {
  if (stream == nullptr) return 0;
  const std::int64_t start = stream->Position();
  int answer = 0;
  Tga::Header h;
  try {
    if (HasFooter(stream, start)) answer = -1;
    uchar bytes[Tga::kHeaderSize];
    stream->ReadBuffer(bytes, Tga::kHeaderSize);
    h = Tga::ParseHeader(bytes);
    if (h.Valid()) answer = h.Interleaved() ? -1 : 1;
  } catch (...) {
    // A probe answers what it has established, whatever went wrong.
  }
  stream->Seek(start, soFromBeginning);
  if (answer != 0 && desc != nullptr) Describe(h, answer, desc);
  return answer;
}

// ---------------------------------------------------------------------------------------
// Run-length packets

TGAStream::TGAStream(StreamBuf& r, int bytesPerPixel) : reader(r), bytes(bytesPerPixel) {}

void TGAStream::NextPacket() {
  const uchar header = reader.Get();
  if (header & 0x80) {
    reader.Read(pixel, bytes);
    count = -((header & 0x7F) + 1);
  } else {
    count = header + 1;
  }
}

void TGAStream::Skip(int n) {
  while (n > 0) {
    if (count == 0) NextPacket();
    if (count > 0) {
      const int k = std::min(count, n);
      reader.Skip(k * bytes);
      count -= k;
      n -= k;
    } else {
      const int k = std::min(-count, n);
      count += k;
      n -= k;
    }
  }
}

void TGAStream::Read(uchar* target, int n) {
  while (n > 0) {
    if (count == 0) NextPacket();
    if (count > 0) {
      const int k = std::min(count, n);
      reader.Read(target, k * bytes);
      target += k * bytes;
      count -= k;
      n -= k;
    } else {
      const int k = std::min(-count, n);
      for (int i = 0; i < k; ++i, target += bytes) std::memcpy(target, pixel, bytes);
      count += k;
      n -= k;
    }
  }
}

// ---------------------------------------------------------------------------------------
// Loading

namespace {

using Palette = std::array<uint, 256>;

// The kind-1 colour map at its place, and the transparent entry it marks.
void ReadColourMap(TStream* stream, const Tga::Header& h, Palette& table, GFXtra32* extra,
                   GFXFileDesc* desc) {
  const int entryBytes = h.MapEntryBytes();
  std::vector<uchar> bytes(static_cast<size_t>(h.mapLength) * entryBytes + 4);
  stream->ReadBuffer(bytes.data(), h.mapLength * entryBytes);
  uint* const entries = table.data() + h.mapFirst;
  const int n = h.mapLength;
  if (entryBytes == 2) {
    std::vector<ushort> words(std::max(n, 1));
    for (int i = 0; i < n; ++i) words[i] = GetLE16(bytes.data() + 2 * i);
    RGB15RGB32s(words.data(), entries, n);
    RGB32RGB32s(entries, entries, n);
    if (h.mapEntryBits != 16) return;
    for (int i = 0; i < n; ++i) {
      if (!(words[i] & 0x8000)) continue;
      if (desc != nullptr && !desc->transparent) {
        desc->transparent = true;
        if (extra != nullptr) extra->transparent = entries[i];
      }
      if (!GFXFile::alpha) break;
      entries[i] |= 0xFF000000u;
    }
  } else if (entryBytes == 3) {
    RGB24RGB32s(bytes.data(), entries, n);
  } else {
    for (int i = 0; i < n; ++i) entries[i] = GetLE32(bytes.data() + 4 * i);
    if (desc != nullptr) {
      for (int i = 0; i < n; ++i) {
        if ((entries[i] >> 24) != 255) continue;
        desc->transparent = true;
        if (extra != nullptr) extra->transparent = entries[i] & 0x00FFFFFF;
        break;
      }
    }
    if (!GFXFile::alpha) RGB32RGB32s(entries, entries, n);
  }
}

void GreyRamp(const Tga::Header& h, Palette& table) {
  const int n = 1 << h.depth;
  for (int i = 0; i < n; ++i) {
    const uint level = static_cast<uint>(n > 1 ? i * 255 / (n - 1) : 0);
    table[i] = level << 16 | level << 8 | level;
  }
}

// Rows of file pixels into the target: plain or run-length, any pixel order.
class PixelReader {
public:
  PixelReader(TStream* stream, const Tga::Header& header, const Palette& t)
      : reader(stream), packets(reader, header.BytesPerPixel()), h(header), table(t),
        bytes(header.BytesPerPixel()), raw(static_cast<size_t>(header.width) * bytes + 4) {}

  void SkipRows(int rows) {
    for (int y = 0; y < rows; ++y) SkipPixels(h.width);
  }

  void ReadRow(uint* target, int columns) {
    if (h.RightToLeft()) {
      SkipPixels(h.width - columns);
      ReadPixels(columns);
      Reverse(columns);
    } else {
      ReadPixels(columns);
      SkipPixels(h.width - columns);
    }
    Convert(target, columns);
  }

private:
  void SkipPixels(int n) {
    if (h.RunLength()) {
      packets.Skip(n);
    } else {
      reader.Skip(n * bytes);
    }
  }

  void ReadPixels(int n) {
    if (h.RunLength()) {
      packets.Read(raw.data(), n);
    } else {
      reader.Read(raw.data(), n * bytes);
    }
  }

  void Reverse(int n) {
    if (n < 2) return;
    uchar* a = raw.data();
    uchar* b = raw.data() + static_cast<long>(n - 1) * bytes;
    uchar swap[4];
    for (; a < b; a += bytes, b -= bytes) {
      std::memcpy(swap, a, bytes);
      std::memcpy(a, b, bytes);
      std::memcpy(b, swap, bytes);
    }
  }

  void Convert(uint* target, int n) {
    if (h.Kind() != 2) {
      LUTsd(raw.data(), target, n, table.data());
    } else if (bytes == 2) {
      ConvertWords(target, n);
    } else if (bytes == 3) {
      RGB24RGB32s(raw.data(), target, n);
    } else {
      for (int i = 0; i < n; ++i) target[i] = GetLE32(raw.data() + 4 * i);
      if (!GFXFile::alpha) RGB32RGB32s(target, target, n);
    }
  }

  // 5-5-5 pixels; the attribute bit of 16-bit pixels is transparency in alpha mode only.
  void ConvertWords(uint* target, int n) {
    words.resize(std::max(n, 1));
    for (int i = 0; i < n; ++i) words[i] = GetLE16(raw.data() + 2 * i);
    RGB15RGB32s(words.data(), target, n);
    const bool keep = GFXFile::alpha && h.depth == 16;
    for (int i = 0; i < n; ++i) {
      const bool transparent = keep && (target[i] >> 24) != 0;
      target[i] = transparent ? target[i] | 0xFF000000u : target[i] & 0x00FFFFFF;
    }
  }

  StreamBuf reader;
  TGAStream packets;
  const Tga::Header& h;
  const Palette& table;
  int bytes;
  std::vector<uchar> raw;
  std::vector<ushort> words;
};

}  // namespace

bool TGAFile::Load(Buffer& dst, TStream* stream, int, GFXtra32* extra, GFXFileDesc* desc) {
  uchar bytes[Tga::kHeaderSize];
  stream->ReadBuffer(bytes, Tga::kHeaderSize);
  const Tga::Header h = Tga::ParseHeader(bytes);
  if (!h.Valid() || h.Interleaved()) ThrowInvalidImage();
  stream->Seek(h.idLength, soFromCurrent);

  Palette table{};
  if (h.mapType == 1) {
    if (h.Kind() == 1) {
      ReadColourMap(stream, h, table, extra, desc);
      if (desc != nullptr && desc->palette_data != nullptr) RGB32BGR24s(table.data(), desc->palette_data, 1 << h.depth);
    } else {
      stream->Seek(static_cast<std::int64_t>(h.mapLength) * h.MapEntryBytes(), soFromCurrent);
    }
  }
  if (h.Kind() == 3) GreyRamp(h, table);

  // Raw pixels take their bytes; a run packet (a header and one pixel) codes at most 128.
  const int pixelBytes = h.BytesPerPixel();
  CheckDataCanFill(h.width, h.height, stream,
                   h.RunLength() ? DataDensity{128, 1 + pixelBytes} : DataDensity{1, pixelBytes});
  const TargetArea area = PrepareTarget(dst, h.width, h.height);
  PixelReader pixels(stream, h, table);
  if (!h.TopDown()) pixels.SkipRows(h.height - area.rows);
  bool done = true;
  for (int i = 0; i < area.rows; ++i) {
    const int y = h.TopDown() ? i : area.rows - 1 - i;
    pixels.ReadRow(TargetRow(dst, y), area.columns);
    if (!Step(i * 100 / area.rows)) {
      done = false;
      break;
    }
  }
  if (extra != nullptr) {
    extra->x = static_cast<short>(h.xOrigin);
    extra->y = static_cast<short>(h.yOrigin);
  }
  return done;
}
