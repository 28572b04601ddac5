#pragma once
// The rows a writer reads from the image it saves. Where the save composites the image over
// its background, each row is composited when the writer asks for it, into a small ring of
// rows, so that a save needs no composited copy of the whole picture.

#include <vector>

#include "vorlen/core/Buffer.h"

class SaveRows {
public:
  // Rows a writer may hold at once: a JPEG band of blocks is the most any writer reads.
  static constexpr int kHeld = 16;

  // composite: each row is image's row put over `background` (opaque) by its transparency.
  SaveRows(const Buffer& image, bool composite, uint background);
  SaveRows(const SaveRows&) = delete;
  SaveRows& operator=(const SaveRows&) = delete;

  // Row y (0 = the top) from its left edge, valid while fewer than kHeld other rows are asked for.
  const uint* Row(int y);

private:
  const Buffer& image_;
  bool composite_;
  uint background_;
  std::vector<uint> ring_;
  int held_[kHeld];  // the row in each slot of the ring, -1 for none
};
