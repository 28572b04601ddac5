#pragma once
// The framework's small value types: rectangles and points (the Windows records with
// constructors, so they pass straight to the GDI calls), and the notification event.

#include <functional>

#include "platform/gdi/WinDefs.h"

class TObject;

struct TPoint : POINT {
  constexpr TPoint() = default;
  constexpr TPoint(int x, int y) : POINT{x, y} {}
  constexpr TPoint(const POINT& p) : POINT(p) {}
};

struct TRect : RECT {
  constexpr TRect() = default;
  constexpr TRect(int left, int top, int right, int bottom) : RECT{left, top, right, bottom} {}
  constexpr TRect(const TPoint& topLeft, const TPoint& bottomRight)
      : RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y} {}
  constexpr TRect(const RECT& r) : RECT(r) {}

  constexpr int Width() const { return right - left; }
  constexpr int Height() const { return bottom - top; }
  constexpr TPoint TopLeft() const { return TPoint(left, top); }
  constexpr TPoint BottomRight() const { return TPoint(right, bottom); }
};

// The points of a TPoint array are handed to GDI as POINTs.
static_assert(sizeof(TPoint) == sizeof(POINT) && sizeof(TRect) == sizeof(RECT));

constexpr TPoint Point(int x, int y) { return TPoint(x, y); }
constexpr TRect Bounds(int left, int top, int width, int height) {
  return TRect(left, top, left + width, top + height);
}

// Events carry their sender first.
using TNotifyEvent = std::function<void(TObject* Sender)>;
