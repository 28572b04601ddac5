#include "platform/vcl/Printers.h"

#include <cstring>

#include "platform/gdi/Gdi.h"
#include "platform/printers/PrinterCatalog.h"
#include "platform/printers/PrinterSettingsDialog.h"
#include "platform/rtl/GlobalMemory.h"

QUILLO_DEFINE_CLASS(TPrinterSetupDialog, TCommonDialog)

TPrinter::TPrinter() : printers_(std::make_unique<TStringList>()) {}

// The one printer lives to the end of the process; its context goes with it.
TPrinter::~TPrinter() = default;

TStrings* TPrinter::Printers() {
  if (!listed_) Refresh();
  return printers_.get();
}

void TPrinter::Refresh() {
  const std::string chosen = index_ >= 0 && index_ < printers_->Count() ? printers_->Get(index_) : "";
  printers_->Clear();
  for (const PrinterDescription& p : ListPrinters()) printers_->Add(p.name);
  listed_ = true;
  index_ = -1;
  const std::string wanted = chosen.empty() ? DefaultPrinterName() : chosen;
  for (int i = 0; i < printers_->Count(); ++i)
    if (printers_->Get(i) == wanted) index_ = i;
  if (index_ < 0 && printers_->Count() > 0) index_ = 0;
  PrinterDescription description;
  if (chosen.empty() && index_ >= 0 && FindPrinter(printers_->Get(index_), description))
    settings_ = DefaultDevMode(description);
  ReleaseHandle();
}

int TPrinter::GetPrinterIndex() {
  if (!listed_) Refresh();
  return index_;
}

void TPrinter::SetPrinterIndex(int index) {
  if (!listed_) Refresh();
  if (index < 0 || index >= printers_->Count() || index == index_) return;
  index_ = index;
  PrinterDescription description;
  if (FindPrinter(printers_->Get(index_), description)) settings_ = DefaultDevMode(description);
  ReleaseHandle();
}

std::string TPrinter::DeviceName() {
  const int index = GetPrinterIndex();
  return index >= 0 ? printers_->Get(index) : std::string();
}

bool TPrinter::SetPrinter(const std::string& device, const DEVMODE& settings) {
  if (!listed_) Refresh();
  for (int i = 0; i < printers_->Count(); ++i)
    if (printers_->Get(i) == device) {
      index_ = i;
      settings_ = settings;
      ReleaseHandle();
      return true;
    }
  return false;
}

HDC TPrinter::Handle() {
  if (!handle_) {
    const std::string device = DeviceName();
    if (!device.empty()) handle_ = CreateDC(nullptr, device.c_str(), nullptr, &settings_);
  }
  return handle_;
}

void TPrinter::ReleaseHandle() {
  if (handle_) DeleteDC(handle_);
  handle_ = nullptr;
}

TPrinter* Printer() {
  static TPrinter printer;
  return &printer;
}

TPrinterSetupDialog::TPrinterSetupDialog(TComponent* owner) : TCommonDialog(owner) {}

bool TPrinterSetupDialog::Execute() {
  TPrinter* printer = Printer();
  std::string device = printer->DeviceName();
  DEVMODE settings = printer->PageSettings();
  if (!RunPrintSetupDialog(OwnerWindow(), device, settings)) return false;
  printer->Refresh();
  return printer->SetPrinter(device, settings);
}
