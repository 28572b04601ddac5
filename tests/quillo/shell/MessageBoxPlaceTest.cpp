// Where the program's message boxes open on the user's display (the SDL host on an X server of
// the test's own): centred over the window they belong to when that window can hold them, else
// over the screen's work area, never at the desktop's corner.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/user/Desktop.h"
#include "platform/vcl/Application.h"
#include "quillo/base/Language.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/shell/ProgramFixture.h"
#include "support/PrivateDisplay.h"

namespace {

RECT WindowRect(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

int MiddleX(const RECT& r) { return (r.left + r.right) / 2; }
int MiddleY(const RECT& r) { return (r.top + r.bottom) / 2; }

class BoxPlaces : public ProgramTest {
public:
  void TestBody() override {}

  // The rectangle of the box a warning shows while owner is the active window.
  RECT BoxOver(HWND owner) {
    SetActiveWindow(owner);
    ui.RunUntilIdle();
    ui.DriveMessageBoxes();
    RECT box{};
    ui.WhenModalWaits([&] {
      HWND shown = GetActiveWindow();
      box = WindowRect(shown);
      EXPECT_EQ(GetWindow(shown, GW_OWNER), owner);
      PostMessage(shown, WM_COMMAND, IDOK, 0);
    });
    LangMessageBox("NoMem", "Err", MB_OK | MB_ICONEXCLAMATION);
    return box;
  }

  void Run() {
    Start();
    if (std::string(DesktopHost().Name()) != "sdl") {
      ADD_FAILURE() << "the SDL host did not open";
      return;
    }
    RECT work{};
    SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    ASSERT_GT(work.right - work.left, 0);
    ASSERT_GT(work.bottom - work.top, 0);

    // A document window large enough to hold the box: centred over it.
    TImageForm* document = ImageForm;
    ASSERT_NE(document, nullptr);
    document->SetBounds(work.left + 300, work.top + 200, 600, 400);
    ui.RunUntilIdle();
    const RECT overDocument = BoxOver(document->GetHandle());
    const RECT doc = WindowRect(document->GetHandle());
    EXPECT_NEAR(MiddleX(overDocument), MiddleX(doc), 1);
    EXPECT_NEAR(MiddleY(overDocument), MiddleY(doc), 1);

    // The main window, a bar along the top: too small to hold the box, which centres on the
    // work area instead of sitting at the desktop's corner.
    const RECT overMain = BoxOver(form->GetHandle());
    EXPECT_NEAR(MiddleX(overMain), MiddleX(work), 1);
    EXPECT_NEAR(MiddleY(overMain), MiddleY(work), 1);
  }
};

TEST(MessageBoxPlace, BoxesCentreOverTheirWindowOrTheWorkArea) {
  PrivateDisplay display;
  ASSERT_TRUE(display.Ready()) << display.Problem();
  // In a process of its own: SDL's video start-up keeps a D-Bus connection that it never
  // frees, which the leak check at a normal exit would report.
  EXPECT_EXIT(
      {
        setenv("QUILLO_HOST", "sdl", 1);
        {
          BoxPlaces test;
          test.Run();
        }
        std::_Exit(::testing::Test::HasFailure() ? 1 : 0);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
