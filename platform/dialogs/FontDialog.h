#pragma once
// The font dialog: the font families the text engine knows (through Fontconfig), the styles
// each offers, sizes in points, and with CF_EFFECTS strikeout, underline and a text colour;
// a sample of the choice; with CF_APPLY an Apply button whose WM_COMMAND (psh3) reaches the
// hook, which reads the current choice with WM_CHOOSEFONT_GETLOGFONT while the dialog stays.

#include <functional>

#include "platform/dialogs/DialogIds.h"
#include "platform/gdi/Gdi.h"
#include "platform/user/User.h"

// A hook sees every message of the dialog first (WM_INITDIALOG with the CHOOSEFONT as
// lParam, after the dialog has set itself up); a non-zero answer keeps the dialog from
// handling it.
using LPCFHOOKPROC = std::function<UINT_PTR(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)>;

constexpr DWORD CF_SCREENFONTS = 0x1, CF_PRINTERFONTS = 0x2, CF_BOTH = 0x3, CF_SHOWHELP = 0x4,
                CF_ENABLEHOOK = 0x8, CF_ENABLETEMPLATE = 0x10, CF_ENABLETEMPLATEHANDLE = 0x20,
                CF_INITTOLOGFONTSTRUCT = 0x40, CF_USESTYLE = 0x80, CF_EFFECTS = 0x100, CF_APPLY = 0x200,
                CF_ANSIONLY = 0x400, CF_SCRIPTSONLY = CF_ANSIONLY, CF_NOVECTORFONTS = 0x800,
                CF_NOOEMFONTS = CF_NOVECTORFONTS, CF_NOSIMULATIONS = 0x1000, CF_LIMITSIZE = 0x2000,
                CF_FIXEDPITCHONLY = 0x4000, CF_WYSIWYG = 0x8000, CF_FORCEFONTEXIST = 0x10000,
                CF_SCALABLEONLY = 0x20000, CF_TTONLY = 0x40000, CF_NOFACESEL = 0x80000,
                CF_NOSTYLESEL = 0x100000, CF_NOSIZESEL = 0x200000, CF_SELECTSCRIPT = 0x400000,
                CF_NOSCRIPTSEL = 0x800000, CF_NOVERTFONTS = 0x1000000;

// What nFontType tells of the chosen font.
constexpr WORD BOLD_FONTTYPE = 0x100, ITALIC_FONTTYPE = 0x200, REGULAR_FONTTYPE = 0x400,
               SCREEN_FONTTYPE = 0x2000, PRINTER_FONTTYPE = 0x4000, SIMULATED_FONTTYPE = 0x8000;

// Sent to the dialog: the current choice into the LOGFONT at lParam; a LOGFONT at lParam
// made the current choice; new CF_ flags in lParam.
constexpr UINT WM_CHOOSEFONT_GETLOGFONT = WM_USER + 1, WM_CHOOSEFONT_SETLOGFONT = WM_USER + 101,
               WM_CHOOSEFONT_SETFLAGS = WM_USER + 102;

struct CHOOSEFONT {
  DWORD lStructSize = sizeof(CHOOSEFONT);
  HWND hwndOwner = nullptr;
  HDC hDC = nullptr;
  LOGFONT* lpLogFont = nullptr;  // the start (CF_INITTOLOGFONTSTRUCT) and the result
  int iPointSize = 0;            // the chosen size in tenths of a point
  DWORD Flags = CF_SCREENFONTS;
  COLORREF rgbColors = 0;  // with CF_EFFECTS: the start and the chosen text colour
  LPARAM lCustData = 0;
  LPCFHOOKPROC lpfnHook;
  LPCSTR lpTemplateName = nullptr;
  HINSTANCE hInstance = nullptr;
  LPSTR lpszStyle = nullptr;  // with CF_USESTYLE: the style's name, LF_FACESIZE bytes
  WORD nFontType = 0;
  int nSizeMin = 0;  // with CF_LIMITSIZE, in points
  int nSizeMax = 0;
};
using CHOOSEFONTA = CHOOSEFONT;
using LPCHOOSEFONT = CHOOSEFONT*;

// Runs the dialog modally over hwndOwner. TRUE with *lpLogFont, iPointSize, rgbColors and
// nFontType set when the user chose OK; FALSE on Cancel (nothing changed), a malformed
// structure, a size limit whose maximum is below its minimum, or no fonts at all.
BOOL ChooseFont(CHOOSEFONT* choose);
inline constexpr auto& ChooseFontA = ChooseFont;

// The messages the dialog shows when it refuses OK (the caller's language may differ; these
// are the layer's defaults).
namespace FontDialogText {
inline constexpr const char* NoSuchFont = "There is no font with that name.\nChoose a font from the list of fonts.";
inline constexpr const char* NoFontChosen = "Choose a font from the list of fonts.";
inline constexpr const char* SizeNotNumber = "Size must be a number.";
inline constexpr const char* SizeOutOfRange = "Size must be between %d and %d points.";
}  // namespace FontDialogText
