#include "platform/dialogs/ShellExecute.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/rtl/SysUtils.h"

extern char** environ;

namespace {

std::mutex starterMutex;
ShellStarter starter;

// "http://...", "mailto:...": a scheme of two or more letters, digits, '+', '-' or '.'
// before the colon (one letter would be a drive).
bool IsAddress(const std::string& name) {
  const size_t colon = name.find(':');
  if (colon == std::string::npos || colon < 2 || !std::isalpha(static_cast<unsigned char>(name[0]))) return false;
  for (size_t i = 1; i < colon; ++i) {
    const char c = name[i];
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return false;
  }
  return true;
}

// The program as the PATH finds it; empty when it is not there.
std::string FindOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (!path) return "";
  std::string list = path;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(':', start);
    if (end == std::string::npos) end = list.size();
    // An empty entry is the current folder.
    const std::string candidate = (end > start ? list.substr(start, end - start) : std::string(".")) + "/" + program;
    struct stat info{};
    if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(candidate.c_str(), X_OK) == 0)
      return candidate;
    start = end + 1;
  }
  return "";
}

HINSTANCE Result(int code) { return reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(code)); }

}  // namespace

void SetShellStarter(ShellStarter replacement) {
  std::lock_guard lock(starterMutex);
  starter = std::move(replacement);
}

int StartDetached(const std::vector<std::string>& arguments, const std::string& folder) {
  if (arguments.empty()) return EINVAL;
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  // A session of its own: the handler outlives us and a Ctrl+C in our terminal.
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  pid_t child = 0;
  const int error = ::posix_spawn(&child, argv[0], &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (error != 0) return error;
  std::thread([child] {
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return 0;
}

HINSTANCE ShellExecute(HWND, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR directory, int) {
  if (!file || !*file) return Result(SE_ERR_FNF);
  const std::string action = verb ? verb : "";
  if (!action.empty() && !SameText(action, "open") && !SameText(action, "explore")) return Result(SE_ERR_NOASSOC);
  std::string name = file;
  const std::string folder = directory ? directory : "";
  const std::string inFolder = name[0] != '/' && !folder.empty() ? IncludeTrailingPathDelimiter(folder) + name : name;
  struct stat existing{};
  // "notes:draft.txt" is a file when there is one by that name, else an address.
  if (!IsAddress(name) || ::stat(inFolder.c_str(), &existing) == 0) {
    name = inFolder;
    struct stat info{};
    if (::stat(name.c_str(), &info) != 0) return Result(errno == ENOENT || errno == ENOTDIR ? SE_ERR_FNF : SE_ERR_ACCESSDENIED);
  }
  const std::string program = FindOnPath("xdg-open");
  if (program.empty()) return Result(SE_ERR_NOASSOC);
  // "-" would be read as an option: a relative name starting with it goes with "./".
  if (name[0] == '-') name.insert(0, "./");
  const std::vector<std::string> arguments{program, name};
  ShellStarter start;
  {
    std::lock_guard lock(starterMutex);
    start = starter;
  }
  const int error = start ? start(arguments, folder) : StartDetached(arguments, folder);
  if (error == ENOENT) return Result(SE_ERR_NOASSOC);
  if (error == EACCES) return Result(SE_ERR_ACCESSDENIED);
  if (error != 0) return Result(SE_ERR_OOM);
  return Result(42);
}
