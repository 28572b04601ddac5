#pragma once
// The one road of image files into and out of the program: LoadImageFile reads a file into a
// picture (a new document window, a picture in place, the brush or the open dialog's
// preview), SaveImageFile writes a picture, each turning the library's exceptions into a
// result code and, unless quiet, a message. Beside them the file-type list of the dialogs, the
// format a name's extension selects and the backup copy of an overwritten file.

#include "platform/rtl/AnsiString.h"
#include "vorlen/formats/GFXFile.h"

class UDBuffer;

// What LoadImageFile answers.
enum LoadResult : int {
  LoadOk = 0,
  LoadDamaged = 1,       // the file broke off after pixels were decoded
  LoadNotSupported = 2,  // no format recognised the file
  LoadReadFailed = 3,    // reading failed after pixels were decoded
  LoadCannotOpen = 4,    // the file could not be opened or read at all
  LoadBrushTooBig = 5,   // a loaded brush could not get its stamped shape
  LoadStopped = 6,       // the user stopped the load
  LoadNoMemory = 7,      // no memory for the picture
};

// What SaveImageFile answers.
enum SaveResult : int {
  SaveOk = 0,
  SaveFormatRefused = 1,  // the format cannot write this image with these parameters
  SaveStopped = 2,        // the user stopped the save
  SaveWriteFailed = 3,    // the file could not be written
  SaveNoMemory = 4,       // no memory to make the file's data; the file is as it was
};

// Loads image imageNumber of the file. target null opens a new document window; Brush loads
// the brush; PreviewPicture the open dialog's preview; any other picture is loaded in place.
// A failed load leaves a picture that was there untouched. Quiet: no messages, no progress,
// no recent-files entry, the undo history kept; a damaged file's decoded part is taken (the
// code tells) and any other failure changes nothing.
int LoadImageFile(UDBuffer* target, AnsiString fileName, int imageNumber, bool quiet);

// Whose progress hooks a quiet save runs under: none, so that it cannot be stopped, or those
// the caller has put in force, which show its own progress and may stop it.
enum class QuietProgress { Off, CallersHooks };

// Writes the picture (BrushShape: the brush) with the parameters. The file at fileName is
// replaced only once the new one is written whole; a failed save leaves it, its backup and
// the picture as they were. Unless quiet: the backup copy, messages, the recent-files entry
// and the picture named after the file and marked unchanged.
int SaveImageFile(AnsiString fileName, UDBuffer* picture, GFXSaveParams* params, bool quiet,
                  QuietProgress progress = QuietProgress::Off);

// The dialogs' file-type list, "Name (exts)|patterns|..." in registry order (only the formats
// that can write when writableOnly, else followed by all images and all files). Answers the
// 1-based index of the entry after the last format.
int ImageFilterString(AnsiString& filter, bool writableOnly);

// The writable format whose extension list holds the name's extension, and in *index its
// 1-based place among the writable formats; null and 0 when none.
GFXFile* DefaultFormatIndex(AnsiString fileName, int* index);

// The name of the backup copy of path: its extension becomes "._" and the first two
// characters of the old one (photo.jpg: photo._jp).
AnsiString BackupFileName(const AnsiString& path);

// Keeps a copy of an existing file under its backup name when backups are on. SaveImageFile
// does this itself, only once the new file is written.
void BackupExistingFile(const char* path);

// The filter text last built for a dialog.
extern AnsiString ImageFilter;
