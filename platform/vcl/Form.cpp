#include "platform/vcl/Form.h"

#include <algorithm>
#include <unordered_map>

#include "platform/rtl/Everlasting.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/DragDrop.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Screen.h"

namespace {
struct BusyForm {
  std::uint64_t serial;
  int depth;
};
// The forms with a handler running, and a number telling a form apart from a later one
// made at the same address. Forms freed by the statics at the program's end come after the
// thread's own variables are gone, so the table is never destroyed.
thread_local Everlasting<std::unordered_map<const TCustomForm*, BusyForm>> busyFormTable;
std::unordered_map<const TCustomForm*, BusyForm>& BusyForms() { return *busyFormTable; }
thread_local std::uint64_t nextBusySerial = 0;
}  // namespace

QUILLO_DEFINE_ENUM_TYPE(TFormBorderStyle, "bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow",
                        "bsSizeToolWin")
QUILLO_DEFINE_ENUM_TYPE(TBorderIcon, "biSystemMenu", "biMinimize", "biMaximize", "biHelp")
QUILLO_DEFINE_SET_TYPE(TBorderIcons, TBorderIcon)
QUILLO_DEFINE_ENUM_TYPE(TFormStyle, "fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop")
QUILLO_DEFINE_ENUM_TYPE(TPosition, "poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly",
                        "poScreenCenter", "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter")
QUILLO_DEFINE_ENUM_TYPE(TWindowState, "wsNormal", "wsMinimized", "wsMaximized")
QUILLO_DEFINE_ENUM_TYPE(TTileMode, "tbHorizontal", "tbVertical")

QUILLO_DEFINE_PUBLISHED_CLASS(TCustomForm, TScrollingWinControl)

const TPropTable* TCustomForm::PublishedProperties() {
  static const TPropTable table =
      TPublisher<TCustomForm>()
          .Property("ActiveControl", &TCustomForm::GetActiveControl, &TCustomForm::SetActiveControl)
          .Property("BorderIcons", &TCustomForm::GetBorderIcons, &TCustomForm::SetBorderIcons)
          .Property("BorderStyle", &TCustomForm::GetBorderStyle, &TCustomForm::SetBorderStyle)
          .Property("ClientHeight", &TCustomForm::GetClientHeight, &TCustomForm::SetClientHeight)
          .Property("ClientWidth", &TCustomForm::GetClientWidth, &TCustomForm::SetClientWidth)
          .Property("FormStyle", &TCustomForm::GetFormStyle, &TCustomForm::SetFormStyle)
          .Property("KeyPreview", &TCustomForm::GetKeyPreview, &TCustomForm::SetKeyPreview)
          .Property("Menu", &TCustomForm::GetMenu, &TCustomForm::SetMenu)
          .Property("ModalResult", &TCustomForm::GetModalResult, &TCustomForm::SetModalResult)
          .Property("Position", &TCustomForm::GetPosition, &TCustomForm::SetPosition)
          .Property("TileMode", &TCustomForm::GetTileMode, &TCustomForm::SetTileMode)
          .Property("WindowMenu", &TCustomForm::GetWindowMenu, &TCustomForm::SetWindowMenu)
          .Property("WindowState", &TCustomForm::GetWindowState, &TCustomForm::SetWindowState)
          .Table();
  return &table;
}

TCustomForm::TCustomForm(TComponent* owner) : TScrollingWinControl(owner), canvas_(MakeObject<TControlCanvas>()) {
  canvas_->SetControl(this);
  formState_ << fsCreating;
  BeginLoading();
  visible_ = false;
  parentColor_ = false;
  color_ = clBtnFace;
  GetBrush()->SetColor(color_);
  left_ = 0;
  top_ = 0;
  width_ = 320;
  height_ = 240;
  controlStyle_ << csSetCaption;
  Screen()->AddForm(this);
}

TCustomForm::~TCustomForm() {
  if (!Freed()) TCustomForm::BeforeDestruction();
}

