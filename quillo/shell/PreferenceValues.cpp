#include "quillo/shell/PreferenceValues.h"

#include <sys/statvfs.h>

#include <algorithm>
#include <cstdio>
#include <limits>

#include "platform/rtl/SysUtils.h"
#include "quillo/base/Language.h"
#include "vorlen/core/Buffer.h"

namespace {

constexpr std::int64_t Megabyte = 1024 * 1024;

// The folder itself, else the nearest parent that exists.
bool StatNearest(const AnsiString& folder, struct statvfs& st) {
  AnsiString path = folder;
  while (!path.empty()) {
    if (statvfs(path.c_str(), &st) == 0) return true;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    const auto cut = path.rfind('/');
    if (cut == AnsiString::npos || path == "/") return false;
    path = cut == 0 ? AnsiString("/") : path.substr(0, cut);
  }
  return false;
}

AnsiString WithoutFinalSeparators(AnsiString folder) {
  while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
  return folder;
}

}  // namespace

AnsiString GammaText(int hundredths) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", hundredths * 0.01);
  return text;
}

void DrawGammaPattern(Buffer& pattern, int width, int height, std::uint32_t middle, std::uint32_t full) {
  pattern.Alloc(Pair<int>(width, height));
  for (int y = 0; y < height; ++y) {
    uint* row = pattern.At(0, y);
    const bool middleRow = y >= height / 4 && y <= 3 * height / 4;
    for (int x = 0; x < width; ++x) {
      const bool inMiddle = middleRow && x >= width / 4 && x <= 3 * width / 4;
      row[x] = inMiddle ? middle : ((x + y) % 2 != 0 ? full : 0);
    }
  }
}

std::int64_t FreeSpaceMB(const AnsiString& folder) {
  struct statvfs st;
  if (!StatNearest(folder, st)) return -1;
  return static_cast<std::int64_t>(st.f_bavail) * static_cast<std::int64_t>(st.f_frsize) / Megabyte;
}

std::int64_t FileSystemSizeMB(const AnsiString& folder) {
  struct statvfs st;
  if (!StatNearest(folder, st)) return -1;
  return static_cast<std::int64_t>(st.f_blocks) * static_cast<std::int64_t>(st.f_frsize) / Megabyte;
}

AnsiString FreeSpaceText(const AnsiString& folder) {
  const std::int64_t mb = FreeSpaceMB(folder);
  return mb < 0 ? LangMessage("N/A") : AnsiString(std::to_string(mb) + " MB");
}

AnsiString FolderWithSeparator(const AnsiString& text) {
  if (text.empty() || text.back() == '/') return text;
  if (text.back() == '\\') return text.substr(0, text.size() - 1) + "/";
  return text + "/";
}

bool SameFolder(const AnsiString& a, const AnsiString& b) {
  return WithoutFinalSeparators(a) == WithoutFinalSeparators(b);
}

int BudgetMB(std::int64_t kb) {
  return static_cast<int>(std::clamp<std::int64_t>(kb / 1024, 0, std::numeric_limits<int>::max()));
}

int BudgetFieldMaximum(std::int64_t machineMB, std::int64_t presentKB) {
  const std::int64_t most = std::max<std::int64_t>({machineMB, presentKB / 1024, 1});
  return static_cast<int>(std::min<std::int64_t>(most, std::numeric_limits<int>::max()));
}
