#pragma once
// A buffered byte reader over any framework stream, for decoders that take their input a
// byte at a time. The stream runs ahead of the reader by up to fill - position bytes.

#include <memory>

#include "platform/rtl/Streams.h"
#include "vorlen/core/Types.h"

class StreamBuf {
public:
  static constexpr int kDefaultSize = 0x800;

  StreamBuf(TStream* stream, int size = kDefaultSize);
  StreamBuf(const StreamBuf&) = delete;
  StreamBuf& operator=(const StreamBuf&) = delete;

  // The next byte; EReadError at the end of the data.
  uchar Get() { return position < fill ? buffer[position++] : PreLoad(); }
  // Refills the buffer and hands out its first byte.
  uchar PreLoad();
  void Skip(int n);
  void Read(void* dst, int n);

  TStream* stream;
  int size;
  int fill = 0;
  int position = 0;
  std::unique_ptr<uchar[]> buffer;
};
