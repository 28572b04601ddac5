#pragma once
// A folder of the system's temporary folder made for one window alone (mkdtemp: a name no
// other program holds, open to its owner only), so that files written there cannot be taken
// over or deleted by anyone else. It goes, with everything in it, when the object goes.

#include "platform/rtl/AnsiString.h"

class ProbeFolder {
public:
  ProbeFolder();
  ~ProbeFolder();
  ProbeFolder(const ProbeFolder&) = delete;
  ProbeFolder& operator=(const ProbeFolder&) = delete;

  // The folder with its trailing '/'; empty when it could not be made.
  const AnsiString& Path() const { return path_; }
  // Deletes a file of the folder; one already gone is no matter.
  static void Remove(const AnsiString& file);

private:
  AnsiString path_;
};
