#pragma once
// The open and save dialogs' lists of the folders last used, most recent first, kept in the
// registry as the values "F0", "F1"... of a key of their own.

#include "platform/rtl/AnsiString.h"

class TStrings;

constexpr int kRecentFolderCount = 8;

// Fills items from the key; a list that cannot be read keeps the folders read so far.
void LoadRecentFolders(TStrings* items, const char* key);
// Writes items to the key; a registry that cannot take them loses nothing else.
void SaveRecentFolders(TStrings* items, const char* key);
// Puts the folder of fileName first, once, keeping at most kRecentFolderCount folders. Folder
// names keep their case: they differ by case on this system.
void AddRecentFolder(TStrings* items, const AnsiString& fileName);
