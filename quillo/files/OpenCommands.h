#pragma once
// The commands that bring an image file into a document window: File > Open (also the
// brush's open), opening the previous or the next image of the active picture's folder, and
// a click on the recent-files list.

#include "platform/rtl/AnsiString.h"

class TObject;

// The open dialog's filter index last chosen (1-based); -1 until the first Open.
extern int OpenFilterIndex;

// Runs the open dialog and loads the chosen file into a new document window; a null sender
// opens a brush instead.
void OpenImageClick(TObject* sender);
// Loads the image file before (after) the active picture's file, in name order within its
// folder, into the active document. The folder does not wrap: at its ends a status text says
// so.
void OpenPrevBtnClick(TObject* sender);
void OpenNextBtnClick(TObject* sender);
// Opens a recent-files entry in a new document window.
void MRUFileList1MRUItemClick(TObject* sender, const AnsiString& entry);

// A recent-files entry: the path, and ": " with the image number when it is not the first.
struct RecentFileEntry {
  AnsiString fileName;
  int imageNumber = 0;
};
RecentFileEntry SplitRecentEntry(const AnsiString& entry);

