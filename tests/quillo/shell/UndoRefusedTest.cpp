// Every command and tool that opens an undo step, run while the undo store refuses every step
// (no memory, no room on the disk): each stops cleanly and leaves the picture, its selection,
// the brush and the whole history exactly as they were, and Undo and Redo still give back the
// earlier and later pictures.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "../document/FailingUndoMemory.h"
#include "../plugins/FilterSamples.h"
#include "../plugins/QlcFixture.h"
#include "PaletteUser.h"
#include "platform/host/KeyCodes.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Memo.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/Settings.h"
#include "quillo/document/DocumentInput.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/Zoom.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/filters/CustomFilterForm.h"
#include "quillo/filters/CustomFilterTool.h"
#include "quillo/filters/FilterFactory.h"
#include "quillo/filters/FilterFactoryForm.h"
#include "quillo/plugins/ComponentRun.h"
#include "quillo/plugins/FilterPluginList.h"
#include "quillo/plugins/FilterPluginMenu.h"
#include "quillo/shell/MainForm.h"
#include "quillo/tools/BrushCommands.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/CloneTool.h"
#include "quillo/tools/FactoryBrush.h"
#include "quillo/tools/OptionBar.h"
#include "quillo/tools/SelectionToBrush.h"
#include "quillo/tools/SelectionTools.h"
#include "quillo/tools/TextTool.h"
#include "quillo/tools/ToolForm.h"
#include "quillo/tools/ToolObjects.h"
#include "support/UiDriver.h"

namespace {

// What a refused command must leave as it was: a picture's pixels, mask, selection bounds,
// change counter and name, and the names of the steps of both chains.
struct Snapshot {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
  std::vector<bool> mask;
  int selLeft = 0, selTop = 0, selRight = 0, selBottom = 0;
  int changeCount = 0;
  std::string fileName;
  std::vector<std::string> undoNames, redoNames;
  bool operator==(const Snapshot&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Snapshot& s) {
  out << s.width << "x" << s.height << " sel " << s.selLeft << "," << s.selTop << "-" << s.selRight << ","
      << s.selBottom << " changes " << s.changeCount << " undo [";
  for (const std::string& n : s.undoNames) out << n << " ";
  out << "] redo [";
  for (const std::string& n : s.redoNames) out << n << " ";
  out << "]";
  int differing = 0;
  for (std::uint32_t p : s.pixels) differing += p != s.pixels.front();
  return out << " (" << differing << " pixels unlike the first)";
}

std::vector<std::string> Names(const UndoEntry* head) {
  std::vector<std::string> names;
  for (const UndoEntry* e = head; e != nullptr; e = e->Next) names.push_back(e->Description.c_str());
  return names;
}

Snapshot SnapshotOf(const UDBuffer& p) {
  Snapshot s;
  s.width = p.Width();
  s.height = p.Height();
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x) {
      s.pixels.push_back(*const_cast<UDBuffer&>(p).At(p.rect.left + x, p.rect.top + y));
      s.mask.push_back(p.Mask.words != nullptr && p.IsSelected(x, y));
    }
  s.selLeft = p.SelLeft;
  s.selTop = p.SelTop;
  s.selRight = p.SelRight;
  s.selBottom = p.SelBottom;
  s.changeCount = p.ChangeCount;
  s.fileName = p.FileName.c_str();
  s.undoNames = Names(p.UndoChain);
  s.redoNames = Names(p.RedoChain);
  return s;
}

// Where two pictures of one size differ, for a failure's message.
std::string DifferingArea(const Snapshot& a, const Snapshot& b) {
  if (a.width != b.width || a.height != b.height || a.pixels.size() != b.pixels.size()) return "sizes differ";
  int left = a.width, top = a.height, right = -1, bottom = -1;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(a.width) + static_cast<std::size_t>(x);
      if (a.pixels[i] == b.pixels[i] && a.mask[i] == b.mask[i]) continue;
      left = std::min(left, x);
      top = std::min(top, y);
      right = std::max(right, x);
      bottom = std::max(bottom, y);
    }
  if (right < 0) return "same pixels and mask";
  return "pixels or mask differ in " + std::to_string(left) + "," + std::to_string(top) + "-" + std::to_string(right) +
         "," + std::to_string(bottom);
}

