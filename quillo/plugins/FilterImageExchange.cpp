#include "quillo/plugins/FilterImageExchange.h"

#include <algorithm>
#include <cstring>
#include <utility>

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

namespace {

// Where the bytes of a column come from: each one byte of an extended pixel (the four pixel
// bytes, then the dummy value and a 0 for a plane without a pixel byte), XORed with its flip.
constexpr int kDummyByte = 4, kZeroByte = 5;
constexpr std::size_t kQuickColumnBytes = 8;

struct ColumnRecipe {
  std::vector<std::uint8_t> from, flip;
  std::uint8_t dummy = 0;
};

std::uint64_t ExtendedPixel(const std::uint8_t* pixel, std::uint8_t dummy) {
  std::uint32_t value;
  std::memcpy(&value, pixel, 4);
  return value | std::uint64_t{dummy} << (8 * kDummyByte);
}

// `count` columns of Bytes bytes from pixels `step` apart: the recipe worked out in a
// register, the column written at once.
template <std::size_t Bytes>
void FillColumns(std::uint8_t* out, const std::uint8_t* pixel, int count, int step, const ColumnRecipe& recipe) {
  unsigned shift[Bytes];
  std::uint64_t flip = 0;
  for (std::size_t k = 0; k < Bytes; ++k) {
    shift[k] = 8u * recipe.from[k];
    flip |= std::uint64_t{recipe.flip[k]} << (8 * k);
  }
  for (int i = 0; i < count; ++i, out += Bytes, pixel += 4 * step) {
    const std::uint64_t value = ExtendedPixel(pixel, recipe.dummy);
    std::uint64_t column = 0;
    for (std::size_t k = 0; k < Bytes; ++k) column |= (value >> shift[k] & 0xFF) << (8 * k);
    column ^= flip;
    std::memcpy(out, &column, Bytes);
  }
}

template <std::size_t... Sizes>
void FillColumnsOfSize(std::index_sequence<Sizes...>, std::size_t bytes, std::uint8_t* out, const std::uint8_t* pixel,
                       int count, int step, const ColumnRecipe& recipe) {
  ((bytes == Sizes + 1 ? FillColumns<Sizes + 1>(out, pixel, count, step, recipe) : void()), ...);
}

// Any number of bytes, one column.
void FillColumn(std::uint8_t* out, const std::uint8_t* pixel, const ColumnRecipe& recipe) {
  std::uint8_t extended[8] = {};
  const std::uint64_t value = ExtendedPixel(pixel, recipe.dummy);
  std::memcpy(extended, &value, sizeof value);
  for (std::size_t k = 0; k < recipe.from.size(); ++k)
    out[k] = static_cast<std::uint8_t>(extended[recipe.from[k]] ^ recipe.flip[k]);
}

void FillColumns(std::uint8_t* out, const std::uint8_t* pixel, int count, int step, const ColumnRecipe& recipe) {
  const std::size_t bytes = recipe.from.size();
  if (bytes >= 1 && bytes <= kQuickColumnBytes) {
    FillColumnsOfSize(std::make_index_sequence<kQuickColumnBytes>(), bytes, out, pixel, count, step, recipe);
    return;
  }
  for (int i = 0; i < count; ++i, out += bytes, pixel += 4 * step) FillColumn(out, pixel, recipe);
}

// Where the planes of a column go in a pixel: each plane with a pixel byte moves there,
// XORed with its flip; the pixel's other bytes stay.
struct PixelRecipe {
  struct Move {
    int from, to;
    std::uint8_t flip;
  };
  std::vector<Move> moves;
};

// `count` pixels from columns of Bytes bytes each (read exactly: the buffer may end at a guard
// page), the moves worked out in a register.
template <std::size_t Bytes>
void WriteColumns(std::uint32_t* pixel, const std::uint8_t* in, int count, const PixelRecipe& recipe) {
  std::uint32_t keep = 0xFFFFFFFFu, flip = 0;
  unsigned from[4] = {}, to[4] = {};
  const std::size_t moves = std::min<std::size_t>(recipe.moves.size(), 4);
  for (std::size_t m = 0; m < moves; ++m) {
    from[m] = 8u * static_cast<unsigned>(recipe.moves[m].from);
    to[m] = 8u * static_cast<unsigned>(recipe.moves[m].to);
    keep &= ~(0xFFu << to[m]);
    flip |= std::uint32_t{recipe.moves[m].flip} << to[m];
  }
  for (int i = 0; i < count; ++i, ++pixel, in += Bytes) {
    std::uint64_t column = 0;
    std::memcpy(&column, in, Bytes);
    std::uint32_t value = *pixel & keep;
    for (std::size_t m = 0; m < moves; ++m) value |= static_cast<std::uint32_t>(column >> from[m] & 0xFF) << to[m];
    *pixel = value ^ flip;
  }
}

template <std::size_t... Sizes>
void WriteColumnsOfSize(std::index_sequence<Sizes...>, std::size_t bytes, std::uint32_t* pixel, const std::uint8_t* in,
                        int count, const PixelRecipe& recipe) {
  ((bytes == Sizes + 1 ? WriteColumns<Sizes + 1>(pixel, in, count, recipe) : void()), ...);
}

void WritePixels(std::uint32_t* pixel, const std::uint8_t* in, int count, std::size_t columnBytes,
                 const PixelRecipe& recipe) {
  // Every move reads within the column's first 8 bytes when the column is that short, and a
  // pixel has 4 bytes to move to.
  if (columnBytes >= 1 && columnBytes <= kQuickColumnBytes && recipe.moves.size() <= 4) {
    WriteColumnsOfSize(std::make_index_sequence<kQuickColumnBytes>(), columnBytes, pixel, in, count, recipe);
    return;
  }
  for (int i = 0; i < count; ++i, ++pixel, in += columnBytes) {
    auto* bytes = reinterpret_cast<std::uint8_t*>(pixel);
    for (const PixelRecipe::Move& move : recipe.moves)
      bytes[move.to] = static_cast<std::uint8_t>(in[move.from] ^ move.flip);
  }
}

}  // namespace

