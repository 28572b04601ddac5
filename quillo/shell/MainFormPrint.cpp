// The main window's File > Print, Printer Setup, Select Source and Acquire.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/PrintDevice.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/GlobalMemory.h"
#include "platform/scanners/ScannerApi.h"
#include "platform/vcl/Application.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Printers.h"
#include "quillo/base/Language.h"
#include "quillo/base/Settings.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/Progress.h"
#include "quillo/files/ScannedPicture.h"
#include "vorlen/formats/GFXFile.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/document/DocumentList.h"
#include "quillo/output/PrintForm.h"
#include "quillo/shell/MainForm.h"
#include "quillo/tools/Tool.h"

namespace {

// A printer is there, and it can take a stretched bitmap.
bool PrinterCanPrint() {
  TPrinter* printer = Printer();
  if (printer->Printers()->Count() == 0) return false;
  HDC dc = printer->Handle();
  return dc != nullptr && (GetDeviceCaps(dc, RASTERCAPS) & RC_STRETCHDIB) != 0;
}

}  // namespace

void TMainForm::ConnectPrintCommands() {
  PrinterSetupDialog1 = NewNamedComponent<TPrinterSetupDialog>(this, "PrinterSetupDialog1");
  if (TMenuItem* item = MenuItemNamed("Print1")) item->OnClick = [this](TObject* sender) { Print1Click(sender); };
  if (TMenuItem* item = MenuItemNamed("PrinterSetup1"))
    item->OnClick = [this](TObject* sender) { PrinterSetup1Click(sender); };
  if (TMenuItem* item = MenuItemNamed("SelectSource1"))
    item->OnClick = [this](TObject* sender) { SelectSource1Click(sender); };
  if (TMenuItem* item = MenuItemNamed("Acquire1")) item->OnClick = [this](TObject* sender) { Acquire1Click(sender); };
}

void TMainForm::ConnectPrintButtons() {
  for (auto [itemName, buttonName] : {std::pair{"Print1", "PrintBtn"}, std::pair{"Acquire1", "AcquireBtn"}}) {
    TMenuItem* item = MenuItemNamed(itemName);
    auto* button = dynamic_cast<tbx::TToolbarButtonX*>(FindComponent(buttonName));
    if (!item || !button) continue;
    button->OnClick = item->OnClick;
    button->SetEnabled(item->GetEnabled());
  }
}

void TMainForm::EnableScannerCommands(bool available) {
  for (const char* name : {"SelectSource1", "Acquire1"})
    if (TMenuItem* item = MenuItemNamed(name)) item->SetEnabled(available);
  if (auto* button = dynamic_cast<tbx::TToolbarButtonX*>(FindComponent("AcquireBtn"))) button->SetEnabled(available);
}

void TMainForm::Print1Click(TObject*) {
  if (!PrinterCanPrint()) {
    LangMessageBox("NoPrinter", "Err", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  if (CurrentPicture == nullptr) return;
  const ToolSuspension aside;
  ShowPrintForm();
}

void TMainForm::PrinterSetup1Click(TObject*) {
  if (Printer()->Printers()->Count() == 0) {
    LangMessageBox("NoPrinter", "Err", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  PrinterSetupDialog1->Execute();
}

void TMainForm::SelectSource1Click(TObject*) {
  if (ScannerSources().empty()) {
    LangMessageBox("NoScanner", "Err", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  TWAIN_SelectImageSource(Application()->GetHandle());
}

namespace {

// The scan in its block of global memory, as a picture.
bool DecodeScan(HGLOBAL scan, Buffer& picture, int& resolution) {
  const auto* data = static_cast<const std::uint8_t*>(GlobalLock(scan));
  if (!data) return false;
  const bool decoded = PictureFromScan(data, GlobalSize(scan), picture, resolution);
  GlobalUnlock(scan);
  return decoded;
}

}  // namespace

void TMainForm::Acquire1Click(TObject*) {
  if (ScannerSources().empty()) {
    LangMessageBox("NoScanner", "Err", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  const ToolSuspension aside;
  HGLOBAL scan = TWAIN_AcquireNative(Application()->GetHandle(), 0);
  if (!scan) return;
  GFXFile::SetProgFunc(nullptr, nullptr, nullptr);
  Buffer picture;
  int resolution = 200;
  const bool decoded = DecodeScan(scan, picture, resolution);
  TImageForm* window = nullptr;
  if (decoded) {
    try {
      LastImageSize = TPoint(picture.Width(), picture.Height());
      window = CreateDocumentWindow(picture.Width(), picture.Height(), "");
    } catch (const EAbort&) {
      window = nullptr;  // too many documents: the window said so
    } catch (const std::exception&) {
      LangMessageBox("NoMem", "Err", MB_OK | MB_ICONEXCLAMATION);
    }
  } else {
    LangMessageBox("ErrScan", "Err", MB_OK | MB_ICONEXCLAMATION);
  }
  if (window) {
    window->Picture.Copy(picture, Pair<int>(0, 0), Buffer::kPlain);
    window->Picture.Resolution = resolution;
    window->Picture.SaveAsRequired = 1;
    MarkPictureChanged();
    UpdateDocumentCaption(window);
    window->Show();
    FitWindowToImage(window, Settings.FixZoom ? FitZoom::FixedSetting : FitZoom::Fitting);
  }
  picture.Free();
  GFXFile::SetProgFunc(ProgressStart100, ProgressCallback, ProgressEnd);
  TWAIN_FreeNative(scan);
}
