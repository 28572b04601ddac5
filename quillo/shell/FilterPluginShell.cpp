#include "quillo/shell/FilterPluginShell.h"

#include "platform/vcl/Color.h"
#include "platform/vcl/Menus.h"
#include "quillo/plugins/FilterPluginHost.h"
#include "quillo/shell/MainForm.h"
#include "quillo/tools/ColorSelector.h"

namespace {

TColor FromRgb(std::uint32_t rgb) {
  return static_cast<TColor>((rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 0xFF));
}

std::uint32_t ToRgb(TColor colour) {
  const auto c = static_cast<std::uint32_t>(ColorToRGB(colour));
  return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

class MainWindowFilterHost final : public FilterPluginHost {
public:
  TMenuItem* ImageMenu() override { return MainForm ? MainForm->Image1 : nullptr; }
  TComponent* MenuOwner() override { return MainForm; }
  HWND MainWindowHandle() override { return MainForm ? MainForm->GetHandle() : nullptr; }
  std::uint32_t PickColour(std::uint32_t start, const AnsiString& prompt) override {
    if (!MainForm || !MainForm->ColorBox) return 0xFFFFFFFFu;
    TColorBox* box = MainForm->ColorBox;
    const AnsiString title = box->Title;
    box->Title = prompt;
    box->Target = nullptr;
    const TColor chosen = box->Execute(FromRgb(start));
    box->Title = title;
    return ToRgb(chosen);
  }
};

}  // namespace

void InstallFilterPluginHost(bool install) {
  static MainWindowFilterHost host;
  HostSlot<FilterPluginHost>::Install(install ? &host : nullptr);
}
