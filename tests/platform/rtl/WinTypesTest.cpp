// The shared Windows types, result codes and error codes, reachable from the layer's basic
// headers alone (without the shell, video or hot-key headers that use them).

#include <gtest/gtest.h>

#include <type_traits>

#include "platform/rtl/LastError.h"
#include "platform/rtl/WinTypes.h"

namespace {

static_assert(std::is_same_v<INT, int>);
static_assert(std::is_same_v<HRESULT, LONG> && sizeof(HRESULT) == 4);

TEST(WinTypes, ResultCodesAndTheirSuccess) {
  struct Code {
    HRESULT value;
    std::uint32_t bits;
    bool success;
  };
  const Code codes[] = {
      {S_OK, 0x00000000u, true},          {S_FALSE, 0x00000001u, true},
      {E_NOTIMPL, 0x80004001u, false},    {E_FAIL, 0x80004005u, false},
      {E_OUTOFMEMORY, 0x8007000Eu, false}, {E_INVALIDARG, 0x80070057u, false},
  };
  for (const Code& c : codes) {
    EXPECT_EQ(static_cast<std::uint32_t>(c.value), c.bits);
    EXPECT_EQ(SUCCEEDED(c.value), c.success) << std::hex << c.bits;
    EXPECT_EQ(FAILED(c.value), !c.success) << std::hex << c.bits;
  }
}

TEST(WinTypes, WindowAndHotKeyErrorsAmongTheLastErrorCodes) {
  EXPECT_EQ(ERROR_INVALID_WINDOW_HANDLE, 1400u);
  EXPECT_EQ(ERROR_HOTKEY_ALREADY_REGISTERED, 1409u);
  EXPECT_EQ(ERROR_HOTKEY_NOT_REGISTERED, 1419u);
}

}  // namespace
