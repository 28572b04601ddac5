// The save optimiser's named configurations: the four slots' settings kept in the registry
// under a name the user types, listed in the name box, brought back, updated and deleted.

#include <algorithm>
#include <optional>

#include "platform/controls/ComboBox.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/ComCtrlsTabs.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Registry.h"
#include "platform/vcl/StdButtons.h"
#include "platform/vcl/ScrollBar.h"
#include "quillo/components/edits/SpinEdit.h"
#include "quillo/files/SaveOptimForm.h"

namespace {

constexpr const char* kConfigurationsKey = "Software\\Dornick\\QL\\SaveOptim Items";

AnsiString ConfigurationKey(const AnsiString& name) { return AnsiString(kConfigurationsKey) + "\\" + name; }

// The value of slot k: "1" to "4".
AnsiString SlotValueName(int k) { return AnsiString(1, static_cast<char>('1' + k)); }

}  // namespace

void TSaveOptimForm::ListConfigurations() {
  TRegistry registry;
  registry.SetRootKey(HKEY_CURRENT_USER);
  if (!registry.OpenKey(kConfigurationsKey, true)) return;
  registry.GetKeyNames(Config4Combo->GetItems());
  registry.CloseKey();
}

void TSaveOptimForm::Config4ComboChange(TObject*) {
  const AnsiString typed = Config4Combo->GetText();
  DWORD start = 0;
  DWORD end = 0;
  const bool open = Config4Combo->HandleAllocated();
  if (open)
    SendMessage(Config4Combo->GetHandle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start),
                reinterpret_cast<LPARAM>(&end));
  int caret = open ? static_cast<int>(start) : static_cast<int>(typed.size());
  const AnsiString clean = CleanConfigName(typed, caret);
  if (clean == typed) return;
  Config4Combo->SetText(clean);
  if (open) SendMessage(Config4Combo->GetHandle(), CB_SETEDITSEL, 0, MAKELPARAM(caret, caret));
}

void TSaveOptimForm::Add4BtnClick(TObject*) {
  const AnsiString name = Config4Combo->GetText();
  if (name.empty()) return;
  TRegistry registry;
  registry.SetRootKey(HKEY_CURRENT_USER);
  if (!registry.KeyExists(ConfigurationKey(name))) Config4Combo->GetItems()->Add(name);
  PageChange(nullptr);
  // A registry that refuses the values ends the writing quietly.
  try {
    if (registry.OpenKey(ConfigurationKey(name), true)) {
      const int types = Type->GetItems()->Count();
      for (int k = 0; k < kOptimSlotCount; ++k) {
        const OptimSlot& slot = OptimSlots[k];
        const AnsiString typeName =
            slot.typeIndex >= 0 && slot.typeIndex < types ? Type->GetItems()->Get(slot.typeIndex) : AnsiString();
        registry.WriteString(SlotValueName(k), SlotValueText(typeName, DepthCodeOfSlot(slot), slot));
      }
    }
  } catch (const Exception&) {
  }
  registry.CloseKey();
  SetActiveControl(nullptr);
}

void TSaveOptimForm::Del4BtnClick(TObject*) {
  const AnsiString name = Config4Combo->GetText();
  if (name.empty()) return;
  TRegistry registry;
  registry.SetRootKey(HKEY_CURRENT_USER);
  if (!registry.KeyExists(ConfigurationKey(name))) return;
  TStrings* items = Config4Combo->GetItems();
  const int listed = items->IndexOf(name);
  if (listed >= 0) items->Delete(listed);
  registry.DeleteKey(ConfigurationKey(name));
  Config4Combo->SetText(name);
  SetActiveControl(nullptr);
}

void TSaveOptimForm::Ret4BtnClick(TObject*) {
  const AnsiString name = Config4Combo->GetText();
  if (name.empty()) return;
  TRegistry registry;
  registry.SetRootKey(HKEY_CURRENT_USER);
  if (!registry.KeyExists(ConfigurationKey(name)) || !registry.OpenKey(ConfigurationKey(name), false)) return;
  CurrentSlot = -1;
  for (int k = 0; k < kOptimSlotCount; ++k) {
    // A slot whose value is missing or unreadable, or names a type not offered, keeps what it
    // had; the others are still taken.
    std::optional<StoredSlot> stored;
    try {
      if (registry.ValueExists(SlotValueName(k))) stored = ParseSlotValue(registry.ReadString(SlotValueName(k)));
    } catch (const Exception&) {
      stored.reset();
    }
    if (!stored) continue;
    const int type = Type->GetItems()->IndexOf(stored->typeName);
    if (type < 0) continue;
    Type->SetItemIndex(type);
    TypeComboChange(Type);
    // A depth the type cannot write falls back to its first.
    CDepth->SetItemIndex(std::max(0, DepthIndex(stored->depthCode)));
    SetDitherAndLimitCols(CDepth);
    const OptimSlot& s = stored->settings;
    LimitCB->SetChecked(s.limit != 0);
    LimitED->SetAsInteger(s.colours);
    DitherCB->SetChecked(s.dither != 0);
    TranspCB->SetChecked(s.transparent != 0);
    InterlCB->SetChecked(s.interlaced != 0);
    QScbar->SetPosition(s.quality);
    SlotState[k] = kIdle;
    OptimSlots[k] = ControlsSlot();
  }
  registry.CloseKey();
  // The controls show slot 0 as it now is.
  TabControl->SetTabIndex(0);
  PageChange(nullptr);
  SetActiveControl(nullptr);
}
