// Toolbar buttons with real drop-down menus through the UI driver: where the menu opens
// (below the button, beside it on a left or right dock), the button drawn pushed while the
// menu is open, items chosen by mouse and by keys, Escape, and the combo arrow segment.

#include "ToolbarFixture.h"

#include "platform/vcl/Menus.h"
#include "platform/vcl/TypInfo.h"

namespace tbx::testing {
namespace {

using Log = std::vector<std::string>;

class ToolbarDropdownTest : public ToolbarUiTest {
protected:
  void SetUp() override {
    form = NewComponent<TForm>(Application());
    form->SetBounds(100, 100, 400, 300);
    form->Show();
    menu = NewComponent<TPopupMenu>(form);
    for (const char* caption : {"&One", "&Two", "T&hree"}) {
      auto* item = NewComponent<TMenuItem>(menu);
      item->SetCaption(caption);
      item->OnClick = [this, item](TObject*) { log.push_back(StripHotkey(item->GetCaption())); };
      menu->GetItems()->Add(item);
    }
    ui.RunUntilIdle();
  }
  TToolbarButtonX* AddButton(TWinControl* parent, int left) {
    auto* b = NewComponent<TToolbarButtonX>(form);
    b->SetBounds(left, 20, 23, 22);
    auto glyph = MakeGlyph({clRed});
    b->SetGlyph(glyph.get());
    b->SetParent(parent);
    b->OnClick = [this](TObject*) { log.push_back("click"); };
    ui.RunUntilIdle();
    return b;
  }
  std::uint32_t PixelOf(TControl* c, int x, int y) {
    POINT p = At(c, x, y);
    return ui.Pixel(p.x, p.y);
  }
  static HWND OpenMenuWindow() { return FindWindowEx(nullptr, nullptr, "#32768", nullptr); }
  static RECT OpenMenuRect() {
    RECT r{};
    if (HWND w = OpenMenuWindow()) GetWindowRect(w, &r);
    return r;
  }
  RECT ItemRect(int index) {
    RECT r{};
    GetMenuItemRect(nullptr, menu->GetHandle(), static_cast<UINT>(index), &r);
    return r;
  }
  // Presses the button at (x, y) and, once the menu waits, runs whileOpen.
  void PressAndWhileOpen(TControl* b, int x, int y, std::function<void()> whileOpen) {
    POINT p = At(b, x, y);
    ui.QueueClick(p.x, p.y);
    ui.WhenModalWaits(std::move(whileOpen));
    ui.RunUntilIdle();
  }

