// Progress of long operations: the bar on the active document window's status bar, its
// throttles on the manual clock, the elapsed time at the end, the command windows disabled
// meanwhile and enabled again however the operation ends, and a load that the user watches
// and stops with the Cancel button while nothing else of the program takes input.

#include <cstdio>
#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

#include "DocumentFixture.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/FileSystem.h"
#include "platform/rtl/SettingsFolder.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Buttons.h"
#include "quillo/components/panels/FriendlyStatusBar.h"
#include "quillo/components/panels/PercentProgress.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/files/ImageFiles.h"
#include "quillo/base/Language.h"
#include "quillo/document/Progress.h"
#include "quillo/shell/StartUp.h"
#include "quillo/tools/ToolForm.h"
#include "vorlen/formats/GFXFile.h"

namespace {

// The text the status bar shows at the end of an operation.
std::string EndText(const char* key, double seconds) {
  return Format("%s %6.2f %s", LangMessage(key).c_str(), seconds, LangMessage("Sec").c_str());
}

std::vector<uint> PixelsOf(const UDBuffer& picture) {
  std::vector<uint> pixels;
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) pixels.push_back(*picture.At(x, y));
  return pixels;
}

// The library's step hook as the program installs it, with the user's doings in between: the
// action runs before each step (counted from 1) reaches the program's own hook.
std::function<void(int)> StepAction;
int StepsTaken = 0;

bool WatchedStep(int percent) {
  ++StepsTaken;
  if (StepAction) StepAction(StepsTaken);
  return ProgressCallback(percent);
}

class WatchedProgress {
public:
  explicit WatchedProgress(std::function<void(int)> action) {
    StepAction = std::move(action);
    StepsTaken = 0;
    GFXFile::SetProgFunc(ProgressStart100, WatchedStep, ProgressEnd);
  }
  ~WatchedProgress() {
    GFXFile::SetProgFunc(ProgressStart100, ProgressCallback, ProgressEnd);
    StepAction = nullptr;
  }
  WatchedProgress(const WatchedProgress&) = delete;
  WatchedProgress& operator=(const WatchedProgress&) = delete;
};

class ProgressTest : public DocumentTest {
protected:
  ProgressTest() { window = NewDocument(64, 48); }
  ~ProgressTest() override { EXPECT_FALSE(ProgressRunning()) << "every operation ended"; }

  TPercentProgress* Bar() const { return window->ProgressBar; }
  bool CommandWindowsEnabled() const {
    return IsWindowEnabled(form->GetHandle()) && IsWindowEnabled(ToolForm->GetHandle());
  }
  // The centre of a window's Cancel button on the screen.
  static POINT CancelButtonCentre(TImageForm* w) {
    const TRect b = w->CancelProgressBtn->GetBoundsRect();
    return UiDriver::At(w->StatusBar->GetHandle(), (b.left + b.right) / 2, (b.top + b.bottom) / 2);
  }
  // A picture big enough to be read in many steps (a BMP reports every row).
  std::string LargeImage() const { return WriteImage("large.bmp", 600, 400, 0x336699); }

  TImageForm* window = nullptr;
};

TEST_F(ProgressTest, StepsFiftyMillisecondsApartMoveTheBarOnce) {
  ProgressStart(100);
  EXPECT_TRUE(Bar()->GetVisible());
  EXPECT_EQ(Bar()->GetMax(), 100);
  EXPECT_EQ(Bar()->GetPosition(), 0);
  ProgressStep(10);
  EXPECT_EQ(Bar()->GetPosition(), 10);
  AdvanceClock(50);
  ProgressStep(20);
  EXPECT_EQ(Bar()->GetPosition(), 10);
  AdvanceClock(50);
  ProgressStep(30);
  EXPECT_EQ(Bar()->GetPosition(), 10) << "100 ms is not more than 100 ms";
  AdvanceClock(1);
  ProgressStep(40);
  EXPECT_EQ(Bar()->GetPosition(), 40);
  // Setting a position at once is not throttled.
  ProgressSetPos(45, 200);
  EXPECT_EQ(Bar()->GetPosition(), 45);
  EXPECT_EQ(Bar()->GetMax(), 200);
  ProgressEnd();
  EXPECT_FALSE(Bar()->GetVisible());
}

