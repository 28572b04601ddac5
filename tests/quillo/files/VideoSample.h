#pragma once
// A small uncompressed video file: the test sample of a file that holds several images.

#include <cstdint>
#include <string>
#include <vector>

namespace videosample {

using Bytes = std::string;

inline void Le32(Bytes& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<char>(v >> (8 * i)));
}
inline Bytes Chunk(const char* id, const Bytes& body) {
  Bytes b(id, 4);
  Le32(b, static_cast<std::uint32_t>(body.size()));
  b += body;
  if (body.size() & 1) b.push_back('\0');
  return b;
}
inline Bytes List(const char* type, const Bytes& body) { return Chunk("LIST", Bytes(type, 4) + body); }

// An uncompressed video of 4 x 2 frames at 24 bits, one colour (0x00RRGGBB) each; a frame
// given as -1 is cut short, so it cannot be read.
inline Bytes VideoSample(const std::vector<std::int64_t>& colours) {
  constexpr int kWidth = 4, kHeight = 2;
  Bytes format;
  for (std::uint32_t v : {40u, std::uint32_t{kWidth}, std::uint32_t{kHeight}}) Le32(format, v);
  format += Bytes("\x01\x00\x18\x00", 4);
  for (int i = 0; i < 6; ++i) Le32(format, 0);
  Bytes header("vidsDIB ", 8);
  header.resize(56, '\0');
  Bytes frames;
  for (std::int64_t colour : colours) {
    Bytes f;
    if (colour >= 0)
      for (int i = 0; i < kWidth * kHeight; ++i) {
        f.push_back(static_cast<char>(colour));
        f.push_back(static_cast<char>(colour >> 8));
        f.push_back(static_cast<char>(colour >> 16));
      }
    else
      f = "xyz";
    frames += Chunk("00db", f);
  }
  const Bytes headers = List("hdrl", Chunk("avih", Bytes(56, '\0')) +
                                         List("strl", Chunk("strh", header) + Chunk("strf", format)));
  return Chunk("RIFF", Bytes("AVI ") + headers + List("movi", frames));
}

}  // namespace videosample

using videosample::VideoSample;
