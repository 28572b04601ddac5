// GIF's LZW coder on a photo-sized 8-bit index image, beside giflib coding the same indices
// in memory.

#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cstring>
#include <vector>

#include "SyntheticPhoto.h"
#include "vorlen/formats/gif/GifLzw.h"

namespace {

constexpr int kWidth = 1024, kHeight = 768;

// 3-3-2 bit indices of the photo: noise and shading as a dithered GIF would hold them.
std::vector<uchar> Indices() {
  const std::vector<uint32_t> px = bench_photo::Make(kWidth, kHeight);
  std::vector<uchar> out(px.size());
  for (size_t i = 0; i < px.size(); ++i)
    out[i] = static_cast<uchar>((px[i] >> 16 & 0xE0) | (px[i] >> 11 & 0x1C) | (px[i] >> 6 & 0x03));
  return out;
}

struct Sink : LZWSink {
  std::vector<uchar> bytes;
  void Write(const uchar* s, int n) override { bytes.insert(bytes.end(), s, s + n); }
};

struct Source : LZWSource {
  const std::vector<uchar>& bytes;
  size_t at = 0;
  explicit Source(const std::vector<uchar>& b) : bytes(b) {}
  void Read(uchar* t, int n) override {
    std::memcpy(t, bytes.data() + at, n);
    at += n;
  }
};

std::vector<uchar> Encode(const std::vector<uchar>& indices) {
  Sink sink;
  LZWEncoder encoder(sink);
  encoder.Start(8);
  encoder.Put(indices.data(), static_cast<int>(indices.size()));
  encoder.Finish();
  return sink.bytes;
}

void BM_LzwEncode(benchmark::State& state) {
  const std::vector<uchar> indices = Indices();
  for (auto _ : state) benchmark::DoNotOptimize(Encode(indices));
  state.SetBytesProcessed(state.iterations() * indices.size());
}
BENCHMARK(BM_LzwEncode)->Unit(benchmark::kMillisecond);

void BM_LzwDecode(benchmark::State& state) {
  const std::vector<uchar> indices = Indices();
  const std::vector<uchar> stream = Encode(indices);
  std::vector<uchar> out(indices.size());
  for (auto _ : state) {
    Source source(stream);
    LZWDecoder decoder(source);
    decoder.Reset(8);
    decoder.Decode(out.data(), static_cast<int>(out.size()));
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * indices.size());
}
BENCHMARK(BM_LzwDecode)->Unit(benchmark::kMillisecond);

// giflib: a whole one-image file in memory.
int GiflibWrite(GifFileType* gif, const GifByteType* data, int n) {
  auto* bytes = static_cast<std::vector<uchar>*>(gif->UserData);
  bytes->insert(bytes->end(), data, data + n);
  return n;
}

std::vector<uchar> GiflibEncode(const std::vector<uchar>& indices) {
  std::vector<uchar> bytes;
  int error = 0;
  GifFileType* gif = EGifOpen(&bytes, GiflibWrite, &error);
  std::vector<GifColorType> colours(256);
  ColorMapObject* map = GifMakeMapObject(256, colours.data());
  EGifPutScreenDesc(gif, kWidth, kHeight, 8, 0, map);
  EGifPutImageDesc(gif, 0, 0, kWidth, kHeight, false, nullptr);
  for (int y = 0; y < kHeight; ++y)
    EGifPutLine(gif, const_cast<GifByteType*>(indices.data() + size_t(y) * kWidth), kWidth);
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return bytes;
}

struct Reader {
  const std::vector<uchar>* bytes;
  size_t at;
};

int GiflibRead(GifFileType* gif, GifByteType* data, int n) {
  auto* r = static_cast<Reader*>(gif->UserData);
  const int k = static_cast<int>(std::min<size_t>(n, r->bytes->size() - r->at));
  std::memcpy(data, r->bytes->data() + r->at, k);
  r->at += k;
  return k;
}

void BM_GiflibEncode(benchmark::State& state) {
  const std::vector<uchar> indices = Indices();
  for (auto _ : state) benchmark::DoNotOptimize(GiflibEncode(indices));
  state.SetBytesProcessed(state.iterations() * indices.size());
}
BENCHMARK(BM_GiflibEncode)->Unit(benchmark::kMillisecond);

void BM_GiflibDecode(benchmark::State& state) {
  const std::vector<uchar> indices = Indices();
  const std::vector<uchar> file = GiflibEncode(indices);
  std::vector<uchar> out(indices.size());
  for (auto _ : state) {
    Reader reader{&file, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, GiflibRead, &error);
    GifRecordType type;
    do {
      DGifGetRecordType(gif, &type);
      if (type == IMAGE_DESC_RECORD_TYPE) {
        DGifGetImageDesc(gif);
        for (int y = 0; y < kHeight; ++y) DGifGetLine(gif, out.data() + size_t(y) * kWidth, kWidth);
      }
    } while (type != TERMINATE_RECORD_TYPE && type != IMAGE_DESC_RECORD_TYPE);
    DGifCloseFile(gif, &error);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * indices.size());
}
BENCHMARK(BM_GiflibDecode)->Unit(benchmark::kMillisecond);

void BM_EncodedSize(benchmark::State& state) {
  const std::vector<uchar> indices = Indices();
  size_t ours = 0, theirs = 0;
  for (auto _ : state) {
    ours = Encode(indices).size();
    theirs = GiflibEncode(indices).size();
  }
  state.counters["ours_bytes"] = static_cast<double>(ours);
  state.counters["giflib_bytes"] = static_cast<double>(theirs);
}
BENCHMARK(BM_EncodedSize)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
