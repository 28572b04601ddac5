#pragma once
// The framework's printer (Printers unit): the list of printers, the one chosen with its page
// settings, an information context on it (Handle), and the print set-up dialog that chooses
// it (TPrinterSetupDialog).

#include <memory>
#include <string>

#include "platform/gdi/PrintDevice.h"
#include "platform/vcl/CommonDialog.h"
#include "platform/vcl/Strings.h"

class TPrinter : public TObject {
public:
  TPrinter();
  ~TPrinter() override;

  // The printers' names, listed on first use and by Refresh.
  TStrings* Printers();
  void Refresh();
  // The chosen printer: the default one until chosen; -1 with no printers.
  int GetPrinterIndex();
  void SetPrinterIndex(int index);
  // A context on the chosen printer with its page settings (remade when they change); null
  // without a printer.
  HDC Handle();
  const DEVMODE& PageSettings() const { return settings_; }
  // The chosen printer by name, with its settings; false when no printer has that name.
  bool SetPrinter(const std::string& device, const DEVMODE& settings);
  std::string DeviceName();

private:
  void ReleaseHandle();

  std::unique_ptr<TStringList> printers_;
  bool listed_ = false;
  int index_ = -1;
  DEVMODE settings_;
  HDC handle_ = nullptr;
};

// The framework's one printer object.
TPrinter* Printer();

class TPrinterSetupDialog : public TCommonDialog {
  QUILLO_DECLARE_CLASS()

public:
  explicit TPrinterSetupDialog(TComponent* owner);
  bool Execute() override;
};
