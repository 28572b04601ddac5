#pragma once
// Makes a folder immutable for the length of a scope: no name can be made or removed in it,
// even by the superuser the tests run as, while the files in it stay writable. Stands in for
// a folder the user may not write.

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <string>

class ImmutableFolder {
public:
  explicit ImmutableFolder(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (fd_ < 0 || ::ioctl(fd_, FS_IOC_GETFLAGS, &flags_) != 0) return;
    int immutable = flags_ | FS_IMMUTABLE_FL;
    set_ = ::ioctl(fd_, FS_IOC_SETFLAGS, &immutable) == 0;
  }
  ~ImmutableFolder() {
    if (set_) ::ioctl(fd_, FS_IOC_SETFLAGS, &flags_);
    if (fd_ >= 0) ::close(fd_);
  }
  ImmutableFolder(const ImmutableFolder&) = delete;
  ImmutableFolder& operator=(const ImmutableFolder&) = delete;
  // False where the file system keeps no such flag (the test then has nothing to show).
  bool Set() const { return set_; }

private:
  int fd_;
  int flags_ = 0;
  bool set_ = false;
};
