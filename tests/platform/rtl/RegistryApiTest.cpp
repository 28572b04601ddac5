#include "platform/rtl/RegistryApi.h"

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/rtl/RegistryStore.h"
#include "support/ConcurrentWriters.h"
#include "support/SpecialFiles.h"
#include "support/TempHome.h"

namespace {

std::string StoreFile(const TempHome& home) { return home.Path() + "/registry.txt"; }

// "<prefix><number>...": built by appending, which GCC 12 does not misread at -O3 as it does
// a literal put in front of a string.
std::string Named(const char* prefix, std::initializer_list<std::pair<int, const char*>> parts) {
  std::string name = prefix;
  for (const auto& [number, after] : parts) {
    name += std::to_string(number);
    name += after;
  }
  return name;
}

LONG SetString(HKEY key, const char* name, const std::string& text) {
  return RegSetValueEx(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
}

LONG SetNumber(HKEY key, const char* name, DWORD number) {
  return RegSetValueEx(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
}

// The value as a string, or "<missing>" / "<error n>".
std::string GetString(HKEY key, const char* name) {
  char buffer[256];
  DWORD size = sizeof buffer;
  DWORD type = 0;
  const LONG error = RegQueryValueEx(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  if (error == static_cast<LONG>(ERROR_FILE_NOT_FOUND)) return "<missing>";
  if (error != 0) return "<error " + std::to_string(error) + ">";
  return std::string(buffer, size > 0 && buffer[size - 1] == '\0' ? size - 1 : size);
}

HKEY Create(HKEY base, const char* path, DWORD* disposition = nullptr) {
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyEx(base, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                           disposition),
            0)
      << path;
  return key;
}

std::vector<std::string> SubKeys(HKEY key) {
  std::vector<std::string> names;
  char name[256];
  for (DWORD i = 0;; ++i) {
    DWORD size = sizeof name;
    if (RegEnumKeyEx(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != 0) break;
    names.emplace_back(name, size);
  }
  return names;
}

std::vector<std::string> ValueNames(HKEY key) {
  std::vector<std::string> names;
  char name[256];
  for (DWORD i = 0;; ++i) {
    DWORD size = sizeof name;
    if (RegEnumValue(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != 0) break;
    names.emplace_back(name, size);
  }
  return names;
}

// Collects what the process's store reports while it lives.
class ReportCollector {
public:
  ReportCollector() {
    RegistryStore::Process().SetReportHandler([this](const RegistryReport& report) { reports.push_back(report); });
  }
  ~ReportCollector() { RegistryStore::Process().SetReportHandler(nullptr); }
  std::vector<RegistryReport> reports;
};

// A value set while the store cannot use its file: work goes on in memory.
void SetAndReadInMemory() {
  EXPECT_EQ(SetString(HKEY_CURRENT_USER, "v", "x"), 0);
  EXPECT_EQ(GetString(HKEY_CURRENT_USER, "v"), "x") << "work goes on in memory";
}

// The reports from `first` on: the file cannot be read, then the change is not saved.
void ExpectUnreadableThenNotSaved(const std::vector<RegistryReport>& reports, size_t first) {
  ASSERT_GE(reports.size(), first + 2);
  EXPECT_EQ(reports[first].kind, RegistryReport::Kind::Unreadable);
  EXPECT_EQ(reports[first + 1].kind, RegistryReport::Kind::NotSaved);
}

std::vector<std::string> DamagedCopies(const TempHome& home) {
  std::vector<std::string> copies;
  for (const auto& entry : std::filesystem::directory_iterator(home.Path()))
    if (entry.path().filename().string().starts_with("registry.txt.damaged-")) copies.push_back(entry.path());
  return copies;
}

}  // namespace

TEST(RegistryApi, CreatesOpensAndReadsKeysAndValues) {
  TempHome home;
  DWORD disposition = 0;
  HKEY prefs = Create(HKEY_CURRENT_USER, "Software\\Dornick\\QL\\Preferences", &disposition);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  ASSERT_EQ(SetString(prefs, "Skin", "Standard Shaded"), 0);
  ASSERT_EQ(SetNumber(prefs, "Level", 1), 0);
  ASSERT_EQ(SetString(prefs, nullptr, "default"), 0);
  ASSERT_EQ(RegCloseKey(prefs), 0);

  // Names match without regard to case; a trailing or doubled backslash changes nothing.
  HKEY again = Create(HKEY_CURRENT_USER, "software\\DORNICK\\\\ql\\preferences\\", &disposition);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  EXPECT_EQ(GetString(again, "SKIN"), "Standard Shaded");
  EXPECT_EQ(GetString(again, ""), "default");
  DWORD type = 0, number = 0, size = sizeof number;
  EXPECT_EQ(RegQueryValueEx(again, "level", nullptr, &type, reinterpret_cast<BYTE*>(&number), &size), 0);
  EXPECT_EQ(type, REG_DWORD);
  EXPECT_EQ(number, 1u);
  RegCloseKey(again);

  HKEY missing = reinterpret_cast<HKEY>(1);
  EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Nobody", 0, KEY_READ, &missing),
            static_cast<LONG>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(missing, nullptr);
  HKEY classes = nullptr;
  EXPECT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, "Software", 0, KEY_READ, &classes),
            static_cast<LONG>(ERROR_FILE_NOT_FOUND))
      << "each root is a tree of its own";
}

TEST(RegistryApi, AnswersSizesAsWindowsDoes) {
  TempHome home;
  HKEY key = Create(HKEY_CURRENT_USER, "Sizes");
  ASSERT_EQ(SetString(key, "text", "twelve bytes"), 0);
  DWORD type = 0, size = 0;
  EXPECT_EQ(RegQueryValueEx(key, "text", nullptr, &type, nullptr, &size), 0);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(size, 13u);
  char small[4] = {'#', '#', '#', '#'};
  size = sizeof small;
  EXPECT_EQ(RegQueryValueEx(key, "text", nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size),
            static_cast<LONG>(ERROR_MORE_DATA));
  EXPECT_EQ(size, 13u);
  EXPECT_EQ(RegQueryValueEx(key, "text", nullptr, nullptr, reinterpret_cast<BYTE*>(small), nullptr),
            static_cast<LONG>(ERROR_INVALID_PARAMETER));

  char name[5];  // "text" and its terminator
  DWORD nameSize = sizeof name;
  EXPECT_EQ(RegEnumValue(key, 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(nameSize, 4u);
  EXPECT_STREQ(name, "text");
  ASSERT_EQ(SetString(key, "longer", "x"), 0);
  nameSize = sizeof name;
  EXPECT_EQ(RegEnumValue(key, 1, name, &nameSize, nullptr, nullptr, nullptr, nullptr),
            static_cast<LONG>(ERROR_MORE_DATA));
  EXPECT_EQ(RegEnumValue(key, 2, name, &nameSize, nullptr, nullptr, nullptr, nullptr),
            static_cast<LONG>(ERROR_NO_MORE_ITEMS));
  RegCloseKey(key);
}

TEST(RegistryApi, ListsSubkeysByNameAndValuesInTheOrderSet) {
  TempHome home;
  HKEY key = Create(HKEY_CURRENT_USER, "Lists");
  for (const char* name : {"beta", "Alpha", "gamma"}) RegCloseKey(Create(key, name));
  for (const char* name : {"F0", "F1", "F10", "F2"}) ASSERT_EQ(SetString(key, name, name), 0);
  ASSERT_EQ(SetString(key, "f1", "again"), 0);  // keeps its place and its first name
  EXPECT_EQ(SubKeys(key), (std::vector<std::string>{"Alpha", "beta", "gamma"}));
  EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"F0", "F1", "F10", "F2"}));
  EXPECT_EQ(GetString(key, "F1"), "again");

  DWORD subKeys = 0, maxSubKey = 0, values = 0, maxName = 0, maxValue = 0;
  ASSERT_EQ(RegQueryInfoKey(key, nullptr, nullptr, nullptr, &subKeys, &maxSubKey, nullptr, &values, &maxName,
                            &maxValue, nullptr, nullptr),
            0);
  EXPECT_EQ(subKeys, 3u);
  EXPECT_EQ(maxSubKey, 5u);
  EXPECT_EQ(values, 4u);
  EXPECT_EQ(maxName, 3u);
  EXPECT_EQ(maxValue, 6u);
  RegCloseKey(key);
}

TEST(RegistryApi, KeepsToHandlesAccessAndLife) {
  TempHome home;
  RegCloseKey(Create(HKEY_CURRENT_USER, "Locked\\Inner"));
  HKEY reader = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Locked", 0, KEY_READ, &reader), 0);
  EXPECT_EQ(SetString(reader, "v", "x"), static_cast<LONG>(ERROR_ACCESS_DENIED));
  HKEY child = nullptr;
  EXPECT_EQ(RegCreateKeyEx(reader, "New", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr),
            static_cast<LONG>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(RegOpenKeyEx(reader, "Inner", 0, KEY_READ, &child), 0) << "opening needs no right to create";
  RegCloseKey(child);

  // A key with subkeys stays; a handle to a deleted key says so.
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "Locked"), static_cast<LONG>(ERROR_ACCESS_DENIED));
  HKEY inner = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Locked\\Inner", 0, KEY_ALL_ACCESS, &inner), 0);
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "Locked\\Inner"), 0);
  EXPECT_EQ(SetString(inner, "v", "x"), static_cast<LONG>(ERROR_KEY_DELETED));
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "Locked\\Inner"), static_cast<LONG>(ERROR_FILE_NOT_FOUND));
  RegCloseKey(inner);
  RegCloseKey(reader);

  EXPECT_EQ(RegCloseKey(reader), static_cast<LONG>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(SetString(reader, "v", "x"), static_cast<LONG>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), 0);

  HKEY bad = nullptr;
  EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "tab\there", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &bad, nullptr),
            static_cast<LONG>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, std::string(256, 'k').c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                           nullptr, &bad, nullptr),
            static_cast<LONG>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(RegDeleteValue(HKEY_CURRENT_USER, "none"), static_cast<LONG>(ERROR_FILE_NOT_FOUND));
}

