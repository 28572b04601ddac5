#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <sys/stat.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "support/TempHome.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"

TEST(MemoryStream, ReadsWritesSeeksAndGrows) {
  TMemoryStream s;
  s.WriteBuffer("abcdef", 6);
  EXPECT_EQ(s.Size(), 6);
  EXPECT_EQ(s.Position(), 6);
  s.SetPosition(2);
  char two[3] = {};
  s.ReadBuffer(two, 2);
  EXPECT_STREQ(two, "cd");
  EXPECT_EQ(s.Seek(-1, soFromEnd), 5);
  EXPECT_EQ(s.Seek(-10, soFromCurrent), 5) << "a seek before the start is refused";
  char rest[8] = {};
  EXPECT_EQ(s.Read(rest, 8), 1);
  EXPECT_EQ(s.Read(rest, 8), 0);
  s.SetPosition(8);
  s.WriteBuffer("z", 1);
  EXPECT_EQ(s.Size(), 9);
  EXPECT_EQ(static_cast<const char*>(s.Memory())[6], '\0') << "the gap is zero-filled";
  s.SetSize(3);
  EXPECT_EQ(s.Position(), 3);
}

TEST(MemoryStream, ShortReadBufferRaisesReadError) {
  TMemoryStream s;
  s.WriteBuffer("ab", 2);
  s.SetPosition(0);
  char buffer[4];
  EXPECT_THROW(s.ReadBuffer(buffer, 3), EReadError);
  s.SetPosition(0);
  EXPECT_NO_THROW(s.ReadBuffer(buffer, 0));
  EXPECT_EQ(s.Position(), 0);
}

TEST(FileStream, CreatesWritesAndReadsBack) {
  TempHome home;
  const std::string path = home.Path() + "/f.bin";
  {
    TFileStream out(path, fmCreate);
    out.WriteBuffer("hello", 5);
    EXPECT_EQ(out.FileName(), path);
  }
  TFileStream in(path, fmOpenRead | fmShareDenyWrite);
  EXPECT_EQ(in.Size(), 5);
  char text[6] = {};
  in.ReadBuffer(text, 5);
  EXPECT_STREQ(text, "hello");
  EXPECT_THROW(in.ReadBuffer(text, 1), EReadError);
  EXPECT_THROW(in.WriteBuffer("x", 1), EWriteError) << "a read-only stream refuses writes";
}

TEST(FileStream, OpenModesAndErrors) {
  TempHome home;
  const std::string path = home.Path() + "/g.bin";
  EXPECT_THROW(TFileStream(path, fmOpenRead), EFOpenError);
  EXPECT_THROW(TFileStream(home.Path() + "/no/such/folder/x", fmCreate), EFCreateError);
  { TFileStream(path, fmCreate | fmShareExclusive).WriteBuffer("12345", 5); }
  {
    TFileStream rw(path, fmOpenReadWrite | fmShareDenyNone);
    rw.SetPosition(1);
    rw.WriteBuffer("X", 1);
    rw.SetPosition(0);
    char text[6] = {};
    rw.ReadBuffer(text, 5);
    EXPECT_STREQ(text, "1X345");
    rw.SetSize(2);
    EXPECT_EQ(rw.Size(), 2);
  }
  {
    TFileStream w(path, fmOpenWrite);
    w.Seek(0, soFromEnd);
    w.WriteBuffer("Y", 1);
  }
  EXPECT_EQ(FileSizeOf(path), 3);
  { TFileStream truncate(path, fmCreate); }
  EXPECT_EQ(FileSizeOf(path), 0);
}

TEST(Streams, CopyFromCopiesCountOrWholeSource) {
  TMemoryStream source;
  std::string big(100000, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
  source.WriteBuffer(big.data(), static_cast<int>(big.size()));
  TMemoryStream whole;
  EXPECT_EQ(whole.CopyFrom(&source, 0), 100000);
  EXPECT_EQ(std::memcmp(whole.Memory(), big.data(), big.size()), 0);
  source.SetPosition(10);
  TMemoryStream part;
  EXPECT_EQ(part.CopyFrom(&source, 5), 5);
  EXPECT_EQ(std::memcmp(part.Memory(), big.data() + 10, 5), 0);
  source.SetPosition(99998);
  EXPECT_THROW(part.CopyFrom(&source, 5), EReadError);
}

TEST(HandleStream, WorksOnADescriptorItDoesNotOwn) {
  TempHome home;
  const std::string path = home.Path() + "/h.bin";
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT, 0600);
  ASSERT_GE(fd, 0);
  {
    THandleStream s(fd);
    s.WriteBuffer("abc", 3);
    EXPECT_EQ(s.Size(), 3);
  }
  EXPECT_EQ(::lseek(fd, 0, SEEK_CUR), 3) << "still open after the stream is gone";
  ::close(fd);
}

TEST(MemoryStream, LoadsAndSavesFiles) {
  TempHome home;
  const std::string path = home.Path() + "/m.bin";
  TMemoryStream s;
  s.WriteBuffer("data", 4);
  s.SaveToFile(path);
  TMemoryStream t;
  t.LoadFromFile(path);
  ASSERT_EQ(t.Size(), 4);
  EXPECT_EQ(std::memcmp(t.Memory(), "data", 4), 0);
  EXPECT_THROW(t.LoadFromFile(path + ".none"), EFOpenError);
}

