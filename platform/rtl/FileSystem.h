#pragma once
// The Windows file calls the program makes (copy, move, temporary names, full paths, the
// current folder, free disk space, attributes), on POSIX. They answer as Windows does and
// set the last error (LastError.h) when they fail. Paths use '/'.

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/WinTypes.h"

constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x02;
constexpr DWORD FILE_ATTRIBUTE_SYSTEM = 0x04;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;

constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x1;
constexpr DWORD MOVEFILE_COPY_ALLOWED = 0x2;

DWORD GetFileAttributes(LPCSTR path);
BOOL SetFileAttributes(LPCSTR path, DWORD attributes);  // only the read-only bit has an effect

// Copies the bytes, the permissions and the modification time. The copy is written beside
// the destination and renamed over it at the end, so a failed copy leaves an existing
// destination as it was. A read-only destination is not replaced.
BOOL CopyFile(LPCSTR from, LPCSTR to, BOOL failIfExists);
// Renames; fails when the destination exists. Files (not folders) move across file systems
// by copy and delete.
BOOL MoveFile(LPCSTR from, LPCSTR to);
BOOL MoveFileEx(LPCSTR from, LPCSTR to, DWORD flags);

// $TMPDIR, else /tmp, with a trailing '/'. Answers the length written, or the size needed
// (with the terminating zero) when the buffer is too small.
DWORD GetTempPath(DWORD size, LPSTR buffer);
// Names path/<first 3 characters of prefix><hex number>.tmp in buffer (MAX_PATH bytes). With
// unique 0 it picks a number whose file does not exist and creates the file empty, so the
// name is the caller's; otherwise it only forms the name. Answers the number, 0 on failure.
UINT GetTempFileName(LPCSTR path, LPCSTR prefix, UINT unique, LPSTR buffer);

// An absolute path: relative names are taken from the current folder, "." and ".." parts
// resolved and repeated '/' folded. Links are not followed.
AnsiString ExpandFileName(const AnsiString& name);
DWORD GetFullPathName(LPCSTR name, DWORD size, LPSTR buffer, LPSTR* filePart);

AnsiString GetCurrentDir();  // without a trailing '/'
bool SetCurrentDir(const AnsiString& folder);
DWORD GetCurrentDirectory(DWORD size, LPSTR buffer);
BOOL SetCurrentDirectory(LPCSTR folder);

// Space on the file system holding the folder (the current one when null or empty).
BOOL GetDiskFreeSpaceEx(LPCSTR folder, ULARGE_INTEGER* freeBytesAvailable,
                        ULARGE_INTEGER* totalBytes, ULARGE_INTEGER* totalFreeBytes);
// The 32-bit form: counts larger than 32 bits are capped at 0xFFFFFFFF clusters.
BOOL GetDiskFreeSpace(LPCSTR folder, DWORD* sectorsPerCluster, DWORD* bytesPerSector,
                      DWORD* freeClusters, DWORD* totalClusters);

// A path as file addresses and trash records write it: every byte but the letters, digits and
// "/-_.~" as %XX (upper-case hex), so blanks and non-ASCII names survive.
AnsiString PercentEncodedPath(const AnsiString& path);
