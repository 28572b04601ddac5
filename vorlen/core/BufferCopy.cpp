// Copying one buffer into another: plain, colour-keyed, or composited by transparency.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "vorlen/core/Buffer.h"
#include "vorlen/core/CompositeTables.h"

namespace {

// Where a copy lands: the clipped rectangle in target coordinates and the source's start.
struct CopyPlan {
  Rect area;
  uint* target = nullptr;
  const uint* source = nullptr;
};

bool PlanCopy(const Buffer& dst, const Buffer& src, Pair<int> offset, CopyPlan& plan) {
  if (dst.pixels == nullptr || src.pixels == nullptr || src.Empty() || dst.Empty()) return false;
  // The moved rectangle is worked out in 64 bits so a far offset cannot wrap into the target.
  const long long left = std::max<long long>(dst.rect.left, 0LL + src.rect.left + offset.x);
  const long long top = std::max<long long>(dst.rect.top, 0LL + src.rect.top + offset.y);
  const long long right = std::min<long long>(dst.rect.right, 0LL + src.rect.right + offset.x);
  const long long bottom = std::min<long long>(dst.rect.bottom, 0LL + src.rect.bottom + offset.y);
  if (right < left || bottom < top) return false;
  plan.area = Rect(int(left), int(top), int(right), int(bottom));
  plan.target = dst.At(plan.area.left, plan.area.top);
  plan.source = src.At(int(left - offset.x), int(top - offset.y));
  return true;
}

void CopyRowsPlain(uint* t, const uint* s, int width, int height, long tStride, long sStride) {
  for (int y = 0; y < height; ++y, t += tStride, s += sStride)
    std::memmove(t, s, size_t(width) * sizeof(uint));
}

void CopyRowKeyedForward(uint* t, const uint* s, int width, uint key) {
  for (const uint* end = s + width; s != end; ++s, ++t)
    if (*s != key) *t = *s;
}

void CopyRowKeyedBackward(uint* t, const uint* s, int width, uint key) {
  for (const uint* end = s - 1, *p = s + width - 1; p != end; --p)
    if (*p != key) t[p - s] = *p;
}

// Whether the pixels a copy reads lie in the same memory as those it writes.
bool SharesMemory(const CopyPlan& p, int width, int height, long tStride, long sStride) {
  const auto span = [&](const uint* first, long rowStride) {
    const uint* last = first + (height - 1) * rowStride + (width - 1);
    return std::pair(std::uintptr_t(std::min(first, last)), std::uintptr_t(std::max(first, last)));
  };
  const auto [t0, t1] = span(p.target, tStride);
  const auto [s0, s1] = span(p.source, sStride);
  return t0 <= s1 && s0 <= t1;
}

// Compositing a block of pixels over itself reads each source row from a copy, so that no
// pixel is composited twice.
void CompositeRowsThroughCopy(uint* t, const uint* s, int width, int height, long tStride, long sStride) {
  std::vector<uint> row(static_cast<size_t>(width));
  for (int y = 0; y < height; ++y, t += tStride, s += sStride) {
    std::copy_n(s, width, row.data());
    BlendRun(t, row.data(), width);
  }
}

}  // namespace

void Buffer::Copy(const Buffer& src, Pair<int> offset, uint mode) {
  CopyPlan plan;
  if (!PlanCopy(*this, src, offset, plan)) return;
  const int width = plan.area.Width();
  const int height = plan.area.Height();
  long tStride = stride;
  long sStride = src.stride;
  // A copy within one block of pixels runs from the far end when the target lies higher, so
  // that no source pixel is overwritten before it is read.
  const bool shared = SharesMemory(plan, width, height, tStride, sStride);
  const bool backward = (mode != kComposite || shared) && std::uintptr_t(plan.target) > std::uintptr_t(plan.source);
  if (backward) {
    plan.target += (height - 1) * tStride;
    plan.source += (height - 1) * sStride;
    tStride = -tStride;
    sStride = -sStride;
  }
  if (mode == kPlain) return CopyRowsPlain(plan.target, plan.source, width, height, tStride, sStride);
  if (mode == kComposite && shared)
    return CompositeRowsThroughCopy(plan.target, plan.source, width, height, tStride, sStride);
  uint* t = plan.target;
  const uint* s = plan.source;
  for (int y = 0; y < height; ++y, t += tStride, s += sStride) {
    if (mode == kComposite) BlendRun(t, s, width);
    else if (backward) CopyRowKeyedBackward(t, s, width, mode);
    else CopyRowKeyedForward(t, s, width, mode);
  }
}

void Buffer::Swap(Buffer& other) {
  if (pixels == nullptr || other.pixels == nullptr) return;
  const Rect area = Intersect(rect, other.rect);
  if (area.Empty()) return;
  uint* a = At(area.left, area.top);
  uint* b = other.At(area.left, area.top);
  for (int y = 0; y < area.Height(); ++y, a += stride, b += other.stride)
    std::swap_ranges(a, a + area.Width(), b);
}
