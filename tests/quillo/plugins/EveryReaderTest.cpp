// Every file the program reads, over what may stand at its path instead of the file: a named
// pipe (refused at once, never waited on), a link to an endless device, a huge sparse file
// (refused by its size, not read) and the file cut in the middle (read as far as it goes,
// without harm).

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "platform/avi/AviReader.h"
#include "platform/dialogs/ShellLink.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FileSystem.h"
#include "platform/rtl/Module.h"
#include "platform/rtl/RegistryApi.h"
#include "platform/rtl/Streams.h"
#include "quillo/filters/FormulaFilterFile.h"
#include "quillo/filters/KernelFile.h"
#include "quillo/output/MailDefaults.h"
#include "quillo/plugins/FilterPluginCache.h"
#include "quillo/plugins/FilterPluginProbe.h"
#include "quillo/shell/TipFile.h"
#include "quillo/tools/PaletteFile.h"
#include "support/SpecialFiles.h"
#include "support/TempHome.h"

namespace {

namespace fs = std::filesystem;

// Larger than any reader's limit, and than memory would take in reasonable time.
constexpr off_t kHugeSparse = off_t(5) << 30;

void SetString(HKEY root, const std::string& key, const char* name, const std::string& value) {
  HKEY k = nullptr;
  ASSERT_EQ(RegCreateKeyEx(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr), ERROR_SUCCESS);
  RegSetValueEx(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), static_cast<DWORD>(value.size() + 1));
  RegCloseKey(k);
}

struct Reader {
  const char* what;
  const char* fileName;  // where the reader looks, under the test's folder
  std::string sample;    // a file it takes (empty: none made here)
  bool bounded;          // reads the whole file, so a huge one is refused by its size
  // Reads the file at path; whether it took something from it.
  std::function<bool(const TempHome& home, const std::string& path)> read;
};

// A cache naming a plug-in file that is there and unchanged.
std::string CacheOfOnePlugIn(const TempHome& home) {
  FileDesc record;
  record.identifier = home.WriteFile("plug/one.8bf", "plug-in");
  record.category = "Cat";
  record.title = "One";
  EXPECT_TRUE(FilterFileStamp(record.identifier, record.size, record.timeStamp));
  return WriteFilterCacheRecords({record});
}

