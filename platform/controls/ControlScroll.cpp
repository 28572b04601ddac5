#include "platform/controls/ControlScroll.h"

#include <map>
#include <utility>

namespace {

std::map<std::pair<HWND, int>, ControlScrollState>& States() {
  static std::map<std::pair<HWND, int>, ControlScrollState> states;
  return states;
}

}  // namespace

void SetControlScroll(HWND window, int bar, const ControlScrollState& state) { States()[{window, bar}] = state; }

ControlScrollState GetControlScroll(HWND window, int bar) {
  auto it = States().find({window, bar});
  return it == States().end() ? ControlScrollState{} : it->second;
}

void ForgetControlScroll(HWND window) {
  States().erase({window, kControlScrollHorizontal});
  States().erase({window, kControlScrollVertical});
}
