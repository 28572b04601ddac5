#pragma once
// The sample filter plug-ins the build makes for these tests (tests/filter-plugins), by name.

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