TEST_F(ProgressTest, TheViewShowsThePartialResultOnlyAfterMoreThanTwoSeconds) {
  ProgressStart(100);
  ui.RunUntilIdle();
  RECT dirty{};
  AdvanceClock(2000);
  ProgressStep(1);
  EXPECT_FALSE(GetUpdateRect(window->ShowBuf->GetHandle(), &dirty, FALSE));
  AdvanceClock(1);
  ProgressStep(2);
  EXPECT_TRUE(GetUpdateRect(window->ShowBuf->GetHandle(), &dirty, FALSE));
  ProgressEnd();
}

// The elapsed time counts from the first step; an operation without a step took none.
TEST_F(ProgressTest, TheEndShowsTheElapsedSecondsFromTheFirstStep) {
  SetProgressText(LangKey("ImgLoaded"));
  ProgressStart(100);
  AdvanceClock(3000);
  ProgressEnd();
  EXPECT_EQ(window->StatusText(spPrompt), EndText("ImgLoaded", 0));

  SetProgressText(LangKey("ImgSaved"));
  ProgressStart(100);
  AdvanceClock(700);
  ProgressStep(1);
  AdvanceClock(1250);
  ProgressStep(99);
  ProgressEnd();
  EXPECT_EQ(window->StatusText(spPrompt), EndText("ImgSaved", 1.25));
  // The text holds against untimed prompts for five seconds.
  ShowTimedStatus("prompt");
  EXPECT_EQ(window->StatusText(spPrompt), EndText("ImgSaved", 1.25));
  AdvanceClock(5001);
  ShowTimedStatus("prompt");
  EXPECT_EQ(window->StatusText(spPrompt), "prompt");
}

TEST_F(ProgressTest, TheCommandWindowsWaitForTheEndAndTheCancelRequestReadsOneAfterIt) {
  EXPECT_EQ(CancelRequested, 1);
  ASSERT_TRUE(CommandWindowsEnabled());
  // A step reported outside any operation starts none.
  ProgressStep(3);
  EXPECT_FALSE(ProgressRunning());
  // The plug-in host's first position starts one.
  ProgressSetPos(1, 10);
  EXPECT_TRUE(ProgressRunning());
  ProgressEnd();
  EXPECT_FALSE(ProgressRunning());
  EXPECT_FALSE(Bar()->GetVisible());
  ProgressStart(10);
  EXPECT_TRUE(ProgressRunning());
  EXPECT_EQ(CancelRequested, 0);
  EXPECT_FALSE(IsWindowEnabled(form->GetHandle()));
  EXPECT_FALSE(IsWindowEnabled(ToolForm->GetHandle()));
  // An operation inside it (a load inside a filter) does not end the outer one.
  ProgressStart100();
  ProgressEnd();
  EXPECT_TRUE(ProgressRunning());
  EXPECT_FALSE(IsWindowEnabled(form->GetHandle()));
  EXPECT_EQ(CancelRequested, 0);
  ProgressEnd();
  EXPECT_FALSE(ProgressRunning());
  EXPECT_TRUE(CommandWindowsEnabled());
  EXPECT_EQ(CancelRequested, 1);
  ProgressStart(10);
  EXPECT_EQ(CancelRequested, 0);
  ProgressEnd();
}

// In a window wide enough the Cancel button takes the bar's base place (its Tag, which the
// user level moves) and the bar follows it to the status bar's end; a narrow window keeps the
// button and some of the bar on its status bar.
TEST_F(ProgressTest, TheBarStartsRightOfTheCancelButtonWhenItShows) {
  struct Case {
    int level;
    bool cancel;
    int windowWidth;
  };
  const Case cases[] = {{0, false, 600}, {0, true, 600}, {1, false, 600}, {1, true, 600}, {1, true, 150}, {0, true, 60}};
  for (const Case c : cases) {
    SCOPED_TRACE(Format("level %d, cancel %d, width %d", c.level, c.cancel, c.windowWidth));
    window->ArrangeStatusBarForLevel(c.level);
    window->SetWidth(c.windowWidth);
    const int statusWidth = window->StatusBar->GetWidth();
    const int cancelWidth = window->CancelProgressBtn->GetWidth();
    {
      std::optional<CancelButtonShown> shown;
      if (c.cancel) shown.emplace(window);
      ProgressStart(100);
      const int buttonLeft = window->CancelProgressBtn->GetLeft();
      if (c.windowWidth == 600) {
        EXPECT_EQ(Bar()->GetLeft(), Bar()->GetTag() + (c.cancel ? cancelWidth : 0));
        EXPECT_EQ(buttonLeft, Bar()->GetTag());
      } else {
        EXPECT_GE(buttonLeft, 0);
        EXPECT_LE(buttonLeft + cancelWidth, statusWidth) << "the button shows whole";
        EXPECT_EQ(Bar()->GetLeft(), buttonLeft + cancelWidth);
      }
      EXPECT_EQ(Bar()->GetLeft() + Bar()->GetWidth(), std::max(statusWidth, Bar()->GetLeft()));
      EXPECT_EQ(window->CancelProgressBtn->GetVisible(), c.cancel);
      ProgressEnd();
    }
    EXPECT_FALSE(window->CancelProgressBtn->GetVisible());
  }
}

