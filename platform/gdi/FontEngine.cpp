#include "platform/gdi/FontEngine.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/rtl/Everlasting.h"
#include "platform/rtl/SysUtils.h"

namespace {

FT_Library Library() {
  static FT_Library library = [] {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) lib = nullptr;
    return lib;
  }();
  return library;
}

// The free families that stand in for the Windows faces by the same metrics.
const char* SubstituteFamily(const std::string& face, BYTE pitchAndFamily) {
  static const std::map<std::string, const char*> known = {
      {"arial", "Liberation Sans"},          {"ms sans serif", "Liberation Sans"},
      {"microsoft sans serif", "Liberation Sans"}, {"ms shell dlg", "Liberation Sans"},
      {"ms shell dlg 2", "Liberation Sans"}, {"system", "Liberation Sans"},
      {"tahoma", "Liberation Sans"},         {"helvetica", "Liberation Sans"},
      {"times new roman", "Liberation Serif"}, {"times", "Liberation Serif"},
      {"ms serif", "Liberation Serif"},      {"courier new", "Liberation Mono"},
      {"courier", "Liberation Mono"},        {"fixedsys", "Liberation Mono"},
      {"terminal", "Liberation Mono"},       {"lucida console", "Liberation Mono"}};
  auto it = known.find(LowerCase(face));
  if (it != known.end()) return it->second;
  if (!face.empty()) return nullptr;
  if ((pitchAndFamily & 0x03) == FIXED_PITCH || (pitchAndFamily & 0xF0) == FF_MODERN) return "Liberation Mono";
  if ((pitchAndFamily & 0xF0) == FF_ROMAN) return "Liberation Serif";
  return "Liberation Sans";
}

struct Match {
  std::string file;
  int index = 0;
  bool bold = false;
  bool italic = false;
};

bool FontconfigReady() {
  static const bool ready = [] {
    if (!FcInit()) return false;
    std::atexit(FcFini);  // frees its caches, so leak checks see only ours
    return true;
  }();
  return ready;
}

// The classic weights of the lower-case letters (and the space) in an average width.
double WeightedAverageWidth(FT_Face f) {
  static const int kWeights[27] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6, 35, 20, 56,
                                   56, 17, 4,  49, 56, 71,  31, 10, 18, 3,  18, 2, 166};
  double sum = 0;
  for (int i = 0; i < 27; ++i) {
    FT_ULong ch = i < 26 ? 'a' + i : ' ';
    if (FT_Load_Char(f, ch, FT_LOAD_NO_SCALE) != 0) return 0;
    sum += f->glyph->advance.x * kWeights[i];
  }
  return sum / 1000.0;
}

Match MatchFont(const LOGFONT& font) {
  Match m;
  if (!FontconfigReady()) return m;
  std::string face(font.lfFaceName, strnlen(font.lfFaceName, LF_FACESIZE));
  const char* family = SubstituteFamily(face, font.lfPitchAndFamily);
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family ? family : face.c_str()));
  bool wantBold = font.lfWeight >= FW_SEMIBOLD;
  FcPatternAddInteger(pattern, FC_WEIGHT, wantBold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, font.lfItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* found = FcFontMatch(nullptr, pattern, &result);
  if (found) {
    FcChar8* file = nullptr;
    int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
    if (FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch) m.file = reinterpret_cast<char*>(file);
    FcPatternGetInteger(found, FC_INDEX, 0, &m.index);
    FcPatternGetInteger(found, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(found, FC_SLANT, 0, &slant);
    m.bold = weight >= FC_WEIGHT_DEMIBOLD;
    m.italic = slant != FC_SLANT_ROMAN;
    FcPatternDestroy(found);
  }
  FcPatternDestroy(pattern);
  return m;
}

std::string FontKey(const LOGFONT& f) {
  std::string key = LowerCase(std::string(f.lfFaceName, strnlen(f.lfFaceName, LF_FACESIZE)));
  for (long part : {static_cast<long>(f.lfHeight), static_cast<long>(f.lfWidth), static_cast<long>(f.lfWeight >= FW_SEMIBOLD),
                    static_cast<long>(f.lfItalic != 0), static_cast<long>(f.lfPitchAndFamily)}) {
    key += '|';
    key += std::to_string(part);
  }
  return key;
}

int Ceil(double v) { return static_cast<int>(std::ceil(v - 1e-6)); }
int Round(double v) { return static_cast<int>(std::lround(v)); }

}  // namespace

