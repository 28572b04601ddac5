#pragma once
// The input files of a batch run: the single image, or the image files of a folder or a list
// of folders, with their subfolders when asked, in name order, each folder's files and
// subfolders as they come (depth first). Only regular files (or links to them) whose names
// name a format are listed; folders whose names begin with "." are not entered, nor are
// linked folders, so a link back up the tree cannot send the scan round in circles, and a
// pipe is never opened.

#include <vector>

#include "platform/rtl/AnsiString.h"
#include "quillo/files/BatchSettings.h"

std::vector<AnsiString> BatchInputFiles(const BatchSettings& settings);
// Appends the image files of one folder ("/f" and "/f/" alike; an empty name has none).
void ScanBatchFolder(const AnsiString& folder, bool withSubfolders, std::vector<AnsiString>& files);
