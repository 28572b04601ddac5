#pragma once
// The scanner service's windows: the source list, the window of a device's main options
// (mode, resolution, area) with Scan and Cancel, and the progress of a scan with Cancel.

#include <functional>
#include <string>
#include <vector>

#include "platform/scanners/SaneDevice.h"
#include "platform/user/User.h"

// Control identifiers of the windows.
constexpr int kScanSourceList = 1301, kScanModeCombo = 1302, kScanResolutionEdit = 1303, kScanLeftEdit = 1304,
              kScanTopEdit = 1305, kScanRightEdit = 1306, kScanBottomEdit = 1307, kScanProgressBar = 1308;

// The chosen source's index; -1 on Cancel.
int RunSourceDialog(HWND owner, const std::vector<std::string>& sources, int current);
// The options as the user left them; false on Cancel.
bool RunScanOptionsDialog(HWND owner, ScanOptions& options);
// Runs work with a progress window whose Cancel makes the step answer false; work gets the
// step to call with the fraction done.
void WithScanProgress(HWND owner, const std::function<void(const std::function<bool(double)>&)>& work);
