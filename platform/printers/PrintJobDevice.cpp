#include "platform/printers/PrintJobDevice.h"

#include <cairo-pdf.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/dialogs/FileDialog.h"
#include "platform/gdi/Gdi.h"
#include "platform/printers/CupsQueues.h"
#include "platform/printers/PrinterApi.h"
#include "platform/printers/PrinterText.h"
#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"
#include "platform/dialogs/ShellFileOperation.h"
#include "platform/rtl/LastError.h"
#include "platform/user/User.h"

namespace {

constexpr double kPointsPerInch = 72.0;

double Channel(COLORREF colour, int shift) { return ((colour >> shift) & 0xFF) / 255.0; }

void SetColour(cairo_t* cr, COLORREF colour) {
  cairo_set_source_rgb(cr, Channel(colour, 0), Channel(colour, 8), Channel(colour, 16));
}

bool ValidUtf8(const std::string& text) {
  for (size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    const size_t extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : 9;
    if (extra > 3 || i + extra >= text.size() + (extra == 0 ? 1 : 0)) return false;
    for (size_t k = 1; k <= extra; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += extra + 1;
  }
  return true;
}

// Text as cairo takes it: valid UTF-8 passes, anything else is read as Latin-1.
std::string AsUtf8(const std::string& text) {
  if (ValidUtf8(text)) return text;
  std::string out;
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x80) {
      out += ch;
    } else {
      out += static_cast<char>(0xC0 | c >> 6);
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// The DIB's source rectangle as 32-bit pixels, converted by GDI itself so every depth and
// compression it reads prints alike. Null when GDI cannot read it.
cairo_surface_t* DibPixels(const BITMAPINFO& info, const void* bits, RECT source) {
  const int w = source.right - source.left, h = source.bottom - source.top;
  BITMAPINFO target{};
  target.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  target.bmiHeader.biWidth = w;
  target.bmiHeader.biHeight = -h;
  target.bmiHeader.biPlanes = 1;
  target.bmiHeader.biBitCount = 32;
  void* pixels = nullptr;
  HBITMAP section = CreateDIBSection(nullptr, &target, DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (!section || !pixels) return nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, section);
  const int rows = std::abs(info.bmiHeader.biHeight);
  const int srcY = info.bmiHeader.biHeight > 0 ? rows - source.bottom : source.top;
  const bool drawn = StretchDIBits(dc, 0, 0, w, h, source.left, srcY, w, h, bits, &info, DIB_RGB_COLORS, SRCCOPY) > 0;
  cairo_surface_t* image = drawn ? cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h) : nullptr;
  if (image && cairo_surface_status(image) == CAIRO_STATUS_SUCCESS) {
    cairo_surface_flush(image);
    unsigned char* out = cairo_image_surface_get_data(image);
    const int stride = cairo_image_surface_get_stride(image);
    for (int y = 0; y < h; ++y)
      std::memcpy(out + static_cast<size_t>(y) * stride, static_cast<const unsigned char*>(pixels) + static_cast<size_t>(y) * w * 4,
                  static_cast<size_t>(w) * 4);
    cairo_surface_mark_dirty(image);
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(section);
  return image;
}

}  // namespace

PrintJobDevice::PrintJobDevice(PrinterDescription printer, const DEVMODE& mode)
    : printer_(std::move(printer)), mode_(mode), page_(PageFor(printer_, &mode_)) {}

PrintJobDevice::~PrintJobDevice() { Close(); }

int PrintJobDevice::Caps(int index) const {
  switch (index) {
    case TECHNOLOGY: return DT_RASPRINTER;
    case BITSPIXEL: return 24;
    case PLANES: return 1;
    case HORZRES: return page_.width - page_.left - page_.right;
    case VERTRES: return page_.height - page_.top - page_.bottom;
    case HORZSIZE: return (page_.width - page_.left - page_.right) * 254 / (page_.dpi * 10);
    case VERTSIZE: return (page_.height - page_.top - page_.bottom) * 254 / (page_.dpi * 10);
    case LOGPIXELSX: case LOGPIXELSY: return page_.dpi;
    case PHYSICALWIDTH: return page_.width;
    case PHYSICALHEIGHT: return page_.height;
    case PHYSICALOFFSETX: return page_.left;
    case PHYSICALOFFSETY: return page_.top;
    case RASTERCAPS: return RC_BITBLT | RC_STRETCHBLT | RC_STRETCHDIB | RC_DIBTODEV;
    case NUMCOLORS: return -1;
  }
  return 0;
}

cairo_status_t PrintJobDevice::Collect(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<PrintJobDevice*>(closure)->pdf_.append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

bool PrintJobDevice::ChooseFile(const DOCINFO& info, const std::string& proposal) {
  std::string path = info.lpszOutput ? info.lpszOutput : "";
  if (path.empty()) {
    // The proposal's folder and name without its extension, else the document's name.
    const std::string folder = ExtractFilePath(proposal);
    std::string proposed = ChangeFileExt(ExtractFileName(proposal), "");
    if (proposed.empty()) proposed = title_.empty() ? std::string("document") : title_;
    std::replace(proposed.begin(), proposed.end(), '/', '_');
    proposed += ".pdf";
    std::vector<char> buffer(4096, '\0');
    std::strncpy(buffer.data(), proposed.c_str(), buffer.size() - 1);
    OPENFILENAME ofn;
    ofn.hwndOwner = GetActiveWindow();
    if (!folder.empty()) ofn.lpstrInitialDir = folder.c_str();
    ofn.lpstrFilter = PrinterText::PdfFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrTitle = PrinterText::SavePdf;
    ofn.lpstrDefExt = "pdf";
    ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetSaveFileName(&ofn)) {
      SetLastError(ERROR_CANCELLED);
      return false;
    }
    path = buffer.data();
  }
  try {
    file_ = std::make_unique<AtomicFile>(path);
  } catch (const Exception&) {
    SetLastError(ERROR_CANTWRITE);
    return false;
  }
  return true;
}

int PrintJobDevice::StartDoc(const DOCINFO& info) {
  if (surface_) return SP_ERROR;
  title_ = info.lpszDocName ? info.lpszDocName : "";
  const std::string proposal = TakePrintFileProposal();
  if (printer_.pdfFile && !ChooseFile(info, proposal)) return SP_ERROR;
  pdf_.clear();
  failed_ = false;
  const double scale = kPointsPerInch / page_.dpi;
  surface_ = cairo_pdf_surface_create_for_stream(&PrintJobDevice::Collect, this, page_.width * scale, page_.height * scale);
  if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) {
    Close();
    return SP_ERROR;
  }
  if (!title_.empty()) cairo_pdf_surface_set_metadata(surface_, CAIRO_PDF_METADATA_TITLE, AsUtf8(title_).c_str());
  cr_ = cairo_create(surface_);
  return 1;
}

bool PrintJobDevice::StartPage() {
  if (!cr_ || inPage_ || failed_) return false;
  cairo_identity_matrix(cr_);
  cairo_scale(cr_, kPointsPerInch / page_.dpi, kPointsPerInch / page_.dpi);
  cairo_translate(cr_, page_.left, page_.top);
  inPage_ = true;
  return true;
}

bool PrintJobDevice::EndPage() {
  if (!Drawing()) return false;
  cairo_show_page(cr_);
  inPage_ = false;
  return cairo_status(cr_) == CAIRO_STATUS_SUCCESS;
}

bool PrintJobDevice::EndDoc() {
  if (!cr_ || inPage_ || failed_) {
    Close();
    return false;
  }
  cairo_destroy(cr_);
  cr_ = nullptr;
  cairo_surface_finish(surface_);
  const bool whole = cairo_surface_status(surface_) == CAIRO_STATUS_SUCCESS;
  const bool delivered = whole && Deliver();
  Close();
  return delivered;
}

bool PrintJobDevice::Deliver() {
  if (!printer_.pdfFile)
    return SubmitCupsJob({printer_.name, title_, std::max<int>(1, mode_.dmCopies), page_.landscape, page_.media}, pdf_);
  try {
    file_->Write(pdf_.data(), pdf_.size());
    file_->Commit();
  } catch (const Exception&) {
    return false;
  }
  return true;
}

void PrintJobDevice::AbortDoc() { Close(); }

void PrintJobDevice::Close() {
  const bool hadJob = cr_ || surface_;
  if (cr_) cairo_destroy(cr_);
  if (surface_) cairo_surface_destroy(surface_);
  cr_ = nullptr;
  surface_ = nullptr;
  // Only printing draws with cairo: its font caches go with the job rather than staying for
  // the rest of the run.
  if (hadJob) cairo_debug_reset_static_data();
  inPage_ = false;
  file_.reset();  // without a commit the old file stays as it was
  pdf_.clear();
}

bool PrintJobDevice::StretchDib(RECT target, const BITMAPINFO& info, const void* bits, RECT source) {
  if (!Drawing()) return false;
  const int sw = source.right - source.left, sh = source.bottom - source.top;
  if (sw <= 0 || sh <= 0) return false;
  cairo_surface_t* image = DibPixels(info, bits, source);
  if (!image) return false;
  cairo_save(cr_);
  cairo_translate(cr_, target.left, target.top);
  cairo_scale(cr_, static_cast<double>(target.right - target.left) / sw, static_cast<double>(target.bottom - target.top) / sh);
  cairo_set_source_surface(cr_, image, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr_), CAIRO_FILTER_NEAREST);
  cairo_rectangle(cr_, 0, 0, sw, sh);
  cairo_fill(cr_);
  cairo_restore(cr_);
  cairo_surface_destroy(image);
  return cairo_status(cr_) == CAIRO_STATUS_SUCCESS;
}

