#include "vorlen/formats/gif/GifLzw.h"

#include "vorlen/formats/GFXFile.h"

// ---------------------------------------------------------------------------------------
// Decoder

LZWDecoder::LZWDecoder(LZWSource& src) : source(src) {}

void LZWDecoder::Reset(int minimumCodeSize) {
  minimum = minimumCodeSize;
  clearCode = 1 << minimum;
  endCode = clearCode + 1;
  for (int i = 0; i < clearCode; ++i) {
    prefix[i] = -1;
    suffix[i] = static_cast<uchar>(i);
    first[i] = static_cast<uchar>(i);
  }
  blockLength = blockPosition = 0;
  ended = false;
  bits = 0;
  bitCount = 0;
  pending = 0;
  RestartTable();
}

void LZWDecoder::RestartTable() {
  codeSize = minimum + 1;
  limit = 1 << codeSize;
  nextCode = clearCode + 2;
  previous = -1;
}

// The next data sub-block. The terminator, where data is still needed, is a format error.
void LZWDecoder::ReadBlock() {
  if (ended) ThrowInvalidImage();
  uchar length = 0;
  source.Read(&length, 1);
  if (length == 0) {
    ended = true;
    ThrowInvalidImage();
  }
  source.Read(block.data(), length);
  blockLength = length;
  blockPosition = 0;
}

int LZWDecoder::ReadCode() {
  while (bitCount < codeSize) {
    if (blockPosition >= blockLength) ReadBlock();
    bits |= static_cast<uint>(block[blockPosition++]) << bitCount;
    bitCount += 8;
  }
  const int code = static_cast<int>(bits & static_cast<uint>(limit - 1));
  bits >>= codeSize;
  bitCount -= codeSize;
  return code;
}

void LZWDecoder::AddEntry(int prefixCode, uchar byte) {
  if (nextCode >= kLZWCodes) return;  // a full table stays as it is until a clear code
  prefix[nextCode] = static_cast<short>(prefixCode);
  suffix[nextCode] = byte;
  first[nextCode] = first[prefixCode];
  ++nextCode;
  if (nextCode == limit && codeSize < kLZWMaxBits) {
    ++codeSize;
    limit <<= 1;
  }
}

// Pushes the code's string on the stack, last byte first; prefixes always point to lower
// codes, so the walk ends at a root.
int LZWDecoder::PushString(int code) {
  while (code >= clearCode) {
    stack[pending++] = suffix[code];
    code = prefix[code];
  }
  stack[pending++] = static_cast<uchar>(code);
  return code;
}

uchar LZWDecoder::DecodeCode() {
  int code = ReadCode();
  while (code == clearCode) {
    RestartTable();
    code = ReadCode();
  }
  if (code == endCode || code > nextCode) ThrowInvalidImage();
  if (previous < 0) {
    // The first code after a reset or a clear code has no string to extend: only a root.
    if (code >= clearCode) ThrowInvalidImage();
    previous = code;
    return static_cast<uchar>(code);
  }
  if (code == nextCode) {
    // The string not yet in the table: the previous string and its own first byte.
    if (nextCode >= kLZWCodes) ThrowInvalidImage();
    AddEntry(previous, first[previous]);
    PushString(code);
  } else {
    PushString(code);
    AddEntry(previous, first[code]);
  }
  previous = code;
  return stack[--pending];
}

void LZWDecoder::Decode(uchar* target, int count) {
  uchar* const end = target + count;
  while (target < end) {
    while (pending > 0 && target < end) *target++ = stack[--pending];
    if (target < end) *target++ = DecodeCode();
  }
}

void LZWDecoder::Skip(int count) {
  for (; count > 0; --count) DecodeNext();
}

void LZWDecoder::SkipToTerminator() {
  if (ended) return;
  for (;;) {
    uchar length = 0;
    source.Read(&length, 1);
    if (length == 0) break;
    source.Read(block.data(), length);
  }
  ended = true;
  blockLength = blockPosition = 0;
}

// ---------------------------------------------------------------------------------------
// Encoder

LZWEncoder::LZWEncoder(LZWSink& target) : sink(target) {}

void LZWEncoder::ResetTable() {
  codeSize = minimum + 1;
  limit = 1 << codeSize;
  nextCode = clearCode + 2;
  firstChild.fill(0);  // 0 never names a child: children are above the end code
  nextSibling.fill(0);
}

void LZWEncoder::Start(int minimumCodeSize) {
  minimum = minimumCodeSize;
  clearCode = 1 << minimum;
  endCode = clearCode + 1;
  blockFill = 0;
  accumulator = 0;
  bitCount = 0;
  current = -1;
  ResetTable();
  PutCode(clearCode);
}

void LZWEncoder::FlushBlock() {
  if (blockFill == 0) return;
  const uchar length = static_cast<uchar>(blockFill);
  sink.Write(&length, 1);
  sink.Write(block.data(), blockFill);
  blockFill = 0;
}

void LZWEncoder::PutCode(int code) {
  accumulator |= static_cast<unsigned long long>(code) << bitCount;
  bitCount += codeSize;
  while (bitCount >= 8) {
    block[blockFill++] = static_cast<uchar>(accumulator);
    if (blockFill == static_cast<int>(block.size())) FlushBlock();
    accumulator >>= 8;
    bitCount -= 8;
  }
}

// After a code is written with the table at its limit: a wider code, or at 12 bits a clear
// code and a fresh table.
void LZWEncoder::GrowOrClear() {
  if (codeSize < kLZWMaxBits) {
    ++codeSize;
    limit <<= 1;
    return;
  }
  PutCode(clearCode);
  ResetTable();
}

void LZWEncoder::PutChar(uchar value) {
  if (current < 0) {
    current = value;
    return;
  }
  for (int child = firstChild[current]; child != 0; child = nextSibling[child]) {
    if (byte[child] == value) {
      current = child;
      return;
    }
  }
  PutCode(current);
  if (nextCode == limit) {
    const bool cleared = codeSize == kLZWMaxBits;
    GrowOrClear();
    if (cleared) {
      current = value;
      return;
    }
  }
  byte[nextCode] = value;
  nextSibling[nextCode] = firstChild[current];
  firstChild[current] = static_cast<short>(nextCode);
  ++nextCode;
  current = value;
}

void LZWEncoder::Put(const uchar* values, int count) {
  // An index the code size cannot hold would turn into a control code; keep its low bits.
  const uchar mask = static_cast<uchar>(clearCode - 1);
  for (const uchar* end = values + count; values < end; ++values) PutChar(*values & mask);
}

void LZWEncoder::Finish() {
  if (current >= 0) {
    PutCode(current);
    // The decoder adds an entry for this code and widens its codes as the encoder would.
    if (nextCode == limit && codeSize < kLZWMaxBits) {
      ++codeSize;
      limit <<= 1;
    }
    current = -1;
  }
  PutCode(endCode);
  if (bitCount > 0) {  // the last bits, rounded up to a byte
    block[blockFill++] = static_cast<uchar>(accumulator);
    accumulator = 0;
    bitCount = 0;
  }
  FlushBlock();
  const uchar terminator = 0;
  sink.Write(&terminator, 1);
}
