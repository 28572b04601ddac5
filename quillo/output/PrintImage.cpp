// Printing the page: the picture goes to the printer as a 24-bit bitmap made in a buffer of its
// own (the document's pixels, transparency included, are never touched), framed and titled as
// the preview shows. Every step of the job is checked: a job that fails is abandoned, the user
// is told, and the dialog stays open.

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/printers/PrinterApi.h"
#include "platform/rtl/SysUtils.h"
#include "platform/dialogs/ShellFileOperation.h"
#include "platform/rtl/LastError.h"
#include "platform/user/Dialog.h"
#include "platform/user/User.h"
#include "platform/vcl/Edit.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Font.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/Language.h"
#include "quillo/base/Settings.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/output/PrintForm.h"

namespace {

// These two texts are the system's own and are never translated.
constexpr const char* kNoContextText = "Error creating DC";
constexpr const char* kNoContextCaption = "Error";
constexpr const char* kDocumentName = "Quillory Image";

// The picture as a bottom-up 24-bit DIB: rows of w x 3 bytes padded to a multiple of 4.
std::vector<BYTE> DibRows(const Buffer& picture) {
  const int w = picture.Width(), h = picture.Height();
  const size_t rowBytes = (static_cast<size_t>(w) * 3 + 3) & ~static_cast<size_t>(3);
  std::vector<BYTE> bits(rowBytes * static_cast<size_t>(h), 0);
  for (int y = 0; y < h; ++y) {
    const uint* from = picture.At(picture.rect.left, picture.rect.top + y);
    BYTE* to = bits.data() + rowBytes * static_cast<size_t>(h - 1 - y);
    for (int x = 0; x < w; ++x) {
      const uint p = from[x];
      to[3 * x] = static_cast<BYTE>(p & 0xFF);
      to[3 * x + 1] = static_cast<BYTE>(p >> 8 & 0xFF);
      to[3 * x + 2] = static_cast<BYTE>(p >> 16 & 0xFF);
    }
  }
  return bits;
}

// The frame's width in printer pixels: half a point, and never less than one pixel.
int FrameWidth(int printerDpi) { return std::max(1, (printerDpi + 72) / 144); }

// A frame just outside the picture, drawn after it: a renderer that places the picture on a
// coarser grid of its own may widen it by a pixel, and drawn first the frame would go under it.
bool DrawFrame(HDC dc, const PrintedRect& picture, int printerDpi) {
  const int width = FrameWidth(printerDpi);
  HPEN pen = CreatePen(PS_INSIDEFRAME, width, RGB(0, 0, 0));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  const bool drawn = Rectangle(dc, picture.x - width, picture.y - width, picture.x + picture.width + width,
                               picture.y + picture.height + width) != FALSE;
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(pen);
  return drawn;
}

// The file printing to a file proposes: the picture's own name and folder, or an untitled
// picture's caption in the pictures folder.
AnsiString PrintFileFor(const UDBuffer& picture) {
  if (!picture.FileName.empty()) return ChangeFileExt(picture.FileName, ".pdf");
  const AnsiString folder = Settings.ImageDir.empty() ? AnsiString() : IncludeTrailingPathDelimiter(Settings.ImageDir);
  return folder + DocumentTitle(picture) + ".pdf";
}

}  // namespace

void TPrintForm::ReportNoContext() { MessageBox(nullptr, kNoContextText, kNoContextCaption, MB_OK); }

bool TPrintForm::ReportPrintFailure(HDC dc, bool started) {
  // A cancelled choice of file is the user's own doing: nothing to report.
  const bool cancelled = GetLastError() == ERROR_CANCELLED;
  if (started) AbortDoc(dc);
  DeleteDC(dc);
  if (!cancelled) LangMessageBox("ErrPrint", "Err", MB_OK | MB_ICONEXCLAMATION);
  return false;
}

bool TPrintForm::PrintImage() {
  UDBuffer* picture = Picture();
  if (!picture || picture->Empty() || !HasPage()) return false;
  const int w = picture->Width(), h = picture->Height();
  const std::vector<BYTE> bits = DibRows(*picture);
  HDC dc = CreatePrinterDC();
  if (!dc) {
    ReportNoContext();
    return false;
  }
  SetLastError(0);
  ProposePrintFile(PrintFileFor(*picture));
  DOCINFO info;
  info.cbSize = 20;
  info.lpszDocName = kDocumentName;
  if (StartDoc(dc, &info) <= 0) return ReportPrintFailure(dc, false);
  if (StartPage(dc) <= 0) return ReportPrintFailure(dc, true);
  BITMAPINFO header{};
  header.bmiHeader.biSize = 40;
  header.bmiHeader.biWidth = w;
  header.bmiHeader.biHeight = h;
  header.bmiHeader.biPlanes = 1;
  header.bmiHeader.biBitCount = 24;
  header.bmiHeader.biCompression = BI_RGB;
  const PrintedRect printed = PrintedPicture(PrintLayout, w, h);
  if (StretchDIBits(dc, printed.x, printed.y, printed.width, printed.height, 0, 0, w, h, bits.data(), &header,
                    DIB_RGB_COLORS, SRCCOPY) <= 0)
    return ReportPrintFailure(dc, true);
  if (DrawBorderCB->GetChecked() && !DrawFrame(dc, printed, PrintLayout.page.printerDpi))
    return ReportPrintFailure(dc, true);
  const AnsiString title = TitleEdit->GetText();
  if (!title.empty()) {
    const int height = printFont_->GetHeight();
    printFont_->SetHeight(height * PrintLayout.page.printerDpi / PrintLayout.screenDpi);
    HGDIOBJ old = SelectObject(dc, printFont_->GetHandle());
    SetTextColor(dc, ColorToRGB(printFont_->GetColor()));
    SetBkMode(dc, TRANSPARENT);
    const bool written = TextOut(dc, 0, 0, title.c_str(), static_cast<int>(title.size()));
    SelectObject(dc, old);
    printFont_->SetHeight(height);
    if (!written) return ReportPrintFailure(dc, true);
  }
  if (EndPage(dc) <= 0) return ReportPrintFailure(dc, true);
  if (EndDoc(dc) <= 0) return ReportPrintFailure(dc, false);
  DeleteDC(dc);
  PrintLayout.printed = false;
  return true;
}
