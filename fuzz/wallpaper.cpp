// Desktop wallpaper files from untrusted bytes: the input is written to a file, set as the
// wallpaper and painted on a small desktop; a file that is no readable bitmap leaves the
// plain desktop colour.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/user/Desktop.h"

namespace {

std::string TempFile() {
  static std::string path = [] {
    char name[] = "/tmp/quillo-wallpaper-XXXXXX";
    int fd = mkstemp(name);
    if (fd >= 0) close(fd);
    return std::string(name);
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static bool started = [] {
    DesktopConfig config;
    config.width = 96;
    config.height = 64;
    RestartDesktop(config, "headless");
    return true;
  }();
  (void)started;
  std::string path = TempFile();
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);
  SystemParametersInfo(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(path.c_str()), 0);
  SystemParametersInfo(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(""), 0);
  std::remove(path.c_str());
  return 0;
}
