#include "platform/dialogs/ShellLink.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <sstream>

#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FileSystem.h"
#include "platform/rtl/RegularFile.h"

namespace {

// A desktop entry is a few lines: a larger file is no shortcut of ours.
constexpr std::int64_t kMostShellTextBytes = std::int64_t(1) << 20;

// A string value of an entry: backslash, line breaks and tabs escaped.
std::string EscapeValue(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace

std::string QuoteExecArgument(const std::string& argument) {
  std::string out = "\"";
  for (char c : argument) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
    if (c == '%') out += '%';  // a field code otherwise
    out += c;
  }
  return out + "\"";
}

bool WriteDesktopEntry(const std::string& linkPath, const std::string& target, const std::string& name,
                       const std::string& workingFolder) {
  if (name.empty() || name.find_first_of("\r\n") != std::string::npos || target.empty()) return false;
  const std::string full = ExpandFileName(target);
  struct stat info{};
  const bool program = ::stat(full.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(full.c_str(), X_OK) == 0;
  std::string folder = workingFolder;
  if (folder.empty()) folder = full.substr(0, full.rfind('/'));
  std::string text = "[Desktop Entry]\nVersion=1.0\n";
  text += "Name=" + EscapeValue(name) + "\n";
  if (program) {
    text += "Type=Application\n";
    text += "Exec=" + EscapeValue(QuoteExecArgument(full)) + "\n";
    if (!folder.empty()) text += "Path=" + EscapeValue(folder) + "\n";
    text += "Terminal=false\n";
  } else {
    text += "Type=Link\n";
    text += "URL=file://" + PercentEncodedPath(full) + "\n";
  }
  try {
    AtomicFile::WriteFile(linkPath, text);
  } catch (const Exception&) {
    return false;
  }
  ::chmod(linkPath.c_str(), 0755);
  return true;
}

std::string ReadDesktopEntryKey(const std::string& linkPath, const std::string& key) {
  // A desktop entry is a few lines; anything else at the path is not read.
  std::istringstream in(ReadRegularFile(linkPath, kMostShellTextBytes).text);
  std::string line;
  bool inEntry = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line[0] == '[') {
      inEntry = line == "[Desktop Entry]";
      continue;
    }
    if (inEntry && line.compare(0, key.size() + 1, key + "=") == 0) return line.substr(key.size() + 1);
  }
  return "";
}