// Pixels only: what Undo and Redo give back.
std::vector<std::uint32_t> PixelsOf(const UDBuffer& p) { return SnapshotOf(p).pixels; }

class UndoRefusedTest;

struct RefusedCase {
  const char* name;
  // Before the store refuses: the tool chosen, a selection made...
  std::function<void(UndoRefusedTest&)> prepare;
  // What the user does while the store refuses.
  std::function<void(UndoRefusedTest&)> act;
  // Afterwards, with the store back: a dialog cancelled, the pointer taken away.
  std::function<void(UndoRefusedTest&)> finish;
};

std::ostream& operator<<(std::ostream& out, const RefusedCase& c) { return out << c.name; }

class UndoRefusedTest : public QlcProgramTest, public ::testing::WithParamInterface<RefusedCase> {
public:
  // What the table's cases reach.
  using QlcProgramTest::Choose;
  using QlcProgramTest::ChooseMenuItem;
  using QlcProgramTest::ImageItem;
  using QlcProgramTest::form;
  using QlcProgramTest::ui;

  UndoRefusedTest() {
    StartOn(96, 64, 0x00FFFFFF);
    // The views of the picture follow its new size.
    ApplyZoom();
    ui.RunUntilIdle();
    InstallComponents({"effects/everykind", "inverter"});
    const std::string folder = home.Path() + "/filters";
    CopySamples(folder, {"invert"});
    Settings.UseAdobe = true;
    Settings.AdobeLoc = folder + "/";
    ScanAdobePlugins();
    MakeFactoryBrush(FactoryShape::Round, 3, 100, 0x000000);
    UpdateBrushShape(false);
    form->DrawCol->SetColor(clBlack);
    form->BackCol->SetColor(clWhite);
    // A press within 100 ms of a window's activation only activates it.
    ui.Advance(500);
    ui.RunUntilIdle();
    ui.OnMessageBox([](const std::string&, const std::string&, UINT) { return IDOK; });
  }
  ~UndoRefusedTest() override {
    if (FFFilterTool.Form != nullptr) ClickOnCentre(ui, FFFilterTool.Form->CancelBtn);
    if (CustomFilterTool.Form != nullptr) ClickOnCentre(ui, CustomFilterTool.Form->CancelBtn);
    ui.RunUntilIdle();
    Settings.InstBrush = false;
    ApplyInstantBrushOption();
    Settings.AdobeLoc.clear();
    PluginMenuItem = nullptr;
    CloneTool.Absolute = 0;
    CloneTool.SourceX = CloneTool.SourceY = 0;
  }

  // A patterned picture with a history: steps "A" and "B" on the undo chain and "C" on the
  // redo chain; pictures[i] is the picture after i of those steps.
  void MakeHistory() {
    UDBuffer& p = Picture();
    for (int y = 0; y < p.Height(); ++y)
      for (int x = 0; x < p.Width(); ++x) *p.At(x, y) = static_cast<std::uint32_t>(x * 0x020301 + y * 0x030102) & 0xFFFFFF;
    pictures.push_back(PixelsOf(p));
    const char* names[] = {"A", "B", "C"};
    for (int i = 0; i < 3; ++i) {
      ASSERT_TRUE(p.PushUndo(names[i]));
      p.Box(Rect(5 + 10 * i, 5, 20 + 10 * i, 30), 0x00102030u * static_cast<std::uint32_t>(i + 1));
      pictures.push_back(PixelsOf(p));
    }
    ASSERT_TRUE(p.Undo(UDBuffer::RedoRecord::Keep));
    if (ImageForm != nullptr) ImageForm->ShowBuf->Invalidate();
    ui.RunUntilIdle();
  }

  // A selection of the rectangle, as one made with the rectangle tool stands.
  void Select(int x1, int y1, int x2, int y2) {
    UDBuffer& p = Picture();
    p.SetMaskAll(false);
    p.SetMaskRect(true, Rect(x1, y1, x2, y2));
    p.RebuildSelectionOutline();
    ui.RunUntilIdle();
  }

