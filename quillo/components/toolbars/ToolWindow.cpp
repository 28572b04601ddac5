#include "quillo/components/toolbars/ToolWindow.h"

#include <algorithm>

#include "platform/rtl/Everlasting.h"
#include "platform/vcl/Application.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/components/toolbars/ToolbarTexts.h"

namespace tbx {

QUILLO_DEFINE_CLASS(TFloatingWindowParent, TForm)
QUILLO_DEFINE_PUBLISHED_CLASS(TCustomToolWindowX, TCustomControl)

const TPropTable* TCustomToolWindowX::PublishedProperties() {
  using T = TCustomToolWindowX;
  static const TPropTable table =
      TPublisher<T>()
          .Property("ActivateParent", &T::GetActivateParent, &T::SetActivateParent)
          .Property("BorderStyle", &T::GetBorderStyle, &T::SetBorderStyle)
          .Property("CloseButton", &T::GetCloseButton, &T::SetCloseButton)
          .Property("CloseButtonWhenDocked", &T::GetCloseButtonWhenDocked, &T::SetCloseButtonWhenDocked)
          .Property("DefaultDock", &T::GetDefaultDock, &T::SetDefaultDock)
          .Property("DockableTo", &T::GetDockableTo, &T::SetDockableTo)
          .Property("DockedTo", &T::GetDockedTo, &T::SetDockedTo)
          .Property("DockMode", &T::GetDockMode, &T::SetDockMode)
          .Property("DockPos", &T::GetDockPos, &T::SetDockPos)
          .Property("DockRow", &T::GetDockRow, &T::SetDockRow)
          .Property("DragHandleStyle", &T::GetDragHandleStyle, &T::SetDragHandleStyle)
          .Property("FloatingMode", &T::GetFloatingMode, &T::SetFloatingMode)
          .Property("FullSize", &T::GetFullSize, &T::SetFullSize)
          .Property("HideWhenInactive", &T::GetHideWhenInactive, &T::SetHideWhenInactive)
          .Property("LastDock", &T::GetLastDock, &T::SetLastDock)
          .Property("UseLastDock", &T::GetUseLastDock, &T::SetUseLastDock)
          .Property("ShowCaption", &T::GetShowCaption, &T::SetShowCaption)
          .Property("Version", &T::GetVersion)
          .Table();
  return &table;
}

namespace {

std::vector<TCustomToolWindowX*>& FloatingList() {
  static Everlasting<std::vector<TCustomToolWindowX*>> list;
  return *list;
}

struct CountGuard {
  int& count;
  explicit CountGuard(int& c) : count(c) { ++count; }
  ~CountGuard() { --count; }
  CountGuard(const CountGuard&) = delete;
  CountGuard& operator=(const CountGuard&) = delete;
};

}  // namespace

const std::vector<TCustomToolWindowX*>& FloatingToolWindows() { return FloatingList(); }

int GetToolbarDockPos(const TControl* control) {
  for (const TControl* c = control; c; c = c->GetParent()) {
    if (auto* t = dynamic_cast<const TCustomToolWindowX*>(c))
      return t->GetDockedTo() ? static_cast<int>(t->GetDockedTo()->GetPosition()) : tbxNotDocked;
  }
  return tbxNotDocked;
}

// The procedure every tool window registers with the shared hooks.
void ToolWindowHookProc(THookProcCode code, HWND window, WPARAM, LPARAM lParam) {
  std::vector<TCustomToolWindowX*> floating = FloatingList();
  auto alive = [](TCustomToolWindowX* t) {
    const auto& now = FloatingList();
    return std::find(now.begin(), now.end(), t) != now.end();
  };
  switch (code) {
    case hpSendActivateApp:
      for (TCustomToolWindowX* t : floating)
        if (alive(t)) t->UpdateVisibility();
      break;
    case hpSendWindowPosChanged: {
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
      if (!pos || !(pos->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED))) break;
      for (TCustomToolWindowX* t : floating) {
        if (!alive(t) || t->floatingMode_ != fmOnTopOfParentForm || !t->HandleAllocated()) continue;
        TCustomForm* form = t->floatParent_ ? t->floatParent_->ParentForm() : nullptr;
        if (!form || !form->HandleAllocated()) continue;
        HWND formWindow = form->GetHandle();
        if (window == formWindow || IsChild(window, formWindow)) t->UpdateVisibility();
      }
      break;
    }
    case hpPreDestroy:
      // A floating window must not go with the window that owns it on the screen.
      for (TCustomToolWindowX* t : floating) {
        if (!alive(t) || !t->floatParent_ || !t->floatParent_->HandleAllocated()) continue;
        HWND parentWindow = t->floatParent_->GetHandle();
        if (window != parentWindow && reinterpret_cast<HWND>(GetWindowLongPtr(parentWindow, GWLP_HWNDPARENT)) == window)
          SetWindowLongPtr(parentWindow, GWLP_HWNDPARENT, 0);
      }
      break;
    default: break;
  }
}

