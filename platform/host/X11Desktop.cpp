#include "platform/host/X11Desktop.h"

#if QUILLO_HAVE_X11

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "platform/host/KeyboardLanguage.h"
#include "platform/host/X11ErrorTrap.h"

namespace {

// A layout X names but no Windows language matches.
constexpr int kNeutralLanguage = 0x0400;
// How far up a window's parents are followed to its frame.
constexpr int kMaxDepth = 64;

KeySym KeySymOfVk(int vk) {
  if (vk >= 'A' && vk <= 'Z') return XK_a + static_cast<KeySym>(vk - 'A');
  if (vk >= '0' && vk <= '9') return XK_0 + static_cast<KeySym>(vk - '0');
  if (vk >= VK_F1 && vk <= VK_F24) return XK_F1 + static_cast<KeySym>(vk - VK_F1);
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) return XK_KP_0 + static_cast<KeySym>(vk - VK_NUMPAD0);
  switch (vk) {
    case VK_SPACE: return XK_space;
    case VK_RETURN: return XK_Return;
    case VK_ESCAPE: return XK_Escape;
    case VK_TAB: return XK_Tab;
    case VK_BACK: return XK_BackSpace;
    case VK_INSERT: return XK_Insert;
    case VK_DELETE: return XK_Delete;
    case VK_HOME: return XK_Home;
    case VK_END: return XK_End;
    case VK_PRIOR: return XK_Prior;
    case VK_NEXT: return XK_Next;
    case VK_LEFT: return XK_Left;
    case VK_UP: return XK_Up;
    case VK_RIGHT: return XK_Right;
    case VK_DOWN: return XK_Down;
    case VK_SNAPSHOT: return XK_Print;
    case VK_PAUSE: return XK_Pause;
  }
  return NoSymbol;
}

// One channel of a pixel, by the visual's mask, widened to 8 bits.
std::uint32_t Channel(unsigned long pixel, unsigned long mask) {
  if (!mask) return 0;
  int shift = 0;
  while (!((mask >> shift) & 1)) ++shift;
  const unsigned long full = mask >> shift;
  return static_cast<std::uint32_t>(((pixel & mask) >> shift) * 255 / full);
}

std::vector<std::string> NulSeparated(const unsigned char* data, unsigned long length) {
  std::vector<std::string> fields(1);
  for (unsigned long i = 0; i < length; ++i) {
    if (data[i] == 0) fields.emplace_back();
    else fields.back().push_back(static_cast<char>(data[i]));
  }
  return fields;
}

}  // namespace

struct X11Desktop::State {
  Display* display = nullptr;
  Window root = 0;
  Atom activeWindow = 0, rulesNames = 0;
  bool xkb = false;
  int xkbEventType = 0;
  unsigned altMask = Mod1Mask, winMask = Mod4Mask, numLockMask = Mod2Mask;

  struct Grab {
    unsigned modifiers;
    int vk;
    KeyCode code;
    unsigned mask;
  };
  std::vector<Grab> grabs;
  std::vector<KeyCode> held;  // grabbed keys down now: another press is the key repeating
  int language = -1;          // as last reported
  std::deque<InputEvent> pending;

  ~State() {
    // Closing the connection lets its grabs go.
    if (display) {
      XCloseDisplay(display);
      ForgetXErrors(display);
    }
  }

  // Which modifier bits Alt, the Windows key and Num Lock are on this keyboard.
  void ReadModifierMasks() {
    XModifierKeymap* map = XGetModifierMapping(display);
    if (!map) return;
    unsigned alt = 0, win = 0, numLock = 0;
    for (int modifier = Mod1MapIndex; modifier <= Mod5MapIndex; ++modifier)
      for (int k = 0; k < map->max_keypermod; ++k) {
        const KeyCode code = map->modifiermap[modifier * map->max_keypermod + k];
        if (!code) continue;
        const KeySym sym = XkbKeycodeToKeysym(display, code, 0, 0);
        const unsigned bit = 1u << modifier;
        if (sym == XK_Alt_L || sym == XK_Alt_R || sym == XK_Meta_L) alt = alt ? alt : bit;
        if (sym == XK_Super_L || sym == XK_Super_R) win = win ? win : bit;
        if (sym == XK_Num_Lock) numLock = numLock ? numLock : bit;
      }
    XFreeModifiermap(map);
    altMask = alt ? alt : Mod1Mask;
    winMask = win ? win : Mod4Mask;
    numLockMask = numLock;
  }