// Streaming would have read every component and then told each it was loaded: the form's
// components hear Loaded in the order they were made, the form last, then OnCreate fires.
void TCustomForm::AfterConstruction() {
  std::vector<TComponent*> loading;
  for (int i = 0; i < ComponentCount(); ++i) loading.push_back(Components(i));
  for (TComponent* c : loading)
    if (c->ComponentState().Contains(csLoading)) c->Loaded();
  Loaded();
  formState_ >> fsCreating;
  // The layout as built, parents first; then each anchored control measures its distances
  // against the size its parent has now.
  LayOutTree(this);
  MeasureAnchors(this);
  DoCreate();
  // An MDI child shows as soon as it is made.
  if (formStyle_ == fsMDIChild && !ComponentState().Contains(csDesigning)) SetVisible(true);
}

void TCustomForm::LayOutTree(TWinControl* control) {
  control->Realign();
  for (int i = 0; i < control->ControlCount(); ++i)
    if (auto* w = dynamic_cast<TWinControl*>(control->Controls(i))) LayOutTree(w);
}

void TCustomForm::MeasureAnchors(TWinControl* control) {
  for (int i = 0; i < control->ControlCount(); ++i) {
    TControl* c = control->Controls(i);
    c->UpdateAnchorRules();
    if (auto* w = dynamic_cast<TWinControl*>(c)) MeasureAnchors(w);
  }
}

void TCustomForm::BeforeDestruction() {
  if (Freed()) return;
  BusyForms().erase(this);
  // A modal loop running for this form ends as soon as the message that freed it returns;
  // a message wakes the loop to see it, as a modal result does.
  if (modalFreed_) {
    *modalFreed_ = true;
    modalFreed_ = nullptr;
    PostMessage(nullptr, WM_NULL, 0, 0);
  }
  Destroying();
  activeControl_ = nullptr;
  focusedControl_ = nullptr;
  FreeMDIChildren();
  // An MDI child stays visible to its end, but the activation passes on before OnDestroy,
  // as a hidden form's does.
  if (HWND client = MDIClientOfChild(); client && IsActiveMDIChild())
    SendMessage(client, WM_MDINEXT, reinterpret_cast<WPARAM>(GetHandle()), 0);
  if (formStyle_ != fsMDIChild && visible_) {
    // Hidden before OnDestroy, as the framework does; a refusal to hide (the form is
    // already in the middle of showing or hiding) does not stop its end.
    try {
      SetVisible(false);
    } catch (const EInvalidOperation&) {
    }
  }
  DoDestroy();
  TScrollingWinControl::BeforeDestruction();
  Screen()->RemoveForm(this);
}

void TCustomForm::DoCreate() {
  if (OnCreate) OnCreate(this);
}

void TCustomForm::DoDestroy() {
  try {
    if (OnDestroy) OnDestroy(this);
  } catch (const std::exception&) {
    Application()->HandleException(this);
  }
}

void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& action) {
  if (OnClose) OnClose(this, action);
}

