#include "vorlen/formats/png/Inflate.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "CompressionSamples.h"
#include "platform/rtl/Exceptions.h"

using namespace samples;

namespace {

std::vector<Sample> AllSamples() {
  return {{"empty", {}},
          {"one byte", {0x41}},
          {"text", Text(200000)},
          {"noise", Noise(100000)},
          {"photo", Photo(300000)},
          {"runs", Runs(150000)},
          {"zeros", Bytes(70000, 0)}};
}

// The two bytes that open a zlib stream of the default level.
Bytes ZlibHeader() {
  Bytes header(2);
  header[0] = 0x78;
  header[1] = 0x9C;
  return header;
}

// A deflate stream written bit by bit, for streams zlib would never write.
struct BitStream {
  Bytes bytes = ZlibHeader();
  uint32_t acc = 0;
  int count = 0;
  void Bits(uint32_t v, int n) {
    for (int i = 0; i < n; ++i) {
      acc |= ((v >> i) & 1u) << count;
      if (++count == 8) Flush();
    }
  }
  void Code(uint32_t code, int len) {  // Huffman codes go most significant bit first
    for (int i = len - 1; i >= 0; --i) Bits((code >> i) & 1u, 1);
  }
  void Flush() {
    if (count) bytes.push_back(static_cast<unsigned char>(acc));
    acc = 0;
    count = 0;
  }
  void FixedLiteral(int c) { Code(0x30 + c, 8); }
  void Adler(uint32_t a) {
    Flush();
    for (int s = 24; s >= 0; s -= 8) bytes.push_back(static_cast<unsigned char>(a >> s));
  }
};

void ExpectInvalid(const Bytes& stream) {
  try {
    OurInflate(stream);
    FAIL() << "accepted";
  } catch (const EInvalidImage& e) {
    EXPECT_STREQ(e.what(), "100");
  }
}

}  // namespace

TEST(Inflate, ReadsZlibStreamsOfEveryLevelAndStrategy) {
  const struct {
    int level;
    int strategy;
  } kinds[] = {{0, Z_DEFAULT_STRATEGY}, {1, Z_DEFAULT_STRATEGY}, {2, Z_DEFAULT_STRATEGY},
               {3, Z_DEFAULT_STRATEGY}, {4, Z_DEFAULT_STRATEGY}, {5, Z_DEFAULT_STRATEGY},
               {6, Z_DEFAULT_STRATEGY}, {7, Z_DEFAULT_STRATEGY}, {8, Z_DEFAULT_STRATEGY},
               {9, Z_DEFAULT_STRATEGY}, {6, Z_FIXED},        {6, Z_HUFFMAN_ONLY},
               {6, Z_RLE},              {9, Z_FILTERED}};
  for (const Sample& s : AllSamples()) {
    for (auto k : kinds) {
      SCOPED_TRACE(std::string(s.name) + " level " + std::to_string(k.level) + " strategy " +
                   std::to_string(k.strategy));
      const Bytes z = ZlibCompress(s.bytes, k.level, k.strategy);
      EXPECT_EQ(OurInflate(z), s.bytes);
    }
  }
}

// Matches of every distance class the copy treats apart (one byte, under a word, under a
// block, a block and more) and lengths around the block sizes, past several window slides.
TEST(Inflate, CopiesMatchesOfEveryDistanceAndLength) {
  Bytes data;
  uint32_t seed = 21;
  for (int round = 0; round < 12; ++round) {
    for (size_t distance : {1, 2, 3, 7, 8, 9, 31, 32, 33, 100, 4000, 32768}) {
      for (size_t length : {3, 4, 8, 15, 31, 32, 33, 64, 258, 600}) {
        for (size_t i = 0; i < distance; ++i) data.push_back(static_cast<uchar>(Lcg(seed) >> 24));
        for (size_t i = 0; i < length; ++i) data.push_back(data[data.size() - distance]);
      }
    }
  }
  ASSERT_GT(data.size(), size_t(1) << 20);
  for (int level : {1, 9}) EXPECT_EQ(OurInflate(ZlibCompress(data, level)), data) << level;
  EXPECT_EQ(OurInflate(ZlibCompress(data, 6, Z_RLE)), data);
}

