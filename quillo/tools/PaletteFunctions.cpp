#include "quillo/tools/PaletteFunctions.h"

#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/document/UndoEngine.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/ToolForm.h"

void P_clear::Activate() {
  UDBuffer* picture = CurrentPicture;
  if (!picture || picture->Empty()) return;
  const bool clearedLast = picture->UndoChain && picture->UndoChain->Description == Key;
  // Without a step to undo it by, the image stays as it is.
  if (!clearedLast && !picture->PushUndo(Key)) return;
  picture->Box(picture->rect, BackgroundColour());
  picture->SaveAsRequired = 1;
  if (!picture->FileName.empty()) {
    picture->FileName.clear();
    picture->UntitledNumber = static_cast<int>(UntitledCounter++);
  }
  MarkPictureChanged();
  picture->ClearSelection(false);
  if (ImageForm && &ImageForm->Picture == picture) {
    if (ImageForm->ShowBuf) ImageForm->ShowBuf->Invalidate();
    UpdateDocumentCaption(ImageForm);
  }
}

void P_show_brush_panel::Activate() {
  if (ToolForm) ToolForm->ShowSheet(ToolForm->BrushSheet, true, true);
}
