// The flood fills. The area is grown into a mask by the library's region fill, asking about
// runs of like colour a row at a time, cut to the selection, and painted by the tool's Apply
// run by run; each fill is one undo step, opened at the click without copying the picture,
// keeping the rows of the area before they are painted and narrowed to what was painted.

#include "quillo/tools/Fills.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "quillo/document/DocumentInput.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/document/Zoom.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/ColorSpace.h"
#include "quillo/tools/ColourRuns.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/OptionBar.h"
#include "quillo/tools/ToolHost.h"
#include "quillo/tools/ToolObjects.h"

namespace {

// The solid fill's paint and, in shade mode, its colour at each brightness.
std::uint32_t FillColor = 0;
std::array<std::uint32_t, 256> FillShadeTable{};

int Byte(std::uint32_t word, int shift) { return static_cast<int>(word >> shift & 0xFF); }

int Brightest(std::uint32_t pixel) { return std::max({Byte(pixel, 16), Byte(pixel, 8), Byte(pixel, 0)}); }

std::uint32_t Word(int r, int g, int b) {
  return static_cast<std::uint32_t>(r) << 16 | static_cast<std::uint32_t>(g) << 8 | static_cast<std::uint32_t>(b);
}

// The bounds of the runs a fill paints, joining the dirty rectangle at the end.
class PaintedRuns {
public:
  void Add(int first, int last, int y) {
    if (bounds_.Empty()) bounds_ = Rect(first, y, last, y);
    bounds_ = Rect(std::min(bounds_.left, first), bounds_.top, std::max(bounds_.right, last), y);
  }
  void ExtendDirty() const {
    if (!bounds_.Empty()) ExtendDirtyRect(bounds_.left, bounds_.top, bounds_.right, bounds_.bottom);
  }

private:
  Rect bounds_;  // runs come row by row from the top
};

bool IsFillTool(const P_icon* tool) { return tool == &FillSolidTool || tool == &FillPatternTool; }

// The option bar's transparency as the paint's top byte.
std::uint32_t TransparencyBits() { return static_cast<std::uint32_t>(static_cast<int>(GetOptionValue(1)) & 0xFF) << 24; }

int Wrapped(int value, int size) { return (value % size + size) % size; }

}  // namespace

bool AllocPictureMask(BitBuffer& mask) {
  if (!CurrentPicture || CurrentPicture->Empty()) return false;
  mask.Alloc(CurrentPicture->Width(), CurrentPicture->Height());
  if (!mask.words) return false;
  mask.PutPixelsSafe(Rect(0, 0, mask.width - 1, mask.height - 1), 0);
  return true;
}

bool GrowColourArea(BitBuffer& mask, int x, int y, int tolerance, bool eightConnected, Rect* grown) {
  if (!CurrentPicture || x < 0 || y < 0 || x >= CurrentPicture->Width() || y >= CurrentPicture->Height()) return false;
  if (!AllocPictureMask(mask)) return false;
  SetDrawViewClip();
  const ColourRuns like(DrawView, *CurrentPicture->At(x, y), tolerance);
  const Rect bounds = mask.Fill(x, y, like, eightConnected);
  if (grown) *grown = bounds;
  return true;
}

void PaintWithChosenFill(std::uint32_t colour, BitBuffer& mask) {
  auto* fill = dynamic_cast<P_fill*>(TheToolHost().ChosenFillTool());
  if (!IsFillTool(fill)) fill = &FillSolidTool;
  fill->Apply(colour, &mask);
}

// ---------------------------------------------------------------------------------------
// The fill

void P_fill::AddPoint() {
  ToolPoint = MousePoint;
  const int x = ToolPoint.x, y = ToolPoint.y;
  UDBuffer* picture = CurrentPicture;
  if (!picture) return;
  const bool onPicture = x >= 0 && y >= 0 && x < picture->Width() && y < picture->Height();
  const bool selected = picture->Outline != nullptr;
  if (!onPicture || (selected && !picture->IsSelected(x, y))) {
    // Nothing to fill: the step the click opened would undo nothing.
    if (UndoAtFirstPoint) picture->DropUndoStep();
    return;
  }
  BitBuffer mask;
  Rect grown;
  if (!GrowColourArea(mask, x, y, static_cast<int>(GetOptionValue(0)), GetOptionValue(2) != 0, &grown)) return;
  const std::uint32_t colour = MouseShift.Contains(ssRight) ? BackgroundColour() : DrawingColour();
  ResetDirtyRect();
  // A fill never leaves the selection.
  if (selected) mask.Copy(picture->Mask, 0, 0, BitBuffer::kAnd);
  // The step the click opened copies the rows the paint is about to change.
  if (!grown.Empty()) picture->KeepRowsForUndo(grown.top, grown.bottom);
  Apply(colour, &mask);
  MarkPictureChanged();
  if (!DirtyRect.Empty()) RepaintImageRect(DirtyRect.left, DirtyRect.top, DirtyRect.right + 1, DirtyRect.bottom + 1);
  picture->ExtendUndo(DirtyRect.left, DirtyRect.top, DirtyRect.right, DirtyRect.bottom);
}

