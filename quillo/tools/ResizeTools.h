#pragma once
// The resize tools set a size by dragging a circle out from a centre: the first click fixes
// the centre, a disc of the size under the pointer follows it in the drawing colour, and the
// second click stores the size and hands back to the tool that was current. The one in use
// sets the radius of the spray and the airbrush; it has no palette entry and is reached only
// from their bars' button.

#include <cstdint>

#include "quillo/tools/Tool.h"

// The drag: the centre, the size from the pointer's offset and the preview stamped there.
class P_resize : public P_icon {
public:
  void ShowFeedback() override;
  void HideFeedback() override;

  // The size for an offset of the pointer from the centre.
  virtual int SizeFromOffset(int dx, int dy) const = 0;
  // Draws the preview of Size into BrushShape (already allocated at 2 Size + 1 square).
  virtual void DrawPreview() = 0;

  // The hot spot as it was when the tool became current.
  std::uint16_t SavedHandle = 0;
  int CentreX = 0;
  int CentreY = 0;
  // -1 from the first click until the feedback has measured it.
  std::int16_t Size = -1;

protected:
  explicit P_resize(const ToolTraits& traits) : P_icon(traits) {}
};

// A circle: the size is the distance to the pointer, rounded half up; the preview a disc.
class P_resize_crc : public P_resize {
public:
  int SizeFromOffset(int dx, int dy) const override;
  void DrawPreview() override;

protected:
  explicit P_resize_crc(const ToolTraits& traits) : P_resize(traits) {}
};

// The radius of the spray and the airbrush.
class P_resize_spray : public P_resize_crc {
public:
  explicit P_resize_spray(const ToolTraits& traits) : P_resize_crc(traits) {}
  void Activate() override;
  void AddPoint() override;
  void Deactivate(P_icon* next) override;

  std::int16_t SprayRadius = 20;
};
