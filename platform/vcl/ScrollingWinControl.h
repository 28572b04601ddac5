#pragma once
// TScrollingWinControl: a windowed control whose children may lie beyond its client area; its
// scroll positions move them. AutoScroll keeps each range at the extent of the children;
// the window's own scroll bars show the ranges, and WM_HSCROLL and WM_VSCROLL (the bars, or
// a program) move the positions by lines, pages or to where the thumb was dragged (while it
// is dragged, when Tracking is on). A wheel turn that reaches it unhandled scrolls vertically
// (with Shift, or when only the horizontal bar shows, horizontally).

#include "platform/vcl/WinControl.h"

enum TScrollBarKind { sbHorizontal, sbVertical };
QUILLO_DECLARE_ENUM_TYPE(TScrollBarKind)

class TScrollingWinControl;

// One scroll bar of a scrolling control: the range the content spans and the position shown.
class TControlScrollBar : public TPersistent {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  TControlScrollBar(TScrollingWinControl* control, TScrollBarKind kind) : control_(control), kind_(kind) {}
  void Assign(const TPersistent* source) override;

  TScrollBarKind Kind() const { return kind_; }
  int GetRange() const { return range_; }
  void SetRange(int range);
  int GetPosition() const { return position_; }
  void SetPosition(int position);  // kept within 0 .. range - the visible extent
  int GetIncrement() const { return increment_; }
  void SetIncrement(int increment) { increment_ = increment > 0 ? increment : 1; }
  bool GetVisible() const { return visible_; }
  void SetVisible(bool visible);
  // Whether the content follows the thumb while it is dragged, or only where it is let go.
  bool GetTracking() const { return tracking_; }
  void SetTracking(bool tracking) { tracking_ = tracking; }
  // Whether the bar is shown now: visible and the content larger than the view.
  bool IsScrollBarVisible() const;
  int ScrollPos() const { return IsScrollBarVisible() ? position_ : 0; }
  void ScrollMessage(TMessage& message);

private:
  friend class TScrollingWinControl;
  int ControlSize() const;
  int SizeWithoutBars() const;
  void Update();

  TScrollingWinControl* control_;
  TScrollBarKind kind_;
  int range_ = 0;
  int position_ = 0;
  int increment_ = 8;
  bool visible_ = true;
  bool tracking_ = false;
};

class TScrollingWinControl : public TWinControl {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TScrollingWinControl(TComponent* owner);
  ~TScrollingWinControl() override;

  TControlScrollBar* GetHorzScrollBar() const { return horz_.get(); }
  void SetHorzScrollBar(TControlScrollBar* bar) { horz_->Assign(bar); }
  TControlScrollBar* GetVertScrollBar() const { return vert_.get(); }
  void SetVertScrollBar(TControlScrollBar* bar) { vert_->Assign(bar); }
  bool GetAutoScroll() const { return autoScroll_; }
  void SetAutoScroll(bool value);
  // Moves every child by (dx, dy).
  void ScrollBy(int dx, int dy);
  // Scrolls so that control lies inside the client area.
  void ScrollInView(TControl* control);

  void Dispatch(TMessage& message) override;

protected:
  void AlignControls(TControl* control, TRect& rect) override;
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void CalcAutoRange();
  // Shows each bar as its range and the view's size now say.
  void UpdateScrollBars();
  bool MouseWheelDefault(TMessage& message) override;

private:
  friend class TControlScrollBar;
  TOwnedPtr<TControlScrollBar> horz_;
  TOwnedPtr<TControlScrollBar> vert_;
  bool autoScroll_ = true;
  bool updatingRange_ = false;
  bool updatingBars_ = false;
};
