// The application minimised and restored as a whole: its forms hide behind one icon and come
// back, the application's window ends as it began, and each change is announced once.

#include "VclFixture.h"
#include "platform/vcl/Form.h"

namespace {

class ApplicationTest : public VclTest {};

TEST_F(ApplicationTest, MinimizeAndRestoreMatchAndAreAnnouncedOnce) {
  using Step = void (*)(TForm* main);
  struct Case {
    const char* name;
    Step minimize;
    Step restore;
  };
  const Case cases[] = {
      {"called", [](TForm*) { Application()->Minimize(); }, [](TForm*) { Application()->Restore(); }},
      {"called twice each",
       [](TForm*) {
         Application()->Minimize();
         Application()->Minimize();
       },
       [](TForm*) {
         Application()->Restore();
         Application()->Restore();
       }},
      {"system commands",
       [](TForm* main) { SendMessage(main->GetHandle(), WM_SYSCOMMAND, SC_MINIMIZE, 0); },
       [](TForm*) { SendMessage(Application()->GetHandle(), WM_SYSCOMMAND, SC_RESTORE, 0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto* main = Application()->CreateForm<TForm>();
    main->SetBounds(100, 100, 300, 200);
    auto* other = Application()->CreateForm<TForm>();
    other->SetBounds(150, 150, 200, 100);
    main->Show();
    other->Show();
    ui.RunUntilIdle();
    HWND app = Application()->GetHandle();
    int minimized = 0, restored = 0;
    Application()->OnMinimize = [&](TObject*) { ++minimized; };
    Application()->OnRestore = [&](TObject*) { ++restored; };
    for (int round = 1; round <= 2; ++round) {
      SCOPED_TRACE(round);
      c.minimize(main);
      ui.RunUntilIdle();
      EXPECT_TRUE(Application()->Minimized());
      EXPECT_TRUE(IsIconic(app));
      EXPECT_TRUE(IsWindowVisible(app));
      EXPECT_FALSE(IsWindowVisible(main->GetHandle()));
      EXPECT_FALSE(IsWindowVisible(other->GetHandle()));
      c.restore(main);
      ui.RunUntilIdle();
      EXPECT_FALSE(Application()->Minimized());
      EXPECT_FALSE(IsIconic(app));
      EXPECT_FALSE(IsWindowVisible(app));
      EXPECT_TRUE(IsWindowVisible(main->GetHandle()));
      EXPECT_TRUE(IsWindowVisible(other->GetHandle()));
      EXPECT_FALSE(IsIconic(main->GetHandle()));
      EXPECT_EQ(minimized, round);
      EXPECT_EQ(restored, round);
    }
    ResetApplication();
  }
}

}  // namespace
