#include "quillo/files/FixedMemoryStream.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/Exceptions.h"

TFixedMemoryStream::TFixedMemoryStream(const void* memory, std::size_t size)
    : memory_(static_cast<const unsigned char*>(memory)), size_(memory ? static_cast<std::int64_t>(size) : 0) {}

int TFixedMemoryStream::Read(void* buffer, int count) {
  if (count <= 0 || position_ >= size_) return 0;
  const std::int64_t n = std::min<std::int64_t>(count, size_ - position_);
  std::memcpy(buffer, memory_ + position_, static_cast<std::size_t>(n));
  position_ += n;
  return static_cast<int>(n);
}

int TFixedMemoryStream::Write(const void*, int) { return 0; }

std::int64_t TFixedMemoryStream::Seek(std::int64_t offset, int origin) {
  std::int64_t base = 0;
  if (origin == soFromCurrent) base = position_;
  if (origin == soFromEnd) base = size_;
  // Past the end reads nothing; before the start is held at 0.
  if (offset < 0 && -offset > base) position_ = 0;
  else if (offset > 0 && offset > INT64_MAX - base) position_ = INT64_MAX;
  else position_ = base + offset;
  return position_;
}

std::int64_t TFixedMemoryStream::Size() { return size_; }

void TFixedMemoryStream::SetSize(std::int64_t) { throw EWriteError(RtlText::WriteError); }
