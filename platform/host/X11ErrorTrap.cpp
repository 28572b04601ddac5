#include "platform/host/X11ErrorTrap.h"

#if QUILLO_HAVE_X11

#include <X11/Xlib.h>

namespace {

// A connection of ours and the code of its first error not yet taken. The table is plain data,
// never destroyed: the host forgets its connections as the desktop goes, which may be after
// the turn of every destructible static at the process's end. The host holds two connections
// a display; the table has room for many more.
struct Trap {
  Display* display;
  int code;
};
Trap trapped[32];

Trap* Find(Display* display) {
  for (Trap& trap : trapped)
    if (trap.display == display) return &trap;
  return nullptr;
}

XErrorHandler othersHandler = nullptr;
bool installed = false;

int RecordError(Display* display, XErrorEvent* error) {
  Trap* trap = display ? Find(display) : nullptr;
  if (!trap) return othersHandler ? othersHandler(display, error) : 0;
  if (trap->code == 0) trap->code = error->error_code;
  return 0;
}

}  // namespace

void TrapXErrors(Display* display) {
  Trap* trap = display ? Find(display) : nullptr;
  if (!trap) trap = Find(nullptr);
  if (trap) *trap = Trap{display, 0};
  if (installed) return;
  installed = true;
  othersHandler = XSetErrorHandler(RecordError);
}

void ForgetXErrors(Display* display) {
  if (Trap* trap = display ? Find(display) : nullptr) *trap = Trap{nullptr, 0};
}

int TakeXError(Display* display) {
  Trap* trap = display ? Find(display) : nullptr;
  if (!trap) return 0;
  const int code = trap->code;
  trap->code = 0;
  return code;
}

#else

void TrapXErrors(_XDisplay*) {}
void ForgetXErrors(_XDisplay*) {}
int TakeXError(_XDisplay*) { return 0; }

#endif
