// What happens when a process loads the library: static initialisation in a fixed order,
// then the entry routine. Library state is constant-initialised or built on first use, so
// this one initialiser can run before or after any other of the library's. Nothing is built
// here that a process may never use (the compositing tables wait for their first blend), so a
// short process that only converts a file pays for no more than it does.

#include "platform/rtl/Module.h"
#include "vorlen/core/LibraryConfig.h"
#include "vorlen/formats/FormatList.h"

namespace {

struct LibraryLoad {
  LibraryLoad() {
    // The geometry constants are constant-initialised, so they are in place already.
    RegisterFormats();  // the image formats, in probing order
    const HINSTANCE self = ModuleOfAddress(reinterpret_cast<const void*>(&VorlenDllMain));
    VorlenDllMain(self, DLL_PROCESS_ATTACH, nullptr);
  }
};

const LibraryLoad libraryLoad;

}  // namespace