void FilterImageExchange::FillPlanes(Held& held, const Request& r, const std::uint8_t* picture) {
  const std::vector<PlaneByte> map = PlaneBytes(r.loPlane, r.hiPlane);
  const std::size_t columnBytes = static_cast<std::size_t>(held.columnBytes);
  ColumnRecipe recipe{std::vector<std::uint8_t>(columnBytes, kDummyByte), std::vector<std::uint8_t>(columnBytes, 0),
                      r.dummyValue};
  std::vector<std::uint8_t> padColumn(columnBytes, r.dummyValue);
  for (std::size_t p = 0; p < map.size(); ++p) {
    const std::size_t at = static_cast<std::size_t>(r.preDummy) + p;
    recipe.from[at] = static_cast<std::uint8_t>(map[p].byte < 0 ? kZeroByte : map[p].byte);
    recipe.flip[at] = map[p].flip;
    padColumn[at] = static_cast<std::uint8_t>(r.padding & 0xFF);
  }
  const int s = r.step;
  const int w = pictures_.width, h = pictures_.height;
  const int columns = held.right - held.left;
  // The columns whose pixel lies inside the picture: inside .. insideEnd - 1.
  const long long firstInside = -static_cast<long long>(held.left);
  const long long endInside = (static_cast<long long>(w) + s - 1) / s - held.left;
  const int inside = static_cast<int>(std::clamp<long long>(firstInside, 0, columns));
  const int insideEnd = static_cast<int>(std::clamp<long long>(endInside, inside, columns));
  for (int row = 0; row < held.bottom - held.top; ++row) {
    std::uint8_t* out = held.memory.Data() + row * held.rowBytes;
    const long long y = (static_cast<long long>(held.top) + row) * s;
    const bool padRow = (y < 0 || y >= h) && r.padding != -1;
    const std::uint8_t* line = picture + std::clamp<long long>(y, 0, h - 1) * pictures_.rowBytes;
    const auto outside = [&](int col) {  // a column left or right of the picture
      std::uint8_t* at = out + static_cast<std::size_t>(col) * columnBytes;
      const long long x = (static_cast<long long>(held.left) + col) * s;
      if (padRow || r.padding != -1)
        std::memcpy(at, padColumn.data(), columnBytes);
      else
        FillColumn(at, line + std::clamp<long long>(x, 0, w - 1) * 4, recipe);
    };
    for (int col = 0; col < inside; ++col) outside(col);
    if (padRow) {
      for (int col = inside; col < insideEnd; ++col) std::memcpy(out + static_cast<std::size_t>(col) * columnBytes, padColumn.data(), columnBytes);
    } else if (insideEnd > inside) {
      const long long x = (static_cast<long long>(held.left) + inside) * s;
      FillColumns(out + static_cast<std::size_t>(inside) * columnBytes, line + x * 4, insideEnd - inside, s, recipe);
    }
    for (int col = insideEnd; col < columns; ++col) outside(col);
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
  // The planes that have a pixel byte: where each comes from in a column and goes in a pixel.
  const std::vector<PlaneByte> map = PlaneBytes(held.loPlane, held.hiPlane);
  PixelRecipe recipe;
  for (std::size_t p = 0; p < map.size(); ++p)
    if (map[p].byte >= 0) recipe.moves.push_back({held.preDummy + static_cast<int>(p), map[p].byte, map[p].flip});
  for (int y = top; y < bottom; ++y) {
    const std::uint8_t* in = held.memory.Data() + (y - held.top) * held.rowBytes;
    auto* line = reinterpret_cast<std::uint32_t*>(pictures_.destination + y * pictures_.rowBytes);
    const std::size_t columnBytes = static_cast<std::size_t>(held.columnBytes);
    if (!record.haveMask) {
      WritePixels(line + left, in + static_cast<std::size_t>(left - held.left) * columnBytes, right - left, columnBytes,
                  recipe);
      continue;
    }
    for (int x = left; x < right; ++x)
      if (Selected(x, y, pictures_.destination))
        WritePixels(line + x, in + static_cast<std::size_t>(x - held.left) * columnBytes, 1, columnBytes, recipe);
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
