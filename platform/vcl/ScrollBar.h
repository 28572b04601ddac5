#pragma once
// TScrollBar: the framework's scroll bar over a SCROLLBAR window. Its Position stays within
// Min and Max (less the page beyond its first line); a press or a key on the bar fires
// OnScroll with the scroll code and the proposed position, which the handler may change,
// and then OnChange when the position moved.

#include "platform/vcl/ScrollingWinControl.h"

enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
QUILLO_DECLARE_ENUM_TYPE(TScrollCode)

using TScrollEvent = std::function<void(TObject* sender, TScrollCode code, int& scrollPos)>;

class TScrollBar : public TWinControl {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TScrollBar(TComponent* owner);

  TScrollBarKind GetKind() const { return kind_; }
  void SetKind(TScrollBarKind kind);
  int GetMin() const { return min_; }
  void SetMin(int value) { SetParams(position_, value, max_); }
  int GetMax() const { return max_; }
  void SetMax(int value) { SetParams(position_, min_, value); }
  int GetPosition() const { return position_; }
  void SetPosition(int value) { SetParams(value, min_, max_); }
  int GetSmallChange() const { return smallChange_; }
  void SetSmallChange(int value) { smallChange_ = value; }
  int GetLargeChange() const { return largeChange_; }
  void SetLargeChange(int value) { largeChange_ = value; }
  int GetPageSize() const { return pageSize_; }
  void SetPageSize(int value);
  // Sets the three at once; a maximum below the minimum becomes the minimum, and the
  // position is kept within the range. Fires OnChange when the position moved.
  void SetParams(int position, int min, int max);

  TNotifyEvent OnChange;
  TScrollEvent OnScroll;

  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  virtual void Change();
  virtual void Scroll(TScrollCode code, int& scrollPos);

private:
  int HighestPosition(int min, int max) const;
  void UpdateWindow();
  void DoScroll(TMessage& message);

  TScrollBarKind kind_ = sbHorizontal;
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
  int smallChange_ = 1;
  int largeChange_ = 1;
  int pageSize_ = 0;
};
