#pragma once
// The pixels of the user's own screen, where the program shares one with other programs (an X
// display): all of it, or the window the user works in with its frame; the program's window
// leaves the screen for the moment of the grab. False where the program's desktop is the only
// screen there is (headless, Wayland): the desktop's own windows are then the picture.

#include "platform/host/Host.h"

enum class CaptureSource { WholeScreen, ActiveWindow };
bool CaptureUserScreen(CaptureSource source, Host::ScreenImage& out);
