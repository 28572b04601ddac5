// The program as a user first sees it with two images on its command line, one of them
// zoomed in: the main window's bar with its menus and toolbars, the tool palette, and the two
// document windows. Checked where a user would look, and shown to a viewer by
// scripts/screenshot-program.sh (QUILLO_SHOT saves the desktop, QUILLO_DEMO_HOLD_MS keeps it).

#include "ProgramFixture.h"

namespace {

class ProgramShot : public ProgramTest {};

TEST_F(ProgramShot, TwoDocumentsOneZoomed) {
  const std::string sunset = WriteImage("sunset.png", 160, 120, 0xE08030);
  const std::string sea = WriteImage("sea.jpg", 200, 140, 0x3070C0);
  Start({sunset, sea});

  const RECT bar = [&] {
    RECT r{};
    GetWindowRect(form->GetHandle(), &r);
    return r;
  }();
  EXPECT_EQ(bar.top, 0);
  ui.ShowToViewer(UiDriver::Hold::Live);
}

}  // namespace

