// TSplitter dragged through the UI driver: the control beside it takes the new size when
// the button is let go, within MinSize and what the others leave; OnCanResize may refuse,
// small sizes snap shut, Escape gives the drag up, and the inverted line leaves no trace.

#include "VclFixture.h"

#include "platform/host/KeyCodes.h"
#include "platform/vcl/ExtCtrlsSplitter.h"
#include "platform/vcl/Form.h"

namespace {

class SplitterTest : public VclTest {
protected:
  // A side control aligned to `side`, the splitter beside it, and a client control.
  void Build(TAlign side, TResizeStyle style = rsPattern) {
    form = Application()->CreateForm<TForm>();
    form->SetBounds(100, 100, 400, 300);
    sideControl = NewComponent<TSwatch>(form);
    sideControl->SetAlign(side);
    sideControl->SetBounds(0, 0, 100, 100);
    sideControl->SetParent(form);
    splitter = NewComponent<TSplitter>(form);
    splitter->SetAlign(side);
    bool vertical = side == alLeft || side == alRight;
    splitter->SetBounds(side == alRight ? 0 : 200, side == alBottom ? 0 : 200, vertical ? 4 : 100, vertical ? 100 : 4);
    splitter->SetParent(form);
    splitter->SetResizeStyle(style);
    client = NewComponent<TSwatch>(form);
    client->SetAlign(alClient);
    client->SetParent(form);
    client->SetTabStop(true);
    splitter->OnMoved = [this](TObject*) { ++moved; };
    form->Show();
    client->SetFocus();
    ui.RunUntilIdle();
  }
  // Drags from the splitter's middle by (dx, dy).
  void DragBy(int dx, int dy, int steps = 4) {
    POINT from = At(splitter, splitter->GetWidth() / 2, splitter->GetHeight() / 2);
    ui.Drag(from, POINT{from.x + dx, from.y + dy}, steps);
  }
  int SideSize() const {
    return sideControl->GetAlign() == alLeft || sideControl->GetAlign() == alRight ? sideControl->GetWidth()
                                                                                     : sideControl->GetHeight();
  }

  TForm* form = nullptr;
  TSwatch* sideControl = nullptr;
  TSplitter* splitter = nullptr;
  TSwatch* client = nullptr;
  int moved = 0;
};

TEST_F(SplitterTest, DraggingSizesTheControlOnEachSide) {
  struct Case {
    TAlign side;
    int dx, dy;
    int size;
  };
  const Case cases[] = {
      {alLeft, 50, 0, 150}, {alLeft, -40, 0, 60},  {alRight, -50, 0, 150}, {alRight, 30, 0, 70},
      {alTop, 0, 50, 150},  {alTop, 0, -20, 80},   {alBottom, 0, -50, 150}, {alBottom, 0, 30, 70},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.side) * 1000 + c.dx + c.dy);
    Build(c.side);
    DragBy(c.dx, c.dy);
    EXPECT_EQ(SideSize(), c.size);
    EXPECT_EQ(moved, 1);
    // The splitter stays against the control, the client fills the rest.
    if (c.side == alLeft) {
      EXPECT_EQ(splitter->GetLeft(), c.size);
      EXPECT_EQ(client->GetLeft(), c.size + 4);
    }
    EXPECT_FALSE(splitter->Sizing());
    FreeObject(form);
    moved = 0;
  }
}

TEST_F(SplitterTest, SizesStayBetweenMinSizeAndWhatTheRestNeeds) {
  Build(alLeft);
  splitter->SetAutoSnap(false);
  splitter->SetMinSize(40);
  DragBy(-90, 0);
  EXPECT_EQ(SideSize(), 40);
  ui.Advance(1000);
  DragBy(400, 0);
  int clientWidth = form->GetClientWidth();
  EXPECT_EQ(SideSize(), clientWidth - 4 - 40);  // MinSize is left for the client
  EXPECT_EQ(client->GetWidth(), 40);
}

TEST_F(SplitterTest, SmallSizesSnapShutWithAutoSnap) {
  Build(alLeft);
  splitter->SetMinSize(30);
  DragBy(-80, 0);
  EXPECT_EQ(SideSize(), 0);
}

TEST_F(SplitterTest, OnCanResizeMayRefuseOrChangeTheSize) {
  Build(alLeft);
  splitter->OnCanResize = [](TObject*, int& size, bool& accept) {
    if (size > 170) accept = false;
    size = size / 10 * 10;
  };
  DragBy(200, 0, 8);  // the moves past 170 are refused: the last accepted size stands
  EXPECT_LE(SideSize(), 170);
  EXPECT_EQ(SideSize() % 10, 0);
  EXPECT_GT(SideSize(), 100);
}

TEST_F(SplitterTest, EscapeGivesTheDragUp) {
  Build(alLeft);
  int keys = 0;
  client->OnKeyDown = [&](TObject*, WORD&, TShiftState) { ++keys; };
  POINT from = At(splitter, 2, 50);
  ui.MouseDown(from.x, from.y);
  ui.MoveTo(from.x + 60, from.y);
  EXPECT_TRUE(splitter->Sizing());
  ui.Press('A');  // other keys reach the control's own handler
  EXPECT_EQ(keys, 1);
  ui.Press(VK_ESCAPE);
  EXPECT_FALSE(splitter->Sizing());
  ui.MouseUp(from.x + 60, from.y);
  EXPECT_EQ(SideSize(), 100);
  EXPECT_EQ(moved, 0);
  ui.Press('B');  // the control has its handler back
  EXPECT_EQ(keys, 2);
}

TEST_F(SplitterTest, TheLineShowsWhileDraggingAndLeavesNoTrace) {
  Build(alLeft, rsLine);
  POINT from = At(splitter, 2, 50);
  POINT lineAt = At(splitter, 2 + 40, 80);
  std::uint32_t before = ui.Pixel(lineAt.x, lineAt.y);
  ui.MouseDown(from.x, from.y);
  ui.MoveTo(from.x + 40, from.y);
  EXPECT_EQ(SideSize(), 100);  // nothing moves yet
  EXPECT_EQ(ui.Pixel(lineAt.x, lineAt.y), before ^ 0xFFFFFF);
  ui.MouseUp(from.x + 40, from.y);
  ui.RunUntilIdle();
  EXPECT_EQ(SideSize(), 140);
  POINT old = At(client, 60, 80);  // where the line was, now the client's
  EXPECT_EQ(ui.Pixel(old.x, old.y), Rgb(client->GetColor()));
}

TEST_F(SplitterTest, UpdateStyleSizesAtEveryMove) {
  Build(alLeft, rsUpdate);
  POINT from = At(splitter, 2, 50);
  ui.MouseDown(from.x, from.y);
  ui.MoveTo(from.x + 30, from.y);
  EXPECT_EQ(SideSize(), 130);
  ui.MoveTo(from.x + 50, from.y);
  EXPECT_EQ(SideSize(), 150);
  ui.MouseUp(from.x + 50, from.y);
  EXPECT_EQ(moved, 2);
}

}  // namespace
