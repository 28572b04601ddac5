#include "OtherXClient.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include "platform/host/X11ErrorTrap.h"

namespace {

unsigned MaskOf(unsigned modifiers) {
  return (modifiers & OtherXClient::Control ? ControlMask : 0) | (modifiers & OtherXClient::Alt ? Mod1Mask : 0) |
         (modifiers & OtherXClient::Shift ? ShiftMask : 0) | (modifiers & OtherXClient::CapsLock ? LockMask : 0);
}

}  // namespace

OtherXClient::OtherXClient() {
  display_ = XOpenDisplay(nullptr);
  if (display_) TrapXErrors(display_);
}

OtherXClient::~OtherXClient() {
  if (!display_) return;
  XCloseDisplay(display_);
  ForgetXErrors(display_);
}

unsigned long OtherXClient::Show(int x, int y, int width, int height, unsigned long colour, unsigned long parent) {
  XSetWindowAttributes attributes{};
  attributes.background_pixel = colour;
  attributes.override_redirect = True;
  attributes.event_mask = StructureNotifyMask;
  const Window w = XCreateWindow(display_, parent ? parent : DefaultRootWindow(display_), x, y,
                                 static_cast<unsigned>(width), static_cast<unsigned>(height), 0, CopyFromParent,
                                 InputOutput, CopyFromParent, CWBackPixel | CWOverrideRedirect | CWEventMask,
                                 &attributes);
  XMapRaised(display_, w);
  XEvent e;
  do XWindowEvent(display_, w, StructureNotifyMask, &e);
  while (e.type != MapNotify);
  XSync(display_, False);
  return w;
}

void OtherXClient::Move(unsigned long window, int x, int y) {
  XMoveWindow(display_, window, x, y);
  XSync(display_, False);
}

void OtherXClient::Activate(unsigned long window) {
  Window w = window;
  const Atom active = XInternAtom(display_, "_NET_ACTIVE_WINDOW", False);
  XChangeProperty(display_, DefaultRootWindow(display_), active, XA_WINDOW, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&w), 1);
  XSetInputFocus(display_, w, RevertToParent, CurrentTime);
  XSync(display_, False);
}

void OtherXClient::Chord(const std::vector<std::string>& keys) {
  for (const std::string& k : keys)
    XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, XStringToKeysym(k.c_str())), True, CurrentTime);
  for (auto it = keys.rbegin(); it != keys.rend(); ++it)
    XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, XStringToKeysym(it->c_str())), False, CurrentTime);
  XSync(display_, False);
}

bool OtherXClient::CanGrab(const std::string& key, unsigned modifiers) {
  XSync(display_, False);
  TakeXError(display_);
  Hold(key, modifiers);
  const bool grabbed = TakeXError(display_) == 0;
  LetGo(key, modifiers);
  TakeXError(display_);
  return grabbed;
}

void OtherXClient::Hold(const std::string& key, unsigned modifiers) {
  XGrabKey(display_, XKeysymToKeycode(display_, XStringToKeysym(key.c_str())), MaskOf(modifiers),
           DefaultRootWindow(display_), False, GrabModeAsync, GrabModeAsync);
  XSync(display_, False);
}

void OtherXClient::LetGo(const std::string& key, unsigned modifiers) {
  XUngrabKey(display_, XKeysymToKeycode(display_, XStringToKeysym(key.c_str())), MaskOf(modifiers),
             DefaultRootWindow(display_));
  XSync(display_, False);
}

void OtherXClient::LockGroup(int group) {
  XkbLockGroup(display_, XkbUseCoreKbd, static_cast<unsigned>(group));
  XSync(display_, False);
}

int OtherXClient::ViewableTopLevels() {
  Window rootReturn = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  XQueryTree(display_, DefaultRootWindow(display_), &rootReturn, &parent, &children, &count);
  int viewable = 0;
  XWindowAttributes attributes{};
  for (unsigned i = 0; i < count; ++i)
    if (XGetWindowAttributes(display_, children[i], &attributes) && attributes.map_state == IsViewable) ++viewable;
  if (children) XFree(children);
  return viewable;
}
