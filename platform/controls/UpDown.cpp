// The up-down control: its state, the buddy window, stepping with its notifications, the
// press-and-hold loop on timers, and painting.

#include "platform/controls/UpDown.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Clock.h"
#include "platform/user/SystemClasses.h"

namespace {

[[maybe_unused]] const bool kRegistered = AddSystemClassRegistration(&RegisterUpDownClass);

constexpr char kStateProp[] = "quillo.updown";
constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kFirstDelay = 500;
constexpr UINT kRepeatDelay = 100;

enum class Arrow { None, Up, Down };

struct UpDownState {
  HWND self = nullptr;
  int lower = 100;  // Windows' default range runs from 100 down to 0
  int upper = 0;
  int pos = 0;
  int base = 10;
  std::vector<UDACCEL> accel{{0, 1}, {2, 5}, {5, 20}};
  HWND buddy = nullptr;
  WNDPROC buddyPrevious;  // the buddy's procedure before the arrow keys were hooked in
  WNDPROC buddyHook;
  Arrow pressed = Arrow::None;  // the arrow held with the mouse
  Arrow shown = Arrow::None;    // the arrow drawn pressed
  DWORD pressTime = 0;
  bool keyStepping = false;
};

// Held by the window (and, weakly, by the buddy's hook) until WM_NCDESTROY.
std::shared_ptr<UpDownState>* Holder(HWND window) {
  return static_cast<std::shared_ptr<UpDownState>*>(GetProp(window, kStateProp));
}

UpDownState* StateOf(HWND window) {
  auto* holder = Holder(window);
  return holder ? holder->get() : nullptr;
}

DWORD Style(HWND window) { return static_cast<DWORD>(GetWindowLong(window, GWL_STYLE)); }

std::string WithThousands(const std::string& digits) {
  size_t start = !digits.empty() && digits[0] == '-' ? 1 : 0;
  std::string out = digits.substr(0, start);
  size_t count = digits.size() - start;
  for (size_t i = 0; i < count; ++i) {
    if (i > 0 && (count - i) % 3 == 0) out += ',';
    out += digits[start + i];
  }
  return out;
}

std::string FormatPosition(const UpDownState& s) {
  char text[32];
  if (s.base == 16) {
    std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(s.pos));
    return text;
  }
  std::snprintf(text, sizeof text, "%d", s.pos);
  return (Style(s.self) & UDS_NOTHOUSANDS) ? std::string(text) : WithThousands(text);
}

// The buddy's text as a number in the control's base; false when it is not one.
bool ParseBuddy(const UpDownState& s, int* out) {
  int length = GetWindowTextLength(s.buddy);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  GetWindowText(s.buddy, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  std::string clean;
  for (char c : text)
    if (c != ',' && c != ' ') clean += c;
  if (clean.empty()) return false;
  size_t used = 0;
  long value = 0;
  try {
    value = std::stol(clean, &used, s.base == 16 ? 16 : 10);
  } catch (const std::exception&) {
    return false;
  }
  if (used != clean.size()) return false;
  *out = static_cast<int>(std::clamp<long>(value, std::min(s.lower, s.upper), std::max(s.lower, s.upper)));
  return true;
}

bool BuddyIsInt(const UpDownState& s) { return s.buddy && IsWindow(s.buddy) && (Style(s.self) & UDS_SETBUDDYINT); }

void ShowInBuddy(const UpDownState& s) {
  if (BuddyIsInt(s)) SetWindowText(s.buddy, FormatPosition(s).c_str());
}

// Reads the buddy's text into the position; false when the text is not a number.
bool ReadBuddy(UpDownState& s) {
  if (!BuddyIsInt(s)) return true;
  int value;
  if (!ParseBuddy(s, &value)) return false;
  s.pos = value;
  return true;
}

int Clamp(const UpDownState& s, int pos) { return std::clamp(pos, std::min(s.lower, s.upper), std::max(s.lower, s.upper)); }

// The arrow halves: up (or right, when horizontal) and down (or left).
RECT ArrowRect(HWND window, Arrow arrow) {
  RECT r;
  GetClientRect(window, &r);
  if (Style(window) & UDS_HORZ) {
    int mid = (r.left + r.right) / 2;
    return arrow == Arrow::Up ? RECT{mid, r.top, r.right, r.bottom} : RECT{r.left, r.top, mid, r.bottom};
  }
  int mid = (r.top + r.bottom) / 2;
  return arrow == Arrow::Up ? RECT{r.left, r.top, r.right, mid} : RECT{r.left, mid, r.right, r.bottom};
}

Arrow ArrowAt(HWND window, POINT p) {
  for (Arrow a : {Arrow::Up, Arrow::Down}) {
    RECT r = ArrowRect(window, a);
    if (PtInRect(&r, p)) return a;
  }
  return Arrow::None;
}

void Show(UpDownState& s, Arrow arrow) {
  if (s.shown == arrow) return;
  s.shown = arrow;
  InvalidateRect(s.self, nullptr, FALSE);
  UpdateWindow(s.self);
}

void NotifyScroll(const UpDownState& s, int code) {
  HWND parent = GetParent(s.self);
  if (!parent) return;
  UINT message = (Style(s.self) & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL;
  SendMessage(parent, message, MAKEWPARAM(code, static_cast<WORD>(s.pos)), reinterpret_cast<LPARAM>(s.self));
}

// The increment for a press held this long.
int Increment(const UpDownState& s, DWORD heldMs) {
  int inc = 1;
  for (const UDACCEL& a : s.accel)
    if (heldMs >= a.nSec * 1000) inc = static_cast<int>(a.nInc);
  return std::max(inc, 1);
}

// One step toward the upper end (up) or the lower end: the parent may veto or change it;
// the position is reported whether or not it moved.
void Step(HWND window, Arrow arrow, int increment) {
  UpDownState* s = StateOf(window);
  if (!s) return;
  ReadBuddy(*s);
  int toward = s->upper >= s->lower ? 1 : -1;
  NMUPDOWN nm;
  nm.hdr.hwndFrom = window;
  nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(window));
  nm.hdr.code = UDN_DELTAPOS;
  nm.iPos = s->pos;
  nm.iDelta = (arrow == Arrow::Up ? toward : -toward) * increment;
  HWND parent = GetParent(window);
  bool vetoed = parent && SendMessage(parent, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm)) != 0;
  if (!(s = StateOf(window))) return;
  if (!vetoed && nm.iDelta != 0) {
    int low = std::min(s->lower, s->upper), high = std::max(s->lower, s->upper);
    long long wanted = static_cast<long long>(s->pos) + nm.iDelta;
    int next;
    if (wanted > high) next = (Style(window) & UDS_WRAP) && s->pos == high ? low : high;
    else if (wanted < low) next = (Style(window) & UDS_WRAP) && s->pos == low ? high : low;
    else next = static_cast<int>(wanted);
    if (next != s->pos) {
      s->pos = next;
      ShowInBuddy(*s);
    }
  }
  NotifyScroll(*s, SB_THUMBPOSITION);
}