TEST(Inflate, ReadsInputHandedOutInTinyPieces) {
  const Bytes text = Text(40000);
  for (int level : {0, 1, 6, 9}) {
    const Bytes z = ZlibCompress(text, level);
    for (size_t piece : {1, 2, 3, 7, 61}) EXPECT_EQ(OurInflate(z, piece), text) << level << " " << piece;
  }
}

TEST(Inflate, SkipsEmptyStoredBlocks) {
  BitStream b;
  b.Bits(0, 1);  // stored, not final, LEN 0
  b.Bits(0, 2);
  b.Flush();
  b.bytes.insert(b.bytes.end(), {0x00, 0x00, 0xFF, 0xFF});
  b.Bits(1, 1);  // final fixed block "A"
  b.Bits(1, 2);
  b.FixedLiteral('A');
  b.Code(0, 7);
  const unsigned char a = 'A';
  b.Adler(Adler32(1, &a, 1));
  EXPECT_EQ(OurInflate(b.bytes), Bytes{'A'});
}

TEST(Inflate, RefusesADistanceBeforeTheStart) {
  BitStream b;
  b.Bits(1, 1);
  b.Bits(1, 2);
  b.FixedLiteral('a');
  b.Code(1, 7);  // length 3
  b.Code(1, 5);  // distance 2, one byte more than there is
  b.Code(0, 7);
  b.Adler(1);
  ExpectInvalid(b.bytes);
}

TEST(Inflate, RefusesMalformedStreams) {
  const Bytes good = ZlibCompress(Text(5000), 6);
  Bytes badMethod = good;
  badMethod[0] = 0x79;
  Bytes badCheck = good;
  badCheck[1] ^= 1;
  Bytes dictionary = {0x78, 0xBB, 0, 0, 0, 0};
  Bytes badAdler = good;
  ASSERT_GT(badAdler.size(), 6u);
  badAdler[badAdler.size() - 1] ^= 1;
  for (const Bytes& s : {badMethod, badCheck, dictionary, badAdler}) ExpectInvalid(s);

  BitStream type3;
  type3.Bits(1, 1);
  type3.Bits(3, 2);
  ExpectInvalid(type3.bytes);

  BitStream storedLength;
  storedLength.Bits(1, 1);
  storedLength.Bits(0, 2);
  storedLength.Flush();
  storedLength.bytes.insert(storedLength.bytes.end(), {0x01, 0x00, 0xFF, 0xFF, 'x'});
  ExpectInvalid(storedLength.bytes);

  BitStream tooManyLiterals;  // HLIT = 287
  tooManyLiterals.Bits(1, 1);
  tooManyLiterals.Bits(2, 2);
  tooManyLiterals.Bits(30, 5);
  tooManyLiterals.Bits(0, 5);
  tooManyLiterals.Bits(0, 4);
  tooManyLiterals.Bits(0, 32);
  ExpectInvalid(tooManyLiterals.bytes);

  BitStream repeatFirst;  // code-length code: only symbol 16, length 1
  repeatFirst.Bits(1, 1);
  repeatFirst.Bits(2, 2);
  repeatFirst.Bits(0, 5);
  repeatFirst.Bits(0, 5);
  repeatFirst.Bits(0, 4);
  repeatFirst.Bits(1, 3);  // symbol 16
  repeatFirst.Bits(0, 3);
  repeatFirst.Bits(0, 3);
  repeatFirst.Bits(0, 3);
  repeatFirst.Bits(0, 8);
  ExpectInvalid(repeatFirst.bytes);
}

TEST(Inflate, RefusesOverSubscribedCodes) {
  // Dynamic block whose code-length code gives three symbols one-bit codes.
  BitStream b;
  b.Bits(1, 1);
  b.Bits(2, 2);
  b.Bits(0, 5);
  b.Bits(0, 5);
  b.Bits(0, 4);  // HCLEN 4: symbols 16, 17, 18, 0
  b.Bits(1, 3);
  b.Bits(1, 3);
  b.Bits(1, 3);
  b.Bits(0, 3);
  b.Bits(0, 16);
  ExpectInvalid(b.bytes);
}

