// The print dialog's page preview: the page laid out on a tiled background, the picture placed
// on it with its frame and handles, the title, and the mouse and the size edits that move and
// size the picture.

#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "platform/user/User.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Font.h"
#include "platform/vcl/GroupBox.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/Settings.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/output/PrintForm.h"

namespace {

constexpr uint kWhite = 0xFFFFFF;
constexpr uint kBlack = 0x000000;
constexpr uint kPrintableOutline = 0xFF8080;
constexpr int kShadow = 48;
constexpr double kCentimetresPerInch = 2.5399;
constexpr double kInchesPerCentimetre = 0.39371628804283637;

uint Darker(uint pixel) {
  const uint r = (pixel >> 16 & 0xFF) - kShadow, g = (pixel >> 8 & 0xFF) - kShadow, b = (pixel & 0xFF) - kShadow;
  return (pixel & 0xFF000000u) | r << 16 | g << 8 | b;
}

// The framework's colour (0x00BBGGRR) as a pixel (0x00RRGGBB).
uint PixelOf(TColor colour) {
  const uint c = static_cast<uint>(ColorToRGB(colour));
  return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

// Sets an item without running the group's click handler.
void SetQuietly(TRadioGroup* group, int index) {
  TNotifyEvent handler = std::move(group->OnClick);
  group->OnClick = nullptr;
  group->SetItemIndex(index);
  group->OnClick = std::move(handler);
}

}  // namespace

void TPrintForm::LayoutPage() {
  drawing_ = true;
  if (const DEVMODE* settings = PrintLayout.Settings()) {
    Orientation->SetItemIndex(settings->dmOrientation == DMORIENT_LANDSCAPE ? 1 : 0);
    Copies->SetValue(settings->dmCopies);
  }
  drawing_ = false;
  PrintPage page;
  if (HDC dc = CreatePrinterDC()) {
    page.physicalWidth = GetDeviceCaps(dc, PHYSICALWIDTH);
    page.physicalHeight = GetDeviceCaps(dc, PHYSICALHEIGHT);
    page.physicalOffsetX = GetDeviceCaps(dc, PHYSICALOFFSETX);
    page.physicalOffsetY = GetDeviceCaps(dc, PHYSICALOFFSETY);
    page.printableWidth = GetDeviceCaps(dc, HORZRES);
    page.printableHeight = GetDeviceCaps(dc, VERTRES);
    page.printerDpi = GetDeviceCaps(dc, LOGPIXELSX);
    DeleteDC(dc);
  }
  PrintLayout.page = page;
  // A printer without a page can neither be previewed nor printed on: the user is told.
  PrintBtn->SetEnabled(page.Valid());
  if (!page.Valid() && !Printers->GetText().empty()) ReportNoContext();
  LayOutPreview(PrintLayout, background_.Width(), background_.Height());
  for (int y = 0; y < background_.Height(); y += 32)
    for (int x = 0; x < background_.Width(); x += 64) background_.Copy(tile_, Pair<int>(x, y), Buffer::kPlain);
  if (page.Valid()) {
    DrawPage(background_);
    const double s = PrintLayout.previewScale;
    const double pageWidth = page.physicalWidth * s, pageHeight = page.physicalHeight * s;
    const int left = PrintLayout.pageLeft, top = PrintLayout.pageTop;
    for (int x = static_cast<int>(left + pageWidth); x < static_cast<int>(left + pageWidth) + 3; ++x)
      for (int y = static_cast<int>(top + pageHeight - 1); y >= top + 3; --y)
        if (x < background_.Width() && y < background_.Height()) *background_.At(x, y) = Darker(*background_.At(x, y));
    for (int y = static_cast<int>(top + pageHeight); y < static_cast<int>(top + pageHeight) + 3; ++y)
      for (int x = static_cast<int>(left + pageWidth + 3); x >= left + 3; --x)
        if (x < background_.Width() && y < background_.Height()) *background_.At(x, y) = Darker(*background_.At(x, y));
  }
  display_.Copy(background_, Pair<int>(0, 0), Buffer::kPlain);
  DrawPreview();
}

void TPrintForm::DrawPage(Buffer& target) {
  const double s = PrintLayout.previewScale;
  target.Box(Rect(PrintLayout.pageLeft, PrintLayout.pageTop,
                  static_cast<int>(PrintLayout.pageLeft + PrintLayout.page.physicalWidth * s - 1),
                  static_cast<int>(PrintLayout.pageTop + PrintLayout.page.physicalHeight * s - 1)),
             kWhite);
}

void TPrintForm::DrawPreview() {
  UDBuffer* picture = Picture();
  if (!picture || picture->Empty() || !HasPage()) {
    display_.Copy(background_, Pair<int>(0, 0), Buffer::kPlain);
    Holder->Invalidate();
    return;
  }
  const int w = picture->Width(), h = picture->Height();
  const auto size = static_cast<PrintImageSize>(std::max(0, ImageSize->GetItemIndex()));
  const PrintImageSize applied = ApplyImageSize(PrintLayout, size, w, h, picture->Resolution);
  if (applied != size) SetQuietly(ImageSize, static_cast<int>(applied));
  ShowSizes();
  ApplyAlignment(PrintLayout, static_cast<PrintAlign>(std::max(0, HorizAlign->GetItemIndex())),
                 static_cast<PrintAlign>(std::max(0, VertAlign->GetItemIndex())), w, h);

  const double s = PrintLayout.previewScale;
  DrawPage(display_);
  const PreviewBox printable = PrintableBox(PrintLayout);
  display_.Rectangle(Rect(printable.x1 - 1, printable.y1 - 1, printable.x2, printable.y2), kPrintableOutline);
  const PreviewBox box = PictureBox(PrintLayout, w, h);
  if (PrintLayout.scaleX != PrintLayout.builtScaleX || PrintLayout.scaleY != PrintLayout.builtScaleY) {
    scaled_.Free();
    const Pair<int> extent(std::max(1, PreviewExtent(w, PrintLayout.scaleX, s)), std::max(1, PreviewExtent(h, PrintLayout.scaleY, s)));
    scaled_.Alloc(extent);
    scaled_.Scale(*picture, extent, Pair<int>(0, 0), Buffer::kPlain, -1);
    PrintLayout.builtScaleX = PrintLayout.scaleX;
    PrintLayout.builtScaleY = PrintLayout.scaleY;
  }
  display_.Copy(scaled_, Pair<int>(box.x1, box.y1), Buffer::kPlain);
  display_.Rectangle(Rect(box.x1, box.y1, box.x2, box.y2), kBlack);
  for (const int hx : {box.x1, box.Xm(), box.x2})
    for (const int hy : {box.y1, box.Ym(), box.y2})
      if (hx != box.Xm() || hy != box.Ym()) display_.Box(Rect(hx - 3, hy - 3, hx + 3, hy + 3), kBlack);

  const AnsiString title = TitleEdit->GetText();
  if (!title.empty()) {
    const int height = printFont_->GetHeight();
    printFont_->SetHeight(static_cast<int>(height * s * PrintLayout.page.printerDpi / PrintLayout.screenDpi));
    Buffer area(display_, Rect(printable.x1, printable.y1, static_cast<int>(printable.x1 + PrintLayout.page.printableWidth * s - 1),
                               static_cast<int>(printable.y1 + PrintLayout.page.printableHeight * s - 1)),
                true);
    area.OutText(printFont_.get(), Pair<int>(printable.x1, printable.y1), title, PixelOf(printFont_->GetColor()));
    printFont_->SetHeight(height);
  }
  Holder->Invalidate();
}

double TPrintForm::UnitScale(double value, int pixels) const {
  const double dpi = PrintLayout.page.printerDpi;
  switch (Settings.MeasurementUnit) {
    case 0: return dpi * value / pixels;
    case 1: return kInchesPerCentimetre * dpi * value / pixels;
    default: return value / pixels;
  }
}

void TPrintForm::ShowSizes() {
  UDBuffer* picture = Picture();
  if (!picture) return;
  const double width = picture->Width() * PrintLayout.scaleX, height = picture->Height() * PrintLayout.scaleY;
  const double dpi = PrintLayout.page.printerDpi;
  double factor = 1;
  if (Settings.MeasurementUnit == 0) factor = 1 / dpi;
  if (Settings.MeasurementUnit == 1) factor = kCentimetresPerInch / dpi;
  ImgWidthEdit->SetValue(width * factor);
  ImgHeightEdit->SetValue(height * factor);
}

void TPrintForm::ImgWidthEditChange(TObject*) {
  UDBuffer* picture = Picture();
  if (!picture || !HasPage()) return;
  const double value = ImgWidthEdit->GetValue();
  PrintLayout.scaleX = UnitScale(value, picture->Width());
  if (KeepARCB->GetChecked()) {
    const double height = value * PrintLayout.aspectRatio;
    ImgHeightEdit->SetValue(height);
    PrintLayout.scaleY = UnitScale(height, picture->Height());
  } else {
    PrintLayout.aspectRatio = (picture->Height() * PrintLayout.scaleY) / (picture->Width() * PrintLayout.scaleX);
  }
  if (ImageSize->GetItemIndex() == static_cast<int>(PrintImageSize::Custom)) DrawPreview();
  else SetToCustom(ImageSize);
}

void TPrintForm::ImgHeightEditChange(TObject*) {
  UDBuffer* picture = Picture();
  if (!picture || !HasPage()) return;
  const double value = ImgHeightEdit->GetValue();
  PrintLayout.scaleY = UnitScale(value, picture->Height());
  if (KeepARCB->GetChecked() && PrintLayout.aspectRatio > 0) {
    const double width = value / PrintLayout.aspectRatio;
    ImgWidthEdit->SetValue(width);
    PrintLayout.scaleX = UnitScale(width, picture->Width());
  } else {
    PrintLayout.aspectRatio = (picture->Height() * PrintLayout.scaleY) / (picture->Width() * PrintLayout.scaleX);
  }
  if (ImageSize->GetItemIndex() == static_cast<int>(PrintImageSize::Custom)) DrawPreview();
  else SetToCustom(ImageSize);
}

void TPrintForm::UpdateCursor(int x, int y) {
  UDBuffer* picture = Picture();
  TCursor cursor = crDefault;
  if (picture && HasPage()) {
    switch (HitPicture(PictureBox(PrintLayout, picture->Width(), picture->Height()), x, y)) {
      case PrintDragMode::Left: case PrintDragMode::Right: cursor = crSizeWE; break;
      case PrintDragMode::Top: case PrintDragMode::Bottom: cursor = crSizeNS; break;
      case PrintDragMode::TopLeft: case PrintDragMode::BottomRight: cursor = crSizeNWSE; break;
      case PrintDragMode::TopRight: case PrintDragMode::BottomLeft: cursor = crSizeNESW; break;
      case PrintDragMode::Move: cursor = crHandPoint; break;
      case PrintDragMode::None: break;
    }
  }
  Holder->SetCursor(cursor);
}

void TPrintForm::HolderMouseDown(int x, int y) {
  UDBuffer* picture = Picture();
  if (!picture || !HasPage()) return;
  const PrintDragMode mode = drag_.Begin(PrintLayout, picture->Width(), picture->Height(), x, y);
  const bool sizes = mode != PrintDragMode::None && mode != PrintDragMode::Move;
  const bool horizontal = mode == PrintDragMode::Move || (sizes && mode != PrintDragMode::Top && mode != PrintDragMode::Bottom);
  const bool vertical = mode == PrintDragMode::Move || (sizes && mode != PrintDragMode::Left && mode != PrintDragMode::Right);
  if (sizes) SetToCustom(ImageSize);
  if (horizontal) SetToCustom(HorizAlign);
  if (vertical) SetToCustom(VertAlign);
}

void TPrintForm::HolderMouseMove(int x, int y, bool buttonDown) {
  UpdateCursor(x, y);
  UDBuffer* picture = Picture();
  if (!buttonDown || !picture || drag_.Mode() == PrintDragMode::None) return;
  drag_.MoveTo(PrintLayout, picture->Width(), picture->Height(), x, y);
  DrawPreview();
}

void TPrintForm::HolderMouseUp() { drag_.End(); }
