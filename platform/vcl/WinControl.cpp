#include "platform/vcl/WinControl.h"

#include <algorithm>

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/GraphicControl.h"
#include "platform/vcl/Screen.h"

namespace {

// F1 that no key handler took: the application's help for the control, or for its nearest
// parent with a help context (a page of a page control, then the form). False when none has
// one or no help was shown.
bool ShowHelpOf(TControl* control) {
  for (; control; control = control->GetParent())
    if (control->GetHelpContext() != 0) return Application()->HelpContext(control->GetHelpContext());
  return false;
}

constexpr const char* kControlProp = "QuilloControl";
// The control whose window is being made: its window's first message binds the two.
TWinControl* gCreationControl = nullptr;
TControl* gCaptureControl = nullptr;

}  // namespace

TControl* GetCaptureControl() {
  if (gCaptureControl && GetCapture() == nullptr) gCaptureControl = nullptr;
  return gCaptureControl;
}

void SetCaptureControl(TControl* control) {
  gCaptureControl = nullptr;
  ReleaseCapture();
  if (!control) return;
  if (auto* win = dynamic_cast<TWinControl*>(control)) {
    SetCapture(win->GetHandle());
  } else if (control->GetParent()) {
    SetCapture(control->GetParent()->GetHandle());
  } else {
    return;
  }
  gCaptureControl = control;
}

TWinControl* FindControl(HWND window) {
  if (!window || !IsWindow(window)) return nullptr;
  return static_cast<TWinControl*>(GetProp(window, kControlProp));
}

QUILLO_DEFINE_PUBLISHED_CLASS(TWinControl, TControl)

const TPropTable* TWinControl::PublishedProperties() {
  static const TPropTable table = TPublisher<TWinControl>()
                                      .Property("TabOrder", &TWinControl::GetTabOrder, &TWinControl::SetTabOrder)
                                      .Property("TabStop", &TWinControl::GetTabStop, &TWinControl::SetTabStop)
                                      .Table();
  return &table;
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner), brush_(MakeObject<TBrush>()) {
  brush_->SetColor(color_);
  instanceProc_ = WNDPROC([this](HWND, UINT msg, WPARAM w, LPARAM l) {
    TMessage m{msg, w, l, 0};
    MainWndProc(m);
    return m.Result;
  });
}

TWinControl::~TWinControl() {
  if (!Freed()) TWinControl::BeforeDestruction();
}

void TWinControl::BeforeDestruction() {
  Destroying();
  // The children go first, while this control is whole: a child is freed with its parent,
  // whoever owns it, and leaves its owner's list as it goes.
  while (!controls_.empty()) {
    TControl* child = controls_.back();
    RemoveControl(child);
    FreeObject(child);
  }
  DestroyHandle();
  TControl::BeforeDestruction();
}

void TWinControl::Loaded() {
  TControl::Loaded();
  TCustomForm* form = GetParentForm(this);
  if (!form || !form->FormState().Contains(fsCreating)) Realign();
}

void TWinControl::MainWndProc(TMessage& m) {
  // Contexts that canvases asked for while handling a message are given back once the
  // outermost message is done; a nested one's end would pull them from under its sender.
  static thread_local int depth = 0;
  struct DepthGuard {
    DepthGuard() { ++depth; }
    ~DepthGuard() {
      if (--depth == 0) FreeDeviceContexts();
    }
  } guard;
  // Keeps the forms holding this control from being freed under the handler.
  TFormHandlerScope formScope(this);
  try {
    WindowProc(m);
  } catch (const std::exception&) {
    Application()->HandleException(this);
  }
}

HWND TWinControl::GetHandle() {
  HandleNeeded();
  return handle_;
}

void TWinControl::HandleNeeded() {
  if (handle_) return;
  if (parent_) parent_->HandleNeeded();
  CreateHandle();
}

void TWinControl::SetParentWindow(HWND window) {
  if (parent_ || window == parentWindow_) return;
  if (handle_ && window) {
    ::SetParent(handle_, window);
  } else {
    DestroyHandle();
  }
  parentWindow_ = window;
  UpdateControlState();
}

