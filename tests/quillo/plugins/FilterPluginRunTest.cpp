// Filter runs through the program as the user makes them: a filter chosen in the "&Adobe"
// submenu changes the active picture as one undo step named by its title, limited to the
// selection; a filter that fails, cancels, crashes, writes outside its buffer or hangs leaves
// every open picture and its undo history as they were, the program answers, and the next
// run works. Each run starts the helper process.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "../document/ClippedViewFixture.h"
#include "../document/DocumentFixture.h"
#include "FilterSamples.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/FloatControl.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/Menus.h"
#include "quillo/base/Language.h"
#include "quillo/base/Settings.h"
#include "quillo/components/panels/FriendlyStatusBar.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/Progress.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/plugins/FilterChildProcess.h"
#include "quillo/plugins/FilterPluginHost.h"
#include "quillo/plugins/FilterPluginList.h"
#include "quillo/plugins/FilterPluginMenu.h"
#include "quillo/plugins/FilterPluginProbe.h"
#include "quillo/plugins/FilterPluginRun.h"
#include "quillo/plugins/FilterSharedPictures.h"
#include "platform/rtl/SysUtils.h"

namespace {

// What must not change when a run fails: the pixels and the undo and redo chains.
struct PictureState {
  explicit PictureState(const UDBuffer& p) : undo(p.UndoChain), redo(p.RedoChain), undoKB(p.UndoMemKB) {
    for (int y = 0; y < p.Height(); ++y)
      for (int x = 0; x < p.Width(); ++x) pixels.push_back(*p.At(x, y));
    for (const UndoEntry* e = p.UndoChain; e != nullptr; e = e->Next) descriptions.push_back(e->Description);
  }
  bool operator==(const PictureState&) const = default;
  std::vector<uint> pixels;
  std::vector<AnsiString> descriptions;
  const UndoEntry* undo;
  const UndoEntry* redo;
  std::int64_t undoKB;
};

class TestColourHost final : public FilterPluginHost {
public:
  std::uint32_t PickColour(std::uint32_t start, const AnsiString& prompt) override {
    starts.push_back(start);
    prompts.push_back(prompt);
    return 0x445566;
  }
  TMenuItem* ImageMenu() override { return MainForm ? MainForm->Image1 : nullptr; }
  std::vector<std::uint32_t> starts;
  std::vector<AnsiString> prompts;
};

class FilterPluginRunTest : public DocumentTest {
protected:
  FilterPluginRunTest() {
    const std::string folder = home.Path() + "/filters";
    CopySamples(folder, {"invert", "tiles", "pimi", "suites", "failing", "cancel", "abort", "crash", "overrun", "loop", "shrink",
                         "killgroup", "forkcrash"});
    Settings.UseAdobe = true;
    Settings.AdobeLoc = folder + "/";
    ScanAdobePlugins();  // as the preferences do when the folder is chosen
    other = NewDocument(20, 10);
    Paint(other->Picture, 7);
    window = NewDocument(64, 48);
    Paint(window->Picture, 0);
  }
  ~FilterPluginRunTest() override {
    Settings.AdobeLoc.clear();
    PluginMenuItem = nullptr;
  }

  static void Paint(UDBuffer& p, int seed) {
    for (int y = 0; y < p.Height(); ++y)
      for (int x = 0; x < p.Width(); ++x)
        *p.At(x, y) = static_cast<uint>((x * 3 + seed) & 0xFF) << 16 | static_cast<uint>(y * 5 & 0xFF) << 8 |
                      static_cast<uint>((x + y) & 0xFF) | 0x01000000u * static_cast<uint>(x & 1);
  }
  static uint Inverted(uint pixel) { return (pixel & 0xFF000000u) | (~pixel & 0x00FFFFFFu); }

  TMenuItem* FilterItem(const std::string& title) const {
    TMenuItem* adobe = PluginMenuItem;
    if (adobe == nullptr) return nullptr;
    for (int i = 0; i < adobe->Count(); ++i)
      for (int j = 0; j < adobe->Items(i)->Count(); ++j)
        if (adobe->Items(i)->Items(j)->GetCaption() == "&" + title) return adobe->Items(i)->Items(j);
    return nullptr;
  }
  void Run(const std::string& title) {
    TMenuItem* item = FilterItem(title);
    ASSERT_NE(item, nullptr) << title;
    item->Click();
    ui.RunUntilIdle();
  }
  POINT CancelButton() const {
    const TRect b = window->CancelProgressBtn->GetBoundsRect();
    return UiDriver::At(window->StatusBar->GetHandle(), (b.left + b.right) / 2, (b.top + b.bottom) / 2);
  }
  std::string Message(const char* key, const std::string& title) const {
    return Format(LangMessage(key).c_str(), title.c_str());
  }

