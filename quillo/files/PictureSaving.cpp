#include "quillo/files/PictureSaving.h"

#include <memory>

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/FileDialogs.h"
#include "quillo/base/Language.h"
#include "quillo/base/Settings.h"
#include "quillo/document/DocumentHost.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/files/ImageFiles.h"
#include "quillo/files/SaveCommands.h"
#include "quillo/files/SavePictureDialog.h"

namespace {

constexpr int kSaveAsHelpContext = 1140;

GFXFile* WritableFormatAt(int place) { return TSavePlus::WritableFormatAt(place); }

// The place of a format among the writable ones, from 1; 0 when it cannot write.
int WritablePlaceOf(const GFXFile* format) {
  int place = 0;
  for (GFXFile* f = GFXFile::Formats(); f != nullptr; f = f->next) {
    if (f->depths != 0) ++place;
    if (f == format) return f->depths != 0 ? place : 0;
  }
  return 0;
}

// A format's first extension without "*.", as a dialog appends it.
AnsiString FirstExtension(const GFXFile* format) {
  if (format == nullptr) return {};
  const AnsiString ext = format->DefaultExtension();
  return LowerCase(ext.size() > 1 ? ext.substr(1) : AnsiString());
}

// A save at less than true colour or with a quality setting may lose what the picture holds.
bool MayLoseInformation(const GFXSaveParams& params, const GFXFile* format) {
  int bits = params.bits;
  if (bits == 0 && format != nullptr) bits = HighestDepth(format->depths, 32);
  return bits < 24 || (format != nullptr && format->quality > 0);
}

// With AutoReload, a save that may lose information first keeps the picture in an undo step,
// and once the file is written the picture shows what the file holds; Undo gives the picture
// back as it was. Only a save that succeeded is read back: after a failed or stopped one the
// file is not the picture's, so the step goes and the picture stays as it is.
class ReloadAfterSave {
public:
  ReloadAfterSave(UDBuffer& picture, bool mayLose) : picture_(picture), on_(Settings.AutoReload && mayLose) {
    if (on_) pushed_ = picture_.PushUndo("AutoReload");
  }
  ReloadAfterSave(const ReloadAfterSave&) = delete;
  ReloadAfterSave& operator=(const ReloadAfterSave&) = delete;

  void Finish(int saveResult) {
    if (!on_) return;
    if (saveResult != SaveOk) {
      if (pushed_) picture_.DropUndoStep();
      return;
    }
    picture_.ClearSelection(true);
    LoadImageFile(&picture_, picture_.FileName, 0, true);
  }

private:
  UDBuffer& picture_;
  bool on_;
  bool pushed_ = false;
};

// The type and default extension the dialog starts with for this file name.
void ChooseStartType(TSaveDialog& dialog, const AnsiString& fileName) {
  int place = 0;
  DefaultFormatIndex(fileName, &place);
  dialog.SetDefaultExt(FirstExtension(WritableFormatAt(place != 0 ? place : 1)));
  if (!fileName.empty()) {
    dialog.SetInitialDir(ExtractFilePath(fileName));
    if (place != 0) {
      dialog.SetFilterIndex(place);
      return;
    }
  } else {
    dialog.SetInitialDir(Settings.ImageDir);
  }
  // The preferred type of the preferences, counted over every format of the registry.
  GFXFile* preferred = GFXFile::Formats();
  for (int i = 0; i < Settings.DefFileExt && preferred != nullptr; ++i) preferred = preferred->next;
  const int preferredPlace = WritablePlaceOf(preferred);
  dialog.SetFilterIndex(preferredPlace != 0 ? preferredPlace : 1);
  dialog.SetDefaultExt(FirstExtension(WritableFormatAt(preferredPlace != 0 ? preferredPlace : 1)));
}

// Runs the save dialog until the accepted name agrees with the chosen type; false when the
// user cancelled.
bool AskNameAndOptions(TSavePlus& plus, UDBuffer& picture, const char* titleKey) {
  TSaveDialogEx& dialog = *plus.SavePicDlg;
  dialog.Hook().OwnerControl = TheDocumentHost().MainWindow();
  ImageFilterString(ImageFilter, true);
  dialog.SetFilter(ImageFilter);
  dialog.SetTitle(LangMessage(titleKey));
  dialog.SetFileName(picture.FileName);
  dialog.SetHelpContext(kSaveAsHelpContext);
  plus.PictureToSave = &picture;
  ChooseStartType(dialog, picture.FileName);
  if (!picture.FileName.empty() && !Settings.ImageDir.empty()) plus.AddRecentFolder(Settings.ImageDir);
  plus.SavePicDlgTypeChange(nullptr, dialog.GetFilterIndex());
  plus.RecFolders->SetItemIndex(-1);
  plus.ReshowDialog = true;
  while (dialog.Execute()) {
    if (!plus.ReshowDialog) return true;
    // The typed extension names another type (or none that writes): the dialog comes back
    // with that type, or with the name given the chosen type's extension.
    int place = 0;
    DefaultFormatIndex(dialog.GetFileName(), &place);
    if (place != 0) dialog.SetFilterIndex(place);
    plus.SavePicDlgTypeChange(nullptr, dialog.GetFilterIndex());
  }
  return false;
}

}  // namespace

