#include "platform/printers/PrinterApi.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <map>
#include <utility>
#include <vector>

#include "platform/printers/PrinterCatalog.h"
#include "platform/printers/PrinterSettingsDialog.h"
#include "platform/printers/PrintJobDevice.h"
#include "platform/rtl/LastError.h"
#include "platform/rtl/Profile.h"

namespace {

struct OpenedPrinter {
  PrinterDescription description;
};

// The open printers by their handles.
std::map<HANDLE, std::unique_ptr<OpenedPrinter>>& Opened() {
  static std::map<HANDLE, std::unique_ptr<OpenedPrinter>> opened;
  return opened;
}

OpenedPrinter* Live(HANDLE handle) {
  auto it = Opened().find(handle);
  return it == Opened().end() ? nullptr : it->second.get();
}

// Records of one kind followed by their strings, as the spooler packs them.
class PackedRecords {
public:
  PackedRecords(size_t recordSize, size_t count) : recordSize_(recordSize), records_(recordSize * count) {}
  void Add(const std::string& text) { strings_.push_back(text); }
  DWORD Size() const {
    size_t size = records_;
    for (const std::string& s : strings_) size += s.size() + 1;
    return static_cast<DWORD>(size + sizeof(DEVMODE) * devModes_.size());
  }
  void AddDevMode(const DEVMODE& mode) { devModes_.push_back(mode); }
  // Copies the strings and device modes in after the records; answers where each went.
  std::vector<void*> Place(BYTE* buffer) const {
    std::vector<void*> at;
    BYTE* p = buffer + records_;
    for (const DEVMODE& mode : devModes_) {
      std::memcpy(p, &mode, sizeof(mode));
      at.push_back(p);
      p += sizeof(mode);
    }
    for (const std::string& s : strings_) {
      std::memcpy(p, s.c_str(), s.size() + 1);
      at.push_back(p);
      p += s.size() + 1;
    }
    return at;
  }
  size_t recordSize_;

private:
  size_t records_;
  std::vector<std::string> strings_;
  std::vector<DEVMODE> devModes_;
};

bool Fits(const PackedRecords& packed, DWORD size, DWORD* needed) {
  if (needed) *needed = packed.Size();
  if (size < packed.Size()) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return false;
  }
  return true;
}

}  // namespace

BOOL EnumPrinters(DWORD flags, LPSTR, DWORD level, BYTE* buffer, DWORD size, DWORD* needed, DWORD* returned) {
  if (returned) *returned = 0;
  if (level != 4 && level != 5) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::vector<PrinterDescription> printers = ListPrinters();
  const std::string byDefault = DefaultPrinterName();
  if (flags & PRINTER_ENUM_DEFAULT)
    printers.erase(std::remove_if(printers.begin(), printers.end(),
                                  [&](const PrinterDescription& p) { return p.name != byDefault; }),
                   printers.end());
  PackedRecords packed(level == 4 ? sizeof(PRINTER_INFO_4) : sizeof(PRINTER_INFO_5), printers.size());
  for (const PrinterDescription& p : printers) {
    packed.Add(p.name);
    if (level == 5) packed.Add(p.port);
  }
  if (!Fits(packed, buffer ? size : 0, needed)) return FALSE;
  const std::vector<void*> strings = packed.Place(buffer);
  for (size_t i = 0; i < printers.size(); ++i) {
    const DWORD attributes = PRINTER_ATTRIBUTE_LOCAL | (printers[i].name == byDefault ? PRINTER_ATTRIBUTE_DEFAULT : 0);
    if (level == 4) {
      auto* record = reinterpret_cast<PRINTER_INFO_4*>(buffer) + i;
      *record = PRINTER_INFO_4{};
      record->pPrinterName = static_cast<LPSTR>(strings[i]);
      record->Attributes = attributes;
    } else {
      auto* record = reinterpret_cast<PRINTER_INFO_5*>(buffer) + i;
      *record = PRINTER_INFO_5{};
      record->pPrinterName = static_cast<LPSTR>(strings[2 * i]);
      record->pPortName = static_cast<LPSTR>(strings[2 * i + 1]);
      record->Attributes = attributes;
    }
  }
  if (returned) *returned = static_cast<DWORD>(printers.size());
  return TRUE;
}

