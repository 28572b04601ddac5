// The e-mail dialog with its advanced part, the capture dialog, and the desktop with an
// exported wallpaper, as a user sees them over the started program; shown to a viewer by
// scripts/screenshot-output.sh.

#include "../shell/ProgramFixture.h"

#include "platform/user/Desktop.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Memo.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/output/CaptureForm.h"
#include "quillo/output/DesktopScreens.h"
#include "quillo/output/SendImageForm.h"

namespace {

class OutputShot : public ProgramTest {
protected:
  void Show() {
    FlushDesktop();
    ui.ShowToViewer();
  }
  template <class Form>
  static Form* Shown() {
    for (int i = 0; i < Screen()->FormCount(); ++i)
      if (auto* f = dynamic_cast<Form*>(Screen()->Forms(i)); f && f->GetVisible()) return f;
    return nullptr;
  }
};

TEST_F(OutputShot, TheMailDialogWithItsAdvancedPart) {
  Start();
  ChooseMenuItem("&File", "Send via &E-mail...", {[this] {
                   auto* mail = Shown<TSendImageForm>();
                   ASSERT_NE(mail, nullptr);
                   if (!mail->AdvancedShown()) mail->AdvancedBtnClick(nullptr);
                   mail->FromEdit->SetText("ann@example.org");
                   mail->ToEdit->SetText("bob@example.org");
                   mail->SubjectEdit->SetText("The harbour at dusk");
                   mail->Body->GetLines()->Add("Here is the picture I promised.");
                   mail->FromNameEdit->SetText("Ann Example");
                   mail->SMTPServerEdit->SetText("mail.example.org:587");
                   ui.RunUntilIdle();
                   Show();
                   ui.QueuePress(VK_ESCAPE);
                 }});
}

TEST_F(OutputShot, TheCaptureDialog) {
  Start();
  ForgetCaptureFormPlace();
  ChooseMenuItem("&Desktop", "&Capture...");
  ui.RunUntilIdle();
  auto* capture = Shown<TCaptureForm>();
  ASSERT_NE(capture, nullptr);
  Show();
  const POINT at = UiDriver::At(capture->CancelBtn->GetHandle(), 10, 10);
  ui.Click(at.x, at.y);
  ForgetCaptureFormPlace();
}

TEST_F(OutputShot, TheDesktopWithAnExportedWallpaper) {
  Start();
  ASSERT_NE(CurrentPicture, nullptr);
  const int w = CurrentPicture->Width(), h = CurrentPicture->Height();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      *CurrentPicture->At(x, y) = static_cast<std::uint32_t>((x * 255 / w) << 16 | (y * 255 / h) << 8 | 0x80);
  MarkPictureChanged();
  ExportWallpaper();
  for (HWND win = GetTopWindow(nullptr); win; win = GetWindow(win, GW_HWNDNEXT))
    if (win != form->GetHandle()) ShowWindow(win, SW_HIDE);
  ui.RunUntilIdle();
  Show();
}

}  // namespace
