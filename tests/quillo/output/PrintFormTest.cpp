// The print dialog as a user meets it with the PDF printer: the preview places the picture,
// the handles size it, and the printed file (read back by poppler) shows it where the preview
// did, at the size chosen, titled; failures say so and keep the dialog and the picture.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "../shell/ProgramFixture.h"
#include "PrintTestSupport.h"
#include "platform/printers/PrinterApi.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/GroupBox.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/Settings.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/output/PrintForm.h"
#include "support/FileDialogUser.h"
#include "support/FileSizeLimit.h"
#include "support/ImmutableFolder.h"
#include "support/ScopedEnv.h"

namespace {

namespace fs = std::filesystem;
using namespace printtest;

constexpr std::uint32_t kColour = 0xC02010;

class PrintFormTest : public ProgramTest {
protected:
  PrintFormTest()
      : noLocale_("LC_ALL", nullptr), paper_("LC_PAPER", "C"), noScheduler_("CUPS_SERVER", "/nonexistent/cups.sock") {
    ResetPrintLayout();
  }
  ~PrintFormTest() override { ResetPrintLayout(); }

  // The program with a w x h picture of one colour at 200 dpi.
  void StartWith(int w, int h) {
    Start({WriteImage("pic.png", w, h, kColour)});
    ASSERT_NE(CurrentPicture, nullptr);
    CurrentPicture->Resolution = 200;
  }
  TPrintForm* NewDialog() {
    dialog_.reset();
    dialog_.reset(NewComponent<TPrintForm>(Application()));
    return dialog_.get();
  }
  // Prints, answering the save dialog with path.
  bool PrintTo(const std::string& path) {
    ui.WhenModalWaits([&] { FileDialogUser(ui).TypeName(path); });
    return dialog_->PrintImage();
  }
  std::vector<std::uint32_t> Pixels() const {
    std::vector<std::uint32_t> pixels;
    for (int y = CurrentPicture->rect.top; y <= CurrentPicture->rect.bottom; ++y)
      for (int x = CurrentPicture->rect.left; x <= CurrentPicture->rect.right; ++x) pixels.push_back(*CurrentPicture->At(x, y));
    return pixels;
  }

