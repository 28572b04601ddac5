// The about panel as a user meets it: Help > About shows it centred with its picture; any
// key, a click and the loss of activation close it; the picture's web link (drawn where its
// hot area is, inside the picture) shows the hand and opens the home page, and a browser
// that cannot be started is reported. At start-up it is the splash screen.

#include "ProgramFixture.h"

#include <sys/stat.h>

#include <cstdlib>

#include "platform/dialogs/ShellExecute.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Screen.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/shell/AboutPanel.h"
#include "quillo/shell/AboutPicture.h"

namespace {

constexpr const char* HomePage = "https://quillory.example.org/";

// PATH set for the test's lifetime (and put back afterwards).
class PathScope {
public:
  explicit PathScope(const std::string& path) {
    if (const char* old = std::getenv("PATH")) {
      had_ = true;
      old_ = old;
    }
    setenv("PATH", path.c_str(), 1);
  }
  ~PathScope() {
    if (had_) setenv("PATH", old_.c_str(), 1);
    else unsetenv("PATH");
  }
  PathScope(const PathScope&) = delete;
  PathScope& operator=(const PathScope&) = delete;

private:
  bool had_ = false;
  std::string old_;
};

class AboutPanelTest : public ProgramTest {
protected:
  AboutPanelTest() {
    SetShellStarter([this](const std::vector<std::string>& arguments, const std::string&) {
      started.push_back(arguments);
      return 0;
    });
  }
  ~AboutPanelTest() override { SetShellStarter(nullptr); }

  // A stand-in xdg-open on the PATH (the starter records instead of running it).
  std::string ProvideOpener() {
    const std::string opener = home.WriteFile("bin/xdg-open", "#!/bin/sh\nexit 0\n");
    ::chmod(opener.c_str(), 0755);
    path = std::make_unique<PathScope>(home.Path() + "/bin");
    return opener;
  }

  TAboutPanel* OpenAbout() {
    ChooseMenuItem("&Help", "&About...");
    return AboutPanel;
  }
  // A point of the picture on the screen.
  POINT OnPicture(int x, int y) const {
    return UiDriver::At(AboutPanel->GetHandle(), AboutPanel->Image1->GetLeft() + AboutPanel->Image1->GetParent()->GetLeft() + x,
                        AboutPanel->Image1->GetTop() + AboutPanel->Image1->GetParent()->GetTop() + y);
  }
  // True when the panel has gone: freed, its window destroyed.
  bool Gone(HWND window) {
    ui.RunUntilIdle();
    return AboutPanel == nullptr && !IsWindow(window);
  }

