#include "quillo/files/ImageFiles.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <algorithm>
#include <cstring>
#include <exception>
#include <new>
#include <optional>

#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FileSystem.h"
#include "platform/rtl/SysUtils.h"
#include "platform/user/WinConst.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Color.h"
#include "platform/vcl/Control.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Screen.h"
#include "quillo/base/Language.h"
#include "quillo/base/ProgramMessages.h"
#include "quillo/base/Settings.h"
#include "quillo/components/files/MRUFileList.h"
#include "quillo/document/DocumentHost.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/ImageForm.h"
#include "quillo/document/ImageView.h"
#include "quillo/document/Progress.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/files/BackupLeftovers.h"
#include "quillo/files/FilesHost.h"
#include "quillo/files/OpenPictureDialog.h"
#include "quillo/files/SavePictureDialog.h"
#include "quillo/tools/BrushModel.h"
#include "quillo/tools/DrawingHelpers.h"
#include "quillo/tools/Swatches.h"
#include "quillo/tools/Tool.h"
#include "quillo/tools/ToolForm.h"
#include "quillo/tools/ToolObjects.h"

AnsiString ImageFilter;

namespace {

constexpr UINT kErrorBox = MB_OK | MB_ICONEXCLAMATION;
constexpr UINT kKeepPartBox = MB_YESNO | MB_ICONEXCLAMATION;
// The brush's transparent colour field when the file names none.
constexpr uint kNoColour = 0xFF000000u;
// How long a stopped save says so in the status bar.
constexpr float kStoppedStatusSeconds = 5;

// The hourglass while a file is read or written, the old pointer back however the call ends.
class HourglassPointer {
public:
  HourglassPointer() : saved_(Screen()->GetCursor()) { Screen()->SetCursor(crHourGlass); }
  ~HourglassPointer() { Screen()->SetCursor(saved_); }
  HourglassPointer(const HourglassPointer&) = delete;
  HourglassPointer& operator=(const HourglassPointer&) = delete;

private:
  TCursor saved_;
};

// A quiet call reports no progress and cannot be stopped: the library's progress hooks are
// off for it and back as they were afterwards, however it ends.
class ProgressHooksOff {
public:
  explicit ProgressHooksOff(bool off)
      : start_(GFXFile::PrStart), step_(GFXFile::PrStep), end_(GFXFile::PrEnd), off_(off) {
    if (off_) GFXFile::SetProgFunc(nullptr, nullptr, nullptr);
  }
  ~ProgressHooksOff() {
    if (off_) GFXFile::SetProgFunc(start_, step_, end_);
  }
  ProgressHooksOff(const ProgressHooksOff&) = delete;
  ProgressHooksOff& operator=(const ProgressHooksOff&) = delete;

private:
  void (*start_)();
  bool (*step_)(int);
  void (*end_)();
  bool off_;
};

// The file the library writes for this name: it adds the chosen format's extension to a name
// that has none, and the picture is to be named after the file that exists. Without a chosen
// format the name is taken as it is (the library refuses one that names no format).
AnsiString PathTheLibraryWrites(const AnsiString& fileName, const GFXSaveParams* params) {
  if (params != nullptr && params->format != nullptr)
    return !ExtractFileExt(fileName).empty() ? fileName : fileName + params->format->DefaultExtension();
  return fileName;
}

// Why a save in a folder this process may not write failed, naming the folder: a file is
// replaced by writing a new one beside it, so a writable file alone is not enough. Empty when
// the folder is writable (the failure lies elsewhere).
AnsiString FolderRefusal(const AnsiString& path) {
  const AnsiString folder = ExtractFilePath(ExpandFileName(path));
  if (::access(folder.c_str(), W_OK | X_OK) == 0) return AnsiString();
  if (errno != EACCES && errno != EPERM && errno != EROFS) return AnsiString();
  return LangMessage("NoWriteFolder") + "\n" + folder;
}

// A second name for the old file made before a save and turned into its backup only once the
// new file is written whole; the file itself never leaves its name. Dropped (the older backup
// kept) when the save fails.
class PendingBackup {
public:
  explicit PendingBackup(const AnsiString& path) : backupName_(BackupFileName(path)) {
    if (!Settings.BackupFiles || !FileExists(path)) return;
    AnsiString old;
    try {
      old = AtomicFile::TargetOf(path);  // a link's file, as the save replaces it
    } catch (const EStreamError&) {
      return;
    }
    const AnsiString folder = ExtractFilePath(backupName_);
    for (int attempt = 0; attempt < 100; ++attempt) {
      const AnsiString name = PendingBackupName(folder, ExtractFileName(path), getpid(), attempt);
      if (link(old.c_str(), name.c_str()) == 0) {
        pending_ = name;
        return;
      }
      if (errno == EEXIST) continue;
      // A file system without hard links gets a copy.
      if (CopyFile(old.c_str(), name.c_str(), TRUE)) pending_ = name;
      return;
    }
  }
  ~PendingBackup() {
    if (!pending_.empty()) DeleteFile(pending_);
  }
  PendingBackup(const PendingBackup&) = delete;
  PendingBackup& operator=(const PendingBackup&) = delete;

