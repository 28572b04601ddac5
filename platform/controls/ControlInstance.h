#pragma once
// The C++ object behind each window of a control class: made at WM_NCCREATE, freed at
// WM_NCDESTROY. A message being handled while the window is destroyed (a parent's handler
// may destroy it) keeps its object alive until the handler returns.
//
//   wc.lpfnWndProc = ControlInstanceProc<TreeView>;   // TreeView(HWND), LRESULT Handle(UINT, WPARAM, LPARAM)

#include <map>
#include <memory>

#include "platform/user/User.h"

template <class Control>
LRESULT ControlInstanceProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  static std::map<HWND, std::shared_ptr<Control>> instances;
  if (message == WM_NCCREATE) instances[window] = std::make_shared<Control>(window);
  auto it = instances.find(window);
  if (it == instances.end()) return DefWindowProc(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    instances.erase(it);
    return DefWindowProc(window, message, wParam, lParam);
  }
  std::shared_ptr<Control> instance = it->second;
  return instance->Handle(message, wParam, lParam);
}