struct RealizedFont::FaceHandle {
  FT_Face face = nullptr;
  ~FaceHandle() {
    if (face) FT_Done_Face(face);
  }
};

RealizedFont::~RealizedFont() = default;

std::string ResolveFontFile(const LOGFONT& font) { return MatchFont(font).file; }

std::vector<std::string> InstalledFontFamilies() {
  std::vector<std::string> names;
  if (!FontconfigReady()) return names;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcObjectSet* fields = FcObjectSetBuild(FC_FAMILY, nullptr);
  FcFontSet* set = FcFontList(nullptr, pattern, fields);
  for (int i = 0; set && i < set->nfont; ++i) {
    FcChar8* family = nullptr;
    if (FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &family) == FcResultMatch)
      names.emplace_back(reinterpret_cast<char*>(family));
  }
  if (set) FcFontSetDestroy(set);
  FcObjectSetDestroy(fields);
  FcPatternDestroy(pattern);
  return names;
}

namespace {

// The installed family a face name comes to (a Windows name through its stand-in).
std::string ResolvedFamily(const std::string& face) {
  const char* family = SubstituteFamily(face, DEFAULT_PITCH);
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family ? family : face.c_str()));
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  std::string resolved;
  if (FcPattern* found = FcFontMatch(nullptr, pattern, &result)) {
    FcChar8* name = nullptr;
    if (FcPatternGetString(found, FC_FAMILY, 0, &name) == FcResultMatch) resolved = reinterpret_cast<char*>(name);
    FcPatternDestroy(found);
  }
  FcPatternDestroy(pattern);
  return resolved;
}

}  // namespace

