#pragma once
// The framework's streams: the abstract TStream with its buffer helpers, a stream over an
// operating-system file handle, the file stream that opens files by name, and a stream in
// memory. Positions and sizes are 64-bit; counts of one read or write are int.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/rtl/AnsiString.h"

// Origins of Seek.
constexpr int soFromBeginning = 0;
constexpr int soFromCurrent = 1;
constexpr int soFromEnd = 2;

// Open modes of TFileStream: one access mode or fmCreate, combined with one share mode.
// Share modes are accepted; files here are not locked against other processes.
constexpr unsigned short fmOpenRead = 0x0000;
constexpr unsigned short fmOpenWrite = 0x0001;
constexpr unsigned short fmOpenReadWrite = 0x0002;
constexpr unsigned short fmShareCompat = 0x0000;
constexpr unsigned short fmShareExclusive = 0x0010;
constexpr unsigned short fmShareDenyWrite = 0x0020;
constexpr unsigned short fmShareDenyRead = 0x0030;
constexpr unsigned short fmShareDenyNone = 0x0040;
constexpr unsigned short fmCreate = 0xFF00;  // create or truncate, open for reading and writing

class TStream {
public:
  virtual ~TStream();

  // The bytes actually moved; fewer than asked at the end of the data or on an error.
  virtual int Read(void* buffer, int count) = 0;
  virtual int Write(const void* buffer, int count) = 0;
  // The new position from the origin; never below 0.
  virtual std::int64_t Seek(std::int64_t offset, int origin) = 0;

  std::int64_t Position();
  void SetPosition(std::int64_t position);
  virtual std::int64_t Size();
  virtual void SetSize(std::int64_t size);

  void ReadBuffer(void* buffer, int count);         // EReadError unless count bytes arrive
  void WriteBuffer(const void* buffer, int count);  // EWriteError unless count bytes go out
  // Copies count bytes from source's position on (count 0: the whole source from its
  // start); answers the bytes copied.
  std::int64_t CopyFrom(TStream* source, std::int64_t count);
};

// A stream over an open file descriptor, which it does not close. Unbuffered: every Read and
// Write is a system call, so the descriptor's other users see each write at once.
class THandleStream : public TStream {
public:
  explicit THandleStream(int handle);

  int Read(void* buffer, int count) override;
  int Write(const void* buffer, int count) override;
  std::int64_t Seek(std::int64_t offset, int origin) override;
  void SetSize(std::int64_t size) override;

  int Handle() const { return handle_; }

protected:
  int handle_;
};

// A file opened by name; closed when the stream is deleted. EFOpenError when an existing
// file cannot be opened, EFCreateError when fmCreate cannot create or truncate it.
//
// Small writes are gathered in a buffer and reach the file together, since codecs write a
// few bytes at a time. Seeking elsewhere, reading, resizing, Flush and the destructor write
// the buffer out first, so callers see the same file as without it. A write that fails loses
// the buffered bytes: that Write and every later Write and Flush fail (EWriteError from
// WriteBuffer and Flush). The destructor cannot report a failure; call Flush first where the
// result matters. Flush also before using Handle() directly.
class TFileStream : public THandleStream {
public:
  static constexpr int kBufferSize = 0x10000;

  TFileStream(const AnsiString& fileName, unsigned short mode);
  // Takes over a descriptor opened elsewhere (a temporary file, a file opened as a regular
  // file only) and closes it.
  TFileStream(int handle, const AnsiString& fileName);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  int Read(void* buffer, int count) override;
  int Write(const void* buffer, int count) override;
  std::int64_t Seek(std::int64_t offset, int origin) override;
  void SetSize(std::int64_t size) override;
  // Writes out the buffered bytes; EWriteError when they, or bytes an earlier write-out
  // lost, could not be written.
  void Flush();

  const AnsiString& FileName() const { return fileName_; }

private:
  // Writes out the buffered bytes; false when they or earlier ones were lost.
  bool WritePending();

  AnsiString fileName_;
  std::unique_ptr<unsigned char[]> pending_;  // only for descriptors open for writing
  int pendingCount_ = 0;
  bool failed_ = false;
};

// A stream whose bytes live in memory and grow as they are written.
class TMemoryStream : public TStream {
public:
  TMemoryStream() = default;

  int Read(void* buffer, int count) override;
  int Write(const void* buffer, int count) override;
  std::int64_t Seek(std::int64_t offset, int origin) override;
  std::int64_t Size() override;
  void SetSize(std::int64_t size) override;

  void* Memory() { return bytes_.data(); }
  void Clear();
  void LoadFromStream(TStream* stream);
  void SaveToStream(TStream* stream);
  void LoadFromFile(const AnsiString& fileName);
  // Replaces the file atomically (AtomicFile.h): a failed save keeps the old file.
  void SaveToFile(const AnsiString& fileName);

private:
  std::vector<unsigned char> bytes_;
  std::int64_t position_ = 0;
};

// The framework's resource texts for the file-stream errors.
namespace RtlText {
inline constexpr const char* FOpenError = "Cannot open file \"%s\". %s";
inline constexpr const char* FCreateError = "Cannot create file \"%s\". %s";
}  // namespace RtlText
