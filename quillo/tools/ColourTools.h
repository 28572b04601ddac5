#pragma once
// The colour picker and change colour, the two tools with the pipette cursor. The picker
// takes the colour under the pointer into the drawing colour (the background colour with the
// right button), once for a click (the previous tool then returns) or at every move of a drag.
// Change colour replaces, in one click, every pixel close enough to the clicked one by the
// drawing (right button: background) colour, within the selection when there is one. Both show
// the colour under the pointer in the status bar.

#include <cstdint>

#include "quillo/tools/Tool.h"
#include "vorlen/core/Buffer.h"

class BitBuffer;

class P_get_col : public P_icon {
public:
  explicit P_get_col(const ToolTraits& traits) : P_icon(traits) {}
  void ShowFeedback() override;
  void AddPoint() override;
  void Activate() override;

private:
  // The press's button decides the swatch for the whole operation (the release has none).
  bool pickBackground_ = false;
};

class P_ch_col : public P_icon {
public:
  explicit P_ch_col(const ToolTraits& traits) : P_icon(traits) {}
  void ShowFeedback() override;
  void AddPoint() override;
  void Activate() override;
  void Deactivate(P_icon* next) override;

  int RememberedTolerance = 0;
};

// Within area (the picture's own coordinates, clipped to it): every pixel whose four-byte
// distance from old is at most tolerance, and (with a selection) that is selected, becomes
// replacement with its top byte 0. The rectangle of the changed pixels; empty when none
// changed.
Rect ReplaceColour(Buffer& picture, Rect area, std::uint32_t old, std::uint32_t replacement, int tolerance,
                   const BitBuffer* selection);