  ScopedEnv noLocale_;
  ScopedEnv paper_;
  ScopedEnv noScheduler_;
  TOwnedPtr<TPrintForm> dialog_;
};

TEST_F(PrintFormTest, ThePdfPrinterAloneIsListedAndChosen) {
  StartWith(200, 100);
  TPrintForm* d = NewDialog();
  ASSERT_EQ(d->Printers->GetItems()->Count(), 1);
  EXPECT_EQ(d->Printers->GetText(), "PDF file");
  EXPECT_EQ(d->Where->GetCaption(), "PDF:");
  EXPECT_EQ(d->GetCaption(), "Print Image: PDF file on PDF:");
  EXPECT_EQ(PrintLayout.page.physicalWidth, 2480);
  EXPECT_EQ(PrintLayout.page.physicalHeight, 3508);
  EXPECT_EQ(PrintLayout.page.printableWidth, 2380);
  EXPECT_EQ(PrintLayout.page.printerDpi, 300);
}

TEST_F(PrintFormTest, APrinterWithoutAContextSaysSoAndNeitherPreviewsNorPrints) {
  StartWith(200, 100);
  TPrintForm* d = NewDialog();
  ui.AnswerMessageBoxes({IDOK, IDOK});
  d->Printers->GetItems()->Add("Gone since listing");
  d->Printers->SetItemIndex(1);
  d->PrintersChange(d->Printers);
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  EXPECT_EQ(ui.MessageBoxTexts()[0], "Error creating DC");
  EXPECT_FALSE(d->HasPage());
  EXPECT_FALSE(d->PrintBtn->GetEnabled());
  EXPECT_FALSE(d->PrintImage());
  // No page on the preview: only the grey background.
  const std::uint32_t middle = *d->Display().At(170, 210) & 0xFFFFFF;
  EXPECT_EQ(middle & 0xFF, middle >> 16);
  EXPECT_LE(middle & 0xFF, 156u);
}

TEST_F(PrintFormTest, ThePreviewPlacesAnOriginalPictureInTheMiddle) {
  StartWith(200, 100);
  TPrintForm* d = NewDialog();
  EXPECT_EQ(d->ImageSize->GetItemIndex(), 0);
  EXPECT_NEAR(d->ImgWidthEdit->GetValue(), 1.00, 1e-9);
  EXPECT_NEAR(d->ImgHeightEdit->GetValue(), 0.50, 1e-9);
  EXPECT_EQ(PrintLayout.offsetX, 1040);
  EXPECT_EQ(PrintLayout.offsetY, 1629);
  const Buffer& shown = d->Display();
  // Framed from (151, 200) over 35 x 17 pixels, the picture's colour inside.
  EXPECT_EQ(*shown.At(151, 200) & 0xFFFFFF, 0u);
  EXPECT_EQ(*shown.At(151 + 34, 200 + 16) & 0xFFFFFF, 0u);
  EXPECT_EQ(*shown.At(151 + 17, 200 + 8) & 0xFFFFFF, kColour);
  EXPECT_EQ(*shown.At(160, 218) & 0xFFFFFF, 0xFFFFFFu);
  // The page is white, the printable area outlined, the background grey.
  EXPECT_EQ(*shown.At(30, 10) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(*shown.At(2, 2) & 0xFF, *shown.At(2, 2) >> 16 & 0xFF);
}

TEST_F(PrintFormTest, ThePrintedPageShowsThePictureWhereThePreviewPlacedIt) {
  StartWith(200, 100);
  // A half-transparent corner: printing leaves it as it is.
  *CurrentPicture->At(0, 0) = 0x80123456;
  const std::vector<std::uint32_t> before = Pixels();
  TPrintForm* d = NewDialog();
  d->TitleEdit->SetText("Harbour at dawn");
  const std::string pdf = home.Path() + "/out.pdf";
  // The file proposed is the picture's own name, in its folder.
  ui.WhenModalWaits([&] {
    FileDialogUser user(ui);
    EXPECT_EQ(user.Spec(), "pic.pdf");
    EXPECT_EQ(fs::path(user.Folder()), fs::path(home.Path()));
    user.TypeName(pdf);
  });
  ASSERT_TRUE(d->PrintImage());
  EXPECT_EQ(Pixels(), before);
  const Page page = Rasterise(pdf, home.Path());
  ASSERT_EQ(page.width, 2480);
  ASSERT_EQ(page.height, 3508);
  const Box box = FindColour(page, kColour);
  EXPECT_NEAR(box.left, 1090, 1);
  EXPECT_NEAR(box.top, 1679, 1);
  EXPECT_NEAR(box.Width(), 300, 1);
  EXPECT_NEAR(box.Height(), 150, 1);
  EXPECT_EQ(ImageSizes(pdf), std::vector<std::string>{"200x100"});
  EXPECT_NE(Output("pdftotext '" + pdf + "' -").find("Harbour at dawn"), std::string::npos);
}

TEST_F(PrintFormTest, AnUntitledPictureProposesItsCaptionInThePicturesFolder) {
  Start();
  ASSERT_NE(CurrentPicture, nullptr);
  ASSERT_TRUE(CurrentPicture->FileName.empty());
  const std::string pictures = home.Path() + "/Pictures";
  fs::create_directories(pictures);
  Settings.ImageDir = pictures;
  TPrintForm* d = NewDialog();
  const std::string expected = "Untitled " + std::to_string(CurrentPicture->UntitledNumber) + ".pdf";
  std::string proposed, folder;
  ui.WhenModalWaits([&] {
    FileDialogUser user(ui);
    proposed = user.Spec();
    folder = user.Folder();
    user.TypeName(home.Path() + "/untitled.pdf");
  });
  ASSERT_TRUE(d->PrintImage());
  EXPECT_EQ(proposed, expected);
  EXPECT_EQ(fs::path(folder), fs::path(pictures));
  // The proposal served that one print and is gone.
  EXPECT_EQ(TakePrintFileProposal(), "");
}

TEST_F(PrintFormTest, FilePrintPrintsThroughTheDialogAndClosesIt) {
  StartWith(200, 100);
  const std::string pdf = home.Path() + "/menu.pdf";
  ChooseMenuItem("&File", "&Print...",
                 {[&] {
                    auto* dialog = dynamic_cast<TPrintForm*>(Screen()->ActiveForm());
                    ASSERT_NE(dialog, nullptr);
                    const POINT at = UiDriver::At(dialog->PrintBtn->GetHandle(), 10, 10);
                    ui.QueueClick(at.x, at.y);
                  },
                  [&] { FileDialogUser(ui).TypeName(pdf); }});
  EXPECT_EQ(dynamic_cast<TPrintForm*>(Screen()->ActiveForm()), nullptr);
  EXPECT_EQ(ImageSizes(pdf), std::vector<std::string>{"200x100"});
}

TEST_F(PrintFormTest, DraggingTheRightHandleWidensThePrintAndTurnsCustom) {
  StartWith(200, 100);
  TPrintForm* d = NewDialog();
  d->Show();
  ui.RunUntilIdle();
  const int ym = (200 + 216) / 2;
  ui.Drag(UiDriver::At(d->Holder->GetHandle(), 185, ym), UiDriver::At(d->Holder->GetHandle(), 195, ym));
  EXPECT_EQ(d->ImageSize->GetItemIndex(), 2);
  EXPECT_EQ(d->HorizAlign->GetItemIndex(), 3);
  EXPECT_EQ(d->VertAlign->GetItemIndex(), 1);
  EXPECT_EQ(PrintedPicture(PrintLayout, 200, 100).width, 385);
  const std::string pdf = home.Path() + "/wide.pdf";
  ASSERT_TRUE(PrintTo(pdf));
  const Box box = FindColour(Rasterise(pdf, home.Path()), kColour);
  EXPECT_NEAR(box.Width(), 385, 1);
  EXPECT_NEAR(box.Height(), 150, 1);
}

TEST_F(PrintFormTest, APictureLargerThanThePageIsFittedAndShownCustom) {
  StartWith(4000, 3000);
  TPrintForm* d = NewDialog();
  EXPECT_EQ(d->ImageSize->GetItemIndex(), 2);
  const PrintedRect printed = PrintedPicture(PrintLayout, 4000, 3000);
  EXPECT_EQ(printed.width, 2380);
  EXPECT_EQ(printed.height, 1785);
}

TEST_F(PrintFormTest, TypedSizesKeepTheAspectOnlyWhenAsked) {
  StartWith(200, 100);
  Settings.MeasurementUnit = 1;  // centimetres: inches x 2.5399
  TPrintForm* d = NewDialog();
  EXPECT_NEAR(d->ImgWidthEdit->GetValue(), 2.54, 0.006);
  EXPECT_NEAR(d->ImgHeightEdit->GetValue(), 1.27, 0.006);
  d->KeepARCB->SetChecked(true);
  d->ImgWidthEdit->SetValue(5.08);
  d->ImgWidthEditChange(d->ImgWidthEdit);
  EXPECT_NEAR(d->ImgHeightEdit->GetValue(), 2.54, 0.006);
  EXPECT_NEAR(PrintLayout.scaleY / PrintLayout.scaleX, 1.0, 1e-6);
  EXPECT_EQ(d->ImageSize->GetItemIndex(), 2);
  d->KeepARCB->SetChecked(false);
  d->ImgWidthEdit->SetValue(2.54);
  d->ImgWidthEditChange(d->ImgWidthEdit);
  EXPECT_NEAR(d->ImgHeightEdit->GetValue(), 2.54, 0.006);
  EXPECT_NEAR(PrintLayout.aspectRatio, 1.0, 0.01);
}

TEST_F(PrintFormTest, OnlyAPrintRemembersTheOptions) {
  StartWith(200, 100);
  NewDialog()->DrawBorderCB->SetChecked(true);
  EXPECT_FALSE(NewDialog()->DrawBorderCB->GetChecked());
  TPrintForm* d = NewDialog();
  d->DrawBorderCB->SetChecked(true);
  d->KeepARCB->SetChecked(false);
  ASSERT_TRUE(PrintTo(home.Path() + "/framed.pdf"));
  d = NewDialog();
  EXPECT_TRUE(d->DrawBorderCB->GetChecked());
  EXPECT_FALSE(d->KeepARCB->GetChecked());
}

// How many pixels of the page outside the picture's edge, walking outward from its middle, are
// dark before the page's white is met again.
int DarkPixelsOutside(const Page& page, const Box& picture, int dx, int dy) {
  int x = dx < 0 ? picture.left : dx > 0 ? picture.right : (picture.left + picture.right) / 2;
  int y = dy < 0 ? picture.top : dy > 0 ? picture.bottom : (picture.top + picture.bottom) / 2;
  int dark = 0;
  for (int step = 0; step < 12; ++step) {
    x += dx;
    y += dy;
    if (x < 0 || y < 0 || x >= page.width || y >= page.height) break;
    const unsigned char* p = page.At(x, y);
    if (p[0] < 110 && p[1] < 110 && p[2] < 110) ++dark;
    else if (dark > 0 || (p[0] > 200 && p[1] > 200 && p[2] > 200)) break;
  }
  return dark;
}

TEST_F(PrintFormTest, TheBorderShowsWholeOnEverySideAtEveryResolution) {
  StartWith(200, 100);
  TPrintForm* d = NewDialog();
  d->DrawBorderCB->SetChecked(true);
  const std::string pdf = home.Path() + "/bordered.pdf";
  ASSERT_TRUE(PrintTo(pdf));
  for (const int dpi : {72, 150, 300, 600}) {
    SCOPED_TRACE(dpi);
    const Page page = Rasterise(pdf, home.Path(), dpi);
    ASSERT_GT(page.width, 0);
    // The picture keeps its whole size: the frame lies outside it.
    const Box picture = FindColour(page, kColour);
    EXPECT_NEAR(picture.Width(), 300.0 * dpi / 300, 1.0);
    EXPECT_NEAR(picture.Height(), 150.0 * dpi / 300, 1.0);
    EXPECT_GE(DarkPixelsOutside(page, picture, -1, 0), 1) << "left";
    EXPECT_GE(DarkPixelsOutside(page, picture, 1, 0), 1) << "right";
    EXPECT_GE(DarkPixelsOutside(page, picture, 0, -1), 1) << "top";
    EXPECT_GE(DarkPixelsOutside(page, picture, 0, 1), 1) << "bottom";
  }
}

TEST_F(PrintFormTest, LandscapeTurnsThePage) {
  StartWith(200, 100);
  TPrintForm* d = NewDialog();
  d->Orientation->SetItemIndex(1);
  EXPECT_EQ(PrintLayout.page.physicalWidth, 3508);
  EXPECT_EQ(PrintLayout.page.physicalHeight, 2480);
  const std::string pdf = home.Path() + "/landscape.pdf";
  ASSERT_TRUE(PrintTo(pdf));
  const Page page = Rasterise(pdf, home.Path());
  EXPECT_EQ(page.width, 3508);
  EXPECT_EQ(page.height, 2480);
  const Box box = FindColour(page, kColour);
  EXPECT_NEAR(box.left, 50 + (3408 - 300) / 2, 1);
  EXPECT_NEAR(box.top, 50 + (2380 - 150) / 2, 1);
}

TEST_F(PrintFormTest, FailuresSayWhyAndKeepTheDialogAndThePicture) {
  StartWith(200, 100);
  const std::vector<std::uint32_t> before = Pixels();
  TPrintForm* d = NewDialog();
  // Cancelled at the file's name: nothing printed, nothing said.
  ui.WhenModalWaits([&] { ui.QueuePress(VK_ESCAPE); });
  EXPECT_FALSE(d->PrintImage());
  EXPECT_TRUE(ui.MessageBoxTexts().empty());
  // A full disk keeps the old file as it was.
  const std::string pdf = home.Path() + "/kept.pdf";
  std::ofstream(pdf) << "old";
  ui.OnMessageBox([](const std::string&, const std::string&, UINT flags) {
    return (flags & 0xF) == MB_YESNO ? IDYES : IDOK;  // replace the file: yes
  });
  ui.WhenModalWaits([&] { FileDialogUser(ui).TypeName(pdf); });
  {
    const FileSizeLimit full(512);
    EXPECT_FALSE(d->PrintImage());
  }
  EXPECT_EQ(FileContents(pdf), "old");
  // A folder that cannot be written.
  const std::string locked = home.Path() + "/locked";
  fs::create_directories(locked);
  {
    const ImmutableFolder immutable(locked);
    if (immutable.Set()) {
      EXPECT_FALSE(PrintTo(locked + "/new.pdf"));
    }
  }
  EXPECT_FALSE(fs::exists(locked + "/new.pdf"));
  const auto failures = std::count_if(ui.MessageBoxTexts().begin(), ui.MessageBoxTexts().end(),
                                      [](const std::string& text) { return text.find("could not be printed") != std::string::npos; });
  EXPECT_GE(failures, 1);
  EXPECT_EQ(Pixels(), before);
  EXPECT_EQ(d->GetModalResult(), mrNone);
}

}  // namespace
