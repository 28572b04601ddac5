#pragma once
// The document window's keys that are not menu shortcuts: the palette's hot keys, Alt and a
// digit for a document, scrolling, zooming, the clipboard keys, Esc, and the Shift axis lock
// and the selection tools' cursors, which follow the modifier keys.

#include "platform/vcl/Control.h"
#include "platform/rtl/WinTypes.h"

class TImageForm;

// Gives the window these keys (its OnKeyDown and OnKeyUp).
void ConnectDocumentKeys(TImageForm& window);

// The key handler; the tool options window passes the keys its fields do not keep here.
void DocumentHotKeys(TImageForm& window, WORD& key, TShiftState shift);
void DocumentKeyUp(TImageForm& window, TShiftState shift);
