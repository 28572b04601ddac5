// PNG decoding and encoding of a 4000 x 3000 photo, ours against libpng (its simplified
// interface, default settings). Counters: the file size each encoder writes. The codecs run
// once in memory and once through files: the program's registry saving and loading by path,
// libpng through its stdio interface with the same sync and rename.

#include <benchmark/benchmark.h>
#include <png.h>

#include <vector>

#include "FileBench.h"
#include "SyntheticPhoto.h"
#include "platform/rtl/Streams.h"
#include "vorlen/core/Buffer.h"
#include "vorlen/formats/GFXFile.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

using Bytes = std::vector<unsigned char>;

GFXFile* Png() { return GFXFile::GetDefaultFormat("x.png"); }

const std::vector<uint32_t>& Pixels() {
  static const std::vector<uint32_t> px = bench_photo::Make(kWidth, kHeight);
  return px;
}

Buffer& Photo() {
  static Buffer b = [] {
    Buffer image;
    image.Alloc(Pair<int>(kWidth, kHeight));
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) *image.At(x, y) = Pixels()[size_t(y) * kWidth + x];
    return image;
  }();
  return b;
}

Bytes Rgb() {
  Bytes rgb;
  rgb.reserve(size_t(kWidth) * kHeight * 3);
  for (uint32_t v : Pixels()) {
    rgb.push_back(static_cast<unsigned char>(v >> 16));
    rgb.push_back(static_cast<unsigned char>(v >> 8));
    rgb.push_back(static_cast<unsigned char>(v));
  }
  return rgb;
}

Bytes OurEncode() {
  TMemoryStream out;
  GFXSaveParams params;
  params.bits = 24;
  Png()->Save(Photo(), &out, &params, nullptr);
  const auto* p = static_cast<const unsigned char*>(out.Memory());
  return Bytes(p, p + out.Size());
}

png_image LibpngImage() {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = kWidth;
  image.height = kHeight;
  image.format = PNG_FORMAT_RGB;
  return image;
}

// One compression into room for the largest file libpng can write: asking for the size first
// would compress twice.
Bytes LibpngEncode(const Bytes& rgb) {
  png_image image = LibpngImage();
  Bytes out(PNG_IMAGE_PNG_SIZE_MAX(image));
  png_alloc_size_t size = out.size();
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, rgb.data(), 0, nullptr)) size = 0;
  out.resize(size);
  return out;
}

const Bytes& LibpngFile() {
  static const Bytes file = LibpngEncode(Rgb());
  return file;
}

const std::string& LibpngFileOnDisk() {
  static const std::string path = [] {
    const std::string p = bench_files::Scratch().File("libpng.png");
    bench_files::WriteFile(p, LibpngFile());
    return p;
  }();
  return path;
}

void BM_PngEncodeOurs(benchmark::State& state) {
  size_t size = 0;
  for (auto _ : state) size = OurEncode().size();
  state.counters["file_bytes"] = double(size);
}

void BM_PngEncodeLibpng(benchmark::State& state) {
  const Bytes rgb = Rgb();
  png_image image = LibpngImage();
  Bytes out(PNG_IMAGE_PNG_SIZE_MAX(image));  // taken once, as ours grows one stream per save
  png_alloc_size_t size = 0;
  for (auto _ : state) {
    image = LibpngImage();
    size = out.size();
    png_image_write_to_memory(&image, out.data(), &size, 0, rgb.data(), 0, nullptr);
  }
  state.counters["file_bytes"] = double(size);
}

void BM_PngDecodeOurs(benchmark::State& state) {
  TMemoryStream in;
  in.Write(LibpngFile().data(), static_cast<int>(LibpngFile().size()));
  Buffer image;  // allocated once, as libpng's target below
  image.Alloc(Pair<int>(kWidth, kHeight));
  for (auto _ : state) {
    in.SetPosition(0);
    Png()->Load(image, &in, 0, nullptr, nullptr);
    benchmark::DoNotOptimize(image.pixels);
  }
  state.counters["file_bytes"] = double(LibpngFile().size());
}

void BM_PngDecodeLibpng(benchmark::State& state) {
  Bytes rgb(size_t(kWidth) * kHeight * 3);
  for (auto _ : state) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    png_image_begin_read_from_memory(&image, LibpngFile().data(), LibpngFile().size());
    image.format = PNG_FORMAT_RGB;
    png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr);
  }
  state.counters["file_bytes"] = double(LibpngFile().size());
}

void BM_PngSaveFileOurs(benchmark::State& state) {
  const std::string path = bench_files::Scratch().File("ours.png");
  GFXSaveParams params;
  params.bits = 24;
  for (auto _ : state) benchmark::DoNotOptimize(GFXFile::Save(Photo(), path, nullptr, &params));
  state.counters["file_bytes"] = double(std::filesystem::file_size(path));
}

void BM_PngSaveFileLibpng(benchmark::State& state) {
  const Bytes rgb = Rgb();
  const std::string path = bench_files::Scratch().File("libpng-save.png");
  for (auto _ : state) {
    benchmark::DoNotOptimize(bench_files::SaveLikeTheProgram(path, [&](std::FILE* file) {
      png_image image = LibpngImage();
      return png_image_write_to_stdio(&image, file, 0, rgb.data(), 0, nullptr) != 0;
    }));
  }
  state.counters["file_bytes"] = double(std::filesystem::file_size(path));
}

void BM_PngLoadFileOurs(benchmark::State& state) {
  Buffer image;  // allocated once, as libpng's target below
  image.Alloc(Pair<int>(kWidth, kHeight));
  for (auto _ : state) {
    benchmark::DoNotOptimize(GFXFile::Load(image, LibpngFileOnDisk(), nullptr, 0, nullptr));
    benchmark::DoNotOptimize(image.pixels);
  }
  state.counters["file_bytes"] = double(LibpngFile().size());
}

void BM_PngLoadFileLibpng(benchmark::State& state) {
  Bytes rgb(size_t(kWidth) * kHeight * 3);
  for (auto _ : state) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    png_image_begin_read_from_file(&image, LibpngFileOnDisk().c_str());
    image.format = PNG_FORMAT_RGB;
    png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr);
  }
  state.counters["file_bytes"] = double(LibpngFile().size());
}

}  // namespace

BENCHMARK(BM_PngEncodeOurs)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PngEncodeLibpng)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PngDecodeOurs)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PngDecodeLibpng)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PngSaveFileOurs)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PngSaveFileLibpng)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PngLoadFileOurs)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PngLoadFileLibpng)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_MAIN();
