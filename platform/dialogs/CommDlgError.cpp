#include "platform/dialogs/CommDlgError.h"

namespace {
thread_local DWORD lastError = 0;
}

DWORD CommDlgExtendedError() { return lastError; }

void SetCommDlgExtendedError(DWORD error) { lastError = error; }
