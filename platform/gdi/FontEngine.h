#pragma once
// Realized fonts: a LOGFONT matched to a font file through Fontconfig, sized and rendered
// with FreeType. Metrics follow the font's Windows metrics (the OS/2 table's Windows ascent
// and descent), so metric-compatible free fonts measure as the fonts they stand in for.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/Gdi.h"

struct GlyphImage {
  int left = 0;    // ink's left edge relative to the pen position
  int top = 0;     // ink's top edge above the baseline
  int width = 0;
  int rows = 0;
  std::vector<std::uint8_t> coverage;  // 0..255 a pixel
};

class RealizedFont {
public:
  ~RealizedFont();
  RealizedFont(const RealizedFont&) = delete;
  RealizedFont& operator=(const RealizedFont&) = delete;

  const TEXTMETRIC& Metrics() const { return metrics_; }
  const std::string& FaceName() const { return faceName_; }
  int Advance(std::uint32_t codepoint);
  ABC AbcWidths(std::uint32_t codepoint);
  ABCFLOAT AbcWidthsFloat(std::uint32_t codepoint);
  const GlyphImage& Glyph(std::uint32_t codepoint, bool antialiased);
  int UnderlinePosition() const { return underlinePos_; }  // below the baseline
  int StrikeoutPosition() const { return strikePos_; }     // above the baseline
  int LineThickness() const { return lineThickness_; }
  // Whether the face has a glyph of its own for the character.
  bool Covers(std::uint32_t codepoint) { return GlyphIndex(codepoint) != 0; }

  // The realized font for a logical font; realized fonts are kept for the process.
  static RealizedFont* ForLogFont(const LOGFONT& font);

private:
  RealizedFont() = default;
  struct GlyphMetrics {
    int advance = 0;
    double bearing = 0;  // unhinted left bearing and ink width, in pixels
    double ink = 0;
    int hintedLeft = 0;
    int hintedWidth = 0;
  };
  bool Load(const LOGFONT& font);
  unsigned GlyphIndex(std::uint32_t codepoint);
  const GlyphMetrics& MetricsOf(std::uint32_t codepoint);
  void RenderGlyph(std::uint32_t codepoint, bool antialiased, GlyphImage& out);

  struct FaceHandle;
  std::unique_ptr<FaceHandle> face_;
  TEXTMETRIC metrics_;
  std::string faceName_;
  bool syntheticItalic_ = false;
  bool syntheticBold_ = false;
  int underlinePos_ = 1;
  int strikePos_ = 4;
  int lineThickness_ = 1;
  std::map<std::uint32_t, GlyphMetrics> glyphMetrics_;
  std::map<std::uint64_t, GlyphImage> glyphs_;
};

// Decodes text bytes: UTF-8 where the bytes are valid UTF-8, else each byte as Windows-1252.
// Each code point is paired with the index of its first byte.
struct DecodedChar {
  std::uint32_t codepoint;
  int byteIndex;
};
std::vector<DecodedChar> DecodeText(const char* text, int length);

// The scalable font families installed, by name, sorted without regard to case.
std::vector<std::string> InstalledFontFamilies();

// A style of an installed family: the font's own name for it ("Book", "Oblique", "Bold"...),
// its weight on the Windows scale (400 regular, 700 bold) and whether it slants.
struct FontStyleInfo {
  std::string name;
  int weight = 400;
  bool italic = false;
};
// The styles of normal width of the family a face name resolves to, as installed (no
// simulated ones); empty when the name resolves to nothing.
std::vector<FontStyleInfo> InstalledFontStyles(const std::string& face);

// The file a face name resolves to (for tests and diagnostics), "" when none.
std::string ResolveFontFile(const LOGFONT& font);
