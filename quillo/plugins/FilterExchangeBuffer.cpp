#include "quillo/plugins/FilterExchangeBuffer.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>

namespace {

// Larger requests are refused before any memory is taken: no plug-in buffer of a picture the
// program can hold comes near this.
constexpr std::uint64_t kLargestBuffer = std::uint64_t{1} << 36;

}  // namespace

GuardedBuffer::~GuardedBuffer() { Free(); }

bool GuardedBuffer::Allocate(std::uint64_t size) {
  if (size == 0 || size > kLargestBuffer) {
    Free();
    return false;
  }
  const std::uint64_t page = static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
  const std::uint64_t usable = (size + page - 1) / page * page;
  // A tile-by-tile plug-in asks for buffers of one size again and again: the mapping it had
  // is kept (new pages cost far more than clearing old ones).
  if (base_ != nullptr && usable == mapped_ - page) {
    data_ = static_cast<std::uint8_t*>(base_) + (usable - size);
    size_ = size;
    std::memset(data_, 0, static_cast<std::size_t>(size));
    return true;
  }
  Free();
  const std::size_t mapped = static_cast<std::size_t>(usable + page);
  void* base = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (base == MAP_FAILED) return false;
  auto* bytes = static_cast<std::uint8_t*>(base);
  if (mprotect(bytes + usable, static_cast<std::size_t>(page), PROT_NONE) != 0) {
    munmap(base, mapped);
    return false;
  }
  base_ = base;
  mapped_ = mapped;
  data_ = bytes + (usable - size);  // the buffer ends where the guard page starts
  size_ = size;
  return true;
}

void GuardedBuffer::Free() {
  if (base_ != nullptr) munmap(base_, mapped_);
  base_ = nullptr;
  mapped_ = 0;
  data_ = nullptr;
  size_ = 0;
}
