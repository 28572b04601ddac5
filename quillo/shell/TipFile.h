#pragma once
// The tip-of-the-day file: a text file, one tip a line, each line a decimal help-context
// number, a comma, and the tip's text to the end of the line ("112,Hold Shift to ...").

#include "platform/rtl/AnsiString.h"

// Tip texts are kept to this many characters.
constexpr int TipLineLimit = 1023;

struct TipReading {
  bool opened = false;   // false: the file could not be opened (nothing else is set)
  int helpContext = 0;   // the line's leading number; 0 when it has none
  AnsiString text;       // what follows the line's first comma; empty without one
  int nextIndex = 0;     // the index of the tip to show next
};

// The tip with that index (0 = the first line; a negative index is the first line). Past the
// file's end the first tip is shown again and the next index is 1; a file without lines gives
// an empty tip and 0.
TipReading ReadTip(const AnsiString& path, int index);
