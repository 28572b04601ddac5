#pragma once
// TCustomToolWindowX: the base of every dockable window. Docked, it is a child of a TDockX
// with a thin border and a drag handle in its non-client area; floating, it lives in a small
// top-level window of its own (TFloatingWindowParent) and draws a small caption with a close
// button and a sizeable frame. The user drags it by its handle or caption, with an XOR
// outline on the locked screen, between docks and the floating state.
//
// Here the floating parent is the visible floating window: the tool window fills it, and the
// floating position is the parent's place on the screen.

#include <functional>
#include <memory>
#include <vector>

#include "platform/vcl/Form.h"
#include "quillo/components/toolbars/Dock.h"
#include "quillo/components/toolbars/ToolbarCommon.h"
#include "quillo/components/toolbars/ToolbarLayout.h"

namespace tbx {

class TCustomToolWindowX;

using TDockChangingExEvent = std::function<void(TObject* sender, TDockX* dockingTo)>;

struct TToolWindowParams {
  bool CallAlignControls = true;
  bool ResizeEightCorner = true;
  bool ResizeClipCursor = true;
};

// The position values a tool window reads and writes (see ToolbarPositions.h).
using TPositionReadIntProc = std::function<int(const AnsiString& toolbarName, const AnsiString& value, int fallback)>;
using TPositionReadStringProc =
    std::function<AnsiString(const AnsiString& toolbarName, const AnsiString& value, const AnsiString& fallback)>;
using TPositionWriteIntProc = std::function<void(const AnsiString& toolbarName, const AnsiString& value, int data)>;
using TPositionWriteStringProc =
    std::function<void(const AnsiString& toolbarName, const AnsiString& value, const AnsiString& data)>;

class TFloatingWindowParent : public TForm {
  QUILLO_DECLARE_CLASS()
  friend class TCustomToolWindowX;

public:
  TFloatingWindowParent(TComponent* owner, TCustomToolWindowX* toolWindow, TCustomForm* parentForm);
  TCustomForm* ParentForm() const { return parentForm_; }
  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;

private:
  TCustomToolWindowX* toolWindow_;
  TCustomForm* parentForm_;
  bool shouldBeShown_ = false;
};

class TCustomToolWindowX : public TCustomControl {
  QUILLO_DECLARE_PUBLISHED_CLASS()
  friend class TDockX;
  friend class TFloatingWindowParent;

public:
  explicit TCustomToolWindowX(TComponent* owner);
  ~TCustomToolWindowX() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  void SetParent(TWinControl* parent) override;
  void SetBounds(int left, int top, int width, int height) override;
  bool HasParent() const override;

  // Properties.
  bool GetActivateParent() const { return activateParent_; }
  void SetActivateParent(bool v) { activateParent_ = v; }
  TFormBorderStyle GetBorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle v);
  bool GetCloseButton() const { return closeButton_; }
  void SetCloseButton(bool v);
  bool GetCloseButtonWhenDocked() const { return closeButtonWhenDocked_; }
  void SetCloseButtonWhenDocked(bool v);
  TDockX* GetDefaultDock() const { return defaultDock_; }
  void SetDefaultDock(TDockX* v);
  TDockableTo GetDockableTo() const { return dockableTo_; }
  void SetDockableTo(TDockableTo v) { dockableTo_ = v; }
  TDockX* GetDockedTo() const { return dockedTo_; }
  void SetDockedTo(TDockX* dock);
  TToolWindowDockMode GetDockMode() const { return dockMode_; }
  void SetDockMode(TToolWindowDockMode v) { dockMode_ = v; }
  int GetDockPos() const { return dockPos_; }
  void SetDockPos(int v);
  int GetDockRow() const { return dockRow_; }
  void SetDockRow(int v);
  TDragHandleStyle GetDragHandleStyle() const { return dragHandleStyle_; }
  void SetDragHandleStyle(TDragHandleStyle v);
  TToolWindowFloatingMode GetFloatingMode() const { return floatingMode_; }
  void SetFloatingMode(TToolWindowFloatingMode v);
  bool GetFullSize() const { return fullSize_; }
  void SetFullSize(bool v);
  bool GetHideWhenInactive() const { return hideWhenInactive_; }
  void SetHideWhenInactive(bool v);
  TDockX* GetLastDock() const { return lastDock_; }
  void SetLastDock(TDockX* dock);
  bool GetUseLastDock() const { return useLastDock_; }
  void SetUseLastDock(bool v);
  bool GetShowCaption() const { return showCaption_; }
  void SetShowCaption(bool v);
  bool GetResizable() const { return resizable_; }
  void SetResizable(bool v);
  bool Docked() const { return dockedTo_ != nullptr; }
  bool Floating() const { return floatParent_ && parent_ == floatParent_.get(); }
  AnsiString GetVersion() const;

  // The floating window's top-left on the screen (kept while docked too).
  TPoint FloatingPosition() const { return floatingTopLeft_; }
  void SetFloatingPosition(TPoint p) { floatingTopLeft_ = p; }
  // Moves the floating window (when floating) to p, keeping its size.
  void MoveFloatingTo(TPoint p);
  TFloatingWindowParent* FloatingParent() const { return floatParent_.get(); }
  // The window's outer rectangle on the screen, docked or floating.
  TRect ScreenRect();

  void AddDockForm(TCustomForm* form);
  void RemoveDockForm(TCustomForm* form);

  void BeginUpdate();
  void EndUpdate();
  void ArrangeControls();
  void MoveOnScreen(bool onlyIfFullyOffscreen);
  void UpdateVisibility();
  bool GetShowingState() const;

