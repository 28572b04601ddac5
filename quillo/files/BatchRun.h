#pragma once
// One batch conversion run: each input file loaded (its first image), saved in the chosen
// format, depth and naming rule into the folder it came from, with a message line for each
// file that could not be opened or saved. Nothing is deleted: an existing file is replaced
// only once its new contents are written whole, and a file still waiting in the list is
// never replaced.

#include <vector>

#include "platform/rtl/AnsiString.h"
#include "quillo/files/BatchSettings.h"

class GFXFile;

// Where a run shows its progress and how the user stops it.
class BatchProgressSink {
public:
  BatchProgressSink() = default;
  virtual ~BatchProgressSink() = default;
  BatchProgressSink(const BatchProgressSink&) = delete;
  BatchProgressSink& operator=(const BatchProgressSink&) = delete;

  virtual void SetFileCount(int files) = 0;
  virtual void SetFilesDone(int done) = 0;
  virtual void AddMessage(const AnsiString& line) = 0;
  virtual bool Cancelled() const = 0;
  // Lets waiting window messages run between files: that is how Cancel reaches the run.
  virtual void Pump() = 0;
};

class BatchRun {
public:
  BatchRun(const BatchSettings& settings, BatchProgressSink& sink);

  void Run(const std::vector<AnsiString>& files);
  // The output name of a source file, the index-th taken from the list (from 1).
  AnsiString OutputName(const AnsiString& source, int index) const;

private:
  bool Waiting(const AnsiString& path) const;
  void Convert(const AnsiString& source);

  const BatchSettings& settings_;
  BatchProgressSink& sink_;
  GFXFile* format_;
  AnsiString extension_;
  std::vector<AnsiString> files_;
  int taken_ = 0;  // files taken from the list so far
};
