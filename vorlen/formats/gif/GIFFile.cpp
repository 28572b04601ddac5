#include "vorlen/formats/gif/GIFFile.h"

#include <algorithm>
#include <array>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "vorlen/core/Colconv.h"
#include "vorlen/formats/ByteOrder.h"
#include "vorlen/formats/FormatTarget.h"
#include "vorlen/formats/StreamBuf.h"
#include "vorlen/formats/gif/GifLzw.h"

namespace {

bool HasSignature(const uchar* header) {
  return header[0] == 'G' && header[1] == 'I' && header[2] == 'F';
}

// The decoder's bytes come through the load's buffered reader.
class StreamBufSource : public LZWSource {
public:
  explicit StreamBufSource(StreamBuf& r) : reader(r) {}
  void Read(uchar* target, int count) override { reader.Read(target, count); }

private:
  StreamBuf& reader;
};

// The graphic control data that applies to the next image.
struct GraphicControl {
  uchar packed = 0;
  uchar transparentIndex = 0;

  bool Transparent() const { return (packed & 1) != 0; }
  int Disposal() const { return (packed >> 2) & 7; }
};

struct ImageDescriptor {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  uchar packed = 0;
};

using Palette = std::array<uint, 256>;

// Reads a colour table of `entries` entries into words 0x00RRGGBB; the rest stays 0.
void ReadTable(StreamBuf& reader, int entries, Palette& table) {
  std::array<uchar, 768> bytes{};
  reader.Read(bytes.data(), entries * 3);
  table.fill(0);
  BGR24RGB32s(bytes.data(), table.data(), entries);
}

// One load: the buffered reader, the tables and the decoder.
class GifLoader {
public:
  GifLoader(Buffer& target, TStream* s)
      : dst(target), stream(s), streamSize(s->Size()), reader(s), source(reader), lzw(source) {}

  bool Run(int image, GFXtra32* extra, GFXFileDesc* desc);

private:
  void ReadHeader();
  GraphicControl ReadBlocksToImage();
  ImageDescriptor ReadImageDescriptor(Palette& table, int& tableBits);
  void FillBackground(GFXtra32* extra);
  void StartData(int tableBits);
  bool DecodeImage(const ImageDescriptor& image, const Palette& table, int transparent);
  void DecodeRow(const ImageDescriptor& image, uint* row, int skip, int columns,
                 const Palette& table, int transparent);
  void FillRect(const ImageDescriptor& image, uint colour);
  bool StepProgress();
  std::int64_t ImageDataLength();

