#pragma once
// A shown top-level window that parents one common control and keeps the notifications the
// control sends it: their codes in order, and the answers it gives, by code or by handler.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/controls/CommonNotify.h"
#include "support/UiDriver.h"

class NotifyHost {
public:
  static constexpr int kLeft = 100, kTop = 100;

  NotifyHost();
  ~NotifyHost();
  NotifyHost(const NotifyHost&) = delete;
  NotifyHost& operator=(const NotifyHost&) = delete;

  // A child control of the class at (0, 0) of the host's client area, focused.
  HWND Make(const char* className, DWORD style, int width, int height, int id = 7);

  // The codes sent since the last Take, and forgets them.
  std::vector<UINT> Take();
  // The answer to every notification with this code (0 unless set).
  void Answer(UINT code, LRESULT result) { answers_[code] = result; }
  // Runs for each notification before the answer is looked up; may set the answer itself.
  void OnNotify(std::function<void(const NMHDR&, LRESULT&)> handler) { handler_ = std::move(handler); }
  // The control's client point on the screen.
  POINT At(int x, int y) const { return UiDriver::At(control_, x, y); }

  HWND window = nullptr;
  UiDriver ui;

private:
  LRESULT Proc(HWND w, UINT m, WPARAM wp, LPARAM lp);

  HWND control_ = nullptr;
  std::vector<UINT> codes_;
  std::map<UINT, LRESULT> answers_;
  std::function<void(const NMHDR&, LRESULT&)> handler_;
};
