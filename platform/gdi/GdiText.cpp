// Fonts and text output: TextOut, ExtTextOut, extents, metrics and character widths.

#include <algorithm>
#include <cstring>
#include <strings.h>

#include "platform/rtl/SysUtils.h"
#include "platform/gdi/FontEngine.h"
#include "platform/gdi/Raster.h"
#include "platform/gdi/Display.h"

namespace {

RealizedFont* FontOf(const DeviceContext& dc) {
  FontObject* font = LiveFont(dc.state.font);
  if (!font) font = LiveFont(GetStockObject(SYSTEM_FONT));
  return font ? RealizedFont::ForLogFont(font->log) : nullptr;
}

bool Antialiased(const DeviceContext& dc) {
  FontObject* font = LiveFont(dc.state.font);
  BYTE quality = font ? font->log.lfQuality : DEFAULT_QUALITY;
  if (quality == NONANTIALIASED_QUALITY) return false;
  if (quality == ANTIALIASED_QUALITY || quality == CLEARTYPE_QUALITY) return true;
  return FontSmoothing();
}

bool Underlined(const DeviceContext& dc, bool strike) {
  FontObject* font = LiveFont(dc.state.font);
  return font && (strike ? font->log.lfStrikeOut : font->log.lfUnderline);
}

// The pen advance of each character: its advance width plus the character extra, or the
// caller's spacing.
std::vector<int> Advances(RealizedFont& font, const std::vector<DecodedChar>& chars, int extra,
                          const int* dx) {
  std::vector<int> out;
  for (const DecodedChar& c : chars)
    out.push_back(dx ? dx[c.byteIndex] : font.Advance(c.codepoint) + extra);
  return out;
}

int Sum(const std::vector<int>& values) {
  int total = 0;
  for (int v : values) total += v;
  return total;
}

void BlendGlyph(DeviceContext& dc, const GlyphImage& glyph, int penX, int baseline,
                std::uint32_t color, const RECT* clip) {
  int x0 = penX + glyph.left, y0 = baseline - glyph.top;
  RECT box{x0, y0, x0 + glyph.width, y0 + glyph.rows};
  if (clip) box = RectIntersection(box, *clip);
  for (const RECT& c : dc.ClipRects()) {
    RECT r = RectIntersection(box, c);
    for (int y = r.top; y < r.bottom; ++y) {
      std::uint32_t* row = dc.surface.Row(y);
      const std::uint8_t* cov = &glyph.coverage[static_cast<size_t>(y - y0) * glyph.width];
      for (int x = r.left; x < r.right; ++x) {
        unsigned a = cov[x - x0];
        if (a == 0) continue;
        if (a == 255) {
          row[x] = color;
          continue;
        }
        std::uint32_t d = row[x], out = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
          int dc8 = (d >> shift) & 0xFF, sc = (color >> shift) & 0xFF;
          out |= static_cast<std::uint32_t>(dc8 + ((sc - dc8) * static_cast<int>(a) + 127) / 255) << shift;
        }
        row[x] = out;
      }
    }
  }
}

void FillClipped(DeviceContext& dc, RECT r, std::uint32_t color, const RECT* clip) {
  if (clip) r = RectIntersection(r, *clip);
  FillSurfaceRegion(dc, Region(r), SolidPaint(color), R2_COPYPEN);
}

}  // namespace

HFONT CreateFontIndirect(const LOGFONT* log) {
  if (!log) return nullptr;
  auto font = std::make_unique<FontObject>();
  font->log = *log;
  font->log.lfFaceName[LF_FACESIZE - 1] = 0;
  return AdoptGdiObject(std::move(font));
}

HFONT CreateFont(int height, int width, int escapement, int orientation, int weight,
                 DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                 DWORD outPrecision, DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily,
                 LPCSTR face) {
  LOGFONT log;
  log.lfHeight = height;
  log.lfWidth = width;
  log.lfEscapement = escapement;
  log.lfOrientation = orientation;
  log.lfWeight = weight;
  log.lfItalic = static_cast<BYTE>(italic != 0);
  log.lfUnderline = static_cast<BYTE>(underline != 0);
  log.lfStrikeOut = static_cast<BYTE>(strikeOut != 0);
  log.lfCharSet = static_cast<BYTE>(charSet);
  log.lfOutPrecision = static_cast<BYTE>(outPrecision);
  log.lfClipPrecision = static_cast<BYTE>(clipPrecision);
  log.lfQuality = static_cast<BYTE>(quality);
  log.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
  if (face) std::strncpy(log.lfFaceName, face, LF_FACESIZE - 1);
  return CreateFontIndirect(&log);
}

