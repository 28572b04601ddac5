// The Brush menu and the brush modes through the main window: every item from the menu and by
// its shortcut, the brush's own undo and redo with their captions, the selection taken as the
// brush, the brush as an image, the drop-shadow dialog, the hot spot and the one-pixel pen.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <tuple>
#include <utility>
#include <string>
#include <vector>

#include "../document/FailingUndoMemory.h"
#include "../tools/BrushLetters.h"
#include "../tools/ShapeFixture.h"
#include "platform/host/KeyCodes.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/Menus.h"
#include "quillo/base/Language.h"
#include "quillo/base/Settings.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/BrushTransforms.h"
#include "quillo/tools/DropShadowForm.h"
#include "quillo/tools/FactoryBrush.h"
#include "quillo/tools/ToolObjects.h"
#include "support/UiDriver.h"

using namespace brush_letters;

namespace {

// For the length of a scope the brush commands find no memory for the pictures they build.
class NoBrushMemory {
public:
  NoBrushMemory() : previous_(BrushAllocPicture) { BrushAllocPicture = [](UDBuffer& p, int, int) { p.Free(); }; }
  ~NoBrushMemory() { BrushAllocPicture = previous_; }
  NoBrushMemory(const NoBrushMemory&) = delete;
  NoBrushMemory& operator=(const NoBrushMemory&) = delete;

private:
  BrushPictureAllocator previous_;
};

class BrushMenuTest : public ShapeToolTest {
protected:
  BrushMenuTest() {
    form->DrawCol->SetColor(clBlue);
    Choose(&PenContTool);
  }
  ~BrushMenuTest() override {
    BrushState = BrushStateBlock{};
    Settings.BrushSize = 1;
    SavedBrushSize = 1;
    DropShFormLeft = -1;
    while (Brush.UndoChain) Brush.DropUndoStep();
    while (Brush.RedoChain) Brush.DropRedoStep();
  }

  void UseBrush(const std::string& rows) {
    SetBrush(rows);
    BrushMode = BrushModePaint;
    UseCustomBrushShape();
  }

  // Brush > item, or Brush > sub > item, clicked as a user does; then whileOpen in turn when
  // a dialog the command opens waits.
  void Choose(const std::vector<std::string>& path, std::function<void()> whileOpen = {}) {
    if (path.size() == 1) {
      ChooseMenuItem("&Brush", path[0], whileOpen ? std::vector<std::function<void()>>{whileOpen}
                                                  : std::vector<std::function<void()>>{});
    } else {
      const MenuPlace inner = FindMenuItem({"&Brush", path[0], path[1]});
      ASSERT_NE(inner.position, -1) << path[1];
      std::vector<std::function<void()>> steps{[this, inner] {
        RECT r{};
        GetMenuItemRect(form->GetHandle(), inner.menu, static_cast<UINT>(inner.position), &r);
        ui.QueueClick((r.left + r.right) / 2, (r.top + r.bottom) / 2);
      }};
      if (whileOpen) steps.push_back(whileOpen);
      ChooseMenuItem("&Brush", path[0], steps);
    }
    ui.RunUntilIdle();
  }
  using ShapeToolTest::Choose;

  // A key with modifiers pressed in the document window.
  void KeyToDocument(std::vector<int> modifiers, int key) {
    SetForegroundWindow(document->GetHandle());
    document->SetFocus();
    ui.RunUntilIdle();
    for (int m : modifiers) ui.KeyDown(m);
    ui.Press(key);
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) ui.KeyUp(*it);
    ui.RunUntilIdle();
  }

  static TDropShForm* ShadowDialog() { return dynamic_cast<TDropShForm*>(Screen()->ActiveForm()); }
};

