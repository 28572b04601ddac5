#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "platform/rtl/GlobalMemory.h"
#include "platform/rtl/LastError.h"

namespace {

TEST(GlobalMemory, BlocksLockResizeAndFree) {
  const HGLOBAL block = GlobalAlloc(GHND, 16);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(GlobalSize(block), 16u);
  auto* bytes = static_cast<unsigned char*>(GlobalLock(block));
  ASSERT_NE(bytes, nullptr);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(bytes[i], 0) << i;  // GMEM_ZEROINIT
  std::memcpy(bytes, "clipboard image", 16);
  EXPECT_EQ(GlobalLock(block), bytes);
  EXPECT_TRUE(GlobalUnlock(block));   // still locked once
  EXPECT_FALSE(GlobalUnlock(block));  // now unlocked
  EXPECT_EQ(GetLastError(), NO_ERROR);

  const HGLOBAL larger = GlobalReAlloc(block, 32, GMEM_MOVEABLE);
  ASSERT_NE(larger, nullptr);
  EXPECT_EQ(GlobalSize(larger), 32u);
  auto* moved = static_cast<unsigned char*>(GlobalLock(larger));
  EXPECT_STREQ(reinterpret_cast<char*>(moved), "clipboard image");
  for (int i = 16; i < 32; ++i) EXPECT_EQ(moved[i], 0) << i;
  GlobalUnlock(larger);
  EXPECT_EQ(GlobalFree(larger), nullptr);
}

TEST(GlobalMemory, HandlesThatAreNotBlocksAreRefused) {
  int notABlock = 0;
  EXPECT_EQ(GlobalLock(&notABlock), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(GlobalSize(&notABlock), 0u);
  EXPECT_EQ(GlobalFree(&notABlock), &notABlock);

  const HGLOBAL block = GlobalAlloc(GMEM_FIXED, 4);
  ASSERT_EQ(GlobalFree(block), nullptr);
  EXPECT_EQ(GlobalFree(block), block);  // freed twice: refused, nothing else happens
  EXPECT_EQ(GlobalLock(block), nullptr);
}

TEST(GlobalMemory, MoreThanTheMachineHasIsRefused) {
  EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, SIZE_MAX / 2), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
  const HGLOBAL empty = GlobalAlloc(GMEM_MOVEABLE, 0);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(GlobalSize(empty), 0u);
  GlobalFree(empty);
}

TEST(GlobalMemory, StatusDescribesTheMachine) {
  MEMORYSTATUSEX ex{};
  ex.dwLength = sizeof ex;
  ASSERT_TRUE(GlobalMemoryStatusEx(&ex));
  EXPECT_GT(ex.ullTotalPhys, 16u << 20);
  EXPECT_LE(ex.ullAvailPhys, ex.ullTotalPhys);
  EXPECT_GE(ex.ullTotalPageFile, ex.ullTotalPhys);
  EXPECT_LE(ex.dwMemoryLoad, 100u);

  MEMORYSTATUS status{};
  GlobalMemoryStatus(&status);
  EXPECT_EQ(status.dwLength, sizeof status);
  EXPECT_EQ(status.dwTotalPhys, ex.ullTotalPhys);

  MEMORYSTATUSEX unsized{};
  EXPECT_FALSE(GlobalMemoryStatusEx(&unsized));
}

}  // namespace
