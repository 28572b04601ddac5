// zlib streams from untrusted bytes: decompressed in pieces of varying size, with the
// trailing check; what decompresses is compressed again by our compressor and must come
// back byte for byte.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "vorlen/formats/png/Deflate.h"
#include "vorlen/formats/png/Inflate.h"

namespace {

// Streams that expand beyond this are cut off: they only slow the search down.
constexpr size_t kMostOutput = 1 << 22;

struct Sink : DeflateSink {
  std::vector<uchar> bytes;
  void Put(const uchar* data, size_t n) override { bytes.insert(bytes.end(), data, data + n); }
};

// Decompresses everything; false when the stream was longer than the limit.
bool InflateAll(const uchar* data, size_t size, std::vector<uchar>& out) {
  MemorySource source(data, size);
  Inflate inflate(source);
  inflate.ReadZlibHeader();
  uchar piece[1031];
  size_t ask = 1;
  for (;;) {
    const size_t got = inflate.Read(piece, ask);
    out.insert(out.end(), piece, piece + got);
    if (got < ask) break;
    if (out.size() > kMostOutput) return false;
    ask = ask * 3 % sizeof piece + 1;
  }
  inflate.FinishZlib();
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<uchar> plain;
  try {
    if (!InflateAll(data, size, plain)) return 0;
  } catch (const Exception&) {
    return 0;  // a clear error is the right answer to damaged data
  }
  Sink sink;
  Deflate deflate(sink);
  deflate.WriteZlibHeader();
  deflate.Write(plain.data(), plain.size());
  deflate.FinishZlib();
  std::vector<uchar> again;
  if (!InflateAll(sink.bytes.data(), sink.bytes.size(), again) || again != plain) std::abort();
  return 0;
}
