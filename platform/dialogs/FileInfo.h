#pragma once
// SHGetFileInfo: the icon, display name and type name the shell shows for a file or folder.
// The icons are simple classic pictures (folder, picture, document, and the places of the
// file dialog) in two shared image lists, 16 and 32 pixels square, that live for the run.

#include <string>

#include "platform/controls/ImageList.h"

using DWORD_PTR = ULONG_PTR;

struct SHFILEINFO {
  HICON hIcon = nullptr;  // with SHGFI_ICON: the caller frees it with DestroyIcon
  int iIcon = 0;
  DWORD dwAttributes = 0;
  char szDisplayName[MAX_PATH] = {};
  char szTypeName[80] = {};
};
using SHFILEINFOA = SHFILEINFO;

constexpr UINT SHGFI_LARGEICON = 0x0, SHGFI_SMALLICON = 0x1, SHGFI_OPENICON = 0x2, SHGFI_SHELLICONSIZE = 0x4,
               SHGFI_PIDL = 0x8, SHGFI_USEFILEATTRIBUTES = 0x10, SHGFI_ICON = 0x100, SHGFI_DISPLAYNAME = 0x200,
               SHGFI_TYPENAME = 0x400, SHGFI_ATTRIBUTES = 0x800, SHGFI_ICONLOCATION = 0x1000,
               SHGFI_EXETYPE = 0x2000, SHGFI_SYSICONINDEX = 0x4000, SHGFI_LINKOVERLAY = 0x8000,
               SHGFI_SELECTED = 0x10000;
constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x1, FILE_ATTRIBUTE_HIDDEN = 0x2, FILE_ATTRIBUTE_DIRECTORY = 0x10,
                FILE_ATTRIBUTE_NORMAL = 0x80;

// With SHGFI_SYSICONINDEX: the image list (as a number) the index is into. Otherwise non-zero
// on success. 0 when the path does not exist (unless SHGFI_USEFILEATTRIBUTES, which takes
// attributes instead of looking at the disk) or info is missing.
DWORD_PTR SHGetFileInfo(LPCSTR path, DWORD attributes, SHFILEINFO* info, UINT infoSize, UINT flags);
inline constexpr auto& SHGetFileInfoA = SHGetFileInfo;

// The indexes of the shared image lists.
enum class FileIcon { Folder = 0, OpenFolder, Document, Picture, Home, Desktop, Drive, UpFolder, NewFolder,
                      ListView, DetailsView, Count };
HIMAGELIST FileIconList(bool small);

// "File Folder", "PNG Image", "TXT File", "File": the type name of a name by its extension.
std::string FileTypeName(const std::string& name, bool folder);
bool IsPictureName(const std::string& name);
