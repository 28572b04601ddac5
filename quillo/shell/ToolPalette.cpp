// The tool palette's groups and entries.

#include "quillo/shell/ToolPalette.h"

#include <algorithm>
#include <array>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/UpDown.h"
#include "quillo/components/toolbars/Dock.h"
#include "quillo/components/toolbars/Toolbar.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/base/Language.h"
#include "quillo/shell/MainForm.h"
#include "quillo/base/Settings.h"
#include "quillo/base/SkinGlyphs.h"
#include "quillo/base/Skins.h"
#include "quillo/shell/IconPanel.h"
#include "quillo/tools/Tool.h"
#include "quillo/tools/ToolObjects.h"

std::vector<PaletteEntry> PaletteEntries;
std::vector<PaletteGroup> PaletteGroups;
int FillGroupIndex = -1;

namespace {

// The icon size of the default skin, used while no skin is loaded.
constexpr int DefaultIconSize = 20;

// The tools whose behaviour is built. Each tool's module adds its tool here when it lands.
const std::vector<const P_icon*>& ChoosableTools() {
  static const std::vector<const P_icon*> tools{
      &PenContTool, &PenDiscTool, &PenOneTool,  &GridTool,    &LineTool,   &LineContTool, &SplineTool,
      &SplineContTool, &BoxRectTool, &BoxSqrTool, &BoxRectfTool, &BoxSqrfTool, &CircleTool, &CirclefTool,
      &EllipseTool, &EllipsefTool, &FillDrawTool, &FillPolyTool, &FillSolidTool, &FillPatternTool, &ClearTool,
      &CutBoxTool, &CutResizeTool, &CutDrawTool, &CutPolyTool, &CutWandTool, &MoveTool,
      &GetColTool, &ChColTool, &CloneTool, &ShowBrushPanelTool, &QlComponentBrushTool, &SprayTool, &AirbrushTool,
      &TextTool};
  return tools;
}

bool GroupHasChoice(const PaletteGroup& group) {
  for (int i = 0; i < group.EntryCount; ++i)
    if (ToolCanBeChosen(PaletteEntries[static_cast<std::size_t>(group.FirstEntry + i)].Tool)) return true;
  return false;
}

// The hint of a group showing entry: the tool's text and the group's hot key.
AnsiString GroupHint(const PaletteGroup& group, int entry) {
  AnsiString hint = LangMessage(PaletteEntries[static_cast<std::size_t>(entry)].Tool->Key);
  HotKeyText(hint, group.HotKey);
  return hint;
}

// The group's button shows its selected entry's glyph, with the variant mark in the corner when
// the group has variants to choose from.
void ShowSelectedGlyph(const PaletteGroup& group) {
  if (!group.Button) return;
  const TBitmap* glyph = PaletteEntries[static_cast<std::size_t>(group.SelectedEntry)].Glyph.get();
  if (!glyph) return;
  TOwnedPtr<TBitmap> shown = MakeObject<TBitmap>();
  shown->Assign(glyph);
  if (group.EntryCount > 1) {
    const int w = PaletteIconWidth();
    const int h = PaletteIconHeight();
    TCanvas* canvas = shown->GetCanvas();
    canvas->GetPen()->SetColor(cl3DDkShadow);
    canvas->GetBrush()->SetColor(cl3DDkShadow);
    const TPoint mark[] = {TPoint(w - 3, h - 1), TPoint(w - 1, h - 1), TPoint(w - 1, h - 3)};
    canvas->Polygon(mark);
  }
  group.Button->SetGlyph(shown.get());
}

// Two buttons a row, each the icon and a 2-pixel frame, from top down.
void PlaceGroupButton(int g, int top) {
  tbx::TToolbarButtonX* button = PaletteGroups[static_cast<std::size_t>(g)].Button;
  if (!button) return;
  const int w = PaletteIconWidth();
  const int h = PaletteIconHeight();
  button->SetBounds(g % 2 == 0 ? 0 : w + 4, top + (g / 2) * (h + 4), w + 4, h + 4);
}

// Where the first row of buttons starts in the tool panel: below the zoom control once the
// palette is laid out.
int ButtonsTop() {
  if (!MainForm || !MainForm->Zoom) return 0;
  TWinControl* zoom = MainForm->Zoom->GetParent();
  return zoom && zoom->GetParent() == MainForm->ToolPanel ? zoom->GetHeight() : 0;
}

// The entry after entry in its group that the user may choose, wrapping; entry itself when no
// other can be.
int NextChoosableEntry(const PaletteGroup& group, int entry) {
  for (int step = 1; step <= group.EntryCount; ++step) {
    const int candidate = group.FirstEntry + (entry - group.FirstEntry + step) % group.EntryCount;
    if (ToolCanBeChosen(PaletteEntries[static_cast<std::size_t>(candidate)].Tool)) return candidate;
  }
  return entry;
}

// A group whose shown tool cannot be chosen shows its first one that can; a group with none is
// a disabled button.
void SettleGroupChoices() {
  for (PaletteGroup& group : PaletteGroups) {
    const bool choice = GroupHasChoice(group);
    if (choice && !ToolCanBeChosen(PaletteEntries[static_cast<std::size_t>(group.SelectedEntry)].Tool)) {
      group.SelectedEntry = NextChoosableEntry(group, group.SelectedEntry);
      if (group.Button) group.Button->SetHint(GroupHint(group, group.SelectedEntry));
      ShowSelectedGlyph(group);
    }
    if (group.Button) group.Button->SetEnabled(choice);
  }
}

}  // namespace

