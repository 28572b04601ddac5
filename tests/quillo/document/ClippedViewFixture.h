#pragma once
// With the setting Clipping on, a document window zoomed in, made small and scrolled so that
// only an inner part of its picture shows: the drawing view then covers that part alone.

#include "../../support/UiDriver.h"
#include "platform/vcl/ExtCtrls.h"
#include "quillo/components/panels/EventScrollBox.h"
#include "quillo/base/Settings.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/document/Zoom.h"

// Returns the part that shows (inclusive, image coordinates), as the drawing view has it.
inline Rect ShowInnerPartClipped(TImageForm* window, UiDriver& ui) {
  Settings.Clipping = true;
  SetZoomFactor(4);
  ApplyZoom();
  window->SetBounds(window->GetLeft(), window->GetTop(), 160, 140);
  ui.RunUntilIdle();
  window->MaxSize->GetHorzScrollBar()->SetPosition(40);
  window->MaxSize->GetVertScrollBar()->SetPosition(32);
  ui.RunUntilIdle();
  SetDrawViewClip();
  return DrawView.rect;
}

// Whether the part lies wholly inside the picture and leaves some of it out on every side.
inline bool IsInnerPart(const Rect& part, const UDBuffer& picture) {
  return part.left > 0 && part.top > 0 && part.right < picture.Width() - 1 && part.bottom < picture.Height() - 1 &&
         part.left <= part.right && part.top <= part.bottom;
}
