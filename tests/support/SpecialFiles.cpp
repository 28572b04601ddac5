#include "SpecialFiles.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <future>

#include <gtest/gtest.h>

const char* Describe(SpecialFile kind) {
  switch (kind) {
    case SpecialFile::DanglingLink: return "dangling link";
    case SpecialFile::LinkLoop: return "link loop";
    case SpecialFile::Device: return "device";
    case SpecialFile::Fifo: return "FIFO";
    case SpecialFile::Folder: return "folder";
    case SpecialFile::LinkToFifo: return "link to a FIFO";
    case SpecialFile::Socket: return "socket";
  }
  return "?";
}

void MakeSpecialFile(SpecialFile kind, const std::string& path) {
  switch (kind) {
    case SpecialFile::DanglingLink:
      ASSERT_EQ(::symlink("nowhere/missing.file", path.c_str()), 0);
      break;
    case SpecialFile::LinkLoop:
      ASSERT_EQ(::symlink((path + ".other").c_str(), path.c_str()), 0);
      ASSERT_EQ(::symlink(path.c_str(), (path + ".other").c_str()), 0);
      break;
    case SpecialFile::Device:
      if (::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
        ASSERT_EQ(::symlink("/dev/null", path.c_str()), 0);
      }
      break;
    case SpecialFile::Fifo:
      ASSERT_EQ(::mkfifo(path.c_str(), 0666), 0);
      break;
    case SpecialFile::Folder:
      ASSERT_EQ(::mkdir(path.c_str(), 0777), 0);
      break;
    case SpecialFile::LinkToFifo:
      ASSERT_EQ(::mkfifo((path + ".fifo").c_str(), 0666), 0);
      ASSERT_EQ(::symlink((path + ".fifo").c_str(), path.c_str()), 0);
      break;
    case SpecialFile::Socket: {
      sockaddr_un address{};
      address.sun_family = AF_UNIX;
      ASSERT_LT(path.size(), sizeof(address.sun_path));
      std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
      const int handle = ::socket(AF_UNIX, SOCK_STREAM, 0);
      ASSERT_GE(handle, 0);
      EXPECT_EQ(::bind(handle, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
      ::close(handle);
      break;
    }
  }
}

std::string Inspect(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return "missing";
  std::string text = "mode " + std::to_string(info.st_mode) + " rdev " + std::to_string(info.st_rdev);
  if (S_ISLNK(info.st_mode)) {
    char target[4096];
    const ssize_t n = ::readlink(path.c_str(), target, sizeof target);
    text += " -> " + std::string(target, n > 0 ? static_cast<size_t>(n) : 0);
  }
  return text;
}

bool MayGiveFilesAway() { return ::geteuid() == 0; }

uid_t NobodyUser() {
  const passwd* user = ::getpwnam("nobody");
  return user != nullptr ? user->pw_uid : 65534;
}

gid_t NobodyGroup() {
  const group* found = ::getgrnam("nogroup");
  if (found == nullptr) found = ::getgrnam("nobody");
  return found != nullptr ? found->gr_gid : 65534;
}

bool FinishesWithoutAWriter(const std::string& fifo, const std::function<void()>& action) {
  std::future<void> done = std::async(std::launch::async, action);
  // Reached only when the action waits on the pipe (or is stuck elsewhere).
  if (done.wait_for(std::chrono::seconds(30)) == std::future_status::ready) {
    done.get();
    return true;
  }
  for (;;) {
    const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (writer >= 0) ::close(writer);
    if (done.wait_for(std::chrono::seconds(1)) == std::future_status::ready) break;
  }
  done.get();
  return false;
}
