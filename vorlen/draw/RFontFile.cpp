#include "vorlen/draw/RFontFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/RegularFile.h"
#include "platform/rtl/SysUtils.h"
#include "vorlen/draw/GlyphCode.h"
#include "vorlen/formats/ByteOrder.h"
#include "vorlen/formats/GFXFile.h"

namespace {

// A read-only font file with a position; every read says whether it got all it asked for.
class FontFileReader {
public:
  // A pipe or a device named like a font file is refused without waiting on it.
  explicit FontFileReader(const std::string& path) : file_(OpenRegular(path)) {
    struct stat info {};
    if (file_ != nullptr && ::fstat(::fileno(file_), &info) == 0) size_ = info.st_size;
  }
  ~FontFileReader() {
    if (file_ != nullptr) std::fclose(file_);
  }
  FontFileReader(const FontFileReader&) = delete;
  FontFileReader& operator=(const FontFileReader&) = delete;

  bool IsOpen() const { return file_ != nullptr; }
  bool Read(void* dst, size_t n) { return std::fread(dst, 1, n, file_) == n; }
  bool Skip(uint n) { return std::fseek(file_, static_cast<long>(n), SEEK_CUR) == 0; }
  bool SeekTo(uint pos) { return std::fseek(file_, static_cast<long>(pos), SEEK_SET) == 0; }
  long Tell() const { return std::ftell(file_); }
  // Whether n more bytes are there to read: lengths read from the file are checked by this
  // before memory is taken for them.
  bool Holds(uint n) const {
    const long at = Tell();
    return at >= 0 && at <= size_ && n <= static_cast<unsigned long>(size_ - at);
  }

  bool ReadChunkHeader(char (&id)[4], uint& length) {
    uchar bytes[8];
    if (!Read(bytes, sizeof(bytes))) return false;
    std::memcpy(id, bytes, 4);
    length = GetBE32(bytes + 4);
    return true;
  }

private:
  static std::FILE* OpenRegular(const std::string& path) {
    const int handle = TryOpenRegularFile(path, nullptr);
    if (handle < 0) return nullptr;
    std::FILE* file = ::fdopen(handle, "rb");
    if (file == nullptr) ::close(handle);
    return file;
  }

  std::FILE* file_;
  long size_ = 0;
};

bool IsChunk(const char (&id)[4], const char* name) { return std::memcmp(id, name, 4) == 0; }

constexpr uint kHeaderSize = 12;
constexpr uint kDescUsed = 10;
// Glyph chunks are read whole into memory; no real font comes near this.
constexpr uint kMaxGlyphChunk = 64u << 20;

[[noreturn]] void ShortRead() { throw EReadError(RtlText::ReadError); }

std::vector<uchar> ReadChunkBody(FontFileReader& in, uint length) {
  if (length > kMaxGlyphChunk) ThrowInvalidImage();
  if (!in.Holds(length)) ShortRead();
  std::vector<uchar> body(length);
  if (!in.Read(body.data(), length)) ShortRead();
  return body;
}

void SetUpTables(RFontGlyphs& glyphs, const std::vector<uchar>& widths, uint version,
                 size_t glyphBytes) {
  for (uchar width : widths)
    if (width > glyphs.rowBytes * 8) ThrowInvalidImage();  // wider than the glyph's rows
  glyphs.widths = widths;
  glyphs.offsets.assign(widths.size(), -1);
  long next = 0;
  for (size_t i = 0; i < widths.size(); ++i) {
    if (version >= kRfnCompressedVersion && widths[i] == 0) continue;
    glyphs.offsets[i] = next;
    next += static_cast<long>(glyphBytes);
  }
}

size_t GlyphCount(const RFontGlyphs& glyphs) {
  size_t count = 0;
  for (long offset : glyphs.offsets) count += offset >= 0;
  return count;
}

}  // namespace

const uchar* RFontGlyphs::Glyph(int ch) const {
  if (ch < first || ch > last) return nullptr;
  const long offset = offsets[static_cast<size_t>(ch - first)];
  return offset < 0 ? nullptr : bits.data() + offset;
}

int RFontGlyphs::Width(int ch) const {
  if (ch < first || ch > last) return 0;
  return widths[static_cast<size_t>(ch - first)];
}

