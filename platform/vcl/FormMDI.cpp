// Multiple-document forms: an fsMDIForm holds an MDI client window, its fsMDIChild forms live
// in that window, and the frame arranges them through the client's WM_MDI* messages.

#include <algorithm>

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Screen.h"

namespace {

// The children's ids start here, well above the command ids of menu items.
constexpr UINT kFirstMDIChildId = 0xFF00;

}  // namespace

// ---- The frame ----

// The client starts over the whole client area; the alignment then gives it what the
// aligned controls leave.
void TCustomForm::CreateMDIClient() {
  CLIENTCREATESTRUCT create{nullptr, kFirstMDIChildId};
  RECT area;
  ::GetClientRect(GetHandle(), &area);
  clientHandle_ = CreateWindowEx(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                 WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_GROUP | WS_TABSTOP |
                                     WS_HSCROLL | WS_VSCROLL |
                                     MDIS_ALLCHILDSTYLES,
                                 0, 0, area.right, area.bottom, GetHandle(), nullptr, nullptr, &create);
  if (!clientHandle_) throw EOSError(Format(VclText::NoMDIClient, GetName().c_str()));
  Realign();
  RemakeMDIChildren();
}

// A frame whose window was made again (a new border style) makes its children's windows
// again, the one active last on top.
void TCustomForm::RemakeMDIChildren() {
  std::vector<TCustomForm*> waiting;
  for (int i = Screen()->FormCount() - 1; i >= 0; --i) {
    TCustomForm* f = Screen()->Forms(i);
    if (f != this && f->formStyle_ == fsMDIChild && f->visible_ && !f->HandleAllocated() &&
        !f->ComponentState().Contains(csDestroying) && !f->formState_.Contains(fsCreating) &&
        !f->controlState_.Contains(csCreating))
      waiting.push_back(f);
  }
  for (TCustomForm* f : waiting) f->UpdateControlState();
}

// The children cannot outlive the frame's window: they go first, each hearing its end with
// its window whole; the bottom one first, so that none is activated on the way out.
void TCustomForm::FreeMDIChildren() {
  for (std::vector<TCustomForm*> children = MDIChildList(); !children.empty(); children = MDIChildList())
    FreeObject(children.back());
}

