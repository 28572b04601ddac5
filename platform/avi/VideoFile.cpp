#include "platform/avi/VideoFile.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/avi/AviReader.h"
#include "platform/gdi/DibFile.h"
#include "platform/gdi/DibRle.h"

struct AviFileObject {
  int refs = 1;
  AviReader reader;
};

struct AviStreamObject {
  int refs = 1;
  AviFileObject* file = nullptr;  // one reference held
};

// The stream's DIB format as far as decoding needs it.
struct AviVideoFormat {
  int width = 0;
  int height = 0;
  bool topDown = false;
  int bits = 0;
  bool rle = false;
  std::vector<std::uint32_t> palette;  // 0x00RRGGBB
};

struct AviFrameDecoder {
  AviStreamObject* stream = nullptr;  // one reference held
  AviVideoFormat format;
  std::vector<std::uint8_t> canvas;   // RLE: the palette indices of the last decoded frame
  long decoded = -1;                  // RLE: which frame canvas holds
  std::vector<std::uint8_t> frame;    // the packed DIB handed out
};

namespace {

constexpr int kMaxSide = 32767;
constexpr long long kMaxPixels = 1LL << 26;
constexpr size_t kHeaderSize = 40;

void PutLe32(std::uint8_t* p, DWORD v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

bool ParseFormat(const std::vector<std::uint8_t>& bytes, AviVideoFormat& format) {
  if (bytes.size() < kHeaderSize) return false;
  const DWORD headerSize = Le32(bytes.data());
  const LONG width = static_cast<LONG>(Le32(bytes.data() + 4));
  const LONG height = static_cast<LONG>(Le32(bytes.data() + 8));
  const int bits = Le16(bytes.data() + 14);
  const DWORD compression = Le32(bytes.data() + 16);
  DWORD colours = Le32(bytes.data() + 32);
  if (headerSize < kHeaderSize || headerSize > bytes.size()) return false;
  if (width <= 0 || width > kMaxSide || height == 0 || height < -kMaxSide || height > kMaxSide)
    return false;
  format.width = width;
  format.height = height < 0 ? -height : height;
  format.topDown = height < 0;
  format.bits = bits;
  format.rle = compression == 1;
  if (static_cast<long long>(format.width) * format.height > kMaxPixels) return false;
  const bool plain = compression == 0 && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
  if (!plain && !(format.rle && bits == 8 && !format.topDown)) return false;
  if (bits == 8 && (colours == 0 || colours > 256)) colours = 256;
  if (bits != 8) colours = 0;
  format.palette.assign(256, 0);
  for (DWORD i = 0; i < colours && headerSize + 4 * (i + 1) <= bytes.size(); ++i) {
    const std::uint8_t* q = bytes.data() + headerSize + 4 * i;
    format.palette[i] = DWORD(q[2]) << 16 | DWORD(q[1]) << 8 | q[0];
  }
  return true;
}

void ApplyPaletteChange(const std::vector<std::uint8_t>& change, std::vector<std::uint32_t>& palette) {
  if (change.size() < 4) return;
  const int first = change[0];
  const int count = change[1] == 0 ? 256 : change[1];
  for (int i = 0; i < count && first + i < 256 && 4 + 4 * size_t(i + 1) <= change.size(); ++i) {
    const std::uint8_t* e = change.data() + 4 + 4 * i;
    palette[size_t(first + i)] = DWORD(e[0]) << 16 | DWORD(e[1]) << 8 | e[2];
  }
}

// The palette in force at frame index k: the stream's, then every change up to k.
std::vector<std::uint32_t> PaletteAt(AviFrameDecoder& d, size_t k) {
  std::vector<std::uint32_t> palette = d.format.palette;
  AviReader& reader = d.stream->file->reader;
  std::vector<std::uint8_t> change;
  for (size_t i = 0; i <= k; ++i)
    for (const AviChunk& chunk : reader.Video().frames[i].paletteChanges)
      if (reader.ReadChunk(chunk, change)) ApplyPaletteChange(change, palette);
  return palette;
}

size_t OutStride(int width) { return (size_t(width) * 3 + 3) & ~size_t(3); }

void PutBgr(std::uint8_t* out, std::uint32_t rgb) {
  out[0] = static_cast<std::uint8_t>(rgb);
  out[1] = static_cast<std::uint8_t>(rgb >> 8);
  out[2] = static_cast<std::uint8_t>(rgb >> 16);
}

// One source row into one 24-bit output row.
void ConvertRow(const std::uint8_t* in, int bits, int width, const std::vector<std::uint32_t>& palette,
                std::uint8_t* out) {
  for (int x = 0; x < width; ++x, out += 3) {
    switch (bits) {
      case 8: PutBgr(out, palette[in[x]]); break;
      case 16: {
        const unsigned v = in[2 * x] | in[2 * x + 1] << 8;  // 5-5-5
        const unsigned r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
        out[0] = static_cast<std::uint8_t>(b << 3 | b >> 2);
        out[1] = static_cast<std::uint8_t>(g << 3 | g >> 2);
        out[2] = static_cast<std::uint8_t>(r << 3 | r >> 2);
        break;
      }
      default: std::memcpy(out, in + size_t(x) * (bits / 8), 3); break;
    }
  }
}

void StartFrame(AviFrameDecoder& d) {
  const AviVideoFormat& f = d.format;
  d.frame.assign(kHeaderSize + OutStride(f.width) * size_t(f.height), 0);
  std::uint8_t* h = d.frame.data();
  PutLe32(h, kHeaderSize);
  PutLe32(h + 4, DWORD(f.width));
  PutLe32(h + 8, DWORD(f.height));
  h[12] = 1;   // planes
  h[14] = 24;  // bits
  PutLe32(h + 20, DWORD(OutStride(f.width) * size_t(f.height)));
}

// Bottom-up output row y (0 = bottom) from a bottom-up or top-down source.
std::uint8_t* OutRow(AviFrameDecoder& d, int y) {
  return d.frame.data() + kHeaderSize + OutStride(d.format.width) * size_t(y);
}

// A frame's pixels are its own bytes: a chunk too short for them (or no chunk with data up to
// this frame) fails before the frame is allocated.
bool DecodePlain(AviFrameDecoder& d, size_t k) {
  const std::vector<AviFrame>& frames = d.stream->file->reader.Video().frames;
  size_t source = k;
  while (source > 0 && frames[source].data.size == 0) --source;  // a dropped frame repeats
  const size_t stride = DibRowBytes(d.format.width, d.format.bits);
  if (frames[source].data.size < stride * size_t(d.format.height)) return false;
  std::vector<std::uint8_t> data;
  if (!d.stream->file->reader.ReadChunk(frames[source].data, data)) return false;
  StartFrame(d);
  const std::vector<std::uint32_t> palette = PaletteAt(d, k);
  for (int y = 0; y < d.format.height; ++y) {
    const int sourceRow = d.format.topDown ? d.format.height - 1 - y : y;
    ConvertRow(data.data() + stride * size_t(sourceRow), d.format.bits, d.format.width, palette,
               OutRow(d, y));
  }
  return true;
}

// Run-length data paints at most 255 pixels every two bytes: a canvas far larger than the
// frames up to k could paint is not allocated for them (small videos always are).
bool RleDataCanPaint(AviFrameDecoder& d, size_t k) {
  const std::vector<AviFrame>& frames = d.stream->file->reader.Video().frames;
  const std::uint64_t pixels = std::uint64_t(d.format.width) * std::uint64_t(d.format.height);
  std::uint64_t bytes = 0;
  for (size_t i = 0; i <= k; ++i) bytes += frames[i].data.size;
  return pixels <= std::max<std::uint64_t>(std::uint64_t(1) << 20, bytes * 128);
}

bool DecodeRle(AviFrameDecoder& d, size_t k) {
  AviReader& reader = d.stream->file->reader;
  const size_t width = size_t(d.format.width), height = size_t(d.format.height);
  if (!RleDataCanPaint(d, k)) return false;
  if (d.decoded < 0 || static_cast<size_t>(d.decoded) > k) {
    d.canvas.assign(width * height, 0);
    d.decoded = -1;
  }
  std::vector<std::uint8_t> data;
  for (size_t i = static_cast<size_t>(d.decoded + 1); i <= k; ++i) {
    if (!reader.ReadChunk(reader.Video().frames[i].data, data)) return false;
    DecodeRle8(data.data(), data.size(), d.canvas.data(), d.format.width, d.format.height);
    d.decoded = static_cast<long>(i);
  }
  StartFrame(d);
  const std::vector<std::uint32_t> palette = PaletteAt(d, k);
  for (size_t y = 0; y < height; ++y)
    ConvertRow(d.canvas.data() + width * y, 8, d.format.width, palette, OutRow(d, int(y)));
  return true;
}

}  // namespace

void AVIFileInit() {}
void AVIFileExit() {}

HRESULT AVIFileOpenA(PAVIFILE* file, LPCSTR name, UINT, void*) {
  if (file == nullptr) return AVIERR_FILEOPEN;
  *file = nullptr;
  auto opened = std::make_unique<AviFileObject>();
  if (name == nullptr || !opened->reader.Open(name)) return AVIERR_FILEOPEN;
  *file = opened.release();  // released by AVIFileRelease
  return AVIERR_OK;
}

DWORD AVIFileRelease(PAVIFILE file) {
  if (file == nullptr) return 0;
  if (--file->refs > 0) return DWORD(file->refs);
  std::unique_ptr<AviFileObject> last(file);
  return 0;
}

HRESULT AVIFileGetStream(PAVIFILE file, PAVISTREAM* stream, DWORD type, LONG number) {
  if (stream == nullptr) return AVIERR_NODATA;
  *stream = nullptr;
  if (file == nullptr || (type != 0 && type != streamtypeVIDEO) || number != 0 || !file->reader.HasVideo())
    return AVIERR_NODATA;
  auto opened = std::make_unique<AviStreamObject>();
  opened->file = file;
  ++file->refs;
  *stream = opened.release();  // released by AVIStreamRelease
  return AVIERR_OK;
}

DWORD AVIStreamRelease(PAVISTREAM stream) {
  if (stream == nullptr) return 0;
  if (--stream->refs > 0) return DWORD(stream->refs);
  AVIFileRelease(stream->file);
  std::unique_ptr<AviStreamObject> last(stream);
  return 0;
}

HRESULT AVIStreamReadFormat(PAVISTREAM stream, LONG, LPVOID format, LONG* size) {
  if (stream == nullptr || size == nullptr) return AVIERR_NODATA;
  const std::vector<std::uint8_t>& bytes = stream->file->reader.Video().format;
  if (format == nullptr) {
    *size = static_cast<LONG>(bytes.size());
    return AVIERR_OK;
  }
  const size_t n = *size < 0 ? 0 : std::min(bytes.size(), size_t(*size));
  std::memcpy(format, bytes.data(), n);
  *size = static_cast<LONG>(n);
  return n < bytes.size() ? AVIERR_BUFFERTOOSMALL : AVIERR_OK;
}

LONG AVIStreamStart(PAVISTREAM stream) {
  return stream != nullptr ? stream->file->reader.Video().start : 0;
}

LONG AVIStreamLength(PAVISTREAM stream) {
  if (stream == nullptr) return -1;
  return static_cast<LONG>(stream->file->reader.Video().frames.size());
}

PGETFRAME AVIStreamGetFrameOpen(PAVISTREAM stream, BITMAPINFOHEADER*) {
  if (stream == nullptr) return nullptr;
  auto decoder = std::make_unique<AviFrameDecoder>();
  if (!ParseFormat(stream->file->reader.Video().format, decoder->format)) return nullptr;
  decoder->stream = stream;
  ++stream->refs;
  return decoder.release();  // released by AVIStreamGetFrameClose
}

LPVOID AVIStreamGetFrame(PGETFRAME frames, LONG position) {
  if (frames == nullptr) return nullptr;
  const long index = long(position) - AVIStreamStart(frames->stream);
  const long length = AVIStreamLength(frames->stream);
  if (index < 0 || index >= length) return nullptr;
  const bool ok = frames->format.rle ? DecodeRle(*frames, size_t(index)) : DecodePlain(*frames, size_t(index));
  return ok ? frames->frame.data() : nullptr;
}

HRESULT AVIStreamGetFrameClose(PGETFRAME frames) {
  if (frames == nullptr) return AVIERR_NODATA;
  AVIStreamRelease(frames->stream);
  std::unique_ptr<AviFrameDecoder> last(frames);
  return AVIERR_OK;
}
