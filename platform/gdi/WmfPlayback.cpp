// Playing the records of Windows metafiles. Offsets are from the first parameter; parameters
// are 16-bit words, most of them in reverse order of the matching GDI call's arguments.

#include <algorithm>
#include <set>

#include "platform/gdi/MetafilePlayer.h"

namespace {

enum : std::uint32_t {
  END = 0x0000, SAVEDC = 0x001E, REALIZEPALETTE = 0x0035, SETBKMODE = 0x0102, SETMAPMODE = 0x0103,
  SETROP2 = 0x0104, SETRELABS = 0x0105, SETPOLYFILLMODE = 0x0106, SETSTRETCHBLTMODE = 0x0107,
  SETTEXTCHAREXTRA = 0x0108, RESTOREDC = 0x0127, SELECTOBJECT = 0x012D, SETTEXTALIGN = 0x012E,
  DELETEOBJECT = 0x01F0, SETBKCOLOR = 0x0201, SETTEXTCOLOR = 0x0209, SETWINDOWORG = 0x020B,
  SETWINDOWEXT = 0x020C, SETVIEWPORTORG = 0x020D, SETVIEWPORTEXT = 0x020E, LINETO = 0x0213,
  MOVETO = 0x0214, SELECTPALETTE = 0x0234, SETMAPPERFLAGS = 0x0231, CREATEPALETTE = 0x00F7,
  CREATEPENINDIRECT = 0x02FA, CREATEFONTINDIRECT = 0x02FB, CREATEBRUSHINDIRECT = 0x02FC,
  POLYGON = 0x0324, POLYLINE = 0x0325, EXCLUDECLIPRECT = 0x0415, INTERSECTCLIPRECT = 0x0416,
  ELLIPSE = 0x0418, RECTANGLE = 0x041B, SETPIXEL = 0x041F, TEXTOUT = 0x0521, POLYPOLYGON = 0x0538,
  ROUNDRECT = 0x061C, ESCAPE = 0x0626, PATBLT = 0x061D, EXTTEXTOUT = 0x0A32, DIBBITBLT = 0x0940,
  DIBSTRETCHBLT = 0x0B41, STRETCHDIB = 0x0F43, ARC = 0x0817, PIE = 0x081A, CHORD = 0x0830,
};

const std::set<std::uint32_t> kIgnored = {END, REALIZEPALETTE, SETRELABS, SETTEXTCHAREXTRA,
    SETMAPPERFLAGS, SETMAPMODE, SETVIEWPORTORG, SETVIEWPORTEXT, EXCLUDECLIPRECT,
    ESCAPE};
const std::set<std::uint32_t> kState = {SAVEDC, RESTOREDC, SETBKMODE, SETROP2, SETPOLYFILLMODE,
    SETSTRETCHBLTMODE, SETTEXTALIGN, SETBKCOLOR, SETTEXTCOLOR, SETWINDOWORG, SETWINDOWEXT, MOVETO,
    INTERSECTCLIPRECT};
const std::set<std::uint32_t> kObjects = {SELECTOBJECT, SELECTPALETTE, DELETEOBJECT, CREATEPALETTE,
    CREATEPENINDIRECT, CREATEFONTINDIRECT, CREATEBRUSHINDIRECT};
const std::set<std::uint32_t> kDrawing = {LINETO, POLYGON, POLYLINE, POLYPOLYGON, ELLIPSE,
    RECTANGLE, ROUNDRECT, SETPIXEL, PATBLT, DIBBITBLT, DIBSTRETCHBLT, STRETCHDIB, ARC, PIE, CHORD};
const std::set<std::uint32_t> kText = {TEXTOUT, EXTTEXTOUT};

double NonZero(double v) { return v == 0 ? 1 : v; }

// Text bytes of the metafile (Windows Latin-1) as UTF-8.
std::string Utf8FromLatin1(const std::uint8_t* bytes, size_t n) {
  std::string out;
  for (size_t i = 0; i < n; ++i) {
    if (bytes[i] < 0x80) {
      out += static_cast<char>(bytes[i]);
    } else {
      out += static_cast<char>(0xC0 | bytes[i] >> 6);
      out += static_cast<char>(0x80 | (bytes[i] & 0x3F));
    }
  }
  return out;
}

}  // namespace

bool IsKnownWindowsRecord(std::uint32_t function) {
  return kIgnored.count(function) || kState.count(function) || kObjects.count(function) ||
         kDrawing.count(function) || kText.count(function);
}