void TWinControl::CreateParams(TCreateParams& p) {
  p = TCreateParams{};
  p.Caption = text_;
  p.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (controlStyle_.Contains(csAcceptsControls)) p.Style |= WS_CLIPCHILDREN;
  if (!ComponentState().Contains(csDesigning) && !enabled_) p.Style |= WS_DISABLED;
  if (tabStop_) p.Style |= WS_TABSTOP;
  p.X = left_;
  p.Y = top_;
  p.Width = width_;
  p.Height = height_;
  // Measuring the frame needs no window: the parents' are not made for it.
  p.WndParent = measuring_ ? nullptr : parent_ ? parent_->GetHandle() : parentWindow_;
  p.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  p.WindowClass.lpfnWndProc = &DefWindowProc;
  p.WindowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  p.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& p, const char* className) {
  WNDCLASS cls;
  if (className && GetClassInfo(nullptr, className, &cls)) {
    p.WindowClass.lpfnWndProc = cls.lpfnWndProc;
    p.WindowClass.style = cls.style & ~CS_GLOBALCLASS;
    p.WindowClass.hCursor = cls.hCursor;
    p.WindowClass.hbrBackground = cls.hbrBackground;
  }
}

LRESULT TWinControlInitWndProc(HWND window, UINT msg, WPARAM w, LPARAM l);

void TWinControl::CreateWnd() {
  TCreateParams p;
  CreateParams(p);
  if (!p.WndParent && (p.Style & WS_CHILD)) throw EInvalidOperation(Format(VclText::ParentRequired, GetName().c_str()));
  DefWndProc = p.WindowClass.lpfnWndProc;
  WNDCLASS existing;
  bool registered = GetClassInfo(nullptr, p.WinClassName.c_str(), &existing);
  if (!registered || !(existing.lpfnWndProc == WNDPROC(&TWinControlInitWndProc))) {
    if (registered) UnregisterClass(p.WinClassName.c_str(), nullptr);
    WNDCLASS cls = p.WindowClass;
    cls.lpfnWndProc = &TWinControlInitWndProc;
    cls.lpszClassName = p.WinClassName.c_str();
    RegisterClass(&cls);
  }
  gCreationControl = this;
  try {
    CreateWindowHandle(p);
  } catch (...) {
    gCreationControl = nullptr;
    throw;
  }
  gCreationControl = nullptr;
  if (!handle_) throw EOSError(Format("Cannot create the window of %s", GetName().c_str()));
  text_.clear();
  UpdateBounds();
  // The window draws its text in the control's font (a window class of the system keeps it).
  Perform(WM_SETFONT, reinterpret_cast<WPARAM>(GetFont()->GetHandle()), TRUE);
}

void TWinControl::CreateWindowHandle(const TCreateParams& p) {
  CreateWindowEx(p.ExStyle, p.WinClassName.c_str(), p.Caption.c_str(), p.Style, p.X, p.Y, p.Width, p.Height,
                 p.WndParent, nullptr, nullptr, p.Param);
}

// The class procedure of every framework window: the first message binds the window to the
// control being made and passes on to the control's own procedure.
LRESULT TWinControlInitWndProc(HWND window, UINT msg, WPARAM w, LPARAM l) {
  TWinControl* control = gCreationControl;
  if (!control) return DefWindowProc(window, msg, w, l);
  gCreationControl = nullptr;
  control->AttachHandle(window);
  return CallWindowProc(GetWindowProc(window), window, msg, w, l);
}

void TWinControl::AttachHandle(HWND window) {
  handle_ = window;
  SetProp(window, kControlProp, this);
  SetWindowProc(window, instanceProc_);
}

