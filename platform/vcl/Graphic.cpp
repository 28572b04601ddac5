#include "platform/vcl/Graphic.h"

#include <string>

#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/RegularFile.h"

QUILLO_DEFINE_CLASS(TGraphic, TPersistent)

void TGraphic::SetTransparent(bool transparent) {
  if (transparent == transparent_) return;
  transparent_ = transparent;
  Changed();
}

void TGraphic::SetModified(bool modified) {
  if (modified) Changed();
  else modified_ = false;
}

void TGraphic::Changed() {
  modified_ = true;
  if (OnChange) OnChange(this);
}

void TGraphic::LoadFromFile(const AnsiString& fileName) {
  // A pipe or a device named as a picture is refused (EFOpenError), never waited on.
  TFileStream stream(OpenRegularFile(fileName), fileName);
  LoadFromStream(&stream);
}

void TGraphic::SaveToFile(const AnsiString& fileName) {
  // The whole image is made first, so a failure midway leaves the old file untouched.
  TMemoryStream stream;
  SaveToStream(&stream);
  AtomicFile::WriteFile(fileName, std::string(static_cast<const char*>(stream.Memory()),
                                              static_cast<size_t>(stream.Size())));
}