// ---- TFloatingWindowParent ----

TFloatingWindowParent::TFloatingWindowParent(TComponent* owner, TCustomToolWindowX* toolWindow,
                                             TCustomForm* parentForm)
    : TForm(owner), toolWindow_(toolWindow), parentForm_(parentForm) {
  SetBorderStyle(bsNone);
  // It is always the size of its tool window: no scroll bars, ever.
  SetAutoScroll(false);
  SetBounds(0, 0, 0, 0);
  SetShowHint(true);
  SetName("");
}

void TFloatingWindowParent::CreateParams(TCreateParams& params) {
  TForm::CreateParams(params);
  params.ExStyle |= WS_EX_TOOLWINDOW;
  const bool onTopOfAll = toolWindow_->GetFloatingMode() == fmOnTopOfAllForms;
  if (onTopOfAll) params.ExStyle |= WS_EX_TOPMOST;
  params.WndParent = !onTopOfAll && parentForm_ && !Measuring() ? parentForm_->GetHandle() : nullptr;
}

void TFloatingWindowParent::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_MOUSEACTIVATE: {
      // A click on a floating toolbar leaves the activation where it is.
      m.Result = MA_NOACTIVATE;
      SetWindowPos(GetHandle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      if (toolWindow_->GetActivateParent() && toolWindow_->GetFloatingMode() == fmOnTopOfParentForm && parentForm_ &&
          parentForm_->HandleAllocated() && parentForm_->GetVisible())
        SetActiveWindow(parentForm_->GetHandle());
      return;
    }
    case CM_SHOWINGCHANGED:
      if (HandleAllocated())
        SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0,
                     (shouldBeShown_ && Showing() ? SWP_SHOWWINDOW : SWP_HIDEWINDOW) | SWP_NOSIZE | SWP_NOMOVE |
                         SWP_NOZORDER | SWP_NOACTIVATE);
      return;
    case CM_DIALOGKEY:
      if (m.WParam == VK_ESCAPE && CurrentShiftState().Empty() && parentForm_) {
        parentForm_->Perform(CM_DIALOGKEY, m.WParam, m.LParam);
        m.Result = 1;
        return;
      }
      break;
    default: break;
  }
  TForm::Dispatch(m);
}

// ---- TCustomToolWindowX ----

TCustomToolWindowX::TCustomToolWindowX(TComponent* owner) : TCustomControl(owner) {
  controlStyle_ << csAcceptsControls << csClickEvents << csSetCaption << csDoubleClicks;
  controlStyle_ >> csCaptureMouse >> csOpaque;
  InstallHookProc(ToolWindowHookProc, {hpSendActivateApp, hpSendWindowPosChanged, hpPreDestroy},
                  ComponentState().Contains(csDesigning));
  parentColor_ = false;
  SetColor(clBtnFace);
  // Buttons on a toolbar open their menus away from the dock's edge.
  SetToolbarDockPosProc(GetToolbarDockPos);
}

