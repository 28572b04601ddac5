// What the seeded stress test found, each as the shortest script that showed it.

#include "VclFixture.h"

namespace {

class MonkeyFindingTest : public VclTest {};

TEST_F(MonkeyFindingTest, AFormFreedInsideItsModalLoopEndsTheLoop) {
  auto* main = Application()->CreateForm<TForm>();
  main->SetBounds(10, 10, 300, 200);
  main->Show();
  ui.RunUntilIdle();
  auto* dialog = NewComponent<TForm>(Application());
  dialog->SetBounds(50, 50, 200, 100);
  bool waitedOn = false;
  ui.WhenModalWaits([&] { FreeObject(dialog); });
  ui.WhenModalWaits([&] { waitedOn = true; });
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_FALSE(waitedOn);  // the loop woke at once
  EXPECT_TRUE(IsWindowEnabled(main->GetHandle()));
  EXPECT_EQ(GetActiveWindow(), main->GetHandle());
  EXPECT_EQ(Screen()->FormCount(), 1);
}

TEST_F(MonkeyFindingTest, AFormFreedWhileAnotherIsModalIsNotGivenTheFocusBack) {
  auto* main = Application()->CreateForm<TForm>();
  main->SetBounds(10, 10, 300, 200);
  main->Show();
  auto* other = NewComponent<TForm>(Application());
  other->SetBounds(100, 100, 300, 200);
  other->Show();
  ui.RunUntilIdle();
  ASSERT_EQ(Screen()->FocusedForm(), other);
  auto dialog = MakeObject<TForm>(nullptr);
  ui.WhenModalWaits([&] {
    FreeObject(other);
    dialog->SetModalResult(mrOk);
  });
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_EQ(Screen()->FocusedForm(), nullptr);
  ui.Click(50, 50);  // the main form takes the focus as before
  EXPECT_EQ(Screen()->FocusedForm(), main);
}

TEST_F(MonkeyFindingTest, AFormReleasedWhileItsControlsClickRunsAModalLoopOutlivesTheClick) {
  auto* main = Application()->CreateForm<TForm>();
  main->SetBounds(10, 10, 300, 200);
  main->Show();
  auto* other = NewComponent<TForm>(Application());
  other->SetBounds(100, 100, 300, 200);
  auto* panel = NewComponent<TSwatch>(other);
  panel->SetParent(other);
  panel->SetBounds(10, 10, 100, 40);
  other->Show();
  ui.RunUntilIdle();
  bool destroyed = false;
  bool destroyedInsideClick = true;
  other->OnDestroy = [&](TObject*) { destroyed = true; };
  auto dialog = MakeObject<TForm>(nullptr);
  panel->OnClick = [&](TObject*) {
    ui.WhenModalWaits([&] {
      other->Release();
      PostMessage(dialog->GetHandle(), WM_CLOSE, 0, 0);  // after the release, in the same loop
    });
    dialog->ShowModal();
    destroyedInsideClick = destroyed;
  };
  ClickOn(panel);
  EXPECT_FALSE(destroyedInsideClick);
  ui.RunUntilIdle();
  EXPECT_TRUE(destroyed);  // and freed once the click is over
  EXPECT_EQ(Screen()->FormCount(), 2);  // the main form and the dialog
}

TEST_F(MonkeyFindingTest, AControlCannotBeMadeAChildOfItsOwnDescendant) {
  auto* form = Application()->CreateForm<TForm>();
  auto* outer = NewComponent<TSwatch>(form);
  outer->SetParent(form);
  auto* middle = NewComponent<TSwatch>(form);
  middle->SetParent(outer);
  auto* inner = NewComponent<TSwatch>(form);
  inner->SetParent(middle);
  for (TWinControl* descendant : std::initializer_list<TWinControl*>{outer, middle, inner})
    EXPECT_THROW(outer->SetParent(descendant), EInvalidOperation);
  EXPECT_THROW(form->SetParent(inner), EInvalidOperation);
  EXPECT_EQ(outer->GetParent(), form);  // left where it was
  EXPECT_EQ(form->GetParent(), nullptr);
}

TEST_F(MonkeyFindingTest, AControlOnAFormHiddenByMinimisingTakesNoFocus) {
  auto* main = Application()->CreateForm<TForm>();
  main->SetBounds(10, 10, 300, 200);
  auto* panel = NewComponent<TSwatch>(main);
  panel->SetParent(main);
  panel->SetBounds(10, 10, 100, 40);
  panel->SetTabStop(true);
  main->Show();
  ui.RunUntilIdle();
  panel->SetFocus();
  ASSERT_EQ(GetFocus(), panel->GetHandle());
  PostMessage(main->GetHandle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ui.RunUntilIdle();
  ASSERT_FALSE(IsWindowVisible(main->GetHandle()));
  EXPECT_EQ(GetFocus(), nullptr);
  // The form still counts as visible; focusing a control on it must not put the keys into
  // a window no one sees.
  panel->SetFocus();
  EXPECT_EQ(GetFocus(), nullptr);
  PostMessage(Application()->GetHandle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  ui.RunUntilIdle();
  EXPECT_TRUE(IsWindowVisible(main->GetHandle()));
  EXPECT_EQ(GetFocus(), panel->GetHandle());  // restored, the form's control has it again
}

}  // namespace