void TWinControl::CreateHandle() {
  if (handle_) return;
  Application()->HookIfNeeded();
  CreateWnd();
  if (parent_) SetWindowPos(handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  for (TControl* c : controls_) c->UpdateAnchorRules();
}

void TWinControl::DestroyHandle() {
  if (!handle_) return;
  for (TControl* c : controls_)
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyHandle();
  DestroyWnd();
}

void TWinControl::DestroyWnd() {
  if (!handle_) return;
  text_ = GetText();
  DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
  HWND h = handle_;
  controlState_ << csDestroyingHandle;
  FreeDeviceContexts(h);
  if (IsWindow(h)) {
    RemoveProp(h, kControlProp);
    DestroyWindow(h);
  }
  controlState_ >> csDestroyingHandle;
  handle_ = nullptr;
  showing_ = false;
}

void TWinControl::RecreateWnd() {
  if (handle_) Perform(CM_RECREATEWND, 0, 0);
}

void TWinControl::CMRecreateWnd(TMessage&) {
  bool wasFocused = Focused();
  DestroyHandle();
  UpdateControlState();
  if (wasFocused && handle_) ::SetFocus(handle_);
}

AnsiString TWinControl::GetTextBuffer() const {
  if (!handle_) return text_;
  int n = GetWindowTextLength(handle_);
  std::string s(static_cast<size_t>(n) + 1, '\0');
  GetWindowText(handle_, s.data(), n + 1);
  s.resize(static_cast<size_t>(n));
  return s;
}

void TWinControl::SetTextBuffer(const AnsiString& text) {
  if (handle_) SetWindowText(handle_, text.c_str());
  else text_ = text;
}

void TWinControl::UpdateShowing() {
  bool show = visible_ && !controlState_.Contains(csReadingState) && !ComponentState().Contains(csDestroying);
  if (show) {
    if (!handle_) CreateHandle();
    for (TControl* c : controls_)
      if (auto* w = dynamic_cast<TWinControl*>(c)) w->UpdateShowing();
  }
  if (handle_ && showing_ != show) {
    showing_ = show;
    try {
      Perform(CM_SHOWINGCHANGED, 0, 0);
    } catch (...) {
      showing_ = !show;
      throw;
    }
  }
}

void TWinControl::UpdateControlState() {
  TWinControl* top = this;
  while (top->parent_) {
    top = top->parent_;
    if (!top->Showing()) return;
  }
  if (dynamic_cast<TCustomForm*>(top) || top->parentWindow_) UpdateShowing();
}

void TWinControl::CMShowingChanged(TMessage&) {
  constexpr UINT flags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  SetWindowPos(handle_, nullptr, 0, 0, 0, 0, flags | (showing_ ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::CMVisibleChanged(TMessage&) {
  if (!visible_ && parent_) RemoveFocus(false);
  UpdateControlState();
}

void TWinControl::CMEnabledChanged(TMessage&) {
  if (!enabled_ && parent_) RemoveFocus(false);
  if (handle_) EnableWindow(handle_, enabled_);
}

void TWinControl::CMColorChanged(TMessage&) {
  brush_->SetColor(color_);
  NotifyControls(CM_PARENTCOLORCHANGED);
  Invalidate();
}

void TWinControl::FontChanged() { TControl::FontChanged(); }

void TWinControl::CMFontChanged(TMessage&) {
  if (handle_) Perform(WM_SETFONT, reinterpret_cast<WPARAM>(GetFont()->GetHandle()), TRUE);
  NotifyControls(CM_PARENTFONTCHANGED);
  Invalidate();
}

TControl* TWinControl::Controls(int index) const {
  if (index < 0 || index >= ControlCount()) throw EListError(Format(RtlText::ListIndexError, index));
  return controls_[static_cast<size_t>(index)];
}

void TWinControl::InsertControl(TControl* control) {
  if (!control || control->parent_ == this) return;
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), TRUE);
  controls_.push_back(control);
  control->parent_ = this;
  if (auto* w = dynamic_cast<TWinControl*>(control)) tabList_.push_back(w);
  if (!control->ComponentState().Contains(csReading)) {
    control->Perform(CM_PARENTCOLORCHANGED, 0, 0);
    control->Perform(CM_PARENTFONTCHANGED, 0, 0);
    control->Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
    if (auto* w = dynamic_cast<TWinControl*>(control)) w->UpdateControlState();
    else if (handle_) control->Invalidate();
    control->UpdateAnchorRules();
    AlignControl(control);
  }
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(control), TRUE);
}

void TWinControl::RemoveControl(TControl* control) {
  if (!control || control->parent_ != this) return;
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(control), FALSE);
  if (GetCaptureControl() == control) SetCaptureControl(nullptr);
  if (auto* w = dynamic_cast<TWinControl*>(control)) {
    w->RemoveFocus(true);
    w->DestroyHandle();
    tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), w), tabList_.end());
  } else if (handle_) {
    control->InvalidateControl(control->visible_, false);
  }
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
  control->parent_ = nullptr;
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), FALSE);
  Realign();
}

