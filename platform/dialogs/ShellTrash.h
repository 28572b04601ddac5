#pragma once
// The desktop's trash, as the freedesktop.org Trash specification lays it out: the home trash
// is $XDG_DATA_HOME/Trash (else ~/.local/share/Trash) with files/ holding what was trashed and
// info/<name>.trashinfo telling where it came from and when. An item on another file system
// goes to that file system's $topdir/.Trash-<uid>; it is never copied across.

#include <string>

// Moves path (a file, a folder or a link; never followed) into the trash. Answers 0, or an
// errno value with the item left where it was.
int MoveToTrash(const std::string& path);
// The home trash folder, without a trailing '/'.
std::string HomeTrashFolder();
