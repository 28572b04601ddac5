#include "quillo/components/utilities/WindowHook.h"

#include <algorithm>
#include <vector>

#include "platform/rtl/Everlasting.h"
#include "platform/vcl/AllocateHWnd.h"

namespace {

// Posted to the hook list's window: put the control hook (lParam) on the control's new window.
constexpr UINT CM_RECREATEWINDOW = CM_BASE + 0x52;

bool BeingDestroyed(const TComponent* component) {
  return component->ComponentState().Contains(csDestroying);
}

}  // namespace

// One subclassing of one control's window, shared by every TExWindowHook on that control.
// The procedure set on the window holds the control hook alive while it runs, so a hook
// may leave (and the control hook go) from inside a message.
class TControlHook : public std::enable_shared_from_this<TControlHook> {
public:
  explicit TControlHook(TWinControl* control) : control_(control) {}

  TWinControl* Control() const { return control_; }
  bool Empty() const { return hooks_.empty(); }

  void AddHook(TExWindowHook* hook) {
    if (std::find(hooks_.begin(), hooks_.end(), hook) == hooks_.end()) hooks_.push_back(hook);
  }
  void RemoveHook(TExWindowHook* hook) { std::erase(hooks_, hook); }

  void Install() {
    if (!control_ || destroying_ || BeingDestroyed(control_)) return;
    HWND window = control_->GetHandle();
    if (!window) return;
    if (installed_ && window_ == window && GetWindowProc(window) == proc_) return;
    std::weak_ptr<TControlHook> self = weak_from_this();
    saved_ = GetWindowProc(window);
    window_ = window;
    // The procedure keeps the previous one itself, so that it still works when a later
    // subclassing stops this control hook from being taken off.
    WNDPROC previous = saved_;
    proc_ = WNDPROC([self, previous](HWND w, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
      if (auto hook = self.lock()) return hook->Dispatch(w, msg, wp, lp);
      return previous ? CallWindowProc(previous, w, msg, wp, lp) : DefWindowProc(w, msg, wp, lp);
    });
    SetWindowProc(window, proc_);
    installed_ = true;
  }

  void Uninstall() {
    if (installed_ && window_ && IsWindow(window_) && GetWindowProc(window_) == proc_)
      SetWindowProc(window_, saved_);
    installed_ = false;
    window_ = nullptr;
    saved_ = nullptr;
  }

  // Ends the control hook: off the window, every hook detached.
  void Destroy() {
    destroying_ = true;
    Uninstall();
    std::vector<TExWindowHook*> hooks = std::move(hooks_);
    for (TExWindowHook* hook : hooks) hook->Detach();
    control_ = nullptr;
  }

private:
  bool Notifying() const {
    return !hooks_.empty() && !destroying_ && control_ && !BeingDestroyed(control_);
  }
  LRESULT Dispatch(HWND window, UINT msg, WPARAM wp, LPARAM lp);

  TWinControl* control_;
  std::vector<TExWindowHook*> hooks_;  // in the order they were registered
  WNDPROC saved_;
  WNDPROC proc_;
  HWND window_ = nullptr;
  bool installed_ = false;
  bool destroying_ = false;
};

namespace {

// Every control hook of the process, with the window that re-installs them.
class THookList {
public:
  static THookList& Instance() {
    static Everlasting<THookList> list;
    return *list;
  }

  std::shared_ptr<TControlHook> Find(const TWinControl* control) const {
    for (const auto& hook : hooks_)
      if (hook->Control() == control) return hook;
    return nullptr;
  }
  std::shared_ptr<TControlHook> FindOrAdd(TWinControl* control) {
    if (auto hook = Find(control)) return hook;
    hooks_.push_back(std::make_shared<TControlHook>(control));
    return hooks_.back();
  }
  bool Contains(const TControlHook* hook) const {
    return std::any_of(hooks_.begin(), hooks_.end(), [hook](const auto& h) { return h.get() == hook; });
  }
  void Remove(const std::shared_ptr<TControlHook>& hook) {
    std::erase(hooks_, hook);
    hook->Destroy();
  }
  int Count() const { return static_cast<int>(hooks_.size()); }

  void PostRecreate(TControlHook* hook) {
    if (!OwnWindow()) {
      window_ = AllocateHWnd([this](TMessage& m) { WndProc(m); });
      if (window_) SetProp(window_, kWindowMark, this);
    }
    if (window_) PostMessage(window_, CM_RECREATEWINDOW, 0, reinterpret_cast<LPARAM>(hook));
  }

private:
  static constexpr LPCSTR kWindowMark = "QuilloHookList";
  // The list outlives desktops (tests start a new one): a handle kept from an old desktop may
  // name some other window now, so the window is known by the mark it carries.
  bool OwnWindow() const { return window_ && IsWindow(window_) && GetProp(window_, kWindowMark) == this; }

