// The SMTP component against a server of the test's own: a missing attachment is named and
// nothing goes out; a message without a recipient asks its handler, which may supply one, and
// is then sent; a missing sender without a handler fails. Header texts become encoded words of
// at most 75 characters that decode back to the text, whatever its bytes.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/vcl/NMSMTP.h"
#include "support/SmtpTestServer.h"
#include "support/TempHome.h"

namespace {

namespace fs = std::filesystem;

struct Outcomes {
  int successes = 0, failures = 0;
  std::string missingFile;
  std::vector<THeaderInfo> asked;
};

TOwnedPtr<TComponent> Owner() { return MakeObject<TComponent>(nullptr); }

void Watch(TNMSMTP* smtp, Outcomes& seen) {
  smtp->OnSuccess = [&seen](TObject*) { ++seen.successes; };
  smtp->OnFailure = [&seen](TObject*) { ++seen.failures; };
  smtp->OnAttachmentNotFound = [&seen](const AnsiString& file) { seen.missingFile = file; };
}

TEST(NMSMTP, MissingAttachmentIsNamedAndNothingIsSent) {
  TempHome home;
  SmtpTestServer server(home.Path() + "/mail");
  ASSERT_TRUE(server.Ready());
  TOwnedPtr<TComponent> owner = Owner();
  auto* smtp = NewComponent<TNMSMTP>(owner.get());
  Outcomes seen;
  Watch(smtp, seen);
  smtp->Host = server.Address();
  smtp->PostMessage()->FromAddress = "ann@example.org";
  smtp->PostMessage()->ToAddress()->Add("bob@example.org");
  smtp->PostMessage()->Attachments()->Add(home.Path() + "/gone.png");
  smtp->Connect();
  smtp->SendMail();
  smtp->Disconnect();
  EXPECT_EQ(seen.missingFile, home.Path() + "/gone.png");
  EXPECT_EQ(seen.successes, 0);
  EXPECT_FALSE(fs::exists(server.Folder() + "/1.eml"));
}

TEST(NMSMTP, HandlerSuppliesAMissingRecipientAndTheMessageGoes) {
  TempHome home;
  SmtpTestServer server(home.Path() + "/mail");
  ASSERT_TRUE(server.Ready());
  TOwnedPtr<TComponent> owner = Owner();
  auto* smtp = NewComponent<TNMSMTP>(owner.get());
  Outcomes seen;
  Watch(smtp, seen);
  smtp->OnHeaderIncomplete = [&](bool& handled, THeaderInfo info) {
    seen.asked.push_back(info);
    if (info == hiToAddress) {
      smtp->PostMessage()->ToAddress()->Add("bob@example.org");
      handled = true;
    }
  };
  smtp->Host = server.Address();
  smtp->PostMessage()->FromAddress = "ann@example.org";
  smtp->PostMessage()->Subject = "Hello";
  smtp->Connect();
  smtp->SendMail();
  EXPECT_EQ(seen.asked, std::vector<THeaderInfo>{hiToAddress});
  EXPECT_EQ(seen.successes, 1);
  EXPECT_NE(FileContents(server.Folder() + "/1.headers").find("To: bob@example.org\n"), std::string::npos);
  // Sent: the message's fields are cleared for the next one.
  EXPECT_EQ(smtp->PostMessage()->ToAddress()->Count(), 0);

  // No sender and nobody to supply one: a failure, nothing sent.
  smtp->PostMessage()->ToAddress()->Add("bob@example.org");
  smtp->Connect();
  smtp->SendMail();
  EXPECT_EQ(seen.asked.back(), hiFromAddress);
  EXPECT_EQ(seen.failures, 1);
  EXPECT_FALSE(fs::exists(server.Folder() + "/2.eml"));
}

std::string Base64Decoded(const std::string& digits) {
  static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string bytes;
  unsigned bits = 0;
  int count = 0;
  for (char c : digits) {
    const size_t value = alphabet.find(c);
    if (value == std::string::npos) break;  // '=' ends the data
    bits = bits << 6 | static_cast<unsigned>(value);
    count += 6;
    if (count >= 8) {
      count -= 8;
      bytes += static_cast<char>((bits >> count) & 0xFF);
    }
  }
  return bytes;
}

// The encoded words of a header text, each decoded; fails the test on anything else.
std::vector<std::string> DecodedWords(const std::string& header) {
  std::vector<std::string> words;
  size_t at = 0;
  while (at < header.size()) {
    const size_t end = std::min(header.find(' ', at), header.size());
    const std::string word = header.substr(at, end - at);
    EXPECT_LE(word.size(), 75u) << word;
    EXPECT_EQ(word.rfind("=?UTF-8?B?", 0), 0u) << word;
    EXPECT_EQ(word.substr(word.size() - 2), "?=") << word;
    words.push_back(Base64Decoded(word.substr(10, word.size() - 12)));
    at = end + 1;
  }
  return words;
}

std::string Joined(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& w : words) text += w;
  return text;
}

