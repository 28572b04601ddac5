#include "quillo/plugins/ComponentRegistry.h"

#include <dlfcn.h>

#include <algorithm>
#include <map>

#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/SysParams.h"
#include "platform/user/User.h"
#include "platform/vcl/Menus.h"
#include "quillo/base/Language.h"
#include "quillo/base/ProgramMessages.h"
#include "quillo/base/ProgramFolder.h"
#include "quillo/base/ScreenLayout.h"
#include "quillo/base/Settings.h"
#include "quillo/components/files/TreeScanner.h"
#include "quillo/document/Progress.h"
#include "quillo/plugins/ComponentDescription.h"
#include "quillo/plugins/ComponentHost.h"
#include "quillo/plugins/ComponentLibrary.h"
#include "quillo/plugins/ForeignCallGuard.h"
#include "quillo/tools/ToolObjects.h"

bool ComponentScanDone = false;

namespace {

// The palette entries made by the first scan, by library path: a later scan finds a brush's
// entry again even when the records moved.
std::map<AnsiString, int>& BrushEntries() {
  static std::map<AnsiString, int> entries;
  return entries;
}

struct ScanState {
  TMenuItem* parent = nullptr;
  int folders = 0;
  int paletteColumns = 8;
  AnsiString root;
};
ScanState Scan;

void Log(const AnsiString& text) { WriteLog(text.c_str()); }

// A caption with its access key on the first letter.
AnsiString MenuCaption(const AnsiString& text) {
  AnsiString caption = "&";
  caption += text;
  return caption;
}

// Items per menu column: the work area's height in menu rows, at least 1.
int ItemsPerColumn() {
  const int rowHeight = std::max(1, GetSystemMetrics(SM_CYMENU));
  return std::max(1, static_cast<int>(WorkArea.Height()) / rowHeight);
}

TMenuItem* NewMenuItem(const AnsiString& caption) {
  TMenuItem* image = TheComponentHost().ImageMenu();
  auto* item = NewComponent<TMenuItem>(image ? image->Owner() : nullptr);
  item->SetCaption(caption);
  item->SetTag(ComponentMenuTag);
  return item;
}

TMenuItem* AddComponentMenuItem(const AnsiString& caption, bool isComponent) {
  TMenuItem* parent = Scan.parent;
  if (!parent) return nullptr;
  if (parent->Count() == 1) parent->Add(NewMenuItem("-"));
  TMenuItem* item = NewMenuItem(caption);
  if (isComponent) {
    item->SetImageIndex(ComponentCount);
    item->OnClick = [](TObject* sender) {
      if (auto* clicked = dynamic_cast<TMenuItem*>(sender)) StartComponent(clicked->GetImageIndex());
    };
  }
  const int n = parent->Count();
  if (n > 0 && n % ItemsPerColumn() == 0) item->SetBreak(mbBarBreak);
  parent->Add(item);
  return item;
}

// "special effects" -> "Special Effects": lower case, each word's first letter raised.
AnsiString CapitaliseWords(const AnsiString& text) {
  AnsiString out = LowerCase(text);
  bool start = true;
  for (char& c : out) {
    if (start && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    start = c == ' ';
  }
  return out;
}

void DirectoryFound(TTreeScanner& scanner) {
  AnsiString path = scanner.FileFound();
  while (!path.empty() && path.back() == '/') path.pop_back();
  if (path + "/" == Scan.root || path == Scan.root) return;
  AnsiString name = LowerCase(ExtractFileName(path));
  const std::size_t dot = name.rfind('.');
  if (dot != AnsiString::npos) name.erase(dot);
  ComponentFileList.push_back(UpperCase(name));

  Scan.parent = TheComponentHost().ImageMenu();
  TMenuItem* group = AddComponentMenuItem(MenuCaption(ComponentGroupCaption(UpperCase(name))), false);
  if (!group) return;
  ++Scan.folders;
  group->SetImageIndex(Scan.folders);
  Scan.parent = group;
  TMenuItem* browse = AddComponentMenuItem(LangMessage("Browse"), false);
  browse->SetImageIndex(ComponentCount);
  browse->OnClick = [](TObject* sender) {
    if (auto* item = dynamic_cast<TMenuItem*>(sender)) PostMessage(TheComponentHost().MainWindowHandle(), UM_BROWSEEFFECTS, 0, reinterpret_cast<LPARAM>(item));
  };
  group->Add(NewMenuItem("-"));
}

// The brush's palette entry: made by the first scan, found by path afterwards.
std::uint16_t BrushEntryFor(const QLCDSTR& record) {
  if (record.IconGlyph < 0) return 65535;
  auto& entries = BrushEntries();
  if (!ComponentScanDone && !entries.count(record.Path)) {
    const int entry = TheComponentHost().AddBrushToPalette(record.IconGlyph, Scan.paletteColumns);
    if (entry >= 0) {
      entries[record.Path] = entry;
      Scan.paletteColumns = 0;
    }
  }
  const auto found = entries.find(record.Path);
  return found == entries.end() ? 65535 : static_cast<std::uint16_t>(found->second);
}

void FileFound(TTreeScanner& scanner) {
  const AnsiString path = scanner.FileFound();
  if (ComponentCount >= MaxComponents) {
    Log("Component " + path + " skipped: 256 components are registered already");
    return;
  }
  // Loading runs the library's constructors: the first load is the loader's own, under the
  // guard and holding nothing a fault would strand; a fault there skips the library (and
  // leaves it loaded). The program's load then only counts it again.
  void* first = nullptr;
  const char* const file = path.c_str();
  const ForeignFault loadFault = RunForeign([file, &first] { first = dlopen(file, RTLD_NOW | RTLD_LOCAL); });
  if (loadFault != ForeignFault::None) {
    Log("Component " + path + " skipped: the library faulted while loading (" + LangMessage(ForeignFaultKey(loadFault)) + ")");
    return;
  }
  HMODULE module = LoadLibrary(file);
  if (first) dlclose(first);
  if (!module) {
    Log("Component " + path + " skipped: the library does not load");
    return;
  }
  QLCDSTR& record = ComponentTable[static_cast<std::size_t>(ComponentCount)];
  record = QLCDSTR{};
  AnsiString description;
  LibraryFault fault = LibraryFault::BadDescription;
  // A QLCGETDESC that throws or faults has no description to give.
  const ForeignFault descriptionFault = RunForeign([module, &description, &fault] { fault = LoadComponentDesc(module, description); });
  if (descriptionFault != ForeignFault::None && descriptionFault != ForeignFault::Exception) {
    Log("Component " + path + " skipped: its description faulted (" + LangMessage(ForeignFaultKey(descriptionFault)) + ")");
    return;
  }
  if (fault != LibraryFault::None) {
    Log("Component " + path + " skipped: " + LibraryFaultText(fault));
  } else if (const DescriptionFault bad = ParseComponentDesc(description, record); bad != DescriptionFault::None) {
    Log("Component " + path + " skipped: " + DescriptionFaultText(bad));
  } else {
    record.Path = path;
    record.PaletteEntry = BrushEntryFor(record);
    AddComponentMenuItem(MenuCaption(TranslateMarked(record.Name)), true);
    ++ComponentCount;
  }
  FreeLibrary(module);
}

// Takes out the items an earlier scan made.
void RemoveComponentMenus() {
  TMenuItem* image = TheComponentHost().ImageMenu();
  if (!image) return;
  for (int i = image->Count(); i-- > 0;) {
    TMenuItem* item = image->Items(i);
    if (item->GetTag() == ComponentMenuTag) FreeObject(item);
  }
}

}  // namespace

AnsiString ComponentGroupCaption(const AnsiString& name) { return CapitaliseWords(TranslateMarked(name)); }

AnsiString ComponentFolder() { return ProgramFolder() + "Comps"; }

void ScanComponents() {
  RemoveComponentMenus();
  ComponentCount = 0;
  ComponentFileList.clear();
  if (!Settings.UseQLC) return;
  const char separator = DecimalSeparator;
  DecimalSeparator = '.';
  Scan = ScanState{};
  Scan.parent = TheComponentHost().ImageMenu();
  Scan.root = ComponentFolder() + "/";
  TOwnedPtr<TTreeScanner> scanner = MakeObject<TTreeScanner>(nullptr);
  scanner->SetInitialDirectory(Scan.root);
  scanner->SetFileMask("*.qlc");
  scanner->SetRecursive(true);
  scanner->OnDirectoryFound = [&](TObject*) { DirectoryFound(*scanner); };
  scanner->OnFileFound = [&](TObject*) { FileFound(*scanner); };
  WriteLog("Scanning for components started.");
  try {
    scanner->ScanTree();
  } catch (...) {
    DecimalSeparator = separator;
    throw;
  }
  WriteLog("Scanning for components finished.");
  DecimalSeparator = separator;
  ComponentScanDone = true;
}

bool ComponentMenusPresent() {
  TMenuItem* image = TheComponentHost().ImageMenu();
  if (!image) return false;
  for (int i = 0; i < image->Count(); ++i)
    if (image->Items(i)->GetTag() == ComponentMenuTag) return true;
  return false;
}

void ShowComponentMenus(bool shown) {
  TMenuItem* image = TheComponentHost().ImageMenu();
  if (!image) return;
  for (int i = 0; i < image->Count(); ++i)
    if (image->Items(i)->GetTag() == ComponentMenuTag) image->Items(i)->SetVisible(shown);
}

void RetranslateComponentMenus() {
  TMenuItem* image = TheComponentHost().ImageMenu();
  if (!image) return;
  const auto componentCaption = [](const TMenuItem* item) {
    const int index = item->GetImageIndex();
    return index >= 0 && index < ComponentCount
               ? MenuCaption(TranslateMarked(ComponentTable[static_cast<std::size_t>(index)].Name))
               : item->GetCaption();
  };
  for (int i = 0; i < image->Count(); ++i) {
    TMenuItem* item = image->Items(i);
    if (item->GetTag() != ComponentMenuTag || item->IsLine()) continue;
    if (item->Count() == 0) {
      item->SetCaption(componentCaption(item));
      continue;
    }
    // A group: its image index counts the folders from 1.
    const int folder = item->GetImageIndex() - 1;
    if (folder >= 0 && folder < static_cast<int>(ComponentFileList.size()))
      item->SetCaption(MenuCaption(ComponentGroupCaption(ComponentFileList[static_cast<std::size_t>(folder)])));
    item->Items(0)->SetCaption(LangMessage("Browse"));
    for (int k = 2; k < item->Count(); ++k) item->Items(k)->SetCaption(componentCaption(item->Items(k)));
  }
}

TMenuItem* ComponentGroupMenu(int componentIndex) {
  TMenuItem* image = TheComponentHost().ImageMenu();
  if (!image) return nullptr;
  for (int i = 0; i < image->Count(); ++i) {
    TMenuItem* group = image->Items(i);
    if (group->GetTag() != ComponentMenuTag || group->Count() < 2) continue;
    for (int k = 2; k < group->Count(); ++k)
      if (group->Items(k)->GetImageIndex() == componentIndex) return group;
  }
  return nullptr;
}

TMenuItem* ComponentGroupNamed(const AnsiString& caption) {
  TMenuItem* image = TheComponentHost().ImageMenu();
  if (!image) return nullptr;
  for (int i = 0; i < image->Count(); ++i) {
    TMenuItem* group = image->Items(i);
    if (group->GetTag() == ComponentMenuTag && group->Count() >= 2 && group->GetCaption() == MenuCaption(caption)) return group;
  }
  return nullptr;
}

int ComponentGroupSize(const TMenuItem* group) { return group ? std::max(0, group->Count() - 2) : 0; }

int ComponentGroupFirst(const TMenuItem* group) {
  return group && group->Count() > 0 ? group->Items(0)->GetImageIndex() : 0;
}

void StartComponent(int componentIndex) {
  if (componentIndex < 0 || componentIndex >= ComponentCount) return;
  CurrentComponent = componentIndex;
  SelectTool(&QlComponentTool, true, -1);
}

void ForgetComponentBrushEntries() {
  BrushEntries().clear();
  ComponentScanDone = false;
}
