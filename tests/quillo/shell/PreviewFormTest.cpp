// The full-screen preview as a user meets it (Image > Full Screen Preview): the active
// picture alone on a black screen, scaled down to fit and never enlarged, centred; any key or
// mouse button ends it, and the current tool stands aside meanwhile.

#include "ProgramFixture.h"

#include "platform/vcl/Screen.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/shell/PreviewForm.h"
#include "quillo/tools/Tool.h"

namespace {

constexpr std::uint32_t Teal = 0x1F8F8F;

class PreviewTest : public ProgramTest {
protected:
  PreviewTest() : ProgramTest(1024, 768) {}

  // A new document of that size, painted all over, active.
  void OpenPicture(int width, int height) {
    CreateDocumentWindow(width, height, "");
    ui.RunUntilIdle();
    ASSERT_NE(CurrentPicture, nullptr);
    ASSERT_EQ(CurrentPicture->Width(), width);
    CurrentPicture->Box(CurrentPicture->rect, Teal);
  }
  static TPreviewForm* ShownPreview() {
    for (int i = 0; i < Screen()->FormCount(); ++i)
      if (auto* preview = dynamic_cast<TPreviewForm*>(Screen()->Forms(i)); preview && preview->GetVisible()) return preview;
    return nullptr;
  }
  // Image > Full Screen Preview; look runs while it shows, then end ends it.
  void Preview(std::function<void(TPreviewForm*)> look, std::function<void()> end) {
    bool looked = false;
    ChooseMenuItem("&Image", "Full Screen &Preview", {[&] {
                     TPreviewForm* preview = ShownPreview();
                     ASSERT_NE(preview, nullptr);
                     looked = true;
                     look(preview);
                     end();
                   }});
    EXPECT_TRUE(looked);
    EXPECT_EQ(ShownPreview(), nullptr) << "the preview has ended";
  }
};

struct FitCase {
  int width, height;
  int zoomNumerator, zoomDenominator;
  RECT view;  // left, top, right, bottom on the screen
};

class PreviewFitTest : public PreviewTest, public ::testing::WithParamInterface<FitCase> {};

TEST_P(PreviewFitTest, ThePictureFitsTheScreenCentredAndIsNeverEnlarged) {
  const FitCase& c = GetParam();
  Start();
  OpenPicture(c.width, c.height);
  Preview(
      [&](TPreviewForm* preview) {
        RECT r{};
        GetWindowRect(preview->GetHandle(), &r);
        EXPECT_EQ(r.left, 0);
        EXPECT_EQ(r.top, 0);
        EXPECT_EQ(r.right, 1024);
        EXPECT_EQ(r.bottom, 768);
        EXPECT_EQ(preview->Buffer1->GetZoom(), PackZoom(c.zoomNumerator, c.zoomDenominator));
        EXPECT_EQ(preview->Buffer1->GetBuffer(), CurrentPicture);
        RECT view{};
        GetWindowRect(preview->Buffer1->GetHandle(), &view);
        EXPECT_EQ(view.left, c.view.left);
        EXPECT_EQ(view.top, c.view.top);
        EXPECT_EQ(view.right, c.view.right);
        EXPECT_EQ(view.bottom, c.view.bottom);
        // The picture inside, black all round it.
        EXPECT_EQ(ui.Pixel((view.left + view.right) / 2, (view.top + view.bottom) / 2), Teal);
        EXPECT_EQ(ui.Pixel(view.left, view.top), Teal);
        EXPECT_EQ(ui.Pixel(view.right - 1, view.bottom - 1), Teal);
        if (view.top > 0) {
          EXPECT_EQ(ui.Pixel(512, view.top - 1), 0u);
        }
        if (view.bottom < 768) {
          EXPECT_EQ(ui.Pixel(512, view.bottom), 0u);
        }
        if (view.left > 0) {
          EXPECT_EQ(ui.Pixel(view.left - 1, 384), 0u);
        }
        if (view.right < 1024) {
          EXPECT_EQ(ui.Pixel(view.right, 384), 0u);
        }
      },
      [this] { ui.QueuePress(VK_ESCAPE); });
}

INSTANTIATE_TEST_SUITE_P(Sizes, PreviewFitTest,
                         ::testing::Values(FitCase{4000, 1000, 32, 125, {0, 256, 1024, 512}},  // 0.256
                                           FitCase{100, 100, 1, 1, {462, 334, 562, 434}},
                                           FitCase{1024, 768, 1, 1, {0, 0, 1024, 768}},
                                           FitCase{2048, 1536, 1, 2, {0, 0, 1024, 768}},
                                           FitCase{100, 5000, 96, 625, {504, 0, 519, 768}}));  // 0.1536

TEST(PreviewFit, ComputesTheScaleInWholeNumbers) {
  const struct {
    int width, height, screenWidth, screenHeight;
    PreviewFit fit;
  } cases[] = {
      {4000, 1000, 1024, 768, {2560, 1024, 256}},
      {100, 100, 1024, 768, {10000, 100, 100}},
      {3, 3, 1000, 1000, {10000, 3, 3}},
      {3000, 3000, 1000, 1000, {3333, 999, 999}},
      {16384, 1, 1024, 768, {625, 1024, 1}},
      {1, 16384, 1024, 768, {468, 1, 766}},
      {0, 10, 1024, 768, {10000, 1, 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
    const PreviewFit fit = FitPreview(c.width, c.height, c.screenWidth, c.screenHeight);
    EXPECT_EQ(fit.zoom, c.fit.zoom);
    EXPECT_EQ(fit.width, c.fit.width);
    EXPECT_EQ(fit.height, c.fit.height);
  }
}

TEST_F(PreviewTest, AnyKeyOrMouseButtonEndsIt) {
  Start();
  OpenPicture(200, 100);
  for (int key : {VK_ESCAPE, VK_SPACE, VK_RETURN, int('Q'), VK_F5, VK_DOWN}) {
    SCOPED_TRACE(key);
    Preview([](TPreviewForm*) {}, [this, key] { ui.QueuePress(key); });
  }
  const POINT places[] = {{512, 384}, {10, 10}, {1000, 700}};
  for (int button : {InputEvent::Left, InputEvent::Right, InputEvent::Middle})
    for (const POINT& p : places) {
      SCOPED_TRACE(testing::Message() << "button " << button << " at " << p.x << "," << p.y);
      Preview([](TPreviewForm*) {}, [this, p, button] { ui.QueueClick(p.x, p.y, button); });
    }
  EXPECT_EQ(ImgFormCount, 1) << "nothing else happened";
}

TEST_F(PreviewTest, TheToolStandsAsideWhileItShows) {
  Start();
  OpenPicture(64, 48);
  P_icon* tool = CurrentTool;
  ASSERT_EQ(ToolSuspendDepth, 0);
  Preview([](TPreviewForm*) { EXPECT_EQ(ToolSuspendDepth, 1); }, [this] { ui.QueuePress(VK_ESCAPE); });
  EXPECT_EQ(ToolSuspendDepth, 0);
  EXPECT_EQ(CurrentTool, tool);
}

}  // namespace