std::vector<FontStyleInfo> InstalledFontStyles(const std::string& face) {
  std::vector<FontStyleInfo> styles;
  if (face.empty() || !FontconfigReady()) return styles;
  std::string family = ResolvedFamily(face);
  if (family.empty()) return styles;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcObjectSet* fields = FcObjectSetBuild(FC_STYLE, FC_WEIGHT, FC_SLANT, FC_WIDTH, nullptr);
  FcFontSet* set = FcFontList(nullptr, pattern, fields);
  for (int i = 0; set && i < set->nfont; ++i) {
    int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN, width = FC_WIDTH_NORMAL;
    FcPatternGetInteger(set->fonts[i], FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(set->fonts[i], FC_SLANT, 0, &slant);
    FcPatternGetInteger(set->fonts[i], FC_WIDTH, 0, &width);
    if (width != FC_WIDTH_NORMAL) continue;
    FcChar8* name = nullptr;
    FontStyleInfo style;
    if (FcPatternGetString(set->fonts[i], FC_STYLE, 0, &name) == FcResultMatch) style.name = reinterpret_cast<char*>(name);
    style.weight = FcWeightToOpenType(weight);
    style.italic = slant != FC_SLANT_ROMAN;
    styles.push_back(style);
  }
  if (set) FcFontSetDestroy(set);
  FcObjectSetDestroy(fields);
  FcPatternDestroy(pattern);
  return styles;
}

RealizedFont* RealizedFont::ForLogFont(const LOGFONT& font) {
  // Fonts realised for windows and bitmaps that are freed at the program's end.
  static Everlasting<std::map<std::string, std::unique_ptr<RealizedFont>>> cache;
  std::string key = FontKey(font);
  auto it = cache->find(key);
  if (it != cache->end()) return it->second.get();
  std::unique_ptr<RealizedFont> realized(new RealizedFont());
  if (!realized->Load(font)) return nullptr;
  RealizedFont* raw = realized.get();
  cache->emplace(key, std::move(realized));
  return raw;
}

bool RealizedFont::Load(const LOGFONT& font) {
  Match match = MatchFont(font);
  if (match.file.empty() || !Library()) return false;
  face_ = std::make_unique<FaceHandle>();
  if (FT_New_Face(Library(), match.file.c_str(), match.index, &face_->face) != 0) return false;
  FT_Face f = face_->face;
  faceName_ = f->family_name ? f->family_name : "";
  syntheticBold_ = font.lfWeight >= FW_SEMIBOLD && !match.bold;
  syntheticItalic_ = font.lfItalic && !match.italic;
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
  auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(f, FT_SFNT_HHEA));
  double upem = f->units_per_EM ? f->units_per_EM : 2048;
  double winAscent = os2 ? os2->usWinAscent : f->ascender;
  double winDescent = os2 ? os2->usWinDescent : -f->descender;
  // A negative height is the em size, a positive one the cell height (ascent + descent).
  LONG h = font.lfHeight == 0 ? -13 : font.lfHeight;
  int ppem = h < 0 ? -h : std::max(1, Round(h * upem / (winAscent + winDescent)));
  if (FT_Set_Pixel_Sizes(f, 0, static_cast<FT_UInt>(ppem)) != 0) return false;
  double scale = ppem / upem;
  TEXTMETRIC& tm = metrics_;
  tm.tmAscent = Ceil(winAscent * scale);
  tm.tmDescent = Ceil(winDescent * scale);
  if (h > 0 && tm.tmAscent + tm.tmDescent != h) tm.tmDescent = std::max<LONG>(0, h - tm.tmAscent);
  tm.tmHeight = tm.tmAscent + tm.tmDescent;
  tm.tmInternalLeading = std::max<LONG>(0, tm.tmHeight - ppem);
  if (hhea) {
    double gap = hhea->Line_Gap - ((winAscent + winDescent) - (hhea->Ascender - hhea->Descender));
    tm.tmExternalLeading = std::max(0, Round(gap * scale));
  }
  // The weighted letter average, as the Windows fonts' tables give it (newer tables
  // average every glyph, which makes the free fonts look wider than they measure).
  double average = WeightedAverageWidth(f);
  if (average <= 0) average = os2 ? os2->xAvgCharWidth : upem / 2;
  tm.tmAveCharWidth = Round(average * scale);
  tm.tmMaxCharWidth = Round((f->bbox.xMax - f->bbox.xMin) * scale);
  tm.tmWeight = font.lfWeight == FW_DONTCARE ? FW_NORMAL : font.lfWeight;
  tm.tmItalic = font.lfItalic ? 255 : 0;
  tm.tmUnderlined = font.lfUnderline ? 255 : 0;
  tm.tmStruckOut = font.lfStrikeOut ? 255 : 0;
  bool fixed = FT_IS_FIXED_WIDTH(f);
  // The low bit set means variable pitch; TrueType and vector bits as Windows reports.
  tm.tmPitchAndFamily = static_cast<BYTE>((fixed ? 0 : 1) | 2 | 4 | (font.lfPitchAndFamily & 0xF0));
  tm.tmCharSet = ANSI_CHARSET;
  lineThickness_ = std::max(1, Round(f->underline_thickness * scale));
  underlinePos_ = std::max(1, Round(-f->underline_position * scale));
  strikePos_ = os2 ? Round(os2->yStrikeoutPosition * scale) : tm.tmAscent / 3;
  return true;
}

unsigned RealizedFont::GlyphIndex(std::uint32_t codepoint) {
  return FT_Get_Char_Index(face_->face, codepoint);
}

const RealizedFont::GlyphMetrics& RealizedFont::MetricsOf(std::uint32_t codepoint) {
  auto it = glyphMetrics_.find(codepoint);
  if (it != glyphMetrics_.end()) return it->second;
  GlyphMetrics m;
  FT_Face f = face_->face;
  if (FT_Load_Glyph(f, GlyphIndex(codepoint), FT_LOAD_DEFAULT | FT_LOAD_TARGET_NORMAL) == 0) {
    const FT_Glyph_Metrics& gm = f->glyph->metrics;
    m.advance = static_cast<int>((f->glyph->advance.x + 32) >> 6);
    m.hintedLeft = static_cast<int>(std::floor(gm.horiBearingX / 64.0));
    m.hintedWidth = static_cast<int>(std::ceil((gm.horiBearingX + gm.width) / 64.0)) - m.hintedLeft;
    if (syntheticBold_) m.advance += 1;
  }
  if (FT_Load_Glyph(f, GlyphIndex(codepoint), FT_LOAD_NO_HINTING) == 0) {
    m.bearing = f->glyph->metrics.horiBearingX / 64.0;
    m.ink = f->glyph->metrics.width / 64.0;
  }
  return glyphMetrics_.emplace(codepoint, m).first->second;
}