  TImageForm* window = nullptr;
  TImageForm* other = nullptr;
};

TEST_F(FilterPluginRunTest, EachInverterAppliesAsOneUndoStepNamedByItsTitleAndUndoRestores) {
  for (const char* title : {"Invert Colours", "Tile Invert", "PiMI Invert"}) {
    UDBuffer& p = window->Picture;
    const PictureState before(p);
    const std::uint16_t controlWord = GetFPUCW();
    Run(title);
    EXPECT_EQ(GetFPUCW(), controlWord) << "the plug-in's control word stays in its process";
    EXPECT_TRUE(ui.MessageBoxTexts().empty()) << title;
    for (int y = 0; y < p.Height(); ++y)
      for (int x = 0; x < p.Width(); ++x)
        ASSERT_EQ(*p.At(x, y), Inverted(before.pixels[std::size_t(y) * p.Width() + x])) << title << " " << x << "," << y;
    ASSERT_NE(p.UndoChain, nullptr);
    EXPECT_EQ(p.UndoChain->Description, title);
    EXPECT_EQ(p.UndoChain->Next, before.undo) << "one step";
    ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Keep));
    EXPECT_EQ(PictureState(p).pixels, before.pixels) << title;
  }
}

TEST_F(FilterPluginRunTest, AFilterInAFolderWhosePathHoldsHashesRunsAndComesFromTheCacheNextTime) {
  const std::string folder = home.Path() + "/my#plug-ins/#1#";
  CopySamples(folder, {"invert"});
  Settings.AdobeLoc = folder;
  UDBuffer& p = window->Picture;
  for (int scan = 0; scan < 2; ++scan) {
    const std::uint64_t probes = FilterProbeCount();
    ScanAdobePlugins();
    EXPECT_EQ(FilterProbeCount(), probes + (scan == 0 ? 1 : 0)) << "the second scan reads the cache";
    const PictureState before(p);
    Run("Invert Colours");
    EXPECT_TRUE(ui.MessageBoxTexts().empty()) << scan;
    EXPECT_EQ(*p.At(5, 7), Inverted(before.pixels[7 * std::size_t(p.Width()) + 5])) << scan;
    ASSERT_NE(p.UndoChain, nullptr);
    EXPECT_EQ(p.UndoChain->Description, "Invert Colours");
  }
}

TEST_F(FilterPluginRunTest, WithClippingAndNoSelectionOnlyTheVisiblePartIsFiltered) {
  UDBuffer& p = window->Picture;
  const Rect shown = ShowInnerPartClipped(window, ui);
  ASSERT_TRUE(IsInnerPart(shown, p)) << shown.left << "," << shown.top << "-" << shown.right << "," << shown.bottom;
  const PictureState before(p);
  Run("Invert Colours");
  Settings.Clipping = false;
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
  for (int y = 0; y < p.Height(); ++y)
    for (int x = 0; x < p.Width(); ++x) {
      const uint was = before.pixels[std::size_t(y) * p.Width() + x];
      const bool inside = x >= shown.left && x <= shown.right && y >= shown.top && y <= shown.bottom;
      ASSERT_EQ(*p.At(x, y), inside ? Inverted(was) : was) << x << "," << y;
    }
}

TEST_F(FilterPluginRunTest, TheSelectionLimitsTheResult) {
  UDBuffer& p = window->Picture;
  p.SetMaskAll(false);
  p.SetMaskRect(true, Rect(10, 5, 29, 19));
  p.SetMaskPixel(10, 5, false);  // a hole inside the bounds
  p.UpdateSelectionBounds();
  const PictureState before(p);
  Run("Invert Colours");
  for (int y = 0; y < p.Height(); ++y)
    for (int x = 0; x < p.Width(); ++x) {
      const uint old = before.pixels[std::size_t(y) * p.Width() + x];
      const bool selected = x >= 10 && x <= 29 && y >= 5 && y <= 19 && !(x == 10 && y == 5);
      ASSERT_EQ(*p.At(x, y), selected ? Inverted(old) : old) << x << "," << y;
    }
  EXPECT_EQ(p.UndoChain->Left, 10);
  EXPECT_EQ(p.UndoChain->Bottom, 19);
}

