#pragma once
// The main window's zoom control and its Window menu, which lists the open documents.

#include "platform/rtl/AnsiString.h"
#include "platform/vcl/UpDown.h"

class TObject;

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
