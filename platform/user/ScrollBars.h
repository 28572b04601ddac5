#pragma once
// Scroll bars: the two a window has in its non-client area (WS_HSCROLL, WS_VSCROLL) and the
// one a SCROLLBAR control is. Each holds a range, a page, a position and the state of its
// arrows; the same layout, painting and tracking loop serve all three.

#include "platform/gdi/WinDefs.h"

constexpr int SB_HORZ = 0, SB_VERT = 1, SB_CTL = 2, SB_BOTH = 3;

// The scroll codes of WM_HSCROLL and WM_VSCROLL (LOWORD of wParam).
constexpr int SB_LINEUP = 0, SB_LINELEFT = 0, SB_LINEDOWN = 1, SB_LINERIGHT = 1, SB_PAGEUP = 2,
              SB_PAGELEFT = 2, SB_PAGEDOWN = 3, SB_PAGERIGHT = 3, SB_THUMBPOSITION = 4,
              SB_THUMBTRACK = 5, SB_TOP = 6, SB_LEFT = 6, SB_BOTTOM = 7, SB_RIGHT = 7,
              SB_ENDSCROLL = 8;

constexpr UINT SIF_RANGE = 0x1, SIF_PAGE = 0x2, SIF_POS = 0x4, SIF_DISABLENOSCROLL = 0x8,
               SIF_TRACKPOS = 0x10, SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

constexpr UINT ESB_ENABLE_BOTH = 0, ESB_DISABLE_LTUP = 1, ESB_DISABLE_LEFT = 1, ESB_DISABLE_UP = 1,
               ESB_DISABLE_RTDN = 2, ESB_DISABLE_RIGHT = 2, ESB_DISABLE_DOWN = 2,
               ESB_DISABLE_BOTH = 3;

// WM_SYSCOMMAND codes of a press on a window's scroll bar.
constexpr UINT SC_VSCROLL = 0xF070, SC_HSCROLL = 0xF080;

// The SCROLLBAR control's messages; the window interface sends them for SB_CTL.
constexpr UINT SBM_SETPOS = 0x00E0, SBM_GETPOS = 0x00E1, SBM_SETRANGE = 0x00E2,
               SBM_GETRANGE = 0x00E3, SBM_ENABLE_ARROWS = 0x00E4, SBM_SETRANGEREDRAW = 0x00E6,
               SBM_SETSCROLLINFO = 0x00E9, SBM_GETSCROLLINFO = 0x00EA;

struct SCROLLINFO {
  UINT cbSize = sizeof(SCROLLINFO);
  UINT fMask = 0;
  int nMin = 0;
  int nMax = 0;
  UINT nPage = 0;
  int nPos = 0;
  int nTrackPos = 0;
};
using LPSCROLLINFO = SCROLLINFO*;
using LPCSCROLLINFO = const SCROLLINFO*;

int SetScrollInfo(HWND window, int bar, const SCROLLINFO* info, BOOL redraw);
BOOL GetScrollInfo(HWND window, int bar, SCROLLINFO* info);
// Answers the previous position.
int SetScrollPos(HWND window, int bar, int pos, BOOL redraw);
int GetScrollPos(HWND window, int bar);
BOOL SetScrollRange(HWND window, int bar, int min, int max, BOOL redraw);
BOOL GetScrollRange(HWND window, int bar, int* min, int* max);
BOOL ShowScrollBar(HWND window, int bar, BOOL show);
// FALSE when the arrows already were as asked.
BOOL EnableScrollBar(HWND window, UINT bar, UINT arrows);

