// The view outline's index by bands of rows.

#include "quillo/document/OutlineBands.h"

#include <cstdint>
#include <limits>
#include <new>

namespace outline {

namespace {

// The pixels a run covers: n from its corner on along its direction.
Rect RunBox(const OutlineRun& run) {
  const int n = run.length - 1;
  switch (run.direction) {
    case kRight: return Rect(run.x, run.y, run.x + n, run.y);
    case kLeft: return Rect(run.x - n, run.y, run.x, run.y);
    case kDown: return Rect(run.x, run.y, run.x, run.y + n);
    default: return Rect(run.x, run.y - n, run.x, run.y);
  }
}

Rect Union(const Rect& a, const Rect& b) {
  return Rect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom));
}

// Width and height apart from the overflow of a span across the whole int range.
bool Within(const Rect& r, int span) {
  return std::int64_t(r.right) - r.left < span && std::int64_t(r.bottom) - r.top < span;
}

}  // namespace

void OutlineBands::Clear() {
  block_ = nullptr;
  pieces_ = {};
  bandStart_ = {};
  bandPieces_ = {};
  firstRow_ = 0;
  lastRow_ = -1;
  bandRows_ = kBandRows;
}

void OutlineBands::Build(const std::uint8_t* block) {
  Clear();
  try {
    OutlineReader reader(block);
    Piece piece;
    int cx = 0, cy = 0;
    OutlineRun run;
    while (reader.NextContour(cx, cy)) {
      for (;;) {
        const std::size_t at = reader.Offset(block);
        if (!reader.NextRun(run)) break;
        const Rect box = RunBox(run);
        if (piece.runs > 0) {
          const Rect grown = Union(piece.box, box);
          if (piece.runs < kPieceRuns && Within(grown, kPieceSpan)) {
            piece.box = grown;
            ++piece.runs;
            continue;
          }
          pieces_.push_back(piece);
        }
        piece = Piece{at, run.x, run.y, 1, box};
      }
    }
    if (piece.runs > 0) pieces_.push_back(piece);
    if (pieces_.empty()) {
      Clear();
      block_ = block;
      return;
    }
    if (pieces_.size() > std::numeric_limits<std::uint32_t>::max()) throw std::bad_alloc();

    firstRow_ = std::numeric_limits<int>::max();
    lastRow_ = std::numeric_limits<int>::min();
    for (const Piece& p : pieces_) {
      firstRow_ = std::min(firstRow_, p.box.top);
      lastRow_ = std::max(lastRow_, p.box.bottom);
    }
    // A very tall outline gets taller bands rather than a table without end.
    constexpr std::int64_t kMostBands = 1 << 16;
    const std::int64_t rows = std::int64_t(lastRow_) - firstRow_ + 1;
    bandRows_ = static_cast<int>(std::max<std::int64_t>(kBandRows, (rows + kMostBands - 1) / kMostBands));
    const auto bands = static_cast<std::size_t>(BandOf(lastRow_)) + 1;

    bandStart_.assign(bands + 1, 0);
    for (const Piece& p : pieces_)
      for (int b = BandOf(p.box.top); b <= BandOf(p.box.bottom); ++b) ++bandStart_[static_cast<std::size_t>(b) + 1];
    for (std::size_t b = 0; b < bands; ++b) bandStart_[b + 1] += bandStart_[b];
    bandPieces_.resize(bandStart_[bands]);
    std::vector<std::size_t> next(bandStart_.begin(), bandStart_.end() - 1);
    for (std::size_t i = 0; i < pieces_.size(); ++i)
      for (int b = BandOf(pieces_[i].box.top); b <= BandOf(pieces_[i].box.bottom); ++b)
        bandPieces_[next[static_cast<std::size_t>(b)]++] = static_cast<std::uint32_t>(i);
  } catch (...) {
    Clear();
    throw;
  }
  block_ = block;
}

}  // namespace outline