  unsigned MaskOf(unsigned modifiers) const {
    return (modifiers & Host::HotKeyControl ? ControlMask : 0) | (modifiers & Host::HotKeyShift ? ShiftMask : 0) |
           (modifiers & Host::HotKeyAlt ? altMask : 0) | (modifiers & Host::HotKeyWin ? winMask : 0);
  }
  unsigned RelevantMask() const { return ControlMask | ShiftMask | altMask | winMask; }

  // A grab holds whatever the state of Caps Lock and Num Lock, so each is grabbed with them too.
  std::vector<unsigned> LockVariants() const {
    std::vector<unsigned> variants = {0, LockMask};
    if (numLockMask) variants.insert(variants.end(), {numLockMask, numLockMask | LockMask});
    return variants;
  }

  void Ungrab(const Grab& grab) {
    for (unsigned variant : LockVariants()) XUngrabKey(display, grab.code, grab.mask | variant, root);
  }

  // Grabs every variant; false (and none kept) when the server refused one.
  bool TryGrab(const Grab& grab) {
    XSync(display, False);
    TakeXError(display);
    for (unsigned variant : LockVariants())
      XGrabKey(display, grab.code, grab.mask | variant, root, False, GrabModeAsync, GrabModeAsync);
    XSync(display, False);
    if (TakeXError(display) == 0) return true;
    Ungrab(grab);
    XSync(display, False);
    TakeXError(display);
    return false;
  }

  // A new keyboard may put the keys and modifiers on other codes: the grabs move with them.
  void Regrab() {
    for (const Grab& grab : grabs) Ungrab(grab);
    ReadModifierMasks();
    for (Grab& grab : grabs) {
      grab.code = XKeysymToKeycode(display, KeySymOfVk(grab.vk));
      grab.mask = MaskOf(grab.modifiers);
      if (grab.code) TryGrab(grab);
    }
    held.clear();
  }

  Window ActiveWindowProperty() {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    Window window = 0;
    if (XGetWindowProperty(display, root, activeWindow, 0, 1, False, XA_WINDOW, &type, &format, &count, &after,
                           &data) == Success &&
        type == XA_WINDOW && format == 32 && count == 1 && data)
      window = static_cast<Window>(reinterpret_cast<unsigned long*>(data)[0]);
    if (data) XFree(data);
    return window;
  }

  // The root's child that holds the window: its frame where a window manager gives it one.
  Window TopLevelOf(Window window) {
    for (int depth = 0; window && depth < kMaxDepth; ++depth) {
      Window rootReturn = 0, parent = 0, *children = nullptr;
      unsigned count = 0;
      if (!XQueryTree(display, window, &rootReturn, &parent, &children, &count)) return 0;
      if (children) XFree(children);
      if (parent == root || parent == 0) return window;
      window = parent;
    }
    return 0;
  }

  // The frame of the window the user works in, as the window manager says (else the
  // keyboard's focus); 0 when there is none or it is the program's own.
  Window ActiveFrame(Window own) {
    Window active = ActiveWindowProperty();
    if (!active) {
      int revert = 0;
      XGetInputFocus(display, &active, &revert);
      if (active == PointerRoot) active = 0;
    }
    if (!active || active == root) return 0;
    const Window frame = TopLevelOf(active);
    if (own && frame == TopLevelOf(own)) return 0;
    return frame;
  }