TEST_F(FilterPluginRunTest, TheHalfSampleFilterReadsEverySecondPixel) {
  UDBuffer& p = window->Picture;
  const PictureState before(p);
  Run("Half Sample");
  for (auto [x, y] : {std::pair{0, 0}, {5, 7}, {31, 23}}) {
    const uint source = before.pixels[std::size_t(2 * y) * p.Width() + 2 * x];
    EXPECT_EQ(*p.At(x, y) & 0xFFFFFF, source & 0xFFFFFF) << x << "," << y;
  }
  EXPECT_EQ(*p.At(40, 30), before.pixels[30u * p.Width() + 40]);
}

TEST_F(FilterPluginRunTest, APluginsColourRequestOpensTheColourDialogWithItsPrompt) {
  TestColourHost host;
  HostSlot<FilterPluginHost>::Install(&host);
  Run("Suite Fill");
  HostSlot<FilterPluginHost>::Install(nullptr);
  EXPECT_EQ(host.starts, (std::vector<std::uint32_t>{0x112233}));
  EXPECT_EQ(host.prompts, (std::vector<AnsiString>{"Choose"}));
  EXPECT_EQ(*window->Picture.At(0, 0) & 0xFFFFFF, 0x445566u);
  EXPECT_EQ(*window->Picture.At(63, 47) & 0xFFFFFF, 0x445566u);
}

TEST_F(FilterPluginRunTest, TheMainWindowsColourDialogAnswersWithThePromptAsItsCaption) {
  // Waits (while the run waits for the plug-in) until the dialog is the active window, then
  // takes the starting colour with OK.
  std::string caption;
  std::function<void()> answer = [&] {
    char text[128] = {};
    GetWindowText(GetActiveWindow(), text, sizeof text);
    if (std::string(text) != "Choose") {
      ui.WhenModalWaits(answer);
      return;
    }
    caption = text;
    ui.QueuePress(VK_RETURN);
  };
  ui.WhenModalWaits(answer);
  Run("Suite Fill");
  EXPECT_EQ(caption, "Choose");
  EXPECT_EQ(*window->Picture.At(10, 10) & 0xFFFFFF, 0x112233u);
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
}

// A plug-in that kills its process group, or forks and crashes while its child holds the
// socket, reaches neither the program nor the pictures.
TEST_F(FilterPluginRunTest, FailuresCancelsCrashesAndOverrunsChangeNoPicture) {
  struct Case {
    const char* title;
    const char* messageKey;  // none for a cancel
  };
  const Case cases[] = {{"Always Fail", "PlugFailed"}, {"Always Cancel", nullptr}, {"Crash", "PlugCrashed"},
                        {"Overrun", "PlugCrashed"}, {"Kill Group", "PlugCrashed"}, {"Fork Crash", "PlugCrashed"}};
  for (const Case& c : cases) {
    const PictureState before(window->Picture);
    const PictureState otherBefore(other->Picture);
    const std::size_t boxes = ui.MessageBoxTexts().size();
    Run(c.title);
    EXPECT_TRUE(PictureState(window->Picture) == before) << c.title;
    EXPECT_TRUE(PictureState(other->Picture) == otherBefore) << c.title;
    if (c.messageKey == nullptr) {
      EXPECT_EQ(ui.MessageBoxTexts().size(), boxes) << c.title;
    } else {
      ASSERT_EQ(ui.MessageBoxTexts().size(), boxes + 1) << c.title;
      EXPECT_EQ(ui.MessageBoxTexts().back(), Message(c.messageKey, c.title));
    }
  }
  // The program goes on: the next run works.
  const PictureState before(window->Picture);
  Run("Invert Colours");
  EXPECT_EQ(*window->Picture.At(3, 4), Inverted(before.pixels[4u * 64 + 3]));
}

