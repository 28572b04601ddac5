#include "quillo/shell/ComponentHosting.h"

#include "platform/vcl/Application.h"
#include "platform/vcl/Menus.h"
#include "quillo/document/DocumentList.h"
#include "quillo/filters/FormulaContext.h"
#include "quillo/files/BrowseForm.h"
#include "quillo/files/EffectBrowsing.h"
#include "quillo/plugins/ComponentEffects.h"
#include "quillo/plugins/ComponentRegistry.h"
#include "quillo/plugins/ComponentHost.h"
#include "quillo/plugins/ComponentRun.h"
#include "quillo/shell/MainForm.h"
#include "quillo/shell/ToolPalette.h"
#include "quillo/tools/ColorSelector.h"
#include "quillo/tools/ToolObjects.h"

namespace {

class MainComponentHost : public ComponentHost {
public:
  TMenuItem* ImageMenu() override { return MainForm ? MainForm->Image1 : nullptr; }
  HWND MainWindowHandle() override { return MainForm ? MainForm->GetHandle() : nullptr; }
  const std::int32_t* SineTable() override { return TheFormulaTables().sine; }
  const std::int32_t* TangentTable() override { return TheFormulaTables().tangent; }
  int AddBrushToPalette(int glyph, int columns) override {
    // A palette group holds 32 tools: a brush beyond them gets no entry.
    const std::size_t before = PaletteEntries.size();
    RegisterToolIcon(glyph, &QlComponentBrushTool, 'I', 1, nullptr, columns);
    return PaletteEntries.size() > before ? static_cast<int>(before) : -1;
  }
  TColor ChooseColour(const AnsiString& title, TColor start) override {
    if (!MainForm || !MainForm->ColorBox) return start;
    TColorBox* box = MainForm->ColorBox;
    const AnsiString savedTitle = box->Title;
    TObject* const savedTarget = box->Target;
    const TColorChangeEvent savedChange = box->OnChange;
    box->Title = title;
    box->Target = nullptr;
    box->OnChange = nullptr;
    const TColor chosen = box->Execute(start);
    box->Title = savedTitle;
    box->Target = savedTarget;
    box->OnChange = savedChange;
    return chosen;
  }
  int ChosenBrushEntry() override {
    const int g = PaletteGroupOf(&QlComponentBrushTool);
    return g < 0 ? -1 : PaletteGroups[static_cast<std::size_t>(g)].SelectedEntry;
  }
};

// The browser's effect mode, from the component registry.
class MainEffectBrowsing : public EffectBrowsing {
public:
  std::vector<AnsiString> Groups() override { return EffectGroups(); }
  AnsiString InitialGroup() override { return EffectInitialGroup(); }
  std::vector<AnsiString> Entries(const AnsiString& group) override { return EffectEntries(group); }
  bool Thumbnail(const AnsiString& group, int n, UDBuffer& thumb, AnsiString& caption) override {
    return EffectThumbnail(group, n, thumb, caption);
  }
  void Choose(const AnsiString& group, int n) override { ChooseEffect(group, n); }
};

MainComponentHost& TheMainComponentHost() {
  static MainComponentHost host;
  return host;
}

}  // namespace

void InstallComponentHosting(bool install) {
  HostSlot<ComponentHost>::Install(install ? &TheMainComponentHost() : nullptr);
  InstallComponentToolDriver();
  static MainEffectBrowsing browsing;
  HostSlot<EffectBrowsing>::Install(install ? &browsing : nullptr);
}

void BrowseEffects(TMenuItem* browseItem) {
  ToolSuspension suspension;
  PendingTool = nullptr;
  BrowserMode = BrowseMode::Effect;
  EffectBrowseItem = browseItem;
  {
    TOwnedPtr<TBrowseForm> browser(NewComponent<TBrowseForm>(Application()));
    browser->SetHelpContext(1320);
    browser->ShowModal();
  }
  BrowserMode = BrowseMode::Image;
}
