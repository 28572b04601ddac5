#pragma once
// A window class for tests that fills its client area with one colour in WM_PAINT and counts
// its paints.

#include "Recorder.h"

class Painter {
public:
  Painter(const char* cls, COLORREF colour) : rec_(cls), colour_(colour) {
    rec_.OnMessage([this](HWND w, UINT m, WPARAM, LPARAM, LRESULT&) {
      if (m != WM_PAINT) return false;
      ++paints;
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(w, &ps);
      RECT r;
      GetClientRect(w, &r);
      HBRUSH b = CreateSolidBrush(colour_);
      FillRect(dc, &r, b);
      DeleteObject(b);
      EndPaint(w, &ps);
      return true;
    });
  }
  Recorder& rec() { return rec_; }
  int paints = 0;

private:
  Recorder rec_;
  COLORREF colour_;
};
