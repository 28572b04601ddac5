#include "quillo/components/panels/FriendlyStatusBar.h"

QUILLO_DEFINE_PUBLISHED_CLASS(TFriendlyStatusBar, TStatusBar)

const TPropTable* TFriendlyStatusBar::PublishedProperties() {
  static const TPropTable table = TPublisher<TFriendlyStatusBar>().Table();
  return &table;
}

TFriendlyStatusBar::TFriendlyStatusBar(TComponent* owner) : TStatusBar(owner) {
  SetControlStyle(ControlStyle() << csAcceptsControls);
}