  // Puts the old file's bytes under the backup name, replacing an older backup. A backup that
  // cannot be made does not undo the save.
  void Commit() {
    if (pending_.empty()) return;
    // A rename between two names of one file leaves both; the destructor removes the pending
    // name then, as after a failed rename.
    if (std::rename(pending_.c_str(), backupName_.c_str()) == 0 && !FileExists(pending_))
      pending_ = AnsiString();
  }

private:
  AnsiString backupName_;
  AnsiString pending_;
};

// The lower-case extension of a name with its dot; "" when it has none.
AnsiString LowerExtension(const AnsiString& name) {
  return LowerCase(ExtractFileExt(name));
}

bool ListHoldsPattern(const AnsiString& lowerList, const AnsiString& pattern) {
  size_t start = 0;
  while (start <= lowerList.size()) {
    size_t end = lowerList.find(';', start);
    if (end == AnsiString::npos) end = lowerList.size();
    if (lowerList.compare(start, end - start, pattern) == 0) return true;
    start = end + 1;
  }
  return false;
}

bool CanWrite(const GFXFile* f) { return f->depths != 0; }

// The message and the code of a load that raised an exception.
int LoadFailureCode(const std::exception& e, bool pixelsDecoded) {
  if (dynamic_cast<const EInvalidImage*>(&e) != nullptr)
    return pixelsDecoded ? LoadDamaged : LoadNotSupported;
  if (dynamic_cast<const EOutOfMemory*>(&e) != nullptr || dynamic_cast<const std::bad_alloc*>(&e) != nullptr)
    return LoadNoMemory;
  // Nothing was decoded: there is no part to keep, only a file that could not be read.
  return pixelsDecoded ? LoadReadFailed : LoadCannotOpen;
}

const char* LoadMessageKey(int code) {
  switch (code) {
    case LoadDamaged:
    case LoadReadFailed: return "ErrLoadImg";
    case LoadNotSupported: return "FormNotSup";
    case LoadCannotOpen: return "ErrOpenImg";
    case LoadBrushTooBig: return "BrTooBig";
    case LoadNoMemory: return "NoMem";
    default: return nullptr;
  }
}

// A load's message names the file it is about, on a line of its own above the message.
int LoadMessageBox(const AnsiString& fileName, int code, UINT flags) {
  return Application()->MessageBox(fileName + "\n\n" + LangMessage(LoadMessageKey(code)), LangMessage("Err"),
                                   flags & 0xFFFF);
}

// What the file carries beside its pixels, preset before the load: the file's own values
// replace these where the format has them. A format without an origin leaves 0, 0.
GFXtra32 ExtraBeforeLoad(const UDBuffer* target) {
  GFXtra32 extra;
  extra.x = 0;
  extra.y = 0;
  extra.background = DrawingColour();
  extra.transparent = target == &Brush ? kNoColour : BackgroundColour();
  return extra;
}

GFXtra32 ExtraForSave(const UDBuffer* picture) {
  GFXtra32 extra;
  if (picture == &BrushShape) {
    // The brush keeps where it was taken from and the colour that stands for its outside.
    extra.x = BrushState.PositionX;
    extra.y = BrushState.PositionY;
    extra.background = 0;
    extra.transparent = BrushTransparentColor & 0x00FFFFFF;
    return extra;
  }
  extra.x = 0;
  extra.y = 0;
  extra.background = DrawingColour();
  extra.transparent = BackgroundColour();
  return extra;
}

// The entry of the recent-files list: the path, and the image's number when it is not the
// first. The path keeps its case: names differ by case on this system.
AnsiString RecentEntry(const AnsiString& path, int imageNumber) {
  return imageNumber != 0 ? path + ": " + IntToStr(imageNumber) : path;
}

void AddToRecentFiles(const AnsiString& entry) {
  TheFilesHost().AddRecentFile(entry);
}

// A picture loaded aside, with what the loader learned about it.
struct LoadedImage {
  UDBuffer picture;
  UDBuffer shape;  // a brush's stamped shape
  GFXtra32 extra;
  GFXFileDesc desc;
  uchar palette[768] = {};
  bool fromPreview = false;
};

// Reads the file (or takes the open dialog's preview) into `loaded`; answers the code.
int ReadImage(UDBuffer* target, const AnsiString& fileName, int imageNumber, bool quiet,
              LoadedImage& loaded) {
  loaded.extra = ExtraBeforeLoad(target);
  if (PreviewLoaded && target != &PreviewPicture) {
    loaded.fromPreview = true;
    loaded.picture.Assign(&loaded.extra);
    // A damaged preview the user did not keep: nothing was loaded, and nothing more to say.
    return loaded.picture.pixels != nullptr ? LoadOk : LoadDamaged;
  }
  if (Settings.AutoLoadPalette) loaded.desc.palette_data = loaded.palette;
  ProgressHooksOff hooks(quiet);
  try {
    if (!GFXFile::Load(loaded.picture, fileName, &loaded.extra, imageNumber, &loaded.desc))
      return LoadStopped;
  } catch (const std::exception& e) {
    return LoadFailureCode(e, loaded.picture.pixels != nullptr);
  }
  return LoadOk;
}

// The selection mask of a freshly read picture, cleared; false when memory is short.
bool GiveMask(UDBuffer& p) {
  p.Mask.Alloc(p.Width(), p.Height());
  if (p.Mask.words == nullptr && p.Width() > 0 && p.Height() > 0) return false;
  p.SetMaskAll(false);
  return true;
}

// The brush's stamped shape needs room of the brush's size before the brush is replaced
// (the old brush and shape stay when there is none); the file's transparent colour becomes
// the outside of the brush.
bool PrepareBrush(LoadedImage& loaded) {
  loaded.shape.Alloc(loaded.picture.Width(), loaded.picture.Height());
  if (loaded.shape.pixels == nullptr && !loaded.picture.Empty()) return false;
  // Readers that mark keyed pixels transparent leave them with the key's colour below.
  const uint key = loaded.extra.transparent;
  if (key != kNoColour) {
    loaded.picture.ChColor(key, kNoColour);
    loaded.picture.ChColor(key | 0xFF000000u, kNoColour);
  }
  return true;
}

// Replaces the target's image with the loaded one: pixels, mask, format parameters, palette;
// the old selection goes with the old pixels.
void TakeOver(UDBuffer& target, LoadedImage& loaded, int imageNumber) {
  UDBuffer& p = loaded.picture;
  target.Free();
  static_cast<Buffer&>(target) = static_cast<Buffer&>(p);
  target.Mask = p.Mask;
  if (loaded.fromPreview) {
    target.SaveParams = p.SaveParams;
    target.ImageNumber = p.ImageNumber;
    if (p.Palette != nullptr) target.Palette = std::move(p.Palette);
  } else {
    target.SaveParams = loaded.desc;
    target.ImageNumber = imageNumber;
    if (loaded.desc.palette_data != nullptr) {
      if (target.Palette == nullptr) target.Palette = std::make_unique<uchar[]>(768);
      std::memcpy(target.Palette.get(), loaded.palette, 768);
    }
  }
  target.DropOutlines();
  target.SelLeft = target.SelTop = UDBuffer::kNoSelectionLow;
  target.SelRight = target.SelBottom = UDBuffer::kNoSelectionHigh;
}

// A loaded brush paints in its own colours: its outside colour and its position come from
// the file, its stamped shape is made from it, and the dotted pen takes it up.
void TakeBrushState(const GFXtra32& extra) {
  BrushTransparentColor = extra.transparent & 0x00FFFFFF;
  BrushState.PositionX = extra.x;
  BrushState.PositionY = extra.y;
  BrushMode = BrushModePaint;
  UpdateBrushShape(false);
  // No program around the picture: no tool to choose.
  if (TheDocumentHost().MainWindow() == nullptr) return;
  SelectTool(&PenDiscTool, false, -1);
  HideToolFeedback();
}

FitZoom WindowZoom() { return Settings.FixZoom ? FitZoom::FixedSetting : FitZoom::Fitting; }

// A document window made for a load that failed goes again; when it is the only one it
// becomes the blank document there always is, untitled, so that nothing saves a blank over
// the file that failed.
void UndoNewWindow(TImageForm* window) {
  if (ImgFormCount > 1) {
    window->Close();
    return;
  }
  UDBuffer& p = window->Picture;
  p.Alloc(BlankDocumentWidth, BlankDocumentHeight);
  p.Box(p.rect, BackgroundColour());
  p.FileName = AnsiString();
  p.UntitledNumber = std::max(static_cast<int>(UntitledCounter) - 1, 1);
  p.BlankStart = 1;
  window->ShowBuf->SetBuffer(&p);
  UpdateDocumentCaption(window);
  window->Show();
  FitWindowToImage(window, WindowZoom());
}

// An indexed picture's palette goes into the palette grid when the setting asks for it (a grey
// picture's block is the grey ramp).
void TakeImagePalette(UDBuffer& picture) {
  const int bits = picture.SaveParams.bits;
  if (!Settings.AutoLoadPalette || !ToolForm || bits <= 2 || bits > 8 || picture.Palette == nullptr) return;
  uchar* block = picture.Palette.get();
  if (picture.SaveParams.grey)
    for (int i = 0; i < 256; ++i) block[3 * i] = block[3 * i + 1] = block[3 * i + 2] = static_cast<uchar>(i);
  ToolForm->SetPalette(false);
  for (int i = 0; i < (1 << bits); ++i)
    ToolForm->DrawPaletteCell(i, static_cast<std::uint32_t>(block[3 * i] << 16 | block[3 * i + 1] << 8 | block[3 * i + 2]));
  ToolForm->DrawPalette();
}

// The active window shows its picture loaded anew: the view and the tools' drawing view on
// the new pixels, the file's colours in the swatches, the window fitted (not for a quiet
// reload, which keeps the user's zoom).
void ShowInActiveWindow(UDBuffer& picture, const GFXtra32& extra, bool quiet) {
  if (ImageForm == nullptr) return;
  ImageForm->ShowBuf->SetBuffer(&picture);
  DrawView.AllocFrom(picture, picture.rect, true);
  ImageForm->ShowBuf->Invalidate();
  ImageForm->Show();
  SetSwatchColour(TheDocumentHost().DrawingSwatch(), extra.background & 0x00FFFFFF);
  SetSwatchColour(TheDocumentHost().BackgroundSwatch(), extra.transparent & 0x00FFFFFF);
  if (ToolForm) ToolForm->DrawPalette();
  if (!quiet) FitWindowToImage(ImageForm, WindowZoom());
  TakeImagePalette(picture);
  if (ToolForm) ToolForm->RefreshHistogram();
}

}  // namespace

