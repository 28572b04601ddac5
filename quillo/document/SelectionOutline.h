#pragma once
// The selection outline as data, apart from any window: a run-length chain code of the
// boundary of every selected region and every hole of a 1-bit mask, traced from the mask,
// scaled to a zoom, read back run by run, and the dash pattern the marching painter puts on
// the screen. UDBuffer's outline operations (SelectionOutline.cpp) are these on its mask and
// its view; the tests and the benchmark use them directly.
//
// Block layout: contours, each the i32 x and y of its starting corner (little-endian; corner
// (x, y) lies between pixels (x - 1, y - 1) and (x, y)), then run bytes closed by 0x10; after
// the last contour the i32 -1. A run byte: bit 7 long (one more byte follows), bits 6-4 the
// direction (0 up, 2 right, 4 down, 6 left), bits 3-0 length - 1 (short) or the high 4 bits of
// length - 16 (long; the next byte holds the low 8 bits). Contours run clockwise on the screen.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>

#include "vorlen/core/BitBuffer.h"
#include "vorlen/core/Types.h"

namespace outline {

enum Direction : int { kUp = 0, kRight = 2, kDown = 4, kLeft = 6 };
inline constexpr int kEndCode = 1;  // EmitStep's code for the contour's end
inline constexpr std::uint8_t kEndByte = 0x10;
inline constexpr int kShortestLongRun = 17;
inline constexpr int kLongestRun = 4111;
inline constexpr std::size_t kInitialBlockBytes = 8192;

// How much memory the tracer and the scaler may take: the largest block either may grow to
// and the largest work mask. Beyond it they behave as when memory runs out, which lets that
// path be driven on demand. Unlimited unless someone lowers it.
struct MemoryBudget {
  std::size_t blockBytes = std::numeric_limits<std::size_t>::max();
  std::size_t workMaskBytes = std::numeric_limits<std::size_t>::max();
};
MemoryBudget& Budget();

// An outline block being written: it grows by half whenever a write would leave less than
// the room that ending the block needs, so that a contour can always be closed and the list
// ended, even when it can grow no more.
class BlockWriter {
public:
  BlockWriter();  // the first 8192 bytes; throws std::bad_alloc without them
  // Starts a contour at corner (x, y). False (nothing written) when there is no room.
  bool BeginContour(int x, int y) {
    if (!MakeRoom(8)) return false;
    PutInt(x);
    PutInt(y);
    direction_ = -1;
    length_ = 0;
    return true;
  }
  // One unit step in direction d, collected into runs. False when there was no room: the
  // step is not taken. A run grown to the longest one byte pair holds is written as soon as
  // it would grow further, so that the collected run never needs more than two bytes: the
  // same bytes as writing all of it at the turn, in pieces of 4111 and the rest.
  bool Step(int d) {
    if (length_ > 0 && (d != direction_ || length_ == kLongestRun)) {
      if (!MakeRoom(2)) return false;
      Flush();
    }
    direction_ = d;
    ++length_;
    return true;
  }
  // A whole run of length n >= 0 in direction d, written at once (split above 4111; a length
  // of 0 writes nothing). False when there was no room for all of it.
  bool Run(int d, std::int64_t n) {
    for (; n > 0; n -= kLongestRun) {
      if (!MakeRoom(2)) return false;
      PutRun(d, static_cast<int>(std::min<std::int64_t>(n, kLongestRun)));
    }
    return true;
  }
  // Flushes the collected run and writes 0x10. Always has room.
  void EndContour() {
    Flush();
    Put(kEndByte);
    direction_ = -1;
  }
  // Writes -1 and hands the block over; null when no contour was written.
  std::unique_ptr<std::uint8_t[]> Finish();
  bool Empty() const { return used_ == 0; }
  std::size_t Used() const { return used_; }
  std::size_t Capacity() const { return capacity_; }
  const std::uint8_t* Data() const { return block_.get(); }

private:
  // What closing a contour and the list may still need: the collected run (at most one long
  // run, two bytes), the end byte and the closing -1.
  static constexpr std::size_t kClosingRoom = 2 + 1 + 4;
  // Room for n more bytes beyond what the end of a contour and of the list need.
  bool MakeRoom(std::size_t n) { return used_ + n + kClosingRoom <= capacity_ || Grow(used_ + n + kClosingRoom); }
  bool Grow(std::size_t need);
  void Put(std::uint8_t b) { block_[used_++] = b; }
  void PutInt(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int shift = 0; shift < 32; shift += 8) Put(static_cast<std::uint8_t>(u >> shift));
  }
  void PutRun(int d, int n) {  // 1 <= n <= 4111
    if (n >= kShortestLongRun) {
      Put(static_cast<std::uint8_t>(d << 4 | 0x80 | (n - 16) >> 8));
      Put(static_cast<std::uint8_t>((n - 16) & 0xFF));
    } else {
      Put(static_cast<std::uint8_t>(d << 4 | (n - 1)));
    }
  }
  void Flush() {
    if (length_ > 0) PutRun(direction_, length_);
    length_ = 0;
  }

