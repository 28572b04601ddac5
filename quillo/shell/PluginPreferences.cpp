#include "quillo/shell/PluginPreferences.h"

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Memo.h"
#include "platform/vcl/Menus.h"
#include "quillo/base/Language.h"
#include "quillo/base/Settings.h"
#include "quillo/components/edits/FileEdit.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/plugins/ComponentRegistry.h"
#include "quillo/plugins/FilterPluginList.h"
#include "quillo/plugins/FilterPluginMenu.h"
#include "quillo/shell/PreferenceValues.h"
#include "quillo/shell/PreferencesForm.h"
#include "quillo/shell/ToolPalette.h"
#include "quillo/tools/Tool.h"
#include "quillo/tools/ToolObjects.h"

namespace {

void ShowComponentBrushes(bool shown) {
  const int g = PaletteGroupOf(&QlComponentBrushTool);
  if (g < 0) return;
  PaletteGroup& group = PaletteGroups[static_cast<std::size_t>(g)];
  if (group.Button) group.Button->SetVisible(shown);
  if (!shown && CurrentTool == &QlComponentBrushTool) SelectTool(&PenContTool, true, -1);
}

void ApplyComponents(bool use) {
  if (use == Settings.UseQLC) return;
  Settings.UseQLC = use;
  // Components found earlier are shown again; otherwise the folder is scanned now.
  if (use && !ComponentMenusPresent()) ScanComponents();
  ShowComponentMenus(use);
  ShowComponentBrushes(use);
  // The swatches sit below the buttons the palette shows.
  ApplySkinToPalette();
}

void ApplyFilterPlugins(bool use, const AnsiString& folder) {
  TSettings& s = Settings;
  const bool useChanged = use != s.UseAdobe;
  const bool folderChanged = folder != s.AdobeLoc;
  s.UseAdobe = use;
  s.AdobeLoc = folder;
  if (!useChanged && !folderChanged) return;
  // Another folder's filters replace the submenu; the list keeps its old entries.
  if (folderChanged && PluginMenuItem != nullptr) {
    FreeObject(PluginMenuItem);
    PluginMenuItem = nullptr;
  }
  if (PluginMenuItem != nullptr) PluginMenuItem->SetVisible(use);
  else if (use) ScanAdobePlugins();
}

}  // namespace

void FillPluginPage(TPreferences* d) {
  const TSettings& s = Settings;
  d->UseQLCCB->SetChecked(s.UseQLC);
  d->UseAdobeCB->SetChecked(s.UseAdobe);
  d->AdobeLocEdit->SetText(s.AdobeLoc);
  TStrings* lines = d->PluginList->GetLines();
  lines->Clear();
  for (const FailedPlugin& failed : PluginNames())
    lines->Add(Format(LangMessage("PlugFailedLine").c_str(), failed.name.c_str(), LangMessage(failed.reasonKey).c_str()));
}

void ApplyPluginPage(const TPreferences* d) {
  ApplyComponents(d->UseQLCCB->GetChecked());
  ApplyFilterPlugins(d->UseAdobeCB->GetChecked(), FolderWithSeparator(d->AdobeLocEdit->GetText()));
}
