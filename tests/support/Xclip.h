#pragma once
// xclip, another X client, for the tests that check the SDL host's clipboard against the
// user's desktop. They run only where a display is set and xclip is installed.

#include <string>
#include <vector>

class UiDriver;

constexpr const char* kXclip = "/usr/bin/xclip";

// True when a display is set and xclip can be run.
bool XclipUsable();

// Runs xclip on the clipboard selection with stdin and stdout from and to files (empty: none),
// answering the program's side of the clipboard meanwhile; false when it failed or hung.
bool Xclip(UiDriver& ui, std::vector<std::string> args, const std::string& in, const std::string& out);