BOOL ExtTextOut(HDC handle, int x, int y, UINT options, const RECT* rect, LPCSTR text,
                UINT length, const int* dx) {
  if (DeviceContext* printing = LiveDc(handle); printing && printing->printer && (text || length == 0)) {
    LOGFONT log{};
    GetObject(printing->state.font, sizeof(log), &log);
    const POINT at = printing->ToSurface(x, y);
    return printing->printer->Text(at, log, printing->state.textColor, std::string(text ? text : "", length)) ? TRUE : FALSE;
  }
  DeviceContext* dc = LiveDc(handle);
  if (!dc || !dc->Prepare() || (!text && length > 0)) return FALSE;
  RealizedFont* font = FontOf(*dc);
  if (!font) return FALSE;
  RECT clipRect{};
  const RECT* clip = nullptr;
  if (rect) {
    clipRect = dc->ToSurface(*rect);
    if (options & ETO_OPAQUE) FillClipped(*dc, clipRect, PixelFromColor(dc->state.bkColor), nullptr);
    if (options & ETO_CLIPPED) clip = &clipRect;
  }
  std::vector<DecodedChar> chars = DecodeText(text, static_cast<int>(length));
  std::vector<int> advances = Advances(*font, chars, dc->state.charExtra, dx);
  int width = Sum(advances);
  const TEXTMETRIC& tm = font->Metrics();
  UINT align = dc->state.textAlign;
  if (align & TA_UPDATECP) {
    x = dc->state.position.x;
    y = dc->state.position.y;
  }
  int left = x;
  if ((align & TA_CENTER) == TA_CENTER) left = x - width / 2;
  else if (align & TA_RIGHT) left = x - width;
  int baseline = y + tm.tmAscent;
  if ((align & TA_BASELINE) == TA_BASELINE) baseline = y;
  else if (align & TA_BOTTOM) baseline = y - tm.tmDescent;
  if (align & TA_UPDATECP) {
    if ((align & TA_CENTER) != TA_CENTER) dc->state.position.x = (align & TA_RIGHT) ? x - width : x + width;
  }
  POINT origin = dc->ToSurface(left, baseline);
  if (dc->state.bkMode == OPAQUE && !(options & ETO_OPAQUE))
    FillClipped(*dc, RECT{origin.x, origin.y - tm.tmAscent, origin.x + width, origin.y + tm.tmDescent},
                PixelFromColor(dc->state.bkColor), clip);
  std::uint32_t color = PixelFromColor(dc->state.textColor);
  bool aa = Antialiased(*dc);
  int pen = origin.x;
  for (size_t i = 0; i < chars.size(); ++i) {
    BlendGlyph(*dc, font->Glyph(chars[i].codepoint, aa), pen, origin.y, color, clip);
    pen += advances[i];
  }
  int t = font->LineThickness();
  if (Underlined(*dc, false)) {
    int uy = origin.y + font->UnderlinePosition();
    FillClipped(*dc, RECT{origin.x, uy, origin.x + width, uy + t}, color, clip);
  }
  if (Underlined(*dc, true)) {
    int sy = origin.y - font->StrikeoutPosition();
    FillClipped(*dc, RECT{origin.x, sy, origin.x + width, sy + t}, color, clip);
  }
  return TRUE;
}

BOOL TextOut(HDC dc, int x, int y, LPCSTR text, int length) {
  if (length < 0) return FALSE;
  return ExtTextOut(dc, x, y, 0, nullptr, text, static_cast<UINT>(length), nullptr);
}

BOOL GetTextExtentPoint32(HDC handle, LPCSTR text, int length, SIZE* size) {
  return GetTextExtentExPoint(handle, text, length, 0, nullptr, nullptr, size);
}

BOOL GetTextExtentExPoint(HDC handle, LPCSTR text, int length, int maxExtent, int* fit, int* dx,
                          SIZE* size) {
  DeviceContext* dc = LiveDc(handle);
  if (!dc || !size || length < 0 || (!text && length > 0)) return FALSE;
  RealizedFont* font = FontOf(*dc);
  if (!font) return FALSE;
  std::vector<DecodedChar> chars = DecodeText(text, length);
  std::vector<int> advances = Advances(*font, chars, dc->state.charExtra, nullptr);
  int total = 0, fitted = 0;
  for (size_t i = 0; i < chars.size(); ++i) {
    total += advances[i];
    int end = i + 1 < chars.size() ? chars[i + 1].byteIndex : length;
    if (dx)
      for (int b = chars[i].byteIndex; b < end; ++b) dx[b] = total;
    if (total <= maxExtent) fitted = end;
  }
  if (fit) *fit = fitted;
  size->cx = total;
  size->cy = font->Metrics().tmHeight;
  return TRUE;
}

BOOL GetTextMetrics(HDC handle, TEXTMETRIC* out) {
  DeviceContext* dc = LiveDc(handle);
  RealizedFont* font = dc ? FontOf(*dc) : nullptr;
  if (!font || !out) return FALSE;
  *out = font->Metrics();
  return TRUE;
}