bool TWinControl::ContainsControl(const TControl* control) const {
  for (const TControl* c = control; c; c = c->GetParent())
    if (c == this) return true;
  return false;
}

TControl* TWinControl::ControlAtPos(const TPoint& pos, bool allowDisabled, bool allowWinControls) const {
  auto hit = [&](TControl* c) {
    if (!c->GetVisible() || (!allowDisabled && !c->GetEnabled())) return false;
    TRect r = c->GetBoundsRect();
    if (pos.x < r.left || pos.x >= r.right || pos.y < r.top || pos.y >= r.bottom) return false;
    TMessage m{CM_HITTEST, 0, MAKELPARAM(pos.x - r.left, pos.y - r.top), 0};
    c->WindowProc(m);
    return m.Result != 0;
  };
  if (allowWinControls) {
    // Windows lie above the windowless children; the topmost window first.
    if (handle_)
      for (HWND w = GetWindow(handle_, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        TWinControl* c = FindControl(w);
        if (c && c->parent_ == this && hit(c)) return c;
      }
  }
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
    if (!dynamic_cast<TWinControl*>(*it) && hit(*it)) return *it;
  return nullptr;
}

TWinControl* TWinControl::FindChildControl(const AnsiString& name) const {
  for (TControl* c : controls_)
    if (auto* w = dynamic_cast<TWinControl*>(c); w && SameText(w->GetName(), name)) return w;
  return nullptr;
}

void TWinControl::Broadcast(TMessage& m) {
  std::vector<TControl*> children = controls_;
  for (TControl* c : children) {
    c->WindowProc(m);
    if (m.Result != 0) return;
  }
}

void TWinControl::NotifyControls(UINT msg) {
  TMessage m{msg, 0, 0, 0};
  std::vector<TControl*> children = controls_;
  for (TControl* c : children) c->WindowProc(m);
}

TRect TWinControl::GetClientRect() const {
  if (handle_) {
    RECT r;
    ::GetClientRect(handle_, &r);
    return r;
  }
  // No window yet: the frame its window will have, from the style it will be made with.
  TCreateParams p;
  measuring_ = true;
  const_cast<TWinControl*>(this)->CreateParams(p);
  measuring_ = false;
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, p.Style, HasMenuBar(), p.ExStyle);
  return TRect(0, 0, std::max(0, width_ - (frame.right - frame.left)), std::max(0, height_ - (frame.bottom - frame.top)));
}

TPoint TWinControl::ClientOrigin() const {
  if (handle_) {
    POINT p{0, 0};
    ::ClientToScreen(handle_, &p);
    return p;
  }
  return TControl::ClientOrigin();
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  if (!CanResize(width, height)) {
    width = width_;
    height = height_;
  }
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  if (handle_ && !IsIconic(handle_)) {
    SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    bool sized = width != width_ || height != height_;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (sized) {
      Realign();
      if (!ComponentState().Contains(csLoading)) Resize();
    }
  }
  UpdateAnchorRules();
  RequestAlign();
}

