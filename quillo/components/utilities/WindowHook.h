#pragma once
// TExWindowHook lets a component see the messages of another control's window before and
// after the control's own window procedure, without deriving from the control's class. All
// hooks on one control share one subclassing of its window (a control hook, kept in a
// process-wide list), so several hooks come and go in any order without unhooking one
// another, and the subclassing is put on again when the control's window is re-created.

#include <functional>
#include <memory>

#include "platform/vcl/Component.h"
#include "platform/vcl/Messages.h"
#include "platform/vcl/WinControl.h"

// sender, the message (its Result may be set), handled: stops the hooks after this one and,
// before the message, the control's own procedure.
using THookMessageEvent = std::function<void(TObject* sender, TMessage& message, bool& handled)>;

class TControlHook;

class TExWindowHook : public TComponent {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TExWindowHook(TComponent* owner);
  ~TExWindowHook() override;
  void BeforeDestruction() override;

  bool GetActive() const { return active_; }
  void SetActive(bool active);
  TWinControl* GetWinControl() const { return control_; }
  void SetWinControl(TWinControl* control);

  void HookControl();
  void UnhookControl();

  THookMessageEvent BeforeMessage;
  THookMessageEvent AfterMessage;

  // Framework internals: what the control hook calls.
  virtual void DoBeforeMessage(TMessage& message, bool& handled);
  virtual void DoAfterMessage(TMessage& message, bool& handled);
  void Detach() { controlHook_.reset(); }

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  void Leave();

  bool active_ = false;
  TWinControl* control_ = nullptr;
  std::shared_ptr<TControlHook> controlHook_;
};

// The number of controls whose windows are subclassed for hooks (for tests and diagnostics).
int HookedControlCount();