TEST_F(BrushMenuTest, EveryChangingItemFromTheMenuIsOneBrushStep) {
  struct Case {
    std::vector<std::string> path;
    const char* before;
    const char* after;
    const char* step;
  } cases[] = {
      {{"&Halve", "&Both"}, "abcd/efgh/ijkl/mnop", "fh/np", "HalveBr"},
      {{"&Halve", "&Width"}, "abcd/efgh", "bd/fh", "HalveXBr"},
      {{"&Halve", "&Height"}, "a/b", "b", "HalveYBr"},
      {{"&Double", "&Both"}, "ab", "aabb/aabb", "DoubleBr"},
      {{"&Double", "&Width"}, "ab", "aabb", "DoubleXBr"},
      {{"&Double", "&Height"}, "ab", "ab/ab", "DoubleYBr"},
      {{"&Mirror", "&Left-to-Right"}, "abc/def", "cba/fed", "MirLRBr"},
      {{"&Mirror", "&Top-to-Bottom"}, "abc/def", "def/abc", "MirTBBr"},
      {{"&Rotate", "&90 Degrees"}, "abc", "c/b/a", "Rot90Br"},
      {{"&Rotate", "&180 Degrees"}, "abc/def", "fed/cba", "Rot180Br"},
      {{"&Outline"}, "a", ".B./BaB/.B.", "OutlineBr"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path.back());
    UseBrush(c.before);
    Choose(c.path);
    EXPECT_EQ(BrushText(), c.after);
    ASSERT_NE(Brush.UndoChain, nullptr);
    EXPECT_EQ(Brush.UndoChain->Description, AnsiString(c.step));
    EXPECT_TRUE(CustomBrush);
    // The menu names the step; its Undo takes it back and Redo gives it again.
    form->Brush1Click(form);
    EXPECT_EQ(form->MenuItemNamed("UndoBrush1")->GetCaption(), LangMessage("Undo") + " " + LangMessage(c.step));
    Choose({std::string((LangMessage("Undo") + " " + LangMessage(c.step)).c_str())});
    EXPECT_EQ(BrushText(), c.before);
    form->Brush1Click(form);
    Choose({std::string((LangMessage("Redo") + " " + LangMessage(c.step)).c_str())});
    EXPECT_EQ(BrushText(), c.after);
  }
}

TEST_F(BrushMenuTest, ShortcutsRunTheirItems) {
  struct Case {
    std::vector<int> modifiers;
    int key;
    const char* before;
    const char* after;
  } cases[] = {
      {{VK_CONTROL}, 'H', "abcd/efgh/ijkl/mnop", "fh/np"},
      {{VK_CONTROL, VK_SHIFT}, 'U', "ab", "aabb/aabb"},
      {{VK_CONTROL, VK_SHIFT}, 'X', "ab", "ba"},
      {{VK_CONTROL, VK_SHIFT}, 'Y', "a/b", "b/a"},
      {{VK_CONTROL, VK_SHIFT}, 'O', "a", ".B./BaB/.B."},
  };
  for (const Case& c : cases) {
    UseBrush(c.before);
    KeyToDocument(c.modifiers, c.key);
    EXPECT_EQ(BrushText(), c.after) << static_cast<char>(c.key);
  }
  struct ToolCase {
    int key;
    P_icon* tool;
  } tools[] = {{'B', &StretchBrushTool}, {'R', &RotateBrushTool}};
  for (const ToolCase& t : tools) {
    KeyToDocument({VK_CONTROL}, t.key);
    EXPECT_EQ(CurrentTool, t.tool) << static_cast<char>(t.key);
    KeyToDocument({}, VK_ESCAPE);
    EXPECT_EQ(CurrentTool, &PenContTool);
  }
  BrushHandleMode = HandleLeftBottom;
  KeyToDocument({VK_CONTROL}, 'E');
  EXPECT_EQ(BrushHandleMode, HandleCentre);
}

TEST_F(BrushMenuTest, TheToolItemsChooseTheInteractiveBrushTools) {
  struct Case {
    std::vector<std::string> path;
    P_icon* tool;
  } cases[] = {
      {{"Str&etch", "&Both"}, &StretchBrushTool},    {{"Str&etch", "&Width"}, &StretchBrushXTool},
      {{"Str&etch", "&Height"}, &StretchBrushYTool}, {{"&Rotate", "&Any Angle"}, &RotateBrushTool},
      {{"&Bend", "&Up-and-Down"}, &BendBrushUnDTool}, {{"&Bend", "&Left-and-Right"}, &BendBrushLnRTool},
      {{"Sh&ear", "&Up-and-Down"}, &ShearBrushUnDTool}, {{"Sh&ear", "&Left-and-Right"}, &ShearBrushLnRTool},
  };
  for (const Case& c : cases) {
    Choose(c.path);
    EXPECT_EQ(CurrentTool, c.tool) << c.path[0] << " " << c.path[1];
    EXPECT_EQ(RememberedTool, &PenContTool) << "the tool hands back to the pen";
    KeyToDocument({}, VK_ESCAPE);
    EXPECT_EQ(CurrentTool, &PenContTool);
  }
}

