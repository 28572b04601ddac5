// The tool options window's Text sheet: the text, its font and style, size, anchor, line
// pitch, alignment, anti-aliasing, outline and shadow, and the handle cell at the anchor.
// Every change redraws the text tool's preview; Apply commits the text with one undo step and
// leaves the anchor below it for the next one.

#include <array>
#include <functional>

#include "platform/vcl/Buttons.h"
#include "platform/vcl/ComCtrlsTabs.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Font.h"
#include "platform/vcl/Memo.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/Language.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/components/panels/XPanel.h"
#include "quillo/document/DocumentHost.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/ColorSelector.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/Swatches.h"
#include "quillo/tools/TextCharset.h"
#include "quillo/tools/SheetControls.h"
#include "quillo/tools/ToolForm.h"
#include "quillo/tools/ToolObjects.h"

namespace {

constexpr int HandleCells = 3;
constexpr int HandleCellSize = 16;
constexpr const char* DefaultFontName = "Times New Roman";

// The marker of each handle cell, in the picture's pixels.
const std::vector<TPoint> HandleMarkers[9] = {
    {{7, 13}, {7, 7}, {13, 7}},
    {{19, 5}, {28, 5}, {24, 1}, {23, 1}},
    {{40, 13}, {40, 7}, {34, 7}},
    {{5, 19}, {5, 28}, {1, 24}, {1, 23}},
    {{23, 18}, {24, 18}, {29, 23}, {29, 24}, {24, 29}, {23, 29}, {18, 24}, {18, 23}},
    {{42, 19}, {42, 28}, {46, 24}, {46, 23}},
    {{7, 34}, {7, 40}, {13, 40}},
    {{19, 42}, {28, 42}, {24, 46}, {23, 46}},
    {{40, 34}, {40, 40}, {34, 40}},
};

// The values the line pitch was last computed for: the font's list index, the font size,
// the vertical size over the factor, the outline.
struct SpacingBasis {
  int FontItem = -2;
  int FontSize = -1;
  int SizeY = -1;
  int Outline = -1;
  bool operator==(const SpacingBasis&) const = default;
};
SpacingBasis spacingBasis;

TExSpinEdit* SpinField(TToolForm* form, TWinControl* parent, const char* name, int left, int top, double least,
                       double most, double value, bool real) {
  auto* edit = SheetChild<TExSpinEdit>(form, parent, name, left, top, 56, 21);
  if (real) {
    edit->SetValueType(vtFloat);
    edit->SetDecimal(2);
  }
  edit->SetMinValue(least);
  edit->SetMaxValue(most);
  edit->SetValue(value);
  edit->SetTag(TagTakesDigits | TagTakesEditKeys);
  return edit;
}

TSpeedButton* Toggle(TToolForm* form, TWinControl* parent, const char* name, const char* caption, int left, int top,
                     int group) {
  auto* button = SheetChild<TSpeedButton>(form, parent, name, left, top, 21, 21);
  button->SetCaption(caption);
  button->SetGroupIndex(group);
  button->SetAllowAllUp(true);
  return button;
}

}  // namespace

void ResetTextSpacingBasis() { spacingBasis = SpacingBasis(); }

