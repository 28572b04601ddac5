#include "platform/controls/LabelEdit.h"

namespace {

constexpr DWORD kAutoHScroll = 0x80;
constexpr UINT kSetSelection = 0x00B1;

}  // namespace

bool LabelEdit::Open(HWND parent, RECT rect, const std::string& text, HFONT font, EndHandler onEnd) {
  End(false);
  edit_ = CreateWindowEx(0, "EDIT", text.c_str(), WS_CHILD | WS_BORDER | kAutoHScroll, rect.left, rect.top,
                         rect.right - rect.left, rect.bottom - rect.top, parent, nullptr, nullptr, nullptr);
  if (!edit_) return false;
  parent_ = parent;
  onEnd_ = std::move(onEnd);
  SendMessage(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  editProc_ = GetWindowProc(edit_);
  SetWindowProc(edit_, [this](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == WM_GETDLGCODE) return CallWindowProc(editProc_, w, m, wp, lp) | DLGC_WANTALLKEYS;
    if (m == WM_KEYDOWN && (wp == VK_RETURN || wp == VK_ESCAPE)) {
      End(wp == VK_ESCAPE);
      return 0;
    }
    if (m == WM_CHAR && (wp == '\r' || wp == 27)) return 0;
    if (m == WM_KILLFOCUS) {
      WNDPROC proc = editProc_;
      if (edit_ == w) End(false);
      return CallWindowProc(proc, w, m, wp, lp);
    }
    return CallWindowProc(editProc_, w, m, wp, lp);
  });
  ShowWindow(edit_, SW_SHOW);
  SetFocus(edit_);
  SendMessage(edit_, kSetSelection, 0, -1);
  return true;
}

void LabelEdit::End(bool cancelled) {
  HWND edit = edit_;
  if (!edit) return;
  edit_ = nullptr;
  std::string text(static_cast<size_t>(GetWindowTextLength(edit)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowText(edit, text.data(), static_cast<int>(text.size()))));
  EndHandler onEnd = std::move(onEnd_);
  onEnd_ = nullptr;
  if (GetFocus() == edit && IsWindow(parent_)) SetFocus(parent_);
  // The original procedure stays until the window is gone: it frees the edit's own state.
  SetWindowProc(edit, editProc_);
  DestroyWindow(edit);
  if (onEnd) onEnd(cancelled, text);
}
