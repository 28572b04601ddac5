#include "platform/rtl/Streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <memory>

#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/RegularFile.h"
#include "platform/rtl/SysUtils.h"

TStream::~TStream() = default;

std::int64_t TStream::Position() { return Seek(0, soFromCurrent); }

void TStream::SetPosition(std::int64_t position) { Seek(position, soFromBeginning); }

std::int64_t TStream::Size() {
  const std::int64_t here = Seek(0, soFromCurrent);
  const std::int64_t end = Seek(0, soFromEnd);
  Seek(here, soFromBeginning);
  return end;
}

void TStream::SetSize(std::int64_t) {}

void TStream::ReadBuffer(void* buffer, int count) {
  if (count > 0 && Read(buffer, count) != count) throw EReadError(RtlText::ReadError);
}

namespace {

// The write error with what the system said of it (a full disk, a file too large), when a
// system call failed just now; a refusal of the stream itself has no such reason.
EWriteError WriteFailure(int error) {
  if (error == 0) return EWriteError(RtlText::WriteError);
  return EWriteError(AnsiString(RtlText::WriteError) + ": " + std::strerror(error));
}

}  // namespace

void TStream::WriteBuffer(const void* buffer, int count) {
  if (count <= 0) return;
  errno = 0;
  if (Write(buffer, count) != count) throw WriteFailure(errno);
}

std::int64_t TStream::CopyFrom(TStream* source, std::int64_t count) {
  if (count == 0) {
    source->SetPosition(0);
    count = source->Size();
  }
  constexpr int kChunk = 0xF000;
  std::vector<unsigned char> chunk(static_cast<size_t>(std::min<std::int64_t>(count, kChunk)));
  const std::int64_t total = count;
  while (count > 0) {
    const int n = static_cast<int>(std::min<std::int64_t>(count, kChunk));
    source->ReadBuffer(chunk.data(), n);
    WriteBuffer(chunk.data(), n);
    count -= n;
  }
  return total;
}

// --- THandleStream ---------------------------------------------------------------------

THandleStream::THandleStream(int handle) : handle_(handle) {}