  std::vector<std::vector<std::string>> started;
  std::unique_ptr<PathScope> path;
};

TEST_F(AboutPanelTest, HelpAboutShowsThePanelCentredOverEverything) {
  Start();
  TAboutPanel* panel = OpenAbout();
  ASSERT_NE(panel, nullptr);
  HWND window = panel->GetHandle();
  EXPECT_TRUE(IsWindowVisible(window));
  RECT r{};
  GetWindowRect(window, &r);
  EXPECT_EQ(r.right - r.left, 441);
  EXPECT_EQ(r.bottom - r.top, 341);
  EXPECT_EQ(r.left, (1280 - 441) / 2);
  EXPECT_EQ(r.top, (800 - 341) / 2);
  EXPECT_EQ(panel->Image1->GetWidth(), AboutPictureWidth);
  EXPECT_EQ(panel->Image1->GetHeight(), AboutPictureHeight);
  EXPECT_EQ(panel->VersionLab->GetCaption(), "v2.82");
  // The screen shows the picture: the corner of its ground and the link's badge.
  const POINT corner = OnPicture(0, 0);
  TCanvas* picture = panel->Image1->GetCanvas();
  const std::uint32_t ground = ColorToRGB(picture->GetPixel(0, 0));  // 0x00BBGGRR
  EXPECT_EQ(ui.Pixel(corner.x, corner.y), (ground & 0xFF) << 16 | (ground & 0xFF00) | (ground >> 16 & 0xFF));
  const std::uint32_t badge = ColorToRGB(picture->GetPixel(AboutLinkArea.left + 4, AboutLinkArea.top + 24));
  const POINT link = OnPicture(AboutLinkArea.left + 4, AboutLinkArea.top + 24);
  EXPECT_EQ(ui.Pixel(link.x, link.y), (badge & 0xFF) << 16 | (badge & 0xFF00) | (badge >> 16 & 0xFF));
}

TEST_F(AboutPanelTest, AnyKeyClosesIt) {
  Start();
  for (int key : {VK_ESCAPE, VK_RETURN, VK_SPACE, int('A'), VK_F1, VK_SHIFT, VK_LEFT}) {
    SCOPED_TRACE(key);
    TAboutPanel* panel = OpenAbout();
    ASSERT_NE(panel, nullptr);
    HWND window = panel->GetHandle();
    ui.Press(key);
    EXPECT_TRUE(Gone(window));
  }
}

TEST_F(AboutPanelTest, AClickAnywhereButTheLinkClosesIt) {
  Start();
  const POINT places[] = {{0, 0}, {200, 150}, {300, 280}, {300, 327}, {275, 300}, {325, 300}, {435, 336}, {-1, -1}};
  for (const POINT& p : places) {
    SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
    TAboutPanel* panel = OpenAbout();
    ASSERT_NE(panel, nullptr);
    HWND window = panel->GetHandle();
    const POINT at = OnPicture(p.x, p.y);
    ui.Click(at.x, at.y);
    EXPECT_TRUE(Gone(window));
  }
  EXPECT_TRUE(started.empty()) << "no click outside the link opens the page";
}

TEST_F(AboutPanelTest, LosingTheActivationClosesIt) {
  Start();
  HWND window = OpenAbout()->GetHandle();
  ASSERT_NE(ImageForm, nullptr);
  RECT r{};
  GetWindowRect(ImageForm->GetHandle(), &r);
  // The document window's caption, beside the panel.
  ui.Click(r.left + 40, r.top + 8);
  EXPECT_TRUE(Gone(window));
}

// The link's hot area used to lie below the picture (y 381 to 426 of a 337-pixel picture),
// where nothing can be clicked. It lies where the picture draws the link: every pixel of the
// badge is inside the hot area, and the badge fills most of it.
TEST_F(AboutPanelTest, TheLinkIsDrawnWhereItsHotAreaIs) {
  Start();
  TAboutPanel* panel = OpenAbout();
  ASSERT_NE(panel, nullptr);
  TCanvas* picture = panel->Image1->GetCanvas();
  const TColor gold = static_cast<TColor>(64 << 16 | 196 << 8 | 250);
  int left = AboutPictureWidth, top = AboutPictureHeight, right = -1, bottom = -1, count = 0;
  for (int y = 0; y < AboutPictureHeight; ++y)
    for (int x = 0; x < AboutPictureWidth; ++x)
      if (picture->GetPixel(x, y) == gold) {
        left = std::min(left, x);
        top = std::min(top, y);
        right = std::max(right, x);
        bottom = std::max(bottom, y);
        ++count;
      }
  ASSERT_GT(count, 0) << "the badge is drawn";
  EXPECT_TRUE(InAboutLinkArea(left, top));
  EXPECT_TRUE(InAboutLinkArea(right, bottom));
  EXPECT_GE(right - left + 1, AboutLinkArea.Width() - 4);
  EXPECT_GE(bottom - top + 1, AboutLinkArea.Height() - 4);
  EXPECT_LE(AboutLinkArea.bottom, AboutPictureHeight);
  EXPECT_LE(AboutLinkArea.right, AboutPictureWidth);
}

TEST_F(AboutPanelTest, APressOnTheLinkOpensTheHomePage) {
  const std::string opener = ProvideOpener();
  Start();
  const POINT corners[] = {{276, 281}, {300, 300}, {324, 326}};
  for (const POINT& p : corners) {
    SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
    started.clear();
    TAboutPanel* panel = OpenAbout();
    ASSERT_NE(panel, nullptr);
    HWND window = panel->GetHandle();
    const POINT at = OnPicture(p.x, p.y);
    ui.MouseDown(at.x, at.y);
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0], (std::vector<std::string>{opener, HomePage}));
    ui.MouseUp(at.x, at.y);
    EXPECT_TRUE(Gone(window)) << "the click then closes the panel";
  }
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
}

