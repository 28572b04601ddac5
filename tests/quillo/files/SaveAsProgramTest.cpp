// File > Save As and File > Save in the started program, as a user works them: the save
// dialog with the type's depths and options in its panel, the overwrite question, and saves
// that fail without losing anything.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <vector>
#include <string>

#include "../../platform/dialogs/FileDialogUser.h"
#include "../shell/ProgramFixture.h"
#include "platform/user/WinConst.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/files/SavePictureDialog.h"

namespace {

// The place of a format in the save dialog's type list, from 1.
int TypePlace(const std::string& name) {
  int place = 0;
  for (GFXFile* f = GFXFile::Formats(); f != nullptr; f = f->next) {
    if (f->depths != 0) ++place;
    if (f->name == name) return place;
  }
  return 0;
}

class SaveAsProgramTest : public ProgramTest {
protected:
  // Chooses File > Save As (or Save) from the menu bar with the mouse; the actions answer the
  // dialogs that follow, in order.
  void ChooseFileItem(const std::string& item, const std::vector<std::function<void()>>& actions) {
    const MenuPlace bar = FindMenuItem({"&File"});
    const MenuPlace entry = FindMenuItem({"&File", item});
    ASSERT_NE(entry.position, -1) << item;
    RECT r{};
    ASSERT_TRUE(GetMenuItemRect(form->GetHandle(), bar.menu, static_cast<UINT>(bar.position), &r));
    ui.WhenModalWaits([this, entry] {
      RECT at{};
      GetMenuItemRect(form->GetHandle(), entry.menu, static_cast<UINT>(entry.position), &at);
      ui.QueueClick((at.left + at.right) / 2, (at.top + at.bottom) / 2);
    });
    for (const auto& action : actions) ui.WhenModalWaits(action);
    ui.Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  void SaveAs(const std::vector<std::function<void()>>& actions) { ChooseFileItem("Save &As...", actions); }
  // Clicks a control of the save dialog's panel where the user sees it.
  void ClickPanelControl(TWinControl* control) {
    const TPoint at = control->ClientToScreen(TPoint(6, control->GetHeight() / 2));
    ui.Click(at.x, at.y);
  }
  FileDialogUser user{ui};
};

// For the screenshot script: the save dialog with the GIF type's options in its panel.
class SavePictureShot : public SaveAsProgramTest {};

TEST_F(SavePictureShot, TheSaveDialogWithTheFormatOptions) {
  const std::string photo = WriteImage("photo.png", 120, 90, 0x3070C0);
  Start({photo});
  bool shown = false;
  SaveAs({[&] {
    user.ChooseType(TypePlace("CompuServe GIF") - 1);
    ClickPanelControl(SavePlus->LimitColsCB);
    shown = IsWindowVisible(SavePlus->B8RB->GetHandle()) != FALSE;
    ui.ShowToViewer();
    user.ClickControl(IDCANCEL);
  }});
  EXPECT_TRUE(shown);
}

}  // namespace
