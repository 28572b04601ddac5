#include "quillo/shell/FileAssociations.h"

#include <string>

#include "platform/rtl/SysUtils.h"

REGSAM AssociationAccess = KEY_ALL_ACCESS;

namespace {

// The longest extension a mask list yields, as the list's characters are counted.
constexpr std::size_t MaxExtensionLength = 260;

// The classes root opened with AssociationAccess; every key below is reached through it, so
// that a store refusing changes refuses each of them.
class ClassesRoot {
public:
  ClassesRoot() {
    if (RegOpenKeyEx(HKEY_CLASSES_ROOT, "", 0, AssociationAccess, &root_) != ERROR_SUCCESS) root_ = nullptr;
  }
  ~ClassesRoot() {
    if (root_) RegCloseKey(root_);
  }
  ClassesRoot(const ClassesRoot&) = delete;
  ClassesRoot& operator=(const ClassesRoot&) = delete;

  bool Opened() const { return root_ != nullptr; }
  bool Exists(const AnsiString& key) const {
    HKEY k = nullptr;
    if (!root_ || RegOpenKeyEx(root_, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
  }
  // The string value; false when the key or value is missing or not a string.
  bool Read(const AnsiString& key, const AnsiString& name, AnsiString& value) const {
    HKEY k = nullptr;
    if (!root_ || RegOpenKeyEx(root_, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    DWORD type = 0;
    DWORD size = 0;
    bool ok = RegQueryValueEx(k, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
              (type == REG_SZ || type == REG_EXPAND_SZ);
    if (ok) {
      std::string bytes(size, '\0');
      ok = RegQueryValueEx(k, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size) ==
           ERROR_SUCCESS;
      bytes.resize(std::min<std::size_t>(size, bytes.size()));
      value = AnsiString(bytes.c_str());
    }
    RegCloseKey(k);
    return ok;
  }
  AnsiString ReadOr(const AnsiString& key, const AnsiString& name, const AnsiString& fallback = "") const {
    AnsiString value;
    return Read(key, name, value) ? value : fallback;
  }
  // Writes a string value, making the key when create allows.
  bool Write(const AnsiString& key, const AnsiString& name, const AnsiString& value, bool create = true) const {
    HKEY k = nullptr;
    if (!root_) return false;
    const LONG opened = create ? RegCreateKeyEx(root_, key.c_str(), 0, nullptr, 0, AssociationAccess, nullptr, &k, nullptr)
                               : RegOpenKeyEx(root_, key.c_str(), 0, AssociationAccess, &k);
    if (opened != ERROR_SUCCESS) return false;
    const bool ok = RegSetValueEx(k, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                  static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
    RegCloseKey(k);
    return ok;
  }
  // Removes a value; a value already missing counts as removed.
  bool DeleteValue(const AnsiString& key, const AnsiString& name) const {
    HKEY k = nullptr;
    if (!root_) return false;
    const LONG opened = RegOpenKeyEx(root_, key.c_str(), 0, AssociationAccess, &k);
    if (opened == ERROR_FILE_NOT_FOUND) return true;
    if (opened != ERROR_SUCCESS) return false;
    const LONG deleted = RegDeleteValue(k, name.c_str());
    RegCloseKey(k);
    return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
  }
  // Removes a key without subkeys; one with subkeys only loses its default value.
  bool DeleteKey(const AnsiString& key) const {
    // Deleting needs the right to change, as on the real store.
    if (!root_ || (AssociationAccess & KEY_SET_VALUE) == 0) return false;
    const LONG deleted = RegDeleteKey(root_, key.c_str());
    if (deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND) return true;
    return deleted == ERROR_ACCESS_DENIED && DeleteValue(key, "");
  }

private:
  HKEY root_ = nullptr;
};

AnsiString KeyOf(const AnsiString& ext) { return LowerCase(ext); }

}  // namespace

AnsiString NextExtension(AnsiString& list) {
  const auto p = list.find(';');
  if (p != AnsiString::npos) {
    AnsiString ext = p > 1 ? list.substr(1, p - 1) : AnsiString();
    list.erase(0, p + 1);
    return ext;
  }
  if (list.empty()) return AnsiString();
  AnsiString ext = list.size() > 1 ? list.substr(1, MaxExtensionLength) : AnsiString();
  list.clear();
  return ext;
}

bool IsExtensionAssociated(const AnsiString& ext) {
  const ClassesRoot root;
  AnsiString owner;
  return root.Read(KeyOf(ext), "", owner) && owner == ProgramId;
}

bool AssociateExtension(const AnsiString& ext) {
  const AnsiString key = KeyOf(ext);
  if (key.empty()) return true;
  const ClassesRoot root;
  if (!root.Opened()) return false;
  if (root.Exists(key)) {
    const AnsiString owner = root.ReadOr(key, "");
    if (owner == ProgramId) return true;
    // The owner before us, to give the extension back to; without the program's key the
    // extension stays with it.
    if (!root.Write(ProgramId, key, owner, false)) return false;
  } else if (!root.DeleteValue(ProgramId, key)) {
    // A remembered owner from an earlier link would be stale: the key is ours from here on.
    return false;
  }
  return root.Write(key, "", ProgramId);
}

bool UnassociateExtension(const AnsiString& ext) {
  const AnsiString key = KeyOf(ext);
  if (key.empty()) return true;
  const ClassesRoot root;
  if (!root.Opened()) return false;
  if (root.ReadOr(key, "") != ProgramId) return true;  // not ours: nothing to give back
  AnsiString before;
  bool restored = false;
  if (!root.Read(ProgramId, key, before)) restored = root.DeleteKey(key);  // the program made it
  else if (before.empty()) restored = root.DeleteValue(key, "");
  else restored = root.Write(key, "", before, false);
  return restored && root.DeleteValue(ProgramId, key);
}

ExtensionCount CountAssociated(AnsiString masks) {
  ExtensionCount count;
  for (AnsiString ext = NextExtension(masks); !ext.empty() || !masks.empty(); ext = NextExtension(masks)) {
    if (ext.empty()) continue;
    ++count.total;
    if (IsExtensionAssociated(ext)) ++count.associated;
  }
  return count;
}

void LinkExtensions(AnsiString masks, bool link, std::vector<AnsiString>& failed) {
  for (AnsiString ext = NextExtension(masks); !ext.empty() || !masks.empty(); ext = NextExtension(masks)) {
    if (ext.empty()) continue;
    const bool ok = link ? AssociateExtension(ext) : UnassociateExtension(ext);
    if (!ok) failed.push_back(LowerCase(ext));
  }
}

bool EnsureProgramKey(const AnsiString& programPath, const AnsiString& description) {
  const ClassesRoot root;
  if (root.Exists(ProgramId)) return true;
  const AnsiString base = AnsiString(ProgramId) + "\\";
  return root.Write(ProgramId, "", description) && root.Write(base + "DefaultIcon", "", programPath + ",0") &&
         root.Write(base + "shell\\open\\command", "", "\"" + programPath + "\" \"%1\"");
}
