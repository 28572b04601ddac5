#pragma once
// Printer device contexts. GDI keeps the context's state (selected pen, brush, font, colours)
// as for any context; what a printer draws goes to the device behind it, which the printer
// service makes when CreateDC names one of its printers. Coordinates are device pixels with
// (0, 0) at the printable area's top-left corner.

#include <functional>
#include <memory>
#include <string>

#include "platform/gdi/GdiTypes.h"

// The device mode block: the page settings a printer driver keeps per printer.
constexpr int CCHDEVICENAME = 32;
constexpr int CCHFORMNAME = 32;
struct DEVMODE {
  char dmDeviceName[CCHDEVICENAME] = {};
  WORD dmSpecVersion = 0x0401;
  WORD dmDriverVersion = 0;
  WORD dmSize = 0;
  WORD dmDriverExtra = 0;
  DWORD dmFields = 0;
  short dmOrientation = 1;
  short dmPaperSize = 0;
  short dmPaperLength = 0;  // tenths of a millimetre
  short dmPaperWidth = 0;
  short dmScale = 100;
  short dmCopies = 1;
  short dmDefaultSource = 0;
  short dmPrintQuality = 0;
  short dmColor = 0;
  short dmDuplex = 0;
  short dmYResolution = 0;
  short dmTTOption = 0;
  short dmCollate = 0;
  char dmFormName[CCHFORMNAME] = {};
};
using DEVMODEA = DEVMODE;
using LPDEVMODE = DEVMODE*;
constexpr DWORD DM_ORIENTATION = 0x1, DM_PAPERSIZE = 0x2, DM_PAPERLENGTH = 0x4, DM_PAPERWIDTH = 0x8,
                DM_COPIES = 0x100, DM_PRINTQUALITY = 0x400, DM_YRESOLUTION = 0x2000;
constexpr short DMORIENT_PORTRAIT = 1, DMORIENT_LANDSCAPE = 2;
constexpr short DMPAPER_LETTER = 1, DMPAPER_A4 = 9;

struct DOCINFO {
  int cbSize = sizeof(DOCINFO);
  LPCSTR lpszDocName = nullptr;
  LPCSTR lpszOutput = nullptr;
  LPCSTR lpszDatatype = nullptr;
  DWORD fwType = 0;
};
using DOCINFOA = DOCINFO;

// Device capabilities of printers beside those of the display.
constexpr int PHYSICALWIDTH = 110, PHYSICALHEIGHT = 111, PHYSICALOFFSETX = 112, PHYSICALOFFSETY = 113;
constexpr int DT_RASPRINTER = 2;
constexpr int RC_BITBLT = 0x0001, RC_STRETCHBLT = 0x0800, RC_STRETCHDIB = 0x2000, RC_DIBTODEV = 0x0200;
constexpr int SP_ERROR = -1;

// What a printer does with the drawing calls of its context.
class PrintDevice {
public:
  virtual ~PrintDevice() = default;
  virtual int Caps(int index) const = 0;
  // The job: StartDoc answers a job number above 0, or 0 or less when it failed.
  virtual int StartDoc(const DOCINFO& info) = 0;
  virtual bool StartPage() = 0;
  virtual bool EndPage() = 0;
  virtual bool EndDoc() = 0;
  virtual void AbortDoc() = 0;
  // The whole of a DIB's source rectangle (rows counted from its top) into a device rectangle.
  virtual bool StretchDib(RECT target, const BITMAPINFO& info, const void* bits, RECT source) = 0;
  virtual bool Text(POINT at, const LOGFONT& font, COLORREF colour, const std::string& text) = 0;
  // A rectangle outlined with the pen (none when null) and filled with the brush (none when
  // null or hollow); right and bottom exclusive, as GDI's Rectangle.
  virtual bool Rect(RECT box, const LOGPEN* pen, const LOGBRUSH* brush) = 0;
};

// The printer service installs this: it answers a device for the printer named by device
// (with the page settings of init when not null), or null when there is no such printer.
using PrintDeviceFactory = std::function<std::unique_ptr<PrintDevice>(const std::string& device, const DEVMODE* init)>;
void SetPrintDeviceFactory(PrintDeviceFactory factory);

int StartDoc(HDC dc, const DOCINFO* info);
int StartPage(HDC dc);
int EndPage(HDC dc);
int EndDoc(HDC dc);
int AbortDoc(HDC dc);
inline constexpr auto& StartDocA = StartDoc;

// CreateDC for a printer: null when the service knows no printer of that name.
HDC CreatePrinterDC(const char* device, const DEVMODE* init);