// The bytes of a built test plug-in.
std::string Built(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << path;
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<Reader> Readers(const TempHome& home) {
  FormulaFilter filter;
  // Built as strings: one-letter literals assigned trip GCC 12 -O3 (-Wrestrict).
  const char* channels[] = {"r", "g", "b", "a"};
  for (int i = 0; i < kFilterFormulas; ++i) filter.formulas[i] = AnsiString(channels[i]);
  filter.title = "Sample";
  ConvolutionKernel kernel;
  kernel.Cells[12] = 1;
  kernel.Div = 1;
  return {
      {"plug-in cache", "adobe.cch", CacheOfOnePlugIn(home), true,
       [](const TempHome& home, const std::string& path) {
         CacheFiles cache(path);
         AnsiString at = home.Path() + "/plug/one.8bf", category, title;
         return cache.Lookup(at, category, title);
       }},
      {"mail program's prefs.js", "netscape/users/ann/prefs.js",
       "user_pref(\"mail.identity.useremail\", \"ann@example.org\");\n", true,
       [](const TempHome& home, const std::string&) {
         SetString(HKEY_CLASSES_ROOT, "mailto\\shell\\open\\command", "", "C:\\Program Files\\Netscape\\NETSCAPE.EXE -mail");
         SetString(HKEY_CURRENT_USER, "Software\\Netscape\\Netscape Navigator\\biff", "CurrentUser", "ann");
         SetString(HKEY_CURRENT_USER, "Software\\Netscape\\Netscape Navigator\\Main", "Install Directory",
                   home.Path() + "/netscape");
         return !ReadMailProgramDefaults().from.empty();
       }},
      {"single formula filter", "one.afs", SingleFilterText(filter), true,
       [](const TempHome&, const std::string& path) {
         FormulaFilter f;
         return ReadSingleFilter(path, f) == FilterFileStatus::Ok;
       }},
      {"formula filter library", "lib.ffl", "FFL1.0\r\n    1\r\n" + LibraryEntryText(filter), true,
       [](const TempHome&, const std::string& path) {
         FormulaFilter f;
         AnsiString title;
         const bool counted = LibraryEntryCount(path) == 1;
         const bool titled = LibraryEntryTitle(path, 1, title);
         return ReadLibraryEntry(path, 1, f) == FilterFileStatus::Ok && counted && titled;
       }},
      {"palette file", "colours.pal", "2\n112233\n445566\n", true,
       [](const TempHome&, const std::string& path) {
         AnsiString refusal;
         const bool took = ReadPaletteFile(path, &refusal).has_value();
         // A file refused for what it is is named in the message.
         if (!took && !fs::is_regular_file(path)) {
           EXPECT_NE(refusal.find(path), AnsiString::npos) << refusal;
         }
         return took;
       }},
      {"tips file", "tips.txt", "1,The first tip\n2,The second tip\n", true,
       [](const TempHome&, const std::string& path) { return ReadTip(path, 0).opened; }},
      {"convolution kernel", "k.acf", KernelFileContents(kernel), true,
       [](const TempHome&, const std::string& path) { return ReadKernelFile(path).has_value(); }},
      {"filter plug-in probe", "x.8bf", Built(QUILLO_FILTER_PLUGIN_DIR "/invert.8bf"), true,
       [](const TempHome&, const std::string& path) {
         return ProbeAdobeModule(path, [](const AnsiString&, const AnsiString&, const AnsiString&) { return 1; });
       }},
      // A library is mapped, not read: its size costs nothing.
      {"plug-in component", "x.qlc", Built(QUILLO_QLC_DIR "/inverter.qlc"), false,
       [](const TempHome&, const std::string& path) {
         const HMODULE module = LoadLibrary(path.c_str());
         if (module != nullptr) FreeLibrary(module);
         return module != nullptr;
       }},
      {"desktop entry", "link.desktop", "[Desktop Entry]\nExec=quillo\n", true,
       [](const TempHome&, const std::string& path) { return !ReadDesktopEntryKey(path, "Exec").empty(); }},
      {"video file", "clip.avi", "", false,
       [](const TempHome&, const std::string& path) { return AviReader().Open(path); }},
      {"file stream", "data.bin", "some bytes", false,
       [](const TempHome&, const std::string& path) {
         try {
           TFileStream stream(path, fmOpenRead);
           return true;
         } catch (const EFOpenError&) {
           return false;
         }
       }},
      {"file copy", "copied.bin", "some bytes", false,
       [](const TempHome& home, const std::string& path) {
         const std::string to = home.Path() + "/copy-of-it";
         fs::remove(to);
         return CopyFile(path.c_str(), to.c_str(), FALSE) != FALSE;
       }},
  };
}

class EveryReaderTest : public ::testing::Test {
protected:
  TempHome home;
  std::string Prepare(const Reader& reader) {
    const std::string path = home.Path() + "/" + reader.fileName;
    fs::create_directories(fs::path(path).parent_path());
    fs::remove(path);
    fs::remove(path + ".fifo");
    return path;
  }
};

TEST_F(EveryReaderTest, ASoundFileIsTaken) {
  for (const Reader& reader : Readers(home)) {
    if (reader.sample.empty()) continue;
    SCOPED_TRACE(reader.what);
    const std::string path = Prepare(reader);
    std::ofstream(path, std::ios::binary) << reader.sample;
    EXPECT_TRUE(reader.read(home, path));
  }
}

TEST_F(EveryReaderTest, APipeOrAnEndlessDeviceIsRefusedAtOnce) {
  for (SpecialFile kind : {SpecialFile::Fifo, SpecialFile::LinkToFifo, SpecialFile::Device}) {
    for (const Reader& reader : Readers(home)) {
      SCOPED_TRACE(std::string(reader.what) + ", " + Describe(kind));
      const std::string path = Prepare(reader);
      MakeSpecialFile(kind, path);
      const std::string fifo = kind == SpecialFile::LinkToFifo ? path + ".fifo" : path;
      bool took = true;
      EXPECT_TRUE(FinishesWithoutAWriter(fifo, [&] { took = reader.read(home, path); }));
      EXPECT_FALSE(took);
    }
  }
  // A link to /dev/zero, which never ends.
  for (const Reader& reader : Readers(home)) {
    SCOPED_TRACE(std::string(reader.what) + ", a link to /dev/zero");
    const std::string path = Prepare(reader);
    ASSERT_EQ(::symlink("/dev/zero", path.c_str()), 0);
    EXPECT_FALSE(reader.read(home, path));
  }
}

TEST_F(EveryReaderTest, AHugeFileIsRefusedByItsSize) {
  for (const Reader& reader : Readers(home)) {
    if (!reader.bounded) continue;
    SCOPED_TRACE(reader.what);
    const std::string path = Prepare(reader);
    {
      std::ofstream(path, std::ios::binary) << reader.sample;
    }
    ASSERT_EQ(::truncate(path.c_str(), kHugeSparse), 0);
    EXPECT_FALSE(reader.read(home, path));
  }
}

TEST_F(EveryReaderTest, ACutFileIsReadWithoutHarm) {
  for (const Reader& reader : Readers(home)) {
    if (reader.sample.empty()) continue;
    for (std::size_t keep : {std::size_t(0), reader.sample.size() / 2, reader.sample.size() - 1}) {
      SCOPED_TRACE(std::string(reader.what) + ", " + std::to_string(keep) + " bytes");
      const std::string path = Prepare(reader);
      std::ofstream(path, std::ios::binary) << reader.sample.substr(0, keep);
      reader.read(home, path);  // whatever it takes, it must come back
    }
  }
}

}  // namespace
