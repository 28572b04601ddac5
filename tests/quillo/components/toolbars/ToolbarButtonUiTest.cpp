// Toolbar buttons through the UI driver: what a user sees (pressed, checked, disabled, hot)
// in pixels, groups, repeat on the manual clock, hover tracking and drop-down menus.

#include "ToolbarFixture.h"

#include <cstdlib>

#include "platform/vcl/ImageList.h"

namespace tbx::testing {
namespace {

class ToolbarButtonTest : public ToolbarUiTest {
protected:
  void SetUp() override {
    form = NewComponent<TForm>(Application());
    form->SetBounds(100, 100, 300, 200);
    form->Show();
    ui.RunUntilIdle();
  }
  TToolbarButtonX* AddButton(int left, TColor colour = clRed) {
    auto* b = NewComponent<TToolbarButtonX>(form);
    b->SetBounds(left, 20, 23, 22);
    auto glyph = MakeGlyph({colour});
    b->SetGlyph(glyph.get());
    b->SetParent(form);
    ui.RunUntilIdle();
    return b;
  }
  std::uint32_t PixelOf(TControl* c, int x, int y) {
    POINT p = At(c, x, y);
    return ui.Pixel(p.x, p.y);
  }
  void MoveAway() {
    POINT p = At(form, 250, 150);
    ui.MoveTo(p.x, p.y);
  }
  void ClickOn(TControl* c, int x = 11, int y = 11) {
    POINT p = At(c, x, y);
    ui.Click(p.x, p.y);
  }
  TForm* form = nullptr;
};

const std::uint32_t Red = 0xFF0000;

TEST_F(ToolbarButtonTest, UpButtonShowsItsGlyphWithoutABorder) {
  auto* b = AddButton(20);
  MoveAway();
  EXPECT_EQ(PixelOf(b, 11, 11), Red);
  EXPECT_EQ(PixelOf(b, 5, 5), Red);      // the glyph's top-left red pixel
  EXPECT_EQ(PixelOf(b, 3, 3), Rgb(clBtnFace));  // its transparent border
  EXPECT_EQ(PixelOf(b, 0, 0), Rgb(clBtnFace));  // flat: no border while not hot
}

TEST_F(ToolbarButtonTest, PressedButtonIsSunkenAndItsGlyphMovesByOne) {
  auto* b = AddButton(20);
  POINT p = At(b, 11, 11);
  ui.MouseDown(p.x, p.y);
  EXPECT_EQ(b->State(), bsDown);
  EXPECT_EQ(PixelOf(b, 0, 0), Rgb(clBtnShadow));
  EXPECT_EQ(PixelOf(b, 5, 5), Rgb(clBtnFace));  // the glyph moved right and down
  EXPECT_EQ(PixelOf(b, 6, 6), Red);
  ui.MouseUp(p.x, p.y);
  EXPECT_EQ(b->State(), bsMouseIn);
  EXPECT_EQ(PixelOf(b, 0, 0), Rgb(clBtnHighlight));  // hot: raised
  EXPECT_EQ(PixelOf(b, 5, 5), Red);
}

TEST_F(ToolbarButtonTest, CheckedButtonIsFilledWithTheDitherPattern) {
  auto* b = AddButton(20);
  b->SetGroupIndex(1);
  b->SetDown(true);
  MoveAway();
  EXPECT_EQ(b->State(), bsExclusive);
  // Alternate pixels of highlight and face around the glyph, which is moved by one.
  EXPECT_EQ(PixelOf(b, 1, 1), Rgb(clBtnHighlight));
  EXPECT_EQ(PixelOf(b, 2, 1), Rgb(clBtnFace));
  EXPECT_EQ(PixelOf(b, 2, 2), Rgb(clBtnHighlight));
  EXPECT_EQ(PixelOf(b, 6, 6), Red);
  EXPECT_EQ(PixelOf(b, 0, 0), Rgb(clBtnShadow));
}

TEST_F(ToolbarButtonTest, DisabledGlyphIsAnEmbossedSilhouette) {
  auto* b = AddButton(20);
  b->SetEnabled(false);
  ui.RunUntilIdle();
  EXPECT_EQ(b->State(), bsDisabled);
  EXPECT_EQ(PixelOf(b, 11, 11), Rgb(clBtnShadow));
  EXPECT_EQ(PixelOf(b, 5, 5), Rgb(clBtnShadow));
  EXPECT_EQ(PixelOf(b, 17, 17), Rgb(clBtnHighlight));  // the copy one pixel right and down
  EXPECT_EQ(PixelOf(b, 3, 3), Rgb(clBtnFace));
  // Enabled again: the glyph's own colours.
  b->SetEnabled(true);
  ui.RunUntilIdle();
  EXPECT_EQ(PixelOf(b, 11, 11), Red);
}

TEST_F(ToolbarButtonTest, HotLookFollowsTheMouseAndLeavesWithIt) {
  auto* a = AddButton(20);
  auto* b = AddButton(50, clBlue);
  POINT p = At(a, 11, 11);
  ui.MoveTo(p.x, p.y);
  EXPECT_EQ(ButtonMouseInControl(), a);
  EXPECT_EQ(PixelOf(a, 0, 0), Rgb(clBtnHighlight));
  p = At(b, 11, 11);
  ui.MoveTo(p.x, p.y);
  EXPECT_EQ(ButtonMouseInControl(), b);  // exactly one hot button
  EXPECT_FALSE(a->MouseInControl());
  EXPECT_EQ(PixelOf(a, 0, 0), Rgb(clBtnFace));
  EXPECT_EQ(PixelOf(b, 0, 0), Rgb(clBtnHighlight));
  MoveAway();  // the mouse leaves for the form
  EXPECT_EQ(ButtonMouseInControl(), nullptr);
  EXPECT_EQ(PixelOf(b, 0, 0), Rgb(clBtnFace));
}

TEST_F(ToolbarButtonTest, AFiveImageStripShowsItsHotAndDisabledCells) {
  auto* b = AddButton(20);
  // Up, disabled, down, latched, hot.
  auto strip = MakeGlyph({clRed, clGray, clGreen, clBlue, clYellow});
  b->SetGlyph(strip.get());
  MoveAway();
  EXPECT_EQ(PixelOf(b, 11, 11), Red);
  POINT p = At(b, 11, 11);
  ui.MoveTo(p.x, p.y);
  EXPECT_EQ(PixelOf(b, 11, 11), 0xFFFF00u);  // the hot cell
  MoveAway();
  b->SetEnabled(false);
  ui.RunUntilIdle();
  // The strip's own disabled cell, its grey made the shadow colour.
  EXPECT_EQ(PixelOf(b, 11, 11), Rgb(clBtnShadow));
  EXPECT_EQ(PixelOf(b, 17, 17), Rgb(clBtnFace));  // no embossed copy: not generated
}

TEST_F(ToolbarButtonTest, DeactivatingTheApplicationRemovesTheHotLook) {
  auto* a = AddButton(20);
  auto* b = AddButton(50);
  b->SetShowBorderWhenInactive(true);
  for (TToolbarButtonX* button : {a, b}) {
    POINT p = At(button, 11, 11);
    ui.MoveTo(p.x, p.y);
    SendMessage(form->GetHandle(), WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_EQ(button->MouseInControl(), button == b);
  }
}

struct GroupStep {
  int click;  // 0 or 1: which button is clicked
  bool allowAllUp;
  bool downA, downB;
};

TEST_F(ToolbarButtonTest, GroupsKeepOneButtonDownUnlessAllUpIsAllowed) {
  auto* a = AddButton(20);
  auto* b = AddButton(50);
  a->SetGroupIndex(1);
  b->SetGroupIndex(1);
  const GroupStep steps[] = {
      {0, false, true, false},  // A goes down
      {1, false, false, true},  // B goes down, A comes up
      {1, false, false, true},  // B stays down: all-up not allowed
      {1, true, false, false},  // with all-up, B comes up
      {0, true, true, false},
  };
  for (const GroupStep& s : steps) {
    a->SetAllowAllUp(s.allowAllUp);
    ClickOn(s.click ? b : a);
    EXPECT_EQ(a->GetDown(), s.downA);
    EXPECT_EQ(b->GetDown(), s.downB);
    EXPECT_EQ(b->GetAllowAllUp(), s.allowAllUp);  // the group shares it
  }
  // Without a group, Down stays off.
  auto* c = AddButton(80);
  c->SetDown(true);
  EXPECT_FALSE(c->GetDown());
}

TEST_F(ToolbarButtonTest, RepeatingButtonRepeatsOnTheClockWhileHeldInside) {
  auto* b = AddButton(20);
  b->SetRepeating(true);
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  POINT inside = At(b, 11, 11), outside = At(b, 60, 11);
  ui.MouseDown(inside.x, inside.y);
  EXPECT_EQ(clicks, 1);  // on press
  ui.Advance(399);
  EXPECT_EQ(clicks, 1);
  ui.Advance(1);
  EXPECT_EQ(clicks, 2);  // after 400 ms
  ui.Advance(100);
  EXPECT_EQ(clicks, 3);  // then every 100 ms
  ui.Advance(100);
  EXPECT_EQ(clicks, 4);
  ui.MoveTo(outside.x, outside.y);
  ui.Advance(300);
  EXPECT_EQ(clicks, 4);  // paused outside
  ui.MoveTo(inside.x, inside.y);
  ui.Advance(100);
  EXPECT_EQ(clicks, 5);  // resumed
  ui.MouseUp(inside.x, inside.y);
  ui.Advance(500);
  EXPECT_EQ(clicks, 5);  // no click on release, none after
}

// A menu that records where it popped up; it can post a click of its own, as the click
// that closes a menu over its button would be.
class FakeMenu : public TPopupMenu {
public:
  explicit FakeMenu(TComponent* owner) : TPopupMenu(owner) {}
  void Popup(int x, int y) override {
    points.push_back(POINT{x, y});
    rightAligned = GetAlignment() == paRight;
    if (log) log->push_back("menu");
    if (clickOnClose && points.size() == 1) {
      POINT p = *clickOnClose;
      ScreenToClient(window, &p);
      PostMessage(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
      PostMessage(window, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    }
  }
  std::vector<POINT> points;
  bool rightAligned = false;
  std::vector<std::string>* log = nullptr;
  std::optional<POINT> clickOnClose;
  HWND window = nullptr;
};

TEST_F(ToolbarButtonTest, ComboButtonSplitsItsArrowFromItsMainPart) {
  auto* b = AddButton(20);
  auto& menu = *NewComponent<FakeMenu>(form);
  std::vector<std::string> log;
  menu.log = &log;
  b->OnClick = [&](TObject*) { log.push_back("click"); };
  b->SetDropdownMenu(&menu);
  b->SetDropdownCombo(true);
  EXPECT_EQ(b->GetWidth(), 23 + 9 + 2);
  ClickOn(b, 30, 11);  // the arrow
  EXPECT_EQ(log, (std::vector<std::string>{"menu"}));
  ASSERT_EQ(menu.points.size(), 1u);
  POINT below = At(b, 0, 22);
  EXPECT_EQ(menu.points[0].x, below.x);
  EXPECT_EQ(menu.points[0].y, below.y);
  ClickOn(b, 8, 11);  // the main part
  EXPECT_EQ(log, (std::vector<std::string>{"menu", "click"}));
  b->SetDropdownCombo(false);
  EXPECT_EQ(b->GetWidth(), 23);
  b->SetDropdownArrowWidth(3);
  EXPECT_EQ(b->GetDropdownArrowWidth(), 7);
}

TEST_F(ToolbarButtonTest, PlainDropdownButtonClicksThenOpensItsMenu) {
  auto* b = AddButton(20);
  auto& menu = *NewComponent<FakeMenu>(form);
  std::vector<std::string> log;
  menu.log = &log;
  b->OnClick = [&](TObject*) { log.push_back("click"); };
  b->SetDropdownMenu(&menu);
  ClickOn(b);
  EXPECT_EQ(log, (std::vector<std::string>{"click", "menu"}));
}

TEST_F(ToolbarButtonTest, TheClickThatClosesTheMenuOnItsButtonDoesNotReopenIt) {
  for (bool removeClicks : {true, false}) {
    auto* b = AddButton(20);
    auto& menu = *NewComponent<FakeMenu>(form);
    menu.window = form->GetHandle();
    menu.clickOnClose = At(b, 11, 11);
    b->SetDropdownMenu(&menu);
    b->OnDropdown = [&](TObject*, bool&, bool& remove) { remove = removeClicks; };
    ClickOn(b);
    EXPECT_EQ(menu.points.size(), removeClicks ? 1u : 2u) << "RemoveClicks " << removeClicks;
    FreeObject(b);
  }
}

TEST_F(ToolbarButtonTest, MenuOfAButtonOnALeftDockOpensToItsRight) {
  auto* dock = NewComponent<TDockX>(form);
  dock->SetName("Left");
  dock->SetPosition(dpLeft);
  dock->SetParent(form);
  TToolbarX* bar = AddToolbar(form, "Bar", "Bar", 1);
  bar->SetDockedTo(dock);
  ui.RunUntilIdle();
  auto* b = static_cast<TToolbarButtonX*>(bar->Controls(0));
  auto& menu = *NewComponent<FakeMenu>(form);
  b->SetDropdownMenu(&menu);
  POINT p = At(b, 5, 5);
  ui.Click(p.x, p.y);
  ASSERT_EQ(menu.points.size(), 1u);
  POINT right = At(b, b->GetWidth(), 0);
  EXPECT_EQ(menu.points[0].x, right.x);
  EXPECT_EQ(menu.points[0].y, right.y);
}

TEST_F(ToolbarButtonTest, GlyphOnlyButtonIgnoresItsAccelerator) {
  auto* b = AddButton(20);
  b->SetCaption("&Open");
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  EXPECT_EQ(b->Perform(CM_DIALOGCHAR, 'o', 0), 1);
  b->SetDisplayMode(dmGlyphOnly);
  EXPECT_EQ(b->Perform(CM_DIALOGCHAR, 'o', 0), 0);
  EXPECT_EQ(clicks, 1);
}

TEST_F(ToolbarButtonTest, XControlsAreInstancesOfRegisteredClasses) {
  auto* b = AddButton(20);
  EXPECT_FALSE(ControlIsXControl(b));
  RegisterXControlClass(TGraphicControl::StaticClass());
  EXPECT_TRUE(ControlIsXControl(b));
  EXPECT_FALSE(ControlIsXControl(form));
  UnregisterXControlClass(TGraphicControl::StaticClass());
  EXPECT_FALSE(ControlIsXControl(b));
}

// ---- Glyphs ----

class ButtonGlyphTest : public ToolbarUiTest {};

TEST_F(ButtonGlyphTest, DisabledImageIsOnePixelLargerAndUpImageIsTheCell) {
  TButtonGlyph glyph;
  auto bitmap = MakeGlyph({clRed});
  glyph.SetGlyph(bitmap.get());
  TButtonGlyph::Built up = glyph.BuildStateImage(bsUp);
  TButtonGlyph::Built disabled = glyph.BuildStateImage(bsDisabled);
  ASSERT_NE(up.list, nullptr);
  ASSERT_NE(disabled.list, nullptr);
  EXPECT_EQ(up.list->GetWidth(), 16);
  EXPECT_EQ(disabled.list->GetWidth(), 17);
  EXPECT_EQ(disabled.list->GetHeight(), 17);
  // One cell serves up, down, latched and hot alike.
  for (TButtonStateX s : {bsDown, bsExclusive, bsMouseIn}) EXPECT_EQ(glyph.BuildStateImage(s).index, up.index);
}

TEST_F(ButtonGlyphTest, AFiveCellStripHasAHotImageOfItsOwn) {
  TButtonGlyph glyph;
  auto bitmap = MakeGlyph({clRed, clGray, clGreen, clBlue, clYellow});
  glyph.SetGlyph(bitmap.get());
  EXPECT_EQ(glyph.GetNumGlyphs(), 5);
  EXPECT_NE(glyph.BuildStateImage(bsMouseIn).index, glyph.BuildStateImage(bsUp).index);
  EXPECT_NE(glyph.BuildStateImage(bsExclusive).index, glyph.BuildStateImage(bsDown).index);
}

// A glyph still alive when the program ends is freed among the statics, in an order that
// depends on which was first used: here the image lists' table is made after the glyph and
// its cache, so it would go first. Ending must not read freed memory whatever that order.
// (In a process of its own, so that nothing is made yet.)
TEST(ButtonGlyphAtExit, AGlyphAliveAtTheProgramsEndIsFreedAfterTheImageListsTable) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        static TButtonGlyph glyph;
        auto bitmap = MakeGlyph({clRed});
        glyph.SetGlyph(bitmap.get());
        const bool built = glyph.BuildStateImage(bsUp).list != nullptr;
        std::exit(built ? 0 : 3);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(ButtonGlyphTest, EqualSizesShareOneListAndTheLastOneFreesIt) {
  {
    TButtonGlyph a, b;
    auto red = MakeGlyph({clRed}), blue = MakeGlyph({clBlue});
    a.SetGlyph(red.get());
    b.SetGlyph(blue.get());
    TButtonGlyph::Built ba = a.BuildStateImage(bsUp), bb = b.BuildStateImage(bsUp);
    EXPECT_EQ(ba.list, bb.list);
    EXPECT_NE(ba.index, bb.index);
    EXPECT_EQ(GlyphCache()->ListCount(), 1);
  }
  EXPECT_EQ(GlyphCache(), nullptr);
}

TEST_F(ButtonGlyphTest, AnImageIndexOutsideTheListDrawsNothing) {
  auto* owner = NewComponent<TForm>(Application());
  auto* images = NewComponent<TImageList>(owner, 16, 16);
  auto bitmap = MakeGlyph({clRed});
  images->AddMasked(bitmap.get(), clFuchsia);
  TButtonGlyph glyph;
  glyph.SetImages(images);
  glyph.SetImageIndex(3);
  EXPECT_EQ(glyph.BuildStateImage(bsUp).index, -1);
  glyph.SetImageIndex(0);
  EXPECT_NE(glyph.BuildStateImage(bsUp).index, -1);
  EXPECT_EQ(glyph.BuildStateImage(bsDisabled).list->GetWidth(), 17);
  glyph.SetImages(nullptr);
}

}  // namespace
}  // namespace tbx::testing
