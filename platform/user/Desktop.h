#pragma once
// The desktop as tests and the program's start-up see it: restart it, reach its surface and
// host, and give the message loop something to do when it would wait for input forever.

#include <functional>
#include <string>

#include "platform/host/Host.h"
#include "platform/user/User.h"

// Destroys every window and starts a fresh desktop of the given size on the given host
// ("" chooses by the environment).
void RestartDesktop(const DesktopConfig& config, const std::string& host);
const Surface& DesktopSurface();
Host& DesktopHost();
// Called when a message loop has nothing to do and nothing can come by waiting (headless,
// or a manual clock). Answers whether it produced something; when it did not, GetMessage
// raises an Exception rather than waiting forever.
void SetIdleHandler(std::function<bool()> handler);
// Draws every pending paint now and shows the desktop on the host.
void FlushDesktop();
// Standard cursor shape currently shown, as the host was last told.
CursorShape CurrentCursorShape();
