#include "platform/avi/AviReader.h"

#include <unistd.h>

#include <algorithm>

#include "platform/gdi/DibFile.h"
#include "platform/rtl/RegularFile.h"

namespace {

constexpr DWORD kRiff = MakeFourCC('R', 'I', 'F', 'F');
constexpr DWORD kAvi = MakeFourCC('A', 'V', 'I', ' ');
constexpr DWORD kList = MakeFourCC('L', 'I', 'S', 'T');
constexpr DWORD kHeaderList = MakeFourCC('h', 'd', 'r', 'l');
constexpr DWORD kStreamList = MakeFourCC('s', 't', 'r', 'l');
constexpr DWORD kStreamHeader = MakeFourCC('s', 't', 'r', 'h');
constexpr DWORD kStreamFormat = MakeFourCC('s', 't', 'r', 'f');
constexpr DWORD kMovie = MakeFourCC('m', 'o', 'v', 'i');
constexpr DWORD kRecord = MakeFourCC('r', 'e', 'c', ' ');
constexpr DWORD kVideo = MakeFourCC('v', 'i', 'd', 's');

constexpr size_t kStreamHeaderSize = 56;
constexpr DWORD kMaxFormatSize = 64 * 1024;
constexpr size_t kMaxFrames = 1 << 24;
// A start past this leaves no room to number the frames in a LONG.
constexpr LONG kMaxStart = 0x7FFFFFFF - LONG(kMaxFrames);
constexpr int kMaxListDepth = 4;

// The end of a chunk whose data starts at `at`: padded to an even size, within `end`.
std::int64_t ChunkEnd(std::int64_t at, DWORD size) { return at + size + (size & 1); }

// The stream number of a data chunk ("00dc" is stream 0), or -1.
int StreamNumber(DWORD id) {
  const char tens = static_cast<char>(id & 0xFF), ones = static_cast<char>((id >> 8) & 0xFF);
  if (tens < '0' || tens > '9' || ones < '0' || ones > '9') return -1;
  return (tens - '0') * 10 + (ones - '0');
}

DWORD ChunkKind(DWORD id) { return id >> 16; }
constexpr DWORD kUncompressedFrame = MakeFourCC(0, 0, 'd', 'b') >> 16;
constexpr DWORD kCompressedFrame = MakeFourCC(0, 0, 'd', 'c') >> 16;
constexpr DWORD kPaletteChange = MakeFourCC(0, 0, 'p', 'c') >> 16;

}  // namespace

bool AviReader::ReadAt(std::int64_t at, void* dst, size_t n) {
  if (at < 0 || at > fileSize_ || static_cast<std::int64_t>(n) > fileSize_ - at) return false;
  if (std::fseek(file_.get(), static_cast<long>(at), SEEK_SET) != 0) return false;
  return std::fread(dst, 1, n, file_.get()) == n;
}

bool AviReader::ChunkHeader(std::int64_t at, DWORD& id, DWORD& size) {
  std::uint8_t bytes[8];
  if (!ReadAt(at, bytes, sizeof(bytes))) return false;
  id = Le32(bytes);
  size = Le32(bytes + 4);
  return true;
}

bool AviReader::Open(const std::string& path) {
  // A regular file only, opened without waiting on a pipe.
  const int handle = TryOpenRegularFile(path, nullptr);
  if (handle < 0) return false;
  file_.reset(::fdopen(handle, "rb"));
  if (!file_) ::close(handle);
  if (!file_ || std::fseek(file_.get(), 0, SEEK_END) != 0) return false;
  fileSize_ = std::ftell(file_.get());
  std::uint8_t header[12];
  if (!ReadAt(0, header, sizeof(header)) || Le32(header) != kRiff || Le32(header + 8) != kAvi)
    return false;
  const std::int64_t end = std::min<std::int64_t>(8 + std::int64_t(Le32(header + 4)), fileSize_);
  DWORD id = 0, size = 0;
  for (std::int64_t at = 12; at + 8 <= end && ChunkHeader(at, id, size); at = ChunkEnd(at + 8, size)) {
    const std::int64_t dataEnd = std::min<std::int64_t>(at + 8 + size, end);
    DWORD listType = 0;
    std::uint8_t type[4];
    if (id == kList && size >= 4 && ReadAt(at + 8, type, 4)) listType = Le32(type);
    if (listType == kHeaderList && !ReadHeaderList(at + 12, dataEnd)) {
      videoNumber_ = -1;
      video_ = AviVideoStream();
      return true;
    }
    if (listType == kMovie) IndexMovie(at + 12, dataEnd, 0);
  }
  return true;
}