TEST(Inflate, TruncatedStreamsFailAndKeepWhatWasDecoded) {
  const Bytes text = Text(100000);
  const Bytes z = ZlibCompress(text, 6);
  for (size_t keep : {size_t(1), size_t(2), z.size() / 3, z.size() - 5, z.size() - 1}) {
    Bytes cut(z.begin(), z.begin() + static_cast<long>(keep));
    MemorySource src(cut.data(), cut.size());
    Inflate inf(src);
    Bytes out(text.size());
    size_t got = 0;
    bool failed = false;
    try {
      inf.ReadZlibHeader();
      got = inf.Read(out.data(), out.size());
      inf.FinishZlib();
    } catch (const EInvalidImage&) {
      failed = true;
    }
    EXPECT_TRUE(failed) << keep;
    out.resize(got);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), text.begin())) << keep;
    // A failed stream stays failed.
    unsigned char byte;
    EXPECT_THROW(inf.Read(&byte, 1), EInvalidImage);
  }
}

// Large requests are decoded straight into the caller's memory once 32 KB of it can serve as
// history; small ones go through the window. Requests of changing size switch between the two.
TEST(Inflate, RequestsOfEverySizeGetTheSameBytes) {
  Bytes mixed = Text(700000);
  const Bytes runs = Runs(600000);
  const Bytes photo = Photo(900000);
  mixed.insert(mixed.end(), runs.begin(), runs.end());
  mixed.insert(mixed.end(), photo.begin(), photo.end());
  const std::vector<std::vector<size_t>> patterns = {
      {SIZE_MAX}, {100000}, {1, 400000, 3, 33000, 97000}, {65536 + 32768 + 290}, {300000, 50}};
  for (int level : {0, 1, 6, 9}) {
    const Bytes z = ZlibCompress(mixed, level);
    for (const auto& pattern : patterns) {
      MemorySource src(z.data(), z.size());
      Inflate inf(src);
      inf.ReadZlibHeader();
      Bytes out(mixed.size() + 10);
      size_t at = 0;
      for (size_t i = 0; at < mixed.size(); ++i) {
        const size_t want = std::min(pattern[i % pattern.size()], out.size() - at);
        const size_t got = inf.Read(out.data() + at, want);
        at += got;
        if (got < want) break;
      }
      inf.FinishZlib();
      out.resize(at);
      EXPECT_TRUE(out == mixed) << "level " << level << " first request " << pattern[0];
    }
  }
}

TEST(Inflate, AFaultMetInTheCallersMemoryKeepsWhatWasDecoded) {
  const Bytes text = Text(3000000);
  const Bytes z = ZlibCompress(text, 6);
  Bytes damaged = z;
  damaged.resize(z.size() / 2);  // cut in the middle
  Bytes flipped = z;
  for (size_t i = z.size() / 2; i < z.size() / 2 + 64; ++i) flipped[i] ^= 0x5A;
  Bytes wrongSum = z;
  wrongSum.back() ^= 1;
  for (const Bytes& bad : {damaged, flipped, wrongSum}) {
    MemorySource src(bad.data(), bad.size());
    Inflate inf(src);
    Bytes out(text.size());
    size_t got = 0;
    try {
      inf.ReadZlibHeader();
      got = inf.Read(out.data(), out.size());
      inf.FinishZlib();
      ADD_FAILURE() << "accepted";
    } catch (const EInvalidImage&) {
    }
    // Up to the fault the bytes are right (flipped bits may still decode to wrong bytes just
    // before it is seen, so only the part before the damage is compared).
    const size_t sure = std::min(got, text.size() / 3);
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + long(sure), text.begin()));
    unsigned char byte;
    EXPECT_THROW(inf.Read(&byte, 1), EInvalidImage);
  }
}

TEST(Inflate, DamagedStreamsNeverCrash) {
  const Bytes base = ZlibCompress(Photo(20000), 6);
  uint32_t seed = 5;
  for (int round = 0; round < 300; ++round) {
    Bytes z = base;
    for (int k = 0; k < 3; ++k) z[2 + Lcg(seed) % (z.size() - 2)] ^= static_cast<unsigned char>(1u << (Lcg(seed) >> 29));
    try {
      OurInflate(z);
    } catch (const EInvalidImage&) {
    }
  }
}
