#include "platform/rtl/RegistrySystemValues.h"

#include <array>

#include "platform/rtl/RegistryApi.h"
#include "platform/rtl/SettingsFolder.h"
#include "platform/rtl/SysUtils.h"

namespace {

// Where setup keeps the boot files; "BootDir" names the folder of the start-up screen.
constexpr std::array<const char*, 5> kSetupKey = {"Software", "Microsoft", "Windows", "CurrentVersion", "Setup"};

bool IsSetupKey(RegRoot root, const RegPath& path) {
  if (root != RegRoot::LocalMachine || path.size() != kSetupKey.size()) return false;
  for (size_t i = 0; i < path.size(); ++i)
    if (!SameText(path[i], kSetupKey[i])) return false;
  return true;
}

}  // namespace

bool IsSystemKey(RegRoot root, const RegPath& path) { return IsSetupKey(root, path); }

bool SystemValue(RegRoot root, const RegPath& path, const AnsiString& name, DWORD* type, std::string* data) {
  if (!IsSetupKey(root, path) || !SameText(name, "BootDir")) return false;
  // The boot files live in the Windows folder here; the separator ends the folder as setup
  // writes it, so that a file name can follow directly.
  *type = REG_SZ;
  *data = WindowsFolder() + "/";
  data->push_back('\0');
  return true;
}
