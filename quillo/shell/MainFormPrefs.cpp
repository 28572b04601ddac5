// Options > Preferences and the standard toolbar's preferences button: the preferences
// dialog filled from the settings, and on OK every change made to take effect; and the main
// window's own texts after a change of language.

#include <algorithm>

#include "platform/user/User.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Menus.h"
#include "quillo/base/Language.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/Progress.h"
#include "quillo/plugins/ComponentRegistry.h"
#include "quillo/shell/MainForm.h"
#include "quillo/shell/PreferencesApply.h"
#include "quillo/shell/PreferencesForm.h"
#include "quillo/shell/SettingsStorage.h"
#include "quillo/shell/ToolPalette.h"
#include "quillo/tools/Tool.h"

void TMainForm::ConnectPrefsCommand() {
  if (TMenuItem* item = MenuItemNamed("PrefsMenu")) item->OnClick = [this](TObject* sender) { PrefsMenuClick(sender); };
}

void TMainForm::ConnectPrefsButton() {
  if (auto* button = dynamic_cast<tbx::TToolbarButtonX*>(FindComponent("PrefsBtn"))) {
    button->OnClick = [this](TObject* sender) { PrefsMenuClick(sender); };
    button->SetEnabled(true);
  }
}

void TMainForm::PrefsMenuClick(TObject*) {
  ReselectTool(true);
  TOwnedPtr<TPreferences> dialog(NewComponent<TPreferences>(Application()));
  FillPreferences(dialog.get());
  if (dialog->ShowModal() == mrOk) {
    ApplyPreferences(dialog.get(), this);
    StorePreferencesQuietly(this);
  } else {
    // The instant-brush box's preview goes; nothing else has changed.
    ApplyInstBrushSetting(false);
  }
}

int MainWindowBarWidth(TMainForm* form) {
  HWND window = form->GetHandle();
  HMENU menu = GetMenu(window);
  int menuWidth = 0;
  RECT r{};
  for (int i = 0; i < GetMenuItemCount(menu); ++i)
    if (GetMenuItemRect(window, menu, static_cast<UINT>(i), &r)) menuWidth += r.right - r.left + 1;
  int buttonsRight = 0;
  if (auto* help = dynamic_cast<TControl*>(form->FindComponent("HelpBtn")); help && help->GetParent())
    buttonsRight = form->ScreenToClient(help->ClientToScreen(TPoint(help->GetWidth(), 0))).x;
  return std::max(menuWidth, buttonsRight) + (form->GetWidth() - form->GetClientWidth()) + 24;
}

void RetranslateMainWindow(TMainForm* form) {
  // The menu bar's captions have new widths: the bar is as wide as they need.
  const TWindowState state = form->GetWindowState();
  if (state != wsNormal) form->SetWindowState(wsNormal);
  const int width = MainWindowBarWidth(form);
  form->SetWidth(width);
  form->SetTag(width);
  if (state != wsNormal) form->SetWindowState(state);
  for (int i = 0; i < ImgFormCount; ++i) {
    TImageForm* window = ImgForms[static_cast<std::size_t>(i)];
    UpdateDocumentCaption(window);
    window->InstBrushBtn->SetHint(LangMessage("IBBtn"));
  }
  RetranslateComponentMenus();
  RetranslatePaletteHints();
  ResetHelpFile();
  ReselectTool(true);
}
