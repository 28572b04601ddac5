#pragma once
// Labels of the formula filter dialogs' panels that end at a fixed right edge, whatever text
// a file puts into them.

#include "platform/rtl/AnsiString.h"

class TLabel;

// Sets the caption without reading "&" as a mnemonic, fits the label to it and moves it so
// that it ends at right. A text too long to start at leftmost or further right is cut on the
// right instead of running off the panel.
void ShowRightAligned(TLabel* label, const AnsiString& caption, int right, int leftmost);
