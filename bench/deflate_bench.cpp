// Deflate and inflate of a 50 MB mix (filtered photo rows, text, noise) against zlib at
// level 6 in the same run. Counters: bytes in, compressed size, ratio. Then ours against
// libdeflate at level 6 on four corpora (the mix, a 12 MP and a 48 MP photo's filtered rows,
// and a screenshot's), the two taken in turns: "vs_ref" is our time over libdeflate's,
// "size_vs_ref" our compressed size over its.

#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <zlib.h>

#include <cstring>
#include <stdexcept>
#include <vector>

#include "PairedRatio.h"
#include "SyntheticPhoto.h"
#include "SyntheticScreen.h"
#include "vorlen/formats/png/Deflate.h"
#include "vorlen/formats/png/Inflate.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Text(size_t n) {
  static const char* words[] = {"the ", "quick ", "brown ", "fox ", "jumps ", "over ", "lazy ",
                                "dog. ", "Paint ", "image ", "layer ", "brush, ", "colour ",
                                "pixel ", "\n", "filter ", "undo ", "palette ", "selection ",
                                "gradient ", "of ", "a ", "and ", "with ", "in "};
  Bytes b;
  uint32_t s = 99;
  while (b.size() < n) {
    s = s * 1664525u + 1013904223u;
    const char* w = words[(s >> 16) % 25];
    b.insert(b.end(), w, w + std::strlen(w));
  }
  b.resize(n);
  return b;
}

Bytes Noise(size_t n) {
  Bytes b(n);
  uint32_t s = 7;
  for (auto& c : b) c = static_cast<unsigned char>((s = s * 1664525u + 1013904223u) >> 24);
  return b;
}

// 50 MB: 25 MB filtered photo rows, 15 MB text, 10 MB noise, interleaved in 1 MB pieces.
const Bytes& Mix() {
  static const Bytes mix = [] {
    const Bytes photo = bench_photo::FilteredRows(bench_photo::Make(2000, 4200), 2000);
    const Bytes text = Text(15u << 20);
    const Bytes noise = Noise(10u << 20);
    const size_t mb = 1u << 20;
    Bytes m;
    for (size_t i = 0; m.size() < (50u << 20); ++i) {
      const Bytes& src = (i % 5 < 2) ? photo : (i % 5 < 4 ? text : noise);
      const size_t off = (i / 5) * mb * (i % 5 == 1 || i % 5 == 3 ? 2 : 1) % (src.size() - mb);
      m.insert(m.end(), src.begin() + long(off), src.begin() + long(off + mb));
    }
    m.resize(50u << 20);
    return m;
  }();
  return mix;
}

struct Sink : DeflateSink {
  Bytes bytes;
  void Put(const uchar* data, size_t n) override { bytes.insert(bytes.end(), data, data + n); }
};

Bytes OurDeflate(const Bytes& in) {
  Sink sink;
  sink.bytes.reserve(in.size() / 2);
  Deflate d(sink);
  d.WriteZlibHeader();
  d.Write(in.data(), in.size());
  d.FinishZlib();
  return std::move(sink.bytes);
}

Bytes ZlibDeflate(const Bytes& in) {
  uLongf size = compressBound(uLong(in.size()));
  Bytes out(size);
  if (compress2(out.data(), &size, in.data(), uLong(in.size()), 6) != Z_OK)
    throw std::runtime_error("zlib");
  out.resize(size);
  return out;
}

const Bytes& OurCompressed() {
  static const Bytes z = OurDeflate(Mix());
  return z;
}

const Bytes& ZlibCompressed() {
  static const Bytes z = ZlibDeflate(Mix());
  return z;
}

void Report(benchmark::State& state, size_t compressed) {
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(Mix().size()));
  state.counters["in_bytes"] = double(Mix().size());
  state.counters["out_bytes"] = double(compressed);
  state.counters["ratio"] = double(compressed) / double(Mix().size());
}

void BM_DeflateOurs(benchmark::State& state) {
  size_t size = 0;
  for (auto _ : state) size = OurDeflate(Mix()).size();
  Report(state, size);
}

void BM_DeflateZlib6(benchmark::State& state) {
  size_t size = 0;
  for (auto _ : state) size = ZlibDeflate(Mix()).size();
  Report(state, size);
}

void BM_InflateOurs(benchmark::State& state) {
  const Bytes& z = ZlibCompressed();
  Bytes out(Mix().size());
  for (auto _ : state) {
    MemorySource src(z.data(), z.size());
    Inflate inf(src);
    inf.ReadZlibHeader();
    if (inf.Read(out.data(), out.size()) != out.size()) state.SkipWithError("short");
    inf.FinishZlib();
  }
  Report(state, z.size());
}

