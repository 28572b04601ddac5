#pragma once
// What the output commands need of the file commands beside them: reading a picture from a
// file, writing one, and the open dialogs' list of image types. The main window installs its host at start-up; without one nothing
// is read or written.

#include "platform/rtl/AnsiString.h"
#include "quillo/base/HostSlot.h"

class UDBuffer;
struct GFXSaveParams;

class OutputHost {
public:
  OutputHost() = default;
  virtual ~OutputHost() = default;
  OutputHost(const OutputHost&) = delete;
  OutputHost& operator=(const OutputHost&) = delete;

  // Loads image 0 of the file: into a new document window when target is null, else into
  // target. 0 when it was read, 1 when a damaged file's decoded part was kept, other values
  // when nothing was read. Unless quiet, failures are named in messages.
  virtual int LoadImage(UDBuffer* /*target*/, const AnsiString& /*fileName*/, bool /*quiet*/) { return -1; }
  // Writes the picture; 0 when the file was written whole. Unless quiet, failures are named
  // in messages and the picture takes the file's name.
  virtual int SaveImage(const AnsiString& /*fileName*/, UDBuffer* /*picture*/, GFXSaveParams* /*params*/,
                        bool /*quiet*/) {
    return -1;
  }
  // The open dialogs' file-type list ("Name (exts)|patterns|...", all images among them);
  // answers the 1-based index of the all-images entry.
  virtual int ImageFilter(AnsiString& filter) {
    filter = "All files|*";
    return 1;
  }
};

inline OutputHost& TheOutputHost() { return HostSlot<OutputHost>::Current(); }
