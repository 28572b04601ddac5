#pragma once
// A read-only stream over memory someone else owns (a locked clipboard block, a scanner's
// bitmap): the decoders read from it without a copy, and freeing the stream leaves the memory
// alone. Writing and resizing are refused.

#include <cstddef>
#include <cstdint>

#include "platform/rtl/Streams.h"

class TFixedMemoryStream : public TStream {
public:
  TFixedMemoryStream(const void* memory, std::size_t size);

  int Read(void* buffer, int count) override;
  int Write(const void* buffer, int count) override;  // always 0
  std::int64_t Seek(std::int64_t offset, int origin) override;
  std::int64_t Size() override;
  void SetSize(std::int64_t size) override;  // EWriteError: the memory is not ours to resize

private:
  const unsigned char* memory_;
  std::int64_t size_;
  std::int64_t position_ = 0;
};
