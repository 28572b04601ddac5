#pragma once
// The interactive brush tools the Brush menu selects: bend and shear (vertical and
// horizontal), rotate by any angle and stretch (both ways, width, height). Each is a two-point
// tool without a palette button: the first click fixes the brush where it lies and puts the
// pointer on a handle, moving the pointer shows the changed brush in the image, and the second
// click commits it into Brush as one step of the brush's history; then the previous tool
// returns. No brush step is open before the second click.

#include <cstdint>

#include "quillo/tools/Tool.h"
#include "vorlen/core/Buffer.h"

// What the bend and shear tools share: the clicks, the feedback and the commit. The concrete
// tools give the result's rectangle for a pointer and copy the brush's strips into it.
class P_bend_brush : public P_icon {
public:
  void ShowFeedback() override;
  void HideFeedback() override;
  void AddPoint() override;
  void Activate() override;

  // The pointer to the drag handle after the first click, and to the committed brush's hot
  // spot after the second.
  virtual void MoveToHandle() = 0;
  void MoveToHotSpot();
  // Copies the strips of source (the brush's size) deformed for the pointer at (x, y) into
  // target with their result rectangle's corner at corner, in the copy mode.
  virtual void Apply(int x, int y, const Buffer& source, Buffer& target, Pair<int> corner, std::uint32_t mode) = 0;
  virtual int ResultLeft(int x) = 0;
  virtual int ResultTop(int y) = 0;
  virtual int ResultWidth(int x) = 0;
  virtual int ResultHeight(int y) = 0;

  int OriginX = 0;  // the brush's top-left image position at the first click
  int OriginY = 0;
  int ResultLeftX = 0;  // the committed brush's top-left image position
  int ResultTopY = 0;

protected:
  P_bend_brush(const ToolTraits& traits, const char* firstKey, const char* secondKey)
      : P_icon(traits), firstKey_(firstKey), secondKey_(secondKey) {}
  int BrushW() const;
  int BrushH() const;
  // Whether the feedback is the plain brush for a pointer in the second phase (a bend across
  // fewer than three pixels).
  virtual bool PlainFeedback() const { return false; }

private:
  const char* firstKey_;
  const char* secondKey_;
  bool stamped_ = false;  // the feedback shown is the plain brush
  Rect shown_;            // else the image rectangle it covers
};

class P_bend_brush_UnD : public P_bend_brush {
public:
  explicit P_bend_brush_UnD(const ToolTraits& traits) : P_bend_brush(traits, "BendBrush", "BendBrush2") {}
  void MoveToHandle() override;
  void Apply(int x, int y, const Buffer& source, Buffer& target, Pair<int> corner, std::uint32_t mode) override;
  int ResultLeft(int) override { return OriginX; }
  int ResultTop(int y) override;
  int ResultWidth(int) override { return BrushW(); }
  int ResultHeight(int y) override;

protected:
  bool PlainFeedback() const override { return BrushW() < 3; }
};

class P_bend_brush_LnR : public P_bend_brush {
public:
  explicit P_bend_brush_LnR(const ToolTraits& traits) : P_bend_brush(traits, "BendBrush", "BendBrush2") {}
  void MoveToHandle() override;
  void Apply(int x, int y, const Buffer& source, Buffer& target, Pair<int> corner, std::uint32_t mode) override;
  int ResultLeft(int x) override;
  int ResultTop(int) override { return OriginY; }
  int ResultWidth(int x) override;
  int ResultHeight(int) override { return BrushH(); }

protected:
  bool PlainFeedback() const override { return BrushH() < 3; }
};

class P_shear_brush_UnD : public P_bend_brush {
public:
  explicit P_shear_brush_UnD(const ToolTraits& traits) : P_bend_brush(traits, "ShearBrush", "ShearBrush2") {}
  void MoveToHandle() override;
  void Apply(int x, int y, const Buffer& source, Buffer& target, Pair<int> corner, std::uint32_t mode) override;
  int ResultLeft(int) override { return OriginX; }
  int ResultTop(int y) override;
  int ResultWidth(int) override { return BrushW(); }
  int ResultHeight(int y) override;
};

