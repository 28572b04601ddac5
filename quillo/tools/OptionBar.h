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

// The value controls of the current bar, in item order; an entry is null once its control is
// gone.
extern std::vector<TControl*> OptionControls;

// Builds the bar of key on the Icon sheet. The layout is the key's text in the language file
// (the key itself when the file lacks it); an item the builder cannot read is left out and the
// rest is built, and the decimal separator is the program's again afterwards.
void BuildOptionBar(const AnsiString& key);
// Builds the tool's bar and shows the Icon sheet, unless the tool has none or the sheet is
// already showing (the previous tool's bar then stays).
void RebuildOptionBar(P_icon* tool);
// Hides the Icon sheet when old has a bar, unless old and next are the same tool.
void CloseOptionBar(P_icon* old, P_icon* next);

// Control n's value: a list's item index, a number field's value, 1 or 0 for a check box or a
// speed button, a swatch's colour as 0x00RRGGBB; 0 for another kind and past the bar.
double GetOptionValue(int n);
// The reverse; a value the control cannot hold (not finite, no int) leaves a number field and
// a swatch alone and gives a list no item. Nothing past the bar.
void SetOptionValue(int n, double value);
// The change (combo box, spin edit) or click (check box, speed button) handler of control n.
void SetOptionEvent(int n, const TNotifyEvent& handler);

// The text before the first ',' (removed with the comma), or the whole rest.
AnsiString NextOptionField(AnsiString& layout);
// The text's pixel width on the main window's canvas.
int OptionTextWidth(const AnsiString& text);
