// Playing the records of enhanced metafiles. Offsets are from the start of each record.

#include <algorithm>
#include <set>

#include "platform/gdi/MetafilePlayer.h"

namespace {

enum : std::uint32_t {
  HEADER = 1, POLYGON = 3, POLYLINE = 4, POLYPOLYLINE = 7, POLYPOLYGON = 8, SETWINDOWEXTEX = 9,
  SETWINDOWORGEX = 10, SETVIEWPORTEXTEX = 11, SETVIEWPORTORGEX = 12, SETBRUSHORGEX = 13, END = 14,
  SETPIXELV = 15, SETMAPPERFLAGS = 16, SETMAPMODE = 17, SETBKMODE = 18, SETPOLYFILLMODE = 19,
  SETROP2 = 20, SETSTRETCHBLTMODE = 21, SETTEXTALIGN = 22, SETCOLORADJUSTMENT = 23,
  SETTEXTCOLOR = 24, SETBKCOLOR = 25, MOVETOEX = 27, SETMETARGN = 28, EXCLUDECLIPRECT = 29,
  INTERSECTCLIPRECT = 30, SCALEVIEWPORTEXTEX = 31, SCALEWINDOWEXTEX = 32, SAVEDC = 33,
  RESTOREDC = 34, SETWORLDTRANSFORM = 35, MODIFYWORLDTRANSFORM = 36, SELECTOBJECT = 37,
  CREATEPEN = 38, CREATEBRUSHINDIRECT = 39, DELETEOBJECT = 40, ELLIPSE = 42, RECTANGLE = 43,
  ROUNDRECT = 44, SELECTPALETTE = 48, CREATEPALETTE = 49, REALIZEPALETTE = 52, LINETO = 54,
  SETARCDIRECTION = 57, SETMITERLIMIT = 58, GDICOMMENT = 70, EXTSELECTCLIPRGN = 75, BITBLT = 76,
  STRETCHDIBITS = 81, EXTCREATEFONTINDIRECTW = 82, EXTTEXTOUTW = 84, POLYGON16 = 86,
  POLYLINE16 = 87, POLYPOLYLINE16 = 90, POLYPOLYGON16 = 91, EXTCREATEPEN = 95, SETICMMODE = 98,
  SETLAYOUT = 115,
};

// Records that change nothing a 32-bit picture shows.
const std::set<std::uint32_t> kIgnored = {HEADER, END, SETBRUSHORGEX, SETMAPPERFLAGS,
    SETCOLORADJUSTMENT, SETMETARGN, EXCLUDECLIPRECT, REALIZEPALETTE,
    SETMITERLIMIT, GDICOMMENT, SETICMMODE, SETLAYOUT};

const std::set<std::uint32_t> kState = {SETWINDOWEXTEX, SETWINDOWORGEX, SETVIEWPORTEXTEX,
    SETVIEWPORTORGEX, SETMAPMODE, SETBKMODE, SETPOLYFILLMODE, SETROP2, SETSTRETCHBLTMODE,
    SETTEXTALIGN, SETTEXTCOLOR, SETBKCOLOR, MOVETOEX, INTERSECTCLIPRECT, SCALEVIEWPORTEXTEX,
    SCALEWINDOWEXTEX, SAVEDC, RESTOREDC, SETWORLDTRANSFORM, MODIFYWORLDTRANSFORM,
    EXTSELECTCLIPRGN};
const std::set<std::uint32_t> kObjects = {SELECTOBJECT, SELECTPALETTE, CREATEPEN, CREATEBRUSHINDIRECT,
    DELETEOBJECT, CREATEPALETTE, EXTCREATEFONTINDIRECTW, EXTCREATEPEN};
const std::set<std::uint32_t> kPolys = {POLYGON, POLYLINE, POLYPOLYLINE, POLYPOLYGON, POLYGON16,
    POLYLINE16, POLYPOLYLINE16, POLYPOLYGON16};
const std::set<std::uint32_t> kDrawing = {SETPIXELV, ELLIPSE, RECTANGLE, ROUNDRECT, LINETO,
    BITBLT, STRETCHDIBITS, EXTTEXTOUTW};

// a then b, as world transforms compose (row vectors).
void Multiply(const double* a, const double* b, double* out) {
  const double r[6] = {a[0] * b[0] + a[1] * b[2], a[0] * b[1] + a[1] * b[3],
                       a[2] * b[0] + a[3] * b[2], a[2] * b[1] + a[3] * b[3],
                       a[4] * b[0] + a[5] * b[2] + b[4], a[4] * b[1] + a[5] * b[3] + b[5]};
  std::copy(r, r + 6, out);
}

double NonZero(double v) { return v == 0 ? 1 : v; }

std::string Utf8FromUtf16(const RecordFields& f, size_t at, size_t count) {
  std::string out;
  for (size_t i = 0; i < count; ++i) {
    const unsigned c = f.U16(at + 2 * i);
    if (c == 0) break;
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | c >> 6);
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0xD800 || c > 0xDFFF) {
      out += static_cast<char>(0xE0 | c >> 12);
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace

bool IsKnownEnhancedRecord(std::uint32_t type) {
  return kIgnored.count(type) || kState.count(type) || kObjects.count(type) || kPolys.count(type) ||
         kDrawing.count(type) || IsCurveOrPathRecord(type);
}

void MetafilePlayer::PlayEnhanced(const MetaRecord& record) {
  const RecordFields f(record);
  if (kState.count(record.type)) EnhancedState(record.type, f);
  else if (kObjects.count(record.type)) EnhancedObjects(record.type, f);
  else if (kPolys.count(record.type)) EnhancedPolys(record.type, f);
  else if (kDrawing.count(record.type)) EnhancedDrawing(record.type, f);
  else if (IsCurveOrPathRecord(record.type)) EnhancedCurves(record.type, f);
  else if (!kIgnored.count(record.type)) MetafileFault();
}

void MetafilePlayer::EnhancedState(std::uint32_t type, const RecordFields& f) {
  Mapping& m = mapping_;
  switch (type) {
    case SETWINDOWEXTEX: m.windowExtX = NonZero(f.I32(8)), m.windowExtY = NonZero(f.I32(12)); break;
    case SETWINDOWORGEX: m.windowOrgX = f.I32(8), m.windowOrgY = f.I32(12); break;
    case SETVIEWPORTEXTEX: m.viewExtX = NonZero(f.I32(8)), m.viewExtY = NonZero(f.I32(12)); break;
    case SETVIEWPORTORGEX: m.viewOrgX = f.I32(8), m.viewOrgY = f.I32(12); break;
    case SCALEVIEWPORTEXTEX:
    case SCALEWINDOWEXTEX: {
      double& x = type == SCALEWINDOWEXTEX ? m.windowExtX : m.viewExtX;
      double& y = type == SCALEWINDOWEXTEX ? m.windowExtY : m.viewExtY;
      x = NonZero(x * f.I32(8) / NonZero(f.I32(12)));
      y = NonZero(y * f.I32(16) / NonZero(f.I32(20)));
      break;
    }
    case SETMAPMODE: m.mapMode = f.I32(8); break;
    case SETBKMODE: SetBkMode(dc_, f.I32(8)); break;
    case SETPOLYFILLMODE: SetPolyFillMode(dc_, f.I32(8)); break;
    case SETROP2: SetROP2(dc_, f.I32(8)); break;
    case SETSTRETCHBLTMODE: SetStretchBltMode(dc_, f.I32(8)); break;
    case SETTEXTALIGN: SetTextAlign(dc_, f.U32(8)); break;
    case SETTEXTCOLOR: SetTextColor(dc_, f.U32(8) & 0x00FFFFFF); break;
    case SETBKCOLOR: SetBkColor(dc_, f.U32(8) & 0x00FFFFFF); break;
    case MOVETOEX: {
      const POINT p = Map(f.I32(8), f.I32(12));
      MoveToEx(dc_, p.x, p.y, nullptr);
      PathMove(p);
      break;
    }
    case INTERSECTCLIPRECT: {
      const POINT a = Map(f.I32(8), f.I32(12)), b = Map(f.I32(16), f.I32(20));
      IntersectClipRect(dc_, std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y));
      break;
    }
    case EXTSELECTCLIPRGN:
      if (f.U32(8) == 0 && f.U32(12) == RGN_COPY) {  // back to the whole picture
        SelectClipRgn(dc_, nullptr);
        IntersectClipRect(dc_, target_.left, target_.top, target_.right, target_.bottom);
      }
      break;
    case SAVEDC:
      if (savedMappings_.size() < 1024) savedMappings_.push_back(m), SaveDC(dc_);
      break;
    case RESTOREDC: {
      const int back = -f.I32(8);
      if (back <= 0 || static_cast<size_t>(back) > savedMappings_.size()) break;
      m = savedMappings_[savedMappings_.size() - static_cast<size_t>(back)];
      savedMappings_.resize(savedMappings_.size() - static_cast<size_t>(back));
      RestoreDC(dc_, -back);
      break;
    }
    case SETWORLDTRANSFORM:
    case MODIFYWORLDTRANSFORM: {
      const double x[6] = {f.F32(8), f.F32(12), f.F32(16), f.F32(20), f.F32(24), f.F32(28)};
      const std::uint32_t mode = type == SETWORLDTRANSFORM ? 4 : f.U32(32);
      const double unit[6] = {1, 0, 0, 1, 0, 0};
      if (mode == 1) std::copy(unit, unit + 6, m.world);
      if (mode == 2) Multiply(x, m.world, m.world);
      if (mode == 3) Multiply(m.world, x, m.world);
      if (mode == 4) std::copy(x, x + 6, m.world);
      break;
    }
  }
}

void MetafilePlayer::EnhancedObjects(std::uint32_t type, const RecordFields& f) {
  const size_t slot = f.U32(8);
  switch (type) {
    case SELECTOBJECT: Select(slot); break;
    case DELETEOBJECT: Delete(slot); break;
    case CREATEPEN: Store(slot, MakePen(f.U32(12), f.I32(16), f.U32(24))); break;
    case EXTCREATEPEN: Store(slot, MakePen(f.U32(28), f.U32(32), f.U32(40))); break;
    case CREATEBRUSHINDIRECT: Store(slot, MakeBrush(f.U32(12), f.U32(16), f.U32(20))); break;
    case CREATEPALETTE: {
      LOGPALETTE palette;
      palette.palNumEntries = 1;
      Store(slot, CreatePalette(&palette));
      KeepPalette(slot, f, 14, 16);
      break;
    }
    case SELECTPALETTE: SelectPaletteSlot(slot); break;
    case EXTCREATEFONTINDIRECTW: {
      LOGFONT log;
      log.lfHeight = f.I32(12);
      log.lfWidth = f.I32(16);
      log.lfEscapement = f.I32(20);
      log.lfOrientation = f.I32(24);
      log.lfWeight = f.I32(28);
      const std::uint8_t* flags = f.Bytes(32, 8);
      log.lfItalic = flags[0], log.lfUnderline = flags[1], log.lfStrikeOut = flags[2];
      log.lfCharSet = flags[3], log.lfQuality = flags[6], log.lfPitchAndFamily = flags[7];
      const std::string face = Utf8FromUtf16(f, 40, LF_FACESIZE);
      face.copy(log.lfFaceName, LF_FACESIZE - 1);
      Store(slot, MakeFont(log));
      break;
    }
  }
}

void MetafilePlayer::EnhancedPolys(std::uint32_t type, const RecordFields& f) {
  const bool small = type >= POLYGON16;
  const bool many = type == POLYPOLYGON || type == POLYPOLYLINE || type == POLYPOLYGON16 || type == POLYPOLYLINE16;
  const bool closed = type == POLYGON || type == POLYPOLYGON || type == POLYGON16 || type == POLYPOLYGON16;
  const size_t polys = many ? f.U32(24) : 1;
  const size_t total = f.U32(many ? 28 : 24);
  const size_t countsAt = many ? 32 : 28;
  const size_t pointsAt = countsAt + (many ? 4 * polys : 0);
  const size_t pointSize = small ? 4 : 8;
  if (polys > f.Size() / 4 || total > f.Size() / pointSize) MetafileFault();
  f.Bytes(pointsAt, total * pointSize);  // all points lie in the record
  std::vector<int> counts;
  size_t sum = 0;
  for (size_t i = 0; i < polys; ++i) {
    const size_t n = many ? f.U32(countsAt + 4 * i) : total;
    if (n > total - sum) MetafileFault();
    sum += n;
    counts.push_back(static_cast<int>(n));
  }
  std::vector<POINT> points;
  for (size_t i = 0; i < total; ++i) {
    const size_t at = pointsAt + i * pointSize;
    points.push_back(small ? Map(f.I16(at), f.I16(at + 2)) : Map(f.I32(at), f.I32(at + 4)));
  }
  if (closed && many) return PolyPolygon(points, counts);
  size_t at = 0;
  for (int n : counts) {
    Points(closed, std::vector<POINT>(points.begin() + static_cast<long>(at), points.begin() + static_cast<long>(at + size_t(n))));
    at += static_cast<size_t>(n);
  }
}

void MetafilePlayer::EnhancedDrawing(std::uint32_t type, const RecordFields& f) {
  switch (type) {
    case SETPIXELV: {
      const POINT p = Map(f.I32(8), f.I32(12));
      SetPixelV(dc_, p.x, p.y, f.U32(16) & 0x00FFFFFF);
      break;
    }
    case LINETO: {
      const POINT p = Map(f.I32(8), f.I32(12));
      if (inPath_) PathAdd({p}, true, false);
      else LineTo(dc_, p.x, p.y);
      break;
    }
    case RECTANGLE: Shape(0, f.I32(8), f.I32(12), f.I32(16), f.I32(20)); break;
    case ELLIPSE: Shape(1, f.I32(8), f.I32(12), f.I32(16), f.I32(20)); break;
    case ROUNDRECT: Shape(2, f.I32(8), f.I32(12), f.I32(16), f.I32(20), f.I32(24), f.I32(28)); break;
    case STRETCHDIBITS:
      DrawDib(f, f.U32(48), f.U32(52), f.U32(56), f.U32(60), f.I32(24), f.I32(28), f.I32(72), f.I32(76),
              f.I32(32), f.I32(36), f.I32(40), f.I32(44), f.U32(68), f.U32(64));
      break;
    case BITBLT:
      if (f.U32(88) == 0) {  // no source: a pattern fill
        const POINT a = Map(f.I32(24), f.I32(28)), b = Map(f.I32(24) + double(f.I32(32)), f.I32(28) + double(f.I32(36)));
        PatBlt(dc_, std::min(a.x, b.x), std::min(a.y, b.y), std::abs(b.x - a.x), std::abs(b.y - a.y), f.U32(40));
      } else {
        DrawDib(f, f.U32(84), f.U32(88), f.U32(92), f.U32(96), f.I32(24), f.I32(28), f.I32(32), f.I32(36),
                f.I32(44), f.I32(48), f.I32(32), f.I32(36), f.U32(40), f.U32(80));
      }
      break;
    case EXTTEXTOUTW: EnhancedText(f); break;
  }
}

void MetafilePlayer::EnhancedText(const RecordFields& f) {
  const size_t chars = f.U32(44);
  const size_t at = f.U32(48);
  if (chars > f.Size() / 2) MetafileFault();
  f.Bytes(at, 2 * chars);
  const UINT options = f.U32(52);
  const RECT clip{f.I32(56), f.I32(60), f.I32(64), f.I32(68)};
  Text(f.I32(36), f.I32(40), Utf8FromUtf16(f, at, chars), options,
       (options & (ETO_OPAQUE | ETO_CLIPPED)) ? &clip : nullptr);
}
