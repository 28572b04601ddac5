#pragma once
// The host's advanceState: from the rectangles and plane ranges a filter plug-in puts into its
// FilterRecord, it fills an input buffer from the source picture, writes the previous output
// buffer back into the destination picture (clipped to the picture and the filter rectangle,
// masked by the selection) and pre-fills a fresh one from the destination, and builds a mask
// buffer from the selection. Buffers are kept while the plug-in asks for parts of what it
// holds, so a tile-by-tile plug-in causes no re-reads.
//
// Pictures are 32-bit pixels, bytes blue, green, red, alpha. Plane 0 is red, 1 green, 2 blue,
// 3 alpha (exchanged as the byte XOR the run's alpha value, and only in an alpha mode).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "quillo/plugins/FilterExchangeBuffer.h"
#include "quillo/plugins/FilterPluginApi.h"

struct FilterPictures {
  const std::uint8_t* source = nullptr;
  std::uint8_t* destination = nullptr;
  int width = 0;
  int height = 0;
  std::ptrdiff_t rowBytes = 0;  // both pictures
  const std::uint32_t* maskWords = nullptr;  // the selection, bit x % 32 of word x / 32; null: none
  std::ptrdiff_t maskRowBytes = 0;
  std::int32_t alphaMode = 0;  // -1 (mode 1), 256 (mode 2) or 0; its low byte is XORed
  std::uint32_t alphaBitsSelection = 0;  // pixels with any of these bits set are selected
};

class FilterImageExchange {
public:
  explicit FilterImageExchange(const FilterPictures& pictures) : pictures_(pictures) {}

  // advanceState on the record; always 0. A buffer that cannot be had leaves its data
  // pointer 0 and marks the run failed.
  OSErr AdvanceState(FilterRecord& record);
  // Ends the run without writing back.
  void FreeBuffers();
  bool AllocationFailed() const { return allocationFailed_; }

private:
  struct Held {
    GuardedBuffer memory;
    int left = 0, top = 0, right = 0, bottom = 0;
    int loPlane = 0, hiPlane = 0, preDummy = 0, postDummy = 0, step = 1;
    int columnBytes = 0;
    std::ptrdiff_t rowBytes = 0;
    bool Holds() const { return memory.Data() != nullptr; }
  };
  struct Request {
    Rect rect{};
    int loPlane = 0, hiPlane = 0, preDummy = 0, postDummy = 0, step = 1;
    int padding = 0;
    std::uint8_t dummyValue = 0;
  };

  bool Keeps(const Held& held, const Request& r, bool compareStep) const;
  struct PlaneByte {
    int byte = -1;  // the pixel byte of the plane; -1: none
    std::uint8_t flip = 0;  // XORed on the way (the alpha plane's)
  };
  // For each plane of a range, its pixel byte.
  std::vector<PlaneByte> PlaneBytes(int loPlane, int hiPlane) const;
  // The pixel byte of a plane, or -1 when the plane has none.
  int PixelByte(int plane, int hiPlane) const;
  void FillPlanes(Held& held, const Request& r, const std::uint8_t* picture);
  void WriteBack(const Held& held, const FilterRecord& record);
  void FillMask(const Held& held, const FilterRecord& record);
  bool Selected(int x, int y, const std::uint8_t* picture) const;
  bool Take(Held& held, const Request& r, std::uint64_t columnBytes);
  // The record's fields for a buffer: where the asked rectangle starts in it, its layout.
  static void Publish(const Held& held, const Rect& asked, void*& data, int32_t& rowBytes, int32_t& columnBytes,
                      int32_t& planeBytes, int16_t& planes);

  FilterPictures pictures_;
  Held in_, out_, mask_;
  bool allocationFailed_ = false;
};
