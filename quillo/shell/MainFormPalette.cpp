// The main window's part in the tool palette: the group buttons' press, release and click,
// and the icon panel that a long press opens beside its button.

#include <algorithm>

#include "platform/vcl/Screen.h"
#include "quillo/components/timers/TimerList.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/shell/MainForm.h"
#include "quillo/base/Language.h"
#include "quillo/base/Settings.h"
#include "quillo/shell/ToolPalette.h"
#include "quillo/shell/IconPanel.h"
#include "quillo/tools/Tool.h"

namespace {

const PaletteGroup* GroupOfButton(TObject* sender) {
  const int g = PaletteGroupOfButton(sender);
  return g < 0 ? nullptr : &PaletteGroups[static_cast<std::size_t>(g)];
}

}  // namespace

void TMainForm::IconMouseDown(TObject* sender, TMouseButton button, TShiftState, int, int) {
  IconTimer->SetEnabled(false);
  const PaletteGroup* group = GroupOfButton(sender);
  if (!group) return;
  if (button == mbRight) {
    if (group->DefaultTool && ToolCanBeChosen(group->DefaultTool)) {
      CloseIconPanel();
      SelectTool(group->DefaultTool, true, -1);
    }
    return;
  }
  CloseIconPanel();
  if (group->EntryCount > 1) {
    IconTimer->SetTag(group->Button->GetTag());
    IconTimer->SetEnabled(true);
  }
}

void TMainForm::IconMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  IconTimer->SetEnabled(false);
  if (IconPanelOpen && IconPanel) IconPanel->SetFocus();
  else if (Screen()->ActiveForm() == this) BringToFront();
}

void TMainForm::IconMouseClick(TObject* sender) {
  const PaletteGroup* group = GroupOfButton(sender);
  if (!group) return;
  P_icon* tool = PaletteEntries[static_cast<std::size_t>(group->SelectedEntry)].Tool;
  if (ToolCanBeChosen(tool)) {
    // The panel that the long press opened stays while the click selects.
    IconClicked = 0;
    SelectTool(tool, true, group->SelectedEntry);
    IconClicked = 1;
  }
  if (IconPanelOpen && IconPanel) IconPanel->SetFocus();
}

void TMainForm::ShowIconPanel(TObject*) {
  IconTimer->SetEnabled(false);
  CloseIconPanel();
  const auto g = IconTimer->GetTag();
  if (g < 0 || g >= static_cast<std::intptr_t>(PaletteGroups.size())) return;
  const PaletteGroup& group = PaletteGroups[static_cast<std::size_t>(g)];
  if (!group.Button) return;
  auto* panel = NewComponent<TIconPanel>(this);

  const int w = PaletteIconWidth();
  const int h = PaletteIconHeight();
  const int n = group.EntryCount;
  const int columns = std::max(1, group.Columns);
  const int shownColumns = std::min(n, columns);
  const int panelWidth = shownColumns * (w + 4) + 4;
  const int rows = (n + columns - 1) / columns;
  const int panelHeight = rows * (h + 4) + 4;

  // Beside the button, on its left when the right has no room; and kept inside the work area
  // both ways, so that the lowest row can be reached near the bottom of the screen too.
  const TPoint at = group.Button->ClientToScreen(TPoint(0, 0));
  int left = Screen()->GetWidth() - panelWidth < at.x ? at.x - panelWidth : at.x + w;
  int top = at.y;
  left = std::max<int>(WorkArea.left, std::min<int>(left, WorkArea.right - panelWidth));
  top = std::max<int>(WorkArea.top, std::min<int>(top, WorkArea.bottom - panelHeight));
  panel->SetBounds(left, top, panelWidth, panelHeight);

  for (int i = 0; i < IconPanelButtonCount; ++i) {
    tbx::TToolbarButtonX* button = IconPanelButtons[i];
    if (i >= n) {
      button->SetVisible(false);
      continue;
    }
    const PaletteEntry& entry = PaletteEntries[static_cast<std::size_t>(group.FirstEntry + i)];
    if (entry.Glyph) button->SetGlyph(entry.Glyph.get());
    button->SetHint(LangMessage(entry.Tool->Key));
    button->SetFlat(Settings.FlatIcons);
    button->SetEnabled(ToolCanBeChosen(entry.Tool));
    button->SetBounds((i % columns) * (w + 4) + 2, (i / columns) * (h + 4) + 2, w + 4, h + 4);
    button->SetVisible(true);
  }
  IconPanelOpen = 1;
  panel->SetTag(g);
  panel->Show();
}

void TMainForm::CloseIconPanel() {
  if (IconPanelOpen && IconPanel) IconPanel->Close();
}
