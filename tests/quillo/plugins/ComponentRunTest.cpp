// Running components on the active image: at once for one without options, with one undo step
// named after it and the previous tool back; a component that throws or writes outside the
// picture; the requests components post and send to the main window.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "../document/ClippedViewFixture.h"
#include "QlcFixture.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/User.h"
#include "quillo/base/Language.h"
#include "quillo/document/DocumentList.h"
#include "platform/vcl/Menus.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/plugins/ComponentApi.h"
#include "quillo/plugins/ComponentBlocks.h"
#include "quillo/plugins/ComponentCalls.h"
#include "quillo/plugins/ComponentDescription.h"
#include "quillo/plugins/ComponentRun.h"
#include "quillo/plugins/ComponentSheet.h"
#include "quillo/tools/ToolObjects.h"

namespace {

using ComponentRunTest = QlcProgramTest;

int UndoSteps(const UDBuffer& picture) {
  int n = 0;
  for (UndoEntry* e = picture.UndoChain; e; e = e->Next) ++n;
  return n;
}

std::vector<std::uint32_t> Pixels(const UDBuffer& picture) {
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) pixels.push_back(*picture.At(picture.rect.left + x, picture.rect.top + y));
  return pixels;
}

TEST_F(ComponentRunTest, AComponentWithoutOptionsRunsAtOnceAsOneUndoStep) {
  StartOn(20, 10, 0x00102030);
  InstallComponents({"inverter"});
  P_icon* before = CurrentTool;
  Choose("&Inverter");
  EXPECT_EQ(*Picture().At(3, 4), 0x00EFDFCFu);
  EXPECT_EQ(*Picture().At(19, 9), 0x00EFDFCFu);
  ASSERT_EQ(UndoSteps(Picture()), 1);
  EXPECT_EQ(Picture().UndoChain->Description, "Inverter");
  EXPECT_EQ(CurrentTool, before);
  EXPECT_GT(Picture().ChangeCount, 0);
  // Undo brings the picture back.
  ASSERT_TRUE(Picture().Undo(UDBuffer::RedoRecord::Keep));
  EXPECT_EQ(*Picture().At(3, 4), 0x00102030u);
}

TEST_F(ComponentRunTest, WithClippingAndNoSelectionOnlyTheVisiblePartIsRun) {
  StartOn(64, 48, 0x00102030);
  InstallComponents({"inverter"});
  const Rect shown = ShowInnerPartClipped(ImageForm, ui);
  ASSERT_TRUE(IsInnerPart(shown, Picture())) << shown.left << "," << shown.top << "-" << shown.right << "," << shown.bottom;
  Choose("&Inverter");
  Settings.Clipping = false;
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) {
      const bool inside = x >= shown.left && x <= shown.right && y >= shown.top && y <= shown.bottom;
      ASSERT_EQ(*Picture().At(x, y), inside ? 0x00EFDFCFu : 0x00102030u) << x << "," << y;
    }
}

TEST_F(ComponentRunTest, AThrowingComponentLeavesThePictureAsItWas) {
  StartOn(20, 10, 0x00102030);
  InstallComponents({"thrower"});
  ui.AnswerMessageBoxes({IDOK, IDOK});
  const std::vector<std::uint32_t> before = Pixels(Picture());
  const int failures = ComponentFailures;
  Choose("&Thrower");
  EXPECT_EQ(Pixels(Picture()), before);
  EXPECT_EQ(UndoSteps(Picture()), 0);
  // CMD_PROCESS and CMD_END both threw; the program went on.
  EXPECT_EQ(ComponentFailures - failures, 2);
  ASSERT_FALSE(ui.MessageBoxTexts().empty());
  EXPECT_EQ(ui.MessageBoxTexts()[0], "The component Thrower has reported an error.");
  EXPECT_EQ(*Cell<int>("thrower", "thrower_ends"), 1);
}

TEST_F(ComponentRunTest, WritesOutsideThePictureChangeNothing) {
  StartOn(16, 12, 0x00405060);
  InstallComponents({"outside"});
  const std::vector<std::uint32_t> before = Pixels(Picture());
  Choose("&Outside");
  EXPECT_EQ(Pixels(Picture()), before);
  EXPECT_EQ(*Cell<std::uint32_t>("outside", "outside_reads"), 0u);
}