bool AviReader::ReadHeaderList(std::int64_t begin, std::int64_t end) {
  DWORD id = 0, size = 0;
  for (std::int64_t at = begin; at + 8 <= end && ChunkHeader(at, id, size); at = ChunkEnd(at + 8, size)) {
    std::uint8_t type[4];
    if (id != kList || size < 4 || !ReadAt(at + 8, type, 4) || Le32(type) != kStreamList) continue;
    bool isVideo = false;
    if (!ReadStreamList(at + 12, std::min<std::int64_t>(at + 8 + size, end), isVideo)) return false;
    if (isVideo && videoNumber_ < 0) videoNumber_ = streams_;
    ++streams_;
  }
  return true;
}

bool AviReader::ReadStreamList(std::int64_t begin, std::int64_t end, bool& isVideo) {
  DWORD id = 0, size = 0;
  AviVideoStream stream;
  for (std::int64_t at = begin; at + 8 <= end && ChunkHeader(at, id, size); at = ChunkEnd(at + 8, size)) {
    if (at + 8 + std::int64_t(size) > end) return false;
    if (id == kStreamHeader) {
      std::uint8_t h[kStreamHeaderSize] = {};
      if (!ReadAt(at + 8, h, std::min<size_t>(size, sizeof(h)))) return false;
      isVideo = Le32(h) == kVideo;
      stream.handler = Le32(h + 4);
      stream.start = std::max<LONG>(static_cast<LONG>(Le32(h + 28)), 0);
      if (stream.start > kMaxStart) return false;
      stream.declaredLength = Le32(h + 32);
    } else if (id == kStreamFormat && size <= kMaxFormatSize) {
      stream.format.resize(size);
      if (!ReadAt(at + 8, stream.format.data(), size)) return false;
    }
  }
  if (isVideo && videoNumber_ < 0) video_ = std::move(stream);
  return true;
}

void AviReader::IndexMovie(std::int64_t begin, std::int64_t end, int depth) {
  DWORD id = 0, size = 0;
  std::vector<AviChunk> palettes;
  for (std::int64_t at = begin; at + 8 <= end && ChunkHeader(at, id, size); at = ChunkEnd(at + 8, size)) {
    if (at + 8 + std::int64_t(size) > end) break;  // a chunk cut short ends the index
    if (id == kList && size >= 4 && depth < kMaxListDepth) {
      std::uint8_t type[4];
      if (ReadAt(at + 8, type, 4) && Le32(type) == kRecord) IndexMovie(at + 12, at + 8 + size, depth + 1);
      continue;
    }
    if (videoNumber_ < 0 || StreamNumber(id) != videoNumber_) continue;
    const AviChunk chunk{at + 8, size};
    if (ChunkKind(id) == kPaletteChange) {
      palettes.push_back(chunk);
    } else if ((ChunkKind(id) == kUncompressedFrame || ChunkKind(id) == kCompressedFrame) &&
               video_.frames.size() < kMaxFrames) {
      video_.frames.push_back(AviFrame{chunk, std::move(palettes)});
      palettes.clear();
    }
  }
}

bool AviReader::ReadChunk(const AviChunk& chunk, std::vector<std::uint8_t>& data) {
  data.resize(chunk.size);
  return ReadAt(chunk.offset, data.data(), chunk.size);
}
