#pragma once
// TWinControl: a control with a window of its own. The window is made on first need (Handle)
// from CreateParams, re-made by RecreateWnd when a property that only a new window can show
// changes, and its messages reach the control's WindowProc. It holds child controls: it
// paints the windowless ones inside its own WM_PAINT and hands them their mouse messages,
// lays its children out by Align and Anchors, keeps their tab order, moves the focus among
// them, and sends the notifications its child windows send it back to them (CN_ messages).

#include <memory>
#include <vector>

#include "platform/vcl/Control.h"
#include "platform/vcl/GraphicsObject.h"

class TWinControl;
LRESULT TWinControlInitWndProc(HWND window, UINT msg, WPARAM w, LPARAM l);

struct TCreateParams {
  AnsiString Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0;
  int Y = 0;
  int Width = 0;
  int Height = 0;
  HWND WndParent = nullptr;
  void* Param = nullptr;
  WNDCLASS WindowClass;
  AnsiString WinClassName;
};

class TWinControl : public TControl {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;
  void BeforeDestruction() override;

  // The window; made (with its parents') on first use.
  HWND GetHandle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  void HandleNeeded();
  // The window a control without a parent control lives in (a window of another framework).
  HWND GetParentWindow() const { return parentWindow_; }
  void SetParentWindow(HWND window);
  void RecreateWnd();

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const;
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  bool ContainsControl(const TControl* control) const;
  // The child under a client point, the topmost first; windowed children only when asked.
  TControl* ControlAtPos(const TPoint& pos, bool allowDisabled, bool allowWinControls = false) const;
  TWinControl* FindChildControl(const AnsiString& name) const;
  void Broadcast(TMessage& message);
  void NotifyControls(UINT msg);

  // Layout.
  void AlignControl(TControl* control);
  void Realign();
  void DisableAlign();
  void EnableAlign();
  bool AlignDisabled() const { return alignLevel_ != 0; }
  void ShowControl(TControl* control);
  void SetChildOrder(TControl* child, bool top);

  // Focus and tab order.
  int GetTabOrder() const;
  void SetTabOrder(int order);
  bool GetTabStop() const { return tabStop_; }
  void SetTabStop(bool value);
  std::vector<TWinControl*> GetTabOrderList() const;
  TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent) const;
  void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);
  void SelectFirst();
  virtual bool CanFocus() const;
  bool Focused() const;
  virtual void SetFocus();

  TBrush* GetBrush() const { return brush_.get(); }

  // Docking: a dock site takes controls dragged onto it with DragKind dkDock.
  bool GetDockSite() const { return dockSite_; }
  void SetDockSite(bool value) { dockSite_ = value; }
  TDragOverEvent OnDockOver;
  TDragDropEvent OnDockDrop;
  std::function<void(TObject* sender, TControl* client, TWinControl* newTarget, bool& allow)> OnUnDock;

  TRect GetClientRect() const override;
  TPoint ClientOrigin() const override;
  void SetBounds(int left, int top, int width, int height) override;
  bool Showing() const override { return showing_; }
  void Invalidate() override;
  void Update() override;
  void Repaint() override;
  void SetZOrder(bool topMost) override;

  // Paints the windowless children in their places on dc (the window's client area),
  // from first on (all when null).
  void PaintControls(HDC dc, TControl* first);

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;

  void WndProc(TMessage& message) override;
  void Dispatch(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;
  // Key processing shared with forms' key preview: true when handled.
  bool DoKeyDown(TMessage& message);
  bool DoKeyPress(TMessage& message);
  bool DoKeyUp(TMessage& message);
  // Reads the bounds back from the window.
  void UpdateBounds();
  // Shows or hides the window as Visible and the parents' showing say, making it on need.
  void UpdateShowing();
  void UpdateControlState();
  void Loaded() override;

protected:
  virtual void CreateParams(TCreateParams& params);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& params);
  virtual void DestroyWnd();
  virtual void DestroyWindowHandle();
  void CreateHandle();
  void DestroyHandle();
  // Use a window class of the system (BUTTON, EDIT...) underneath: its procedure becomes the
  // control's default handler.
  void CreateSubClass(TCreateParams& params, const char* className);

  virtual void AlignControls(TControl* control, TRect& rect);
  virtual void AdjustClientRect(TRect& rect) { (void)rect; }
  virtual void PaintWindow(HDC dc);
  void PaintHandler(TMessage& message);
  virtual void KeyDown(WORD& key, TShiftState shift);
  virtual void KeyPress(char& key);
  virtual void KeyUp(WORD& key, TShiftState shift);
  virtual void DoEnter();
  virtual void DoExit();
  void RemoveFocus(bool removing);
  AnsiString GetTextBuffer() const override;
  void SetTextBuffer(const AnsiString& text) override;
  void FontChanged() override;

  // Message handlers.
  void WMPaint(TMessage& m);
  void WMEraseBkgnd(TMessage& m);
  void WMSize(TMessage& m);
  void WMWindowPosChanged(TMessage& m);
  void WMSetCursor(TMessage& m);
  void WMNCDestroy(TMessage& m);
  void WMSetFocus(TMessage& m);
  void WMKillFocus(TMessage& m);
  void WMMouseWheel(TMessage& m);
  // What the control itself does with a wheel turn nobody's handler took, before its window
  // class sees it; true when used up. A scrolling control scrolls.
  virtual bool MouseWheelDefault(TMessage& m);
  void CMShowingChanged(TMessage& m);
  void CMVisibleChanged(TMessage& m);
  void CMEnabledChanged(TMessage& m);
  void CMColorChanged(TMessage& m);
  void CMFontChanged(TMessage& m);
  void CMDialogKey(TMessage& m);
  void CMDialogChar(TMessage& m);
  void CMRecreateWnd(TMessage& m);
  void CMInvalidate(TMessage& m);
  void CNKeyDown(TMessage& m);
  bool IsMenuKey(TMessage& m);
  void CNChar(TMessage& m);
  void CNSysChar(TMessage& m);
  void ReflectNotification(TMessage& m);
  // Owner-drawn items' messages go back to the control they are for (CN_DRAWITEM...).
  void ReflectOwnerItem(TMessage& m);
  bool IsControlMouseMsg(TMessage& m);

  WNDPROC DefWndProc;
  // CreateParams is being asked only for the styles (to measure the frame before the window
  // exists): it must make no window.
  bool Measuring() const { return measuring_; }
  // The window will have a menu bar (its height is no part of the client area).
  virtual bool HasMenuBar() const { return false; }

private:
  friend LRESULT TWinControlInitWndProc(HWND window, UINT msg, WPARAM w, LPARAM l);
  void AttachHandle(HWND window);
  void MainWndProc(TMessage& message);
  void DoAlign(TAlign align, TControl* changed, TRect& rect);
  void DoPosition(TControl* control, TAlign align, TRect& rect);

  HWND handle_ = nullptr;
  HWND parentWindow_ = nullptr;
  std::vector<TControl*> controls_;  // children in insertion order; windowless ones paint in this order
  std::vector<TWinControl*> tabList_;
  int alignLevel_ = 0;
  bool showing_ = false;
  bool tabStop_ = false;
  bool dockSite_ = false;
  mutable bool measuring_ = false;
  TOwnedPtr<TBrush> brush_;
  WNDPROC instanceProc_;
};

// The control that has the mouse captured (a windowless one through its parent's window).
TControl* GetCaptureControl();
void SetCaptureControl(TControl* control);
