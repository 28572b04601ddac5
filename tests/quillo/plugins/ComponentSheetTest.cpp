// The component's option page: a row of controls per option kind, the values sent at once,
// the instant preview and its clicks, the buttons, Apply with one undo step.

#include <gtest/gtest.h>

#include "QlcFixture.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/ComCtrlsTabs.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/ScrollBar.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/base/Settings.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageView.h"
#include "../document/FailingUndoMemory.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/plugins/ComponentCalls.h"
#include "quillo/plugins/ComponentDescription.h"
#include "quillo/plugins/ComponentRun.h"
#include "quillo/plugins/ComponentSheet.h"
#include "quillo/tools/ToolForm.h"
#include "quillo/tools/ToolObjects.h"

namespace {

class ComponentSheetTest : public QlcProgramTest {
protected:
  void OpenEveryKind(int width = 100, int height = 50) {
    StartOn(width, height, 0x00FFFFFF);
    InstallComponents({"effects/everykind", "effects/inverter"});
    ImageItem("&Effects")->Items(2)->Click();
    ui.RunUntilIdle();
    ASSERT_EQ(CurrentTool, &QlComponentTool);
    record = CurrentRecord();
    ASSERT_NE(record, nullptr);
  }
  TControl* Main(int option) const { return record->OptionControls[static_cast<std::size_t>(option)][0]; }
  QLCDSTR* record = nullptr;
};

TEST_F(ComponentSheetTest, EachKindHasItsControlsAtItsRow) {
  OpenEveryKind();
  EXPECT_TRUE(ToolForm->CompSheet->GetTabVisible());
  EXPECT_EQ(ToolForm->PageControl->GetActivePage(), ToolForm->CompSheet);
  EXPECT_EQ(ToolForm->CompSheet->GetCaption(), "Every Kind");
  // The rows: I 25, F 25, B 26, C 23, S 22, T 20, L 26, O 27, P 26, G 94 from y = 4.
  const int tops[] = {4, 29, 54, 80, 103, 125, 145, 171, 198, 224};
  for (int i = 0; i < 10; ++i) {
    TControl* shown = Main(i) ? Main(i) : record->OptionControls[static_cast<std::size_t>(i)][2];
    if (!shown) shown = record->OptionLabels[static_cast<std::size_t>(i)];
    ASSERT_NE(shown, nullptr) << i;
    // A lone label sits 2 below its row.
    EXPECT_EQ(shown->GetTop() - (i == 5 ? 2 : 0), tops[i]) << i;
  }
  // The document option: its thumbnail at the row's top, its number 26 below.
  EXPECT_NE(dynamic_cast<TBuffer*>(Main(9)), nullptr);
  EXPECT_EQ(record->OptionControls[9][2]->GetTop(), 224 + 26);
  EXPECT_NE(dynamic_cast<TExSpinEdit*>(Main(0)), nullptr);
  EXPECT_NE(dynamic_cast<TExSpinEdit*>(Main(1)), nullptr);
  EXPECT_NE(dynamic_cast<TButton*>(Main(2)), nullptr);
  EXPECT_NE(dynamic_cast<TCheckBox*>(Main(3)), nullptr);
  EXPECT_NE(dynamic_cast<TScrollBar*>(Main(4)), nullptr);
  EXPECT_EQ(Main(5), nullptr);
  EXPECT_NE(dynamic_cast<TComboBox*>(Main(6)), nullptr);
  EXPECT_NE(dynamic_cast<TShape*>(Main(7)), nullptr);
  EXPECT_NE(dynamic_cast<TExSpinEdit*>(Main(8)), nullptr);
  // Version 2.5 without "M": the mode list shows; "W" the preview, "P" the Preview button.
  EXPECT_TRUE(CompSheetFixedControls().ModeCombo->GetVisible());
  EXPECT_TRUE(CompSheetFixedControls().InstPreviewBuf->GetVisible());
  EXPECT_TRUE(CompSheetFixedControls().PreviewBtn->GetVisible());
  // The image scaled to fit 120 x 90.
  EXPECT_EQ(CompSheetFixedControls().InstPreviewBuf->GetWidth(), 120);
  EXPECT_EQ(CompSheetFixedControls().InstPreviewBuf->GetHeight(), 60);
}

TEST_F(ComponentSheetTest, TheComponentGetsTheDefaultsAndEachChange) {
  OpenEveryKind();
  const std::uint8_t* sent = Cell<std::uint8_t>("everykind", "every_options");
  EXPECT_EQ(ReadSlot32(sent, 0), 10);
  EXPECT_DOUBLE_EQ(ReadSlotDouble(sent, 4), 1.5);
  EXPECT_EQ(ReadSlot32(sent, 12), 1);
  EXPECT_EQ(ReadSlot32(sent, 16), 128);
  EXPECT_EQ(ReadSlot32(sent, 20), 2);
  EXPECT_EQ(ReadSlot32(sent, 24), 0xFF8000);
  // The point shown in image pixels, rounded.
  EXPECT_EQ(dynamic_cast<TExSpinEdit*>(Main(8))->GetAsInteger(), 50);
  EXPECT_EQ(ReadSlot32(sent, 32), 1);
  dynamic_cast<TScrollBar*>(Main(4))->SetPosition(60);
  ui.RunUntilIdle();
  EXPECT_EQ(ReadSlot32(sent, 16), 60);
  // The instant preview ran with it: grey 60.
  EXPECT_EQ(*CompSheetFixedControls().InstPreviewBuf->GetBuffer()->At(5, 5) & 0xFFFFFF, 0x3C3C3Cu);
  EXPECT_GT(*Cell<int>("everykind", "every_instant_runs"), 0);
  EXPECT_EQ(*Cell<int>("everykind", "every_full_runs"), 0);
}

TEST_F(ComponentSheetTest, AClickOnThePreviewSendsAPointFromIt) {
  OpenEveryKind();
  TBuffer* preview = CompSheetFixedControls().InstPreviewBuf;
  const POINT at = UiDriver::At(preview->GetHandle(), 119, 59);
  ui.Click(at.x, at.y);
  ui.RunUntilIdle();
  const std::int32_t* point = Cell<std::int32_t>("everykind", "every_point");
  EXPECT_EQ(point[0], 65535);
  EXPECT_EQ(point[1], 65535);
  EXPECT_EQ(point[2], 120);
  EXPECT_EQ(point[3], 60);
  EXPECT_EQ(point[4], 0);
  EXPECT_EQ(point[5], 1);
}

TEST_F(ComponentSheetTest, AButtonOptionSendsItsNumber) {
  OpenEveryKind();
  auto* button = dynamic_cast<TButton*>(Main(2));
  const POINT at = UiDriver::At(button->GetHandle(), 5, 5);
  // The button spans the sheet, where the user sees it.
  ASSERT_EQ(WindowFromPoint(at), button->GetHandle());
  ui.Click(at.x, at.y);
  ui.RunUntilIdle();
  EXPECT_EQ(*Cell<std::int32_t>("everykind", "every_button"), 3);
}

TEST_F(ComponentSheetTest, ApplyRunsOnTheImageAsOneUndoStep) {
  OpenEveryKind();
  P_icon* const remembered = RememberedTool;
  TButton* apply = CompSheetFixedControls().CompApplyBtn;
  const POINT at = UiDriver::At(apply->GetHandle(), 5, 5);
  ui.Click(at.x, at.y);
  ui.RunUntilIdle();
  EXPECT_EQ(CurrentTool, remembered);
  EXPECT_EQ(*Picture().At(50, 25) & 0xFFFFFF, 0x808080u);
  ASSERT_NE(Picture().UndoChain, nullptr);
  EXPECT_EQ(Picture().UndoChain->Description, "Every Kind");
  EXPECT_EQ(Picture().UndoChain->Next, nullptr);
  EXPECT_EQ(*Cell<int>("everykind", "every_full_runs"), 1);
  EXPECT_FALSE(ToolForm->CompSheet->GetTabVisible());
}

TEST_F(ComponentSheetTest, CancelAfterAPreviewPutsTheImageBack) {
  OpenEveryKind();
  ComponentPreviewClick();
  ui.RunUntilIdle();
  EXPECT_EQ(*Picture().At(50, 25) & 0xFFFFFF, 0x808080u);
  TButton* cancel = CompSheetFixedControls().CancelBtn;
  const POINT at = UiDriver::At(cancel->GetHandle(), 5, 5);
  ui.Click(at.x, at.y);
  ui.RunUntilIdle();
  EXPECT_NE(CurrentTool, &QlComponentTool);
  EXPECT_EQ(*Picture().At(50, 25), 0x00FFFFFFu);
  EXPECT_EQ(Picture().UndoChain, nullptr);
}

TEST_F(ComponentSheetTest, ApplyAfterAPreviewDoesNotRunAgain) {
  OpenEveryKind();
  ComponentPreviewClick();
  ComponentApplyClick();
  ui.RunUntilIdle();
  EXPECT_EQ(*Cell<int>("everykind", "every_full_runs"), 1);
  EXPECT_EQ(*Picture().At(50, 25) & 0xFFFFFF, 0x808080u);
  ASSERT_NE(Picture().UndoChain, nullptr);
  // The step holds the image before the effect.
  ASSERT_TRUE(Picture().Undo(UDBuffer::RedoRecord::Keep));
  EXPECT_EQ(*Picture().At(50, 25), 0x00FFFFFFu);
}

TEST_F(ComponentSheetTest, APointOnAOnePixelWideImageIsFractionZero) {
  OpenEveryKind(1, 1000);
  ComponentPoint point{};
  SendComponentPoint(0, 999, 1, 1000, false, 0);
  const std::int32_t* sent = Cell<std::int32_t>("everykind", "every_point");
  EXPECT_EQ(sent[0], 0);
  EXPECT_EQ(sent[1], 65535);
  (void)point;
  // The thumbnail of a 1 x 1000 image is 1 x 90.
  EXPECT_EQ(CompSheetFixedControls().InstPreviewBuf->GetWidth(), 1);
  EXPECT_EQ(CompSheetFixedControls().InstPreviewBuf->GetHeight(), 90);
}

}  // namespace

