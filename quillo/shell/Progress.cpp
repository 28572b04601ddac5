#include "quillo/shell/Progress.h"

std::uint8_t CancelRequested = 1;

void ProgressStart(int) { CancelRequested = 0; }
void ProgressStart100() { ProgressStart(100); }
void ProgressStep(int) {}
void ProgressSetPos(int, int) {}
bool ProgressCallback(int) { return CancelRequested == 0; }
void SetProgressText(const AnsiString&) {}
void ProgressEnd() { CancelRequested = 1; }
void WriteLog(const char*) {}
void ResetHelpFile() {}
