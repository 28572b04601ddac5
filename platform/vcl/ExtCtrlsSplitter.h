#pragma once
// TSplitter: a thin bar between a control aligned to one side and the rest of its parent.
// Dragging it resizes that control: an inverted line (or a halftone pattern) follows the
// mouse and the size changes when the button is let go (or at every move with rsUpdate),
// never below MinSize nor beyond what leaves MinSize for the rest; Escape, pressed in the
// form's active control, gives the drag up.

#include "platform/vcl/GraphicControl.h"

enum TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };
QUILLO_DECLARE_ENUM_TYPE(TResizeStyle)

using TCanResizeSizeEvent = std::function<void(TObject* sender, int& newSize, bool& accept)>;

class TSplitter : public TGraphicControl {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TSplitter(TComponent* owner);
  ~TSplitter() override;

  int GetMinSize() const { return minSize_; }
  void SetMinSize(int value) { minSize_ = value > 0 ? value : 1; }
  TResizeStyle GetResizeStyle() const { return resizeStyle_; }
  void SetResizeStyle(TResizeStyle value) { resizeStyle_ = value; }
  // Sizes at or below MinSize snap the control shut (size 0).
  bool GetAutoSnap() const { return autoSnap_; }
  void SetAutoSnap(bool value) { autoSnap_ = value; }
  bool GetBeveled() const { return beveled_; }
  void SetBeveled(bool value);
  // Whether a drag is under way.
  bool Sizing() const { return control_ != nullptr; }

  TCanResizeSizeEvent OnCanResize;
  TNotifyEvent OnMoved;
  TNotifyEvent OnPaint;

protected:
  // The sibling the splitter sizes: the one its aligned edge touches.
  virtual TControl* FindResizeControl() const;
  virtual bool DoCanResize(int& newSize);
  virtual void StopSizing();
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void Paint() override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  void CalcSplitSize(int x, int y, int& newSize, int& split) const;
  void UpdateControlSize();
  void DrawLine();
  void AllocateLineDC();
  void ReleaseLineDC();
  void FocusKeyDown(TObject* sender, WORD& key, TShiftState shift);

  int minSize_ = 30;
  TResizeStyle resizeStyle_ = rsPattern;
  bool autoSnap_ = true;
  bool beveled_ = false;
  TControl* control_ = nullptr;  // being sized
  TPoint downPos_;
  int maxSize_ = 0;
  int oldSize_ = 0;
  int newSize_ = 0;
  int split_ = 0;
  bool lineVisible_ = false;
  HDC lineDC_ = nullptr;
  HBRUSH brush_ = nullptr;
  HBRUSH previousBrush_ = nullptr;
  TWinControl* activeControl_ = nullptr;  // whose OnKeyDown is borrowed during the drag
  TKeyEvent oldKeyDown_;
};
