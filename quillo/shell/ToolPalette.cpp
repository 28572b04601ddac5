// The tool palette's groups and entries.

#include "quillo/shell/ToolPalette.h"

std::vector<PaletteEntry> PaletteEntries;
std::vector<PaletteGroup> PaletteGroups;
int FillGroupIndex = -1;

int RegisterToolIcon(int, P_icon*, int, int, void*, int) { return -1; }
void RegisterTools() {}
void HotKeyText(AnsiString&, int) {}
void UpdatePaletteGroup(P_icon*, int) {}
void ApplySkinToPalette() {}
bool PaletteHotKey(int) { return false; }
