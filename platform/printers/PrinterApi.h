#pragma once
// The spooler's interface over the printer catalogue: listing printers, opening them by name,
// their information and the driver's device mode (with its properties dialog).

#include "platform/gdi/PrintDevice.h"
#include "platform/rtl/WinTypes.h"
#include "platform/user/User.h"

#include <string>

using HANDLE = void*;

struct PRINTER_INFO_2 {
  LPSTR pServerName = nullptr;
  LPSTR pPrinterName = nullptr;
  LPSTR pShareName = nullptr;
  LPSTR pPortName = nullptr;
  LPSTR pDriverName = nullptr;
  LPSTR pComment = nullptr;
  LPSTR pLocation = nullptr;
  DEVMODE* pDevMode = nullptr;
  LPSTR pSepFile = nullptr;
  LPSTR pPrintProcessor = nullptr;
  LPSTR pDatatype = nullptr;
  LPSTR pParameters = nullptr;
  void* pSecurityDescriptor = nullptr;
  DWORD Attributes = 0;
  DWORD Priority = 0;
  DWORD DefaultPriority = 0;
  DWORD StartTime = 0;
  DWORD UntilTime = 0;
  DWORD Status = 0;
  DWORD cJobs = 0;
  DWORD AveragePPM = 0;
};
struct PRINTER_INFO_4 {
  LPSTR pPrinterName = nullptr;
  LPSTR pServerName = nullptr;
  DWORD Attributes = 0;
};
struct PRINTER_INFO_5 {
  LPSTR pPrinterName = nullptr;
  LPSTR pPortName = nullptr;
  DWORD Attributes = 0;
  DWORD DeviceNotSelectedTimeout = 0;
  DWORD TransmissionRetryTimeout = 0;
};
using PRINTER_INFO_2A = PRINTER_INFO_2;
using PRINTER_INFO_4A = PRINTER_INFO_4;
using PRINTER_INFO_5A = PRINTER_INFO_5;

constexpr DWORD PRINTER_ENUM_DEFAULT = 0x1, PRINTER_ENUM_LOCAL = 0x2, PRINTER_ENUM_CONNECTIONS = 0x4;
constexpr DWORD PRINTER_ATTRIBUTE_DEFAULT = 0x4, PRINTER_ATTRIBUTE_LOCAL = 0x40;
constexpr DWORD DM_UPDATE = 1, DM_COPY = 2, DM_PROMPT = 4, DM_MODIFY = 8;
constexpr DWORD DM_OUT_BUFFER = DM_COPY, DM_IN_PROMPT = DM_PROMPT, DM_IN_BUFFER = DM_MODIFY;

// Lists the printers at level 4 or 5 into buffer: the records first, their strings after them.
// With a buffer too small (or none) FALSE, ERROR_INSUFFICIENT_BUFFER and the size in needed.
// PRINTER_ENUM_DEFAULT lists the default printer alone.
BOOL EnumPrinters(DWORD flags, LPSTR name, DWORD level, BYTE* buffer, DWORD size, DWORD* needed, DWORD* returned);
BOOL OpenPrinter(LPSTR name, HANDLE* printer, void* defaults);
BOOL ClosePrinter(HANDLE printer);
// Level 2 only, as EnumPrinters fills its buffer.
BOOL GetPrinter(HANDLE printer, DWORD level, BYTE* buffer, DWORD size, DWORD* needed);
// mode 0: the size of the device mode. Otherwise the driver's settings, with those of in
// (DM_IN_BUFFER) over them, changed by the user in a dialog (DM_IN_PROMPT: IDOK or IDCANCEL),
// copied to out (DM_OUT_BUFFER). Below 0 on failure.
LONG DocumentProperties(HWND owner, HANDLE printer, LPSTR device, DEVMODE* out, DEVMODE* in, DWORD mode);
inline constexpr auto& EnumPrintersA = EnumPrinters;
inline constexpr auto& OpenPrinterA = OpenPrinter;
inline constexpr auto& GetPrinterA = GetPrinter;
inline constexpr auto& DocumentPropertiesA = DocumentProperties;

// The printer named in win.ini's [windows] "device" ("name,driver,port"), empty when none.
std::string ProfileDefaultPrinter();

// The file a printer that prints to a file proposes in its save dialog for the next document
// started: the folder it opens in and the name typed in (the extension becomes the printer's).
// Taken by that document's StartDoc; without one the dialog proposes the document's name.
void ProposePrintFile(const std::string& path);
std::string TakePrintFileProposal();