class P_shear_brush_LnR : public P_bend_brush {
public:
  explicit P_shear_brush_LnR(const ToolTraits& traits) : P_bend_brush(traits, "ShearBrush", "ShearBrush2") {}
  void MoveToHandle() override;
  void Apply(int x, int y, const Buffer& source, Buffer& target, Pair<int> corner, std::uint32_t mode) override;
  int ResultLeft(int x) override;
  int ResultTop(int) override { return OriginY; }
  int ResultWidth(int x) override;
  int ResultHeight(int) override { return BrushH(); }
};

// The offsets of the bent strips: strip i of count moves by the returned amount across,
// split at strip k, for a pull of d (s = 1 when the pointer pulls towards the start).
int BendOffset(int i, int count, int k, int d, int s);
// The strip index where the bend splits for a pointer at p, the brush starting at origin.
int BendSplit(int p, int origin, int count);
// The rows (or columns) of the shear's strips: for strips 0 to n and a pull of d, calls
// put(strip, position) for every position each strip takes, starting at start.
template <class Put>
void ShearWalk(int n, int d, int start, Put put) {
  const int s = d < 0 ? -1 : 1, a = d < 0 ? -d : d;
  int c = 0, r = start;
  if (n >= a) {
    int e = 2 * a - n;
    for (;;) {
      put(c, r);
      if (c == n) break;
      ++c;
      if (e >= 0) {
        r += s;
        e += 2 * a - 2 * n;
      } else {
        e += 2 * a;
      }
    }
  } else {
    int e = 2 * n - a;
    const int end = start + d;
    for (;;) {
      put(c, r);
      if (r == end) break;
      r += s;
      if (e < 0) {
        e += 2 * n;
      } else {
        e += 2 * n - 2 * a;
        ++c;
      }
    }
  }
}

class P_rotate_brush : public P_icon {
public:
  explicit P_rotate_brush(const ToolTraits& traits) : P_icon(traits) {}
  void ShowFeedback() override;
  void HideFeedback() override;
  void AddPoint() override;
  void Activate() override;

  // The brush's size turned by the current angle.
  int RotatedWidth() const;
  int RotatedHeight() const;
  // The angle of the pointer at (x, y) round the brush's centre pixel, counter-clockwise from
  // the right; 0 on the centre itself.
  double AngleAt(int x, int y) const;
  // The status text of the angle in degrees, two decimals and the degree sign.
  static AnsiString AngleText(double angle);
  // The second click's work: the brush turned by angle (radians) about its centre pixel as one
  // brush step, cropped, the pointer on its hot spot where the centre was.
  void CommitTurn(double angle);

  int OriginX = 0;  // the brush's top-left image position at the first click
  int OriginY = 0;
  double Angle = 0;  // radians

private:
  int CentreX() const;
  int CentreY() const;
  // The image box of the brush turned by the current angle, centred where the brush lies.
  Rect TurnedBox() const;
  bool stamped_ = false;
  Rect shown_;
};

class P_stretch_brush : public P_icon {
public:
  explicit P_stretch_brush(const ToolTraits& traits) : P_icon(traits) {}
  void ShowFeedback() override;
  void HideFeedback() override;
  void AddPoint() override;
  void Activate() override;

  // The new width and height for a pointer; negative: mirrored.
  virtual int NewWidth(int x);
  virtual int NewHeight(int y);

  int AnchorX = 0;  // the brush's top-left image position at the first click
  int AnchorY = 0;

private:
  bool stamped_ = false;
  Rect shown_;
};

class P_stretch_brush_X : public P_stretch_brush {
public:
  explicit P_stretch_brush_X(const ToolTraits& traits) : P_stretch_brush(traits) {}
  int NewHeight(int y) override;
};

class P_stretch_brush_Y : public P_stretch_brush {
public:
  explicit P_stretch_brush_Y(const ToolTraits& traits) : P_stretch_brush(traits) {}
  int NewWidth(int x) override;
};
