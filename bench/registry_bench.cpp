// The registry store's file: reading registry.txt with 200,000 sibling keys (in the order the
// store writes them, and in the reverse order a hand-made file may have) and with one key of
// 200,000 values; and a store started on such a file, then saving one change and reading on.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/rtl/RegistryApi.h"
#include "platform/rtl/RegistryStore.h"
#include "platform/rtl/RegistryText.h"

namespace {

constexpr int kCount = 200000;

// Built by appending: GCC 12 misreads chains of + on strings at -O3.
void AppendKeyName(std::string& text, int i) {
  text += "Key";
  text += std::to_string(1000000 + i);
}

std::string SiblingKeys(bool reversed) {
  std::string text = "quillo registry 1\n";
  for (int n = 0; n < kCount; ++n) {
    text += "[HKEY_CURRENT_USER\\Software\\Many\\";
    AppendKeyName(text, reversed ? kCount - 1 - n : n);
    text += "]\n\"Value\"=dword:00000001\n";
  }
  return text;
}

std::string SiblingValues() {
  std::string text = "quillo registry 1\n[HKEY_CURRENT_USER\\Software\\Many]\n";
  for (int i = 0; i < kCount; ++i) {
    text += '"';
    AppendKeyName(text, i);
    text += "\"=\"x\"\n";
  }
  return text;
}

void Parse(benchmark::State& state, const std::string& text) {
  for (auto _ : state) {
    RegistryFileContents contents = ParseRegistryText(text);
    benchmark::DoNotOptimize(contents.firstBadLine);
  }
  state.SetItemsProcessed(state.iterations() * kCount);
}

void BM_ParseSiblingKeysInOrder(benchmark::State& state) { Parse(state, SiblingKeys(false)); }
BENCHMARK(BM_ParseSiblingKeysInOrder)->Unit(benchmark::kMillisecond);

void BM_ParseSiblingKeysReversed(benchmark::State& state) { Parse(state, SiblingKeys(true)); }
BENCHMARK(BM_ParseSiblingKeysReversed)->Unit(benchmark::kMillisecond);

void BM_ParseSiblingValues(benchmark::State& state) { Parse(state, SiblingValues()); }
BENCHMARK(BM_ParseSiblingValues)->Unit(benchmark::kMillisecond);

// A store on a file of 200,000 keys: the first call reads it, then a value set through a root
// key is saved at once and the next call finds the file as the save left it.
void BM_StoreStartSaveAndRead(benchmark::State& state) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("registry_bench." + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::string file = (folder / "registry.txt").string();
  const std::string text = SiblingKeys(true);
  for (auto _ : state) {
    state.PauseTiming();
    std::ofstream(file, std::ios::binary) << text;
    state.ResumeTiming();
    RegistryStore store([&] { return file; });
    store.SetValue(HKEY_CURRENT_USER, "Changed", REG_SZ, std::string("yes", 4));
    std::string data;
    DWORD type = 0;
    store.QueryValue(HKEY_CURRENT_USER, "Changed", &type, &data);
    benchmark::DoNotOptimize(data);
  }
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_StoreStartSaveAndRead)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
