#include "quillo/document/UndoSwapFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/rtl/Clock.h"
#include "quillo/document/MaskRows.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/base/Settings.h"

static_assert(std::endian::native == std::endian::little,
              "swap files are written straight from little-endian pixel words");

namespace {

constexpr std::size_t kStreamBuffer = 1 << 20;
constexpr int kNameAttempts = 1000;
constexpr std::size_t kLongestName = 20;

constexpr const char* kSwapFolderPrefix = "quillo-undo-";

// A swap folder of this run, locked (flock on the folder itself) while it lives, so that no
// other run takes it for one a killed program left.
struct SwapFolder {
  std::string path;
  int lock = -1;
};

struct SwapFolders {
  std::string base;  // the undo folder the present one was made in
  SwapFolder present;  // path empty until made
  std::vector<SwapFolder> earlier;
};

SwapFolders& Folders() {
  static SwapFolders folders;
  return folders;
}

std::string UndoFolder() {
  std::string dir = Settings.UndoDir.c_str();
  if (dir.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    dir = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
  }
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::minstd_rand& Letters() {
  static std::minstd_rand random(static_cast<unsigned>(GetTickCount()) ^
                                 static_cast<unsigned>(getpid()));
  return random;
}

// "QL" and the tick count; while the name is taken, a random capital is appended, and past
// 20 characters one after "QL" is replaced.
void VaryName(std::string& name) {
  const char letter = static_cast<char>('A' + Letters()() % 26);
  if (name.size() < kLongestName) {
    name += letter;
  } else {
    name[2 + Letters()() % (kLongestName - 2)] = letter;
  }
}

// Creates a new file exclusively in the folder; the descriptor, or -1.
int CreateExclusive(const std::string& folder, std::string& path) {
  std::string name = std::string("QL") + std::to_string(GetTickCount());
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::string candidate = folder + "/" + name;
    const int fd = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                        0600);
    if (fd >= 0) {
      path = candidate;
      return fd;
    }
    if (errno != EEXIST) return -1;
    VaryName(name);
  }
  return -1;
}

void PutI32(std::uint8_t* at, std::int32_t v) { std::memcpy(at, &v, 4); }
std::int32_t GetI32(const std::uint8_t* at) {
  std::int32_t v;
  std::memcpy(&v, at, 4);
  return v;
}

void RemoveFolderWithFiles(const std::string& folder) {
  if (DIR* dir = opendir(folder.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") unlink((folder + "/" + name).c_str());
    }
    closedir(dir);
  }
  rmdir(folder.c_str());
}

void RemoveSwapFolder(SwapFolder& folder) {
  RemoveFolderWithFiles(folder.path);
  if (folder.lock >= 0) close(folder.lock);
  folder = SwapFolder{};
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Locks the folder at path for this run; -1 when another run holds it or it is no longer the
// folder at that path (a cleaner removed it between its making and the lock).
int LockFolder(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat held{}, named{};
  if (flock(fd, LOCK_EX | LOCK_NB) != 0 || fstat(fd, &held) != 0 || lstat(path.c_str(), &named) != 0 ||
      !SameFile(held, named)) {
    close(fd);
    return -1;
  }
  return fd;
}

// Makes a new swap folder in base and locks it; an empty path when none can be made.
SwapFolder MakeSwapFolder(const std::string& base) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string pattern = base + "/" + kSwapFolderPrefix + "XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) return {};
    const int lock = LockFolder(pattern);
    if (lock >= 0) return SwapFolder{pattern, lock};
    // Taken for a leftover by another run's start: it removes it.
  }
  return {};
}

bool IsSwapFolderName(const std::string& name) {
  return name.size() == std::strlen(kSwapFolderPrefix) + 6 && name.starts_with(kSwapFolderPrefix);
}

}  // namespace

std::int64_t SwapFileBytes(int width, int height) {
  return SwapHeaderBytes + static_cast<std::int64_t>(width) * height * 4 +
         static_cast<std::int64_t>(MaskRowWords(width)) * 4 * height;
}

