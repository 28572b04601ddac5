#include "quillo/tools/SelectionToBrush.h"

#include <array>
#include <new>

#include "platform/user/WinConst.h"
#include "quillo/base/Language.h"
#include "quillo/base/Settings.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/tools/BrushCommands.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/SelectionTools.h"
#include "quillo/tools/ToolObjects.h"

namespace {

bool RightButton() { return MouseShift.Contains(ssRight); }

// Puts the pointer where the brush, stamped by its hot spot, covers the area at (left, top).
void PointerOnArea(int left, int top) {
  const Pair<int> hot = BrushHotSpot();
  MoveCursorToImagePoint(left + hot.x, top + hot.y);
}

// What every new brush ends with: cropped, in the paint mode, the custom shape.
void NewBrushTail() {
  TrimBrush();
  SetBrushModePaint();
  UseCustomBrushShape();
}

// The brush from the mask's box of the picture as it was before the picture's newest step.
void MaskToBrush(BitBuffer& mask, const Rect& box) {
  UDBuffer& picture = *CurrentPicture;
  BrushStep step(CurrentTool ? CurrentTool->Key : AnsiString());
  if (!picture.CopyFromUndo(Brush, box.left, box.top, box.right, box.bottom)) {
    AllocOrThrow(Brush, box.Width(), box.Height());
    Brush.Copy(picture, {-box.left, -box.top}, Buffer::kPlain);
  }
  for (int y = box.top; y <= box.bottom; ++y)
    for (int x = box.left; x <= box.right; ++x)
      if (!mask.Test(x, y)) *Brush.At(Brush.rect.left + x - box.left, Brush.rect.top + y - box.top) = BrushOutside;
  AllocOrThrow(BrushShape, Brush.Width(), Brush.Height());
  BrushShape.Copy(Brush, {0, 0}, Buffer::kPlain);
  BrushTransparentColor = FindUnusedBrushColor(box.Width() * box.Height());
  if (!RightButton()) {
    // A copy leaves the picture's history as it was before the area was marked.
    picture.Undo();
  } else {
    const std::uint8_t shade = FillSolidTool.Shade;
    FillSolidTool.Shade = 0;
    SetDrawViewClip();
    FillSolidTool.Apply(BackgroundColour(), &mask);
    FillSolidTool.Shade = shade;
    MarkPictureChanged();
    ExtendDirtyRect(box.left, box.top, box.right, box.bottom);
    RepaintImageRect(box.left, box.top, box.right + 1, box.bottom + 1);
  }
  BrushState.PositionX = static_cast<std::int16_t>(box.left);
  BrushState.PositionY = static_cast<std::int16_t>(box.top);
  PointerOnArea(box.left, box.top);
  NewBrushTail();
}

// The mask combined into the selection by the modifier keys, as one undo step of the picture.
void MaskToSelection(BitBuffer& mask, const Rect& box) {
  UDBuffer& picture = *CurrentPicture;
  const bool subtract = MouseShift.Contains(ssAlt);
  if (!subtract && !MouseShift.Contains(ssCtrl) && picture.Outline) {
    ExtendDirtyRect(picture.SelLeft, picture.SelTop, picture.SelRight, picture.SelBottom);
    picture.ClearSelection(false);
  }
  Rect bounds = box;
  if (picture.HasSelectionBounds())
    bounds = Rect(std::min(box.left, picture.SelLeft), std::min(box.top, picture.SelTop),
                  std::max(box.right, picture.SelRight), std::max(box.bottom, picture.SelBottom));
  ExtendDirtyRect(bounds.left, bounds.top, bounds.right, bounds.bottom);
  picture.ExtendUndo(DirtyRect.left, DirtyRect.top, DirtyRect.right, DirtyRect.bottom);
  // The outline drawn into the picture as feedback goes.
  UDBuffer before;
  if (picture.CopyFromUndo(before, bounds.left, bounds.top, bounds.right, bounds.bottom)) {
    picture.Copy(before, {bounds.left - before.rect.left, bounds.top - before.rect.top}, Buffer::kPlain);
    RepaintImageRect(bounds.left, bounds.top, bounds.right + 1, bounds.bottom + 1);
  }
  if (subtract) {
    mask.Copy(picture.Mask, 0, 0, BitBuffer::kAnd);
    picture.Mask.Copy(mask, 0, 0, BitBuffer::kXor);
  } else {
    picture.Mask.Copy(mask, 0, 0, BitBuffer::kOr);
  }
  // The bounds follow the mask: a subtraction that leaves nothing drops the selection.
  picture.RebuildSelectionOutline();
}

}  // namespace

