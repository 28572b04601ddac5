// Links between file types and the program under the classes root: from every starting state
// (the format's extensions all, some or none the program's; another owner remembered or not;
// the program's key there or not) each action leaves every extension's owner as it should be,
// gives other programs back what was theirs, and names the extensions the store refused.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/rtl/RegistryApi.h"
#include "quillo/shell/FileAssociations.h"
#include "support/TempHome.h"

namespace {

// What an extension's key holds: "-" no key, "" a key without an owner, else the owner.
using Owners = std::map<std::string, std::string>;
constexpr const char* NoKey = "-";
constexpr const char* Ours = ProgramId;

class FileAssociationsTest : public ::testing::Test {
protected:
  ~FileAssociationsTest() override { AssociationAccess = KEY_ALL_ACCESS; }

  static void SetString(const std::string& key, const std::string& name, const std::string& value) {
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    RegSetValueEx(k, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                  static_cast<DWORD>(value.size() + 1));
    RegCloseKey(k);
  }
  static void MakeKey(const std::string& key) {
    HKEY k = nullptr;
    RegCreateKeyEx(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
    RegCloseKey(k);
  }
  // "-" when the key or value is missing.
  static std::string Read(const std::string& key, const std::string& name) {
    HKEY k = nullptr;
    if (RegOpenKeyEx(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return NoKey;
    char buffer[512] = {};
    DWORD size = sizeof buffer;
    DWORD type = 0;
    const LONG read = RegQueryValueEx(k, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(k);
    return read == ERROR_SUCCESS ? std::string(buffer) : std::string(NoKey);
  }
  static std::string OwnerOf(const std::string& ext) {
    HKEY k = nullptr;
    if (RegOpenKeyEx(HKEY_CLASSES_ROOT, ext.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return NoKey;
    RegCloseKey(k);
    const std::string owner = Read(ext, "");
    return owner == NoKey ? "" : owner;
  }

  TempHome home;
};

constexpr const char* Masks = "*.QA;*.QB";

enum class Action { Link, Unlink, LeaveGrayed };

struct Case {
  const char* what;
  Owners before;                   // ".qa" and ".qb"
  Owners remembered;               // under the program's key
  bool programKey;
  bool readOnly;
  Action action;
  Owners after;
  std::vector<std::string> failed;
};

TEST_F(FileAssociationsTest, EveryStartingStateAndActionEndsAsItShould) {
  const Case cases[] = {
      {"none ours, linked", {{".qa", "Paint.Picture"}, {".qb", NoKey}}, {}, true, false, Action::Link,
       {{".qa", Ours}, {".qb", Ours}}, {}},
      {"none ours, unlinked: nothing of theirs is touched", {{".qa", "Paint.Picture"}, {".qb", NoKey}}, {}, true, false,
       Action::Unlink, {{".qa", "Paint.Picture"}, {".qb", NoKey}}, {}},
      {"none ours, linked without the program's key", {{".qa", "Paint.Picture"}, {".qb", NoKey}}, {}, false, false,
       Action::Link, {{".qa", "Paint.Picture"}, {".qb", Ours}}, {".qa"}},
      {"all ours, unlinked: the remembered owner or nothing", {{".qa", Ours}, {".qb", Ours}},
       {{".qa", "Paint.Picture"}}, true, false, Action::Unlink, {{".qa", "Paint.Picture"}, {".qb", NoKey}}, {}},
      {"all ours, linked again", {{".qa", Ours}, {".qb", Ours}}, {{".qa", "Paint.Picture"}}, true, false, Action::Link,
       {{".qa", Ours}, {".qb", Ours}}, {}},
      {"some ours, unlinked: the other program keeps its own", {{".qa", Ours}, {".qb", "Viewer"}},
       {{".qa", "Editor"}}, true, false, Action::Unlink, {{".qa", "Editor"}, {".qb", "Viewer"}}, {}},
      {"some ours, linked", {{".qa", Ours}, {".qb", "Viewer"}}, {}, true, false, Action::Link,
       {{".qa", Ours}, {".qb", Ours}}, {}},
      {"some ours, left grayed", {{".qa", Ours}, {".qb", "Viewer"}}, {}, true, false, Action::LeaveGrayed,
       {{".qa", Ours}, {".qb", "Viewer"}}, {}},
      {"ours over an empty owner, unlinked", {{".qa", Ours}, {".qb", Ours}}, {{".qa", ""}, {".qb", ""}}, true, false,
       Action::Unlink, {{".qa", ""}, {".qb", ""}}, {}},
      {"a read-only store, linked", {{".qa", "Paint.Picture"}, {".qb", NoKey}}, {}, true, true, Action::Link,
       {{".qa", "Paint.Picture"}, {".qb", NoKey}}, {".qa", ".qb"}},
      {"a read-only store, unlinked", {{".qa", Ours}, {".qb", Ours}}, {{".qa", "Paint.Picture"}}, true, true,
       Action::Unlink, {{".qa", Ours}, {".qb", Ours}}, {".qa", ".qb"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const char* ext : {".qa", ".qb"}) RegDeleteKey(HKEY_CLASSES_ROOT, ext);
    RegDeleteKey(HKEY_CLASSES_ROOT, ProgramId);
    if (c.programKey) MakeKey(ProgramId);
    for (const auto& [ext, owner] : c.before) {
      if (owner == NoKey) continue;
      if (owner.empty()) MakeKey(ext);
      else SetString(ext, "", owner);
    }
    for (const auto& [ext, owner] : c.remembered) SetString(ProgramId, ext, owner);
    AssociationAccess = c.readOnly ? KEY_READ : KEY_ALL_ACCESS;

    std::vector<AnsiString> failed;
    if (c.action != Action::LeaveGrayed) LinkExtensions(Masks, c.action == Action::Link, failed);
    AssociationAccess = KEY_ALL_ACCESS;

    for (const auto& [ext, owner] : c.after) EXPECT_EQ(OwnerOf(ext), owner) << ext;
    EXPECT_EQ(std::vector<std::string>(failed.begin(), failed.end()), c.failed);
    const ExtensionCount count = CountAssociated(Masks);
    EXPECT_EQ(count.total, 2);
  }
}

TEST_F(FileAssociationsTest, LinkingAndGivingBackRestoresWhatWasThere) {
  MakeKey(ProgramId);
  SetString(".qa", "", "Paint.Picture");
  MakeKey(".qb");  // a key without an owner
  std::vector<AnsiString> failed;
  LinkExtensions(Masks, true, failed);
  EXPECT_TRUE(IsExtensionAssociated(".QA"));
  EXPECT_TRUE(IsExtensionAssociated(".qb"));
  EXPECT_EQ(Read(ProgramId, ".qa"), "Paint.Picture");
  LinkExtensions(Masks, false, failed);
  EXPECT_TRUE(failed.empty());
  EXPECT_EQ(OwnerOf(".qa"), "Paint.Picture");
  EXPECT_EQ(OwnerOf(".qb"), "");
  // Nothing stale is kept to hand out later.
  EXPECT_EQ(Read(ProgramId, ".qa"), NoKey);
  // A key the program made goes again; linking anew does not bring a stale owner back.
  SetString(ProgramId, ".qc", "Gone.Program");
  ASSERT_TRUE(AssociateExtension(".qc"));
  EXPECT_EQ(Read(ProgramId, ".qc"), NoKey);
  ASSERT_TRUE(UnassociateExtension(".qc"));
  EXPECT_EQ(OwnerOf(".qc"), NoKey);
}

TEST_F(FileAssociationsTest, TheProgramsKeyIsMadeWhenMissingAndLeftWhenThere) {
  ASSERT_TRUE(EnsureProgramKey("/opt/quillo/quillo", "Quillory image"));
  EXPECT_EQ(Read(ProgramId, ""), "Quillory image");
  EXPECT_EQ(Read(std::string(ProgramId) + "\\DefaultIcon", ""), "/opt/quillo/quillo,0");
  EXPECT_EQ(Read(std::string(ProgramId) + "\\shell\\open\\command", ""), "\"/opt/quillo/quillo\" \"%1\"");
  ASSERT_TRUE(EnsureProgramKey("/elsewhere/quillo", "Other text"));
  EXPECT_EQ(Read(ProgramId, ""), "Quillory image");
  // A store that refuses changes cannot make it.
  RegDeleteKey(HKEY_CLASSES_ROOT, (std::string(ProgramId) + "\\shell\\open\\command").c_str());
  RegDeleteKey(HKEY_CLASSES_ROOT, (std::string(ProgramId) + "\\shell\\open").c_str());
  RegDeleteKey(HKEY_CLASSES_ROOT, (std::string(ProgramId) + "\\shell").c_str());
  RegDeleteKey(HKEY_CLASSES_ROOT, (std::string(ProgramId) + "\\DefaultIcon").c_str());
  RegDeleteKey(HKEY_CLASSES_ROOT, ProgramId);
  AssociationAccess = KEY_READ;
  EXPECT_FALSE(EnsureProgramKey("/opt/quillo/quillo", "Quillory image"));
  EXPECT_EQ(Read(ProgramId, ""), NoKey);
}

}  // namespace
