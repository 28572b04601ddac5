#pragma once
// The Windows types shared by the graphics and window interfaces: handles are opaque
// pointers to the layer's own objects; WPARAM, LPARAM and LRESULT are pointer-sized.

#include <cstdint>

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

// a * b / c with a 64-bit product, rounded to the nearest (halves away from zero), as
// Windows' MulDiv: -1 when c is 0 or the result does not fit an int.
constexpr int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const long long product = static_cast<long long>(a) * b;
  const long long half = (c < 0 ? -static_cast<long long>(c) : c) / 2;
  const long long q = (product + (product >= 0 ? half : -half)) / c;
  if (q < INT32_MIN || q > INT32_MAX) return -1;
  return static_cast<int>(q);
}
