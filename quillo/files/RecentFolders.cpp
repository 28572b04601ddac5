#include "quillo/files/RecentFolders.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Registry.h"
#include "platform/vcl/Strings.h"

namespace {

// The registry value of the list's entry i: "F0" is the most recent.
AnsiString RecentFolderValue(int i) { return Format("F%d", i); }

}  // namespace

void LoadRecentFolders(TStrings* items, const char* key) {
  TOwnedPtr<TRegistry> registry = MakeObject<TRegistry>();
  try {
    if (!registry->OpenKey(key, true)) return;
    for (int k = 0; k < kRecentFolderCount; ++k)
      if (registry->ValueExists(RecentFolderValue(k))) items->Add(registry->ReadString(RecentFolderValue(k)));
  } catch (const Exception&) {
    // A broken list ends the reading: the folders read so far stay.
  }
  registry->CloseKey();
}

void SaveRecentFolders(TStrings* items, const char* key) {
  TOwnedPtr<TRegistry> registry = MakeObject<TRegistry>();
  try {
    if (!registry->OpenKey(key, true)) return;
    for (int i = 0; i < items->Count(); ++i) registry->WriteString(RecentFolderValue(i), items->Get(i));
  } catch (const Exception&) {
    // The folders are a convenience: a registry that cannot take them loses nothing else.
  }
  registry->CloseKey();
}

void AddRecentFolder(TStrings* items, const AnsiString& fileName) {
  const AnsiString folder = ExtractFilePath(fileName);
  if (folder.empty()) return;
  for (int i = items->Count(); i-- > 0;)
    if (items->Get(i) == folder) items->Delete(i);
  while (items->Count() >= kRecentFolderCount) items->Delete(items->Count() - 1);
  items->Insert(0, folder);
}
