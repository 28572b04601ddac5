#include "quillo/files/OpenCommands.h"

#include <cctype>
#include <exception>

#include "platform/rtl/FileSystem.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Menus.h"
#include "quillo/base/Language.h"
#include "quillo/base/Settings.h"
#include "quillo/components/files/MRUFileList.h"
#include "quillo/components/files/TreeScanner.h"
#include "quillo/components/toolbars/ToolbarButton.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/document/Zoom.h"
#include "quillo/files/FilesHost.h"
#include "quillo/files/ImageFiles.h"
#include "quillo/files/OpenPictureDialog.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/Tool.h"
#include "vorlen/formats/GFXFile.h"

int OpenFilterIndex = -1;

namespace {

// The open dialog's height while File > Open runs: room for the panel below the list.
constexpr int kOpenDialogFormHeight = 260;
// How long the end-of-folder texts hold the status bar, in seconds.
constexpr float kFolderEndStatusSeconds = 5;
// The zoom the neighbour's window is fitted from: the largest, so that the fit decides.
constexpr double kNeighbourStartZoom = 32;

// The first registered format's first extension without "*.": the dialog's default.
AnsiString DefaultExtension() {
  GFXFile* first = GFXFile::Formats();
  if (first == nullptr) return {};
  AnsiString ext = first->extensions.substr(0, first->extensions.find(';'));
  return ext.size() > 2 ? ext.substr(2) : AnsiString();
}

// The preview stands for the file only when it was loaded from that very file and image;
// anything else (a name typed after another was previewed) is read anew.
void KeepPreviewOnlyFor(const AnsiString& chosen, int imageNumber) {
  if (PreviewLoaded && OpenPlus != nullptr && chosen == OpenPlus->PreviewFile &&
      imageNumber == OpenPlus->PreviewLoadedImage)
    return;
  PreviewPicture.Free();
  PreviewLoaded = false;
}

void FreePreview() {
  PreviewPicture.Free();
  PreviewThumb.Free();
  PreviewLoaded = false;
}

void NoteRecentFolder(int code, const AnsiString& fileName) {
  if ((code == LoadOk || code == LoadDamaged || code == LoadReadFailed) && OpenPlus != nullptr)
    OpenPlus->AddRecentFolder(ExpandFileName(fileName));
}

bool IsImageFile(const AnsiString& path) {
  if (GFXFile::GetDefaultFormat(path) == nullptr) return false;
  GFXFileDesc desc;
  try {
    return GFXFile::Test(path, &desc);
  } catch (const std::exception&) {
    return false;
  }
}

// The image file next to `current` in its folder's name order, before or after it. found
// tells whether the current file was met at all.
struct Neighbour {
  AnsiString file;
  bool found = false;
};

Neighbour FindNeighbour(const AnsiString& current, bool next) {
  Neighbour result;
  TTreeScanner* scanner = TheFilesHost().FolderScanner();
  if (scanner == nullptr) return result;
  AnsiString before;  // the last image file before the current one
  bool done = false;
  scanner->SetInitialDirectory(ExtractFilePath(current));
  scanner->SetFileMask("*.*");
  scanner->SetRecursive(false);
  scanner->OnDirectoryFound = nullptr;
  scanner->OnFileFound = [&](TObject*) {
    if (done) return;
    const AnsiString& file = scanner->FileFound();
    if (SameText(file, current)) {
      result.found = true;
      if (!next) {
        result.file = before;
        done = true;
      }
    } else if (!next || result.found) {
      if (!IsImageFile(file)) return;
      if (next) {
        result.file = file;
        done = true;
      } else {
        before = file;
      }
    }
  };
  scanner->ScanTree();
  scanner->OnFileFound = nullptr;
  return result;
}

void LoadNeighbour(const AnsiString& file) {
  if (ImageForm == nullptr || QuerySaveChanges(ImageForm)) return;
  SetZoomFactor(kNeighbourStartZoom);
  CurrentPicture->ClearSelection(true);
  NoteRecentFolder(LoadImageFile(CurrentPicture, file, 0, false), file);
}

void OpenNeighbour(bool next) {
  if (TheFilesHost().FolderScanner() == nullptr || CurrentPicture == nullptr || CurrentPicture->FileName.empty()) return;
  const Neighbour neighbour = FindNeighbour(CurrentPicture->FileName, next);
  if (!neighbour.file.empty()) {
    LoadNeighbour(neighbour.file);
  } else if (next) {
    ShowTimedStatus(LangMessage("NoNextImg"), kFolderEndStatusSeconds);
  } else if (neighbour.found) {
    ShowTimedStatus(LangMessage("NoPrevImg"), kFolderEndStatusSeconds);
  }
}

}  // namespace

void OpenImageClick(TObject* sender) {
  ReselectTool(true);
  HideToolFeedback();
  // The tool's feedback comes back however the command ends.
  struct FeedbackBack {
    ~FeedbackBack() { ShowToolFeedback(); }
  } feedbackBack;
  TOpenPlus* form = CreateOpenPlus();
  TCustomOpenDialog* dialog = form->CustomOpenDialog1;
  const bool brush = sender == nullptr;
  dialog->SetDefaultExt(DefaultExtension());
  form->SetHeight(kOpenDialogFormHeight);
  dialog->SetTitle(LangMessage(brush ? "Open Brush" : "Open Image"));
  dialog->SetInitialDir(brush ? Settings.BrushDir : Settings.ImageDir);
  const int allImages = ImageFilterString(ImageFilter, false);
  if (OpenFilterIndex == -1) OpenFilterIndex = allImages;
  dialog->SetFilter(ImageFilter);
  dialog->SetFilterIndex(OpenFilterIndex);
  dialog->SetFileName("");
  dialog->GetFiles()->Clear();
  form->PreviewFile.clear();
  form->LoadPreview(nullptr);
  form->RecFolders->SetItemIndex(-1);
  PreviewLoaded = false;

  if (!dialog->Execute()) {
    FreePreview();
    return;
  }
  const AnsiString chosen = dialog->GetFileName();
  (brush ? Settings.BrushDir : Settings.ImageDir) = ExtractFilePath(chosen);
  OpenFilterIndex = dialog->GetFilterIndex();
  // The image number chosen in the panel belongs to the file it was chosen for.
  const int imageNumber = chosen == form->PreviewFile ? PreviewImageIndex : 0;
  KeepPreviewOnlyFor(chosen, imageNumber);
  const int code = LoadImageFile(brush ? &Brush : nullptr, chosen, imageNumber, false);
  if (!brush) NoteRecentFolder(code, chosen);
  FreePreview();
}

void OpenPrevBtnClick(TObject*) { OpenNeighbour(false); }

void OpenNextBtnClick(TObject*) { OpenNeighbour(true); }

RecentFileEntry SplitRecentEntry(const AnsiString& entry) {
  // A path may hold ": " itself: only a last ": " followed by digits alone is a number.
  const auto cut = entry.rfind(": ");
  if (cut == AnsiString::npos || cut + 2 >= entry.size()) return {entry, 0};
  const AnsiString digits = entry.substr(cut + 2);
  for (char c : digits)
    if (!std::isdigit(static_cast<unsigned char>(c))) return {entry, 0};
  if (digits.size() > 9) return {entry, 0};
  return {entry.substr(0, cut), std::stoi(digits)};
}

void MRUFileList1MRUItemClick(TObject*, const AnsiString& entry) {
  const RecentFileEntry recent = SplitRecentEntry(entry);
  const ToolSuspension aside;
  NoteRecentFolder(LoadImageFile(nullptr, recent.fileName, recent.imageNumber, false), recent.fileName);
}
