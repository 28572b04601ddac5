// The language file's prefix code: the decoder on hand-made files (sound and damaged), and
// the build's encoder: exact round trips and the smallest file for the text.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "quillo/base/LanguageCode.h"
#include "tools/lngmaker/LanguageEncoder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using LanguageCode::DecodeResult;

DecodeResult DecodeBytes(const Bytes& file, std::string& text) {
  return LanguageCode::Decode(file.data(), file.size(), text);
}

std::string RoundTrip(const std::string& text) {
  const Bytes file = EncodeLanguageText(text);
  std::string back = "unchanged";
  EXPECT_EQ(DecodeBytes(file, back), DecodeResult::Ok);
  return back;
}

// A text whose byte counts follow the Fibonacci numbers: its Huffman code is as deep as the
// alphabet is large, far beyond what four table blocks can describe.
std::string FibonacciText(int symbols) {
  std::string text;
  std::uint64_t a = 1, b = 1;
  for (int s = 0; s < symbols; ++s) {
    text.append(a, static_cast<char>('A' + s));
    std::uint64_t next = a + b;
    a = b;
    b = next;
  }
  return text;
}

TEST(LanguageCodeTest, HandMadeFilesDecode) {
  struct Case {
    const char* what;
    Bytes file;
    std::string text;
  };
  const std::vector<Case> cases = {
      {"lengths 1, 2, 3, 3: a=0 b=10 c=110 d=111",
       {0x04, 0, 0, 0, 0x01, 0x01, 'a', 0x01, 'b', 0x02, 'c', 'd', 0x5B, 0x80}, "abcd"},
      {"one byte repeated", {0x05, 0, 0, 0, 0x00, 'z'}, "zzzzz"},
      {"empty text", {0, 0, 0, 0, 0x00, 0x00}, ""},
      {"two codes of one bit, the coded bits end before the look-ahead",
       {0x03, 0, 0, 0, 0x01, 0x02, 'x', 'y', 0x40}, "xyx"},
      {"a count of 0 skips a length: p=0 q=100 r=101 s=110 t=111",
       {0x02, 0, 0, 0, 0x01, 0x01, 'p', 0x00, 0x04, 'q', 'r', 's', 't', 0x50}, "pr"},
  };
  for (const Case& c : cases) {
    std::string text;
    EXPECT_EQ(DecodeBytes(c.file, text), DecodeResult::Ok) << c.what;
    EXPECT_EQ(text, c.text) << c.what;
  }
}