// The prompt panel takes what the other panels leave of the bar, at every window width and
// level, so a prompt is not cut short while room is left on the right.
TEST_F(ProgressTest, ThePromptPanelTakesTheRoomTheOtherPanelsLeave) {
  struct Case {
    int level;
    int windowWidth;
  };
  const Case cases[] = {{0, 500}, {0, 900}, {1, 700}, {1, 1200}};
  for (const Case c : cases) {
    SCOPED_TRACE(Format("level %d, width %d", c.level, c.windowWidth));
    window->ArrangeStatusBarForLevel(c.level);
    window->SetWidth(c.windowWidth);
    ui.RunUntilIdle();
    TStatusPanels* panels = window->StatusBar->GetPanels();
    int total = 0, others = 0;
    for (int i = 0; i < panels->Count(); ++i) {
      total += panels->Items(i)->GetWidth();
      if (i != spPrompt) others += panels->Items(i)->GetWidth();
    }
    EXPECT_EQ(total, window->StatusBar->GetClientWidth());
    EXPECT_EQ(panels->Items(spPrompt)->GetWidth(), window->StatusBar->GetClientWidth() - others);
  }
}

// An exception between start and end no longer leaves the main window and the tool options
// window disabled: the operation's scope ends it, and it says nothing of success.
TEST_F(ProgressTest, AnExceptionInsideAnOperationLeavesTheProgramUsable) {
  SetProgressText(LangKey("ImgSaved"));
  window->SetPanelText(spPrompt, "before");
  EXPECT_THROW(
      {
        ProgressOperation operation(100);
        ProgressStep(5);
        throw std::runtime_error("the operation failed");
      },
      std::runtime_error);
  EXPECT_FALSE(ProgressRunning());
  EXPECT_TRUE(CommandWindowsEnabled());
  EXPECT_EQ(CancelRequested, 1);
  EXPECT_FALSE(Bar()->GetVisible());
  EXPECT_EQ(window->StatusText(spPrompt), "before");
  // The document closes as ever.
  window->Close();
  ui.RunUntilIdle();
  EXPECT_EQ(ImgFormCount, 1) << "the blank document that follows the last one";
}

TEST_F(ProgressTest, LoadingALargeImageShowsTheBarWithCancelUntilItIsLoaded) {
  const std::string path = LargeImage();
  std::vector<TImageForm*> activeAtSteps;
  bool barShown = false, cancelShown = false, commandsDisabled = true;
  int maxPosition = 0;
  {
    WatchedProgress watch([&](int) {
      AdvanceClock(10);
      activeAtSteps.push_back(ImageForm);
      barShown = barShown || (ImageForm->ProgressBar->GetVisible() && IsWindowVisible(ImageForm->ProgressBar->GetHandle()));
      cancelShown = cancelShown || ImageForm->CancelProgressBtn->GetVisible();
      commandsDisabled = commandsDisabled && !CommandWindowsEnabled();
      maxPosition = std::max(maxPosition, ImageForm->ProgressBar->GetPosition());
    });
    ASSERT_EQ(LoadImageFile(nullptr, path, 0, false), LoadOk);
  }
  ASSERT_GT(StepsTaken, 100);
  ui.RunUntilIdle();
  ASSERT_EQ(ImgFormCount, 2);
  for (TImageForm* active : activeAtSteps) ASSERT_EQ(active, ImageForm) << "the new window's own bar";
  EXPECT_TRUE(barShown);
  EXPECT_TRUE(cancelShown);
  EXPECT_TRUE(commandsDisabled);
  EXPECT_GT(maxPosition, 50);
  EXPECT_FALSE(ImageForm->ProgressBar->GetVisible());
  EXPECT_FALSE(ImageForm->CancelProgressBtn->GetVisible());
  EXPECT_TRUE(CommandWindowsEnabled());
  EXPECT_EQ(ImageForm->StatusText(spPrompt), EndText("ImgLoaded", (StepsTaken - 1) * 0.01));
  EXPECT_EQ(CurrentPicture->Width(), 600);
}

