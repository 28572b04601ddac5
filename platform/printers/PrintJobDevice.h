#pragma once
// The device behind a printer's context: each page is drawn with cairo into a PDF page of the
// printer's paper, in device pixels at its resolution with (0, 0) at the printable area's
// top-left corner. Bitmaps are embedded at their own pixel size, text is real text, and
// rectangles take the context's pen and brush. At EndDoc the document goes to its place: the
// PDF printer writes the file the user chose at StartDoc (replacing it only once the new one is
// whole), a CUPS queue gets it as one job with the mode's copies, orientation and paper.

#include <cairo.h>

#include <memory>
#include <string>

#include "platform/gdi/PrintDevice.h"
#include "platform/printers/PrinterCatalog.h"

class AtomicFile;

class PrintJobDevice : public PrintDevice {
public:
  PrintJobDevice(PrinterDescription printer, const DEVMODE& mode);
  ~PrintJobDevice() override;

  int Caps(int index) const override;
  int StartDoc(const DOCINFO& info) override;
  bool StartPage() override;
  bool EndPage() override;
  bool EndDoc() override;
  void AbortDoc() override;
  bool StretchDib(RECT target, const BITMAPINFO& info, const void* bits, RECT source) override;
  bool Text(POINT at, const LOGFONT& font, COLORREF colour, const std::string& text) override;
  bool Rect(RECT box, const LOGPEN* pen, const LOGBRUSH* brush) override;

private:
  static cairo_status_t Collect(void* closure, const unsigned char* data, unsigned int length);
  bool ChooseFile(const DOCINFO& info, const std::string& proposal);
  bool Deliver();
  void Close();
  bool Drawing() const { return cr_ != nullptr && inPage_; }

  PrinterDescription printer_;
  DEVMODE mode_;
  PrinterPage page_;
  std::string title_;
  std::string pdf_;
  std::unique_ptr<AtomicFile> file_;
  cairo_surface_t* surface_ = nullptr;
  cairo_t* cr_ = nullptr;
  bool inPage_ = false;
  bool failed_ = false;
};