TCustomToolWindowX::~TCustomToolWindowX() { UninstallHookProc(ToolWindowHookProc); }

void TCustomToolWindowX::AfterConstruction() {
  TCustomControl::AfterConstruction();
  // The subclass decides these; its override answers only once it is whole.
  GetParams(params_);
}

void TCustomToolWindowX::BeforeDestruction() {
  Destroying();
  auto& list = FloatingList();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  if (dockedTo_) {
    TDockX* dock = dockedTo_;
    dockedTo_ = nullptr;
    dock->dockList_.erase(std::remove(dock->dockList_.begin(), dock->dockList_.end(), this), dock->dockList_.end());
    dock->ToolbarVisibilityChanged(this, true);
  }
  if (lastDock_ && lastDock_ != dockedTo_) {
    auto& dl = lastDock_->dockList_;
    dl.erase(std::remove(dl.begin(), dl.end(), this), dl.end());
  }
  if (floatParent_) {
    // The floating parent would free its children with itself: leave it first.
    if (parent_ == floatParent_.get()) floatParent_->RemoveControl(this);
    floatParent_.reset();
  }
  TCustomControl::BeforeDestruction();
}

void TCustomToolWindowX::GetParams(TToolWindowParams& params) { params = TToolWindowParams{}; }

AnsiString TCustomToolWindowX::GetVersion() const { return text::Version; }

bool TCustomToolWindowX::HasParent() const {
  return parent_ && !dynamic_cast<TFloatingWindowParent*>(parent_);
}

void TCustomToolWindowX::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  if (!ComponentState().Contains(csDesigning)) params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

// ---- Non-client sizes ----

TRect TCustomToolWindowX::DockedNonClient(const TDockX* dock) const {
  TRect nc(2, 2, 2, 2);
  if (dock && dock->GetAllowDrag()) {
    int handle = closeButtonWhenDocked_ ? 14 : dragHandleStyle_ == dhDouble ? 9 : dragHandleStyle_ == dhSingle ? 6 : 0;
    if (dock->Vertical())
      nc.top += handle;
    else
      nc.left += handle;
  }
  return nc;
}

int TCustomToolWindowX::FloatingBorderX() const {
  return GetSystemMetrics(resizable_ ? SM_CXSIZEFRAME : SM_CXFIXEDFRAME);
}
int TCustomToolWindowX::FloatingBorderY() const {
  return GetSystemMetrics(resizable_ ? SM_CYSIZEFRAME : SM_CYFIXEDFRAME);
}
int TCustomToolWindowX::FloatingCaptionHeight() const { return showCaption_ ? GetSystemMetrics(SM_CYSMCAPTION) : 0; }

TRect TCustomToolWindowX::FloatingNonClient() const {
  int bx = FloatingBorderX(), by = FloatingBorderY();
  return TRect(bx, by + FloatingCaptionHeight(), bx, by);
}

TRect TCustomToolWindowX::ScreenRect() {
  if (!HandleAllocated()) {
    TPoint p = Floating() ? floatingTopLeft_ : parent_ ? parent_->ClientToScreen(TPoint(left_, top_)) : TPoint();
    return Bounds(p.x, p.y, width_, height_);
  }
  RECT r;
  GetWindowRect(GetHandle(), &r);
  return TRect(r.left, r.top, r.right, r.bottom);
}

// ---- Properties ----

