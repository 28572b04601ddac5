// Reading a component's description from its library, safely.

#include <gtest/gtest.h>

#include <sys/mman.h>

#include <cstring>
#include <string>

#include "quillo/plugins/ComponentLibrary.h"

namespace {

std::string Qlc(const char* name) { return std::string(QUILLO_QLC_DIR) + "/" + name + ".qlc"; }

TEST(ComponentLibraryTest, ABadAddressFailsInsteadOfFaulting) {
  AnsiString text;
  EXPECT_FALSE(CopyTextAt(reinterpret_cast<const void*>(0x10), MaxDescriptionBytes, text));
  EXPECT_FALSE(CopyTextAt(nullptr, MaxDescriptionBytes, text));
  // A text running into an unmapped page without its NUL.
  const long page = 4096;
  auto* pages = static_cast<char*>(mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
  ASSERT_NE(pages, MAP_FAILED);
  munmap(pages + page, page);
  std::memset(pages, 'x', page);
  EXPECT_FALSE(CopyTextAt(pages + page - 10, MaxDescriptionBytes, text));
  // Ending right before it reads.
  pages[page - 1] = '\0';
  EXPECT_TRUE(CopyTextAt(pages + page - 10, MaxDescriptionBytes, text));
  EXPECT_EQ(text, std::string(9, 'x'));
  munmap(pages, page);
}

TEST(ComponentLibraryTest, TheLimitCountsTheNul) {
  std::string big(100, 'a');
  AnsiString text;
  EXPECT_FALSE(CopyTextAt(big.c_str(), 100, text));
  EXPECT_TRUE(CopyTextAt(big.c_str(), 101, text));
}

TEST(ComponentLibraryTest, EachLibraryGivesItsDescriptionOrItsFault) {
  struct Case {
    const char* name;
    LibraryFault fault;
  } cases[] = {{"inverter", LibraryFault::None},
               {"everykind", LibraryFault::None},
               {"noprocess", LibraryFault::NoProcess},
               {"nonul", LibraryFault::BadDescription},
               {"badaddress", LibraryFault::BadDescription}};
  for (const Case& c : cases) {
    HMODULE module = LoadLibrary(Qlc(c.name).c_str());
    ASSERT_NE(module, nullptr) << c.name;
    AnsiString description;
    EXPECT_EQ(LoadComponentDesc(module, description), c.fault) << c.name;
    if (c.fault == LibraryFault::None) {
      EXPECT_EQ(description.rfind("Ver=2", 0), 0u);
    }
    FreeLibrary(module);
  }
}

}  // namespace
