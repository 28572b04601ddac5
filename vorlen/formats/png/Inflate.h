#pragma once
// The decompressor of zlib streams (RFC 1950) holding deflate data (RFC 1951). It pulls its
// input from a source piece by piece (the IDAT chunks of a PNG file, or memory) and hands
// out the decompressed bytes in whatever portions the caller asks for. Decoded bytes are
// kept in a window that holds the 32 KB of history the format may refer back to.
//
// Errors of the data raise EInvalidImage "100"; bytes decoded before the fault are still
// handed out, after which every request raises the error again: a failed stream stays failed.

#include <cstddef>
#include <exception>
#include <memory>

#include "vorlen/core/Types.h"
#include "vorlen/formats/png/InflateTable.h"

// The most bytes one byte of deflate data can inflate to: a 258-byte match coded in two bits.
inline constexpr int kMaxInflateRatio = 1032;

// Where compressed bytes come from.
class InflateSource {
public:
  virtual ~InflateSource() = default;
  // Points data at the next piece of input and answers its size; 0 when there is no more.
  virtual size_t Pull(const uchar*& data) = 0;
};

// A source over one block of memory.
class MemorySource : public InflateSource {
public:
  MemorySource(const uchar* data, size_t size) : data_(data), size_(size) {}
  size_t Pull(const uchar*& data) override;

private:
  const uchar* data_;
  size_t size_;
};

class Inflate {
public:
  explicit Inflate(InflateSource& source);
  ~Inflate();
  Inflate(const Inflate&) = delete;
  Inflate& operator=(const Inflate&) = delete;

  // Reads and checks the two-byte zlib header (deflate, no preset dictionary).
  void ReadZlibHeader();
  // Copies up to n decompressed bytes to dst; fewer only when the final block has ended.
  size_t Read(uchar* dst, size_t n);
  // Decodes to the end of the final block, discarding what is left, then reads the stored
  // Adler-32 and compares it with that of all decompressed bytes.
  void FinishZlib();
  // Adler-32 of the bytes decoded so far.
  uint Adler() const { return adler_; }

private:
  enum class State { BlockHeader, Stored, Huffman, Done, Failed };

  void CheckZlibHeader();
  void CheckTrailer();
  void Fail();
  template <class Step>
  void FailOnError(Step step);
  void Produce();
  size_t ProduceInto(uchar* dst, size_t done, size_t n);
  void Decode();
  void DecodeBlockHeader();
  void ReadDynamicTables();
  void CopyStored();
  void DecodeHuffmanFast();
  bool DecodeHuffmanSlow();
  uint DecodeSymbol(const InflateTable& table);
  uint GetBits(int n);
  void NeedBits(int n);
  bool PullByte();
  void Slide();
  void ThrowPending();

  InflateSource& source_;
  const uchar* in_ = nullptr;
  const uchar* inEnd_ = nullptr;
  unsigned long long bits_ = 0;  // valid bits are the low bitCount_ ones
  int bitCount_ = 0;

  State state_ = State::BlockHeader;
  bool finalBlock_ = false;
  uint storedLeft_ = 0;
  InflateTable literals_;
  InflateTable distances_;

  std::unique_ptr<uchar[]> window_;
  // Where bytes are decoded: the window, or for a while the caller's memory.
  uchar* out_;
  size_t limit_ = 0;      // decoding stops at this offset of out_, room for a match after it
  size_t written_ = 0;   // bytes decoded into out_ so far
  size_t handedOut_ = 0;  // bytes of the window already given to the caller
  uint adler_ = 1;
  std::exception_ptr error_;
};
