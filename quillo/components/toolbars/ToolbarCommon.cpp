#include "quillo/components/toolbars/ToolbarCommon.h"

#include <algorithm>
#include <memory>

#include "platform/rtl/Everlasting.h"
#include "platform/vcl/WinControl.h"

namespace tbx {

namespace {

struct HookRegistration {
  THookProc proc;
  int refCount;
  THookProcCodes codes;
};

enum HookKind { hkCallWndProc, hkCbt, hkGetMessage, hkCount };

struct HookState {
  std::vector<HookRegistration> registrations;
  HHOOK hooks[hkCount] = {};
  int useCounts[hkCount] = {};
};

// Created on first use and freed when it becomes empty, so nothing is left between tests.
std::unique_ptr<HookState>& State() {
  static Everlasting<std::unique_ptr<HookState>> state;
  return *state;
}

void CallRegistered(THookProcCode code, HWND window, WPARAM wParam, LPARAM lParam) {
  HookState* state = State().get();
  if (!state) return;
  // A procedure may unregister itself (a toolbar freed by its handler): walk a copy.
  std::vector<HookRegistration> copy = state->registrations;
  for (const HookRegistration& r : copy) {
    if (!r.codes.Contains(code)) continue;
    HookState* now = State().get();
    if (!now) return;
    bool stillThere = std::any_of(now->registrations.begin(), now->registrations.end(),
                                  [&](const HookRegistration& x) { return x.proc == r.proc; });
    if (stillThere) r.proc(code, window, wParam, lParam);
  }
}

LRESULT NextHook(HookKind kind, int code, WPARAM wParam, LPARAM lParam) {
  HookState* state = State().get();
  HHOOK hook = state ? state->hooks[kind] : nullptr;
  return CallNextHookEx(hook, code, wParam, lParam);
}

LRESULT CallWndProcHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (cwp->message == WM_ACTIVATEAPP)
      CallRegistered(hpSendActivateApp, cwp->hwnd, cwp->wParam, cwp->lParam);
    else if (cwp->message == WM_WINDOWPOSCHANGED)
      CallRegistered(hpSendWindowPosChanged, cwp->hwnd, cwp->wParam, cwp->lParam);
  }
  return NextHook(hkCallWndProc, code, wParam, lParam);
}

LRESULT CbtHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_DESTROYWND) CallRegistered(hpPreDestroy, reinterpret_cast<HWND>(wParam), 0, 0);
  return NextHook(hkCbt, code, wParam, lParam);
}

LRESULT GetMessageHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (msg->message == WM_MOUSEMOVE) CallRegistered(hpPostMouseMove, msg->hwnd, msg->wParam, msg->lParam);
  }
  return NextHook(hkGetMessage, code, wParam, lParam);
}

bool KindNeeded(HookKind kind, THookProcCodes codes) {
  switch (kind) {
    case hkCallWndProc: return codes.Contains(hpSendActivateApp) || codes.Contains(hpSendWindowPosChanged);
    case hkCbt: return codes.Contains(hpPreDestroy);
    case hkGetMessage: return codes.Contains(hpPostMouseMove);
    default: return false;
  }
}

void InstallKind(HookState& state, HookKind kind) {
  if (++state.useCounts[kind] != 1 || state.hooks[kind]) return;
  switch (kind) {
    case hkCallWndProc:
      state.hooks[kind] = SetWindowsHookEx(WH_CALLWNDPROC, CallWndProcHook, nullptr, GetCurrentThreadId());
      break;
    case hkCbt: state.hooks[kind] = SetWindowsHookEx(WH_CBT, CbtHook, nullptr, GetCurrentThreadId()); break;
    case hkGetMessage:
      state.hooks[kind] = SetWindowsHookEx(WH_GETMESSAGE, GetMessageHook, nullptr, GetCurrentThreadId());
      break;
    default: break;
  }
}

void UninstallKind(HookState& state, HookKind kind) {
  if (state.useCounts[kind] <= 0) return;
  if (--state.useCounts[kind] == 0 && state.hooks[kind]) {
    UnhookWindowsHookEx(state.hooks[kind]);
    state.hooks[kind] = nullptr;
  }
}

}  // namespace

void InstallHookProc(THookProc proc, THookProcCodes codes, bool onlyIncrementCount) {
  if (!State()) State() = std::make_unique<HookState>();
  HookState& state = *State();
  auto it = std::find_if(state.registrations.begin(), state.registrations.end(),
                         [&](const HookRegistration& r) { return r.proc == proc; });
  if (it != state.registrations.end()) {
    ++it->refCount;
    codes = it->codes;
  } else {
    state.registrations.push_back({proc, 1, codes});
  }
  if (onlyIncrementCount) return;
  for (int k = 0; k < hkCount; ++k)
    if (KindNeeded(static_cast<HookKind>(k), codes)) InstallKind(state, static_cast<HookKind>(k));
}

