// The preferences dialog's pages as a user sees them over the started program, shown to a
// viewer by scripts/screenshot-preferences.sh (QUILLO_PREFS_PAGE names the page, 0 to 9).

#include <cstdlib>

#include "ProgramFixture.h"
#include "platform/user/Desktop.h"
#include "platform/vcl/ComCtrlsTabs.h"
#include "platform/vcl/Screen.h"
#include "quillo/shell/PreferencesForm.h"

namespace {

class PreferencesShot : public ProgramTest {
protected:
  ~PreferencesShot() override {
    PreferencesLeft = -1;
    PreferencesPage = 0;
  }
};

TEST_F(PreferencesShot, ThePageOverTheProgram) {
  const char* chosen = std::getenv("QUILLO_PREFS_PAGE");
  const int page = chosen ? std::atoi(chosen) : 8;
  Start();
  bool shown = false;
  ChooseMenuItem("&Options", "Pre&ferences...", {[&] {
                   auto* dialog = dynamic_cast<TPreferences*>(Screen()->ActiveForm());
                   ASSERT_NE(dialog, nullptr);
                   ASSERT_LT(page, dialog->PageControl->PageCount());
                   dialog->PageControl->SetActivePageIndex(page);
                   ui.RunUntilIdle();
                   // Every control of the page lies inside the page.
                   TTabSheet* sheet = dialog->PageControl->GetActivePage();
                   for (int i = 0; i < sheet->ControlCount(); ++i) {
                     const TControl* c = sheet->Controls(i);
                     EXPECT_LE(c->GetLeft() + c->GetWidth(), sheet->GetClientWidth()) << c->GetName();
                     EXPECT_LE(c->GetTop() + c->GetHeight(), sheet->GetClientHeight()) << c->GetName();
                   }
                   shown = true;
                   FlushDesktop();
                   ui.ShowToViewer();
                   ui.QueuePress(VK_ESCAPE);
                 }});
  EXPECT_TRUE(shown);
}

}  // namespace
