#pragma once
// The program's entry and its orderly end: WinMain refuses an unsuitable display, fixes the
// program folder, names the application and makes the main window; StartUp then starts every
// subsystem in a fixed order before the message loop runs; CloseDown is the main window's
// close query, which ends what StartUp began.

#include <vector>

#include "platform/rtl/AnsiString.h"

class TMainForm;

// Runs the program with its command line; answers the process's exit code.
int WinMain(int argc, char** argv);

// The folder the program lives in, with its trailing '/': the language files, skins and
// plug-in folders are found there. Cut from argument 0 after its last '/' (or ':').
AnsiString ProgramFolderOf(const AnsiString& argument0);
AnsiString ProgramFolder();
void SetProgramFolder(const AnsiString& folder);

// The command line's files: set by WinMain before StartUp runs (argument 0 excluded).
void SetCommandLineFiles(const std::vector<AnsiString>& files);

// Starts every subsystem in order, opens the command line's files (or a blank document) and
// leaves at least one document open.
void StartUp(TMainForm* form);

// The close query: closes every document (Cancel on a save question keeps everything as it
// was), writes what the settings keep and frees the language table.
void CloseDown(TMainForm* form, bool& canClose);
