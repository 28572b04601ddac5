#pragma once
// The main window's zoom control holds the zoom of the active document. Positions 1 to 32
// are the factors 1 to 32; positions 0 to -8 are the fractions 3/4 down to 1/10. This file
// turns positions into factors, labels and the packed zoom the view takes, applies a zoom to
// the active document, activates documents and serves the Window menu.

#include <cstdint>

#include "platform/rtl/AnsiString.h"
#include "platform/vcl/UpDown.h"
#include "quillo/shell/ZoomPresets.h"

class TObject;

// The zoom control's current factor, position and packed zoom.
double GetZoomFactor();
// Sets the control to the position for z; answers the factor chosen.
double SetZoomFactor(double z);
std::uint32_t GetPackedZoom();

// Applies the control's zoom to the active document, keeping the point under the mouse (or
// the centre of the window) still.
void ApplyZoom();

// Makes document window index the active one: current picture, zoom, status, caption
// colours. Nothing happens when it is already active.
void MakeDocumentActive(int index);

// The zoom control's OnClick (after the control has stepped): Shift makes it two steps.
void ZoomClick(TObject* sender, TUDBtnType button);

// The Window menu: its items are filled when it opens; choosing one activates that
// document (the item's Tag); previous and next wrap around; Cascade lays the windows out
// below the main window.
void WindowMenuClick(TObject* sender);
void N1Click(TObject* sender);
void PrevImage1Click(TObject* sender);
void NextImage1Click(TObject* sender);
void Cascade1Click(TObject* sender);
AnsiString WindowMenuCaption(int index, const AnsiString& title);
