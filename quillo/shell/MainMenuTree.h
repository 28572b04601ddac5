#pragma once
// The main window's menu tree: every item's name (its caption comes from the "[MainForm]"
// section of the language file, "<name>.Caption"), its depth, its shortcut, and whether the
// command behind it works yet. Commands whose windows and tools do not exist yet stand in the
// menu disabled, so the tree is whole from the start and each later command only enables its
// item and gives it a handler.

#include <span>

#include "platform/vcl/Menus.h"

struct MainMenuEntry {
  int depth;         // 0: a menu of the bar; 1: its item; 2: an item of a submenu...
  const char* name;  // the component's name; a separator's name starts with 'N'
  bool works;        // false: shown disabled until its command is built
  TShortCut shortCut = scNone;
  bool separator = false;
  int radioGroup = 0;  // non-zero: a radio item of that group
};

// The whole tree, menus of the bar in their order, each followed by its items.
std::span<const MainMenuEntry> MainMenuTree();
