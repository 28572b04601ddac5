#pragma once
// The registry's contents in memory: one tree of keys per root, each key with typed values.
// Key and value names compare without regard to ASCII case and keep the case they were made
// with. Subkeys are kept sorted by name, as Windows lists them; values keep the order in which
// they were first set, which is the order Windows hands them out in.
//
// A change to the tree is also a record (RegChange), so that the store can replay the changes
// it has not saved yet onto the file as another process left it.

#include <array>
#include <string>
#include <vector>

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/WinTypes.h"

enum class RegRoot { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig, DynData };
inline constexpr int kRegRootCount = 6;

// "HKEY_CURRENT_USER" and so on; FromName answers false for anything else.
const char* RegRootName(RegRoot root);
bool RegRootFromName(const AnsiString& name, RegRoot* root);

// Windows' limits on names and nesting; the store refuses more.
inline constexpr size_t kMaxKeyNameLength = 255;
inline constexpr size_t kMaxValueNameLength = 16383;
inline constexpr size_t kMaxKeyDepth = 512;
// The store keeps settings, not documents.
inline constexpr size_t kMaxValueSize = 1 << 20;

// A key name is 1 to 255 bytes without control characters (a backslash separates names).
bool IsValidKeyName(const AnsiString& name);

struct RegValue {
  AnsiString name;  // "" for the key's default value
  DWORD type = 0;
  std::string data;
};

struct RegKey {
  AnsiString name;
  std::vector<RegValue> values;
  std::vector<RegKey> subkeys;

  const RegKey* Subkey(const AnsiString& key) const;
  RegKey* Subkey(const AnsiString& key);
  // The subkey, made when missing; *created tells which.
  RegKey& AddSubkey(const AnsiString& key, bool* created = nullptr);
  bool EraseSubkey(const AnsiString& key);

  const RegValue* Value(const AnsiString& value) const;
  // A value set again keeps its place and the case of its first name.
  void SetValue(const AnsiString& value, DWORD type, std::string data);
  bool EraseValue(const AnsiString& value);
};

using RegPath = std::vector<AnsiString>;

class RegistryTree {
public:
  RegKey& Root(RegRoot root) { return roots_[static_cast<size_t>(root)]; }
  const RegKey& Root(RegRoot root) const { return roots_[static_cast<size_t>(root)]; }

  const RegKey* Find(RegRoot root, const RegPath& path) const;
  RegKey* Find(RegRoot root, const RegPath& path);
  // Makes every missing key of the path; *created tells whether the last one was new.
  RegKey& Create(RegRoot root, const RegPath& path, bool* created = nullptr);
  // Removes the key with everything below it; a root cannot be removed.
  bool Erase(RegRoot root, const RegPath& path);

private:
  std::array<RegKey, kRegRootCount> roots_;
};

// One change to a tree, as the program made it.
struct RegChange {
  enum class Kind { CreateKey, DeleteKey, SetValue, DeleteValue };
  Kind kind = Kind::CreateKey;
  RegRoot root = RegRoot::CurrentUser;
  RegPath path;
  AnsiString value;  // SetValue and DeleteValue
  DWORD type = 0;    // SetValue
  std::string data;  // SetValue
};

// Applies a change as it was meant, whatever the tree holds now: a value is set even when its
// key has gone meanwhile (the key is made again), and a deletion of what is not there is no
// change.
void ApplyChange(RegistryTree& tree, const RegChange& change);
