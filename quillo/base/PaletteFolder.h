#pragma once
// The folder the palette file dialogs start in (the palette sheet's and the preferences'
// default palette); empty until one was used, when a dialog starts in its own default.

#include "platform/rtl/AnsiString.h"

extern AnsiString PaletteDir;
