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

// Every pixel takes the colour and keeps its transparency.
void Recolour(Buffer& shape, std::uint32_t colour) {
  colour &= kColourBits;
  uint* row = shape.pixels;
  for (int y = 0; y < shape.Height(); ++y, row += shape.stride)
    for (uint *p = row, *end = row + shape.Width(); p != end; ++p) *p = (*p & kTransparencyBits) | colour;
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
    BrushShape.Alloc(Brush.Width(), Brush.Height());
  if (!BrushShape.pixels || BrushShape.Empty()) return;
  BrushShape.Copy(Brush, {BrushShape.rect.left - Brush.rect.left, BrushShape.rect.top - Brush.rect.top}, Buffer::kPlain);

  if (!background) {
    if (BrushMode == BrushModeColor) Recolour(BrushShape, drawColour);
    else if (BrushMode == BrushModeReplace) BrushShape.ChColor(BrushOutside, BrushTransparentColor & kColourBits);
  } else if (BrushMode == BrushModeReplace) {
    // The right button in replace mode stamps a solid rectangle.
    BrushShape.Box(BrushShape.rect, backColour & kColourBits);
  } else {
    Recolour(BrushShape, backColour);
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

bool RowHasContent(const Buffer& b, int y, int x1, int x2) {
  const uint* p = b.At(b.rect.left, b.rect.top + y);
  for (int x = x1; x <= x2; ++x)
    if (p[x] != BrushOutside) return true;
  return false;
}

bool ColumnHasContent(const Buffer& b, int x, int y1, int y2) {
  for (int y = y1; y <= y2; ++y)
    if (*b.At(b.rect.left + x, b.rect.top + y) != BrushOutside) return true;
  return false;
}

}  // namespace

void TrimBrush() {
  if (!Settings.OptimBrush || !Brush.pixels || Brush.Empty()) return;
  const Pair<int> hot = BrushHotSpot();
  const int x0 = MousePoint.x - hot.x, y0 = MousePoint.y - hot.y;
  const int w1 = Brush.Width() - 1, h1 = Brush.Height() - 1;
  // Each edge moves inwards past rows and columns that hold only outside; a brush with no
  // content at all comes down to its bottom-right pixel.
  int top = 0;
  while (top < h1 && !RowHasContent(Brush, top, 0, w1)) ++top;
  int bottom = h1;
  while (bottom > top && !RowHasContent(Brush, bottom, 0, w1)) --bottom;
  int left = 0;
  while (left < w1 && !ColumnHasContent(Brush, left, top, bottom)) ++left;
  int right = w1;
  while (right > left && !ColumnHasContent(Brush, right, top, bottom)) --right;
  if (top == 0 && left == 0 && bottom == h1 && right == w1) return;

  const int w = right - left + 1, h = bottom - top + 1;
  BrushShape.Alloc(w, h);
  Buffer part;
  part.Alloc(Brush, Rect(Brush.rect.left + left, Brush.rect.top + top, Brush.rect.left + right, Brush.rect.top + bottom),
             true);
  BrushShape.Copy(part, {-part.rect.left, -part.rect.top}, Buffer::kPlain);
  part.Free();
  Brush.Alloc(w, h);
  Brush.Copy(BrushShape, {0, 0}, Buffer::kPlain);
  const Pair<int> newHot = BrushHotSpot();
  if (MousePoint.x != NoMousePoint) MoveCursorToImagePoint(x0 + left + newHot.x, y0 + top + newHot.y);
  UpdateBrushShape(false);
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
