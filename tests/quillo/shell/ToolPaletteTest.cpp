// The tool palette of the started program as a user meets it: the group buttons with the
// skin's glyphs and their hints, clicks, the icon panel a long press opens, the hot keys, the
// grid toggle and the tools that cannot be chosen yet.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "PaletteUser.h"
#include "ProgramFixture.h"
#include "SkinFixture.h"
#include "platform/user/Desktop.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/UpDown.h"
#include "quillo/components/timers/TimerList.h"
#include "quillo/components/toolbars/Toolbar.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/base/Language.h"
#include "quillo/base/Settings.h"
#include "quillo/base/SkinGlyphs.h"
#include "quillo/base/Skins.h"
#include "quillo/shell/ToolPalette.h"
#include "quillo/tools/Grid.h"
#include "quillo/shell/IconPanel.h"
#include "quillo/tools/ToolObjects.h"

namespace {

TColor AsColour(std::uint32_t pixel) {
  return static_cast<TColor>(((pixel & 0xFF) << 16) | (pixel & 0xFF00) | ((pixel >> 16) & 0xFF));
}

// Tools that no palette group of the program holds, for groups the tests register.
P_icon FixtureTools[34];

// The group numbers of the program's palette.
constexpr int PenGroup = 1;
constexpr int LineGroup = 2;
constexpr int CurveGroup = 3;
constexpr int BoxGroup = 4;
constexpr int CircleGroup = 5;
constexpr int FilledShapeGroup = 6;
constexpr int FillGroup = 8;
constexpr int SprayGroup = 7;
constexpr int SelectionGroup = 10;
constexpr int GridGroup = 14;
constexpr int MoveGroup = 15;
constexpr int ClearGroup = 16;
constexpr int BrushSheetGroup = 0;
constexpr int CloneGroup = 11;
constexpr int PickerGroup = 12;
constexpr int ChangeColourGroup = 13;

class ToolPaletteTest : public ProgramTest {
protected:
  ~ToolPaletteTest() override {
    Skins.reset();
    GridTool.PointCount = 0;
    ToolPhase = 0;
    CurrentTool = &PenContTool;
    RememberedTool = nullptr;
    if (workAreaChanged) WorkArea = savedWorkArea;
  }

  void StartWithTinySkin() {
    Start();
    const std::string folder = home.Path() + "/Skins";
    std::filesystem::create_directories(folder);
    // Rows enough for every palette glyph (up to 43).
    SkinFixtureLayout layout;
    layout.rows1 = 5;
    SkinFixture::Write(folder, "Tiny", layout);
    Skins = std::make_unique<SkinManager>(folder + "/");
    Skins->Choose("Tiny", nullptr);
    ui.RunUntilIdle();
  }

  PaletteGroup& Group(int g) { return PaletteGroups[static_cast<std::size_t>(g)]; }
  tbx::TToolbarButtonX* Button(int g) { return Group(g).Button; }
  P_icon* Tool(int entry) { return PaletteEntries[static_cast<std::size_t>(entry)].Tool; }

  void ClickOn(TControl* control) { ClickOnCentre(ui, control); }
  // Presses the group's button and holds it for ms on the manual clock, then lets go.
  void Hold(int g, DWORD ms = 500) { HoldOnCentre(ui, Button(g), ms); }
  // The icon panel as IconTimer's tick opens it for a group (for groups whose button cannot be
  // pressed).
  void OpenPanelOf(int g) {
    form->IconTimer->SetTag(g);
    form->ShowIconPanel(form->IconTimer);
    ui.RunUntilIdle();
  }
  bool PanelShowing() const { return IconPanelOpen && IconPanel && IsWindowVisible(IconPanel->GetHandle()); }
  TRect PanelRect() const {
    RECT r{};
    GetWindowRect(IconPanel->GetHandle(), &r);
    return TRect(r.left, r.top, r.right, r.bottom);
  }
  void KeyToDocument(int vk, bool shift = false, bool ctrl = false) {
    ASSERT_NE(ImageForm, nullptr);
    SetForegroundWindow(ImageForm->GetHandle());
    ImageForm->SetFocus();
    ui.RunUntilIdle();
    if (shift) ui.KeyDown(VK_SHIFT);
    if (ctrl) ui.KeyDown(VK_CONTROL);
    ui.Press(vk);
    if (ctrl) ui.KeyUp(VK_CONTROL);
    if (shift) ui.KeyUp(VK_SHIFT);
    ui.RunUntilIdle();
  }
  void NarrowWorkArea(const TRect& area) {
    if (!workAreaChanged) savedWorkArea = WorkArea;
    workAreaChanged = true;
    WorkArea = area;
  }