namespace {

// The preview taken away, the change made, the preview drawn again: only while the text tool
// is current, whose preview it is.
void RedrawTextPreview(const std::function<void()>& change) {
  const bool previewing = CurrentTool == &TextTool;
  if (previewing) HideTextBox(TextTool);
  change();
  if (previewing) DrawTextBox(TextTool, true, TextPreview);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Building

void TToolForm::BuildTextSheet() {
  textFont_ = MakeObject<TFont>();
  TextFont = textFont_.get();
  HandleImg = SheetChild<TImage>(this, TextSheet, "HandleImg", 4, 4, HandleCells * HandleCellSize,
                                HandleCells * HandleCellSize);
  DrawHandleFrame();
  HandleImg->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    HandleImgMouseDown(s, b, sh, x, y);
  };
  FontType = SheetChild<TComboBox>(this, TextSheet, "FontType", 60, 4, 150, 21);
  FontType->SetStyle(csDropDownList);
  FontType->SetTag(TagTakesEditKeys);
  FontType->GetItems()->Assign(Screen()->Fonts());
  FontSize = SpinField(this, TextSheet, "FontSize", 214, 4, 4, 999, 16, false);

  const int row2 = 30;
  BoldBtn = Toggle(this, TextSheet, "BoldBtn", "B", 60, row2, 11);
  ItalicBtn = Toggle(this, TextSheet, "ItalicBtn", "I", 82, row2, 12);
  UnderlineBtn = Toggle(this, TextSheet, "UnderlineBtn", "U", 104, row2, 13);
  OutlineBtn = Toggle(this, TextSheet, "OutlineBtn", "O", 130, row2, 14);
  ShadowBtn = Toggle(this, TextSheet, "ShadowBtn", "S", 152, row2, 15);
  ShDepth = SpinField(this, TextSheet, "ShDepth", 176, row2, 1, 999, 2, false);
  ShDepth->SetWidth(44);
  ShColor = SheetChild<TPanel>(this, TextSheet, "ShColor", 224, row2 + 1, 19, 19);
  ShColor->SetBevelOuter(bvLowered);
  SetSwatchColour(ShColor, 0x808080);
  ShColor->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    ShadowColMouseDown(s, b, sh, x, y);
  };

  TextBox = SheetChild<TMemo>(this, TextSheet, "TextBox", 4, 56, 258, 64);
  TextBox->SetWordWrap(false);
  TextBox->SetTag(TagTakesAllKeys);
  TextBox->OnChange = [this](TObject* s) { TextFontChanged(s); };

  TxtExpPanel = SheetChild<TXPanel>(this, TextSheet, "TxtExpPanel", 4, 124, 258, 84);
  TxtExpPanel->SetButtonCaption("Expert Parameters");
  TxtExpPanel->SetTag(TagExpertOnly);
  SizeX = SpinField(this, TxtExpPanel, "SizeX", 4, 20, 0.01, 999.99, 100, true);
  SizeY = SpinField(this, TxtExpPanel, "SizeY", 64, 20, 0.01, 999.99, 100, true);
  TextXPos = SpinField(this, TxtExpPanel, "TextXPos", 124, 20, -16383, 16383, 0, false);
  TextYPos = SpinField(this, TxtExpPanel, "TextYPos", 184, 20, -16383, 16383, 0, false);
  Spacing = SpinField(this, TxtExpPanel, "Spacing", 4, 46, 1, 512, 1, false);
  const std::array<TSpeedButton**, 4> alignments{&LeftAlBtn, &CenterAlBtn, &RightAlBtn, &JustifiedBtn};
  const char* alignmentNames[] = {"LeftAlBtn", "CenterAlBtn", "RightAlBtn", "JustifiedBtn"};
  const char* alignmentCaptions[] = {"L", "C", "R", "J"};
  for (int i = 0; i < 4; ++i) {
    TSpeedButton* button = SheetChild<TSpeedButton>(this, TxtExpPanel, alignmentNames[i], 64 + 22 * i, 46, 21, 21);
    button->SetCaption(alignmentCaptions[i]);
    button->SetGroupIndex(1);
    button->SetTag(i + 1);  // the alignment code
    button->OnClick = [this](TObject* s) { AlBtnsClick(s); };
    *alignments[static_cast<std::size_t>(i)] = button;
  }
  LeftAlBtn->SetDown(true);
  AntiAliasCB = SheetChild<TCheckBox>(this, TxtExpPanel, "AntiAliasCB", 156, 46, 100, 17);
  AntiAliasCB->SetCaption("Anti-Aliased");
  AntiAliasCB->OnClick = [this](TObject* s) { AntiAliasCBClick(s); };
  SelOnlyCB = SheetChild<TCheckBox>(this, TxtExpPanel, "SelOnlyCB", 156, 64, 100, 17);
  SelOnlyCB->SetCaption("Selection Only");

