#pragma once
// Memory for the buffers a filter plug-in reads and writes, with an unmapped page right after
// the last byte: a plug-in that writes past its buffer stops at once with a fault (in the
// child process that runs it), instead of spoiling what lies beyond and going on.

#include <cstddef>
#include <cstdint>

class GuardedBuffer {
public:
  GuardedBuffer() = default;
  ~GuardedBuffer();
  GuardedBuffer(const GuardedBuffer&) = delete;
  GuardedBuffer& operator=(const GuardedBuffer&) = delete;

  // size bytes (at least 1), zeroed; false, and no memory, when they cannot be had.
  bool Allocate(std::uint64_t size);
  void Free();
  std::uint8_t* Data() const { return data_; }
  std::uint64_t Size() const { return size_; }

private:
  void* base_ = nullptr;
  std::size_t mapped_ = 0;
  std::uint8_t* data_ = nullptr;
  std::uint64_t size_ = 0;
};
