// The text tool and its sheet: the box round the anchor for each handle, the line metrics,
// justified lines, the outline and the shadow on a line's canvas, the line pitch computed only
// when the font changes, the keyboard's character set, Apply with its undo step and the
// anchor moved below, "Selection Only" with and without the instant brush, and the tool used
// through the sheet and the image as a user would.

#include <gtest/gtest.h>

#include <algorithm>

#include "ShapeFixture.h"
#include "platform/user/KeyboardLayout.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/ComCtrlsTabs.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Font.h"
#include "platform/vcl/Memo.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/Settings.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/shell/MainForm.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/TextCharset.h"
#include "quillo/tools/ToolForm.h"
#include "quillo/tools/ToolObjects.h"
#include "support/UiDriver.h"
#include "vorlen/core/Buffer.h"

namespace {

constexpr std::uint32_t Clear = 0xFF000000u;

class TextToolTest : public ShapeToolTest {
protected:
  TextToolTest() {
    font_ = MakeObject<TFont>();
    font_->SetName("Liberation Sans");
    font_->SetSize(16);
    settings.Font = font_.get();
    settings.Spacing = 20;
  }
  ~TextToolTest() override {
    TextTool.SettingsOverride = nullptr;
    TextTool.FontIndex = -1;
    TextTool.HandlePosition = 4;
    TextTool.Alignment = AlignLeftCode;
    TextTool.AntiAliasing = 0;
    TextTool.Updating = 0;
    TextTool.BoxShown = 1;
    ResetTextSpacingBasis();
    SetKeyboardLayoutLanguage(1033);
    Settings.InstBrush = false;
    SavedArea.Free();
  }

  // The text tool current, its sheet in front, the text typed into it.
  void StartTyping(const AnsiString& text) {
    Choose(&TextTool);
    ASSERT_TRUE(ToolForm->TextSheetShowing());
    // A text set, not typed, tells nobody (as with the system's multi-line edit): the sheet
    // is told as typing would.
    ToolForm->TextBox->SetText(text);
    ToolForm->TextFontChanged(ToolForm->TextBox);
    ui.RunUntilIdle();
  }
  // Renders the settings with the tool's alignment at (x, y) in preview mode.
  void Render(int x, int y) {
    TextTool.SettingsOverride = &settings;
    SetDrawViewClip();
    RenderText(TextTool, settings, x, y, TextPreview);
    TextTool.SettingsOverride = nullptr;
  }
  int RightmostPainted(int y1, int y2) const {
    int right = -1;
    for (const auto& [x, y] : Painted())
      if (y >= y1 && y <= y2) right = std::max(right, x);
    return right;
  }
  void ClickOn(TControl* control) {
    const POINT p = OnControl(control, 5, 5);
    ui.Click(p.x, p.y);
    ui.RunUntilIdle();
  }
  static POINT OnControl(TControl* control, int x, int y) {
    if (auto* window = dynamic_cast<TWinControl*>(control)) return UiDriver::At(window->GetHandle(), x, y);
    return UiDriver::At(control->GetParent()->GetHandle(), control->GetLeft() + x, control->GetTop() + y);
  }

