// Strokes painted with the mouse through the document window and the continuous pen, undone
// with Ctrl+Z and redone from the Edit menu: every earlier image comes back bit for bit, with
// the steps in memory and with every step in a swap file.

#include <gtest/gtest.h>

#include <vector>

#include "PenStrokeFixture.h"
#include "UndoFixture.h"
#include "platform/host/KeyCodes.h"
#include "platform/vcl/Menus.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/base/Settings.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/FactoryBrush.h"
#include "quillo/tools/Tool.h"
#include "quillo/tools/ToolObjects.h"

namespace {

constexpr std::uint32_t kInk = 0x00203080;

struct Stroke {
  std::vector<Pair<int>> points;  // image pixels at zoom 1, the first the press
};

class UndoStrokesTest : public PenStrokeTest, public ::testing::WithParamInterface<std::int64_t> {
protected:
  UndoStrokesTest() : PenStrokeTest(kInk) {}
  void Paint(const Stroke& stroke) { PenStrokeTest::Paint(stroke.points); }
  void CtrlZ() {
    ui.KeyDown(VK_CONTROL);
    ui.Press('Z');
    ui.KeyUp(VK_CONTROL);
  }

  UndoSettingsScope settings{home.Path(), GetParam(), 1LL << 40};
};

const Stroke kStrokes[] = {
    {{{10, 10}, {20, 12}, {30, 20}, {40, 22}}},
    {{{70, 50}, {60, 40}, {50, 45}}},
    {{{5, 55}, {5, 30}, {25, 30}, {25, 5}}},
    {{{35, 30}, {45, 30}, {45, 40}}},
};

TEST_P(UndoStrokesTest, CtrlZUndoesEachStrokeAndEditRedoPaintsItAgain) {
  UDBuffer& picture = window->Picture;
  std::vector<PictureState> states{StateOf(picture)};
  for (const Stroke& stroke : kStrokes) {
    Paint(stroke);
    states.push_back(StateOf(picture));
    ASSERT_NE(states.back(), states[states.size() - 2]) << "the stroke painted";
    ASSERT_NE(picture.UndoChain, nullptr);
    // The step was narrowed to what the stroke touched.
    EXPECT_FALSE(picture.UndoChain->WholeImage);
    EXPECT_LT(picture.UndoChain->Width() * picture.UndoChain->Height(), 80 * 60);
    EXPECT_EQ(picture.UndoChain->OnDisk, GetParam() == 0);
    ExpectCountersMatch({&picture});
  }
  const std::size_t n = std::size(kStrokes);
  for (std::size_t i = n; i-- > 0;) {
    CtrlZ();
    PointerAway();
    ASSERT_EQ(StateOf(picture), states[i]) << "after undoing stroke " << i;
    ExpectCountersMatch({&picture});
  }
  EXPECT_EQ(picture.UndoChain, nullptr);
  for (std::size_t i = 1; i <= n; ++i) {
    TMenuItem* redo = form->MenuItemNamed("Redo1");
    ASSERT_TRUE(redo->GetEnabled());
    ChooseMenuItem("&Edit", redo->GetCaption());
    PointerAway();
    ASSERT_EQ(StateOf(picture), states[i]) << "after redoing stroke " << i - 1;
  }
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
}

TEST_P(UndoStrokesTest, AStrokeAfterAnUndoEmptiesTheRedoChain) {
  UDBuffer& picture = window->Picture;
  Paint(kStrokes[0]);
  const PictureState first = StateOf(picture);
  Paint(kStrokes[1]);
  CtrlZ();
  ASSERT_NE(picture.RedoChain, nullptr);
  Paint(kStrokes[2]);
  EXPECT_EQ(picture.RedoChain, nullptr);
  EXPECT_FALSE(form->MenuItemNamed("Redo1")->GetEnabled());
  ExpectCountersMatch({&picture});
  if (GetParam() == 0) {
    EXPECT_EQ(SwapFiles().size(), 2u);
  }
  CtrlZ();
  PointerAway();
  EXPECT_EQ(StateOf(picture), first);
}

INSTANTIATE_TEST_SUITE_P(Budgets, UndoStrokesTest, ::testing::Values(1LL << 40, 0),
                         [](const auto& info) {
                           return info.param == 0 ? std::string("EveryStepSwapped")
                                                  : std::string("InMemory");
                         });

}  // namespace
