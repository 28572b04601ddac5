#pragma once
// Shortcuts on a freedesktop.org desktop: a desktop entry file (name.desktop) that the file
// manager and the desktop show under its Name and open with a double click. A program gets an
// "Application" entry that runs it in its folder; any other file or folder a "Link" entry to
// its file:// address. Shortcut files are what the desktop looks for in the desktop folder,
// the menu folder ($XDG_DATA_HOME/applications) and the autostart folder alike.

#include <string>

// Writes the entry at linkPath (replacing an old one in one step) for target, shown as name,
// started in workingFolder (empty: the target's folder). False when the name is empty or holds
// a line break, or the file cannot be written. The entry is made executable, which desktops
// ask of an entry they are to launch.
bool WriteDesktopEntry(const std::string& linkPath, const std::string& target, const std::string& name,
                       const std::string& workingFolder = "");

// The value of one key of an entry file ("Exec", "URL", "Name", ...); empty when absent.
std::string ReadDesktopEntryKey(const std::string& linkPath, const std::string& key);

// One argument of an Exec line, quoted as the desktop entry format asks.
std::string QuoteExecArgument(const std::string& argument);
