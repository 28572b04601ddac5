#pragma once
// Discovery of filter plug-ins: the walk of the plug-in folder, the cache that spares reading
// unchanged files, and the Image menu's "&Adobe" submenu with one submenu per category and
// one item per filter. Choosing an item runs the filter (FilterPluginRun.h).

#include "platform/rtl/AnsiString.h"

class TMenuItem;

// The "&Adobe" item of the Image menu; null before a scan found a filter.
extern TMenuItem* PluginMenuItem;

// Scans Settings.AdobeLoc (with its sub-folders) when Settings.UseAdobe is on.
void ScanAdobePlugins();
// Puts one filter into the cache of the running scan, the list and the menu; returns 0.
int AddAdobeFilter(const AnsiString& identifier, const AnsiString& category, const AnsiString& title);

// The file of the cache: in the settings folder, since the program's folder may be read-only.
AnsiString FilterCacheFileName();

// Rows of a menu column: a submenu that reaches this many starts a new column.
int PluginMenuColumnRows();
