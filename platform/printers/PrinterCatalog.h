#pragma once
// The printers this machine offers: the "PDF file" printer, always there, and the CUPS
// destinations. Each printer knows its resolution and the papers it takes with their
// printable margins; a device mode picks the paper and the orientation.

#include <string>
#include <vector>

#include "platform/gdi/PrintDevice.h"

// One paper a printer takes, upright, in the printer's pixels.
struct PrinterPaper {
  short code = DMPAPER_A4;
  std::string media;  // the name a CUPS job gives it ("iso_a4_210x297mm")
  std::string label;  // as the properties dialog lists it
  int width = 0;
  int height = 0;
  int left = 0, top = 0, right = 0, bottom = 0;  // margins
};

struct PrinterDescription {
  std::string name;
  std::string port;     // the device URI, or "PDF:"
  std::string comment;  // the queue's description
  bool pdfFile = false;
  int dpi = 300;
  std::vector<PrinterPaper> papers;  // the first is the default
};

// The page a device mode gives: the paper turned for landscape.
struct PrinterPage {
  int dpi = 300;
  int width = 0;
  int height = 0;
  int left = 0, top = 0, right = 0, bottom = 0;
  bool landscape = false;
  std::string media;
};

inline constexpr const char* kPdfPrinterName = "PDF file";
inline constexpr const char* kPdfPrinterPort = "PDF:";

// Millimetres to pixels at dpi, rounded.
int MillimetresToPixels(double millimetres, int dpi);
// A4 and Letter at dpi with the given margin all round, the locale's paper (LC_PAPER) first.
std::vector<PrinterPaper> StandardPapers(int dpi, int margin);
// Whether the user's locale prints on Letter.
bool LocaleUsesLetter();

// Listed afresh: the PDF printer, then every CUPS destination (none without a scheduler).
std::vector<PrinterDescription> ListPrinters();
// The printer of that name as last listed (listing again when it is not known); false when
// there is none.
bool FindPrinter(const std::string& name, PrinterDescription& out);
// The name of the default printer: CUPS's default, else the PDF printer.
std::string DefaultPrinterName();

// The device mode a printer starts with, and the page a device mode gives.
DEVMODE DefaultDevMode(const PrinterDescription& printer);
PrinterPage PageFor(const PrinterDescription& printer, const DEVMODE* mode);