  ApplyBtn = SheetChild<TButton>(this, TextSheet, "ApplyBtn", 4, 212, 75, 23);
  ApplyBtn->SetCaption("&Apply");
  ApplyBtn->OnClick = [this](TObject* s) { ApplyBtnClick(s); };
  TextHelpBtn = SheetChild<TButton>(this, TextSheet, "HelpBtn", 84, 212, 75, 23);
  TextHelpBtn->SetCaption("&Help");
  TextHelpBtn->OnClick = [this](TObject* s) { HelpBtnClick(s); };

  for (TExSpinEdit* edit : {FontSize, ShDepth, SizeX, SizeY, TextXPos, TextYPos, Spacing})
    edit->OnChange = [this](TObject* s) { TextFontChanged(s); };
  FontType->OnChange = [this](TObject* s) { TextFontChanged(s); };
  for (TSpeedButton* button : {BoldBtn, ItalicBtn, UnderlineBtn, OutlineBtn, ShadowBtn})
    button->OnClick = [this](TObject* s) { TextFontChanged(s); };

  ShColPopup = NewNamedComponent<TPopupMenu>(this, "ShColPopup");
  struct Entry {
    const char* name;
    const char* caption;
    void (TToolForm::*handler)(TObject*);
  };
  const Entry entries[] = {{"ColSelDlg1", "&Color dialog", &TToolForm::ColSelDlg1Click},
                           {"N1", "-", nullptr},
                           {"GetDrawCol1", "&Drawing Color", &TToolForm::GetDrawCol1Click},
                           {"GetBgndCol1", "&Background Color", &TToolForm::GetBgndCol1Click},
                           {"PickaColor1", "&Pick from image", &TToolForm::PickaColor1Click}};
  for (const Entry& e : entries) {
    auto* item = NewNamedComponent<TMenuItem>(this, e.name);
    item->SetCaption(e.caption);
    if (e.handler) item->OnClick = [this, h = e.handler](TObject* s) { (this->*h)(s); };
    ShColPopup->GetItems()->Add(item);
  }
}

// The frame round the nine handle cells: each cell sunk, its top and left edges in the shadow
// colour, its bottom and right edges in the highlight colour.
void TToolForm::DrawHandleFrame() {
  TCanvas* canvas = HandleImg->GetCanvas();
  const int size = HandleCells * HandleCellSize;
  canvas->GetBrush()->SetColor(clBtnFace);
  canvas->FillRect(TRect(0, 0, size, size));
  for (int row = 0; row < HandleCells; ++row) {
    for (int column = 0; column < HandleCells; ++column) {
      const int left = column * HandleCellSize, top = row * HandleCellSize;
      const int right = left + HandleCellSize - 1, bottom = top + HandleCellSize - 1;
      canvas->GetPen()->SetColor(clBtnShadow);
      canvas->MoveTo(left, bottom);
      canvas->LineTo(left, top);
      canvas->LineTo(right, top);
      canvas->GetPen()->SetColor(clBtnHighlight);
      canvas->LineTo(right, bottom);
      canvas->LineTo(left, bottom);
    }
  }
}

void TToolForm::DrawHandleMarker(int cell, TColor colour) {
  if (cell < 0 || cell > 8) return;
  TCanvas* canvas = HandleImg->GetCanvas();
  canvas->GetPen()->SetColor(colour);
  canvas->GetBrush()->SetColor(colour);
  canvas->Polygon(HandleMarkers[cell]);
  HandleImg->Invalidate();
}

// ---------------------------------------------------------------------------------------
// Showing and changing

