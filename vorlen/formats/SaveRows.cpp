#include "vorlen/formats/SaveRows.h"

#include <algorithm>

#include "vorlen/core/CompositeTables.h"

SaveRows::SaveRows(const Buffer& image, bool composite, uint background)
    : image_(image), composite_(composite), background_(background) {
  std::fill(std::begin(held_), std::end(held_), -1);
  if (composite_ && image.pixels != nullptr && !image.Empty())
    ring_.resize(static_cast<size_t>(image.Width()) * kHeld);
}

const uint* SaveRows::Row(int y) {
  const uint* source = image_.At(image_.rect.left, image_.rect.top + y);
  if (!composite_) return source;
  const int slot = y % kHeld;
  const int width = image_.Width();
  uint* row = ring_.data() + static_cast<size_t>(slot) * width;
  if (held_[slot] != y) {
    std::fill_n(row, width, background_);
    BlendRun(row, source, width);
    held_[slot] = y;
  }
  return row;
}