namespace {

class ComponentPageCasesTest : public QlcProgramTest {
protected:
  // The every-kind component with its record changed first as a test needs.
  void Open(int width, int height, std::function<void(QLCDSTR&)> change) {
    StartOn(width, height, 0x00FFFFFF);
    InstallComponents({"effects/everykind"});
    change(ComponentTable[0]);
    ImageItem("&Effects")->Items(2)->Click();
    ui.RunUntilIdle();
    ASSERT_EQ(CurrentTool, &QlComponentTool);
  }
  static TControl* Control(int option, int which) {
    return ComponentTable[0].OptionControls[static_cast<std::size_t>(option)][static_cast<std::size_t>(which)];
  }
};

TEST_F(ComponentPageCasesTest, AVersionBelowTwoAndAHalfNeverShowsTheModeList) {
  Open(100, 50, [](QLCDSTR& record) { record.Version = 2.4f; });
  EXPECT_FALSE(CompSheetFixedControls().ModeCombo->GetVisible());
  EXPECT_EQ(SheetBlendMode(), 0);
}

TEST_F(ComponentPageCasesTest, APointAtTheFarCornerShowsTheLastPixel) {
  Open(100, 50, [](QLCDSTR& record) {
    const int offset = OptionSlotOffset(record, 8);
    WriteSlot32(record.SavedValues.data(), offset, static_cast<std::int32_t>(0xFFFFFFFFu));
  });
  EXPECT_EQ(dynamic_cast<TExSpinEdit*>(Control(8, 0))->GetAsInteger(), 99);
  EXPECT_EQ(dynamic_cast<TExSpinEdit*>(Control(8, 1))->GetAsInteger(), 49);
}

TEST_F(ComponentPageCasesTest, PresetClampsTheDocumentToTheOpenOnes) {
  Open(100, 50, [](QLCDSTR& record) { WriteSlot32(record.DefaultValues.data(), OptionSlotOffset(record, 9), 5); });
  // A second document, then the page of the first again.
  SelectTool(&PenContTool, true, -1);
  TImageForm* other = CreateDocumentWindow(30, 20, "");
  ASSERT_NE(other, nullptr);
  ui.RunUntilIdle();
  ASSERT_EQ(ImgFormCount, 2);
  ImageItem("&Effects")->Items(2)->Click();
  ui.RunUntilIdle();
  ASSERT_EQ(CurrentTool, &QlComponentTool);
  TButton* preset = CompSheetFixedControls().PresetBtn;
  const POINT at = UiDriver::At(preset->GetHandle(), 5, 5);
  ASSERT_EQ(WindowFromPoint(at), preset->GetHandle());
  ui.Click(at.x, at.y);
  ui.RunUntilIdle();
  EXPECT_EQ(ComponentTable[0].OptionTypes[9], QLC_OPT_DOCUMENT);
  EXPECT_EQ(ReadSlot32(ComponentTable[0].DefaultValues.data(), 32), 5);
  EXPECT_EQ(dynamic_cast<TExSpinEdit*>(Control(9, 2))->GetAsInteger(), 2);
  // The thumbnail shows document 2, 30 x 20 fitted into 120 x 90.
  auto* thumb = dynamic_cast<TBuffer*>(Control(9, 0));
  ASSERT_NE(thumb, nullptr);
  EXPECT_EQ(thumb->GetTag(), 2);
  ASSERT_NE(thumb->GetBuffer(), nullptr);
  EXPECT_EQ(thumb->GetBuffer()->Width(), 120);
  EXPECT_EQ(thumb->GetBuffer()->Height(), 80);
  EXPECT_EQ(ReadSlot32(Cell<std::uint8_t>("everykind", "every_options"), 32), 2);
}

TEST_F(ComponentPageCasesTest, WithoutRoomForItsUndoStepApplyDoesNotRun) {
  Open(100, 50, [](QLCDSTR&) {});
  ui.AnswerMessageBoxes({IDOK});
  {
    // Neither memory nor room on the disk for the step.
    FailingAllocator noMemory;
    const std::int64_t disk = Settings.UndoDisk;
    Settings.UndoDisk = 0;
    ComponentApplyClick();
    ui.RunUntilIdle();
    Settings.UndoDisk = disk;
  }
  EXPECT_EQ(CurrentTool, &QlComponentTool);
  EXPECT_EQ(*Cell<int>("everykind", "every_full_runs"), 0);
  EXPECT_EQ(*Picture().At(50, 25), 0x00FFFFFFu);
  EXPECT_EQ(Picture().UndoChain, nullptr);
}

}  // namespace

