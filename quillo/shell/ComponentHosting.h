#pragma once
// The main window as the component host sees it: the Image menu, the main window's handle,
// the formula tables, the tool palette's component brushes and the effect browser.

#include "platform/rtl/WinTypes.h"

class TMainForm;
class TMenuItem;

// Installs (or with false takes out) the main window's component host and the tools' driver.
void InstallComponentHosting(bool install);
// The private message 0x194F: the effect browser on the group of the Browse item (or 0).
void BrowseEffects(TMenuItem* browseItem);
