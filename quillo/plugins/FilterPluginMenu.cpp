#include "quillo/plugins/FilterPluginMenu.h"

#include <algorithm>
#include <memory>

#include "platform/rtl/SettingsFolder.h"
#include "platform/vcl/Menus.h"
#include "quillo/base/Language.h"
#include "quillo/base/ScreenLayout.h"
#include "quillo/base/Settings.h"
#include "quillo/components/files/TreeScanner.h"
#include "quillo/document/Progress.h"
#include "quillo/plugins/FilterPluginCache.h"
#include "quillo/plugins/FilterPluginHost.h"
#include "quillo/plugins/FilterPluginList.h"
#include "quillo/plugins/FilterPluginProbe.h"
#include "quillo/plugins/FilterPluginRun.h"

TMenuItem* PluginMenuItem = nullptr;

namespace {

CacheFiles* scanCache = nullptr;  // the running scan's
bool firstFilter = false;

TComponent* ItemOwner() {
  if (TComponent* owner = TheFilterPluginHost().MenuOwner()) return owner;
  return TheFilterPluginHost().ImageMenu();
}

// The "&Adobe" item goes right after the Image menu's first separator (at the end when it
// has none).
void InsertAdobeItem(TMenuItem* image) {
  PluginMenuItem = NewComponent<TMenuItem>(ItemOwner());
  PluginMenuItem->SetCaption(LangMessage("&Adobe"));
  int at = image->Count();
  for (int i = 0; i < image->Count(); ++i) {
    if (image->Items(i)->IsLine()) {
      at = i + 1;
      break;
    }
  }
  image->Insert(at, PluginMenuItem);
}

bool StartsColumn(const TMenuItem* menu) {
  return menu->Count() > 0 && menu->Count() % PluginMenuColumnRows() == 0;
}

void AddToMenu(int index, const AnsiString& category, const AnsiString& title) {
  TMenuItem* image = TheFilterPluginHost().ImageMenu();
  if (image == nullptr) return;
  if (firstFilter || PluginMenuItem == nullptr) {
    InsertAdobeItem(image);
    firstFilter = false;
  }
  const AnsiString submenuCaption = category.empty() ? AnsiString("&Default") : "&" + category;
  TMenuItem* item = NewComponent<TMenuItem>(ItemOwner());
  item->SetImageIndex(index);
  item->SetCaption("&" + title);
  item->OnClick = RunAdobeFilter;
  TMenuItem* submenu = nullptr;
  for (int i = 0; i < PluginMenuItem->Count(); ++i)
    if (PluginMenuItem->Items(i)->GetCaption() == submenuCaption) submenu = PluginMenuItem->Items(i);
  if (submenu == nullptr) {
    submenu = NewComponent<TMenuItem>(ItemOwner());
    submenu->SetCaption(submenuCaption);
    if (StartsColumn(PluginMenuItem)) submenu->SetBreak(mbBarBreak);
    PluginMenuItem->Add(submenu);
  } else if (StartsColumn(submenu)) {
    item->SetBreak(mbBarBreak);
  }
  submenu->Add(item);
}

void AdobeFileFound(const AnsiString& file) {
  bool cached = false;
  for (;;) {
    AnsiString identifier = file, category, title;
    if (scanCache == nullptr || !scanCache->Lookup(identifier, category, title)) break;
    cached = true;
    AddAdobeFilter(identifier, category, title);
  }
  if (cached) return;
  FilterProbeFault fault = FilterProbeFault::None;
  ProbeAdobeModule(file, AddAdobeFilter, &fault);
  if (fault != FilterProbeFault::None) PluginNames().push_back({FilterFileBaseName(file), FilterProbeFaultKey(fault)});
}

}  // namespace

AnsiString FilterCacheFileName() { return SettingsFolder() + "/adobe.cch"; }

int PluginMenuColumnRows() {
  // A screen measured as smaller than one menu row still takes one item per column.
  const int workHeight = WorkArea.bottom - WorkArea.top;
  return MenuBarHeight > 0 ? std::max(1, workHeight / MenuBarHeight) : 1;
}

int AddAdobeFilter(const AnsiString& identifier, const AnsiString& category, const AnsiString& title) {
  if (scanCache != nullptr) scanCache->Add(identifier, category, title);
  AddToMenu(AddPluginListEntry(identifier, title), category, title);
  return 0;
}

void ScanAdobePlugins() {
  PluginMenuItem = nullptr;
  // No folder chosen yet: nothing to scan (an empty name would walk the working folder).
  if (!Settings.UseAdobe || Settings.AdobeLoc.empty()) return;
  auto scanner = MakeObject<TTreeScanner>(nullptr);
  scanner->SetInitialDirectory(Settings.AdobeLoc);
  scanner->SetFileMask("*.8bf");
  scanner->SetRecursive(true);
  TTreeScanner* walker = scanner.get();
  scanner->OnFileFound = [walker](TObject*) { AdobeFileFound(walker->FileFound()); };
  WriteLog("Scanning for Adobe plug-ins started.");
  PluginNames().clear();
  CacheFiles cache(FilterCacheFileName());
  scanCache = &cache;
  firstFilter = true;
  scanner->ScanTree();
  scanCache = nullptr;
  cache.Write();
  WriteLog("Scanning for Adobe plug-ins finished.");
}
