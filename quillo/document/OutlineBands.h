#pragma once
// A view outline indexed by bands of rows, so that the marching painter decodes only the runs
// near the part of the view on the screen: a tick then costs what the screen shows, not what
// the whole picture holds.
//
// The block is cut into pieces: consecutive runs (across contour ends) whose pixels lie in a
// small box, each with the byte it starts at and the corner the reader stands on there. A
// band lists every piece whose box reaches into its rows. A single long run is a piece of its
// own, listed in every band it crosses.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "quillo/document/SelectionOutline.h"
#include "vorlen/core/Types.h"

namespace outline {

class OutlineBands {
public:
  static constexpr int kBandRows = 64;  // at the least; more when the outline is very tall
  // A piece grows no wider or taller than this and holds no more runs, unless one run is
  // longer on its own.
  static constexpr int kPieceSpan = 64;
  static constexpr int kPieceRuns = 64;

  // Indexes a well-formed outline block (not null). Throws std::bad_alloc, the index then
  // empty. The block must stay as it is while the index is used.
  void Build(const std::uint8_t* block);
  void Clear();
  // Whether the index was built for this block (never for null).
  bool Indexes(const std::uint8_t* block) const { return block != nullptr && block_ == block; }

  // Every run of the block whose pixels may reach into visible, each once, in no set order.
  template <class Visit>
  void ForEachRunNear(const Rect& visible, Visit&& visit) const;

private:
  struct Piece {
    std::size_t offset = 0;  // of its first run byte
    int x = 0, y = 0;        // the reader's corner there
    int runs = 0;
    Rect box;  // every pixel of its runs
  };
  int BandOf(int row) const { return (row - firstRow_) / bandRows_; }

  const std::uint8_t* block_ = nullptr;
  std::vector<Piece> pieces_;
  // The pieces of band b are bandPieces_[bandStart_[b] .. bandStart_[b + 1] - 1].
  std::vector<std::size_t> bandStart_;
  std::vector<std::uint32_t> bandPieces_;
  int firstRow_ = 0, lastRow_ = -1;
  int bandRows_ = kBandRows;
};

template <class Visit>
void OutlineBands::ForEachRunNear(const Rect& visible, Visit&& visit) const {
  if (pieces_.empty()) return;
  const int top = std::max(visible.top, firstRow_), bottom = std::min(visible.bottom, lastRow_);
  if (top > bottom || visible.left > visible.right) return;
  const int lastBand = BandOf(bottom);
  for (int band = BandOf(top); band <= lastBand; ++band) {
    for (std::size_t i = bandStart_[static_cast<std::size_t>(band)]; i < bandStart_[static_cast<std::size_t>(band) + 1];
         ++i) {
      const Piece& piece = pieces_[bandPieces_[i]];
      if (piece.box.right < visible.left || piece.box.left > visible.right || piece.box.bottom < top ||
          piece.box.top > bottom)
        continue;
      // A piece in several bands is taken in the first of them the view reaches.
      if (BandOf(std::max(piece.box.top, top)) != band) continue;
      OutlineReader reader(block_ + piece.offset, piece.x, piece.y);
      OutlineRun run;
      for (int left = piece.runs; left > 0;) {
        if (reader.NextRun(run)) {
          visit(run);
          --left;
        } else {
          int cx = 0, cy = 0;
          reader.NextContour(cx, cy);
        }
      }
    }
  }
}

// The painter's pass at phase over the runs near visible: what PaintDashes draws over the whole
// outline, pixel for pixel.
template <class SetPixel>
void PaintDashesNear(const OutlineBands& bands, int phase, const Rect& visible, SetPixel&& set) {
  bands.ForEachRunNear(visible, [&](const OutlineRun& run) { PaintRunDashes(run, phase, visible, set); });
}

}  // namespace outline
