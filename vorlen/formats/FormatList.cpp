// The one list of image formats, in registration (and probing) order. A codec not yet built
// keeps its line commented out; its developer enables the line when the codec lands.

#include "vorlen/formats/FormatList.h"

namespace {
bool registered = false;  // constant-initialised, so the list may be built on first use
}  // namespace

void RegisterFormats() {
  if (registered) return;
  registered = true;
  RegisterFRMFile();
  RegisterPCXFile();
  RegisterLBMFile();
  RegisterBMPFile();
  RegisterJPGFile();
  RegisterPNGFile();
  RegisterWMFFile();
  RegisterEMFFile();
  RegisterICOFile();
  RegisterAVIFile();
  RegisterGIFFile();
  RegisterTGAFile();
  RegisterWBMPFile();
}