// What the window manager and the SCROLLBAR control share.
namespace scrollbars {

// The parts of a bar, as a press finds them.
enum class Part { None, LineUp, PageUp, Thumb, PageDown, LineDown };

// One scroll bar's values.
struct Values {
  int min = 0;
  int max = 100;
  UINT page = 0;
  int pos = 0;
  int trackPos = 0;
  UINT disabledArrows = ESB_ENABLE_BOTH;
  bool tracking = false;    // the thumb is being dragged: it shows trackPos
  Part pressed = Part::None;  // the part held down, drawn pressed
  bool focusCaret = false;    // a focused control: the caret blinks over its thumb
};

// Where a bar's parts lie inside its rectangle; thumbLength 0 when it shows no thumb.
struct Layout {
  RECT bar{};
  bool vertical = false;
  int arrow = 0;        // length of each arrow along the bar
  int thumbStart = 0;   // offset of the thumb from the bar's start
  int thumbLength = 0;
  int trackStart() const { return arrow; }
  int trackEnd() const { return (vertical ? bar.bottom - bar.top : bar.right - bar.left) - arrow; }
};

// The values of a window's bar (SB_HORZ, SB_VERT or SB_CTL), made on first use; null for a
// window that is not live.
Values* ValuesOf(HWND window, int bar);
// SetScrollInfo and GetScrollInfo on a bar's values (the SCROLLBAR control answers its
// SBM_ messages through them).
int SetValues(HWND window, int bar, const SCROLLINFO& info, bool redraw);
BOOL GetValues(HWND window, int bar, SCROLLINFO* info);
// The highest position the thumb can reach: max less the page beyond its first line.
int MaxPosition(const Values& values);
bool IsScrollable(const Values& values);
Layout LayoutOf(const RECT& bar, bool vertical, const Values& values, bool enabled);
Part PartAt(const Layout& layout, POINT point);
// The position a thumb starting at this offset shows.
int PositionAtThumb(const Layout& layout, const Values& values, int thumbStart);
// Draws the bar in its rectangle; the track in the classic dither unless a brush is given.
void Draw(HDC dc, const Layout& layout, const Values& values, bool enabled, Part pressed, HBRUSH track);

// The non-client side of a window: the rectangles of its bars, window-relative (empty when
// the bar is hidden), its hit test (HTHSCROLL, HTVSCROLL, HTSIZE for the corner between
// them, 0 elsewhere) and its painting.
RECT WindowBarRect(HWND window, int bar);
int HitTest(HWND window, POINT screen);
void PaintWindowBars(HWND window, HDC windowDc);

// The position a WM_HSCROLL / WM_VSCROLL thumb code (SB_THUMBTRACK, SB_THUMBPOSITION) to a
// window about its own bar means: while the thumb is dragged, the bar's track position, which
// holds 32 bits where the message's HIWORD holds 16; otherwise (a program sent the message)
// the HIWORD, unsigned, as the controls' positions are.
int ThumbPosition(HWND window, int bar, WPARAM wParam);

// Where a scroll request (an SB_ code) moves a position: by line for the arrows, by page for
// the track, to thumb for the thumb codes, to first or last for the ends; pos itself for a
// code that moves nothing (SB_ENDSCROLL). The caller keeps the answer within its range.
int RequestedPosition(int code, int pos, int line, int page, int thumb, int first, int last);

// A SCROLLBAR control's bar: the whole client area.
bool IsControlVertical(HWND control);
// Paints a control's bar on a context of its client area.
void PaintControl(HWND control, HDC dc);
// A SCROLLBAR control shows its focus as its thumb blinking: the caret over the thumb.
void ShowControlFocus(HWND control, bool focused);
// Draws a bar now (its window's bars, or a control).
void Redraw(HWND window, int bar);

// The modal loop of a press on a bar: arrows and the track repeat on the layer's clock, the
// thumb follows the mouse. Notifies with WM_HSCROLL / WM_VSCROLL: a window's bars tell the
// window itself, a control tells its parent with its handle.
void Track(HWND window, int bar, POINT screen);
// The keys of a focused SCROLLBAR control: a scroll code when pressed, SB_ENDSCROLL when
// released; false for other keys.
bool ControlKey(HWND control, WPARAM vk, bool down);

}  // namespace scrollbars
