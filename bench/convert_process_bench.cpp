// A whole 1-megapixel conversion as a user runs it from a shell: one process that starts,
// loads its libraries, converts a file and ends, against libjpeg-turbo's djpeg and cjpeg doing
// the same conversion in processes of their own. Each iteration spawns ours and the reference
// in turns and waits for both; the time includes loading every shared library a process needs,
// which is what the graphics library's dependencies cost a command-line user.
//
// Decoding turns a baseline 4:2:0 JPEG of quality 90 into a 24-bit BMP (djpeg replicating
// chroma, as our decoder does); encoding turns that BMP into a quality-90 JPEG without chroma
// subsampling on both sides. Files go to a memory-backed folder where there is one, so that the
// sync our saves do costs what the reference's plain write costs.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "FileBench.h"
#include "PairedRatio.h"
#include "SyntheticPhoto.h"
#include "tests/vorlen/formats/jpeg/LibJpegReference.h"
#include "vorlen/core/Buffer.h"
#include "vorlen/formats/GFXFile.h"

extern char** environ;

namespace {

constexpr double kGoal = 1.3;

// A scratch folder in memory when the machine has one, removed at exit.
class MemoryFolder {
public:
  MemoryFolder() {
    const std::filesystem::path base =
        std::filesystem::is_directory("/dev/shm") ? std::filesystem::path("/dev/shm") : std::filesystem::temp_directory_path();
    std::string pattern = (base / "quillo-convert-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~MemoryFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  MemoryFolder(const MemoryFolder&) = delete;
  MemoryFolder& operator=(const MemoryFolder&) = delete;

  std::string File(const char* name) const { return path_ + "/" + name; }
  bool Ok() const { return !path_.empty(); }

private:
  std::string path_;
};

const MemoryFolder& Folder() {
  static const MemoryFolder folder;
  return folder;
}

// 1155 x 866, the 4:3 picture of one megapixel.
reference::Image Photo() {
  const int width = static_cast<int>(std::lround(std::sqrt(1e6 * 4 / 3)));
  const int height = width * 3 / 4;
  return reference::Image{width, height, bench_photo::Make(width, height)};
}

struct Inputs {
  std::string jpeg;  // baseline 4:2:0, quality 90, written by libjpeg-turbo
  std::string bmp;   // 24 bits, written by the library
  bool ok = false;
};

const Inputs& InputFiles() {
  static const Inputs inputs = [] {
    Inputs made;
    if (!Folder().Ok()) return made;
    const reference::Image photo = Photo();
    made.jpeg = Folder().File("photo.jpg");
    if (!bench_files::WriteFile(made.jpeg, reference::Encode(photo, {90, false, false, 2, 2, 0, 0}))) return made;
    Buffer picture;
    picture.Alloc(Pair<int>(photo.width, photo.height));
    std::copy(photo.pixels.begin(), photo.pixels.end(), picture.pixels);
    made.bmp = Folder().File("photo.bmp");
    GFXSaveParams params;
    params.bits = 24;
    made.ok = GFXFile::Save(picture, made.bmp, nullptr, &params);
    return made;
  }();
  return inputs;
}

// Runs the program with its arguments, output to /dev/null, and waits for it; true when it
// ended with status 0.
bool Run(const std::vector<std::string>& command) {
  std::vector<char*> argv;
  for (const std::string& arg : command) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  const int failed = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) return false;
  int status = 0;
  while (::waitpid(child, &status, 0) < 0)
    if (errno != EINTR) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Ours and the reference command in turns, each a process of its own; the run stops with an
// error when either fails (a missing reference program among the causes).
void PairedProcesses(benchmark::State& state, const std::vector<std::string>& ours,
                     const std::vector<std::string>& reference) {
  if (!InputFiles().ok) return state.SkipWithError("cannot write the input pictures");
  if (!Run(ours)) return state.SkipWithError(("cannot run " + ours[0]).c_str());
  if (!Run(reference)) return state.SkipWithError(("cannot run " + reference[0] + " (libjpeg-turbo-progs)").c_str());
  bool ok = true;
  bench_ratio::Paired(state, kGoal, [&] { ok = Run(ours) && ok; }, [&] { ok = Run(reference) && ok; });
  if (!ok) state.SkipWithError("a conversion failed during the run");
  state.SetItemsProcessed(state.iterations() * 1000000);
}

void BM_ProcessDecodeVsDjpeg(benchmark::State& state) {
  state.SetLabel("1 MP JPEG to BMP, whole process");
  PairedProcesses(state, {QUILLO_PICTURE_CONVERT, InputFiles().jpeg, Folder().File("ours.bmp")},
                  {QUILLO_DJPEG, "-bmp", "-nosmooth", "-outfile", Folder().File("reference.bmp"), InputFiles().jpeg});
}

void BM_ProcessEncodeVsCjpeg(benchmark::State& state) {
  state.SetLabel("1 MP BMP to JPEG quality 90 4:4:4, whole process");
  PairedProcesses(state, {QUILLO_PICTURE_CONVERT, InputFiles().bmp, Folder().File("ours.jpg"), "90"},
                  {QUILLO_CJPEG, "-quality", "90", "-sample", "1x1", "-outfile", Folder().File("reference.jpg"),
                   InputFiles().bmp});
}

}  // namespace

BENCHMARK(BM_ProcessDecodeVsDjpeg)->Iterations(40)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProcessEncodeVsCjpeg)->Iterations(40)->UseManualTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