void TToolForm::ShowTextSheet() {
  if (TextTool.FontIndex == -1) {
    int index = FontType->GetItems()->IndexOf(DefaultFontName);
    // A font list without the default name: the first font.
    if (index < 0 && FontType->GetItems()->Count() > 0) index = 0;
    FontType->SetItemIndex(index);
    TextTool.FontIndex = index;
    TextTool.Updating = 1;
    if (CurrentPicture) {
      TextXPos->SetValue(CurrentPicture->Width() / 2);
      TextYPos->SetValue(CurrentPicture->Height() / 2);
    }
    TextTool.Updating = 0;
    SavedArea.Free();
    TextFontChanged(FontType);
  }
  DrawHandleMarker(TextTool.HandlePosition, clBtnShadow);
  for (TSpeedButton* button : {LeftAlBtn, CenterAlBtn, RightAlBtn, JustifiedBtn})
    if (button->GetTag() == TextTool.Alignment) button->SetDown(true);
  AntiAliasCB->SetChecked(TextTool.AntiAliasing != 0);
}

bool TToolForm::TextSheetShowing() const {
  return TextSheet->GetTabVisible() && PageControl->GetActivePage() == TextSheet;
}

void TToolForm::TextFontChanged(TObject* sender) {
  if (TextTool.Updating) return;
  // The preview belongs to the text tool: with another tool the sheet only takes the values.
  const bool previewing = CurrentTool == &TextTool;
  if (previewing) HideTextBox(TextTool);
  const int f = TextTool.Factor();
  TextFont->SetSize(static_cast<int>(FontSize->GetValue()) * f);
  if (FontType->GetItemIndex() >= 0) TextFont->SetName(FontType->GetItems()->Get(FontType->GetItemIndex()));
  if (sender == FontType) OfferedCharsets = FontCharsets(TextFont->GetName());
  SetTextCharset();
  TFontStyles style = 0;
  if (BoldBtn->GetDown()) style |= fsBold;
  if (ItalicBtn->GetDown()) style |= fsItalic;
  if (UnderlineBtn->GetDown()) style |= fsUnderline;
  TextFont->SetStyle(style);
  if (sender != Spacing) {
    const SpacingBasis now{FontType->GetItemIndex(), TextFont->GetSize(), static_cast<int>(SizeY->GetValue() / f),
                           OutlineBtn->GetDown() ? 1 : 0};
    if (!(now == spacingBasis)) {
      TextTool.Updating = 1;
      Spacing->SetValue(TextLineHeight(TextTool));
      TextTool.Updating = 0;
      spacingBasis = now;
      ++SpacingRecomputations;
    }
  }
  if (previewing) DrawTextBox(TextTool, true, TextPreview);
}

void TToolForm::SetTextCharset() {
  if (!TextSheet->GetTabVisible()) return;
  int charset = CharsetForLanguage(KeyboardLanguage());
  if (charset < 0 || charset > 255 || !OfferedCharsets[static_cast<std::size_t>(charset)]) charset = 0;
  TextFont->SetCharset(static_cast<TFontCharset>(charset));
}

void TToolForm::AlBtnsClick(TObject* sender) {
  auto* button = dynamic_cast<TSpeedButton*>(sender);
  if (!button) return;
  RedrawTextPreview([&] { TextTool.Alignment = static_cast<int>(button->GetTag()); });
}

void TToolForm::AntiAliasCBClick(TObject*) {
  if (PageControl->GetActivePage() != TextSheet) return;
  TextTool.AntiAliasing = AntiAliasCB->GetChecked() ? 1 : 0;
  TextFontChanged(nullptr);
}

void TToolForm::HandleImgMouseDown(TObject*, TMouseButton, TShiftState, int x, int y) {
  if (x < 0 || y < 0 || x >= HandleCells * HandleCellSize || y >= HandleCells * HandleCellSize) return;
  const int cell = x / HandleCellSize + HandleCells * (y / HandleCellSize);
  if (cell == TextTool.HandlePosition) return;
  DrawHandleMarker(TextTool.HandlePosition, clBtnFace);
  DrawHandleMarker(cell, clBtnShadow);
  RedrawTextPreview([&] { TextTool.HandlePosition = cell; });
}

// ---------------------------------------------------------------------------------------
// The shadow colour