// The user clicks Cancel while the picture is read: the load stops as a load that failed
// does, without a message: the window made for it goes, a picture loaded in place stays as
// it was, and the status bar says how long it ran.
TEST_F(ProgressTest, CancelStopsTheLoadAndTheProgramGoesOn) {
  const std::string path = LargeImage();
  window->Picture.Box(window->Picture.rect, 0x00FF00);
  const std::vector<uint> before = PixelsOf(window->Picture);
  for (const bool inPlace : {false, true}) {
    int clickedAt = 0;
    int code = LoadOk;
    {
      WatchedProgress watch([&](int step) {
        AdvanceClock(10);
        if (step == 5) {
          const POINT cancel = CancelButtonCentre(ImageForm);
          ui.QueueClick(cancel.x, cancel.y);
          clickedAt = step;
        }
      });
      code = LoadImageFile(inPlace ? CurrentPicture : nullptr, path, 0, false);
    }
    ui.RunUntilIdle();
    SCOPED_TRACE(inPlace ? "in place" : "new window");
    EXPECT_EQ(code, LoadStopped);
    EXPECT_EQ(clickedAt, 5);
    EXPECT_EQ(StepsTaken, 5) << "the step that took the click stopped the load";
    EXPECT_TRUE(ui.MessageBoxTexts().empty());
    ASSERT_EQ(ImgFormCount, 1);
    EXPECT_EQ(ImageForm, window);
    EXPECT_EQ(PixelsOf(window->Picture), before);
    EXPECT_TRUE(window->Picture.FileName.empty());
    EXPECT_TRUE(CommandWindowsEnabled());
    EXPECT_EQ(CancelRequested, 1);
    EXPECT_FALSE(window->CancelProgressBtn->GetVisible());
    if (inPlace) {
      EXPECT_EQ(window->StatusText(spPrompt), EndText("OpCanceled", 0.04));
    }
  }
  // The next load goes through.
  ASSERT_EQ(LoadImageFile(nullptr, path, 0, false), LoadOk);
  ui.RunUntilIdle();
  EXPECT_EQ(CurrentPicture->Width(), 600);
}

// A press on Cancel that the user takes back (released off the button) stops nothing, and
// the button lets go of the pointer.
TEST_F(ProgressTest, APressOnCancelReleasedElsewhereStopsNothing) {
  const std::string path = LargeImage();
  HWND capturedAfterRelease = nullptr;
  int code = LoadStopped;
  {
    WatchedProgress watch([&](int step) {
      if (step == 3) {
        const POINT cancel = CancelButtonCentre(ImageForm);
        const POINT away = UiDriver::At(ImageForm->ShowBuf->GetHandle(), 5, 5);
        ui.QueueMove(cancel.x, cancel.y);
        ui.QueueMouseDown(cancel.x, cancel.y);
        ui.QueueMove(away.x, away.y);
        ui.QueueMouseUp(away.x, away.y);
      }
      if (step == 5) capturedAfterRelease = GetCapture();
    });
    code = LoadImageFile(CurrentPicture, path, 0, false);
  }
  EXPECT_EQ(code, LoadOk);
  EXPECT_EQ(capturedAfterRelease, nullptr);
  EXPECT_EQ(CurrentPicture->Width(), 600);
}