void TCustomToolWindowX::ForceFrameRecalc() {
  if (HandleAllocated())
    SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomToolWindowX::RedrawNonClient() {
  if (HandleAllocated()) RedrawWindow(GetHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
}

void TCustomToolWindowX::SetBorderStyle(TFormBorderStyle v) {
  if (v == borderStyle_) return;
  borderStyle_ = v;
  if (Docked()) ForceFrameRecalc();
}

void TCustomToolWindowX::SetDragHandleStyle(TDragHandleStyle v) {
  if (v == dragHandleStyle_) return;
  dragHandleStyle_ = v;
  if (Docked()) {
    ArrangeControls();
    ForceFrameRecalc();
  }
}

void TCustomToolWindowX::SetCloseButtonWhenDocked(bool v) {
  if (v == closeButtonWhenDocked_) return;
  closeButtonWhenDocked_ = v;
  if (Docked()) {
    ArrangeControls();
    ForceFrameRecalc();
  }
}

void TCustomToolWindowX::SetShowCaption(bool v) {
  if (v == showCaption_) return;
  showCaption_ = v;
  if (Floating()) {
    ArrangeControls();
    ForceFrameRecalc();
  }
}

void TCustomToolWindowX::SetResizable(bool v) {
  if (v == resizable_) return;
  resizable_ = v;
  if (Floating()) {
    ArrangeControls();
    ForceFrameRecalc();
  }
}

void TCustomToolWindowX::SetCloseButton(bool v) {
  if (v == closeButton_) return;
  closeButton_ = v;
  RedrawNonClient();
}

void TCustomToolWindowX::SetFloatingMode(TToolWindowFloatingMode v) {
  if (v == floatingMode_) return;
  floatingMode_ = v;
  if (floatParent_ && floatParent_->HandleAllocated()) floatParent_->RecreateWnd();
  UpdateVisibility();
}

void TCustomToolWindowX::SetHideWhenInactive(bool v) {
  if (v == hideWhenInactive_) return;
  hideWhenInactive_ = v;
  UpdateVisibility();
}

void TCustomToolWindowX::SetFullSize(bool v) {
  if (v == fullSize_) return;
  fullSize_ = v;
  ArrangeControls();
  if (dockedTo_) dockedTo_->ArrangeToolbars(false);
}

void TCustomToolWindowX::SetDockRow(int v) {
  if (v == dockRow_) return;
  dockRow_ = v;
  if (dockedTo_) dockedTo_->ArrangeToolbars(false);
}

void TCustomToolWindowX::SetDockPos(int v) {
  if (v == dockPos_) return;
  dockPos_ = v;
  if (dockedTo_) dockedTo_->ArrangeToolbars(false);
}

void TCustomToolWindowX::SetDefaultDock(TDockX* v) {
  if (v == defaultDock_) return;
  defaultDock_ = v;
  if (v) FreeNotification(v);
}

void TCustomToolWindowX::SetLastDock(TDockX* dock) {
  if (useLastDock_ && dockedTo_) dock = dockedTo_;
  if (dock == lastDock_) return;
  if (lastDock_ && lastDock_ != dockedTo_) {
    auto& dl = lastDock_->dockList_;
    dl.erase(std::remove(dl.begin(), dl.end(), this), dl.end());
  }
  lastDock_ = dock;
  if (dock) {
    useLastDock_ = true;
    FreeNotification(dock);
    auto& dl = dock->dockList_;
    if (std::find(dl.begin(), dl.end(), this) == dl.end()) {
      dl.push_back(this);
      dock->FreeNotification(this);
    }
  }
}

void TCustomToolWindowX::SetUseLastDock(bool v) {
  useLastDock_ = v;
  SetLastDock(dockedTo_);
}

void TCustomToolWindowX::AddDockForm(TCustomForm* form) {
  if (!form || std::find(dockForms_.begin(), dockForms_.end(), form) != dockForms_.end()) return;
  dockForms_.push_back(form);
  FreeNotification(form);
}

void TCustomToolWindowX::RemoveDockForm(TCustomForm* form) {
  dockForms_.erase(std::remove(dockForms_.begin(), dockForms_.end(), form), dockForms_.end());
}

void TCustomToolWindowX::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == defaultDock_) defaultDock_ = nullptr;
  if (component == lastDock_) lastDock_ = nullptr;
  if (auto* form = dynamic_cast<TCustomForm*>(component)) {
    RemoveDockForm(form);
    if (floatParent_ && floatParent_->parentForm_ == form) {
      if (parent_ != floatParent_.get())
        floatParent_.reset();
      else if (floatingMode_ == fmOnTopOfAllForms)
        floatParent_->parentForm_ = nullptr;
      else if (!ComponentState().Contains(csDestroying))
        SetParent(nullptr);
    }
  }
}

