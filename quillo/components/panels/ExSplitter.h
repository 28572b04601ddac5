#pragma once
// TExSplitter: a thin panel between two aligned controls. Dragging it resizes one of them: an
// inverted line follows the mouse on the form, within TopLeftLimit and BottomRightLimit of the
// parent's edges, and the size changes only when the button is let go; Escape gives the drag up.

#include "platform/vcl/ExtCtrls.h"

enum TSplitterStyle { spUnknown, spHorizontalFirst, spHorizontalSecond, spVerticalFirst, spVerticalSecond };
QUILLO_DECLARE_ENUM_TYPE(TSplitterStyle)

using TSplitterPosChangingEvent = std::function<void(TObject* sender, int x, int y, bool& allow)>;

class TExSplitter : public TCustomPanel {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TExSplitter(TComponent* owner);
  ~TExSplitter() override;

  TControl* GetControlFirst() const { return controlFirst_; }
  void SetControlFirst(TControl* value);
  TControl* GetControlSecond() const { return controlSecond_; }
  void SetControlSecond(TControl* value);
  int GetTopLeftLimit() const { return topLeftLimit_; }
  void SetTopLeftLimit(int value) { topLeftLimit_ = value; }
  int GetBottomRightLimit() const { return bottomRightLimit_; }
  void SetBottomRightLimit(int value) { bottomRightLimit_ = value; }
  // Old form files' one limit for both sides.
  void SetLimitOffset(int value) { topLeftLimit_ = bottomRightLimit_ = value; }

  // How a drag would size, from the alignments of the two controls and the splitter.
  TSplitterStyle SizingStyle() const;
  bool Sizing() const { return sizing_; }

  TNotifyEvent OnPosChanged;
  TSplitterPosChangingEvent OnPosChanging;

  void Loaded() override;

protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void Notification(TComponent* component, TOperation operation) override;
  void RequestAlign() override;

private:
  TControl* Acceptable(TControl* value) const;
  void UpdateCursor();
  void FindFirstControl();
  TPoint Clamp(TPoint p) const;
  bool AskPosChanging(const TPoint& p);
  void DrawLine();  // inverts the line at lastPos_ (drawing twice erases it)
  void MoveLine(const TPoint& p);
  void StopSizing(bool apply, const TPoint& at);
  void ApplySize(const TPoint& at);
  void KeyDownDuringDrag(TObject* sender, WORD& key, TShiftState shift);
  int Thickness() const;

  TControl* controlFirst_ = nullptr;
  TControl* controlSecond_ = nullptr;
  bool sizing_ = false;
  TSplitterStyle style_ = spUnknown;
  TPoint lastPos_;
  bool lineShown_ = false;
  TPoint downPos_;
  TPoint lowerLimit_, upperLimit_;
  TCustomForm* lineForm_ = nullptr;
  HDC lineDC_ = nullptr;
  TWinControl* keyControl_ = nullptr;
  TKeyEvent savedKeyDown_;
  bool savedShowHint_ = true;
  int topLeftLimit_ = 20;
  int bottomRightLimit_ = 20;
  TAlign lastAlign_ = alNone;
};
