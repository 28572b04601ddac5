// JPEG decode and encode of a 4000 x 3000 photo-like picture, baseline and progressive,
// against libjpeg-turbo in the same run. Decoding reads files libjpeg-turbo wrote (quality 90,
// 4:2:0 and 4:4:4); encoding writes quality 90 without subsampling on both sides. The codecs
// run once in memory and once through files: the program's registry saving and loading by
// path, libjpeg-turbo through its stdio source and destination with the same sync and rename.
// The paired runs take ours and libjpeg-turbo in turns (decoding with chroma replicated on
// both sides) and print our time over its as "vs_ref" beside the goal; a series of baseline
// 4:2:0 files of 1, 12 and 48 megapixels does the same for decoding across sizes, and the
// loads and the progressive save through files are paired the same way.

#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <string>

#include "FileBench.h"
#include "PairedRatio.h"
#include "SyntheticPhoto.h"
#include "tests/vorlen/formats/jpeg/JpegTestSupport.h"
#include "tests/vorlen/formats/jpeg/LibJpegReference.h"
#include "vorlen/formats/jpeg/JpegDecoder.h"
#include "vorlen/formats/GFXFile.h"
#include "vorlen/formats/jpeg/JpegEncoder.h"

namespace {

using Bytes = std::vector<unsigned char>;
constexpr int kWidth = 4000, kHeight = 3000;

const reference::Image& Photo() {
  static const reference::Image photo{kWidth, kHeight, bench_photo::Make(kWidth, kHeight)};
  return photo;
}

Buffer& PhotoBuffer() {
  static Buffer buffer = [] {
    Buffer b;
    b.Alloc(Pair<int>(kWidth, kHeight));
    std::copy(Photo().pixels.begin(), Photo().pixels.end(), b.pixels);
    return b;
  }();
  return buffer;
}

// Files by mode: 0 baseline 4:2:0, 1 progressive 4:2:0, 2 baseline 4:4:4, 3 progressive 4:4:4.
const Bytes& File(int mode) {
  static Bytes files[4];
  if (files[mode].empty()) {
    const bool progressive = mode & 1;
    const int h = mode < 2 ? 2 : 1;
    files[mode] = reference::Encode(Photo(), {90, false, progressive, h, h, 0, 0});
  }
  return files[mode];
}

const char* kModeNames[4] = {"baseline420", "progressive420", "baseline444", "progressive444"};

void Pixels(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void BM_DecodeOurs(benchmark::State& state) {
  const Bytes& file = File(static_cast<int>(state.range(0)));
  state.SetLabel(kModeNames[state.range(0)]);
  for (auto _ : state) {
    Buffer image;
    jpeg::MemoryInput in(file.data(), file.size());
    jpeg::Decoder decoder(in, image, nullptr);
    benchmark::DoNotOptimize(decoder.Decode());
  }
  Pixels(state);
}

void BM_DecodeLibJpeg(benchmark::State& state) {
  const Bytes& file = File(static_cast<int>(state.range(0)));
  const bool fancy = state.range(1) != 0;
  state.SetLabel(std::string(kModeNames[state.range(0)]) + (fancy ? " smoothed chroma" : " replicated chroma"));
  for (auto _ : state) benchmark::DoNotOptimize(reference::Decode(file, fancy).ok);
  Pixels(state);
}

void BM_EncodeOurs(benchmark::State& state) {
  const bool progressive = state.range(0) != 0;
  state.SetLabel(progressive ? "progressive444" : "baseline444");
  size_t size = 0;
  const Buffer& photo = PhotoBuffer();
  for (auto _ : state) {
    jpeg_test::VectorOutput out;
    out.bytes.reserve(8u << 20);
    jpeg::Encoder encoder(photo, out, jpeg::EncodeSettings{90, false, progressive}, nullptr);
    benchmark::DoNotOptimize(encoder.Encode());
    size = out.bytes.size();
  }
  state.counters["bytes"] = static_cast<double>(size);
  Pixels(state);
}

void BM_EncodeLibJpeg(benchmark::State& state) {
  const bool progressive = state.range(0) != 0;
  state.SetLabel(progressive ? "progressive444" : "baseline444");
  size_t size = 0;
  const reference::Image& photo = Photo();
  for (auto _ : state) size = reference::Encode(photo, {90, false, progressive, 1, 1, 0, 0}).size();
  state.counters["bytes"] = static_cast<double>(size);
  Pixels(state);
}

// The files the load benchmarks read, written once by libjpeg-turbo.
const std::string& FileOnDisk(int mode) {
  static std::string paths[4];
  if (paths[mode].empty()) {
    paths[mode] = bench_files::Scratch().File((std::string(kModeNames[mode]) + ".jpg").c_str());
    bench_files::WriteFile(paths[mode], File(mode));
  }
  return paths[mode];
}

void BM_SaveFileOurs(benchmark::State& state) {
  const bool progressive = state.range(0) != 0;
  state.SetLabel(progressive ? "progressive444" : "baseline444");
  const std::string path = bench_files::Scratch().File("ours.jpg");
  GFXSaveParams params;
  params.quality = 90;
  params.interlaced = progressive;
  for (auto _ : state) benchmark::DoNotOptimize(GFXFile::Save(PhotoBuffer(), path, nullptr, &params));
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
  Pixels(state);
}

void BM_SaveFileLibJpeg(benchmark::State& state) {
  const bool progressive = state.range(0) != 0;
  state.SetLabel(progressive ? "progressive444" : "baseline444");
  const std::string path = bench_files::Scratch().File("libjpeg.jpg");
  const reference::EncodeOptions options{90, false, progressive, 1, 1, 0, 0};
  for (auto _ : state) {
    benchmark::DoNotOptimize(bench_files::SaveLikeTheProgram(
        path, [&](std::FILE* file) { return reference::EncodeToFile(Photo(), options, file); }));
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
  Pixels(state);
}

void BM_LoadFileOurs(benchmark::State& state) {
  const std::string& path = FileOnDisk(static_cast<int>(state.range(0)));
  state.SetLabel(kModeNames[state.range(0)]);
  for (auto _ : state) {
    Buffer image;
    benchmark::DoNotOptimize(GFXFile::Load(image, path, nullptr, 0, nullptr));
  }
  Pixels(state);
}

void BM_LoadFileLibJpeg(benchmark::State& state) {
  const std::string& path = FileOnDisk(static_cast<int>(state.range(0)));
  state.SetLabel(std::string(kModeNames[state.range(0)]) + " replicated chroma");
  for (auto _ : state) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    benchmark::DoNotOptimize(file != nullptr && reference::DecodeFile(file).ok);
    if (file != nullptr) std::fclose(file);
  }
  Pixels(state);
}

// Ours and libjpeg-turbo decoding the same file in turns, against the goal.
void PairedDecode(benchmark::State& state, const Bytes& file) {
  bench_ratio::Paired(
      state, 1.5,
      [&] {
        Buffer image;
        jpeg::MemoryInput in(file.data(), file.size());
        jpeg::Decoder decoder(in, image, nullptr);
        benchmark::DoNotOptimize(decoder.Decode());
      },
      [&] { benchmark::DoNotOptimize(reference::Decode(file, false).ok); });
}

void BM_DecodeVsLibJpeg(benchmark::State& state) {
  state.SetLabel(kModeNames[state.range(0)]);
  PairedDecode(state, File(static_cast<int>(state.range(0))));
  Pixels(state);
}

// Baseline 4:2:0 files of 1, 12 and 48 megapixels (4:3), written once each by libjpeg-turbo.
const Bytes& SizedFile(int megapixels) {
  static std::map<int, Bytes> files;
  Bytes& file = files[megapixels];
  if (file.empty()) {
    const int width = megapixels == 12 ? kWidth : static_cast<int>(std::lround(std::sqrt(megapixels * 1e6 * 4 / 3)));
    const int height = width * 3 / 4;
    const reference::Image photo{width, height, bench_photo::Make(width, height)};
    file = reference::Encode(photo, {90, false, false, 2, 2, 0, 0});
  }
  return file;
}

void BM_DecodeSizeVsLibJpeg(benchmark::State& state) {
  const Bytes& file = SizedFile(static_cast<int>(state.range(0)));
  state.SetLabel("baseline420 " + std::to_string(state.range(0)) + " MP");
  PairedDecode(state, file);
  state.SetItemsProcessed(state.iterations() * state.range(0) * 1000000);
}

void BM_EncodeVsLibJpeg(benchmark::State& state) {
  const bool progressive = state.range(0) != 0;
  state.SetLabel(progressive ? "progressive444" : "baseline444");
  const Buffer& photo = PhotoBuffer();
  bench_ratio::Paired(
      state, progressive ? 1.3 : 1.6,
      [&] {
        jpeg_test::VectorOutput out;
        out.bytes.reserve(8u << 20);
        jpeg::Encoder encoder(photo, out, jpeg::EncodeSettings{90, false, progressive}, nullptr);
        benchmark::DoNotOptimize(encoder.Encode());
      },
      [&] { benchmark::DoNotOptimize(reference::Encode(Photo(), {90, false, progressive, 1, 1, 0, 0}).size()); });
  Pixels(state);
}

// Saving and loading through files as the program does, ours and libjpeg-turbo in turns:
// what a user waits for, beside the goal of the same work in memory. (Only the progressive
// save is paired: a baseline save is mostly the disk's sync, whose time varies too much.)
void BM_SaveFileVsLibJpeg(benchmark::State& state) {
  const bool progressive = state.range(0) != 0;
  state.SetLabel(progressive ? "progressive444" : "baseline444");
  const std::string ours = bench_files::Scratch().File("paired-ours.jpg");
  const std::string theirs = bench_files::Scratch().File("paired-libjpeg.jpg");
  GFXSaveParams params;
  params.quality = 90;
  params.interlaced = progressive;
  const reference::EncodeOptions options{90, false, progressive, 1, 1, 0, 0};
  bench_ratio::Paired(
      state, progressive ? 1.3 : 1.6,
      [&] { benchmark::DoNotOptimize(GFXFile::Save(PhotoBuffer(), ours, nullptr, &params)); },
      [&] {
        benchmark::DoNotOptimize(bench_files::SaveLikeTheProgram(
            theirs, [&](std::FILE* file) { return reference::EncodeToFile(Photo(), options, file); }));
      });
  Pixels(state);
}

void BM_LoadFileVsLibJpeg(benchmark::State& state) {
  const std::string& path = FileOnDisk(static_cast<int>(state.range(0)));
  state.SetLabel(kModeNames[state.range(0)]);
  bench_ratio::Paired(
      state, 1.5,
      [&] {
        Buffer image;
        benchmark::DoNotOptimize(GFXFile::Load(image, path, nullptr, 0, nullptr));
      },
      [&] {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        benchmark::DoNotOptimize(file != nullptr && reference::DecodeFile(file).ok);
        if (file != nullptr) std::fclose(file);
      });
  Pixels(state);
}

}  // namespace

BENCHMARK(BM_DecodeVsLibJpeg)->DenseRange(0, 3)->Iterations(6)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeSizeVsLibJpeg)->Arg(1)->Arg(12)->Arg(48)->Iterations(6)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeVsLibJpeg)->Arg(0)->Arg(1)->Iterations(6)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveFileVsLibJpeg)->Arg(1)->Iterations(6)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFileVsLibJpeg)->DenseRange(0, 3)->Iterations(6)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeOurs)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeLibJpeg)->ArgsProduct({{0, 1, 2, 3}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeOurs)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeLibJpeg)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveFileOurs)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveFileLibJpeg)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFileOurs)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFileLibJpeg)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