  std::unique_ptr<std::uint8_t[]> block_;
  std::size_t capacity_ = 0;
  std::size_t used_ = 0;
  int direction_ = -1;  // of the run being collected; -1 none
  int length_ = 0;      // kept at 4111 or below: a longer one is written in pieces as it grows
};

// Traces the mask inside bounds (clipped to the mask) into an outline block; null when
// nothing there is selected. Throws std::bad_alloc when there is no memory for the first
// block or the work mask. When the block cannot grow the outline is cut short there, well
// formed.
std::unique_ptr<std::uint8_t[]> TraceOutline(const BitBuffer& mask, Rect bounds);

// The outline at zoom z (single precision, as the view's factor): starting corners truncated,
// run lengths through remainders carried over the whole outline. Null for a null outline;
// throws std::bad_alloc without memory for the first block; cut short, well formed, when the
// block cannot grow.
std::unique_ptr<std::uint8_t[]> ScaleOutline(const std::uint8_t* outline, float z);

// Reads a block run by run.
struct OutlineRun {
  int x = 0, y = 0;  // the corner it starts at
  int direction = 0;
  int length = 0;
};
// Read inline: the painter, the scaler and the tracer's fill call it once a run.
class OutlineReader {
public:
  explicit OutlineReader(const std::uint8_t* block) : p_(block) {}
  // Reads on from a run byte at p with the contour's corner there at (x, y).
  OutlineReader(const std::uint8_t* p, int x, int y) : p_(p), x_(x), y_(y) {}
  // The next contour's starting corner; false at the end of the list.
  bool NextContour(int& x, int& y) {
    x = ReadInt(p_);
    if (x == -1) return false;
    y = ReadInt(p_ + 4);
    p_ += 8;
    x_ = x;
    y_ = y;
    return true;
  }
  // The next run of the contour; false at its end byte.
  bool NextRun(OutlineRun& run) {
    const std::uint8_t b = *p_++;
    if (b == kEndByte) return false;
    run.direction = b >> 4 & 7;
    run.length = (b & 0x80) ? ((b & 0x0F) << 8 | *p_++) + 16 : (b & 0x0F) + 1;
    run.x = x_;
    run.y = y_;
    switch (run.direction) {
      case kUp: y_ -= run.length; break;
      case kRight: x_ += run.length; break;
      case kDown: y_ += run.length; break;
      default: x_ -= run.length; break;
    }
    return true;
  }
  // Bytes read so far.
  std::size_t Offset(const std::uint8_t* block) const { return static_cast<std::size_t>(p_ - block); }
  static std::int32_t ReadInt(const std::uint8_t* p) {
    return static_cast<std::int32_t>(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
                                     std::uint32_t(p[3]) << 24);
  }

private:
  const std::uint8_t* p_;
  int x_ = 0, y_ = 0;
};
// Bytes of a block up to and including its closing -1; 0 for null.
std::size_t OutlineBytes(const std::uint8_t* block);

