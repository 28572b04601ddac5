// Saving and restoring the toolbar layout: through callbacks, an INI file, and the registry
// across a restart of the process.

#include "ToolbarFixture.h"

#include <cstdlib>
#include <fstream>
#include <map>

#include "quillo/components/toolbars/ToolbarPositions.h"
#include "quillo/components/toolbars/ToolbarTexts.h"
#include "support/TempHome.h"

namespace tbx::testing {
namespace {

const char* const LayoutKey = "Software\\Dornick\\QL\\Toolbars";

// A store of (toolbar, value) pairs, as the callbacks see it.
struct Store {
  std::map<std::pair<std::string, std::string>, std::string> values;
  std::vector<std::string> written;  // "Toolbar.Value" in writing order

  std::string Get(const char* toolbar, const char* value) const {
    auto it = values.find({toolbar, value});
    return it == values.end() ? std::string("(none)") : it->second;
  }
  TPositionWriteIntProc WriteInt() {
    return [this](const AnsiString& t, const AnsiString& v, int d) {
      values[{t, v}] = std::to_string(d);
      written.push_back(t + "." + v);
    };
  }
  TPositionWriteStringProc WriteString() {
    return [this](const AnsiString& t, const AnsiString& v, const AnsiString& d) {
      values[{t, v}] = d;
      written.push_back(t + "." + v);
    };
  }
  TPositionReadIntProc ReadInt() {
    return [this](const AnsiString& t, const AnsiString& v, int fallback) {
      auto it = values.find({t, v});
      return it == values.end() ? fallback : std::atoi(it->second.c_str());
    };
  }
  TPositionReadStringProc ReadString() {
    return [this](const AnsiString& t, const AnsiString& v, const AnsiString& fallback) {
      auto it = values.find({t, v});
      return it == values.end() ? fallback : AnsiString(it->second);
    };
  }
};

class ToolbarPositionsTest : public ToolbarUiTest {};

TEST_F(ToolbarPositionsTest, WritesEveryValueInOrder) {
  DemoLayout d = BuildDemoForm();
  d.palette->SetFloatingWidth(60);
  Store store;
  CustomSaveToolbarPositions(d.form, store.WriteInt(), store.WriteString());
  std::vector<std::string> palette;
  for (const std::string& w : store.written)
    if (w.rfind("Palette.", 0) == 0) palette.push_back(w.substr(8));
  EXPECT_EQ(palette, (std::vector<std::string>{"Rev", "Visible", "DockedTo", "LastDock", "DockRow", "DockPos",
                                               "FloatLeft", "FloatTop", "FloatRightX"}));
  EXPECT_EQ(store.Get("Palette", "Rev"), "3");
  EXPECT_EQ(store.Get("Palette", "DockedTo"), "+");
  EXPECT_EQ(store.Get("Palette", "FloatLeft"), "420");
  EXPECT_EQ(store.Get("Palette", "FloatRightX"), "60");
  EXPECT_EQ(store.Get("Tools", "DockedTo"), "TopDock");
  EXPECT_EQ(store.Get("Tools", "DockRow"), "1");
}

TEST_F(ToolbarPositionsTest, AToolbarOnADockThatForbidsDraggingStaysPut) {
  DemoLayout d = BuildDemoForm();
  d.top->SetAllowDrag(false);
  Store store;
  CustomSaveToolbarPositions(d.form, store.WriteInt(), store.WriteString());
  EXPECT_EQ(store.Get("Tools", "DockedTo"), "");
  store.values[{"Tools", "DockRow"}] = "5";
  CustomLoadToolbarPositions(d.form, store.ReadInt(), store.ReadString());
  EXPECT_EQ(d.tools->GetDockedTo(), d.top);
  EXPECT_EQ(d.tools->GetDockRow(), 1);
}

TEST_F(ToolbarPositionsTest, RecordsWithAnUnknownRevisionAreIgnoredWhole) {
  DemoLayout d = BuildDemoForm();
  Store store;
  CustomSaveToolbarPositions(d.form, store.WriteInt(), store.WriteString());
  store.values[{"Tools", "Rev"}] = "4";
  store.values[{"Tools", "Visible"}] = "0";
  store.values[{"Tools", "DockedTo"}] = "+";
  CustomLoadToolbarPositions(d.form, store.ReadInt(), store.ReadString());
  EXPECT_TRUE(d.tools->GetVisible());
  EXPECT_EQ(d.tools->GetDockedTo(), d.top);
}

TEST_F(ToolbarPositionsTest, RevisionTwoIgnoresTheLastDock) {
  for (int rev : {2, 3}) {
    DemoLayout d = BuildDemoForm();
    Store store;
    CustomSaveToolbarPositions(d.form, store.WriteInt(), store.WriteString());
    store.values[{"Palette", "Rev"}] = std::to_string(rev);
    store.values[{"Palette", "LastDock"}] = "RightDock";
    CustomLoadToolbarPositions(d.form, store.ReadInt(), store.ReadString());
    EXPECT_EQ(d.palette->GetLastDock(), rev == 3 ? d.right : nullptr) << "Rev " << rev;
    FreeObject(d.form);
  }
}

TEST_F(ToolbarPositionsTest, AMissingDockLeavesTheToolbarButRestoresItsVisibility) {
  DemoLayout d = BuildDemoForm();
  Store store;
  CustomSaveToolbarPositions(d.form, store.WriteInt(), store.WriteString());
  store.values[{"Tools", "DockedTo"}] = "NoSuchDock";
  store.values[{"Tools", "Visible"}] = "0";
  CustomLoadToolbarPositions(d.form, store.ReadInt(), store.ReadString());
  EXPECT_EQ(d.tools->GetDockedTo(), d.top);
  EXPECT_FALSE(d.tools->GetVisible());
}

TEST_F(ToolbarPositionsTest, SeveralToolbarsRestoredIntoOneDockArrangeItOnceAtTheEnd) {
  DemoLayout d = BuildDemoForm();
  Store store;
  CustomSaveToolbarPositions(d.form, store.WriteInt(), store.WriteString());
  for (const char* name : {"Tools", "Palette"}) {
    store.values[{name, "DockedTo"}] = "LeftDock";
    store.values[{name, "DockRow"}] = "1";
  }
  const int widthBefore = d.left->GetWidth();
  std::vector<int> widthsSeen;
  auto readInt = store.ReadInt();
  CustomLoadToolbarPositions(
      d.form,
      [&](const AnsiString& t, const AnsiString& v, int fallback) {
        widthsSeen.push_back(d.left->GetWidth());
        return readInt(t, v, fallback);
      },
      store.ReadString());
  for (int w : widthsSeen) EXPECT_EQ(w, widthBefore);
  EXPECT_EQ(d.tools->GetDockedTo(), d.left);
  EXPECT_EQ(d.palette->GetDockedTo(), d.left);
  EXPECT_GT(d.left->GetWidth(), widthBefore);  // the new row, laid out at the end
}

TEST_F(ToolbarPositionsTest, NamelessToolWindowsAreRefusedWithTheirOwnWording) {
  DemoLayout d = BuildDemoForm();
  auto* nameless = AddToolbar(d.form, "X", "X", 1);
  nameless->SetName("");
  nameless->SetDockedTo(d.bottom);
  Store store;
  try {
    CustomSaveToolbarPositions(d.form, store.WriteInt(), store.WriteString());
    ADD_FAILURE() << "saved a nameless tool window";
  } catch (const EInvalidOperation& e) {
    EXPECT_STREQ(e.what(), text::ToolwinNameNotSet);
  }
  EXPECT_EQ(store.Get("Standard", "Rev"), "3");  // the ones before it were written
  store.values[{"Tools", "DockedTo"}] = "RightDock";
  try {
    CustomLoadToolbarPositions(d.form, store.ReadInt(), store.ReadString());
    ADD_FAILURE() << "loaded a nameless tool window";
  } catch (const EInvalidOperation& e) {
    // Loading says it was loading.
    EXPECT_STREQ(e.what(), text::ToolwinLoadNameNotSet);
  }
  // The docks' updates were ended: the right dock holds the toolbar, laid out.
  EXPECT_EQ(d.tools->GetDockedTo(), d.right);
  EXPECT_GT(d.right->GetWidth(), 0);
}

TEST_F(ToolbarPositionsTest, DamagedNumbersAreClampedAndTheToolbarsStillShow) {
  DemoLayout d = BuildDemoForm();
  Store store;
  CustomSaveToolbarPositions(d.form, store.WriteInt(), store.WriteString());
  store.values[{"Tools", "DockRow"}] = "2147483647";
  store.values[{"Tools", "DockPos"}] = "2147483647";
  store.values[{"Colours", "DockRow"}] = "-5";
  store.values[{"Palette", "FloatLeft"}] = "-2147483648";
  store.values[{"Palette", "FloatTop"}] = "2147483647";
  store.values[{"Palette", "FloatRightX"}] = "-7";
  CustomLoadToolbarPositions(d.form, store.ReadInt(), store.ReadString());
  ui.RunUntilIdle();
  // The tools toolbar lands on a new last row of the top dock, flush with its far end.
  EXPECT_EQ(d.tools->GetDockedTo(), d.top);
  EXPECT_EQ(d.tools->GetTop(), d.standard->GetHeight());
  EXPECT_EQ(d.tools->GetLeft() + d.tools->GetWidth(), d.top->GetClientWidth());
  EXPECT_EQ(d.colours->GetDockRow(), 0);
  EXPECT_GT(d.colours->GetHeight(), 0);
  // The palette is moved back onto the screen.
  RECT area;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &area, 0);
  TRect r = WindowRect(d.palette);
  EXPECT_GE(r.left, area.left);
  EXPECT_LE(r.bottom, area.bottom);
  EXPECT_EQ(d.palette->GetFloatingWidth(), 0);
}

TEST_F(ToolbarPositionsTest, ADockWithoutANameCannotBeSaved) {
  DemoLayout d = BuildDemoForm();
  d.left->SetName("");
  Store store;
  EXPECT_THROW(CustomSaveToolbarPositions(d.form, store.WriteInt(), store.WriteString()), EInvalidOperation);
}

TEST_F(ToolbarPositionsTest, IniFileRoundTrip) {
  TempHome home;
  const std::string file = home.Path() + "/toolbars.ini";
  std::string expected;
  {
    DemoLayout d = BuildDemoForm();
    d.palette->SetFloatingWidth(60);
    d.tools->SetDockedTo(d.bottom);
    ui.RunUntilIdle();
    expected = DescribeLayout(d);
    IniSaveToolbarPositions(d.form, file, "TB_");
    FreeObject(d.form);
  }
  EXPECT_NE(FileContents(file).find("[TB_Palette]"), std::string::npos);
  DemoLayout d = BuildDemoForm();
  IniLoadToolbarPositions(d.form, file, "TB_");
  ui.RunUntilIdle();
  EXPECT_EQ(DescribeLayout(d), expected);
}

// The rearranged layout the restart test saves: a toolbar on another dock, one floating
// with a wrap width, one hidden.
void Rearrange(DemoLayout& d) {
  d.tools->SetDockRow(1);
  d.tools->SetDockPos(30);
  d.tools->SetDockedTo(d.left);
  d.colours->SetFloatingPosition(TPoint(300, 520));
  d.colours->SetDockedTo(nullptr);
  d.colours->SetFloatingWidth(31);
  d.palette->SetVisible(false);
}

TEST_F(ToolbarPositionsTest, LayoutSavedToTheRegistryComesBackIdenticalAfterARestart) {
  TempHome home;
  DemoLayout d = BuildDemoForm();
  Rearrange(d);
  ui.RunUntilIdle();
  const std::string expected = DescribeLayout(d);
  RegSaveToolbarPositions(d.form, LayoutKey);
  EXPECT_NE(FileContents(home.Path() + "/registry.txt").find("Toolbars"), std::string::npos);

  const std::string out = home.Path() + "/restored.txt";
  char exe[4096] = {};
  ASSERT_GT(readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
  const std::string command = "QUILLO_TOOLBAR_LAYOUT_OUT='" + out + "' '" + exe +
                              "' --gtest_also_run_disabled_tests"
                              " --gtest_filter=ToolbarPositionsTest.DISABLED_ChildProcessRestoresTheSavedLayout > '" +
                              home.Path() + "/child.log' 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << FileContents(home.Path() + "/child.log");
  EXPECT_EQ(FileContents(out), expected);
  // What was restored is the rearranged layout, not the form's own.
  EXPECT_NE(expected.find("Tools: visible, LeftDock row 1"), std::string::npos) << expected;
  EXPECT_NE(expected.find("Palette: hidden"), std::string::npos) << expected;
}

// Run by the test above in a process of its own (disabled, so a normal run leaves it out).
TEST_F(ToolbarPositionsTest, DISABLED_ChildProcessRestoresTheSavedLayout) {
  const char* out = std::getenv("QUILLO_TOOLBAR_LAYOUT_OUT");
  ASSERT_NE(out, nullptr) << "the restart test runs this in a new process";
  DemoLayout d = BuildDemoForm();
  RegLoadToolbarPositions(d.form, LayoutKey);
  ui.RunUntilIdle();
  std::ofstream(out) << DescribeLayout(d);
}

}  // namespace
}  // namespace tbx::testing
