// Mail program settings and header texts from untrusted bytes. Properties: a value read from a
// prefs.js line is at most 255 characters and holds no double quote; a header text or address
// made from any field is one line (a name or text of ASCII only when it came encoded).

#include <cstdint>
#include <string>

#include "fuzz/support/FuzzCheck.h"
#include "platform/vcl/NMSMTP.h"
#include "quillo/output/MailDefaults.h"

namespace {

bool OneLine(const std::string& text, bool ascii) {
  for (unsigned char c : text)
    if (c == '\r' || c == '\n' || (ascii && c >= 0x80)) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  for (const char* key : {"mail.identity.reply_to", "mail.identity.useremail", "mail.identity.username",
                          "mail.smtp_name", "network.hosts.smtp_server"}) {
    const std::string value = ParsePrefsLine(bytes, key);
    CHECK(value.size() <= 255);
    CHECK(value.find('"') == std::string::npos);
  }
  const size_t half = bytes.size() / 2;
  CHECK(OneLine(MailHeaderText(bytes), true));
  CHECK(OneLine(MailAddressHeader(bytes.substr(0, half), bytes.substr(half)), false));
  return 0;
}