std::uint32_t FindUnusedBrushColor(int n) {
  const uint* p = BrushShape.pixels;
  const int total = BrushShape.pixels ? BrushShape.Width() * BrushShape.Height() : 0;
  n = std::min(n, total);
  // The value of the byte at shift with the least count among the pixels that match
  // (value & mask) == want; its count goes to least.
  const auto leastUsed = [&](int shift, uint mask, uint want, int& least) {
    std::array<int, 256> counts{};
    for (int i = 0; i < n; ++i)
      if (p[i] != BrushOutside && (p[i] & mask) == want) ++counts[(p[i] >> shift) & 0xFF];
    int value = 0;
    least = counts[0];
    for (int v = 1; v < 256 && least != 0; ++v)
      if (counts[v] < least) {
        least = counts[v];
        value = v;
      }
    return static_cast<uint>(value);
  };
  int least = 0;
  const uint r = leastUsed(16, 0, 0, least);
  if (least == 0) return r << 16;
  const uint g = leastUsed(8, 0xFF0000u, r << 16, least);
  if (least == 0) return r << 16 | g << 8;
  const uint b = leastUsed(0, 0xFFFF00u, r << 16 | g << 8, least);
  if (least == 0) return r << 16 | g << 8 | b;
  return BackgroundColour() & 0xFFFFFFu;
}

void RectToBrush(const P_icon& tool, const Rect& r) {
  UDBuffer* picture = CurrentPicture;
  if (!picture) return;
  BrushStep step(tool.Key);
  try {
    const std::uint32_t background = BackgroundColour() & 0xFFFFFFu;
    AllocOrThrow(Brush, r.Width(), r.Height());
    AllocOrThrow(BrushShape, r.Width(), r.Height());
    Brush.Copy(*picture, {-r.left, -r.top}, Buffer::kPlain);
    Brush.ChColor(background, BrushOutside);
    if (RightButton() && picture->PushUndo(tool.Key, nullptr, r.left, r.top, r.right, r.bottom)) {
      SetDrawViewClip();
      DrawView.Box(r, background);
      MarkPictureChanged();
      RepaintImageRect(r.left, r.top, r.right + 1, r.bottom + 1);
    }
    BrushState.PositionX = static_cast<std::int16_t>(r.left);
    BrushState.PositionY = static_cast<std::int16_t>(r.top);
    BrushTransparentColor = background;
    PointerOnArea(r.left, r.top);
    NewBrushTail();
    SelectTool(&PenDiscTool, false, -1);
  } catch (const std::exception&) {
    LangMessageBox("BrTooBig", "Err", MB_ICONEXCLAMATION);
    step.TakeBack();
    ReselectTool(false);
  }
}

void SelectionToBrush(BitBuffer& mask) {
  if (!CurrentPicture || !mask.words) return;
  const Rect box = MaskBounds(mask);
  if (box.Empty()) return;
  if (Settings.InstBrush) MaskToBrush(mask, box);
  else MaskToSelection(mask, box);
}

void GetSelectionAsBrush(bool noBackground) {
  UDBuffer* picture = CurrentPicture;
  // Nothing selected, nothing to take.
  if (!picture || !picture->Outline) return;
  HideToolFeedback();
  // A step of its own, without a name: the copy takes it back.
  if (!picture->PushUndo(AnsiString())) return;
  if (noBackground) {
    const std::uint32_t background = BackgroundColour() & 0xFFFFFFu;
    for (int y = picture->SelTop; y <= picture->SelBottom; ++y)
      for (int x = picture->SelLeft; x <= picture->SelRight; ++x)
        if (*picture->At(x, y) == background) picture->SetMaskPixel(x, y, false);
  }
  const bool instant = Settings.InstBrush;
  const TShiftState shift = MouseShift;
  // The command copies: no modifier of the last mouse action counts.
  Settings.InstBrush = true;
  MouseShift = TShiftState();
  const UndoEntry* newest = Brush.UndoChain;
  try {
    SelectionToBrush(picture->Mask);
  } catch (const std::exception&) {
    LangMessageBox("BrTooBig", "Err", MB_ICONEXCLAMATION);
    if (Brush.UndoChain != newest && Brush.UndoChain) Brush.Undo();
    if (picture->UndoChain) picture->Undo();
  }
  Settings.InstBrush = instant;
  MouseShift = shift;
  if (Brush.UndoChain != newest && Brush.UndoChain)
    Brush.UndoChain->Description = noBackground ? "GetSelNoBackBr" : "GetCompSelBr";
  SelectTool(&PenDiscTool, false, -1);
}