namespace {

// Fills out[c - first] with what a realized font answers for each character code.
template <class T, class Query>
BOOL PerCharacter(HDC handle, UINT first, UINT last, T* out, Query query) {
  DeviceContext* dc = LiveDc(handle);
  RealizedFont* font = dc ? FontOf(*dc) : nullptr;
  if (!font || !out || last < first) return FALSE;
  for (UINT c = first; c <= last; ++c) {
    char byte = static_cast<char>(c);
    std::uint32_t cp = c < 256 ? DecodeText(&byte, 1)[0].codepoint : c;
    out[c - first] = query(*font, cp);
  }
  return TRUE;
}

}  // namespace

BOOL GetCharABCWidths(HDC handle, UINT first, UINT last, ABC* out) {
  return PerCharacter(handle, first, last, out, [](RealizedFont& f, std::uint32_t cp) { return f.AbcWidths(cp); });
}

BOOL GetCharABCWidthsFloat(HDC handle, UINT first, UINT last, ABCFLOAT* out) {
  return PerCharacter(handle, first, last, out,
                      [](RealizedFont& f, std::uint32_t cp) { return f.AbcWidthsFloat(cp); });
}

BOOL GetCharWidth32(HDC handle, UINT first, UINT last, int* out) {
  return PerCharacter(handle, first, last, out, [](RealizedFont& f, std::uint32_t cp) { return f.Advance(cp); });
}

int GetTextFace(HDC handle, int size, LPSTR out) {
  DeviceContext* dc = LiveDc(handle);
  FontObject* font = dc ? LiveFont(dc->state.font) : nullptr;
  if (!font) return 0;
  int n = static_cast<int>(strnlen(font->log.lfFaceName, LF_FACESIZE));
  if (!out) return n + 1;
  if (size <= 0) return 0;
  int copy = std::min(n, size - 1);
  std::memcpy(out, font->log.lfFaceName, copy);
  out[copy] = 0;
  return copy;
}

namespace {

std::vector<std::string> FamilyNames() {
  std::vector<std::string> names = {"Arial", "Courier New", "MS Sans Serif", "Times New Roman"};
  std::vector<std::string> installed = InstalledFontFamilies();
  std::sort(installed.begin(), installed.end(), [](const std::string& a, const std::string& b) {
    return strcasecmp(a.c_str(), b.c_str()) < 0;
  });
  for (const std::string& name : installed)
    if (std::none_of(names.begin(), names.end(), [&](const std::string& n) { return SameText(n, name); }))
      names.push_back(name);
  return names;
}

}  // namespace

namespace {

constexpr BYTE GREEK_CHARSET = 161, TURKISH_CHARSET = 162, BALTIC_CHARSET = 186, RUSSIAN_CHARSET = 204,
               EASTEUROPE_CHARSET = 238;

// A letter each character set's script has and others lack.
struct ScriptSample {
  BYTE charset;
  std::uint32_t letter;
};
constexpr ScriptSample ScriptSamples[] = {
    {ANSI_CHARSET, 'A'},  {EASTEUROPE_CHARSET, 0x0151}, {RUSSIAN_CHARSET, 0x0416},
    {GREEK_CHARSET, 0x03A9}, {TURKISH_CHARSET, 0x011F}, {BALTIC_CHARSET, 0x0173},
};

}  // namespace

int EnumFontFamiliesEx(HDC, const LOGFONT* filter, FONTENUMPROC proc, LPARAM param, DWORD) {
  if (!proc) return 0;
  std::string wanted = filter ? std::string(filter->lfFaceName, strnlen(filter->lfFaceName, LF_FACESIZE)) : "";
  int result = 1;
  for (const std::string& name : FamilyNames()) {
    if (!wanted.empty() && !SameText(name, wanted)) continue;
    LOGFONT log;
    log.lfHeight = -16;
    std::strncpy(log.lfFaceName, name.c_str(), LF_FACESIZE - 1);
    RealizedFont* font = RealizedFont::ForLogFont(log);
    TEXTMETRIC tm = font ? font->Metrics() : TEXTMETRIC{};
    log.lfHeight = tm.tmHeight;
    log.lfPitchAndFamily = static_cast<BYTE>((tm.tmPitchAndFamily & 1) ? VARIABLE_PITCH : FIXED_PITCH);
    if (wanted.empty() || filter->lfCharSet != DEFAULT_CHARSET) {
      result = proc(&log, &tm, TRUETYPE_FONTTYPE, param);
      if (result == 0) break;
      continue;
    }
    // A named family asked for with the default character set: one report for each
    // character set whose script the face's glyphs cover.
    for (const ScriptSample& sample : ScriptSamples) {
      if (!font || !font->Covers(sample.letter)) continue;
      log.lfCharSet = sample.charset;
      tm.tmCharSet = sample.charset;
      result = proc(&log, &tm, TRUETYPE_FONTTYPE, param);
      if (result == 0) return 0;
    }
  }
  return result;
}

int EnumFontFamilies(HDC dc, LPCSTR family, FONTENUMPROC proc, LPARAM param) {
  LOGFONT filter;
  if (family) std::strncpy(filter.lfFaceName, family, LF_FACESIZE - 1);
  return EnumFontFamiliesEx(dc, &filter, std::move(proc), param, 0);
}
