// Printer contexts: made through the printer service's factory, and the job calls that go to
// their device.

#include "platform/gdi/PrintDevice.h"

#include "platform/gdi/DeviceContext.h"

namespace {

PrintDeviceFactory& Factory() {
  static PrintDeviceFactory factory;
  return factory;
}

PrintDevice* PrinterOf(HDC handle) {
  DeviceContext* dc = LiveDc(handle);
  return dc ? dc->printer.get() : nullptr;
}

}  // namespace

void SetPrintDeviceFactory(PrintDeviceFactory factory) { Factory() = std::move(factory); }

HDC CreatePrinterDC(const char* device, const DEVMODE* init) {
  if (!Factory() || !device) return nullptr;
  std::unique_ptr<PrintDevice> printer = Factory()(device, init);
  if (!printer) return nullptr;
  DeviceContext* dc = NewDeviceContext(DeviceContext::Kind::Printer);
  dc->printer = std::move(printer);
  return dc;
}

int StartDoc(HDC dc, const DOCINFO* info) {
  PrintDevice* printer = PrinterOf(dc);
  if (!printer || !info) return SP_ERROR;
  const int job = printer->StartDoc(*info);
  return job > 0 ? job : SP_ERROR;
}

int StartPage(HDC dc) {
  PrintDevice* printer = PrinterOf(dc);
  return printer && printer->StartPage() ? 1 : SP_ERROR;
}

int EndPage(HDC dc) {
  PrintDevice* printer = PrinterOf(dc);
  return printer && printer->EndPage() ? 1 : SP_ERROR;
}

int EndDoc(HDC dc) {
  PrintDevice* printer = PrinterOf(dc);
  return printer && printer->EndDoc() ? 1 : SP_ERROR;
}

int AbortDoc(HDC dc) {
  PrintDevice* printer = PrinterOf(dc);
  if (!printer) return SP_ERROR;
  printer->AbortDoc();
  return 1;
}
