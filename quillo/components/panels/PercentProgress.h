#pragma once
// TPercentProgress: a flat progress bar with a sunken frame, a filled part and a text made of
// its caption, three blanks and the percentage. Setting Position repaints at once, so a loop
// that sets it shows progress without returning to the message loop.

#include "platform/vcl/GraphicControl.h"

// The percentage (rounded, halves to even) and the filled width of a bar width pixels wide
// (position / max x (width - 1), same rounding). A max of 0 or less shows 0% and no bar.
struct TProgressFigures {
  int percent = 0;
  int barWidth = 0;
  bool operator==(const TProgressFigures&) const = default;
};
TProgressFigures ProgressFigures(int position, int max, int width);

class TPercentProgress : public TCustomControl {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TPercentProgress(TComponent* owner);

  int GetMax() const { return max_; }
  void SetMax(int value);
  int GetPosition() const { return position_; }
  void SetPosition(int value);
  TColor GetProgressColor() const { return progressColor_; }
  void SetProgressColor(TColor value);
  int Percentage() const { return figures_.percent; }
  int BarWidth() const { return figures_.barWidth; }
  // Stores the figures for the present Position, Max and Width; true when they changed.
  bool RecalcPercentage();
  // The text drawn: "Caption   50%", or "50%" without a caption.
  AnsiString DisplayText() const;

  void Dispatch(TMessage& message) override;

protected:
  void Paint() override;
  void Resize() override;

private:
  int max_ = 100;
  int position_ = 0;
  TColor progressColor_ = clWhite;
  TProgressFigures figures_;
};