  void Choose(P_icon* tool) {
    MousePoint = {NoMousePoint, NoMousePoint};
    SelectTool(tool, true, -1);
    ui.RunUntilIdle();
  }
  POINT ViewPoint(int x, int y) const { return UiDriver::At(ImageForm->ShowBuf->GetHandle(), x, y); }
  void ClickAt(int x, int y) {
    const POINT at = ViewPoint(x, y);
    ui.MoveTo(at.x, at.y);
    ui.Click(at.x, at.y);
    ui.Advance(500);  // the next click is no double click
    ui.RunUntilIdle();
  }
  void DragThrough(std::vector<Pair<int>> points) {
    const POINT a = ViewPoint(points.front().x, points.front().y);
    ui.MoveTo(a.x, a.y);
    ui.MouseDown(a.x, a.y);
    POINT last = a;
    for (const Pair<int>& p : points) {
      last = ViewPoint(p.x, p.y);
      ui.MoveTo(last.x, last.y);
    }
    ui.Advance(400);  // a drag, not a click
    ui.MouseUp(last.x, last.y);
    ui.Advance(500);
    ui.RunUntilIdle();
  }
  void PointerAway() {
    ui.MoveTo(2, 2);
    ui.RunUntilIdle();
  }
  void Keys(std::initializer_list<int> held, int key) {
    SetForegroundWindow(ImageForm->GetHandle());
    ImageForm->SetFocus();
    ui.RunUntilIdle();
    for (int k : held) ui.KeyDown(k);
    ui.Press(key);
    for (auto k = std::rbegin(held); k != std::rend(held); ++k) ui.KeyUp(*k);
    ui.RunUntilIdle();
  }
  void RunPlugin(const std::string& title) {
    TMenuItem* adobe = PluginMenuItem;
    ASSERT_NE(adobe, nullptr);
    for (int i = 0; i < adobe->Count(); ++i)
      for (int j = 0; j < adobe->Items(i)->Count(); ++j)
        if (adobe->Items(i)->Items(j)->GetCaption() == "&" + title) {
          adobe->Items(i)->Items(j)->Click();
          ui.RunUntilIdle();
          return;
        }
    FAIL() << title;
  }

  std::vector<std::vector<std::uint32_t>> pictures;
};

TEST_P(UndoRefusedTest, LeavesPictureBrushAndHistoryAsTheyWere) {
  const RefusedCase& c = GetParam();
  ASSERT_NO_FATAL_FAILURE(MakeHistory());
  if (c.prepare) c.prepare(*this);
  UDBuffer& picture = Picture();
  const Snapshot before = SnapshotOf(picture);
  const Snapshot brushBefore = SnapshotOf(Brush);
  const std::int64_t disk = Settings.UndoDisk;
  {
    // Neither memory nor room on the disk for any step.
    const FailingAllocator noMemory;
    Settings.UndoDisk = 0;
    c.act(*this);
    Settings.UndoDisk = disk;
  }
  if (c.finish) c.finish(*this);
  // The brush the pen tools show under the pointer is no part of the picture.
  PointerAway();
  ASSERT_EQ(CurrentPicture, &picture);
  EXPECT_EQ(SnapshotOf(picture), before) << DifferingArea(SnapshotOf(picture), before);
  EXPECT_EQ(SnapshotOf(Brush), brushBefore) << DifferingArea(SnapshotOf(Brush), brushBefore);
  // The history still leads back and forth through the earlier pictures.
  for (int i = 1; i >= 0; --i) {
    ASSERT_TRUE(picture.Undo(UDBuffer::RedoRecord::Keep)) << i;
    EXPECT_TRUE(PixelsOf(picture) == pictures[static_cast<std::size_t>(i)]) << "after undo to " << i;
  }
  for (int i = 1; i <= 3; ++i) {
    ASSERT_TRUE(picture.Redo()) << i;
    EXPECT_TRUE(PixelsOf(picture) == pictures[static_cast<std::size_t>(i)]) << "after redo to " << i;
  }
}