// ---- Docking and floating ----

TCustomForm* TCustomToolWindowX::ValidToolWindowParentForm() const {
  TCustomForm* form = nullptr;
  for (const TControl* c = this; c; c = c->GetParent()) {
    if (auto* fp = dynamic_cast<const TFloatingWindowParent*>(c)) {
      if (fp->ParentForm()) form = fp->ParentForm();
      break;
    }
    if (auto* f = dynamic_cast<const TCustomForm*>(c)) form = const_cast<TCustomForm*>(f);
  }
  if (!form) form = dynamic_cast<TCustomForm*>(Owner());
  if (!form) throw EInvalidOperation(text::ToolwinParentNotAllowed);
  return form;
}

void TCustomToolWindowX::SetDockedTo(TDockX* dock) {
  if (dock)
    SetParent(dock);
  else
    SetParent(ValidToolWindowParentForm());
}

void TCustomToolWindowX::FloatOnForm() { SetParent(ValidToolWindowParentForm()); }

void TCustomToolWindowX::SetParent(TWinControl* parent) {
  if (parent && !dynamic_cast<TDockX*>(parent) && !dynamic_cast<TCustomForm*>(parent))
    throw EInvalidOperation(text::ToolwinParentNotAllowed);
  const bool designing = ComponentState().Contains(csDesigning);
  const bool destroying = ComponentState().Contains(csDestroying);
  TOwnedPtr<TFloatingWindowParent> leftBehind;
  if (parent && !designing && !dynamic_cast<TDockX*>(parent) && !dynamic_cast<TFloatingWindowParent*>(parent)) {
    auto* form = static_cast<TCustomForm*>(parent);
    if (!floatParent_ || floatParent_->parentForm_ != form) {
      if (floatParent_) leftBehind = std::move(floatParent_);
      floatParent_ = MakeObject<TFloatingWindowParent>(nullptr, this, form);
      FreeNotification(form);
    }
    parent = floatParent_.get();
  }
  auto* newDock = dynamic_cast<TDockX*>(parent);
  if (parent == parent_) {
    dockedTo_ = newDock;
  } else {
    if (!destroying && parent) {
      if (OnDockChanging) OnDockChanging(this);
      if (OnDockChangingEx) OnDockChangingEx(this, newDock);
      if (OnRecreating) OnRecreating(this);
    }
    TDockX* oldDock = dockedTo_;
    CountGuard hide(hideCount_), ignore(ignoreMove_);
    UpdateVisibility();
    if (oldDock) oldDock->BeginUpdate();
    if (newDock) newDock->BeginUpdate();
    struct DockUpdates {
      TDockX* a;
      TDockX* b;
      ~DockUpdates() {
        if (b) b->EndUpdate();
        if (a) a->EndUpdate();
      }
    } dockUpdates{oldDock, newDock};
    {
      CountGuard moved(movedByDock_);
      if (parent) {
        DoDockChangingHidden(newDock);
        if (placedOnce_) CustomArrangeControls(GetDockTypeOf(newDock), newDock, true);
      }
      BeginUpdate();
      if (oldDock) {
        if (!useLastDock_) oldDock->ChangeDockList(false, this);
        oldDock->ToolbarVisibilityChanged(this, true);
      }
      TWinControl* oldParent = parent_;
      TCustomControl::SetParent(parent);
      dockedTo_ = newDock;
      if (floatParent_ && oldParent == floatParent_.get() && parent_ != oldParent) leftBehind = std::move(floatParent_);
      if (newDock) {
        if (useLastDock_) {
          SetLastDock(newDock);
          newDock->ToolbarVisibilityChanged(this, false);
        } else {
          newDock->ChangeDockList(true, this);
        }
      }
    }
    auto& list = FloatingList();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    if (Floating()) {
      list.push_back(this);
      CustomArrangeControls(dtNotDocked, nullptr, true);
      floatParent_->SetBounds(floatingTopLeft_.x, floatingTopLeft_.y, width_, height_);
    }
    EndUpdate();
    lastDockType_ = GetDockTypeOf(newDock);
    placedOnce_ = parent_ != nullptr;
  }
  if (leftBehind && leftBehind.get() == parent_) leftBehind.release();
  leftBehind.reset();
  auto& list = FloatingList();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  if (Floating()) list.push_back(this);
  UpdateVisibility();
  if (!destroying) {
    if (OnRecreated) OnRecreated(this);
    if (OnDockChanged) OnDockChanged(this);
  }
}