TEST_F(BrushMenuTest, GetAllTakesThePictureWithTheBackgroundOutside) {
  document->Picture.Box(Rect(3, 4, 5, 6), 0x112233);
  KeyToDocument({VK_CONTROL}, 'A');
  ASSERT_EQ(Brush.Width(), 128);
  EXPECT_EQ(*Brush.At(4, 5), 0x112233u);
  EXPECT_EQ(*Brush.At(0, 0), BrushOutside);
  EXPECT_EQ(BrushMode, BrushModePaint);
  EXPECT_EQ(CurrentTool, &PenDiscTool);
  EXPECT_EQ(Brush.UndoChain->Description, AnsiString("GetAllBr"));
  // With OptimBrush the brush is cut to what is not background.
  Settings.OptimBrush = true;
  KeyToDocument({VK_CONTROL}, 'A');
  Settings.OptimBrush = false;
  EXPECT_EQ(Brush.Width(), 3);
  EXPECT_EQ(Brush.Height(), 3);
}

TEST_F(BrushMenuTest, GetSelectionTakesOnlyASelection) {
  UseBrush("ab");
  // Nothing selected: nothing happens.
  Choose({"&Get Selection", "&Complete Selection"});
  EXPECT_EQ(BrushText(), "ab");
  EXPECT_EQ(Brush.UndoChain, nullptr);
  EXPECT_EQ(document->Picture.UndoChain, nullptr);
  // A selection becomes the brush; the picture's history stays as it was.
  document->Picture.Box(Rect(10, 10, 12, 11), 0x445566);
  *document->Picture.At(11, 11) = 0xFFFFFF;
  document->Picture.SetMaskRect(true, Rect(10, 10, 12, 11));
  document->Picture.RebuildSelectionOutline();
  Choose({"&Get Selection", "&Transp Background"});
  ASSERT_EQ(Brush.Width(), 3);
  EXPECT_EQ(*Brush.At(0, 0), 0x445566u);
  EXPECT_EQ(*Brush.At(1, 1), BrushOutside) << "the background colour is left out";
  EXPECT_EQ(Brush.UndoChain->Description, AnsiString("GetSelNoBackBr"));
  EXPECT_EQ(document->Picture.UndoChain, nullptr);
  EXPECT_TRUE(document->Picture.IsSelected(11, 11)) << "the selection is as it was";
  EXPECT_EQ(CurrentTool, &PenDiscTool);
  KeyToDocument({VK_CONTROL}, 'G');
  EXPECT_EQ(*Brush.At(1, 1), 0xFFFFFFu);
  EXPECT_EQ(Brush.UndoChain->Description, AnsiString("GetCompSelBr"));
}

TEST_F(BrushMenuTest, ConvertToImageMakesADocumentOfTheBrush) {
  UseBrush("ab/cd");
  *Brush.At(0, 0) = 0x80123456;
  const int before = ImgFormCount;
  KeyToDocument({VK_CONTROL}, 'M');
  ASSERT_EQ(ImgFormCount, before + 1);
  ASSERT_NE(ImageForm, document);
  EXPECT_EQ(ImageForm->Picture.Width(), 2);
  EXPECT_EQ(*ImageForm->Picture.At(0, 0), 0x80123456u) << "transparency kept";
  EXPECT_EQ(*ImageForm->Picture.At(1, 1), ColourOf('d'));
}

TEST_F(BrushMenuTest, TheDropShadowDialogCastsOnEnterAndCancelsOnEsc) {
  UseBrush("RR/RR");
  Choose({"Drop Shado&w..."}, [this] {
    TDropShForm* dialog = ShadowDialog();
    ASSERT_NE(dialog, nullptr);
    dialog->ShDir->SetItemIndex(1);  // South-East
    ui.Press(VK_RETURN);
  });
  EXPECT_EQ(BrushText(), "RR./RRB/.BB");
  EXPECT_EQ(Brush.UndoChain->Description, AnsiString("ShadBr"));
  Choose({"Drop Shado&w..."}, [this] {
    TDropShForm* dialog = ShadowDialog();
    ASSERT_NE(dialog, nullptr);
    ui.Press(VK_ESCAPE);
  });
  EXPECT_EQ(BrushText(), "RR./RRB/.BB");
  form->Brush1Click(form);
  Choose({std::string((LangMessage("Undo") + " " + LangMessage("ShadBr")).c_str())});
  EXPECT_EQ(BrushText(), "RR/RR");
  UseBrush("RR/RR");
  Choose({"Drop Shado&w..."}, [this] {
    ShadowDialog()->ShDir->SetItemIndex(3);  // South-West
    ui.Press(VK_RETURN);
  });
  EXPECT_EQ(BrushText(), ".RR/BRR/BB.");
}

