#pragma once
// The Windows types of the user-interface and graphics interfaces: handles are opaque
// pointers to the layer's own objects; WPARAM, LPARAM and LRESULT are pointer-sized.

#include <cstdint>
#include <functional>

#include "platform/rtl/WinTypes.h"

struct WindowObject;
struct GdiObject;
struct PenObject;
struct BrushObject;
struct FontObject;
struct BitmapObject;
struct RegionObject;
struct PaletteObject;
struct DeviceContext;
struct CursorObject;
struct HookObject;

using HWND = WindowObject*;
using HGDIOBJ = GdiObject*;
using HPEN = PenObject*;
using HBRUSH = BrushObject*;
using HFONT = FontObject*;
using HBITMAP = BitmapObject*;
using HRGN = RegionObject*;
using HPALETTE = PaletteObject*;
using HDC = DeviceContext*;
using HCURSOR = CursorObject*;
using HICON = CursorObject*;
using HHOOK = HookObject*;
using HMENU = void*;
using HRSRC = const struct EmbeddedResource*;
using HGLOBAL = const void*;

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using ATOM = WORD;
using COLORREF = DWORD;
using SHORT = std::int16_t;
using LONG_PTR = std::intptr_t;
using ULONG_PTR = std::uintptr_t;
using DWORD_PTR = std::uintptr_t;

// A window procedure is a callable, so subclassing needs no executable thunks.
using WNDPROC = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;
using TIMERPROC = std::function<void(HWND, UINT, UINT_PTR, DWORD)>;
using HOOKPROC = std::function<LRESULT(int, WPARAM, LPARAM)>;
using WNDENUMPROC = std::function<BOOL(HWND, LPARAM)>;

struct POINT {
  LONG x = 0;
  LONG y = 0;
};
struct SIZE {
  LONG cx = 0;
  LONG cy = 0;
};
struct RECT {
  LONG left = 0;
  LONG top = 0;
  LONG right = 0;
  LONG bottom = 0;
};
inline bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator==(const POINT& a, const POINT& b) { return a.x == b.x && a.y == b.y; }

using LPRECT = RECT*;
using LPPOINT = POINT*;

struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  DWORD time = 0;
  POINT pt;
};

struct PAINTSTRUCT {
  HDC hdc = nullptr;
  BOOL fErase = FALSE;
  RECT rcPaint;
};

struct WINDOWPOS {
  HWND hwnd = nullptr;
  HWND hwndInsertAfter = nullptr;
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
  UINT flags = 0;
};

struct CREATESTRUCT {
  LPVOID lpCreateParams = nullptr;
  HINSTANCE hInstance = nullptr;
  HMENU hMenu = nullptr;
  HWND hwndParent = nullptr;
  int cy = 0;
  int cx = 0;
  int y = 0;
  int x = 0;
  LONG style = 0;
  LPCSTR lpszName = nullptr;
  LPCSTR lpszClass = nullptr;
  DWORD dwExStyle = 0;
};

struct MINMAXINFO {
  POINT ptReserved;
  POINT ptMaxSize;
  POINT ptMaxPosition;
  POINT ptMinTrackSize;
  POINT ptMaxTrackSize;
};

struct NCCALCSIZE_PARAMS {
  RECT rgrc[3];
  WINDOWPOS* lppos = nullptr;
};

// Hook records.
struct CWPSTRUCT {
  LPARAM lParam = 0;
  WPARAM wParam = 0;
  UINT message = 0;
  HWND hwnd = nullptr;
};
struct MOUSEHOOKSTRUCT {
  POINT pt;
  HWND hwnd = nullptr;
  UINT wHitTestCode = 0;
  ULONG_PTR dwExtraInfo = 0;
};
struct CBT_CREATEWND {
  CREATESTRUCT* lpcs = nullptr;
  HWND hwndInsertAfter = nullptr;
};
struct CBTACTIVATESTRUCT {
  BOOL fMouse = FALSE;
  HWND hWndActive = nullptr;
};

struct WNDCLASS {
  UINT style = 0;
  WNDPROC lpfnWndProc;
  int cbClsExtra = 0;
  int cbWndExtra = 0;
  HINSTANCE hInstance = nullptr;
  HICON hIcon = nullptr;
  HCURSOR hCursor = nullptr;
  HBRUSH hbrBackground = nullptr;
  LPCSTR lpszMenuName = nullptr;
  LPCSTR lpszClassName = nullptr;
};
using WNDCLASSA = WNDCLASS;

// Colour values are 0x00BBGGRR.
constexpr COLORREF RGB(int r, int g, int b) {
  return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr BYTE GetRValue(COLORREF c) { return static_cast<BYTE>(c & 0xFF); }
constexpr BYTE GetGValue(COLORREF c) { return static_cast<BYTE>((c >> 8) & 0xFF); }
constexpr BYTE GetBValue(COLORREF c) { return static_cast<BYTE>((c >> 16) & 0xFF); }
// A surface pixel (0x00RRGGBB) from a colour value and back.
constexpr std::uint32_t PixelFromColor(COLORREF c) {
  return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}
constexpr COLORREF ColorFromPixel(std::uint32_t p) {
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

constexpr WORD LOWORD(std::uintptr_t v) { return static_cast<WORD>(v & 0xFFFF); }
constexpr WORD HIWORD(std::uintptr_t v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
constexpr LPARAM MAKELPARAM(int lo, int hi) {
  return static_cast<LPARAM>(static_cast<DWORD>((lo & 0xFFFF) | ((hi & 0xFFFF) << 16)));
}
constexpr WPARAM MAKEWPARAM(int lo, int hi) {
  return static_cast<WPARAM>(static_cast<DWORD>((lo & 0xFFFF) | ((hi & 0xFFFF) << 16)));
}
constexpr LONG MAKELONG(int lo, int hi) { return static_cast<LONG>(MAKELPARAM(lo, hi)); }
constexpr int GET_X_LPARAM(LPARAM l) { return static_cast<SHORT>(LOWORD(l)); }
constexpr int GET_Y_LPARAM(LPARAM l) { return static_cast<SHORT>(HIWORD(l)); }
constexpr short GET_WHEEL_DELTA_WPARAM(WPARAM w) { return static_cast<short>(HIWORD(w)); }
