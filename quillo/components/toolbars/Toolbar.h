#pragma once
// TCustomToolbarX / TToolbarX: the dockable tool window that lays out its child controls
// (toolbar buttons, separators, any other control) in rows along its dock, wraps them into
// several rows when floating, and keeps the width at which a floating toolbar was last sized.
// TToolbarSepX is the etched separator between button groups.

#include <memory>
#include <utility>
#include <vector>

#include "platform/vcl/GraphicControl.h"
#include "quillo/components/toolbars/ToolWindow.h"
#include "quillo/components/toolbars/ToolbarLayout.h"

namespace tbx {

class TToolbarSepX;

class TCustomToolbarX : public TCustomToolWindowX {
  QUILLO_DECLARE_CLASS()

public:
  explicit TCustomToolbarX(TComponent* owner);
  ~TCustomToolbarX() override;

  int GetFloatingWidth() const { return floatingRightX_; }
  void SetFloatingWidth(int value);
  int GetOrderIndex(TControl* control) const;
  void SetOrderIndex(TControl* control, int index);
  // A pair of controls of which the first shows when docked top/bottom or floating, the
  // second when docked left/right.
  void SetSlaveControl(TControl* topBottom, TControl* leftRight);
  const std::vector<LineSeparator>& LineSeparators() const { return lineSeparators_; }
  // The controls in the toolbar's order.
  const std::vector<TControl*>& OrderList() const { return orderList_; }

  void GetBarSize(int& size, TDockType dockType) override;
  void GetMinimumSize(int& clientWidth, int& clientHeight) override;
  TPoint OrderControls(bool canMoveControls, TDockType wasDockedTo, TDockX* dockingTo) override;
  void ReadPositionData(const TPositionReadIntProc& readInt, const TPositionReadStringProc& readString) override;
  void WritePositionData(const TPositionWriteIntProc& writeInt, const TPositionWriteStringProc& writeString) override;
  void Dispatch(TMessage& message) override;

  // A press on a separator, at the toolbar's client point: the toolbar is dragged by it.
  void SeparatorMouseDown(TMouseButton button, TShiftState shift, int x, int y) { MouseDown(button, shift, x, y); }

  // The distinct floating client sizes of the toolbar as its controls stand.
  std::vector<TPoint> PotentialSizes();

protected:
  void GetParams(TToolWindowParams& params) override;
  void InitializeOrdering() override;
  void Paint() override;
  bool ChildControlTransparent(TControl* control) override;
  void ResizeBegin(TToolWindowSizeHandle handle) override;
  void ResizeTrack(TRect& rect, const TRect& origRect) override;
  void ResizeEnd(bool accept) override;

private:
  bool ShouldControlBeVisible(TControl* control, bool leftRight) const;
  void SetControlVisible(TControl* control, bool leftRight);
  std::vector<TControl*> LaidOutControls(bool onlyShouldBeVisible, bool leftRight) const;
  std::vector<ToolbarItem> ItemsOf(const std::vector<TControl*>& controls) const;

  int floatingRightX_ = 0;
  std::vector<TControl*> orderList_;
  std::vector<std::pair<TControl*, TControl*>> slaveControls_;
  std::vector<LineSeparator> lineSeparators_;
  std::unique_ptr<FloatingResizeSnapper> resizing_;
};

class TToolbarX : public TCustomToolbarX {
  QUILLO_DECLARE_CLASS()

public:
  explicit TToolbarX(TComponent* owner) : TCustomToolbarX(owner) {}
};

class TToolbarSepX : public TGraphicControl {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TToolbarSepX(TComponent* owner);
  void SetParent(TWinControl* parent) override;
  bool GetBlank() const { return blank_; }
  void SetBlank(bool value);
  int GetSizeHorz() const { return sizeHorz_; }
  void SetSizeHorz(int value);
  int GetSizeVert() const { return sizeVert_; }
  void SetSizeVert(int value);

protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

private:
  bool blank_ = false;
  int sizeHorz_ = 6;
  int sizeVert_ = 6;
};

}  // namespace tbx
