// The selection outline: tracing the mask into a chain code, scaling it to the view, and the
// marching dashes on the screen.

#include "quillo/document/SelectionOutline.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <new>

#include "platform/vcl/Canvas.h"
#include "platform/vcl/Screen.h"
#include "quillo/base/Language.h"
#include "quillo/components/panels/EventScrollBox.h"
#include "quillo/components/timers/TimerList.h"
#include "quillo/document/DocumentHost.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/MaskRows.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/document/Zoom.h"

namespace outline {

MemoryBudget& Budget() {
  static MemoryBudget budget;
  return budget;
}

namespace {
int MarchingPhase = 0;
}  // namespace

int Phase() { return MarchingPhase; }
void AdvancePhase() { MarchingPhase = (MarchingPhase + 1) % 12; }

// ---------------------------------------------------------------------------------------
// Writing a block

BlockWriter::BlockWriter() {
  if (Budget().blockBytes < kInitialBlockBytes) throw std::bad_alloc();
  block_ = std::make_unique_for_overwrite<std::uint8_t[]>(kInitialBlockBytes);
  capacity_ = kInitialBlockBytes;
}

bool BlockWriter::Grow(std::size_t need) {
  std::size_t grown = capacity_;
  while (grown < need) grown += grown / 2;
  if (grown > Budget().blockBytes) return false;
  try {
    auto bigger = std::make_unique_for_overwrite<std::uint8_t[]>(grown);
    std::memcpy(bigger.get(), block_.get(), used_);
    block_ = std::move(bigger);
    capacity_ = grown;
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

std::unique_ptr<std::uint8_t[]> BlockWriter::Finish() {
  if (used_ == 0) return nullptr;
  PutInt(-1);
  capacity_ = used_ = 0;
  return std::move(block_);
}

// ---------------------------------------------------------------------------------------
// Reading a block

std::size_t OutlineBytes(const std::uint8_t* block) {
  if (block == nullptr) return 0;
  OutlineReader reader(block);
  int x = 0, y = 0;
  OutlineRun run;
  while (reader.NextContour(x, y))
    while (reader.NextRun(run)) {
    }
  return reader.Offset(block) + 4;
}

// ---------------------------------------------------------------------------------------
// Tracing

namespace {

// The tracer's view of the mask: a pixel is open while its selection bit differs from its bit
// in the work mask T, which holds the contours traced so far filled by parity. T has the
// mask's word layout and one row for each row of the bounds.
class OpenPixels {
public:
  OpenPixels(const BitBuffer& mask, const Rect& bounds) : mask_(mask), bounds_(bounds) {
    const auto rowWords = static_cast<std::size_t>(MaskRowWords(mask.width));
    const std::size_t bytes = rowWords * static_cast<std::size_t>(bounds.Height()) * sizeof(uint);
    if (bytes > Budget().workMaskBytes) throw std::bad_alloc();
    work_.Alloc(mask.width, bounds.Height());
    if (work_.words == nullptr) throw std::bad_alloc();
    std::fill_n(work_.words, rowWords * static_cast<std::size_t>(bounds.Height()), 0u);
    // With the mask's word layout one index finds a pixel's word in both.
    sameLayout_ = work_.stride == mask.stride;
    workOrigin_ = work_.words - long(bounds.top) * work_.stride;
  }

  bool operator()(int x, int y) const {
    if (sameLayout_) {
      const long at = long(y) * mask_.stride + (x >> 5);
      return ((mask_.words[at] ^ workOrigin_[at]) >> (x & 31) & 1) != 0;
    }
    return mask_.Test(x, y) != work_.Test(x, y - bounds_.top);
  }

  // The first open pixel at or after (x, y) in scan order, word by word; false when none.
  bool FindNext(int& x, int& y) const {
    const int lastWord = bounds_.right >> 5;
    const uint lastBits = (bounds_.right & 31) == 31 ? ~0u : (1u << ((bounds_.right & 31) + 1)) - 1;
    for (int row = y; row <= bounds_.bottom; ++row) {
      const int from = row == y ? x : bounds_.left;
      const uint* m = mask_.words + static_cast<long>(row) * mask_.stride;
      const uint* t = work_.words + static_cast<long>(row - bounds_.top) * work_.stride;
      for (int w = from >> 5; w <= lastWord; ++w) {
        uint bits = m[w] ^ t[w];
        if (w == from >> 5) bits &= ~0u << (from & 31);
        if (w == lastWord) bits &= lastBits;
        if (bits != 0) {
          x = w * 32 + std::countr_zero(bits);
          y = row;
          return true;
        }
      }
    }
    return false;
  }

  // Fills a closed contour into T by parity: every unit of a vertical run toggles its row
  // from the contour's own left edge to the run. A row crosses a closed contour an even number
  // of times, so toggling from any column left of it gives the same as toggling from the
  // selection's left edge, without the cost of the selection's width for every contour.
  void FillContour(const std::uint8_t* contour) {
    int x = 0, y = 0, left = 0;
    {
      OutlineReader reader(contour);
      OutlineRun run;
      reader.NextContour(x, y);
      left = x;
      while (reader.NextRun(run)) left = std::min(left, run.x);
    }
    OutlineReader reader(contour);
    OutlineRun run;
    reader.NextContour(x, y);
    while (reader.NextRun(run)) {
      if (run.direction != kDown && run.direction != kUp) continue;
      // Columns left .. corner - 1: the pixels left of the run's corner line.
      const int from = std::max(left, 0);
      const int to = std::min(run.x - 1, work_.width - 1);
      if (to < from) continue;
      const int first = std::max(run.direction == kDown ? run.y : run.y - run.length, bounds_.top);
      const int last = std::min(run.direction == kDown ? run.y + run.length - 1 : run.y - 1, bounds_.bottom);
      for (int row = first; row <= last; ++row)
        ToggleSpan(work_.words + long(row - bounds_.top) * work_.stride, from, to);
    }
  }

private:
  // Toggles the bits from .. to (inclusive) of a row of words.
  static void ToggleSpan(uint* row, int from, int to) {
    const int first = from >> 5, last = to >> 5;
    const uint head = ~0u << (from & 31), tail = ~0u >> (31 - (to & 31));
    if (first == last) {
      row[first] ^= head & tail;
      return;
    }
    row[first] ^= head;
    for (int w = first + 1; w < last; ++w) row[w] = ~row[w];
    row[last] ^= tail;
  }

  const BitBuffer& mask_;
  Rect bounds_;
  BitBuffer work_;
  bool sameLayout_ = false;
  const uint* workOrigin_ = nullptr;  // where row 0 of the mask would be in T's words
};

// Walks the boundary of the open region whose first pixel in scan order is (sx, sy), keeping
// it on the right, and writes its unit steps. False when the block could not take a step.
bool WalkContour(const OpenPixels& open, const Rect& b, int sx, int sy, BlockWriter& block) {
  int x = sx - 1, y = sy;
  int heading = kRight;
  bool room = true;
  auto emit = [&](int d) { room = room && block.Step(d); };
  // A boundary uses each edge between pixels at most once in each direction.
  const std::int64_t longest = 2 * (std::int64_t(b.Width()) + 1) * (std::int64_t(b.Height()) + 1);
  for (std::int64_t rounds = 0; room && rounds <= longest; ++rounds) {
    bool blocked = false;
    switch (heading) {
      case kRight:
        if (x < b.right && open(x + 1, y)) ++x;
        else blocked = true;
        if (y > b.top && open(x, y - 1)) heading = kUp;
        else if (x < b.right && open(x + 1, y)) emit(kRight);
        else {
          if (!blocked) emit(kRight);
          emit(kDown);
          heading = kDown;
        }
        break;
      case kDown:
        if (y < b.bottom && open(x, y + 1)) ++y;
        else blocked = true;
        if (x < b.right && open(x + 1, y)) heading = kRight;
        else if (y < b.bottom && open(x, y + 1)) emit(kDown);
        else {
          if (!blocked) emit(kDown);
          emit(kLeft);
          heading = kLeft;
        }
        break;
      case kLeft:
        if (x > b.left && open(x - 1, y)) --x;
        else blocked = true;
        if (y < b.bottom && open(x, y + 1)) heading = kDown;
        else if (x > b.left && open(x - 1, y)) emit(kLeft);
        else {
          if (!blocked) emit(kLeft);
          emit(kUp);
          heading = kUp;
        }
        break;
      default:
        if (y > b.top && open(x, y - 1)) --y;
        else blocked = true;
        if (x > b.left && open(x - 1, y)) heading = kLeft;
        else if (y > b.top && open(x, y - 1)) emit(kUp);
        else {
          if (!blocked) emit(kUp);
          if (x == sx && y == sy) return room;
          emit(kRight);
          heading = kRight;
        }
        break;
    }
  }
  return false;
}

}  // namespace

std::unique_ptr<std::uint8_t[]> TraceOutline(const BitBuffer& mask, Rect bounds) {
  if (mask.words == nullptr) return nullptr;
  bounds = Intersect(bounds, Rect(0, 0, mask.width - 1, mask.height - 1));
  if (bounds.Empty()) return nullptr;
  BlockWriter block;
  OpenPixels open(mask, bounds);
  int sx = bounds.left, sy = bounds.top;
  // Pixels before a contour's first one are outside it, so its fill changes none of them:
  // the scan goes on from there.
  while (open.FindNext(sx, sy)) {
    const std::size_t start = block.Used();
    if (!block.BeginContour(sx, sy)) break;
    const bool closed = WalkContour(open, bounds, sx, sy, block);
    block.EndContour();
    if (!closed) break;
    open.FillContour(block.Data() + start);
  }
  return block.Finish();
}

// ---------------------------------------------------------------------------------------
// Scaling

namespace {

// Truncation toward zero, held inside what a view coordinate can be.
int Trunc(float v) { return static_cast<int>(std::clamp(std::trunc(v), -1.0e9f, 1.0e9f)); }

}  // namespace

std::unique_ptr<std::uint8_t[]> ScaleOutline(const std::uint8_t* source, float z) {
  if (source == nullptr) return nullptr;
  BlockWriter block;
  // The remainders run on over the whole outline, not per contour.
  float ax = 0, ay = 0;
  OutlineReader reader(source);
  int x = 0, y = 0;
  OutlineRun run;
  while (reader.NextContour(x, y)) {
    if (!block.BeginContour(Trunc(static_cast<float>(x) * z), Trunc(static_cast<float>(y) * z))) break;
    bool room = true;
    while (room && reader.NextRun(run)) {
      const float span = static_cast<float>(run.length) * z;
      float& r = run.direction == kUp || run.direction == kDown ? ay : ax;
      r += run.direction == kUp || run.direction == kLeft ? -span : span;
      const int m = Trunc(r);
      r -= static_cast<float>(m);
      room = block.Run(run.direction, std::abs(static_cast<std::int64_t>(m)));
    }
    block.EndContour();
    if (!room) break;
  }
  return block.Finish();
}

}  // namespace outline

// ---------------------------------------------------------------------------------------
// The picture's outline

namespace {

// The activity timer drives the painter, which must not read a block being rebuilt: stopped
// for the rebuild. Tracing leaves it stopped for the scaling that follows; should the work
// fail, it runs again as before.
class ActivityPause {
public:
  ActivityPause() : timer_(TheDocumentHost().ActivityTimer()), wasRunning_(timer_ && timer_->GetEnabled()) {
    if (timer_) timer_->SetEnabled(false);
  }
  ~ActivityPause() {
    if (timer_ && restart_) timer_->SetEnabled(wasRunning_);
  }
  ActivityPause(const ActivityPause&) = delete;
  ActivityPause& operator=(const ActivityPause&) = delete;
  void LeaveStopped() { restart_ = false; }

private:
  TExTimerEvent* timer_;
  bool wasRunning_;
  bool restart_ = true;
};

// The hourglass for the scope when asked, the old pointer back however it ends.
class WaitPointer {
public:
  explicit WaitPointer(bool show) : show_(show && Screen() != nullptr) {
    if (!show_) return;
    saved_ = Screen()->GetCursor();
    Screen()->SetCursor(crHourGlass);
  }
  ~WaitPointer() {
    if (show_) Screen()->SetCursor(saved_);
  }
  WaitPointer(const WaitPointer&) = delete;
  WaitPointer& operator=(const WaitPointer&) = delete;

private:
  bool show_;
  TCursor saved_ = crDefault;
};

TImageForm* WindowShowing(const UDBuffer& picture) {
  for (int i = 0; i < ImgFormCount; ++i)
    if (ImgForms[static_cast<std::size_t>(i)] && &ImgForms[static_cast<std::size_t>(i)]->Picture == &picture)
      return ImgForms[static_cast<std::size_t>(i)];
  return nullptr;
}

// The zoom the picture is shown at: the zoom control's for the active picture (which may be
// on its way to the view), its own window's for another.
float ViewZoom(const UDBuffer& picture) {
  if (&picture == CurrentPicture) return static_cast<float>(GetZoomFactor());
  if (const TImageForm* window = WindowShowing(picture)) return static_cast<float>(window->Zoom);
  return 1.0f;
}

}  // namespace

void UDBuffer::BuildSelectionOutline(bool waitCursor) {
  ActivityPause pause;
  WaitPointer pointer(waitCursor);
  Outline.reset();
  try {
    Outline = outline::TraceOutline(Mask, Rect(SelLeft, SelTop, SelRight, SelBottom));
  } catch (...) {
    // No outline rather than half of one; the old view outline goes with it.
    DropOutlines();
    throw;
  }
  if (Outline == nullptr) DropOutlines();
  pause.LeaveStopped();
}

void UDBuffer::RebuildSelectionOutline() {
  UpdateSelectionBounds();
  try {
    BuildSelectionOutline(true);
    ScaleSelectionOutline();
  } catch (const std::bad_alloc&) {
    SetMaskAll(false);
    UpdateSelectionBounds();
    if (ImageForm != nullptr && ImageForm->ShowBuf != nullptr) ImageForm->ShowBuf->Invalidate();
    LangMessageBox("NoMem", "Err", MB_OK | MB_ICONEXCLAMATION);
  }
}

void UDBuffer::ScaleSelectionOutline() {
  {
    ActivityPause pause;
    if (Outline != nullptr) {
      ViewBands.Clear();
      ViewOutline.reset();
      try {
        ViewOutline = outline::ScaleOutline(Outline.get(), ViewZoom(*this));
        if (ViewOutline != nullptr) ViewBands.Build(ViewOutline.get());
      } catch (const std::bad_alloc&) {
        // Nothing to march with, or the painter walks the whole outline; the selection itself
        // stands.
      }
    }
  }
  if (ImageForm != nullptr && ImageForm->ShowBuf != nullptr) ImageForm->ShowBuf->Invalidate();
  if (TExTimerEvent* timer = TheDocumentHost().ActivityTimer()) timer->SetEnabled(true);
}

void UDBuffer::DropOutlines() {
  ViewBands.Clear();
  ViewOutline.reset();
  Outline.reset();
}

void UDBuffer::PaintSelectionOutline(bool advance) {
  if (ViewOutline == nullptr) return;
  TImageForm* window = WindowShowing(*this);
  if (window == nullptr || window->ShowBuf == nullptr || window->MaxSize == nullptr || !window->ShowBuf->HandleAllocated())
    return;
  TCanvas* canvas = window->ShowBuf->GetCanvas();
  canvas->GetPen()->SetMode(pmCopy);
  if (advance) outline::AdvancePhase();
  const int left = window->MaxSize->GetHorzScrollBar()->ScrollPos();
  const int top = window->MaxSize->GetVertScrollBar()->ScrollPos();
  const Rect visible(left, top, left + window->MaxSize->GetClientWidth() - 1,
                     top + window->MaxSize->GetClientHeight() - 1);
  // Straight to the canvas's device context: the canvas's own pixel call would look its state
  // over again for every pixel of the tick.
  const HDC dc = canvas->GetHandle();
  auto put = [dc](int x, int y, bool black) { SetPixelV(dc, x, y, black ? RGB(0, 0, 0) : RGB(255, 255, 255)); };
  if (!ViewBands.Indexes(ViewOutline.get())) {
    try {
      ViewBands.Build(ViewOutline.get());
    } catch (const std::bad_alloc&) {
      // Without the index the painter walks the whole outline: slower, the same pixels.
    }
  }
  if (ViewBands.Indexes(ViewOutline.get())) outline::PaintDashesNear(ViewBands, outline::Phase(), visible, put);
  else outline::PaintDashes(ViewOutline.get(), outline::Phase(), visible, put);
}
