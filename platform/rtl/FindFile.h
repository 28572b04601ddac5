#pragma once
// Searching folders as the framework does: FindFirst/FindNext/FindClose over a path whose
// last part is a mask with '*' and '?', matched without regard to case as on Windows. Entries
// come in name order ("." and ".." first). Attributes map onto the file system: a name
// starting with '.' is hidden, a file without the owner's write permission is read-only,
// every file that is not a folder has the archive bit.

#include <cstdint>
#include <memory>

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/DateTime.h"

constexpr int faReadOnly = 0x01;
constexpr int faHidden = 0x02;
constexpr int faSysFile = 0x04;
constexpr int faVolumeID = 0x08;
constexpr int faDirectory = 0x10;
constexpr int faArchive = 0x20;
constexpr int faAnyFile = 0x3F;

struct FindState;

struct TSearchRec {
  int Time = 0;              // packed file date (FileDateToDateTime)
  std::int64_t Size = 0;     // bytes; 0 for folders
  int Attr = 0;
  AnsiString Name;           // without its folder
  int ExcludeAttr = 0;
  TDateTime TimeStamp = 0;   // the modification time to the second
  std::shared_ptr<FindState> FindHandle;
};

// Files without attributes, read-only and archive files are always found; hidden files,
// system files and folders only when attr asks for them. Answers 0, or ERROR_FILE_NOT_FOUND
// when nothing matches, ERROR_PATH_NOT_FOUND when the folder is missing.
int FindFirst(const AnsiString& path, int attr, TSearchRec& rec);
int FindNext(TSearchRec& rec);  // 0, or ERROR_NO_MORE_FILES
void FindClose(TSearchRec& rec);

// '*' matches any run of characters and '?' exactly one, without regard to ASCII case;
// "*.*" matches every name, with or without a dot, as on Windows.
bool MatchesMask(const AnsiString& name, const AnsiString& mask);

int FileGetAttr(const AnsiString& path);                // the attributes, or -1
int FileSetAttr(const AnsiString& path, int attr);      // only faReadOnly changes anything; 0 or an error code
int FileAge(const AnsiString& path);                    // packed file date, or -1
int FileSetDate(const AnsiString& path, int fileDate);  // 0 or an error code
