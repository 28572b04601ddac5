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

// The tip with that index (0 = the first line; a negative index is the first line). A line
// that holds no tip (no comma, nothing but blanks after it, or bytes that are no UTF-8 text)
// is passed over for the next one. Past the file's last tip the first one is shown again; a
// file without any tip (empty, or garbage) gives an empty text and 0.
TipReading ReadTip(const AnsiString& path, int index);
