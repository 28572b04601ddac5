#pragma once
// Chunk-level input and output of PNG files: big-endian fields, finding and writing chunks,
// and the IDAT streams that feed the decompressor and take the compressor's output, with
// the CRC-32 of each chunk kept as the bytes pass.

#include <cstdint>
#include <memory>

#include "platform/rtl/Streams.h"
#include "vorlen/core/Types.h"
#include "vorlen/formats/png/DeflateBlock.h"
#include "vorlen/formats/png/Inflate.h"

// A big-endian 32-bit value from the stream (EReadError at the end of the data).
uint PNGReadLong(TStream* stream);
// Reads chunk headers, seeking over every chunk that is not of the wanted type; answers the
// length of the wanted chunk, with the stream at its data.
uint PNGFindChunk(TStream* stream, uint type);
// Reads the header chunk's data (13 bytes, any further bytes only counted in the CRC) and
// checks its CRC; false for a header that is too short or damaged.
bool PNGReadHeader(TStream* stream, uint length, uchar* bytes);
// The compressed image data that follows: the lengths of the consecutive IDAT chunks from the
// one whose data the stream stands at (of the given length), counting only the bytes the
// stream holds. The stream's position is kept.
std::int64_t PNGImageDataLength(TStream* stream, uint firstLength);
// Length, type, data and CRC over type and data.
void PNGWriteChunk(TStream* stream, uint type, const uchar* data, uint length);

// The compressed data of the consecutive IDAT chunks, 2048 bytes at a time. Each chunk's
// CRC is checked when its data is used up; a chunk other than IDAT where more data is
// needed is a format error.
class IdatReader : public InflateSource {
public:
  // The stream stands at the data of the first IDAT chunk, of the given length.
  IdatReader(TStream* stream, uint length);
  size_t Pull(const uchar*& data) override;
  // Skips the rest of the current chunk and checks its CRC.
  void FinishChunk();

private:
  static constexpr uint kBufferSize = 2048;
  void NextIDAT();

  TStream* stream_;
  uint left_;
  uint crc_;
  uchar buffer_[kBufferSize];
};

// Writes the compressor's output as IDAT data: one chunk whose length is written back when
// it ends (the stream must be seekable), split only where a chunk would pass the format's
// length limit.
class IdatWriter : public DeflateSink {
public:
  explicit IdatWriter(TStream* stream);
  void Put(const uchar* data, size_t n) override;
  // Writes the CRC and puts the chunk's length in place.
  void Close();

private:
  void Open();

  TStream* stream_;
  std::int64_t start_ = 0;
  uint length_ = 0;
  uint crc_ = 0;
};