int THandleStream::Read(void* buffer, int count) {
  if (count <= 0 || handle_ < 0) return 0;
  auto* out = static_cast<unsigned char*>(buffer);
  int done = 0;
  while (done < count) {
    const ssize_t n = ::read(handle_, out + done, static_cast<size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<int>(n);
  }
  return done;
}

int THandleStream::Write(const void* buffer, int count) {
  if (count <= 0 || handle_ < 0) return 0;
  const auto* in = static_cast<const unsigned char*>(buffer);
  int done = 0;
  while (done < count) {
    const ssize_t n = ::write(handle_, in + done, static_cast<size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<int>(n);
  }
  return done;
}

std::int64_t THandleStream::Seek(std::int64_t offset, int origin) {
  const int whence = origin == soFromCurrent ? SEEK_CUR : origin == soFromEnd ? SEEK_END : SEEK_SET;
  const off_t result = ::lseek(handle_, static_cast<off_t>(offset), whence);
  if (result < 0) return ::lseek(handle_, 0, SEEK_CUR);  // a refused seek leaves the position
  return result;
}

void THandleStream::SetSize(std::int64_t size) {
  if (size < 0 || ::ftruncate(handle_, static_cast<off_t>(size)) != 0)
    throw EWriteError(RtlText::WriteError);
  if (Position() > size) Seek(size, soFromBeginning);
}

// --- TFileStream -----------------------------------------------------------------------

namespace {

int OpenFile(const AnsiString& fileName, unsigned short mode) {
  if ((mode & fmCreate) == fmCreate) {
    const int fd = ::open(fileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
      throw EFCreateError(Format(RtlText::FCreateError, fileName.c_str(), std::strerror(errno)));
    return fd;
  }
  const int access = mode & 3;
  // What is opened to be read must be a regular file, opened without waiting on a pipe.
  if (access == fmOpenRead) return OpenRegularFile(fileName);
  const int flags = access == fmOpenWrite ? O_WRONLY : O_RDWR;
  const int fd = ::open(fileName.c_str(), flags | O_CLOEXEC);
  if (fd < 0)
    throw EFOpenError(Format(RtlText::FOpenError, fileName.c_str(), std::strerror(errno)));
  return fd;
}

bool OpenForWriting(int fd) {
  const int flags = ::fcntl(fd, F_GETFL);
  return flags >= 0 && (flags & O_ACCMODE) != O_RDONLY;
}

}  // namespace

TFileStream::TFileStream(const AnsiString& fileName, unsigned short mode)
    : TFileStream(OpenFile(fileName, mode), fileName) {}

TFileStream::TFileStream(int handle, const AnsiString& fileName)
    : THandleStream(handle), fileName_(fileName) {
  if (OpenForWriting(handle_)) pending_ = std::make_unique_for_overwrite<unsigned char[]>(kBufferSize);
}

// Bytes still buffered go out as a plain close would have left them; a failure here has no
// one to tell, which is why saves that must not lose bytes call Flush first.
TFileStream::~TFileStream() {
  WritePending();
  if (handle_ >= 0) ::close(handle_);
}

bool TFileStream::WritePending() {
  if (pendingCount_ == 0) return !failed_;
  const int count = pendingCount_;
  pendingCount_ = 0;
  const int written = THandleStream::Write(pending_.get(), count);
  if (written == count) return !failed_;
  ::lseek(handle_, count - written, SEEK_CUR);  // the position the caller's writes reached
  failed_ = true;
  return false;
}

void TFileStream::Flush() {
  errno = 0;
  if (!WritePending()) throw WriteFailure(errno);
}

int TFileStream::Write(const void* buffer, int count) {
  if (count <= 0 || pending_ == nullptr || failed_) return 0;
  if (count > kBufferSize - pendingCount_ && !WritePending()) return 0;
  if (count >= kBufferSize) {
    const int written = THandleStream::Write(buffer, count);
    if (written != count) failed_ = true;
    return written;
  }
  std::memcpy(pending_.get() + pendingCount_, buffer, static_cast<size_t>(count));
  pendingCount_ += count;
  return count;
}

// A failed write-out here surfaces at the next Write or Flush.
int TFileStream::Read(void* buffer, int count) {
  WritePending();
  return THandleStream::Read(buffer, count);
}

std::int64_t TFileStream::Seek(std::int64_t offset, int origin) {
  if (origin == soFromCurrent && offset == 0)  // asking for the position writes nothing out
    return THandleStream::Seek(0, soFromCurrent) + pendingCount_;
  WritePending();
  return THandleStream::Seek(offset, origin);
}

void TFileStream::SetSize(std::int64_t size) {
  WritePending();
  THandleStream::SetSize(size);
}

// --- TMemoryStream ---------------------------------------------------------------------

int TMemoryStream::Read(void* buffer, int count) {
  const auto size = static_cast<std::int64_t>(bytes_.size());
  if (count <= 0 || position_ >= size) return 0;
  const int n = static_cast<int>(std::min<std::int64_t>(count, size - position_));
  std::memcpy(buffer, bytes_.data() + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

int TMemoryStream::Write(const void* buffer, int count) {
  if (count <= 0) return 0;
  const std::int64_t end = position_ + count;
  if (end > static_cast<std::int64_t>(bytes_.size())) {
    try {
      bytes_.resize(static_cast<size_t>(end));
    } catch (const std::bad_alloc&) {
      return 0;
    }
  }
  std::memcpy(bytes_.data() + position_, buffer, static_cast<size_t>(count));
  position_ = end;
  return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, int origin) {
  const std::int64_t base = origin == soFromCurrent ? position_
                            : origin == soFromEnd   ? static_cast<std::int64_t>(bytes_.size())
                                                    : 0;
  const std::int64_t target = base + offset;
  if (target >= 0) position_ = target;
  return position_;
}

std::int64_t TMemoryStream::Size() { return static_cast<std::int64_t>(bytes_.size()); }

void TMemoryStream::SetSize(std::int64_t size) {
  if (size < 0) size = 0;
  try {
    bytes_.resize(static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory(RtlText::OutOfMemory);
  }
  if (position_ > size) position_ = size;
}

void TMemoryStream::Clear() {
  bytes_.clear();
  position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream* stream) {
  stream->SetPosition(0);
  const std::int64_t size = stream->Size();
  if (size > std::numeric_limits<int>::max()) throw EOutOfMemory(RtlText::OutOfMemory);
  SetSize(size);
  position_ = 0;
  stream->ReadBuffer(bytes_.data(), static_cast<int>(size));
}

void TMemoryStream::SaveToStream(TStream* stream) {
  stream->WriteBuffer(bytes_.data(), static_cast<int>(bytes_.size()));
}

void TMemoryStream::LoadFromFile(const AnsiString& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&file);
}

void TMemoryStream::SaveToFile(const AnsiString& fileName) {
  AtomicFile::WriteFile(fileName, std::string(reinterpret_cast<const char*>(bytes_.data()), bytes_.size()));
}