int PaletteIconWidth() {
  return Skins && Skins->Width1() > 0 ? Skins->Width1() : DefaultIconSize;
}

int PaletteIconHeight() {
  return Skins && Skins->Height1() > 0 ? Skins->Height1() : DefaultIconSize;
}

bool ToolCanBeChosen(const P_icon* tool) {
  const auto& tools = ChoosableTools();
  return tool && std::find(tools.begin(), tools.end(), tool) != tools.end();
}

int PaletteGroupOfButton(const TObject* sender) {
  const auto* button = dynamic_cast<const tbx::TToolbarButtonX*>(sender);
  if (!button) return -1;
  const auto g = button->GetTag();
  if (g < 0 || g >= static_cast<std::intptr_t>(PaletteGroups.size())) return -1;
  return PaletteGroups[static_cast<std::size_t>(g)].Button == button ? static_cast<int>(g) : -1;
}

int PaletteGroupOf(const P_icon* tool) { return tool ? PaletteGroupOfButton(tool->GroupButton) : -1; }

void HotKeyText(AnsiString& text, int hotKey) {
  if (hotKey == 0) return;
  text += " (";
  if (hotKey & PaletteKeyAlt) text += LangMessage("Alt") + "+";
  if (hotKey & PaletteKeyShift) text += LangMessage("Shift") + "+";
  if (hotKey & PaletteKeyCtrl) text += LangMessage("Ctrl") + "+";
  text += static_cast<char>(hotKey & 0xFF);
  text += ")";
}

int RegisterToolIcon(int glyphIndex, P_icon* tool, int hotKey, int buttonGroupIndex, void*, int columns) {
  if (!tool) return static_cast<int>(PaletteGroups.size()) - 1;
  const bool opensGroup = columns != 0;
  if (opensGroup) {
    PaletteGroup group;
    group.FirstEntry = static_cast<int>(PaletteEntries.size());
    group.SelectedEntry = group.FirstEntry;
    group.Columns = columns;
    PaletteGroups.push_back(group);
  }
  const int g = static_cast<int>(PaletteGroups.size()) - 1;
  if (g < 0) return g;
  PaletteGroup& group = PaletteGroups.back();
  if (group.EntryCount >= MaxGroupEntries) return g;

  PaletteEntry entry;
  entry.GlyphIndex = glyphIndex;
  entry.Tool = tool;
  if (Skins && Skins->Loaded()) entry.Glyph = Skins->GetIcon(glyphIndex);
  PaletteEntries.push_back(std::move(entry));

  if (opensGroup) {
    if (MainForm && MainForm->ToolPanel) {
      auto* button = NewComponent<tbx::TToolbarButtonX>(MainForm);
      button->SetTag(g);
      button->SetGroupIndex(buttonGroupIndex);
      button->SetAllowAllUp(true);
      button->SetFlat(Settings.FlatIcons);
      button->SetShowHint(true);
      button->OnClick = [](TObject* sender) { MainForm->IconMouseClick(sender); };
      button->OnMouseDown = [](TObject* sender, TMouseButton b, TShiftState shift, int x, int y) {
        MainForm->IconMouseDown(sender, b, shift, x, y);
      };
      button->OnMouseUp = [](TObject* sender, TMouseButton b, TShiftState shift, int x, int y) {
        MainForm->IconMouseUp(sender, b, shift, x, y);
      };
      button->SetParent(MainForm->ToolPanel);
      group.Button = button;
      PlaceGroupButton(g, ButtonsTop());
    }
    group.EntryCount = 0;
    group.HotKey = hotKey;
    if (group.Button) group.Button->SetHint(GroupHint(group, group.FirstEntry));
  }
  tool->GroupButton = group.Button;
  ++group.EntryCount;
  if (opensGroup) ShowSelectedGlyph(group);
  return g;
}