void BM_InflateZlib(benchmark::State& state) {
  const Bytes& z = ZlibCompressed();
  Bytes out(Mix().size());
  for (auto _ : state) {
    uLongf size = uLongf(out.size());
    if (uncompress(out.data(), &size, z.data(), uLong(z.size())) != Z_OK) state.SkipWithError("zlib");
  }
  Report(state, z.size());
}

// Our inflater on our own stream, to see that the two ends work together at speed.
void BM_InflateOursOwnStream(benchmark::State& state) {
  const Bytes& z = OurCompressed();
  Bytes out(Mix().size());
  for (auto _ : state) {
    MemorySource src(z.data(), z.size());
    Inflate inf(src);
    inf.ReadZlibHeader();
    inf.Read(out.data(), out.size());
    inf.FinishZlib();
  }
  Report(state, z.size());
}

// The corpora of the libdeflate comparison, by index.
const char* kCorpusNames[] = {"mix", "photo12MP", "photo48MP", "screenshot"};

const Bytes& Corpus(int index) {
  static Bytes corpora[4];
  Bytes& c = corpora[index];
  if (!c.empty()) return c;
  switch (index) {
    case 0: c = Mix(); break;
    case 1: c = bench_photo::FilteredRows(bench_photo::Make(4000, 3000), 4000); break;
    case 2: c = bench_photo::FilteredRows(bench_photo::Make(8000, 6000), 8000); break;
    default: c = bench_photo::FilteredRows(bench_screen::Make(3840, 2160), 3840); break;
  }
  return c;
}

Bytes LibdeflateCompress(const Bytes& in, int level) {
  libdeflate_compressor* c = libdeflate_alloc_compressor(level);
  Bytes out(libdeflate_zlib_compress_bound(c, in.size()));
  out.resize(libdeflate_zlib_compress(c, in.data(), in.size(), out.data(), out.size()));
  libdeflate_free_compressor(c);
  return out;
}

const Bytes& LibdeflateCompressed(int index) {
  static Bytes compressed[4];
  if (compressed[index].empty()) compressed[index] = LibdeflateCompress(Corpus(index), 6);
  return compressed[index];
}

void BM_DeflateVsLibdeflate6(benchmark::State& state) {
  const int index = static_cast<int>(state.range(0));
  const Bytes& in = Corpus(index);
  state.SetLabel(kCorpusNames[index]);
  size_t ours = 0, theirs = 0;
  // The reference's compressor and output room are taken once, so that it pays for none of
  // the zero-filling a fresh vector does; our output room, too, is taken once and reused.
  libdeflate_compressor* compressor = libdeflate_alloc_compressor(6);
  Bytes out(libdeflate_zlib_compress_bound(compressor, in.size()));
  Sink sink;
  sink.bytes.reserve(out.size());
  auto ourDeflate = [&] {
    sink.bytes.clear();
    Deflate d(sink);
    d.WriteZlibHeader();
    d.Write(in.data(), in.size());
    d.FinishZlib();
    return sink.bytes.size();
  };
  bench_ratio::Paired(
      state, 1.5, [&] { ours = ourDeflate(); },
      [&] { theirs = libdeflate_zlib_compress(compressor, in.data(), in.size(), out.data(), out.size()); });
  libdeflate_free_compressor(compressor);
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in.size()));
  state.counters["out_bytes"] = double(ours);
  state.counters["size_vs_ref"] = double(ours) / double(theirs);
}

void BM_InflateVsLibdeflate(benchmark::State& state) {
  const int index = static_cast<int>(state.range(0));
  const Bytes& z = LibdeflateCompressed(index);
  const size_t size = Corpus(index).size();
  state.SetLabel(kCorpusNames[index]);
  Bytes out(size);
  libdeflate_decompressor* d = libdeflate_alloc_decompressor();
  bench_ratio::Paired(
      state, 1.3,
      [&] {
        MemorySource src(z.data(), z.size());
        Inflate inf(src);
        inf.ReadZlibHeader();
        if (inf.Read(out.data(), out.size()) != out.size()) state.SkipWithError("short");
        inf.FinishZlib();
      },
      [&] {
        size_t actual = 0;
        if (libdeflate_zlib_decompress(d, z.data(), z.size(), out.data(), out.size(), &actual) !=
                LIBDEFLATE_SUCCESS ||
            actual != size)
          state.SkipWithError("libdeflate");
      });
  libdeflate_free_decompressor(d);
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(size));
}

}  // namespace

BENCHMARK(BM_DeflateVsLibdeflate6)->DenseRange(0, 3)->Iterations(4)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InflateVsLibdeflate)->DenseRange(0, 3)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeflateOurs)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DeflateZlib6)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_InflateOurs)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_InflateZlib)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_InflateOursOwnStream)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK_MAIN();
