#pragma once
// Pages for machine code built at run time. They are mapped writable, filled, then turned
// read-and-execute; never writable and executable at once. Unmapped when destroyed.

#include <cstddef>
#include <cstdint>
#include <span>

class ExecutableMemory {
 public:
  ExecutableMemory() = default;
  // Maps `size` writable bytes (rounded up to whole pages); throws std::bad_alloc on failure.
  explicit ExecutableMemory(std::size_t size);
  ~ExecutableMemory();
  ExecutableMemory(ExecutableMemory&& other) noexcept;
  ExecutableMemory& operator=(ExecutableMemory&& other) noexcept;
  ExecutableMemory(const ExecutableMemory&) = delete;
  ExecutableMemory& operator=(const ExecutableMemory&) = delete;

  // Copies `code` to `offset`; only before Seal.
  void Write(std::size_t offset, std::span<const std::uint8_t> code);
  // Makes the pages read-and-execute; throws std::bad_alloc if the system refuses.
  void Seal();

  const std::uint8_t* Data() const { return static_cast<const std::uint8_t*>(pages_); }
  std::size_t Size() const { return size_; }
  bool Sealed() const { return sealed_; }

 private:
  void Release() noexcept;

  void* pages_ = nullptr;
  std::size_t size_ = 0;
  bool sealed_ = false;
};
