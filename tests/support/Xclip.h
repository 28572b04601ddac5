#pragma once
// xclip, another X client, for the tests that check the SDL host's clipboard against a
// desktop's (a private X server's, PrivateDisplay).

#include <string>
#include <vector>

class UiDriver;

constexpr const char* kXclip = "/usr/bin/xclip";

// True when xclip can be run.
bool XclipInstalled();

// Runs xclip on the clipboard selection with stdin and stdout from and to files (empty: none),
// answering the program's side of the clipboard meanwhile; false when it failed or hung. With
// -i it returns once xclip owns the clipboard (it takes it only after it went to the
// background).
bool Xclip(UiDriver& ui, std::vector<std::string> args, const std::string& in, const std::string& out);