namespace {

using ComponentColourOptionTest = ComponentSheetTest;

TEST_F(ComponentColourOptionTest, TheSwatchOpensTheColourSelectorTitledWithItsLabel) {
  OpenEveryKind();
  auto* swatch = dynamic_cast<TShape*>(Main(7));
  ASSERT_NE(swatch, nullptr);
  std::string title;
  ui.WhenModalWaits([&] {
    TCustomForm* dialog = Screen()->ActiveForm();
    ASSERT_NE(dialog, nullptr);
    title = dialog->GetCaption();
    ui.QueuePress(VK_ESCAPE);
  });
  const POINT at = UiDriver::At(swatch->GetParent()->GetHandle(), swatch->GetLeft() + 5, swatch->GetTop() + 5);
  ui.Click(at.x, at.y);
  ui.RunUntilIdle();
  EXPECT_EQ(title, "Tint");
  // Cancelled: the colour stays, and the component has it.
  EXPECT_EQ(ReadSlot32(Cell<std::uint8_t>("everykind", "every_options"), 24), 0xFF8000);
}

}  // namespace

namespace {

using ComponentPreviewTest = ComponentSheetTest;

TEST_F(ComponentPreviewTest, OnlyAChangedBlockOrModeRunsThePreviewAgain) {
  OpenEveryKind();
  const int* fullRuns = Cell<int>("everykind", "every_full_runs");
  ComponentPreviewClick();
  ComponentPreviewClick();
  EXPECT_EQ(*fullRuns, 1);
  TComboBox* modes = CompSheetFixedControls().ModeCombo;
  modes->SetItemIndex(10);
  modes->OnChange(modes);
  ComponentPreviewClick();
  ui.RunUntilIdle();
  EXPECT_EQ(*fullRuns, 2);
  // Lighten: the white image stays white under grey 128.
  EXPECT_EQ(*Picture().At(50, 25) & 0xFFFFFF, 0xFFFFFFu);
  modes->SetItemIndex(9);
  modes->OnChange(modes);
  ComponentPreviewClick();
  EXPECT_EQ(*fullRuns, 3);
  EXPECT_EQ(*Picture().At(50, 25) & 0xFFFFFF, 0x808080u);
}

}  // namespace
