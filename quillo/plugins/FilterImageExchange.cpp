#include "quillo/plugins/FilterImageExchange.h"

#include <algorithm>
#include <cstring>

namespace {

bool NonEmpty(const Rect& r) { return r.left < r.right && r.top < r.bottom; }

int StepOf(Fixed rate) {
  const int step = rate >> 16;
  return step > 0 ? step : 1;
}

int PlaneCount(int lo, int hi) { return std::max(0, hi + 1 - lo); }

}  // namespace

int FilterImageExchange::PixelByte(int plane, int hiPlane) const {
  if (plane >= 0 && plane <= 2) return 2 - plane;
  if (plane == 3 && pictures_.alphaMode != 0 && hiPlane >= 3) return 3;
  return -1;
}

bool FilterImageExchange::Keeps(const Held& held, const Request& r, bool compareStep) const {
  return held.Holds() && (!compareStep || held.step == r.step) && held.loPlane == r.loPlane &&
         held.hiPlane == r.hiPlane && held.preDummy == r.preDummy && held.postDummy == r.postDummy &&
         NonEmpty(r.rect) && r.rect.left >= held.left && r.rect.top >= held.top && r.rect.right <= held.right &&
         r.rect.bottom <= held.bottom;
}

bool FilterImageExchange::Take(Held& held, const Request& r, std::uint64_t columnBytes) {
  const std::uint64_t width = static_cast<std::uint64_t>(r.rect.right - r.rect.left);
  const std::uint64_t rows = static_cast<std::uint64_t>(r.rect.bottom - r.rect.top);
  const std::uint64_t rowBytes = width * columnBytes;
  if (columnBytes == 0 || rowBytes > INT32_MAX || !held.memory.Allocate(rowBytes * rows)) {
    held.memory.Free();
    allocationFailed_ = true;
    return false;
  }
  held.left = r.rect.left;
  held.top = r.rect.top;
  held.right = r.rect.right;
  held.bottom = r.rect.bottom;
  held.loPlane = r.loPlane;
  held.hiPlane = r.hiPlane;
  held.preDummy = r.preDummy;
  held.postDummy = r.postDummy;
  held.step = r.step;
  held.columnBytes = static_cast<int>(columnBytes);
  held.rowBytes = static_cast<std::ptrdiff_t>(rowBytes);
  return true;
}

std::vector<FilterImageExchange::PlaneByte> FilterImageExchange::PlaneBytes(int loPlane, int hiPlane) const {
  const std::uint8_t xorAlpha = static_cast<std::uint8_t>(pictures_.alphaMode & 0xFF);
  std::vector<PlaneByte> map(static_cast<std::size_t>(PlaneCount(loPlane, hiPlane)));
  for (std::size_t p = 0; p < map.size(); ++p) {
    const long plane = loPlane + static_cast<long>(p);
    // Only planes 0 to 3 have pixel bytes; any other plane reads as 0 and is not written.
    map[p].byte = plane >= 0 && plane < 4 ? PixelByte(static_cast<int>(plane), hiPlane) : -1;
    map[p].flip = map[p].byte == 3 ? xorAlpha : 0;
  }
  return map;
}

