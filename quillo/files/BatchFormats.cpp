#include "quillo/files/BatchFormats.h"

#include <bit>

#include "platform/rtl/SysUtils.h"
#include "quillo/base/Language.h"
#include "quillo/files/ImageFiles.h"

namespace {

struct DepthEntry {
  const char* key;
  int depth;
};

// In the order the depth list shows them; the adaptive entry comes last.
constexpr DepthEntry kDepths[] = {
    {"SOTC32", 32}, {"SOTC24", 24}, {"SOHC16", 16}, {"SOHC15", 15}, {"SO256", 8},
    {"SO16", 4},    {"SOGS", kGreyDepth}, {"SOMC", 1},
};
constexpr DepthEntry kAdaptive{"SOAD", kAdaptiveDepth};

bool Offers(const GFXFile* format, int depth) {
  if (depth == kGreyDepth) return format->grey_depths != 0;
  return (format->depths & (1u << (depth - 1))) != 0;
}

bool OffersAdaptive(const GFXFile* format) { return std::popcount(format->depths & 0xFFu) > 1; }

}  // namespace

std::vector<GFXFile*> BatchWritableFormats() {
  std::vector<GFXFile*> formats;
  for (GFXFile* f = GFXFile::Formats(); f != nullptr; f = f->next)
    if (f->depths != 0) formats.push_back(f);
  return formats;
}

AnsiString BatchFormatText(const GFXFile* format) {
  AnsiString filter;
  ImageFilterString(filter, true);
  // The save filter's entry up to the blank before "(*", as the save dialog shows it.
  const AnsiString entry = format->name + " (";
  const std::size_t at = filter.find(entry);
  return at == AnsiString::npos ? format->name : filter.substr(at, format->name.size());
}

GFXFile* BatchFormatNamed(const AnsiString& text) {
  for (GFXFile* f : BatchWritableFormats())
    if (BatchFormatText(f) == text) return f;
  return nullptr;
}

std::vector<AnsiString> BatchDepthTexts(const GFXFile* format) {
  std::vector<AnsiString> texts;
  for (const DepthEntry& d : kDepths)
    if (Offers(format, d.depth)) texts.push_back(LangMessage(d.key));
  if (OffersAdaptive(format)) texts.push_back(LangMessage(kAdaptive.key));
  return texts;
}

std::vector<BatchFormatChoice> BatchFormatChoices() {
  std::vector<BatchFormatChoice> choices;
  for (GFXFile* f : BatchWritableFormats()) choices.push_back({BatchFormatText(f), BatchDepthTexts(f)});
  return choices;
}

int ColorDepthOf(const AnsiString& text) {
  for (const DepthEntry& d : kDepths)
    if (LangMessage(d.key) == text) return d.depth;
  return kAdaptiveDepth;
}

bool IsPaletteDepth(int depth) { return depth == 8 || depth == 4 || depth == kGreyDepth || depth == kAdaptiveDepth; }

GFXSaveParams BatchSaveParams(const BatchSettings& s) {
  GFXSaveParams params;
  const int depth = ColorDepthOf(s.depth);
  params.grey = depth == kGreyDepth;
  params.bits = static_cast<signed char>(params.grey ? 8 : depth);
  params.quality = static_cast<uchar>(s.quality);
  params.interlaced = s.interlaced;
  params.colours = static_cast<short>(s.limit ? s.limitColours : 0);
  params.dither = s.dither;
  params.transparent = s.transparent;
  return params;
}

AnsiString BatchOutputExtension(const GFXFile* format) {
  AnsiString first = format->extensions.substr(0, format->extensions.find(';'));
  if (!first.empty()) first.erase(0, 1);
  return LowerCase(first);
}
