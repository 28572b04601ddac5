#include "platform/vcl/Application.h"

#include <algorithm>

#include "platform/rtl/CommandLine.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/Dialog.h"
#include "platform/vcl/DragDrop.h"
#include "platform/vcl/HintWindow.h"
#include "platform/vcl/Screen.h"

namespace {

constexpr UINT_PTR kHintTimer = 0x7E01;
constexpr int kHintShow = 1, kHintHide = 2;
constexpr LPCSTR kWindowClass = "TApplication";

TOwnedPtr<TApplication>& Holder() {
  // The window manager is made before the holder, so it is still there when the holder,
  // at the program's end, frees the application and its windows.
  // The screen too: the forms the application frees leave its list.
  static const bool desktop = (GetDesktopWindow(), Screen(), true);
  (void)desktop;
  static TOwnedPtr<TApplication> app;
  return app;
}

// The control whose hint shows for control: the nearest, itself first, that shows hints.
TControl* HintControlOf(TControl* control) {
  while (control && !control->GetShowHint()) control = control->GetParent();
  if (control && control->ComponentState().Contains(csDesigning)) return nullptr;
  return control;
}

AnsiString HintOf(TControl* control) {
  while (control && control->GetHint().empty()) control = control->GetParent();
  return control ? control->GetHint() : AnsiString();
}

}  // namespace

TApplication* Application() {
  auto& holder = Holder();
  if (!holder) holder = MakeObject<TApplication>(nullptr);
  return holder.get();
}

void ResetApplication() { Holder().reset(); }

ELoopStarved::ELoopStarved(AnsiString message) : Exception(std::move(message)) {}
ELoopStarved::~ELoopStarved() = default;

TTaskWindowList DisableTaskWindows(HWND except) {
  TTaskWindowList list;
  EnumWindows([&](HWND w, LPARAM) {
    if (w != except && IsWindowVisible(w) && IsWindowEnabled(w)) list.push_back(w);
    return TRUE;
  }, 0);
  for (HWND w : list) EnableWindow(w, FALSE);
  return list;
}

void EnableTaskWindows(const TTaskWindowList& list) {
  for (HWND w : list)
    if (IsWindow(w)) EnableWindow(w, TRUE);
}

QUILLO_DEFINE_CLASS(TApplication, TComponent)

TApplication::TApplication(TComponent* owner) : TComponent(owner) {}

TApplication::~TApplication() {
  if (!Freed()) TApplication::BeforeDestruction();
}

void TApplication::BeforeDestruction() {
  if (Freed()) return;
  Destroying();
  CancelHint();
  hintWindow_ = nullptr;
  mouseControl_ = nullptr;
  hintControl_ = nullptr;
  DestroyComponents();
  mainForm_ = nullptr;
  if (hook_) UnhookWindowsHookEx(hook_);
  hook_ = nullptr;
  if (handle_ && IsWindow(handle_)) DestroyWindow(handle_);
  handle_ = nullptr;
  TComponent::BeforeDestruction();
}

void TApplication::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == mainForm_) {
    mainForm_ = nullptr;
    if (running_) Terminate();
  }
  if (component == hintWindow_) hintWindow_ = nullptr;
  released_.erase(std::remove(released_.begin(), released_.end(), component), released_.end());
}

void TApplication::HookIfNeeded() {
  if (handle_ && IsWindow(handle_)) return;
  // A fresh desktop: the old window and hook went with the old one.
  if (hook_) UnhookWindowsHookEx(hook_);
  WNDCLASS cls;
  if (!GetClassInfo(nullptr, kWindowClass, &cls)) {
    cls = WNDCLASS{};
    cls.lpfnWndProc = &DefWindowProc;
    cls.lpszClassName = kWindowClass;
    cls.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClass(&cls);
  }
  handle_ = CreateWindowEx(0, kWindowClass, GetTitle().c_str(),
                           WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                           GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr,
                           nullptr, nullptr, nullptr);
  SetWindowProc(handle_, [this](HWND window, UINT msg, WPARAM w, LPARAM l) {
    TMessage m{msg, w, l, 0};
    try {
      WndProc(m);
    } catch (const std::exception&) {
      HandleException(this);
    }
    (void)window;
    return m.Result;
  });
  hook_ = SetWindowsHookEx(WH_GETMESSAGE, [this](int code, WPARAM w, LPARAM l) {
    if (code == HC_ACTION && w == PM_REMOVE && l) PreprocessMessage(*reinterpret_cast<MSG*>(l));
    return CallNextHookEx(hook_, code, w, l);
  }, nullptr, GetCurrentThreadId());
}

