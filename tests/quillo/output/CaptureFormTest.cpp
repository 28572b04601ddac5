// Screen capture as a user meets it: the delay becomes the timer's interval, touching a list
// or the delay picks the trigger, a hot key already taken arms nothing, and the hot key or the
// delay copies the desktop or the window in front into a new document, with the program
// back in front afterwards.

#include <algorithm>
#include <string>
#include <vector>

#include "../shell/ProgramFixture.h"
#include "platform/user/HotKey.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/GroupBox.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/StdButtons.h"
#include "platform/vcl/Timer.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/output/CaptureForm.h"
#include "quillo/tools/ToolForm.h"

namespace {

class CaptureFormTest : public ProgramTest {
protected:
  CaptureFormTest() { ForgetCaptureFormPlace(); }
  ~CaptureFormTest() override { ForgetCaptureFormPlace(); }

  TCaptureForm* Open() {
    ShowCaptureForm();
    ui.RunUntilIdle();
    return Dialog();
  }
  static TCaptureForm* Dialog() {
    for (int i = 0; i < Screen()->FormCount(); ++i)
      if (auto* d = dynamic_cast<TCaptureForm*>(Screen()->Forms(i))) return d;
    return nullptr;
  }
  void Click(TWinControl* control) {
    const POINT at = UiDriver::At(control->GetHandle(), control->GetWidth() / 2, control->GetHeight() / 2);
    ui.Click(at.x, at.y);
    ui.RunUntilIdle();
  }
  // The screen as it is now, row by row.
  std::vector<std::uint32_t> ScreenArea(int left, int top, int width, int height) const {
    std::vector<std::uint32_t> pixels;
    for (int y = top; y < top + height; ++y)
      for (int x = left; x < left + width; ++x) pixels.push_back(ui.Pixel(x, y));
    return pixels;
  }
  static std::vector<std::uint32_t> PicturePixels(const UDBuffer& picture) {
    std::vector<std::uint32_t> pixels;
    for (int y = picture.rect.top; y <= picture.rect.bottom; ++y)
      for (int x = picture.rect.left; x <= picture.rect.right; ++x) pixels.push_back(*picture.At(x, y));
    return pixels;
  }
  // The grab's document: untitled, changed, opaque, and the program in front again.
  void ExpectCapturedDocument(UDBuffer* before) {
    ASSERT_NE(CurrentPicture, before);
    ASSERT_NE(CurrentPicture, nullptr);
    EXPECT_TRUE(CurrentPicture->FileName.empty());
    EXPECT_GT(CurrentPicture->ChangeCount, 0);
    EXPECT_EQ(Dialog(), nullptr);
    EXPECT_FALSE(Application()->Minimized());
    EXPECT_TRUE(IsWindowVisible(form->GetHandle()));
    // The tool options window is back as the Options menu says it is.
    const bool ticked = form->PaletteVisib->GetChecked() || form->BrushVisib->GetChecked() || form->HistVisib->GetChecked();
    EXPECT_EQ(IsWindowVisible(ToolForm->GetHandle()) != FALSE, ticked);
  }
};

TEST_F(CaptureFormTest, DelayBecomesTheTimersInterval) {
  Start();
  struct Case {
    double seconds;
    unsigned interval;
  };
  for (const Case c : {Case{0, 1}, Case{2.5, 2501}}) {
    TCaptureForm* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    dialog->DelayInSec->SetValue(c.seconds);
    Click(dialog->CaptureBtn);
    EXPECT_TRUE(Application()->Minimized());
    EXPECT_EQ(dialog->Timer->GetInterval(), c.interval) << c.seconds;
    EXPECT_TRUE(dialog->Timer->GetEnabled());
    // The system's timers tick no more often than every 10 ms.
    ui.Advance(std::max(c.interval, 10u));
    EXPECT_EQ(Dialog(), nullptr);
    EXPECT_FALSE(Application()->Minimized());
  }
}

TEST_F(CaptureFormTest, TouchingTheKeyListsOrTheDelayPicksTheTrigger) {
  Start();
  TCaptureForm* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->TriggerRG->GetItemIndex(), 1);
  dialog->KeyCombo->SetFocus();
  ui.Press(VK_DOWN);
  ui.RunUntilIdle();
  EXPECT_EQ(dialog->KeyCombo->GetItemIndex(), 1);
  EXPECT_EQ(dialog->TriggerRG->GetItemIndex(), 0);
  dialog->DelayInSec->SetFocus();
  ui.Press(VK_UP);
  ui.RunUntilIdle();
  EXPECT_EQ(dialog->TriggerRG->GetItemIndex(), 1);
  dialog->ModCombo->SetFocus();
  ui.Press(VK_DOWN);
  ui.RunUntilIdle();
  EXPECT_EQ(dialog->TriggerRG->GetItemIndex(), 0);
  Click(dialog->CancelBtn);
  EXPECT_EQ(Dialog(), nullptr);
}

