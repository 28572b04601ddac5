// Batch conversion: 40 photos of 1600 x 1200 converted from JPEG to PNG (24 bits, each
// replacing the last run's output) through the batch window's Go button, against the same
// loads and saves in a plain loop over the library. The goal: the batch machinery (the file
// list, the program's load and save road, the progress window and its message pumping) adds
// under 10% to the plain loop.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "BenchDesktop.h"
#include "FileBench.h"
#include "PhotoFiles.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Memo.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/files/BatchFileList.h"
#include "quillo/files/BatchFormats.h"
#include "quillo/files/ProgressForm.h"
#include "quillo/files/ScriptForm.h"
#include "vorlen/formats/GFXFile.h"

namespace {

constexpr int kPhotos = 40;
constexpr int kWidth = 1600, kHeight = 1200;

// The photos, written once by the library at quality 90.
const std::string& PhotoFolder() {
  static const std::string folder = [] {
    const std::string path = bench_files::Scratch().File("photos");
    bench_photo::WriteJpegFolder(path, kPhotos, kWidth, kHeight);
    return path;
  }();
  return folder;
}

BatchSettings ToPng() {
  BatchSettings s;
  s.input = BatchInput::SingleFolder;
  s.singleFolder = PhotoFolder();
  s.format = BatchFormatText(BatchFormatNamed("Portable Network Graphics"));
  s.depth = BatchDepthTexts(BatchFormatNamed("Portable Network Graphics"))[1];  // 24 bits
  s.keepName = true;
  s.addIndex = false;  // overwrite the last run's output
  return s;
}

// Saves into a folder of its own: PNG files beside the photos would join the batch window's
// list, which then (rightly) refuses to overwrite the sources still waiting in it.
void PlainLoop(benchmark::State& state) {
  const std::vector<AnsiString> files = BatchInputFiles(ToPng());
  const std::string out = bench_files::Scratch().File("plain");
  std::filesystem::create_directories(out);
  for (auto _ : state) {
    for (const AnsiString& file : files) {
      Buffer picture;
      GFXFile::Load(picture, file, nullptr, 0, nullptr);
      GFXSaveParams params = BatchSaveParams(ToPng());  // what the window saves with
      const std::string name = std::filesystem::path(file).stem().string() + ".png";
      GFXFile::Save(picture, out + "/" + name, nullptr, &params);
      picture.Free();
    }
  }
  state.counters["files"] = static_cast<double>(files.size());
}

void ThroughTheBatchWindow(benchmark::State& state) {
  FreshDesktop();
  TScriptForm* batch = NewComponent<TScriptForm>(Application());
  batch->Show();
  RunQueue();
  batch->Apply(ToPng());
  for (auto _ : state) batch->GoBtnClick(batch->GoBtn);
  // Lines would mean files not converted, and a run that proves nothing.
  state.counters["messages"] = BatchProgressForm()->MessageCount();
  if (BatchProgressForm()->MessageCount() > 0) state.SetLabel(BatchProgressForm()->Memo->GetLines()->Strings(0));
  FreeObject(batch);
  ResetApplication();
}

}  // namespace

BENCHMARK(PlainLoop)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(ThroughTheBatchWindow)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_MAIN();
