// The graphics calls the program's views lean on: copying a picture to the screen, filling,
// and drawing text.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Metafile.h"

namespace {

struct Target {
  explicit Target(int w, int h) {
    BITMAPINFO info{};
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    dc = CreateCompatibleDC(nullptr);
    old = SelectObject(dc, bitmap);
  }
  ~Target() {
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
  HBITMAP bitmap;
  HDC dc;
  HGDIOBJ old;
};

void BM_BitBltCopy(benchmark::State& state) {
  Target src(1024, 768), dst(1024, 768);
  for (auto _ : state) BitBlt(dst.dc, 0, 0, 1024, 768, src.dc, 0, 0, SRCCOPY);
  state.SetItemsProcessed(state.iterations() * 1024 * 768);
}
BENCHMARK(BM_BitBltCopy);

void BM_StretchDIBitsDouble(benchmark::State& state) {
  Target dst(1024, 768);
  std::vector<std::uint32_t> pixels(512 * 384, 0x336699);
  BITMAPINFO info{};
  info.bmiHeader.biWidth = 512;
  info.bmiHeader.biHeight = -384;
  info.bmiHeader.biBitCount = 32;
  for (auto _ : state)
    StretchDIBits(dst.dc, 0, 0, 1024, 768, 0, 0, 512, 384, pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
  state.SetItemsProcessed(state.iterations() * 1024 * 768);
}
BENCHMARK(BM_StretchDIBitsDouble);

void BM_FillRect(benchmark::State& state) {
  Target dst(1024, 768);
  HBRUSH brush = CreateSolidBrush(RGB(10, 20, 30));
  RECT r{0, 0, 1024, 768};
  for (auto _ : state) FillRect(dst.dc, &r, brush);
  DeleteObject(brush);
  state.SetItemsProcessed(state.iterations() * 1024 * 768);
}
BENCHMARK(BM_FillRect);

void BM_TextOutArial12(benchmark::State& state) {
  Target dst(600, 40);
  LOGFONT lf;
  lf.lfHeight = -16;
  lf.lfFaceName[0] = 'A', lf.lfFaceName[1] = 'r', lf.lfFaceName[2] = 'i', lf.lfFaceName[3] = 'a', lf.lfFaceName[4] = 'l';
  HFONT font = CreateFontIndirect(&lf);
  HGDIOBJ old = SelectObject(dst.dc, font);
  SetBkMode(dst.dc, TRANSPARENT);
  const char text[] = "The quick brown fox jumps over the lazy dog";
  for (auto _ : state) TextOut(dst.dc, 2, 2, text, sizeof text - 1);
  SelectObject(dst.dc, old);
  DeleteObject(font);
  state.SetItemsProcessed(state.iterations() * (sizeof text - 1));
}
BENCHMARK(BM_TextOutArial12);

// A Windows metafile that creates brush after brush without deleting any: each creation
// takes the lowest free slot of the object table, which must not cost a walk over the table
// (a file of a few hundred kilobytes would otherwise play for minutes).
std::vector<std::uint8_t> ManyBrushesWmf(int brushes) {
  std::vector<std::uint8_t> b;
  const auto le16 = [&b](unsigned v) { b.push_back(std::uint8_t(v)), b.push_back(std::uint8_t(v >> 8)); };
  const auto le32 = [&](unsigned v) { le16(v & 0xFFFF), le16(v >> 16); };
  le16(1), le16(9), le16(0x300), le32(0), le16(0), le32(7), le16(0);  // header; size unchecked
  le32(5), le16(0x020C), le16(10), le16(10);                          // window extent
  for (int i = 0; i < brushes; ++i) le32(7), le16(0x02FC), le16(0), le32(0x0000FF), le16(0);
  le32(3), le16(0);
  return b;
}

void BM_WindowsMetafileManyObjects(benchmark::State& state) {
  Target dst(10, 10);
  Metafile metafile;
  metafile.Load(ManyBrushesWmf(static_cast<int>(state.range(0))));
  for (auto _ : state) metafile.Play(dst.dc, RECT{0, 0, 10, 10});
  state.SetComplexityN(state.range(0));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_WindowsMetafileManyObjects)->RangeMultiplier(4)->Range(1024, 65535)->Complexity();

// A tall polygon's region: one rectangle a row, which building the region must take in time
// proportional to the rows (a metafile's clip path can span thousands of them).
void BM_PolygonRegionManyRows(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  const POINT diamond[] = {{500, 0}, {1000, rows / 2}, {500, rows}, {0, rows / 2}};
  for (auto _ : state) DeleteObject(CreatePolygonRgn(diamond, 4, ALTERNATE));
  state.SetComplexityN(rows);
  state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_PolygonRegionManyRows)->RangeMultiplier(4)->Range(256, 16384)->Complexity();

}  // namespace

BENCHMARK_MAIN();
