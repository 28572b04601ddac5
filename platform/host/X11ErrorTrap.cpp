#include "platform/host/X11ErrorTrap.h"

#if QUILLO_HAVE_X11

#include <X11/Xlib.h>

#include <map>

#include "platform/rtl/Everlasting.h"

namespace {

// The host forgets its connections as the desktop goes, which may be after this table's
// turn at the process's end.
std::map<Display*, int>& Trapped() {
  static Everlasting<std::map<Display*, int>> trapped;  // connection -> first error code not yet taken
  return *trapped;
}

XErrorHandler othersHandler = nullptr;
bool installed = false;

int RecordError(Display* display, XErrorEvent* error) {
  auto it = Trapped().find(display);
  if (it == Trapped().end()) return othersHandler ? othersHandler(display, error) : 0;
  if (it->second == 0) it->second = error->error_code;
  return 0;
}

}  // namespace

void TrapXErrors(Display* display) {
  Trapped()[display] = 0;
  if (installed) return;
  installed = true;
  othersHandler = XSetErrorHandler(RecordError);
}

void ForgetXErrors(Display* display) { Trapped().erase(display); }

int TakeXError(Display* display) {
  auto it = Trapped().find(display);
  if (it == Trapped().end()) return 0;
  const int code = it->second;
  it->second = 0;
  return code;
}

#else

void TrapXErrors(_XDisplay*) {}
void ForgetXErrors(_XDisplay*) {}
int TakeXError(_XDisplay*) { return 0; }

#endif