BOOL OpenPrinter(LPSTR name, HANDLE* printer, void*) {
  if (!printer) return FALSE;
  *printer = nullptr;
  PrinterDescription description;
  if (!name || !FindPrinter(name, description)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto opened = std::make_unique<OpenedPrinter>(OpenedPrinter{std::move(description)});
  *printer = opened.get();
  Opened().emplace(*printer, std::move(opened));
  return TRUE;
}

BOOL ClosePrinter(HANDLE handle) {
  if (!Live(handle)) return FALSE;
  Opened().erase(handle);
  return TRUE;
}

BOOL GetPrinter(HANDLE handle, DWORD level, BYTE* buffer, DWORD size, DWORD* needed) {
  OpenedPrinter* printer = Live(handle);
  if (!printer || level != 2) {
    SetLastError(printer ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    return FALSE;
  }
  const PrinterDescription& p = printer->description;
  PackedRecords packed(sizeof(PRINTER_INFO_2), 1);
  packed.AddDevMode(DefaultDevMode(p));
  packed.Add(p.name);
  packed.Add(p.port);
  packed.Add(p.comment);
  packed.Add(p.pdfFile ? "PDF" : "CUPS");
  if (!Fits(packed, buffer ? size : 0, needed)) return FALSE;
  const std::vector<void*> at = packed.Place(buffer);
  auto* record = reinterpret_cast<PRINTER_INFO_2*>(buffer);
  *record = PRINTER_INFO_2{};
  record->pDevMode = static_cast<DEVMODE*>(at[0]);
  record->pPrinterName = static_cast<LPSTR>(at[1]);
  record->pPortName = static_cast<LPSTR>(at[2]);
  record->pComment = static_cast<LPSTR>(at[3]);
  record->pDriverName = static_cast<LPSTR>(at[4]);
  record->Attributes = PRINTER_ATTRIBUTE_LOCAL;
  return TRUE;
}

LONG DocumentProperties(HWND owner, HANDLE handle, LPSTR, DEVMODE* out, DEVMODE* in, DWORD mode) {
  OpenedPrinter* printer = Live(handle);
  if (!printer) return -1;
  if (mode == 0) return static_cast<LONG>(sizeof(DEVMODE));
  DEVMODE settings = DefaultDevMode(printer->description);
  if ((mode & DM_IN_BUFFER) && in) {
    if (in->dmFields & DM_ORIENTATION) settings.dmOrientation = in->dmOrientation == DMORIENT_LANDSCAPE ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    if (in->dmFields & DM_COPIES) settings.dmCopies = std::clamp<short>(in->dmCopies, 1, 9999);
    if (in->dmFields & DM_PAPERSIZE)
      for (const PrinterPaper& paper : printer->description.papers)
        if (paper.code == in->dmPaperSize) settings.dmPaperSize = paper.code;
  }
  LONG result = IDOK;
  if (mode & DM_IN_PROMPT) result = RunDocumentPropertiesDialog(owner, printer->description, settings) ? IDOK : IDCANCEL;
  if ((mode & DM_OUT_BUFFER) && out && result == IDOK) *out = settings;
  return result;
}

std::string ProfileDefaultPrinter() {
  char device[80] = {};
  GetProfileString("windows", "device", "", device, sizeof(device));
  std::string text = device;
  return text.substr(0, text.find(','));
}

namespace {

// Printer contexts come from the catalogue; a context made without a device mode takes the
// printer's defaults.
const bool kFactoryInstalled = [] {
  SetPrintDeviceFactory([](const std::string& name, const DEVMODE* init) -> std::unique_ptr<PrintDevice> {
    PrinterDescription printer;
    if (!FindPrinter(name, printer)) return nullptr;
    DEVMODE mode = DefaultDevMode(printer);
    if (init) {
      mode.dmOrientation = init->dmOrientation == DMORIENT_LANDSCAPE ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
      mode.dmCopies = std::max<short>(1, init->dmCopies);
      mode.dmPaperSize = init->dmPaperSize;
    }
    return std::make_unique<PrintJobDevice>(std::move(printer), mode);
  });
  return true;
}();

}  // namespace

namespace {

std::string& PrintFileProposal() {
  static std::string proposal;
  return proposal;
}

}  // namespace

void ProposePrintFile(const std::string& path) { PrintFileProposal() = path; }

std::string TakePrintFileProposal() { return std::exchange(PrintFileProposal(), std::string()); }
