#pragma once
// TFriendlyStatusBar: a status bar that holds child controls (a progress bar and a button on
// the document window's bar). Accepting controls also clips the bar's painting to leave
// them whole: they are drawn over its panels.

#include "platform/vcl/ComCtrlsBars.h"

class TFriendlyStatusBar : public TStatusBar {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TFriendlyStatusBar(TComponent* owner);
};