TEST_F(ComponentRunTest, ARequestUnderAnotherToolDoesNothing) {
  StartOn(16, 12, 0x00405060);
  InstallComponents({"inverter"});
  P_icon* tool = CurrentTool;
  for (UINT message = UM_COMPPREVIEW; message <= UM_COMPRESIZE; ++message)
    PostMessage(form->GetHandle(), message, 8, 8);
  ui.RunUntilIdle();
  EXPECT_EQ(CurrentTool, tool);
  EXPECT_EQ(Picture().Width(), 16);
  EXPECT_EQ(UndoSteps(Picture()), 0);
}

TEST_F(ComponentRunTest, ApplyPostedByTheComponentKeepsTheEffect) {
  StartOn(16, 12, 0x00405060);
  InstallComponents({"messages"});
  P_icon* before = CurrentTool;
  Choose("&Requester");
  ASSERT_EQ(CurrentTool, &QlComponentTool);
  *Cell<unsigned>("messages", "messages_request") = UM_COMPOK;
  // An option change sends CMD_OPTIONS, when the component posts its request.
  ReadComponentOptions();
  SendComponentOptions(ComponentOptionValues.data());
  ui.RunUntilIdle();
  EXPECT_EQ(CurrentTool, before);
  EXPECT_EQ(*Picture().At(0, 0) & 0xFFFFFF, 0x00FF00u);
  ASSERT_EQ(UndoSteps(Picture()), 1);
  EXPECT_EQ(Picture().UndoChain->Description, "Requester");
}

TEST_F(ComponentRunTest, AResizeIsTakenWithinItsLimitsAndCancelPutsThePictureBack) {
  StartOn(16, 12, 0x00405060);
  InstallComponents({"messages"});
  Choose("&Requester");
  ASSERT_EQ(CurrentTool, &QlComponentTool);
  struct Case {
    int width;
    long height;
    int expectedWidth;
    int expectedHeight;
  } cases[] = {{50, 40, 50, 40}, {0, 40, 50, 40}, {20, 0, 50, 40}, {20, -3, 50, 40}, {20, 40000, 50, 40}, {7, 5, 7, 5}};
  for (const Case& c : cases) {
    *Cell<int>("messages", "messages_width") = c.width;
    *Cell<long>("messages", "messages_height") = c.height;
    *Cell<unsigned>("messages", "messages_request") = UM_COMPRESIZE;
    SendComponentOptions(ComponentOptionValues.data());
    EXPECT_EQ(Picture().Width(), c.expectedWidth) << c.width << " x " << c.height;
    EXPECT_EQ(Picture().Height(), c.expectedHeight);
    EXPECT_EQ(*Cell<void*>("messages", "messages_resize_result"), static_cast<void*>(Picture().pixels));
  }
  // Filled with the background colour.
  EXPECT_EQ(*Picture().At(3, 3) & 0xFFFFFF, 0xFFFFFFu);
  PostMessage(form->GetHandle(), UM_COMPCANCEL, 0, 0);
  ui.RunUntilIdle();
  EXPECT_NE(CurrentTool, &QlComponentTool);
  EXPECT_EQ(Picture().Width(), 16);
  EXPECT_EQ(Picture().Height(), 12);
  EXPECT_EQ(*Picture().At(3, 3), 0x00405060u);
  EXPECT_EQ(UndoSteps(Picture()), 0);
}