TEST_F(BrushMenuTest, AShadowThatCannotBeMadeCancelsAndKeepsTheBrushAndItsHistory) {
  struct Case {
    bool stepOpens;
    std::vector<std::string> messages;
  } cases[] = {{true, {"BrTooBig"}}, {false, {"NoMem", "BrTooBig"}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stepOpens);
    UseBrush("ab");
    Choose({"&Mirror", "&Left-to-Right"});
    ASSERT_EQ(BrushText(), "ba");
    ui.OnMessageBox([](const std::string&, const std::string&, UINT) { return IDOK; });
    const std::size_t before = ui.MessageBoxTexts().size();
    int result = mrNone;
    {
      NoBrushMemory noBrush;
      // Neither memory nor room on the disk for the brush's step.
      std::optional<FailingAllocator> noUndo;
      const std::int64_t disk = Settings.UndoDisk;
      if (!c.stepOpens) {
        noUndo.emplace();
        Settings.UndoDisk = 0;
      }
      Choose({"Drop Shado&w..."}, [&] {
        TDropShForm* dialog = ShadowDialog();
        ASSERT_NE(dialog, nullptr);
        dialog->OkBtnClick(dialog);
        result = dialog->GetModalResult();
      });
      Settings.UndoDisk = disk;
    }
    EXPECT_EQ(result, mrCancel);
    // The mirror before stays done and stays the newest step: a step that was not opened is
    // not taken back.
    EXPECT_EQ(BrushText(), "ba");
    ASSERT_NE(Brush.UndoChain, nullptr);
    EXPECT_EQ(Brush.UndoChain->Description, AnsiString("MirLRBr"));
    std::vector<std::string> shown(ui.MessageBoxTexts().begin() + static_cast<long>(before), ui.MessageBoxTexts().end());
    std::vector<std::string> expected;
    for (const std::string& key : c.messages) expected.push_back(LangMessage(key.c_str()).c_str());
    EXPECT_EQ(shown, expected);
  }
}

TEST_F(BrushMenuTest, TheHandleItemsSetTheHotSpot) {
  const std::pair<const char*, std::uint8_t> items[] = {
      {"&Left Top Corner", HandleLeftTop}, {"Right &Top Corner", HandleRightTop},
      {"&Right Bottom Corner", HandleRightBottom}, {"Left &Bottom Corner", HandleLeftBottom}, {"&Center", HandleCentre}};
  for (const auto& [caption, mode] : items) {
    Choose({"Ha&ndle", caption});
    EXPECT_EQ(BrushHandleMode, mode) << caption;
  }
}

TEST_F(BrushMenuTest, TheOptionsBrushModes) {
  // The factory brush: paint and replace change nothing.
  MakeFactoryBrush(FactoryShape::Round, 3, 100, 0);
  CustomBrush = false;
  SetBrushModeColor();
  ChooseMenuItem("&Options", "&Replace");
  ui.RunUntilIdle();
  EXPECT_EQ(BrushMode, BrushModeColor);
  ChooseMenuItem("&Options", "&Paint");
  ui.RunUntilIdle();
  EXPECT_EQ(BrushMode, BrushModeColor);
  // A custom brush takes every mode, and the menu checks it.
  UseBrush("ab");
  for (const auto& [caption, mode, item] :
       {std::tuple{"&Replace", BrushModeReplace, "Replace1"}, std::tuple{"&Paint", BrushModePaint, "Paint1"},
        std::tuple{"&Color", BrushModeColor, "Color1"}}) {
    ChooseMenuItem("&Options", caption);
    ui.RunUntilIdle();
    EXPECT_EQ(BrushMode, mode) << caption;
    EXPECT_TRUE(form->MenuItemNamed(item)->GetChecked()) << caption;
  }
}

TEST_F(BrushMenuTest, ThePeriodKeyTogglesTheOnePixelPen) {
  Settings.BrushSize = 9;
  MakeFactoryBrush(FactoryShape::Round, 9, 100, 0);
  CustomBrush = false;
  BrushMode = BrushModePaint;
  Choose(&PenDiscTool);
  KeyToDocument({}, 0xBE);
  EXPECT_EQ(Brush.Width(), 1);
  EXPECT_EQ(BrushMode, BrushModeColor);
  EXPECT_EQ(CurrentTool, &PenContTool);
  KeyToDocument({}, 0xBE);
  EXPECT_EQ(Brush.Width(), 9);
  EXPECT_EQ(Settings.BrushSize, 9);
}

}  // namespace
