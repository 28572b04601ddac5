// The print dialog with a picture on its page, the print set-up dialog and the scanner's
// options window, opened from the File menu as a user opens them; shown to a viewer by
// scripts/screenshot-print.sh, screenshot-print-setup.sh and screenshot-scan.sh.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "../shell/ProgramFixture.h"
#include "platform/user/Desktop.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Screen.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/output/PrintForm.h"
#include "support/SaneTestScanner.h"
#include "support/ScopedEnv.h"

namespace {

class PrintShot : public ProgramTest {
protected:
  PrintShot() { ResetPrintLayout(); }
  ~PrintShot() override { ResetPrintLayout(); }
  ScopedEnv noLocale_{"LC_ALL", nullptr};
  ScopedEnv paper_{"LC_PAPER", "C"};
  ScopedEnv noScheduler_{"CUPS_SERVER", "/nonexistent/cups.sock"};
  SaneTestScanner sane_{"number_of_devices 1\nmode Color\nresolution 150.0\n"};
  void Show() {
    FlushDesktop();
    ui.ShowToViewer();
  }
};

TEST_F(PrintShot, ThePrintDialog) {
  Start({WriteImage("harbour.png", 320, 200, 0x3377AA)});
  CurrentPicture->Resolution = 100;
  ChooseMenuItem("&File", "&Print...", {[this] {
                   auto* dialog = dynamic_cast<TPrintForm*>(Screen()->ActiveForm());
                   ASSERT_NE(dialog, nullptr);
                   dialog->TitleEdit->SetText("The harbour in May");
                   ui.RunUntilIdle();
                   Show();
                   ui.QueuePress(VK_ESCAPE);
                 }});
  EXPECT_EQ(dynamic_cast<TPrintForm*>(Screen()->ActiveForm()), nullptr);
}

TEST_F(PrintShot, ThePrinterSetupDialog) {
  Start();
  ChooseMenuItem("&File", "P&rinter Setup...", {[this] {
                   Show();
                   ui.QueuePress(VK_ESCAPE);
                 }});
}

TEST_F(PrintShot, TheScannersOptions) {
  Start();
  ChooseMenuItem("&File", "&Acquire...", {[this] {
                   Show();
                   ui.QueuePress(VK_ESCAPE);
                 }});
}

}  // namespace
