#pragma once
// TDockX: an edge area of a form that holds dockable tool windows in rows. It aligns itself
// to one side of its parent, lays its toolbars out (DockLayout), grows and shrinks with the
// rows, can tile a background bitmap behind itself, and draws optional bound lines.

#include <functional>
#include <vector>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/GraphicControl.h"
#include "quillo/components/toolbars/DockTypes.h"

namespace tbx {

class TCustomToolWindowX;

using TInsertRemoveEvent = std::function<void(TObject* sender, bool inserting, TCustomToolWindowX* bar)>;
using TRequestDockEvent = std::function<void(TObject* sender, TCustomToolWindowX* bar, bool& accept)>;

class TDockX : public TCustomControl {
  QUILLO_DECLARE_PUBLISHED_CLASS()
  friend class TCustomToolWindowX;

public:
  explicit TDockX(TComponent* owner);
  ~TDockX() override;

  void SetParent(TWinControl* parent) override;

  TDockPosition GetPosition() const { return position_; }
  void SetPosition(TDockPosition value);
  bool GetAllowDrag() const { return allowDrag_; }
  void SetAllowDrag(bool value);
  TDockBoundLines GetBoundLines() const { return boundLines_; }
  void SetBoundLines(TDockBoundLines value);
  TBitmap* GetBackground() const { return background_.get(); }
  void SetBackground(TBitmap* value);
  bool GetBackgroundOnToolbars() const { return backgroundOnToolbars_; }
  void SetBackgroundOnToolbars(bool value);
  bool GetBackgroundTransparent() const { return backgroundTransparent_; }
  void SetBackgroundTransparent(bool value);
  bool GetFixAlign() const { return fixAlign_; }
  void SetFixAlign(bool value);
  bool GetLimitToOneRow() const { return limitToOneRow_; }
  void SetLimitToOneRow(bool value);
  AnsiString GetVersion() const;

  TInsertRemoveEvent OnInsertRemoveBar;
  TRequestDockEvent OnRequestDock;

  void BeginUpdate();
  void EndUpdate();
  void ArrangeToolbars(bool clipPoses);

  int ToolbarCount() const { return static_cast<int>(dockVisibleList_.size()); }
  TCustomToolWindowX* Toolbars(int index) const { return dockVisibleList_.at(static_cast<std::size_t>(index)); }
  const std::vector<TCustomToolWindowX*>& DockList() const { return dockList_; }
  const std::vector<int>& RowSizes() const { return rowSizes_; }

  int GetHighestRow() const;
  int GetNumberOfToolbarsOnRow(int row, const TCustomToolWindowX* notIncluding) const;
  int GetRowSize(int row, TCustomToolWindowX* defaultToolbar) const;
  int GetRowOf(int xy, bool& before) const;
  void RemoveBlankRows();
  void InsertRowBefore(int beforeRow);
  bool HasVisibleToolbars() const;
  bool ToolbarVisibleOnDock(const TCustomToolWindowX* bar) const;
  bool Vertical() const { return position_ == dpLeft || position_ == dpRight; }
  TDockType DockType() const { return Vertical() ? dtLeftRight : dtTopBottom; }
  int NonClientWidth() const { return ncWidth_; }
  int NonClientHeight() const { return ncHeight_; }
  bool UsingBackground() const { return background_->GetWidth() != 0 && background_->GetHeight() != 0; }
  // Tiles the background over drawRect of dc (clipped to clip, less exclude when given), the
  // pattern anchored at the dock's parent so docks and toolbars show one tiling.
  void DrawBackground(HDC dc, const TRect& clip, const TRect* exclude, const TRect& drawRect);
  void InvalidateBackgrounds();

  void Dispatch(TMessage& message) override;
  void Loaded() override;

protected:
  void CreateParams(TCreateParams& params) override;
  void AlignControls(TControl* control, TRect& rect) override;
  void Notification(TComponent* component, TOperation operation) override;
  void Paint() override;

private:
  void ChangeDockList(bool insert, TCustomToolWindowX* bar);
  void ToolbarVisibilityChanged(TCustomToolWindowX* bar, bool forceRemove);
  void ChangeWidthHeight(int newWidth, int newHeight);
  void BackgroundChanged();
  void ForceFrameRecalc(HWND window);
  void WMNCCalcSize(TMessage& m);
  void WMNCPaint(TMessage& m);
  void DrawBoundLines(HWND window, HDC dc);

  TDockPosition position_ = dpTop;
  bool allowDrag_ = true;
  TDockBoundLines boundLines_;
  TOwnedPtr<TBitmap> background_;
  TOwnedPtr<TBitmap> backgroundCache_;
  bool backgroundTransparent_ = false;
  bool backgroundOnToolbars_ = true;
  bool fixAlign_ = false;
  bool limitToOneRow_ = false;
  int updateCount_ = 0;
  bool arrangePending_ = false;
  bool clipPosesPending_ = false;
  int ncWidth_ = 0;
  int ncHeight_ = 0;
  std::vector<TCustomToolWindowX*> dockList_;
  std::vector<TCustomToolWindowX*> dockVisibleList_;
  std::vector<int> rowSizes_;
};

TDockType GetDockTypeOf(const TDockX* dock);

}  // namespace tbx
