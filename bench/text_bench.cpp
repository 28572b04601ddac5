// Text into a buffer: a line in a shipped bitmap font and in a framework font; the font
// registry built from its cache; and a metafile of a 256 x 256 picture read back.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/vcl/Font.h"
#include "vorlen/core/Buffer.h"
#include "vorlen/draw/RFont.h"
#include "vorlen/formats/GFXFile.h"

namespace {

const char* kLine = "The quick brown fox jumps over the lazy dog 0123456789";

// A copy of the shipped fonts in a folder of its own, so that no cache lands in the tree.
std::string FontFolder() {
  static const std::string folder = [] {
    const std::string path = std::filesystem::temp_directory_path().string() + "/quillo-text-bench/";
    std::filesystem::create_directories(path);
    for (const auto& item : std::filesystem::directory_iterator(std::string(QUILLO_FONTS_DIR)))
      std::filesystem::copy_file(item.path(), path + item.path().filename().string(),
                                 std::filesystem::copy_options::overwrite_existing);
    std::snprintf(RFont::path, sizeof RFont::path, "%s", path.c_str());
    RFont::FreeReg();
    return path;
  }();
  return folder;
}

Buffer Paper(int width, int height) {
  Buffer b;
  b.Alloc(Pair<int>(width, height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) *b.At(x, y) = 0x00FFFFFF;
  return b;
}

void BitmapFontLine(benchmark::State& state) {
  FontFolder();
  RFont font;
  font.SetName("DejaVu Sans");
  font.SetSize(18);
  Buffer b = Paper(640, 40);
  for (auto _ : state) b.OutText(font, Pair<int>(2, 2), kLine, 0);
  state.SetItemsProcessed(state.iterations() * static_cast<long>(std::string(kLine).size()));
}
BENCHMARK(BitmapFontLine);

void FrameworkFontLine(benchmark::State& state) {
  TFont font;
  font.SetName("DejaVu Sans");
  font.SetSize(14);
  Buffer b = Paper(640, 40);
  for (auto _ : state) b.OutText(&font, Pair<int>(2, 2), kLine, 0);
  state.SetItemsProcessed(state.iterations() * static_cast<long>(std::string(kLine).size()));
}
BENCHMARK(FrameworkFontLine);

void RegistryFromCache(benchmark::State& state) {
  FontFolder();
  RFont::InitReg();  // writes the cache once
  for (auto _ : state) {
    RFont::FreeReg();
    RFont::InitReg();
    benchmark::DoNotOptimize(RFont::GetCount());
  }
}
BENCHMARK(RegistryFromCache);

void MetafileRead(benchmark::State& state) {
  const bool enhanced = state.range(0) != 0;
  const std::string path = std::filesystem::temp_directory_path().string() +
                           (enhanced ? "/quillo-bench.emf" : "/quillo-bench.wmf");
  Buffer image = Paper(256, 256);
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) *image.At(x, y) = static_cast<uint>(x * 0x10101 ^ y * 0x102);
  GFXFile::Save(image, path, nullptr, nullptr);
  for (auto _ : state) {
    Buffer back;
    GFXFile::Load(back, path, nullptr, 0, nullptr);
  }
  state.SetItemsProcessed(state.iterations() * 256 * 256);
  std::remove(path.c_str());
}
BENCHMARK(MetafileRead)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
