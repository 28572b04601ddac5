#pragma once
// Opening a document or a web address with the desktop's handler: "open" (or no verb) runs
// xdg-open with the name as its one argument. The program is started directly from an
// argument list (posix_spawn, never through a shell), in a session of its own, and is not
// waited for; a thread of ours reaps it when it ends.
//
// The result is Windows': a value above 32 on success; SE_ERR_FNF (ERROR_FILE_NOT_FOUND) for
// a file that is not there, SE_ERR_NOASSOC for a verb other than "open"/"explore" or when
// xdg-open cannot be found on the PATH, SE_ERR_OOM when the program cannot be started.
// A name that is not absolute is taken from lpDirectory (else the current folder); a web
// address (scheme:...) goes to xdg-open as it is. Parameters are not passed on: a document's
// handler is the desktop's choice.

#include <functional>
#include <string>
#include <vector>

#include "platform/user/User.h"  // SW_ values

constexpr int SE_ERR_FNF = 2, SE_ERR_PNF = 3, SE_ERR_ACCESSDENIED = 5, SE_ERR_OOM = 8, SE_ERR_SHARE = 26,
              SE_ERR_ASSOCINCOMPLETE = 27, SE_ERR_NOASSOC = 31;

HINSTANCE ShellExecute(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, int showCommand);
inline constexpr auto& ShellExecuteA = ShellExecute;

// What ShellExecute would start, for tests: the program (a full path) and its arguments, and
// the folder it starts in. The starter answers 0 when the program was started, else an errno
// value. Null restores the real one.
using ShellStarter = std::function<int(const std::vector<std::string>& arguments, const std::string& folder)>;
void SetShellStarter(ShellStarter starter);

// The real starter: posix_spawn of arguments[0] with arguments, in folder, detached.
int StartDetached(const std::vector<std::string>& arguments, const std::string& folder);
