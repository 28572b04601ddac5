#include "quillo/base/PaletteFolder.h"

AnsiString PaletteDir;
