#pragma once
// The selection tools: a rectangle dragged or clicked corner to corner, a rectangle of a preset
// size placed with one click, a freehand outline, a polygon and the magic wand. In selection
// mode (the instant-brush setting off) the area is combined into the active picture's
// selection (Ctrl adds, Alt subtracts, neither replaces) as one undo step named by the tool;
// in brush mode it becomes the brush at once (SelectionToBrush.h).

#include "quillo/tools/FilledShapes.h"
#include "quillo/tools/Fills.h"
#include "quillo/tools/Tool.h"
#include "vorlen/core/BitBuffer.h"

// The rectangle tools: the corners, then the rectangle normalised and clamped to the picture.
class P_cut : public P_icon {
public:
  void AddPoint() override;
  // A corner at (x, y); non-zero: wait for another point.
  virtual int SetCorner(int x, int y) = 0;
  // After a rectangle was taken.
  virtual void AfterSelection() {}

  int AnchorX = 0;  // the first corner; once a rectangle is taken, its left and top
  int AnchorY = 0;

protected:
  explicit P_cut(const ToolTraits& traits) : P_icon(traits) {}
};

class P_cut_box : public P_cut {
public:
  explicit P_cut_box(const ToolTraits& traits) : P_cut(traits) {}
  void ShowFeedback() override;
  void PaintOverlay() override;
  void HideFeedback() override;
  void Activate() override;
  int SetCorner(int x, int y) override;
  void AfterSelection() override { Activate(); }
};

class P_cut_resize : public P_cut {
public:
  explicit P_cut_resize(const ToolTraits& traits) : P_cut(traits) {}
  void ShowFeedback() override;
  void PaintOverlay() override;
  void HideFeedback() override;
  void Activate() override;
  void Deactivate(P_icon* next) override;
  int SetCorner(int x, int y) override;

  double CutAspectRatio = 0;  // height / width of the preset size
  int ShownWidth = 0;         // the size last read from the bar for the feedback
  int ShownHeight = 0;
  int SavedWidth = 0;         // the bar's size when the tool was last left
  int SavedHeight = 0;
};

// The freehand and polygon selections draw their outline as the filled shapes do; the inside
// becomes the area.
class P_cut_draw : public P_fill_draw {
public:
  explicit P_cut_draw(const ToolTraits& traits) : P_fill_draw(traits) {}
  void ShowFeedback() override;
  void AddPoint() override;
  void Activate() override;
};

class P_cut_poly : public P_fill_poly {
public:
  explicit P_cut_poly(const ToolTraits& traits) : P_fill_poly(traits) {}
  void AddPoint() override;
  void Activate() override;
};

class P_cut_wand : public P_fill {
public:
  explicit P_cut_wand(const ToolTraits& traits) : P_fill(traits) { Tolerance = 128; }
  void AddPoint() override;
  void Activate() override;
  void Deactivate(P_icon* next) override;
  void Apply(std::uint32_t colour, BitBuffer* mask) override;
};

// The rectangle feedback is on the view: its repaint draws it again.
extern bool CutFeedbackShown;
// A change of the preset width or height sets the ratio anew (off while the keys below keep it).
extern bool CutSizeTracking;

// Whether the tool is one of the five selection tools.
bool IsSelectionTool(const P_icon* tool);

// The selection-mode end of the rectangle tools: the rectangle (normalised, inside the
// picture) combined into the selection by the modifier keys.
void RectToSelection(P_cut& tool, const Rect& r);

// The instant-brush setting given to the five tools: in brush mode they hand back after one
// area and open the picture's undo step themselves; in selection mode each area is a step
// opened at the first point.
void ApplyInstantBrushOption();

// The preset-size keys; each acts only while the preset rectangle is the current tool.
void CutSizeWidthDown();
void CutSizeWidthUp();
void CutSizeHeightDown();
void CutSizeHeightUp();
void CutSizeShrink();  // one pixel smaller, keeping the ratio
void CutSizeGrow();    // one pixel larger, keeping the ratio
// The bar's buttons: back to 384 x 288, each side doubled (below 8192), halved (above 1); a
// changed width or height refreshes the feedback and, while tracking, the ratio.
void ResetCutSize();
void DoubleCutSize();
void HalveCutSize();
void CutSizeChanged();
