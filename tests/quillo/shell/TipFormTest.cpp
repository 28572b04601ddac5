// The tip of the day as a user meets it: at start and from Help, one tip a time from the tip
// file beside the program, the next one on Next Tip and on the next showing, wrapped in its
// box; the Help button for a tip with a help topic; "NoTOD" when the file is missing; the
// window's place kept for the run and the "show at start" choice kept in the settings.

#include "ProgramFixture.h"

#include <filesystem>
#include <fstream>

#include "platform/vcl/Application.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/Settings.h"
#include "quillo/shell/StartUp.h"
#include "quillo/shell/TipFile.h"
#include "quillo/shell/TipForm.h"
#include "quillo/tools/ToolForm.h"

namespace {

class TipFormTest : public ProgramTest {
protected:
  TipFormTest() { ForgetTipFormPlace(); }
  ~TipFormTest() override {
    ForgetTipFormPlace();
    Application()->OnHelp = nullptr;
  }

  // After start-up the program folder becomes a folder of the test's own, which holds this
  // tip file (none when the text is null); the language stays loaded.
  void UseTips(const char* text) {
    const std::string folder = home.Path() + "/program/";
    std::filesystem::create_directories(folder);
    if (text) home.WriteFile("program/tips.txt", text);
    SetProgramFolder(folder);
  }
  static TTipForm* ShownTips() {
    for (int i = 0; i < Screen()->FormCount(); ++i)
      if (auto* tips = dynamic_cast<TTipForm*>(Screen()->Forms(i)); tips && tips->GetVisible()) return tips;
    return nullptr;
  }
  static std::string Shown() { return ShownTips() ? std::string(ShownTips()->TipText->GetCaption()) : "<no tip window>"; }
  // Help > Tip of the Day; then each step runs in turn while the window waits for the user
  // (the last one should close it).
  void ShowTips(std::vector<std::function<void()>> steps) {
    ChooseMenuItem("&Help", "&Tip of the Day...", std::move(steps));
    EXPECT_EQ(ShownTips(), nullptr) << "the tip window has closed";
  }
  void Press(TButton* button) {
    const POINT at = UiDriver::At(button->GetHandle(), button->GetWidth() / 2, button->GetHeight() / 2);
    ui.QueueClick(at.x, at.y);
  }
  std::function<void()> PressNext() {
    return [this] { Press(ShownTips()->NextTipBtn); };
  }
  std::function<void()> PressClose() {
    return [this] { Press(ShownTips()->CloseBtn); };
  }
  std::function<void()> Expect(std::string text) {
    return [text] { EXPECT_EQ(Shown(), text); };
  }
};

TEST(TipFile, ReadsTheTipOfTheIndexAndWrapsAtTheEnd) {
  TempHome folder;
  const std::string tips = folder.WriteFile("tips.txt", "0,first\r\n112,second, with a comma\n7 no comma here\n -3 ,fourth\n");
  const struct {
    int index;
    int helpContext;
    const char* text;
    int next;
  } cases[] = {
      {0, 0, "first", 1},
      {1, 112, "second, with a comma", 2},
      {2, -3, "fourth", 4},  // a line without a tip is passed over
      {3, -3, "fourth", 4},
      {4, 0, "first", 1},  // the index equal to the number of lines: the first tip again
      {57, 0, "first", 1},
      {-1, 0, "first", 1},
      {-2147483647 - 1, 0, "first", 1},
      {2147483647, 0, "first", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.index);
    const TipReading tip = ReadTip(tips, c.index);
    EXPECT_TRUE(tip.opened);
    EXPECT_EQ(tip.helpContext, c.helpContext);
    EXPECT_EQ(tip.text, c.text);
    EXPECT_EQ(tip.nextIndex, c.next);
  }
}

TEST(TipFile, OddFilesGiveAnEmptyTipOrNone) {
  TempHome folder;
  EXPECT_FALSE(ReadTip(folder.Path() + "/missing.txt", 0).opened);
  EXPECT_FALSE(ReadTip(folder.Path(), 0).opened) << "a folder is no tip file";
  const std::pair<const char*, std::string> withoutTips[] = {
      {"empty", ""},
      {"blank lines", "\r\n\n  \n"},
      {"no commas", "first\nsecond\n"},
      {"nothing after the commas", "12,\n13,  \t\r\n"},
      {"bytes that are no text", std::string("\x07,\xff\xfe\x80\x81\n\x01\x02,\xc3\x28\n", 13)},
  };
  for (const auto& [what, text] : withoutTips) {
    const TipReading none = ReadTip(folder.WriteFile("none.txt", text), 3);
    EXPECT_TRUE(none.opened) << what;
    EXPECT_EQ(none.text, "") << what;
    EXPECT_EQ(none.helpContext, 0) << what;
    EXPECT_EQ(none.nextIndex, 0) << what;
  }
  const TipReading huge = ReadTip(folder.WriteFile("huge.txt", "99999999999999999999," + std::string(5000, 'x') + "\n"), 0);
  EXPECT_EQ(huge.helpContext, 0) << "a number that does not fit names no topic";
  EXPECT_EQ(huge.text.size(), static_cast<std::size_t>(TipLineLimit));
  const TipReading binary = ReadTip(folder.WriteFile("binary.txt", std::string("12,a\0b\n", 7)), 0);
  EXPECT_EQ(binary.helpContext, 12);
}

TEST_F(TipFormTest, HelpTipOfTheDayShowsTheNextTipOfTheShippedFile) {
  Start();
  std::ifstream shipped(TipFilePath());
  ASSERT_TRUE(shipped) << TipFilePath();
  std::vector<std::string> texts;
  for (std::string line; std::getline(shipped, line);) {
    ASSERT_NE(line.find(','), std::string::npos) << line;
    texts.push_back(line.substr(line.find(',') + 1));
  }
  ASSERT_GE(texts.size(), 10u);
  Settings.TODIndex = 2;
  ShowTips({Expect(texts[2]), PressNext(), Expect(texts[3]), PressClose()});
  EXPECT_EQ(Settings.TODIndex, 4);
  ShowTips({Expect(texts[4]), [this] { ui.QueuePress(VK_ESCAPE); }});
  EXPECT_EQ(Settings.TODIndex, 5);
}

TEST_F(TipFormTest, TheTipAfterTheLastIsTheFirst) {
  Start();
  UseTips("0,one\n0,two\n0,three\n");
  Settings.TODIndex = 3;
  ShowTips({Expect("one"), PressNext(), Expect("two"), PressNext(), Expect("three"), PressNext(), Expect("one"),
            PressClose()});
  EXPECT_EQ(Settings.TODIndex, 1);
}

TEST_F(TipFormTest, TheHelpButtonOpensTheTipsTopicAndOnlyWhenItHasOne) {
  Start();
  UseTips("0,no topic\n112,topic 112\n");
  std::vector<int> topics;
  Application()->OnHelp = [&topics](int context) {
    topics.push_back(context);
    return true;
  };
  ShowTips({[] { EXPECT_FALSE(ShownTips()->HelpBtn->GetEnabled()); }, PressNext(),
            [] {
              EXPECT_TRUE(ShownTips()->HelpBtn->GetEnabled());
              EXPECT_EQ(ShownTips()->GetHelpContext(), 112);
            },
            [this] { Press(ShownTips()->HelpBtn); }, PressClose()});
  EXPECT_EQ(topics, std::vector<int>{112});
}

TEST_F(TipFormTest, AMissingTipFileIsReportedAndChangesNothing) {
  Start();
  UseTips(nullptr);
  Settings.TODIndex = 5;
  std::vector<std::pair<std::string, std::string>> boxes;
  ui.OnMessageBox([&boxes](const std::string& text, const std::string& caption, UINT) {
    boxes.emplace_back(text, caption);
    return IDOK;
  });
  ShowTips({Expect(""), [] { EXPECT_FALSE(ShownTips()->HelpBtn->GetEnabled()); }, PressNext(), Expect(""),
            PressClose()});
  ASSERT_EQ(boxes.size(), 2u) << "once on opening, once for Next Tip";
  EXPECT_EQ(boxes[0].first, "The file of tips cannot be found.");
  EXPECT_EQ(boxes[0].second, "Error");
  EXPECT_EQ(Settings.TODIndex, 5);
}

// A tip file without a tip in it says that there are none, rather than show a blank tip.
TEST_F(TipFormTest, ATipFileWithoutTipsSaysThereAreNone) {
  const std::pair<const char*, std::string> files[] = {
      {"empty", ""}, {"garbage", std::string("\x89\xfe,\xff\x00\x13\n\x02\x81\x92,\xe0\x80\n", 14)}};
  Start();
  for (const auto& [what, text] : files) {
    SCOPED_TRACE(what);
    UseTips(text.c_str());
    home.WriteFile("program/tips.txt", text);
    const std::size_t before = ui.MessageBoxTexts().size();
    ShowTips({PressClose()});
    ASSERT_EQ(ui.MessageBoxTexts().size(), before + 1);
    EXPECT_EQ(ui.MessageBoxTexts().back(), "There are no tips: the file of tips holds none.");
  }
}

// A long tip wraps inside its box: text on several lines, none beyond the box's right edge.
TEST_F(TipFormTest, ALongTipWrapsInsideItsBox) {
  Start();
  UseTips("0,Wrapping words keep the tip inside its white box however long it grows, line after line after line.\n");
  ShowTips({[this] {
              TLabel* text = ShownTips()->TipText;
              RECT box{};
              const POINT topLeft = UiDriver::At(text->GetParent()->GetHandle(), text->GetLeft(), text->GetTop());
              box = RECT{topLeft.x, topLeft.y, topLeft.x + text->GetWidth(), topLeft.y + text->GetHeight()};
              auto inked = [this](int y, int from, int to) {
                for (int x = from; x < to; ++x)
                  if (ui.Pixel(x, y) != 0xFFFFFF) return true;
                return false;
              };
              int lines = 0;
              bool inLine = false;
              for (int y = box.top; y < box.bottom; ++y) {
                const bool ink = inked(y, box.left, box.right);
                if (ink && !inLine) ++lines;
                inLine = ink;
              }
              EXPECT_GE(lines, 3) << "the tip runs over several lines";
              const POINT panelRight = UiDriver::At(text->GetParent()->GetHandle(), text->GetParent()->GetWidth() - 3, 0);
              for (int y = box.top; y < box.bottom; ++y) EXPECT_FALSE(inked(y, box.right, panelRight.x)) << y;
            },
            PressClose()});
}

TEST_F(TipFormTest, TheWindowIsCentredFirstAndThenReopensWhereItWasLeft) {
  Start();
  RECT first{};
  ShowTips({[&] {
              GetWindowRect(ShownTips()->GetHandle(), &first);
              ShownTips()->SetBounds(100, 120, ShownTips()->GetWidth(), ShownTips()->GetHeight());
            },
            PressClose()});
  EXPECT_EQ(first.left, (WorkArea.Width() - (first.right - first.left)) / 2);
  EXPECT_EQ(first.top, (WorkArea.Height() - (first.bottom - first.top)) / 2);
  ShowTips({[] {
              RECT r{};
              GetWindowRect(ShownTips()->GetHandle(), &r);
              EXPECT_EQ(r.left, 100);
              EXPECT_EQ(r.top, 120);
              RECT client{};
              GetClientRect(ShownTips()->GetHandle(), &client);
              EXPECT_EQ(client.right, 362);
              EXPECT_EQ(client.bottom, 237);
            },
            PressClose()});
}

TEST_F(TipFormTest, TheShowAtStartChoiceGoesIntoTheSettings) {
  Start();
  ASSERT_TRUE(Settings.ShowTOD);
  ShowTips({[this] {
              TCheckBox* box = ShownTips()->ShowTipsCB;
              EXPECT_TRUE(box->GetChecked());
              const POINT at = UiDriver::At(box->GetHandle(), 6, box->GetHeight() / 2);
              ui.QueueClick(at.x, at.y);
            },
            [] { EXPECT_FALSE(ShownTips()->ShowTipsCB->GetChecked()); }, PressClose()});
  EXPECT_FALSE(Settings.ShowTOD);
  ShowTips({[] { EXPECT_FALSE(ShownTips()->ShowTipsCB->GetChecked()); }, PressClose()});
  EXPECT_FALSE(Settings.ShowTOD);
}

TEST_F(TipFormTest, TheTipShowsOnceTheProgramHasStarted) {
  showStartTip = true;
  Settings.TODIndex = 0;
  bool shownAtStart = false;
  ui.WhenModalWaits([&] {
    TTipForm* tips = ShownTips();
    ASSERT_NE(tips, nullptr);
    shownAtStart = true;
    EXPECT_TRUE(IsWindowVisible(form->GetHandle())) << "the main window shows first";
    EXPECT_FALSE(tips->TipText->GetCaption().empty());
    ui.QueuePress(VK_ESCAPE);
  });
  Start();
  EXPECT_TRUE(shownAtStart);
  EXPECT_EQ(ShownTips(), nullptr);
}

TEST_F(TipFormTest, TheTipAtStartOpensAboveTheToolsWindow) {
  showStartTip = true;
  Settings.PaletteVisible = true;
  bool above = false, toolsShown = false;
  ui.WhenModalWaits([&] {
    TTipForm* tips = ShownTips();
    ASSERT_NE(tips, nullptr);
    toolsShown = IsWindowVisible(ToolForm->GetHandle()) != FALSE;
    // Put where they overlap, the tip is the one seen.
    RECT t{};
    GetWindowRect(ToolForm->GetHandle(), &t);
    SetWindowPos(tips->GetHandle(), nullptr, t.left + 10, t.top + 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    above = GetAncestor(WindowFromPoint(POINT{t.left + 20, t.top + 20}), GA_ROOT) == tips->GetHandle();
    ui.QueuePress(VK_ESCAPE);
  });
  Start();
  EXPECT_TRUE(toolsShown);
  EXPECT_TRUE(above);
  // The tools window stays above the program's other windows afterwards.
  EXPECT_NE(GetWindowLong(ToolForm->GetHandle(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
}

}  // namespace
