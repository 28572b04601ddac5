// The SMTP component against a server of the test's own: a missing attachment is named and
// nothing goes out; a message without a recipient asks its handler, which may supply one, and
// is then sent; a missing sender without a handler fails.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

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

}  // namespace
