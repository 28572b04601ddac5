#pragma once
// TTreeScanner walks a folder, with its sub-folders when Recursive, and reports each folder
// and each file that matches FileMask through events, in name order: the folder, its files,
// then each sub-folder depth first, then the folder's OnDirectoryDone. A symbolic link to a
// folder is neither entered nor reported, so a walk never loops or leaves its tree. With
// EnableMessages, waiting messages run at each folder; a ScanTree called from one of them
// while a scan runs does nothing and answers false.

#include <cstdint>

#include "platform/vcl/Component.h"

class TTreeScanner : public TComponent {
  QUILLO_DECLARE_PUBLISHED_CLASS()

public:
  explicit TTreeScanner(TComponent* owner);

  AnsiString GetInitialDirectory() const { return initialDirectory_; }
  void SetInitialDirectory(const AnsiString& dir) { initialDirectory_ = dir; }
  AnsiString GetFileMask() const { return fileMask_; }
  void SetFileMask(const AnsiString& mask) { fileMask_ = mask; }
  bool GetRecursive() const { return recursive_; }
  void SetRecursive(bool value) { recursive_ = value; }
  bool GetEnableMessages() const { return enableMessages_; }
  void SetEnableMessages(bool value) { enableMessages_ = value; }
  const AnsiString& FileFound() const { return fileFound_; }
  std::int64_t FileSize() const { return fileSize_; }
  bool SearchInProgress() const { return searching_; }

  TNotifyEvent OnDirectoryFound;
  TNotifyEvent OnFileFound;
  TNotifyEvent OnDirectoryDone;

  // Runs a scan; false when one is running already.
  bool ScanTree();

protected:
  virtual void scan_directory(const AnsiString& dir);

private:
  AnsiString initialDirectory_;
  AnsiString fileMask_;
  bool recursive_ = true;
  bool enableMessages_ = false;
  AnsiString fileFound_;
  std::int64_t fileSize_ = 0;
  bool searching_ = false;
};
