#include "vorlen/formats/png/PngChunks.h"

#include <algorithm>

#include "vorlen/formats/ByteOrder.h"
#include "vorlen/formats/GFXFile.h"
#include "vorlen/formats/png/Checksum.h"
#include "vorlen/formats/png/PngFormat.h"

namespace {

uint TypeCrc(uint type) {
  uchar bytes[4];
  PutBE32(bytes, type);
  return PNGCrc32(0, bytes, 4);
}

}  // namespace

namespace png {

Header ParseHeader(const uchar* b) {
  Header h;
  h.width = GetBE32(b);
  h.height = GetBE32(b + 4);
  h.depth = b[8];
  h.colourType = b[9];
  h.compression = b[10];
  h.filter = b[11];
  h.interlace = b[12];
  return h;
}

}  // namespace png

uint PNGReadLong(TStream* stream) {
  uchar bytes[4];
  stream->ReadBuffer(bytes, 4);
  return GetBE32(bytes);
}

uint PNGFindChunk(TStream* stream, uint type) {
  for (;;) {
    const uint length = PNGReadLong(stream);
    const uint found = PNGReadLong(stream);
    if (found == type) return length;
    stream->Seek(std::int64_t(length) + 4, soFromCurrent);
  }
}

bool PNGReadHeader(TStream* stream, uint length, uchar* bytes) {
  if (length < png::kHeaderSize || length > png::kMaxChunkLength) return false;
  stream->ReadBuffer(bytes, png::kHeaderSize);
  uint crc = PNGCrc32(TypeCrc(png::kIHDR), bytes, png::kHeaderSize);
  for (uint left = length - png::kHeaderSize; left > 0;) {
    uchar more[256];
    const uint n = left < sizeof more ? left : uint(sizeof more);
    stream->ReadBuffer(more, static_cast<int>(n));
    crc = PNGCrc32(crc, more, n);
    left -= n;
  }
  return PNGReadLong(stream) == crc;
}

std::int64_t PNGImageDataLength(TStream* stream, uint firstLength) {
  const std::int64_t start = stream->Position();
  const std::int64_t size = stream->Size();
  std::int64_t total = 0;
  std::int64_t data = start;
  std::int64_t length = firstLength;
  for (;;) {
    total += std::clamp<std::int64_t>(size - data, 0, length);
    const std::int64_t next = data + length + 4;  // past the data and the CRC
    if (next + 8 > size) break;
    stream->SetPosition(next);
    uchar head[8];
    stream->ReadBuffer(head, 8);
    if (GetBE32(head + 4) != png::kIDAT) break;
    length = GetBE32(head);
    data = next + 8;
  }
  stream->SetPosition(start);
  return total;
}

void PNGWriteChunk(TStream* stream, uint type, const uchar* data, uint length) {
  uchar head[8];
  PutBE32(head, length);
  PutBE32(head + 4, type);
  stream->WriteBuffer(head, 8);
  if (length > 0) stream->WriteBuffer(data, static_cast<int>(length));
  uchar crc[4];
  PutBE32(crc, PNGCrc32(PNGCrc32(0, head + 4, 4), data, length));
  stream->WriteBuffer(crc, 4);
}

IdatReader::IdatReader(TStream* stream, uint length)
    : stream_(stream), left_(length), crc_(TypeCrc(png::kIDAT)) {
  if (length > png::kMaxChunkLength) ThrowInvalidImage();
}

size_t IdatReader::Pull(const uchar*& data) {
  while (left_ == 0) NextIDAT();
  const uint n = left_ < kBufferSize ? left_ : kBufferSize;
  stream_->ReadBuffer(buffer_, static_cast<int>(n));
  crc_ = PNGCrc32(crc_, buffer_, n);
  left_ -= n;
  data = buffer_;
  return n;
}

void IdatReader::NextIDAT() {
  if (PNGReadLong(stream_) != crc_) ThrowInvalidImage();
  left_ = PNGReadLong(stream_);
  if (PNGReadLong(stream_) != png::kIDAT || left_ > png::kMaxChunkLength) ThrowInvalidImage();
  crc_ = TypeCrc(png::kIDAT);
}

void IdatReader::FinishChunk() {
  while (left_ > 0) {
    const uchar* ignored;
    Pull(ignored);
  }
  if (PNGReadLong(stream_) != crc_) ThrowInvalidImage();
}

IdatWriter::IdatWriter(TStream* stream) : stream_(stream) { Open(); }

void IdatWriter::Open() {
  start_ = stream_->Position();
  uchar head[8];
  PutBE32(head, 0);  // written back by Close
  PutBE32(head + 4, png::kIDAT);
  stream_->WriteBuffer(head, 8);
  crc_ = TypeCrc(png::kIDAT);
  length_ = 0;
}

void IdatWriter::Put(const uchar* data, size_t n) {
  while (n > 0) {
    if (length_ == png::kMaxChunkLength) {
      Close();
      Open();
    }
    const size_t room = png::kMaxChunkLength - length_;
    const int k = static_cast<int>(n < room ? n : room);
    stream_->WriteBuffer(data, k);
    crc_ = PNGCrc32(crc_, data, static_cast<size_t>(k));
    length_ += static_cast<uint>(k);
    data += k;
    n -= static_cast<size_t>(k);
  }
}

void IdatWriter::Close() {
  uchar bytes[4];
  PutBE32(bytes, crc_);
  stream_->WriteBuffer(bytes, 4);
  const std::int64_t end = stream_->Position();
  stream_->SetPosition(start_);
  PutBE32(bytes, length_);
  stream_->WriteBuffer(bytes, 4);
  stream_->SetPosition(end);
}
