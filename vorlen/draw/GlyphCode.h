#pragma once
// The compression of glyph bits in font files of version 2: a canonical prefix code of at most
// 8 bits a code. The stream starts with the number of codes of each length 1 to 8 (8 bytes),
// then the symbols in code order, then the codes, most significant bit first. Within each
// glyph every row but the first was XORed with the row above before coding.

#include <cstddef>
#include <vector>

#include "vorlen/core/Types.h"

constexpr int kGlyphCodeMaxBits = 8;

// Decodes exactly outSize bytes and undoes the row XOR for glyphs of glyphBytes bytes in rows
// of rowBytes. Raises EInvalidImage "100" on a malformed table or a stream that runs short.
std::vector<uchar> DecodeGlyphBits(const uchar* data, size_t size, size_t outSize,
                                   size_t glyphBytes, size_t rowBytes);
