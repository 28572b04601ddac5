#include <gtest/gtest.h>

#include "platform/rtl/LastError.h"
#include "platform/rtl/Module.h"
#include "platform/rtl/SysUtils.h"

namespace {

void ModulesLoadedBefore() {}

using CosFunction = double (*)(double);

TEST(Library, LoadsLooksUpAndFreesASharedLibrary) {
  const HMODULE libm = LoadLibrary("libm.so.6");
  ASSERT_NE(libm, nullptr);
  const auto cosine = reinterpret_cast<CosFunction>(GetProcAddress(libm, "cos"));
  ASSERT_NE(cosine, nullptr);
  EXPECT_EQ(cosine(0.0), 1.0);
  EXPECT_EQ(ModuleOfAddress(reinterpret_cast<const void*>(cosine)), libm);
  EXPECT_EQ(LoadedModule("libm.so.6"), libm);

  EXPECT_EQ(GetProcAddress(libm, "no_such_export"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
  // Only the module's own exports: malloc lives in the C library it uses.
  EXPECT_EQ(GetProcAddress(libm, "malloc"), nullptr);

  // Loads and frees pair up.
  EXPECT_EQ(LoadLibrary("libm.so.6"), libm);
  EXPECT_TRUE(FreeLibrary(libm));
  EXPECT_TRUE(FreeLibrary(libm));
  EXPECT_FALSE(FreeLibrary(libm));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(Library, AMissingLibraryGivesNoHandle) {
  EXPECT_EQ(LoadLibrary("no-such-plugin.qlc"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
  EXPECT_EQ(LoadLibrary("/tmp/no/such/component.qlc"), nullptr);
  EXPECT_EQ(LoadLibrary(""), nullptr);
  EXPECT_EQ(LoadedModule("no-such-plugin.qlc"), nullptr);
}

TEST(Library, ModulesLoadedBeforeAreFoundByName) {
  const HMODULE platformLib = ModuleOfAddress(reinterpret_cast<const void*>(&ExtractFileName));
  EXPECT_EQ(LoadedModule("libplatform_core.so"), platformLib);
  EXPECT_EQ(LoadedModule(ModuleFileName(platformLib).c_str()), platformLib);
  EXPECT_EQ(LoadedModule(nullptr), ModuleOfAddress(reinterpret_cast<const void*>(&ModulesLoadedBefore)));
  (void)&ModulesLoadedBefore;
}

}  // namespace