TEST(LanguageCodeTest, DamagedFilesAreRefusedAndLeaveTheTextAlone) {
  struct Case {
    const char* what;
    Bytes file;
    DecodeResult result;
  };
  const std::vector<Case> cases = {
      {"no length", {0x04, 0}, DecodeResult::Truncated},
      {"no description", {0x04, 0, 0, 0}, DecodeResult::Truncated},
      {"description cut inside the symbols", {0x04, 0, 0, 0, 0x01, 0x01, 'a', 0x02, 'c'}, DecodeResult::BadDescription},
      {"code space never filled", {0x01, 0, 0, 0, 0x01, 0x01, 'a', 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, DecodeResult::BadDescription},
      {"more codes than the space holds", {0x01, 0, 0, 0, 0x01, 0x03, 'a', 'b', 'c', 0x00}, DecodeResult::BadDescription},
      {"a symbol given twice", {0x01, 0, 0, 0, 0x01, 0x02, 'a', 'a', 0x00}, DecodeResult::BadDescription},
      {"a first length beyond 8", {0x01, 0, 0, 0, 0x09, 0x02, 'a', 'b', 0x00}, DecodeResult::BadDescription},
      {"the coded bits stop early", {0x04, 0, 0, 0, 0x01, 0x01, 'a', 0x01, 'b', 0x02, 'c', 'd', 0x5B}, DecodeResult::Truncated},
      {"a length far beyond the bits", {0xFF, 0xFF, 0x0F, 0x00, 0x01, 0x02, 'a', 'b', 0x00}, DecodeResult::Truncated},
      {"a length beyond any language file", {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 'a'}, DecodeResult::TooLarge},
  };
  for (const Case& c : cases) {
    std::string text = "kept";
    EXPECT_EQ(DecodeBytes(c.file, text), c.result) << c.what;
    EXPECT_EQ(text, "kept") << c.what;
  }
}

// The size limit holds for the one-byte form too, whose few bytes could say any length.
TEST(LanguageCodeTest, TextsUpToTheSizeLimitDecode) {
  auto oneByteRepeated = [](std::uint32_t count) {
    return Bytes{static_cast<std::uint8_t>(count), static_cast<std::uint8_t>(count >> 8),
                 static_cast<std::uint8_t>(count >> 16), static_cast<std::uint8_t>(count >> 24), 0x00, '\n'};
  };
  std::string text;
  EXPECT_EQ(DecodeBytes(oneByteRepeated(LanguageCode::kMaxTextSize), text), DecodeResult::Ok);
  EXPECT_EQ(text.size(), LanguageCode::kMaxTextSize);
  EXPECT_EQ(DecodeBytes(oneByteRepeated(LanguageCode::kMaxTextSize + 1), text), DecodeResult::TooLarge);
}

// One code of each length 1 to 8 fills a block to 255 of 256 entries and hands the last on
// to the next block, whose lengths restart at 1: four such blocks ask for a fifth.
TEST(LanguageCodeTest, ACodeNeedingAFifthTableBlockIsRefused) {
  auto describe = [](int blocks) {
    Bytes description{1};
    std::uint8_t symbol = 0;
    for (int b = 0; b < blocks; ++b)
      for (int l = 1; l <= 8; ++l) description.insert(description.end(), {1, symbol++});
    return description;
  };
  LanguageCode::CodeTable table;
  Bytes four = describe(4);
  EXPECT_EQ(LanguageCode::BuildCodeTable(four.data(), four.size(), table), 0u);
  // Three chained blocks and a fourth that closes with two codes of its longest length fit.
  Bytes fits = describe(3);
  std::uint8_t symbol = 100;
  for (int l = 1; l <= 7; ++l) fits.insert(fits.end(), {1, symbol++});
  fits.insert(fits.end(), {2, symbol, static_cast<std::uint8_t>(symbol + 1)});
  EXPECT_EQ(LanguageCode::BuildCodeTable(fits.data(), fits.size(), table), fits.size());
}

TEST(LanguageCodeTest, EncodedTextsComeBackByteForByte) {
  std::mt19937 random(19);
  std::string allBytes;
  for (int repeat = 0; repeat < 3; ++repeat)
    for (int v = 0; v < 256; ++v) allBytes.push_back(static_cast<char>(v));
  std::string skewed;
  for (int i = 0; i < 20000; ++i) {
    std::geometric_distribution<int> g(0.35);
    skewed.push_back(static_cast<char>(std::min(g(random), 255)));
  }
  std::string uniformRandom;
  for (int i = 0; i < 5000; ++i) uniformRandom.push_back(static_cast<char>(random() & 0xFF));
  const std::vector<std::string> texts = {
      "", "a", std::string(1000, 'q'), "ab", "abcd", "[Messages]\r\nOK=&Ok\r\n", allBytes, skewed, uniformRandom,
      FibonacciText(12), FibonacciText(20),
  };
  for (const std::string& text : texts) EXPECT_EQ(RoundTrip(text), text) << "text of " << text.size() << " bytes";
}

// Every prefix of a sound file (the whole file but the last byte or more) is refused.
TEST(LanguageCodeTest, EveryCutOfAFileIsRefused) {
  const std::string text = "[Messages]\r\nNoMem=Not enough memory\r\nErr=Error\r\n";
  const Bytes file = EncodeLanguageText(text);
  for (std::size_t size = 0; size < file.size(); ++size) {
    std::string back;
    EXPECT_NE(LanguageCode::Decode(file.data(), size, back), DecodeResult::Ok) << "cut at " << size;
  }
}

// File size of a code given by its lengths per byte value, as the format counts it.
std::size_t FileSize(const std::string& text, const std::vector<int>& lengths) {
  int shortest = 99, longest = 0, symbols = 0;
  std::uint64_t bits = 0;
  for (int v = 0; v < 256; ++v) {
    if (lengths[v] == 0) continue;
    shortest = std::min(shortest, lengths[v]);
    longest = std::max(longest, lengths[v]);
    ++symbols;
  }
  for (unsigned char c : text) bits += static_cast<std::uint64_t>(lengths[c]);
  return 4 + 1 + static_cast<std::size_t>(longest - shortest + 1) + static_cast<std::size_t>(symbols) + (bits + 7) / 8;
}

// Against every complete prefix code of up to 5 symbols with lengths up to 7: no file the
// format can hold is smaller than the encoder's.
TEST(LanguageCodeTest, NoCodeGivesASmallerFileThanTheEncoders) {
  std::mt19937 random(7);
  for (int trial = 0; trial < 60; ++trial) {
    const int symbols = 2 + trial % 4;
    std::string text;
    for (int s = 0; s < symbols; ++s) text.append(1 + random() % (trial < 30 ? 9 : 300), static_cast<char>('a' + s));
    std::shuffle(text.begin(), text.end(), random);
    const std::size_t encoded = EncodeLanguageText(text).size();
    ASSERT_EQ(encoded, FileSize(text, LanguageCodeLengths(text)));

    std::size_t smallest = SIZE_MAX;
    std::vector<int> lengths(256, 0);
    std::function<void(int, double)> choose = [&](int s, double kraft) {
      if (s == symbols) {
        if (kraft == 1.0) smallest = std::min(smallest, FileSize(text, lengths));
        return;
      }
      for (int l = 1; l <= 7; ++l) {
        if (kraft + std::ldexp(1.0, -l) > 1.0) continue;
        lengths['a' + s] = l;
        choose(s + 1, kraft + std::ldexp(1.0, -l));
      }
      lengths['a' + s] = 0;
    };
    choose(0, 0.0);
    EXPECT_EQ(encoded, smallest) << "trial " << trial;
  }
}

// One code of each length 1 to 31 and two of 32: each block fills to 255 entries and hands
// its last on, through all four blocks. A code of length L is L - 1 ones and a zero; the
// last is 32 ones.
TEST(LanguageCodeTest, CodesChainThroughAllFourBlocks) {
  std::vector<std::uint8_t> symbols;  // by length, 1 to 32
  Bytes file{0, 0, 0, 0, 1};
  for (int l = 1; l <= 31; ++l) {
    symbols.push_back(static_cast<std::uint8_t>(3 * l));
    file.insert(file.end(), {1, symbols.back()});
  }
  symbols.push_back(200);
  file.insert(file.end(), {2, 199, 200});
  const std::vector<int> textLengths = {32, 1, 31, 8, 9, 17, 24, 25, 2, 32};
  std::string text;
  std::string bits;
  for (int l : textLengths) {
    text.push_back(static_cast<char>(l == 32 && text.empty() ? 199 : symbols[static_cast<std::size_t>(l - 1)]));
    bits += text.size() == 1 ? std::string(31, '1') + "0" : l == 32 ? std::string(32, '1') : std::string(static_cast<std::size_t>(l - 1), '1') + "0";
  }
  file[0] = static_cast<std::uint8_t>(text.size());
  for (std::size_t i = 0; i < bits.size(); i += 8) {
    std::uint8_t byte = 0;
    for (std::size_t b = 0; b < 8; ++b) byte = static_cast<std::uint8_t>(byte << 1 | (i + b < bits.size() && bits[i + b] == '1'));
    file.push_back(byte);
  }
  std::string back;
  ASSERT_EQ(DecodeBytes(file, back), DecodeResult::Ok);
  EXPECT_EQ(back, text);
}

// With every byte value equally often the best code gives each 8 bits, but a count byte
// cannot say 256: the next best code (one of 7 bits, 253 of 8, two of 9) is taken.
TEST(LanguageCodeTest, AllByteValuesEquallyOftenCannotAllHaveEightBits) {
  std::string text;
  for (int repeat = 0; repeat < 3; ++repeat)
    for (int v = 0; v < 256; ++v) text.push_back(static_cast<char>(v));
  const std::vector<int> lengths = LanguageCodeLengths(text);
  EXPECT_EQ(std::count(lengths.begin(), lengths.end(), 7), 1);
  EXPECT_EQ(std::count(lengths.begin(), lengths.end(), 8), 253);
  EXPECT_EQ(std::count(lengths.begin(), lengths.end(), 9), 2);
  EXPECT_EQ(EncodeLanguageText(text).size(), 4u + 1 + 3 + 256 + (3 * 2049 + 7) / 8);
  EXPECT_EQ(RoundTrip(text), text);
}

}  // namespace
