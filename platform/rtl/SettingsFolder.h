#pragma once
// Where the user's settings live: $QUILLO_HOME, else $XDG_CONFIG_HOME/quillo, else
// ~/.config/quillo. WIN.INI and the "Windows folder" are kept there too.

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/WinTypes.h"

AnsiString SettingsFolder();  // without a trailing '/'
AnsiString WinIniPath();      // SettingsFolder()/win.ini
AnsiString WindowsFolder();   // SettingsFolder()/windows

UINT GetWindowsDirectory(LPSTR buffer, UINT size);
