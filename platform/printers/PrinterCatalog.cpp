#include "platform/printers/PrinterCatalog.h"

#include <langinfo.h>
#include <locale.h>

#include <cmath>
#include <cstring>

#include "platform/printers/CupsQueues.h"

namespace {

std::vector<PrinterDescription>& LastListed() {
  static std::vector<PrinterDescription> printers;
  return printers;
}

PrinterDescription PdfPrinter() {
  PrinterDescription pdf;
  pdf.name = kPdfPrinterName;
  pdf.port = kPdfPrinterPort;
  pdf.pdfFile = true;
  pdf.dpi = 300;
  pdf.papers = StandardPapers(300, 50);
  return pdf;
}

const PrinterPaper* PaperOf(const PrinterDescription& printer, short code) {
  for (const PrinterPaper& paper : printer.papers)
    if (paper.code == code) return &paper;
  return printer.papers.empty() ? nullptr : &printer.papers.front();
}

}  // namespace

int MillimetresToPixels(double millimetres, int dpi) {
  return static_cast<int>(std::lround(millimetres * dpi / 25.4));
}

bool LocaleUsesLetter() {
  locale_t paper = newlocale(LC_PAPER_MASK, "", static_cast<locale_t>(0));
  if (paper == static_cast<locale_t>(0)) return false;
  // glibc answers the paper's height in millimetres as the pointer's value.
  const auto height = reinterpret_cast<std::intptr_t>(nl_langinfo_l(_NL_PAPER_HEIGHT, paper));
  freelocale(paper);
  return height == 279;
}

std::vector<PrinterPaper> StandardPapers(int dpi, int margin) {
  PrinterPaper a4{DMPAPER_A4, "iso_a4_210x297mm", "A4", MillimetresToPixels(210, dpi),
                  MillimetresToPixels(297, dpi), margin, margin, margin, margin};
  PrinterPaper letter{DMPAPER_LETTER, "na_letter_8.5x11in", "Letter", static_cast<int>(8.5 * dpi), 11 * dpi,
                      margin, margin, margin, margin};
  if (LocaleUsesLetter()) return {letter, a4};
  return {a4, letter};
}

std::vector<PrinterDescription> ListPrinters() {
  std::vector<PrinterDescription> printers{PdfPrinter()};
  for (PrinterDescription& queue : ListCupsQueues()) printers.push_back(std::move(queue));
  LastListed() = printers;
  return printers;
}

bool FindPrinter(const std::string& name, PrinterDescription& out) {
  for (int round = 0; round < 2; ++round) {
    for (const PrinterDescription& printer : LastListed())
      if (printer.name == name) {
        out = printer;
        return true;
      }
    if (name == kPdfPrinterName) {
      out = PdfPrinter();
      return true;
    }
    if (round == 0) ListPrinters();
  }
  return false;
}

std::string DefaultPrinterName() {
  const std::string cups = DefaultCupsQueue();
  return cups.empty() ? std::string(kPdfPrinterName) : cups;
}

DEVMODE DefaultDevMode(const PrinterDescription& printer) {
  DEVMODE mode;
  std::strncpy(mode.dmDeviceName, printer.name.c_str(), CCHDEVICENAME - 1);
  mode.dmSize = sizeof(DEVMODE);
  mode.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_PRINTQUALITY | DM_YRESOLUTION;
  mode.dmOrientation = DMORIENT_PORTRAIT;
  mode.dmCopies = 1;
  mode.dmPrintQuality = static_cast<short>(printer.dpi);
  mode.dmYResolution = static_cast<short>(printer.dpi);
  if (const PrinterPaper* paper = PaperOf(printer, 0)) {
    mode.dmPaperSize = paper->code;
    mode.dmPaperWidth = static_cast<short>(std::lround(paper->width * 254.0 / printer.dpi));
    mode.dmPaperLength = static_cast<short>(std::lround(paper->height * 254.0 / printer.dpi));
  }
  return mode;
}

PrinterPage PageFor(const PrinterDescription& printer, const DEVMODE* mode) {
  PrinterPage page;
  page.dpi = printer.dpi;
  const PrinterPaper* paper = PaperOf(printer, mode ? mode->dmPaperSize : 0);
  if (!paper) return page;
  page.media = paper->media;
  page.landscape = mode && mode->dmOrientation == DMORIENT_LANDSCAPE;
  if (!page.landscape) {
    page.width = paper->width;
    page.height = paper->height;
    page.left = paper->left;
    page.top = paper->top;
    page.right = paper->right;
    page.bottom = paper->bottom;
  } else {
    // The paper turned a quarter to the left: its right edge becomes the top.
    page.width = paper->height;
    page.height = paper->width;
    page.left = paper->top;
    page.top = paper->right;
    page.right = paper->bottom;
    page.bottom = paper->left;
  }
  return page;
}
