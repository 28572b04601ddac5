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

// A block and its mapping. Plain data: the one kept between runs needs no destructor at exit.
struct SharedBlock {
  int memory = -1;
  std::uint8_t* bytes = nullptr;
  std::uint64_t size = 0;
};

SharedBlock KeptBlock;

void Release(SharedBlock& block) {
  if (block.bytes != nullptr) munmap(block.bytes, block.size);
  if (block.memory >= 0) close(block.memory);
  block = SharedBlock{};
}

// A kept block serves a run that needs `size` when it is not a quarter bigger than that.
bool Fits(const SharedBlock& block, std::uint64_t size) {
  return block.bytes != nullptr && block.size >= size && block.size - size <= size / 4;
}

bool MakeBlock(std::uint64_t size, SharedBlock& made) {
  SharedBlock block;
  block.memory = memfd_create("quillo-filter", MFD_CLOEXEC | MFD_ALLOW_SEALING);
  block.size = size;
  // The size is fixed before any helper sees the block: a plug-in that shrinks it would make
  // the program's reads of the result fault.
  if (block.memory < 0 || ftruncate(block.memory, static_cast<off_t>(size)) != 0 ||
      fcntl(block.memory, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_SEAL) != 0) {
    Release(block);
    return false;
  }
  void* bytes = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, block.memory, 0);
  if (bytes == MAP_FAILED) {
    Release(block);
    return false;
  }
  block.bytes = static_cast<std::uint8_t*>(bytes);
  made = block;
  return true;
}

// Copies `rows` rows of `rowBytes` each, at `stride` bytes apart in from, close together into to.
void CopyRows(std::uint8_t* to, const std::uint8_t* from, std::uint64_t rowBytes, std::uint64_t stride, int rows) {
  if (stride == rowBytes) {
    std::memcpy(to, from, static_cast<std::size_t>(rowBytes * static_cast<std::uint64_t>(rows)));
    return;
  }
  for (int y = 0; y < rows; ++y) std::memcpy(to + y * rowBytes, from + y * stride, static_cast<std::size_t>(rowBytes));
}

}  // namespace

FilterSharedPictures::~FilterSharedPictures() {
  if (block_ == nullptr) {
    if (memory_ >= 0) close(memory_);
    return;
  }
  SharedBlock block{memory_, block_, blockSize_};
  if (!Intact()) {
    Release(block);
    return;
  }
  Release(KeptBlock);
  KeptBlock = block;
}

void FilterSharedPictures::ReleaseKeptBlock() { Release(KeptBlock); }

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
  SharedBlock block;
  if (Fits(KeptBlock, size_)) {
    block = KeptBlock;
    KeptBlock = SharedBlock{};
  } else {
    Release(KeptBlock);  // before the new block is made: never both at once
    if (!MakeBlock(size_, block)) return false;
  }
  memory_ = block.memory;
  block_ = block.bytes;
  blockSize_ = block.size;
  const auto* pixels = reinterpret_cast<const std::uint8_t*>(source.pixels);
  const std::uint64_t stride = static_cast<std::uint64_t>(source.stride) * 4;
  CopyRows(block_, pixels, rowBytes, stride, height_);
  CopyRows(block_ + destination_, pixels, rowBytes, stride, height_);
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