void P_fill::Deactivate(P_icon*) {
  Tolerance = static_cast<int>(GetOptionValue(0));
  Transparency = static_cast<int>(GetOptionValue(1));
  EightConnected = GetOptionValue(2) != 0 ? 1 : 0;
}

void P_fill::WriteCommonOptions() {
  SetStatusText("FillIP");
  SetOptionValue(0, Tolerance);
  SetOptionValue(1, Transparency);
  SetOptionValue(2, EightConnected);
  SetOptionValue(3, Shade);
  SetOptionEvent(3, TheToolHost().FillBarFlagChange());
}

void P_fill_solid::Activate() { WriteCommonOptions(); }

void P_fill_solid::Apply(std::uint32_t colour, BitBuffer* mask) {
  if (Shade) {
    int h = 0, s = 0, v = 0;
    RGB2HSV(Byte(colour, 16), Byte(colour, 8), Byte(colour, 0), h, s, v);
    for (int value = 0; value < 256; ++value) {
      int r = 0, g = 0, b = 0;
      HSV2RGB(h, s, value, r, g, b);
      FillShadeTable[static_cast<std::size_t>(value)] = Word(r, g, b);
    }
  }
  colour &= 0xFFFFFFu;
  FillColor = IsFillTool(CurrentTool) ? colour | TransparencyBits() : colour;
  const std::uint32_t top = FillColor & 0xFF000000u;
  PaintedRuns painted;
  mask->StencilRuns(DrawView.rect, [&](int first, int last, int y) {
    painted.Add(first, last, y);
    std::uint32_t* pixel = DrawView.At(first, y);
    std::uint32_t* const end = pixel + (last - first + 1);
    if (!FillSolidTool.Shade) std::fill(pixel, end, FillColor);
    else
      for (; pixel != end; ++pixel) *pixel = FillShadeTable[static_cast<std::size_t>(Brightest(*pixel))] | top;
  });
  painted.ExtendDirty();
}

// ---------------------------------------------------------------------------------------
// The pattern fill

void P_fill_pattern::Activate() {
  WriteCommonOptions();
  SetOptionValue(5, FillPatternMode);
  SetOptionEvent(4, TheToolHost().SetFillOrigin());
  SetOptionEvent(5, TheToolHost().FillPosModeChange());
}

void P_fill_pattern::Apply(std::uint32_t colour, BitBuffer* mask) {
  if (!CustomBrush || !Brush.pixels || Brush.Empty()) {
    FillSolidTool.Apply(colour, mask);
    return;
  }
  const int bw = Brush.Width(), bh = Brush.Height();
  Pair<int> offset;
  if (FillPatternMode == PatternAtBrushPosition)
    offset = {bw - Wrapped(BrushState.PositionX, bw), bh - Wrapped(BrushState.PositionY, bh)};
  else if (FillPatternMode == PatternAtFillOrigin)
    offset = FillPosTool.FillOrigin;
  const std::uint32_t transparency = CurrentTool == this ? TransparencyBits() : 0;
  const std::uint32_t background = BackgroundColour();
  PaintedRuns painted;
  mask->StencilRuns(DrawView.rect, [&](int first, int last, int y) {
    painted.Add(first, last, y);
    const std::uint32_t* tiles = Brush.At(Brush.rect.left, Brush.rect.top + Wrapped(offset.y + y, bh));
    std::uint32_t* pixel = DrawView.At(first, y);
    for (int column = Wrapped(offset.x + first, bw), x = first; x <= last; ++x, ++pixel) {
      std::uint32_t b = tiles[column];
      if (++column == bw) column = 0;
      if (b == BrushOutside) b = background;
      if (!Shade) {
        *pixel = b | transparency;
        continue;
      }
      int h = 0, s = 0, v = 0, r = 0, g = 0, bl = 0;
      RGB2HSV(Byte(b, 16), Byte(b, 8), Byte(b, 0), h, s, v);
      HSV2RGB(h, s, (Brightest(*pixel) + v) >> 1, r, g, bl);
      *pixel = Word(r, g, bl);
    }
  });
  painted.ExtendDirty();
}

// ---------------------------------------------------------------------------------------
// The fill origin

void P_fill_pos::Activate() { SetStatusText("FillPos"); }
void P_fill_pos::ShowFeedback() { StampBrush(ToolPoint.x, ToolPoint.y); }
void P_fill_pos::HideFeedback() { HideBrushAt(ToolPoint.x, ToolPoint.y); }

void P_fill_pos::AddPoint() {
  ToolPoint = MousePoint;
  const Pair<int> hot = BrushHotSpot();
  const int bw = std::max(BrushShape.Width(), 1), bh = std::max(BrushShape.Height(), 1);
  // The tile grid starts where the brush stamped here has its top-left pixel.
  FillOrigin = {Wrapped(hot.x - ToolPoint.x, bw), Wrapped(hot.y - ToolPoint.y, bh)};
  FillPatternTool.FillPatternMode = PatternAtFillOrigin;
}
