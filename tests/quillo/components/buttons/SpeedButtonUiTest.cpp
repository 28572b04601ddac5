// The speed button and its glyphs through the UI driver: the looks of each state read in
// pixels, groups, repeat on the manual clock, drop-down menus, and the glyph cache that
// shares equal images and goes with its last user.

#include "../ComponentFixture.h"
#include "ButtonTestSupport.h"

#include <string>
#include <vector>

#include "platform/vcl/Buttons.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/TypInfo.h"
#include "quillo/components/buttons/ExSpeedButton.h"

namespace {

using namespace buttons_testing;

class SpeedButtonTest : public ComponentTest {
protected:
  void SetUp() override {
    form = NewComponent<TForm>(Application());
    form->SetName("ButtonForm");
    form->SetBounds(100, 100, 400, 300);
    form->Show();
    ui.RunUntilIdle();
  }
  void TearDown() override {
    ResetApplication();
    EXPECT_EQ(ExButtonGlyphCache(), nullptr);
    EXPECT_EQ(TExSpeedButton::LiveCount(), 0);
  }
  TExSpeedButton* AddButton(int left, std::initializer_list<TColor> cells = {clRed}, int width = 25) {
    auto* b = NewComponent<TExSpeedButton>(form);
    b->SetBounds(left, 20, width, 25);
    auto glyph = MakeStrip(cells);
    b->SetGlyph(glyph.get());
    b->SetParent(form);
    b->OnClick = [this, b](TObject*) { clicks.push_back(b->GetName().empty() ? "b" : b->GetName()); };
    ui.RunUntilIdle();
    return b;
  }
  std::uint32_t At(TControl* c, int x, int y) { return PixelOf(ui, c, x, y); }
  void Click(TControl* c, int x = 12, int y = 12) {
    POINT p = ScreenAt(c, x, y);
    ui.Click(p.x, p.y);
  }