int LoadImageFile(UDBuffer* target, AnsiString fileName, int imageNumber, bool quiet) {
  HourglassPointer pointer;
  TImageForm* newWindow = nullptr;
  if (target == nullptr) {
    try {
      newWindow = CreateDocumentWindow(1, 1, fileName);
    } catch (const EAbort&) {
      return LoadCannotOpen;  // refused with its own message
    }
    target = &newWindow->Picture;
  }

  LoadedImage loaded;
  int code = LoadOk;
  {
    // The user may stop a load: the active window's Cancel button shows while it runs.
    std::optional<CancelButtonShown> cancel;
    if (!quiet) {
      SetProgressText(LangKey("ImgLoaded"));
      cancel.emplace(ImageForm);
    }
    code = ReadImage(target, fileName, imageNumber, quiet, loaded);
  }
  const bool fromPreview = loaded.fromPreview;
  bool keep = code == LoadOk;
  if (code == LoadDamaged || code == LoadReadFailed) {
    // The preview's own question has been answered already; quiet callers take the part read
    // and act on the code.
    keep = !fromPreview && (quiet || LoadMessageBox(fileName, code, kKeepPartBox) == IDYES);
  } else if (code != LoadOk && code != LoadStopped && !quiet) {
    // The window made for the file goes before the message, so that no empty picture stands
    // behind it as if something had been opened.
    if (newWindow != nullptr) {
      // Closing frees the window only later: out of sight now.
      if (ImgFormCount > 1) newWindow->Hide();
      UndoNewWindow(newWindow);
      newWindow = nullptr;
    }
    LoadMessageBox(fileName, code, kErrorBox);
  }
  if (keep && !GiveMask(loaded.picture)) {
    code = LoadNoMemory;
    keep = false;
    if (!quiet) LangMessageBox(LoadMessageKey(code), "Err", kErrorBox);
  }
  if (keep && target == &Brush && !PrepareBrush(loaded)) {
    LangMessageBox(LoadMessageKey(LoadBrushTooBig), "Err", kErrorBox);
    return LoadBrushTooBig;
  }
  if (!keep) {
    if (newWindow != nullptr) UndoNewWindow(newWindow);
    return code;
  }

  TakeOver(*target, loaded, imageNumber);
  if (target == &Brush) {
    BrushShape.Free();
    static_cast<Buffer&>(BrushShape) = static_cast<Buffer&>(loaded.shape);
    BrushShape.Mask = loaded.shape.Mask;
    TakeBrushState(loaded.extra);
  }
  if (target == &PreviewPicture) PreviewDesc = loaded.extra;
  if (target == CurrentPicture) ShowInActiveWindow(*target, loaded.extra, quiet);
  target->FileName = ExpandFileName(fileName);
  if (target == CurrentPicture) UpdateDocumentCaption(ImageForm);
  if (target != &Brush && !quiet) {
    AddToRecentFiles(RecentEntry(target->FileName, target->ImageNumber));
    // The open dialog offers the folders images came from, however they were opened.
    if (OpenPlus != nullptr) OpenPlus->AddRecentFolder(target->FileName);
  }
  target->ChangeCount = 0;
  target->SaveAsRequired = 0;
  // The steps were of the picture that was there before; a quiet reload keeps them, so that
  // Undo can give back what was saved.
  if (!quiet) {
    target->FreeUndo();
    target->FreeRedo();
  }
  return code;
}