// A change goes to the file when the process's last open key closes, in one write.
TEST(RegistryApi, SavesWhenTheLastOpenKeyCloses) {
  TempHome home;
  const std::string file = StoreFile(home);
  HKEY outer = Create(HKEY_CURRENT_USER, "Batch");
  HKEY inner = Create(outer, "Inner");
  ASSERT_EQ(SetString(inner, "a", "1"), 0);
  RegCloseKey(inner);
  EXPECT_FALSE(std::filesystem::exists(file)) << "a key is still open";
  ASSERT_EQ(SetString(outer, "b", "2"), 0);
  RegCloseKey(outer);
  const std::string text = FileContents(file);
  EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Batch\\Inner]\n\"a\"=\"1\""), std::string::npos) << text;
  EXPECT_NE(text.find("\"b\"=\"2\""), std::string::npos) << text;

  // Through a root key a change is saved at once; RegFlushKey saves on demand.
  ASSERT_EQ(SetNumber(HKEY_CURRENT_USER, "AtRoot", 7), 0);
  EXPECT_NE(FileContents(file).find("\"AtRoot\"=dword:00000007"), std::string::npos);
  HKEY open = Create(HKEY_CURRENT_USER, "Flushed");
  ASSERT_EQ(SetString(open, "c", "3"), 0);
  EXPECT_EQ(FileContents(file).find("Flushed"), std::string::npos);
  EXPECT_EQ(RegFlushKey(open), 0);
  EXPECT_NE(FileContents(file).find("[HKEY_CURRENT_USER\\Flushed]\n\"c\"=\"3\""), std::string::npos);
  RegCloseKey(open);
}

