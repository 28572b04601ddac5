#pragma once
// The scanner service's own texts, as its windows show them.

namespace ScannerText {
inline constexpr const char* SelectSource = "Select Source";
inline constexpr const char* Sources = "&Sources:";
inline constexpr const char* Select = "&Select";
inline constexpr const char* Options = "Scan";
inline constexpr const char* Mode = "&Mode:";
inline constexpr const char* Resolution = "&Resolution (dpi):";
inline constexpr const char* Area = "Area (mm)";
inline constexpr const char* Left = "&Left:";
inline constexpr const char* Top = "&Top:";
inline constexpr const char* Right = "R&ight:";
inline constexpr const char* Bottom = "&Bottom:";
inline constexpr const char* Scan = "&Scan";
inline constexpr const char* Scanning = "Scanning";
inline constexpr const char* Cancel = "Cancel";
}  // namespace ScannerText
