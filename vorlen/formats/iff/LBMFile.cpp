#include "vorlen/formats/iff/LBMFile.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "vorlen/core/Colconv.h"
#include "vorlen/formats/ByteOrder.h"
#include "vorlen/formats/FormatTarget.h"
#include "vorlen/formats/StreamBuf.h"

LBMFile::LBMFile() : GFXFile("Amiga IFF", "*.IFF;*.LBM;*.BBM;*.ILB;*.ILBM", 0x008000FF, 0, false, 0) {}

void RegisterLBMFile() { static LBMFile instance; }

Iff::BitmapHeader Iff::ParseBitmapHeader(const uchar* b) {
  BitmapHeader h;
  h.width = GetBE16(b);
  h.height = GetBE16(b + 2);
  h.x = static_cast<short>(GetBE16(b + 4));
  h.y = static_cast<short>(GetBE16(b + 6));
  h.planes = b[8];
  h.masking = b[9];
  h.compression = b[10];
  h.background = b[12];
  h.transparent = b[13];
  return h;
}

bool Iff::BitmapHeader::Readable(uint formType) const {
  if (!((planes >= 1 && planes <= 8) || planes == 24)) return false;
  if (formType == kPbm && (planes != 8 || masking == 1)) return false;
  return compression == 0 || compression == 1;
}

int Iff::BitmapHeader::PlaneRowBytes(uint formType) const {
  return formType == kPbm ? (width + 1) & ~1 : (width + 15) / 16 * 2;
}

uint IFFReadLong(TStream* stream) {
  uchar bytes[4];
  stream->ReadBuffer(bytes, 4);
  return GetBE32(bytes);
}

uint IFFFindChunk(TStream* stream, uint id) {
  for (;;) {
    const uint found = IFFReadLong(stream);
    const uint size = IFFReadLong(stream);
    if (found == id) return size;
    stream->Seek((static_cast<std::int64_t>(size) + 1) & ~std::int64_t(1), soFromCurrent);
  }
}

void IFFWriteChunkHeader(TStream* stream, uint id, uint size) {
  uchar bytes[8];
  PutBE32(bytes, id);
  PutBE32(bytes + 4, size);
  stream->WriteBuffer(bytes, 8);
}

void IFFDecodeByteRun(StreamBuf& reader, uchar* out, int n) {
  uchar* const end = out + n;
  while (out < end) {
    const int header = static_cast<signed char>(reader.Get());
    if (header == -128) continue;
    const int count = header >= 0 ? header + 1 : 1 - header;
    if (count > end - out) ThrowInvalidImage();
    if (header >= 0) {
      reader.Read(out, count);
    } else {
      std::memset(out, reader.Get(), count);
    }
    out += count;
  }
}

namespace {

// The form type and the bitmap header, read from the stream's current position (the start
// of the file). Answers false for a file that is a FORM but not one this codec knows.
struct FormHeader {
  uint type = 0;
  Iff::BitmapHeader bitmap;
  bool typeKnown = false;
  bool headerComplete = false;
};

FormHeader ReadFormHeader(TStream* stream) {
  FormHeader form;
  IFFReadLong(stream);  // the FORM's size
  form.type = IFFReadLong(stream);
  form.typeKnown = form.type == Iff::kIlbm || form.type == Iff::kPbm;
  if (!form.typeKnown) return form;
  const uint size = IFFFindChunk(stream, Iff::kBmhd);
  if (size < Iff::kBmhdSize) return form;
  uchar bytes[Iff::kBmhdSize];
  stream->ReadBuffer(bytes, Iff::kBmhdSize);
  form.bitmap = Iff::ParseBitmapHeader(bytes);
  form.headerComplete = true;
  // The rest of the header chunk and its pad byte.
  stream->Seek(((static_cast<std::int64_t>(size) + 1) & ~std::int64_t(1)) - Iff::kBmhdSize, soFromCurrent);
  return form;
}

}  // namespace

int LBMFile::Test(TStream* stream, GFXFileDesc* desc) {
  if (stream == nullptr) return 0;
  const std::int64_t start = stream->Position();
  int answer = 0;
  try {
    if (IFFReadLong(stream) == Iff::kForm) {
      answer = -1;
      if (desc != nullptr) {
        desc->ClearProbeFields();
        const FormHeader form = ReadFormHeader(stream);
        if (form.headerComplete) {
          const Iff::BitmapHeader& h = form.bitmap;
          desc->width = h.width;
          desc->height = h.height;
          desc->colour = true;
          desc->palette = h.planes <= 8;
          desc->bits = static_cast<uchar>(h.planes);
          desc->sample_bits = 8;
          if (h.Readable(form.type)) answer = 1;
          desc->supported = answer == 1;
        }
      }
    }
  } catch (const EReadError&) {
  }
  stream->Seek(start, soFromBeginning);
  return answer;
}

