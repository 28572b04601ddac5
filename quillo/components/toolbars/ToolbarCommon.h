#pragma once
// What docks, tool windows and toolbar buttons share: one set of thread hooks multiplexed to
// any number of registered procedures (reference-counted, so the last user removes them),
// WM_PRINT / WM_PRINTCLIENT for controls that paint their own non-client area, a quicksort
// whose comparison takes extra data, and the application-is-active test.

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/vcl/Control.h"
#include "platform/vcl/List.h"
#include "platform/vcl/SetOf.h"

namespace tbx {

enum THookProcCode { hpSendActivateApp, hpSendWindowPosChanged, hpPreDestroy, hpPostMouseMove };
using THookProcCodes = SetOf<THookProcCode>;
using THookProc = void (*)(THookProcCode code, HWND window, WPARAM wParam, LPARAM lParam);

// Registers proc for the codes (a second registration only raises its count). Unless
// onlyIncrementCount, the thread hooks the codes need are installed on first need.
void InstallHookProc(THookProc proc, THookProcCodes codes, bool onlyIncrementCount);
// Lowers proc's count; the hooks nobody needs any more are removed.
void UninstallHookProc(THookProc proc);
// How many registrations and installed thread hooks there are now (tests check that none is
// left behind).
int RegisteredHookProcCount();
int InstalledThreadHookCount();

bool ApplicationIsActive();

inline bool RectEmpty(const TRect& r) { return r.right <= r.left || r.bottom <= r.top; }
inline bool RectContains(const TRect& r, const TPoint& p) {
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

namespace detail {
template <class T, class Compare>
void QuickSortRange(std::vector<T>& items, int l, int r, Compare& compare) {
  auto at = [&](int k) -> T& { return items[static_cast<std::size_t>(k)]; };
  do {
    int i = l, j = r;
    T pivot = at((l + r) / 2);
    do {
      while (compare(at(i), pivot) < 0) ++i;
      while (compare(at(j), pivot) > 0) --j;
      if (i <= j) {
        std::swap(at(i), at(j));
        ++i;
        --j;
      }
    } while (i <= j);
    if (l < j) QuickSortRange(items, l, j, compare);
    l = i;
  } while (l < r);
}
}  // namespace detail

// Sorts in place by quicksort (middle pivot, Hoare partition); equal items may change order.
// The comparison (answering <0, 0, >0) is not called for 0 or 1 items.
template <class T, class Compare>
void ListSortEx(std::vector<T>& items, Compare compare) {
  if (items.size() > 1) detail::QuickSortRange(items, 0, static_cast<int>(items.size()) - 1, compare);
}

// A TList of pointers with a comparison that takes extra data.
void ListSortEx(TList* list, int (*compare)(void* item1, void* item2, void* extraData), void* extraData);

// Selects a screen-coordinate update region (not 0 and not 1) as dc's clip region, moved to
// the window's own coordinates, so a window DC draws only where WM_NCPAINT asked.
void SelectNCUpdateRgn(HWND window, HDC dc, HRGN region);

using TNCPaintFunc = std::function<void(HWND window, HDC dc)>;
// WM_PRINT for a control that paints its own non-client area with ncPaint.
void HandleWMPrint(HWND window, TMessage& message, const TNCPaintFunc& ncPaint);
// WM_PRINTCLIENT: runs the control's paint handler on the given context.
void HandleWMPrintClient(TWinControl* control, TMessage& message);

}  // namespace tbx