// The clicks and keys that reach the program while a picture is read: a stroke on another
// document, a click on its caption and on its close box, Ctrl+F4 and Ctrl+Tab. None is served
// meanwhile and none is left over for afterwards; only the Cancel button works.
TEST_F(ProgressTest, DuringALoadOnlyTheCancelButtonTakesInput) {
  TImageForm* other = window;
  TImageForm* working = NewDocument(64, 48);
  ASSERT_EQ(ImageForm, working);
  const std::string path = LargeImage();
  const std::vector<uint> otherBefore = PixelsOf(other->Picture);
  const std::vector<uint> workingBefore = PixelsOf(working->Picture);

  RECT otherRect{};
  GetWindowRect(other->GetHandle(), &otherRect);
  POINT closeBox{-1, -1};
  for (int x = otherRect.right - 1; x > otherRect.left && closeBox.x < 0; --x)
    if (SendMessage(other->GetHandle(), WM_NCHITTEST, 0, MAKELPARAM(x, otherRect.top + 10)) == HTCLOSE)
      closeBox = {x, otherRect.top + 10};
  ASSERT_GE(closeBox.x, 0);
  const POINT otherView = UiDriver::At(other->ShowBuf->GetHandle(), 10, 10);
  const POINT workingView = UiDriver::At(working->ShowBuf->GetHandle(), 10, 10);

  bool closeRefused = false;
  std::vector<TImageForm*> activeAtSteps;
  int code = LoadOk;
  {
    WatchedProgress watch([&](int step) {
      activeAtSteps.push_back(ImageForm);
      if (step == 2) {
        ui.QueueClick(otherView.x, otherView.y);
        ui.QueueClick(workingView.x, workingView.y);
        ui.QueueClick(otherRect.left + 40, otherRect.top + 8);
        ui.QueueClick(closeBox.x, closeBox.y);
        ui.QueueKeyDown(VK_CONTROL);
        ui.QueuePress(VK_F4);
        ui.QueuePress(VK_TAB);
        ui.QueueKeyUp(VK_CONTROL);
      }
      if (step == 3) {
        // Asked to close by the program itself, the working window stays until the end.
        working->Close();
        closeRefused = ImgFormCount == 2 && ImageForm == working;
      }
      if (step == 4) {
        const POINT cancel = CancelButtonCentre(ImageForm);
        ui.QueueClick(cancel.x, cancel.y);
      }
    });
    code = LoadImageFile(CurrentPicture, path, 0, false);
  }
  EXPECT_EQ(code, LoadStopped);
  EXPECT_EQ(StepsTaken, 4);
  EXPECT_TRUE(closeRefused);
  for (TImageForm* active : activeAtSteps) EXPECT_EQ(active, working);
  ui.RunUntilIdle();
  ASSERT_EQ(ImgFormCount, 2);
  EXPECT_EQ(ImageForm, working);
  EXPECT_EQ(PixelsOf(other->Picture), otherBefore);
  EXPECT_EQ(PixelsOf(working->Picture), workingBefore);
  EXPECT_EQ(other->Picture.ChangeCount, 0);
  EXPECT_EQ(working->Picture.ChangeCount, 0);

  // Afterwards the same click paints, so the one dropped above would have.
  ui.Click(workingView.x, workingView.y);
  EXPECT_NE(PixelsOf(working->Picture), workingBefore);
}

// A file whose reading raises ends its progress on the way out: the program takes commands.
TEST_F(ProgressTest, AFailedLoadLeavesTheProgramUsable) {
  const std::string path = WriteDamagedImage("broken.png");
  ui.AnswerMessageBoxes({IDNO, IDNO});
  const int code = LoadImageFile(nullptr, path, 0, false);
  EXPECT_NE(code, LoadOk);
  EXPECT_NE(code, LoadStopped);
  ui.RunUntilIdle();
  EXPECT_FALSE(ProgressRunning());
  EXPECT_TRUE(CommandWindowsEnabled());
  EXPECT_EQ(CancelRequested, 1);
  ASSERT_EQ(ImgFormCount, 1);
  EXPECT_FALSE(ImageForm->CancelProgressBtn->GetVisible());
  EXPECT_FALSE(ImageForm->ProgressBar->GetVisible());
  EXPECT_EQ(ImageForm->StatusText(spPrompt).find(LangMessage("ImgLoaded")), AnsiString::npos) << "no success claimed";
  ASSERT_EQ(LoadImageFile(nullptr, LargeImage(), 0, false), LoadOk);
}

TEST_F(ProgressTest, TheLogStaysOffAndTheHelpFileLiesInTheProgramFolder) {
  WriteLog("Application closed.");
  EXPECT_FALSE(FileExists(LogFilePath()));
  EXPECT_EQ(ExtractFilePath(LogFilePath()), SettingsFolder() + "/");
  // Switched on, it appends a line with the seconds since its start.
  LogEnabled = 1;
  LogStartTick = GetTickCount();
  AdvanceClock(1500);
  WriteLog("first");
  WriteLog("second");
  LogEnabled = 0;
  LogStartTick = 0;
  std::string text(64, '\0');
  FILE* log = std::fopen(LogFilePath().c_str(), "r");
  ASSERT_NE(log, nullptr);
  text.resize(std::fread(text.data(), 1, text.size(), log));
  std::fclose(log);
  EXPECT_EQ(text, "[001.50] first\n[001.50] second\n");
  ResetHelpFile();
  EXPECT_EQ(ApplicationHelpFile, ProgramFolder() + LangMessage("HelpFile"));
  EXPECT_NE(LangMessage("HelpFile"), "");
}

}  // namespace
