#include "platform/printers/PrinterSettingsDialog.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/controls/Button.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/Edit.h"
#include "platform/controls/Static.h"
#include "platform/printers/PrinterText.h"
#include "platform/rtl/GlobalMemory.h"
#include "platform/user/Dialog.h"

namespace {

class SettingsDialog {
public:
  SettingsDialog(bool choosePrinter, std::vector<PrinterDescription> printers, size_t current, DEVMODE settings)
      : choosePrinter_(choosePrinter), printers_(std::move(printers)), current_(current), settings_(settings) {}

  bool Run(HWND owner) {
    const DialogTemplate t = Template();
    return DialogBoxIndirectParam(nullptr, &t, owner,
                                  [this](HWND dialog, UINT message, WPARAM wParam, LPARAM) {
                                    return Procedure(dialog, message, wParam);
                                  },
                                  0) == IDOK;
  }
  const PrinterDescription& Printer() const { return printers_[current_]; }
  const DEVMODE& Settings() const { return settings_; }

private:
  DialogTemplate Template() const {
    DialogTemplate t;
    t.caption = choosePrinter_ ? PrinterText::Setup : PrinterText::Properties;
    t.style |= DS_CENTER;
    t.cx = 232;
    int y = 6;
    if (choosePrinter_) {
      t.items.push_back({"BUTTON", PrinterText::Printer, -1, WS_VISIBLE | BS_GROUPBOX, 6, y, 220, 64});
      t.items.push_back({"STATIC", PrinterText::Name, -1, WS_VISIBLE, 12, y + 14, 40, 9});
      t.items.push_back({"COMBOBOX", "", kPrinterNameCombo, WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 54, y + 12, 110, 90});
      t.items.push_back({"BUTTON", PrinterText::PropertiesButton, kPrinterPropertiesButton, WS_VISIBLE | WS_TABSTOP, 168, y + 11, 52, 14});
      t.items.push_back({"STATIC", PrinterText::Where, -1, WS_VISIBLE, 12, y + 32, 40, 9});
      t.items.push_back({"STATIC", "", kPrinterWhere, WS_VISIBLE | SS_NOPREFIX, 54, y + 32, 166, 9});
      t.items.push_back({"STATIC", PrinterText::Comment, -1, WS_VISIBLE, 12, y + 46, 40, 9});
      t.items.push_back({"STATIC", "", kPrinterComment, WS_VISIBLE | SS_NOPREFIX, 54, y + 46, 166, 9});
      y += 70;
    }
    t.items.push_back({"BUTTON", PrinterText::Paper, -1, WS_VISIBLE | BS_GROUPBOX, 6, y, 120, 40});
    t.items.push_back({"STATIC", PrinterText::Size, -1, WS_VISIBLE, 12, y + 16, 24, 9});
    t.items.push_back({"COMBOBOX", "", kPaperSizeCombo, WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 38, y + 14, 82, 80});
    t.items.push_back({"BUTTON", PrinterText::Orientation, -1, WS_VISIBLE | BS_GROUPBOX, 132, y, 94, 40});
    t.items.push_back({"BUTTON", PrinterText::Portrait, kPortraitRadio, WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 138, y + 11, 80, 10});
    t.items.push_back({"BUTTON", PrinterText::Landscape, kLandscapeRadio, WS_VISIBLE | BS_AUTORADIOBUTTON, 138, y + 25, 80, 10});
    y += 46;
    if (!choosePrinter_) {
      t.items.push_back({"STATIC", PrinterText::Copies, -1, WS_VISIBLE | WS_GROUP, 12, y + 2, 40, 9});
      t.items.push_back({"EDIT", "", kCopiesEdit, WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_NUMBER, 54, y, 30, 12});
      y += 18;
    }
    t.items.push_back({"BUTTON", PrinterText::Ok, IDOK, WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 120, y, 50, 14});
    t.items.push_back({"BUTTON", PrinterText::Cancel, IDCANCEL, WS_VISIBLE | WS_TABSTOP, 176, y, 50, 14});
    t.cy = y + 20;
    return t;
  }