void ClearPalette(bool freeButtons) {
  for (PaletteEntry& entry : PaletteEntries)
    if (entry.Tool) entry.Tool->GroupButton = nullptr;
  if (freeButtons)
    for (PaletteGroup& group : PaletteGroups)
      if (group.Button) FreeObject(group.Button);
  PaletteEntries.clear();
  PaletteGroups.clear();
  FillGroupIndex = -1;
}

void RegisterTools() {
  ClearPalette();
  using namespace SkinGlyph;
  const int shift3 = PaletteKeyShift | '3';
  const int shiftCtrlC = PaletteKeyShift | PaletteKeyCtrl | 'C';
  RegisterToolIcon(BrushSheet, &ShowBrushPanelTool, 0, 1, nullptr, 1);
  RegisterToolIcon(ContinuousPen, &PenContTool, 'P', 1, nullptr, 4);
  RegisterToolIcon(DottedFreehand, &PenDiscTool, 0, 0, nullptr, 0);
  RegisterToolIcon(SingleStroke, &PenOneTool, 0, 0, nullptr, 0);
  RegisterToolIcon(Line, &LineTool, 'L', 1, nullptr, 4);
  RegisterToolIcon(SkinGlyph::Polyline, &LineContTool, 0, 0, nullptr, 0);
  RegisterToolIcon(Curve, &SplineTool, 'U', 1, nullptr, 4);
  RegisterToolIcon(ContinuousCurve, &SplineContTool, 0, 0, nullptr, 0);
  RegisterToolIcon(FilledRectangle, &BoxRectfTool, 'R', 1, nullptr, 4);
  RegisterToolIcon(SkinGlyph::Rectangle, &BoxRectTool, 0, 0, nullptr, 0);
  RegisterToolIcon(FilledSquare, &BoxSqrfTool, 0, 0, nullptr, 0);
  RegisterToolIcon(Square, &BoxSqrTool, 0, 0, nullptr, 0);
  RegisterToolIcon(Circle, &CircleTool, 'C', 1, nullptr, 4);
  RegisterToolIcon(FilledCircle, &CirclefTool, 0, 0, nullptr, 0);
  RegisterToolIcon(SkinGlyph::Ellipse, &EllipseTool, 0, 0, nullptr, 0);
  RegisterToolIcon(FilledEllipse, &EllipsefTool, 0, 0, nullptr, 0);
  RegisterToolIcon(FilledFreehand, &FillDrawTool, 'D', 1, nullptr, 4);
  RegisterToolIcon(FilledPolygon, &FillPolyTool, 0, 0, nullptr, 0);
  RegisterToolIcon(Spray, &SprayTool, 'S', 1, nullptr, 4);
  RegisterToolIcon(Airbrush, &AirbrushTool, 0, 0, nullptr, 0);
  FillGroupIndex = RegisterToolIcon(SolidFill, &FillSolidTool, 'F', 1, nullptr, 4);
  RegisterToolIcon(PatternFill, &FillPatternTool, 0, 0, nullptr, 0);
  RegisterToolIcon(Text, &TextTool, 'T', 1, nullptr, 4);
  RegisterToolIcon(RectangleSelection, &CutBoxTool, 'B', 1, nullptr, 5);
  RegisterToolIcon(FixedSizeSelection, &CutResizeTool, 0, 0, nullptr, 0);
  RegisterToolIcon(FreehandSelection, &CutDrawTool, 0, 0, nullptr, 0);
  RegisterToolIcon(PolygonSelection, &CutPolyTool, 0, 0, nullptr, 0);
  RegisterToolIcon(MagicWand, &CutWandTool, 0, 0, nullptr, 0);
  RegisterToolIcon(Clone, &CloneTool, 'O', 1, nullptr, 4);
  RegisterToolIcon(ColourPicker, &GetColTool, 'G', 1, nullptr, 4);
  RegisterToolIcon(ChangeColour, &ChColTool, 'H', 1, nullptr, 4);
  RegisterToolIcon(Grid, &GridTool, shift3, 2, nullptr, 4);
  RegisterToolIcon(Move, &MoveTool, 'V', 1, nullptr, 4);
  RegisterToolIcon(ClearImage, &ClearTool, shiftCtrlC, 0, nullptr, 4);
  SettleGroupChoices();
  // Laid out at the default icon size until a skin comes.
  ApplySkinToPalette();
}

