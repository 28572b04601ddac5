#include "quillo/shell/StartUpReport.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/rtl/AtomicFile.h"
#include "platform/vcl/Application.h"

std::string StartUpReportText() {
  static const char* const kKeys[] = {"VmRSS:", "VmHWM:", "RssAnon:", "RssFile:", "RssShmem:", "Threads:"};
  std::string lines[std::size(kKeys)];
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    for (std::size_t i = 0; i < std::size(kKeys); ++i)
      if (lines[i].empty() && line.rfind(kKeys[i], 0) == 0) lines[i] = line + "\n";
  std::string text;
  for (const std::string& line : lines) text += line;
  return text;
}

void InstallStartUpReport(TApplication& app) {
  const char* path = std::getenv("QUILLO_STARTUP_REPORT");
  if (!path || !*path) return;
  app.OnIdle = [file = std::string(path), written = false](TObject*, bool&) mutable {
    if (written) return;
    written = true;
    try {
      AtomicFile::WriteFile(file, StartUpReportText());
    } catch (const std::exception&) {
      // A report that cannot be written leaves the program as it is.
    }
  };
}
