// Host input turned into window messages: hit testing, capture, mouse activation, double
// clicks, the key state table and the characters TranslateMessage makes.

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>

#include "platform/rtl/Clock.h"
#include "platform/rtl/Everlasting.h"
#include "platform/rtl/LastError.h"
#include "platform/user/DesktopScreen.h"
#include "platform/user/FocusState.h"
#include "platform/user/HookService.h"
#include "platform/user/HotKey.h"
#include "platform/user/HotKeyTable.h"
#include "platform/user/InputState.h"
#include "platform/user/KeyboardLayout.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/Window.h"
#include "platform/user/WindowRegistry.h"

namespace {

// The cursor cannot leave the screen: a point beyond an edge stops at it.
POINT OnScreen(int x, int y) {
  const DesktopConfig& config = wm::Screen().Config();
  return POINT{std::clamp(x, 0, config.width - 1), std::clamp(y, 0, config.height - 1)};
}

UINT ButtonMessage(int button, bool down, bool client) {
  static const UINT clientDown[3] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
  static const UINT clientUp[3] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
  static const UINT ncDown[3] = {WM_NCLBUTTONDOWN, WM_NCRBUTTONDOWN, WM_NCMBUTTONDOWN};
  static const UINT ncUp[3] = {WM_NCLBUTTONUP, WM_NCRBUTTONUP, WM_NCMBUTTONUP};
  int b = button < 0 || button > 2 ? 0 : button;
  return client ? (down ? clientDown[b] : clientUp[b]) : (down ? ncDown[b] : ncUp[b]);
}

int ButtonVk(int button) { return button == 1 ? VK_RBUTTON : button == 2 ? VK_MBUTTON : VK_LBUTTON; }

WPARAM MouseKeys() {
  const InputState& k = wm::Input();
  WPARAM w = 0;
  if (k.IsDown(VK_LBUTTON)) w |= MK_LBUTTON;
  if (k.IsDown(VK_RBUTTON)) w |= MK_RBUTTON;
  if (k.IsDown(VK_MBUTTON)) w |= MK_MBUTTON;
  if (k.IsDown(VK_SHIFT)) w |= MK_SHIFT;
  if (k.IsDown(VK_CONTROL)) w |= MK_CONTROL;
  return w;
}

// When the host event being turned into messages happened.
DWORD& EventTime() {
  static DWORD time = 0;
  return time;
}

DWORD TimeOf(const InputEvent& e) { return GetTickCount() - (e.ageMs ? *e.ageMs : 0); }

void Queue(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int hit = HTCLIENT) {
  MSG m{window, message, wParam, lParam, EventTime(), wm::Input().CursorPos()};
  wm::Queue().QueueInput(m, hit);
}

struct Target {
  HWND window = nullptr;
  int hit = HTNOWHERE;
};

// The window under the cursor and the part of it, or the capture window.
Target FindTarget(POINT p) {
  if (wm::Focus().Captured() && LiveWindow(wm::Focus().Captured())) return Target{wm::Focus().Captured(), HTCLIENT};
  WindowHit found = HitTestPoint(p);
  HWND w = found.window;
  // A disabled top-level window takes no mouse input; it only hears the error code.
  if (HWND top = TopLevelOf(w); top && top != wm::Windows().Desktop() && (top->style & WS_DISABLED)) return Target{top, HTERROR};
  if (!w || w == wm::Windows().Desktop()) return Target{nullptr, HTNOWHERE};
  return Target{w, found.hit};
}

LPARAM ClientPoint(HWND window, POINT p) {
  ScreenToClient(window, &p);
  return MAKELPARAM(p.x, p.y);
}

void MouseMove(POINT p) {
  InputState& input = wm::Input();
  input.SetCursorPos(p);
  input.NotePointer(PointerPlace{p, EventTime()});
  Target t = FindTarget(p);
  // Tracking ends when the mouse leaves the part it was asked for: the client area, or the frame.
  if (HWND tracked = input.LeaveTracked(MousePart::Client); tracked && (t.window != tracked || t.hit != HTCLIENT)) {
    Queue(tracked, WM_MOUSELEAVE, 0, 0);
    input.TrackLeave(MousePart::Client, nullptr);
  }
  if (HWND tracked = input.LeaveTracked(MousePart::NonClient); tracked && (t.window != tracked || t.hit == HTCLIENT)) {
    Queue(tracked, WM_NCMOUSELEAVE, 0, 0);
    input.TrackLeave(MousePart::NonClient, nullptr);
  }
  if (!t.window) return;
  if (t.hit == HTCLIENT || t.hit == HTERROR)
    Queue(t.window, WM_MOUSEMOVE, MouseKeys(), ClientPoint(t.window, p), t.hit);
  else
    Queue(t.window, WM_NCMOUSEMOVE, static_cast<WPARAM>(t.hit), MAKELPARAM(p.x, p.y), t.hit);
}

bool IsDoubleClick(HWND window, UINT message, POINT p, bool client) {
  const ClickMemory last = wm::Input().LastClick();
  const DWORD now = EventTime();
  bool dbl = last.window == window && last.message == message && now - last.time <= GetDoubleClickTime() &&
             std::abs(p.x - last.at.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
             std::abs(p.y - last.at.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
  if (client && !(LiveWindow(window)->cls->style & CS_DBLCLKS)) dbl = false;
  // After a double click the next click starts again.
  wm::Input().RememberClick(dbl ? ClickMemory{} : ClickMemory{window, message, now, p});
  return dbl;
}

void MouseButton(POINT p, int button, bool down) {
  wm::Input().SetCursorPos(p);
  int vk = ButtonVk(button);
  if (down) wm::Input().Press(vk, false);
  else wm::Input().Release(vk);
  Target t = FindTarget(p);
  if (!t.window) return;
  bool client = t.hit == HTCLIENT || t.hit == HTERROR;
  UINT message = ButtonMessage(button, down, client);
  if (down && t.hit != HTERROR && IsDoubleClick(t.window, message, p, client)) message += 2;  // DBLCLK follows DOWN
  if (client)
    Queue(t.window, message, MouseKeys(), ClientPoint(t.window, p), t.hit);
  else
    Queue(t.window, message, static_cast<WPARAM>(t.hit), MAKELPARAM(p.x, p.y), t.hit);
}

void Wheel(POINT p, int delta) {
  wm::Input().SetCursorPos(p);
  HWND target = wm::Focus().Focused() ? wm::Focus().Focused() : wm::Focus().Active();
  if (!target) return;
  Queue(target, WM_MOUSEWHEEL, MAKEWPARAM(static_cast<int>(MouseKeys()), delta), MAKELPARAM(p.x, p.y));
}

// Alt without Ctrl makes keys system keys (Ctrl+Alt is AltGr and types); F10 and Alt
// itself are system keys, and so is every key while no window has the focus.
// A registered combination is posted to its window and kept from every window as a key.
bool TakenAsHotKey(int vk, bool wasDown) {
  const InputState& keys = wm::Input();
  UINT modifiers = (keys.IsDown(VK_MENU) ? MOD_ALT : 0) | (keys.IsDown(VK_CONTROL) ? MOD_CONTROL : 0) |
                   (keys.IsDown(VK_SHIFT) ? MOD_SHIFT : 0) |
                   (keys.IsDown(VK_LWIN) || keys.IsDown(VK_RWIN) ? MOD_WIN : 0);
  return DeliverHotKey(modifiers, static_cast<UINT>(vk), wasDown);
}

void Key(int vk, bool down) {
  if (vk <= 0 || vk > 255) return;
  InputState& keys = wm::Input();
  bool wasDown = keys.IsDown(vk);
  if (down) keys.Press(vk, wasDown);
  else keys.Release(vk);
  if (down && TakenAsHotKey(vk, wasDown)) return;
  bool alt = keys.IsDown(VK_MENU) || (vk == VK_MENU && !down);
  bool ctrl = keys.IsDown(VK_CONTROL);
  HWND target = wm::Focus().Focused() ? wm::Focus().Focused() : wm::Focus().Active();
  if (!target) return;
  bool sys = (alt && !ctrl) || vk == VK_F10 || !wm::Focus().Focused();
  UINT message = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
  bool context = alt && !ctrl && (down || vk != VK_MENU);
  LPARAM l = 1 | (context ? (1 << 29) : 0) | (wasDown ? (1 << 30) : 0) | (down ? 0 : (1u << 31));
  Queue(target, message, static_cast<WPARAM>(vk), static_cast<LPARAM>(static_cast<std::uint32_t>(l)));
}

// Characters come from the host's text input, so every keyboard layout types what its keys
// say. Each byte of the UTF-8 text is one WM_CHAR, lead byte first, as double-byte code
// pages send theirs. Control characters, Ctrl+letter and Alt+key characters are made by
// TranslateMessage from the keys instead, so a host that reports them as text too does not
// type them twice.
void Text(const std::string& text, bool thirdLevel) {
  HWND target = wm::Focus().Focused() ? wm::Focus().Focused() : wm::Focus().Active();
  if (!target) return;
  // Alt with a key is a command (a menu's letter), not typing; the layout's third level is.
  bool alt = wm::Input().IsDown(VK_MENU), ctrl = wm::Input().IsDown(VK_CONTROL);
  if (alt != ctrl && !thirdLevel) return;
  for (unsigned char c : text)
    if (c >= 0x20 && c != 0x7F) Queue(target, WM_CHAR, c, 1);
}

std::map<const DropObject*, std::unique_ptr<DropObject>>& Drops() {
  static Everlasting<std::map<const DropObject*, std::unique_ptr<DropObject>>> drops;
  return *drops;
}

void DropFiles(POINT p, const std::vector<std::string>& files) {
  HWND w = WindowFromPoint(p);
  while (w && w != wm::Windows().Desktop() && !(LiveWindow(w)->exStyle & WS_EX_ACCEPTFILES)) w = LiveWindow(w)->parent;
  if (!w || w == wm::Windows().Desktop()) return;
  auto drop = std::make_unique<DropObject>();
  drop->files = files;
  drop->point = p;
  ScreenToClient(w, &drop->point);
  HDROP handle = drop.get();
  Drops().emplace(handle, std::move(drop));
  PostMessage(w, WM_DROPFILES, reinterpret_cast<WPARAM>(handle), 0);
}

}  // namespace

// A press the menu loop ended on goes on, before anything that came after it, to the window
// now under it (the loop held the capture when it came, so it was addressed to the loop).
void PassPressOn(const MSG& press) {
  int button = 0;
  switch (press.message) {
    case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: case WM_NCRBUTTONDOWN: case WM_NCRBUTTONDBLCLK: button = 1; break;
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: case WM_NCMBUTTONDOWN: case WM_NCMBUTTONDBLCLK: button = 2; break;
  }
  Target t = FindTarget(press.pt);
  if (!t.window || t.hit == HTERROR) return;
  bool client = t.hit == HTCLIENT;
  UINT message = ButtonMessage(button, true, client);
  MSG m{t.window, message, client ? MouseKeys() : static_cast<WPARAM>(t.hit),
        client ? ClientPoint(t.window, press.pt) : MAKELPARAM(press.pt.x, press.pt.y), press.time, press.pt};
  wm::Queue().QueueInputFirst(m, t.hit);
}

bool TranslateHostEvent() {
  InputEvent e;
  Host* host = wm::Screen().Display();
  if (!host || !host->PollEvent(e)) return false;
  POINT p = OnScreen(e.x, e.y);
  EventTime() = TimeOf(e);
  switch (e.kind) {
    case InputEvent::Kind::MouseMove:
      // Moves waiting one behind another are one move, the newest, as Windows keeps one
      // move waiting: a slow handler never falls behind the pointer. Each place passed is
      // kept for GetMouseMovePointsEx.
      for (InputEvent next; host->PeekEvent(next) && next.kind == InputEvent::Kind::MouseMove;) {
        wm::Input().NotePointer(PointerPlace{p, EventTime()});
        host->PollEvent(e);
        p = OnScreen(e.x, e.y);
        EventTime() = TimeOf(e);
      }
      MouseMove(p);
      break;
    case InputEvent::Kind::MouseDown: MouseButton(p, e.button, true); break;
    case InputEvent::Kind::MouseUp: MouseButton(p, e.button, false); break;
    case InputEvent::Kind::Wheel: Wheel(p, e.wheelDelta); break;
    case InputEvent::Kind::KeyDown: Key(e.vk, true); break;
    case InputEvent::Kind::KeyUp: Key(e.vk, false); break;
    case InputEvent::Kind::Text: Text(e.text, e.thirdLevel); break;
    case InputEvent::Kind::DropFiles: DropFiles(p, e.files); break;
    case InputEvent::Kind::Resize: ResizeDesktop(e.x, e.y); break;
    case InputEvent::Kind::HotKey: DeliverHotKey(e.modifiers, static_cast<UINT>(e.vk), e.repeat); break;
    case InputEvent::Kind::KeyboardLayout: SetKeyboardLayoutLanguage(static_cast<WORD>(e.language)); break;
    case InputEvent::Kind::Close:
      // The program is asked to close as a whole, through its main window, whatever window
      // happens to be active (a dialog's Close would only close the dialog).
      if (HWND main = MainWindow()) PostMessage(main, WM_SYSCOMMAND, SC_CLOSE, 0);
      else PostQuitMessage(0);
      break;
  }
  return true;
}

namespace {

bool IsMouseMessage(UINT m) {
  return (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) || (m >= WM_NCMOUSEMOVE && m <= WM_NCMBUTTONDBLCLK);
}

bool IsButtonDown(UINT m) {
  switch (m) {
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN: case WM_NCRBUTTONDOWN: case WM_NCMBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: case WM_NCRBUTTONDBLCLK: case WM_NCMBUTTONDBLCLK:
      return true;
  }
  return false;
}

// WM_SETCURSOR names the client mouse message even for a non-client one.
UINT ClientMouseMessage(UINT m) {
  return m >= WM_NCMOUSEMOVE && m <= WM_NCMBUTTONDBLCLK ? m - WM_NCMOUSEMOVE + WM_MOUSEMOVE : m;
}

// A press in a child window is told to its ancestors, nearest first, as the client press it
// would be (a double click as a press), with the point in each one's client coordinates. A
// window with WS_EX_NOPARENTNOTIFY tells nobody above it.
void NotifyParentsOfPress(HWND window, UINT message, POINT screen) {
  UINT press = ClientMouseMessage(message);
  if (press == WM_LBUTTONDBLCLK || press == WM_RBUTTONDBLCLK || press == WM_MBUTTONDBLCLK) press -= 2;
  for (WindowObject* w = LiveWindow(window); w && (w->style & WS_CHILD) && !(w->exStyle & WS_EX_NOPARENTNOTIFY);) {
    HWND parent = w->parent;
    if (!LiveWindow(parent) || parent == wm::Windows().Desktop()) break;
    POINT p = screen;
    ScreenToClient(parent, &p);
    SendMessage(parent, WM_PARENTNOTIFY, press, MAKELPARAM(p.x, p.y));
    w = LiveWindow(parent);
  }
}

// A press in any window but the active one asks it with WM_MOUSEACTIVATE; every answer
// but the NOACTIVATE ones (0 included) activates its top-level window. False to eat it.
bool MouseActivate(HWND window, int hit, UINT message) {
  HWND top = TopLevelOf(window);
  if (wm::Focus().Captured() || !top || top == wm::Windows().Desktop() || window == wm::Focus().Active()) return true;
  if (top->style & WS_DISABLED) return false;
  LRESULT r = SendMessage(window, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top), MAKELPARAM(hit, message));
  bool activate = r != MA_NOACTIVATE && r != MA_NOACTIVATEANDEAT;
  if (activate && top != wm::Focus().Active() && LiveWindow(top)) ActivateWindow(top, WA_CLICKACTIVE, true);
  return r != MA_ACTIVATEANDEAT && r != MA_NOACTIVATEANDEAT;
}

}  // namespace

// An input message leaving the queue: the keyboard or mouse hook sees it first and may eat
// it; a mouse message that is really taken then activates on a press and sets the cursor.
bool AcceptInputMessage(InputMessage& input, bool remove) {
  MSG& msg = input.msg;
  int code = remove ? HC_ACTION : HC_NOREMOVE;
  if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST && msg.message != WM_CHAR && msg.message != WM_SYSCHAR)
    return !wm::Hooks().Call(WH_KEYBOARD, code, msg.wParam, msg.lParam);
  if (!IsMouseMessage(msg.message)) return true;
  MOUSEHOOKSTRUCT info{msg.pt, msg.hwnd, static_cast<UINT>(input.hit), 0};
  if (wm::Hooks().Call(WH_MOUSE, code, msg.message, reinterpret_cast<LPARAM>(&info))) return false;
  if (!remove || msg.message == WM_MOUSEWHEEL) return true;
  if (!LiveWindow(msg.hwnd)) return false;
  if (input.hit == HTERROR) {  // a disabled window: only the cursor hears of it
    SendMessage(msg.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(msg.hwnd), MAKELPARAM(HTERROR, msg.message));
    return false;
  }
  if (IsButtonDown(msg.message)) {
    NotifyParentsOfPress(msg.hwnd, msg.message, msg.pt);
    if (!LiveWindow(msg.hwnd)) return false;
  }
  bool eaten = IsButtonDown(msg.message) && !MouseActivate(msg.hwnd, input.hit, msg.message);
  if (!LiveWindow(msg.hwnd)) return false;
  if (!wm::Focus().Captured())
    SendMessage(msg.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(msg.hwnd),
                MAKELPARAM(input.hit, ClientMouseMessage(msg.message)));
  return !eaten && LiveWindow(msg.hwnd);
}

