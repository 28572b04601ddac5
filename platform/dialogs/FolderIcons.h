#pragma once
// The small (16 by 16) images of the shell's folder views in the classic look: a closed
// folder, an open one and a document, in one image list at these indexes.

#include "platform/controls/ImageList.h"

constexpr int FolderIconClosed = 0, FolderIconOpen = 1, FolderIconFile = 2;

// A new image list the caller destroys (ImageList_Destroy).
HIMAGELIST MakeFolderIcons();