  Buffer& dst;
  TStream* stream;
  const std::int64_t streamSize;  // taken once: progress asks for it every row
  StreamBuf reader;
  StreamBufSource source;
  LZWDecoder lzw;
  Palette global{};
  uchar screenPacked = 0;
  uchar backgroundIndex = 0;
  uint background = 0;
  std::vector<uchar> indices;
};

void GifLoader::ReadHeader() {
  uchar header[Gif::kHeaderSize];
  reader.Read(header, Gif::kHeaderSize);
  if (!HasSignature(header)) ThrowInvalidImage();
  screenPacked = header[10];
  backgroundIndex = header[11];
  if (screenPacked & Gif::kTableFlag) ReadTable(reader, Gif::TableEntries(screenPacked), global);
  const int width = GetLE16(header + 6);
  const int height = GetLE16(header + 8);
  // Refused before anything is allocated: a screen larger than the file's image data could
  // fill at the code stream's highest compression.
  CheckDataCanFill(width, height, ImageDataLength(), DataDensity{2 * kLZWLongestString, 3});
  PrepareTarget(dst, width, height);
}

// The bytes of the image data sub-blocks from the reader's place on (comments and other
// extensions describe no pixels), read ahead by a reader of its own; the load's reader goes
// on where it was.
std::int64_t GifLoader::ImageDataLength() {
  const std::int64_t resume = stream->Position();
  const std::int64_t start = resume - (reader.fill - reader.position);
  stream->SetPosition(start);
  StreamBuf ahead(stream);
  const Gif::BlockSummary blocks = Gif::WalkBlocks(ahead);
  stream->SetPosition(resume);
  // A file cut short holds no more than its bytes.
  return std::min(blocks.imageData, streamSize - start);
}

// Reads extensions up to the next image descriptor's separator; anything else is an error.
GraphicControl GifLoader::ReadBlocksToImage() {
  GraphicControl control;
  for (;;) {
    const uchar kind = reader.Get();
    if (kind == Gif::kImage) return control;
    if (kind != Gif::kExtension) ThrowInvalidImage();
    const uchar label = reader.Get();
    if (label == Gif::kGraphicControl) {
      const uchar size = reader.Get();
      if (size == 0) continue;
      uchar data[255];
      reader.Read(data, size);
      if (size == 4) {
        control.packed = data[0];
        control.transparentIndex = data[3];
      }
    }
    Gif::SkipSubBlocks(reader);
  }
}

ImageDescriptor GifLoader::ReadImageDescriptor(Palette& table, int& tableBits) {
  uchar data[Gif::kImageDescriptorSize];
  reader.Read(data, Gif::kImageDescriptorSize);
  ImageDescriptor image{GetLE16(data), GetLE16(data + 2), GetLE16(data + 4), GetLE16(data + 6),
                        data[8]};
  if (image.packed & Gif::kTableFlag) {
    ReadTable(reader, Gif::TableEntries(image.packed), table);
    tableBits = (image.packed & 7) + 1;
  } else {
    table = global;
    tableBits = (screenPacked & 7) + 1;
  }
  return image;
}

void GifLoader::FillBackground(GFXtra32* extra) {
  background = global[backgroundIndex];
  if (extra != nullptr) extra->background = background;
  if (GFXFile::alpha) background |= 0xFF000000u;
  if (dst.pixels == nullptr || dst.Empty()) return;
  for (int y = dst.rect.top; y <= dst.rect.bottom; ++y) Stosd(background, dst.At(dst.rect.left, y), dst.Width());
}

void GifLoader::StartData(int tableBits) {
  const int minimum = reader.Get();
  if (minimum < std::max(tableBits, 2) || minimum > 11) ThrowInvalidImage();
  lzw.Reset(minimum);
}

bool GifLoader::StepProgress() {
  if (GFXFile::PrStep == nullptr) return true;
  return GFXFile::Step(streamSize > 0 ? static_cast<int>(stream->Position() * 100 / streamSize) : 100);
}

void GifLoader::FillRect(const ImageDescriptor& image, uint colour) {
  const Rect r = Intersect(dst.rect, Rect(image.left, image.top, image.left + image.width - 1,
                                          image.top + image.height - 1));
  for (int y = r.top; y <= r.bottom; ++y) Stosd(colour, dst.At(r.left, y), r.Width());
}

// Decodes one image row: skip indices, then columns stored in row, then the rest dropped.
void GifLoader::DecodeRow(const ImageDescriptor& image, uint* row, int skip, int columns,
                          const Palette& table, int transparent) {
  lzw.Skip(skip);
  uchar* const idx = indices.data();
  lzw.Decode(idx, columns);
  if (transparent < 0) {
    LUTsd(idx, row, columns, table.data());
  } else {
    for (int x = 0; x < columns; ++x) {
      if (idx[x] != transparent) row[x] = table[idx[x]];
    }
  }
  lzw.Skip(image.width - skip - columns);
}

// Decodes the image's rows in file order into the target. Rows outside the target are
// decoded and dropped while later stored rows follow them in the data. Answers false when
// the progress hook stopped the load.
bool GifLoader::DecodeImage(const ImageDescriptor& image, const Palette& table, int transparent) {
  const Rect visible = Intersect(dst.pixels ? dst.rect : Rect(),
                                 Rect(image.left, image.top, image.left + image.width - 1,
                                      image.top + image.height - 1));
  if (visible.Empty()) return true;
  const int skip = visible.left - image.left;
  const int columns = visible.Width();
  indices.resize(columns);
  const bool interlaced = (image.packed & Gif::kInterlaceFlag) != 0;
  const Gif::Pass* passes = interlaced ? Gif::kInterlacePasses : Gif::kSequential;
  const int passCount = interlaced ? 4 : 1;
  const int lastRow = visible.bottom - image.top;
  for (int p = 0; p < passCount; ++p) {
    // The last pass that holds a stored row ends the decoding.
    const int end = p == passCount - 1 ? lastRow + 1 : image.height;
    for (int y = passes[p].first; y < end; y += passes[p].step) {
      const int row = image.top + y;
      if (row < visible.top || row > visible.bottom) {
        lzw.Skip(image.width);
      } else {
        DecodeRow(image, dst.At(visible.left, row), skip, columns, table, transparent);
      }
      if (!StepProgress()) return false;
    }
  }
  return true;
}

bool GifLoader::Run(int image, GFXtra32* extra, GFXFileDesc* desc) {
  ReadHeader();
  for (int n = 0;; ++n) {
    const GraphicControl control = ReadBlocksToImage();
    Palette table{};
    int tableBits = 0;
    const ImageDescriptor descriptor = ReadImageDescriptor(table, tableBits);
    if (n == 0) FillBackground(extra);
    const bool requested = n == image;
    // The first image of a file shows its transparent index as a colour, unless the load
    // keeps transparency; later images show what lies under them there.
    const bool keyInForce = control.Transparent() && (n > 0 || GFXFile::alpha);
    const int transparent = keyInForce ? control.transparentIndex : -1;
    bool draw = true;
    if (!requested) {
      if (control.Disposal() == 2) FillRect(descriptor, background);
      draw = control.Disposal() != 2 && control.Disposal() != 3;
    } else {
      if (desc != nullptr) {
        desc->transparent = control.Transparent();
        desc->interlaced = (descriptor.packed & Gif::kInterlaceFlag) != 0;
        if (desc->palette_data != nullptr) RGB32BGR24s(table.data(), desc->palette_data, 256);
      }
      if (extra != nullptr && control.Transparent()) extra->transparent = table[control.transparentIndex];
    }
    StartData(tableBits);
    if (draw && !DecodeImage(descriptor, table, transparent)) return false;
    if (requested) return true;
    lzw.SkipToTerminator();
  }
}

}  // namespace