AnsiString UndoSwapFolderPath() {
  SwapFolders& f = Folders();
  const std::string base = UndoFolder();
  if (!f.present.path.empty() && f.base == base) {
    struct stat st;
    if (lstat(f.present.path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return f.present.path.c_str();
  }
  if (!f.present.path.empty() && f.base != base) {
    f.earlier.push_back(f.present);
  } else if (f.present.lock >= 0) {
    close(f.present.lock);  // its folder has gone
  }
  f.present = MakeSwapFolder(base);
  f.base = base;
  return f.present.path.c_str();
}

void RemoveEmptyOldSwapFolders() {
  std::erase_if(Folders().earlier, [](SwapFolder& folder) {
    if (rmdir(folder.path.c_str()) != 0) return false;
    if (folder.lock >= 0) close(folder.lock);
    return true;
  });
}

void RemoveAllSwapFolders() {
  SwapFolders& f = Folders();
  for (SwapFolder& folder : f.earlier) RemoveSwapFolder(folder);
  f.earlier.clear();
  if (!f.present.path.empty()) RemoveSwapFolder(f.present);
}

void RemoveAbandonedSwapFolders() {
  const std::string base = UndoFolder();
  std::vector<std::string> found;
  if (DIR* dir = opendir(base.c_str())) {
    while (const dirent* entry = readdir(dir))
      if (IsSwapFolderName(entry->d_name)) found.push_back(base + "/" + entry->d_name);
    closedir(dir);
  }
  for (const std::string& path : found) {
    // Held while it is emptied: a run that made it just now finds it gone and makes another.
    const int lock = LockFolder(path);
    if (lock < 0) continue;
    RemoveFolderWithFiles(path);
    close(lock);
  }
}

// --- writing ---

SwapFileWriter::~SwapFileWriter() {
  if (file_ != nullptr) {
    std::fclose(file_);
    unlink(path_.c_str());
  }
}

bool SwapFileWriter::Create() {
  const AnsiString folder = UndoSwapFolderPath();
  if (folder.empty()) return false;
  std::string path;
  const int fd = CreateExclusive(folder.c_str(), path);
  if (fd < 0) return false;
  file_ = fdopen(fd, "wb");
  if (file_ == nullptr) {
    close(fd);
    unlink(path.c_str());
    return false;
  }
  path_ = path.c_str();
  buffer_ = std::make_unique<char[]>(kStreamBuffer);
  setvbuf(file_, buffer_.get(), _IOFBF, kStreamBuffer);
  return true;
}

bool SwapFileWriter::WriteHeader(const UDBuffer& attributes, int width, int height) {
  std::uint8_t header[SwapHeaderBytes] = {};
  header[8] = attributes.SaveAsRequired;
  PutI32(header + 12, attributes.ChangeCount);
  const std::size_t nameLength = std::min<std::size_t>(attributes.FileName.size(), 255);
  std::memcpy(header + 16, attributes.FileName.c_str(), nameLength);
  PutI32(header + 276, attributes.ImageNumber);
  PutI32(header + 280, attributes.SelLeft);
  PutI32(header + 284, attributes.SelRight);
  PutI32(header + 288, attributes.SelTop);
  PutI32(header + 292, attributes.SelBottom);
  return WriteHeader(header, width, height);
}

bool SwapFileWriter::WriteHeader(const std::uint8_t* header, int width, int height) {
  std::uint8_t copy[SwapHeaderBytes];
  std::memcpy(copy, header, SwapHeaderBytes);
  PutI32(copy, width);
  PutI32(copy + 4, height);
  if (file_ == nullptr || std::fwrite(copy, 1, SwapHeaderBytes, file_) != SwapHeaderBytes)
    failed_ = true;
  return !failed_;
}

bool SwapFileWriter::WriteWords(const uint* words, std::size_t count) {
  if (file_ == nullptr || std::fwrite(words, sizeof(uint), count, file_) != count)
    failed_ = true;
  return !failed_;
}

bool SwapFileWriter::Finish() {
  if (file_ == nullptr) return false;
  const bool flushed = std::fflush(file_) == 0 && !std::ferror(file_);
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (failed_ || !flushed || !closed) {
    unlink(path_.c_str());
    return false;
  }
  return true;
}

// --- reading ---

SwapFileReader::~SwapFileReader() {
  if (file_ != nullptr) std::fclose(file_);
}

bool SwapFileReader::Open(const AnsiString& path, int width, int height) {
  const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
      static_cast<std::int64_t>(st.st_size) != SwapFileBytes(width, height)) {
    close(fd);
    return false;
  }
  file_ = fdopen(fd, "rb");
  if (file_ == nullptr) {
    close(fd);
    return false;
  }
  buffer_ = std::make_unique<char[]>(kStreamBuffer);
  setvbuf(file_, buffer_.get(), _IOFBF, kStreamBuffer);
  if (std::fread(header_, 1, SwapHeaderBytes, file_) != SwapHeaderBytes) return false;
  width_ = width;
  height_ = height;
  return GetI32(header_) == width && GetI32(header_ + 4) == height;
}

bool SwapFileReader::SeekPixel(int x, int y) {
  if (file_ == nullptr) return false;
  const std::int64_t at =
      SwapHeaderBytes + (static_cast<std::int64_t>(y) * width_ + x) * 4;
  return fseeko(file_, static_cast<off_t>(at), SEEK_SET) == 0;
}

bool SwapFileReader::SeekMaskRow(int y) {
  if (file_ == nullptr) return false;
  const std::int64_t at = SwapHeaderBytes + static_cast<std::int64_t>(width_) * height_ * 4 +
                          static_cast<std::int64_t>(y) * MaskRowWords(width_) * 4;
  return fseeko(file_, static_cast<off_t>(at), SEEK_SET) == 0;
}

bool SwapFileReader::ReadWords(uint* words, std::size_t count) {
  return file_ != nullptr && std::fread(words, sizeof(uint), count, file_) == count;
}

// --- moving ---

namespace {

bool CopyInto(const std::string& from, int toFd) {
  const int in = open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (in < 0) return false;
  std::vector<char> chunk(kStreamBuffer);
  bool ok = true;
  for (;;) {
    const ssize_t got = read(in, chunk.data(), chunk.size());
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      ok = got == 0;
      break;
    }
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = write(toFd, chunk.data() + done, static_cast<std::size_t>(got - done));
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) {
        ok = false;
        break;
      }
      done += put;
    }
    if (!ok) break;
  }
  close(in);
  return ok && fsync(toFd) == 0;
}

}  // namespace

AnsiString MoveSwapFile(const AnsiString& path) {
  const AnsiString folder = UndoSwapFolderPath();
  if (folder.empty()) return AnsiString();
  const std::string from = path.c_str();
  if (FolderOf(from) == folder.c_str()) return path;
  // The target name is claimed exclusively first; the rename then replaces only our own
  // empty file.
  std::string target;
  const int fd = CreateExclusive(folder.c_str(), target);
  if (fd < 0) return AnsiString();
  if (rename(from.c_str(), target.c_str()) == 0) {
    close(fd);
    return target.c_str();
  }
  const bool copied = errno == EXDEV && CopyInto(from, fd);
  const bool closed = close(fd) == 0;
  if (copied && closed) {
    unlink(from.c_str());
    return target.c_str();
  }
  unlink(target.c_str());
  return AnsiString();
}