bool PrintJobDevice::Text(POINT at, const LOGFONT& font, COLORREF colour, const std::string& text) {
  if (!Drawing()) return false;
  if (text.empty()) return true;
  cairo_save(cr_);
  cairo_select_font_face(cr_, font.lfFaceName[0] ? font.lfFaceName : "sans-serif",
                         font.lfItalic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                         font.lfWeight >= 600 ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  // A negative height is the em size, a positive one the cell's (ascent and descent).
  double size = font.lfHeight < 0 ? -font.lfHeight : font.lfHeight > 0 ? font.lfHeight : page_.dpi / 6.0;
  cairo_set_font_size(cr_, size);
  cairo_font_extents_t extents;
  cairo_font_extents(cr_, &extents);
  if (font.lfHeight > 0 && extents.ascent + extents.descent > 0) {
    size *= font.lfHeight / (extents.ascent + extents.descent);
    cairo_set_font_size(cr_, size);
    cairo_font_extents(cr_, &extents);
  }
  SetColour(cr_, colour);
  cairo_move_to(cr_, at.x, at.y + extents.ascent);
  cairo_show_text(cr_, AsUtf8(text).c_str());
  cairo_restore(cr_);
  return cairo_status(cr_) == CAIRO_STATUS_SUCCESS;
}

bool PrintJobDevice::Rect(RECT box, const LOGPEN* pen, const LOGBRUSH* brush) {
  if (!Drawing()) return false;
  const double w = box.right - box.left, h = box.bottom - box.top;
  if (w <= 0 || h <= 0) return true;
  if (brush && brush->lbStyle == BS_SOLID) {
    SetColour(cr_, brush->lbColor);
    cairo_rectangle(cr_, box.left, box.top, w, h);
    cairo_fill(cr_);
  }
  if (pen) {
    const double lw = std::max(1, static_cast<int>(pen->lopnWidth.x));
    SetColour(cr_, pen->lopnColor);
    cairo_set_line_width(cr_, lw);
    cairo_rectangle(cr_, box.left + lw / 2, box.top + lw / 2, std::max(0.0, w - lw), std::max(0.0, h - lw));
    cairo_stroke(cr_);
  }
  return cairo_status(cr_) == CAIRO_STATUS_SUCCESS;
}
