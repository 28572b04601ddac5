#pragma once
// The user's X screen beyond the program's own window, over a connection of its own: its
// pixels (the whole screen or the active window with its frame, read from the root window),
// hot keys grabbed on the root window so they fire whichever program has the keyboard, and
// the keyboard layout the X keyboard extension reports, followed as it changes.

#include <cstdint>
#include <memory>

#include "platform/host/Host.h"

class X11Desktop {
public:
  // Null when there is no X display or the program was built without X.
  static std::unique_ptr<X11Desktop> Open();
  ~X11Desktop();
  X11Desktop(const X11Desktop&) = delete;
  X11Desktop& operator=(const X11Desktop&) = delete;

  // ownWindow: the X window of the program, never taken for the active window.
  bool Capture(Host::ScreenArea area, unsigned long ownWindow, Host::ScreenImage& out);
  Host::HotKeyGrab GrabHotKey(unsigned modifiers, int vk);
  void ReleaseHotKey(unsigned modifiers, int vk);
  // The next hot-key press or change of keyboard layout (never blocks); the layout the
  // keyboard had at Open comes first.
  bool Poll(InputEvent& out);
  // Whether an event waits for Poll.
  bool Pending();
  // Whether events may come that no other part of the host would wake up for.
  bool Busy() const;

  struct State;

private:
  explicit X11Desktop(std::unique_ptr<State> state);
  std::unique_ptr<State> s_;
};