  int ReadLanguage() {
    int group = 0;
    XkbStateRec state{};
    if (xkb && XkbGetState(display, XkbUseCoreKbd, &state) == Success) group = state.group;
    XkbGroupLayout layout;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, root, rulesNames, 0, 1024, False, XA_STRING, &type, &format, &count, &after,
                           &data) == Success &&
        type == XA_STRING && format == 8 && data) {
      // Rules, model, layouts, variants, options.
      const std::vector<std::string> fields = NulSeparated(data, count);
      if (fields.size() >= 4) layout = XkbLayoutOfGroup(fields[2], fields[3], group);
    }
    if (data) XFree(data);
    if (layout.layout.empty() && xkb) layout = SymbolsLayout(group);
    const int language = LanguageOfXkbLayout(layout.layout, layout.variant);
    return language ? language : kNeutralLanguage;
  }

  XkbGroupLayout SymbolsLayout(int group) {
    XkbGroupLayout layout;
    XkbDescPtr keyboard = XkbAllocKeyboard();
    if (!keyboard) return layout;
    if (XkbGetNames(display, XkbSymbolsNameMask, keyboard) == Success && keyboard->names &&
        keyboard->names->symbols) {
      if (char* name = XGetAtomName(display, keyboard->names->symbols)) {
        layout = XkbLayoutOfSymbols(name, group);
        XFree(name);
      }
    }
    XkbFreeKeyboard(keyboard, 0, True);
    return layout;
  }

  void NoteLanguage() {
    const int now = ReadLanguage();
    if (now == language) return;
    language = now;
    InputEvent e;
    e.kind = InputEvent::Kind::KeyboardLayout;
    e.language = now;
    pending.push_back(e);
  }

  // A key of a grab pressed or let go; true when it makes a hot-key event.
  bool OnKey(const XKeyEvent& key, bool down, InputEvent& out) {
    auto isHeld = std::find(held.begin(), held.end(), key.keycode);
    if (!down) {
      if (isHeld != held.end()) held.erase(isHeld);
      return false;
    }
    for (const Grab& grab : grabs)
      if (grab.code == key.keycode && (key.state & RelevantMask()) == grab.mask) {
        out = InputEvent{};
        out.kind = InputEvent::Kind::HotKey;
        out.vk = grab.vk;
        out.modifiers = grab.modifiers;
        out.repeat = isHeld != held.end();
        if (!out.repeat) held.push_back(static_cast<KeyCode>(key.keycode));
        return true;
      }
    return false;
  }

  bool OnEvent(XEvent& e, InputEvent& out) {
    if (e.type == KeyPress || e.type == KeyRelease) return OnKey(e.xkey, e.type == KeyPress, out);
    if (e.type == PropertyNotify && e.xproperty.atom == rulesNames) {
      NoteLanguage();
    } else if (e.type == MappingNotify) {
      XRefreshKeyboardMapping(&e.xmapping);
      Regrab();
    } else if (xkb && e.type == xkbEventType) {
      const int kind = reinterpret_cast<const XkbEvent&>(e).any.xkb_type;
      if (kind == XkbNewKeyboardNotify || kind == XkbMapNotify) Regrab();
      NoteLanguage();
    }
    return false;
  }
};

X11Desktop::X11Desktop(std::unique_ptr<State> state) : s_(std::move(state)) {}
X11Desktop::~X11Desktop() = default;

std::unique_ptr<X11Desktop> X11Desktop::Open() {
  int major = XkbMajorVersion, minor = XkbMinorVersion, errorBase = 0, reason = 0;
  auto s = std::make_unique<State>();
  s->display = XkbOpenDisplay(nullptr, &s->xkbEventType, &errorBase, &major, &minor, &reason);
  if (s->display) {
    s->xkb = true;
  } else {
    s->display = XOpenDisplay(nullptr);
    if (!s->display) return nullptr;
  }
  TrapXErrors(s->display);
  s->root = DefaultRootWindow(s->display);
  s->activeWindow = XInternAtom(s->display, "_NET_ACTIVE_WINDOW", False);
  s->rulesNames = XInternAtom(s->display, "_XKB_RULES_NAMES", False);
  XSelectInput(s->display, s->root, PropertyChangeMask);
  if (s->xkb) {
    // Held keys repeat as presses alone, so a repeat is told from a new press.
    XkbSetDetectableAutoRepeat(s->display, True, nullptr);
    const unsigned long keyboardChanges = XkbNewKeyboardNotifyMask | XkbMapNotifyMask | XkbNamesNotifyMask;
    XkbSelectEvents(s->display, XkbUseCoreKbd, keyboardChanges, keyboardChanges);
    XkbSelectEventDetails(s->display, XkbUseCoreKbd, XkbStateNotify, XkbGroupStateMask, XkbGroupStateMask);
  }
  s->ReadModifierMasks();
  s->NoteLanguage();
  XFlush(s->display);
  return std::unique_ptr<X11Desktop>(new X11Desktop(std::move(s)));
}

