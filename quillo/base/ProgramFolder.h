#pragma once

#include "platform/rtl/AnsiString.h"

// The folder the program lives in, with its trailing '/': the language files, skins and
// plug-in folders are found there. ProgramFolderOf cuts a program's path after its last '/'
// or ':', whichever comes later; WinMain sets the folder from the program's own path.
AnsiString ProgramFolderOf(const AnsiString& programPath);
AnsiString ProgramFolder();
void SetProgramFolder(const AnsiString& folder);
