// The three pens through the document window, as a user paints: each stroke is compared,
// whole image, with one built here from the pens' rules. The continuous pen stamps every pixel
// of the walk between sampled pointer positions, the dotted pen only the sampled positions,
// the single pen once per press. Stamps are composited as the brush copy does, so a pixel
// stamped twice by the soft brush shows it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "StrokeWalk.h"
#include "ToolFixture.h"
#include "../shell/PaletteUser.h"
#include "platform/vcl/ExtCtrls.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/shell/MainForm.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/shell/ToolPalette.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/FactoryBrush.h"
#include "quillo/tools/Grid.h"
#include "quillo/shell/IconPanel.h"
#include "quillo/tools/ToolObjects.h"
#include "support/UiDriver.h"

namespace {

enum class Pen { Continuous, Dotted, Single };
enum class BrushKind { OnePixel, Soft9 };

struct StrokeCase {
  Pen pen;
  BrushKind brush;
  double zoom;
  bool rightButton;
};

std::string Describe(const StrokeCase& c) {
  const char* pens[] = {"continuous", "dotted", "single"};
  return std::string(pens[static_cast<int>(c.pen)]) + (c.brush == BrushKind::Soft9 ? ", soft 9" : ", 1 pixel") +
         ", zoom " + std::to_string(c.zoom) + (c.rightButton ? ", right button" : "");
}

class PenStrokeTest : public ToolTest {
protected:
  PenStrokeTest() {
    // Drawing colour blue, background green (the framework's colours are 0x00BBGGRR).
    form->DrawCol->SetColor(static_cast<TColor>(0xFF0000));
    form->BackCol->SetColor(static_cast<TColor>(0x00FF00));
  }

  void UseBrush(BrushKind kind) {
    if (kind == BrushKind::OnePixel) MakeFactoryBrush(FactoryShape::Round, 1, 100, DrawingColour());
    else MakeFactoryBrush(FactoryShape::Round, 9, 40, DrawingColour());
    UpdateBrushShape(true);
    backBrush.Alloc(Pair<int>(BrushShape.Width(), BrushShape.Height()));
    backBrush.Copy(BrushShape, Pair<int>(-BrushShape.rect.left, -BrushShape.rect.top), Buffer::kPlain);
    UpdateBrushShape(false);
    drawBrush.Alloc(Pair<int>(BrushShape.Width(), BrushShape.Height()));
    drawBrush.Copy(BrushShape, Pair<int>(-BrushShape.rect.left, -BrushShape.rect.top), Buffer::kPlain);
    hotSpot = BrushHotSpot();
  }

  void SelectPen(Pen pen) {
    P_icon* tools[] = {&PenContTool, &PenDiscTool, &PenOneTool};
    SelectTool(tools[static_cast<int>(pen)], true, -1);
  }

  // The picture as it is now, to stamp the expected strokes on.
  void TakeReference() {
    const UDBuffer& picture = document->Picture;
    reference.Alloc(Pair<int>(picture.Width(), picture.Height()));
    reference.Copy(picture, Pair<int>(-picture.rect.left, -picture.rect.top), Buffer::kPlain);
  }

  void ExpectStamp(Pair<int> at, bool background) {
    const Buffer& brush = background ? backBrush : drawBrush;
    reference.Copy(brush, Pair<int>(at.x - hotSpot.x, at.y - hotSpot.y), Buffer::kComposite);
  }

  // The image point the document window takes for a view point.
  Pair<int> Sampled(Pair<int> view, double zoom) const {
    Pair<int> p(static_cast<int>(view.x / zoom), static_cast<int>(view.y / zoom));
    SnapToGrid(p);
    return p;
  }

  // Presses at the first view point, moves through the others and releases at the last, as a
  // drag; returns the image points the pen was handed, each once (a move to the same image
  // point hands nothing).
  Points Drag(const Points& view, double zoom, bool rightButton) {
    const int button = rightButton ? InputEvent::Right : InputEvent::Left;
    Points sampled;
    const POINT first = ViewPoint(view[0].x, view[0].y);
    ui.MoveTo(first.x, first.y);
    ui.MouseDown(first.x, first.y, button);
    ui.RunUntilIdle();
    sampled.push_back(Sampled(view[0], zoom));
    for (std::size_t i = 1; i < view.size(); ++i) {
      const POINT at = ViewPoint(view[i].x, view[i].y);
      ui.MoveTo(at.x, at.y);
      ui.RunUntilIdle();
      const Pair<int> p = Sampled(view[i], zoom);
      if (!(p == sampled.back())) sampled.push_back(p);
    }
    ui.Advance(400);  // a drag, not a click
    const POINT last = ViewPoint(view.back().x, view.back().y);
    ui.MouseUp(last.x, last.y, button);
    ui.RunUntilIdle();
    return sampled;
  }