// The file is read at the first call and again whenever another writer has replaced it.
TEST(RegistryApi, ReadsTheFileAndWhatOthersSaveToIt) {
  TempHome home;
  home.WriteFile("registry.txt", "quillo registry 1\n[HKEY_CURRENT_USER\\Given]\n\"v\"=\"from the file\"\n");
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Given", 0, KEY_READ, &key), 0);
  EXPECT_EQ(GetString(key, "v"), "from the file");
  RegCloseKey(key);

  RegistryStore other([&] { return StoreFile(home); });  // as another process would
  HKEY theirs = nullptr;
  ASSERT_EQ(other.Open(HKEY_CURRENT_USER, "Given", KEY_ALL_ACCESS, false, &theirs, nullptr), 0u);
  ASSERT_EQ(other.SetValue(theirs, "w", REG_SZ, std::string("theirs", 7)), 0u);
  ASSERT_EQ(other.Close(theirs), 0u);

  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Given", 0, KEY_READ, &key), 0);
  EXPECT_EQ(GetString(key, "w"), "theirs");
  RegCloseKey(key);
}

// Counts the opens of one file in a folder from the moment it is made.
class OpenCounter {
public:
  OpenCounter(const std::string& folder, std::string name)
      : name_(std::move(name)), watch_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    EXPECT_GE(watch_, 0);
    EXPECT_GE(inotify_add_watch(watch_, folder.c_str(), IN_OPEN), 0);
  }
  ~OpenCounter() { ::close(watch_); }
  OpenCounter(const OpenCounter&) = delete;
  OpenCounter& operator=(const OpenCounter&) = delete;

  // The opens since the last call (the events of a call that has returned are all queued).
  int Take() {
    int opens = 0;
    alignas(inotify_event) char events[8192];
    for (ssize_t n; (n = ::read(watch_, events, sizeof events)) > 0;) {
      for (ssize_t at = 0; at < n;) {
        const auto* event = reinterpret_cast<const inotify_event*>(events + at);
        if (event->len > 0 && name_ == event->name) ++opens;
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
    return opens;
  }

private:
  std::string name_;
  int watch_;
};

// A save reads the file once: the store then holds what it wrote, and reads the file again
// only when another writer has replaced it since.
TEST(RegistryApi, ASaveReadsTheFileOnce) {
  TempHome home;
  ASSERT_EQ(SetString(HKEY_CURRENT_USER, "v", "first"), 0);
  OpenCounter opens(home.Path(), "registry.txt");
  for (const char* text : {"one", "two", "three"}) {
    ASSERT_EQ(SetString(HKEY_CURRENT_USER, "v", text), 0);
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, "v"), text);
    EXPECT_EQ(opens.Take(), 1) << text;
  }
  RegistryStore other([&] { return StoreFile(home); });  // as another process would
  ASSERT_EQ(other.SetValue(HKEY_CURRENT_USER, "w", REG_SZ, std::string("theirs", 7)), 0u);
  opens.Take();
  EXPECT_EQ(GetString(HKEY_CURRENT_USER, "w"), "theirs");
  EXPECT_EQ(opens.Take(), 1) << "what another writer saved is read";
  EXPECT_EQ(GetString(HKEY_CURRENT_USER, "v"), "three");
  EXPECT_EQ(opens.Take(), 0) << "and not again";
}

