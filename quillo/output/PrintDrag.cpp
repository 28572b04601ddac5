#include "quillo/output/PrintDrag.h"

#include <algorithm>
#include <cstdlib>

namespace {

bool Near(int x, int y, int hx, int hy) { return std::abs(x - hx) <= 3 && std::abs(y - hy) <= 3; }

bool MovesLeft(PrintDragMode m) { return m == PrintDragMode::Left || m == PrintDragMode::TopLeft || m == PrintDragMode::BottomLeft; }
bool MovesRight(PrintDragMode m) { return m == PrintDragMode::Right || m == PrintDragMode::TopRight || m == PrintDragMode::BottomRight; }
bool MovesTop(PrintDragMode m) { return m == PrintDragMode::Top || m == PrintDragMode::TopLeft || m == PrintDragMode::TopRight; }
bool MovesBottom(PrintDragMode m) { return m == PrintDragMode::Bottom || m == PrintDragMode::BottomLeft || m == PrintDragMode::BottomRight; }

}  // namespace

PrintDragMode HitPicture(const PreviewBox& b, int x, int y) {
  if (Near(x, y, b.x1, b.Ym())) return PrintDragMode::Left;
  if (Near(x, y, b.x2, b.Ym())) return PrintDragMode::Right;
  if (Near(x, y, b.Xm(), b.y1)) return PrintDragMode::Top;
  if (Near(x, y, b.Xm(), b.y2)) return PrintDragMode::Bottom;
  if (Near(x, y, b.x1, b.y1)) return PrintDragMode::TopLeft;
  if (Near(x, y, b.x2, b.y2)) return PrintDragMode::BottomRight;
  if (Near(x, y, b.x2, b.y1)) return PrintDragMode::TopRight;
  if (Near(x, y, b.x1, b.y2)) return PrintDragMode::BottomLeft;
  if (x >= b.x1 && x <= b.x2 && y >= b.y1 && y <= b.y2) return PrintDragMode::Move;
  return PrintDragMode::None;
}

PrintDragMode PrintDrag::Begin(const PrintLayoutState& layout, int w, int h, int x, int y) {
  mode_ = HitPicture(PictureBox(layout, w, h), x, y);
  const double s = layout.previewScale;
  x_ = Axis{};
  y_ = Axis{};
  x_.movingStart = MovesLeft(mode_);
  y_.movingStart = MovesTop(mode_);
  x_.anchor = static_cast<int>(x - layout.offsetX * s);
  y_.anchor = static_cast<int>(y - layout.offsetY * s);
  x_.farEdge = static_cast<int>(layout.offsetX + w * layout.scaleX);
  y_.farEdge = static_cast<int>(layout.offsetY + h * layout.scaleY);
  x_.startPointer = x;
  y_.startPointer = y;
  x_.startScale = layout.scaleX;
  y_.startScale = layout.scaleY;
  moveAnchorX_ = x_.anchor;
  moveAnchorY_ = y_.anchor;
  ratio_ = layout.scaleY != 0 ? layout.scaleX / layout.scaleY : 1;
  return mode_;
}

int PrintDrag::ClampedEdge(const Axis& axis, int offset, int extentPixels, int printable, int pointer, double previewScale) {
  if (axis.movingStart) {
    const int edge = static_cast<int>((pointer - axis.anchor) / previewScale);
    return std::max(0, std::min(edge, axis.farEdge - 1));
  }
  const int edge = static_cast<int>(offset + extentPixels * axis.startScale + (pointer - axis.startPointer) / previewScale);
  return std::max(std::min(edge, printable), offset + 1);
}

double PrintDrag::ScaleFromEdge(const Axis& axis, int edge, int offset, int extentPixels) {
  return axis.movingStart ? static_cast<double>(axis.farEdge - edge) / extentPixels
                          : static_cast<double>(edge - offset) / extentPixels;
}

int PrintDrag::EdgeFromScale(const Axis& axis, double scale, int offset, int extentPixels) {
  return axis.movingStart ? static_cast<int>(axis.farEdge - extentPixels * scale)
                          : static_cast<int>(offset + extentPixels * scale);
}