int SaveImageFile(AnsiString fileName, UDBuffer* picture, GFXSaveParams* params, bool quiet,
                  QuietProgress progress) {
  HourglassPointer pointer;
  GFXtra32 extra = ExtraForSave(picture);
  // The brush is written as the user made it, its outside in its transparent colour; the
  // stamped shape is made again afterwards.
  struct ShapeRebuilt {
    bool brush;
    ~ShapeRebuilt() {
      if (brush) UpdateBrushShape(false);
    }
  } rebuilt{picture == &BrushShape};
  if (picture == &BrushShape) {
    BrushShape.Copy(Brush, Pair<int>(BrushShape.rect.left + Brush.rect.left,
                                     BrushShape.rect.top + Brush.rect.top),
                    Buffer::kPlain);
    BrushShape.ChColor(kNoColour, extra.transparent);
  }
  const AnsiString path = PathTheLibraryWrites(fileName, params);
  std::optional<PendingBackup> backup;
  if (!quiet) {
    backup.emplace(path);
    SetProgressText(LangKey("ImgSaved"));
  }

  int code = SaveOk;
  AnsiString reason;
  {
    ProgressHooksOff hooks(quiet && progress == QuietProgress::Off);
    try {
      if (!GFXFile::Save(*picture, path, &extra, params)) code = SaveStopped;
    } catch (const EInvalidImage&) {
      code = SaveFormatRefused;
    } catch (const EStreamError& e) {
      code = SaveWriteFailed;
      reason = FolderRefusal(path);
      if (reason.empty()) reason = e.Message;
    } catch (const EOutOfMemory&) {
      code = SaveNoMemory;
    } catch (const std::bad_alloc&) {
      code = SaveNoMemory;
    }
  }
  if (code == SaveOk) {
    if (backup) backup->Commit();
    TidyBackupLeftovers(ExtractFilePath(path));
    if (!quiet) {
      if (picture != &BrushShape) {
        AddToRecentFiles(path);
        if (SavePlus != nullptr) SavePlus->AddRecentFolder(path);
      }
      picture->FileName = path;
      picture->SaveAsRequired = 0;
      picture->ChangeCount = 0;
      picture->BlankStart = 0;
    }
  } else if (!quiet && code == SaveStopped) {
    // Held like the progress's own text, which it replaces: the file was not saved.
    ShowTimedStatus(LangMessage("OpCanceled"), kStoppedStatusSeconds);
  } else if (!quiet && code == SaveFormatRefused) {
    LangMessageBox("ErrSaveImgForm", "Err", kErrorBox);
  } else if (!quiet && code == SaveNoMemory) {
    LangMessageBox("SaveNoMem", "Err", kErrorBox);
  } else if (!quiet && code == SaveWriteFailed) {
    // What the system said (no room, no such folder) tells the user what to change.
    const AnsiString text = reason.empty() ? LangMessage("ErrSaveImg") : LangMessage("ErrSaveImg") + "\n\n" + reason;
    Application()->MessageBox(text, LangMessage("Err"), kErrorBox);
  }
  return code;
}