TEST_F(ComponentRunTest, StopDuringApplyTakesTheStepBackAndTheToolStays) {
  StartOn(16, 12, 0x00405060);
  InstallComponents({"messages"});
  Choose("&Requester");
  ASSERT_EQ(CurrentTool, &QlComponentTool);
  *Cell<int>("messages", "messages_stop_in_process") = 1;
  PostMessage(form->GetHandle(), UM_COMPOK, 0, 0);
  ui.RunUntilIdle();
  EXPECT_EQ(*Cell<int>("messages", "messages_progress_after_stop"), 0);
  EXPECT_EQ(CurrentTool, &QlComponentTool);
  EXPECT_EQ(UndoSteps(Picture()), 0);
  EXPECT_EQ(*Picture().At(0, 0), 0x00405060u);
  // The next Apply runs again and keeps the result.
  *Cell<int>("messages", "messages_stop_in_process") = 0;
  PostMessage(form->GetHandle(), UM_COMPOK, 0, 0);
  ui.RunUntilIdle();
  EXPECT_NE(CurrentTool, &QlComponentTool);
  EXPECT_EQ(*Picture().At(0, 0) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(UndoSteps(Picture()), 1);
}

TEST_F(ComponentRunTest, PutPixelBlendsWithTheSourceAndKeepsTheTopByte) {
  StartOn(16, 12, 0x7FC8C8C8);
  InstallComponents({"messages"});
  Choose("&Requester");
  ASSERT_EQ(CurrentTool, &QlComponentTool);
  const int expected[] = {100, 150, 78, 222, 156, 128, 189, 255, 115, 100, 200, 100, 100};
  for (int item = 0; item <= 12; ++item) {
    BlendModeInForce = item;
    HostParams.Callbacks.CompPutPixel(0x00646464, 2, 3);
    EXPECT_EQ(*Picture().At(3, 2), 0x7F000000u | static_cast<std::uint32_t>(expected[item]) * 0x010101u) << item;
  }
  // After a resize the colour replaces.
  BlendModeInForce = 1;
  Picture().Alloc(8, 8);
  HostParams.Callbacks.CompPutPixel(0x00646464, 2, 3);
  EXPECT_EQ(*Picture().At(3, 2) & 0xFFFFFF, 0x646464u);
  PostMessage(form->GetHandle(), UM_COMPCANCEL, 0, 0);
  ui.RunUntilIdle();
  EXPECT_EQ(Picture().Width(), 16);
}

TEST_F(ComponentRunTest, TheCallbacksCheckTheirNumbers) {
  StartOn(16, 12, 0x00405060);
  InstallComponents({"messages"});
  Choose("&Requester");
  ASSERT_EQ(CurrentTool, &QlComponentTool);
  const ComponentCallbacks& cb = HostParams.Callbacks;
  EXPECT_EQ(cb.CompGetDocInfo(1, 0), 1);
  EXPECT_EQ(cb.CompGetDocInfo(2, 1), 16);
  EXPECT_EQ(cb.CompGetDocInfo(3, 1), 12);
  EXPECT_EQ(cb.CompGetDocInfo(2, 2), 0);
  EXPECT_EQ(cb.CompGetDocInfo(9, 1), 0);
  const int resolution = Picture().Resolution;
  cb.CompSetResolution(0);
  cb.CompSetResolution(100000);
  EXPECT_EQ(Picture().Resolution, resolution);
  cb.CompSetResolution(99999);
  EXPECT_EQ(Picture().Resolution, 99999);
  cb.CompSetAlpha(300, 1, 1);
  EXPECT_EQ(*Picture().At(1, 1) >> 24, 255u);
  cb.CompSetAlpha(-5, 1, 1);
  EXPECT_EQ(*Picture().At(1, 1) >> 24, 0u);
  *QlComponentTool.QlComponentPicture.At(15, 0) = 0x00ABCDEF;
  EXPECT_EQ(cb.CompGetSrcPixelClamped(-1, 16 + 10), 0x00ABCDEFu);
  EXPECT_EQ(cb.CompGetDocPixel(0, 15, 1), 0x00ABCDEFu);
  EXPECT_EQ(cb.CompGetSrcPixel(-1, 0), 0u);
  void* memory = cb.CompAlloc(64);
  ASSERT_NE(memory, nullptr);
  cb.CompFree(memory);
  PostMessage(form->GetHandle(), UM_COMPCANCEL, 0, 0);
  ui.RunUntilIdle();
}

TEST_F(ComponentRunTest, CompFreeIgnoresAddressesItNeverGaveAndCompAllocIsBoundedByThePicture) {
  StartOn(16, 12, 0x00405060);
  InstallComponents({"messages"});
  Choose("&Requester");
  ASSERT_EQ(CurrentTool, &QlComponentTool);
  const ComponentCallbacks& cb = HostParams.Callbacks;
  int onTheStack = 0;
  auto ownBlock = std::make_unique<int>(5);
  void* given = cb.CompAlloc(100);
  ASSERT_NE(given, nullptr);
  // Addresses never handed out, a block given back twice and a pointer inside a block.
  cb.CompFree(&onTheStack);
  cb.CompFree(ownBlock.get());
  cb.CompFree(static_cast<char*>(given) + 8);
  cb.CompFree(given);
  cb.CompFree(given);
  EXPECT_EQ(*ownBlock, 5);
  // 4 GB is refused; what a small picture's work can need is not.
  EXPECT_EQ(cb.CompAlloc(0xFFFFFFFFu), nullptr);
  EXPECT_GT(ComponentBlockBound(), 16u * 12u * 4u);
  EXPECT_LT(ComponentBlockBound(), 0xFFFFFFFFull);
  void* big = cb.CompAlloc(static_cast<std::uint32_t>(ComponentBlockBound() / 2));
  ASSERT_NE(big, nullptr);
  // The total is bounded too.
  EXPECT_EQ(cb.CompAlloc(static_cast<std::uint32_t>(ComponentBlockBound() / 2 + 1)), nullptr);
  cb.CompFree(big);
  // A block still held when the component ends is given back (the leak check would see it).
  EXPECT_NE(cb.CompAlloc(64), nullptr);
  PostMessage(form->GetHandle(), UM_COMPCANCEL, 0, 0);
  ui.RunUntilIdle();
}

// A component that faults: every picture and history stay as they were, a message names the
// component and the fault, the component is refused afterwards and the program goes on.
TEST_F(ComponentRunTest, AFaultingComponentIsTakenBackNamedAndRefusedAfterwards) {
  StartOn(20, 10, 0x00102030);
  InstallComponents({"inverter", "faultnull", "faultdivide", "faultabort", "faultillegal", "faultrecurse"});
  // Another picture, changed, with a history of its own.
  Choose("&Inverter");
  UDBuffer& other = Picture();
  ASSERT_EQ(UndoSteps(other), 1);
  const std::vector<std::uint32_t> otherPixels = Pixels(other);
  const UndoEntry* otherHistory = other.UndoChain;
  ASSERT_NE(CreateDocumentWindow(24, 8, ""), nullptr);
  ui.RunUntilIdle();
  ASSERT_NE(&Picture(), &other);
  Picture().Box(Picture().rect, 0x00405060);
  struct Case {
    const char* caption;
    const char* name;
    const char* faultKey;
  } cases[] = {{"&Null Writer", "Null Writer", "QLCFaultAccess"},
               {"&Divider", "Divider", "QLCFaultArithmetic"},
               {"&Aborter", "Aborter", "QLCFaultAbort"},
               {"&Illegal", "Illegal", "QLCFaultIllegal"},
               {"&Recurser", "Recurser", "QLCFaultStack"}};
  for (const Case& c : cases) {
    const std::vector<std::uint32_t> before = Pixels(Picture());
    P_icon* tool = CurrentTool;
    const std::size_t boxes = ui.MessageBoxTexts().size();
    ui.AnswerMessageBoxes({IDOK});
    Choose(c.caption);
    EXPECT_EQ(Pixels(Picture()), before) << c.name;
    EXPECT_EQ(UndoSteps(Picture()), 0) << c.name;
    EXPECT_EQ(CurrentTool, tool) << c.name;
    // One message, naming the component and its fault.
    ASSERT_EQ(ui.MessageBoxTexts().size(), boxes + 1) << c.name;
    EXPECT_EQ(ui.MessageBoxTexts().back(),
              Format(LangMessage("ErrQLCFault").c_str(), c.name, LangMessage(c.faultKey).c_str()));
    EXPECT_EQ(Pixels(other), otherPixels) << c.name;
    EXPECT_EQ(other.UndoChain, otherHistory) << c.name;
    EXPECT_EQ(UndoSteps(other), 1) << c.name;
    // Chosen again, it is refused without running.
    ui.AnswerMessageBoxes({IDOK});
    Choose(c.caption);
    ASSERT_EQ(ui.MessageBoxTexts().size(), boxes + 2) << c.name;
    EXPECT_EQ(ui.MessageBoxTexts().back(), Format(LangMessage("ErrQLCUnusable").c_str(), c.name));
    EXPECT_EQ(Pixels(Picture()), before) << c.name;
  }
  // The program goes on: another component runs and its step undoes.
  Choose("&Inverter");
  EXPECT_EQ(*Picture().At(3, 4), 0x00BFAF9Fu);
  ASSERT_EQ(UndoSteps(Picture()), 1);
  ASSERT_TRUE(Picture().Undo(UDBuffer::RedoRecord::Keep));
  EXPECT_EQ(*Picture().At(3, 4), 0x00405060u);
  EXPECT_EQ(UndoSteps(other), 1);
}

}  // namespace

namespace {

using ComponentLoadTest = QlcProgramTest;

TEST_F(ComponentLoadTest, ALibraryGoneSinceTheScanIsNamedInAMessage) {
  StartOn(16, 12, 0x00405060);
  InstallComponents({"inverter"});
  P_icon* before = CurrentTool;
  Release("inverter");
  std::filesystem::remove(programFolder + "Comps/inverter.qlc");
  ui.AnswerMessageBoxes({IDOK});
  Choose("&Inverter");
  ASSERT_EQ(ui.MessageBoxTexts().size(), 1u);
  EXPECT_NE(ui.MessageBoxTexts()[0].find(programFolder + "Comps/inverter.qlc"), std::string::npos);
  EXPECT_EQ(CurrentTool, before);
  EXPECT_EQ(*Picture().At(3, 3), 0x00405060u);
}

}  // namespace
