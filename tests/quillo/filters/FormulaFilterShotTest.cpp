// The filter factory's open dialog as a person sees it (scripts/screenshot-formula-filter-open.sh):
// a library of filters, its second entry chosen, previewed on the factory's picture with its
// texts beside it.

#include <gtest/gtest.h>

#include <cstdio>

#include "../shell/ProgramFixture.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ScrollBar.h"
#include "quillo/filters/FilterFactory.h"
#include "quillo/filters/FormulaFilterLoadSave.h"
#include "quillo/filters/FormulaFilterOpenDialog.h"
#include "support/FileDialogUser.h"

namespace {

FormulaFilter Entry(const char* title, const char* red, const char* green, const char* blue) {
  FormulaFilter f;
  f.entryName = title;
  f.category = "Colour";
  f.title = title;
  f.author = "Quillo team";
  f.copyright = "Free to use";
  f.formulas[0] = red;
  f.formulas[1] = green;
  f.formulas[2] = blue;
  f.formulas[3] = AnsiString("a");  // a one-letter literal assigned trips GCC 12 -O3 (-Wrestrict)
  f.names[0] = "Strength";
  f.values[0] = 128;
  return f;
}

class FormulaFilterShot : public ProgramTest {
protected:
  ~FormulaFilterShot() override {
    FFFilterTool.Saved.Free();
    FormulaFilterFolder.clear();
  }
};

TEST_F(FormulaFilterShot, TheOpenDialogPreviewsALibrarysEntry) {
  Start();
  // An evening sky over a dark hill with a pale sun: a picture one knows again filtered.
  UDBuffer& picture = FFFilterTool.Saved;
  picture.Alloc(400, 300);
  ASSERT_NE(picture.pixels, nullptr);
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 400; ++x) {
      const bool sun = (x - 260) * (x - 260) + (y - 150) * (y - 150) < 40 * 40;
      const bool hill = y > 210 + (x - 200) * (x - 200) / 600;
      *picture.At(x, y) = hill  ? 0x00302040
                          : sun ? 0x00FFF0A0
                                : static_cast<std::uint32_t>((0xF0 - y / 3) << 16 | (0xC0 - y / 3) << 8 | (0x60 + y / 8));
    }
  const FormulaFilter entries[] = {
      Entry("Invert", "255-r", "255-g", "255-b"),
      Entry("Sepia", "(r*393+g*769+b*189)/1000", "(r*349+g*686+b*168)/1000", "(r*272+g*534+b*131)/1000"),
      Entry("Posterize", "r/64*85", "g/64*85", "b/64*85"),
  };
  std::string library = "FFL1.0\r\n    3\r\n";
  for (const FormulaFilter& f : entries) library += LibraryEntryText(f);
  home.WriteFile("filters/Colour library.ffl", library);
  home.WriteFile("filters/Invert.afs", SingleFilterText(entries[0]));
  FormulaFilterFolder = home.Path() + "/filters/";

  FileDialogUser user(ui);
  std::string title, status;
  int position = 0, last = 0;
  ui.WhenModalWaits([&] {
    user.ClickItem("Colour library.ffl");
    RECT r{};
    GetWindowRect(FFOpenPlus->FilterIndex->GetHandle(), &r);
    ui.Click(r.right - 4, (r.top + r.bottom) / 2);
    title = FFOpenPlus->FilterNameLab->GetCaption();
    status = FFOpenPlus->StatusLab->GetCaption();
    position = FFOpenPlus->FilterIndex->GetPosition();
    last = FFOpenPlus->FilterIndex->GetMax();
    // The pointer off the chooser, so that no hint covers the texts.
    RECT dialog{};
    GetWindowRect(FileDialogUser::Dialog(), &dialog);
    ui.MoveTo(dialog.left + 120, dialog.top + 10);
    // Everything painted before the screen is taken.
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
    RedrawWindow(FileDialogUser::Dialog(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    ui.ShowToViewer(UiDriver::Hold::Live);
    user.ClickControl(IDCANCEL);
  });
  FormulaFilter chosen;
  EXPECT_FALSE(LoadFormulaFilter(chosen));
  EXPECT_EQ(title, "Sepia");
  EXPECT_EQ(status, "");
  EXPECT_EQ(position, 2);
  EXPECT_EQ(last, 3);
}

}  // namespace