void UpdatePaletteGroup(P_icon* tool, int entry) {
  const int g = PaletteGroupOf(tool);
  if (g < 0) return;
  PaletteGroup& group = PaletteGroups[static_cast<std::size_t>(g)];
  if (group.DefaultTool != tool) {
    const bool entryHoldsTool = entry >= group.FirstEntry && entry < group.FirstEntry + group.EntryCount &&
                                PaletteEntries[static_cast<std::size_t>(entry)].Tool == tool;
    if (!entryHoldsTool) {
      entry = -1;
      for (int i = 0; i < group.EntryCount && entry < 0; ++i)
        if (PaletteEntries[static_cast<std::size_t>(group.FirstEntry + i)].Tool == tool) entry = group.FirstEntry + i;
    }
    if (entry >= 0) {
      group.SelectedEntry = entry;
      ShowSelectedGlyph(group);
      group.Button->SetHint(GroupHint(group, entry));
    }
  }
  group.Button->SetDown(true);
}

void ApplySkinToPalette() {
  if (IconPanelOpen && IconPanel) IconPanel->Close();
  if (Skins)
    for (PaletteEntry& entry : PaletteEntries) entry.Glyph = Skins->GetIcon(entry.GlyphIndex);
  for (const PaletteGroup& group : PaletteGroups) ShowSelectedGlyph(group);
  if (!MainForm || !MainForm->ToolPanel) return;
  const int w = PaletteIconWidth();
  const int h = PaletteIconHeight();
  const int width = 2 * w + 8;
  // The rows the buttons take; a plug-in group past them gets its row too.
  const int last = static_cast<int>(PaletteGroups.size()) - 1;
  const int rows = last < 0 ? 0 : (last + (Settings.UseQLC ? 0 : 1)) / 2 + 1;
  // The zoom control heads the palette, the buttons follow, and the swatches sit below them:
  // the background colour across the palette's width, the drawing colour centred on it at
  // half that width. All stand in the one tool panel: the floating palette gives each of its
  // rows the height of the tallest, and a palette docked beside a small picture still shows
  // its zoom.
  TPanel* panel = MainForm->ToolPanel;
  int top = 0;
  if (TWinControl* zoom = MainForm->Zoom->GetParent()) {
    zoom->SetParent(panel);
    zoom->SetBounds(0, 0, width, zoom->GetHeight());
    // The arrows at the right edge, the label filling the rest.
    MainForm->Zoom->SetLeft(width - MainForm->Zoom->GetWidth());
    MainForm->ZoomLabel->SetWidth(std::max(0, MainForm->Zoom->GetLeft() - 4));
    top = zoom->GetHeight();
  }
  for (int g = 0; g < static_cast<int>(PaletteGroups.size()); ++g) PlaceGroupButton(g, top);
  int bottom = top + rows * (h + 4);
  if (TWinControl* swatches = MainForm->BackCol->GetParent()) {
    const int swatchHeight = MainForm->BackCol->GetHeight();
    swatches->SetParent(panel);
    swatches->SetBounds(0, bottom, width, swatchHeight + 4);
    MainForm->BackCol->SetBounds(0, 2, width, swatchHeight);
    const int half = width / 2;
    MainForm->DrawCol->SetBounds((width - half) / 2, 2 + swatchHeight / 4, half, swatchHeight / 2);
    bottom += swatchHeight + 4;
  }
  panel->SetBounds(panel->GetLeft(), panel->GetTop(), width, bottom);
  // The toolbar and its dock fit themselves to the palette's new size.
  MainForm->Toolbar->ArrangeControls();
  if (tbx::TDockX* dock = MainForm->Toolbar->GetDockedTo()) dock->ArrangeToolbars(false);
  MainForm->AdjustToolPanelSize();
}

void RetranslatePaletteHints() {
  for (const PaletteGroup& group : PaletteGroups)
    if (group.Button) group.Button->SetHint(GroupHint(group, group.SelectedEntry));
}

bool PaletteHotKey(int code) {
  if (code == 0) return false;
  for (PaletteGroup& group : PaletteGroups) {
    if (group.DefaultTool && group.DefaultToolKey == code && ToolCanBeChosen(group.DefaultTool)) {
      SelectTool(group.DefaultTool, true, -1);
      return true;
    }
    if (group.HotKey != code || !GroupHasChoice(group)) continue;
    int entry = group.SelectedEntry;
    const P_icon* shown = PaletteEntries[static_cast<std::size_t>(entry)].Tool;
    if ((shown == CurrentTool && ToolPhase == 0) || !ToolCanBeChosen(shown)) entry = NextChoosableEntry(group, entry);
    group.SelectedEntry = entry;
    SelectTool(PaletteEntries[static_cast<std::size_t>(entry)].Tool, true, entry);
    return true;
  }
  return false;
}