void FilterImageExchange::FillPlanes(Held& held, const Request& r, const std::uint8_t* picture) {
  const std::vector<PlaneByte> map = PlaneBytes(r.loPlane, r.hiPlane);
  const std::uint8_t pad = static_cast<std::uint8_t>(r.padding & 0xFF);
  const int s = r.step;
  const int w = pictures_.width, h = pictures_.height;
  for (int row = 0; row < held.bottom - held.top; ++row) {
    std::uint8_t* out = held.memory.Data() + row * held.rowBytes;
    const long long y = (static_cast<long long>(held.top) + row) * s;
    const bool padRow = (y < 0 || y >= h) && r.padding != -1;
    const std::uint8_t* line = picture + std::clamp<long long>(y, 0, h - 1) * pictures_.rowBytes;
    for (int col = 0; col < held.right - held.left; ++col) {
      const long long x = (static_cast<long long>(held.left) + col) * s;
      const bool padPixel = padRow || ((x < 0 || x >= w) && r.padding != -1);
      const std::uint8_t* pixel = line + std::clamp<long long>(x, 0, w - 1) * 4;
      for (int d = 0; d < r.preDummy; ++d) *out++ = r.dummyValue;
      if (padPixel) {
        for (std::size_t p = 0; p < map.size(); ++p) *out++ = pad;
      } else {
        for (const PlaneByte& plane : map)
          *out++ = plane.byte < 0 ? 0 : static_cast<std::uint8_t>(pixel[plane.byte] ^ plane.flip);
      }
      for (int d = 0; d < r.postDummy; ++d) *out++ = r.dummyValue;
    }
  }
}

bool FilterImageExchange::Selected(int x, int y, const std::uint8_t* picture) const {
  if (pictures_.maskWords != nullptr) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const std::uint8_t*>(pictures_.maskWords) +
                                                             y * pictures_.maskRowBytes);
    return (row[x >> 5] >> (x & 31) & 1) != 0;
  }
  std::uint32_t value;
  std::memcpy(&value, picture + y * pictures_.rowBytes + x * 4, 4);
  return (value & pictures_.alphaBitsSelection) != 0;
}

void FilterImageExchange::WriteBack(const Held& held, const FilterRecord& record) {
  int left = std::max(held.left, 0), right = std::min(held.right, pictures_.width);
  int top = std::max(held.top, 0), bottom = std::min(held.bottom, pictures_.height);
  if (record.autoMask) {
    left = std::max(left, static_cast<int>(record.filterRect.left));
    right = std::min(right, static_cast<int>(record.filterRect.right));
    top = std::max(top, static_cast<int>(record.filterRect.top));
    bottom = std::min(bottom, static_cast<int>(record.filterRect.bottom));
  }
  const std::vector<PlaneByte> map = PlaneBytes(held.loPlane, held.hiPlane);
  for (int y = top; y < bottom; ++y) {
    const std::uint8_t* in = held.memory.Data() + (y - held.top) * held.rowBytes;
    std::uint8_t* line = pictures_.destination + y * pictures_.rowBytes;
    for (int x = left; x < right; ++x) {
      if (record.haveMask && !Selected(x, y, pictures_.destination)) continue;
      const std::uint8_t* from = in + (x - held.left) * held.columnBytes + held.preDummy;
      std::uint8_t* pixel = line + x * 4;
      for (std::size_t p = 0; p < map.size(); ++p)
        if (map[p].byte >= 0) pixel[map[p].byte] = static_cast<std::uint8_t>(from[p] ^ map[p].flip);
    }
  }
}

void FilterImageExchange::FillMask(const Held& held, const FilterRecord& record) {
  const Rect& f = record.filterRect;
  for (int row = 0; row < held.bottom - held.top; ++row) {
    std::uint8_t* out = held.memory.Data() + row * held.rowBytes;
    const long long y = (static_cast<long long>(held.top) + row) * held.step;
    if (y < f.top || y >= f.bottom || y < 0 || y >= pictures_.height) continue;  // zeroed already
    for (int col = 0; col < held.right - held.left; ++col) {
      const long long x = (static_cast<long long>(held.left) + col) * held.step;
      if (x < f.left || x >= f.right || x < 0 || x >= pictures_.width) continue;
      const bool on = !record.haveMask || Selected(static_cast<int>(x), static_cast<int>(y), pictures_.source);
      out[col] = on ? 255 : 0;
    }
  }
}

