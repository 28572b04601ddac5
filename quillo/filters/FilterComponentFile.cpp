#include "quillo/filters/FilterComponentFile.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <span>

#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/RegularFile.h"
#include "quillo/base/ProgramFolder.h"
#include "quillo/filters/FormulaCompiler.h"

namespace {

constexpr char kTemplateMarker[] = {'F', 'F', 'C', 'D'};
constexpr char kMadeMarker[] = {'f', 'f', 'c', 'd'};
constexpr std::size_t kMarkerBytes = 4;
// The template reads no further than this from its marker, whatever zeros follow.
constexpr std::size_t kAreaBytes = 65536;
// No template of ours comes near this; a bigger file is not read into memory.
constexpr std::uintmax_t kMostTemplateBytes = 64u << 20;

// A text as one value of the description: nothing in it may end the line or start a key,
// nor, in a slider name, start a field.
std::string DescriptionText(const AnsiString& text, bool sliderName) {
  std::string value = text;
  for (char& c : value)
    if (c == '\r' || c == '\n' || c == '=' || c == '\0' || (sliderName && c == ',')) c = ' ';
  return value;
}

void AppendCount(std::string& bytes, std::size_t count) {
  for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<char>((count >> shift) & 0xFF));
}

void AppendCode(std::string& bytes, std::span<const std::uint8_t> code) {
  bytes.append(reinterpret_cast<const char*>(code.data()), code.size());
}

bool ReadTemplate(const AnsiString& path, std::string& bytes) {
  RegularFileText file = ReadRegularFile(path, static_cast<std::int64_t>(kMostTemplateBytes));
  if (file.outcome != RegularFileText::Outcome::Read) return false;
  bytes = std::move(file.text);
  return true;
}

}  // namespace

AnsiString FilterComponentTemplatePath() { return ProgramFolder() + "ffqlc.qlc"; }

std::string FilterComponentDescription(const FormulaFilter& filter) {
  std::string text = "Ver=2.65\rName=" + DescriptionText(filter.title, false) + "\rCopyright=" +
                     DescriptionText(filter.copyright, false) + "\rContact=" + DescriptionText(filter.author, false) +
                     "\rOpt=PW\r";
  // The host reads options up to the first missing number, and a slider's value reaches the
  // component only through its option: so every slider up to the last that matters has one.
  int options = 0;
  for (int k = 0; k < kFilterSliders; ++k)
    if (!filter.names[k].empty() || filter.values[k] != 0) options = k + 1;
  for (int k = 0; k < options; ++k) {
    const int value = std::clamp(filter.values[k], 0, 255);
    const bool named = !filter.names[k].empty();
    // Level digit 3 is shown to nobody.
    text += "Par" + std::to_string(k + 1) + (named ? "=S," : "=S3,") + DescriptionText(filter.names[k], true) +
            ",0,255," + std::to_string(value) + "\r";
  }
  return text;
}

std::optional<FilterComponentArea> FindFilterComponentArea(const std::string& templateBytes) {
  if (templateBytes.size() < kMarkerBytes) return std::nullopt;
  for (std::size_t at = templateBytes.size() - kMarkerBytes + 1; at-- > 0;) {
    if (std::memcmp(templateBytes.data() + at, kTemplateMarker, kMarkerBytes) != 0) continue;
    std::size_t end = at + kMarkerBytes;
    const std::size_t last = std::min(templateBytes.size(), at + kAreaBytes);
    while (end < last && templateBytes[end] == '\0') ++end;
    return FilterComponentArea{at, end - at};
  }
  return std::nullopt;
}

std::optional<std::string> MakeFilterComponent(const std::string& templateBytes, const CompiledFormula& compiled,
                                               const FormulaFilter& filter) {
  const std::optional<FilterComponentArea> area = FindFilterComponentArea(templateBytes);
  if (!area) return std::nullopt;
  std::string written(kMadeMarker, kMarkerBytes);
  const std::array<std::span<const std::uint8_t>, 5> routines = {compiled.SetupCode(), compiled.ChannelCode(0),
                                                                 compiled.ChannelCode(1), compiled.ChannelCode(2),
                                                                 compiled.ChannelCode(3)};
  for (const auto& code : routines) AppendCount(written, code.size());
  for (const auto& code : routines) AppendCode(written, code);
  written += FilterComponentDescription(filter);
  // The template finds the description's end at the first zero after it.
  if (written.size() + 1 > area->length) return std::nullopt;
  std::string made = templateBytes;
  made.replace(area->offset, written.size(), written);
  return made;
}

bool WriteFilterComponent(const AnsiString& target, const AnsiString& templatePath, const CompiledFormula& compiled,
                          const FormulaFilter& filter) {
  std::string templateBytes;
  if (!ReadTemplate(templatePath, templateBytes)) return false;
  const std::optional<std::string> made = MakeFilterComponent(templateBytes, compiled, filter);
  if (!made) return false;
  try {
    AtomicFile::WriteFile(target, *made);
  } catch (const Exception&) {
    return false;
  }
  return true;
}
