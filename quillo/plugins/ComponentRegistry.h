#pragma once
// Finding the components: the folder "Comps" below the program folder and every folder below
// it is scanned for "*.qlc" libraries; each valid one is registered in ComponentTable and gets
// an item in the Image menu (the folder's own components) or in its folder's submenu, which
// starts with "Browse". A library that is not a valid component is skipped with a log line.

#include "platform/rtl/AnsiString.h"

class TMenuItem;

// Rebuilds the registry and its menus (the items of an earlier scan are taken out first).
void ScanComponents();
// Whether the Image menu holds items of a component scan.
bool ComponentMenusPresent();
// Shows or hides the component items of the Image menu (the components are switched on or
// off without scanning again).
void ShowComponentMenus(bool shown);
// The component items' captions in the language now loaded: each group's Browse item and
// caption, each component's translated name.
void RetranslateComponentMenus();
// A group's caption from its folder name in ComponentFileList: translated, each word
// capitalised ("SPECIAL EFFECTS" gives "Special Effects"); its submenu adds the "&".
AnsiString ComponentGroupCaption(const AnsiString& name);
// The folder scanned: the program folder's "Comps".
AnsiString ComponentFolder();
// Whether a scan has finished in this run (later scans add no palette buttons).
extern bool ComponentScanDone;
// Menu items of the components carry this tag, so a rescan finds and removes its own.
constexpr int ComponentMenuTag = 0x514C43;
// The group submenus: each one's Browse item has as image index the group's first component.
// The submenu holding the component index, or null.
TMenuItem* ComponentGroupMenu(int componentIndex);
// The submenu whose caption is "&" + caption, or null (the effect browser's groups).
TMenuItem* ComponentGroupNamed(const AnsiString& caption);
// The number of components in a group submenu (its items less Browse and the separator).
int ComponentGroupSize(const TMenuItem* group);
// The index of a group's first component (its Browse item's image index).
int ComponentGroupFirst(const TMenuItem* group);
// Starts the component of a menu item: it becomes current and the component tool is chosen.
void StartComponent(int componentIndex);
// Forgets the brush entries made for components (a test's fresh palette).
void ForgetComponentBrushEntries();
