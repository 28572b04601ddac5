#pragma once
// The program's command line as the framework gives it: ParamStr(0) is the program's full
// path, ParamStr(1) .. ParamStr(ParamCount()) its arguments.

#include <vector>

#include "platform/rtl/AnsiString.h"

int ParamCount();
AnsiString ParamStr(int index);  // empty outside 0..ParamCount()

// Replaces the arguments read from the process (the program name stays): for a program
// whose main is handed its arguments, and for tests.
void SetParams(const std::vector<AnsiString>& arguments);