namespace {

std::string FileBytes(const std::string& path) {
  TMemoryStream s;
  s.LoadFromFile(path);
  return std::string(static_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
}

}  // namespace

// The same random mix of writes (small and larger than the buffer), seeks (refused, past the
// end), reads, size questions and size changes on a buffered file stream and on an unbuffered
// handle stream: every answer and the final file must agree.
TEST(FileStream, BufferedWritesBehaveAsUnbufferedOnes) {
  TempHome home;
  const std::string bufferedPath = home.Path() + "/buffered.bin";
  const std::string plainPath = home.Path() + "/plain.bin";
  const int plainFd = ::open(plainPath.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(plainFd, 0);
  {
    TFileStream buffered(bufferedPath, fmCreate);
    THandleStream plain(plainFd);
    std::uint32_t seed = 7;
    auto next = [&seed](std::uint32_t range) {
      seed = seed * 1664525u + 1013904223u;
      return static_cast<int>((seed >> 8) % range);
    };
    std::vector<unsigned char> data(TFileStream::kBufferSize + 5000);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<unsigned char>(i * 31 + 7);
    std::vector<unsigned char> got(2000), want(2000);
    for (int step = 0; step < 4000; ++step) {
      const int op = next(100);
      const int size = static_cast<int>(plain.Size());
      SCOPED_TRACE("step " + std::to_string(step) + ", operation " + std::to_string(op));
      if (op < 50) {
        const int count = 1 + next(300);
        const int from = next(1000);
        ASSERT_EQ(buffered.Write(&data[from], count), plain.Write(&data[from], count));
      } else if (op < 52) {
        const int count = TFileStream::kBufferSize + next(5000);
        ASSERT_EQ(buffered.Write(data.data(), count), plain.Write(data.data(), count));
      } else if (op < 70) {
        const int origin = next(3);
        const int offset = next(2 * size + 40) - size - 20;
        ASSERT_EQ(buffered.Seek(offset, origin), plain.Seek(offset, origin));
      } else if (op < 80) {
        ASSERT_EQ(buffered.Position(), plain.Position());
      } else if (op < 88) {
        ASSERT_EQ(buffered.Size(), plain.Size());
      } else if (op < 96) {
        const int count = 1 + next(2000);
        const int n = buffered.Read(got.data(), count);
        ASSERT_EQ(n, plain.Read(want.data(), count));
        ASSERT_EQ(std::memcmp(got.data(), want.data(), static_cast<size_t>(n)), 0);
      } else if (op < 98) {
        const int newSize = next(size + 200);
        buffered.SetSize(newSize);
        plain.SetSize(newSize);
        ASSERT_EQ(buffered.Position(), plain.Position());
      } else {
        buffered.Flush();
      }
    }
    ASSERT_EQ(buffered.Size(), plain.Size());
  }
  ::close(plainFd);
  const std::string plainBytes = FileBytes(plainPath);
  EXPECT_GT(plainBytes.size(), 100000u);
  EXPECT_TRUE(FileBytes(bufferedPath) == plainBytes) << "the files differ";
}

TEST(FileStream, SmallWritesReachTheFileTogether) {
  TempHome home;
  const std::string path = home.Path() + "/small.bin";
  TFileStream out(path, fmCreate);
  for (int i = 0; i < 1000; ++i) out.WriteBuffer("x", 1);
  EXPECT_EQ(out.Position(), 1000) << "the position counts buffered bytes";
  EXPECT_EQ(FileSizeOf(path), 0) << "nothing written yet";
  out.Flush();
  EXPECT_EQ(FileSizeOf(path), 1000);
  EXPECT_EQ(FileBytes(path), std::string(1000, 'x'));
}

// Bytes that cannot be written raise EWriteError from WriteBuffer or Flush, whichever comes
// first, even when the write-out happened quietly in a seek or read; the stream then stays
// failed and its destructor does not throw.
TEST(FileStream, FullDiskRaisesWriteErrorAndStaysFailed) {
  if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full to write to";
  const std::vector<unsigned char> big(TFileStream::kBufferSize + 1, 'b');
  struct Case {
    const char* what;
    std::function<void(TFileStream&)> act;
  };
  const Case cases[] = {
      {"flush after a small write", [](TFileStream& s) { s.WriteBuffer("abc", 3); s.Flush(); }},
      {"a write larger than the buffer",
       [&](TFileStream& s) { s.WriteBuffer(big.data(), static_cast<int>(big.size())); }},
      {"small writes past the buffer",
       [&](TFileStream& s) {
         for (int i = 0; i <= TFileStream::kBufferSize / 1000; ++i) s.WriteBuffer(big.data(), 1000);
       }},
      {"a seek, then flush",
       [](TFileStream& s) { s.WriteBuffer("abc", 3); s.Seek(0, soFromBeginning); s.Flush(); }},
      {"a read, then flush",
       [](TFileStream& s) {
         char c;
         s.WriteBuffer("abc", 3);
         s.Read(&c, 1);
         s.Flush();
       }},
  };
  for (const Case& c : cases) {
    TFileStream full("/dev/full", fmOpenWrite);
    EXPECT_THROW(c.act(full), EWriteError) << c.what;
    EXPECT_THROW(full.Flush(), EWriteError) << c.what << ": the loss is not forgotten";
    EXPECT_THROW(full.WriteBuffer("z", 1), EWriteError) << c.what;
  }
  TMemoryStream memory;
  memory.WriteBuffer("abc", 3);
  EXPECT_THROW(memory.SaveToFile("/dev/full"), EFCreateError);  // not a regular file: left alone
}