TEST_F(CaptureFormTest, HotKeyTakenElsewhereArmsNothing) {
  Start();
  ASSERT_TRUE(RegisterHotKey(form->GetHandle(), 7, MOD_CONTROL, 'A'));
  TCaptureForm* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  dialog->TriggerRG->SetItemIndex(0);
  ui.AnswerMessageBoxes({IDOK});
  Click(dialog->CaptureBtn);
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  EXPECT_EQ(ui.MessageBoxTexts()[0], "This hot key is used by another program.");
  EXPECT_FALSE(Application()->Minimized());
  EXPECT_EQ(Dialog(), dialog);
  EXPECT_FALSE(dialog->Timer->GetEnabled());
  UnregisterHotKey(form->GetHandle(), 7);
  Click(dialog->CancelBtn);
}

TEST_F(CaptureFormTest, HotKeyCopiesTheDesktop) {
  Start();
  UDBuffer* before = CurrentPicture;
  TCaptureForm* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  dialog->SourceRG->SetItemIndex(0);
  dialog->TriggerRG->SetItemIndex(0);
  dialog->ModCombo->SetItemIndex(1);  // Alt
  dialog->KeyCombo->SetItemIndex(6);  // G
  Click(dialog->CaptureBtn);
  ASSERT_TRUE(Application()->Minimized());
  const std::vector<std::uint32_t> screen = ScreenArea(0, 0, 1280, 800);
  ui.KeyDown(VK_MENU);
  ui.Press('G');
  ui.KeyUp(VK_MENU);
  ui.RunUntilIdle();
  ExpectCapturedDocument(before);
  EXPECT_EQ(CurrentPicture->Width(), 1280);
  EXPECT_EQ(CurrentPicture->Height(), 800);
  EXPECT_EQ(PicturePixels(*CurrentPicture), screen);
}

