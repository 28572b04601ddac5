#pragma once
// Pixel-format conversions between file and device formats and the pixel word 0x00RRGGBB.
// Run forms (ending in s) convert count elements from the first to the last, so a target
// may start at its source's address or, when it widens, below it: codecs widen a row in
// place with the packed source placed at the end of the target row. Count 0 does nothing.
// "BGR" byte orders hold red first; "RGB" byte orders hold blue first (the memory order of
// a little-endian 0x00RRGGBB).

#include <cstdint>

#include "platform/rtl/FloatControl.h"
#include "vorlen/core/Types.h"

// Single pixels.
uint BSwap(uint value);
uint BGR12RGB32(uint value);
uint PIX12RGB32(uint value);
uint RGB15RGB32(uint value);
uint BGR24RGB32(uint value);
uint BGR32RGB32(uint value);
uint RGB32RGB32(uint value);
uint XBGR32RGB32(uint value);

// Runs.
void Stosd(uint value, uint* target, int count);
void Movsd(const uint* source, uint* target, int count);  // overlapping runs copy correctly
void BGR12RGB32s(const ushort* source, uint* target, int count);
void PIX12RGB32s(const ushort* source, uint* target, int count);
void RGB15RGB32s(const ushort* source, uint* target, int count);  // bit 15 becomes bit 24
void RGB16RGB32s(const ushort* source, uint* target, int count, const uint* prepared);
void BGR24RGB24s(const uchar* source, uchar* target, int count);
void BGR24RGB32s(const uchar* source, uint* target, int count);
void RGB24RGB32s(const uchar* source, uint* target, int count);
void BGR32RGB32s(const uint* source, uint* target, int count);
void RGB32RGB32s(const uint* source, uint* target, int count);
void XBGR32RGB32s(const uint* source, uint* target, int count);
void RGB32RGB24s(const uint* source, uchar* target, int count);
void RGB32BGR24s(const uint* source, uchar* target, int count);
void LUTsd(const uchar* indices, uint* target, int count, const uint* table);
void RGB32(const uchar* red, const uchar* green, const uchar* blue, uint* target, int count);

// Bit fields of 16-bit pixels: masks are red, green, blue; each prepared word holds the mask
// (bits 0-15), the left rotation that brings the field's top bit to bit 23, 15 or 7 (bits
// 16-23) and the field's width (bits 24-31).
void RGB16PrepareMask(const uint* masks, uint* prepared);

// Bit planes (first pixel in the most significant bit) and packed 4- and 2-bit pixels.
void SetBitsb(const uchar* bits, uchar* target, int count, int value);
void SetBitsd(const uchar* bits, uint* target, int count, uint value);
void GetBitsb(const uchar* source, uchar* bits, int count, int mask);
void GetBitsd(const uint* source, uchar* bits, int count, uint mask);
void SetHBytes(const uchar* packed, uchar* target, int count);
void GetHBytes(const uchar* source, uchar* packed, int count);
void SetQBytes(const uchar* packed, uchar* target, int count);
void GetQBytes(const uchar* source, uchar* packed, int count);

// Distinct colours (low 24 bits) of count pixels, with one bit per colour in a caller's work
// area of 2^24 bits. The sliced form counts only pixels whose low `shift` bits equal `slice`,
// in a work area of 2^(24 - shift) bits.
constexpr std::size_t kColorCountWorkBytes = 1u << 21;
int CountColorsFast(const uint* pixels, uint* work, int count);
int CountColorsFastX(const uint* pixels, uint* work, int count, uint slice, int shift);