void TCustomForm::Activate() {
  if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::Paint() {
  if (OnPaint) OnPaint(this);
}

void TCustomForm::PaintWindow(HDC dc) {
  TCanvasPaintScope paint(canvas_.get(), dc);
  Paint();
}

void TCustomForm::CreateParams(TCreateParams& p) {
  TScrollingWinControl::CreateParams(p);
  if (!parent_ && !GetParentWindow()) {
    p.WndParent = nullptr;
    if (!Measuring()) {
      if (formStyle_ != fsMDIChild) p.WndParent = Application()->GetHandle();
      else if (TCustomForm* frame = MDIFrame()) p.WndParent = frame->clientHandle_;
    }
    p.Style &= ~(WS_CHILD | WS_GROUP | WS_TABSTOP);
  }
  p.WindowClass.style = CS_DBLCLKS;
  TBorderIcons icons = borderIcons_;
  TFormBorderStyle style = borderStyle_;
  if (formStyle_ == fsMDIChild && (style == bsNone || style == bsDialog)) style = bsSizeable;
  // The window manager chooses the place (an MDI child: the next step of the client's
  // cascade), and for a sizeable window the size too.
  if (position_ == poDefault || position_ == poDefaultPosOnly) p.X = p.Y = CW_USEDEFAULT;
  if ((position_ == poDefault || position_ == poDefaultSizeOnly) && (style == bsSizeable || style == bsSizeToolWin))
    p.Width = p.Height = CW_USEDEFAULT;
  switch (style) {
    case bsNone:
      if (!parent_ && !GetParentWindow()) p.Style |= WS_POPUP;
      icons = TBorderIcons{};
      break;
    case bsSingle: case bsToolWindow: p.Style |= WS_CAPTION | WS_BORDER; break;
    case bsSizeable: case bsSizeToolWin: p.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
      p.Style |= WS_POPUP | WS_CAPTION;
      p.ExStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      icons = icons * TBorderIcons{biSystemMenu, biHelp};
      p.WindowClass.style |= CS_SAVEBITS;
      break;
  }
  if (style == bsToolWindow || style == bsSizeToolWin) {
    p.ExStyle = WS_EX_TOOLWINDOW;
    icons = icons * TBorderIcons{biSystemMenu};
  }
  if (style == bsSingle || style == bsSizeable || style == bsNone) {
    if (formStyle_ != fsMDIChild || icons.Contains(biSystemMenu)) {
      if (icons.Contains(biMinimize)) p.Style |= WS_MINIMIZEBOX;
      if (icons.Contains(biMaximize)) p.Style |= WS_MAXIMIZEBOX;
    }
  }
  if (icons.Contains(biSystemMenu)) p.Style |= WS_SYSMENU;
  if (formStyle_ == fsStayOnTop) p.ExStyle |= WS_EX_TOPMOST;
  if (formStyle_ == fsMDIChild) {
    p.Style |= WS_CHILD | WS_CLIPSIBLINGS;
    p.Style &= ~WS_POPUP;
    p.ExStyle |= WS_EX_MDICHILD;
  }
}

void TCustomForm::CreateWnd() {
  // Marked while its window is being made, so that a frame made on its behalf does not make
  // it once more among the children it makes again.
  controlState_ << csCreating;
  struct Clear {
    TControlState& s;
    ~Clear() { s >> csCreating; }
  } clear{controlState_};
  if (formStyle_ == fsMDIChild) {
    TCustomForm* frame = MDIFrame();
    if (!frame) throw EInvalidOperation(VclText::NoMDIForm);
    frame->HandleNeeded();
    if (!frame->clientHandle_) throw EInvalidOperation(VclText::NoMDIForm);
  }
  TScrollingWinControl::CreateWnd();
  if (icon_) SendMessage(GetHandle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  if (formStyle_ == fsMDIForm) CreateMDIClient();
  AttachMenu();
}

void TCustomForm::AttachMenu() {
  if (!menu_ || !HandleAllocated()) return;
  menu_->SetWindowHandle(GetHandle());
  ::SetMenu(GetHandle(), menu_->GetHandle());
  menu_->MenuChanged();
}

bool TCustomForm::HasMenuBar() const { return menu_ && formStyle_ != fsMDIChild; }

void TCustomForm::SetMenu(TMainMenu* menu) {
  if (menu == menu_) return;
  if (menu_) {
    menu_->RemoveFreeNotification(this);
    if (HandleAllocated() && ::GetMenu(GetHandle()) == menu_->GetHandle()) ::SetMenu(GetHandle(), nullptr);
    menu_->SetWindowHandle(nullptr);
  }
  menu_ = menu;
  if (menu_) {
    menu_->FreeNotification(this);
    AttachMenu();
  }
}

void TCustomForm::SetWindowMenu(TMenuItem* item) {
  if (item == windowMenu_) return;
  if (windowMenu_) windowMenu_->RemoveFreeNotification(this);
  windowMenu_ = item;
  if (windowMenu_) windowMenu_->FreeNotification(this);
  if (menu_) menu_->MenuChanged();
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
  TScrollingWinControl::Notification(component, operation);
  if (operation == opRemove && component == menu_) menu_ = nullptr;
  if (operation == opRemove && component == windowMenu_) {
    windowMenu_ = nullptr;
    if (menu_ && !ComponentState().Contains(csDestroying)) menu_->MenuChanged();
  }
}

// The menu bar's shortcuts; an MDI child's keys reach the frame's bar too.
bool TCustomForm::IsShortCut(TMessage& message) {
  if (menu_ && menu_->GetWindowHandle() && menu_->IsShortCut(message)) return true;
  if (formStyle_ == fsMDIChild)
    if (TCustomForm* frame = MDIFrame(); frame && frame != this) return frame->IsShortCut(message);
  return false;
}

void TCustomForm::Show() {
  SetVisible(true);
  BringToFront();
}

void TCustomForm::SetModalResult(TModalResult result) {
  modalResult_ = result;
  if (result != mrNone && formState_.Contains(fsModal) && HandleAllocated()) PostMessage(GetHandle(), WM_NULL, 0, 0);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle style) {
  if (style == borderStyle_) return;
  borderStyle_ = style;
  RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons icons) {
  if (icons == borderIcons_) return;
  borderIcons_ = icons;
  RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle style) {
  if (style == formStyle_) return;
  // A form with a window becomes an MDI child only where there is a frame for it; refused,
  // it stays as it was.
  if (style == fsMDIChild && HandleAllocated() && !MDIFrame()) throw EInvalidOperation(VclText::NoMDIForm);
  TFormStyle old = formStyle_;
  formStyle_ = style;
  if (!HandleAllocated()) return;
  if ((old == fsStayOnTop || style == fsStayOnTop) && old != fsMDIChild && old != fsMDIForm && style != fsMDIChild &&
      style != fsMDIForm) {
    UpdateTopMost();
    return;
  }
  RecreateWnd();
}

void TCustomForm::UpdateTopMost() {
  SetWindowPos(GetHandle(), formStyle_ == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

TWindowState TCustomForm::GetWindowState() const {
  if (HandleAllocated() && IsWindowVisible(const_cast<TCustomForm*>(this)->GetHandle())) {
    HWND h = const_cast<TCustomForm*>(this)->GetHandle();
    if (IsIconic(h)) return wsMinimized;
    if (IsZoomed(h)) return wsMaximized;
    return wsNormal;
  }
  return windowState_;
}

void TCustomForm::SetWindowState(TWindowState state) {
  static constexpr int commands[] = {SW_SHOWNORMAL, SW_MINIMIZE, SW_SHOWMAXIMIZED};
  windowState_ = state;
  if (HandleAllocated() && Showing()) ShowWindow(GetHandle(), commands[state]);
}

void TCustomForm::SetIcon(HICON icon) {
  icon_ = icon;
  if (HandleAllocated()) SendMessage(GetHandle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control == activeControl_) return;
  if (control && (control == this || GetParentForm(control) != this ||
                  (!ComponentState().Contains(csLoading) && !control->CanFocus())))
    throw EInvalidOperation(VclText::CannotFocus);
  activeControl_ = control;
  if (!ComponentState().Contains(csLoading) && active_) SetWindowFocus();
}

void TCustomForm::FocusControl(TWinControl* control) {
  bool wasActive = active_;
  SetActiveControl(control);
  if (!wasActive) SetFocus();
}

void TCustomForm::DefocusControl(TWinControl* control, bool removing) {
  if (removing && focusedControl_ && control->ContainsControl(focusedControl_)) focusedControl_ = control->GetParent();
  if (activeControl_ && control->ContainsControl(activeControl_)) activeControl_ = nullptr;
}

void TCustomForm::SetFocus() {
  if (active_) return;
  if (!visible_ || !enabled_) throw EInvalidOperation(VclText::CannotFocus);
  if (formStyle_ == fsMDIChild && HandleAllocated()) {
    // The client makes it its active child (which moves the focus in while the frame is
    // active), and the frame becomes the active window.
    if (HWND client = MDIClientOfChild(); client && !IsActiveMDIChild())
      SendMessage(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(GetHandle()), 0);
    if (!FrameIsActive()) SetActiveWindow(GetAncestor(GetHandle(), GA_ROOT));
    if (active_) return;
  }
  SetWindowFocus();
}

void TCustomForm::SetWindowFocus() {
  TWinControl* target = activeControl_ ? activeControl_ : this;
  ::SetFocus(target->GetHandle());
}

// Sends a focus message and answers whether the focus stayed where it was meant to go.
bool TCustomForm::SendFocusMessage(TWinControl* control, UINT msg) {
  int count = focusCount_;
  control->Perform(msg, 0, 0);
  return focusCount_ == count;
}

bool TCustomForm::SetFocusedControl(TWinControl* control) {
  ++focusCount_;
  activeControl_ = control != this ? control : nullptr;
  Screen()->FocusChanged(this, control);
  if (control->ControlState().Contains(csFocusing)) return false;
  control->SetControlState(control->ControlState() + TControlState{csFocusing});
  struct Restore {
    TWinControl* c;
    ~Restore() { c->SetControlState(c->ControlState() - TControlState{csFocusing}); }
  } restore{control};
  if (Screen()->FocusedForm() != this) {
    if (TCustomForm* old = Screen()->FocusedForm()) {
      Screen()->SetFocusedForm(nullptr);
      if (!SendFocusMessage(old, CM_DEACTIVATE)) return false;
    }
    Screen()->SetFocusedForm(this);
    if (!SendFocusMessage(this, CM_ACTIVATE)) return false;
  }
  if (!focusedControl_) focusedControl_ = this;
  if (focusedControl_ != control) {
    while (focusedControl_ && !focusedControl_->ContainsControl(control)) {
      TWinControl* leaving = focusedControl_;
      focusedControl_ = focusedControl_->GetParent();
      if (!SendFocusMessage(leaving, CM_EXIT)) return false;
    }
    while (focusedControl_ != control) {
      TWinControl* entering = control;
      while (entering->GetParent() != focusedControl_) entering = entering->GetParent();
      focusedControl_ = entering;
      if (!SendFocusMessage(entering, CM_ENTER)) return false;
    }
    for (TWinControl* p = control->GetParent(); p; p = p->GetParent())
      if (auto* scrolling = dynamic_cast<TScrollingWinControl*>(p); scrolling && scrolling != this)
        scrolling->ScrollInView(control);
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(control));
  }
  return true;
}

bool TCustomForm::CloseQuery() {
  // A frame closes only when each of its children agrees, the topmost asked first.
  for (TCustomForm* child : MDIChildList())
    if (!child->CloseQuery()) return false;
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::Close() {
  if (formState_.Contains(fsModal)) {
    SetModalResult(mrCancel);
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  if (formStyle_ == fsMDIChild) action = borderIcons_.Contains(biMinimize) ? caMinimize : caNone;
  DoClose(action);
  if (action == caNone) return;
  if (Application()->GetMainForm() == this) Application()->Terminate();
  else if (action == caHide) SetVisible(false);
  else if (action == caMinimize) SetWindowState(wsMinimized);
  else Release();
}

void TCustomForm::CloseModal() {
  TCloseAction action = caNone;
  if (CloseQuery()) {
    action = caHide;
    DoClose(action);
  }
  if (action == caNone) modalResult_ = mrNone;
  else if (action == caFree) Release();
}

void TCustomForm::Release() {
  if (HandleAllocated()) PostMessage(GetHandle(), CM_RELEASE, 0, 0);
  else Application()->ReleaseLater(this);
}

void TCustomForm::CMRelease(TMessage&) {
  // The handler of this very message counts once; any more are further up the stack (a
  // control's click that ran a modal loop) and would return into a freed form.
  if (TFormHandlerScope::Depth(this) > 1) {
    releasePending_ = true;
    return;
  }
  FreeObject(this);
}


TFormHandlerScope::TFormHandlerScope(const TControl* control) {
  for (const TControl* c = control; c; c = c->GetParent()) {
    auto* form = const_cast<TCustomForm*>(dynamic_cast<const TCustomForm*>(c));
    if (!form) continue;
    auto [it, added] = BusyForms().try_emplace(form, BusyForm{nextBusySerial, 0});
    if (added) ++nextBusySerial;
    ++it->second.depth;
    forms_.push_back(Entry{form, it->second.serial});
  }
}

TFormHandlerScope::~TFormHandlerScope() {
  for (const Entry& e : forms_) {
    auto it = BusyForms().find(e.form);
    if (it == BusyForms().end() || it->second.serial != e.serial) continue;  // freed meanwhile
    if (--it->second.depth > 0) continue;
    BusyForms().erase(it);
    if (e.form->releasePending_) {
      // Posted again rather than freed here: the form goes at the top of a message loop,
      // where nothing of it is running.
      e.form->releasePending_ = false;
      e.form->Release();
    }
  }
}

int TFormHandlerScope::Depth(const TCustomForm* form) {
  auto it = BusyForms().find(form);
  return it == BusyForms().end() ? 0 : it->second.depth;
}

TModalResult TCustomForm::ShowModal() {
  CancelDrag();
  if (visible_ || !enabled_ || formState_.Contains(fsModal) || formStyle_ == fsMDIChild)
    throw EInvalidOperation(VclText::CannotShowModal);
  if (HWND capture = GetCapture()) SendMessage(capture, WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  formState_ << fsModal;
  HWND activeWindow = GetActiveWindow();
  TCustomForm* savedFocus = Screen()->FocusedForm();
  Screen()->SetFocusedForm(this);
  TCursor savedCursor = Screen()->GetCursor();
  Screen()->SetCursor(crDefault);
  TTaskWindowList disabled = DisableTaskWindows(nullptr);
  TModalResult result = mrNone;
  // The form may be freed from inside its own loop (a handler frees it): then the loop ends
  // as if cancelled and only what lives outside the form is put back.
  bool freed = false;
  modalFreed_ = &freed;
  auto restore = [&] {
    EnableTaskWindows(disabled);
    TScreen* screen = Screen();
    // The form that had the focus may have been freed meanwhile: it is given back only
    // while the screen still lists it.
    bool savedLives = false;
    for (int i = 0; i < screen->FormCount(); ++i)
      if (screen->Forms(i) == savedFocus) savedLives = true;
    if (freed ? !screen->FocusedForm() : screen->FocusedForm() == this)
      screen->SetFocusedForm(savedLives ? savedFocus : nullptr);
    screen->SetCursor(savedCursor);
    if (activeWindow && IsWindow(activeWindow)) SetActiveWindow(activeWindow);
    if (freed) return;
    modalFreed_ = nullptr;
    formState_ >> fsModal;
  };
  try {
    Show();
    try {
      Perform(CM_ACTIVATE, 0, 0);
      modalResult_ = mrNone;
      do {
        Application()->HandleMessage();
        if (freed) break;
        if (Application()->Terminated()) modalResult_ = mrCancel;
        else if (modalResult_ != mrNone) CloseModal();
      } while (modalResult_ == mrNone);
      if (freed) {
        restore();
        return mrCancel;
      }
      result = modalResult_;
      Perform(CM_DEACTIVATE, 0, 0);
      if (GetActiveWindow() != GetHandle()) activeWindow = nullptr;
    } catch (...) {
      if (!freed) SetVisible(false);
      throw;
    }
    SetVisible(false);
  } catch (...) {
    restore();
    throw;
  }
  restore();
  return result;
}

void TCustomForm::ApplyPosition() {
  int x = left_, y = top_;
  auto centerOn = [&](const TRect& area) {
    x = area.left + (area.Width() - width_) / 2;
    y = area.top + (area.Height() - height_) / 2;
  };
  switch (position_) {
    case poScreenCenter: centerOn(TRect(0, 0, Screen()->GetWidth(), Screen()->GetHeight())); break;
    case poDesktopCenter: centerOn(Screen()->GetWorkAreaRect()); break;
    case poMainFormCenter: case poOwnerFormCenter: {
      TCustomForm* around = position_ == poMainFormCenter ? Application()->GetMainForm() : dynamic_cast<TCustomForm*>(Owner());
      if (around && around != this) centerOn(around->GetBoundsRect());
      else centerOn(TRect(0, 0, Screen()->GetWidth(), Screen()->GetHeight()));
      break;
    }
    default: return;
  }
  if (formStyle_ == fsMDIChild) {
    // A child is centred in the frame's client window whichever centre was asked for.
    RECT area{0, 0, 0, 0};
    if (HWND client = MDIClientOfChild()) ::GetClientRect(client, &area);
    centerOn(area);
  }
  x = std::max(0, x);
  y = std::max(0, y);
  SetBounds(x, y, width_, height_);
}

void TCustomForm::CMShowingChanged(TMessage&) {
  static constexpr int commands[] = {SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED};
  if (formState_.Contains(fsShowing)) throw EInvalidOperation(VclText::VisibleChanged);
  formState_ << fsShowing;
  struct Clear {
    TFormState& s;
    ~Clear() { s >> fsShowing; }
  } clear{formState_};
  if (Showing()) {
    try {
      DoShow();
    } catch (const std::exception&) {
      Application()->HandleException(this);
    }
    ApplyPosition();
    position_ = poDesigned;  // the first position is applied once
    if (formStyle_ == fsStayOnTop) UpdateTopMost();
    ShowWindow(GetHandle(), commands[windowState_]);
    if (formStyle_ == fsMDIChild) BringWindowToTop(GetHandle());
  } else {
    try {
      DoHide();
    } catch (const std::exception&) {
      Application()->HandleException(this);
    }
    // Hiding the active window passes the activation on (the window manager picks the next).
    SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  }
}

void TCustomForm::SetActive(bool active) {
  active_ = active;
  if (!active) return;
  if (!activeControl_ && !ComponentState().Contains(csDesigning))
    activeControl_ = FindNextControl(nullptr, true, true, false);
  // An MDI child made active in a frame that is not the active window takes the focus when
  // the frame is activated, not now (the focus would bring the frame forward).
  if (formStyle_ == fsMDIChild && !FrameIsActive()) return;
  SetWindowFocus();
}

void TCustomForm::WMActivate(TMessage& m) {
  // A frame's focus goes through its client to the active child (DefFrameProc).
  if (formStyle_ == fsMDIForm) DefaultHandler(m);
  else SetActive(LOWORD(m.WParam) != WA_INACTIVE);
}

void TCustomForm::CMActivate(TMessage&) {
  formState_ << fsActivated;
  Activate();
}

void TCustomForm::CMDeactivate(TMessage&) { Deactivate(); }

void TCustomForm::WMClose(TMessage&) { Close(); }

void TCustomForm::WMSysCommand(TMessage& m) {
  // The main form minimising minimises the application (its other forms go with it).
  if ((m.WParam & 0xFFF0) == SC_MINIMIZE && Application()->GetMainForm() == this && formStyle_ != fsMDIChild) {
    Application()->Minimize();
    return;
  }
  DefaultHandler(m);
}

void TCustomForm::WMSize(TMessage& m) {
  if (HandleAllocated() && IsWindowVisible(GetHandle())) {
    if (m.WParam == SIZE_MINIMIZED) windowState_ = wsMinimized;
    else if (m.WParam == SIZE_MAXIMIZED) windowState_ = wsMaximized;
    else windowState_ = wsNormal;
  }
  TScrollingWinControl::Dispatch(m);
}

void TCustomForm::CMDialogKey(TMessage& m) {
  if (GetKeyState(VK_MENU) >= 0) {
    switch (m.WParam) {
      case VK_TAB:
        if (GetKeyState(VK_CONTROL) >= 0) {
          SelectNext(activeControl_, GetKeyState(VK_SHIFT) >= 0, true);
          m.Result = 1;
          return;
        }
        break;
      case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
        if (activeControl_ && activeControl_->GetParent()) {
          activeControl_->GetParent()->SelectNext(activeControl_, m.WParam == VK_RIGHT || m.WParam == VK_DOWN, false);
          m.Result = 1;
        }
        return;
    }
  }
  TScrollingWinControl::Dispatch(m);
}

void TCustomForm::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_ACTIVATE: WMActivate(m); return;
    case WM_CLOSE: WMClose(m); return;
    case WM_SYSCOMMAND: WMSysCommand(m); return;
    case WM_SIZE: WMSize(m); return;
    case CM_SHOWINGCHANGED: CMShowingChanged(m); return;
    case CM_DIALOGKEY: CMDialogKey(m); return;
    case CM_CANCELMODE:
      // A press anywhere on the form tells the focused control, so a drop-down it opened closes.
      if (focusedControl_ && focusedControl_ != this) focusedControl_->Perform(CM_CANCELMODE, m.WParam, m.LParam);
      return;
    case CM_ACTIVATE: CMActivate(m); return;
    case CM_DEACTIVATE: CMDeactivate(m); return;
    case CM_RELEASE: CMRelease(m); return;
    case WM_MDIACTIVATE: WMMDIActivate(m); return;
    case WM_COMMAND:
      // A menu's choice (no control sent it) runs its item.
      if (m.LParam == 0 && menu_ && menu_->DispatchCommand(LOWORD(m.WParam))) return;
      break;
    case WM_INITMENUPOPUP:
      if (menu_) menu_->DispatchPopup(reinterpret_cast<HMENU>(m.WParam));
      break;
    case WM_MENUSELECT:
      if (menu_) menu_->ShowHintFor(m.WParam, m.LParam);
      break;
    case WM_ACTIVATEAPP:
      Application()->AppActivated(m.WParam != 0);
      break;
  }
  TScrollingWinControl::Dispatch(m);
}

QUILLO_DEFINE_CLASS(TForm, TCustomForm)

TForm::TForm(TComponent* owner) : TCustomForm(owner) {}