void TWinControl::UpdateBounds() {
  if (!handle_) return;
  RECT r;
  if (IsIconic(handle_)) {
    WINDOWPLACEMENT wp;
    GetWindowPlacement(handle_, &wp);
    r = wp.rcNormalPosition;
  } else {
    GetWindowRect(handle_, &r);
    if (GetWindowLong(handle_, GWL_STYLE) & WS_CHILD) {
      if (HWND p = ::GetParent(handle_)) {
        POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
        ::ScreenToClient(p, &corners[0]);
        ::ScreenToClient(p, &corners[1]);
        r = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
      }
    }
  }
  UpdateBoundsRect(r);
}

void TWinControl::Invalidate() {
  if (handle_) InvalidateRect(handle_, nullptr, !controlStyle_.Contains(csOpaque));
}

void TWinControl::Update() {
  if (handle_) UpdateWindow(handle_);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

void TWinControl::SetZOrder(bool topMost) {
  if (handle_) SetWindowPos(handle_, topMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  TControl::SetZOrder(topMost);
}

void TWinControl::SetChildOrder(TControl* child, bool top) {
  auto it = std::find(controls_.begin(), controls_.end(), child);
  if (it == controls_.end()) return;
  controls_.erase(it);
  if (top) controls_.push_back(child);
  else controls_.insert(controls_.begin(), child);
  if (!dynamic_cast<TWinControl*>(child)) child->Invalidate();
}

void TWinControl::ShowControl(TControl*) {
  if (parent_) parent_->ShowControl(this);
}

void TWinControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_SETFOCUS:
      if (TCustomForm* form = GetParentForm(this); form && !form->SetFocusedControl(this)) return;
      break;
    case WM_KILLFOCUS:
      if (controlState_.Contains(csFocusing)) return;
      break;
    case WM_NCHITTEST:
      TControl::WndProc(m);
      if (m.Result == HTTRANSPARENT &&
          ControlAtPos(ScreenToClient(TPoint(m.LParamLo(), m.LParamHi())), false))
        m.Result = HTCLIENT;
      return;
    case WM_MOUSELEAVE:
      Application()->MouseLeftWindow(this);
      break;
    case WM_CANCELMODE:
      if (handle_ && GetCapture() == handle_ && gCaptureControl && gCaptureControl->GetParent() == this)
        gCaptureControl->Perform(WM_CANCELMODE, 0, 0);
      break;
  }
  if (m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST && m.Msg != WM_MOUSEWHEEL) {
    if (m.Msg == WM_MOUSEMOVE && handle_) {
      TRACKMOUSEEVENT track;
      track.dwFlags = TME_LEAVE;
      track.hwndTrack = handle_;
      TrackMouseEvent(&track);
    }
    if (IsControlMouseMsg(m)) return;
  }
  if (m.Msg >= WM_KEYFIRST && m.Msg <= WM_KEYLAST && Dragging()) return;
  TControl::WndProc(m);
}

bool TWinControl::IsControlMouseMsg(TMessage& m) {
  TControl* control = nullptr;
  TPoint p(m.LParamLo(), m.LParamHi());
  if (handle_ && GetCapture() == handle_) {
    if (gCaptureControl && gCaptureControl->GetParent() == this) control = gCaptureControl;
  } else {
    control = ControlAtPos(p, false);
  }
  if (!control) return false;
  m.Result = control->Perform(m.Msg, m.WParam, MAKELPARAM(p.x - control->GetLeft(), p.y - control->GetTop()));
  return true;
}

void TWinControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT: WMPaint(m); return;
    case WM_ERASEBKGND: WMEraseBkgnd(m); return;
    case WM_SIZE: WMSize(m); return;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(m); return;
    case WM_SETCURSOR: WMSetCursor(m); return;
    case WM_NCDESTROY: WMNCDestroy(m); return;
    case WM_SETFOCUS: WMSetFocus(m); return;
    case WM_KILLFOCUS: WMKillFocus(m); return;
    case WM_MOUSEWHEEL: WMMouseWheel(m); return;
    case WM_KEYDOWN: case WM_SYSKEYDOWN:
      if (DoKeyDown(m)) return;
      if (m.Msg == WM_KEYDOWN && m.WParam == VK_F1 && ShowHelpOf(this)) return;
      DefaultHandler(m);
      return;
    case WM_KEYUP: case WM_SYSKEYUP:
      if (!DoKeyUp(m)) DefaultHandler(m);
      return;
    case WM_CHAR:
      if (!DoKeyPress(m)) DefaultHandler(m);
      return;
    case WM_COMMAND: case WM_NOTIFY: case WM_HSCROLL: case WM_VSCROLL: case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORSTATIC: case WM_CTLCOLORSCROLLBAR:
      ReflectNotification(m);
      return;
    case WM_DRAWITEM: case WM_MEASUREITEM: case WM_DELETEITEM: case WM_COMPAREITEM:
      ReflectOwnerItem(m);
      return;
    case CM_SHOWINGCHANGED: CMShowingChanged(m); return;
    case CM_VISIBLECHANGED: CMVisibleChanged(m); return;
    case CM_ENABLEDCHANGED: CMEnabledChanged(m); return;
    case CM_COLORCHANGED: CMColorChanged(m); return;
    case CM_FONTCHANGED: CMFontChanged(m); return;
    case CM_DIALOGKEY: CMDialogKey(m); return;
    case CM_DIALOGCHAR: CMDialogChar(m); return;
    case CM_FOCUSCHANGED: Broadcast(m); return;  // buttons and labels follow the focus
    case CM_RECREATEWND: CMRecreateWnd(m); return;
    case CM_INVALIDATE: CMInvalidate(m); return;
    case CM_ENTER: DoEnter(); return;
    case CM_EXIT: DoExit(); return;
    case CM_CHILDKEY:
      if (parent_) m.Result = parent_->Perform(m.Msg, m.WParam, m.LParam);
      return;
    case CN_KEYDOWN: case CN_SYSKEYDOWN: CNKeyDown(m); return;
    case CN_CHAR: CNChar(m); return;
    case CN_SYSCHAR: CNSysChar(m); return;
  }
  TControl::Dispatch(m);
}

void TWinControl::DefaultHandler(TMessage& m) {
  if (!handle_) {
    TControl::DefaultHandler(m);
    return;
  }
  m.Result = CallWindowProc(DefWndProc ? DefWndProc : WNDPROC(&DefWindowProc), handle_, m.Msg, m.WParam, m.LParam);
}

void TWinControl::ReflectNotification(TMessage& m) {
  HWND from = reinterpret_cast<HWND>(m.LParam);
  if (m.Msg == WM_NOTIFY && m.LParam) from = *reinterpret_cast<const HWND*>(m.LParam);  // the header's first field
  TWinControl* child = from && from != handle_ ? FindControl(from) : nullptr;
  if (child) {
    m.Result = child->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
    return;
  }
  DefaultHandler(m);
}

void TWinControl::ReflectOwnerItem(TMessage& m) {
  // The item's window is named in the record; a measure names only the control ID.
  HWND from = nullptr;
  switch (m.Msg) {
    case WM_DRAWITEM:
      if (auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam); d && d->CtlType != ODT_MENU) from = d->hwndItem;
      break;
    case WM_DELETEITEM:
      if (auto* d = reinterpret_cast<const DELETEITEMSTRUCT*>(m.LParam)) from = d->hwndItem;
      break;
    case WM_COMPAREITEM:
      if (auto* c = reinterpret_cast<const COMPAREITEMSTRUCT*>(m.LParam)) from = c->hwndItem;
      break;
    case WM_MEASUREITEM:
      if (auto* mi = reinterpret_cast<const MEASUREITEMSTRUCT*>(m.LParam); mi && mi->CtlType != ODT_MENU && mi->CtlID != 0 && handle_)
        from = GetDlgItem(handle_, static_cast<int>(mi->CtlID));
      break;
  }
  TWinControl* child = from && from != handle_ ? FindControl(from) : nullptr;
  if (child) {
    m.Result = child->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
    return;
  }
  DefaultHandler(m);
}

void TWinControl::WMPaint(TMessage& m) { PaintHandler(m); }