  TRect savedWorkArea;
  bool workAreaChanged = false;
};

TEST_F(ToolPaletteTest, SeventeenGroupButtonsTwoARowShowTheSkinsGlyphs) {
  StartWithTinySkin();
  ASSERT_EQ(PaletteGroups.size(), 17u);
  ASSERT_EQ(PaletteEntries.size(), 34u);
  const int w = 6, h = 5;  // the fixture skin's icons
  for (int g = 0; g < 17; ++g) {
    SCOPED_TRACE("group " + std::to_string(g));
    tbx::TToolbarButtonX* button = Button(g);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->GetParent(), form->ToolPanel);
    EXPECT_EQ(button->GetTag(), g);
    EXPECT_EQ(button->GetLeft(), g % 2 == 0 ? 0 : w + 4);
    EXPECT_EQ(button->GetTop(), Button(0)->GetTop() + (g / 2) * (h + 4));
    EXPECT_EQ(button->GetWidth(), w + 4);
    EXPECT_EQ(button->GetHeight(), h + 4);
    const int glyph = PaletteEntries[static_cast<std::size_t>(Group(g).SelectedEntry)].GlyphIndex;
    TBitmap* shown = button->GetGlyph();
    ASSERT_EQ(shown->GetWidth(), w);
    EXPECT_EQ(shown->GetCanvas()->GetPixel(0, 1), AsColour(SkinFixture::IconColour(glyph)));
    // The variant mark sits in the corner of a group with several tools only.
    const TColor corner = shown->GetCanvas()->GetPixel(w - 1, h - 1);
    if (Group(g).EntryCount > 1) EXPECT_EQ(corner, ColorToRGB(cl3DDkShadow));
    else EXPECT_EQ(corner, AsColour(SkinFixture::IconColour(glyph)));
  }
  // Which tool each group shows first: the table's order.
  EXPECT_EQ(Tool(Group(0).SelectedEntry), &ShowBrushPanelTool);
  EXPECT_EQ(Tool(Group(PenGroup).SelectedEntry), &PenContTool);
  EXPECT_EQ(Tool(Group(GridGroup).SelectedEntry), &GridTool);
  EXPECT_EQ(Tool(Group(ClearGroup).SelectedEntry), &ClearTool);
  EXPECT_EQ(Tool(PaletteGroups[static_cast<std::size_t>(FillGroupIndex)].FirstEntry), &FillSolidTool);
  // The tool buttons are one radio group, the grid a toggle of its own, clearing stays up.
  EXPECT_EQ(Button(PenGroup)->GetGroupIndex(), 1);
  EXPECT_EQ(Button(GridGroup)->GetGroupIndex(), 2);
  EXPECT_EQ(Button(ClearGroup)->GetGroupIndex(), 0);
  // The palette is two buttons wide and the swatches sit below its rows.
  EXPECT_EQ(form->ToolPanel->GetWidth(), 2 * w + 8);
  const TPoint panel = form->ToolPanel->ClientToScreen(TPoint(0, 0));
  const TPoint first = Button(0)->ClientToScreen(TPoint(0, 0));
  const TPoint back = form->BackCol->ClientToScreen(TPoint(0, 0));
  EXPECT_EQ(back.y - first.y, 9 * (h + 4) + 2);
  EXPECT_EQ(back.x, panel.x);
  EXPECT_EQ(form->BackCol->GetWidth(), 2 * w + 8);
  EXPECT_EQ(form->DrawCol->GetWidth(), w + 4);
  const TPoint draw = form->DrawCol->ClientToScreen(TPoint(0, 0));
  EXPECT_EQ(draw.x - back.x, (2 * w + 8 - (w + 4)) / 2) << "centred on the background swatch";
  // The zoom control heads the palette, inside it.
  EXPECT_GE(form->Zoom->ClientToScreen(TPoint(0, 0)).y, panel.y);
  EXPECT_LE(form->Zoom->ClientToScreen(TPoint(0, form->Zoom->GetHeight())).y, first.y);
  EXPECT_LE(form->Zoom->ClientToScreen(TPoint(form->Zoom->GetWidth(), 0)).x, panel.x + form->ToolPanel->GetWidth());
  EXPECT_GE(form->ToolPanel->GetHeight(), back.y - panel.y + form->BackCol->GetHeight());
}