using T = UndoRefusedTest;

const RefusedCase kCases[] = {
    {"ContinuousPen", [](T& t) { t.Choose(&PenContTool); }, [](T& t) { t.DragThrough({{10, 40}, {30, 45}, {50, 40}}); }, nullptr},
    {"DiscPen", [](T& t) { t.Choose(&PenDiscTool); }, [](T& t) { t.DragThrough({{10, 40}, {50, 40}}); }, nullptr},
    {"Line", [](T& t) { t.Choose(&LineTool); },
     [](T& t) {
       t.ClickAt(10, 40);
       t.ClickAt(60, 50);
     },
     [](T& t) { t.PointerAway(); }},
    {"Box", [](T& t) { t.Choose(&BoxRectTool); }, [](T& t) { t.DragThrough({{10, 35}, {60, 55}}); }, nullptr},
    {"FilledEllipse", [](T& t) { t.Choose(&EllipsefTool); }, [](T& t) { t.DragThrough({{10, 35}, {60, 55}}); }, nullptr},
    {"FilledFreehand", [](T& t) { t.Choose(&FillDrawTool); },
     [](T& t) { t.DragThrough({{10, 35}, {60, 35}, {60, 55}, {10, 55}, {10, 35}}); }, nullptr},
    {"Fill", [](T& t) { t.Choose(&FillSolidTool); }, [](T& t) { t.ClickAt(70, 50); }, nullptr},
    {"Spray", [](T& t) { t.Choose(&SprayTool); }, [](T& t) { t.DragThrough({{20, 40}, {40, 45}, {60, 50}}); }, nullptr},
    {"Clone",
     [](T& t) {
       t.Choose(&CloneTool);
       CloneTool.Absolute = 1;
       CloneTool.SourceX = 10;
       CloneTool.SourceY = 10;
     },
     [](T& t) { t.DragThrough({{60, 40}, {70, 45}, {80, 50}}); }, nullptr},
    {"CloneFromTheLiveImage",
     [](T& t) {
       t.Choose(&CloneTool);
       SetOptionValue(0, 1);
       CloneTool.Absolute = 1;
       CloneTool.SourceX = 10;
       CloneTool.SourceY = 10;
     },
     [](T& t) { t.DragThrough({{60, 40}, {70, 45}, {80, 50}}); }, nullptr},
    {"SelectionRectangleOverASelection",
     [](T& t) {
       t.Select(2, 2, 12, 12);
       t.Choose(&CutBoxTool);
     },
     [](T& t) { t.DragThrough({{30, 30}, {60, 50}}); }, nullptr},
    {"FreehandGrabAsBrush",
     [](T& t) {
       Settings.InstBrush = true;
       ApplyInstantBrushOption();
       t.Choose(&PenContTool);
       t.Choose(&CutDrawTool);
     },
     [](T& t) { t.DragThrough({{10, 10}, {40, 10}, {40, 40}, {10, 40}, {10, 10}}); }, nullptr},
    {"PolygonGrabAsBrush",
     [](T& t) {
       Settings.InstBrush = true;
       ApplyInstantBrushOption();
       t.Choose(&PenContTool);
       t.Choose(&CutPolyTool);
     },
     [](T& t) {
       for (Pair<int> p : {Pair<int>{10, 10}, Pair<int>{40, 10}, Pair<int>{40, 40}, Pair<int>{10, 10}}) t.ClickAt(p.x, p.y);
     },
     [](T& t) { t.PointerAway(); }},
    {"WandGrabAsBrushWithTheRightButton",
     [](T& t) {
       Settings.InstBrush = true;
       ApplyInstantBrushOption();
       t.Choose(&PenContTool);
       t.Choose(&CutWandTool);
     },
     [](T& t) {
       const POINT at = t.ViewPoint(10, 10);
       t.ui.MoveTo(at.x, at.y);
       t.ui.Click(at.x, at.y, InputEvent::Right);
       t.ui.RunUntilIdle();
     },
     nullptr},
    {"Move", [](T& t) { t.Select(20, 20, 40, 40); t.Choose(&MoveTool); },
     [](T& t) { t.DragThrough({{30, 30}, {50, 45}}); }, nullptr},
    {"TextApply", nullptr,
     [](T& t) {
       t.Choose(&TextTool);
       ToolForm->TextBox->SetText("Hi");
       ToolForm->TextFontChanged(ToolForm->TextBox);
       t.ui.RunUntilIdle();
       ToolForm->ApplyBtnClick(nullptr);
     },
     [](T& t) { t.Choose(&PenContTool); }},
    {"ClearImage", nullptr, [](T& t) { t.Keys({VK_SHIFT, VK_CONTROL}, 'C'); }, nullptr},
    {"Paste", [](T& t) { t.form->Copy1Click(nullptr); }, [](T& t) { t.form->Paste1Click(t.form); }, nullptr},
    {"Delete", nullptr, [](T& t) { t.form->Delete1Click(t.form); }, nullptr},
    {"Cut", nullptr, [](T& t) { t.form->Cut1Click(nullptr); }, nullptr},
    {"InvertSelection", [](T& t) { t.Select(10, 10, 20, 20); }, [](T& t) { t.form->InvertSel1Click(nullptr); }, nullptr},
    {"ClearSelection", [](T& t) { t.Select(10, 10, 20, 20); }, [](T& t) { t.form->ClearSel1Click(nullptr); }, nullptr},
    {"SelectionAsBrush", [](T& t) { t.Select(10, 10, 20, 20); }, [](T&) { GetSelectionAsBrush(false); }, nullptr},
    // The brush commands on a brush taken from the patterned picture, so that every change shows.
    {"BrushMirror", [](T&) { GetAllAsBrush(); }, [](T&) { MirrorBrush(true); }, nullptr},
    {"BrushQuarterTurn", [](T&) { GetAllAsBrush(); }, [](T&) { RotateBrushQuarterCommand(); }, nullptr},
    {"BrushOutline", [](T&) { GetAllAsBrush(); }, [](T&) { OutlineBrushCommand(); }, nullptr},
    {"BrushHalve", [](T&) { GetAllAsBrush(); }, [](T&) { HalveBrush(BrushAxes::Both); }, nullptr},
    {"BrushDouble", nullptr, [](T&) { DoubleBrush(BrushAxes::Width); }, nullptr},
    {"BrushFromTheWholeImage", nullptr, [](T&) { GetAllAsBrush(); }, nullptr},
    {"ComponentEffect", nullptr, [](T& t) { t.Choose("&Inverter"); }, nullptr},
    {"ComponentPageApply", nullptr,
     [](T& t) {
       t.ImageItem("&Effects")->Items(2)->Click();
       t.ui.RunUntilIdle();
       ComponentApplyClick();
       t.ui.RunUntilIdle();
     },
     [](T& t) { t.Choose(&PenContTool); }},
    {"FilterPlugin", nullptr, [](T& t) { t.RunPlugin("Invert Colours"); }, nullptr},
    {"CustomFilterOk", nullptr,
     [](T& t) {
       t.ChooseMenuItem("&Image", "C&ustom Filter...");
       ClickOnCentre(t.ui, CustomFilterTool.Form->OkBtn);
     },
     [](T& t) {
       ASSERT_NE(CustomFilterTool.Form, nullptr) << "the dialog stays open";
       ClickOnCentre(t.ui, CustomFilterTool.Form->CancelBtn);
     }},
    {"FilterFactoryOk", nullptr,
     [](T& t) {
       t.ChooseMenuItem("&Image", "Filter &Factory...");
       ClickOnCentre(t.ui, FFFilterTool.Form->OkBtn);
     },
     [](T& t) {
       ASSERT_NE(FFFilterTool.Form, nullptr) << "the window stays open";
       ClickOnCentre(t.ui, FFFilterTool.Form->CancelBtn);
     }},
};

INSTANTIATE_TEST_SUITE_P(EveryStepOpeningCommand, UndoRefusedTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<RefusedCase>& info) { return std::string(info.param.name); });

}  // namespace
