#pragma once
// The container side of the video-file service: a RIFF "AVI " file's first video stream, its
// format (a DIB header with its colour table) and where each of its frames lies. Only the
// chunk headers are read when a file is opened; frame data is read on demand.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/WinTypes.h"

// One chunk of the stream's data within the file.
struct AviChunk {
  std::int64_t offset = 0;  // of the chunk's data
  DWORD size = 0;
};

struct AviFrame {
  AviChunk data;
  std::vector<AviChunk> paletteChanges;  // palette chunks met since the previous frame
};

struct AviVideoStream {
  DWORD handler = 0;      // the stream header's handler code
  LONG start = 0;         // the stream header's start
  DWORD declaredLength = 0;
  std::vector<std::uint8_t> format;  // the stream format chunk: DIB header and colour table
  std::vector<AviFrame> frames;
};

class AviReader {
public:
  // Opens the file and indexes its first video stream. False when it is not a RIFF "AVI " file;
  // one whose headers are damaged opens without a video stream. Never throws on damaged data.
  bool Open(const std::string& path);
  bool HasVideo() const { return videoNumber_ >= 0; }
  const AviVideoStream& Video() const { return video_; }
  // Reads a chunk's data; false when the file is shorter than the index says.
  bool ReadChunk(const AviChunk& chunk, std::vector<std::uint8_t>& data);

private:
  struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  bool ReadHeaderList(std::int64_t begin, std::int64_t end);
  bool ReadStreamList(std::int64_t begin, std::int64_t end, bool& isVideo);
  void IndexMovie(std::int64_t begin, std::int64_t end, int depth);
  bool ChunkHeader(std::int64_t at, DWORD& id, DWORD& size);
  bool ReadAt(std::int64_t at, void* dst, size_t n);

  std::unique_ptr<std::FILE, FileCloser> file_;
  std::int64_t fileSize_ = 0;
  int videoNumber_ = -1;  // the stream number of the first video stream
  int streams_ = 0;
  AviVideoStream video_;
};

constexpr DWORD MakeFourCC(char a, char b, char c, char d) {
  return DWORD(std::uint8_t(a)) | DWORD(std::uint8_t(b)) << 8 | DWORD(std::uint8_t(c)) << 16 |
         DWORD(std::uint8_t(d)) << 24;
}
