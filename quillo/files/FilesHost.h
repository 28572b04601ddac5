#pragma once
// What the file commands need of the main window above them: its recent-files list and the
// folder scanner it keeps. The main window installs its host at start-up; without one every
// answer is the neutral one below.

#include "platform/rtl/AnsiString.h"
#include "quillo/base/HostSlot.h"

class TTreeScanner;

class FilesHost {
public:
  FilesHost() = default;
  virtual ~FilesHost() = default;
  FilesHost(const FilesHost&) = delete;
  FilesHost& operator=(const FilesHost&) = delete;

  // Puts an entry at the top of the recent-files list.
  virtual void AddRecentFile(const AnsiString& /*entry*/) {}
  // The scanner that walks a folder for the previous and next image; null without one.
  virtual TTreeScanner* FolderScanner() { return nullptr; }
};

// The installed host, or the neutral one; the main window installs its own at start-up.
inline FilesHost& TheFilesHost() { return HostSlot<FilesHost>::Current(); }
