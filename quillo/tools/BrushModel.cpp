#include "quillo/tools/BrushModel.h"

#include <algorithm>
#include <iterator>

#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Menus.h"
#include "quillo/base/Language.h"
#include "quillo/document/DocumentHost.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/ToolHost.h"

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

void SetBrushModeColor() {
  BrushMode = BrushModeColor;
  ShowBrushMode(ImageForm);
  UpdateBrushShape(false);
  TheToolHost().BrushModeColorChosen();
}

void CycleBrushHandle() {
  HideToolFeedback();
  BrushHandleMode = static_cast<std::uint8_t>((BrushHandleMode + 1) % HandleModeCount);
  ShowToolFeedback();
}