TEST_F(FilterPluginRunTest, TheSharedBlockCannotBeResizedAndIsCheckedBeforeTheResultIsRead) {
  FilterSharedPictures shared;
  ASSERT_TRUE(shared.Create(window->Picture, nullptr));
  struct stat status {};
  ASSERT_EQ(fstat(shared.Descriptor(), &status), 0);
  EXPECT_NE(ftruncate(shared.Descriptor(), 0), 0);
  EXPECT_NE(ftruncate(shared.Descriptor(), status.st_size + 4096), 0);
  EXPECT_TRUE(shared.Intact());
  // A plug-in that tries every descriptor it has: the result is read back whole.
  const PictureState before(window->Picture);
  const PictureState otherBefore(other->Picture);
  Run("Shrink Block");
  EXPECT_EQ(*window->Picture.At(63, 47), Inverted(before.pixels[47u * 64 + 63]));
  EXPECT_TRUE(PictureState(other->Picture) == otherBefore);
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
}

TEST_F(FilterPluginRunTest, AChildThePluginForkedEndsWithTheRun) {
  const std::string pidFile = home.Path() + "/forked.pid";
  setenv("QUILLO_TEST_FORK_FILE", pidFile.c_str(), 1);
  Run("Fork Crash");
  unsetenv("QUILLO_TEST_FORK_FILE");
  ASSERT_EQ(ui.MessageBoxTexts(), (std::vector<std::string>{Message("PlugCrashed", "Fork Crash")}));
  int forked = 0;
  std::ifstream(pidFile) >> forked;
  ASSERT_GT(forked, 0);
  // Killed with its group: gone, or a zombie until whoever adopted it reaps it.
  const std::string stat = "/proc/" + std::to_string(forked) + "/stat";
  auto running = [&stat] {
    std::string line;
    if (!std::getline(std::ifstream(stat), line)) return false;
    const std::size_t close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] != 'Z' && line[close + 2] != 'X';
  };
  for (int look = 0; look < 2000 && running(); ++look) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_FALSE(running());
}

TEST_F(FilterPluginRunTest, AFilterThatAsksIsStoppedByCancel) {
  const PictureState before(window->Picture);
  ui.WhenModalWaits([this] {
    const POINT p = CancelButton();
    ui.QueueClick(p.x, p.y);
  });
  Run("Until Cancel");
  EXPECT_TRUE(PictureState(window->Picture) == before);
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
}

TEST_F(FilterPluginRunTest, AFilterThatHangsIsEndedFiveSecondsAfterCancel) {
  const PictureState before(window->Picture);
  const PictureState otherBefore(other->Picture);
  ui.WhenModalWaits([this] {
    const POINT p = CancelButton();
    ui.QueueClick(p.x, p.y);
  });
  // The clock moves only once the press has reached the program.
  std::function<void()> waitForPress = [&] {
    if (CancelRequested == 0) {
      ui.WhenModalWaits(waitForPress);
      return;
    }
    AdvanceClock(kFilterCancelPatienceMs);
  };
  ui.WhenModalWaits(waitForPress);
  Run("Hang");
  EXPECT_TRUE(PictureState(window->Picture) == before);
  EXPECT_TRUE(PictureState(other->Picture) == otherBefore);
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  EXPECT_EQ(ui.MessageBoxTexts()[0], Message("PlugNoAnswer", "Hang"));
  Run("Invert Colours");
  EXPECT_EQ(*window->Picture.At(0, 0), Inverted(before.pixels[0]));
}

TEST_F(FilterPluginRunTest, AHangingChildIsGivenTheWholePatienceAfterCancel) {
  FilterSharedPictures shared;
  ASSERT_TRUE(shared.Create(window->Picture, nullptr));
  FilterRunOptions options;
  options.identifier = PluginIdentifier(FilterItem("Hang")->GetImageIndex());
  DWORD cancelledAt = 0;
  // The user presses Cancel at once; from then on each turn of the loop is a second later.
  options.answers.pump = [&cancelledAt] {
    if (cancelledAt == 0) {
      cancelledAt = GetTickCount();
    } else {
      AdvanceClock(1000);
    }
    return true;
  };
  const FilterChildResult result = RunAdobePlugin(shared, options);
  EXPECT_EQ(result.outcome, FilterOutcome::Unanswered);
  EXPECT_EQ(GetTickCount() - cancelledAt, kFilterCancelPatienceMs);
}