// Keys and values come out of the file as they went in, whatever order the keys are in and
// however often a key or a value is named: a key keeps the spelling of its first mention, a
// key named twice gets the values of both places, and a value named twice (in any case) keeps
// its first place and name and takes the last data.
TEST(RegistryApi, ReadsKeysInAnyOrderAndMergesKeysNamedTwice) {
  TempHome home;
  home.WriteFile("registry.txt",
                 "quillo registry 1\n"
                 "[HKEY_CURRENT_USER\\Order\\c]\n\"x\"=\"1\"\n"
                 "[HKEY_CURRENT_USER\\Order\\A\\deep]\n"
                 "[HKEY_CURRENT_USER\\Order\\b]\n\"x\"=\"2\"\n"
                 "[HKEY_CURRENT_USER\\Order\\C]\n\"y\"=\"3\"\n\"X\"=\"4\"\n"
                 "[HKEY_CURRENT_USER\\Order\\a]\n\"z\"=\"5\"\n");
  HKEY order = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Order", 0, KEY_READ, &order), 0);
  EXPECT_EQ(SubKeys(order), (std::vector<std::string>{"A", "b", "c"}));
  RegCloseKey(order);
  HKEY c = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Order\\C", 0, KEY_READ, &c), 0);
  EXPECT_EQ(ValueNames(c), (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(GetString(c, "x"), "4");
  RegCloseKey(c);
  HKEY deep = nullptr;
  EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Order\\a\\Deep", 0, KEY_READ, &deep), 0);
  RegCloseKey(deep);
}

// Changes not yet saved are replayed onto what another writer saved meanwhile.
TEST(RegistryApi, PendingChangesJoinWhatOthersSavedMeanwhile) {
  TempHome home;
  RegistryStore other([&] { return StoreFile(home); });
  HKEY mine = Create(HKEY_CURRENT_USER, "Shared");
  ASSERT_EQ(SetString(mine, "mine", "1"), 0);
  ASSERT_EQ(SetString(mine, "both", "mine"), 0);

  HKEY theirs = nullptr;
  ASSERT_EQ(other.Open(HKEY_CURRENT_USER, "Shared\\Deeper", KEY_ALL_ACCESS, true, &theirs, nullptr), 0u);
  ASSERT_EQ(other.SetValue(theirs, "theirs", REG_SZ, std::string("2", 2)), 0u);
  ASSERT_EQ(other.Close(theirs), 0u);
  HKEY sharedOfTheirs = nullptr;
  ASSERT_EQ(other.Open(HKEY_CURRENT_USER, "Shared", KEY_ALL_ACCESS, false, &sharedOfTheirs, nullptr), 0u);
  ASSERT_EQ(other.SetValue(sharedOfTheirs, "both", REG_SZ, std::string("theirs", 7)), 0u);
  ASSERT_EQ(other.Close(sharedOfTheirs), 0u);

  RegCloseKey(mine);  // saves: my changes land on top of theirs
  mine = Create(HKEY_CURRENT_USER, "Shared");
  EXPECT_EQ(GetString(mine, "mine"), "1");
  EXPECT_EQ(GetString(mine, "both"), "mine") << "the later change wins";
  HKEY deeper = Create(mine, "Deeper");
  EXPECT_EQ(GetString(deeper, "theirs"), "2");
  RegCloseKey(deeper);
  RegCloseKey(mine);
}

// Writers in several processes, each with several threads, write into one registry at once:
// every write is in the file afterwards.
TEST(RegistryApi, ConcurrentWritersInProcessesAndThreadsLoseNothing) {
  TempHome home;
  constexpr int kProcesses = 2, kThreads = 3, kValues = 30;
  auto writer = [](int process, int thread) {
    bool ok = true;
    const std::string keyName = Named("Shared\\p", {{process, "t"}, {thread, ""}});
    for (int i = 0; i < kValues; ++i) {
      HKEY key = nullptr;
      ok = RegCreateKeyEx(HKEY_CURRENT_USER, (i % 2 ? keyName : std::string("Shared")).c_str(), 0, nullptr, 0,
                          KEY_ALL_ACCESS, nullptr, &key, nullptr) == 0 && ok;
      const std::string name = Named("p", {{process, "t"}, {thread, "v"}, {i, ""}});
      ok = SetString(key, name.c_str(), std::to_string(i)) == 0 && ok;
      ok = RegCloseKey(key) == 0 && ok;
      ok = RegFlushKey(HKEY_CURRENT_USER) == 0 && ok;  // saved even while sibling threads hold keys
    }
    return ok;
  };
  EXPECT_TRUE(RunConcurrentWriters(kProcesses, kThreads, writer)) << "a write reported failure";
  RegistryStore reader([&] { return StoreFile(home); });
  int missing = 0;
  for (int p = 0; p < kProcesses; ++p)
    for (int t = 0; t < kThreads; ++t)
      for (int i = 0; i < kValues; ++i) {
        const std::string keyName = Named("Shared\\p", {{p, "t"}, {t, ""}});
        HKEY key = nullptr;
        const std::string name = Named("p", {{p, "t"}, {t, "v"}, {i, ""}});
        std::string data;
        DWORD type = 0;
        missing += reader.Open(HKEY_CURRENT_USER, (i % 2 ? keyName : std::string("Shared")).c_str(), KEY_READ,
                               false, &key, nullptr) != 0 ||
                   reader.QueryValue(key, name, &type, &data) != 0 || data != std::to_string(i) + '\0';
        reader.Close(key);
      }
  EXPECT_EQ(missing, 0);
}

// A damaged file is kept aside byte for byte and reported; what it held in good lines stays.
TEST(RegistryApi, KeepsADamagedFileAsideAndReportsIt) {
  TempHome home;
  ReportCollector collector;
  const std::string damaged =
      "quillo registry 1\n[HKEY_CURRENT_USER\\Kept]\n\"good\"=\"yes\"\n\"broken=\n\x01\xff junk\n";
  home.WriteFile("registry.txt", damaged);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Kept", 0, KEY_READ, &key), 0);
  EXPECT_EQ(GetString(key, "good"), "yes");
  RegCloseKey(key);

  ASSERT_EQ(collector.reports.size(), 1u);
  const RegistryReport& report = collector.reports[0];
  EXPECT_EQ(report.kind, RegistryReport::Kind::Damaged);
  EXPECT_EQ(report.fileName, StoreFile(home));
  EXPECT_EQ(report.firstBadLine, 4);
  const std::vector<std::string> copies = DamagedCopies(home);
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(report.keptAs, copies[0]);
  EXPECT_EQ(FileContents(copies[0]), damaged);
  EXPECT_EQ(FileContents(StoreFile(home)), "quillo registry 1\n\n[HKEY_CURRENT_USER\\Kept]\n\"good\"=\"yes\"\n");

  // Once mended, it is not reported again.
  ASSERT_EQ(SetString(HKEY_CURRENT_USER, "later", "x"), 0);
  EXPECT_EQ(collector.reports.size(), 1u);
}

// Damage that appears while the program runs is caught by the save, under the lock.
TEST(RegistryApi, ASaveOverADamagedFileKeepsItFirst) {
  TempHome home;
  ReportCollector collector;
  HKEY key = Create(HKEY_CURRENT_USER, "Mine");
  ASSERT_EQ(SetString(key, "v", "1"), 0);
  home.WriteFile("registry.txt", "garbage\n");
  RegCloseKey(key);
  ASSERT_EQ(collector.reports.size(), 1u);
  EXPECT_EQ(collector.reports[0].kind, RegistryReport::Kind::Damaged);
  ASSERT_EQ(DamagedCopies(home).size(), 1u);
  EXPECT_EQ(FileContents(DamagedCopies(home)[0]), "garbage\n");
  EXPECT_NE(FileContents(StoreFile(home)).find("\"v\"=\"1\""), std::string::npos);
}

// When the damaged file cannot be kept, it is not written over.
TEST(RegistryApi, ADamagedFileThatCannotBeKeptIsLeftAlone) {
  TempHome home;
  // A name so long that the copy's name is too long for the file system.
  const std::string file = home.Path() + "/" + std::string(240, 'r');
  const std::string damaged = "not a registry\n";
  std::ofstream(file, std::ios::binary) << damaged;
  std::vector<RegistryReport> reports;
  {
    RegistryStore store([&] { return AnsiString(file); });
    store.SetReportHandler([&](const RegistryReport& report) { reports.push_back(report); });
    EXPECT_EQ(store.SetValue(HKEY_CURRENT_USER, "v", REG_SZ, std::string("x", 2)), 0u) << "kept in memory";
    std::string data;
    DWORD type = 0;
    EXPECT_EQ(store.QueryValue(HKEY_CURRENT_USER, "v", &type, &data), 0u);
    EXPECT_EQ(store.Flush(HKEY_CURRENT_USER), static_cast<DWORD>(ERROR_CANTWRITE));
    store.SetReportHandler(nullptr);
  }
  EXPECT_EQ(FileContents(file), damaged);
  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(reports[0].kind, RegistryReport::Kind::NotSaved);
  EXPECT_EQ(reports.size(), 1u) << "reported once until a save succeeds";
}

// A file the store cannot read, or of a later format, is left as it is.
TEST(RegistryApi, LeavesAFileItCannotReadAlone) {
  TempHome home;
  ReportCollector collector;
  const std::string later = "quillo registry 9\n[HKEY_CURRENT_USER\\Future]\n";
  home.WriteFile("registry.txt", later);
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Future", 0, KEY_READ, &key), static_cast<LONG>(ERROR_FILE_NOT_FOUND));
  SetAndReadInMemory();
  EXPECT_EQ(FileContents(StoreFile(home)), later);
  EXPECT_EQ(collector.reports.size(), 2u);
  ExpectUnreadableThenNotSaved(collector.reports, 0);

  TempHome folderHome;
  std::filesystem::create_directory(StoreFile(folderHome));
  EXPECT_EQ(SetString(HKEY_CURRENT_USER, "v", "x"), 0);
  EXPECT_TRUE(std::filesystem::is_directory(StoreFile(folderHome)));
  ExpectUnreadableThenNotSaved(collector.reports, 2);
}

// A pipe or a device in the file's place is never waited on or read: the store works in
// memory, reports it, and leaves it as it is.
TEST(RegistryApi, APipeOrADeviceAsTheFileIsLeftAloneWithoutWaiting) {
  for (SpecialFile kind : {SpecialFile::Fifo, SpecialFile::LinkToFifo, SpecialFile::Device}) {
    SCOPED_TRACE(Describe(kind));
    TempHome home;
    ReportCollector collector;
    MakeSpecialFile(kind, StoreFile(home));
    const std::string before = Inspect(StoreFile(home));
    const std::string fifo = kind == SpecialFile::LinkToFifo ? StoreFile(home) + ".fifo" : StoreFile(home);
    EXPECT_TRUE(FinishesWithoutAWriter(fifo, SetAndReadInMemory));
    EXPECT_EQ(Inspect(StoreFile(home)), before);
    EXPECT_EQ(collector.reports.size(), 2u);
    ExpectUnreadableThenNotSaved(collector.reports, 0);
  }
}

// The first save makes a settings folder that is not there yet; one removed while the program
// runs is not made again behind the user's back.
TEST(RegistryApi, MakesAMissingSettingsFolderButNotAGoneOne) {
  TempHome home;
  ReportCollector collector;
  const std::string folder = home.Path() + "/new/settings";
  ::setenv("QUILLO_HOME", folder.c_str(), 1);
  ASSERT_EQ(SetString(HKEY_CURRENT_USER, "first", "run"), 0);
  EXPECT_NE(FileContents(folder + "/registry.txt").find("\"first\"=\"run\""), std::string::npos);

  HKEY key = Create(HKEY_CURRENT_USER, "Later");
  ASSERT_EQ(SetString(key, "v", "1"), 0);
  std::filesystem::remove_all(home.Path() + "/new");
  EXPECT_EQ(RegCloseKey(key), 0);
  EXPECT_FALSE(std::filesystem::exists(folder));
  ASSERT_EQ(collector.reports.size(), 1u);
  EXPECT_EQ(collector.reports[0].kind, RegistryReport::Kind::NotSaved);
  ::setenv("QUILLO_HOME", home.Path().c_str(), 1);
  GetString(HKEY_CURRENT_USER, "first");  // the store moves on; what was pending is given up
  EXPECT_FALSE(std::filesystem::exists(folder));
}