namespace {

// The characters keys make themselves: the control characters and, with Ctrl, the letters'
// control codes. 0 for a key whose character comes from the host's text input.
int KeyCharacter(int vk, bool ctrl, bool alt) {
  switch (vk) {
    case VK_RETURN: return '\r';
    case VK_BACK: return '\b';
    case VK_TAB: return ctrl ? 0 : '\t';
    case VK_ESCAPE: return 27;
  }
  if (ctrl && !alt && vk >= 'A' && vk <= 'Z') return vk - 'A' + 1;
  return 0;
}

// The character of a key pressed with Alt, for WM_SYSCHAR (menu mnemonics).
int SystemKeyCharacter(int vk) {
  if (vk >= 'A' && vk <= 'Z') return vk + 32;
  if ((vk >= '0' && vk <= '9') || vk == VK_SPACE) return vk;
  if (vk == VK_RETURN) return '\r';
  if (vk == 0xBD || vk == 0x6D) return '-';  // Alt+'-' opens an MDI child's system menu
  return 0;
}

}  // namespace

BOOL TranslateMessage(const MSG* msg) {
  if (!msg) return FALSE;
  UINT m = msg->message;
  if (m != WM_KEYDOWN && m != WM_SYSKEYDOWN) return m == WM_KEYUP || m == WM_SYSKEYUP ? TRUE : FALSE;
  bool ctrl = wm::Input().IsDown(VK_CONTROL), alt = wm::Input().IsDown(VK_MENU);
  int vk = static_cast<int>(msg->wParam);
  int c = m == WM_SYSKEYDOWN ? (alt ? SystemKeyCharacter(vk) : 0) : KeyCharacter(vk, ctrl, alt);
  if (c) {
    MSG ch = *msg;
    ch.message = m == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    ch.wParam = static_cast<WPARAM>(c);
    wm::Queue().PostNext(ch);  // the character comes next
  }
  return TRUE;
}

