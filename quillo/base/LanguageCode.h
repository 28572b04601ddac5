#pragma once
// The language file's prefix code: a 32-bit little-endian text length N, a description of a
// canonical prefix code over byte values, and the coded bits (most significant bit of each
// byte first) of exactly N bytes.
//
// The description starts with the shortest code length L0. L0 = 0 means the text is one byte
// repeated, given by the next byte. Otherwise, for L = L0, L0 + 1, ... it holds a count byte
// and that many symbols, which get the next codes of length L; it ends as soon as the code
// space is full. The decoder looks codes up in at most four 256-entry blocks: a code longer
// than 8 bits chains from one block to the next, so the longest code is bounded by how full
// each block is (at least 11 bits always fit).
//
// Shared by the program (decoding) and the build's encoder, so it uses the standard library
// only. Nothing read from a file is trusted: the description must describe exactly one full
// code in at most four blocks, the length must fit the coded bits and the size limit, and
// every read stays inside the given bytes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace LanguageCode {

inline constexpr std::size_t kLengthFieldSize = 4;
inline constexpr int kBlockCount = 4;
// A language file is some ten kilobytes of text; a megabyte is far beyond any.
inline constexpr std::uint32_t kMaxTextSize = 1u << 20;

enum class DecodeResult {
  Ok,
  Truncated,       // the file ends inside the length, the description or the coded bits
  BadDescription,  // not one full prefix code in four blocks
  TooLarge,        // the length is beyond kMaxTextSize
};

// One block of the decoding table, indexed by an 8-bit window: a code of in-block length
// 1..8 fills 256 >> length entries with its length and symbol; a negative length -k sends
// the decoder on to the next block after k more bits.
struct TableBlock {
  std::array<std::int8_t, 256> length{};
  std::array<std::uint8_t, 256> symbol{};
};
using CodeTable = std::array<TableBlock, kBlockCount>;

// Builds the table from the description at the start of bytes; answers the description's
// size in bytes, or 0 when it is cut short or describes no valid code.
std::size_t BuildCodeTable(const std::uint8_t* bytes, std::size_t size, CodeTable& table);

// Decodes a whole language file into text; text is left alone unless the result is Ok.
DecodeResult Decode(const std::uint8_t* bytes, std::size_t size, std::string& text);

}  // namespace LanguageCode
