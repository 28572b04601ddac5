#pragma once
// What the common controls share: the generic notification codes (sent in NMHDR::code of a
// WM_NOTIFY), the mouse notification record, the placement styles of bars (CCS_), the state
// each control keeps per window, and the helpers that send notifications and pick the font.

#include <map>
#include <memory>

#include "platform/user/User.h"
#include "platform/user/UserTypes.h"

// Generic notifications: negative codes, as Windows numbers them.
constexpr UINT NM_OUTOFMEMORY = static_cast<UINT>(-1), NM_CLICK = static_cast<UINT>(-2),
               NM_DBLCLK = static_cast<UINT>(-3), NM_RETURN = static_cast<UINT>(-4),
               NM_RCLICK = static_cast<UINT>(-5), NM_RDBLCLK = static_cast<UINT>(-6),
               NM_SETFOCUS = static_cast<UINT>(-7), NM_KILLFOCUS = static_cast<UINT>(-8);

// Placement of bars in their parent (status bars, headers).
constexpr DWORD CCS_TOP = 0x1, CCS_NOMOVEY = 0x2, CCS_BOTTOM = 0x3, CCS_NORESIZE = 0x4,
                CCS_NOPARENTALIGN = 0x8, CCS_ADJUSTABLE = 0x20, CCS_NODIVIDER = 0x40, CCS_VERT = 0x80;

// Mouse notifications of bars: which part (item) was clicked, and where.
struct NMMOUSE {
  NMHDR hdr;
  DWORD_PTR dwItemSpec = 0;
  DWORD_PTR dwItemData = 0;
  POINT pt;
  LPARAM dwHitInfo = 0;
};

// Fills the header and sends WM_NOTIFY to the control's parent; answers the parent's reply.
LRESULT SendNotify(HWND control, UINT code, NMHDR* header);
inline LRESULT SendNotify(HWND control, UINT code) {
  NMHDR header;
  return SendNotify(control, code, &header);
}
// The font a control draws with: the one WM_SETFONT gave it, else the system's UI font.
HFONT ControlFont(HFONT chosen);
// The height of a line of text in a font.
int FontLineHeight(HFONT font);

// Per-window state of a control class, made on first need and freed at WM_NCDESTROY, so a
// window of any class that uses the control's procedure (a framework subclass) has one too.
template <class State>
class PerWindow {
public:
  State& Of(HWND window) {
    auto& slot = states_[window];
    if (!slot) slot = std::make_unique<State>();
    return *slot;
  }
  void Forget(HWND window) { states_.erase(window); }

private:
  std::map<HWND, std::unique_ptr<State>> states_;
};
