#pragma once
// The two checksums of compressed image data: CRC-32 (ISO 3309, reflected polynomial
// 0xEDB88320, as PNG chunks use it) and the zlib Adler-32. Both continue a running value.

#include <cstddef>

#include "vorlen/core/Types.h"

// CRC-32 of n bytes continuing crc; start a fresh checksum with 0.
uint PNGCrc32(uint crc, const uchar* bytes, size_t n);

// Adler-32 of n bytes continuing adler; start a fresh checksum with 1.
uint Adler32(uint adler, const uchar* bytes, size_t n);

// The instruction sets Adler32 can use. Adler32 takes the fastest this processor has; every
// path gives the same sums.
enum class ChecksumPath { Plain, Sse2, Avx2 };
bool ChecksumPathAvailable(ChecksumPath path);
// Adler32 on the path given, which must be available.
uint Adler32On(ChecksumPath path, uint adler, const uchar* bytes, size_t n);
