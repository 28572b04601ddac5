#pragma once
// The private messages by which the program's parts defer work to the main window's message
// loop: work that must wait for the loop is posted to the main window, never sent.

#include "platform/rtl/WinTypes.h"

constexpr UINT UM_SHOWTIP = 0x194E;
constexpr UINT UM_BROWSEEFFECTS = 0x194F;  // lParam: the plug-in's menu item or 0
constexpr UINT UM_LASTDOCCLOSED = 0x1950;
constexpr UINT UM_DOCOPENED = 0x1951;
// Requests a running plug-in component posts (preview, OK, cancel, resize the target...).
constexpr UINT UM_COMPONENTFIRST = 0x1575;
constexpr UINT UM_COMPONENTLAST = 0x157D;

// The size of the blank document the program starts with and File > New first proposes.
constexpr int BlankDocumentWidth = 384;
constexpr int BlankDocumentHeight = 288;
