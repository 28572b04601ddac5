#include "quillo/files/SaveCommands.h"

#include "quillo/document/DocumentList.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/files/PictureSaving.h"
#include "quillo/tools/Tool.h"

bool SavePicture(TObject* /*sender*/) {
  // A dialog's preview in the picture is not the picture: nothing is saved until it is kept.
  if (CurrentPicture == nullptr || IsDialogToolActive()) return false;
  const bool saved = SavePictureFile(*CurrentPicture);
  if (saved) UpdateDocumentCaption(ImageForm);
  return saved;
}

bool SavePictureAs(TObject* sender) {
  // The tool options palette saves the brush with no sender.
  if (sender == nullptr) return SaveBrushFileAs();
  if (CurrentPicture == nullptr || IsDialogToolActive()) return false;
  const bool saved = SavePictureFileAs(*CurrentPicture);
  if (saved) UpdateDocumentCaption(ImageForm);
  return saved;
}