TEST_F(FilterPluginRunTest, APictureWiderThanTheInterfaceCanTellIsRefusedWithAMessage) {
  UDBuffer& p = window->Picture;
  p.Alloc(32768, 2);
  for (int x = 0; x < p.Width(); ++x) *p.At(x, 0) = *p.At(x, 1) = 0x123456;
  const PictureState before(p);
  Run("Invert Colours");
  EXPECT_TRUE(PictureState(p) == before);
  EXPECT_EQ(ui.MessageBoxTexts(), (std::vector<std::string>{LangMessage("PlugTooBig")}));
}

TEST_F(FilterPluginRunTest, AnIdentifierWithoutAnEntryFailsWithoutAHelper) {
  FilterSharedPictures shared;
  ASSERT_TRUE(shared.Create(window->Picture, nullptr));
  FilterRunOptions options;
  options.identifier = SamplePlugin("invert");
  bool asked = false;
  options.answers.pump = [&asked] { return asked = true; };
  const FilterChildResult result = RunAdobePlugin(shared, options);
  EXPECT_EQ(result.outcome, FilterOutcome::Failed);
  EXPECT_EQ(result.failure, FilterFailure::Load);
  EXPECT_FALSE(asked) << "nothing was started to wait for";
}

}  // namespace

namespace {

// How many shared blocks of filter runs this process has mapped.
int MappedFilterBlocks() {
  std::ifstream maps("/proc/self/maps");
  int blocks = 0;
  for (std::string line; std::getline(maps, line);) blocks += line.find("memfd:quillo-filter") != std::string::npos;
  return blocks;
}

Buffer PatternPicture(int width, int height, std::uint32_t seed) {
  Buffer picture;
  picture.Alloc(Pair<int>(width, height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) *picture.At(x, y) = (std::uint32_t(x) * 2654435761u) ^ (std::uint32_t(y) << 8) ^ seed;
  return picture;
}

// The block a run leaves is what a later run reads back unless it copies its own picture in.
bool BlockGivesBack(const Buffer& picture) {
  FilterSharedPictures shared;
  if (!shared.Create(picture, nullptr)) return false;
  Buffer result = PatternPicture(picture.Width(), picture.Height(), 0);
  shared.CopyResult(result, Rect(0, 0, picture.Width() - 1, picture.Height() - 1));
  return std::equal(result.pixels, result.pixels + std::size_t(picture.Width()) * std::size_t(picture.Height()),
                    picture.pixels);
}

}  // namespace

// A run's shared block is kept for the next run: one of the same or a slightly smaller size
// takes it back with its own picture in it; one of another size makes its own only after the
// kept one is gone, so never two are held; and the kept one can be let go.
TEST(FilterSharedPicturesTest, ABlockIsKeptForTheNextRunAndHoldsOnlyThatRunsPicture) {
  FilterSharedPictures::ReleaseKeptBlock();
  EXPECT_EQ(MappedFilterBlocks(), 0);
  EXPECT_TRUE(BlockGivesBack(PatternPicture(120, 90, 1)));
  EXPECT_EQ(MappedFilterBlocks(), 1);
  EXPECT_TRUE(BlockGivesBack(PatternPicture(120, 90, 2)));
  EXPECT_TRUE(BlockGivesBack(PatternPicture(110, 90, 3)));  // fits the kept block
  EXPECT_EQ(MappedFilterBlocks(), 1);
  {
    FilterSharedPictures bigger;
    ASSERT_TRUE(bigger.Create(PatternPicture(600, 400, 4), nullptr));
    EXPECT_EQ(MappedFilterBlocks(), 1);
  }
  EXPECT_TRUE(BlockGivesBack(PatternPicture(7, 5, 5)));  // far smaller: a block of its own
  EXPECT_EQ(MappedFilterBlocks(), 1);
  FilterSharedPictures::ReleaseKeptBlock();
  EXPECT_EQ(MappedFilterBlocks(), 0);
}

// The block kept after a run goes when the last picture closes.
TEST_F(FilterPluginRunTest, TheKeptBlockGoesWithTheLastPicture) {
  Run("Invert Colours");
  EXPECT_EQ(MappedFilterBlocks(), 1);
  ui.AnswerMessageBoxes({IDNO, IDNO});
  EXPECT_TRUE(CloseAllDocuments());
  ui.RunUntilIdle();
  EXPECT_EQ(MappedFilterBlocks(), 0);
}
