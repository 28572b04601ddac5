#pragma once
// The circle and ellipse tools: the press sets the centre, the second point lies on the shape.
// Outlines are stamped with the brush along one exact integer walk of the ellipse's pixels,
// solid or as spaced dots; filled shapes are painted by the fill chosen in the palette's fill
// group, row by row.

#include <functional>
#include <vector>

#include "quillo/tools/Tool.h"

// Visits the outline pixels of the ellipse that fills the box, clockwise on screen from the
// top centre (fromTop) or anticlockwise from the bottom centre; a box narrower or lower than
// 3 pixels is visited whole, row by row.
void EllipseWalk(int x1, int y1, int x2, int y2, const std::function<void(int x, int y)>& visit, bool fromTop);

class P_elpse : public P_icon {
public:
  void ShowFeedback() override;
  void HideFeedback() override;
  void AddPoint() override;
  // The status text; the outlines also put their dot options on the bar.
  void Activate() override;
  void Deactivate(P_icon* next) override;
  // Draws the shape for the second point (x, y); false when its undo step could not be
  // opened (nothing drawn).
  virtual bool Apply(int x, int y);

  int CenterX = 0;
  int CenterY = 0;
  int RadiusX = 0;
  int RadiusY = 0;
  const char* StartKey;   // status text before the centre
  const char* SecondKey;  // and after it
  int DotMode = 0;        // 0 continuous, 1 a dot every n pixels, 2 n dots spread evenly
  int DotValue = 2;

protected:
  enum class Shape { Circle, Ellipse };
  enum class Paint { Outline, Filled };
  P_elpse(const ToolTraits& traits, Shape shape, Paint paint);

private:
  bool Filled() const { return paint_ == Paint::Filled; }
  // The radii for a second point: a circle through it, or the ellipse through it.
  void SetRadii(int x, int y);
  void ReadDotOptions();
  // The outline of the box around the centre stamped with the brush; the filled shape painted.
  bool StampOutline();
  bool FillShape();
  // The exclusive-or feedback: the outline's dots as pixels, or the filled rows.
  void XorShape();

  Shape shape_;
  Paint paint_;
};

class P_circle : public P_elpse {
public:
  explicit P_circle(const ToolTraits& traits) : P_elpse(traits, Shape::Circle, Paint::Outline) {}
};

class P_circlef : public P_elpse {
public:
  explicit P_circlef(const ToolTraits& traits) : P_elpse(traits, Shape::Circle, Paint::Filled) {}
};

class P_ellipse : public P_elpse {
public:
  explicit P_ellipse(const ToolTraits& traits) : P_elpse(traits, Shape::Ellipse, Paint::Outline) {}
};

class P_ellipsef : public P_elpse {
public:
  explicit P_ellipsef(const ToolTraits& traits) : P_elpse(traits, Shape::Ellipse, Paint::Filled) {}
};

// The spacing of the outline's dots for a walk of `pixels` pixels.
float DotSpacing(int mode, int value, int pixels);
// The rows of the filled shape in the box around (cx, cy): for each row from the top, the
// right end of its span (the span runs from 2 cx - end to end); -1 for a row without one.
std::vector<int> FilledRows(int cx, int cy, int rx, int ry);
