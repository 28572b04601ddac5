#include "quillo/files/SaveCommands.h"

#include "quillo/document/DocumentList.h"
#include "quillo/document/Progress.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/files/PictureSaving.h"
#include "quillo/tools/Tool.h"

bool SavePicture(TObject* /*sender*/) {
  // An operation running on the picture refuses; a dialog's preview is not the picture: the
  // tool stands aside (its preview taken back) while the committed picture is saved.
  if (CurrentPicture == nullptr || ProgressRunning()) return false;
  const ToolSuspension aside;
  const bool saved = SavePictureFile(*CurrentPicture);
  if (saved) UpdateDocumentCaption(ImageForm);
  return saved;
}

bool SavePictureAs(TObject* sender) {
  // The tool options palette saves the brush with no sender.
  if (sender == nullptr) return SaveBrushFileAs();
  if (CurrentPicture == nullptr || ProgressRunning()) return false;
  const ToolSuspension aside;
  const bool saved = SavePictureFileAs(*CurrentPicture);
  if (saved) UpdateDocumentCaption(ImageForm);
  return saved;
}