// Bytes 0x80-0xBF in a row (a name from a prefs.js of an 8-bit code page): they start no
// UTF-8 character, so each stands alone, and the text still ends in words of at most 75.
TEST(MailHeaderText, RunsOfStrayContinuationBytesEndInShortWordsThatDecodeBack) {
  for (const int run : {44, 45, 46, 200}) {
    for (const std::string& before : {std::string(), std::string("Jos"), std::string("\xC3\xA9")}) {
      SCOPED_TRACE(std::to_string(run) + " after " + std::to_string(before.size()) + " bytes");
      std::string text = before;
      for (int i = 0; i < run; ++i) text += static_cast<char>(0x80 + i % 64);
      const std::vector<std::string> words = DecodedWords(MailHeaderText(text));
      EXPECT_EQ(Joined(words), text);
      EXPECT_EQ(words.size(), (text.size() + 44) / 45);
      const std::string from = MailAddressHeader(text, "ann@example.org");
      EXPECT_EQ(Joined(DecodedWords(from.substr(0, from.rfind(" <")))), text);
    }
  }
}

TEST(MailHeaderText, CharactersAreNeverCutBetweenWords) {
  struct Case {
    const char* what;
    std::string character;
  };
  const Case cases[] = {{"two bytes", "\xC3\xA9"}, {"three bytes", "\xE2\x82\xAC"}, {"four bytes", "\xF0\x9F\x98\x80"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string text = "a";
    for (int i = 0; i < 40; ++i) text += c.character;
    const std::vector<std::string> words = DecodedWords(MailHeaderText(text));
    EXPECT_EQ(Joined(words), text);
    for (size_t i = 1; i < words.size(); ++i) EXPECT_EQ(words[i].rfind(c.character, 0), 0u) << i;
  }
}

TEST(MailMessageId, DomainFromTheSenderElseTheHostAndNeverTheSameTwice) {
  char host[256] = {};
  ASSERT_EQ(gethostname(host, sizeof host - 1), 0);
  const std::string local = std::string(host).find_first_of(" ()<>[]:;@\\,\"") == std::string::npos ? host : "localhost";
  struct Case {
    const char* from;
    std::string domain;
  };
  const Case cases[] = {
      {"ann@example.org", "example.org"},
      {" <ann@mail.example.org>\r\n", "mail.example.org"},
      {"ann", local},
      {"ann@", local},
      {"ann@bad domain", local},
      {"ann@[10.0.0.1]", local},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from);
    const std::string id = MailMessageId(c.from);
    ASSERT_GE(id.size(), 4u);
    EXPECT_EQ(id.front(), '<');
    EXPECT_EQ(id.substr(id.rfind('@')), "@" + c.domain + ">");
    EXPECT_EQ(id.find_first_of(" \r\n\"(),:;[]\\"), std::string::npos) << id;
  }
  std::set<std::string> seen;
  for (int i = 0; i < 2000; ++i) seen.insert(MailMessageId("ann@example.org"));
  EXPECT_EQ(seen.size(), 2000u);
}

}  // namespace
