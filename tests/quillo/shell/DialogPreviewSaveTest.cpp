// File > Save and Save As while a dialog tool shows its preview in the picture: the preview is
// not the picture, so nothing is written and the picture stays unsaved, for every tool that
// previews through a dialog.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "../plugins/QlcFixture.h"
#include "PaletteUser.h"
#include "platform/vcl/Memo.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/Zoom.h"
#include "quillo/filters/CustomFilterForm.h"
#include "quillo/filters/CustomFilterTool.h"
#include "quillo/filters/FilterFactory.h"
#include "quillo/filters/FilterFactoryForm.h"
#include "quillo/files/SaveCommands.h"
#include "quillo/plugins/ComponentRun.h"
#include "quillo/tools/TextTool.h"
#include "quillo/tools/ToolForm.h"
#include "quillo/tools/ToolObjects.h"

namespace {

class DialogPreviewSaveTest : public QlcProgramTest {
public:
  using QlcProgramTest::ChooseMenuItem;
  using QlcProgramTest::ImageItem;
  using QlcProgramTest::ui;

protected:
  ~DialogPreviewSaveTest() override {
    SelectTool(&PenContTool, true, -1);
    ui.RunUntilIdle();
  }
};

struct DialogTool {
  const char* name;
  std::function<void(DialogPreviewSaveTest&)> open;
};

TEST_F(DialogPreviewSaveTest, NothingIsSavedUnderAnyDialogsPreview) {
  const DialogTool tools[] = {
      {"custom filter",
       [](DialogPreviewSaveTest& t) {
         t.ChooseMenuItem("&Image", "C&ustom Filter...");
         ASSERT_NE(CustomFilterTool.Form, nullptr);
         ClickOnCentre(t.ui, CustomFilterTool.Form->PreviewBtn);
       }},
      {"filter factory",
       [](DialogPreviewSaveTest& t) {
         t.ChooseMenuItem("&Image", "Filter &Factory...");
         ASSERT_NE(FFFilterTool.Form, nullptr);
         ClickOnCentre(t.ui, FFFilterTool.Form->PreviewBtn);
       }},
      {"component page",
       [](DialogPreviewSaveTest& t) {
         t.ImageItem("&Effects")->Items(2)->Click();
         t.ui.RunUntilIdle();
         ASSERT_EQ(CurrentTool, &QlComponentTool);
       }},
      {"text",
       [](DialogPreviewSaveTest& t) {
         SelectTool(&TextTool, true, -1);
         ToolForm->TextBox->SetText("Hi");
         ToolForm->TextFontChanged(ToolForm->TextBox);
         t.ui.RunUntilIdle();
       }},
  };
  StartOn(60, 40, 0x00808080);
  // The views of the picture follow its new size.
  ApplyZoom();
  ui.RunUntilIdle();
  InstallComponents({"effects/everykind"});
  const std::string path = home.Path() + "/picture.bmp";
  for (const DialogTool& tool : tools) {
    SCOPED_TRACE(tool.name);
    std::filesystem::remove(path);
    UDBuffer& picture = Picture();
    picture.FileName = path.c_str();
    picture.SaveAsRequired = 0;
    picture.ChangeCount = 1;
    ASSERT_NO_FATAL_FAILURE(tool.open(*this));
    ASSERT_TRUE(IsDialogToolActive());
    EXPECT_FALSE(SavePicture(form));
    EXPECT_FALSE(SavePictureAs(form));
    ui.RunUntilIdle();
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(picture.ChangeCount, 1) << "the picture is still unsaved";
    SelectTool(&PenContTool, true, -1);
    ui.RunUntilIdle();
    // Once the dialog is gone the picture saves.
    EXPECT_TRUE(SavePicture(form));
    EXPECT_TRUE(std::filesystem::exists(path));
  }
}

}  // namespace