SHORT GetKeyState(int vk) {
  if (vk < 0 || vk > 255) return 0;
  BYTE k = wm::Input().Key(vk);
  return static_cast<SHORT>(((k & 0x80) ? 0x8000 : 0) | (k & 1));
}

SHORT GetAsyncKeyState(int vk) { return static_cast<SHORT>(GetKeyState(vk) & 0x8000); }

BOOL GetKeyboardState(BYTE* state) {
  if (!state) return FALSE;
  for (int i = 0; i < 256; ++i) state[i] = wm::Input().Key(i);
  return TRUE;
}

BOOL GetCursorPos(POINT* out) {
  if (!out) return FALSE;
  EnsureDesktop();
  *out = wm::Input().CursorPos();
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  EnsureDesktop();
  const POINT p = OnScreen(x, y);
  x = p.x;
  y = p.y;
  // As on Windows, moving the cursor produces a mouse move.
  InputEvent e;
  e.kind = InputEvent::Kind::MouseMove;
  e.x = x;
  e.y = y;
  wm::Input().SetCursorPos(POINT{x, y});
  wm::Screen().Display()->Inject(e);
  return TRUE;
}

BOOL MessageBeep(UINT) {
  EnsureDesktop();
  wm::Screen().Display()->Beep();
  return TRUE;
}

