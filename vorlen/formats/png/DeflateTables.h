#pragma once
// The fixed tables of the deflate format (RFC 1951): match lengths 3-258 as symbols
// 257-285 and distances 1-32768 as codes 0-29, each a base plus extra bits.

#include "vorlen/core/Types.h"

namespace flate {

inline constexpr int kWindowSize = 32768;
inline constexpr int kMinMatch = 3;
inline constexpr int kMaxMatch = 258;
inline constexpr int kLiteralCodes = 286;  // literals, end of block, 29 length codes
inline constexpr int kFixedLiteralCodes = 288;
inline constexpr int kDistanceCodes = 30;
inline constexpr int kFixedDistanceCodes = 32;
inline constexpr int kCodeLengthCodes = 19;
inline constexpr int kMaxCodeLength = 15;
inline constexpr int kEndOfBlock = 256;

inline constexpr ushort kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,
                                           15, 17, 19, 23, 27, 31, 35, 43, 51,  59,
                                           67, 83, 99, 115, 131, 163, 195, 227, 258};
inline constexpr uchar kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                           2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
inline constexpr ushort kDistanceBase[30] = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
inline constexpr uchar kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                             6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// Order in which the lengths of the code-length code are stored.
inline constexpr uchar kCodeLengthOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                               11, 4,  12, 3, 13, 2, 14, 1, 15};

}  // namespace flate