void TWinControl::PaintHandler(TMessage& m) {
  PAINTSTRUCT ps;
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  if (!dc) dc = BeginPaint(handle_, &ps);
  if (!dc) return;
  int saved = SaveDC(dc);
  // Opaque windowless children paint their whole rectangle: the window leaves it to them.
  for (TControl* c : controls_)
    if (!dynamic_cast<TWinControl*>(c) && c->GetVisible() && c->ControlStyle().Contains(csOpaque)) {
      TRect r = c->GetBoundsRect();
      ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
    }
  PaintWindow(dc);
  RestoreDC(dc, saved);
  PaintControls(dc, nullptr);
  if (!m.WParam) EndPaint(handle_, &ps);
}

void TWinControl::PaintWindow(HDC dc) {
  // A window of a system class paints itself on the context it is given.
  if (!(DefWndProc == WNDPROC(&DefWindowProc))) {
    TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
    DefaultHandler(m);
  }
}

void TWinControl::PaintControls(HDC dc, TControl* first) {
  auto it = first ? std::find(controls_.begin(), controls_.end(), first) : controls_.begin();
  std::vector<TControl*> painting(it, controls_.end());
  for (TControl* c : painting) {
    if (dynamic_cast<TWinControl*>(c) || !c->GetVisible()) continue;
    TRect r = c->GetBoundsRect();
    if (!RectVisible(dc, &r)) continue;
    int saved = SaveDC(dc);
    OffsetViewportOrgEx(dc, r.left, r.top, nullptr);
    IntersectClipRect(dc, 0, 0, r.Width(), r.Height());
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    RestoreDC(dc, saved);
  }
}

void TWinControl::WMEraseBkgnd(TMessage& m) {
  RECT r = GetClientRect();
  FillRect(reinterpret_cast<HDC>(m.WParam), &r, brush_->GetHandle());
  m.Result = 1;
}

void TWinControl::WMSize(TMessage& m) {
  UpdateBounds();
  DefaultHandler(m);
  Realign();
}

void TWinControl::WMWindowPosChanged(TMessage& m) {
  DefaultHandler(m);  // WM_MOVE and WM_SIZE come from here
  if (!controlState_.Contains(csDestroyingHandle)) UpdateBounds();
}

void TWinControl::WMSetCursor(TMessage& m) {
  if (reinterpret_cast<HWND>(m.WParam) == handle_ && LOWORD(m.LParam) == HTCLIENT) {
    TCursor cursor = Screen()->GetCursor();
    if (cursor == crDefault) {
      POINT p;
      GetCursorPos(&p);
      TControl* c = ControlAtPos(ScreenToClient(p), false);
      cursor = c ? c->GetCursor() : GetCursor();
    }
    if (cursor != crDefault) {
      ::SetCursor(Screen()->Cursors(cursor));
      m.Result = 1;
      return;
    }
  }
  DefaultHandler(m);
}

void TWinControl::WMNCDestroy(TMessage& m) {
  DefaultHandler(m);
  handle_ = nullptr;
  showing_ = false;
}

void TWinControl::WMSetFocus(TMessage& m) { DefaultHandler(m); }

void TWinControl::WMKillFocus(TMessage& m) { DefaultHandler(m); }

namespace {
// Set while a wheel turn no handler took goes to the windows' defaults: a window class that
// does not use it hands it to its parent window through DefWindowProc, and the parents'
// handlers have already been asked.
bool gWheelHandlersAsked = false;
}  // namespace

// The focused window's wheel: the handlers of it and its parents up to the form (CM_MOUSEWHEEL)
// first; then the control's own use (a scrolling control scrolls), then its window class (a
// memo or list scrolls itself), which passes what it does not use on to the parent window.
void TWinControl::WMMouseWheel(TMessage& m) {
  if (!gWheelHandlersAsked) {
    TMessage cm{CM_MOUSEWHEEL, m.WParam, m.LParam, 0};
    WindowProc(cm);
    if (cm.Result != 0) {
      m.Result = cm.Result;
      return;
    }
  }
  const bool asked = gWheelHandlersAsked;
  gWheelHandlersAsked = true;
  struct Restore {
    bool value;
    ~Restore() { gWheelHandlersAsked = value; }
  } restore{asked};
  if (MouseWheelDefault(m)) return;
  DefaultHandler(m);
}