bool X11Desktop::Capture(Host::ScreenArea area, unsigned long ownWindow, Host::ScreenImage& out) {
  State& s = *s_;
  XWindowAttributes screen{};
  if (!XGetWindowAttributes(s.display, s.root, &screen) || !screen.visual) return false;
  int left = 0, top = 0, right = screen.width, bottom = screen.height;
  if (area == Host::ScreenArea::ActiveWindow) {
    XWindowAttributes frame{};
    const Window window = s.ActiveFrame(ownWindow);
    if (window && XGetWindowAttributes(s.display, window, &frame) && frame.map_state == IsViewable) {
      const int l = std::max(0, frame.x), t = std::max(0, frame.y);
      const int r = std::min(screen.width, frame.x + frame.width + 2 * frame.border_width);
      const int b = std::min(screen.height, frame.y + frame.height + 2 * frame.border_width);
      // A window wholly off the screen leaves the screen itself.
      if (l < r && t < b) left = l, top = t, right = r, bottom = b;
    }
  }
  XSync(s.display, False);
  TakeXError(s.display);
  const int width = right - left, height = bottom - top;
  XImage* image = XGetImage(s.display, s.root, left, top, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), AllPlanes, ZPixmap);
  TakeXError(s.display);
  if (!image) return false;
  const unsigned long red = screen.visual->red_mask, green = screen.visual->green_mask,
                      blue = screen.visual->blue_mask;
  out.width = width;
  out.height = height;
  out.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  const bool direct = image->bits_per_pixel == 32 && image->byte_order == LSBFirst && red == 0xFF0000 &&
                      green == 0xFF00 && blue == 0xFF;
  for (int y = 0; y < height; ++y) {
    std::uint32_t* row = out.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
    if (direct) {
      std::memcpy(row, image->data + static_cast<size_t>(y) * static_cast<size_t>(image->bytes_per_line),
                  static_cast<size_t>(width) * 4);
      for (int x = 0; x < width; ++x) row[x] &= 0xFFFFFF;
    } else {
      for (int x = 0; x < width; ++x) {
        const unsigned long p = XGetPixel(image, x, y);
        row[x] = Channel(p, red) << 16 | Channel(p, green) << 8 | Channel(p, blue);
      }
    }
  }
  XDestroyImage(image);
  return true;
}

Host::HotKeyGrab X11Desktop::GrabHotKey(unsigned modifiers, int vk) {
  State& s = *s_;
  const KeySym sym = KeySymOfVk(vk);
  const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(s.display, sym);
  if (!code) return Host::HotKeyGrab::Unsupported;
  const State::Grab grab{modifiers, vk, code, s.MaskOf(modifiers)};
  if (!s.TryGrab(grab)) return Host::HotKeyGrab::InUse;
  s.grabs.push_back(grab);
  return Host::HotKeyGrab::Grabbed;
}

void X11Desktop::ReleaseHotKey(unsigned modifiers, int vk) {
  State& s = *s_;
  for (auto it = s.grabs.begin(); it != s.grabs.end(); ++it)
    if (it->modifiers == modifiers && it->vk == vk) {
      s.Ungrab(*it);
      XSync(s.display, False);
      TakeXError(s.display);
      s.grabs.erase(it);
      return;
    }
}

bool X11Desktop::Poll(InputEvent& out) {
  State& s = *s_;
  for (;;) {
    if (!s.pending.empty()) {
      out = s.pending.front();
      s.pending.pop_front();
      return true;
    }
    if (!XPending(s.display)) return false;
    XEvent e;
    XNextEvent(s.display, &e);
    if (s.OnEvent(e, out)) return true;
  }
}

bool X11Desktop::Pending() { return !s_->pending.empty() || XPending(s_->display) > 0; }

bool X11Desktop::Busy() const { return !s_->grabs.empty(); }

#else

struct X11Desktop::State {};
X11Desktop::X11Desktop(std::unique_ptr<State> state) : s_(std::move(state)) {}
X11Desktop::~X11Desktop() = default;
std::unique_ptr<X11Desktop> X11Desktop::Open() { return nullptr; }
bool X11Desktop::Capture(Host::ScreenArea, unsigned long, Host::ScreenImage&) { return false; }
Host::HotKeyGrab X11Desktop::GrabHotKey(unsigned, int) { return Host::HotKeyGrab::Unsupported; }
void X11Desktop::ReleaseHotKey(unsigned, int) {}
bool X11Desktop::Poll(InputEvent&) { return false; }
bool X11Desktop::Pending() { return false; }
bool X11Desktop::Busy() const { return false; }

#endif
