#pragma once
// The one block of shared memory a filter run hands its child process: the source picture,
// the destination the filter writes into (it starts as a copy of the source) and the selection
// bits, each part starting on a page of its own. Its size is sealed: no process can shrink or
// grow it.

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

private:
  int memory_ = -1;
  std::uint8_t* block_ = nullptr;
  std::uint64_t size_ = 0;
  std::uint64_t destination_ = 0;
  std::uint64_t mask_ = 0;
  int width_ = 0, height_ = 0;
  int maskRowBytes_ = 0;
  bool hasMask_ = false;
};
