// Kernel files: the 54-byte layout, files of any other length refused, values brought into
// range, a round trip through a file, and a failed save that leaves the old file.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "quillo/filters/KernelFile.h"
#include "support/FileSizeLimit.h"
#include "support/TempHome.h"

namespace {

std::string Words(std::initializer_list<int> values, int fill = 0) {
  std::string out;
  int count = 0;
  for (int v : values) {
    out.push_back(static_cast<char>(v >> 8 & 0xFF));
    out.push_back(static_cast<char>(v & 0xFF));
    ++count;
  }
  for (; count < 27; ++count) {
    out.push_back(static_cast<char>(fill >> 8 & 0xFF));
    out.push_back(static_cast<char>(fill & 0xFF));
  }
  return out;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

ConvolutionKernel Sample() {
  ConvolutionKernel kernel;
  for (int c = 0; c < 25; ++c) kernel.Cells[static_cast<std::size_t>(c)] = (c * 83) % 1999 - 999;
  kernel.Div = 9999;
  kernel.Bias = -9999;
  return kernel;
}

TEST(KernelFileTest, WritesTwentySevenBigEndianWords) {
  ConvolutionKernel kernel;
  kernel.Cells[0] = 1;
  kernel.Cells[1] = -1;
  kernel.Cells[24] = 999;
  kernel.Div = 256;
  kernel.Bias = -2;
  const std::string bytes = KernelFileContents(kernel);
  ASSERT_EQ(bytes.size(), 54u);
  EXPECT_EQ(bytes.substr(0, 4), std::string("\x00\x01\xFF\xFF", 4));
  EXPECT_EQ(bytes.substr(48, 6), std::string("\x03\xE7\x01\x00\xFF\xFE", 6));
  EXPECT_EQ(ParseKernelFile(bytes), kernel);
}

TEST(KernelFileTest, OnlyFiftyFourBytesAreAKernel) {
  const std::string good = Words({1});
  for (std::size_t size : {0u, 1u, 53u, 55u, 108u}) {
    std::string bytes = good;
    bytes.resize(size, '\0');
    EXPECT_FALSE(ParseKernelFile(bytes).has_value()) << size;
  }
  EXPECT_TRUE(ParseKernelFile(good).has_value());
}

TEST(KernelFileTest, ValuesOutOfRangeAreClamped) {
  struct Case {
    std::string bytes;
    int cell0, cell1, div, bias;
  };
  const Case cases[] = {
      {Words({0x7FFF, 0x8000}, 1), 999, -999, 1, 1},
      {Words({0x0001, 0xFFFF}, 0), 1, -1, 1, 0},  // Div 0
      {Words({}, -5), -5, -5, 1, -5},
      {Words({}, 20000), 999, 999, 9999, 9999},
      {Words({}, -20000), -999, -999, 1, -9999},
  };
  for (const Case& c : cases) {
    const std::optional<ConvolutionKernel> kernel = ParseKernelFile(c.bytes);
    ASSERT_TRUE(kernel.has_value());
    EXPECT_EQ(kernel->Cells[0], c.cell0);
    EXPECT_EQ(kernel->Cells[1], c.cell1);
    EXPECT_EQ(kernel->Div, c.div);
    EXPECT_EQ(kernel->Bias, c.bias);
  }
}

TEST(KernelFileTest, RoundTripsThroughAFile) {
  TempHome home;
  const std::string path = home.Path() + "/edges.acf";
  ASSERT_TRUE(WriteKernelFile(path.c_str(), Sample()));
  EXPECT_EQ(ReadAll(path).size(), 54u);
  EXPECT_EQ(ReadKernelFile(path.c_str()), Sample());
  EXPECT_FALSE(ReadKernelFile((home.Path() + "/missing.acf").c_str()).has_value());
  EXPECT_FALSE(ReadKernelFile(home.Path().c_str()).has_value());  // a folder
}

TEST(KernelFileTest, AFailedSaveLeavesTheOldFile) {
  TempHome home;
  const std::string path = home.Path() + "/kept.acf";
  ConvolutionKernel old;
  old.Cells[KernelCentre] = 7;
  ASSERT_TRUE(WriteKernelFile(path.c_str(), old));
  const std::string before = ReadAll(path);
  {
    const FileSizeLimit full(10);
    EXPECT_FALSE(WriteKernelFile(path.c_str(), Sample()));
  }
  EXPECT_EQ(ReadAll(path), before);
}

}  // namespace