int ImageFilterString(AnsiString& filter, bool writableOnly) {
  filter = AnsiString();
  AnsiString all;
  int counter = 1;
  for (GFXFile* f = GFXFile::Formats(); f != nullptr; f = f->next) {
    if (writableOnly && !CanWrite(f)) continue;
    const AnsiString patterns = LowerCase(f->extensions);
    AnsiString shown = patterns;
    for (char& c : shown)
      if (c == ';') c = ',';
    filter += f->name + " (" + shown + ")|" + patterns + "|";
    all += patterns + ";";
    ++counter;
  }
  if (!all.empty()) all.pop_back();
  if (!writableOnly)
    filter += LangMessage("AllImg") + "|" + all + "|" + LangMessage("All") + "|*.*";
  return counter;
}

GFXFile* DefaultFormatIndex(AnsiString fileName, int* index) {
  const AnsiString ext = LowerExtension(fileName);
  int position = 1;
  if (!ext.empty()) {
    const AnsiString pattern = "*" + ext;
    for (GFXFile* f = GFXFile::Formats(); f != nullptr; f = f->next) {
      if (!CanWrite(f)) continue;
      if (ListHoldsPattern(LowerCase(f->extensions), pattern)) {
        if (index != nullptr) *index = position;
        return f;
      }
      ++position;
    }
  }
  if (index != nullptr) *index = 0;
  return nullptr;
}

AnsiString BackupFileName(const AnsiString& path) {
  const AnsiString extension = ExtractFileExt(path);
  return ChangeFileExt(path, AnsiString("._") + (extension.empty() ? AnsiString() : extension.substr(1, 2)));
}

void BackupExistingFile(const char* path) {
  PendingBackup backup(path);
  backup.Commit();
}