TEST_F(ToolPaletteTest, TheProgramsOwnSkinGivesTwentyPixelGlyphs) {
  if (!std::filesystem::exists(std::string(QUILLO_BIN_DIR) + "/Skins/Standard Shaded.skn"))
    GTEST_SKIP() << "the default skin is not built";
  Start();
  for (int g = 0; g < 17; ++g) {
    EXPECT_EQ(Button(g)->GetWidth(), 24) << g;
    EXPECT_EQ(Button(g)->GetGlyph()->GetWidth(), 20) << g;
  }
  // The whole palette shows on the screen.
  const TRect palette = form->Toolbar->ScreenRect();
  EXPECT_LE(palette.bottom, WorkArea.bottom);
  const POINT zoom = CentreOf(form->Zoom);
  EXPECT_LT(zoom.y, palette.bottom);
}

TEST_F(ToolPaletteTest, EachHintIsTheToolsTextAndItsHotKey) {
  Start();
  const struct {
    const char* key;
    const char* hotKey;
  } hints[] = {{"BrushPanelIcon", ""},       {"ContFhandIcon", " (P)"},   {"SingleLineIcon", " (L)"},
               {"SingleCurveIcon", " (U)"},  {"BoxRectfIcon", " (R)"},    {"CircleIcon", " (C)"},
               {"ShapefIcon", " (D)"},       {"SprayIcon", " (S)"},       {"SolidFillIcon", " (F)"},
               {"TextIcon", " (T)"},         {"CutRectIcon", " (B)"},     {"CloneIcon", " (O)"},
               {"GetColIcon", " (G)"},       {"ChangeColIcon", " (H)"},   {"GridIcon", " (Shift+3)"},
               {"MoveSelIcon", " (V)"},      {"ClrImageIcon", " (Shift+Ctrl+C)"}};
  ASSERT_EQ(PaletteGroups.size(), std::size(hints));
  for (std::size_t g = 0; g < std::size(hints); ++g)
    EXPECT_EQ(Button(static_cast<int>(g))->GetHint(), LangMessage(hints[g].key) + hints[g].hotKey) << g;
  EXPECT_EQ(Button(ClearGroup)->GetHint(), "Clear Image (Shift+Ctrl+C)");
  EXPECT_EQ(Button(PenGroup)->GetHint(), "Continuous Pen (P)");
}

TEST_F(ToolPaletteTest, HotKeyTextPutsAltShiftCtrlBeforeTheKey) {
  Start();
  const struct {
    int code;
    const char* text;
  } cases[] = {{0, "Pen"},
               {'P', "Pen (P)"},
               {0x133, "Pen (Shift+3)"},
               {0x343, "Pen (Shift+Ctrl+C)"},
               {0x741, "Pen (Alt+Shift+Ctrl+A)"},
               {0x430, "Pen (Alt+0)"}};
  for (const auto& c : cases) {
    AnsiString text = "Pen";
    HotKeyText(text, c.code);
    EXPECT_EQ(text, c.text) << std::hex << c.code;
  }
}

TEST_F(ToolPaletteTest, AToolWithoutHotKeyGetsAHintWithoutParenthesis) {
  Start();
  FixtureTools[0].Key = "SingleLineIcon";
  const int g = RegisterToolIcon(SkinGlyph::Line, &FixtureTools[0], 0, 1, nullptr, 4);
  EXPECT_EQ(g, 17);
  EXPECT_EQ(Button(g)->GetHint(), LangMessage("SingleLineIcon"));
  EXPECT_EQ(FixtureTools[0].GroupButton, Button(g));
}

