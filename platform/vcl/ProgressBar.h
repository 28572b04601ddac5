#pragma once
// TProgressBar: the framework's progress bar over the progress control. Min, Max and
// Position are kept while the window is re-made; StepIt and StepBy move the position.

#include "platform/vcl/WinControl.h"

enum TProgressBarOrientation { pbHorizontal, pbVertical };
QUILLO_DECLARE_ENUM_TYPE(TProgressBarOrientation)

class TProgressBar : public TWinControl {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TProgressBar(TComponent* owner);

  int GetMin() const { return min_; }
  void SetMin(int value) { SetParams(value, max_); }
  int GetMax() const { return max_; }
  void SetMax(int value) { SetParams(min_, value); }
  // Read from the window while it exists.
  int GetPosition() const;
  void SetPosition(int value);
  int GetStep() const { return step_; }
  void SetStep(int value);
  TProgressBarOrientation GetOrientation() const { return orientation_; }
  void SetOrientation(TProgressBarOrientation value);
  bool GetSmooth() const { return smooth_; }
  void SetSmooth(bool value);
  // A maximum below the minimum becomes the minimum.
  void SetParams(int min, int max);
  // Moves the position by Step, starting over from Min past Max.
  void StepIt();
  void StepBy(int delta);

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;

private:
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
  int step_ = 10;
  TProgressBarOrientation orientation_ = pbHorizontal;
  bool smooth_ = false;
};