void FilterImageExchange::Publish(const Held& held, const Rect& asked, void*& data, int32_t& rowBytes,
                                  int32_t& columnBytes, int32_t& planeBytes, int16_t& planes) {
  if (!held.Holds()) {
    data = nullptr;
    rowBytes = columnBytes = planeBytes = 0;
    planes = 0;
    return;
  }
  rowBytes = static_cast<int32_t>(held.rowBytes);
  data = held.memory.Data() + (asked.left - held.left) * held.columnBytes + (asked.top - held.top) * held.rowBytes;
  columnBytes = held.columnBytes;
  planeBytes = 1;
  planes = static_cast<int16_t>(PlaneCount(held.loPlane, held.hiPlane));
}

OSErr FilterImageExchange::AdvanceState(FilterRecord& r) {
  const std::uint8_t dummy = static_cast<std::uint8_t>(r.dummyPlaneValue & 0xFF);

  Request in{r.inRect, r.inLoPlane, r.inHiPlane, std::max<int>(0, r.inPreDummyPlanes),
             std::max<int>(0, r.inPostDummyPlanes), StepOf(r.inputRate), r.inputPadding, dummy};
  if (!Keeps(in_, in, true)) {
    if (!NonEmpty(in.rect)) in_.memory.Free();
    const std::uint64_t columnBytes = static_cast<std::uint64_t>(PlaneCount(in.loPlane, in.hiPlane)) + in.preDummy + in.postDummy;
    if (NonEmpty(in.rect) && Take(in_, in, columnBytes)) FillPlanes(in_, in, pictures_.source);
  }
  Publish(in_, r.inRect, r.inData, r.inRowBytes, r.inColumnBytes, r.inPlaneBytes, r.inNonLayerPlanes);

  Request out{r.outRect, r.outLoPlane, r.outHiPlane, std::max<int>(0, r.outPreDummyPlanes),
              std::max<int>(0, r.outPostDummyPlanes), 1, r.outputPadding, dummy};
  if (!Keeps(out_, out, false)) {
    if (out_.Holds()) WriteBack(out_, r);
    if (!NonEmpty(out.rect)) out_.memory.Free();
    const std::uint64_t columnBytes = static_cast<std::uint64_t>(PlaneCount(out.loPlane, out.hiPlane)) + out.preDummy + out.postDummy;
    if (NonEmpty(out.rect) && Take(out_, out, columnBytes)) FillPlanes(out_, out, pictures_.destination);
  }
  Publish(out_, r.outRect, r.outData, r.outRowBytes, r.outColumnBytes, r.outPlaneBytes, r.outNonLayerPlanes);

  Request mask{r.maskRect, 0, 0, 0, 0, StepOf(r.maskRate), 0, 0};
  const bool keepMask = mask_.Holds() && mask_.step == mask.step && NonEmpty(mask.rect) &&
                        mask.rect.left >= mask_.left && mask.rect.top >= mask_.top &&
                        mask.rect.right <= mask_.right && mask.rect.bottom <= mask_.bottom;
  if (!keepMask) {
    if (!NonEmpty(mask.rect)) mask_.memory.Free();
    if (NonEmpty(mask.rect) && Take(mask_, mask, 1)) FillMask(mask_, r);
  }
  if (mask_.Holds()) {
    r.maskRowBytes = static_cast<int32_t>(mask_.rowBytes);
    r.maskData = mask_.memory.Data() + (r.maskRect.left - mask_.left) + (r.maskRect.top - mask_.top) * mask_.rowBytes;
  } else {
    r.maskData = nullptr;
    r.maskRowBytes = 0;
  }

  const auto heldAlpha = [this](const Held& h) {
    return h.Holds() && pictures_.alphaMode != 0 && h.hiPlane >= 3 && h.loPlane <= 3;
  };
  r.absNonLayerPlanes = heldAlpha(in_) || heldAlpha(out_) ? 4 : 3;
  return 0;
}

void FilterImageExchange::FreeBuffers() {
  in_.memory.Free();
  out_.memory.Free();
  mask_.memory.Free();
}