void MetafilePlayer::PlayWindows(const MetaRecord& record) {
  const RecordFields f(record);
  if (kState.count(record.type)) WindowsState(record.type, f);
  else if (kObjects.count(record.type)) WindowsObjects(record.type, f);
  else if (kDrawing.count(record.type)) WindowsDrawing(record.type, f);
  else if (kText.count(record.type)) WindowsText(record.type, f);
  else if (!kIgnored.count(record.type)) MetafileFault();
}

void MetafilePlayer::WindowsState(std::uint32_t function, const RecordFields& f) {
  Mapping& m = mapping_;
  switch (function) {
    case SETWINDOWORG: m.windowOrgY = f.I16(0), m.windowOrgX = f.I16(2); break;
    case SETWINDOWEXT: m.windowExtY = NonZero(f.I16(0)), m.windowExtX = NonZero(f.I16(2)); break;
    case SETBKMODE: SetBkMode(dc_, f.U16(0)); break;
    case SETROP2: SetROP2(dc_, f.U16(0)); break;
    case SETPOLYFILLMODE: SetPolyFillMode(dc_, f.U16(0)); break;
    case SETSTRETCHBLTMODE: SetStretchBltMode(dc_, f.U16(0)); break;
    case SETTEXTALIGN: SetTextAlign(dc_, f.U16(0)); break;
    case SETBKCOLOR: SetBkColor(dc_, f.U32(0) & 0x00FFFFFF); break;
    case SETTEXTCOLOR: SetTextColor(dc_, f.U32(0) & 0x00FFFFFF); break;
    case MOVETO: {
      const POINT p = Map(f.I16(2), f.I16(0));
      MoveToEx(dc_, p.x, p.y, nullptr);
      break;
    }
    case INTERSECTCLIPRECT: {
      const POINT a = Map(f.I16(6), f.I16(4)), b = Map(f.I16(2), f.I16(0));
      IntersectClipRect(dc_, std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y));
      break;
    }
    case SAVEDC:
      if (savedMappings_.size() < 1024) savedMappings_.push_back(m), SaveDC(dc_);
      break;
    case RESTOREDC: {
      const int back = -f.I16(0);
      if (back <= 0 || static_cast<size_t>(back) > savedMappings_.size()) break;
      m = savedMappings_[savedMappings_.size() - static_cast<size_t>(back)];
      savedMappings_.resize(savedMappings_.size() - static_cast<size_t>(back));
      RestoreDC(dc_, -back);
      break;
    }
  }
}

void MetafilePlayer::WindowsObjects(std::uint32_t function, const RecordFields& f) {
  switch (function) {
    case SELECTOBJECT: Select(f.U16(0)); break;
    case DELETEOBJECT: Delete(f.U16(0)); break;
    case CREATEPENINDIRECT: Store(FreeWindowsSlot(), MakePen(f.U16(0), f.I16(2), f.U32(6))); break;
    case CREATEBRUSHINDIRECT: Store(FreeWindowsSlot(), MakeBrush(f.U16(0), f.U32(2), f.U16(6))); break;
    case CREATEPALETTE: {
      LOGPALETTE palette;
      palette.palNumEntries = 1;
      const size_t slot = FreeWindowsSlot();
      Store(slot, CreatePalette(&palette));
      KeepPalette(slot, f, 2, 4);
      break;
    }
    case SELECTPALETTE: SelectPaletteSlot(f.U16(0)); break;
    case CREATEFONTINDIRECT: WindowsFont(f); break;
  }
}

void MetafilePlayer::WindowsFont(const RecordFields& f) {
  LOGFONT log;
  log.lfHeight = f.I16(0);
  log.lfWidth = f.I16(2);
  log.lfEscapement = f.I16(4);
  log.lfOrientation = f.I16(6);
  log.lfWeight = f.I16(8);
  const std::uint8_t* flags = f.Bytes(10, 8);
  log.lfItalic = flags[0], log.lfUnderline = flags[1], log.lfStrikeOut = flags[2];
  log.lfCharSet = flags[3], log.lfQuality = flags[6], log.lfPitchAndFamily = flags[7];
  const size_t faceBytes = std::min<size_t>(f.Size() > 18 ? f.Size() - 18 : 0, LF_FACESIZE - 1);
  const std::uint8_t* face = f.Bytes(18, faceBytes);
  for (size_t i = 0; i < faceBytes && face[i] != 0; ++i) log.lfFaceName[i] = static_cast<char>(face[i]);
  Store(FreeWindowsSlot(), MakeFont(log));
}

