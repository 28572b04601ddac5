#pragma once
// The variable-length LZW coder of GIF image data: codes of 3 to 12 bits packed least
// significant bit first into data sub-blocks (a length byte and up to 255 bytes), ended by a
// zero-length block. The coders know nothing of GIF files: bytes come from an LZWSource and
// go to an LZWSink, so they can be tested alone.

#include <array>

#include "vorlen/core/Types.h"

// Where the decoder takes its bytes; Read raises the stream's read error on short data.
class LZWSource {
public:
  virtual ~LZWSource() = default;
  virtual void Read(uchar* target, int count) = 0;
};

// Where the encoder puts its bytes.
class LZWSink {
public:
  virtual ~LZWSink() = default;
  virtual void Write(const uchar* source, int count) = 0;
};

inline constexpr int kLZWMaxBits = 12;
inline constexpr int kLZWCodes = 1 << kLZWMaxBits;
// The most indices one code can yield: the string of the last entry of a full table with the
// smallest alphabet (entries 6 to 4095 after 4 roots, clear and end, each one longer than the
// one before at most). It comes in a 12-bit code, so 3 bytes of data yield at most
// 2 x kLZWLongestString indices, and no shorter code yields more per bit.
inline constexpr int kLZWLongestString = kLZWCodes - 5;

class LZWDecoder {
public:
  explicit LZWDecoder(LZWSource& source);

  // Starts an image's data: minimum code size 2 to 11 (the caller checks the range).
  void Reset(int minimumCodeSize);
  // The next pixel index. Raises EInvalidImage "100" on a malformed code stream.
  uchar DecodeNext() { return pending > 0 ? stack[--pending] : DecodeCode(); }
  // count pixel indices into target, from the first to the last.
  void Decode(uchar* target, int count);
  // Passes over count pixel indices.
  void Skip(int count);
  // Passes over whatever data sub-blocks remain, up to and including the zero-length one.
  void SkipToTerminator();

private:
  void ReadBlock();
  int ReadCode();
  void RestartTable();
  uchar DecodeCode();
  void AddEntry(int prefix, uchar byte);
  int PushString(int code);

  LZWSource& source;
  std::array<uchar, 255> block{};
  int blockLength = 0;
  int blockPosition = 0;
  bool ended = false;  // the zero-length terminator has been read

  uint bits = 0;
  int bitCount = 0;

  int minimum = 2;
  int clearCode = 4;
  int endCode = 5;
  int codeSize = 3;
  int limit = 8;
  int nextCode = 6;
  int previous = -1;  // -1: no previous code since the last reset or clear code

  std::array<short, kLZWCodes> prefix{};
  std::array<uchar, kLZWCodes> suffix{};
  std::array<uchar, kLZWCodes> first{};  // the first byte of each code's string
  std::array<uchar, kLZWCodes> stack{};
  int pending = 0;
};

class LZWEncoder {
public:
  explicit LZWEncoder(LZWSink& sink);

  // Writes the clear code and resets the table; minimum code size 2 to 8.
  void Start(int minimumCodeSize);
  // Adds one pixel index (below 2^minimum).
  void PutChar(uchar value);
  void Put(const uchar* values, int count);
  // Writes the pending string, the end code, the last bits, the last sub-block and the
  // zero-length terminator.
  void Finish();

private:
  void PutCode(int code);
  void FlushBlock();
  void ResetTable();
  void GrowOrClear();

  LZWSink& sink;
  std::array<uchar, 255> block{};
  int blockFill = 0;
  unsigned long long accumulator = 0;
  int bitCount = 0;

  int minimum = 2;
  int clearCode = 4;
  int endCode = 5;
  int codeSize = 3;
  int limit = 8;
  int nextCode = 6;
  int current = -1;  // the current string's code; -1 = none

  std::array<short, kLZWCodes> firstChild{};
  std::array<short, kLZWCodes> nextSibling{};
  std::array<uchar, kLZWCodes> byte{};
};
