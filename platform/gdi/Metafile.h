#pragma once
// Metafiles: Windows metafiles (with or without the placeable header) and enhanced metafiles,
// read from their bytes, played into a device context, and written. Recording knows one
// drawing, a bitmap put at the picture's origin, which is all the library records. Playback
// knows the records common metafiles use (lines, shapes, polygons, pens, brushes, fonts and
// text, DIBs, window and viewport mapping, world transforms); a metafile with any other
// drawing record is refused when it is read, with EInvalidGraphic.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gdi/WinDefs.h"

// Message of the error raised for bytes that are not a metafile this layer reads.
inline constexpr const char* kMetafileError = "Invalid or unsupported metafile";

// One record: its type (EMF) or function number (WMF) and its parameter bytes.
struct MetaRecord {
  std::uint32_t type = 0;
  const std::uint8_t* data = nullptr;
  size_t size = 0;
};

class Metafile {
public:
  Metafile() = default;
  // Records point into the bytes: a metafile moves, it is never copied.
  Metafile(Metafile&&) = default;
  Metafile& operator=(Metafile&&) = default;
  Metafile(const Metafile&) = delete;
  Metafile& operator=(const Metafile&) = delete;

  // Reads a metafile from its bytes (EInvalidGraphic when it is not one this layer reads, or
  // its picture is over 16384 pixels a side or 2^26 pixels in all).
  void Load(std::vector<std::uint8_t> bytes);
  // A new metafile of width x height pixels holding one bitmap drawn at (0, 0): pixels are
  // 0x00RRGGBB words, top row first, `stride` words apart.
  void Record(const std::uint32_t* pixels, int width, int height, int stride, bool enhanced);
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Enhanced() const { return enhanced_; }
  // Plays the picture into dc, its frame stretched over the rectangle.
  void Play(HDC dc, const RECT& rect) const;

private:
  void ReadEnhanced();
  void ReadWindows();

  std::vector<std::uint8_t> bytes_;
  std::vector<MetaRecord> records_;
  bool enhanced_ = false;
  int width_ = 0;
  int height_ = 0;
  // The picture's frame: enhanced, in reference-device pixels; Windows, in logical units.
  double frameLeft_ = 0, frameTop_ = 0, frameWidth_ = 1, frameHeight_ = 1;
  double pixelsPerMmX_ = 96 / 25.4, pixelsPerMmY_ = 96 / 25.4;
};