void Gif::SkipSubBlocks(StreamBuf& reader) {
  for (uchar length = reader.Get(); length != 0; length = reader.Get()) reader.Skip(length);
}

Gif::BlockSummary Gif::WalkBlocks(StreamBuf& reader) {
  BlockSummary blocks;
  try {
    for (;;) {
      const uchar kind = reader.Get();
      if (kind == kImage) {
        uchar data[kImageDescriptorSize];
        reader.Read(data, kImageDescriptorSize);
        blocks.deepestTable = std::max(blocks.deepestTable, (data[8] & 7) + 1);
        if (data[8] & kTableFlag) reader.Skip(TableEntries(data[8]) * 3);
        ++blocks.images;
        reader.Get();  // minimum code size
        for (uchar length = reader.Get(); length != 0; length = reader.Get()) {
          blocks.imageData += length;
          reader.Skip(length);
        }
      } else if (kind == kExtension) {
        reader.Get();
        SkipSubBlocks(reader);
      } else {
        break;
      }
    }
  } catch (const EReadError&) {
  }
  return blocks;
}

GIFFile::GIFFile() : GFXFile("CompuServe GIF", "*.GIF", 0x000000FF, 0, true, 0) {}

void RegisterGIFFile() { static GIFFile instance; }

int GIFFile::Test(TStream* stream, GFXFileDesc* desc) {
  if (stream == nullptr) return 0;
  const std::int64_t start = stream->Position();
  int answer = 0;
  try {
    StreamBuf reader(stream);
    uchar header[Gif::kHeaderSize];
    reader.Read(header, Gif::kHeaderSize);
    if (HasSignature(header)) {
      answer = 1;
      if (desc != nullptr) {
        desc->ClearProbeFields();
        desc->width = GetLE16(header + 6);
        desc->height = GetLE16(header + 8);
        desc->colour = desc->palette = true;
        desc->bits = static_cast<uchar>((header[10] & 7) + 1);
        desc->sample_bits = static_cast<uchar>(((header[10] >> 4) & 7) + 1);
        if (header[10] & Gif::kTableFlag) reader.Skip(Gif::TableEntries(header[10]) * 3);
        const Gif::BlockSummary blocks = Gif::WalkBlocks(reader);
        desc->bits = static_cast<uchar>(std::max<int>(desc->bits, blocks.deepestTable));
        answer = blocks.images > 0 ? 1 : -1;
        desc->supported = answer == 1;
      }
    }
  } catch (const EReadError&) {
  }
  stream->Seek(start, soFromBeginning);
  return answer;
}

bool GIFFile::Load(Buffer& dst, TStream* stream, int image, GFXtra32* extra, GFXFileDesc* desc) {
  GifLoader loader(dst, stream);
  return loader.Run(image, extra, desc);
}