  void WndProc(TMessage& m) {
    if (m.Msg == CM_RECREATEWINDOW) {
      auto* hook = reinterpret_cast<TControlHook*>(m.LParam);
      for (const auto& h : hooks_)
        if (h.get() == hook) {
          h->Install();
          break;
        }
      return;
    }
    m.Result = DefWindowProc(window_, m.Msg, m.WParam, m.LParam);
  }

  std::vector<std::shared_ptr<TControlHook>> hooks_;
  HWND window_ = nullptr;
};

}  // namespace

LRESULT TControlHook::Dispatch(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  auto keepAlive = shared_from_this();
  TMessage m{msg, wp, lp, 0};
  bool handled = false;
  if (msg != WM_QUIT && Notifying()) {
    std::vector<TExWindowHook*> hooks = hooks_;
    for (auto it = hooks.rbegin(); it != hooks.rend() && !handled; ++it)
      if (std::find(hooks_.begin(), hooks_.end(), *it) != hooks_.end()) (*it)->DoBeforeMessage(m, handled);
  }
  if (!handled || msg == WM_DESTROY) {
    const WNDPROC previous = saved_;
    m.Result = previous ? CallWindowProc(previous, window, m.Msg, m.WParam, m.LParam)
                        : DefWindowProc(window, m.Msg, m.WParam, m.LParam);
    handled = false;
    if (Notifying()) {
      std::vector<TExWindowHook*> hooks = hooks_;
      for (auto it = hooks.rbegin(); it != hooks.rend() && !handled; ++it)
        if (std::find(hooks_.begin(), hooks_.end(), *it) != hooks_.end()) (*it)->DoAfterMessage(m, handled);
    }
  }
  if (msg == WM_DESTROY && window == window_) {
    Uninstall();
    // The control lives on without a window: hook its next one.
    if (!destroying_ && control_ && !BeingDestroyed(control_) && THookList::Instance().Contains(this))
      THookList::Instance().PostRecreate(this);
  }
  return m.Result;
}

QUILLO_DEFINE_PUBLISHED_CLASS(TExWindowHook, TComponent)

const TPropTable* TExWindowHook::PublishedProperties() {
  static const TPropTable table = TPublisher<TExWindowHook>()
                                      .Property("Active", &TExWindowHook::GetActive, &TExWindowHook::SetActive)
                                      .Property("WinControl", &TExWindowHook::GetWinControl,
                                                &TExWindowHook::SetWinControl)
                                      .Table();
  return &table;
}

TExWindowHook::TExWindowHook(TComponent* owner) : TComponent(owner), active_(true) {}

TExWindowHook::~TExWindowHook() = default;

void TExWindowHook::BeforeDestruction() {
  active_ = false;
  SetWinControl(nullptr);
  TComponent::BeforeDestruction();
}

void TExWindowHook::SetActive(bool active) {
  if (active)
    HookControl();
  else
    UnhookControl();
}

void TExWindowHook::HookControl() {
  if (control_ && !BeingDestroyed(this)) {
    controlHook_ = THookList::Instance().FindOrAdd(control_);
    controlHook_->AddHook(this);
    controlHook_->Install();
  }
  active_ = true;
}

void TExWindowHook::UnhookControl() {
  Leave();
  active_ = false;
}

void TExWindowHook::Leave() {
  if (!controlHook_) return;
  std::shared_ptr<TControlHook> hook = std::move(controlHook_);
  hook->RemoveHook(this);
  if (hook->Empty()) THookList::Instance().Remove(hook);
}

void TExWindowHook::SetWinControl(TWinControl* control) {
  if (control == control_) return;
  const bool wasActive = active_;
  Leave();
  if (control_) RemoveFreeNotification(control_);
  control_ = control;
  if (control_) FreeNotification(control_);
  if (wasActive) HookControl();
}

void TExWindowHook::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == control_) SetWinControl(nullptr);
}

void TExWindowHook::DoBeforeMessage(TMessage& message, bool& handled) {
  if (BeforeMessage) BeforeMessage(this, message, handled);
}

void TExWindowHook::DoAfterMessage(TMessage& message, bool& handled) {
  if (AfterMessage) AfterMessage(this, message, handled);
}

int HookedControlCount() { return THookList::Instance().Count(); }
