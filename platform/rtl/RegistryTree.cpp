#include "platform/rtl/RegistryTree.h"

#include <algorithm>

#include "platform/rtl/SysUtils.h"

namespace {

constexpr const char* kRootNames[kRegRootCount] = {
    "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",   "HKEY_LOCAL_MACHINE",
    "HKEY_USERS",        "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA",
};

// The first subkey whose name does not sort before name.
template <class Keys>
auto LowerBound(Keys& keys, const AnsiString& name) {
  return std::lower_bound(keys.begin(), keys.end(), name,
                          [](const RegKey& key, const AnsiString& wanted) {
                            return CompareText(key.name, wanted) < 0;
                          });
}

}  // namespace

const char* RegRootName(RegRoot root) { return kRootNames[static_cast<int>(root)]; }

bool RegRootFromName(const AnsiString& name, RegRoot* root) {
  for (int i = 0; i < kRegRootCount; ++i)
    if (name == kRootNames[i]) {
      *root = static_cast<RegRoot>(i);
      return true;
    }
  return false;
}

bool IsValidKeyName(const AnsiString& name) {
  if (name.empty() || name.size() > kMaxKeyNameLength) return false;
  for (char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || c == '\\') return false;
  }
  return true;
}

const RegKey* RegKey::Subkey(const AnsiString& key) const {
  auto at = LowerBound(subkeys, key);
  return at != subkeys.end() && SameText(at->name, key) ? &*at : nullptr;
}

RegKey* RegKey::Subkey(const AnsiString& key) {
  return const_cast<RegKey*>(static_cast<const RegKey*>(this)->Subkey(key));
}

RegKey& RegKey::AddSubkey(const AnsiString& key, bool* created) {
  auto at = LowerBound(subkeys, key);
  const bool isNew = at == subkeys.end() || !SameText(at->name, key);
  if (created != nullptr) *created = isNew;
  if (!isNew) return *at;
  RegKey fresh;
  fresh.name = key;
  return *subkeys.insert(at, std::move(fresh));
}

bool RegKey::EraseSubkey(const AnsiString& key) {
  auto at = LowerBound(subkeys, key);
  if (at == subkeys.end() || !SameText(at->name, key)) return false;
  subkeys.erase(at);
  return true;
}

const RegValue* RegKey::Value(const AnsiString& value) const {
  for (const RegValue& v : values)
    if (SameText(v.name, value)) return &v;
  return nullptr;
}

void RegKey::SetValue(const AnsiString& value, DWORD type, std::string data) {
  for (RegValue& v : values)
    if (SameText(v.name, value)) {
      v.type = type;
      v.data = std::move(data);
      return;
    }
  values.push_back(RegValue{value, type, std::move(data)});
}

bool RegKey::EraseValue(const AnsiString& value) {
  return std::erase_if(values, [&](const RegValue& v) { return SameText(v.name, value); }) > 0;
}

const RegKey* RegistryTree::Find(RegRoot root, const RegPath& path) const {
  const RegKey* key = &Root(root);
  for (const AnsiString& name : path) {
    key = key->Subkey(name);
    if (key == nullptr) return nullptr;
  }
  return key;
}

RegKey* RegistryTree::Find(RegRoot root, const RegPath& path) {
  return const_cast<RegKey*>(static_cast<const RegistryTree*>(this)->Find(root, path));
}

RegKey& RegistryTree::Create(RegRoot root, const RegPath& path, bool* created) {
  RegKey* key = &Root(root);
  bool isNew = false;
  for (const AnsiString& name : path) key = &key->AddSubkey(name, &isNew);
  if (created != nullptr) *created = isNew;
  return *key;
}

bool RegistryTree::Erase(RegRoot root, const RegPath& path) {
  if (path.empty()) return false;
  RegKey* parent = Find(root, RegPath(path.begin(), path.end() - 1));
  return parent != nullptr && parent->EraseSubkey(path.back());
}

void ApplyChange(RegistryTree& tree, const RegChange& change) {
  switch (change.kind) {
    case RegChange::Kind::CreateKey:
      tree.Create(change.root, change.path);
      break;
    case RegChange::Kind::DeleteKey:
      tree.Erase(change.root, change.path);
      break;
    case RegChange::Kind::SetValue:
      tree.Create(change.root, change.path).SetValue(change.value, change.type, change.data);
      break;
    case RegChange::Kind::DeleteValue:
      if (RegKey* key = tree.Find(change.root, change.path)) key->EraseValue(change.value);
      break;
  }
}
