#include "quillo/plugins/FilterSharedPictures.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "quillo/plugins/FilterChannel.h"
#include "vorlen/core/BitBuffer.h"
#include "vorlen/core/Buffer.h"

namespace {

std::uint64_t PageRound(std::uint64_t bytes) {
  const std::uint64_t page = static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
  return (bytes + page - 1) / page * page;
}

}  // namespace

FilterSharedPictures::~FilterSharedPictures() {
  if (block_ != nullptr) munmap(block_, size_);
  if (memory_ >= 0) close(memory_);
}

bool FilterSharedPictures::Create(const Buffer& source, const BitBuffer* mask) {
  width_ = source.Width();
  height_ = source.Height();
  if (width_ <= 0 || height_ <= 0 || source.pixels == nullptr) return false;
  hasMask_ = mask != nullptr && mask->words != nullptr && mask->width >= width_ && mask->height >= height_;
  const std::uint64_t rowBytes = std::uint64_t(width_) * 4;
  const std::uint64_t pictureBytes = PageRound(rowBytes * height_);
  maskRowBytes_ = hasMask_ ? mask->stride * 4 : 0;
  destination_ = pictureBytes;
  mask_ = 2 * pictureBytes;
  size_ = mask_ + PageRound(std::uint64_t(maskRowBytes_) * height_);
  memory_ = memfd_create("quillo-filter", MFD_CLOEXEC | MFD_ALLOW_SEALING);
  if (memory_ < 0 || ftruncate(memory_, static_cast<off_t>(size_)) != 0) return false;
  // The size is fixed before any helper sees the block: a plug-in that shrinks it would make
  // the program's reads of the result fault.
  if (fcntl(memory_, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_SEAL) != 0) return false;
  void* block = mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, memory_, 0);
  if (block == MAP_FAILED) return false;
  block_ = static_cast<std::uint8_t*>(block);
  for (int y = 0; y < height_; ++y) {
    const uint* row = source.pixels + static_cast<std::ptrdiff_t>(y) * source.stride;
    std::memcpy(block_ + y * rowBytes, row, rowBytes);
    std::memcpy(block_ + destination_ + y * rowBytes, row, rowBytes);
  }
  if (hasMask_)
    std::memcpy(block_ + mask_, mask->words, static_cast<std::size_t>(maskRowBytes_) * static_cast<std::size_t>(height_));
  return true;
}

void FilterSharedPictures::Describe(FilterRunRequest& q) const {
  q.width = width_;
  q.height = height_;
  q.sourceOffset = 0;
  q.destinationOffset = destination_;
  q.maskOffset = mask_;
  q.blockSize = size_;
  q.maskRowBytes = maskRowBytes_;
  q.hasMask = hasMask_ ? 1 : 0;
}

bool FilterSharedPictures::Intact() const {
  struct stat status {};
  return block_ != nullptr && fstat(memory_, &status) == 0 && static_cast<std::uint64_t>(status.st_size) >= size_;
}

void FilterSharedPictures::CopyResult(Buffer& picture, const Rect& area) const {
  if (!Intact()) return;
  const int left = std::max(area.left, 0), right = std::min(area.right, width_ - 1);
  const int top = std::max(area.top, 0), bottom = std::min(area.bottom, height_ - 1);
  if (right < left || bottom < top) return;
  const std::uint64_t rowBytes = std::uint64_t(width_) * 4;
  for (int y = top; y <= bottom; ++y)
    std::memcpy(picture.pixels + static_cast<std::ptrdiff_t>(y) * picture.stride + left,
                block_ + destination_ + y * rowBytes + std::uint64_t(left) * 4, std::size_t(right - left + 1) * 4);
}
