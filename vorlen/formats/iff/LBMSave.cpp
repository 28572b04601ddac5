// Writing interchange-format pictures, always ByteRun1-compressed.

#include <cstring>
#include <vector>

#include "platform/rtl/SysUtils.h"
#include "vorlen/core/Colconv.h"
#include "vorlen/formats/ByteOrder.h"
#include "vorlen/formats/FormatTarget.h"
#include "vorlen/formats/iff/LBMFile.h"
#include "vorlen/formats/tga/RunPackets.h"

uchar* IFFEncodeByteRun(uchar* out, const uchar* source, int n) {
  return EncodeBytePackets(out, source, n, [](int count) { return 1 - count; });
}

namespace {

// "PBM " for 8-bit pictures written under the extension ".LBM", else "ILBM".
uint ChooseFormType(TStream* stream, int bits) {
  if (bits != 8) return Iff::kIlbm;
  const auto* file = dynamic_cast<GFXFile::TOutputStream*>(stream);
  if (file == nullptr) return Iff::kIlbm;
  const AnsiString& name = file->name;
  if (name.size() < 4) return Iff::kIlbm;
  return UpperCase(name.substr(name.size() - 4)) == ".LBM" ? Iff::kPbm : Iff::kIlbm;
}

uchar TopByte(uint colour) { return static_cast<uchar>(colour >> 24); }

void WriteHeaders(TStream* stream, uint type, int width, int height, int bits,
                  const GFXSaveParams& params, const GFXtra32* extra) {
  IFFWriteChunkHeader(stream, Iff::kForm, 0);
  uchar id[4];
  PutBE32(id, type);
  stream->WriteBuffer(id, 4);

  IFFWriteChunkHeader(stream, Iff::kBmhd, Iff::kBmhdSize);
  uchar h[Iff::kBmhdSize] = {};
  PutBE16(h, static_cast<uint>(width));
  PutBE16(h + 2, static_cast<uint>(height));
  PutBE16(h + 4, static_cast<uint>(extra != nullptr ? extra->x : 0));
  PutBE16(h + 6, static_cast<uint>(extra != nullptr ? extra->y : 0));
  h[8] = static_cast<uchar>(bits);
  h[10] = 1;  // ByteRun1
  if (bits <= 8 && extra != nullptr) {
    h[12] = TopByte(extra->background);
    h[13] = TopByte(extra->transparent);
  }
  h[14] = h[15] = 1;
  PutBE16(h + 16, static_cast<uint>(width));
  PutBE16(h + 18, static_cast<uint>(height));
  stream->WriteBuffer(h, Iff::kBmhdSize);

  if (bits <= 8) {
    const int size = 3 << bits;
    std::vector<uchar> table(size, 0);
    if (params.palette != nullptr) std::memcpy(table.data(), params.palette, size);
    IFFWriteChunkHeader(stream, Iff::kCmap, static_cast<uint>(size));
    stream->WriteBuffer(table.data(), size);
  }
  IFFWriteChunkHeader(stream, Iff::kBody, 0);
}

// Encodes one picture row's plane rows; answers the bytes written to out.
class RowEncoder {
public:
  RowEncoder(uint t, int w, int b, int planeRowBytes)
      : type(t), width(w), bits(b), length(planeRowBytes), plane(length, 0),
        out(static_cast<size_t>(length + (length + 127) / 128) * (b == 24 ? 24 : b)) {}

  // The encoded planes of one row, ready for writing.
  const std::vector<uchar>& Encode(const Buffer& image, int y, int& bytes) {
    const uint* pixels = image.At(image.rect.left, image.rect.top + y);
    const uchar* indices = reinterpret_cast<const uchar*>(pixels);
    uchar* end = out.data();
    if (type == Iff::kPbm) {
      std::memcpy(plane.data(), indices, width);  // the pad byte of an odd width stays 0
      end = IFFEncodeByteRun(end, plane.data(), length);
    } else {
      const int planes = bits;
      for (int i = 0; i < planes; ++i) {
        if (bits == 24) {
          GetBitsd(pixels, plane.data(), width, Iff::TrueColourBit(i));
        } else {
          GetBitsb(indices, plane.data(), width, 1 << i);
        }
        end = IFFEncodeByteRun(end, plane.data(), length);
      }
    }
    bytes = static_cast<int>(end - out.data());
    return out;
  }

private:
  uint type;
  int width;
  int bits;
  int length;
  std::vector<uchar> plane;
  std::vector<uchar> out;
};

}  // namespace

bool LBMFile::Save(Buffer& image, TStream* stream, GFXSaveParams* params, GFXtra32* extra) {
  CheckSizeFits(image, 16);
  const int bits = params->bits;
  if (!((bits >= 1 && bits <= 8) || bits == 24)) ThrowInvalidImage();
  const bool empty = image.pixels == nullptr || image.Empty();
  const int width = empty ? 0 : image.Width();
  const int height = empty ? 0 : image.Height();
  const uint type = ChooseFormType(stream, bits);
  const int length = type == Iff::kPbm ? (width + 1) & ~1 : (width + 15) / 16 * 2;

  const std::int64_t start = stream->Position();
  WriteHeaders(stream, type, width, height, bits, *params, extra);
  const std::int64_t bodyStart = stream->Position();

  RowEncoder encoder(type, width, bits, length);
  for (int y = 0; y < height; ++y) {
    int bytes = 0;
    const std::vector<uchar>& row = encoder.Encode(image, y, bytes);
    stream->WriteBuffer(row.data(), bytes);
    if (!Step(y * 100 / height)) return false;
  }

  const std::int64_t bodyEnd = stream->Position();
  if ((bodyEnd - bodyStart) & 1) {
    const uchar pad = 0;
    stream->WriteBuffer(&pad, 1);
  }
  const std::int64_t fileEnd = stream->Position();
  stream->Seek(bodyStart - 8, soFromBeginning);
  IFFWriteChunkHeader(stream, Iff::kBody, static_cast<uint>(bodyEnd - bodyStart));
  stream->Seek(start, soFromBeginning);
  IFFWriteChunkHeader(stream, Iff::kForm, static_cast<uint>(fileEnd - start - 8));
  stream->Seek(fileEnd, soFromBeginning);
  return true;
}