bool TWinControl::MouseWheelDefault(TMessage&) { return false; }

void TWinControl::CMInvalidate(TMessage&) { Invalidate(); }

// A shortcut of a popup menu of the control or one of its parents, or of the form's menu.
bool TWinControl::IsMenuKey(TMessage& m) {
  if (ComponentState().Contains(csDesigning)) return false;
  for (TControl* control = this; control; control = control->GetParent())
    if (TPopupMenu* popup = control->GetPopupMenu(); popup && popup->IsShortCut(m)) return true;
  TCustomForm* form = GetParentForm(this);
  return form && form->IsShortCut(m);
}

void TWinControl::CNKeyDown(TMessage& m) {
  m.Result = 1;
  if (IsMenuKey(m)) return;
  if (!ComponentState().Contains(csDesigning)) {
    if (Perform(CM_CHILDKEY, m.WParam, reinterpret_cast<LPARAM>(this)) != 0) return;
    LRESULT mask = 0;
    switch (m.WParam) {
      case VK_TAB: mask = DLGC_WANTTAB; break;
      case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: mask = DLGC_WANTARROWS; break;
      case VK_RETURN: case VK_ESCAPE: case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
    }
    TCustomForm* form = GetParentForm(this);
    if (mask && Perform(CM_WANTSPECIALKEY, m.WParam, m.LParam) == 0 && (Perform(WM_GETDLGCODE, 0, 0) & mask) == 0 &&
        form && form->Perform(CM_DIALOGKEY, m.WParam, m.LParam) != 0)
      return;
  }
  m.Result = 0;
}

void TWinControl::CNChar(TMessage& m) {
  m.Result = 1;
  TCustomForm* form = GetParentForm(this);
  if ((Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS) == 0 && form &&
      form->Perform(CM_DIALOGCHAR, m.WParam, m.LParam) != 0)
    return;
  m.Result = 0;
}

// Alt and a letter is a mnemonic even in a control that takes the characters typed (an edit):
// a control of the form whose caption has the letter takes it, else the menu bar does.
void TWinControl::CNSysChar(TMessage& m) {
  m.Result = 0;
  if (m.WParam == VK_SPACE) return;
  if (TCustomForm* form = GetParentForm(this)) m.Result = form->Perform(CM_DIALOGCHAR, m.WParam, m.LParam);
}

void TWinControl::CMDialogKey(TMessage& m) { Broadcast(m); }
void TWinControl::CMDialogChar(TMessage& m) { Broadcast(m); }

bool TWinControl::DoKeyDown(TMessage& m) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->GetKeyPreview() && form->DoKeyDown(m)) return true;
  if (!controlStyle_.Contains(csNoStdEvents)) {
    WORD key = static_cast<WORD>(m.WParam);
    KeyDown(key, KeyDataToShiftState(m.LParam));
    m.WParam = key;
    if (key == 0) return true;
  }
  return false;
}

bool TWinControl::DoKeyUp(TMessage& m) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->GetKeyPreview() && form->DoKeyUp(m)) return true;
  if (!controlStyle_.Contains(csNoStdEvents)) {
    WORD key = static_cast<WORD>(m.WParam);
    KeyUp(key, KeyDataToShiftState(m.LParam));
    m.WParam = key;
    if (key == 0) return true;
  }
  return false;
}

bool TWinControl::DoKeyPress(TMessage& m) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->GetKeyPreview() && form->DoKeyPress(m)) return true;
  if (!controlStyle_.Contains(csNoStdEvents)) {
    char key = static_cast<char>(m.WParam);
    KeyPress(key);
    m.WParam = static_cast<unsigned char>(key);
    if (key == 0) return true;
  }
  return false;
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyPress(char& key) {
  if (OnKeyPress) OnKeyPress(this, key);
}

void TWinControl::KeyUp(WORD& key, TShiftState shift) {
  if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}
