#include "quillo/filters/UntouchedCopy.h"

#include <exception>

#include "platform/user/WinConst.h"
#include "quillo/base/Language.h"
#include "quillo/tools/Tool.h"

void AllocUntouchedCopy(UDBuffer& picture, int width, int height) { picture.Alloc(width, height); }

bool TakeUntouchedCopy(UDBuffer& copy, UDBuffer& picture, UntouchedCopyAllocator allocate) {
  try {
    allocate(copy, picture.Width(), picture.Height());
  } catch (const std::exception&) {
    copy.Free();
  }
  if (copy.pixels == nullptr) {
    copy.Free();
    LangMessageBox("NoMem", "Err", MB_OK | MB_ICONEXCLAMATION);
    ReselectTool(false);
    return false;
  }
  copy.CopyFrom(picture);
  copy.CopyAttributes(picture);
  return true;
}
