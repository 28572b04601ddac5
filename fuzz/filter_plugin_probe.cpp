// Filter plug-in files from untrusted bytes, as the plug-in scan meets them in the plug-in
// folder: the probe reads the ELF header, the section table and names, the dynamic symbols and
// the PiPL and PiMI records. Properties: it never reads outside the input; every filter it
// reports names the file, an entry after "#" and a title; a file that is not an x86-64 shared
// object is never readable.

#include <cstdint>
#include <string>

#include "fuzz/support/FuzzCheck.h"
#include "quillo/plugins/FilterPluginProbe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const AnsiString path = "/plugins/fuzzed.8bf";
  const bool readable = ProbeAdobeModuleBytes(path, bytes, [&](const AnsiString& identifier, const AnsiString&,
                                                               const AnsiString& title) {
    CHECK(identifier.rfind(path + "#", 0) == 0);
    CHECK(identifier.size() > path.size() + 1);
    CHECK(!title.empty());
    return 0;
  });
  if (size < 20 || bytes.compare(0, 4, "\x7f" "ELF") != 0) CHECK(!readable);
  return 0;
}
