#include "quillo/tools/ColourTools.h"

#include <algorithm>
#include <cstdlib>

#include "platform/vcl/ExtCtrls.h"
#include "quillo/document/DocumentHost.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/document/Zoom.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/OptionBar.h"
#include "quillo/tools/Swatches.h"
#include "quillo/tools/ToolForm.h"
#include "quillo/tools/ToolHost.h"
#include "vorlen/core/BitBuffer.h"

namespace {

bool PointOnPicture() {
  return CurrentPicture && ToolPoint.x >= 0 && ToolPoint.y >= 0 && ToolPoint.x < CurrentPicture->Width() &&
         ToolPoint.y < CurrentPicture->Height();
}

// The pixel under the pointer, as the drawing view holds it.
std::uint32_t PixelUnderPointer() {
  return *CurrentPicture->At(CurrentPicture->rect.left + ToolPoint.x, CurrentPicture->rect.top + ToolPoint.y);
}

void ShowReadout() {
  if (PointOnPicture()) ShowColourReadout(ColourReadout(PixelUnderPointer()));
}

bool RightButton() { return MouseShift.Contains(ssRight); }

}  // namespace

Rect ReplaceColour(Buffer& picture, Rect area, std::uint32_t old, std::uint32_t replacement, int tolerance,
                   const BitBuffer* selection) {
  area.left = std::max(area.left, picture.rect.left);
  area.top = std::max(area.top, picture.rect.top);
  area.right = std::min(area.right, picture.rect.right);
  area.bottom = std::min(area.bottom, picture.rect.bottom);
  Rect changed(65535, 65535, -1, -1);
  const std::uint32_t opaque = replacement & 0xFFFFFFu;
  const int r0 = static_cast<int>(old >> 16 & 0xFF), g0 = static_cast<int>(old >> 8 & 0xFF);
  const int b0 = static_cast<int>(old & 0xFF), t0 = static_cast<int>(old >> 24);
  for (int y = area.top; y <= area.bottom; ++y) {
    std::uint32_t* p = picture.At(area.left, y);
    // The row's first and last changed columns, kept in registers; merged once a row.
    int first = -1, last = -1;
    for (int x = area.left; x <= area.right; ++x, ++p) {
      const std::uint32_t c = *p;
      const int d = std::abs(static_cast<int>(c >> 16 & 0xFF) - r0) + std::abs(static_cast<int>(c >> 8 & 0xFF) - g0) +
                    std::abs(static_cast<int>(c & 0xFF) - b0) + std::abs(static_cast<int>(c >> 24) - t0);
      if (d > tolerance) continue;
      if (selection && !selection->Test(x - picture.rect.left, y - picture.rect.top)) continue;
      *p = opaque;
      if (first < 0) first = x;
      last = x;
    }
    if (first >= 0) {
      changed.left = std::min(changed.left, first);
      changed.right = std::max(changed.right, last);
      changed.top = std::min(changed.top, y);
      changed.bottom = std::max(changed.bottom, y);
    }
  }
  return changed;
}

// ---------------------------------------------------------------------------------------
// The picker

void P_get_col::Activate() { SetStatusText("GetColor"); }

void P_get_col::ShowFeedback() {
  ShowReadout();
  if (ToolPhase != 1 && ToolPhase != ToolPhaseDrag) return;
  const std::uint32_t phase = ToolPhase;
  ToolPhase = 2;
  AddPoint();
  ToolPhase = phase;
  if (phase == 1) ReselectTool(true);
}

void P_get_col::AddPoint() {
  if (ToolPhase == 0) {
    ToolPoint = MousePoint;
    pickBackground_ = RightButton();
  }
  if (!PointOnPicture()) return;
  TPanel* swatch = pickBackground_ ? TheDocumentHost().BackgroundSwatch() : TheDocumentHost().DrawingSwatch();
  if (!swatch) return;
  SetSwatchColour(swatch, PixelUnderPointer() & 0xFFFFFFu);
  if (ToolForm) ToolForm->DrawPalette();
  TheToolHost().ColourChanged();
}

// ---------------------------------------------------------------------------------------
// Change colour

void P_ch_col::Activate() {
  SetStatusText("ChangeColor");
  SetOptionValue(0, RememberedTolerance);
}

void P_ch_col::Deactivate(P_icon*) { RememberedTolerance = static_cast<int>(GetOptionValue(0)); }

void P_ch_col::ShowFeedback() { ShowReadout(); }

void P_ch_col::AddPoint() {
  ToolPoint = MousePoint;
  if (!PointOnPicture()) return;
  const std::uint32_t old = PixelUnderPointer();
  const std::uint32_t replacement = RightButton() ? BackgroundColour() : DrawingColour();
  ResetDirtyRect();
  SetDrawViewClip();
  UDBuffer& picture = *CurrentPicture;
  const BitBuffer* selection = picture.Outline ? &picture.Mask : nullptr;
  const Rect area(picture.rect.left + DrawView.rect.left, picture.rect.top + DrawView.rect.top,
                  picture.rect.left + DrawView.rect.right, picture.rect.top + DrawView.rect.bottom);
  const Rect changed =
      ReplaceColour(picture, area, old, replacement, static_cast<int>(GetOptionValue(0)), selection);
  if (!changed.Empty())
    ExtendDirtyRect(changed.left - picture.rect.left, changed.top - picture.rect.top,
                    changed.right - picture.rect.left, changed.bottom - picture.rect.top);
  picture.ExtendUndo(DirtyRect.left, DirtyRect.top, DirtyRect.right, DirtyRect.bottom);
  ShowColourReadout("");
  MarkPictureChanged();
  if (ImageForm && ImageForm->ShowBuf) ImageForm->ShowBuf->Invalidate();
}
