// The flood fills. The area is grown into a mask by the library's region fill over a colour
// predicate, cut to the selection, and painted by the tool's Apply; each fill is one undo step,
// opened at the click and narrowed to what was painted.

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
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/OptionBar.h"
#include "quillo/tools/ToolHost.h"
#include "quillo/tools/ToolObjects.h"

namespace {

// The state of one fill, read by the library's callbacks.
int FillTolerance = 0;
Rect FillBounds;  // DrawView's rectangle, right and bottom exclusive
std::uint32_t FillSeedColor = 0;
std::uint32_t FillColor = 0;
std::array<std::uint32_t, 256> FillShadeTable{};

int Byte(std::uint32_t word, int shift) { return static_cast<int>(word >> shift & 0xFF); }

int Brightest(std::uint32_t pixel) { return std::max({Byte(pixel, 16), Byte(pixel, 8), Byte(pixel, 0)}); }

std::uint32_t Word(int r, int g, int b) {
  return static_cast<std::uint32_t>(r) << 16 | static_cast<std::uint32_t>(g) << 8 | static_cast<std::uint32_t>(b);
}

bool FillColorMatch(int x, int y) {
  if (x < FillBounds.left || y < FillBounds.top || x >= FillBounds.right || y >= FillBounds.bottom) return false;
  return PixelDistance(*DrawView.At(x, y), FillSeedColor) <= FillTolerance;
}

void FillSolidPixel(int x, int y) {
  ExtendDirtyRect(x, y, x, y);
  std::uint32_t* pixel = DrawView.At(x, y);
  if (!FillSolidTool.Shade) *pixel = FillColor;
  else *pixel = FillShadeTable[static_cast<std::size_t>(Brightest(*pixel))] | (FillColor & 0xFF000000u);
}

bool IsFillTool(const P_icon* tool) { return tool == &FillSolidTool || tool == &FillPatternTool; }

// The option bar's transparency as the paint's top byte.
std::uint32_t TransparencyBits() { return static_cast<std::uint32_t>(static_cast<int>(GetOptionValue(1)) & 0xFF) << 24; }

int Wrapped(int value, int size) { return (value % size + size) % size; }

}  // namespace

int PixelDistance(std::uint32_t a, std::uint32_t b) {
  int sum = 0;
  for (const int shift : {0, 8, 16, 24}) sum += std::abs(Byte(a, shift) - Byte(b, shift));
  return sum;
}

bool AllocPictureMask(BitBuffer& mask) {
  if (!CurrentPicture || CurrentPicture->Empty()) return false;
  mask.Alloc(CurrentPicture->Width(), CurrentPicture->Height());
  if (!mask.words) return false;
  mask.PutPixelsSafe(Rect(0, 0, mask.width - 1, mask.height - 1), 0);
  return true;
}

bool GrowColourArea(BitBuffer& mask, int x, int y, int tolerance, bool eightConnected) {
  if (!CurrentPicture || x < 0 || y < 0 || x >= CurrentPicture->Width() || y >= CurrentPicture->Height()) return false;
  if (!AllocPictureMask(mask)) return false;
  SetDrawViewClip();
  FillTolerance = tolerance;
  FillBounds = Rect(DrawView.rect.left, DrawView.rect.top, DrawView.rect.right + 1, DrawView.rect.bottom + 1);
  FillSeedColor = *CurrentPicture->At(x, y);
  mask.Fill(x, y, FillColorMatch, eightConnected);
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
  if (!GrowColourArea(mask, x, y, static_cast<int>(GetOptionValue(0)), GetOptionValue(2) != 0)) return;
  const std::uint32_t colour = MouseShift.Contains(ssRight) ? BackgroundColour() : DrawingColour();
  ResetDirtyRect();
  // A fill never leaves the selection.
  if (selected) mask.Copy(picture->Mask, 0, 0, BitBuffer::kAnd);
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
  mask->Stencil(DrawView.rect, FillSolidPixel);
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
  const Rect area = Intersect(DrawView.rect, Rect(0, 0, mask->width - 1, mask->height - 1));
  for (int y = area.top; y <= area.bottom; ++y) {
    const int row = Wrapped(offset.y + y, bh);
    for (int x = area.left; x <= area.right; ++x) {
      if (!mask->Test(x, y)) continue;
      ExtendDirtyRect(x, y, x, y);
      std::uint32_t b = *Brush.At(Brush.rect.left + Wrapped(offset.x + x, bw), Brush.rect.top + row);
      if (b == BrushOutside) b = background;
      std::uint32_t* pixel = DrawView.At(x, y);
      if (!Shade) {
        *pixel = b | transparency;
        continue;
      }
      int h = 0, s = 0, v = 0, r = 0, g = 0, bl = 0;
      RGB2HSV(Byte(b, 16), Byte(b, 8), Byte(b, 0), h, s, v);
      HSV2RGB(h, s, (Brightest(*pixel) + v) >> 1, r, g, bl);
      *pixel = Word(r, g, bl);
    }
  }
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
