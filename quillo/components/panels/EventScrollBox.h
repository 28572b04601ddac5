#pragma once
// TEventScrollBox: a scroll box that tells its owner when the user scrolls it, once the box
// has scrolled, for every scroll message (thumb tracking too).

#include "platform/vcl/ScrollBox.h"

class TEventScrollBox : public TScrollBox {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TEventScrollBox(TComponent* owner) : TScrollBox(owner) {}

  TNotifyEvent OnScrollHorz;
  TNotifyEvent OnScrollVert;

  void WndProc(TMessage& message) override;
};
