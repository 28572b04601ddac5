#include "quillo/tools/BrushModel.h"

#include <algorithm>
#include <iterator>

#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Menus.h"
#include "quillo/base/Language.h"
#include "quillo/base/Settings.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/DocumentHost.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/FactoryBrush.h"
#include "quillo/tools/Tool.h"
#include "quillo/tools/ToolHost.h"
#include "quillo/tools/ToolObjects.h"
#include "quillo/tools/ToolForm.h"
#include "quillo/tools/BrushTransforms.h"

int BrushTransparency = 50;
int SavedBrushSize = 1;
bool CustomBrush = false;

namespace {

constexpr std::uint32_t kTransparencyBits = 0xFF000000u;
constexpr std::uint32_t kColourBits = 0x00FFFFFFu;

std::uint32_t PixelOfPanel(TPanel* panel, std::uint32_t fallback) {
  if (!panel) return fallback;
  const COLORREF rgb = ColorToRGB(panel->GetColor());
  return (rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 0xFF);
}

// Every pixel of shape (the size of brush) takes the colour with the transparency of brush's.
void RecolourFrom(Buffer& shape, const Buffer& brush, std::uint32_t colour) {
  colour &= kColourBits;
  for (int y = 0; y < shape.Height(); ++y) {
    const uint* from = brush.At(brush.rect.left, brush.rect.top + y);
    uint* to = shape.At(shape.rect.left, shape.rect.top + y);
    for (int x = 0; x < shape.Width(); ++x) to[x] = (from[x] & kTransparencyBits) | colour;
  }
}

// The brush sheet's transparency position as the amount added to each pixel's transparency:
// 50 adds nothing, 0 makes the brush opaque, 100 fully transparent.
int TransparencyShift(int position) {
  return static_cast<int>(std::clamp(position, 0, 100) * 5.1 - 254.99);
}

// Adds the shift to the transparency of every pixel inside the brush (outside pixels, fully
// transparent, stay as they are), held within 0 to 255.
void ShiftTransparency(Buffer& shape, int shift) {
  if (shift == 0) return;
  uint* row = shape.pixels;
  for (int y = 0; y < shape.Height(); ++y, row += shape.stride) {
    for (uint *p = row, *end = row + shape.Width(); p != end; ++p) {
      const int top = static_cast<int>(*p >> 24);
      if (top == 255) continue;
      const int shifted = std::clamp(top + shift, 0, 255);
      *p = (static_cast<uint>(shifted) << 24) | (*p & kColourBits);
    }
  }
}

}  // namespace

Pair<int> HotSpotOffset(int width, int height, int handleMode) {
  switch (handleMode) {
    case HandleLeftTop: return {0, 0};
    case HandleRightTop: return {width - 1, 0};
    case HandleRightBottom: return {width - 1, height - 1};
    case HandleLeftBottom: return {0, height - 1};
    default: return {width >> 1, height >> 1};
  }
}

Rect GrownByBrush(const Rect& rect) {
  const Pair<int> hot = BrushHotSpot();
  return Rect(rect.left - hot.x, rect.top - hot.y, rect.right - hot.x + BrushShape.Width() - 1,
              rect.bottom - hot.y + BrushShape.Height() - 1);
}

Pair<int> BrushHotSpot() { return HotSpotOffset(BrushShape.Width(), BrushShape.Height(), BrushHandleMode); }

std::uint32_t DrawingColour() { return PixelOfPanel(TheDocumentHost().DrawingSwatch(), 0x000000); }
std::uint32_t BackgroundColour() { return PixelOfPanel(TheDocumentHost().BackgroundSwatch(), 0xFFFFFF); }

void UpdateBrushShape(bool background) { UpdateBrushShapeWith(DrawingColour(), BackgroundColour(), background); }

void UpdateBrushShapeWith(std::uint32_t drawColour, std::uint32_t backColour, bool background) {
  if (!Brush.pixels || Brush.Empty()) return;
  // The shape is the brush's size; a brush made without its shape gets one here rather than
  // being cut to whatever size the shape had before.
  if (BrushShape.Width() != Brush.Width() || BrushShape.Height() != Brush.Height() || !BrushShape.pixels)
    BrushShape.Reshape(Brush.Width(), Brush.Height());
  if (!BrushShape.pixels || BrushShape.Empty()) return;
  const bool recolour = BrushMode != BrushModeReplace && (background || BrushMode == BrushModeColor);
  if (recolour) {
    // The copy and the new colour in one pass.
    RecolourFrom(BrushShape, Brush, background ? backColour : drawColour);
  } else {
    BrushShape.Copy(Brush, {BrushShape.rect.left - Brush.rect.left, BrushShape.rect.top - Brush.rect.top}, Buffer::kPlain);
  }

  if (BrushMode == BrushModeReplace) {
    // The right button in replace mode stamps a solid rectangle.
    if (background) BrushShape.Box(BrushShape.rect, backColour & kColourBits);
    else BrushShape.ChColor(BrushOutside, BrushTransparentColor & kColourBits);
  }
  ShiftTransparency(BrushShape, TransparencyShift(BrushTransparency));
}

void ShowBrushMode(TImageForm* window) {
  static constexpr const char* kAbbreviations[] = {"PaintAbr", "ColorAbr", "ReplaceAbr"};
  if (window && BrushMode < std::size(kAbbreviations))
    window->SetPanelText(spBrushMode, LangMessage(kAbbreviations[BrushMode]));
}

namespace {

void SetBrushMode(std::uint8_t mode) {
  BrushMode = mode;
  ShowBrushMode(ImageForm);
  UpdateBrushShape(false);
  TheToolHost().BrushModeChosen(mode);
}

}  // namespace

