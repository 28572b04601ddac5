// The graphics library loads no more than it uses: libvorlen.so needs the platform's core and
// the C and C++ run-time only, and the core needs FreeType and Fontconfig beside them. Neither
// brings in the window system, printing, scanning or mail, which a process that only reads
// and writes pictures would otherwise load (and pay for) at every start.

#include <elf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// The DT_NEEDED names of an ELF64 shared object, read from its file; empty when it is not one.
std::vector<std::string> NeededLibraries(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> needed;
  Elf64_Ehdr header;
  if (file.size() < sizeof(header)) return needed;
  std::memcpy(&header, file.data(), sizeof(header));
  if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64) return needed;
  auto section = [&](size_t index) {
    Elf64_Shdr s{};
    const size_t at = header.e_shoff + index * header.e_shentsize;
    if (index < header.e_shnum && at + sizeof(s) <= file.size()) std::memcpy(&s, file.data() + at, sizeof(s));
    return s;
  };
  for (size_t i = 0; i < header.e_shnum; ++i) {
    const Elf64_Shdr dynamic = section(i);
    if (dynamic.sh_type != SHT_DYNAMIC) continue;
    const Elf64_Shdr strings = section(dynamic.sh_link);
    for (size_t at = dynamic.sh_offset; at + sizeof(Elf64_Dyn) <= std::min<size_t>(file.size(), dynamic.sh_offset + dynamic.sh_size);
         at += sizeof(Elf64_Dyn)) {
      Elf64_Dyn entry;
      std::memcpy(&entry, file.data() + at, sizeof(entry));
      if (entry.d_tag == DT_NULL) break;
      const size_t name = strings.sh_offset + entry.d_un.d_val;
      if (entry.d_tag == DT_NEEDED && name < file.size()) needed.emplace_back(file.data() + name);
    }
  }
  return needed;
}

// The C and C++ run-time and the sanitizers' libraries of a test build.
bool RunTime(const std::string& name) {
  for (const char* prefix : {"libc.so", "libm.so", "libstdc++.so", "libgcc_s.so", "libdl.so", "libpthread.so",
                             "ld-linux", "libasan.so", "libubsan.so"})
    if (name.rfind(prefix, 0) == 0) return true;
  return false;
}

// The names of `needed` that are neither the run-time nor one of `allowed` (name prefixes).
std::vector<std::string> Beyond(const std::vector<std::string>& needed, const std::vector<std::string>& allowed) {
  std::vector<std::string> beyond;
  for (const std::string& name : needed) {
    const bool ok = RunTime(name) || std::any_of(allowed.begin(), allowed.end(), [&](const std::string& prefix) {
                      return name.rfind(prefix, 0) == 0;
                    });
    if (!ok) beyond.push_back(name);
  }
  return beyond;
}

bool Has(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

TEST(LibraryDependencies, TheGraphicsLibraryNeedsThePlatformCoreAndTheRunTimeOnly) {
  const std::vector<std::string> needed = NeededLibraries(std::string(QUILLO_BIN_DIR) + "/libvorlen.so");
  ASSERT_FALSE(needed.empty());
  EXPECT_TRUE(Has(needed, "libplatform_core.so"));
  EXPECT_EQ(Beyond(needed, {"libplatform_core.so"}), std::vector<std::string>{});
}

TEST(LibraryDependencies, ThePlatformCoreNeedsTextLibrariesAndTheRunTimeOnly) {
  const std::vector<std::string> needed = NeededLibraries(std::string(QUILLO_BIN_DIR) + "/libplatform_core.so");
  ASSERT_FALSE(needed.empty());
  EXPECT_EQ(Beyond(needed, {"libfreetype.so", "libfontconfig.so"}), std::vector<std::string>{});
}

TEST(LibraryDependencies, TheFullPlatformLinksTheCoreInTurn) {
  const std::vector<std::string> needed = NeededLibraries(std::string(QUILLO_BIN_DIR) + "/libplatform.so");
  EXPECT_TRUE(Has(needed, "libplatform_core.so"));
}

}  // namespace
