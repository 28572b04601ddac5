#include "vorlen/formats/StreamBuf.h"

#include <cstring>

StreamBuf::StreamBuf(TStream* source, int bytes)
    : stream(source), size(bytes > 0 ? bytes : kDefaultSize),
      buffer(std::make_unique<uchar[]>(static_cast<size_t>(size))) {}

uchar StreamBuf::PreLoad() {
  position = 0;
  fill = 0;
  fill = stream->Read(buffer.get(), size);
  if (fill <= 0) {
    fill = 0;
    stream->ReadBuffer(buffer.get(), 1);  // raises EReadError at the end of the data
    fill = 1;
  }
  position = 1;
  return buffer[0];
}

void StreamBuf::Skip(int n) {
  if (n <= 0) return;
  while (n > fill - position) {
    n -= fill - position;
    PreLoad();
    position = 0;
  }
  position += n;
}

void StreamBuf::Read(void* dst, int n) {
  if (n <= 0) return;
  auto* out = static_cast<uchar*>(dst);
  while (n > fill - position) {
    const int part = fill - position;
    std::memcpy(out, buffer.get() + position, static_cast<size_t>(part));
    out += part;
    n -= part;
    PreLoad();
    position = 0;
  }
  std::memcpy(out, buffer.get() + position, static_cast<size_t>(n));
  position += n;
}
