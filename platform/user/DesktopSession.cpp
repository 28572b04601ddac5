// The one desktop session: it owns every window-manager service, and each file reaches
// the services it needs through their accessors. RestartDesktop clears the desktop's part of
// them; what belongs to the program (window classes, counters) survives a restart.

#include "platform/user/ClipboardStore.h"
#include "platform/user/DesktopScreen.h"
#include "platform/user/FocusState.h"
#include "platform/user/HookService.h"
#include "platform/user/HotKeyTable.h"
#include "platform/user/InputState.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/TimerService.h"
#include "platform/user/WindowRegistry.h"

namespace {

struct DesktopSession {
  ClipboardStore clipboard;
  FocusState focus;
  HookService hooks;
  HotKeyTable hotKeys;
  DesktopScreen screen;
  InputState input;
  MessageQueue queue;
  TimerService timers;
  WindowRegistry windows;
};

DesktopSession& Session() {
  static DesktopSession session;
  return session;
}

}  // namespace

namespace wm {
WindowRegistry& Windows() { return Session().windows; }
ClipboardStore& Clipboard() { return Session().clipboard; }
DesktopScreen& Screen() { return Session().screen; }
InputState& Input() { return Session().input; }
FocusState& Focus() { return Session().focus; }
HookService& Hooks() { return Session().hooks; }
HotKeyTable& HotKeys() { return Session().hotKeys; }
MessageQueue& Queue() { return Session().queue; }
TimerService& Timers() { return Session().timers; }
}  // namespace wm
