#include "platform/user/MdiScroll.h"

#include <algorithm>
#include <cstdint>

#include "platform/user/MdiClient.h"

namespace {

constexpr char kBarsProp[] = "quillo.mdi.scrollbars";
constexpr char kPendingProp[] = "quillo.mdi.scrollpending";
constexpr int kLine = 8;

DWORD WantedBars(HWND client) {
  return static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(GetProp(client, kBarsProp)));
}

}  // namespace

void RememberMdiScrollBars(HWND client, DWORD style) {
  DWORD bars = style & (WS_HSCROLL | WS_VSCROLL);
  if (bars) SetProp(client, kBarsProp, reinterpret_cast<void*>(static_cast<std::uintptr_t>(bars)));
}

void ForgetMdiScrollBars(HWND client) {
  RemoveProp(client, kBarsProp);
  RemoveProp(client, kPendingProp);
}

void ScheduleMdiScrollRanges(HWND client) {
  if (!WantedBars(client) || GetProp(client, kPendingProp)) return;
  SetProp(client, kPendingProp, reinterpret_cast<void*>(1));
  PostMessage(client, kMdiCalcChildScroll, 0, 0);
}

// Each bar spans the client's own area and every visible child's, with the view's origin at
// position 0: so a child above or left of the view puts the thumb away from the start.
void CalcMdiScrollRanges(HWND client) {
  RemoveProp(client, kPendingProp);
  DWORD wanted = WantedBars(client);
  std::shared_ptr<MdiClient> state = MdiClient::Of(client);
  if (!wanted || !state) return;
  if (state->Maximized()) {
    ShowScrollBar(client, SB_BOTH, FALSE);
    return;
  }
  RECT view;
  GetClientRect(client, &view);
  RECT extent = view;
  for (HWND child : state->Children()) {
    if (!IsWindowVisible(child)) continue;
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, client, reinterpret_cast<POINT*>(&r), 2);
    UnionRect(&extent, &extent, &r);
  }
  for (int bar : {SB_HORZ, SB_VERT}) {
    if (!(wanted & (bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL))) continue;
    bool horizontal = bar == SB_HORZ;
    SCROLLINFO info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = horizontal ? extent.left : extent.top;
    info.nMax = (horizontal ? extent.right : extent.bottom) - 1;
    info.nPage = static_cast<UINT>(horizontal ? view.right : view.bottom);
    info.nPos = 0;
    SetScrollInfo(client, bar, &info, TRUE);
  }
}

void ScrollMdiChildren(HWND client, UINT message, WPARAM wParam) {
  int bar = message == WM_HSCROLL ? SB_HORZ : SB_VERT;
  SCROLLINFO info;
  info.fMask = SIF_ALL;
  if (!GetScrollInfo(client, bar, &info)) return;
  int last = std::max(info.nMin, info.nMax - std::max(static_cast<int>(info.nPage) - 1, 0));
  int pos = info.nPos;
  switch (LOWORD(wParam)) {
    case SB_LINEUP: pos -= kLine; break;
    case SB_LINEDOWN: pos += kLine; break;
    case SB_PAGEUP: pos -= static_cast<int>(info.nPage); break;
    case SB_PAGEDOWN: pos += static_cast<int>(info.nPage); break;
    case SB_THUMBPOSITION: pos = info.nTrackPos; break;
    case SB_TOP: pos = info.nMin; break;
    case SB_BOTTOM: pos = last; break;
    default: return;
  }
  pos = std::clamp(pos, info.nMin, last);
  int delta = info.nPos - pos;
  if (delta == 0) return;
  ScrollWindowEx(client, bar == SB_HORZ ? delta : 0, bar == SB_VERT ? delta : 0, nullptr, nullptr, nullptr, nullptr,
                 SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
  CalcMdiScrollRanges(client);
}