BOOL DragDetect(HWND window, POINT start) {
  // Waits for the mouse to leave the drag rectangle (a drag) or the button to rise.
  SetCapture(window);
  MSG msg;
  BOOL dragged = FALSE;
  while (GetCapture() == window) {
    if (!PeekMessage(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
      if (!WaitMessage()) break;  // nothing more can come
      continue;
    }
    if (msg.message == WM_LBUTTONUP) break;
    if (msg.message == WM_MOUSEMOVE &&
        (std::abs(msg.pt.x - start.x) > GetSystemMetrics(SM_CXDRAG) / 2 ||
         std::abs(msg.pt.y - start.y) > GetSystemMetrics(SM_CYDRAG) / 2)) {
      dragged = TRUE;
      break;
    }
  }
  if (GetCapture() == window) ReleaseCapture();
  return dragged;
}

int GetMouseMovePointsEx(UINT size, const MOUSEMOVEPOINT* point, MOUSEMOVEPOINT* out, int count, DWORD resolution) {
  const InputState& input = wm::Input();
  if (size != sizeof(MOUSEMOVEPOINT) || !point || count < 0 || count > InputState::kTrailLength ||
      (count > 0 && !out) || resolution != GMMP_USE_DISPLAY_POINTS) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  for (int i = 0; i < input.TrailCount(); ++i) {
    const PointerPlace& place = input.TrailFromNewest(i);
    if (place.at.x != point->x || place.at.y != point->y || (point->time != 0 && place.time != point->time)) continue;
    int copied = 0;
    for (int j = i; j < input.TrailCount() && copied < count; ++j, ++copied) {
      const PointerPlace& older = input.TrailFromNewest(j);
      out[copied] = MOUSEMOVEPOINT{older.at.x, older.at.y, older.time, 0};
    }
    return copied;
  }
  SetLastError(ERROR_POINT_NOT_FOUND);
  return -1;
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* track) {
  if (!track) return FALSE;
  MousePart part = (track->dwFlags & TME_NONCLIENT) ? MousePart::NonClient : MousePart::Client;
  if (track->dwFlags & TME_CANCEL) {
    if (wm::Input().LeaveTracked(part) == track->hwndTrack) wm::Input().TrackLeave(part, nullptr);
    return TRUE;
  }
  if ((track->dwFlags & TME_LEAVE) && LiveWindow(track->hwndTrack)) wm::Input().TrackLeave(part, track->hwndTrack);
  return TRUE;
}

UINT DragQueryFile(HDROP drop, UINT index, LPSTR out, UINT size) {
  auto it = Drops().find(drop);
  if (it == Drops().end()) return 0;
  const auto& files = it->second->files;
  if (index == 0xFFFFFFFF) return static_cast<UINT>(files.size());
  if (index >= files.size()) return 0;
  const std::string& name = files[index];
  if (!out || size == 0) return static_cast<UINT>(name.size());
  UINT n = std::min<UINT>(static_cast<UINT>(name.size()), size - 1);
  std::memcpy(out, name.data(), n);
  out[n] = 0;
  return n;
}

BOOL DragQueryPoint(HDROP drop, POINT* out) {
  auto it = Drops().find(drop);
  if (it == Drops().end() || !out) return FALSE;
  *out = it->second->point;
  return TRUE;
}

void DragFinish(HDROP drop) { Drops().erase(drop); }

void DragAcceptFiles(HWND window, BOOL accept) {
  WindowObject* w = LiveWindow(window);
  if (!w) return;
  if (accept) w->exStyle |= WS_EX_ACCEPTFILES;
  else w->exStyle &= ~WS_EX_ACCEPTFILES;
}
