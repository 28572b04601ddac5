// The undo history list open under the Undo button, for a person to look at
// (scripts/screenshot-undo.sh): a picture with a few pen strokes and commands behind it, the
// arrow beside the Undo button clicked, and the pointer resting on the third entry, which is
// highlighted. Checked where a user would look: the list on the screen with its entries, and
// the highlighted row under the pointer.

#include <gtest/gtest.h>

#include <cmath>

#include "../document/UndoFixture.h"
#include "ProgramFixture.h"
#include "platform/vcl/ListBox.h"
#include "platform/vcl/UpDown.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/base/Language.h"
#include "quillo/shell/UndoForm.h"
#include "quillo/document/Zoom.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/FactoryBrush.h"
#include "quillo/tools/Tool.h"
#include "quillo/tools/ToolObjects.h"

namespace {

constexpr std::uint32_t kPaper = 0x00F8F4E8;
constexpr std::uint32_t kInk = 0x00305890;

class UndoHistoryShot : public ProgramTest {
protected:
  ~UndoHistoryShot() override {
    ToolPhase = 0;
    Brush.Free();
    BrushShape.Free();
    SavedArea.Free();
    BrushState = BrushStateBlock{};
  }
};

TEST_F(UndoHistoryShot, TheUndoListOpenUnderTheUndoButton) {
  Start();
  UndoSettingsScope settings{home.Path(), 1LL << 40, 1LL << 40};
  TImageForm* window = CreateDocumentWindow(240, 160, "");
  ui.RunUntilIdle();
  UDBuffer& picture = window->Picture;
  picture.Box(picture.rect, kPaper);
  window->SetBounds(window->GetLeft(), window->GetTop() + 40, 540, 400);
  form->Zoom->SetPosition(2);
  ApplyZoom();
  ui.RunUntilIdle();

  MakeFactoryBrush(FactoryShape::Round, 9, 60, kInk);
  BrushMode = BrushModeColor;
  UpdateBrushShapeWith(kInk, kPaper, false);
  SelectTool(&PenContTool, true, -1);
  ui.Advance(500);
  auto screen = [&](int x, int y) { return window->ShowBuf->ClientToScreen(TPoint(2 * x, 2 * y)); };
  auto away = [&] {
    const TPoint p = form->ClientToScreen(TPoint(2, 2));
    ui.MoveTo(p.x, p.y);
  };
  // Three wavy strokes painted with the mouse, and a cut and a paste between them.
  for (int stroke = 0; stroke < 3; ++stroke) {
    const int baseY = 40 + 40 * stroke;
    TPoint p = screen(20, baseY);
    ui.MoveTo(p.x, p.y);
    ui.MouseDown(p.x, p.y);
    ui.Advance(500);
    for (int x = 20; x <= 220; x += 5) {
      p = screen(x, baseY + static_cast<int>(14 * std::sin((x + 30 * stroke) / 20.0)));
      ui.MoveTo(p.x, p.y);
    }
    ui.MouseUp(p.x, p.y);
    ui.Advance(200);
    away();
    if (stroke == 0) {
      ASSERT_TRUE(picture.PushUndo("CutImg", nullptr, 150, 20, 200, 60));
      picture.Box(Rect{150, 20, 200, 60}, kPaper);
    } else if (stroke == 1) {
      ASSERT_TRUE(picture.PushUndo("PasteImg", nullptr, 30, 100, 80, 140));
      picture.Box(Rect{30, 100, 80, 140}, 0x00C04040);
    }
    window->ShowBuf->Invalidate();
    ui.RunUntilIdle();
  }
  ASSERT_EQ(Steps(picture.UndoChain).size(), 5u);

  // The arrow beside the Undo button opens the list at the pointer.
  ui.Advance(100);
  const TPoint arrow = form->UndoBtn->ClientToScreen(TPoint(form->UndoBtn->GetWidth() - 4, form->UndoBtn->GetHeight() / 2));
  ui.MoveTo(arrow.x, arrow.y);
  ui.Click(arrow.x, arrow.y);
  ASSERT_TRUE(UndoFormShown);
  ASSERT_NE(UndoForm, nullptr);
  TListBox* list = UndoForm->UndoList;
  ASSERT_EQ(list->GetItems()->Count(), 5);
  EXPECT_EQ(list->GetItems()->Get(0), LangMessage("ContFhandIcon"));
  EXPECT_EQ(list->GetItems()->Get(1), LangMessage("PasteImg"));
  EXPECT_EQ(list->GetItems()->Get(3), LangMessage("CutImg"));

  // The pointer rests on the third entry: highlighted on the screen.
  const TRect row = list->ItemRect(2);
  const TPoint rest = list->ClientToScreen(TPoint(row.right - 12, (row.top + row.bottom) / 2));
  ui.MoveTo(rest.x, rest.y);
  ui.RunUntilIdle();
  EXPECT_EQ(list->GetItemIndex(), 2);
  const TPoint highlighted = list->ClientToScreen(TPoint(row.right - 4, row.top + 1));
  const TPoint plain = list->ClientToScreen(TPoint(row.right - 4, list->ItemRect(0).top + 1));
  EXPECT_NE(ui.Pixel(highlighted.x, highlighted.y), ui.Pixel(plain.x, plain.y)) << "the row under the pointer stands out";
  ui.ShowToViewer(UiDriver::Hold::Still);

  ui.Press(VK_ESCAPE);
  EXPECT_FALSE(UndoFormShown);
  EXPECT_EQ(Steps(picture.UndoChain).size(), 5u);
}

}  // namespace
