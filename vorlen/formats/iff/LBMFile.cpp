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

Iff::Rendering Iff::RenderingOf(uint formType, const BitmapHeader& h, uint modes, int paletteEntries) {
  if (formType != kIlbm) return Rendering::kPlain;
  if ((modes & kModeHoldAndModify) != 0 && (h.planes == 6 || h.planes == 8)) return Rendering::kHoldAndModify;
  if (h.planes == 6 && ((modes & kModeExtraHalfBrite) != 0 || paletteEntries == 32))
    return Rendering::kExtraHalfBrite;
  return Rendering::kPlain;
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

// The chunks between the bitmap header and the BODY that give the pixels their colours.
struct PictureChunks {
  uchar cmap[768] = {};
  int cmapBytes = -1;  // -1: no CMAP
  bool cmapTooLarge = false;
  uint modes = 0;  // the CAMG display modes

  int PaletteEntries() const { return cmapBytes < 0 ? 0 : cmapBytes / 3; }
};

// Reads the chunks from the stream's position up to the BODY and leaves the stream at the
// BODY's data. EReadError when no BODY follows; what was found before stays in `chunks`.
void ReadChunksBeforeBody(TStream* stream, PictureChunks& chunks) {
  for (;;) {
    const uint id = IFFReadLong(stream);
    const uint size = IFFReadLong(stream);
    if (id == Iff::kBody) return;
    std::int64_t rest = (static_cast<std::int64_t>(size) + 1) & ~std::int64_t(1);
    if (id == Iff::kCmap) {
      chunks.cmapTooLarge = size > sizeof chunks.cmap;
      if (!chunks.cmapTooLarge) {
        stream->ReadBuffer(chunks.cmap, static_cast<int>(size));
        chunks.cmapBytes = static_cast<int>(size);
        rest -= size;
      }
    } else if (id == Iff::kCamg && size >= 4) {
      chunks.modes = IFFReadLong(stream);
      rest -= 4;
    }
    stream->Seek(rest, soFromCurrent);
  }
}

Iff::Rendering RenderingOf(const FormHeader& form, const PictureChunks& chunks) {
  return Iff::RenderingOf(form.type, form.bitmap, chunks.modes, chunks.PaletteEntries());
}

void Describe(const FormHeader& form, const PictureChunks& chunks, GFXFileDesc* desc) {
  const Iff::BitmapHeader& h = form.bitmap;
  // Hold-and-modify pixels are true colour, not palette indices.
  const bool ham = RenderingOf(form, chunks) == Iff::Rendering::kHoldAndModify;
  desc->width = h.width;
  desc->height = h.height;
  desc->colour = true;
  desc->palette = h.planes <= 8 && !ham;
  desc->bits = static_cast<uchar>(ham ? 24 : h.planes);
  desc->sample_bits = 8;
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
          PictureChunks chunks;
          try {
            ReadChunksBeforeBody(stream, chunks);
          } catch (const EReadError&) {
            // A probe describes the picture from what it found.
          }
          Describe(form, chunks, desc);
          if (form.bitmap.Readable(form.type)) answer = 1;
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

// The colours of the pixel values: the CMAP's, with colours 32-63 of an extra-half-brite
// picture made from 0-31 as the display makes them (each component halved).
Palette MakePalette(const PictureChunks& chunks, Iff::Rendering rendering) {
  Palette table{};
  BGR24RGB32s(chunks.cmap, table.data(), chunks.PaletteEntries());
  if (rendering == Iff::Rendering::kExtraHalfBrite) {
    for (int i = 0; i < 32; ++i) table[32 + i] = (table[i] >> 1) & 0x7F7F7F;
  }
  return table;
}

// The palette of an indexed picture, for a save that reproduces it.
void GivePalette(const Iff::BitmapHeader& h, Iff::Rendering rendering, const Palette& table, GFXFileDesc* desc) {
  if (desc == nullptr || desc->palette_data == nullptr) return;
  if (h.planes > 8 || rendering == Iff::Rendering::kHoldAndModify) return;
  std::memset(desc->palette_data, 0, 768);
  RGB32BGR24s(table.data(), desc->palette_data, 1 << h.planes);
}

// One row of hold-and-modify values into colours. The top two bits of a value choose a
// palette colour (00) or the previous pixel with its blue (01), red (10) or green (11)
// changed to the value's data bits; a row starts from the background colour 0. Four data
// bits (HAM6) are the whole component, widened to eight; six (HAM8) replace its top six
// bits, the lowest two kept from the previous pixel.
void HoldAndModify(const uchar* values, uint* row, int columns, int planes, const Palette& table) {
  static constexpr int kComponentShift[4] = {0, 0, 16, 8};
  const int dataBits = planes - 2;
  const uint dataMask = (1u << dataBits) - 1;
  uint colour = table[0];
  for (int x = 0; x < columns; ++x) {
    const uint data = values[x] & dataMask;
    const int control = values[x] >> dataBits;
    if (control == 0) {
      colour = table[data];
    } else {
      const int shift = kComponentShift[control];
      const uint previous = (colour >> shift) & 0xFF;
      const uint level = dataBits == 4 ? data * 17 : data << 2 | (previous & 3);
      colour = (colour & ~(0xFFu << shift)) | level << shift;
    }
    row[x] = colour;
  }
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
  BodyReader(TStream* stream, const FormHeader& f, Iff::Rendering r, const Palette& t, Buffer& target, TargetArea a)
      : reader(stream), form(f), h(f.bitmap), rendering(r), table(t), dst(target), area(a),
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
    if (rendering == Iff::Rendering::kHoldAndModify) {
      HoldAndModify(indices.data(), row, columns, h.planes, table);
    } else if (h.planes <= 8) {
      LUTsd(indices.data(), row, columns, table.data());
    }
  }

  StreamBuf reader;
  const FormHeader& form;
  const Iff::BitmapHeader& h;
  Iff::Rendering rendering;
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

  PictureChunks chunks;
  ReadChunksBeforeBody(stream, chunks);
  // Up to 8 planes the pixel values are colours only through a palette.
  if (h.planes <= 8 && (chunks.cmapTooLarge || chunks.cmapBytes < 0)) ThrowInvalidImage();
  const Iff::Rendering rendering = RenderingOf(form, chunks);
  const Palette table = MakePalette(chunks, rendering);
  GivePalette(h, rendering, table, desc);
  CheckBodyCanFill(stream, form);
  const TargetArea area = PrepareTarget(dst, h.width, h.height);
  BodyReader body(stream, form, rendering, table, dst, area);
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
