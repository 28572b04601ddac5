#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <string>

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
