#pragma once
// The sample filter plug-ins the build makes for these tests (tests/filter-plugins), by name.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

inline std::string SamplePlugin(const std::string& name) {
  return std::string(QUILLO_FILTER_PLUGIN_DIR) + "/" + name + ".8bf";
}

inline std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Copies samples into folder (made when missing).
inline void CopySamples(const std::string& folder, std::initializer_list<const char*> names) {
  std::filesystem::create_directories(folder);
  for (const char* name : names)
    std::filesystem::copy_file(SamplePlugin(name), folder + "/" + name + ".8bf",
                               std::filesystem::copy_options::overwrite_existing);
}

// Little-endian fields of a sample's bytes.
inline std::uint64_t ReadLittle(const std::string& bytes, std::size_t at, int count) {
  std::uint64_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  return value;
}
inline void WriteLittle(std::string& bytes, std::size_t at, int count, std::uint64_t value) {
  for (int i = 0; i < count; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
}

// Where the section header of the named section sits in an ELF file's bytes (0 when none).
inline std::size_t SectionHeaderAt(const std::string& elf, const std::string& name) {
  const std::size_t table = ReadLittle(elf, 40, 8), entry = ReadLittle(elf, 58, 2), count = ReadLittle(elf, 60, 2);
  const std::size_t names = table + ReadLittle(elf, 62, 2) * entry;
  const std::size_t namesOffset = ReadLittle(elf, names + 24, 8);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = table + i * entry;
    if (elf.compare(namesOffset + ReadLittle(elf, at, 4), name.size() + 1, name.c_str(), name.size() + 1) == 0) return at;
  }
  return 0;
}

// A sample's bytes with its ".pipl" section moved past the file's end, or with its first
// record's size running past the section.
enum class PiplDamage { CutOff, RecordTooLong };
inline std::string WithDamagedPipl(std::string elf, PiplDamage damage) {
  const std::size_t header = SectionHeaderAt(elf, ".pipl");
  if (header == 0) return elf;
  if (damage == PiplDamage::CutOff) {
    WriteLittle(elf, header + 24, 8, elf.size() - 4);
  } else {
    WriteLittle(elf, ReadLittle(elf, header + 24, 8) + 4, 4, ReadLittle(elf, header + 32, 8));
  }
  return elf;
}
