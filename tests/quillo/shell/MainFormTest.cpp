// The main window as a user meets it: a bar at the top of the work area with the whole menu,
// the standard toolbar and the floating tool palette; commands that work are enabled and the
// others greyed; the window snaps to the work area's edges and keeps its height when
// maximised; the tools' cursors are there.

#include "ProgramFixture.h"

#include <filesystem>
#include <set>
#include <vector>

#include "platform/host/KeyCodes.h"
#include "platform/vcl/Application.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/base/Settings.h"
#include "quillo/base/Skins.h"
#include "quillo/shell/StartUp.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/UpDown.h"
#include "quillo/components/toolbars/Dock.h"
#include "quillo/components/toolbars/Toolbar.h"
#include "quillo/components/toolbars/ToolbarButton.h"

namespace {

class MainFormTest : public ProgramTest {
protected:
  RECT WindowRect() const {
    RECT r{};
    GetWindowRect(form->GetHandle(), &r);
    return r;
  }
  // Drags the main window by its caption so that its top-left corner would land at (x, y).
  void DragMainWindowTo(int x, int y) {
    RECT r = WindowRect();
    const POINT grip{(r.left + r.right) / 2, r.top + GetSystemMetrics(SM_CYCAPTION) / 2 + 2};
    ui.Drag(grip, POINT{grip.x + x - r.left, grip.y + y - r.top});
    ui.Advance(1000);  // the next press is not a double click on the caption
  }
};

TEST_F(MainFormTest, EveryItemOfTheMenuHasItsText) {
  Start();
  // Walks the whole tree: each item shows a caption (separators aside).
  std::vector<HMENU> pending{GetMenu(form->GetHandle())};
  int items = 0;
  while (!pending.empty()) {
    HMENU menu = pending.back();
    pending.pop_back();
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
      if (state & MF_SEPARATOR) continue;
      char text[256] = {};
      GetMenuString(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
      EXPECT_STRNE(text, "") << "item " << i << " of a menu";
      ++items;
      if (HMENU sub = GetSubMenu(menu, i)) pending.push_back(sub);
    }
  }
  EXPECT_GT(items, 80);
  std::vector<std::string> bar;
  HMENU menu = GetMenu(form->GetHandle());
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[64] = {};
    GetMenuString(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    bar.push_back(text);
  }
  EXPECT_EQ(bar, (std::vector<std::string>{"&File", "&Edit", "&Options", "&Image", "&Brush", "&Desktop", "&Window",
                                           "&Help"}));
}

TEST_F(MainFormTest, CommandsThatWorkAreEnabledAndTheOthersGreyed) {
  Start();
  struct Case {
    std::vector<std::string> path;
    bool enabled;
  };
  const Case cases[] = {
      {{"&File", "E&xit"}, true},
      {{"&File", "&Close"}, true},
      {{"&File", "C&lose All"}, true},
      {{"&File", "&Save"}, true},
      {{"&File", "Save &As..."}, true},
      {{"&File", "&New..."}, true},
      {{"&File", "&Open..."}, true},
      {{"&File", "Ba&tch Conversion..."}, true},
      {{"&File", "&Print..."}, true},
      {{"&File", "&Acquire..."}, true},
      {{"&Edit", "&Undo"}, false},
      {{"&Edit", "&Paste"}, true},
      {{"&Options", "&Tool Palette"}, true},
      {{"&Options", "&Standard Toolbar"}, true},
      {{"&Options", "&Rulers"}, true},
      {{"&Options", "&Palette"}, true},
      {{"&Options", "&Paint"}, true},
      {{"&Options", "Pre&ferences..."}, true},
      {{"&Image", "&Fit Window to Image"}, true},
      {{"&Image", "Image &Information..."}, true},
      {{"&Image", "Full Screen &Preview"}, true},
      {{"&Brush", "&Halve", "&Both"}, true},
      {{"&Brush", "Ha&ndle", "&Center"}, true},
      {{"&Desktop", "&Capture..."}, true},
      {{"&Window", "&Cascade"}, true},
      {{"&Window", "&Next Image"}, true},
      {{"&Help", "&Contents"}, true},
      {{"&Help", "&Tip of the Day..."}, true},
      {{"&Help", "&Home Page"}, true},
      {{"&Help", "&About..."}, true},
  };
  for (const Case& c : cases) {
    const MenuPlace place = FindMenuItem(c.path);
    ASSERT_NE(place.position, -1) << c.path.back();
    const UINT state = GetMenuState(place.menu, static_cast<UINT>(place.position), MF_BYPOSITION);
    EXPECT_EQ((state & MF_GRAYED) == 0, c.enabled) << c.path.front() << " / " << c.path.back();
  }
  // The toolbars' check marks tell that both show.
  for (const char* item : {"&Tool Palette", "&Standard Toolbar"}) {
    const MenuPlace place = FindMenuItem({"&Options", item});
    EXPECT_TRUE(GetMenuState(place.menu, static_cast<UINT>(place.position), MF_BYPOSITION) & MF_CHECKED) << item;
  }
}

// Each button of the standard toolbar is enabled exactly when the command it stands for is.
TEST_F(MainFormTest, TheStandardToolbarsButtonsFollowTheirCommands) {
  Start();
  const std::pair<const char*, std::vector<std::string>> buttons[] = {
      {"NewBtn", {"&File", "&New..."}},          {"OpenBtn", {"&File", "&Open..."}},
      {"SaveBtn", {"&File", "&Save"}},           {"CloseAllBtn", {"&File", "C&lose All"}},
      {"PrintBtn", {"&File", "&Print..."}},      {"AcquireBtn", {"&File", "&Acquire..."}},
      {"CutBtn", {"&Edit", "Cu&t"}},             {"CopyBtn", {"&Edit", "&Copy"}},
      {"DeleteBtn", {"&Edit", "&Delete"}},       {"UndoBtn", {"&Edit", "&Undo"}},
      {"PrefsBtn", {"&Options", "Pre&ferences..."}},
  };
  for (const auto& [name, path] : buttons) {
    auto* button = dynamic_cast<tbx::TToolbarButtonX*>(form->FindComponent(name));
    ASSERT_NE(button, nullptr) << name;
    const MenuPlace place = FindMenuItem(path);
    ASSERT_NE(place.position, -1) << path.back();
    const bool itemEnabled = (GetMenuState(place.menu, static_cast<UINT>(place.position), MF_BYPOSITION) & MF_GRAYED) == 0;
    EXPECT_EQ(button->GetEnabled(), itemEnabled) << name;
  }
}

// Close All on the toolbar closes every document, as the menu's item does.
TEST_F(MainFormTest, TheCloseAllButtonClosesTheDocuments) {
  Start();
  auto* button = dynamic_cast<tbx::TToolbarButtonX*>(form->FindComponent("CloseAllBtn"));
  ASSERT_NE(button, nullptr);
  TImageForm* first = ImageForm;
  ASSERT_NE(first, nullptr);
  first->Picture.BlankStart = 0;  // a document of the user's, not the blank one of the start
  const TPoint centre = button->ClientToScreen(TPoint(button->GetWidth() / 2, button->GetHeight() / 2));
  ui.Click(centre.x, centre.y);
  ui.RunUntilIdle();
  for (int i = 0; i < ImgFormCount; ++i) EXPECT_NE(ImgForms[static_cast<std::size_t>(i)], first);
}

TEST_F(MainFormTest, TheWindowIsABarAtTheTopOfTheWorkArea) {
  Start();
  RECT work{};
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  const RECT r = WindowRect();
  EXPECT_EQ(r.left, work.left);
  EXPECT_EQ(r.top, work.top);
  // No client area but the standard toolbar's dock; the whole menu on one line.
  EXPECT_EQ(form->GetClientHeight(), form->FuncDock->GetHeight());
  EXPECT_GT(form->FuncDock->GetHeight(), 0);
  EXPECT_GT(MenuBarHeight, 0);
  HMENU menu = GetMenu(form->GetHandle());
  RECT first{}, last{};
  GetMenuItemRect(form->GetHandle(), menu, 0, &first);
  GetMenuItemRect(form->GetHandle(), menu, static_cast<UINT>(GetMenuItemCount(menu) - 1), &last);
  EXPECT_EQ(first.top, last.top);
  EXPECT_LT(last.right, r.right);
  EXPECT_LE(form->GetTag(), r.right - r.left) << "the width the menu needs is the window's minimum";
  // The tool palette shows, gathered into the document window's docks (the first run's
  // setting); without that setting it floats below the bar.
  EXPECT_TRUE(form->Toolbar->GetVisible());
  ASSERT_NE(form->Toolbar->GetDockedTo(), nullptr);
  EXPECT_EQ(form->Toolbar->GetDockedTo()->Owner(), ImageForm);
  EXPECT_EQ(form->Zoom->GetMin(), -8);
  EXPECT_EQ(form->Zoom->GetMax(), 32);
  EXPECT_EQ(form->Zoom->GetPosition(), 1);
}

TEST_F(MainFormTest, TheMainWindowSnapsToTheWorkAreasEdgesAndADocumentsTop) {
  Start();
  RECT work{};
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  const RECT start = WindowRect();
  const int w = start.right - start.left, h = start.bottom - start.top;
  // The start document out of the way, low on the right.
  ASSERT_EQ(ImgFormCount, 1);
  const int documentTop = 500;
  SetWindowPos(ImgForms[0]->GetHandle(), nullptr, 900, documentTop, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
  ui.RunUntilIdle();
  struct Case {
    int x, y;            // where the drag would put the top-left corner
    int wantX, wantY;    // where it lands
  };
  const Case cases[] = {
      {work.left + 200, work.top + 200, work.left + 200, work.top + 200},  // far from every edge
      {work.left + 3, work.top + 150, work.left, work.top + 150},          // left edge
      {work.right - w - 2, work.top + 150, work.right - w, work.top + 150},  // right edge
      {work.left + 300, work.top + 2, work.left + 300, work.top},            // top edge
      {work.left + 300, work.bottom - h - 3, work.left + 300, work.bottom - h},  // bottom edge
      {work.left + 300, work.bottom - h - 10, work.left + 300, work.bottom - h - 10},  // not close enough
      {work.left + 300, documentTop - h + 3, work.left + 300, documentTop - h},  // onto the document's top
  };
  for (const Case& c : cases) {
    DragMainWindowTo(c.x, c.y);
    const RECT r = WindowRect();
    EXPECT_EQ(r.left, c.wantX) << "dragged to " << c.x << "," << c.y;
    EXPECT_EQ(r.top, c.wantY) << "dragged to " << c.x << "," << c.y;
    EXPECT_EQ(r.right - r.left, w);
  }
}

TEST_F(MainFormTest, TheToolPaletteFloatsBelowTheBarWhenToolbarsAreNotGathered) {
  Settings.AlwaysDock = false;
  Start();
  EXPECT_TRUE(form->Toolbar->Floating());
  EXPECT_GE(form->Toolbar->ScreenRect().top, WindowRect().bottom - 1);
}

TEST_F(MainFormTest, TheToolPaletteSnapsToTheMainWindowAndTheWorkArea) {
  Settings.AlwaysDock = false;
  Start();
  // The start document out of the way, low on the right.
  SetWindowPos(ImgForms[0]->GetHandle(), nullptr, 900, 500, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
  ui.RunUntilIdle();
  RECT work{};
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  const RECT main = WindowRect();
  auto palette = [&] { return form->Toolbar->ScreenRect(); };
  // Drags the palette by its caption so that its top-left corner would land at (x, y).
  auto dragTo = [&](int x, int y) {
    const TRect r = palette();
    const POINT grip{r.left + 8, r.top + form->Toolbar->FloatingBorderY() + 3};
    ui.Drag(grip, POINT{grip.x + x - r.left, grip.y + y - r.top});
    ui.Advance(1000);
  };
  struct Case {
    int x, y;
    int wantX, wantY;
  };
  const Case cases[] = {
      {300, 300, 300, 300},                           // far from every edge
      {300, main.bottom + 4, 300, main.bottom - 1},   // onto the main window's lower edge
      {work.left + 5, 300, work.left, 300},           // the work area's left edge
      {300, main.bottom + 20, 300, main.bottom + 20},  // too far below the main window
  };
  for (const Case& c : cases) {
    dragTo(c.x, c.y);
    EXPECT_EQ(palette().left, c.wantX) << "dragged to " << c.x << "," << c.y;
    EXPECT_EQ(palette().top, c.wantY) << "dragged to " << c.x << "," << c.y;
  }
}

TEST_F(MainFormTest, MaximisingStretchesTheBarAndKeepsItsHeight) {
  Start();
  RECT work{};
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  const int height = WindowRect().bottom - WindowRect().top;
  ShowWindow(form->GetHandle(), SW_MAXIMIZE);
  ui.RunUntilIdle();
  const RECT r = WindowRect();
  EXPECT_EQ(r.left, work.left - 4);
  EXPECT_EQ(r.top, work.top - 3);
  EXPECT_EQ(r.right - r.left, work.right - work.left + 10);
  EXPECT_EQ(r.bottom - r.top, height);
  // Its caption does not drag it, but its menu bar still opens its menus.
  ChooseMenuItem("&Options", "&Tool Palette");
  EXPECT_FALSE(form->Toolbar->GetVisible());
}

// The menu loop repaints the bar as it moves along it; the caption, which the window paints
// itself, stays as it was, while a menu is open and after it closes.
TEST_F(MainFormTest, OpeningAMenuLeavesTheCaptionAsItWas) {
  Start();
  ui.RunUntilIdle();
  const RECT w = WindowRect();
  const int y = w.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
  auto captionRow = [&] {
    std::vector<std::uint32_t> row;
    for (int x = w.left + 4; x < w.right - 4; ++x) row.push_back(ui.Pixel(x, y));
    return row;
  };
  const std::vector<std::uint32_t> before = captionRow();
  std::vector<std::uint32_t> whileOpen;
  const MenuPlace file = FindMenuItem({"&File"});
  RECT r{};
  ASSERT_TRUE(GetMenuItemRect(form->GetHandle(), file.menu, static_cast<UINT>(file.position), &r));
  ui.WhenModalWaits([&] {
    whileOpen = captionRow();
    ui.QueuePress(VK_ESCAPE);
    ui.QueuePress(VK_ESCAPE);
  });
  ui.Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  ui.RunUntilIdle();
  EXPECT_EQ(whileOpen, before);
  EXPECT_EQ(captionRow(), before);
}

TEST_F(MainFormTest, TheToolPaletteShowsAndHidesFromTheOptionsMenu) {
  Start();
  ChooseMenuItem("&Options", "&Tool Palette");
  EXPECT_FALSE(form->Toolbar->GetVisible());
  const MenuPlace place = FindMenuItem({"&Options", "&Tool Palette"});
  EXPECT_FALSE(GetMenuState(place.menu, static_cast<UINT>(place.position), MF_BYPOSITION) & MF_CHECKED);
  ChooseMenuItem("&Options", "&Tool Palette");
  EXPECT_TRUE(form->Toolbar->GetVisible());
}

// Start-up used to end the program when no skin could be loaded: a program folder without
// any skin must start all the same (the program folder here is the built one without its
// "Skins" folder).
// Without any skin file the program says so and shows the icons built into it.
TEST_F(MainFormTest, StartsWithoutAnySkinFileOnTheBuiltInIcons) {
  const std::filesystem::path folder = home.Path() + "/program";
  std::filesystem::create_directories(folder);
  for (const auto& entry : std::filesystem::directory_iterator(QUILLO_BIN_DIR))
    if (entry.path().filename() != "Skins") std::filesystem::create_symlink(entry.path(), folder / entry.path().filename());
  SetProgramFolder(folder.string() + "/");
  Start();
  EXPECT_TRUE(IsWindowVisible(form->GetHandle()));
  EXPECT_FALSE(Application()->Terminated());
  ASSERT_TRUE(Skins);
  EXPECT_TRUE(Skins->Loaded());
  EXPECT_EQ(Skins->Names()->Count(), 0);
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  EXPECT_NE(ui.MessageBoxTexts()[0].find(folder.string() + "/Skins/Standard Shaded.skn"), std::string::npos)
      << ui.MessageBoxTexts()[0];
}

TEST_F(MainFormTest, TheToolsCursorsAreRegistered) {
  Start();
  std::set<HCURSOR> cursors;
  for (TCursor index = -59; index <= -44; ++index) {
    HCURSOR cursor = Screen()->Cursors(index);
    EXPECT_NE(cursor, nullptr) << index;
    EXPECT_NE(cursor, Screen()->Cursors(crDefault)) << index;
    cursors.insert(cursor);
  }
  EXPECT_EQ(cursors.size(), 16u) << "each tool's cursor is its own";
}

}  // namespace