bool ScanRfnFile(const std::string& path, RfnScan& scan) {
  FontFileReader in(path);
  uchar header[kHeaderSize];
  if (!in.IsOpen() || !in.Read(header, sizeof(header))) return false;
  if (std::memcmp(header, "FONT", 4) != 0) return false;
  scan.version = GetLE32(header + 8);
  if (scan.version >= kRfnVersionLimit) return false;
  uint remaining = GetBE32(header + 4);
  bool named = false;
  char id[4];
  uint length = 0;
  while (remaining >= 8 && in.ReadChunkHeader(id, length)) {
    remaining -= 8;
    if (length > remaining) break;  // a chunk that overruns the declared length ends the scan
    remaining -= length;
    if (IsChunk(id, "NAME") && !named) {
      if (!in.Holds(length)) break;
      scan.name.resize(length);
      if (!in.Read(scan.name.data(), length)) break;
      scan.name.resize(std::strlen(scan.name.c_str()));  // the registry holds names as C strings
      named = true;
      continue;
    }
    if (IsChunk(id, "DESC") && named && length >= kDescUsed) {
      RfnSize size;
      if (!in.Read(size.desc, kDescUsed) || !in.Skip(length - kDescUsed)) break;
      size.dataPos = static_cast<uint>(in.Tell());
      scan.sizes.push_back(size);
      continue;
    }
    if (!in.Skip(length)) break;
  }
  return named;
}

namespace {

bool SameName(const std::string& a, const std::string& b, RfnNameMatch match) {
  return match == RfnNameMatch::Exact ? a == b : SameText(a, b);
}

// The "DESC" bytes the registry keeps: 0 to 5 and 9.
bool SameUsedDescBytes(const uchar* a, const uchar* b) {
  return std::memcmp(a, b, 6) == 0 && a[9] == b[9];
}

}  // namespace

// The file's scan must find exactly these sizes: none left out, none twice. (Reading just the
// cached positions would be quicker, but cannot see a size the cache leaves out.)
bool RfnFileHolds(const std::string& path, uint version, const std::string& name,
                  RfnNameMatch match, const std::vector<RfnSize>& sizes) {
  RfnScan scan;
  ScanRfnFile(path, scan);  // a file that is no font scans to no sizes
  if (scan.sizes.size() != sizes.size()) return false;
  if (sizes.empty()) return true;
  if (scan.version != version || !SameName(scan.name, name, match)) return false;
  std::vector<bool> matched(scan.sizes.size());
  for (const RfnSize& size : sizes) {
    bool found = false;
    for (size_t i = 0; i < scan.sizes.size() && !found; ++i) {
      if (matched[i] || scan.sizes[i].dataPos != size.dataPos) continue;
      if (!SameUsedDescBytes(scan.sizes[i].desc, size.desc)) return false;
      matched[i] = found = true;
    }
    if (!found) return false;
  }
  return true;
}

std::unique_ptr<RFontGlyphs> ReadRfnGlyphs(const std::string& path, uint dataPos,
                                           const uchar desc[10], uint version) {
  FontFileReader in(path);
  if (!in.IsOpen()) return nullptr;
  if (!in.SeekTo(dataPos)) ShortRead();
  auto glyphs = std::make_unique<RFontGlyphs>();
  glyphs->height = desc[0];
  glyphs->rowBytes = desc[1];
  glyphs->first = desc[2];
  glyphs->last = desc[3];
  if (glyphs->last < glyphs->first || glyphs->height == 0 || glyphs->rowBytes == 0)
    ThrowInvalidImage();
  const size_t glyphBytes = size_t(glyphs->height) * glyphs->rowBytes;
  const size_t codes = size_t(glyphs->last - glyphs->first + 1);
  bool haveWidths = false;
  char id[4];
  uint length = 0;
  while (in.ReadChunkHeader(id, length)) {
    if (IsChunk(id, "WDTH")) {
      std::vector<uchar> widths = ReadChunkBody(in, length);
      if (widths.size() < codes) ThrowInvalidImage();
      widths.resize(codes);
      SetUpTables(*glyphs, widths, version, glyphBytes);
      haveWidths = true;
    } else if (IsChunk(id, "DATA")) {
      if (!haveWidths) ThrowInvalidImage();
      const std::vector<uchar> data = ReadChunkBody(in, length);
      const size_t needed = GlyphCount(*glyphs) * glyphBytes;
      if (version >= kRfnCompressedVersion) {
        glyphs->bits = DecodeGlyphBits(data.data(), data.size(), needed, glyphBytes,
                                       size_t(glyphs->rowBytes));
      } else {
        if (data.size() < needed) ThrowInvalidImage();
        glyphs->bits.assign(data.begin(), data.begin() + static_cast<long>(needed));
      }
      return glyphs;
    } else if (!in.Skip(length)) {
      ShortRead();
    }
  }
  ShortRead();
}
