// Writing GIF files: the index image the registry prepares, one byte per pixel.

#include <algorithm>
#include <cstring>

#include "vorlen/formats/ByteOrder.h"
#include "vorlen/formats/FormatTarget.h"
#include "vorlen/formats/gif/GIFFile.h"
#include "vorlen/formats/gif/GifLzw.h"

namespace {

class StreamSink : public LZWSink {
public:
  explicit StreamSink(TStream* s) : stream(s) {}
  void Write(const uchar* source, int count) override { stream->WriteBuffer(source, count); }

private:
  TStream* stream;
};

uchar TopByte(uint colour) { return static_cast<uchar>(colour >> 24); }

void WriteHeader(TStream* stream, const Buffer& image, const GFXSaveParams& params,
                 const GFXtra32* extra) {
  uchar header[Gif::kHeaderSize];
  std::memcpy(header, params.transparent ? "GIF89a" : "GIF87a", 6);
  PutLE16(header + 6, static_cast<uint>(image.Width()));
  PutLE16(header + 8, static_cast<uint>(image.Height()));
  header[10] = static_cast<uchar>(0xF0 | (params.bits - 1));
  header[11] = extra != nullptr ? TopByte(extra->background) : 0;
  header[12] = 0;
  stream->WriteBuffer(header, Gif::kHeaderSize);

  uchar table[768] = {};
  const int entries = 1 << params.bits;
  if (params.palette != nullptr) std::memcpy(table, params.palette, entries * 3);
  stream->WriteBuffer(table, entries * 3);

  if (params.transparent) {
    const uchar control[8] = {Gif::kExtension, Gif::kGraphicControl, 4, 1, 0, 0,
                              extra != nullptr ? TopByte(extra->transparent) : uchar(0), 0};
    stream->WriteBuffer(control, sizeof control);
  }

  uchar descriptor[1 + Gif::kImageDescriptorSize] = {Gif::kImage};
  PutLE16(descriptor + 5, static_cast<uint>(image.Width()));
  PutLE16(descriptor + 7, static_cast<uint>(image.Height()));
  descriptor[9] = static_cast<uchar>((params.interlaced ? Gif::kInterlaceFlag : 0) | (params.bits - 1));
  stream->WriteBuffer(descriptor, sizeof descriptor);
}

}  // namespace

bool GIFFile::Save(Buffer& image, TStream* stream, GFXSaveParams* params, GFXtra32* extra) {
  CheckSizeFits(image, 16);
  if (params->bits < 1 || params->bits > 8) ThrowInvalidImage();
  const bool empty = image.pixels == nullptr || image.Empty();
  Buffer none;
  WriteHeader(stream, empty ? none : image, *params, extra);

  const int minimum = std::max<int>(params->bits, 2);
  const uchar codeSize = static_cast<uchar>(minimum);
  stream->WriteBuffer(&codeSize, 1);
  StreamSink sink(stream);
  LZWEncoder encoder(sink);
  encoder.Start(minimum);

  const int width = empty ? 0 : image.Width();
  const int height = empty ? 0 : image.Height();
  const Gif::Pass* passes = params->interlaced ? Gif::kInterlacePasses : Gif::kSequential;
  const int passCount = params->interlaced ? 4 : 1;
  int done = 0;
  for (int p = 0; p < passCount; ++p) {
    for (int y = passes[p].first; y < height; y += passes[p].step) {
      const uchar* row = reinterpret_cast<const uchar*>(image.At(image.rect.left, image.rect.top + y));
      encoder.Put(row, width);
      if (!Step(++done * 100 / height)) return false;
    }
  }
  encoder.Finish();
  stream->WriteBuffer(&Gif::kTrailer, 1);
  return true;
}
