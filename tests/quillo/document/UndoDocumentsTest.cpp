// The undo history in the started program: Edit/Undo and Edit/Redo with their captions, and
// the budgets across two open documents (the other document's steps go to disk, and are
// deleted, first).

#include <vector>

#include "DocumentFixture.h"
#include "UndoFixture.h"
#include "platform/vcl/Menus.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/base/Language.h"
#include "quillo/base/Settings.h"
#include "quillo/tools/Tool.h"

namespace {

class UndoDocumentsTest : public DocumentTest {
protected:
  // The pointer starts over no image (an earlier test may have left one).
  UndoDocumentsTest() {
    MousePoint = Pair<int>(NoMousePoint, NoMousePoint);
    MouseViewPoint = Pair<int>(-1, -1);
  }
  // A new document with the pointer away from it: the tests change pictures directly, which
  // must not happen under the brush outline of the current tool.
  TImageForm* Document() {
    TImageForm* window = NewDocument(64, 48);
    PointerAway();
    return window;
  }
  // Over the image and off it again: the current tool's brush outline goes out of the
  // picture wherever it was last shown.
  void PointerAway() {
    if (ImageForm != nullptr) {
      const TPoint over = ImageForm->ShowBuf->ClientToScreen(TPoint(1, 1));
      ui.MoveTo(over.x, over.y);
    }
    const TPoint away = form->ClientToScreen(TPoint(2, 2));
    ui.MoveTo(away.x, away.y);
    ui.RunUntilIdle();
  }
  UndoSettingsScope settings{home.Path(), 1LL << 40, 1LL << 40};
};

TEST_F(UndoDocumentsTest, EditUndoAndRedoRestoreTheActivePictureAndNameTheStep) {
  TImageForm* window = Document();
  UDBuffer& p = window->Picture;
  MakePicture(p, 64, 48, 3);
  const PictureState before = StateOf(p);
  ASSERT_TRUE(p.PushUndo("DelSel", nullptr, 4, 4, 40, 30));
  PaintRect(p, 4, 4, 40, 30, 4);
  const PictureState after = StateOf(p);
  ui.RunUntilIdle();
  EXPECT_EQ(CurrentPicture, &p);
  TMenuItem* undo = form->MenuItemNamed("Undo1");
  TMenuItem* redo = form->MenuItemNamed("Redo1");
  const std::string undoCaption = LangMessage("UndoMenu") + " " + LangMessage("DelSel");
  EXPECT_EQ(undo->GetCaption(), undoCaption);
  EXPECT_TRUE(undo->GetEnabled());
  EXPECT_FALSE(redo->GetEnabled());
  EXPECT_TRUE(form->UndoBtn->GetEnabled());

  // The menu drops down over the document: the pointer leaves it on the image.
  ChooseMenuItem("&Edit", undoCaption);
  PointerAway();
  EXPECT_EQ(StateOf(p), before);
  EXPECT_EQ(undo->GetCaption(), LangMessage("UndoMenu"));
  EXPECT_FALSE(undo->GetEnabled());
  EXPECT_TRUE(redo->GetEnabled());
  EXPECT_TRUE(form->RedoBtn->GetEnabled());

  ChooseMenuItem("&Edit", LangMessage("RedoMenu") + " " + LangMessage("DelSel"));
  PointerAway();
  EXPECT_EQ(StateOf(p), after);
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
}

// In the middle of a tool's operation Undo and Redo wait: the step belongs to the operation.
TEST_F(UndoDocumentsTest, UndoWaitsWhileAToolIsMidOperation) {
  TImageForm* window = Document();
  UDBuffer& p = window->Picture;
  ASSERT_TRUE(p.PushUndo("DelSel", nullptr, 0, 0, 9, 9));
  PaintRect(p, 0, 0, 9, 9, 6);
  const PictureState painted = StateOf(p);
  ToolPhase = ToolPhaseDrag;
  form->UpdateUndoItems();
  EXPECT_FALSE(form->MenuItemNamed("Undo1")->GetEnabled());
  EXPECT_FALSE(form->UndoBtn->GetEnabled());
  form->Undo1Click(nullptr);
  EXPECT_EQ(StateOf(p), painted);
  EXPECT_NE(p.UndoChain, nullptr);
  ToolPhase = 0;
  form->UpdateUndoItems();
  EXPECT_TRUE(form->MenuItemNamed("Undo1")->GetEnabled());
  form->Undo1Click(nullptr);
  EXPECT_EQ(p.UndoChain, nullptr);
  EXPECT_NE(p.RedoChain, nullptr);
}

// Undoing a change of size gives the window's view the old pixels.
TEST_F(UndoDocumentsTest, UndoingAResizeShowsTheOldSizeInTheWindow) {
  TImageForm* window = Document();
  UDBuffer& p = window->Picture;
  ASSERT_TRUE(p.PushUndo("Resize"));
  MakePicture(p, 100, 20, 5);
  form->Undo1Click(nullptr);
  EXPECT_EQ(p.Width(), 64);
  EXPECT_EQ(DrawView.pixels, p.pixels);
  EXPECT_EQ(DrawView.Width(), 64);
}

TEST_F(UndoDocumentsTest, WhenMemoryRunsShortTheOtherDocumentsStepsGoToDiskFirst) {
  TImageForm* first = Document();
  TImageForm* second = Document();
  ASSERT_EQ(CurrentPicture, &second->Picture);
  UDBuffer& a = first->Picture;
  UDBuffer& b = second->Picture;
  MakePicture(a, 64, 48, 1);
  MakePicture(b, 64, 48, 2);
  const std::int64_t step = UndoSizeKB(64, 48);
  Settings.UndoMem = 2 * step;
  std::vector<PictureState> statesA, statesB;
  for (int i = 0; i < 2; ++i) {
    statesA.push_back(StateOf(a));
    ASSERT_TRUE(a.PushUndo("Box"));
    PaintRect(a, 0, 0, 63, 47, 10 + i);
  }
  for (UndoEntry* s : Steps(a.UndoChain)) EXPECT_FALSE(s->OnDisk);
  for (int i = 0; i < 3; ++i) {
    statesB.push_back(StateOf(b));
    ASSERT_TRUE(b.PushUndo("Box"));
    PaintRect(b, 0, 0, 63, 47, 20 + i);
    ExpectCountersMatch({&a, &b});
  }
  // The first document's two steps went before any of the active one's; then its oldest.
  for (UndoEntry* s : Steps(a.UndoChain)) EXPECT_TRUE(s->OnDisk);
  const std::vector<UndoEntry*> own = Steps(b.UndoChain);
  ASSERT_EQ(own.size(), 3u);
  EXPECT_FALSE(own[0]->OnDisk);
  EXPECT_FALSE(own[1]->OnDisk);
  EXPECT_TRUE(own[2]->OnDisk);
  for (int i = 2; i >= 0; --i) {
    ASSERT_TRUE(b.Undo(UDBuffer::RedoRecord::Keep));
    EXPECT_EQ(StateOf(b), statesB[static_cast<std::size_t>(i)]);
    ExpectCountersMatch({&a, &b});
  }
  for (int i = 1; i >= 0; --i) {
    ASSERT_TRUE(a.Undo(UDBuffer::RedoRecord::Keep));
    EXPECT_EQ(StateOf(a), statesA[static_cast<std::size_t>(i)]);
  }
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
}

TEST_F(UndoDocumentsTest, UnderASmallDiskBudgetTheOtherDocumentsStepsAreDeletedFirst) {
  TImageForm* first = Document();
  TImageForm* second = Document();
  UDBuffer& a = first->Picture;
  UDBuffer& b = second->Picture;
  const std::int64_t step = UndoSizeKB(30, 30);
  Settings.UndoMem = 0;
  Settings.UndoDisk = 3 * step;
  for (int i = 0; i < 2; ++i) ASSERT_TRUE(a.PushUndo("Box", nullptr, i, i, i + 29, i + 29));
  std::vector<PictureState> statesB;
  for (int i = 0; i < 3; ++i) {
    statesB.push_back(StateOf(b));
    ASSERT_TRUE(b.PushUndo("Box", nullptr, i, i, i + 29, i + 29));
    PaintRect(b, i, i, i + 29, i + 29, 30 + i);
    ExpectCountersMatch({&a, &b});
    EXPECT_LE(UndoTotals.UndoDiskKB, 3 * step);
  }
  EXPECT_EQ(a.UndoChain, nullptr);
  EXPECT_EQ(Steps(b.UndoChain).size(), 3u);
  // Now the active document's own oldest go, never its newest.
  ASSERT_TRUE(b.PushUndo("Box", nullptr, 10, 10, 39, 39));
  EXPECT_EQ(Steps(b.UndoChain).size(), 3u);
  EXPECT_EQ(b.UndoChain->Left, 10);
  ASSERT_TRUE(b.Undo(UDBuffer::RedoRecord::Keep));
  ASSERT_TRUE(b.Undo(UDBuffer::RedoRecord::Keep));
  EXPECT_EQ(StateOf(b), statesB[2]);
  ExpectCountersMatch({&a, &b});
}

}  // namespace
