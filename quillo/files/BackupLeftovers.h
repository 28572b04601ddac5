#pragma once
// The pending backups of saves. Before a save replaces a file, its old bytes get a second,
// hidden name ".NAME.<pid>-<n>.qlbak" beside it, which becomes the backup ("NAME._ex") once the
// new file is in place. A save killed in between leaves that name behind: the next save in
// the folder tidies those of processes that have gone.

#include <sys/types.h>

#include "platform/rtl/AnsiString.h"

// The hidden name of a pending backup of the file `fileName` (no folder) in `folder` (with its
// final '/', or empty), made by process `pid` at its attempt `attempt`.
AnsiString PendingBackupName(const AnsiString& folder, const AnsiString& fileName, pid_t pid, int attempt);

// Tidies the pending backups in the folder that processes which have gone left behind.
// One that is another name of a file still there is only removed. One that is the only copy
// of its bytes (the save had replaced the file) becomes the file's backup, as the save would
// have made it, unless the backup there holds a later version; then it goes, as the older
// generation every save drops.
void TidyBackupLeftovers(const AnsiString& folder);
