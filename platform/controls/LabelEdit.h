#pragma once
// The edit box that tree and list views open over an item's label to rename it in place. It
// ends on Enter (kept), Esc (cancelled) or when it loses the focus (kept), and tells its
// owner once.

#include <functional>
#include <string>

#include "platform/user/User.h"

class LabelEdit {
public:
  using EndHandler = std::function<void(bool cancelled, const std::string& text)>;

  LabelEdit() = default;
  LabelEdit(const LabelEdit&) = delete;
  LabelEdit& operator=(const LabelEdit&) = delete;
  ~LabelEdit() { End(true); }

  // Opens over rect (client coordinates of parent) with the whole text selected and the focus.
  bool Open(HWND parent, RECT rect, const std::string& text, HFONT font, EndHandler onEnd);
  // Ends the edit, if one is open, and destroys its window.
  void End(bool cancelled);
  HWND Window() const { return edit_; }
  bool IsOpen() const { return edit_ != nullptr; }

private:
  HWND edit_ = nullptr;
  HWND parent_ = nullptr;
  WNDPROC editProc_;
  EndHandler onEnd_;
};