  TForm* form = nullptr;
  std::vector<AnsiString> clicks;
};

// A 25 x 25 button with a 16 x 16 glyph and no caption: the frames leave (2, 2)-(23, 23), the
// glyph (laid out on top, automatic margin) sits at (4, 3), its red square at (8, 7)-(16, 15).
TEST_F(SpeedButtonTest, EachStateHasItsLook) {
  auto* b = AddButton(20);
  const std::uint32_t face = Rgb(clBtnFace), light = Rgb(clBtnHighlight), frame = Rgb(clWindowFrame),
                      shadow = Rgb(clBtnShadow);
  // Up: raised frames, the glyph's red square with its fuchsia corners transparent.
  EXPECT_EQ(At(b, 0, 0), light);
  EXPECT_EQ(At(b, 24, 24), frame);
  EXPECT_EQ(At(b, 23, 23), shadow);
  EXPECT_EQ(At(b, 12, 12), Rgb(clRed));
  EXPECT_EQ(At(b, 5, 5), face);

  // Down while held: sunken frames and the glyph moved by (1, 1).
  POINT p = ScreenAt(b, 12, 12);
  ui.MouseDown(p.x, p.y);
  EXPECT_EQ(b->State(), rbsDown);
  EXPECT_EQ(At(b, 0, 0), frame);
  EXPECT_EQ(At(b, 24, 24), light);
  EXPECT_EQ(At(b, 8, 7), face);  // the square's corner when up ...
  EXPECT_EQ(At(b, 16, 15), Rgb(clRed));  // ... and its lower right moved in
  ui.MouseUp(p.x, p.y);
  EXPECT_EQ(At(b, 0, 0), light);

  // Disabled: the embossed silhouette of a one-glyph strip, the square in the shadow colour
  // with a highlight below and right of it, the glyph's transparent background left alone.
  b->SetEnabled(false);
  ui.RunUntilIdle();
  EXPECT_EQ(b->State(), rbsDisabled);
  for (int y = 4; y < 24; ++y)
    for (int x = 4; x < 24; ++x) ASSERT_NE(At(b, x, y), Rgb(clRed)) << x << "," << y;
  EXPECT_EQ(At(b, 12, 11), shadow);
  EXPECT_EQ(At(b, 16, 15), light);
  EXPECT_EQ(At(b, 5, 4), face);

  // Exclusive (down in a group): sunken, with the face and highlight dither inside.
  b->SetEnabled(true);
  b->SetGroupIndex(1);
  b->SetDown(true);
  ui.RunUntilIdle();
  EXPECT_EQ(b->State(), rbsExclusive);
  EXPECT_EQ(At(b, 0, 0), frame);
  std::uint32_t a = At(b, 3, 3), c = At(b, 4, 3);
  EXPECT_NE(a, c);
  EXPECT_TRUE((a == face && c == light) || (a == light && c == face));
  EXPECT_EQ(At(b, 13, 13), Rgb(clRed));
}

// A strip of several cells: the states without a cell of their own show the first.
TEST_F(SpeedButtonTest, MultiCellStripsTakeTheirStateCells) {
  struct Case {
    std::initializer_list<TColor> cells;
    TExButtonState state;
    TColor expected;
  };
  const Case cases[] = {
      {{clRed, clGreen}, rbsDisabled, clGreen},
      {{clRed, clGreen}, rbsDown, clRed},  // fewer than three cells: down shows up
      {{clRed, clGreen, clBlue}, rbsDown, clBlue},
      {{clRed, clGreen, clBlue, clYellow}, rbsExclusive, clYellow},
      {{clRed, clGreen, clBlue, clYellow, clNavy}, rbsInactive, clNavy},
  };
  for (const Case& k : cases) {
    auto strip = MakeStrip(k.cells);
    auto glyph = MakeObject<TExButtonGlyph>();
    glyph->SetGlyph(strip.get());
    ASSERT_EQ(glyph->GetNumGlyphs(), static_cast<int>(k.cells.size()));
    auto target = MakeObject<TBitmap>();
    target->SetPixelFormat(pf32bit);
    target->SetSize(16, 16);
    TPoint size = glyph->DrawButtonGlyph(target->GetCanvas(), 0, 0, k.state);
    EXPECT_EQ(size.x, 16);
    EXPECT_EQ(ColorToRGB(target->GetCanvas()->GetPixel(8, 8)), ColorToRGB(k.expected))
        << k.cells.size() << " cells, state " << k.state;
  }
}

// The inactive look of a flat button is the glyph in grey, keeping the transparent colour.
TEST_F(SpeedButtonTest, FlatButtonShowsItsFrameOnlyUnderTheMouse) {
  auto* b = AddButton(20);
  auto* other = AddButton(100);
  b->SetFlat(true);
  ui.RunUntilIdle();
  POINT away = ScreenAt(other, 12, 12);
  ui.MoveTo(away.x, away.y);
  EXPECT_EQ(At(b, 0, 0), Rgb(clBtnFace));
  const int grey = (77 * 255) >> 8;
  EXPECT_EQ(At(b, 12, 12), static_cast<std::uint32_t>(grey << 16 | grey << 8 | grey));
  POINT over = ScreenAt(b, 12, 12);
  ui.MoveTo(over.x, over.y);
  EXPECT_TRUE(b->MouseInControl());
  EXPECT_EQ(At(b, 0, 0), Rgb(clBtnHighlight));
  EXPECT_EQ(At(b, 12, 12), Rgb(clRed));
  ui.MoveTo(away.x, away.y);
  EXPECT_EQ(At(b, 0, 0), Rgb(clBtnFace));
  // Down in a group, a flat button keeps its frame with the mouse away.
  b->SetGroupIndex(3);
  b->SetDown(true);
  ui.RunUntilIdle();
  EXPECT_EQ(At(b, 0, 0), Rgb(clWindowFrame));
}

// A transparent button shows its parent where it draws nothing: inside its frames and around
// its glyph.
TEST_F(SpeedButtonTest, TransparentButtonShowsItsParent) {
  form->SetColor(clYellow);
  auto* b = AddButton(20);
  b->SetTransparent(true);
  ui.RunUntilIdle();
  EXPECT_EQ(At(b, 5, 4), Rgb(clYellow));
  EXPECT_EQ(At(b, 12, 12), Rgb(clRed));
  EXPECT_EQ(At(b, 0, 0), Rgb(clBtnHighlight));
  b->SetTransparent(false);
  ui.RunUntilIdle();
  EXPECT_EQ(At(b, 5, 4), Rgb(clBtnFace));
}

TEST_F(SpeedButtonTest, GroupsKeepOneButtonDown) {
  std::vector<TExSpeedButton*> group;
  for (int i = 0; i < 3; ++i) {
    group.push_back(AddButton(20 + 30 * i));
    AnsiString name = "G";
    name += std::to_string(i);
    group.back()->SetName(name);
    group.back()->SetGroupIndex(5);
  }
  auto downs = [&] {
    std::string s;
    for (auto* b : group) s += b->GetDown() ? '1' : '0';
    return s;
  };
  Click(group[0]);
  EXPECT_EQ(downs(), "100");
  Click(group[2]);
  EXPECT_EQ(downs(), "001");
  EXPECT_EQ(group[2]->State(), rbsExclusive);
  Click(group[2]);  // without AllowAllUp the down one stays down
  EXPECT_EQ(downs(), "001");
  EXPECT_EQ(clicks, (std::vector<AnsiString>{"G0", "G2", "G2"}));
  // AllowAllUp set on one is taken over by the group; now the down one comes up.
  group[0]->SetAllowAllUp(true);
  EXPECT_TRUE(group[2]->GetAllowAllUp());
  Click(group[2]);
  EXPECT_EQ(downs(), "000");
  // A release outside leaves the group as it was.
  POINT in = ScreenAt(group[1], 12, 12), out = ScreenAt(group[1], 12, 80);
  ui.MouseDown(in.x, in.y);
  ui.MoveTo(out.x, out.y);
  ui.MouseUp(out.x, out.y);
  EXPECT_EQ(downs(), "000");
  // Down set in code without a group is refused.
  auto* loose = AddButton(200);
  loose->SetDown(true);
  EXPECT_FALSE(loose->GetDown());
}

// The framework's speed buttons and ours broadcast the same group message on one parent;
// each class keeps to its own buttons, and neither reads the other's as one of its own.
TEST_F(SpeedButtonTest, FrameworkSpeedButtonsInTheSameGroupIndexAreLeftAlone) {
  std::vector<TSpeedButton*> framework;
  for (int i = 0; i < 2; ++i) {
    auto* b = NewComponent<TSpeedButton>(form);
    b->SetBounds(20 + 30 * i, 20, 25, 25);
    b->SetParent(form);
    b->SetGroupIndex(5);
    framework.push_back(b);
  }
  std::vector<TExSpeedButton*> ours = {AddButton(100), AddButton(130)};
  for (auto* b : ours) b->SetGroupIndex(5);
  ours[0]->SetAllowAllUp(true);
  framework[0]->SetDown(true);
  ui.RunUntilIdle();
  auto downs = [&] {
    std::string s;
    for (auto* b : framework) s += b->GetDown() ? '1' : '0';
    s += '|';
    for (auto* b : ours) s += b->GetDown() ? '1' : '0';
    return s;
  };
  struct Step {
    const char* what;
    TControl* pressed;
    const char* downs;
  };
  const Step steps[] = {
      {"ours goes down; the framework's stays", ours[0], "10|10"},
      {"the framework's group is still one down at a time", framework[1], "01|10"},
      {"and ours", ours[1], "01|01"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    Click(step.pressed);
    EXPECT_EQ(downs(), step.downs);
    // Our group's AllowAllUp is not taken over by the framework's buttons.
    EXPECT_FALSE(framework[0]->GetAllowAllUp());
    EXPECT_FALSE(framework[1]->GetAllowAllUp());
    EXPECT_TRUE(ours[1]->GetAllowAllUp());
  }
}

TEST_F(SpeedButtonTest, HeldButtonRepeatsOnTheClockWhileThePointerIsOverIt) {
  auto* b = AddButton(20);
  b->SetAllowTimer(true);
  b->SetInitPause(500);
  b->SetRepeatInterval(100);
  POINT in = ScreenAt(b, 12, 12), out = ScreenAt(b, 12, 80);
  ui.MouseDown(in.x, in.y);
  ui.Advance(499);
  EXPECT_EQ(clicks.size(), 0u);
  ui.Advance(1);
  EXPECT_EQ(clicks.size(), 1u);
  ui.Advance(100);
  ui.Advance(100);
  EXPECT_EQ(clicks.size(), 3u);
  ui.MoveTo(out.x, out.y);  // pointer away: no repeats
  ui.Advance(300);
  EXPECT_EQ(clicks.size(), 3u);
  ui.MoveTo(in.x, in.y);
  ui.Advance(100);
  EXPECT_EQ(clicks.size(), 4u);
  ui.MouseUp(in.x, in.y);  // the release inside clicks once more, and repeating stops
  EXPECT_EQ(clicks.size(), 5u);
  ui.Advance(1000);
  EXPECT_EQ(clicks.size(), 5u);
  // Released outside: no click on release.
  ui.MouseDown(in.x, in.y);
  ui.MoveTo(out.x, out.y);
  ui.MouseUp(out.x, out.y);
  EXPECT_EQ(clicks.size(), 5u);
}

TEST_F(SpeedButtonTest, DropDownMenuOpensBelowAndClicksNothing) {
  auto* b = AddButton(20, {clRed}, 40);
  auto* menu = NewComponent<TPopupMenu>(form);
  std::vector<std::string> chosen;
  for (const char* caption : {"&One", "&Two"}) {
    auto* item = NewComponent<TMenuItem>(menu);
    item->SetCaption(caption);
    item->OnClick = [&chosen, item](TObject*) { chosen.push_back(item->GetCaption()); };
    menu->GetItems()->Add(item);
  }
  b->SetDropDownMenu(menu);
  ui.RunUntilIdle();
  // The mark: a small triangle right of the glyph in the text colour.
  bool markSeen = false;
  for (int x = 25; x < 38 && !markSeen; ++x)
    for (int y = 8; y < 18; ++y) markSeen |= At(b, x, y) == Rgb(clBtnText);
  EXPECT_TRUE(markSeen);

  RECT opened{};
  POINT p = ScreenAt(b, 12, 12);
  ui.QueueClick(p.x, p.y);
  ui.WhenModalWaits([&] {
    HWND w = FindWindowEx(nullptr, nullptr, "#32768", nullptr);
    ASSERT_NE(w, nullptr);
    GetWindowRect(w, &opened);
    ui.QueuePress(VK_DOWN);
    ui.QueuePress(VK_RETURN);
  });
  ui.RunUntilIdle();
  POINT below = ScreenAt(b, -1, 25);
  EXPECT_EQ(opened.left, below.x);
  EXPECT_EQ(opened.top, below.y);
  EXPECT_EQ(chosen, (std::vector<std::string>{"&One"}));
  EXPECT_TRUE(clicks.empty());
  EXPECT_EQ(b->State(), rbsUp);
  // The menu freed: the button forgets it and shows no mark.
  FreeObject(menu);
  EXPECT_EQ(b->GetDropDownMenu(), nullptr);
}

TEST_F(SpeedButtonTest, DropDownPositionFollowsMenuAlignment) {
  auto* b = AddButton(20, {clRed}, 41);
  auto* menu = NewComponent<TPopupMenu>(form);
  b->SetDropDownMenu(menu);
  struct Case {
    TExDropDownMenuPos pos;
    TPopupAlignment alignment;
    TPoint expected;
  };
  const Case cases[] = {
      {dmpBottom, paLeft, {-1, 25}},  {dmpBottom, paCenter, {20, 25}}, {dmpBottom, paRight, {42, 25}},
      {dmpRight, paLeft, {41, -1}},   {dmpRight, paRight, {-1, -1}},   {dmpRight, paCenter, {20, 25}},
  };
  for (const Case& k : cases) {
    b->SetMenuPosition(k.pos);
    menu->SetAlignment(k.alignment);
    EXPECT_EQ(b->DropDownPosition().x, k.expected.x) << k.pos << " " << k.alignment;
    EXPECT_EQ(b->DropDownPosition().y, k.expected.y) << k.pos << " " << k.alignment;
  }
}

TEST_F(SpeedButtonTest, ClickGivesTheFormItsModalResultAndAcceleratorClicks) {
  auto* b = AddButton(20, {clRed}, 60);
  b->SetCaption("&Go");
  b->SetModalResult(mrOk);
  Click(b);
  EXPECT_EQ(form->GetModalResult(), mrOk);
  form->SetModalResult(mrNone);
  EXPECT_EQ(b->Perform(CM_DIALOGCHAR, 'G', 0), 1);
  EXPECT_EQ(clicks.size(), 2u);
  EXPECT_EQ(b->Perform(CM_DIALOGCHAR, 'x', 0), 0);
  // A programmatic click clicks a plain button and toggles a grouped one.
  b->ButtonClick();
  EXPECT_EQ(clicks.size(), 3u);
  b->SetGroupIndex(2);
  b->ButtonClick();
  EXPECT_TRUE(b->GetDown());
}

TEST_F(SpeedButtonTest, DefaultsAndPublishedProperties) {
  auto* b = NewComponent<TExSpeedButton>(form);
  b->SetParent(form);
  EXPECT_EQ(b->GetWidth(), 25);
  EXPECT_EQ(b->GetHeight(), 25);
  EXPECT_EQ(GetEnumProp(b, "Layout"), "blGlyphTop");
  EXPECT_EQ(GetOrdProp(b, "Spacing"), 1);
  EXPECT_EQ(GetOrdProp(b, "Margin"), -1);
  EXPECT_EQ(GetOrdProp(b, "InitPause"), 500);
  EXPECT_EQ(GetOrdProp(b, "RepeatInterval"), 100);
  EXPECT_EQ(GetEnumProp(b, "Style"), "bsAutoDetect");
  EXPECT_TRUE(b->GetMarkDropDown());
  EXPECT_TRUE(b->GetGrayedInactive());
  SetOrdProp(b, "NumGlyphs", 9);
  EXPECT_EQ(b->GetNumGlyphs(), 5);
  SetOrdProp(b, "Margin", -4);
  EXPECT_EQ(b->GetMargin(), -1);
  ui.RunUntilIdle();  // painted without a glyph
}

TEST_F(SpeedButtonTest, GlyphCacheSharesEqualSizesAndGoesWithItsLastUser) {
  auto strip16 = MakeStrip({clRed});
  auto strip24 = MakeStrip({clRed}, 24);
  auto target = MakeObject<TBitmap>();
  target->SetSize(32, 32);
  auto a = MakeObject<TExButtonGlyph>(), b = MakeObject<TExButtonGlyph>(), c = MakeObject<TExButtonGlyph>();
  a->SetGlyph(strip16.get());
  b->SetGlyph(strip16.get());
  c->SetGlyph(strip24.get());
  for (auto* g : {a.get(), b.get(), c.get()}) {
    g->DrawButtonGlyph(target->GetCanvas(), 0, 0, rbsUp);
    g->DrawButtonGlyph(target->GetCanvas(), 0, 0, rbsDisabled);
  }
  ASSERT_NE(ExButtonGlyphCache(), nullptr);
  EXPECT_EQ(ExButtonGlyphCache()->ListCount(), 2);
  EXPECT_EQ(a->GlyphList(), b->GlyphList());
  EXPECT_EQ(a->GlyphList()->UsedCount(), 4);
  // A freed slot is reused by the next image built.
  const int freed = a->BuiltIndex(rbsUp);
  a.reset();
  EXPECT_EQ(b->GlyphList()->UsedCount(), 2);
  auto d = MakeObject<TExButtonGlyph>();
  d->SetGlyph(strip16.get());
  EXPECT_EQ(d->CreateButtonGlyph(rbsUp), freed);
  d.reset();
  b.reset();
  EXPECT_EQ(ExButtonGlyphCache()->ListCount(), 1);
  c.reset();
  EXPECT_EQ(ExButtonGlyphCache(), nullptr);
}

TEST_F(SpeedButtonTest, StripWidthGivesTheCellCount) {
  struct Case {
    int width, height, expected;
  };
  const Case cases[] = {{16, 16, 1}, {48, 16, 3}, {80, 16, 5}, {96, 16, 1}, {0, 0, 1}};
  for (const Case& k : cases) {
    auto glyph = MakeObject<TExButtonGlyph>();
    glyph->SetNumGlyphs(2);
    auto bitmap = MakeObject<TBitmap>();
    bitmap->SetSize(k.width, k.height);
    glyph->SetGlyph(bitmap.get());
    EXPECT_EQ(glyph->GetNumGlyphs(), k.height ? k.expected : 2) << k.width << "x" << k.height;
  }
}

// Layout on a 70 x 30 client with a 16 x 16 glyph: automatic margin and spacing split the
// free room in three; a given margin puts the glyph there.
TEST_F(SpeedButtonTest, LayoutPlacesGlyphAndCaption) {
  auto glyph = MakeObject<TExButtonGlyph>();
  auto strip = MakeStrip({clRed});
  glyph->SetGlyph(strip.get());
  auto canvasBitmap = MakeObject<TBitmap>();
  canvasBitmap->SetSize(100, 100);
  TCanvas* canvas = canvasBitmap->GetCanvas();
  const AnsiString caption = "Abc";
  const int text = canvas->TextWidth(caption);
  struct Case {
    TButtonLayout layout;
    int margin, spacing;
    int glyphX, glyphY, textLeft;
  };
  const int autoGap = (70 - 16 - text) / 3;
  const Case cases[] = {
      {blGlyphLeft, -1, -1, autoGap, 7, autoGap + 16 + autoGap},
      {blGlyphLeft, 4, 2, 4, 7, 4 + 16 + 2},
      {blGlyphRight, 4, 2, 70 - 4 - 16, 7, 70 - 4 - 16 - 2 - text},
      {blGlyphTop, 1, 0, 35 - 8, 1, 35 - text / 2},
  };
  for (const Case& k : cases) {
    TPoint at;
    TRect bounds;
    glyph->CalcButtonLayout(canvas, TRect(0, 0, 70, 30), caption, k.layout, k.margin, k.spacing, false, at, bounds,
                            DT_CENTER);
    EXPECT_EQ(at.x, k.glyphX) << k.layout << " " << k.margin;
    EXPECT_EQ(at.y, k.glyphY) << k.layout << " " << k.margin;
    EXPECT_EQ(bounds.left, k.textLeft) << k.layout << " " << k.margin;
  }
  // A caption wider than the room is shortened with "..."; with word wrap it stays whole.
  const AnsiString longCaption = "A caption far too long for this";
  TPoint at;
  TRect bounds;
  AnsiString shown = glyph->CalcButtonLayout(canvas, TRect(0, 0, 70, 30), longCaption, blGlyphLeft, 2, 2, false,
                                             at, bounds, DT_CENTER);
  EXPECT_NE(shown, longCaption);
  EXPECT_EQ(shown.substr(shown.size() - 3), "...");
  EXPECT_LE(canvas->TextWidth(shown), 70 - 16 - 4);
  glyph->SetWordWrap(true);
  EXPECT_EQ(glyph->CalcButtonLayout(canvas, TRect(0, 0, 70, 30), longCaption, blGlyphLeft, 2, 2, false, at, bounds,
                                    DT_CENTER),
            longCaption);
}

TEST_F(SpeedButtonTest, ButtonImageDrawsAWholeButtonAnywhere) {
  auto image = MakeObject<TButtonImage>();
  auto strip = MakeStrip({clBlue});
  image->SetGlyph(strip.get());
  auto target = MakeObject<TBitmap>();
  target->SetPixelFormat(pf32bit);
  target->SetSize(40, 40);
  TCanvas* c = target->GetCanvas();
  c->GetBrush()->SetColor(clWhite);
  c->FillRect(TRect(0, 0, 40, 40));
  c->GetBrush()->SetColor(clLime);
  image->Draw(c, 5, 5, -1, -1, blGlyphTop, nullptr, DT_CENTER);
  EXPECT_EQ(ColorToRGB(c->GetPixel(5, 5)), ColorToRGB(clBtnShadow));
  EXPECT_EQ(ColorToRGB(c->GetPixel(28, 27)), ColorToRGB(clWindowFrame));
  EXPECT_EQ(ColorToRGB(c->GetPixel(6, 6)), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(ColorToRGB(c->GetPixel(17, 16)), ColorToRGB(clBlue));
  EXPECT_EQ(ColorToRGB(c->GetPixel(30, 30)), ColorToRGB(clWhite));
  EXPECT_EQ(c->GetBrush()->GetColor(), clLime);  // the canvas's brush comes back
}

}  // namespace

// A button that opened its menu, then takes another and is freed: the old menu no longer
// names it as the component it popped up for.
TEST_F(SpeedButtonTest, AMenuTheButtonLeftForgetsItWhenTheButtonIsFreed) {
  auto* b = AddButton(20, {clRed}, 40);
  auto* menu = NewComponent<TPopupMenu>(Application());
  auto* item = NewComponent<TMenuItem>(menu);
  item->SetCaption("&One");
  menu->GetItems()->Add(item);
  b->SetDropDownMenu(menu);
  ui.RunUntilIdle();
  POINT p = ScreenAt(b, 12, 12);
  ui.QueueClick(p.x, p.y);
  ui.WhenModalWaits([&] { ui.QueuePress(VK_ESCAPE); });
  ui.RunUntilIdle();
  ASSERT_EQ(menu->GetPopupComponent(), b);
  b->SetDropDownMenu(nullptr);
  FreeObject(b);
  EXPECT_EQ(menu->GetPopupComponent(), nullptr);
  FreeObject(menu);
}