namespace {

using Palette = std::array<uint, 256>;

void ReadPalette(TStream* stream, Palette& table, GFXFileDesc* desc) {
  const uint size = IFFFindChunk(stream, Iff::kCmap);
  if (size > 768) ThrowInvalidImage();
  uchar bytes[768] = {};
  stream->ReadBuffer(bytes, static_cast<int>(size));
  if (desc != nullptr && desc->palette_data != nullptr) std::memcpy(desc->palette_data, bytes, size);
  BGR24RGB32s(bytes, table.data(), static_cast<int>(size / 3));
  if (size & 1) stream->Seek(1, soFromCurrent);
}

// Refuses a BODY too short for the rows the header claims, before they are reserved: ByteRun1
// codes at most 128 bytes of a plane row in two; plain rows take their bytes.
void CheckBodyCanFill(TStream* stream, const FormHeader& form) {
  const Iff::BitmapHeader& h = form.bitmap;
  const int planes = form.type == Iff::kPbm ? 1 : h.planes + (h.masking == 1 ? 1 : 0);
  const int rowBytes = h.PlaneRowBytes(form.type) * planes;
  CheckDataCanFill(rowBytes, h.height, stream, h.compression == 1 ? DataDensity{128, 2} : DataDensity{1, 1});
}

// Reads the picture's rows from the BODY data into the target.
class BodyReader {
public:
  BodyReader(TStream* stream, const FormHeader& f, const Palette& t, Buffer& target, TargetArea a)
      : reader(stream), form(f), h(f.bitmap), table(t), dst(target), area(a),
        planeBytes(h.PlaneRowBytes(f.type)),
        plane((planeBytes + 3) & ~3),
        indices(std::max(a.columns, 1)) {}

  bool ReadRows() {
    for (int y = 0; y < area.rows; ++y) {
      ReadRow(TargetRow(dst, y));
      if (!GFXFile::Step(y * 100 / area.rows)) return false;
    }
    return true;
  }

private:
  void ReadPlane() {
    if (h.compression == 1) {
      IFFDecodeByteRun(reader, plane.data(), planeBytes);
    } else {
      reader.Read(plane.data(), planeBytes);
    }
  }

  void ReadRow(uint* row) {
    const int columns = area.columns;
    if (form.type == Iff::kPbm) {
      ReadPlane();
      LUTsd(plane.data(), row, columns, table.data());
      return;
    }
    if (h.planes <= 8) std::fill(indices.begin(), indices.end(), 0);
    for (int i = 0; i < h.planes; ++i) {
      ReadPlane();
      if (h.planes == 24) {
        SetBitsd(plane.data(), row, columns, Iff::TrueColourBit(i));
      } else {
        SetBitsb(plane.data(), indices.data(), columns, 1 << i);
      }
    }
    if (h.masking == 1) ReadPlane();  // the mask plane is passed over
    if (h.planes <= 8) LUTsd(indices.data(), row, columns, table.data());
  }

  StreamBuf reader;
  const FormHeader& form;
  const Iff::BitmapHeader& h;
  const Palette& table;
  Buffer& dst;
  TargetArea area;
  int planeBytes;
  std::vector<uchar> plane;
  std::vector<uchar> indices;
};

}  // namespace

bool LBMFile::Load(Buffer& dst, TStream* stream, int, GFXtra32* extra, GFXFileDesc* desc) {
  if (IFFReadLong(stream) != Iff::kForm) ThrowInvalidImage();
  const FormHeader form = ReadFormHeader(stream);
  if (!form.headerComplete || !form.bitmap.Readable(form.type)) ThrowInvalidImage();
  const Iff::BitmapHeader& h = form.bitmap;

  Palette table{};
  if (h.planes <= 8) ReadPalette(stream, table, desc);
  IFFFindChunk(stream, Iff::kBody);
  CheckBodyCanFill(stream, form);
  const TargetArea area = PrepareTarget(dst, h.width, h.height);
  BodyReader body(stream, form, table, dst, area);
  const bool done = body.ReadRows();
  if (extra != nullptr) {
    extra->x = h.x;
    extra->y = h.y;
    if (h.planes <= 8) {
      extra->transparent = table[h.transparent];
      extra->background = table[h.background];
    }
  }
  return done;
}
