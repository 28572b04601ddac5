#pragma once
// The compressor: zlib streams (RFC 1950) of dynamic Huffman deflate blocks (RFC 1951).
// Bytes come in in any portions; positions are decided once enough bytes follow them for
// the longest match. The match finder keeps the latest position of every 3-byte hash and,
// for every position of the last 32 KB, the previous one with the same 4-byte hash; matches
// are extended along that chain, and a 3-byte match is taken only when no longer one is
// there. One position of lazy evaluation: a match is held back one byte in case the next
// position starts a longer one. Where the last block's literals are cheap, matches too
// short to pay on them are not looked for, and where they are cheap the search thins out
// after a stretch that found nothing.

#include <cstddef>
#include <memory>

#include "vorlen/core/Types.h"
#include "vorlen/formats/png/DeflateBlock.h"

class Deflate {
public:
  explicit Deflate(DeflateSink& sink);
  ~Deflate();
  Deflate(const Deflate&) = delete;
  Deflate& operator=(const Deflate&) = delete;

  // The two header bytes 78 9C (deflate, 32 KB window, default compression).
  void WriteZlibHeader();
  void Write(const uchar* data, size_t n);
  void PutByte(uchar byte) { Write(&byte, 1); }
  // Decides the remaining positions, writes the final block, pads to a byte and appends the
  // Adler-32 of all input, most significant byte first.
  void FinishZlib();
  uint Adler() const { return adler_; }

private:
  struct Match {
    int length = 0;
    int distance = 0;
  };
  struct Tables;

  void DecideAvailable(int lookahead);
  void Decide(int p, int maxLength);
  int LinkPosition(int p, int maxLength);
  void Insert(int p, int maxLength);
  void Prefetch(int p) const;
  void Rebase();
  Match LongestMatch(int p, int first, int maxLength, int chain, int floor) const;
  int MatchLength(int a, int b, int maxLength) const;
  void Slide();

  DeflateBlock block_;
  std::unique_ptr<Tables> t_;
  std::unique_ptr<uchar[]> window_;
  int end_ = 0;       // bytes in the window
  int position_ = 0;  // next position to decide
  int base_ = 0;      // window position the tables' 16-bit positions count from
  Match pending_;      // match found at the previous position, not yet emitted
  int covered_ = 0;    // positions still inside an emitted match
  int misses_ = 0;     // positions in a row that started no match
  int skipped_ = 0;    // positions passed over since the last one searched
  uint adler_ = 1;
};