TEST_F(ToolPaletteTest, AGroupTakesThirtyTwoToolsAndIgnoresTheThirtyThird) {
  Start();
  const std::size_t entriesBefore = PaletteEntries.size();
  const int g = RegisterToolIcon(SkinGlyph::Line, &FixtureTools[0], 'K', 1, nullptr, 4);
  for (int i = 1; i < 33; ++i)
    EXPECT_EQ(RegisterToolIcon(SkinGlyph::Line, &FixtureTools[i], 0, 0, nullptr, 0), g) << i;
  EXPECT_EQ(Group(g).EntryCount, MaxGroupEntries);
  EXPECT_EQ(PaletteEntries.size(), entriesBefore + MaxGroupEntries);
  EXPECT_EQ(FixtureTools[31].GroupButton, Button(g));
  EXPECT_EQ(FixtureTools[32].GroupButton, nullptr);
  // The next group opens after it as usual.
  EXPECT_EQ(RegisterToolIcon(SkinGlyph::Line, &FixtureTools[33], 0, 1, nullptr, 4), g + 1);
}

TEST_F(ToolPaletteTest, AClickSelectsTheGroupsShownTool) {
  StartWithTinySkin();
  SelectTool(&LineTool, true, -1);
  EXPECT_FALSE(Button(PenGroup)->GetDown());
  ClickOn(Button(PenGroup));
  EXPECT_EQ(CurrentTool, &PenContTool);
  EXPECT_TRUE(Button(PenGroup)->GetDown());
  EXPECT_FALSE(IconPanelOpen) << "a short click opens no panel";
  // Clicking it again keeps the pen and the button down.
  ClickOn(Button(PenGroup));
  EXPECT_EQ(CurrentTool, &PenContTool);
  EXPECT_TRUE(Button(PenGroup)->GetDown());
}

TEST_F(ToolPaletteTest, AHeldButtonOpensThePanelBesideItInTheGroupsColumns) {
  StartWithTinySkin();
  const int w = 6, h = 5;
  const POINT p = CentreOf(Button(PenGroup));
  ui.MoveTo(p.x, p.y);
  ui.MouseDown(p.x, p.y);
  ui.Advance(400);
  EXPECT_FALSE(IconPanelOpen) << "not yet";
  ui.Advance(100);
  EXPECT_TRUE(PanelShowing());
  ui.MouseUp(p.x, p.y);
  ui.RunUntilIdle();
  ASSERT_TRUE(PanelShowing()) << "letting go keeps the panel";
  EXPECT_EQ(CurrentTool, &PenContTool);
  EXPECT_EQ(IconPanel->GetTag(), PenGroup);
  // Three pens in a group of four columns: one row of three.
  const TPoint corner = Button(PenGroup)->ClientToScreen(TPoint(0, 0));
  const TRect r = PanelRect();
  EXPECT_EQ(r.left, corner.x + w);
  EXPECT_EQ(r.top, corner.y);
  EXPECT_EQ(r.Width(), 3 * (w + 4) + 4);
  EXPECT_EQ(r.Height(), h + 8);
  const char* keys[] = {"ContFhandIcon", "DotFhandIcon", "SingleFhandIcon"};
  const int glyphs[] = {SkinGlyph::ContinuousPen, SkinGlyph::DottedFreehand, SkinGlyph::SingleStroke};
  for (int i = 0; i < IconPanelButtonCount; ++i) {
    tbx::TToolbarButtonX* b = IconPanelButtons[i];
    ASSERT_NE(b, nullptr);
    if (i >= 3) {
      EXPECT_FALSE(b->GetVisible()) << i;
      continue;
    }
    EXPECT_TRUE(b->GetVisible()) << i;
    EXPECT_TRUE(b->GetEnabled()) << i;
    EXPECT_EQ(b->GetLeft(), i * (w + 4) + 2);
    EXPECT_EQ(b->GetTop(), 2);
    EXPECT_EQ(b->GetHint(), LangMessage(keys[i]));
    EXPECT_EQ(b->GetGlyph()->GetCanvas()->GetPixel(0, 1), AsColour(SkinFixture::IconColour(glyphs[i])));
  }
}

