#include "NotifyParent.h"

#include "platform/controls/Header.h"

namespace {
constexpr const char* kClass = "NotifyParentTestWindow";
}

NotifyParent::NotifyParent(int width, int height, DWORD style) {
  WNDCLASS wc;
  wc.lpfnWndProc = [this](HWND w, UINT m, WPARAM wp, LPARAM lp) { return Proc(w, m, wp, lp); };
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNFACE + 1));
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kClass;
  RegisterClass(&wc);
  window_ = CreateWindowEx(0, kClass, "Parent", style, 20, 20, width, height, nullptr, nullptr, nullptr, nullptr);
}

NotifyParent::~NotifyParent() {
  answer = nullptr;
  draw = nullptr;
  if (IsWindow(window_)) DestroyWindow(window_);
  UnregisterClass(kClass, nullptr);
}

HWND NotifyParent::Child(const char* className, DWORD style, int x, int y, int width, int height, int id,
                         const char* text) {
  return CreateWindowEx(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, window_,
                        reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), nullptr, nullptr);
}

std::vector<UINT> NotifyParent::Codes() const {
  std::vector<UINT> codes;
  for (const Note& n : notes) codes.push_back(n.code);
  return codes;
}

std::vector<UINT> NotifyParent::TakeCodes() {
  std::vector<UINT> codes = Codes();
  notes.clear();
  return codes;
}

LRESULT NotifyParent::Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(lp);
      Note note{header.code, -2, -1};
      if (header.code <= static_cast<UINT>(-300) && header.code >= static_cast<UINT>(-399)) {
        const auto& n = *reinterpret_cast<const NMHEADER*>(lp);
        note.item = n.iItem;
        if (n.pitem && (n.pitem->mask & HDI_WIDTH)) note.width = n.pitem->cxy;
      } else if (header.code == NM_CLICK || header.code == NM_RCLICK || header.code == NM_DBLCLK) {
        note.item = static_cast<int>(reinterpret_cast<const NMMOUSE*>(lp)->dwItemSpec);
      }
      notes.push_back(note);
      return answer ? answer(header) : 0;
    }
    case WM_DRAWITEM: {
      const auto& d = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      drawn.push_back(d);
      if (draw) draw(d);
      return TRUE;
    }
    case WM_SIZE:
      ++sizes;
      for (HWND child : passSizeTo) SendMessage(child, WM_SIZE, wp, lp);
      return 0;
    default: return DefWindowProc(w, msg, wp, lp);
  }
}