  INT_PTR Procedure(HWND dialog, UINT message, WPARAM wParam) {
    if (message == WM_INITDIALOG) {
      if (choosePrinter_) {
        for (const PrinterDescription& p : printers_)
          SendDlgItemMessage(dialog, kPrinterNameCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(p.name.c_str()));
        SendDlgItemMessage(dialog, kPrinterNameCombo, CB_SETCURSEL, current_, 0);
      }
      ShowSettings(dialog);
      return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    const int id = LOWORD(wParam);
    if (id == kPrinterNameCombo && HIWORD(wParam) == CBN_SELCHANGE) {
      const LRESULT chosen = SendDlgItemMessage(dialog, kPrinterNameCombo, CB_GETCURSEL, 0, 0);
      if (chosen >= 0 && static_cast<size_t>(chosen) < printers_.size() && static_cast<size_t>(chosen) != current_) {
        current_ = static_cast<size_t>(chosen);
        settings_ = DefaultDevMode(Printer());
        ShowSettings(dialog);
      }
    } else if (id == kPrinterPropertiesButton) {
      TakeSettings(dialog);
      DEVMODE changed = settings_;
      if (RunDocumentPropertiesDialog(dialog, Printer(), changed)) settings_ = changed;
      ShowSettings(dialog);
    } else if (id == IDOK) {
      TakeSettings(dialog);
      EndDialog(dialog, IDOK);
    } else if (id == IDCANCEL) {
      EndDialog(dialog, IDCANCEL);
    }
    return TRUE;
  }

  void ShowSettings(HWND dialog) {
    const PrinterDescription& p = Printer();
    if (choosePrinter_) {
      SetDlgItemText(dialog, kPrinterWhere, p.port.c_str());
      SetDlgItemText(dialog, kPrinterComment, p.comment.c_str());
    }
    SendDlgItemMessage(dialog, kPaperSizeCombo, CB_RESETCONTENT, 0, 0);
    int selected = 0;
    for (size_t i = 0; i < p.papers.size(); ++i) {
      SendDlgItemMessage(dialog, kPaperSizeCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(p.papers[i].label.c_str()));
      if (p.papers[i].code == settings_.dmPaperSize) selected = static_cast<int>(i);
    }
    SendDlgItemMessage(dialog, kPaperSizeCombo, CB_SETCURSEL, selected, 0);
    CheckRadioButton(dialog, kPortraitRadio, kLandscapeRadio,
                     settings_.dmOrientation == DMORIENT_LANDSCAPE ? kLandscapeRadio : kPortraitRadio);
    if (!choosePrinter_) SetDlgItemInt(dialog, kCopiesEdit, static_cast<UINT>(settings_.dmCopies), FALSE);
  }

  void TakeSettings(HWND dialog) {
    const LRESULT paper = SendDlgItemMessage(dialog, kPaperSizeCombo, CB_GETCURSEL, 0, 0);
    if (paper >= 0 && static_cast<size_t>(paper) < Printer().papers.size())
      settings_.dmPaperSize = Printer().papers[static_cast<size_t>(paper)].code;
    settings_.dmOrientation = IsDlgButtonChecked(dialog, kLandscapeRadio) == BST_CHECKED ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    if (!choosePrinter_) {
      BOOL read = FALSE;
      const UINT copies = GetDlgItemInt(dialog, kCopiesEdit, &read, FALSE);
      if (read) settings_.dmCopies = static_cast<short>(std::clamp<UINT>(copies, 1, 9999));
    }
  }

  bool choosePrinter_;
  std::vector<PrinterDescription> printers_;
  size_t current_;
  DEVMODE settings_;
};

HGLOBAL DevModeBlock(const DEVMODE& mode) {
  HGLOBAL block = GlobalAlloc(GHND, sizeof(DEVMODE));
  if (void* p = GlobalLock(block)) {
    std::memcpy(p, &mode, sizeof(mode));
    GlobalUnlock(block);
  }
  return block;
}

HGLOBAL DevNamesBlock(const PrinterDescription& printer, bool isDefault) {
  const std::string driver = printer.pdfFile ? "PDF" : "CUPS";
  const size_t size = sizeof(DEVNAMES) + driver.size() + printer.name.size() + printer.port.size() + 3;
  HGLOBAL block = GlobalAlloc(GHND, size);
  auto* p = static_cast<char*>(GlobalLock(block));
  if (!p) return block;
  DEVNAMES names;
  names.wDriverOffset = sizeof(DEVNAMES);
  names.wDeviceOffset = static_cast<WORD>(names.wDriverOffset + driver.size() + 1);
  names.wOutputOffset = static_cast<WORD>(names.wDeviceOffset + printer.name.size() + 1);
  names.wDefault = isDefault ? 1 : 0;
  std::memcpy(p, &names, sizeof(names));
  std::memcpy(p + names.wDriverOffset, driver.c_str(), driver.size() + 1);
  std::memcpy(p + names.wDeviceOffset, printer.name.c_str(), printer.name.size() + 1);
  std::memcpy(p + names.wOutputOffset, printer.port.c_str(), printer.port.size() + 1);
  GlobalUnlock(block);
  return block;
}

}  // namespace

bool RunDocumentPropertiesDialog(HWND owner, const PrinterDescription& printer, DEVMODE& settings) {
  SettingsDialog dialog(false, {printer}, 0, settings);
  if (!dialog.Run(owner)) return false;
  settings = dialog.Settings();
  return true;
}

bool RunPrintSetupDialog(HWND owner, std::string& printer, DEVMODE& settings) {
  std::vector<PrinterDescription> printers = ListPrinters();
  const std::string wanted = printer.empty() ? DefaultPrinterName() : printer;
  size_t current = 0;
  for (size_t i = 0; i < printers.size(); ++i)
    if (printers[i].name == wanted) current = i;
  DEVMODE start = printers[current].name == printer ? settings : DefaultDevMode(printers[current]);
  SettingsDialog dialog(true, printers, current, start);
  if (!dialog.Run(owner)) return false;
  printer = dialog.Printer().name;
  settings = dialog.Settings();
  return true;
}

bool ReadDevNames(HGLOBAL names, std::string& device, std::string& port) {
  const auto* p = static_cast<const char*>(GlobalLock(names));
  if (!p) return false;
  DEVNAMES header;
  std::memcpy(&header, p, sizeof(header));
  const size_t size = GlobalSize(names);
  const bool sound = header.wDeviceOffset < size && header.wOutputOffset < size;
  if (sound) {
    device.assign(p + header.wDeviceOffset, strnlen(p + header.wDeviceOffset, size - header.wDeviceOffset));
    port.assign(p + header.wOutputOffset, strnlen(p + header.wOutputOffset, size - header.wOutputOffset));
  }
  GlobalUnlock(names);
  return sound;
}

BOOL PrintDlg(PRINTDLG* dialog) {
  if (!dialog || !(dialog->Flags & (PD_PRINTSETUP | PD_RETURNDEFAULT))) return FALSE;
  std::string printer, port;
  DEVMODE settings;
  if (dialog->hDevNames) ReadDevNames(dialog->hDevNames, printer, port);
  if (dialog->hDevMode)
    if (const void* p = GlobalLock(dialog->hDevMode)) {
      if (GlobalSize(dialog->hDevMode) >= sizeof(DEVMODE)) std::memcpy(&settings, p, sizeof(settings));
      GlobalUnlock(dialog->hDevMode);
    }
  if (dialog->Flags & PD_RETURNDEFAULT) {
    printer = DefaultPrinterName();
    PrinterDescription description;
    if (!FindPrinter(printer, description)) return FALSE;
    settings = DefaultDevMode(description);
  } else if (!RunPrintSetupDialog(dialog->hwndOwner, printer, settings)) {
    return FALSE;
  }
  PrinterDescription chosen;
  if (!FindPrinter(printer, chosen)) return FALSE;
  if (dialog->hDevMode) GlobalFree(dialog->hDevMode);
  if (dialog->hDevNames) GlobalFree(dialog->hDevNames);
  dialog->hDevMode = DevModeBlock(settings);
  dialog->hDevNames = DevNamesBlock(chosen, chosen.name == DefaultPrinterName());
  if (dialog->Flags & PD_RETURNDC) dialog->hDC = CreateDC(nullptr, chosen.name.c_str(), nullptr, &settings);
  return TRUE;
}
