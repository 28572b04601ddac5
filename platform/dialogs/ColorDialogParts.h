#pragma once
// The drawn parts of the colour dialog, each a small window class: the swatch grids (basic
// and custom colours), the hue and saturation square, the luminance bar and the sample.
// Each tells its dialog of a change with WM_COMMAND (CPN_CHANGED) and is read back with
// CPM_GET...; the dialog keeps the colour itself.

#include "platform/user/User.h"

inline constexpr const char* WC_COLORSWATCHES = "QuilloColorSwatches";
inline constexpr const char* WC_COLORSPECTRUM = "QuilloColorSpectrum";
inline constexpr const char* WC_COLORLUMINANCE = "QuilloColorLuminance";
inline constexpr const char* WC_COLORSAMPLE = "QuilloColorSample";

// Swatches: CPM_SETCOLORS (wParam count, lParam const COLORREF*; 8 to a row), CPM_SETSEL
// (wParam index or -1), CPM_GETSEL (the index or -1), CPM_GETCOLOR (the selected colour).
// Spectrum: CPM_SETHLS (wParam MAKEWPARAM(hue, saturation), lParam luminance), CPM_GETHLS
// (MAKELONG(hue, saturation)). Luminance bar: CPM_SETHLS, CPM_GETHLS (the luminance).
// Sample: CPM_SETCOLOR (wParam the COLORREF).
constexpr UINT CPM_SETCOLORS = WM_USER + 40, CPM_SETSEL = WM_USER + 41, CPM_GETSEL = WM_USER + 42,
               CPM_GETCOLOR = WM_USER + 43, CPM_SETHLS = WM_USER + 44, CPM_GETHLS = WM_USER + 45,
               CPM_SETCOLOR = WM_USER + 46;
// Notifications (the high word of WM_COMMAND's wParam).
constexpr WORD CPN_CHANGED = 1, CPN_DBLCLK = 2;

constexpr int kSwatchColumns = 8;

void RegisterColorDialogParts();