TEST_F(CaptureFormTest, TheToolWindowShownBeforeIsShownAfter) {
  Start();
  if (!form->PaletteVisib->GetChecked()) form->PaletteVisibClick(form->PaletteVisib);
  ui.RunUntilIdle();
  ASSERT_TRUE(IsWindowVisible(ToolForm->GetHandle()));
  UDBuffer* before = CurrentPicture;
  TCaptureForm* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  dialog->TriggerRG->SetItemIndex(0);
  dialog->ModCombo->SetItemIndex(1);  // Alt
  dialog->KeyCombo->SetItemIndex(6);  // G
  Click(dialog->CaptureBtn);
  ASSERT_TRUE(Application()->Minimized());
  EXPECT_FALSE(IsWindowVisible(ToolForm->GetHandle()));
  ui.KeyDown(VK_MENU);
  ui.Press('G');
  ui.KeyUp(VK_MENU);
  ui.RunUntilIdle();
  ExpectCapturedDocument(before);
  EXPECT_TRUE(form->PaletteVisib->GetChecked());
  EXPECT_TRUE(IsWindowVisible(ToolForm->GetHandle()));
  // In sight, too: above the new document that fills the screen.
  RECT r{};
  GetWindowRect(ToolForm->GetHandle(), &r);
  const POINT middle{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  EXPECT_EQ(GetAncestor(WindowFromPoint(middle), GA_ROOT), ToolForm->GetHandle());
  EXPECT_NE(GetWindowLong(ToolForm->GetHandle(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
}

TEST_F(CaptureFormTest, ChoicesAreKeptFromACaptureButNotFromACancel) {
  Start();
  TCaptureForm* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  dialog->SourceRG->SetItemIndex(0);
  dialog->ModCombo->SetItemIndex(3);  // Win
  dialog->KeyCombo->SetItemIndex(16);  // Q
  dialog->DelayInSec->SetValue(2);
  Click(dialog->CaptureBtn);
  ui.Advance(2001);
  ASSERT_EQ(Dialog(), nullptr);

  dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->SourceRG->GetItemIndex(), 0);
  EXPECT_EQ(dialog->TriggerRG->GetItemIndex(), 1);
  EXPECT_EQ(dialog->ModCombo->GetItemIndex(), 3);
  EXPECT_EQ(dialog->KeyCombo->GetItemIndex(), 16);
  EXPECT_DOUBLE_EQ(static_cast<double>(dialog->DelayInSec->GetValue()), 2.0);
  dialog->ModCombo->SetItemIndex(1);
  dialog->SourceRG->SetItemIndex(1);
  Click(dialog->CancelBtn);
  ASSERT_EQ(Dialog(), nullptr);

  dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->ModCombo->GetItemIndex(), 3);
  EXPECT_EQ(dialog->SourceRG->GetItemIndex(), 0);
  Click(dialog->CancelBtn);
}

LRESULT Painted(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    for (int i = 0; i < 40; ++i) {
      RECT r{i * 10, 0, i * 10 + 10, 400};
      HBRUSH brush = CreateSolidBrush(RGB(i * 6, 255 - i * 6, (i * 37) & 255));
      FillRect(dc, &r, brush);
      DeleteObject(brush);
    }
    EndPaint(w, &ps);
    return 0;
  }
  return DefWindowProc(w, m, wp, lp);
}

TEST_F(CaptureFormTest, DelayCopiesTheWindowInFrontClippedToTheScreen) {
  Start();
  UDBuffer* before = CurrentPicture;
  TCaptureForm* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  dialog->SourceRG->SetItemIndex(1);
  dialog->DelayInSec->SetValue(1);
  Click(dialog->CaptureBtn);
  ASSERT_TRUE(Application()->Minimized());
  // Another program's window comes to the front while the capture waits.
  WNDCLASS wc;
  wc.lpfnWndProc = Painted;
  wc.lpszClassName = "CaptureTarget";
  RegisterClass(&wc);
  HWND other = CreateWindowEx(0, "CaptureTarget", "Other", WS_POPUP | WS_BORDER | WS_VISIBLE, -50, 10, 350, 190, nullptr,
                              nullptr, nullptr, nullptr);
  SetForegroundWindow(other);
  ui.RunUntilIdle();
  const std::vector<std::uint32_t> shown = ScreenArea(0, 10, 300, 190);
  ui.Advance(dialog->Timer->GetInterval());
  ui.RunUntilIdle();
  ExpectCapturedDocument(before);
  EXPECT_EQ(CurrentPicture->Width(), 300);
  EXPECT_EQ(CurrentPicture->Height(), 190);
  EXPECT_EQ(PicturePixels(*CurrentPicture), shown);
  EXPECT_EQ(GetForegroundWindow(), form->GetHandle());
  DestroyWindow(other);
}

TEST_F(CaptureFormTest, WindowWhollyOffTheScreenGivesTheDesktop) {
  Start();
  TCaptureForm* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  dialog->SourceRG->SetItemIndex(1);
  dialog->DelayInSec->SetValue(0);
  Click(dialog->CaptureBtn);
  WNDCLASS wc;
  wc.lpfnWndProc = Painted;
  wc.lpszClassName = "CaptureAway";
  RegisterClass(&wc);
  HWND away = CreateWindowEx(0, "CaptureAway", "Away", WS_POPUP | WS_VISIBLE, -500, 10, 300, 100, nullptr, nullptr,
                             nullptr, nullptr);
  SetForegroundWindow(away);
  ui.RunUntilIdle();
  ui.Advance(10);
  ASSERT_NE(CurrentPicture, nullptr);
  EXPECT_EQ(CurrentPicture->Width(), 1280);
  EXPECT_EQ(CurrentPicture->Height(), 800);
  DestroyWindow(away);
}

}  // namespace
