#include "quillo/filters/ExecutableMemory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <new>
#include <stdexcept>
#include <utility>

ExecutableMemory::ExecutableMemory(std::size_t size) {
  const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  size_ = (size + page - 1) / page * page;
  if (size_ == 0) size_ = page;
  pages_ = mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (pages_ == MAP_FAILED) {
    pages_ = nullptr;
    size_ = 0;
    throw std::bad_alloc();
  }
}

ExecutableMemory::~ExecutableMemory() { Release(); }

ExecutableMemory::ExecutableMemory(ExecutableMemory&& other) noexcept
    : pages_(std::exchange(other.pages_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      sealed_(std::exchange(other.sealed_, false)) {}

ExecutableMemory& ExecutableMemory::operator=(ExecutableMemory&& other) noexcept {
  if (this != &other) {
    Release();
    pages_ = std::exchange(other.pages_, nullptr);
    size_ = std::exchange(other.size_, 0);
    sealed_ = std::exchange(other.sealed_, false);
  }
  return *this;
}

void ExecutableMemory::Write(std::size_t offset, std::span<const std::uint8_t> code) {
  if (sealed_ || offset > size_ || code.size() > size_ - offset)
    throw std::logic_error("code written outside its writable pages");
  if (!code.empty()) std::memcpy(static_cast<std::uint8_t*>(pages_) + offset, code.data(), code.size());
}

void ExecutableMemory::Seal() {
  if (sealed_ || pages_ == nullptr) return;
  if (mprotect(pages_, size_, PROT_READ | PROT_EXEC) != 0) throw std::bad_alloc();
  sealed_ = true;
}

void ExecutableMemory::Release() noexcept {
  if (pages_ != nullptr) munmap(pages_, size_);
  pages_ = nullptr;
  size_ = 0;
  sealed_ = false;
}
