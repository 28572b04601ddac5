// The registry store's file registry.txt from untrusted bytes.
// - Parsed and written back, it parses without damage to the same keys and values, and the
//   written text is a fixed point.
// - Put in place as a store's file and read by the store: a damaged file is kept aside byte for
//   byte and rewritten from what was readable; a file of a later format is left alone; a sound
//   one is not written. The store then answers the keys and values the file parses to, and a
//   value set through it reaches the file beside everything else.

#include <dirent.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/support/FuzzCheck.h"
#include "platform/rtl/RegistryApi.h"
#include "platform/rtl/RegistryStore.h"
#include "platform/rtl/RegistryText.h"

namespace {

bool SameKey(const RegKey& a, const RegKey& b) {
  if (a.name != b.name || a.values.size() != b.values.size() || a.subkeys.size() != b.subkeys.size())
    return false;
  for (size_t i = 0; i < a.values.size(); ++i)
    if (a.values[i].name != b.values[i].name || a.values[i].type != b.values[i].type ||
        a.values[i].data != b.values[i].data)
      return false;
  for (size_t i = 0; i < a.subkeys.size(); ++i)
    if (!SameKey(a.subkeys[i], b.subkeys[i])) return false;
  return true;
}

bool SameTree(const RegistryTree& a, const RegistryTree& b) {
  for (int i = 0; i < kRegRootCount; ++i)
    if (!SameKey(a.Root(static_cast<RegRoot>(i)), b.Root(static_cast<RegRoot>(i)))) return false;
  return true;
}

const HKEY kRootHandles[kRegRootCount] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE,
                                          HKEY_USERS, HKEY_CURRENT_CONFIG, HKEY_DYN_DATA};

// The key as the store answers it through its calls.
void ReadKey(RegistryStore& store, HKEY handle, RegKey& key) {
  AnsiString name;
  DWORD type = 0;
  std::string data;
  for (DWORD i = 0; store.ValueAt(handle, i, &name, &type, &data) == ERROR_SUCCESS; ++i)
    key.values.push_back(RegValue{name, type, data});
  for (DWORD i = 0; store.SubKeyName(handle, i, &name) == ERROR_SUCCESS; ++i) {
    HKEY sub = nullptr;
    CHECK(store.Open(handle, name.c_str(), KEY_READ, false, &sub, nullptr) == ERROR_SUCCESS);
    key.subkeys.push_back(RegKey{name, {}, {}});
    ReadKey(store, sub, key.subkeys.back());
    store.Close(sub);
  }
}

RegistryTree ReadStore(RegistryStore& store) {
  RegistryTree tree;
  for (int i = 0; i < kRegRootCount; ++i) ReadKey(store, kRootHandles[i], tree.Root(static_cast<RegRoot>(i)));
  return tree;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(text.data(), static_cast<std::streamsize>(text.size()));
}

const std::string& Folder() { return fuzz::ScratchFolder("registry"); }

// Removes every file of the folder (the store's file, its lock, kept copies).
void EmptyFolder() {
  DIR* dir = opendir(Folder().c_str());
  if (dir == nullptr) return;
  while (dirent* entry = readdir(dir))
    if (entry->d_name[0] != '.') std::remove((Folder() + "/" + entry->d_name).c_str());
  closedir(dir);
}

void CheckRoundTrip(const RegistryFileContents& contents) {
  const std::string written = RegistryText(contents.tree);
  const RegistryFileContents again = ParseRegistryText(written);
  CHECK(!again.Damaged() && !again.laterVersion);
  CHECK(SameTree(again.tree, contents.tree));
  CHECK(RegistryText(again.tree) == written);
}

void CheckStore(const std::string& input, const RegistryFileContents& contents) {
  EmptyFolder();
  const std::string file = Folder() + "/registry.txt";
  WriteFile(file, input);
  std::vector<RegistryReport> reports;
  {
    RegistryStore store([&] { return AnsiString(file); });
    store.SetReportHandler([&](const RegistryReport& report) { reports.push_back(report); });
    const RegistryTree seen = ReadStore(store);
    CHECK(SameTree(seen, contents.tree));
    if (contents.laterVersion) {
      CHECK(reports.size() == 1 && reports[0].kind == RegistryReport::Kind::Unreadable);
      CHECK(ReadFile(file) == input);
    } else if (contents.Damaged()) {
      CHECK(reports.size() == 1 && reports[0].kind == RegistryReport::Kind::Damaged);
      CHECK(reports[0].firstBadLine == contents.firstBadLine);
      CHECK(ReadFile(reports[0].keptAs) == input);
      CHECK(ReadFile(file) == RegistryText(contents.tree));
    } else {
      CHECK(reports.empty());
      CHECK(ReadFile(file) == input);
    }

    reports.clear();
    const std::string data("fuzz\0", 5);
    CHECK(store.SetValue(HKEY_CURRENT_USER, "quillo fuzz", REG_SZ, data) == ERROR_SUCCESS);
    const RegistryFileContents saved = ParseRegistryText(ReadFile(file));
    if (contents.laterVersion) {
      CHECK(reports.size() == 1 && reports[0].kind == RegistryReport::Kind::NotSaved);
      CHECK(ReadFile(file) == input);
    } else {
      CHECK(reports.empty());
      RegistryTree expected = contents.tree;
      ApplyChange(expected, RegChange{RegChange::Kind::SetValue, RegRoot::CurrentUser, {}, "quillo fuzz", REG_SZ, data});
      CHECK(!saved.Damaged() && SameTree(saved.tree, expected));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const RegistryFileContents contents = ParseRegistryText(input);
  CheckRoundTrip(contents);
  CheckStore(input, contents);
  return 0;
}
