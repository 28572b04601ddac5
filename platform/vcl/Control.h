#pragma once
// TControl: the framework's visual component. It has bounds inside its parent, alignment and
// anchors, visibility, a caption, a font and a colour, a hint, a cursor, mouse events and the
// start of a drag. Every message goes through WindowProc (replaceable, as subclassing is),
// which calls WndProc, then Dispatch (one switch per class into named handlers), then
// DefaultHandler. A control without a window of its own (TGraphicControl) is painted and
// fed the mouse by its parent window.

#include <functional>
#include <memory>

#include "platform/vcl/Alignment.h"
#include "platform/vcl/Color.h"
#include "platform/vcl/Component.h"
#include "platform/vcl/Font.h"
#include "platform/vcl/Messages.h"
#include "platform/vcl/Types.h"

class TWinControl;
class TCustomForm;
class TDragObject;
class TPopupMenu;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TLeftRight = TAlignment;  // taLeftJustify or taRightJustify
using TAnchors = SetOf<TAnchorKind>;
inline constexpr TAnchors AnchorAlign[] = {
    {akLeft, akTop}, {akLeft, akTop, akRight}, {akLeft, akRight, akBottom}, {akLeft, akTop, akBottom},
    {akRight, akTop, akBottom}, {akLeft, akTop, akRight, akBottom}, {akLeft, akTop}};

enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateFlag { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = SetOf<TShiftStateFlag>;

enum TControlStyleFlag {
  csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed, csSetCaption,
  csOpaque, csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible, csReplicatable,
  csNoStdEvents, csDisplayDragImage, csReflector, csActionClient, csMenuEvents
};
using TControlStyle = SetOf<TControlStyleFlag>;
enum TControlStateFlag {
  csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing, csCreating,
  csPaintCopy, csCustomPaint, csDestroyingHandle, csDocking
};
using TControlState = SetOf<TControlStateFlag>;

// Cursors: the screen's cursor table indexes (TScreen::Cursors).
using TCursor = short;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4,
                  crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10,
                  crHourGlass = -11, crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15,
                  crMultiDrag = -16, crNo = -18, crAppStart = -19, crHelp = -20, crHandPoint = -21,
                  crSizeAll = -22, crSize = -22;

enum TDragMode { dmManual, dmAutomatic };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
enum TDragKind { dkDrag, dkDock };

QUILLO_DECLARE_ENUM_TYPE(TAlign)
QUILLO_DECLARE_ENUM_TYPE(TAnchorKind)
QUILLO_DECLARE_SET_TYPE(TAnchorKind)
QUILLO_DECLARE_ENUM_TYPE(TDragMode)
QUILLO_DECLARE_ENUM_TYPE(TDragKind)
QUILLO_DECLARE_ENUM_TYPE(TMouseButton)

using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;
// The wheel: delta in WHEEL_DELTA steps (positive away from the user), the mouse in screen
// coordinates; a handler sets handled to stop the wheel going further.
using TMouseWheelEvent =
    std::function<void(TObject* sender, TShiftState shift, int wheelDelta, TPoint mousePos, bool& handled)>;
using TMouseWheelUpDownEvent = std::function<void(TObject* sender, TShiftState shift, TPoint mousePos, bool& handled)>;
using TKeyEvent = std::function<void(TObject* sender, WORD& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TObject* sender, char& key)>;
using TDragOverEvent =
    std::function<void(TObject* sender, TObject* source, int x, int y, TDragState state, bool& accept)>;
using TDragDropEvent = std::function<void(TObject* sender, TObject* source, int x, int y)>;
using TStartDragEvent = std::function<void(TObject* sender, TDragObject*& dragObject)>;
using TEndDragEvent = std::function<void(TObject* sender, TObject* target, int x, int y)>;
using TCanResizeEvent = std::function<void(TObject* sender, int& newWidth, int& newHeight, bool& resize)>;

// The state of the keys and buttons now, or as a mouse message's key flags tell it.
TShiftState KeysToShiftState(WPARAM keys);
TShiftState KeyDataToShiftState(LPARAM keyData);
TShiftState CurrentShiftState();

class TControl : public TComponent {
  QUILLO_DECLARE_PUBLISHED_CLASS()
  friend class TWinControl;  // a parent keeps its children's links, as one unit would

public:
  explicit TControl(TComponent* owner);
  ~TControl() override;
  void BeforeDestruction() override;

  TWinControl* GetParent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);
  // The window of a control's parent (its own for a windowed control's children).
  virtual bool HasParent() const { return parent_ != nullptr; }

  int GetLeft() const { return left_; }
  int GetTop() const { return top_; }
  int GetWidth() const { return width_; }
  int GetHeight() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect GetBoundsRect() const { return Bounds(left_, top_, width_, height_); }
  void SetBoundsRect(const TRect& r) { SetBounds(r.left, r.top, r.Width(), r.Height()); }
  // The client area in the control's own coordinates (0, 0 at its top-left).
  virtual TRect GetClientRect() const;
  int GetClientWidth() const { return GetClientRect().Width(); }
  int GetClientHeight() const { return GetClientRect().Height(); }
  void SetClientWidth(int v) { SetClientSize(v, GetClientHeight()); }
  void SetClientHeight(int v) { SetClientSize(GetClientWidth(), v); }
  virtual TPoint ClientOrigin() const;  // the client area's top-left on the screen
  TPoint ClientToScreen(const TPoint& p) const;
  TPoint ScreenToClient(const TPoint& p) const;

  TAlign GetAlign() const { return align_; }
  void SetAlign(TAlign align);
  TAnchors GetAnchors() const { return anchors_; }
  void SetAnchors(TAnchors anchors);

  bool GetVisible() const { return visible_; }
  void SetVisible(bool visible);
  void Show();
  void Hide();
  bool GetEnabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  // Visible and every parent showing (a windowed control: its window is visible).
  virtual bool Showing() const;

  // Caption and Text are one property (WM_GETTEXT / WM_SETTEXT).
  AnsiString GetText() const;
  void SetText(const AnsiString& text);
  AnsiString GetCaption() const { return GetText(); }
  void SetCaption(const AnsiString& text) { SetText(text); }
  void SetName(const AnsiString& name) override;

  TFont* GetFont() const { return font_.get(); }
  void SetFont(TFont* font);
  bool GetParentFont() const { return parentFont_; }
  void SetParentFont(bool value);
  TColor GetColor() const { return color_; }
  void SetColor(TColor color);
  bool GetParentColor() const { return parentColor_; }
  void SetParentColor(bool value);

  AnsiString GetHint() const { return hint_; }
  void SetHint(const AnsiString& hint) { hint_ = hint; }
  bool GetShowHint() const { return showHint_; }
  void SetShowHint(bool value);
  bool GetParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool value);
  TCursor GetCursor() const { return cursor_; }
  void SetCursor(TCursor cursor);
  // The help topic shown for the control (F1, Help buttons); 0 none.
  int GetHelpContext() const { return helpContext_; }
  void SetHelpContext(int context) { helpContext_ = context; }
  TDragMode GetDragMode() const { return dragMode_; }
  void SetDragMode(TDragMode mode) { dragMode_ = mode; }
  TCursor GetDragCursor() const { return dragCursor_; }
  void SetDragCursor(TCursor cursor) { dragCursor_ = cursor; }
  // The context menu a right click (or the menu key) opens on the control.
  TPopupMenu* GetPopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* menu);
  TDragKind GetDragKind() const { return dragKind_; }
  void SetDragKind(TDragKind kind) { dragKind_ = kind; }

  TControlStyle ControlStyle() const { return controlStyle_; }
  void SetControlStyle(TControlStyle style) { controlStyle_ = style; }
  TControlState ControlState() const { return controlState_; }
  void SetControlState(TControlState state) { controlState_ = state; }

  // Messages.
  TWndMethod WindowProc;  // WndProc unless someone replaced it
  LRESULT Perform(UINT msg, WPARAM wParam, LPARAM lParam);
  virtual void WndProc(TMessage& message);
  virtual void Dispatch(TMessage& message);
  virtual void DefaultHandler(TMessage& message);

  // Painting.
  virtual void Invalidate();
  virtual void Update();
  virtual void Repaint();
  void Refresh() { Repaint(); }

  void BringToFront();
  void SendToBack();
  virtual void SetZOrder(bool topMost);

  // Dragging: BeginDrag starts at once, or once the mouse moved threshold pixels (-1: the
  // system's drag distance) with the button down.
  void BeginDrag(bool immediate, int threshold = -1);
  void EndDrag(bool drop);
  bool Dragging() const;
  virtual void DragDrop(TObject* source, int x, int y);
  void Loaded() override;

  // Events.
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnResize;
  TCanResizeEvent OnCanResize;
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;
  TStartDragEvent OnStartDrag;
  TEndDragEvent OnEndDrag;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TMouseWheelEvent OnMouseWheel;
  TMouseWheelUpDownEvent OnMouseWheelDown;
  TMouseWheelUpDownEvent OnMouseWheelUp;

  // Framework internals that parents and the drag machinery call.
  virtual void Click();
  virtual void DblClick();
  virtual bool DoDragOver(TObject* source, int x, int y, TDragState state);
  virtual void DoStartDrag(TDragObject*& dragObject);
  virtual void DoEndDrag(TObject* target, int x, int y);
  // The anchors' distances, taken when the parent's size is known.
  void UpdateAnchorRules();
  TPoint AnchorRules() const { return anchorRules_; }
  TPoint OriginalParentSize() const { return originalParentSize_; }
  void SetOriginalParentSize(TPoint size) { originalParentSize_ = size; }
  void UpdateBoundsRect(const TRect& r);  // from the window, without moving it again
  // Moves the control for its parent's layout: the anchors' distances stay those taken at
  // the original size.
  void SetBoundsByLayout(int left, int top, int width, int height);

