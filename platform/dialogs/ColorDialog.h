#pragma once
// The colour dialog: 48 basic colours, 16 custom colours the caller keeps between calls, and
// (opened with "Define Custom Colors >>" or CC_FULLOPEN) the hue and saturation square, the
// luminance bar, the sample and the hue/saturation/luminance and red/green/blue fields.
// Colours are COLORREF values (0x00BBGGRR). Hue runs 0..239, saturation and luminance 0..240,
// as on Windows.

#include <functional>

#include "platform/dialogs/DialogIds.h"
#include "platform/user/User.h"

// A hook sees every message of the dialog first (WM_INITDIALOG with the CHOOSECOLOR as
// lParam); a non-zero answer keeps the dialog from handling it.
using LPCCHOOKPROC = std::function<UINT_PTR(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)>;

constexpr DWORD CC_RGBINIT = 0x1, CC_FULLOPEN = 0x2, CC_PREVENTFULLOPEN = 0x4, CC_SHOWHELP = 0x8,
                CC_ENABLEHOOK = 0x10, CC_ENABLETEMPLATE = 0x20, CC_ENABLETEMPLATEHANDLE = 0x40,
                CC_SOLIDCOLOR = 0x80, CC_ANYCOLOR = 0x100;

struct CHOOSECOLOR {
  DWORD lStructSize = sizeof(CHOOSECOLOR);
  HWND hwndOwner = nullptr;
  HWND hInstance = nullptr;
  COLORREF rgbResult = 0;
  COLORREF* lpCustColors = nullptr;  // 16 colours, read at start and written back
  DWORD Flags = 0;
  LPARAM lCustData = 0;
  LPCCHOOKPROC lpfnHook;
  LPCSTR lpTemplateName = nullptr;
};
using CHOOSECOLORA = CHOOSECOLOR;
using LPCHOOSECOLOR = CHOOSECOLOR*;

// Registered messages of the colour dialog: the hook is asked with COLOROKSTRING before OK
// closes the dialog (non-zero keeps it open); SETRGBSTRING sent to the dialog with a
// COLORREF in lParam makes that colour the current one.
inline constexpr const char* COLOROKSTRING = "commdlg_ColorOK";
inline constexpr const char* SETRGBSTRING = "commdlg_SetRGBColor";

// Runs the dialog modally over hwndOwner. TRUE with rgbResult set when the user chose OK;
// FALSE on Cancel (rgbResult untouched) or a malformed structure. Custom colours the user
// added are written back to lpCustColors either way.
BOOL ChooseColor(CHOOSECOLOR* choose);
inline constexpr auto& ChooseColorA = ChooseColor;

// The 48 basic colours, row by row (8 to a row).
const COLORREF* BasicColors();

// Hue/luminance/saturation on the dialog's scale (0..239, 0..240, 0..240) and back.
void ColorRGBToHLS(COLORREF colour, WORD* hue, WORD* luminance, WORD* saturation);
COLORREF ColorHLSToRGB(WORD hue, WORD luminance, WORD saturation);