HWND TApplication::GetHandle() {
  HookIfNeeded();
  return handle_;
}

AnsiString TApplication::GetTitle() const {
  if (titleSet_) return title_;
  AnsiString name = ExtractFileName(ExeName());
  return ChangeFileExt(name, "");
}

void TApplication::SetTitle(const AnsiString& title) {
  title_ = title;
  titleSet_ = true;
  if (handle_ && IsWindow(handle_)) SetWindowText(handle_, title.c_str());
}

AnsiString TApplication::ExeName() const { return ParamStr(0); }

void TApplication::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_ACTIVATEAPP: AppActivated(m.WParam != 0); return;
    case WM_SYSCOMMAND:
      switch (m.WParam & 0xFFF0) {
        case SC_MINIMIZE: Minimize(); return;
        case SC_RESTORE: Restore(); return;
        case SC_CLOSE:
          if (mainForm_) mainForm_->Close();
          return;
      }
      break;
    case WM_CLOSE:
      if (mainForm_) mainForm_->Close();
      return;
    case WM_TIMER:
      if (m.WParam == kHintTimer) {
        HintTimerExpired();
        return;
      }
      break;
    case CM_RELEASE: {
      auto* form = reinterpret_cast<TCustomForm*>(m.LParam);
      auto it = std::find(released_.begin(), released_.end(), form);
      if (it != released_.end()) {
        released_.erase(it);
        FreeObject(form);
      }
      return;
    }
  }
  m.Result = DefWindowProc(handle_, m.Msg, m.WParam, m.LParam);
}

void TApplication::Run() {
  running_ = true;
  struct Done {
    bool& running;
    ~Done() { running = false; }
  } done{running_};
  if (!mainForm_) return;
  if (mainForm_->GetWindowState() == wsMinimized) Minimize();
  else mainForm_->SetVisible(true);
  do {
    try {
      HandleMessage();
    } catch (const ELoopStarved&) {
      throw;
    } catch (const std::exception&) {
      HandleException(this);
    }
  } while (!terminated_);
}

// A wait that finds nothing returns once, so that the caller can see what the last idle
// action changed (a modal result set by a nested loop); the second such wait in a row raises.
void TApplication::HandleMessage() {
  if (ProcessMessage()) {
    starved_ = false;
    return;
  }
  if (!Idle()) return;
  if (WaitMessage()) {
    starved_ = false;
    return;
  }
  if (starved_) {
    starved_ = false;
    throw ELoopStarved("The message loop waits for input that cannot come");
  }
  starved_ = true;
}

void TApplication::ProcessMessages() {
  while (ProcessMessage()) {
  }
}