  // Events.
  TNotifyEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnDockChanged;
  TNotifyEvent OnDockChanging;
  TDockChangingExEvent OnDockChangingEx;
  TDockChangingExEvent OnDockChangingHidden;
  TNotifyEvent OnMove;
  TNotifyEvent OnRecreated;
  TNotifyEvent OnRecreating;
  TNotifyEvent OnVisibleChanged;

  // Position storage (ToolbarPositions.h): subclasses add their own values.
  virtual void ReadPositionData(const TPositionReadIntProc&, const TPositionReadStringProc&) {}
  virtual void DoneReadingPositionData(const TPositionReadIntProc&, const TPositionReadStringProc&) {}
  virtual void WritePositionData(const TPositionWriteIntProc&, const TPositionWriteStringProc&) {}

  // The size of a row in the given kind of dock, and the client size the controls need.
  virtual void GetBarSize(int& size, TDockType dockType) = 0;
  virtual void GetMinimumSize(int& clientWidth, int& clientHeight) = 0;
  virtual TPoint OrderControls(bool canMoveControls, TDockType wasDockedTo, TDockX* dockingTo) = 0;

  // Non-client sizes: docked (border and drag handle) and floating (frame and caption).
  TRect DockedNonClient(const TDockX* dock) const;  // left, top, right, bottom thicknesses
  TRect FloatingNonClient() const;
  int FloatingBorderX() const;
  int FloatingBorderY() const;
  int FloatingCaptionHeight() const;

  void Dispatch(TMessage& message) override;
  void Loaded() override;

protected:
  virtual void GetParams(TToolWindowParams& params);
  virtual void InitializeOrdering() {}
  virtual void SizeChanging(int width, int height) {
    (void)width;
    (void)height;
  }
  virtual void ResizeBegin(TToolWindowSizeHandle handle) { (void)handle; }
  virtual void ResizeTrack(TRect& rect, const TRect& origRect) {
    (void)rect;
    (void)origRect;
  }
  virtual void ResizeEnd(bool accept) { (void)accept; }
  virtual void DoDockChangingHidden(TDockX* dockingTo);
  virtual void DoMove();
  virtual bool ChildControlTransparent(TControl* control) {
    (void)control;
    return false;
  }
  void CustomArrangeControls(TDockType dockType, TDockX* dock, bool setSize);
  int GetDockRowSize() const;

  void CreateParams(TCreateParams& params) override;
  void AlignControls(TControl* control, TRect& rect) override;
  void Notification(TComponent* component, TOperation operation) override;
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

  TToolWindowParams params_;

private:
  friend void ToolWindowHookProc(THookProcCode code, HWND window, WPARAM wParam, LPARAM lParam);
  void WMNCCalcSize(TMessage& m);
  void WMNCPaint(TMessage& m);
  void WMNCHitTest(TMessage& m);
  void WMNCLButtonDown(TMessage& m);
  void WMMouseActivate(TMessage& m);
  void WMClose(TMessage& m);
  void CMVisibleChanged(TMessage& m);
  void CMShowingChanged(TMessage& m);
  void DrawNonClient(HWND window, HDC dc);
  void DrawDockedNonClient(HDC dc, const TRect& windowRect);
  void DrawFloatingNonClient(HDC dc, const TRect& windowRect);
  TRect CloseButtonRect() const;  // in window coordinates; empty when there is none
  void RedrawNonClient();
  void ForceFrameRecalc();
  void TrackCloseButton();
  void BeginMoving(int x, int y);
  void BeginSizing(TToolWindowSizeHandle handle);
  void DockInto(TDockX* dock, int row, int pos);
  void FloatOnForm();
  TCustomForm* ValidToolWindowParentForm() const;
  std::vector<TDockX*> CandidateDocks() const;
  void ShowFloatingParent(bool show);
  void UpdateOwner();

  bool activateParent_ = true;
  TFormBorderStyle borderStyle_ = bsSingle;
  bool closeButton_ = true;
  bool closeButtonWhenDocked_ = false;
  TDockX* defaultDock_ = nullptr;
  TDockableTo dockableTo_{dpTop, dpBottom, dpLeft, dpRight};
  TDockX* dockedTo_ = nullptr;
  TToolWindowDockMode dockMode_ = dmCanFloat;
  int dockPos_ = -1;
  int dockRow_ = 0;
  TDragHandleStyle dragHandleStyle_ = dhDouble;
  TToolWindowFloatingMode floatingMode_ = fmOnTopOfParentForm;
  bool fullSize_ = false;
  bool hideWhenInactive_ = true;
  TDockX* lastDock_ = nullptr;
  bool useLastDock_ = true;
  bool showCaption_ = true;
  bool resizable_ = true;

  TDockType lastDockType_ = dtNotDocked;
  bool placedOnce_ = false;
  int updateCount_ = 0;
  int movedByDock_ = 0;
  int hideCount_ = 0;
  int ignoreMove_ = 0;
  bool arrangePending_ = false;
  bool inactiveCaption_ = false;
  bool closePressed_ = false;
  TPoint floatingTopLeft_;
  std::vector<TCustomForm*> dockForms_;
  TOwnedPtr<TFloatingWindowParent> floatParent_;
};

// The position of the dock holding the tool window that contains control, or tbxNotDocked.
int GetToolbarDockPos(const TControl* control);

// The floating tool windows now (the hook procedure walks these).
const std::vector<TCustomToolWindowX*>& FloatingToolWindows();

}  // namespace tbx
