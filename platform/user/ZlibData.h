#pragma once
// The zlib data format as desktop image files (PNG) carry it: a writer that stores the data
// in uncompressed deflate blocks, and a reader for every deflate block kind, with the
// checksums both use. The reader never trusts the stream: it stops at the output size it is
// told to expect and fails on any code, distance or length the data cannot have.

#include <cstddef>
#include <cstdint>
#include <vector>

std::uint32_t Crc32(const std::uint8_t* data, size_t size, std::uint32_t crc = 0);
std::uint32_t Adler32(const std::uint8_t* data, size_t size);

// A zlib stream of stored blocks holding the bytes.
std::vector<std::uint8_t> StoredZlibStream(const std::uint8_t* data, size_t size);
// Inflates a zlib stream whose data must be exactly expectedSize bytes, Adler-32 checked.
bool InflateZlibStream(const std::uint8_t* data, size_t size, size_t expectedSize, std::vector<std::uint8_t>& out);