  TextSettings settings;
  TOwnedPtr<TFont> font_;
};

// ---------------------------------------------------------------------------------------
// Metrics

TEST_F(TextToolTest, TheBoxLiesRoundTheAnchorAsTheHandleSays) {
  const int X = 500, Y = 300;
  const struct {
    int handle;
    Rect box;
  } cases[] = {{4, Rect(X - 52, Y - 22, X + 52, Y + 22)},
               {0, Rect(X - 3, Y - 3, X + 101, Y + 41)},
               {8, Rect(X - 101, Y - 41, X + 3, Y + 3)},
               {2, Rect(X - 101, Y - 3, X + 3, Y + 41)},
               {7, Rect(X - 52, Y - 41, X + 52, Y + 3)}};
  for (const auto& c : cases) {
    const Rect box = TextBoxRect(X, Y, TextBoxMargins(c.handle, 100, 40));
    EXPECT_EQ(box.left, c.box.left) << c.handle;
    EXPECT_EQ(box.top, c.box.top) << c.handle;
    EXPECT_EQ(box.right, c.box.right) << c.handle;
    EXPECT_EQ(box.bottom, c.box.bottom) << c.handle;
  }
}

TEST_F(TextToolTest, ATrailingLineBreakStartsNoLine) {
  const int line = TextLineHeight(TextTool, settings);
  EXPECT_GT(line, 10);
  const struct {
    const char* text;
    int height;
  } cases[] = {{"a\r\nb\r\n", 1 + 20 + line}, {"a\r\nb", 1 + 20 + line}, {"a", 1 + line}, {"a\r\n\r\nb", 1 + 40 + line}};
  for (const auto& c : cases) EXPECT_EQ(TextBoxHeight(TextTool, settings, c.text), c.height) << c.text;
  settings.Shadow = true;
  settings.ShadowDepth = 5;
  settings.Outline = true;
  EXPECT_EQ(TextLineHeight(TextTool, settings), line + 2);
  EXPECT_EQ(TextBoxHeight(TextTool, settings, "a"), 1 + line + 2 + 5);
}

TEST_F(TextToolTest, AOneWordJustifiedLineIsTheLeftAlignedOne) {
  settings.Text = "Word";
  TextTool.Alignment = AlignLeftCode;
  Render(10, 10);
  const PixelSet left = Painted();
  ASSERT_FALSE(left.empty());
  Whiten();
  TextTool.Alignment = AlignJustifiedCode;
  Render(10, 10);
  EXPECT_TRUE(PaintedIs(left));
}

TEST_F(TextToolTest, AJustifiedLineWithSpacesReachesTheWidestLine) {
  settings.Text = "a b c\r\nWWWWW";
  settings.Spacing = 24;
  TextTool.Alignment = AlignLeftCode;
  Render(2, 2);
  const int leftEnd = RightmostPainted(2, 22);
  const int widest = RightmostPainted(26, 48);
  Whiten();
  TextTool.Alignment = AlignJustifiedCode;
  Render(2, 2);
  const int justifiedEnd = RightmostPainted(2, 22);
  EXPECT_LT(leftEnd, widest - 40);
  EXPECT_GE(justifiedEnd, widest - 6) << "the last word ends at the canvas's right";
  EXPECT_LE(justifiedEnd, widest + 6);
}

// ---------------------------------------------------------------------------------------
// Outline and shadow on a canvas

int CountOf(const Buffer& canvas, std::uint32_t colour) {
  int n = 0;
  for (int y = 0; y < canvas.Height(); ++y)
    for (int x = 0; x < canvas.Width(); ++x) n += *canvas.At(x, y) == colour;
  return n;
}

TEST_F(TextToolTest, TheOutlineIsExactlyRWideEvenInTheTextsOwnColour) {
  const struct {
    int r;
    std::uint32_t text, outline;
    int outlinePixels;
  } cases[] = {{1, 0x000000, 0xFFFFFF, 8},
               {3, 0x000000, 0xFFFFFF, 48},
               {3, 0x123456, 0x123456, 49},  // both colours equal: the text pixel and its square
               {1, 0x123456, 0x123456, 9}};
  for (const auto& c : cases) {
    Buffer canvas;
    canvas.Alloc({20, 20});
    canvas.Box(canvas.rect, Clear);
    *canvas.At(10, 10) = c.text;
    OutlineText(canvas, c.text, c.outline, c.r);
    EXPECT_EQ(CountOf(canvas, c.outline), c.outlinePixels) << c.r;
    EXPECT_EQ(CountOf(canvas, Clear), 400 - (2 * c.r + 1) * (2 * c.r + 1)) << "nothing floods toward the top left";
    EXPECT_EQ(*canvas.At(10 - c.r - 1, 10), Clear);
    EXPECT_EQ(*canvas.At(10 - c.r, 10 - c.r), c.outline);
  }
}

TEST_F(TextToolTest, TheShadowFallsRightAndDownBehindTheText) {
  Buffer canvas;
  canvas.Alloc({12, 12});
  canvas.Box(canvas.rect, Clear);
  *canvas.At(2, 2) = 0x000000;
  *canvas.At(3, 2) = 0x000000;
  *canvas.At(6, 5) = 0x00FF00;  // text already where the shadow would fall
  ShadowText(canvas, 0x808080, 3);
  EXPECT_EQ(*canvas.At(5, 5), 0x808080u);
  EXPECT_EQ(*canvas.At(6, 5), 0x00FF00u) << "the shadow lies behind";
  EXPECT_EQ(*canvas.At(9, 8), 0x808080u) << "the text's own pixel casts a shadow";
  EXPECT_EQ(CountOf(canvas, 0x808080), 2) << "a shadow casts none of its own";
}

TEST_F(TextToolTest, AntiAliasingRendersAtTwiceTheSizeAndHalvesIt) {
  settings.Text = "Hello";
  settings.Outline = true;
  settings.OutlineColour = 0xFFFFFF;
  const int plainWidth = TextBoxWidth(TextTool, settings, settings.Text);
  TextTool.AntiAliasing = 1;
  font_->SetSize(32);
  const int smoothWidth = TextBoxWidth(TextTool, settings, settings.Text);
  EXPECT_NEAR(smoothWidth, plainWidth, 3);
  Render(10, 10);
  // Scaled by half with filtering: grey edges between the black text and the white outline.
  bool grey = false;
  for (const auto& [x, y] : Painted()) {
    const std::uint32_t p = PixelAt(x, y) & 0xFF;
    if (p > 0x20 && p < 0xE0) grey = true;
  }
  EXPECT_TRUE(grey);
}

// ---------------------------------------------------------------------------------------
// The sheet

TEST_F(TextToolTest, OnlyAFontSizeOrOutlineChangeRecomputesTheLinePitch) {
  StartTyping("Abc");
  const int start = ToolForm->SpacingRecomputations;
  ToolForm->Spacing->SetValue(33);
  EXPECT_EQ(ToolForm->SpacingRecomputations, start);
  EXPECT_EQ(ToolForm->Spacing->GetValue(), 33);
  ToolForm->TextBox->SetText("Other");
  EXPECT_EQ(ToolForm->SpacingRecomputations, start) << "the text is no reason";
  const struct {
    const char* what;
    std::function<void()> change;
  } changes[] = {{"size", [] { ToolForm->FontSize->SetValue(30); }},
                 {"vertical size", [] { ToolForm->SizeY->SetValue(250); }},
                 {"outline", [this] { ClickOn(ToolForm->OutlineBtn); }},
                 {"font", [] {
                    const int other = ToolForm->FontType->GetItems()->IndexOf("DejaVu Sans");
                    ToolForm->FontType->SetItemIndex(other);
                    ToolForm->TextFontChanged(ToolForm->FontType);
                  }}};
  int expected = start;
  for (const auto& c : changes) {
    c.change();
    EXPECT_EQ(ToolForm->SpacingRecomputations, ++expected) << c.what;
    EXPECT_EQ(ToolForm->Spacing->GetValue(), TextLineHeight(TextTool)) << c.what;
  }
}

TEST_F(TextToolTest, TheKeyboardsScriptChoosesTheCharacterSetWhenTheFontHasIt) {
  const struct {
    int language, charset;
  } table[] = {{1049, 204}, {1058, 204}, {1045, 238}, {1032, 161}, {1055, 162}, {1062, 186}, {1033, 0}, {1031, 0}};
  for (const auto& t : table) EXPECT_EQ(CharsetForLanguage(t.language), t.charset) << t.language;

  StartTyping("Abc");
  SetKeyboardLayoutLanguage(1049);
  const struct {
    const char* font;
    int charset;
  } fonts[] = {{"Liberation Serif", 204}, {"FontAwesome", 0}};
  for (const auto& f : fonts) {
    const int index = ToolForm->FontType->GetItems()->IndexOf(f.font);
    ASSERT_GE(index, 0) << f.font;
    ToolForm->FontType->SetItemIndex(index);
    ToolForm->TextFontChanged(ToolForm->FontType);
    EXPECT_EQ(ToolForm->TextFont->GetCharset(), f.charset) << f.font;
  }
}

TEST_F(TextToolTest, TheFirstShowingTakesTheDefaultFontAndCentresTheAnchor) {
  StartTyping("");
  EXPECT_EQ(ToolForm->FontType->GetItems()->Get(ToolForm->FontType->GetItemIndex()), "Times New Roman");
  EXPECT_EQ(TextTool.FontIndex, ToolForm->FontType->GetItemIndex());
  EXPECT_EQ(ToolForm->TextXPos->GetValue(), 64);
  EXPECT_EQ(ToolForm->TextYPos->GetValue(), 48);
}

TEST_F(TextToolTest, ClickingTheCentreCellSelectsHandleFour) {
  StartTyping("Abc");
  TextTool.HandlePosition = 0;
  const POINT centre = OnControl(ToolForm->HandleImg, 24, 24);
  ui.Click(centre.x, centre.y);
  ui.RunUntilIdle();
  EXPECT_EQ(TextTool.HandlePosition, 4);
  ui.Click(centre.x, centre.y);
  ui.RunUntilIdle();
  EXPECT_EQ(TextTool.HandlePosition, 4);
  const POINT corner = OnControl(ToolForm->HandleImg, 40, 40);
  ui.Click(corner.x, corner.y);
  ui.RunUntilIdle();
  EXPECT_EQ(TextTool.HandlePosition, 8);
}

// ---------------------------------------------------------------------------------------
// Apply

TEST_F(TextToolTest, ApplyPaintsOneStepAndMovesTheAnchorBelow) {
  StartTyping("Hi\r\nthere");
  ToolForm->TextXPos->SetValue(40);
  ToolForm->TextYPos->SetValue(30);
  ui.RunUntilIdle();
  const int height = TextBoxHeight(TextTool, ToolForm->TextBox->GetText());
  ToolForm->ApplyBtnClick(nullptr);
  ui.RunUntilIdle();
  UDBuffer& picture = document->Picture;
  ASSERT_NE(picture.UndoChain, nullptr);
  EXPECT_EQ(picture.UndoChain->Description, "TextIcon");
  EXPECT_EQ(ToolForm->TextYPos->GetValue(), 30 + height);
  EXPECT_TRUE(ToolForm->TextBox->GetText().empty());
  const PixelSet painted = Painted();
  ASSERT_FALSE(painted.empty());
  EXPECT_TRUE(picture.Outline != nullptr) << "the painted text is selected too";
  ASSERT_TRUE(picture.Undo(UDBuffer::RedoRecord::Keep));
  EXPECT_TRUE(Painted().empty());
}

TEST_F(TextToolTest, AnEmptyTextStillRecordsAStepAndStays) {
  StartTyping("");
  ToolForm->TextYPos->SetValue(30);
  ToolForm->ApplyBtnClick(nullptr);
  ASSERT_NE(document->Picture.UndoChain, nullptr);
  EXPECT_EQ(document->Picture.UndoChain->Description, "TextIcon");
  EXPECT_EQ(ToolForm->TextYPos->GetValue(), 30);
  EXPECT_TRUE(Painted().empty());
}

TEST_F(TextToolTest, SelectionOnlyLeavesThePixelsAndSelectsTheShapeWithTheInstantBrushToo) {
  for (bool instant : {false, true}) {
    SCOPED_TRACE(instant);
    Settings.InstBrush = instant;
    StartTyping("Mark");
    ToolForm->SelOnlyCB->SetChecked(true);
    ToolForm->TextXPos->SetValue(60);
    ToolForm->TextYPos->SetValue(40);
    ToolForm->ApplyBtnClick(nullptr);
    ui.RunUntilIdle();
    EXPECT_TRUE(Painted().empty()) << "the pixels stay";
    UDBuffer& picture = document->Picture;
    int selected = 0;
    for (int y = 0; y < picture.Height(); ++y)
      for (int x = 0; x < picture.Width(); ++x) selected += picture.IsSelected(x, y);
    EXPECT_GT(selected, 20);
    EXPECT_TRUE(picture.HasSelectionBounds());
    ToolForm->SelOnlyCB->SetChecked(false);
  }
}

TEST_F(TextToolTest, InstantBrushPaintsWithoutSelecting) {
  Settings.InstBrush = true;
  StartTyping("Mark");
  ToolForm->ApplyBtnClick(nullptr);
  EXPECT_FALSE(Painted().empty());
  EXPECT_EQ(document->Picture.Outline, nullptr);
}

TEST_F(TextToolTest, ATooBigFontSaysSoOnceAtApplyAndNeverInThePreview) {
  int boxes = 0;
  ui.OnMessageBox([&](const std::string&, const std::string&, UINT) {
    ++boxes;
    return IDOK;
  });
  // Forty letters at 999 points: no line canvas of that size is made.
  StartTyping(AnsiString(40, 'W') + "\r\nb\r\n" + AnsiString(40, 'W'));
  ToolForm->FontSize->SetValue(999);
  ui.RunUntilIdle();
  EXPECT_EQ(boxes, 0) << "the preview is silent";
  ToolForm->ApplyBtnClick(nullptr);
  ui.RunUntilIdle();
  EXPECT_EQ(boxes, 1);
}

// ---------------------------------------------------------------------------------------
// Through the image

TEST_F(TextToolTest, TypedDraggedClickedRestyledAppliedAndUndone) {
  StartTyping("");
  ToolForm->FontSize->SetValue(12);
  ClickOn(ToolForm->TextBox);
  ui.Type("Go");
  ui.RunUntilIdle();
  EXPECT_EQ(ToolForm->TextBox->GetText(), "Go");
  EXPECT_FALSE(Painted().empty()) << "the typed text shows at once";
  // A drag: the preview follows and the anchor ends where the pointer does.
  DragUi({20, 20}, {50, 40});
  EXPECT_EQ(ToolForm->TextXPos->GetValue(), 50);
  EXPECT_EQ(ToolForm->TextYPos->GetValue(), 40);
  EXPECT_FALSE(Painted().empty()) << "the preview shows";
  // A click places it elsewhere and leaves nothing at the old place.
  ui.Advance(500);
  ClickAt(90, 60);
  ui.Advance(500);
  EXPECT_EQ(ToolForm->TextXPos->GetValue(), 90);
  for (const auto& [x, y] : Painted()) EXPECT_GT(x, 60) << "nothing left at the old anchor";
  // Restyled: the drawing colour changes the preview at once.
  form->DrawCol->SetColor(clRed);
  form->ColorBoxChange(form, false, clRed);
  bool red = false;
  for (const auto& [x, y] : Painted()) red |= (PixelAt(x, y) & 0xFFFFFF) == 0xFF0000;
  EXPECT_TRUE(red);
  ToolForm->ApplyBtnClick(nullptr);
  ui.RunUntilIdle();
  EXPECT_FALSE(Painted().empty());
  ASSERT_TRUE(document->Picture.Undo(UDBuffer::RedoRecord::Keep));
  EXPECT_TRUE(Painted().empty());
}

TEST_F(TextToolTest, TheShadowColourIsPickedFromTheImage) {
  document->Picture.Box(Rect(0, 0, 20, 20), 0x00336699);
  StartTyping("");
  ToolForm->PickaColor1Click(nullptr);
  EXPECT_EQ(TextTool.BoxShown, 0u);
  ClickAt(10, 10);
  EXPECT_EQ(ToolForm->ShadowColour(), 0x336699u);
  EXPECT_EQ(TextTool.BoxShown, 1u);
}

// The editing keys of a field on the Text sheet stay in the field: Ctrl+A selects the size's
// digits instead of running the main menu's Ctrl+A (the whole picture as the brush).
TEST_F(TextToolTest, AnEditFieldKeepsSelectAllAndItsCaretKeys) {
  StartTyping("Hi");
  const int brushWidth = Brush.Width();
  const POINT field = OnControl(ToolForm->FontSize, 8, 8);
  ui.Click(field.x, field.y);
  ASSERT_EQ(ToolForm->GetActiveControl(), ToolForm->FontSize);
  const int length = static_cast<int>(ToolForm->FontSize->GetText().size());
  ASSERT_GT(length, 0);
  ui.Press(VK_END);
  ui.KeyDown(VK_CONTROL);
  ui.Press('A');
  ui.KeyUp(VK_CONTROL);
  EXPECT_EQ(CurrentTool, &TextTool);
  EXPECT_EQ(Brush.Width(), brushWidth);
  EXPECT_EQ(ToolForm->GetActiveControl(), ToolForm->FontSize);
  EXPECT_EQ(ToolForm->FontSize->GetSelStart(), 0);
  EXPECT_EQ(ToolForm->FontSize->GetSelLength(), length);
  ui.Press(VK_HOME);
  EXPECT_EQ(ToolForm->FontSize->GetSelLength(), 0);
  EXPECT_EQ(CurrentTool, &TextTool);
}

// Which keys a focused control keeps: its Tag's, and in an edit field every editing key.
TEST_F(TextToolTest, EditFieldsKeepTheirEditingKeysWhateverTheirTag) {
  StartTyping("");
  struct Case {
    TWinControl* control;
    int key;
    bool kept;
  };
  const Case cases[] = {
      {ToolForm->FontSize, HotKeyCtrl | 'A', true},  {ToolForm->FontSize, HotKeyCtrl | 'C', true},
      {ToolForm->FontSize, HotKeyCtrl | 'V', true},  {ToolForm->FontSize, HotKeyCtrl | 'X', true},
      {ToolForm->FontSize, HotKeyCtrl | 'Z', true},  {ToolForm->FontSize, HotKeyShift | VK_LEFT, true},
      {ToolForm->FontSize, HotKeyShift | VK_HOME, true}, {ToolForm->FontSize, HotKeyCtrl | VK_INSERT, true},
      {ToolForm->FontSize, HotKeyShift | VK_INSERT, true}, {ToolForm->FontSize, '7', true},
      {ToolForm->FontSize, 'Z', false},              {ToolForm->FontSize, HotKeyCtrl | 'B', false},
      {ToolForm->FontSize, HotKeyAlt | VK_LEFT, false}, {ToolForm->FontSize, VK_F2, false},
      // A drop-down list has no text to edit: only its Tag's keys.
      {ToolForm->FontType, VK_DOWN, true},           {ToolForm->FontType, HotKeyCtrl | 'A', false},
  };
  ASSERT_EQ(ToolForm->FontType->GetStyle(), csDropDownList);
  for (const Case& c : cases)
    EXPECT_EQ(FocusedControlKeepsKey(*c.control, c.key), c.kept) << c.control->GetName() << std::hex << " " << c.key;
}

}  // namespace