bool SavePictureFile(UDBuffer& picture) {
  GFXFile* const format = DefaultFormatIndex(picture.FileName, nullptr);
  if (picture.SaveAsRequired != 0 || format == nullptr) return SavePictureFileAs(picture);

  ReloadAfterSave reload(picture, MayLoseInformation(picture.SaveParams, format));
  GFXSaveParams params = picture.SaveParams;
  const int result = SaveImageFile(picture.FileName, &picture, &params, false);
  reload.Finish(result);
  if (result == SaveFormatRefused) return SavePictureFileAs(picture);
  return result == SaveOk;
}

namespace {

// The name, type and options the user chose, as the parameters of the save; false when the
// dialog was cancelled.
bool ChooseNameAndParams(UDBuffer& picture, const char* titleKey, AnsiString& name, GFXSaveParams& params,
                         GFXFile*& format) {
  TSavePlus& plus = *TheSaveDialog();
  if (!AskNameAndOptions(plus, picture, titleKey)) {
    SaveCancelled = 1;
    return false;
  }
  name = plus.SavePicDlg->GetFileName();
  Settings.ImageDir = ExtractFilePath(name);
  params = plus.ChosenParams();
  format = DefaultFormatIndex(name, nullptr);
  if (format == nullptr) {
    // A name whose extension no writable format claims is written in the chosen type.
    format = TSavePlus::WritableFormatAt(plus.SavePicDlg->GetFilterIndex());
    params.format = format;
  }
  return true;
}

}  // namespace

bool SavePictureFileAs(UDBuffer& picture) {
  AnsiString name;
  GFXSaveParams params;
  GFXFile* format = nullptr;
  if (!ChooseNameAndParams(picture, "Save Image", name, params, format)) return false;
  if (ImageForm != nullptr) ImageForm->Invalidate();

  ReloadAfterSave reload(picture, MayLoseInformation(params, format));
  const int result = SaveImageFile(name, &picture, &params, false);
  if (result == SaveOk) {
    picture.SaveParams = params;
    picture.SaveParams.format = nullptr;
  }
  reload.Finish(result);
  return result == SaveOk;
}

bool SaveBrushFileAs() {
  AnsiString name;
  GFXSaveParams params;
  GFXFile* format = nullptr;
  if (!ChooseNameAndParams(Brush, "Save Brush", name, params, format)) return false;
  // SaveImageFile writes the brush through its stamped shape and makes the shape again.
  const int result = SaveImageFile(name, &BrushShape, &params, false);
  if (result != SaveOk) return false;
  Brush.FileName = BrushShape.FileName;
  Brush.SaveParams = params;
  Brush.SaveParams.format = nullptr;
  return true;
}
