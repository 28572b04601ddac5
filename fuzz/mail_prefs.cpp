// Mail program settings and header texts from untrusted bytes. Properties: a value read from a
// prefs.js line is at most 255 characters and holds no double quote; a header text or address
// made from any field is one line (a name or text of ASCII only when it came encoded), and no
// encoded word in it is longer than the 75 characters RFC 2047 allows.

#include <algorithm>
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

// A text made of encoded words alone, separated by single spaces, each at most 75 characters.
bool EncodedWordsOnly(const std::string& text) {
  size_t at = 0;
  while (at <= text.size()) {
    const size_t end = std::min(text.find(' ', at), text.size());
    const std::string word = text.substr(at, end - at);
    if (word.size() > 75 || word.rfind("=?UTF-8?B?", 0) != 0 || word.size() < 12 ||
        word.compare(word.size() - 2, 2, "?=") != 0)
      return false;
    at = end + 1;
  }
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
  const std::string text = MailHeaderText(bytes);
  CHECK(OneLine(text, true));
  const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](unsigned char c) { return c < 0x80; });
  if (!ascii) CHECK(EncodedWordsOnly(text));
  CHECK(OneLine(MailAddressHeader(bytes.substr(0, half), bytes.substr(half)), false));
  return 0;
}
