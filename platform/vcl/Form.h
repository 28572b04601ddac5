#pragma once
// TCustomForm and TForm: top-level windows built in code. A form's constructor makes its
// components and sets their properties as form streaming would have; once it has finished,
// every component hears Loaded and OnCreate fires (AfterConstruction). Show and ShowModal
// (with its own message loop, ended by ModalResult), Close with OnCloseQuery and the close
// actions, Release (freed once the message that asked for it has returned), the border and
// form styles, the first position, the window state, key preview and the active control.
//
// Multiple documents (FormMDI.cpp): an fsMDIForm holds an MDICLIENT window (ClientHandle) in
// the part of its client area its aligned controls leave free, and passes what it does not
// handle to DefFrameProc. An fsMDIChild form is an MDI child of the main form's client: made
// through CreateWindowEx with WS_EX_MDICHILD, handled by DefMDIChildProc, visible from its
// creation on (it cannot be hidden), closed to an icon unless OnClose says otherwise. The
// frame lists its children in z-order, the active one first, and arranges and switches them.

#include <cstdint>
#include <vector>

#include "platform/vcl/GraphicControl.h"
#include "platform/vcl/ScrollingWinControl.h"

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = SetOf<TBorderIcon>;
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TPosition {
  poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
  poMainFormCenter, poOwnerFormCenter
};
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TFormStateFlag { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
using TFormState = SetOf<TFormStateFlag>;
enum TTileMode { tbHorizontal, tbVertical };

QUILLO_DECLARE_ENUM_TYPE(TFormBorderStyle)
QUILLO_DECLARE_ENUM_TYPE(TBorderIcon)
QUILLO_DECLARE_SET_TYPE(TBorderIcon)
QUILLO_DECLARE_ENUM_TYPE(TFormStyle)
QUILLO_DECLARE_ENUM_TYPE(TPosition)
QUILLO_DECLARE_ENUM_TYPE(TWindowState)
QUILLO_DECLARE_ENUM_TYPE(TTileMode)

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY,
                       mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO, mrAll = IDNO + 1;

using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;

class TMainMenu;
class TMenuItem;

class TCustomForm : public TScrollingWinControl {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  void Show();
  TModalResult ShowModal();
  void Close();
  virtual bool CloseQuery();
  // Frees the form once the message being handled has returned (CM_RELEASE is posted), and
  // no handler of the form or of a control on it is still running further up the stack.
  void Release();

  TModalResult GetModalResult() const { return modalResult_; }
  // While the form is modal, a result ends its loop (a message wakes the loop to see it).
  void SetModalResult(TModalResult result);
  TFormBorderStyle GetBorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle style);
  TBorderIcons GetBorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons icons);
  TFormStyle GetFormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle style);
  TPosition GetPosition() const { return position_; }
  void SetPosition(TPosition position) { position_ = position; }
  bool GetKeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool value) { keyPreview_ = value; }
  TWindowState GetWindowState() const;
  void SetWindowState(TWindowState state);
  TWinControl* GetActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* control);
  // The menu bar; its items' shortcuts work from anywhere on the form.
  TMainMenu* GetMenu() const { return menu_; }
  void SetMenu(TMainMenu* menu);
  // An MDI frame's menu item whose submenu lists the children.
  TMenuItem* GetWindowMenu() const { return windowMenu_; }
  void SetWindowMenu(TMenuItem* item);
  virtual bool IsShortCut(TMessage& message);
  HICON GetIcon() const { return icon_; }
  void SetIcon(HICON icon);
  TFormState FormState() const { return formState_; }
  TCanvas* GetCanvas() const { return canvas_.get(); }
  bool Active() const { return active_; }

  // Focus bookkeeping that windowed controls call.
  bool SetFocusedControl(TWinControl* control);
  void FocusControl(TWinControl* control);
  void DefocusControl(TWinControl* control, bool removing);
  TWinControl* FocusedControl() const { return focusedControl_; }
  void SetFocus() override;

  // Multiple-document forms: the client window of an fsMDIForm and its child forms, topmost
  // (the active one) first; a child being freed has left the list. Null past the end.
  HWND ClientHandle() const { return clientHandle_; }
  int MDIChildCount() const;
  TCustomForm* MDIChildren(int index) const;
  TCustomForm* ActiveMDIChild() const;
  // The client's arrangements: a cascade of the children that are not minimised, tiles side
  // by side (TileMode tbVertical) or one above the other (tbHorizontal), the icons in a row
  // along the bottom; Next puts the active child behind the others, Previous brings the
  // bottom one forward.
  void Cascade();
  void Tile();
  void ArrangeIcons();
  void Next();
  void Previous();
  TTileMode GetTileMode() const { return tileMode_; }
  void SetTileMode(TTileMode mode) { tileMode_ = mode; }

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

  void WndProc(TMessage& message) override;
  void Dispatch(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;
  void SetZOrder(bool topMost) override;

protected:
  void CreateParams(TCreateParams& params) override;
  bool HasMenuBar() const override;
  void CreateWnd() override;
  void CreateWindowHandle(const TCreateParams& params) override;
  void DestroyWnd() override;
  void DestroyWindowHandle() override;
  void AlignControls(TControl* control, TRect& rect) override;
  void VisibleChanging() override;
  void PaintWindow(HDC dc) override;
  virtual void DoCreate();
  virtual void DoDestroy();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& action);
  virtual void Activate();
  virtual void Deactivate();
  virtual void Paint();

  void WMActivate(TMessage& m);
  void WMClose(TMessage& m);
  void WMSysCommand(TMessage& m);
  void WMSize(TMessage& m);
  void CMShowingChanged(TMessage& m);
  void CMDialogKey(TMessage& m);
  void CMActivate(TMessage& m);
  void CMDeactivate(TMessage& m);
  void CMRelease(TMessage& m);
  void WMMDIActivate(TMessage& m);
  void Notification(TComponent* component, TOperation operation) override;
  void AttachMenu();