void PrintDrag::MoveSide(const Axis& axis, int pointer, int printable, int pixels, double previewScale, int& offset,
                         double& scale) const {
  const int edge = ClampedEdge(axis, offset, pixels, printable, pointer, previewScale);
  if (axis.movingStart) offset = edge;
  scale = ScaleFromEdge(axis, edge, offset, pixels);
}

void PrintDrag::MoveTo(PrintLayoutState& layout, int w, int h, int x, int y) const {
  const double s = layout.previewScale;
  const PrintPage& page = layout.page;
  if (mode_ == PrintDragMode::None || s <= 0 || w <= 0 || h <= 0) return;
  if (mode_ != PrintDragMode::Move) layout.aspectRatio = (h * layout.scaleY) / (w * layout.scaleX);
  if (mode_ == PrintDragMode::Move) {
    layout.offsetX = std::max(0, static_cast<int>((x - moveAnchorX_) / s));
    if (layout.offsetX + w * layout.scaleX > page.printableWidth)
      layout.offsetX = static_cast<int>(page.printableWidth - w * layout.scaleX);
    layout.offsetY = std::max(0, static_cast<int>((y - moveAnchorY_) / s));
    if (layout.offsetY + h * layout.scaleY > page.printableHeight)
      layout.offsetY = static_cast<int>(page.printableHeight - h * layout.scaleY);
    return;
  }
  const bool horizontal = MovesLeft(mode_) || MovesRight(mode_);
  const bool vertical = MovesTop(mode_) || MovesBottom(mode_);
  if (!(horizontal && vertical)) {
    if (horizontal) MoveSide(x_, x, page.printableWidth, w, s, layout.offsetX, layout.scaleX);
    if (vertical) MoveSide(y_, y, page.printableHeight, h, s, layout.offsetY, layout.scaleY);
    return;
  }
  // A corner: both edges follow the pointer, then the proportions of the drag's start hold.
  int edgeX = ClampedEdge(x_, layout.offsetX, w, page.printableWidth, x, s);
  int edgeY = ClampedEdge(y_, layout.offsetY, h, page.printableHeight, y, s);
  for (int round = 0; round < 2; ++round) {
    if (round == 1) {
      edgeX = x_.movingStart ? std::max(0, std::min(edgeX, x_.farEdge - 1))
                             : std::max(std::min(edgeX, page.printableWidth), layout.offsetX + 1);
      edgeY = y_.movingStart ? std::max(0, std::min(edgeY, y_.farEdge - 1))
                             : std::max(std::min(edgeY, page.printableHeight), layout.offsetY + 1);
    }
    layout.scaleX = ScaleFromEdge(x_, edgeX, layout.offsetX, w);
    layout.scaleY = ScaleFromEdge(y_, edgeY, layout.offsetY, h);
    if (layout.scaleX > layout.scaleY * ratio_) {
      layout.scaleY = layout.scaleX / ratio_;
      edgeY = EdgeFromScale(y_, layout.scaleY, layout.offsetY, h);
    } else if (layout.scaleX < layout.scaleY * ratio_) {
      layout.scaleX = layout.scaleY * ratio_;
      edgeX = EdgeFromScale(x_, layout.scaleX, layout.offsetX, w);
    }
  }
  // Enlarging the smaller side can push it past the printable area: then both shrink, still
  // in proportion, until it fits.
  const double roomX = x_.movingStart ? static_cast<double>(x_.farEdge) / w : static_cast<double>(page.printableWidth - layout.offsetX) / w;
  const double roomY = y_.movingStart ? static_cast<double>(y_.farEdge) / h : static_cast<double>(page.printableHeight - layout.offsetY) / h;
  if (layout.scaleX > roomX) {
    layout.scaleX = roomX;
    layout.scaleY = roomX / ratio_;
  }
  if (layout.scaleY > roomY) {
    layout.scaleY = roomY;
    layout.scaleX = roomY * ratio_;
  }
  edgeX = EdgeFromScale(x_, layout.scaleX, layout.offsetX, w);
  edgeY = EdgeFromScale(y_, layout.scaleY, layout.offsetY, h);
  if (x_.movingStart) layout.offsetX = std::max(0, edgeX);
  if (y_.movingStart) layout.offsetY = std::max(0, edgeY);
}
