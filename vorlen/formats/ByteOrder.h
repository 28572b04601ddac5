#pragma once
// Reading and writing multi-byte fields of file formats with their explicit byte order.

#include "vorlen/core/Types.h"

inline ushort GetLE16(const uchar* p) { return static_cast<ushort>(p[0] | p[1] << 8); }
inline uint GetLE32(const uchar* p) {
  return static_cast<uint>(p[0]) | static_cast<uint>(p[1]) << 8 | static_cast<uint>(p[2]) << 16 |
         static_cast<uint>(p[3]) << 24;
}
inline ushort GetBE16(const uchar* p) { return static_cast<ushort>(p[0] << 8 | p[1]); }
inline uint GetBE32(const uchar* p) {
  return static_cast<uint>(p[0]) << 24 | static_cast<uint>(p[1]) << 16 |
         static_cast<uint>(p[2]) << 8 | static_cast<uint>(p[3]);
}

// A four-character tag ("FORM", "IHDR") as the big-endian word files store it as.
constexpr uint BigEndianTag(const char (&s)[5]) {
  return static_cast<uint>(static_cast<uchar>(s[0])) << 24 | static_cast<uint>(static_cast<uchar>(s[1])) << 16 |
         static_cast<uint>(static_cast<uchar>(s[2])) << 8 | static_cast<uint>(static_cast<uchar>(s[3]));
}

inline void PutLE16(uchar* p, uint v) {
  p[0] = static_cast<uchar>(v);
  p[1] = static_cast<uchar>(v >> 8);
}
inline void PutLE32(uchar* p, uint v) {
  p[0] = static_cast<uchar>(v);
  p[1] = static_cast<uchar>(v >> 8);
  p[2] = static_cast<uchar>(v >> 16);
  p[3] = static_cast<uchar>(v >> 24);
}
inline void PutBE16(uchar* p, uint v) {
  p[0] = static_cast<uchar>(v >> 8);
  p[1] = static_cast<uchar>(v);
}
inline void PutBE32(uchar* p, uint v) {
  p[0] = static_cast<uchar>(v >> 24);
  p[1] = static_cast<uchar>(v >> 16);
  p[2] = static_cast<uchar>(v >> 8);
  p[3] = static_cast<uchar>(v);
}
