// The progress bar: range, position and step, painted in the classic block look.

#include "platform/controls/ProgressBar.h"
#include "platform/controls/ControlPaint.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "platform/user/SystemClasses.h"

namespace {

[[maybe_unused]] const bool kRegistered = AddSystemClassRegistration(&RegisterProgressClass);

constexpr char kStateProp[] = "quillo.progress";

struct ProgressState {
  int low = 0;
  int high = 100;
  int pos = 0;
  int step = 10;
  COLORREF bar = CLR_DEFAULT;
  COLORREF background = CLR_DEFAULT;
};

ProgressState* StateOf(HWND window) { return static_cast<ProgressState*>(GetProp(window, kStateProp)); }

DWORD Style(HWND window) { return static_cast<DWORD>(GetWindowLong(window, GWL_STYLE)); }

void Changed(HWND window) { InvalidateRect(window, nullptr, FALSE); }

int Clamp(const ProgressState& s, long long pos) {
  return static_cast<int>(std::clamp<long long>(pos, s.low, std::max(s.low, s.high)));
}

LRESULT SetPos(HWND window, ProgressState& s, long long pos) {
  int previous = s.pos;
  s.pos = Clamp(s, pos);
  if (s.pos != previous) Changed(window);
  return previous;
}

// Past the top, stepping starts over from the bottom of the range.
LRESULT StepIt(HWND window, ProgressState& s) {
  int previous = s.pos;
  long long next = static_cast<long long>(s.pos) + s.step;
  long long span = static_cast<long long>(s.high) - s.low;
  if (span > 0 && next > s.high) next = s.low + (next - s.low) % span;
  if (span > 0 && next < s.low) next = s.high - (s.low - next) % span;
  SetPos(window, s, next);
  return previous;
}

LRESULT SetRange(HWND window, ProgressState& s, int low, int high) {
  LRESULT previous = static_cast<LRESULT>(static_cast<DWORD>(MAKELONG(s.low, s.high)));
  s.low = low;
  s.high = high;
  s.pos = Clamp(s, s.pos);
  Changed(window);
  return previous;
}

void Fill(HDC dc, RECT r, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

void Paint(HWND window, HDC dc) {
  ProgressState* s = StateOf(window);
  if (!s) return;
  RECT r;
  GetClientRect(window, &r);
  DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  Fill(dc, r, s->background == CLR_DEFAULT ? GetSysColor(COLOR_3DFACE) : s->background);
  InflateRect(&r, -1, -1);
  COLORREF colour = s->bar == CLR_DEFAULT ? GetSysColor(COLOR_HIGHLIGHT) : s->bar;
  bool vertical = Style(window) & PBS_VERTICAL;
  int length = vertical ? r.bottom - r.top : r.right - r.left;
  long long span = static_cast<long long>(s->high) - s->low;
  if (length <= 0 || span <= 0) return;
  int filled = static_cast<int>(length * (static_cast<long long>(s->pos) - s->low) / span);
  if (Style(window) & PBS_SMOOTH) {
    Fill(dc, vertical ? RECT{r.left, r.bottom - filled, r.right, r.bottom} : RECT{r.left, r.top, r.left + filled, r.bottom},
         colour);
    return;
  }
  // Blocks two thirds as long as the bar is thick, two pixels apart; the last one started is
  // drawn whole, clipped to the bar.
  int thickness = vertical ? r.right - r.left : r.bottom - r.top;
  int block = std::max(1, thickness * 2 / 3);
  constexpr int kGap = 2;
  for (int at = 0; at < filled; at += block + kGap) {
    int end = std::min(at + block, length);
    Fill(dc, vertical ? RECT{r.left, r.bottom - end, r.right, r.bottom - at} : RECT{r.left + at, r.top, r.left + end, r.bottom},
         colour);
  }
}

LRESULT ProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ProgressState* s = StateOf(window);
  switch (message) {
    case WM_CREATE: SetProp(window, kStateProp, std::make_unique<ProgressState>().release()); return 0;
    case WM_NCDESTROY: {
      std::unique_ptr<ProgressState> owned(s);
      RemoveProp(window, kStateProp);
      break;
    }
    case WM_PAINT: case WM_PRINTCLIENT: return PaintControl(window, wParam, [window](HDC dc, const RECT&) { Paint(window, dc); });
    case WM_ERASEBKGND: return 1;
  }
  if (!s) return DefWindowProc(window, message, wParam, lParam);
  switch (message) {
    case PBM_SETRANGE: return SetRange(window, *s, LOWORD(lParam), HIWORD(lParam));
    case PBM_SETRANGE32: return SetRange(window, *s, static_cast<int>(wParam), static_cast<int>(lParam));
    case PBM_GETRANGE:
      if (auto* range = reinterpret_cast<PBRANGE*>(lParam)) *range = PBRANGE{s->low, s->high};
      return wParam ? s->low : s->high;
    case PBM_SETPOS: return SetPos(window, *s, static_cast<int>(wParam));
    case PBM_DELTAPOS: return SetPos(window, *s, static_cast<long long>(s->pos) + static_cast<int>(wParam));
    case PBM_GETPOS: return s->pos;
    case PBM_SETSTEP: {
      int previous = s->step;
      s->step = static_cast<int>(wParam);
      return previous;
    }
    case PBM_STEPIT: return StepIt(window, *s);
    case PBM_SETBARCOLOR: case PBM_SETBKCOLOR: {
      COLORREF& slot = message == PBM_SETBARCOLOR ? s->bar : s->background;
      COLORREF previous = slot;
      slot = static_cast<COLORREF>(lParam);
      Changed(window);
      return static_cast<LRESULT>(previous);
    }
  }
  return DefWindowProc(window, message, wParam, lParam);
}

}  // namespace

void RegisterProgressClass() {
  RegisterControlClass(PROGRESS_CLASS, ProgressProc, CS_HREDRAW | CS_VREDRAW);
}
