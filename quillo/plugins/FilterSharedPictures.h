#pragma once
// The one block of shared memory a filter run hands its child process: the source picture,
// the destination the filter writes into (it starts as a copy of the source) and the selection
// bits, each part starting on a page of its own. Its size is sealed: no process can shrink or
// grow it.
//
// New pages cost far more than copying into pages the program already has (the kernel clears
// each one as it is first touched, and frees it again after the run), so a block outlives its
// run: the next run takes it back when it is big enough and not much bigger, and a run that
// needs another size lets it go first. A run hands its child only the part it needs.

#include <cstdint>

#include "vorlen/core/Types.h"

class Buffer;
class BitBuffer;
struct FilterRunRequest;

class FilterSharedPictures {
public:
  FilterSharedPictures() = default;
  ~FilterSharedPictures();
  FilterSharedPictures(const FilterSharedPictures&) = delete;
  FilterSharedPictures& operator=(const FilterSharedPictures&) = delete;

  // Makes the block for source (and mask, when given) and copies them in; false when there is
  // no memory for it.
  bool Create(const Buffer& source, const BitBuffer* mask);
  // The block's descriptor and its parts, for the request.
  int Descriptor() const { return memory_; }
  void Describe(FilterRunRequest& request) const;
  // The block still has its size (it is sealed so; checked before anything is read back).
  bool Intact() const;
  // Copies area (inclusive, in picture coordinates) of the destination into picture; nothing
  // when the block is not intact.
  void CopyResult(Buffer& picture, const Rect& area) const;
  // Lets go of the block kept for the next run, if any.
  static void ReleaseKeptBlock();

private:
  int memory_ = -1;
  std::uint8_t* block_ = nullptr;
  std::uint64_t size_ = 0;      // what this run uses of the block
  std::uint64_t blockSize_ = 0;  // the whole block
  std::uint64_t destination_ = 0;
  std::uint64_t mask_ = 0;
  int width_ = 0, height_ = 0;
  int maskRowBytes_ = 0;
  bool hasMask_ = false;
};