TEST_F(ToolPaletteTest, APanelLaysItsVariantsOutInRowsOfTheGroupsColumns) {
  StartWithTinySkin();
  const int w = 6, h = 5;
  const int g = RegisterToolIcon(SkinGlyph::Line, &FixtureTools[0], 0, 1, nullptr, 4);
  for (int i = 1; i < 6; ++i) RegisterToolIcon(SkinGlyph::Line, &FixtureTools[i], 0, 0, nullptr, 0);
  const struct {
    int group, count, columns, rows;
  } cases[] = {{SprayGroup, 2, 2, 1}, {SelectionGroup, 5, 5, 1}, {g, 6, 4, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE("group " + std::to_string(c.group));
    OpenPanelOf(c.group);
    ASSERT_TRUE(PanelShowing());
    EXPECT_EQ(PanelRect().Width(), c.columns * (w + 4) + 4);
    EXPECT_EQ(PanelRect().Height(), c.rows * (h + 4) + 4);
    for (int i = 0; i < c.count; ++i) {
      EXPECT_TRUE(IconPanelButtons[i]->GetVisible());
      EXPECT_EQ(IconPanelButtons[i]->GetLeft(), (i % c.columns) * (w + 4) + 2) << i;
      EXPECT_EQ(IconPanelButtons[i]->GetTop(), (i / c.columns) * (h + 4) + 2) << i;
      // The fixture's own tools are no tools of the program and cannot be chosen.
      EXPECT_EQ(IconPanelButtons[i]->GetEnabled(), c.group != g) << i;
    }
    EXPECT_FALSE(IconPanelButtons[c.count]->GetVisible());
    // A disabled variant does nothing when clicked.
    if (c.group == g) {
      ClickOn(IconPanelButtons[1]);
      EXPECT_EQ(CurrentTool, &PenContTool);
    }
    form->ClosePopupForms();
    ui.RunUntilIdle();
    EXPECT_FALSE(IconPanelOpen);
  }
}

TEST_F(ToolPaletteTest, TheThirdVariantChosenInThePanelIsTheGroupsToolFromThenOn) {
  StartWithTinySkin();
  const int w = 6, h = 5;
  Hold(PenGroup);
  ASSERT_TRUE(PanelShowing());
  ClickOn(IconPanelButtons[2]);
  EXPECT_EQ(CurrentTool, &PenOneTool);
  EXPECT_FALSE(IconPanelOpen) << "choosing closes the panel";
  ui.RunUntilIdle();
  EXPECT_EQ(IconPanel, nullptr) << "and frees it";
  EXPECT_EQ(Group(PenGroup).SelectedEntry, Group(PenGroup).FirstEntry + 2);
  // The button shows the single pen, with the variant mark, and its hint.
  TCanvas* glyph = Button(PenGroup)->GetGlyph()->GetCanvas();
  EXPECT_EQ(glyph->GetPixel(0, 1), AsColour(SkinFixture::IconColour(SkinGlyph::SingleStroke)));
  EXPECT_EQ(glyph->GetPixel(w - 1, h - 1), ColorToRGB(cl3DDkShadow));
  EXPECT_EQ(glyph->GetPixel(w - 3, h - 1), ColorToRGB(cl3DDkShadow));
  EXPECT_EQ(glyph->GetPixel(w - 1, h - 3), ColorToRGB(cl3DDkShadow));
  EXPECT_EQ(Button(PenGroup)->GetHint(), LangMessage("SingleFhandIcon") + " (P)");
  EXPECT_TRUE(Button(PenGroup)->GetDown());
  // Another tool, then a click on the pens' button: the single pen again.
  SelectTool(&LineTool, true, -1);
  ClickOn(Button(PenGroup));
  EXPECT_EQ(CurrentTool, &PenOneTool);
  // A new skin keeps the choice on the button.
  Skins->Choose("Tiny", nullptr);
  EXPECT_EQ(Button(PenGroup)->GetGlyph()->GetCanvas()->GetPixel(0, 1),
            AsColour(SkinFixture::IconColour(SkinGlyph::SingleStroke)));
}

TEST_F(ToolPaletteTest, EscOrAClickElsewhereClosesThePanelAndLeavesTheTool) {
  StartWithTinySkin();
  for (const bool esc : {true, false}) {
    SCOPED_TRACE(esc ? "Esc" : "a click elsewhere");
    Hold(PenGroup);
    ASSERT_TRUE(PanelShowing());
    const int selected = Group(PenGroup).SelectedEntry;
    if (esc) {
      ui.Press(VK_ESCAPE);
    } else {
      // On the main window's caption bar, away from its menu and buttons.
      RECT main{};
      GetWindowRect(form->GetHandle(), &main);
      ui.Click(main.right - 200, main.top + 4);
    }
    ui.RunUntilIdle();
    EXPECT_FALSE(IconPanelOpen);
    EXPECT_EQ(IconPanel, nullptr);
    EXPECT_EQ(CurrentTool, &PenContTool);
    EXPECT_EQ(Group(PenGroup).SelectedEntry, selected);
  }
}

TEST_F(ToolPaletteTest, PCyclesThroughThePensWhileAPenIsCurrentAndIdle) {
  StartWithTinySkin();
  ASSERT_EQ(CurrentTool, &PenContTool);
  for (P_icon* next : {static_cast<P_icon*>(&PenDiscTool), static_cast<P_icon*>(&PenOneTool),
                       static_cast<P_icon*>(&PenContTool), static_cast<P_icon*>(&PenDiscTool)}) {
    KeyToDocument('P');
    EXPECT_EQ(CurrentTool, next);
    EXPECT_EQ(Tool(Group(PenGroup).SelectedEntry), next);
  }
  // From another tool, P gives the pen the group shows, without moving on.
  SelectTool(&LineTool, true, -1);
  KeyToDocument('P');
  EXPECT_EQ(CurrentTool, &PenDiscTool);
  // In the middle of an operation the current pen stays the one chosen.
  ToolPhase = 1;
  EXPECT_TRUE(PaletteHotKey('P'));
  EXPECT_EQ(CurrentTool, &PenDiscTool);
  EXPECT_EQ(ToolPhase, 0u);
}

TEST_F(ToolPaletteTest, TheGridButtonTogglesSnappingWithoutChangingTheTool) {
  StartWithTinySkin();
  GridDx = GridDy = 10;
  GridPx = GridPy = 0;
  auto snapped = [] {
    Pair<int> p(13, 17);
    SnapToGrid(p);
    return p;
  };
  EXPECT_EQ(snapped(), Pair<int>(13, 17));
  // By its hot key, then by a click on its button, on and off each.
  for (const bool byKey : {true, false}) {
    SCOPED_TRACE(byKey ? "Shift+3" : "click");
    for (const bool on : {true, false}) {
      if (byKey) KeyToDocument('3', true);
      else ClickOn(Button(GridGroup));
      EXPECT_EQ(GridIsOn(), on);
      EXPECT_EQ(Button(GridGroup)->GetDown(), on);
      EXPECT_EQ(snapped(), on ? Pair<int>(10, 20) : Pair<int>(13, 17));
      EXPECT_EQ(CurrentTool, &PenContTool);
      EXPECT_TRUE(Button(PenGroup)->GetDown()) << "the pens stay down beside it";
    }
  }
  GridDx = GridDy = DefaultGridStep;
}

TEST_F(ToolPaletteTest, EveryGroupCanBeChosenButToolsWithoutAnEntryCannot) {
  StartWithTinySkin();
  for (int g = 0; g < 17; ++g) EXPECT_TRUE(Button(g)->GetEnabled()) << "group " << g;
  for (const P_icon* tool : std::initializer_list<const P_icon*>{&PenOneTool, &MoveTool, &TextTool, &ShowBrushPanelTool,
                                                                 &CloneTool, &GetColTool, &ChColTool, &SprayTool,
                                                                 &AirbrushTool})
    EXPECT_TRUE(ToolCanBeChosen(tool)) << tool->Key;
  // The radius tool is reached only from the spray's bar.
  EXPECT_FALSE(ToolCanBeChosen(&ResizeSprayTool));
  EXPECT_FALSE(ToolCanBeChosen(nullptr));
  // Their hot keys choose them.
  ASSERT_NE(ImageForm, nullptr);
  const struct {
    int vk;
    P_icon* tool;
  } keys[] = {{'S', &SprayTool}, {'T', &TextTool}};
  for (const auto& k : keys) {
    KeyToDocument(k.vk);
    EXPECT_EQ(CurrentTool, k.tool) << static_cast<char>(k.vk);
  }
}

TEST_F(ToolPaletteTest, ThePanelStaysInsideTheWorkAreaNearItsBottomRight) {
  StartWithTinySkin();
  const int w = 6, h = 5;
  const TPoint corner = Button(PenGroup)->ClientToScreen(TPoint(0, 0));
  const int panelWidth = 3 * (w + 4) + 4, panelHeight = h + 8;
  // The work area ends a little short of where the panel would reach beside the button, and
  // just below the button's top.
  NarrowWorkArea(TRect(0, 0, corner.x + w + panelWidth - 5, corner.y + 6));
  Hold(PenGroup);
  ASSERT_TRUE(PanelShowing());
  TRect r = PanelRect();
  EXPECT_GE(r.left, WorkArea.left);
  EXPECT_LE(r.right, WorkArea.right);
  EXPECT_GE(r.top, WorkArea.top);
  EXPECT_LE(r.bottom, WorkArea.bottom);
  EXPECT_EQ(r.Height(), panelHeight);
  EXPECT_EQ(r.Width(), panelWidth);
  EXPECT_EQ(r.bottom, WorkArea.bottom) << "moved up just enough";
  EXPECT_EQ(r.right, WorkArea.right) << "moved left just enough";
  // Its last variant can be reached.
  ClickOn(IconPanelButtons[2]);
  EXPECT_EQ(CurrentTool, &PenOneTool);

  // A tall panel of a group of 32 near the bottom of the real work area.
  WorkArea = savedWorkArea;
  workAreaChanged = false;
  const int g = RegisterToolIcon(SkinGlyph::Line, &FixtureTools[0], 0, 1, nullptr, 4);
  for (int i = 1; i < 32; ++i) RegisterToolIcon(SkinGlyph::Line, &FixtureTools[i], 0, 0, nullptr, 0);
  const TRect palette = form->Toolbar->ScreenRect();
  form->Toolbar->MoveFloatingTo(TPoint(WorkArea.right - palette.Width(), WorkArea.bottom - palette.Height()));
  ui.RunUntilIdle();
  OpenPanelOf(g);
  ASSERT_TRUE(PanelShowing());
  r = PanelRect();
  EXPECT_EQ(r.Height(), 8 * (h + 4) + 4);
  EXPECT_GE(r.left, WorkArea.left);
  EXPECT_LE(r.right, WorkArea.right);
  EXPECT_GE(r.top, WorkArea.top);
  EXPECT_LE(r.bottom, WorkArea.bottom);
}

}  // namespace

// A short picture's window still shows the whole docked palette: the zoom control, every
// button and the swatches can be reached.
TEST_F(ToolPaletteTest, AShortPicturesWindowGrowsToShowTheDockedPalette) {
  Settings.FixZoom = true;
  const std::string strip = WriteImage("strip.png", 400, 40, 0x336699);
  Start({strip});
  ASSERT_EQ(ImgFormCount, 1);
  ASSERT_GT(ImageForm->LeftDock->ToolbarCount(), 0) << "the palette is docked in the document window";
  RECT client{};
  GetClientRect(ImageForm->GetHandle(), &client);
  POINT corner{client.right, client.bottom};
  ClientToScreen(ImageForm->GetHandle(), &corner);
  for (TControl* part : std::initializer_list<TControl*>{form->Zoom, form->DrawCol, form->BackCol}) {
    const TPoint bottom = part->ClientToScreen(TPoint(0, part->GetHeight()));
    EXPECT_LE(bottom.y, corner.y) << part->GetName() << " lies inside the window";
  }
  EXPECT_EQ(ImageForm->ZoomIndex, 1) << "the picture keeps its zoom; the view is centred in the room";
}
