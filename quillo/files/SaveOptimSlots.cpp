#include "quillo/files/SaveOptimSlots.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cstdio>

#include "platform/rtl/SysUtils.h"
#include "quillo/files/ImageFiles.h"

std::array<OptimSlot, kOptimSlotCount> OptimSlots{};
OptimSlot SaveOptimResult{};
int SavedLeft = -1;
int SavedTop = 0;
bool OptimCancelRequested = false;

namespace {

constexpr int kLeastColours = 2;
constexpr int kMostColours = 256;
constexpr int kLeastQuality = 1;
constexpr int kMostQuality = 100;
constexpr int kFirstQuality = 75;
constexpr int kQualityStep = 10;
constexpr size_t kLongestName = 255;
constexpr int kStoredNumbers = 7;

bool HasDepthBit(const GFXFile* format, int bits) { return (format->depths & (1ul << (bits - 1))) != 0; }

}  // namespace

OptimSlot FirstRunSlot(int slot, int defaultType) {
  OptimSlot s;
  s.typeIndex = defaultType;
  s.quality = kFirstQuality - kQualityStep * slot;
  return s;
}

std::vector<OptimDepth> DepthsOf(const GFXFile* format) {
  std::vector<OptimDepth> depths;
  if (format == nullptr) return depths;
  const struct {
    OptimDepth depth;
    int bit;
  } plain[] = {{{"SOTC32", 32}, 32}, {{"SOTC24", 24}, 24}, {{"SOHC16", 16}, 16},
               {{"SOHC15", 15}, 15}, {{"SO256", 8}, 8},   {{"SO16", 4}, 4}};
  for (const auto& p : plain)
    if (HasDepthBit(format, p.bit)) depths.push_back(p.depth);
  if (format->grey_depths != 0) depths.push_back({"SOGS", kDepthGrey});
  if (HasDepthBit(format, 1)) depths.push_back({"SOMC", 1});
  if (std::popcount(static_cast<unsigned>(format->depths & 0xFF)) >= 2) depths.push_back({"SOAD", kDepthAdaptive});
  return depths;
}

void ApplyDepthCode(int code, GFXSaveParams& params) {
  params.grey = code == kDepthGrey;
  params.bits = static_cast<signed char>(code == kDepthGrey ? 8 : code);
}

bool DepthTakesLimit(int code) { return code == 8 || code == 4 || code == kDepthGrey || code == kDepthAdaptive; }

GFXFile* WritableFormat(int index) {
  if (index < 0) return nullptr;
  for (GFXFile* f = GFXFile::Formats(); f != nullptr; f = f->next)
    if (f->depths != 0 && index-- == 0) return f;
  return nullptr;
}

std::vector<AnsiString> OptimTypeNames() {
  AnsiString filter;
  ImageFilterString(filter, true);
  std::vector<AnsiString> names;
  size_t start = 0;
  // Entries come in pairs, "description|patterns|"; the description ends before " (*".
  for (int field = 0; start < filter.size(); ++field) {
    size_t bar = filter.find('|', start);
    if (bar == AnsiString::npos) bar = filter.size();
    if (field % 2 == 0) {
      AnsiString description = filter.substr(start, bar - start);
      const size_t open = description.find("(*");
      if (open != AnsiString::npos) description = description.substr(0, open > 0 ? open - 1 : 0);
      names.push_back(description);
    }
    start = bar + 1;
  }
  return names;
}

AnsiString FirstExtensionWithDot(const GFXFile* format) {
  if (format == nullptr) return {};
  AnsiString ext = format->extensions;
  const size_t semicolon = ext.find(';');
  if (semicolon != AnsiString::npos) ext = ext.substr(0, semicolon);
  return ext.empty() ? ext : ext.substr(1);
}

GFXSaveParams SlotSaveParams(const OptimSlot& slot, int depthCode) {
  GFXSaveParams params;
  ApplyDepthCode(depthCode, params);
  params.quality = static_cast<uchar>(std::clamp(slot.quality, kLeastQuality, kMostQuality));
  params.interlaced = slot.interlaced != 0;
  params.colours = static_cast<short>(slot.limit != 0 ? std::clamp(slot.colours, kLeastColours, kMostColours) : 0);
  params.dither = slot.dither != 0;
  params.transparent = slot.transparent != 0;
  return params;
}

AnsiString SlotValueText(const AnsiString& typeName, int depthCode, const OptimSlot& slot) {
  return typeName + "@" + IntToStr(depthCode) + "@" + IntToStr(slot.limit) + "@" + IntToStr(slot.colours) + "@" +
         IntToStr(slot.dither) + "@" + IntToStr(slot.transparent) + "@" + IntToStr(slot.interlaced) + "@" +
         IntToStr(slot.quality);
}

std::optional<StoredSlot> ParseSlotValue(const AnsiString& text) {
  const size_t at = text.find('@');
  if (at == AnsiString::npos) return std::nullopt;
  int n[kStoredNumbers] = {};
  int used = 0;
  const AnsiString numbers = text.substr(at + 1);
  if (std::sscanf(numbers.c_str(), "%d@%d@%d@%d@%d@%d@%d%n", &n[0], &n[1], &n[2], &n[3], &n[4], &n[5], &n[6], &used) !=
          kStoredNumbers ||
      static_cast<size_t>(used) != numbers.size())
    return std::nullopt;
  StoredSlot stored;
  stored.typeName = text.substr(0, at);
  stored.depthCode = n[0];
  const auto flag = [](int v) { return v != 0 ? 1 : 0; };
  stored.settings.limit = flag(n[1]);
  stored.settings.colours = std::clamp(n[2], kLeastColours, kMostColours);
  stored.settings.dither = flag(n[3]);
  stored.settings.transparent = flag(n[4]);
  stored.settings.interlaced = flag(n[5]);
  stored.settings.quality = std::clamp(n[6], kLeastQuality, kMostQuality);
  return stored;
}

AnsiString CleanConfigName(const AnsiString& typed, int& caret) {
  AnsiString name = typed;
  for (size_t i = name.size(); i-- > 1;)
    if (name[i - 1] == ' ') name[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[i])));
  if (name.size() > kLongestName) name.resize(kLongestName);
  caret = std::clamp(caret, 0, static_cast<int>(name.size()));
  AnsiString kept;
  int keptCaret = caret;
  for (size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '@' || name[i] == '\\') {
      if (static_cast<int>(i) < caret) --keptCaret;
      continue;
    }
    kept += name[i];
  }
  caret = keptCaret;
  return kept;
}