void UninstallHookProc(THookProc proc) {
  HookState* state = State().get();
  if (!state) return;
  auto it = std::find_if(state->registrations.begin(), state->registrations.end(),
                         [&](const HookRegistration& r) { return r.proc == proc; });
  if (it == state->registrations.end()) return;
  THookProcCodes codes = it->codes;
  if (--it->refCount == 0) state->registrations.erase(it);
  for (int k = 0; k < hkCount; ++k)
    if (KindNeeded(static_cast<HookKind>(k), codes)) UninstallKind(*state, static_cast<HookKind>(k));
  if (state->registrations.empty()) {
    for (int k = 0; k < hkCount; ++k)
      if (state->hooks[k]) UnhookWindowsHookEx(state->hooks[k]);
    State().reset();
  }
}

int RegisteredHookProcCount() {
  HookState* state = State().get();
  if (!state) return 0;
  int n = 0;
  for (const HookRegistration& r : state->registrations) n += r.refCount;
  return n;
}

int InstalledThreadHookCount() {
  HookState* state = State().get();
  if (!state) return 0;
  return static_cast<int>(std::count_if(std::begin(state->hooks), std::end(state->hooks),
                                        [](HHOOK h) { return h != nullptr; }));
}

bool ApplicationIsActive() { return GetActiveWindow() != nullptr; }

void ListSortEx(TList* list, int (*compare)(void* item1, void* item2, void* extraData), void* extraData) {
  if (!list || list->Count() <= 1) return;
  std::vector<void*> items;
  for (int i = 0; i < list->Count(); ++i) items.push_back(list->Items(i));
  ListSortEx(items, [&](void* a, void* b) { return compare(a, b, extraData); });
  for (int i = 0; i < list->Count(); ++i) list->Put(i, items[static_cast<std::size_t>(i)]);
}

void SelectNCUpdateRgn(HWND window, HDC dc, HRGN region) {
  if (!region || reinterpret_cast<std::uintptr_t>(region) == 1) return;
  RECT r;
  GetWindowRect(window, &r);
  if (SelectClipRgn(dc, region) == ERROR) {
    HRGN whole = CreateRectRgnIndirect(&r);
    SelectClipRgn(dc, whole);
    DeleteObject(whole);
  }
  OffsetClipRgn(dc, -r.left, -r.top);
}

void HandleWMPrint(HWND window, TMessage& message, const TNCPaintFunc& ncPaint) {
  HDC dc = reinterpret_cast<HDC>(message.WParam);
  LPARAM flags = message.LParam;
  message.Result = 1;
  if ((flags & PRF_CHECKVISIBLE) && !IsWindowVisible(window)) return;
  int saved = SaveDC(dc);
  if ((flags & PRF_NONCLIENT) && ncPaint) ncPaint(window, dc);
  RECT windowRect, clientRect;
  GetWindowRect(window, &windowRect);
  GetClientRect(window, &clientRect);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  origin.x -= windowRect.left;
  origin.y -= windowRect.top;
  bool moved = (flags & PRF_NONCLIENT) != 0;
  if (flags & PRF_CLIENT) {
    POINT old;
    if (moved) SetWindowOrgEx(dc, -origin.x, -origin.y, &old);
    if (flags & PRF_ERASEBKGND) SendMessage(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessage(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), flags);
    if (moved) SetWindowOrgEx(dc, old.x, old.y, nullptr);
  }
  if (flags & (PRF_CHILDREN | PRF_OWNED)) {
    // Children are printed each in its own rectangle, relative to this window's client area.
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      if (!(flags & PRF_CHILDREN) || GetParent(child) != window || !IsWindowVisible(child)) continue;
      RECT cr;
      GetWindowRect(child, &cr);
      int x = cr.left - windowRect.left, y = cr.top - windowRect.top;
      int inner = SaveDC(dc);
      POINT old;
      GetWindowOrgEx(dc, &old);
      SetWindowOrgEx(dc, old.x - x, old.y - y, nullptr);
      IntersectClipRect(dc, 0, 0, cr.right - cr.left, cr.bottom - cr.top);
      SendMessage(child, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                  PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
      RestoreDC(dc, inner);
    }
  }
  RestoreDC(dc, saved);
}

void HandleWMPrintClient(TWinControl* control, TMessage& message) {
  HDC dc = reinterpret_cast<HDC>(message.WParam);
  int saved = SaveDC(dc);
  control->Perform(WM_PAINT, message.WParam, 0);
  RestoreDC(dc, saved);
}

}  // namespace tbx
