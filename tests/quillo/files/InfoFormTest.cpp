// Image > Information as a user meets it: the saved file's size and date, ": -" for an
// untitled image, the colour count on request, and the window's place kept for the run.

#include <sys/stat.h>

#include <ctime>
#include <string>

#include "../shell/ProgramFixture.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/ScreenLayout.h"
#include "quillo/files/ColorCount.h"
#include "quillo/files/InfoForm.h"
#include "vorlen/core/Buffer.h"

namespace {

class InfoFormTest : public ProgramTest {
protected:
  InfoFormTest() { ForgetInfoFormPlace(); }
  ~InfoFormTest() override { ForgetInfoFormPlace(); }

  static TInfoForm* Info() {
    for (int i = 0; i < Screen()->FormCount(); ++i)
      if (auto* info = dynamic_cast<TInfoForm*>(Screen()->Forms(i)); info && info->GetVisible()) return info;
    return nullptr;
  }
  void Press(TButton* button) {
    const POINT at = UiDriver::At(button->GetHandle(), button->GetWidth() / 2, button->GetHeight() / 2);
    ui.QueueClick(at.x, at.y);
  }
  // Image > Information; the steps run while it waits, and Ok closes it.
  void WithInfo(std::vector<std::function<void()>> steps) {
    steps.push_back([this] { Press(Info()->OkBtn); });
    ChooseMenuItem("&Image", "Image &Information...", std::move(steps));
    EXPECT_EQ(Info(), nullptr);
  }
};

TEST(ColorCount, CountsDistinctColoursIgnoringTransparency) {
  struct Case {
    const char* name;
    int width, height;
    std::function<std::uint32_t(int, int)> pixel;
    int colours;
  };
  const Case cases[] = {
      {"1 x 1", 1, 1, [](int, int) { return 0x123456u; }, 1},
      {"one colour", 40, 30, [](int, int) { return 0x00FF00u; }, 1},
      {"x << 8 | y", 256, 256, [](int x, int y) { return static_cast<std::uint32_t>(x << 8 | y); }, 65536},
      {"transparency only", 2, 1, [](int x, int) { return x == 0 ? 0x00ABCDEFu : 0xFFABCDEFu; }, 1},
      {"the whole cube's corners", 8, 1, [](int x, int) { return (x & 1 ? 0xFF0000u : 0) | (x & 2 ? 0xFF00u : 0) | (x & 4 ? 0xFFu : 0); }, 8},
  };
  for (const Case& c : cases) {
    Buffer b;
    b.Alloc(Pair<int>(c.width, c.height));
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x) *b.At(x, y) = c.pixel(x, y);
    EXPECT_EQ(CountPictureColors(b), c.colours) << c.name;
    b.Free();
  }
  EXPECT_EQ(CountPictureColors(Buffer()), 0) << "an empty picture";
}

TEST_F(InfoFormTest, ASavedFileShowsItsSizeAndDate) {
  const std::string path = WriteImage("shown.png", 12, 7, 0x336699);
  struct stat info{};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  std::tm local{};
  localtime_r(&info.st_mtime, &local);
  char date[32] = {};
  std::strftime(date, sizeof date, "%m/%d/%Y %H:%M", &local);
  Start({path});
  WithInfo({[&] {
              EXPECT_EQ(Info()->ImageDim->GetCaption(), "Dimensions: 12 x 7");
              EXPECT_EQ(Info()->ImageDPI->GetCaption(), "Resolution: 200 DPI");
              EXPECT_EQ(Info()->ImageSize->GetCaption(), "Size in Bytes: " + std::to_string(info.st_size));
              EXPECT_EQ(Info()->ImageDate->GetCaption(), std::string("Date: ") + date);
              EXPECT_EQ(Info()->ImageCol->GetCaption(), "Colors: -");
              Press(Info()->ImgColCnt);
            },
            [] { EXPECT_EQ(Info()->ImageCol->GetCaption(), "Colors: 1"); }});
}

TEST_F(InfoFormTest, AnUntitledImageHasNoFileFacts) {
  Start();
  WithInfo({[] {
    EXPECT_EQ(Info()->ImageSize->GetCaption(), "Size in Bytes: -");
    EXPECT_EQ(Info()->ImageDate->GetCaption(), "Date: -");
  }});
}

TEST_F(InfoFormTest, TheWindowIsCentredFirstAndThenOpensWhereItWasClosed) {
  Start();
  RECT first{};
  WithInfo({[&] {
    GetWindowRect(Info()->GetHandle(), &first);
    Info()->SetBounds(90, 110, Info()->GetWidth(), Info()->GetHeight());
  }});
  EXPECT_EQ(first.left, (WorkArea.right - WorkArea.left - (first.right - first.left)) / 2);
  EXPECT_EQ(first.top, (WorkArea.bottom - WorkArea.top - (first.bottom - first.top)) / 2);
  WithInfo({[] {
    RECT r{};
    GetWindowRect(Info()->GetHandle(), &r);
    EXPECT_EQ(r.left, 90);
    EXPECT_EQ(r.top, 110);
    RECT client{};
    GetClientRect(Info()->GetHandle(), &client);
    EXPECT_EQ(client.right, 262);
    EXPECT_EQ(client.bottom, 232);
  }});
}

}  // namespace