// The marching phase, 0 to 11, shared by every picture; it moves on by one per advance.
int Phase();
void AdvancePhase();

// The marching dashes: pattern position s = phase + x + y of a pixel is black while
// s mod 12 < 6, else white. A run of length n from corner (x, y) covers the pixels at
// offsets 0 .. n - 1 along it.
inline bool DashIsBlack(int phase, int x, int y) { return (((phase + x + y) % 12) + 12) % 12 < 6; }

// The painter's work on one run at phase: its first pixel and every pixel whose pattern
// position is a multiple of 6 (where the colour changes as the phase moves on), along the run
// only while it stays inside visible toward where it goes. Of what lies outside visible (which
// the screen does not show) as little as possible is drawn. set(x, y, black) puts one pixel.
// The colour of a pixel depends on the pixel alone, so runs may be painted in any order.
template <class SetPixel>
inline void PaintRunDashes(const OutlineRun& run, int phase, const Rect& visible, SetPixel& set) {
  const bool forward = run.direction == kRight || run.direction == kDown;
  const int dx = run.direction == kRight ? 1 : run.direction == kLeft ? -1 : 0;
  const int dy = run.direction == kDown ? 1 : run.direction == kUp ? -1 : 0;
  // Still inside the visible part on the side the run moves toward.
  auto ahead = [&](int x, int y) {
    switch (run.direction) {
      case kRight: return y >= visible.top && y <= visible.bottom && x <= visible.right;
      case kDown: return x >= visible.left && x <= visible.right && y <= visible.bottom;
      case kLeft: return y >= visible.top && y <= visible.bottom && x >= visible.left;
      default: return x >= visible.left && x <= visible.right && y >= visible.top;
    }
  };
  int x = run.x, y = run.y, n = run.length;
  // A run wholly outside the visible part changes nothing on the screen.
  const int lastX = x + dx * (n - 1), lastY = y + dy * (n - 1);
  if (std::max(x, lastX) < visible.left || std::min(x, lastX) > visible.right || std::max(y, lastY) < visible.top ||
      std::min(y, lastY) > visible.bottom)
    return;
  const int s = ((phase + x + y) % 6 + 6) % 6;
  const int f = forward ? 6 - s : s;
  bool leftView = false;
  if (n >= f) {
    set(x, y, DashIsBlack(phase, x, y));
    x += dx * f;
    y += dy * f;
    n -= f;
    // Pixels before the visible part would be drawn off the screen: passed over six at a
    // time, so the pixels that are drawn are the same.
    const int before = run.direction == kRight  ? visible.left - x
                       : run.direction == kDown ? visible.top - y
                       : run.direction == kLeft ? x - visible.right
                                                : y - visible.bottom;
    if (before > 0 && n >= 6) {
      const int k = std::min(before / 6, n / 6 - 1) * 6;
      x += dx * k;
      y += dy * k;
      n -= k;
    }
    while (n >= 6 && ahead(x, y)) {
      set(x, y, DashIsBlack(phase, x, y));
      x += dx * 6;
      y += dy * 6;
      n -= 6;
    }
    leftView = n >= 6;  // the rest of the run is not shown
  }
  if (!leftView && n != 0) set(x, y, DashIsBlack(phase, x, y));
}

// One pass of the painter over a whole view outline at phase.
template <class SetPixel>
void PaintDashes(const std::uint8_t* viewOutline, int phase, const Rect& visible, SetPixel&& set) {
  OutlineReader reader(viewOutline);
  int cx = 0, cy = 0;
  OutlineRun run;
  while (reader.NextContour(cx, cy))
    while (reader.NextRun(run)) PaintRunDashes(run, phase, visible, set);
}

}  // namespace outline