bool TApplication::ProcessMessage() {
  MSG msg;
  if (!PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  // The message hook has run the framework's own handling; what it handled comes as WM_NULL.
  if (msg.message != WM_NULL) {
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  return true;
}

void TApplication::PreprocessMessage(MSG& msg) {
  // A menu's own loop takes its keys as they come: no shortcut, dialog or MDI key handling.
  if (MenuLoopOwner()) return;
  bool handled = false;
  if (OnMessage) OnMessage(msg, handled);
  if (!handled && hintActive_) {
    UINT m = msg.message;
    if ((m >= WM_KEYFIRST && m <= WM_KEYLAST) || m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN ||
        m == WM_NCLBUTTONDOWN || m == WM_NCRBUTTONDOWN || m == WM_ACTIVATE || m == WM_MOUSEWHEEL)
      CancelHint();
  }
  if (!handled && DragControl() && msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
    CancelDrag();
    handled = true;
  }
  if (!handled) handled = IsMDIMsg(msg);
  if (!handled) handled = IsKeyMsg(msg);
  if (handled) msg.message = WM_NULL;
}

// The MDI keys (Ctrl+F4, Ctrl+F6, Ctrl+Tab) while an MDI child of the main form is the
// active form; not while another form (a tool window, a dialog) has the keyboard.
bool TApplication::IsMDIMsg(MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  if (!mainForm_ || mainForm_->GetFormStyle() != fsMDIForm || !mainForm_->ClientHandle()) return false;
  TCustomForm* active = Screen()->ActiveForm();
  if (!active || active->GetFormStyle() != fsMDIChild) return false;
  return TranslateMDISysAccel(mainForm_->ClientHandle(), &msg) != FALSE;
}

bool TApplication::IsKeyMsg(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  HWND target = GetCapture();
  if (!target) {
    target = msg.hwnd;
    if (mainForm_ && mainForm_->ClientHandle() && target == mainForm_->ClientHandle()) {
      target = mainForm_->GetHandle();
    } else {
      // The nearest control of the framework in the window's own tree: not the form that owns
      // a window of another kind (a message box or a dialog of the dialog manager, whose own
      // loop this hook runs in too, keeps its keys).
      while (target && !FindControl(target))
        target = (GetWindowLongPtr(target, GWL_STYLE) & WS_CHILD) ? GetParent(target) : nullptr;
      if (!target) return false;
    }
  } else if (!FindControl(target)) {
    return false;
  }
  try {
    return SendMessage(target, CN_BASE + msg.message, msg.wParam, msg.lParam) != 0;
  } catch (const std::exception&) {
    HandleException(this);
    return true;
  }
}

void TApplication::Terminate() {
  terminated_ = true;
  PostQuitMessage(0);
}

void TApplication::Minimize() {
  if (minimized_) return;
  minimized_ = true;
  hiddenByMinimize_.clear();
  for (int i = 0; i < Screen()->FormCount(); ++i) {
    TCustomForm* f = Screen()->Forms(i);
    if (f->HandleAllocated() && IsWindowVisible(f->GetHandle()) && f->GetFormStyle() != fsMDIChild) {
      hiddenByMinimize_.push_back(f->GetHandle());
    }
  }
  for (HWND w : hiddenByMinimize_) ShowWindow(w, SW_HIDE);
  ShowWindow(GetHandle(), SW_SHOWMINNOACTIVE);
  if (OnMinimize) OnMinimize(this);
}

void TApplication::Restore() {
  if (!minimized_) return;
  minimized_ = false;
  // The icon goes, and the hidden window is no longer minimised either: hiding alone would
  // leave it iconic. Un-minimised while hidden, so it neither shows nor takes activation.
  HWND h = GetHandle();
  ShowWindow(h, SW_HIDE);
  if (IsIconic(h)) {
    WINDOWPLACEMENT placement{};
    GetWindowPlacement(h, &placement);
    SetWindowLongPtr(h, GWL_STYLE, GetWindowLongPtr(h, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_MINIMIZE));
    const RECT& r = placement.rcNormalPosition;
    SetWindowPos(h, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  std::vector<HWND> windows;
  windows.swap(hiddenByMinimize_);
  for (auto it = windows.rbegin(); it != windows.rend(); ++it)
    if (IsWindow(*it)) ShowWindow(*it, SW_SHOWNA);
  if (mainForm_ && mainForm_->HandleAllocated() && IsWindowVisible(mainForm_->GetHandle()))
    SetActiveWindow(mainForm_->GetHandle());
  if (OnRestore) OnRestore(this);
}

void TApplication::AppActivated(bool active) {
  if (active == active_) return;
  active_ = active;
  if (!active) CancelHint();
  if (active && OnActivate) OnActivate(this);
  if (!active && OnDeactivate) OnDeactivate(this);
}

void TApplication::HandleException(TObject* sender) {
  if (HWND capture = GetCapture()) SendMessage(capture, WM_CANCELMODE, 0, 0);
  try {
    throw;
  } catch (const EAbort&) {
  } catch (const ELoopStarved&) {
    throw;
  } catch (const std::exception& e) {
    if (OnException) OnException(sender, e);
    else ShowException(e);
  }
}

void TApplication::ShowException(const std::exception& e) {
  AnsiString text = e.what();
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  MessageBox(text, GetTitle(), MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const AnsiString& text, const AnsiString& caption, UINT flags) {
  HWND activeWindow = GetActiveWindow();
  TTaskWindowList disabled = DisableTaskWindows(nullptr);
  int answer = 0;
  try {
    answer = ::MessageBox(activeWindow, text.c_str(), caption.c_str(), flags);
  } catch (...) {
    EnableTaskWindows(disabled);
    throw;
  }
  EnableTaskWindows(disabled);
  if (activeWindow && IsWindow(activeWindow)) SetActiveWindow(activeWindow);
  return answer;
}

void TApplication::NormalizeTopMosts() {
  if (topMostLevel_++ > 0) return;
  normalizedTopMosts_.clear();
  EnumWindows(
      [this](HWND window, LPARAM) {
        if (IsWindowVisible(window) && (GetWindowLong(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0)
          normalizedTopMosts_.push_back(window);
        return TRUE;
      },
      0);
  for (HWND window : normalizedTopMosts_)
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TApplication::RestoreTopMosts() {
  if (topMostLevel_ == 0 || --topMostLevel_ > 0) return;
  for (HWND window : normalizedTopMosts_)
    if (IsWindow(window)) SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  normalizedTopMosts_.clear();
}

void TApplication::ReleaseLater(TCustomForm* form) {
  if (std::find(released_.begin(), released_.end(), form) == released_.end()) released_.push_back(form);
  PostMessage(GetHandle(), CM_RELEASE, 0, reinterpret_cast<LPARAM>(form));
}

bool TApplication::Idle() {
  POINT p;
  GetCursorPos(&p);
  TControl* under = FindDragTarget(p, true);
  SetMouseControl(under);
  if (showHint_ && !under) CancelHint();
  SetHint(GetLongHint(HintOf(GetCaptureControl() ? GetCaptureControl() : under)));
  bool done = true;
  if (OnIdle) OnIdle(this, done);
  return done;
}

void TApplication::SetHint(const AnsiString& hint) {
  if (hint == hint_) return;
  hint_ = hint;
  if (OnHint) OnHint(this);
}

void TApplication::SetShowHint(bool value) {
  showHint_ = value;
  if (!value) CancelHint();
}

void TApplication::SetMouseControl(TControl* control) {
  if (control == mouseControl_) return;
  TControl* old = mouseControl_;
  mouseControl_ = control;
  if (old) old->Perform(CM_MOUSELEAVE, 0, 0);
  if (control && mouseControl_ == control) control->Perform(CM_MOUSEENTER, 0, 0);
}

void TApplication::HintMouseMessage(TControl* control, TMessage& m) {
  TPoint screen = control->ClientToScreen(TPoint(m.LParamLo(), m.LParamHi()));
  TControl* under = FindDragTarget(screen, true);
  SetMouseControl(under);
  SetHint(GetLongHint(HintOf(under)));
  TControl* hintControl = HintControlOf(under);
  if (!showHint_ || !hintControl) {
    CancelHint();
    return;
  }
  if (hintControl == hintControl_) return;
  bool wasActive = hintActive_;
  CancelHint();
  hintActive_ = wasActive;
  hintControl_ = hintControl;
  StartHintTimer(wasActive ? HintShortPause : HintPause);
  hintTimerKind_ = kHintShow;
}

void TApplication::MouseLeftWindow(TWinControl* control) {
  if (mouseControl_ && (mouseControl_ == control || control->ContainsControl(mouseControl_))) {
    POINT p;
    GetCursorPos(&p);
    TControl* under = FindDragTarget(p, true);
    SetMouseControl(under);
    if (!under || !control->ContainsControl(under)) CancelHint();
  }
}

void TApplication::ControlDestroyed(TControl* control) {
  if (mouseControl_ == control) mouseControl_ = nullptr;
  if (hintControl_ == control) CancelHint();
}

void TApplication::StartHintTimer(int delay) {
  StopHintTimer();
  hintTimer_ = SetTimer(GetHandle(), kHintTimer, static_cast<UINT>(std::max(1, delay)), nullptr);
}

void TApplication::StopHintTimer() {
  if (hintTimer_ && handle_ && IsWindow(handle_)) KillTimer(handle_, kHintTimer);
  hintTimer_ = 0;
}

void TApplication::HintTimerExpired() {
  StopHintTimer();
  if (hintTimerKind_ == kHintHide) {
    CancelHint();
    return;
  }
  POINT p;
  GetCursorPos(&p);
  ActivateHint(p);
}

void TApplication::ActivateHint(const TPoint& cursorPos) {
  TControl* under = FindDragTarget(cursorPos, true);
  TControl* control = HintControlOf(under);
  if (!control || control != hintControl_) {
    CancelHint();
    return;
  }
  AnsiString text = GetShortHint(HintOf(control));
  bool canShow = true;
  if (OnShowHint) OnShowHint(text, canShow, control);
  hintActive_ = canShow;
  if (!canShow || text.empty()) return;
  if (!hintWindow_) {
    hintWindow_ = NewComponent<THintWindow>(this);
    hintWindow_->SetColor(HintColor);
  }
  TRect r = hintWindow_->CalcHintRect(Screen()->GetWidth(), text);
  int x = cursorPos.x, y = cursorPos.y + GetSystemMetrics(SM_CYCURSOR) * 3 / 4;
  x = std::min(x, Screen()->GetWidth() - r.Width());
  y = std::min(y, Screen()->GetHeight() - r.Height());
  hintWindow_->ActivateHint(Bounds(std::max(0, x), std::max(0, y), r.Width(), r.Height()), text);
  StartHintTimer(HintHidePause);
  hintTimerKind_ = kHintHide;
}

void TApplication::CancelHint() {
  hintControl_ = nullptr;
  hintActive_ = false;
  StopHintTimer();
  if (hintWindow_) hintWindow_->ReleaseHandle();
}
