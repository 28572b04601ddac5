#pragma once
// Plays metafile records into a device context. Coordinates are mapped here, not by the
// context: logical units through the world transform and the window and viewport mapping to
// the reference device, then the picture's frame onto the target rectangle. Objects the
// metafile creates are GDI objects kept in its own table and deleted at the end.

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Metafile.h"

// Bounds-checked little-endian fields of one record's parameters.
class RecordFields {
public:
  explicit RecordFields(const MetaRecord& r) : data_(r.data), size_(r.size) {}
  size_t Size() const { return size_; }
  std::uint32_t U32(size_t at) const;
  std::int32_t I32(size_t at) const { return static_cast<std::int32_t>(U32(at)); }
  std::uint16_t U16(size_t at) const;
  std::int16_t I16(size_t at) const { return static_cast<std::int16_t>(U16(at)); }
  float F32(size_t at) const;
  const std::uint8_t* Bytes(size_t at, size_t n) const;

private:
  const std::uint8_t* data_;
  size_t size_;
};

[[noreturn]] void MetafileFault();

bool IsKnownEnhancedRecord(std::uint32_t type);
bool IsKnownWindowsRecord(std::uint32_t function);
bool IsCurveOrPathRecord(std::uint32_t type);  // of enhanced metafiles

struct MetaFrame {
  double left = 0, top = 0, width = 1, height = 1;  // see Metafile
  double pixelsPerMmX = 96 / 25.4, pixelsPerMmY = 96 / 25.4;
};

class MetafilePlayer {
public:
  MetafilePlayer(HDC dc, bool windows, const MetaFrame& frame, const RECT& target);
  ~MetafilePlayer();
  MetafilePlayer(const MetafilePlayer&) = delete;
  MetafilePlayer& operator=(const MetafilePlayer&) = delete;

  void PlayEnhanced(const MetaRecord& record);
  void PlayWindows(const MetaRecord& record);

private:
  struct Mapping {
    int mapMode = 1;  // MM_TEXT
    double windowOrgX = 0, windowOrgY = 0, windowExtX = 1, windowExtY = 1;
    double viewOrgX = 0, viewOrgY = 0, viewExtX = 1, viewExtY = 1;
    double world[6] = {1, 0, 0, 1, 0, 0};  // eM11 eM12 eM21 eM22 eDx eDy
    int arcDirection = AD_COUNTERCLOCKWISE;  // in logical space
  };

  POINT Map(double x, double y) const;
  double ScaleX() const;
  double ScaleY() const;
  int MapWidth(double width) const;
  void ScaleWithMapMode(double& sx, double& sy) const;

  // Objects.
  void Store(size_t slot, HGDIOBJ object);
  size_t FreeWindowsSlot();
  void Select(size_t slot);
  void Delete(size_t slot);
  HPEN MakePen(std::uint32_t style, double width, COLORREF colour) const;
  HBRUSH MakeBrush(std::uint32_t style, COLORREF colour, std::uint32_t hatch) const;
  HFONT MakeFont(LOGFONT log) const;

  // Drawing.
  void Shape(std::uint32_t kind, double l, double t, double r, double b, double cw = 0, double ch = 0);
  void Points(bool closed, const std::vector<POINT>& points);
  void PolyPolygon(const std::vector<POINT>& points, const std::vector<int>& counts);
  void DrawDib(const RecordFields& f, size_t bmiAt, size_t bmiSize, size_t bitsAt, size_t bitsSize,
               double x, double y, double w, double h, int sx, int sy, int sw, int sh, DWORD rop,
               UINT usage = DIB_RGB_COLORS);
  // Palettes: their colours by slot, and those of the selected one (empty: the default).
  void KeepPalette(size_t slot, const RecordFields& f, size_t countAt, size_t entriesAt);
  void SelectPaletteSlot(size_t slot);
  std::uint32_t PaletteColour(size_t index) const;
  void Text(double x, double y, const std::string& text, UINT options, const RECT* clip);

  // Curves and paths (MetafileCurves.cpp).
  bool Mirrored() const;
  int UseArcDirection(bool anticlockwise);  // answers the direction on the picture
  void ArcShape(int kind, double l, double t, double r, double b, double xs, double ys, double xe, double ye);
  void AngleArcShape(double x, double y, double radius, double start, double sweep);
  void FillFigures(const std::vector<std::vector<POINT>>& figures, const std::vector<bool>& closed, bool fill, bool stroke);
  void PathMove(POINT p);
  void PathAdd(const std::vector<POINT>& points, bool fromPosition, bool closed);
  void EnhancedCurves(std::uint32_t type, const RecordFields& f);
  void EnhancedPath(std::uint32_t type, const RecordFields& f);
  void PolyDraw(const RecordFields& f, bool small);

  // Record families.
  void EnhancedState(std::uint32_t type, const RecordFields& f);
  void EnhancedObjects(std::uint32_t type, const RecordFields& f);
  void EnhancedDrawing(std::uint32_t type, const RecordFields& f);
  void EnhancedPolys(std::uint32_t type, const RecordFields& f);
  void EnhancedText(const RecordFields& f);
  void WindowsState(std::uint32_t function, const RecordFields& f);
  void WindowsObjects(std::uint32_t function, const RecordFields& f);
  void WindowsDrawing(std::uint32_t function, const RecordFields& f);
  void WindowsText(std::uint32_t function, const RecordFields& f);
  void WindowsFont(const RecordFields& f);

  HDC dc_;
  bool windows_;
  MetaFrame frame_;
  RECT target_;
  int saved_ = 0;
  Mapping mapping_;
  std::vector<Mapping> savedMappings_;
  std::vector<HGDIOBJ> objects_;
  // The empty slots below objects_.size(): a Windows metafile's next object takes the lowest,
  // found without a walk over the table (a long one would make every creation slow).
  std::set<size_t> freeSlots_;
  std::vector<std::vector<std::uint32_t>> paletteColours_;  // 0x00RRGGBB
  std::vector<std::uint32_t> palette_;
  bool inPath_ = false;
  std::vector<std::vector<POINT>> figures_;  // the path being recorded, device coordinates
  std::vector<bool> figureClosed_;
  size_t pathPoints_ = 0;
  HGDIOBJ defaults_[3] = {};  // the context's pen, brush and font before playing
};
