#pragma once
// The program's entry and its orderly end: WinMain refuses an unsuitable display, fixes the
// program folder, names the application and makes the main window; StartUp then starts every
// subsystem in a fixed order before the message loop runs; CloseDown is the main window's
// close query, which ends what StartUp began.

#include <functional>

#include "platform/rtl/AnsiString.h"
#include "platform/user/User.h"
#include "quillo/base/ProgramFolder.h"

class TMainForm;

// Runs the program on the command line the framework holds (ParamStr); answers the process's
// exit code. mainWindowReady, when given, hears the main window's handle once start-up is done
// and before the message loop runs.
int WinMain(const std::function<void(HWND)>& mainWindowReady = nullptr);

// The display's bits per pixel below which the program refuses to start.
constexpr int MinimumDisplayBits = 15;

// Starts every subsystem in order, opens the command line's files (or a blank document) and
// leaves at least one document open.
void StartUp(TMainForm* form);

// The close query: closes every document (Cancel on a save question keeps everything as it
// was), writes what the settings keep and frees the language table.
void CloseDown(TMainForm* form, bool& canClose);
