#pragma once
// The clone brush: Alt+click sets the source point; the next stroke fixes the offset from its
// start to the source, and every stroke from then on paints, through the brush's shape, the
// pixels found at that offset from the pointer. Option 0 chooses whether they come from the
// image as it was before the stroke (0) or as it is being painted (anything else).

#include <cstdint>

#include "quillo/tools/Tool.h"
#include "vorlen/core/Buffer.h"

class UDBuffer;

class P_clone : public P_icon {
public:
  explicit P_clone(const ToolTraits& traits) : P_icon(traits) {}
  void ShowFeedback() override;
  void PaintOverlay() override;
  void HideFeedback() override;
  void AddPoint() override;
  void Activate() override;
  void Deactivate(P_icon* next) override;

  // While Absolute is 1 the source point in image pixels, while it is 0 the offset from the
  // pointer to the source.
  int SourceX = 0;
  int SourceY = 0;
  std::uint8_t Absolute = 0;
  // Decided at each stroke's start: copy from the image before the stroke.
  std::uint8_t FromUndoCopy = 0;
  std::uint8_t RememberedOption = 0;
  // The present stroke's undo step could not be opened: the stroke paints nothing (its
  // source, the undo copy, and its narrowing would be the previous step's).
  bool StepRefused = false;

  // Copies, under the brush stamped with its hot spot at (x, y), the pixels at the offset.
  void CloneDab(int x, int y);

private:
  Pair<int> MarkerPoint() const;
};

// The dab itself on a picture: inside the brush shape (pixels other than 0xFF000000) whose
// corner is at (x0, y0), within clip (inclusive, picture coordinates), each pixel takes the
// one at (dx, dy) from it, its coordinates held inside the picture; from the picture itself
// (live), or from the picture as before its newest undo step when fromUndo is set. False when
// the undo copy could not be had (nothing painted).
bool CloneDabOn(UDBuffer& picture, const Rect& clip, const Buffer& shape, int x0, int y0, int dx, int dy,
                bool fromUndo);
