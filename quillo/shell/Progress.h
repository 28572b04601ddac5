#pragma once
// Progress of long operations on the user-interface thread: the active document window's
// progress bar with its Cancel button, the elapsed time on its status bar at the end, and the
// graphics library's progress hooks. Also the log writer and the help file's name.

#include <cstdint>

#include "platform/rtl/AnsiString.h"

// 1 when the user asked the running operation to stop, and whenever none runs.
extern std::uint8_t CancelRequested;

void ProgressStart(int max);
void ProgressStart100();  // the library's start hook
void ProgressStep(int pos);
void ProgressSetPos(int pos, int max);
// The library's step hook: false asks it to stop.
bool ProgressCallback(int percent);
// The translation key of the text shown with the elapsed time when the operation ends.
void SetProgressText(const AnsiString& key);
void ProgressEnd();  // also the library's end hook

void WriteLog(const char* text);
void ResetHelpFile();
