// The tool palette as a user sees it with the program's own skin: the pens' button held until
// the icon panel opens beside it with the three pens. Checked where a user would look, and
// shown to a viewer by scripts/screenshot-palette.sh.

#include <filesystem>

#include "PaletteUser.h"
#include "ProgramFixture.h"
#include "platform/user/Desktop.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/base/Skins.h"
#include "quillo/shell/ToolPalette.h"
#include "quillo/shell/IconPanel.h"
#include "quillo/tools/ToolObjects.h"

namespace {

class PaletteShot : public ProgramTest {
protected:
  ~PaletteShot() override { Skins.reset(); }
};

TEST_F(PaletteShot, ThePensPanelOpenBesideItsButton) {
  if (!std::filesystem::exists(std::string(QUILLO_BIN_DIR) + "/Skins/Standard Shaded.skn"))
    GTEST_SKIP() << "the default skin is not built";
  Start();
  const int pens = PaletteGroupOf(&PenContTool);
  ASSERT_GE(pens, 0);
  tbx::TToolbarButtonX* button = PaletteGroups[static_cast<std::size_t>(pens)].Button;
  HoldOnCentre(ui, button);
  ASSERT_TRUE(IconPanelOpen);
  // The panel stands right of the button, its three pens showing the skin's glyphs.
  RECT panel{};
  GetWindowRect(IconPanel->GetHandle(), &panel);
  const TPoint corner = button->ClientToScreen(TPoint(0, 0));
  EXPECT_EQ(panel.left, corner.x + 20);
  EXPECT_EQ(panel.top, corner.y);
  const TColor face = static_cast<TColor>(GetSysColor(COLOR_BTNFACE));
  for (int i = 0; i < 3; ++i) {
    TBitmap* glyph = IconPanelButtons[i]->GetGlyph();
    ASSERT_EQ(glyph->GetWidth(), 20);
    int drawn = 0;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x) drawn += glyph->GetCanvas()->GetPixel(x, y) != face;
    EXPECT_GT(drawn, 20) << "pen " << i << " shows no glyph";
  }
  FlushDesktop();
  ui.ShowToViewer();
  ui.Press(VK_ESCAPE);
  EXPECT_FALSE(IconPanelOpen);
}

}  // namespace
