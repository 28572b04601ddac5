// The commands that read or write the picture as a whole, while a dialog tool shows its preview
// in the picture: each sees the committed picture, never the preview (what it writes, copies
// or shows holds the original pixels), and afterwards the dialog tool is back with nothing lost,
// or gone with its window.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "../../support/FileDialogUser.h"
#include "../filters/FilterDialogPictures.h"
#include "../plugins/QlcFixture.h"
#include "PaletteUser.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/Memo.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/Zoom.h"
#include "quillo/files/EditCommands.h"
#include "quillo/files/ImageFiles.h"
#include "quillo/filters/CustomFilterForm.h"
#include "quillo/filters/CustomFilterTool.h"
#include "quillo/filters/FilterFactory.h"
#include "quillo/filters/FilterFactoryForm.h"
#include "quillo/plugins/ComponentCalls.h"
#include "quillo/plugins/ComponentRun.h"
#include "quillo/shell/MainForm.h"
#include "quillo/tools/TextTool.h"
#include "quillo/tools/ToolForm.h"
#include "quillo/tools/ToolObjects.h"

namespace {

class DialogPreviewCommandsTest : public QlcProgramTest {
public:
  using QlcProgramTest::ChooseMenuItem;
  using QlcProgramTest::ImageItem;
  using QlcProgramTest::form;
  using QlcProgramTest::ui;

protected:
  ~DialogPreviewCommandsTest() override {
    SelectTool(&PenContTool, true, -1);
    ui.RunUntilIdle();
    FactoryFilter = factoryBefore;
  }

private:
  // The test gives the filter factory a filter of its own.
  const FormulaFilter factoryBefore = FactoryFilter;
};

struct DialogTool {
  const char* name;
  std::function<void(DialogPreviewCommandsTest&)> open;
};

// The colour part of every pixel: a file's format may not keep the unused top byte.
std::vector<std::uint32_t> Colours(std::vector<std::uint32_t> pixels) {
  for (std::uint32_t& p : pixels) p &= 0x00FFFFFF;
  return pixels;
}

std::vector<std::uint32_t> FilePixels(const std::string& path) {
  UDBuffer back;
  if (LoadImageFile(&back, path.c_str(), 0, true) != LoadOk) return {};
  return Colours(PicturePixels(back));
}

// What one command does and what it answers: the pixels it saw (read from what it wrote or
// copied, or from the picture while its own dialog waited) and whether it let the window go.
struct Seen {
  std::vector<std::uint32_t> pixels;
  bool windowClosed = false;
};

struct Command {
  const char* name;
  std::function<Seen(DialogPreviewCommandsTest&, const std::string& file)> run;
};

// While the command's own dialog waits: the pixels it works on, then the dialog is cancelled.
std::function<void()> LookThenCancel(Seen& seen) {
  return [&seen] {
    EXPECT_FALSE(IsDialogToolActive()) << "the dialog tool stands aside while the command runs";
    seen.pixels = Colours(PicturePixels(*CurrentPicture));
    TCustomForm* dialog = Screen()->ActiveForm();
    ASSERT_NE(dialog, nullptr);
    dialog->SetModalResult(mrCancel);
  };
}

// A command whose own dialog shows the picture it works on.
Command ThroughItsDialog(const char* name, const char* item) {
  return {name, [item](DialogPreviewCommandsTest& t, const std::string&) {
            Seen seen;
            t.ui.WhenModalWaits(LookThenCancel(seen));
            t.form->MenuItemNamed(item)->Click();
            t.ui.RunUntilIdle();
            return seen;
          }};
}

Seen CloseAnswering(DialogPreviewCommandsTest& t, int answer, const std::string& file) {
  Seen seen;
  TImageForm* window = ImageForm;
  t.ui.OnMessageBox([&](const std::string&, const std::string&, UINT) {
    EXPECT_FALSE(IsDialogToolActive());
    seen.pixels = Colours(PicturePixels(*CurrentPicture));
    return answer;
  });
  t.form->MenuItemNamed("Close1")->Click();
  t.ui.RunUntilIdle();
  t.ui.OnMessageBox(nullptr);
  seen.windowClosed = ImageForm != window;
  if (answer == IDYES) {
    EXPECT_EQ(FilePixels(file), seen.pixels) << "the file holds what the question was asked over";
  } else {
    EXPECT_FALSE(std::filesystem::exists(file));
  }
  return seen;
}

TEST_F(DialogPreviewCommandsTest, NoWholePictureCommandSeesAnUncommittedPreview) {
  const DialogTool tools[] = {
      {"custom filter",
       [](DialogPreviewCommandsTest& t) {
         t.ChooseMenuItem("&Image", "C&ustom Filter...");
         ASSERT_NE(CustomFilterTool.Form, nullptr);
         ClickOnCentre(t.ui, CustomFilterTool.Form->PreviewBtn);
       }},
      {"filter factory",
       [](DialogPreviewCommandsTest& t) {
         // A filter that changes every pixel.
         const char* const invert[] = {"255-r", "255-g", "255-b", "a"};
         for (int c = 0; c < 4; ++c) FactoryFilter.formulas[c] = invert[c];
         t.ChooseMenuItem("&Image", "Filter &Factory...");
         ASSERT_NE(FFFilterTool.Form, nullptr);
         ClickOnCentre(t.ui, FFFilterTool.Form->PreviewBtn);
       }},
      {"component page",
       [](DialogPreviewCommandsTest& t) {
         t.ImageItem("&Effects")->Items(2)->Click();
         t.ui.RunUntilIdle();
         ASSERT_EQ(CurrentTool, &QlComponentTool);
         // The page draws its preview into the picture.
         for (int x = 0; x < 20; ++x) HostParams.Callbacks.CompPutPixel(0x00FF00FF, 5, x);
         t.ui.RunUntilIdle();
       }},
      {"text",
       [](DialogPreviewCommandsTest& t) {
         SelectTool(&TextTool, true, -1);
         ToolForm->TextBox->SetText("Hi");
         ToolForm->TextFontChanged(ToolForm->TextBox);
         t.ui.RunUntilIdle();
       }},
  };
  const Command commands[] = {
      {"Save",
       [](DialogPreviewCommandsTest& t, const std::string& file) {
         t.form->MenuItemNamed("Save1")->Click();
         t.ui.RunUntilIdle();
         EXPECT_EQ(CurrentPicture->ChangeCount, 0) << "the picture is saved";
         return Seen{FilePixels(file)};
       }},
      {"Save As",
       [](DialogPreviewCommandsTest& t, const std::string& file) {
         std::string other = file;
         other += ".as.bmp";
         t.ui.WhenModalWaits([&] { FileDialogUser(t.ui).TypeName(other); });
         t.form->MenuItemNamed("Saveas1")->Click();
         t.ui.RunUntilIdle();
         return Seen{FilePixels(other)};
       }},
      {"Close, saving", [](DialogPreviewCommandsTest& t, const std::string& file) { return CloseAnswering(t, IDYES, file); }},
      {"Close, not saving", [](DialogPreviewCommandsTest& t, const std::string& file) { return CloseAnswering(t, IDNO, file); }},
      ThroughItsDialog("Print", "Print1"),
      {"Copy",
       [](DialogPreviewCommandsTest& t, const std::string&) {
         t.form->MenuItemNamed("Copy1")->Click();
         t.ui.RunUntilIdle();
         Buffer copied;
         EXPECT_EQ(ReadClipboardPicture(t.form->GetHandle(), copied), ClipboardRead::Read);
         std::vector<std::uint32_t> pixels;
         for (int y = 0; y < copied.Height(); ++y)
           for (int x = 0; x < copied.Width(); ++x) pixels.push_back(*copied.At(x, y) & 0x00FFFFFF);
         return Seen{pixels};
       }},
      ThroughItsDialog("Send via E-mail", "SendviaEmail1"),
      ThroughItsDialog("Batch", "BatchConvert1"),
  };
  StartOn(60, 40, 0x00808080);
  ApplyZoom();
  ui.RunUntilIdle();
  InstallComponents({"effects/everykind"});
  int row = 0;
  for (const DialogTool& tool : tools) {
    for (const Command& command : commands) {
      std::string trace = tool.name;
      trace += " / ";
      trace += command.name;
      SCOPED_TRACE(trace);
      // A window of its own for each case: a close lets it go.
      TImageForm* window = CreateDocumentWindow(60, 40, "");
      ASSERT_NE(window, nullptr);
      ui.RunUntilIdle();
      ASSERT_EQ(ImageForm, window);
      UDBuffer& picture = window->Picture;
      for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
          *picture.At(x, y) = static_cast<std::uint32_t>((x * 4) << 16 | (y * 6) << 8 | 0x40);
      picture.FreeUndo();
      picture.BlankStart = 0;
      // Built piece by piece: GCC 12 warns falsely of overlapping copies in a chain of +.
      std::string file = home.Path();
      file += "/case";
      file += std::to_string(row++);
      file += ".bmp";
      picture.FileName = file.c_str();
      picture.SaveAsRequired = 0;
      picture.ChangeCount = 1;
      const std::vector<std::uint32_t> original = Colours(PicturePixels(picture));
      ASSERT_NO_FATAL_FAILURE(tool.open(*this));
      ASSERT_TRUE(IsDialogToolActive());
      P_icon* const dialogTool = CurrentTool;
      ASSERT_NE(Colours(PicturePixels(picture)), original) << "the preview shows in the picture";

      const Seen seen = command.run(*this, file);
      EXPECT_EQ(seen.pixels, original) << "the command saw the committed picture";
      if (seen.windowClosed) {
        EXPECT_NE(ImageForm, window);
        SelectTool(&PenContTool, true, -1);
        ui.RunUntilIdle();
        continue;
      }
      EXPECT_EQ(ImageForm, window) << "only a close lets the window go";
      EXPECT_EQ(CurrentTool, dialogTool) << "the dialog tool is back";
      SelectTool(&PenContTool, true, -1);
      ui.RunUntilIdle();
      EXPECT_EQ(Colours(PicturePixels(picture)), original) << "nothing of the preview was kept";
      picture.ChangeCount = 0;
      window->Close();
      ui.RunUntilIdle();
    }
  }
}

}  // namespace