private:
  friend class TFormHandlerScope;
  static void LayOutTree(TWinControl* control);
  static void MeasureAnchors(TWinControl* control);
  void SetActive(bool active);
  void SetWindowFocus();
  void CloseModal();
  void ApplyPosition();
  bool SendFocusMessage(TWinControl* control, UINT msg);
  void UpdateTopMost();
  // The multiple-document side (FormMDI.cpp).
  // The frame an MDI child of this form's would live in: the main form, when it is an
  // fsMDIForm other than this one; null otherwise.
  TCustomForm* MDIFrame() const;
  void CreateMDIClient();
  void RemakeMDIChildren();
  void FreeMDIChildren();
  std::vector<TCustomForm*> MDIChildList() const;
  HWND MDIClientOfChild() const;
  bool IsActiveMDIChild() const;
  bool FrameIsActive() const;
  bool RedirectMDIFocus(TMessage& m);

  TModalResult modalResult_ = mrNone;
  TFormBorderStyle borderStyle_ = bsSizeable;
  TBorderIcons borderIcons_{biSystemMenu, biMinimize, biMaximize};
  TFormStyle formStyle_ = fsNormal;
  TPosition position_ = poDesigned;
  TWindowState windowState_ = wsNormal;
  bool keyPreview_ = false;
  bool active_ = false;
  TWinControl* activeControl_ = nullptr;
  TWinControl* focusedControl_ = nullptr;
  TFormState formState_;
  HICON icon_ = nullptr;
  HWND clientHandle_ = nullptr;
  TTileMode tileMode_ = tbHorizontal;
  int focusCount_ = 0;
  bool* modalFreed_ = nullptr;
  bool releasePending_ = false;  // CM_RELEASE came while a handler of the form still ran  // ShowModal's flag, set when the form is freed inside its loop
  TOwnedPtr<TControlCanvas> canvas_;
  TMainMenu* menu_ = nullptr;
  TMenuItem* windowMenu_ = nullptr;
};

// Counts the message handlers running for a control as running for each form that holds
// it, for as long as the scope lives; a form Release'd meanwhile is freed once the last of
// them has returned. The forms may be freed inside the scope: they are looked up again.
class TFormHandlerScope {
public:
  explicit TFormHandlerScope(const TControl* control);
  ~TFormHandlerScope();
  TFormHandlerScope(const TFormHandlerScope&) = delete;
  TFormHandlerScope& operator=(const TFormHandlerScope&) = delete;

  // How many handlers of the form or of its controls are running.
  static int Depth(const TCustomForm* form);

private:
  struct Entry {
    TCustomForm* form;
    std::uint64_t serial;
  };
  std::vector<Entry> forms_;
};

// The form class the program derives its windows from; it publishes what TCustomForm has.
class TForm : public TCustomForm {
  QUILLO_DECLARE_CLASS()

public:
  explicit TForm(TComponent* owner);
};

namespace VclText {
inline constexpr const char* CannotShowModal = "Cannot make a visible window modal";
inline constexpr const char* VisibleChanged = "Cannot change Visible in OnShow or OnHide";
inline constexpr const char* NoMDIForm = "Cannot create form. No MDI forms are currently active";
inline constexpr const char* MDIChildNotVisible = "Cannot hide an MDI Child Form";
inline constexpr const char* NoMDIClient = "Cannot create the MDI client window of %s";
}  // namespace VclText