void PlaceBesideBuddy(UpDownState& s) {
  DWORD style = Style(s.self);
  if (!s.buddy || !(style & (UDS_ALIGNLEFT | UDS_ALIGNRIGHT)) || GetParent(s.buddy) != GetParent(s.self)) return;
  RECT b;
  GetWindowRect(s.buddy, &b);
  POINT corner{b.left, b.top};
  if (HWND parent = GetParent(s.buddy)) ScreenToClient(parent, &corner);
  int bw = b.right - b.left, bh = b.bottom - b.top;
  RECT me;
  GetWindowRect(s.self, &me);
  int width = me.right - me.left;
  // The buddy gives up the room, and the arrows cover its border on that side.
  constexpr int kOverlap = 2;
  int buddyWidth = std::max(0, bw - width + kOverlap);
  if (style & UDS_ALIGNLEFT) {
    SetWindowPos(s.buddy, nullptr, corner.x + width - kOverlap, corner.y, buddyWidth, bh, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(s.self, nullptr, corner.x, corner.y, width, bh, SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    SetWindowPos(s.buddy, nullptr, corner.x, corner.y, buddyWidth, bh, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(s.self, nullptr, corner.x + buddyWidth - kOverlap, corner.y, width, bh, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

bool IsStepKey(WPARAM vk) { return vk == VK_UP || vk == VK_DOWN; }

// With UDS_ARROWKEYS the buddy's Up and Down keys step the control.
void HookBuddy(const std::shared_ptr<UpDownState>& state) {
  UpDownState& s = *state;
  if (!s.buddy || !(Style(s.self) & UDS_ARROWKEYS)) return;
  std::weak_ptr<UpDownState> weak = state;
  WNDPROC previous = GetWindowProc(s.buddy);
  s.buddyPrevious = previous;
  s.buddyHook = WNDPROC([weak, previous](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
    auto live = weak.lock();
    if (live && IsWindow(live->self) && IsStepKey(wParam)) {
      if (message == WM_KEYDOWN) {
        live->keyStepping = true;
        Step(live->self, wParam == VK_UP ? Arrow::Up : Arrow::Down, 1);
        return 0;
      }
      if (message == WM_KEYUP && live->keyStepping) {
        live->keyStepping = false;
        NotifyScroll(*live, SB_ENDSCROLL);
        return 0;
      }
    }
    return CallWindowProc(previous, window, message, wParam, lParam);
  });
  SetWindowProc(s.buddy, s.buddyHook);
}

void UnhookBuddy(UpDownState& s) {
  // Put the buddy's procedure back only when nobody hooked it since; otherwise the hook
  // stays and passes everything on once the state is gone.
  if (s.buddy && IsWindow(s.buddy) && s.buddyHook && GetWindowProc(s.buddy) == s.buddyHook)
    SetWindowProc(s.buddy, s.buddyPrevious);
  s.buddyHook = nullptr;
  s.buddyPrevious = nullptr;
}

LRESULT SetBuddy(HWND window, HWND buddy) {
  auto* holder = Holder(window);
  if (!holder) return 0;
  UpDownState& s = **holder;
  HWND previous = s.buddy;
  UnhookBuddy(s);
  s.buddy = buddy && IsWindow(buddy) ? buddy : nullptr;
  HookBuddy(*holder);
  PlaceBesideBuddy(s);
  ShowInBuddy(s);
  return reinterpret_cast<LRESULT>(previous);
}

LRESULT OnCreate(HWND window, const CREATESTRUCT* cs) {
  auto holder = std::make_unique<std::shared_ptr<UpDownState>>(std::make_shared<UpDownState>());
  (*holder)->self = window;
  SetProp(window, kStateProp, holder.release());
  // The buddy is the sibling made just before: above the new window in z-order on Windows,
  // where children join at the bottom; below it where they join at the top.
  if (cs->style & UDS_AUTOBUDDY) {
    HWND before = GetWindow(window, GW_HWNDPREV);
    SetBuddy(window, before ? before : GetWindow(window, GW_HWNDNEXT));
  }
  return 0;
}

void OnNcDestroy(HWND window) {
  std::unique_ptr<std::shared_ptr<UpDownState>> holder(Holder(window));
  RemoveProp(window, kStateProp);
  if (holder) UnhookBuddy(**holder);
}

void OnPaint(HWND window, HDC given) {
  UpDownState* s = StateOf(window);
  PAINTSTRUCT ps;
  HDC dc = given ? given : BeginPaint(window, &ps);
  if (!dc) return;
  bool horizontal = Style(window) & UDS_HORZ;
  bool enabled = IsWindowEnabled(window);
  for (Arrow a : {Arrow::Up, Arrow::Down}) {
    RECT r = ArrowRect(window, a);
    UINT kind = horizontal ? (a == Arrow::Up ? DFCS_SCROLLRIGHT : DFCS_SCROLLLEFT)
                           : (a == Arrow::Up ? DFCS_SCROLLUP : DFCS_SCROLLDOWN);
    if (!enabled) kind |= DFCS_INACTIVE;
    else if (s && s->shown == a) kind |= DFCS_PUSHED;
    DrawFrameControl(dc, &r, DFC_SCROLL, kind);
  }
  if (!given) EndPaint(window, &ps);
}

void OnButtonDown(HWND window, LPARAM lParam) {
  UpDownState* s = StateOf(window);
  if (!s || !IsWindowEnabled(window)) return;
  Arrow arrow = ArrowAt(window, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
  if (arrow == Arrow::None) return;
  if (s->buddy && IsWindow(s->buddy) && GetFocus() != s->buddy) SetFocus(s->buddy);
  if (!(s = StateOf(window))) return;
  SetCapture(window);
  s->pressed = arrow;
  s->pressTime = GetTickCount();
  Show(*s, arrow);
  Step(window, arrow, Increment(*s, 0));
  if (IsWindow(window)) SetTimer(window, kRepeatTimer, kFirstDelay, nullptr);
}

void OnTimer(HWND window) {
  UpDownState* s = StateOf(window);
  if (!s || s->pressed == Arrow::None || GetCapture() != window) {
    KillTimer(window, kRepeatTimer);
    return;
  }
  SetTimer(window, kRepeatTimer, kRepeatDelay, nullptr);
  if (s->shown == s->pressed) Step(window, s->pressed, Increment(*s, GetTickCount() - s->pressTime));
}

void OnMouseMove(HWND window, LPARAM lParam) {
  UpDownState* s = StateOf(window);
  if (!s || s->pressed == Arrow::None) return;
  Arrow under = ArrowAt(window, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
  Show(*s, under == s->pressed ? s->pressed : Arrow::None);
}

void EndPress(HWND window, bool notify) {
  UpDownState* s = StateOf(window);
  if (!s || s->pressed == Arrow::None) return;
  s->pressed = Arrow::None;
  KillTimer(window, kRepeatTimer);
  Show(*s, Arrow::None);
  if (GetCapture() == window) ReleaseCapture();
  if (notify) NotifyScroll(*s, SB_ENDSCROLL);
}

LRESULT GetPos(HWND window, BOOL* error) {
  UpDownState* s = StateOf(window);
  if (!s) return 0;
  bool ok = ReadBuddy(*s);
  if (error) *error = ok ? FALSE : TRUE;
  return s->pos;
}

LRESULT SetPos(HWND window, int pos) {
  UpDownState* s = StateOf(window);
  if (!s) return 0;
  int previous = s->pos;
  s->pos = Clamp(*s, pos);
  ShowInBuddy(*s);
  return previous;
}

LRESULT SetAccel(HWND window, WPARAM count, const UDACCEL* accel) {
  UpDownState* s = StateOf(window);
  if (!s || !accel || count == 0) return FALSE;
  s->accel.assign(accel, accel + count);
  return TRUE;
}

LRESULT GetAccel(HWND window, WPARAM count, UDACCEL* out) {
  UpDownState* s = StateOf(window);
  if (!s) return 0;
  size_t n = std::min<size_t>(count, s->accel.size());
  if (out) std::copy_n(s->accel.begin(), n, out);
  return static_cast<LRESULT>(s->accel.size());
}

LRESULT SetBase(HWND window, WPARAM base) {
  UpDownState* s = StateOf(window);
  if (!s || (base != 10 && base != 16)) return 0;
  int previous = s->base;
  s->base = static_cast<int>(base);
  ShowInBuddy(*s);
  return previous;
}

LRESULT UpDownProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  UpDownState* s = StateOf(window);
  switch (message) {
    case WM_CREATE: return OnCreate(window, reinterpret_cast<const CREATESTRUCT*>(lParam));
    case WM_NCDESTROY: OnNcDestroy(window); break;
    case WM_PAINT: case WM_PRINTCLIENT: OnPaint(window, reinterpret_cast<HDC>(wParam)); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: OnButtonDown(window, lParam); return 0;
    case WM_MOUSEMOVE: OnMouseMove(window, lParam); return 0;
    case WM_LBUTTONUP: EndPress(window, true); return 0;
    case WM_CAPTURECHANGED:
      // Taken away (a window that pops up, or this one going): the press ends unreported.
      if (reinterpret_cast<HWND>(lParam) != window) EndPress(window, false);
      return 0;
    case WM_TIMER: if (wParam == kRepeatTimer) OnTimer(window); return 0;
    case WM_ENABLE: InvalidateRect(window, nullptr, FALSE); return 0;
    case WM_KEYDOWN:
      if (s && (Style(window) & UDS_ARROWKEYS) && IsStepKey(wParam)) {
        Step(window, wParam == VK_UP ? Arrow::Up : Arrow::Down, 1);
        return 0;
      }
      break;
    case WM_KEYUP:
      if (s && (Style(window) & UDS_ARROWKEYS) && IsStepKey(wParam)) {
        NotifyScroll(*s, SB_ENDSCROLL);
        return 0;
      }
      break;
    case UDM_SETRANGE:
      if (s) {
        s->upper = static_cast<short>(LOWORD(lParam));
        s->lower = static_cast<short>(HIWORD(lParam));
      }
      return 0;
    case UDM_GETRANGE: return s ? static_cast<LRESULT>(static_cast<DWORD>(MAKELONG(s->upper, s->lower))) : 0;
    case UDM_SETRANGE32:
      if (s) {
        s->lower = static_cast<int>(wParam);
        s->upper = static_cast<int>(lParam);
      }
      return 0;
    case UDM_GETRANGE32:
      if (int* low = reinterpret_cast<int*>(wParam)) *low = s ? s->lower : 0;
      if (int* high = reinterpret_cast<int*>(lParam)) *high = s ? s->upper : 0;
      return 0;
    case UDM_SETPOS: return static_cast<short>(SetPos(window, static_cast<short>(LOWORD(lParam))));
    case UDM_SETPOS32: return SetPos(window, static_cast<int>(lParam));
    case UDM_GETPOS: {
      BOOL error = FALSE;
      LRESULT pos = GetPos(window, &error);
      return static_cast<LRESULT>(static_cast<DWORD>(MAKELONG(static_cast<int>(pos), error ? 1 : 0)));
    }
    case UDM_GETPOS32: return GetPos(window, reinterpret_cast<BOOL*>(lParam));
    case UDM_SETBUDDY: return SetBuddy(window, reinterpret_cast<HWND>(wParam));
    case UDM_GETBUDDY: return s ? reinterpret_cast<LRESULT>(s->buddy) : 0;
    case UDM_SETACCEL: return SetAccel(window, wParam, reinterpret_cast<const UDACCEL*>(lParam));
    case UDM_GETACCEL: return GetAccel(window, wParam, reinterpret_cast<UDACCEL*>(lParam));
    case UDM_SETBASE: return SetBase(window, wParam);
    case UDM_GETBASE: return s ? s->base : 10;
  }
  return DefWindowProc(window, message, wParam, lParam);
}

}  // namespace

void RegisterUpDownClass() {
  RegisterControlClass(UPDOWN_CLASS, UpDownProc, CS_HREDRAW | CS_VREDRAW);
}
