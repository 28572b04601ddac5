// PNG decoding and encoding of a 4000 x 3000 photo, ours against libpng (its simplified
// interface, default settings). Counters: the file size each encoder writes. The codecs run
// once in memory and once through files: the program's registry saving and loading by path,
// libpng through its stdio interface with the same sync and rename. Last, the same picture
// against libdeflate at level 6 doing a PNG codec's compression work (rows filtered, then
// compressed; decompressed, then unfiltered), the two taken in turns: "vs_ref" is our time
// over its.

#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "FileBench.h"
#include "PairedRatio.h"
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

// The zlib stream of a PNG file: its IDAT chunks' data, joined.
Bytes IdatData(const Bytes& file) {
  Bytes data;
  for (size_t at = 8; at + 12 <= file.size();) {
    const size_t length = size_t(file[at]) << 24 | size_t(file[at + 1]) << 16 | size_t(file[at + 2]) << 8 | file[at + 3];
    if (std::equal(file.begin() + long(at) + 4, file.begin() + long(at) + 8, "IDAT"))
      data.insert(data.end(), file.begin() + long(at) + 8, file.begin() + long(at + 8 + length));
    at += length + 12;
  }
  return data;
}

int Paeth(int a, int b, int c) {
  const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// Undoes the five PNG filters on rows of 3-byte pixels, in place.
void Unfilter(Bytes& rows, int width) {
  const size_t length = size_t(width) * 3;
  const unsigned char* above = nullptr;
  for (size_t at = 0; at < rows.size(); at += length + 1) {
    const int filter = rows[at];
    unsigned char* row = rows.data() + at + 1;
    for (size_t i = 0; i < length; ++i) {
      const int a = i >= 3 ? row[i - 3] : 0, b = above ? above[i] : 0, c = above && i >= 3 ? above[i - 3] : 0;
      const int predicted = filter == 1 ? a : filter == 2 ? b : filter == 3 ? (a + b) / 2 : filter == 4 ? Paeth(a, b, c) : 0;
      row[i] = static_cast<unsigned char>(row[i] + predicted);
    }
    above = row;
  }
}

void BM_PngEncodeVsLibdeflate6(benchmark::State& state) {
  const Bytes rgb = Rgb();
  libdeflate_compressor* compressor = libdeflate_alloc_compressor(6);
  Bytes filtered, out;
  size_t ours = 0, theirs = 0;
  bench_ratio::Paired(
      state, 1.5, [&] { ours = OurEncode().size(); },
      [&] {
        filtered = bench_photo::FilteredRows(Pixels(), kWidth);
        out.resize(libdeflate_zlib_compress_bound(compressor, filtered.size()));
        theirs = libdeflate_zlib_compress(compressor, filtered.data(), filtered.size(), out.data(), out.size());
      });
  libdeflate_free_compressor(compressor);
  state.counters["file_bytes"] = double(ours);
  state.counters["size_vs_ref"] = double(ours) / double(theirs);
}

void BM_PngDecodeVsLibdeflate(benchmark::State& state) {
  const Bytes idat = IdatData(LibpngFile());
  TMemoryStream in;
  in.Write(LibpngFile().data(), static_cast<int>(LibpngFile().size()));
  Buffer image;
  image.Alloc(Pair<int>(kWidth, kHeight));
  Bytes rows((size_t(kWidth) * 3 + 1) * kHeight);
  libdeflate_decompressor* decompressor = libdeflate_alloc_decompressor();
  bench_ratio::Paired(
      state, 1.3,
      [&] {
        in.SetPosition(0);
        Png()->Load(image, &in, 0, nullptr, nullptr);
        benchmark::DoNotOptimize(image.pixels);
      },
      [&] {
        size_t actual = 0;
        if (libdeflate_zlib_decompress(decompressor, idat.data(), idat.size(), rows.data(), rows.size(), &actual) !=
            LIBDEFLATE_SUCCESS)
          state.SkipWithError("libdeflate");
        Unfilter(rows, kWidth);
        benchmark::DoNotOptimize(rows.data());
      });
  libdeflate_free_decompressor(decompressor);
}

}  // namespace

BENCHMARK(BM_PngEncodeVsLibdeflate6)->Iterations(4)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngDecodeVsLibdeflate)->Iterations(6)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngEncodeOurs)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PngEncodeLibpng)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PngDecodeOurs)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PngDecodeLibpng)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PngSaveFileOurs)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PngSaveFileLibpng)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PngLoadFileOurs)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PngLoadFileLibpng)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_MAIN();
