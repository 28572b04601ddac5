// The icon panel's form, buttons and handlers.

#include "quillo/shell/IconPanel.h"

#include "platform/vcl/Color.h"
#include "platform/vcl/ExtCtrls.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/shell/ToolPalette.h"
#include "quillo/tools/Tool.h"

TIconPanel* IconPanel = nullptr;
tbx::TToolbarButtonX* IconPanelButtons[IconPanelButtonCount] = {};
std::uint8_t IconPanelOpen = 0;
std::uint8_t IconClicked = 1;

QUILLO_DEFINE_CLASS(TIconPanel, TForm)

TIconPanel::TIconPanel(TComponent* owner) : TForm(owner) {
  SetName("IconPanel");
  SetBorderStyle(bsNone);
  SetBorderIcons(TBorderIcons{});
  SetFormStyle(fsStayOnTop);
  SetClientWidth(318);
  SetClientHeight(99);
  SetShowHint(true);
  SetColor(clBtnFace);
  IconBevel = NewComponent<TBevel>(this);
  IconBevel->SetName("IconBevel");
  IconBevel->SetStyle(bsRaised);
  IconBevel->SetAlign(alClient);
  IconBevel->SetParent(this);
  OnClose = [this](TObject* sender, TCloseAction& action) { FormClose(sender, action); };
  OnDeactivate = [this](TObject* sender) { CloseForm(sender); };
  OnKeyPress = [this](TObject* sender, char& key) { CloseForm2(sender, key); };

  IconClicked = 1;
  const int w = PaletteIconWidth();
  const int h = PaletteIconHeight();
  for (int i = 0; i < IconPanelButtonCount; ++i) {
    auto* button = NewComponent<tbx::TToolbarButtonX>(this);
    button->SetBounds(0, 0, w + 4, h + 4);
    button->SetTag(i);
    button->SetShowHint(true);
    button->OnClick = [this](TObject* sender) { IconSelected(sender); };
    button->SetParent(this);
    IconPanelButtons[i] = button;
  }
  IconPanel = this;
}

TIconPanel::~TIconPanel() {
  if (IconPanel != this) return;
  IconPanel = nullptr;
  IconPanelOpen = 0;
  for (tbx::TToolbarButtonX*& button : IconPanelButtons) button = nullptr;
}

int TIconPanel::Group() const {
  const auto g = GetTag();
  return g >= 0 && g < static_cast<std::intptr_t>(PaletteGroups.size()) ? static_cast<int>(g) : -1;
}

void TIconPanel::IconSelected(TObject* sender) {
  auto* button = dynamic_cast<tbx::TToolbarButtonX*>(sender);
  const int g = Group();
  if (!button || g < 0) return;
  PaletteGroup& group = PaletteGroups[static_cast<std::size_t>(g)];
  const auto index = button->GetTag();
  if (index < 0 || index >= group.EntryCount) return;
  const int entry = group.FirstEntry + static_cast<int>(index);
  P_icon* tool = PaletteEntries[static_cast<std::size_t>(entry)].Tool;
  if (!ToolCanBeChosen(tool)) return;
  group.SelectedEntry = entry;
  // SelectTool draws the chosen glyph with its variant mark on the group's button.
  SelectTool(tool, true, entry);
  Close();
}

void TIconPanel::CloseForm2(TObject*, char& key) {
  if (key == 27 && IconPanelOpen) Close();
}

void TIconPanel::CloseForm(TObject*) {
  if (IconClicked && IconPanelOpen) Close();
}

void TIconPanel::FormClose(TObject*, TCloseAction& action) {
  IconPanelOpen = 0;
  // Gone from the screen at once; the form itself goes when its handlers have returned.
  SetVisible(false);
  action = caFree;
}
