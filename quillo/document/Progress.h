#pragma once
// Progress of long operations on the user-interface thread: the active document window's
// progress bar with its Cancel button, the elapsed time on its status bar at the end, and the
// graphics library's progress hooks. Also the log writer and the help file's name.
//
// While an operation runs, the main window and the tool options window are disabled, and the
// waiting messages that the step hook lets run (only while the Cancel button shows) are the
// painting and the clicks on that Cancel button (and on an operation's own Stop button, with
// Esc and Enter, for ProgressStepStoppable): every other key and click is dropped, and
// every other message waits for the operation's end. No document is painted on, closed or
// switched to while it is being worked on.

#include <cstdint>

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/WinTypes.h"
#include "platform/vcl/Bitmap.h"

class TImageForm;

// 1 when the user asked the running operation to stop, and whenever none runs.
extern std::uint8_t CancelRequested;

// The log's switch (nothing sets it: the log stays off) and the tick its times count from.
extern std::uint8_t LogEnabled;
extern DWORD LogStartTick;

// The help file the program's help requests name: the program folder and the file the
// language names (ResetHelpFile).
extern AnsiString ApplicationHelpFile;

void ProgressStart(int max);
void ProgressStart100();  // the library's start hook
void ProgressStep(int pos);
// Position and maximum at once, unthrottled; starts the operation's clock (and marks it
// running) when no step has yet.
void ProgressSetPos(int pos, int max);
// The library's step hook: false asks it to stop.
bool ProgressCallback(int percent);
// The step of an operation the user can stop in more ways: moves the bar and lets the waiting
// messages run as the library's step hook does, and besides the Cancel button (when it shows)
// the clicks on the operation's own Stop button (stopButton, may be null) and the Esc and
// Enter keys ask it to stop. False when the user asked it to stop.
bool ProgressStepStoppable(int pos, HWND stopButton);
// The translation key of the text shown with the elapsed time when the operation ends.
void SetProgressText(const AnsiString& key);
void ProgressEnd();  // also the library's end hook
// An operation runs: from its start (or first set position) to its end.
bool ProgressRunning();

// An operation of the program's own: started with a maximum, ended however the scope is
// left, exceptions included, so that the main window and the tool options window never stay
// disabled.
class ProgressOperation {
public:
  explicit ProgressOperation(int max) { ProgressStart(max); }
  ~ProgressOperation() { ProgressEnd(); }
  ProgressOperation(const ProgressOperation&) = delete;
  ProgressOperation& operator=(const ProgressOperation&) = delete;
};

// Shows a document window's Cancel button for as long as it lives: an operation run meanwhile
// can be stopped by the user. Made before the operation starts (the bar makes room for the
// button at its start); a null window shows nothing.
class CancelButtonShown {
public:
  explicit CancelButtonShown(TImageForm* window);
  ~CancelButtonShown();
  CancelButtonShown(const CancelButtonShown&) = delete;
  CancelButtonShown& operator=(const CancelButtonShown&) = delete;

private:
  TImageForm* window_;
};

// The Cancel button's picture: a small dark red cross.
TOwnedPtr<TBitmap> MakeCancelGlyph();

void WriteLog(const char* text);
// The file the log is appended to: QL.LOG in the settings folder (the program's folder may
// be read-only).
AnsiString LogFilePath();
void ResetHelpFile();