void TCustomToolWindowX::DoDockChangingHidden(TDockX* dockingTo) {
  if (!ComponentState().Contains(csDestroying) && OnDockChangingHidden) OnDockChangingHidden(this, dockingTo);
}

void TCustomToolWindowX::DoMove() {
  if (OnMove) OnMove(this);
}

void TCustomToolWindowX::SetBounds(int left, int top, int width, int height) {
  if (movedByDock_ == 0 && (width != width_ || height != height_)) SizeChanging(width, height);
  if (Floating()) {
    // The floating window carries the position; the tool window fills it.
    if (movedByDock_ == 0 && (left != 0 || top != 0)) floatingTopLeft_ = TPoint(left, top);
    TCustomControl::SetBounds(0, 0, width, height);
    floatParent_->SetBounds(floatingTopLeft_.x, floatingTopLeft_.y, width, height);
    return;
  }
  TCustomControl::SetBounds(left, top, width, height);
}

void TCustomToolWindowX::BeginUpdate() { ++updateCount_; }

void TCustomToolWindowX::EndUpdate() {
  if (updateCount_ > 0) --updateCount_;
  if (updateCount_ == 0 && arrangePending_) {
    arrangePending_ = false;
    ArrangeControls();
  }
}

void TCustomToolWindowX::ArrangeControls() { CustomArrangeControls(GetDockTypeOf(dockedTo_), dockedTo_, true); }

void TCustomToolWindowX::AlignControls(TControl* control, TRect& rect) {
  if (params_.CallAlignControls) TCustomControl::AlignControls(control, rect);
  ArrangeControls();
}

int TCustomToolWindowX::GetDockRowSize() const {
  return dockedTo_ ? dockedTo_->GetRowSize(dockRow_, const_cast<TCustomToolWindowX*>(this)) : 0;
}

void TCustomToolWindowX::CustomArrangeControls(TDockType dockType, TDockX* dock, bool setSize) {
  const TComponentState state = ComponentState();
  if (updateCount_ > 0 || state.Contains(csLoading) || state.Contains(csDestroying) || !parent_ ||
      parent_->ComponentState().Contains(csDestroying)) {
    arrangePending_ = true;
    return;
  }
  TPoint client = OrderControls(true, dockType, dock);
  if (!setSize) return;
  TRect nc = dock ? DockedNonClient(dock) : FloatingNonClient();
  if (dock) {
    const bool vertical = dock->Vertical();
    int rowSize = dock == dockedTo_ ? dock->GetRowSize(dockRow_, this) : 0;
    int& thickness = vertical ? client.x : client.y;
    thickness = std::max(thickness, rowSize);
    if (fullSize_) {
      int length = vertical ? dock->GetClientHeight() - (nc.top + nc.bottom) : dock->GetClientWidth() - (nc.left + nc.right);
      (vertical ? client.y : client.x) = length;
    }
  }
  int w = client.x + nc.left + nc.right, h = client.y + nc.top + nc.bottom;
  if (w != width_ || h != height_) {
    CountGuard moved(movedByDock_);
    SetBounds(left_, top_, w, h);
    if (dockedTo_ && dock == dockedTo_) dockedTo_->ArrangeToolbars(false);
  }
}

