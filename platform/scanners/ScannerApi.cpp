#include "platform/scanners/ScannerApi.h"

#include <sane/sane.h>

#include <algorithm>

#include "platform/rtl/GlobalMemory.h"
#include "platform/rtl/RegistryApi.h"
#include "platform/scanners/SaneDevice.h"
#include "platform/scanners/ScanDialogs.h"

namespace {

// SANE started for the length of one call.
class SaneSession {
public:
  SaneSession() : started_(sane_init(nullptr, nullptr) == SANE_STATUS_GOOD) {}
  ~SaneSession() {
    if (started_) sane_exit();
  }
  SaneSession(const SaneSession&) = delete;
  SaneSession& operator=(const SaneSession&) = delete;
  bool Started() const { return started_; }

private:
  bool started_;
};

std::vector<std::string> DeviceNames() {
  std::vector<std::string> names;
  const SANE_Device** list = nullptr;
  if (sane_get_devices(&list, SANE_TRUE) != SANE_STATUS_GOOD || !list) return names;
  for (int i = 0; list[i]; ++i) names.push_back(list[i]->name);
  return names;
}

void RememberSource(const std::string& name) {
  HKEY key = nullptr;
  if (RegCreateKeyEx(HKEY_CURRENT_USER, kScannerKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return;
  RegSetValueEx(key, kScannerSourceValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                static_cast<DWORD>(name.size() + 1));
  RegCloseKey(key);
}

}  // namespace

std::string ChosenScannerSource() {
  HKEY key = nullptr;
  if (RegOpenKeyEx(HKEY_CURRENT_USER, kScannerKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return "";
  char value[1024] = {};
  DWORD size = sizeof(value) - 1;
  DWORD type = 0;
  const bool read = RegQueryValueEx(key, kScannerSourceValue, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
                        ERROR_SUCCESS && type == REG_SZ;
  RegCloseKey(key);
  return read ? std::string(value) : std::string();
}

std::vector<std::string> ScannerSources() {
  SaneSession sane;
  return sane.Started() ? DeviceNames() : std::vector<std::string>{};
}

int TWAIN_IsAvailable() {
  SaneSession sane;
  return sane.Started() ? 1 : 0;
}

int TWAIN_SelectImageSource(HWND owner) {
  SaneSession sane;
  if (!sane.Started()) return 0;
  const std::vector<std::string> sources = DeviceNames();
  if (sources.empty()) return 0;
  const auto at = std::find(sources.begin(), sources.end(), ChosenScannerSource());
  const int chosen = RunSourceDialog(owner, sources, at == sources.end() ? 0 : static_cast<int>(at - sources.begin()));
  if (chosen < 0 || static_cast<size_t>(chosen) >= sources.size()) return 0;
  RememberSource(sources[static_cast<size_t>(chosen)]);
  return 1;
}

HGLOBAL TWAIN_AcquireNative(HWND owner, unsigned) {
  SaneSession sane;
  if (!sane.Started()) return nullptr;
  // The chosen device while it is there, else the first.
  const std::vector<std::string> sources = DeviceNames();
  std::string name = ChosenScannerSource();
  if (std::find(sources.begin(), sources.end(), name) == sources.end()) name.clear();
  SaneDevice device(name);
  if (!device.Open()) return nullptr;
  ScanOptions options = device.Options();
  if (!RunScanOptionsDialog(owner, options)) return nullptr;
  device.Apply(options);
  HGLOBAL bitmap = nullptr;
  WithScanProgress(owner, [&](const std::function<bool(double)>& step) { bitmap = device.Scan(step); });
  return bitmap;
}

void TWAIN_FreeNative(HGLOBAL bitmap) {
  if (bitmap) GlobalFree(bitmap);
}