  // What the pen's rules give for a drag through these sampled points.
  void ExpectDrag(Pen pen, const Points& sampled, bool background) {
    switch (pen) {
      case Pen::Continuous:
        ExpectStamp(sampled[0], background);
        for (std::size_t i = 1; i < sampled.size(); ++i)
          for (const Pair<int>& p : Walk(sampled[i - 1], sampled[i])) ExpectStamp(p, background);
        ExpectStamp(sampled.back(), background);
        break;
      case Pen::Dotted:
        for (const Pair<int>& p : sampled) ExpectStamp(p, background);
        ExpectStamp(sampled.back(), background);
        break;
      case Pen::Single:
        ExpectStamp(sampled[0], background);
        break;
    }
  }

  // Counts the pixels that differ from the reference, naming the first.
  ::testing::AssertionResult PictureIsReference() const {
    const UDBuffer& picture = document->Picture;
    int differ = 0;
    std::string first;
    for (int y = 0; y < picture.Height(); ++y)
      for (int x = 0; x < picture.Width(); ++x) {
        const std::uint32_t got = *picture.At(picture.rect.left + x, picture.rect.top + y);
        const std::uint32_t want = *reference.At(x, y);
        if (got != want && differ++ == 0) {
          char text[96];
          snprintf(text, sizeof text, "(%d, %d) is %08X, not %08X", x, y, got, want);
          first = text;
        }
      }
    if (differ == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differ << " pixels differ; first " << first;
  }

  Buffer reference;
  Buffer drawBrush;
  Buffer backBrush;
  Pair<int> hotSpot;
};

// A path through the image in image units; at each zoom the view points are these times the
// zoom. It turns, runs steep and flat, and passes the same image point twice at zoom 2.
const Points kPath = {{6, 5}, {30, 12}, {31, 12}, {34, 40}, {8, 30}, {9, 31}, {50, 20}};

Points ViewPath(const Points& image, double zoom) {
  Points view;
  for (const Pair<int>& p : image) view.emplace_back(static_cast<int>(p.x * zoom), static_cast<int>(p.y * zoom));
  return view;
}

TEST_F(PenStrokeTest, EachPenPaintsWhatItsRulesGiveAtEveryZoom) {
  for (const Pen pen : {Pen::Continuous, Pen::Dotted, Pen::Single})
    for (const BrushKind brush : {BrushKind::OnePixel, BrushKind::Soft9})
      for (const double zoom : {1.0, 2.0, 0.5})
        for (const bool right : {false, true}) {
          const StrokeCase c{pen, brush, zoom, right};
          SCOPED_TRACE(Describe(c));
          document->Picture.Box(document->Picture.rect, 0xFFFFFF);
          SetZoom(zoom);
          UseBrush(brush);
          SelectPen(pen);
          PointerAway();
          TakeReference();
          Points view = ViewPath(kPath, zoom);
          if (zoom == 2.0) view.insert(view.begin() + 2, Pair<int>(view[1].x + 1, view[1].y));
          const Points sampled = Drag(view, zoom, right);
          PointerAway();
          ExpectDrag(pen, sampled, right);
          EXPECT_TRUE(PictureIsReference());
          EXPECT_EQ(ToolPhase, 0u);
        }
}

TEST_F(PenStrokeTest, TheSinglePenDabsOncePerPress) {
  UseBrush(BrushKind::Soft9);
  SelectPen(Pen::Single);
  PointerAway();
  TakeReference();
  const Points first = Drag({{10, 10}, {40, 20}, {50, 40}}, 1.0, false);
  const Points second = Drag({{30, 30}, {20, 25}}, 1.0, false);
  PointerAway();
  ExpectStamp(first[0], false);
  ExpectStamp(second[0], false);
  EXPECT_TRUE(PictureIsReference());
  // Each press is one step, covering the brush there.
  ASSERT_NE(document->Picture.UndoChain, nullptr);
  const UndoEntry& newest = *document->Picture.UndoChain;
  EXPECT_EQ(newest.Left, 30 - hotSpot.x);
  EXPECT_EQ(newest.Top, 30 - hotSpot.y);
  EXPECT_EQ(newest.Right, 30 - hotSpot.x + 8);
  EXPECT_EQ(newest.Bottom, 30 - hotSpot.y + 8);
  ASSERT_NE(newest.Next, nullptr);
  EXPECT_EQ(newest.Next->Next, nullptr);
}

TEST_F(PenStrokeTest, AClickWithTheContinuousPenIsOneDab) {
  UseBrush(BrushKind::Soft9);
  SelectPen(Pen::Continuous);
  PointerAway();
  TakeReference();
  const POINT at = ViewPoint(20, 20);
  ui.MoveTo(at.x, at.y);
  ui.Click(at.x, at.y);
  ui.RunUntilIdle();
  ui.MoveTo(at.x + 1, at.y);  // the first move after a click ends the one-dab stroke
  ui.RunUntilIdle();
  PointerAway();
  EXPECT_EQ(ToolPhase, 0u);
  ExpectStamp(Pair<int>(20, 20), false);
  EXPECT_TRUE(PictureIsReference());
  // Undone, the picture is as before the click.
  ASSERT_TRUE(document->Picture.Undo());
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) ASSERT_EQ(*document->Picture.At(x, y) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(PenStrokeTest, AStrokesStepCoversWhatItTouchedAndUndoesIt) {
  UseBrush(BrushKind::Soft9);
  SelectPen(Pen::Continuous);
  PointerAway();
  TakeReference();
  const Points sampled = Drag({{10, 12}, {30, 20}, {25, 35}}, 1.0, false);
  PointerAway();
  ASSERT_NE(document->Picture.UndoChain, nullptr);
  const UndoEntry& step = *document->Picture.UndoChain;
  EXPECT_EQ(step.Left, 10 - hotSpot.x);
  EXPECT_EQ(step.Top, 12 - hotSpot.y);
  EXPECT_EQ(step.Right, 30 - hotSpot.x + 8);
  EXPECT_EQ(step.Bottom, 35 - hotSpot.y + 8);
  EXPECT_EQ(step.Next, nullptr);
  ASSERT_TRUE(document->Picture.Undo(UDBuffer::RedoRecord::Keep));
  EXPECT_TRUE(PictureIsReference()) << "undone, the picture is as before the stroke";
  ASSERT_TRUE(document->Picture.Redo());
  ExpectDrag(Pen::Continuous, sampled, false);
  EXPECT_TRUE(PictureIsReference());
}

TEST_F(PenStrokeTest, AStrokeLeavingAndReenteringTheImageKeepsPainting) {
  UseBrush(BrushKind::OnePixel);
  SelectPen(Pen::Continuous);
  PointerAway();
  TakeReference();
  const Points sampled = Drag({{40, 10}, {90, 20}, {50, 40}}, 1.0, false);
  PointerAway();
  ExpectDrag(Pen::Continuous, sampled, false);
  EXPECT_TRUE(PictureIsReference());
}

TEST_F(PenStrokeTest, TheRightButtonStrokeLeavesTheBrushInTheDrawingColour) {
  UseBrush(BrushKind::Soft9);
  SelectPen(Pen::Continuous);
  PointerAway();
  Drag({{10, 10}, {40, 30}}, 1.0, true);
  PointerAway();
  ASSERT_EQ(BrushShape.Width(), drawBrush.Width());
  for (int y = 0; y < drawBrush.Height(); ++y)
    for (int x = 0; x < drawBrush.Width(); ++x)
      ASSERT_EQ(*BrushShape.At(BrushShape.rect.left + x, BrushShape.rect.top + y), *drawBrush.At(x, y));
}

TEST_F(PenStrokeTest, WithTheGridOnEveryDotSitsOnTheGrid) {
  SelectTool(&GridTool, true, -1);
  GridDx = GridDy = 10;
  GridPx = GridPy = 3;
  for (const Pen pen : {Pen::Dotted, Pen::Continuous})
    for (const double zoom : {1.0, 2.0}) {
      SCOPED_TRACE(Describe({pen, BrushKind::Soft9, zoom, false}));
      document->Picture.Box(document->Picture.rect, 0xFFFFFF);
      SetZoom(zoom);
      UseBrush(BrushKind::Soft9);
      SelectPen(pen);
      PointerAway();
      TakeReference();
      const Points sampled = Drag(ViewPath({{7, 8}, {12, 12}, {30, 19}, {44, 41}, {20, 27}}, zoom), zoom, false);
      PointerAway();
      for (const Pair<int>& p : sampled) {
        EXPECT_EQ((p.x - 3) % 10, 0) << p.x;
        EXPECT_EQ((p.y - 3) % 10, 0) << p.y;
      }
      ExpectDrag(pen, sampled, false);
      EXPECT_TRUE(PictureIsReference());
    }
  EXPECT_EQ(Sampled({7, 8}, 1.0), Pair<int>(3, 13));
  EXPECT_EQ(Sampled({12, 12}, 1.0), Pair<int>(13, 13));
}

// The pens as the user chooses them: through the palette's icon panel or by the pens' hot key,
// coming from another tool; the strokes are those of the pens' rules either way.
enum class ChosenBy { IconPanel, HotKey };

class PenChosenByTheUserTest : public PenStrokeTest,
                               public ::testing::WithParamInterface<std::tuple<Pen, ChosenBy>> {
protected:
  void Choose(Pen pen, ChosenBy way) {
    P_icon* const tools[] = {&PenContTool, &PenDiscTool, &PenOneTool};
    P_icon* const wanted = tools[static_cast<int>(pen)];
    SelectTool(&IdleTool, true, -1);
    const int group = PaletteGroupOf(&PenContTool);
    ASSERT_GE(group, 0);
    const PaletteGroup& pens = PaletteGroups[static_cast<std::size_t>(group)];
    if (way == ChosenBy::IconPanel) {
      HoldOnCentre(ui, pens.Button);
      ASSERT_TRUE(IconPanelOpen);
      ClickOnCentre(ui, IconPanelButtons[static_cast<int>(pen)]);
      EXPECT_FALSE(IconPanelOpen);
    } else {
      SetForegroundWindow(document->GetHandle());
      document->SetFocus();
      ui.RunUntilIdle();
      for (int presses = 0; presses < 3 && CurrentTool != wanted; ++presses) ui.Press('P');
      ui.RunUntilIdle();
    }
    ASSERT_EQ(CurrentTool, wanted);
    EXPECT_EQ(PaletteEntries[static_cast<std::size_t>(pens.SelectedEntry)].Tool, wanted);
  }
};

std::string NameOfChoice(const ::testing::TestParamInfo<std::tuple<Pen, ChosenBy>>& info) {
  const char* pens[] = {"Continuous", "Dotted", "Single"};
  return std::string(pens[static_cast<int>(std::get<0>(info.param))]) +
         (std::get<1>(info.param) == ChosenBy::IconPanel ? "ThroughThePanel" : "ByHotKey");
}

TEST_P(PenChosenByTheUserTest, StrokesAsItsRulesGive) {
  const auto [pen, way] = GetParam();
  Choose(pen, way);
  P_icon* const chosen = CurrentTool;
  for (const double zoom : {1.0, 2.0})
    for (const bool right : {false, true}) {
      const StrokeCase c{pen, BrushKind::Soft9, zoom, right};
      SCOPED_TRACE(Describe(c));
      document->Picture.Box(document->Picture.rect, 0xFFFFFF);
      SetZoom(zoom);
      UseBrush(BrushKind::Soft9);
      PointerAway();
      TakeReference();
      const Points sampled = Drag(ViewPath(kPath, zoom), zoom, right);
      PointerAway();
      ExpectDrag(pen, sampled, right);
      EXPECT_TRUE(PictureIsReference());
      EXPECT_EQ(CurrentTool, chosen);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryPenBothWays, PenChosenByTheUserTest,
                         ::testing::Combine(::testing::Values(Pen::Continuous, Pen::Dotted, Pen::Single),
                                            ::testing::Values(ChosenBy::IconPanel, ChosenBy::HotKey)),
                         NameOfChoice);

}  // namespace
