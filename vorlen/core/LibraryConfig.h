#pragma once
// The library's configuration, read once when a process loads it: WIN.INI names the library's
// own INI file, which sets the default size of a new image and the bitmap-font folder.

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/WinTypes.h"

// The library's entry routine: reads the configuration on process attach; answers 1 always.
BOOL VorlenDllMain(HINSTANCE module, DWORD reason, LPVOID reserved);

// The font folder that lies with the library when none is configured: the library's folder,
// or the sibling folder FONTS when that folder is called BIN. Both end in '/'.
AnsiString FontFolderBesideLibrary(const AnsiString& libraryPath);
