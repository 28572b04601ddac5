#pragma once
// The spray and the airbrush: while the button is held they keep adding paint, even with the
// pointer still, one dab at every move and at every tick of the main window's activity timer.
// The spray stamps the brush at random points round the pointer; the airbrush blends the
// colour into a soft disc, strongest at the centre, with a little noise. Option 0 of their bars
// chooses the radius tool, option 1 is the radius (shared with that tool), option 2 the
// density (spray) or strength (airbrush).

#include <cstdint>

#include "quillo/tools/Tool.h"
#include "vorlen/core/Types.h"

class Buffer;

// What the spray and the airbrush share: the bar, the press that opens the stroke and the
// release that narrows its undo step to what the dabs covered.
class P_spraying : public P_icon {
public:
  void HideFeedback() override;
  void AddPoint() override;
  void Activate() override;
  void Deactivate(P_icon* next) override;
  void ShowFeedback() override;
  bool KeepsRowsForUndo() const override { return true; }

  // One dab at ToolPoint; only during a drag.
  virtual void Dab() = 0;

  // Option 2 while another tool is current: the density or the strength.
  int RememberedOption2 = 10;

protected:
  P_spraying(const ToolTraits& traits, const char* statusKey) : P_icon(traits), statusKey_(statusKey) {}
  // The mark under the pointer before the press.
  virtual void ShowMark() = 0;
  virtual void HideMark() = 0;
  virtual void StrokeStarts() {}

private:
  const char* statusKey_;
};

class P_spray : public P_spraying {
public:
  explicit P_spray(const ToolTraits& traits) : P_spraying(traits, "SprayIP") {}
  void Dab() override;

protected:
  void ShowMark() override;
  void HideMark() override;
  void StrokeStarts() override;
};

class P_airbrush : public P_spraying {
public:
  explicit P_airbrush(const ToolTraits& traits) : P_spraying(traits, "AirBrushIP") {}
  void Dab() override;

protected:
  // An exclusive-or pixel: drawn again, it is gone.
  void ShowMark() override;
  void HideMark() override { ShowMark(); }
};

// The dabs the activity timer calls: nothing unless a stroke of that tool is being dragged.
void SprayDab();
void AirbrushDab();

// The radius and airbrush strength as the dabs use them, whatever the bar or the radius tool
// hold: a radius of at least 1 (a zero radius has no random offset to draw) and a strength of
// 0 to 254 (more would let the blend weight pass 256).
int UsableRadius(double radius);
int UsableStrength(double strength);

// trunc(2 x density) - 1 brushes stamped at random points round (cx, cy) within radius,
// each point added to DirtyRect; the stamped area is repainted at once.
void SprayDabAt(int cx, int cy, double radius, double density);

// The airbrush's disc on a picture: colour (0x00RRGGBB) blended into the disc of radius
// around (cx, cy), more at the centre, only inside clip (inclusive, in the buffer's
// coordinates); the pixels it touches become opaque. Returns the disc's square.
Rect AirbrushDabOn(Buffer& picture, const Rect& clip, int cx, int cy, double radius, double strength,
                   std::uint32_t colour);