void TCustomToolWindowX::Loaded() {
  TCustomControl::Loaded();
  InitializeOrdering();
  ArrangeControls();
}

// ---- Visibility ----

bool TCustomToolWindowX::GetShowingState() const {
  if (hideCount_ > 0 || !GetVisible()) return false;
  if (!Floating()) return true;
  if (floatingMode_ == fmOnTopOfParentForm) {
    TCustomForm* form = floatParent_->ParentForm();
    if (!form || !form->HandleAllocated() || !form->GetVisible() || IsIconic(form->GetHandle())) return false;
  }
  if (hideWhenInactive_ && !ApplicationIsActive()) return false;
  return true;
}

void TCustomToolWindowX::ShowFloatingParent(bool show) {
  TFloatingWindowParent* fp = floatParent_.get();
  if (!fp) return;
  fp->shouldBeShown_ = show;
  bool wasActive = fp->HandleAllocated() && GetActiveWindow() == fp->GetHandle();
  if (show) fp->SetBounds(floatingTopLeft_.x, floatingTopLeft_.y, width_, height_);
  // The floating window shows and hides without taking the activation (its own
  // CM_SHOWINGCHANGED does that), so the form's Visible is set underneath Show and Hide.
  fp->visible_ = show;
  fp->UpdateShowing();
  if (show) {
    HWND after = floatingMode_ == fmOnTopOfAllForms ? HWND_TOPMOST : HWND_TOP;
    SetWindowPos(fp->GetHandle(), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  } else if (wasActive && fp->ParentForm() && fp->ParentForm()->HandleAllocated()) {
    SetActiveWindow(fp->ParentForm()->GetHandle());
  }
}

void TCustomToolWindowX::UpdateOwner() {
  TFloatingWindowParent* fp = floatParent_.get();
  if (!fp || !fp->HandleAllocated()) return;
  // On top of its form: owned by the form's window (a new one when the form's window was
  // made again); on top of all forms: owned by none.
  TCustomForm* form = fp->ParentForm();
  HWND owner = nullptr;
  if (floatingMode_ == fmOnTopOfParentForm) {
    // Only a window on the screen: one being taken down is hidden first and must not take
    // the floating window with it.
    if (!form || !form->HandleAllocated() || !IsWindowVisible(form->GetHandle())) return;
    owner = form->GetHandle();
  }
  HWND current = reinterpret_cast<HWND>(GetWindowLongPtr(fp->GetHandle(), GWLP_HWNDPARENT));
  if (current != owner) SetWindowLongPtr(fp->GetHandle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
}

void TCustomToolWindowX::UpdateVisibility() {
  if (!Floating()) return;
  bool inactive = !hideWhenInactive_ && !ApplicationIsActive();
  if (inactive != inactiveCaption_) {
    inactiveCaption_ = inactive;
    RedrawNonClient();
  }
  bool show = GetShowingState();
  bool shown = floatParent_->GetVisible() && floatParent_->HandleAllocated() && IsWindowVisible(floatParent_->GetHandle());
  if (show != shown) ShowFloatingParent(show);
  if (show) UpdateOwner();
}

void TCustomToolWindowX::CMVisibleChanged(TMessage& m) {
  if (dockedTo_ && !ComponentState().Contains(csDesigning)) dockedTo_->ToolbarVisibilityChanged(this, false);
  TCustomControl::Dispatch(m);
  UpdateVisibility();
  if (OnVisibleChanged) OnVisibleChanged(this);
}

void TCustomToolWindowX::CMShowingChanged(TMessage& m) {
  TCustomControl::Dispatch(m);
  UpdateVisibility();
}

void TCustomToolWindowX::MoveFloatingTo(TPoint p) {
  floatingTopLeft_ = p;
  if (Floating()) floatParent_->SetBounds(p.x, p.y, width_, height_);
}

void TCustomToolWindowX::MoveOnScreen(bool onlyIfFullyOffscreen) {
  if (!Floating()) return;
  RECT area;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &area, 0);
  TRect r = Bounds(floatingTopLeft_.x, floatingTopLeft_.y, width_, height_);
  if (onlyIfFullyOffscreen && r.left < area.right && area.left < r.right && r.top < area.bottom && area.top < r.bottom)
    return;
  TPoint p = floatingTopLeft_;
  if (r.right > area.right) p.x -= r.right - area.right;
  if (r.bottom > area.bottom) p.y -= r.bottom - area.bottom;
  if (p.x < area.left) p.x = area.left;
  if (p.y < area.top) p.y = area.top;
  floatingTopLeft_ = p;
  floatParent_->SetBounds(p.x, p.y, width_, height_);
}

void TCustomToolWindowX::WMClose(TMessage& m) {
  (void)m;
  TCustomForm* form = floatParent_ && Floating() ? floatParent_->ParentForm() : GetParentForm(this);
  if (form && form->HandleAllocated()) SendMessage(form->GetHandle(), WM_CLOSE, 0, 0);
}

void TCustomToolWindowX::Paint() {
  TCanvas* c = GetCanvas();
  TRect r = GetClientRect();
  if (dockedTo_ && dockedTo_->UsingBackground() && dockedTo_->GetBackgroundOnToolbars()) {
    TBitmap* bg = dockedTo_->GetBackground();
    const int w = bg->GetWidth(), h = bg->GetHeight();
    TRect nc = DockedNonClient(dockedTo_);
    int x = dockedTo_->GetLeft() + left_ + nc.left, y = dockedTo_->GetTop() + top_ + nc.top;
    dockedTo_->DrawBackground(c->GetHandle(), r, nullptr, TRect(-(x % w), -(y % h), r.right, r.bottom));
    return;
  }
  c->GetBrush()->SetStyle(bsSolid);
  c->GetBrush()->SetColor(GetColor());
  c->FillRect(r);
}

void TCustomToolWindowX::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_NCCALCSIZE: WMNCCalcSize(m); return;
    case WM_NCPAINT: WMNCPaint(m); return;
    case WM_NCHITTEST: WMNCHitTest(m); return;
    case WM_NCLBUTTONDOWN: WMNCLButtonDown(m); return;
    case WM_NCLBUTTONDBLCLK:
      // A second press on the frame soon after the first sizes again.
      if (m.WParam >= HTLEFT && m.WParam <= HTBOTTOMRIGHT) {
        WMNCLButtonDown(m);
        return;
      }
      if (m.WParam == HTCLIENT) {
        TPoint p = ScreenToClient(TPoint(m.LParamLo(), m.LParamHi()));
        MouseDown(mbLeft, TShiftState{ssLeft, ssDouble}, p.x, p.y);
        return;
      }
      break;
    case WM_PRINT: HandleWMPrint(GetHandle(), m, [this](HWND w, HDC dc) { DrawNonClient(w, dc); }); return;
    case WM_PRINTCLIENT: HandleWMPrintClient(this, m); return;
    case WM_CLOSE: WMClose(m); return;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(m.LParam);
      info->ptMinTrackSize = POINT{1, 1};
      info->ptMaxTrackSize = POINT{32767, 32767};
      return;
    }
    case WM_MOVE:
      TCustomControl::Dispatch(m);
      if (!ComponentState().Contains(csLoading) && ignoreMove_ == 0) DoMove();
      return;
    case CM_VISIBLECHANGED: CMVisibleChanged(m); return;
    case CM_SHOWINGCHANGED: CMShowingChanged(m); return;
    case CM_TEXTCHANGED:
      TCustomControl::Dispatch(m);
      RedrawNonClient();
      return;
    case CM_COLORCHANGED:
      RedrawNonClient();
      break;
    default: break;
  }
  TCustomControl::Dispatch(m);
}

}  // namespace tbx