std::vector<TCustomForm*> TCustomForm::MDIChildList() const {
  std::vector<TCustomForm*> children;
  if (!clientHandle_) return children;
  for (HWND w = GetWindow(clientHandle_, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
    auto* form = dynamic_cast<TCustomForm*>(FindControl(w));
    if (form && form->formState_.Contains(fsCreatedMDIChild) && !form->ComponentState().Contains(csDestroying))
      children.push_back(form);
  }
  return children;
}

int TCustomForm::MDIChildCount() const { return static_cast<int>(MDIChildList().size()); }

TCustomForm* TCustomForm::MDIChildren(int index) const {
  std::vector<TCustomForm*> children = MDIChildList();
  return index >= 0 && index < static_cast<int>(children.size()) ? children[static_cast<size_t>(index)] : nullptr;
}

TCustomForm* TCustomForm::ActiveMDIChild() const {
  if (!clientHandle_) return nullptr;
  auto active = reinterpret_cast<HWND>(SendMessage(clientHandle_, WM_MDIGETACTIVE, 0, 0));
  auto* form = dynamic_cast<TCustomForm*>(FindControl(active));
  return form && form->formState_.Contains(fsCreatedMDIChild) && !form->ComponentState().Contains(csDestroying)
             ? form
             : nullptr;
}

void TCustomForm::Cascade() {
  if (clientHandle_) SendMessage(clientHandle_, WM_MDICASCADE, 0, 0);
}

void TCustomForm::Tile() {
  if (!clientHandle_) return;
  SendMessage(clientHandle_, WM_MDITILE, tileMode_ == tbHorizontal ? MDITILE_HORIZONTAL : MDITILE_VERTICAL, 0);
}

void TCustomForm::ArrangeIcons() {
  if (clientHandle_) SendMessage(clientHandle_, WM_MDIICONARRANGE, 0, 0);
}

void TCustomForm::Next() {
  if (clientHandle_) SendMessage(clientHandle_, WM_MDINEXT, 0, 0);
}

void TCustomForm::Previous() {
  if (clientHandle_) SendMessage(clientHandle_, WM_MDINEXT, 0, 1);
}

// The client takes the room the aligned controls leave; it lies below them.
void TCustomForm::AlignControls(TControl* control, TRect& rect) {
  TScrollingWinControl::AlignControls(control, rect);
  if (clientHandle_)
    SetWindowPos(clientHandle_, HWND_BOTTOM, rect.left, rect.top, std::max(0, rect.Width()), std::max(0, rect.Height()),
                 SWP_NOACTIVATE);
}

// ---- The children ----

TCustomForm* TCustomForm::MDIFrame() const {
  TCustomForm* main = Application()->GetMainForm();
  return main && main != this && main->formStyle_ == fsMDIForm ? main : nullptr;
}

void TCustomForm::CreateWindowHandle(const TCreateParams& params) {
  // WS_EX_MDICHILD makes the window manager ask the client (as WM_MDICREATE would); the
  // default procedure is chosen by this flag, so it is set before the first message.
  if (params.ExStyle & WS_EX_MDICHILD) formState_ << fsCreatedMDIChild;
  try {
    TScrollingWinControl::CreateWindowHandle(params);
  } catch (...) {
    formState_ >> fsCreatedMDIChild;
    throw;
  }
  if (!HandleAllocated()) formState_ >> fsCreatedMDIChild;
}

HWND TCustomForm::MDIClientOfChild() const {
  if (!formState_.Contains(fsCreatedMDIChild) || !HandleAllocated()) return nullptr;
  return ::GetParent(const_cast<TCustomForm*>(this)->GetHandle());
}

bool TCustomForm::IsActiveMDIChild() const {
  HWND client = MDIClientOfChild();
  if (!client) return false;
  auto active = reinterpret_cast<HWND>(SendMessage(client, WM_MDIGETACTIVE, 0, 0));
  return active == const_cast<TCustomForm*>(this)->GetHandle();
}

bool TCustomForm::FrameIsActive() const {
  if (!HandleAllocated()) return false;
  HWND root = GetAncestor(const_cast<TCustomForm*>(this)->GetHandle(), GA_ROOT);
  return root && GetActiveWindow() == root;
}

void TCustomForm::VisibleChanging() {
  if (formStyle_ == fsMDIChild && visible_ && !ComponentState().Contains(csDestroying))
    throw EInvalidOperation(VclText::MDIChildNotVisible);
}

// Bringing a child to the front makes it the client's active child, as a click would.
void TCustomForm::SetZOrder(bool topMost) {
  if (HWND client = MDIClientOfChild(); client && topMost && !IsActiveMDIChild())
    SendMessage(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(GetHandle()), 0);
  TScrollingWinControl::SetZOrder(topMost);
}

void TCustomForm::WMMDIActivate(TMessage& m) {
  DefaultHandler(m);
  if (formState_.Contains(fsCreatedMDIChild)) SetActive(reinterpret_cast<HWND>(m.LParam) == GetHandle());
}

// ---- Focus, and the default procedures ----

// The focus that reaches a frame goes on to its active child, and the focus that reaches a
// child goes on to its active control; true when it was passed on. A minimised child keeps
// its controls out of it (the frame's client holds the focus instead).
bool TCustomForm::RedirectMDIFocus(TMessage& m) {
  if (clientHandle_) {
    TCustomForm* child = ActiveMDIChild();
    if (!child || IsIconic(child->GetHandle())) return false;
    ::SetFocus(child->GetHandle());
    return true;
  }
  if (!formState_.Contains(fsCreatedMDIChild) || IsIconic(GetHandle()) || !activeControl_ || activeControl_ == this ||
      !activeControl_->CanFocus())
    return false;
  // The client first makes the child its active one when it is not (DefMDIChildProc), which
  // may move the focus on already.
  DefaultHandler(m);
  if (GetFocus() == GetHandle() && activeControl_) ::SetFocus(activeControl_->GetHandle());
  return true;
}

void TCustomForm::WndProc(TMessage& m) {
  if (m.Msg == WM_SETFOCUS && !ComponentState().Contains(csDesigning) && RedirectMDIFocus(m)) return;
  TScrollingWinControl::WndProc(m);
}

void TCustomForm::DefaultHandler(TMessage& m) {
  if (HandleAllocated() && clientHandle_) {
    // The frame's own alignment places the client; DefFrameProc would spread it over the
    // whole client area.
    if (m.Msg == WM_SIZE) m.Result = DefWindowProc(GetHandle(), m.Msg, m.WParam, m.LParam);
    else m.Result = DefFrameProc(GetHandle(), clientHandle_, m.Msg, m.WParam, m.LParam);
    return;
  }
  if (HandleAllocated() && formState_.Contains(fsCreatedMDIChild)) {
    m.Result = DefMDIChildProc(GetHandle(), m.Msg, m.WParam, m.LParam);
    return;
  }
  TScrollingWinControl::DefaultHandler(m);
}

// ---- Ending windows ----

// A frame's children lose their windows first (they would go with the client), the bottom
// one first so that none is activated on the way out; a frame made again makes theirs again.
// Done before the frame's text is kept, which a maximised child would still be part of.
void TCustomForm::DestroyWnd() {
  std::vector<TCustomForm*> children = MDIChildList();
  for (auto it = children.rbegin(); it != children.rend(); ++it) (*it)->DestroyHandle();
  TScrollingWinControl::DestroyWnd();
}

// A child leaves through WM_MDIDESTROY, so the client activates the next one first.
void TCustomForm::DestroyWindowHandle() {
  clientHandle_ = nullptr;
  // The bar's menu belongs to the TMainMenu: it outlives the window (made again, it comes back).
  if (menu_ && HandleAllocated() && IsWindow(GetHandle())) ::SetMenu(GetHandle(), nullptr);
  if (formState_.Contains(fsCreatedMDIChild) && HandleAllocated()) {
    HWND self = GetHandle();
    HWND client = ::GetParent(self);
    if (client && IsWindow(self)) {
      controlState_ << csDestroyingHandle;
      SendMessage(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(self), 0);
      controlState_ >> csDestroyingHandle;
    }
  }
  formState_ >> fsCreatedMDIChild;
  TScrollingWinControl::DestroyWindowHandle();
}
