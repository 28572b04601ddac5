// The image object, its undo history and a document window stand on their own: made, changed,
// shown and closed with no main window and no tools, they tell the program around them what
// happened through the document host alone.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/vcl/Application.h"
#include "platform/vcl/Form.h"
#include "quillo/base/Language.h"
#include "quillo/document/DocumentHost.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/UDBuffer.h"
#include "support/TempHome.h"
#include "support/UiDriver.h"
#include "UndoFixture.h"

namespace {

constexpr std::int64_t kNoLimit = 1LL << 40;

// Records what the documents tell the program around them.
class RecordingHost : public DocumentHost {
public:
  void WindowMade(TImageForm& window) override { made.push_back(&window); }
  void UndoHistoryChanged() override { ++historyChanges; }
  void BrushRestored() override { ++brushRestores; }

  std::vector<TImageForm*> made;
  int historyChanges = 0;
  int brushRestores = 0;
};

class WithoutMainWindowTest : public ::testing::Test {
protected:
  WithoutMainWindowTest() {
    Lang = std::make_unique<Language>(QUILLO_BIN_DIR);
    Lang->Load("English");
  }
  ~WithoutMainWindowTest() override {
    CurrentPicture = nullptr;
    ImageForm = nullptr;
    HostSlot<DocumentHost>::Install(nullptr);
    Lang.reset();
    ResetApplication();
  }

  TempHome home;
  UiDriver ui;
  UndoSettingsScope settings{home.Path(), kNoLimit, kNoLimit};
  RecordingHost host;
};

TEST_F(WithoutMainWindowTest, APictureIsChangedUndoneAndRedone) {
  ASSERT_EQ(Application()->GetMainForm(), nullptr);
  HostSlot<DocumentHost>::Install(&host);
  UDBuffer p;
  MakePicture(p, 40, 30, 7);
  CurrentPicture = &p;
  const PictureState before = StateOf(p);

  ASSERT_TRUE(p.PushUndo("Pen"));
  PaintRect(p, 5, 5, 20, 12, 9);
  const PictureState after = StateOf(p);
  ASSERT_NE(after, before);

  ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Keep));
  EXPECT_EQ(StateOf(p), before);
  ASSERT_TRUE(p.Redo());
  EXPECT_EQ(StateOf(p), after);
  // The host heard of every change of the active picture's history.
  EXPECT_GE(host.historyChanges, 2);
  p.FreeUndo();
  p.FreeRedo();
}

TEST_F(WithoutMainWindowTest, TheBrushComesBackFromItsHistoryThroughTheHost) {
  HostSlot<DocumentHost>::Install(&host);
  MakePicture(Brush, 9, 9, 3);
  ASSERT_TRUE(Brush.PushUndo("Brush"));
  PaintRect(Brush, 0, 0, 4, 4, 5);
  ASSERT_TRUE(Brush.Undo());
  EXPECT_EQ(host.brushRestores, 1);
  Brush.FreeUndo();
  Brush.FreeRedo();
  Brush.Free();
  BrushShape.Free();
}

TEST_F(WithoutMainWindowTest, ADocumentWindowIsMadeShownAndClosed) {
  HostSlot<DocumentHost>::Install(&host);
  TImageForm* window = CreateDocumentWindow(64, 48, "");
  ui.RunUntilIdle();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(host.made, std::vector<TImageForm*>{window});
  EXPECT_EQ(ImgFormCount, 1);
  EXPECT_EQ(ImageForm, window);
  EXPECT_TRUE(window->GetVisible());
  // With no main window above it, the window goes to the work area's top left corner.
  EXPECT_GE(window->GetTop(), 0);

  window->Close();
  ui.RunUntilIdle();
  EXPECT_EQ(ImgFormCount, 0);
  EXPECT_EQ(ImageForm, nullptr);
}

TEST_F(WithoutMainWindowTest, TheNeutralHostLetsAWindowPaintItsPicture) {
  auto* window = NewComponent<TImageForm>(Application());
  window->Picture.Alloc(32, 24);
  window->Picture.Box(window->Picture.rect, 0x0000FF);
  window->ShowBuf->SetBuffer(&window->Picture);
  window->ShowBuf->SetBounds(0, 0, 32, 24);
  window->Show();
  ui.RunUntilIdle();
  const POINT at = UiDriver::At(window->ShowBuf->GetHandle(), 10, 10);
  EXPECT_EQ(ui.Pixel(at.x, at.y), 0x0000FFu);
  FreeObject(window);
  ui.RunUntilIdle();
}

}  // namespace
