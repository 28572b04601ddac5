#include "platform/rtl/CommandLine.h"

#include <fstream>
#include <iterator>
#include <mutex>

#include "platform/rtl/Module.h"

namespace {

// The process's own arguments, without the program name.
std::vector<AnsiString> ReadProcessArguments() {
  std::ifstream file("/proc/self/cmdline", std::ios::binary);
  const std::string all((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::vector<AnsiString> arguments;
  size_t at = 0;
  while (at < all.size()) {
    size_t end = all.find('\0', at);
    if (end == std::string::npos) end = all.size();
    arguments.push_back(all.substr(at, end - at));
    at = end + 1;
  }
  if (!arguments.empty()) arguments.erase(arguments.begin());
  return arguments;
}

struct Params {
  std::once_flag read;
  std::vector<AnsiString> arguments;
};

Params& ProcessParams() {
  static Params params;
  std::call_once(params.read, [] { params.arguments = ReadProcessArguments(); });
  return params;
}

}  // namespace

int ParamCount() { return static_cast<int>(ProcessParams().arguments.size()); }

AnsiString ParamStr(int index) {
  if (index == 0) return ModuleFileName(nullptr);
  const std::vector<AnsiString>& arguments = ProcessParams().arguments;
  if (index < 0 || index > static_cast<int>(arguments.size())) return AnsiString();
  return arguments[static_cast<size_t>(index) - 1];
}

void SetParams(const std::vector<AnsiString>& arguments) { ProcessParams().arguments = arguments; }