  TForm* form = nullptr;
  TPopupMenu* menu = nullptr;
  Log log;
};

TEST_F(ToolbarDropdownTest, MenuOpensBelowTheButtonWhichStaysPressedUntilAnItemIsClicked) {
  auto* b = AddButton(form, 20);
  b->SetDropdownMenu(menu);
  // The menu's own settings come back after the button used it.
  menu->SetAlignment(paCenter);
  menu->SetTrackButton(tbRightButton);
  RECT opened{};
  std::uint32_t border = 0, glyph = 0;
  TPopupAlignment alignmentWhileOpen = paCenter;
  TTrackButton trackWhileOpen = tbRightButton;
  PressAndWhileOpen(b, 11, 11, [&] {
    opened = OpenMenuRect();
    border = PixelOf(b, 0, 0);
    glyph = PixelOf(b, 6, 6);
    alignmentWhileOpen = menu->GetAlignment();
    trackWhileOpen = menu->GetTrackButton();
    RECT two = ItemRect(1);
    ui.QueueClick((two.left + two.right) / 2, (two.top + two.bottom) / 2);
  });
  POINT below = At(b, 0, 22);
  EXPECT_EQ(opened.left, below.x);
  EXPECT_EQ(opened.top, below.y);
  EXPECT_EQ(border, Rgb(clBtnShadow));  // sunken while the menu is open
  EXPECT_EQ(glyph, 0xFF0000u);          // the glyph moved by one with it
  EXPECT_EQ(alignmentWhileOpen, paLeft);
  EXPECT_EQ(trackWhileOpen, tbLeftButton);
  EXPECT_EQ(log, (Log{"click", "Two"}));
  EXPECT_EQ(menu->GetPopupComponent(), b);
  EXPECT_EQ(menu->GetAlignment(), paCenter);
  EXPECT_EQ(menu->GetTrackButton(), tbRightButton);
  EXPECT_EQ(OpenMenuWindow(), nullptr);
  EXPECT_NE(b->State(), bsDown);
  EXPECT_NE(PixelOf(b, 0, 0), Rgb(clBtnShadow));
}

TEST_F(ToolbarDropdownTest, ItemsAreChosenByKeys) {
  auto* b = AddButton(form, 20);
  b->SetDropdownMenu(menu);
  struct Case {
    std::vector<int> keys;
    Log chosen;
  };
  const Case cases[] = {
      {{VK_DOWN, VK_DOWN, VK_RETURN}, {"Two"}},
      {{VK_DOWN, VK_UP, VK_RETURN}, {"Three"}},  // up from the first wraps to the last
      {{'H'}, {"Three"}},                         // the item's accelerator
  };
  for (const Case& c : cases) {
    log.clear();
    PressAndWhileOpen(b, 11, 11, [&] {
      for (int key : c.keys) ui.QueuePress(key);
    });
    Log expected{"click"};
    expected.insert(expected.end(), c.chosen.begin(), c.chosen.end());
    EXPECT_EQ(log, expected) << "keys " << c.keys.size();
    EXPECT_EQ(OpenMenuWindow(), nullptr);
  }
}

TEST_F(ToolbarDropdownTest, EscapeClosesTheMenuAndTheButtonComesUpWithNothingChosen) {
  auto* b = AddButton(form, 20);
  b->SetDropdownMenu(menu);
  bool openWhileWaiting = false;
  TButtonStateX stateWhileOpen = bsUp;
  PressAndWhileOpen(b, 11, 11, [&] {
    openWhileWaiting = OpenMenuWindow() != nullptr;
    stateWhileOpen = b->State();
    // Only the left button chooses from a button's menu: a right click on an item does not.
    RECT one = ItemRect(0);
    ui.QueueClick((one.left + one.right) / 2, (one.top + one.bottom) / 2, InputEvent::Right);
    ui.QueuePress(VK_ESCAPE);
  });
  EXPECT_TRUE(openWhileWaiting);
  EXPECT_EQ(stateWhileOpen, bsDown);
  EXPECT_EQ(log, (Log{"click"}));  // nothing chosen
  EXPECT_EQ(OpenMenuWindow(), nullptr);
  POINT away = At(form, 300, 200);
  ui.MoveTo(away.x, away.y);
  EXPECT_EQ(b->State(), bsUp);
  EXPECT_EQ(PixelOf(b, 0, 0), Rgb(clBtnFace));  // flat and up again
  EXPECT_EQ(PixelOf(b, 5, 5), 0xFF0000u);
}

TEST_F(ToolbarDropdownTest, OnADockTheMenuOpensBelowOrBesideTheButton) {
  struct Case {
    TDockPosition position;
    const char* where;
  };
  for (const Case& c : {Case{dpTop, "below"}, Case{dpLeft, "right of"}, Case{dpRight, "left of"}}) {
    auto* dock = NewComponent<TDockX>(form);
    dock->SetName("Dock");
    dock->SetPosition(c.position);
    dock->SetParent(form);
    TToolbarX* bar = AddToolbar(form, "Bar", "Bar", 1);
    bar->SetDockedTo(dock);
    ui.RunUntilIdle();
    auto* b = static_cast<TToolbarButtonX*>(bar->Controls(0));
    b->SetDropdownMenu(menu);
    RECT opened{};
    PressAndWhileOpen(b, 5, 5, [&] {
      opened = OpenMenuRect();
      ui.QueuePress(VK_ESCAPE);
    });
    TPoint origin = b->ClientToScreen(TPoint(0, 0));
    switch (c.position) {
      case dpLeft:
        EXPECT_EQ(opened.left, origin.x + b->GetWidth()) << c.where;
        EXPECT_EQ(opened.top, origin.y) << c.where;
        break;
      case dpRight:
        EXPECT_EQ(opened.right, origin.x) << c.where;
        EXPECT_EQ(opened.top, origin.y) << c.where;
        break;
      default:
        EXPECT_EQ(opened.left, origin.x) << c.where;
        EXPECT_EQ(opened.top, origin.y + b->GetHeight()) << c.where;
    }
    EXPECT_EQ(menu->GetAlignment(), paLeft) << c.where;
    FreeObject(bar);
    FreeObject(dock);
    ui.RunUntilIdle();
  }
}

TEST_F(ToolbarDropdownTest, ComboButtonOpensItsMenuFromTheArrowSegmentOnly) {
  auto* b = AddButton(form, 20);
  b->SetDropdownMenu(menu);
  b->SetDropdownCombo(true);
  ui.RunUntilIdle();
  const int arrowLeft = b->GetWidth() - 9 - 2;
  // The arrow: a small triangle in the font colour, centred in its segment.
  const int cx = arrowLeft + 9 / 2, y = 22 / 2 - 1;
  POINT away = At(form, 300, 200);
  ui.MoveTo(away.x, away.y);
  EXPECT_EQ(PixelOf(b, cx - 2, y), Rgb(clWindowText));
  EXPECT_EQ(PixelOf(b, cx, y + 2), Rgb(clWindowText));
  EXPECT_EQ(PixelOf(b, cx - 2, y + 2), Rgb(clBtnFace));
  std::uint32_t arrowEdge = 0, mainEdge = 0;
  PressAndWhileOpen(b, arrowLeft + 4, 11, [&] {
    arrowEdge = PixelOf(b, arrowLeft, 0);
    mainEdge = PixelOf(b, 0, 0);
    RECT one = ItemRect(0);
    ui.QueueClick((one.left + one.right) / 2, (one.top + one.bottom) / 2);
  });
  EXPECT_EQ(arrowEdge, Rgb(clBtnShadow));  // only the arrow segment is pushed
  EXPECT_NE(mainEdge, Rgb(clBtnShadow));
  EXPECT_EQ(log, (Log{"One"}));  // no click of the main part
  log.clear();
  POINT main = At(b, 8, 11);
  ui.Click(main.x, main.y);
  EXPECT_EQ(log, (Log{"click"}));
  EXPECT_EQ(OpenMenuWindow(), nullptr);
}

TEST_F(ToolbarDropdownTest, ClickingTheButtonAgainClosesItsMenuWithoutReopeningIt) {
  auto* b = AddButton(form, 20);
  b->SetDropdownMenu(menu);
  int popups = 0;
  menu->OnPopup = [&](TObject*) { ++popups; };
  // Were the closing click left in the queue, the menu would open again and wait for input
  // that never comes.
  PressAndWhileOpen(b, 11, 11, [&] {
    POINT again = At(b, 11, 11);
    ui.QueueClick(again.x, again.y);
  });
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(log, (Log{"click"}));
  EXPECT_EQ(OpenMenuWindow(), nullptr);
}

TEST_F(ToolbarDropdownTest, APlainDropdownButtonDrawsItsArrowAfterTheGlyph) {
  for (bool arrow : {true, false}) {
    auto* b = AddButton(form, 20);
    b->SetWidth(34);
    b->SetDropdownMenu(menu);
    b->SetDropdownArrow(arrow);
    POINT away = At(form, 300, 200);
    ui.MoveTo(away.x, away.y);
    // Ink in the font colour right of the glyph is the arrow; the glyph makes room for it.
    int ink = 0, firstRed = -1;
    for (int x = 0; x < 34; ++x)
      for (int y = 0; y < 22; ++y) {
        std::uint32_t c = PixelOf(b, x, y);
        if (c == Rgb(clWindowText)) ++ink;
        if (c == 0xFF0000u && firstRed < 0) firstRed = x;
      }
    EXPECT_EQ(ink, arrow ? 5 + 3 + 1 : 0) << "arrow " << arrow;  // a solid triangle
    // Centred block: the glyph (12 red columns) alone, or the glyph followed by the arrow.
    EXPECT_EQ(firstRed, arrow ? 1 + (32 - 16 - 9) / 2 + 2 : 1 + (32 - 16) / 2 + 2) << "arrow " << arrow;
    FreeObject(b);
  }
}

TEST_F(ToolbarDropdownTest, AMenuFreedWhileOpenLeavesTheButtonWithout) {
  auto* b = AddButton(form, 20);
  b->SetDropdownMenu(menu);
  // The handler frees the menu it belongs to; nothing of it may be touched afterwards.
  menu->GetItems()->Items(0)->OnClick = [doomed = menu](TObject*) { FreeObject(doomed); };
  PressAndWhileOpen(b, 11, 11, [&] {
    RECT one = ItemRect(0);
    ui.QueueClick((one.left + one.right) / 2, (one.top + one.bottom) / 2);
  });
  menu = nullptr;
  EXPECT_EQ(b->GetDropdownMenu(), nullptr);
  POINT p = At(b, 11, 11);
  ui.Click(p.x, p.y);  // a plain button now
  EXPECT_EQ(log, (Log{"click", "click"}));
}

TEST_F(ToolbarDropdownTest, AnItemMayFreeTheButtonWhoseMenuItIs) {
  auto* b = AddButton(form, 20);
  b->SetDropdownMenu(menu);
  menu->SetAlignment(paCenter);
  menu->GetItems()->Items(0)->OnClick = [doomed = b](TObject*) { FreeObject(doomed); };
  PressAndWhileOpen(b, 11, 11, [&] {
    RECT one = ItemRect(0);
    ui.QueueClick((one.left + one.right) / 2, (one.top + one.bottom) / 2);
  });
  EXPECT_EQ(ButtonMouseInControl(), nullptr);
  // The menu is the form's still, and gets its own settings back.
  EXPECT_EQ(menu->GetAlignment(), paCenter);
  EXPECT_EQ(menu->GetTrackButton(), tbRightButton);
}

TEST_F(ToolbarDropdownTest, AClickMayFreeItsOwnButton) {
  // A plain button and a drop-down one whose OnClick frees it (a "close" button freeing its
  // toolbar would do the same).
  for (bool dropdown : {false, true}) {
    auto* b = AddButton(form, 20);
    if (dropdown) b->SetDropdownAlways(true);
    b->OnClick = [doomed = b](TObject*) { FreeObject(doomed); };
    POINT p = At(b, 11, 11);
    ui.Click(p.x, p.y);
    EXPECT_EQ(ButtonMouseInControl(), nullptr) << "drop-down " << dropdown;
    EXPECT_EQ(form->ControlCount(), 0) << "drop-down " << dropdown;
  }
}

TEST_F(ToolbarDropdownTest, TheMenuIsAPropertyReachableByName) {
  auto* b = AddButton(form, 20);
  SetObjectProp(b, "DropdownMenu", menu);
  EXPECT_EQ(b->GetDropdownMenu(), menu);
  EXPECT_EQ(GetEnumProp(menu, "TrackButton"), "tbRightButton");
  SetEnumProp(menu, "TrackButton", "tbLeftButton");
  EXPECT_EQ(menu->GetTrackButton(), tbLeftButton);
}

}  // namespace
}  // namespace tbx::testing
