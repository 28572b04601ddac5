#include "NotifyHost.h"

namespace {

constexpr char kClass[] = "NotifyHost";

}  // namespace

NotifyHost::NotifyHost() {
  WNDCLASS wc;
  wc.lpfnWndProc = [this](HWND w, UINT m, WPARAM wp, LPARAM lp) { return Proc(w, m, wp, lp); };
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNFACE + 1));
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kClass;
  RegisterClass(&wc);
  window = CreateWindowEx(0, kClass, "Host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, kLeft, kTop, 500, 400, nullptr,
                          nullptr, nullptr, nullptr);
  ui.RunUntilIdle();
}

NotifyHost::~NotifyHost() {
  handler_ = nullptr;
  if (IsWindow(window)) DestroyWindow(window);
  UnregisterClass(kClass, nullptr);
}

HWND NotifyHost::Make(const char* className, DWORD style, int width, int height, int id) {
  control_ = CreateWindowEx(0, className, "", WS_CHILD | WS_VISIBLE | style, 0, 0, width, height, window,
                            reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), nullptr, nullptr);
  SetFocus(control_);
  ui.RunUntilIdle();
  codes_.clear();
  return control_;
}

std::vector<UINT> NotifyHost::Take() {
  std::vector<UINT> out;
  out.swap(codes_);
  return out;
}

LRESULT NotifyHost::Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_NOTIFY && lp) {
    const auto& header = *reinterpret_cast<const NMHDR*>(lp);
    codes_.push_back(header.code);
    LRESULT result = answers_.count(header.code) ? answers_[header.code] : 0;
    if (handler_) handler_(header, result);
    return result;
  }
  return DefWindowProc(w, m, wp, lp);
}
