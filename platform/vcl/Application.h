#pragma once
// TApplication: the program's one application object. It owns the forms made through
// CreateForm (the first is the main form), keeps the hidden application window that owns
// them, runs the message loop (Run, HandleMessage, ProcessMessages), ends it (Terminate),
// shows exceptions that reach it, drives the hints and the idle time, and tells the
// program when it is activated, deactivated, minimised and restored.
//
// The framework's key handling (the MDI keys, dialog keys, key preview, CN_ key messages)
// and the hint window's hiding run from a message hook, so they work in every message loop,
// the framework's own and those of the window manager or a test driver.

#include <functional>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/vcl/Form.h"

class THintWindow;
class TApplication;

// The application object; made on first use. ResetApplication frees it and all it owns (a
// test's fresh start; the next call makes a new one).
TApplication* Application();
void ResetApplication();

// The loop found nothing to do and nothing can come (a test desktop with a manual clock):
// raised by HandleMessage, never shown as an error.
class ELoopStarved : public Exception {
public:
  explicit ELoopStarved(AnsiString message);
  ~ELoopStarved() override;
};

using TTaskWindowList = std::vector<HWND>;
// Disables every visible, enabled top-level window but except; EnableTaskWindows undoes it.
TTaskWindowList DisableTaskWindows(HWND except);
void EnableTaskWindows(const TTaskWindowList& list);

using TMessageEvent = std::function<void(MSG& msg, bool& handled)>;
using TIdleEvent = std::function<void(TObject* sender, bool& done)>;
using TExceptionEvent = std::function<void(TObject* sender, const std::exception& e)>;
using THintShowEvent = std::function<void(AnsiString& hintText, bool& canShow, TControl* control)>;
// Asked to show help for a context; answers whether help was shown.
using THelpEvent = std::function<bool(int context)>;

class TApplication : public TComponent {
  QUILLO_DECLARE_CLASS()

public:
  explicit TApplication(TComponent* owner);
  ~TApplication() override;
  void BeforeDestruction() override;

  // Makes a form owned by the application; the first becomes the main form.
  template <class T, class... Args>
  T* CreateForm(Args&&... args) {
    T* form = NewComponent<T>(this, std::forward<Args>(args)...);
    if (!mainForm_) {
      form->HandleNeeded();
      mainForm_ = form;
    }
    return form;
  }
  TCustomForm* GetMainForm() const { return mainForm_; }

  void Run();
  void HandleMessage();
  void ProcessMessages();
  void Terminate();
  bool Terminated() const { return terminated_; }
  void Minimize();
  void Restore();
  bool Minimized() const { return minimized_; }
  bool Active() const { return active_; }

  // Exceptions: EAbort is silent; others go to OnException, or ShowException.
  void HandleException(TObject* sender);
  void ShowException(const std::exception& e);
  int MessageBox(const AnsiString& text, const AnsiString& caption, UINT flags);

  HWND GetHandle();
  AnsiString GetTitle() const;
  void SetTitle(const AnsiString& title);
  AnsiString ExeName() const;

  // Hints.
  AnsiString GetHint() const { return hint_; }
  void SetHint(const AnsiString& hint);
  bool GetShowHint() const { return showHint_; }
  void SetShowHint(bool value);
  TColor HintColor = clInfoBk;
  int HintPause = 500;
  int HintShortPause = 50;
  int HintHidePause = 2500;
  void ActivateHint(const TPoint& cursorPos);
  void CancelHint();
  THintWindow* HintWindow() const { return hintWindow_; }

  // Help: the program's help viewer, when one is hooked up through OnHelp, shows the topic of
  // the context. False when there is none or it did not show it.
  bool HelpContext(int context) { return OnHelp ? OnHelp(context) : false; }

  TMessageEvent OnMessage;
  TIdleEvent OnIdle;
  TExceptionEvent OnException;
  TNotifyEvent OnHint;
  THelpEvent OnHelp;
  THintShowEvent OnShowHint;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnMinimize;
  TNotifyEvent OnRestore;

  // Framework internals.
  void HintMouseMessage(TControl* control, TMessage& message);
  void MouseLeftWindow(TWinControl* control);
  void ControlDestroyed(TControl* control);
  void AppActivated(bool active);
  void ReleaseLater(TCustomForm* form);
  // A system dialog about to open: the program's stay-on-top windows step down, so that they
  // cannot cover it, until the matching RestoreTopMosts. Calls nest.
  void NormalizeTopMosts();
  void RestoreTopMosts();
  // Makes the hidden window and the message hook again when the desktop was restarted.
  void HookIfNeeded();
  // One round of idle work: mouse enter and leave, OnIdle, freeing released forms.
  bool Idle();

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  bool ProcessMessage();
  void PreprocessMessage(MSG& msg);
  bool IsMDIMsg(MSG& msg);
  bool IsKeyMsg(MSG& msg);
  void WndProc(TMessage& message);
  void SetMouseControl(TControl* control);
  void HintTimerExpired();
  void StartHintTimer(int delay);
  void StopHintTimer();

  TCustomForm* mainForm_ = nullptr;
  HWND handle_ = nullptr;
  HHOOK hook_ = nullptr;
  AnsiString title_;
  bool titleSet_ = false;
  bool terminated_ = false;
  bool running_ = false;
  bool starved_ = false;
  bool minimized_ = false;
  bool active_ = false;
  std::vector<HWND> hiddenByMinimize_;
  AnsiString hint_;
  bool showHint_ = true;
  THintWindow* hintWindow_ = nullptr;
  TControl* hintControl_ = nullptr;
  TControl* mouseControl_ = nullptr;
  bool hintActive_ = false;
  UINT_PTR hintTimer_ = 0;
  int hintTimerKind_ = 0;  // 1 show, 2 hide
  std::vector<TCustomForm*> released_;
  int topMostLevel_ = 0;
  std::vector<HWND> normalizedTopMosts_;
};