int RealizedFont::Advance(std::uint32_t codepoint) { return MetricsOf(codepoint).advance; }

ABC RealizedFont::AbcWidths(std::uint32_t codepoint) {
  const GlyphMetrics& m = MetricsOf(codepoint);
  ABC abc;
  if (m.hintedWidth <= 0) {
    abc.abcB = static_cast<UINT>(std::max(1, m.advance));
    abc.abcC = m.advance - static_cast<int>(abc.abcB);
    return abc;
  }
  abc.abcA = m.hintedLeft;
  abc.abcB = static_cast<UINT>(m.hintedWidth);
  abc.abcC = m.advance - abc.abcA - m.hintedWidth;
  return abc;
}

ABCFLOAT RealizedFont::AbcWidthsFloat(std::uint32_t codepoint) {
  const GlyphMetrics& m = MetricsOf(codepoint);
  ABCFLOAT abc;
  abc.abcfA = static_cast<float>(m.bearing);
  abc.abcfB = static_cast<float>(m.ink);
  abc.abcfC = static_cast<float>(m.advance - m.bearing - m.ink);
  return abc;
}

const GlyphImage& RealizedFont::Glyph(std::uint32_t codepoint, bool antialiased) {
  std::uint64_t key = (static_cast<std::uint64_t>(codepoint) << 1) | (antialiased ? 1 : 0);
  auto it = glyphs_.find(key);
  if (it != glyphs_.end()) return it->second;
  GlyphImage image;
  RenderGlyph(codepoint, antialiased, image);
  return glyphs_.emplace(key, std::move(image)).first->second;
}

void RealizedFont::RenderGlyph(std::uint32_t codepoint, bool antialiased, GlyphImage& out) {
  FT_Face f = face_->face;
  FT_Int32 flags = FT_LOAD_DEFAULT | (antialiased ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO);
  if (FT_Load_Glyph(f, GlyphIndex(codepoint), flags) != 0) return;
  FT_GlyphSlot slot = f->glyph;
  if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    if (syntheticBold_) FT_Outline_Embolden(&slot->outline, 64);
    if (syntheticItalic_) {
      FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000};
      FT_Outline_Transform(&slot->outline, &shear);
    }
  }
  if (FT_Render_Glyph(slot, antialiased ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0) return;
  const FT_Bitmap& bm = slot->bitmap;
  out.left = slot->bitmap_left;
  out.top = slot->bitmap_top;
  out.width = static_cast<int>(bm.width);
  out.rows = static_cast<int>(bm.rows);
  out.coverage.assign(static_cast<size_t>(out.width) * out.rows, 0);
  for (int y = 0; y < out.rows; ++y) {
    const unsigned char* row = bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch;
    for (int x = 0; x < out.width; ++x) {
      std::uint8_t c = bm.pixel_mode == FT_PIXEL_MODE_MONO ? ((row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0) : row[x];
      out.coverage[static_cast<size_t>(y) * out.width + x] = c;
    }
  }
}

std::vector<DecodedChar> DecodeText(const char* text, int length) {
  static const std::uint16_t k1252[32] = {
      0x20AC, 0x81, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x8D, 0x017D, 0x8F, 0x90, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D, 0x017E, 0x0178};
  std::vector<DecodedChar> out;
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  for (int i = 0; i < length;) {
    unsigned char c = s[i];
    int extra = c >= 0xF0 && c < 0xF5 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 ? 1 : 0;
    if (c >= 0x80 && extra > 0) {
      bool valid = true;
      std::uint32_t cp = c & (0x3F >> extra);
      for (int k = 1; valid && k <= extra; ++k) {
        if (i + k >= length || (s[i + k] & 0xC0) != 0x80) valid = false;
        else cp = (cp << 6) | (s[i + k] & 0x3F);
      }
      if (valid) {
        out.push_back({cp, i});
        i += extra + 1;
        continue;
      }
    }
    std::uint32_t cp = c >= 0x80 && c < 0xA0 ? k1252[c - 0x80] : c;
    out.push_back({cp, i});
    ++i;
  }
  return out;
}
