#pragma once
// The scanner library's interface, over SANE: whether scanning is there at all, the choice of
// the source (kept under the registry key below), and one acquisition into a packed
// device-independent bitmap in global memory (header, colour table, bits).

#include <string>
#include <vector>

#include "platform/rtl/WinTypes.h"
#include "platform/user/User.h"

inline constexpr const char* kScannerKey = "Software\\Scanner";
inline constexpr const char* kScannerSourceValue = "Source";

// Non-zero when the scanner library starts.
int TWAIN_IsAvailable();
// Lets the user choose among the devices; non-zero when one was chosen.
int TWAIN_SelectImageSource(HWND owner);
// Opens the chosen device (else the first), asks for its options, scans with progress and
// Cancel, and answers the bitmap (1-bit, 8-bit grey with a grey palette, or 24-bit), or 0 when
// cancelled or failed.
HGLOBAL TWAIN_AcquireNative(HWND owner, unsigned pixelTypes);
void TWAIN_FreeNative(HGLOBAL bitmap);

// The names of the devices SANE finds, and the one chosen (empty when none was).
std::vector<std::string> ScannerSources();
std::string ChosenScannerSource();
