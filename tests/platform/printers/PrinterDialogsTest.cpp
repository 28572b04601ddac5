// The spooler's calls and dialogs over the PDF printer, with no scheduler: the listing's size
// query, the printer's page, the properties dialog (paper, orientation, copies) and the print
// set-up dialog, each answered as a user answers it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/controls/ComboBox.h"
#include "platform/gdi/Gdi.h"
#include "platform/printers/PrinterApi.h"
#include "platform/printers/PrinterSettingsDialog.h"
#include "platform/rtl/GlobalMemory.h"
#include "platform/rtl/LastError.h"
#include "platform/user/Dialog.h"
#include "support/TempHome.h"
#include "support/ScopedEnv.h"
#include "support/UiDriver.h"

namespace {

class PrinterDialogsTest : public ::testing::Test {
protected:
  void ClickOn(HWND dialog, int id) {
    const POINT at = UiDriver::At(GetDlgItem(dialog, id), 5, 5);
    ui.QueueClick(at.x, at.y);
  }
  ScopedEnv noLocale{"LC_ALL", nullptr};
  ScopedEnv paper{"LC_PAPER", "C"};
  ScopedEnv noScheduler{"CUPS_SERVER", "/nonexistent/cups.sock"};
  TempHome home;
  UiDriver ui;
};

TEST_F(PrinterDialogsTest, TheListingAsksForItsSizeFirst) {
  DWORD needed = 0, count = 7;
  EXPECT_FALSE(EnumPrinters(PRINTER_ENUM_LOCAL, nullptr, 5, nullptr, 0, &needed, &count));
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(count, 0u);
  std::vector<BYTE> buffer(needed);
  EXPECT_FALSE(EnumPrinters(PRINTER_ENUM_LOCAL, nullptr, 5, buffer.data(), needed - 1, &needed, &count));
  ASSERT_TRUE(EnumPrinters(PRINTER_ENUM_LOCAL, nullptr, 5, buffer.data(), needed, &needed, &count));
  ASSERT_EQ(count, 1u);
  const auto* info = reinterpret_cast<const PRINTER_INFO_5*>(buffer.data());
  EXPECT_STREQ(info->pPrinterName, "PDF file");
  EXPECT_STREQ(info->pPortName, "PDF:");
  EXPECT_FALSE(EnumPrinters(PRINTER_ENUM_LOCAL, nullptr, 3, buffer.data(), needed, &needed, &count));
}

TEST_F(PrinterDialogsTest, ThePdfPrintersPageIsA4At300DpiWithMarginsOf50) {
  HDC dc = CreateDC(nullptr, "PDF file", nullptr, nullptr);
  ASSERT_NE(dc, nullptr);
  const std::pair<int, int> caps[] = {{PHYSICALWIDTH, 2480}, {PHYSICALHEIGHT, 3508}, {PHYSICALOFFSETX, 50},
                                      {PHYSICALOFFSETY, 50},  {HORZRES, 2380},        {VERTRES, 3408},
                                      {LOGPIXELSX, 300},      {LOGPIXELSY, 300}};
  for (const auto& [index, value] : caps) EXPECT_EQ(GetDeviceCaps(dc, index), value) << index;
  EXPECT_TRUE(GetDeviceCaps(dc, RASTERCAPS) & RC_STRETCHDIB);
  DeleteDC(dc);
  EXPECT_EQ(CreateDC(nullptr, "no such printer", nullptr, nullptr), nullptr);
  // Letter, turned: the page of a device mode.
  DEVMODE mode;
  mode.dmPaperSize = DMPAPER_LETTER;
  mode.dmOrientation = DMORIENT_LANDSCAPE;
  dc = CreateDC(nullptr, "PDF file", nullptr, &mode);
  EXPECT_EQ(GetDeviceCaps(dc, PHYSICALWIDTH), 3300);
  EXPECT_EQ(GetDeviceCaps(dc, PHYSICALHEIGHT), 2550);
  DeleteDC(dc);
}

TEST_F(PrinterDialogsTest, ThePropertiesDialogChangesPaperOrientationAndCopies) {
  HANDLE printer = nullptr;
  ASSERT_TRUE(OpenPrinter(const_cast<char*>("PDF file"), &printer, nullptr));
  EXPECT_EQ(DocumentProperties(nullptr, printer, nullptr, nullptr, nullptr, 0), static_cast<LONG>(sizeof(DEVMODE)));
  DEVMODE mode;
  ASSERT_EQ(DocumentProperties(nullptr, printer, nullptr, &mode, nullptr, DM_OUT_BUFFER), IDOK);
  EXPECT_EQ(mode.dmPaperSize, DMPAPER_A4);
  ui.WhenModalWaits([&] {
    HWND dialog = GetActiveWindow();
    SendDlgItemMessage(dialog, kPaperSizeCombo, CB_SETCURSEL, 1, 0);
    SetDlgItemText(dialog, kCopiesEdit, "3");
    ClickOn(dialog, kLandscapeRadio);
    ui.RunUntilIdle();
    ClickOn(dialog, IDOK);
  });
  ASSERT_EQ(DocumentProperties(nullptr, printer, nullptr, &mode, &mode, DM_IN_BUFFER | DM_IN_PROMPT | DM_OUT_BUFFER), IDOK);
  EXPECT_EQ(mode.dmPaperSize, DMPAPER_LETTER);
  EXPECT_EQ(mode.dmOrientation, DMORIENT_LANDSCAPE);
  EXPECT_EQ(mode.dmCopies, 3);
  // Cancel leaves the settings as they were.
  ui.WhenModalWaits([&] { ui.QueuePress(VK_ESCAPE); });
  DEVMODE kept = mode;
  EXPECT_EQ(DocumentProperties(nullptr, printer, nullptr, &kept, &mode, DM_IN_BUFFER | DM_IN_PROMPT | DM_OUT_BUFFER), IDCANCEL);
  EXPECT_EQ(std::memcmp(&kept, &mode, sizeof(mode)), 0);
  ClosePrinter(printer);
  EXPECT_FALSE(ClosePrinter(printer));
}

TEST_F(PrinterDialogsTest, ThePrintSetupDialogAnswersThePrinterAndItsSettings) {
  PRINTDLG setup;
  setup.Flags = PD_PRINTSETUP;
  ui.WhenModalWaits([&] {
    HWND dialog = GetActiveWindow();
    char where[64] = {};
    GetDlgItemText(dialog, kPrinterWhere, where, sizeof(where));
    EXPECT_STREQ(where, "PDF:");
    ClickOn(dialog, kLandscapeRadio);
    ui.RunUntilIdle();
    ClickOn(dialog, IDOK);
  });
  ASSERT_TRUE(PrintDlg(&setup));
  std::string device, port;
  ASSERT_TRUE(ReadDevNames(setup.hDevNames, device, port));
  EXPECT_EQ(device, "PDF file");
  EXPECT_EQ(port, "PDF:");
  const auto* mode = static_cast<const DEVMODE*>(GlobalLock(setup.hDevMode));
  ASSERT_NE(mode, nullptr);
  EXPECT_EQ(mode->dmOrientation, DMORIENT_LANDSCAPE);
  GlobalUnlock(setup.hDevMode);
  GlobalFree(setup.hDevMode);
  GlobalFree(setup.hDevNames);
}

}  // namespace