std::uint32_t TToolForm::ShadowColour() const { return SwatchColour(ShColor); }

void TToolForm::SetShadowColour(std::uint32_t rgb) { SetSwatchColour(ShColor, rgb & 0xFFFFFFu); }

void TToolForm::ShadowColMouseDown(TObject*, TMouseButton button, TShiftState, int x, int y) {
  if (button == mbLeft) {
    ColSelDlg1Click(this);
    return;
  }
  const TPoint at = ShColor->ClientToScreen(TPoint(x, y));
  ShColPopup->Popup(at.x, at.y);
}

void TToolForm::ColSelDlg1Click(TObject*) {
  TOwnedPtr<TColorBox> box = MakeObject<TColorBox>(this);
  box->Title = LangMessage("SelShadCol");
  box->Target = ShColor;
  const TColor chosen = box->Execute(ColorFromPixel(ShadowColour()));
  SetShadowColour(PixelFromColor(ColorToRGB(chosen)));
  TextFontChanged(nullptr);
}

void TToolForm::GetDrawCol1Click(TObject*) {
  SetShadowColour(DrawingColour());
  TextFontChanged(nullptr);
}

void TToolForm::GetBgndCol1Click(TObject*) {
  SetShadowColour(BackgroundColour());
  TextFontChanged(nullptr);
}

void TToolForm::PickaColor1Click(TObject*) {
  TextTool.BoxShown = 0;
  TextTool.SetStatusText("TextPC");
  RefreshToolStatus(false, false);
}

// ---------------------------------------------------------------------------------------
// Apply

void TToolForm::ApplyBtnClick(TObject*) {
  if (PageControl->GetActivePage() != TextSheet || !CurrentPicture) return;
  HideTextBox(TextTool);
  // Without its steps the text is not applied: the box shows again, the text stays in it.
  if (!CurrentPicture->ClearSelection(true) || !CurrentPicture->PushUndo(TextTool.Key)) {
    DrawTextBox(TextTool, true, TextPreview);
    return;
  }
  ResetDirtyRect();
  const bool failed = DrawTextBox(TextTool, true, SelOnlyCB->GetChecked() ? TextSelectOnly : TextPaintAndSelect);
  CurrentPicture->ExtendUndo(DirtyRect.left, DirtyRect.top, DirtyRect.right, DirtyRect.bottom);
  TextTool.Updating = 1;
  if (!TextBox->GetText().empty())
    TextYPos->SetValue(TextYPos->GetValue() + TextBoxHeight(TextTool, TextBox->GetText()));
  TextBox->SetText("");
  TextTool.Updating = 0;
  MarkPictureChanged();
  SavedArea.Free();
  // Once for the whole text, not at every preview.
  if (failed) LangMessageBox("FontTooBig", "Err", MB_ICONEXCLAMATION);
}

// ---------------------------------------------------------------------------------------
// What the tool reads

TextSettings P_text::Settings() const {
  if (SettingsOverride) return *SettingsOverride;
  TextSettings s;
  s.TextColour = DrawingColour() & 0xFFFFFFu;
  s.OutlineColour = BackgroundColour() & 0xFFFFFFu;
  if (!ToolForm || !ToolForm->TextBox) return s;
  TToolForm& t = *ToolForm;
  s.Text = t.TextBox->GetText();
  s.Font = t.TextFont;
  s.SizeX = t.SizeX->GetValue();
  s.SizeY = t.SizeY->GetValue();
  s.X = static_cast<int>(t.TextXPos->GetValue());
  s.Y = static_cast<int>(t.TextYPos->GetValue());
  s.Spacing = std::max(1, static_cast<int>(t.Spacing->GetValue()));
  s.Outline = t.OutlineBtn->GetDown();
  s.Shadow = t.ShadowBtn->GetDown();
  s.ShadowDepth = std::max(1, static_cast<int>(t.ShDepth->GetValue()));
  s.ShadowColour = t.ShadowColour();
  s.SelectionOnly = t.SelOnlyCB->GetChecked();
  return s;
}
