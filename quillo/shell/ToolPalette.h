#pragma once
// The tool palette: the column of group buttons on the main window's tool palette toolbar.
// Each button stands for a group of related tools; holding it opens the icon panel with the
// group's variants, and the button shows the variant chosen last. RegisterTools enters the
// program's tools at start; plug-in brush tools come later through RegisterToolIcon.

#include <vector>

#include "platform/rtl/AnsiString.h"
#include "platform/vcl/Object.h"

class P_icon;
class TBitmap;
namespace tbx {
class TToolbarButtonX;
}  // namespace tbx

struct PaletteEntry {
  TOwnedPtr<TBitmap> Glyph;  // cut from the skin by GlyphIndex whenever a skin is applied
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

// Hot-key code bits: the virtual key in the low byte.
constexpr int PaletteKeyShift = 0x100;
constexpr int PaletteKeyCtrl = 0x200;
constexpr int PaletteKeyAlt = 0x400;

extern std::vector<PaletteEntry> PaletteEntries;
extern std::vector<PaletteGroup> PaletteGroups;
// The group of the flood fills, for the shape tools that fill through its chosen variant.
extern int FillGroupIndex;

// Enters a tool; a non-zero column count opens a new group. Returns the group's number (-1
// when the first tool comes without opening a group). A group takes at most 32 tools: more
// are ignored. The group's button is made on the main window's tool panel when there is one.
int RegisterToolIcon(int glyphIndex, P_icon* tool, int hotKey, int buttonGroupIndex, void* module, int columns);
// Enters the program's 34 tools in their 17 groups, after forgetting any palette made before.
void RegisterTools();
// Forgets every entry and group; the tools lose their buttons. freeButtons frees the group
// buttons too (false when their window has freed them already).
void ClearPalette(bool freeButtons = true);
// Appends " (Shift+Ctrl+C)" and the like; nothing for 0.
void HotKeyText(AnsiString& text, int hotKey);

// Whether the user may choose the tool through the palette, the icon panel or a hot key: a
// tool whose behaviour is not built yet keeps its place and glyph but cannot be chosen.
bool ToolCanBeChosen(const P_icon* tool);
// The group whose button the tool shows on; -1 when it has none.
int PaletteGroupOf(const P_icon* tool);
// The group of a palette group button; -1 for anything else.
int PaletteGroupOfButton(const TObject* sender);

// SelectTool's palette step: the tool's group shows it (entry, or the group's entry holding the
// tool when entry is -1), with the variant mark and the hint, and its button goes down.
void UpdatePaletteGroup(P_icon* tool, int entry);
// Every entry's glyph from the skin, the buttons and swatches placed at the skin's icon size.
void ApplySkinToPalette();
// Every group button's hint in the language now loaded.
void RetranslatePaletteHints();
// The palette's hot keys: true when code selected a tool.
bool PaletteHotKey(int code);
// The skin's palette icon size (the default skin's while none is loaded).
int PaletteIconWidth();
int PaletteIconHeight();
