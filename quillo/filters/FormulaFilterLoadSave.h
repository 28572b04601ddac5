#pragma once
// The filter factory's Load and Save: a formula filter taken from an ".afs" file or a library
// entry chosen in the open dialog, and written through the save dialog as an ".afs" file or
// into a place of a library (asking before an entry is replaced). Both start in the folder
// last used and remember the file for the other dialog.

#include "quillo/filters/FormulaFilterFile.h"

// Runs the open dialog; on a choice fills filter with the file's (or entry's) fields, the
// entry name included. False when cancelled: filter is left as it was.
bool LoadFormulaFilter(FormulaFilter& filter);

// Runs the save dialog and writes the filter; every failure is told in a message box and
// leaves the file as it was.
void SaveFormulaFilter(const FormulaFilter& filter);
