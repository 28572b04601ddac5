#pragma once
// The box tools: rectangles and squares from one corner to the opposite one, outlined with the
// brush or filled by the fill variant chosen in the palette's fill group. P_box runs the two
// points and the feedback (the cross before the first corner, the box after it); the variants
// differ in how a box is shown and drawn and whether it is held square.

#include "quillo/tools/Tool.h"

class P_box : public P_icon {
public:
  void ShowFeedback() override;
  void HideFeedback() override;
  void AddPoint() override;
  void Activate() override;

  virtual void HideCross();
  virtual void HideBox() = 0;
  virtual void ShowCross();
  virtual void ShowBox() = 0;
  // Draws the box from the anchor to the (held) second corner (x, y); returns 0.
  virtual int DrawBox(int x, int y) = 0;
  // Moves the second corner so the box keeps the variant's shape.
  virtual void Constrain(int* x, int* y) = 0;

  // The first corner.
  int AnchorX = 0;
  int AnchorY = 0;

protected:
  explicit P_box(const ToolTraits& traits) : P_icon(traits) {}

  // The box for the pointer, held by Constrain, normalised.
  Rect FeedbackBox();
  // The feedback in the exclusive-or colour: the outline, or the whole box.
  void XorOutline();
  void XorFilled();
  // The same, then the box's size in the status bar.
  void ShowOutline();
  void ShowFilled();
  // The outline stroked with the brush, or the box painted by the chosen fill.
  void StrokeOutline(int x, int y);
  void FillBox(int x, int y);
  // The square: the longer side decides, the shorter follows in its own direction.
  void HoldSquare(int* x, int* y) const;
};

class P_box_rect : public P_box {
public:
  explicit P_box_rect(const ToolTraits& traits) : P_box(traits) {}
  void HideBox() override { XorOutline(); }
  void ShowBox() override { ShowOutline(); }
  int DrawBox(int x, int y) override;
  void Constrain(int*, int*) override {}
};

class P_box_sqr : public P_box {
public:
  explicit P_box_sqr(const ToolTraits& traits) : P_box(traits) {}
  void HideBox() override { XorOutline(); }
  void ShowBox() override { ShowOutline(); }
  int DrawBox(int x, int y) override;
  void Constrain(int* x, int* y) override { HoldSquare(x, y); }
};

class P_box_rectf : public P_box {
public:
  explicit P_box_rectf(const ToolTraits& traits) : P_box(traits) {}
  void HideBox() override { XorFilled(); }
  void ShowBox() override { ShowFilled(); }
  int DrawBox(int x, int y) override;
  void Constrain(int*, int*) override {}
};

class P_box_sqrf : public P_box {
public:
  explicit P_box_sqrf(const ToolTraits& traits) : P_box(traits) {}
  void HideBox() override { XorFilled(); }
  void ShowBox() override { ShowFilled(); }
  int DrawBox(int x, int y) override;
  void Constrain(int* x, int* y) override { HoldSquare(x, y); }
};
