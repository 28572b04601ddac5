#pragma once
// TTrackBar: the framework's track bar over the track-bar control. Moving the thumb with the
// mouse or the keys, or setting Position, fires OnChange; the settings are kept while the
// window is re-made.

#include "platform/vcl/WinControl.h"

enum TTrackBarOrientation { trHorizontal, trVertical };
enum TTickMark { tmBottomRight, tmTopLeft, tmBoth };
enum TTickStyle { tsNone, tsAuto, tsManual };
QUILLO_DECLARE_ENUM_TYPE(TTrackBarOrientation)
QUILLO_DECLARE_ENUM_TYPE(TTickMark)
QUILLO_DECLARE_ENUM_TYPE(TTickStyle)

class TTrackBar : public TWinControl {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TTrackBar(TComponent* owner);

  int GetMin() const { return min_; }
  void SetMin(int value);
  int GetMax() const { return max_; }
  void SetMax(int value);
  int GetPosition() const { return position_; }
  void SetPosition(int value);
  int GetFrequency() const { return frequency_; }
  void SetFrequency(int value);
  int GetLineSize() const { return lineSize_; }
  void SetLineSize(int value);
  int GetPageSize() const { return pageSize_; }
  void SetPageSize(int value);
  int GetSelStart() const { return selStart_; }
  void SetSelStart(int value);
  int GetSelEnd() const { return selEnd_; }
  void SetSelEnd(int value);
  int GetThumbLength() const { return thumbLength_; }
  void SetThumbLength(int value);
  TTrackBarOrientation GetOrientation() const { return orientation_; }
  void SetOrientation(TTrackBarOrientation value);
  TTickMark GetTickMarks() const { return tickMarks_; }
  void SetTickMarks(TTickMark value);
  TTickStyle GetTickStyle() const { return tickStyle_; }
  void SetTickStyle(TTickStyle value);
  bool GetSliderVisible() const { return sliderVisible_; }
  void SetSliderVisible(bool value);
  // A tick of its own at a position (with TickStyle tsManual).
  void SetTick(int value);

  TNotifyEvent OnChange;

  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Changed() override;

private:
  void Send(UINT message, WPARAM wParam, LPARAM lParam);

  int min_ = 0;
  int max_ = 10;
  int position_ = 0;
  int frequency_ = 1;
  int lineSize_ = 1;
  int pageSize_ = 2;
  int selStart_ = 0;
  int selEnd_ = 0;
  int thumbLength_ = 20;
  TTrackBarOrientation orientation_ = trHorizontal;
  TTickMark tickMarks_ = tmBottomRight;
  TTickStyle tickStyle_ = tsAuto;
  bool sliderVisible_ = true;
  std::vector<int> ticks_;
};
