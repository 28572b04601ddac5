#pragma once
// The printer's page settings as the user changes them: the driver's properties dialog
// (paper, orientation, copies) and the print set-up dialog (the printer, its paper and
// orientation), which the common dialog PrintDlg runs with PD_PRINTSETUP.

#include <string>

#include "platform/gdi/PrintDevice.h"
#include "platform/printers/PrinterCatalog.h"
#include "platform/rtl/WinTypes.h"
#include "platform/user/User.h"

// Control identifiers, as the common dialogs number them.
constexpr int kPrinterNameCombo = 1136, kPrinterPropertiesButton = 1025, kPrinterWhere = 1101,
              kPrinterComment = 1102, kPaperSizeCombo = 1137, kPortraitRadio = 1056, kLandscapeRadio = 1057,
              kCopiesEdit = 1154;

// The properties dialog: settings changed on OK (true), untouched on Cancel.
bool RunDocumentPropertiesDialog(HWND owner, const PrinterDescription& printer, DEVMODE& settings);

// The print set-up dialog starting on the named printer (the default when empty): on OK the
// printer chosen and its settings.
bool RunPrintSetupDialog(HWND owner, std::string& printer, DEVMODE& settings);

struct DEVNAMES {
  WORD wDriverOffset = 0;
  WORD wDeviceOffset = 0;
  WORD wOutputOffset = 0;
  WORD wDefault = 0;
};

struct PRINTDLG {
  DWORD lStructSize = sizeof(PRINTDLG);
  HWND hwndOwner = nullptr;
  HGLOBAL hDevMode = nullptr;   // a DEVMODE block
  HGLOBAL hDevNames = nullptr;  // a DEVNAMES block and its strings
  HDC hDC = nullptr;
  DWORD Flags = 0;
  WORD nFromPage = 0;
  WORD nToPage = 0;
  WORD nMinPage = 0;
  WORD nMaxPage = 0;
  WORD nCopies = 1;
};
using PRINTDLGA = PRINTDLG;
constexpr DWORD PD_PRINTSETUP = 0x40, PD_RETURNDC = 0x100, PD_RETURNDEFAULT = 0x400;

// Only the set-up dialog (PD_PRINTSETUP) and the default printer (PD_RETURNDEFAULT). On OK
// the two blocks are replaced by new ones (the caller frees them with GlobalFree).
BOOL PrintDlg(PRINTDLG* dialog);
inline constexpr auto& PrintDlgA = PrintDlg;

// Reads a DEVNAMES block: the device name and port.
bool ReadDevNames(HGLOBAL names, std::string& device, std::string& port);
