#pragma once
// The tool palette: the column of group buttons on the main window's tool palette toolbar.
// Each button stands for a group of related tools; holding it opens the icon panel with the
// group's variants, and the button shows the variant chosen last. RegisterTools enters the
// program's tools at start; plug-in brush tools come later through RegisterToolIcon.

#include <vector>

#include "platform/rtl/AnsiString.h"

class P_icon;
class TBitmap;
namespace tbx {
class TToolbarButtonX;
}  // namespace tbx

struct PaletteEntry {
  TBitmap* Glyph = nullptr;  // cut from the skin by GlyphIndex whenever a skin is applied
  int GlyphIndex = 0;
  P_icon* Tool = nullptr;
};

struct PaletteGroup {
  tbx::TToolbarButtonX* Button = nullptr;
  int FirstEntry = 0;
  int SelectedEntry = 0;  // the entry the button shows and a click selects
  int EntryCount = 0;     // at most 32
  int Columns = 0;        // of the group's icon panel
  int HotKey = 0;         // virtual key | 0x100 Shift | 0x200 Ctrl | 0x400 Alt
  P_icon* DefaultTool = nullptr;  // selected by a right click; null when none
  int DefaultToolKey = 0;         // a hot-key code that selects DefaultTool
};

constexpr int MaxGroupEntries = 32;

extern std::vector<PaletteEntry> PaletteEntries;
extern std::vector<PaletteGroup> PaletteGroups;
// The group of the flood fills, for the shape tools that fill through its chosen variant.
extern int FillGroupIndex;

// Enters a tool; a non-zero column count opens a new group. Returns the group's number.
int RegisterToolIcon(int glyphIndex, P_icon* tool, int hotKey, int buttonGroupIndex, void* module, int columns);
void RegisterTools();
// Appends " (Shift+Ctrl+C)" and the like; nothing for 0.
void HotKeyText(AnsiString& text, int hotKey);

// SelectTool's palette step: the tool's group shows it (entry, or the group's entry holding the
// tool when entry is -1), with the variant mark and the hint, and its button goes down.
void UpdatePaletteGroup(P_icon* tool, int entry);
// Every entry's glyph from the skin, the buttons and swatches placed at the skin's icon size.
void ApplySkinToPalette();
// The palette's hot keys: true when code selected a tool.
bool PaletteHotKey(int code);
