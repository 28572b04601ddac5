#pragma once
// Writes text as a language file (quillo/base/LanguageCode.h) in as few bytes as the format
// allows: for every range of code lengths the format can describe, the prefix code with the
// fewest coded bits within that range; of those, the one whose whole file (description and
// bits) is smallest and that fits the decoder's four table blocks.

#include <cstdint>
#include <string>
#include <vector>

std::vector<std::uint8_t> EncodeLanguageText(const std::string& text);

// The code lengths that EncodeLanguageText chooses, one per byte value (0 for a byte the text
// lacks); for tests that compare them with other codes.
std::vector<int> LanguageCodeLengths(const std::string& text);
