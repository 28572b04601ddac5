#include "quillo/tools/PaletteFile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "platform/rtl/RegularFile.h"

namespace {

// No palette file is anywhere near this; a larger one is refused unread.
constexpr std::int64_t kMostPaletteBytes = 1 << 20;

}  // namespace

PaletteArray PaletteColors{};
AnsiString PaletteFile;

PaletteArray DefaultPalette() {
  PaletteArray p{};
  static constexpr std::uint32_t basic[16] = {0x000000, 0x00FFFF, 0x0000FF, 0xFF00FF, 0x00FF00, 0xFFFF00,
                                              0xFF0000, 0xFFFFFF, 0x808080, 0x008080, 0x000080, 0x800080,
                                              0x008000, 0x808000, 0x800000, 0xAAAAAA};
  std::copy(std::begin(basic), std::end(basic), p.begin());
  // Each ramp's step and its cap: k = 16 gives the pure colour, not one step beyond it.
  static constexpr std::uint32_t steps[7][2] = {{16, 0xFF},           {0x1000, 0xFF00},       {0x1010, 0xFFFF},
                                                {0x100000, 0xFF0000}, {0x100010, 0xFF00FF},   {0x101000, 0xFFFF00},
                                                {0x101010, 0xFFFFFF}};
  for (int r = 1; r <= 7; ++r)
    for (std::uint32_t k = 1; k <= 16; ++k)
      p[static_cast<std::size_t>(16 * r + static_cast<int>(k) - 1)] = std::min(steps[r - 1][0] * k, steps[r - 1][1]);
  for (std::uint32_t j = 0; j < 32; ++j) {
    const std::uint32_t u = j * 255 / 31;
    const std::uint32_t d = (31 - j) * 255 / 31;
    p[128 + j] = (u << 16) | d;
    p[160 + j] = (d << 16) | (u << 8);
    p[192 + j] = (u << 16) | 0xFF00;
    p[224 + j] = (d << 16) | (d << 8) | u;
  }
  return p;
}

namespace {

// Reads numbers the way the C library's formatted input does: whitespace skipped, an
// optional sign, then digits; a field that does not read consumes nothing of its digits, so
// every later field fails at the same place.
class NumberScanner {
public:
  explicit NumberScanner(const std::string& text) : text_(text) {}

  std::optional<long long> Decimal() { return Number(10); }
  std::optional<long long> Hex() { return Number(16); }

private:
  std::optional<long long> Number(int base) {
    while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
    std::size_t p = pos_;
    bool negative = false;
    if (p < text_.size() && (text_[p] == '+' || text_[p] == '-')) negative = text_[p++] == '-';
    if (base == 16 && p + 1 < text_.size() && text_[p] == '0' && (text_[p + 1] == 'x' || text_[p + 1] == 'X') &&
        p + 2 < text_.size() && std::isxdigit(static_cast<unsigned char>(text_[p + 2])))
      p += 2;
    const std::size_t first = p;
    unsigned long long value = 0;
    for (; p < text_.size(); ++p) {
      const int digit = DigitValue(text_[p], base);
      if (digit < 0) break;
      // Large numbers saturate rather than wrap; no palette count or colour needs them.
      value = std::min<unsigned long long>(value * static_cast<unsigned>(base) + static_cast<unsigned>(digit),
                                           0xFFFFFFFFFFull);
    }
    if (p == first) return std::nullopt;
    pos_ = p;
    const auto v = static_cast<long long>(value);
    return negative ? -v : v;
  }

  static int DigitValue(char c, int base) {
    if (c >= '0' && c <= '9') return c - '0';
    if (base == 16 && c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  }

  const std::string& text_;
  std::size_t pos_ = 0;
};

}  // namespace

std::optional<PaletteFileContents> ReadPaletteFile(const AnsiString& fileName, AnsiString* refusal) {
  const RegularFileText file = ReadRegularFile(fileName, kMostPaletteBytes);
  if (file.outcome == RegularFileText::Outcome::Read) return ParsePaletteFile(file.text);
  if (refusal != nullptr && file.outcome == RegularFileText::Outcome::Refused) *refusal = file.Message(fileName);
  return std::nullopt;
}

std::optional<PaletteFileContents> ParsePaletteFile(const std::string& bytes) {
  PaletteFileContents contents;
  if (bytes.size() == RawPaletteBytes) {
    contents.raw = true;
    for (std::size_t i = 0; i < RawPaletteBytes; i += 3) {
      const auto r = static_cast<unsigned char>(bytes[i]);
      const auto g = static_cast<unsigned char>(bytes[i + 1]);
      const auto b = static_cast<unsigned char>(bytes[i + 2]);
      contents.cells.emplace_back(static_cast<std::uint32_t>(r << 16 | g << 8 | b));
    }
    return contents;
  }
  NumberScanner scanner(bytes);
  const std::optional<long long> count = scanner.Decimal();
  // A negative count is no palette; a count beyond the grid reads the grid's cells only.
  if (!count || *count < 0) return std::nullopt;
  const long long cells = std::min<long long>(*count, PaletteCellCount);
  for (long long i = 0; i < cells; ++i) {
    const std::optional<long long> entry = scanner.Hex();
    if (entry) contents.cells.emplace_back(static_cast<std::uint32_t>(*entry));
    else contents.cells.emplace_back(std::nullopt);
  }
  return contents;
}

std::string PaletteFileText(const PaletteArray& colours) {
  std::string text = std::to_string(PaletteCellCount) + "\n";
  char line[16];
  for (std::uint32_t c : colours) {
    std::snprintf(line, sizeof line, "%06X\n", c & 0xFFFFFFu);
    text += line;
  }
  return text;
}

void ApplyPaletteFile(const PaletteFileContents& contents, PaletteArray& colours) {
  if (contents.raw) colours = DefaultPalette();
  for (std::size_t i = 0; i < contents.cells.size() && i < colours.size(); ++i)
    if (contents.cells[i]) colours[i] = *contents.cells[i];
}