TEST_F(AboutPanelTest, TheHandShowsOverTheLinkOnly) {
  Start();
  ASSERT_NE(OpenAbout(), nullptr);
  const HCURSOR hand = Screen()->Cursors(-54);
  ASSERT_NE(hand, nullptr);
  POINT at = OnPicture(300, 300);
  ui.MoveTo(at.x, at.y);
  EXPECT_EQ(GetCursor(), hand);
  at = OnPicture(300, 330);
  ui.MoveTo(at.x, at.y);
  EXPECT_NE(GetCursor(), hand);
  EXPECT_EQ(GetCursor(), Screen()->Cursors(crDefault));
  at = OnPicture(276, 281);
  ui.MoveTo(at.x, at.y);
  EXPECT_EQ(GetCursor(), hand);
}

TEST_F(AboutPanelTest, HelpHomePageOpensTheAddressInTheBrowser) {
  const std::string opener = ProvideOpener();
  Start();
  ChooseMenuItem("&Help", "&Home Page");
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0], (std::vector<std::string>{opener, HomePage}));
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
}

TEST_F(AboutPanelTest, ABrowserThatCannotBeStartedIsReported) {
  PathScope nowhere(home.Path() + "/no-programs-here");
  Start();
  std::vector<std::pair<std::string, std::string>> boxes;
  ui.OnMessageBox([&boxes](const std::string& text, const std::string& caption, UINT flags) {
    boxes.emplace_back(text, caption);
    EXPECT_EQ(flags & 0xF0, static_cast<UINT>(MB_ICONEXCLAMATION));
    return IDOK;
  });
  ChooseMenuItem("&Help", "&Home Page");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].first, "The web browser cannot be opened.");
  EXPECT_EQ(boxes[0].second, "Error");
  EXPECT_TRUE(started.empty());
}

TEST_F(AboutPanelTest, TheSplashShowsCentredUntilStartUpEnds) {
  Start();
  BeginSplash(true);
  TAboutPanel* panel = AboutPanel;
  ASSERT_NE(panel, nullptr);
  HWND window = panel->GetHandle();
  EXPECT_TRUE(IsWindowVisible(window));
  RECT r{};
  GetWindowRect(window, &r);
  EXPECT_EQ(r.left, (1280 - 441) / 2);
  EXPECT_EQ(r.top, (800 - 341) / 2);
  EndSplash();
  EXPECT_TRUE(Gone(window));
}

TEST_F(AboutPanelTest, WithFilesNamedTheSplashIsClosedAtOnce) {
  Start();
  BeginSplash(false);
  ASSERT_NE(AboutPanel, nullptr);
  HWND window = AboutPanel->GetHandle();
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_TRUE(Gone(window));
  EndSplash();  // nothing left to end
  EXPECT_EQ(AboutPanel, nullptr);
}

TEST_F(AboutPanelTest, StartUpLeavesNoSplashBehind) {
  Start();
  ui.RunUntilIdle();
  EXPECT_EQ(AboutPanel, nullptr);
  for (int i = 0; i < Screen()->FormCount(); ++i) EXPECT_EQ(dynamic_cast<TAboutPanel*>(Screen()->Forms(i)), nullptr);
}

}  // namespace