protected:
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  // The wheel turned: OnMouseWheel, then (unless it handled it) OnMouseWheelDown or
  // OnMouseWheelUp. True when the turn was used up here.
  virtual bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos);
  virtual bool DoMouseWheelDown(TShiftState shift, TPoint mousePos);
  virtual bool DoMouseWheelUp(TShiftState shift, TPoint mousePos);
  virtual void Resize();
  virtual bool CanResize(int& newWidth, int& newHeight);
  virtual void Changed() {}
  virtual void RequestAlign();
  virtual void VisibleChanging() {}
  virtual void SetClientSize(int width, int height);
  void SendCancelMode(TControl* sender);
  // Tells the control's parent window to repaint the control's rectangle.
  void InvalidateControl(bool isVisible, bool isOpaque);
  virtual AnsiString GetTextBuffer() const { return text_; }
  virtual void SetTextBuffer(const AnsiString& text);
  virtual void FontChanged();

  // Message handlers (Dispatch's table).
  void WMLButtonDown(TMessage& m);
  void WMLButtonDblClk(TMessage& m);
  void WMButtonDown(TMessage& m, TMouseButton button, bool doubleClick);
  void WMButtonUp(TMessage& m, TMouseButton button);
  void WMMouseMove(TMessage& m);
  void CMVisibleChanged(TMessage& m);
  void CMEnabledChanged(TMessage& m);
  void CMTextChanged(TMessage& m) { (void)m; }
  void CMParentFontChanged(TMessage& m);
  void CMParentColorChanged(TMessage& m);
  void CMParentShowHintChanged(TMessage& m);
  void CMMouseEnter(TMessage& m);
  void CMMouseLeave(TMessage& m);
  void CMHitTest(TMessage& m) { m.Result = HTCLIENT; }
  void CMMouseWheel(TMessage& m);
  void WMContextMenu(TMessage& m);
  void Notification(TComponent* component, TOperation operation) override;

  TWinControl* parent_ = nullptr;
  int left_ = 0;
  int top_ = 0;
  int width_ = 0;
  int height_ = 0;
  TControlStyle controlStyle_{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  TControlState controlState_;
  AnsiString text_;
  bool visible_ = true;
  bool enabled_ = true;
  TColor color_ = clWindow;
  bool parentColor_ = true;

private:
  void DoMouseDown(TMessage& m, TMouseButton button, TShiftState shift);
  void DoMouseUp(TMessage& m, TMouseButton button);

  TAlign align_ = alNone;
  TAnchors anchors_{akLeft, akTop};
  TPoint anchorRules_;
  TPoint originalParentSize_;
  bool anchorMove_ = false;
  TOwnedPtr<TFont> font_;
  bool parentFont_ = true;
  AnsiString hint_;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  TCursor cursor_ = crDefault;
  int helpContext_ = 0;
  TDragMode dragMode_ = dmManual;
  TCursor dragCursor_ = crDrag;
  TDragKind dragKind_ = dkDrag;
  TPopupMenu* popupMenu_ = nullptr;
};

// The form a control is on; null when it is on none. ValidParentForm raises EInvalidOperation.
TCustomForm* GetParentForm(const TControl* control);
TCustomForm* ValidParentForm(const TControl* control);
// The control whose window this is; null for a window of no control.
TWinControl* FindControl(HWND window);
// The control under a screen point, windowed or not; null when none.
TControl* FindDragTarget(const TPoint& screenPos, bool allowDisabled);
TControl* FindVCLWindow(const TPoint& screenPos);
// Whether key is the accelerator of caption: the character after its first single "&",
// compared without regard to case.
bool IsAccel(WPARAM key, const AnsiString& caption);
// Whether a mouse that went down at start and is now at now has moved far enough to drag.
bool DragThresholdPassed(const TPoint& start, const TPoint& now, int threshold);
// The first part of a hint ("short|long"), and the second (the whole hint when it has no "|").
AnsiString GetShortHint(const AnsiString& hint);
AnsiString GetLongHint(const AnsiString& hint);

namespace VclText {
inline constexpr const char* ParentRequired = "Control '%s' has no parent window";
inline constexpr const char* ControlParentSetToSelf = "A control cannot have itself as its parent";
inline constexpr const char* CannotFocus = "Cannot focus a disabled or invisible window";
}  // namespace VclText
