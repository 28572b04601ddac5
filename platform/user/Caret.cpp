// The caret: one per thread, an inverted block in its window, blinking on the layer's clock.
// Painting hides it and shows it again afterwards, so it never smears.

#include "platform/user/Window.h"

namespace {

struct CaretState {
  HWND window = nullptr;
  int width = 0;
  int height = 0;
  POINT pos;
  int hideCount = 1;  // a new caret starts hidden
  bool drawn = false;
  UINT blinkTime = 530;
  UINT_PTR timer = 0;
};

CaretState& Caret() {
  static CaretState caret;
  return caret;
}

// Inverts the caret's block; doing it twice restores what was under it.
void Invert() {
  CaretState& c = Caret();
  if (!LiveWindow(c.window)) return;
  HDC dc = GetDC(c.window);
  PatBlt(dc, c.pos.x, c.pos.y, c.width, c.height, DSTINVERT);
  ReleaseDC(c.window, dc);
  c.drawn = !c.drawn;
}

void Erase() {
  if (Caret().drawn) Invert();
}

void Blink() {
  CaretState& c = Caret();
  if (c.hideCount == 0 || c.drawn) Invert();
}

void StopTimer() {
  CaretState& c = Caret();
  if (c.timer) KillTimer(nullptr, c.timer);
  c.timer = 0;
}

void StartTimer() {
  CaretState& c = Caret();
  StopTimer();
  c.timer = SetTimer(nullptr, 0, c.blinkTime, [](HWND, UINT, UINT_PTR, DWORD) { Blink(); });
}

}  // namespace

BOOL CreateCaret(HWND window, HBITMAP, int width, int height) {
  if (!LiveWindow(window)) return FALSE;
  DestroyCaret();
  CaretState& c = Caret();
  c.window = window;
  c.width = width > 0 ? width : GetSystemMetrics(SM_CXBORDER);
  c.height = height > 0 ? height : GetSystemMetrics(SM_CYBORDER);
  c.pos = POINT{0, 0};
  c.hideCount = 1;
  c.drawn = false;
  return TRUE;
}

BOOL DestroyCaret() {
  CaretState& c = Caret();
  if (!c.window) return FALSE;
  Erase();
  StopTimer();
  c.window = nullptr;
  return TRUE;
}

BOOL ShowCaret(HWND window) {
  CaretState& c = Caret();
  if (!c.window || (window && window != c.window) || c.hideCount == 0) return FALSE;
  if (--c.hideCount == 0) {
    Invert();
    StartTimer();
  }
  return TRUE;
}

BOOL HideCaret(HWND window) {
  CaretState& c = Caret();
  if (!c.window || (window && window != c.window)) return FALSE;
  if (c.hideCount++ == 0) {
    Erase();
    StopTimer();
  }
  return TRUE;
}

BOOL SetCaretPos(int x, int y) {
  CaretState& c = Caret();
  if (!c.window) return FALSE;
  bool shown = c.drawn;
  Erase();
  c.pos = POINT{x, y};
  if (shown || c.hideCount == 0) Invert();
  if (c.hideCount == 0) StartTimer();  // a moved caret shows at once and blinks from there
  return TRUE;
}

BOOL GetCaretPos(POINT* out) {
  if (!out || !Caret().window) return FALSE;
  *out = Caret().pos;
  return TRUE;
}

UINT GetCaretBlinkTime() { return Caret().blinkTime; }

BOOL SetCaretBlinkTime(UINT ms) {
  Caret().blinkTime = ms ? ms : 530;
  if (Caret().timer) StartTimer();
  return TRUE;
}

// Painting takes the caret away from its window and gives it back when done.
void HideCaretForPaint(HWND window) {
  if (Caret().window == window) Erase();
}

void RestoreCaretAfterPaint(HWND window) {
  CaretState& c = Caret();
  if (c.window == window && c.hideCount == 0 && !c.drawn) Invert();
}

void ForgetCaret(HWND window) {
  if (Caret().window == window) {
    StopTimer();
    Caret().window = nullptr;
  }
}