void MetafilePlayer::WindowsDrawing(std::uint32_t function, const RecordFields& f) {
  switch (function) {
    case LINETO: {
      const POINT p = Map(f.I16(2), f.I16(0));
      LineTo(dc_, p.x, p.y);
      break;
    }
    case SETPIXEL: {
      const POINT p = Map(f.I16(6), f.I16(4));
      SetPixelV(dc_, p.x, p.y, f.U32(0) & 0x00FFFFFF);
      break;
    }
    case RECTANGLE: Shape(0, f.I16(6), f.I16(4), f.I16(2), f.I16(0)); break;
    case ELLIPSE: Shape(1, f.I16(6), f.I16(4), f.I16(2), f.I16(0)); break;
    case ROUNDRECT: Shape(2, f.I16(10), f.I16(8), f.I16(6), f.I16(4), f.I16(2), f.I16(0)); break;
    case ARC:  // end y x, start y x, bottom, right, top, left
    case CHORD:
    case PIE:
      ArcShape(function == ARC ? 0 : function == CHORD ? 1 : 2, f.I16(14), f.I16(12), f.I16(10), f.I16(8),
               f.I16(6), f.I16(4), f.I16(2), f.I16(0));
      break;
    case POLYGON:
    case POLYLINE: {
      const size_t n = f.U16(0);
      std::vector<POINT> points;
      for (size_t i = 0; i < n; ++i) points.push_back(Map(f.I16(2 + 4 * i), f.I16(4 + 4 * i)));
      Points(function == POLYGON, points);
      break;
    }
    case POLYPOLYGON: {
      const size_t polys = f.U16(0);
      std::vector<int> counts;
      size_t total = 0;
      for (size_t i = 0; i < polys; ++i) total += counts.emplace_back(f.U16(2 + 2 * i));
      const size_t at = 2 + 2 * polys;
      f.Bytes(at, 4 * total);
      std::vector<POINT> points;
      for (size_t i = 0; i < total; ++i) points.push_back(Map(f.I16(at + 4 * i), f.I16(at + 4 * i + 2)));
      PolyPolygon(points, counts);
      break;
    }
    case PATBLT: {
      const POINT a = Map(f.I16(10), f.I16(8)), b = Map(f.I16(10) + double(f.I16(6)), f.I16(8) + double(f.I16(4)));
      PatBlt(dc_, std::min(a.x, b.x), std::min(a.y, b.y), std::abs(b.x - a.x), std::abs(b.y - a.y), f.U32(0));
      break;
    }
    case STRETCHDIB:  // rop, usage, source h w y x, destination h w y x, the DIB
      if (f.Size() < 22) MetafileFault();
      DrawDib(f, 22, f.Size() - 22, 22, f.Size() - 22, f.I16(20), f.I16(18), f.I16(16), f.I16(14),
              f.I16(12), f.I16(10), f.I16(8), f.I16(6), f.U32(0), f.U16(4));
      break;
    case DIBSTRETCHBLT:  // rop, source h w y x, destination h w y x, the DIB
      if (f.Size() < 20) MetafileFault();
      DrawDib(f, 20, f.Size() - 20, 20, f.Size() - 20, f.I16(18), f.I16(16), f.I16(14), f.I16(12),
              f.I16(10), f.I16(8), f.I16(6), f.I16(4), f.U32(0));
      break;
    case DIBBITBLT:  // rop, source y x, height, width, destination y x, the DIB
      if (f.Size() < 16) MetafileFault();
      DrawDib(f, 16, f.Size() - 16, 16, f.Size() - 16, f.I16(14), f.I16(12), f.I16(10), f.I16(8),
              f.I16(6), f.I16(4), f.I16(10), f.I16(8), f.U32(0));
      break;
  }
}

void MetafilePlayer::WindowsText(std::uint32_t function, const RecordFields& f) {
  if (function == TEXTOUT) {
    const size_t n = f.U16(0);
    const size_t padded = (n + 1) & ~size_t(1);
    const std::uint8_t* text = f.Bytes(2, n);
    Text(f.I16(4 + padded), f.I16(2 + padded), Utf8FromLatin1(text, n), 0, nullptr);
    return;
  }
  const size_t n = f.U16(4);
  const UINT options = f.U16(6);
  const bool hasRect = (options & (ETO_OPAQUE | ETO_CLIPPED)) != 0;
  const RECT clip{f.I16(8), f.I16(10), f.I16(12), f.I16(14)};
  const std::uint8_t* text = f.Bytes(hasRect ? 16 : 8, n);
  Text(f.I16(2), f.I16(0), Utf8FromLatin1(text, n), options, hasRect ? &clip : nullptr);
}
