#pragma once
// Option bars: the controls of the current tool's options on the Icon sheet of the tool options
// window, built at run time from a layout text that the language file holds under the tool's
// bar key. The tools read and write their options only by the index of a value control, so a
// translated layout may change captions, widths and ranges but keeps the order of the values.

#include <vector>

#include "platform/rtl/AnsiString.h"
#include "platform/vcl/Control.h"
#include "platform/vcl/Types.h"

class P_icon;

// The value controls of the current bar, in item order.
extern std::vector<TControl*> OptionControls;

// Builds the bar of key on the Icon sheet.
void BuildOptionBar(const AnsiString& key);
// Builds the tool's bar and shows the Icon sheet, unless the tool has none or the sheet is
// already showing (the previous tool's bar then stays).
void RebuildOptionBar(P_icon* tool);
// Hides the Icon sheet when old has a bar, unless old and next are the same tool.
void CloseOptionBar(P_icon* old, P_icon* next);

double GetOptionValue(int n);
void SetOptionValue(int n, double value);
// The change (combo box, spin edit) or click (check box, speed button) handler of control n.
void SetOptionEvent(int n, const TNotifyEvent& handler);

// The text before the first ',' (removed with the comma), or the whole rest.
AnsiString NextOptionField(AnsiString& layout);
// The text's pixel width on the main window's canvas.
int OptionTextWidth(const AnsiString& text);