void SetBrushModePaint() { SetBrushMode(BrushModePaint); }
void SetBrushModeColor() { SetBrushMode(BrushModeColor); }

void SetBrushModeReplace() {
  if (CustomBrush) SetBrushMode(BrushModeReplace);
}

void UseCustomBrushShape() {
  CustomBrush = true;
  UpdateBrushShape(false);
  ShowBrushOnSheet();
}

void ShowBrushOnSheet() {
  if (!ToolForm) return;
  ToolForm->ShowBrushSettings();
  ToolForm->DrawBrushPreview();
}

namespace {

bool RowHasContent(const Buffer& b, int y) {
  const uint* p = b.At(b.rect.left, b.rect.top + y);
  for (const uint* end = p + b.Width(); p != end; ++p)
    if (*p != BrushOutside) return true;
  return false;
}

}  // namespace

Rect BrushContentBounds(const Buffer& b) {
  const int w1 = b.Width() - 1, h1 = b.Height() - 1;
  int top = 0;
  while (top < h1 && !RowHasContent(b, top)) ++top;
  int bottom = h1;
  while (bottom > top && !RowHasContent(b, bottom)) --bottom;
  // The columns row by row, each row read only as far as it can still move an edge: the
  // same edges as column by column, without striding down the picture.
  int left = w1;
  for (int y = top; y <= bottom; ++y) {
    const uint* row = b.At(b.rect.left, b.rect.top + y);
    for (int x = 0; x < left; ++x)
      if (row[x] != BrushOutside) {
        left = x;
        break;
      }
  }
  int right = left;
  for (int y = top; y <= bottom; ++y) {
    const uint* row = b.At(b.rect.left, b.rect.top + y);
    for (int x = w1; x > right; --x)
      if (row[x] != BrushOutside) {
        right = x;
        break;
      }
  }
  return Rect(left, top, right, bottom);
}

namespace {

// Brush := the part of BrushShape (0-based), plainly.
void BrushFromShapePart(const Rect& r) {
  Buffer part;
  part.Alloc(BrushShape, Rect(BrushShape.rect.left + r.left, BrushShape.rect.top + r.top, BrushShape.rect.left + r.right,
                              BrushShape.rect.top + r.bottom),
             true);
  AllocOrThrow(Brush, r.Width(), r.Height());
  Brush.Copy(part, {Brush.rect.left - part.rect.left, Brush.rect.top - part.rect.top}, Buffer::kPlain);
}

// The crop of a brush of size whole to the part, the pointer moved so that the brush keeps
// its place on the image: with (hx, hy) the hot spot of the whole brush and (hx', hy') the
// part's, the pointer goes from p to p - (hx, hy) + (part's corner) + (hx', hy').
void MovePointerForCrop(Pair<int> whole, const Rect& r) {
  const Pair<int> hot = HotSpotOffset(whole.x, whole.y, BrushHandleMode);
  const Pair<int> newHot = HotSpotOffset(r.Width(), r.Height(), BrushHandleMode);
  if (MousePoint.x != NoMousePoint)
    MoveCursorToImagePoint(MousePoint.x - hot.x + r.left + newHot.x, MousePoint.y - hot.y + r.top + newHot.y);
}

}  // namespace

void TrimBrush() {
  if (!Settings.OptimBrush || !Brush.pixels || Brush.Empty()) return;
  const Rect r = BrushContentBounds(Brush);
  if (r.left == 0 && r.top == 0 && r.right == Brush.Width() - 1 && r.bottom == Brush.Height() - 1) return;
  const Pair<int> whole{BrushShape.Width(), BrushShape.Height()};
  // BrushShape is the scratch picture: Brush's part into it, then back.
  BrushShape.Reshape(r.Width(), r.Height());
  Buffer part;
  part.Alloc(Brush, Rect(Brush.rect.left + r.left, Brush.rect.top + r.top, Brush.rect.left + r.right, Brush.rect.top + r.bottom),
             true);
  BrushShape.Copy(part, {-part.rect.left, -part.rect.top}, Buffer::kPlain);
  part.Free();
  Brush.Reshape(r.Width(), r.Height());
  Brush.Copy(BrushShape, {0, 0}, Buffer::kPlain);
  MovePointerForCrop(whole, r);
  UpdateBrushShape(false);
}

void BrushFromShapeTrimmed() {
  if (!Settings.OptimBrush || !BrushShape.pixels || BrushShape.Empty()) {
    BrushFromShape();
    return;
  }
  const Rect r = BrushContentBounds(BrushShape);
  BrushFromShapePart(r);
  if (r.left == 0 && r.top == 0 && r.right == BrushShape.Width() - 1 && r.bottom == BrushShape.Height() - 1) return;
  MovePointerForCrop({BrushShape.Width(), BrushShape.Height()}, r);
}

void TogglePixelPen() {
  SetBrushModeColor();
  if (!CustomBrush && Brush.Width() == 1) {
    Settings.BrushSize = SavedBrushSize;
    SavedBrushSize = 1;
  } else {
    SavedBrushSize = Settings.BrushSize;
    Settings.BrushSize = 1;
  }
  // The factory shape, made anew at the size chosen.
  CustomBrush = false;
  MakeFactoryBrush(BrushState.ShapeKind == 1 ? FactoryShape::Square : FactoryShape::Round, Settings.BrushSize,
                   Settings.BrushHardness, DrawingColour());
  UpdateBrushShape(false);
  ShowBrushOnSheet();
  if (CurrentTool == &PenOneTool || CurrentTool == &PenDiscTool) SelectTool(&PenContTool, true, -1);
}

void CycleBrushHandle() {
  HideToolFeedback();
  BrushHandleMode = static_cast<std::uint8_t>((BrushHandleMode + 1) % HandleModeCount);
  ShowToolFeedback();
}
