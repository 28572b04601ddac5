// Sending the picture by e-mail as a user does, to a real SMTP server of the test's own on a
// loopback port: what arrives (headers, body, the one attachment), what the question says,
// the failures the dialog reports and stays open for, and the attachment's folder cleared.

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "../shell/ProgramFixture.h"
#include "platform/rtl/RegistryApi.h"
#include "platform/user/ThreadInbox.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Memo.h"
#include "platform/vcl/NMSMTP.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/StdButtons.h"
#include "quillo/base/Settings.h"
#include "quillo/document/DocumentList.h"
#include "quillo/document/UDBuffer.h"
#include "quillo/output/MailDefaults.h"
#include "quillo/output/SendImageForm.h"
#include "support/SmtpTestServer.h"
#include "vorlen/formats/png/LibpngReference.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  if (fs::is_directory(folder))
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  return names;
}

class SendImageFormTest : public ProgramTest {
protected:
  SendImageFormTest() {
    temp_ = home.Path() + "/tmp";
    fs::create_directories(temp_);
    if (const char* old = std::getenv("TMPDIR")) oldTemp_ = old;
    ::setenv("TMPDIR", temp_.c_str(), 1);
  }
  ~SendImageFormTest() override {
    ForgetMailPassword();
    if (oldTemp_.empty())
      ::unsetenv("TMPDIR");
    else
      ::setenv("TMPDIR", oldTemp_.c_str(), 1);
  }
  static TSendImageForm* Dialog() {
    for (int i = 0; i < Screen()->FormCount(); ++i)
      if (auto* d = dynamic_cast<TSendImageForm*>(Screen()->Forms(i)); d && d->GetVisible()) return d;
    return nullptr;
  }
  void Press(TButton* button) {
    const POINT at = UiDriver::At(button->GetHandle(), button->GetWidth() / 2, button->GetHeight() / 2);
    ui.QueueClick(at.x, at.y);
  }
  // Fills the dialog for the server and presses Send; message boxes are answered by
  // `answer` (Yes to the size question unless told) and recorded in boxes.
  void FillAndSend(const SmtpTestServer& server, const std::function<void(TSendImageForm*)>& change = {}) {
    ui.WhenModalWaits([&server, change, this] {
      TSendImageForm* d = Dialog();
      ASSERT_NE(d, nullptr);
      d->FromEdit->SetText("ann@example.org");
      d->FromNameEdit->SetText("Ann Example");
      d->ReplyToEdit->SetText("answers@example.org");
      d->ToEdit->SetText("bob@example.org");
      d->SubjectEdit->SetText("Pictures");
      d->Body->GetLines()->Add("Line one");
      d->Body->GetLines()->Add("Line two");
      d->SMTPServerEdit->SetText(server.Address());
      if (server.Port() > 0 && fs::exists(server.CertificateFile())) d->SMTP->CACertFile = server.CertificateFile();
      if (change) change(d);
      Press(d->SendBtn);
    });
  }
  // Runs `action` at the first wait of a modal loop (the dialog's, a box's, or the one that
  // keeps the window alive while a message goes out) at which `ready` holds; until then each
  // such wait looks again after the next post from the sending thread.
  void When(std::function<bool()> ready, std::function<void()> action) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    Retry(std::move(ready), std::move(action), deadline);
  }
  void Retry(std::function<bool()> ready, std::function<void()> action, std::chrono::steady_clock::time_point deadline) {
    ui.WhenModalWaits([this, ready, action, deadline] {
      if (ready()) return action();
      if (std::chrono::steady_clock::now() > deadline) {
        ADD_FAILURE() << "what the test waited for never showed";
        if (TSendImageForm* d = Dialog()) {
          d->SMTP->Abort();
          d->SetModalResult(mrCancel);
        }
        return;
      }
      Inbox().WaitForPost(50);
      Retry(ready, action, deadline);
    });
  }
  static bool Sending() { return Dialog() != nullptr && Dialog()->SMTP->Connected(); }
  static bool Idle() { return Dialog() != nullptr && !Dialog()->SMTP->Connected(); }
  static std::string Status() { return Dialog() ? Dialog()->StatusLabel->GetCaption() : std::string(); }
  void AnswerBoxes(int sizeAnswer = IDYES) {
    ui.OnMessageBox([this, sizeAnswer](const std::string& text, const std::string&, UINT) {
      boxes.push_back(text);
      return text.rfind("The attachment is ", 0) == 0 ? sizeAnswer : IDOK;
    });
  }
  std::string Headers(const SmtpTestServer& server, int n = 1) const {
    return FileContents(server.Folder() + "/" + std::to_string(n) + ".headers");
  }
  std::string Part(const SmtpTestServer& server, const std::string& name, int n = 1) const {
    return FileContents(server.Folder() + "/" + std::to_string(n) + ".parts/" + name);
  }
  std::vector<std::string> Parts(const SmtpTestServer& server, int n = 1) const {
    return FilesIn(server.Folder() + "/" + std::to_string(n) + ".parts");
  }
  static std::string SizeQuestion(size_t bytes) {
    return "The attachment is " + std::to_string(bytes) + " bytes long. Send it?";
  }

  std::vector<std::string> boxes;
  std::string temp_;
  std::string oldTemp_;

  // Starts on the file, paints the picture's top-left corner and sends it: the names of the
  // parts that arrived and the first part's bytes.
  struct Sent {
    std::vector<std::string> parts;
    std::string first;
  };
  Sent SendChangedPicture(const std::string& picture) {
    Start({picture});
    SmtpTestServer server(home.Path() + "/mail");
    EXPECT_TRUE(server.Ready());
    CurrentPicture->Box(Rect(0, 0, 9, 9), 0xF0E0D0);
    MarkPictureChanged();
    AnswerBoxes();
    FillAndSend(server);
    ShowSendImageForm();
    Sent sent{Parts(server), {}};
    if (!sent.parts.empty()) sent.first = Part(server, sent.parts[0]);
    return sent;
  }
};

TEST_F(SendImageFormTest, UntitledPictureArrivesAsAPngWithTheMessage) {
  Start();
  SmtpTestServer server(home.Path() + "/mail");
  ASSERT_TRUE(server.Ready());
  CurrentPicture->Box(Rect(0, 0, 99, 49), 0xC04020);
  MarkPictureChanged();
  AnswerBoxes();
  FillAndSend(server);
  ShowSendImageForm();
  EXPECT_EQ(Dialog(), nullptr);  // sent: the dialog closed

  const std::string headers = Headers(server);
  EXPECT_NE(headers.find("From: Ann Example <ann@example.org>\n"), std::string::npos) << headers;
  EXPECT_NE(headers.find("To: bob@example.org\n"), std::string::npos);
  EXPECT_NE(headers.find("Subject: Pictures\n"), std::string::npos);
  EXPECT_NE(headers.find("Reply-To: answers@example.org\n"), std::string::npos);
  // A Message-ID in the sender's domain.
  const size_t id = headers.find("Message-ID: <");
  ASSERT_NE(id, std::string::npos) << headers;
  EXPECT_EQ(headers.substr(headers.find('@', id), 14), "@example.org>\n") << headers;
  EXPECT_EQ(FileContents(server.Folder() + "/1.body"), "Line one\r\nLine two\r\n");
  const std::vector<std::string> parts = Parts(server);
  ASSERT_EQ(parts.size(), 1u);
  EXPECT_EQ(parts[0].rfind("Image", 0), 0u);
  EXPECT_EQ(fs::path(parts[0]).extension(), ".png");
  const std::string bytes = Part(server, parts[0]);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], SizeQuestion(bytes.size()));
  const libpng::Result png = libpng::Read(libpng::Bytes(bytes.begin(), bytes.end()));
  ASSERT_EQ(png.width, CurrentPicture->Width());
  ASSERT_EQ(png.height, CurrentPicture->Height());
  EXPECT_EQ(png.rgba[0] & 0xFFFFFF, 0xC04020u);
  EXPECT_EQ(png.rgba[static_cast<size_t>(png.width) * 60 + 200] & 0xFFFFFF, *CurrentPicture->At(200, 60) & 0xFFFFFF);
  // The attachment's folder went with the dialog; the sender and server are kept.
  EXPECT_TRUE(FilesIn(temp_).empty());
  const std::string registry = FileContents(home.Path() + "/registry.txt");
  EXPECT_NE(registry.find("ann@example.org"), std::string::npos);
  EXPECT_NE(registry.find(server.Address()), std::string::npos);
}

TEST_F(SendImageFormTest, SavedJpegGoesAsItsOwnFile) {
  const std::string photo = WriteImage("photo.jpg", 60, 40, 0x2080C0);
  const std::string original = FileContents(photo);
  Start({photo});
  SmtpTestServer server(home.Path() + "/mail");
  ASSERT_TRUE(server.Ready());
  AnswerBoxes();
  FillAndSend(server);
  ShowSendImageForm();
  EXPECT_EQ(Parts(server), std::vector<std::string>{"photo.jpg"});
  EXPECT_EQ(Part(server, "photo.jpg"), original);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], SizeQuestion(original.size()));
  EXPECT_EQ(FileContents(photo), original);
  EXPECT_TRUE(FilesIn(temp_).empty());
}

TEST_F(SendImageFormTest, ChangedPictureGoesUnderItsNameWithItsOwnFormat) {
  const std::string picture = WriteImage("drawing.png", 50, 30, 0x102030);
  const std::string original = FileContents(picture);
  const Sent sent = SendChangedPicture(picture);
  EXPECT_EQ(sent.parts, std::vector<std::string>{"drawing.png"});
  const libpng::Result png = libpng::Read(libpng::Bytes(sent.first.begin(), sent.first.end()));
  EXPECT_EQ(png.width, 50);
  EXPECT_EQ(png.rgba[0] & 0xFFFFFF, 0xF0E0D0u);
  EXPECT_EQ(png.rgba[49] & 0xFFFFFF, 0x102030u);
  // The user's own file is as it was; nothing of the dialog is left.
  EXPECT_EQ(FileContents(picture), original);
  EXPECT_TRUE(FilesIn(temp_).empty());
}

TEST_F(SendImageFormTest, ChangedPictureFromAFileWithoutExtensionGoesAsAPng) {
  const std::string written = WriteImage("drawing.png", 50, 30, 0x102030);
  const std::string picture = home.Path() + "/drawing";
  ASSERT_EQ(std::rename(written.c_str(), picture.c_str()), 0);
  const std::string original = FileContents(picture);
  const Sent sent = SendChangedPicture(picture);
  EXPECT_EQ(sent.parts, std::vector<std::string>{"drawing.png"});
  const libpng::Result png = libpng::Read(libpng::Bytes(sent.first.begin(), sent.first.end()));
  EXPECT_EQ(png.width, 50);
  EXPECT_EQ(png.rgba[0] & 0xFFFFFF, 0xF0E0D0u);
  EXPECT_EQ(FileContents(picture), original);
  EXPECT_TRUE(FilesIn(temp_).empty());
}

TEST_F(SendImageFormTest, ASendStoppedAtAnEmptyFieldLeavesTheUsersFile) {
  const std::string picture = WriteImage("drawing.png", 30, 20, 0x405060);
  const std::string original = FileContents(picture);
  Start({picture});
  CurrentPicture->Box(Rect(0, 0, 4, 4), 0x00FF00);
  MarkPictureChanged();
  SmtpTestServer server(home.Path() + "/mail");
  ASSERT_TRUE(server.Ready());
  // The first press writes the attachment and is answered No; the second stops at the empty
  // recipient, naming the picture's own file as the attachment; then the dialog closes.
  AnswerBoxes(IDNO);
  FillAndSend(server);
  ui.WhenModalWaits([this] {
    TSendImageForm* d = Dialog();
    ASSERT_NE(d, nullptr);
    EXPECT_FALSE(d->TempFolder().empty());
    d->ToEdit->SetText("");
    Press(d->SendBtn);
  });
  ui.WhenModalWaits([this] {
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_EQ(Dialog()->GetActiveControl(), Dialog()->ToEdit);
    Press(Dialog()->CancelBtn);
  });
  ShowSendImageForm();
  EXPECT_EQ(FileContents(picture), original);
  EXPECT_TRUE(FilesIn(temp_).empty());
  EXPECT_FALSE(fs::exists(server.Folder() + "/1.eml"));
}

TEST_F(SendImageFormTest, NoToTheQuestionSendsNothing) {
  Start({WriteImage("photo.jpg", 20, 20, 0x808080)});
  SmtpTestServer server(home.Path() + "/mail");
  ASSERT_TRUE(server.Ready());
  AnswerBoxes(IDNO);
  FillAndSend(server);
  ui.WhenModalWaits([this] {
    ASSERT_NE(Dialog(), nullptr);
    Press(Dialog()->CancelBtn);
  });
  ShowSendImageForm();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_FALSE(fs::exists(server.Folder() + "/1.eml"));
}

TEST_F(SendImageFormTest, EachFailureIsNamedAndTheDialogStays) {
  struct Case {
    const char* what;
    SmtpTestServer::Mode mode;
    const char* refuse;
    const char* login;
    bool serverGone;
    const char* message;
  };
  const Case cases[] = {
      {"refused connection", SmtpTestServer::Mode::Normal, "", "", true,
       "The mail server refused the connection. Check the server's name and port."},
      {"refused recipient", SmtpTestServer::Mode::Normal, "bob", "", false,
       "The recipient bob@example.org is unknown to the mail server."},
      {"no answer", SmtpTestServer::Mode::Silent, "", "", false,
       "The mail server did not answer. The message was not sent."},
      {"refused login", SmtpTestServer::Mode::Normal, "", "ann:secret", false,
       "The mail server did not accept the user ID and password. The message was not sent."},
      {"untrusted certificate", SmtpTestServer::Mode::StartTls, "", "", false,
       "The secure connection to the mail server failed (its certificate is not trusted or the encryption did not "
       "agree). The message was not sent."},
  };
  Start({WriteImage("photo.jpg", 20, 20, 0x808080)});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    boxes.clear();
    auto server = std::make_unique<SmtpTestServer>(home.Path() + "/mail-" + c.what, c.mode, c.refuse, c.login);
    ASSERT_TRUE(server->Ready());
    const std::string address = server->Address();
    if (c.serverGone) server.reset();
    AnswerBoxes();
    bool stayed = false, toFocused = false;
    const auto closeWhenDone = [&] {
      When(Idle, [&] {
        TSendImageForm* d = Dialog();
        stayed = d != nullptr;
        toFocused = d->GetActiveControl() == d->ToEdit;
        Press(d->CancelBtn);
      });
    };
    ui.WhenModalWaits([&] {
      TSendImageForm* d = Dialog();
      ASSERT_NE(d, nullptr);
      d->ToEdit->SetText("bob@example.org");
      d->FromEdit->SetText("ann@example.org");
      d->SMTPServerEdit->SetText(address);
      // Only the silent server is to be given up on soon; the others answer, however slowly.
      if (c.mode == SmtpTestServer::Mode::Silent) d->SMTP->TimeOut = 400;
      Press(d->SendBtn);
      if (c.login[0] == '\0') return closeWhenDone();
      // The server wants a login: the user gives up at the box that asks for the user ID.
      When([] { return Screen()->ActiveForm() != Dialog(); }, [&] {
        ui.QueuePress(VK_ESCAPE);
        closeWhenDone();
      });
    });
    ShowSendImageForm();
    EXPECT_TRUE(stayed);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1], c.message);
    EXPECT_EQ(toFocused, c.refuse[0] != '\0');
    EXPECT_TRUE(FilesIn(temp_).empty());
    if (server) {
      EXPECT_FALSE(fs::exists(server->Folder() + "/1.eml"));
    }
  }
}

// A server that takes the connection and never answers: the dialog repaints, shows that it is
// connecting, and Cancel stops the send at once, keeping the dialog and saying so.
TEST_F(SendImageFormTest, CancelStopsASendToASilentServerAndTheWindowLives) {
  Start({WriteImage("photo.jpg", 20, 20, 0x808080)});
  SmtpTestServer server(home.Path() + "/mail", SmtpTestServer::Mode::Silent);
  ASSERT_TRUE(server.Ready());
  AnswerBoxes();
  FillAndSend(server, [](TSendImageForm* d) { d->SMTP->TimeOut = 10 * 60 * 1000; });
  std::string statusWhileSending, statusAfter;
  bool repainted = false, stillSending = false, stayed = false;
  ui.WhenModalWaits([&] {
    ASSERT_TRUE(Sending());
    statusWhileSending = Status();
    InvalidateRect(Dialog()->GetHandle(), nullptr, TRUE);
    When([] { RECT r{}; return !GetUpdateRect(Dialog()->GetHandle(), &r, FALSE); }, [&] {
      repainted = true;
      stillSending = Sending();
      Press(Dialog()->CancelBtn);
      When(Idle, [&] {
        stayed = Dialog()->GetVisible();
        statusAfter = Status();
        Press(Dialog()->CancelBtn);
      });
    });
  });
  ShowSendImageForm();
  EXPECT_EQ(statusWhileSending, "Connecting to the mail server...");
  EXPECT_TRUE(repainted);
  EXPECT_TRUE(stillSending);
  EXPECT_TRUE(stayed);
  EXPECT_EQ(statusAfter, "Sending was cancelled.");
  EXPECT_EQ(boxes.size(), 1u) << boxes.back();  // the size question only: a cancelled send says nothing more
  EXPECT_EQ(Dialog(), nullptr);
  EXPECT_TRUE(FilesIn(temp_).empty());
}

// A server that answers a byte at a time: the message arrives whole while the dialog shows
// how far the send is.
TEST_F(SendImageFormTest, ASlowServerGetsTheMessageWhileTheDialogShowsProgress) {
  Start({WriteImage("photo.jpg", 20, 20, 0x808080)});
  SmtpTestServer server(home.Path() + "/mail", SmtpTestServer::Mode::Drip);
  ASSERT_TRUE(server.Ready());
  AnswerBoxes();
  FillAndSend(server);
  std::string statusWhileSending;
  ui.WhenModalWaits([&] { statusWhileSending = Status(); });
  ShowSendImageForm();
  // However far the send came when the dialog first waited, its status says where it is.
  const bool showsProgress = statusWhileSending == "Connecting to the mail server..." ||
                             statusWhileSending.rfind("Sending the message:", 0) == 0 ||
                             statusWhileSending == "Waiting for the mail server's answer...";
  EXPECT_TRUE(showsProgress) << statusWhileSending;
  EXPECT_EQ(Dialog(), nullptr);  // sent: the dialog closed
  EXPECT_EQ(Parts(server), std::vector<std::string>{"photo.jpg"});
  EXPECT_NE(Headers(server).find("Subject: Pictures\n"), std::string::npos);
}

TEST_F(SendImageFormTest, StartTlsCarriesTheMessageWhenOffered) {
  Start({WriteImage("photo.jpg", 20, 20, 0x808080)});
  SmtpTestServer server(home.Path() + "/mail", SmtpTestServer::Mode::StartTls);
  ASSERT_TRUE(server.Ready());
  AnswerBoxes();
  FillAndSend(server);
  ShowSendImageForm();
  EXPECT_NE(Headers(server).find("TLS: yes\n"), std::string::npos) << Headers(server);
  EXPECT_EQ(Parts(server), std::vector<std::string>{"photo.jpg"});
}

TEST_F(SendImageFormTest, LineBreaksSplitNoHeaderAndNonAsciiArrivesIntact) {
  Start({WriteImage("photo.jpg", 20, 20, 0x808080)});
  SmtpTestServer server(home.Path() + "/mail");
  ASSERT_TRUE(server.Ready());
  AnswerBoxes();
  FillAndSend(server, [](TSendImageForm* d) {
    d->FromNameEdit->SetText("Zoë Ærøskøbing");
    d->SubjectEdit->SetText("Grüße\r\nBcc: eve@example.org");
    d->ReplyToEdit->SetText("answers@example.org\nX-Extra: 1");
  });
  ShowSendImageForm();
  const std::string headers = Headers(server);
  EXPECT_NE(headers.find("From: Zoë Ærøskøbing <ann@example.org>\n"), std::string::npos) << headers;
  EXPECT_NE(headers.find("Subject: Grüße  Bcc: eve@example.org\n"), std::string::npos) << headers;
  const std::string names = headers.substr(headers.find("Headers: "));
  EXPECT_EQ(names.find("Bcc"), std::string::npos) << names;
  EXPECT_EQ(names.find("X-Extra"), std::string::npos) << names;
}

TEST_F(SendImageFormTest, ServerWantingALoginGetsTheUserAndPasswordAsked) {
  Start({WriteImage("photo.jpg", 20, 20, 0x808080)});
  SmtpTestServer server(home.Path() + "/mail", SmtpTestServer::Mode::Normal, "", "ann:secret");
  ASSERT_TRUE(server.Ready());
  AnswerBoxes();
  FillAndSend(server, [](TSendImageForm* d) { d->UserIDEdit->SetText("wrong"); });
  // The user ID box starts from the field; then the password.
  std::string offered;
  // Each box shows once the server has asked for the login.
  const auto boxShows = [] {
    TCustomForm* box = Screen()->ActiveForm();
    return box != nullptr && box != Dialog() && box->FindComponent("Value") != nullptr;
  };
  const auto answer = [this](const std::string& text, std::string* shown) {
    auto* edit = dynamic_cast<TEdit*>(Screen()->ActiveForm()->FindComponent("Value"));
    ASSERT_NE(edit, nullptr);
    if (shown) *shown = edit->GetText();
    edit->SetText(text);
    ui.QueuePress(VK_RETURN);
  };
  When(boxShows, [&] {
    answer("ann", &offered);
    When(boxShows, [&] { answer("secret", nullptr); });
  });
  ShowSendImageForm();
  EXPECT_EQ(offered, "wrong");
  EXPECT_EQ(Parts(server), std::vector<std::string>{"photo.jpg"});
  // The user ID is kept with the dialog's fields; the password is not.
  EXPECT_EQ(FileContents(home.Path() + "/registry.txt").find("secret"), std::string::npos);
}

// Typing straight after a click into the body, before the program has had a moment to catch
// up: the click decides where the keys go, so every character lands in the body.
TEST_F(SendImageFormTest, KeysTypedRightAfterAClickGoWhereTheClickWas) {
  Start({WriteImage("photo.jpg", 20, 20, 0x808080)});
  POINT body{};
  ui.WhenModalWaits([&] {
    body = UiDriver::At(Dialog()->Body->GetHandle(), 20, 20);
    Press(Dialog()->CancelBtn);
  });
  ShowSendImageForm();
  const auto typeAfterClick = [this](POINT at) {
    ui.QueueClick(at.x, at.y);
    for (const char c : std::string("hi")) {
      InputEvent key;
      key.kind = InputEvent::Kind::KeyDown;
      key.vk = std::toupper(c);
      ui.Inject(key);
      InputEvent text;
      text.kind = InputEvent::Kind::Text;
      text.text = std::string(1, c);
      ui.Inject(text);
      key.kind = InputEvent::Kind::KeyUp;
      ui.Inject(key);
    }
  };
  for (const bool atOnce : {true, false}) {
    SCOPED_TRACE(atOnce ? "as the dialog opens" : "after typing in the subject");
    std::string subject, to, from, text;
    if (atOnce) typeAfterClick(body);
    ui.WhenModalWaits([&] {
      TSendImageForm* d = Dialog();
      if (atOnce) return;
      d->SubjectEdit->SetFocus();
      typeAfterClick(body);
    });
    ui.WhenModalWaits([&] {
      TSendImageForm* d = Dialog();
      subject = d->SubjectEdit->GetText();
      to = d->ToEdit->GetText();
      from = d->FromEdit->GetText();
      text = d->Body->GetText();
      Press(d->CancelBtn);
    });
    ShowSendImageForm();
    EXPECT_EQ(subject + to + from, "");
    EXPECT_EQ(text.substr(0, 2), "hi");
  }
}

// The mail program's registry keys, as each of the three keeps them.
void SetString(HKEY root, const std::string& key, const char* name, const std::string& value) {
  HKEY k = nullptr;
  ASSERT_EQ(RegCreateKeyEx(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr), ERROR_SUCCESS);
  RegSetValueEx(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), static_cast<DWORD>(value.size() + 1));
  RegCloseKey(k);
}

TEST_F(SendImageFormTest, EmptyFieldsTakeTheMailProgramsSettings) {
  Start();
  const std::string command = "mailto\\shell\\open\\command";
  struct Source {
    const char* handler;
    std::function<void()> store;
  };
  const std::string prefsFolder = home.Path() + "/netscape";
  const Source sources[] = {
      {"C:\\Program Files\\Netscape\\NETSCAPE.EXE -mail",
       [&] {
         SetString(HKEY_CURRENT_USER, "Software\\Netscape\\Netscape Navigator\\biff", "CurrentUser", "ann");
         SetString(HKEY_CURRENT_USER, "Software\\Netscape\\Netscape Navigator\\Main", "Install Directory", prefsFolder);
         fs::create_directories(prefsFolder + "/users/ann");
         std::ofstream(prefsFolder + "/users/ann/prefs.js")
             << "user_pref(\"mail.identity.useremail\", \"ann@example.org\");\n"
                "user_pref(\"mail.identity.username\", \"Ann Example\");\n"
                "user_pref(\"mail.identity.reply_to\" , \"ignored@example.org\");\n"
                "user_pref(\"mail.identity.reply_to\", \"answers@example.org\");\n"
                "user_pref(\"mail.smtp_name\", \"ann\");\n"
                "user_pref(\"network.hosts.smtp_server\", \"mail.example.org\");\n";
       }},
      {"rundll32.exe C:\\WINDOWS\\SYSTEM\\MAILNEWS.DLL,Mail_RunDLL",
       [&] {
         const std::string key = "Software\\Microsoft\\Internet Mail and News\\Mail";
         SetString(HKEY_CURRENT_USER, key, "Default SMTP Server", "mail.example.org");
         SetString(HKEY_CURRENT_USER, key, "Sender EMail", "ann@example.org");
         SetString(HKEY_CURRENT_USER, key, "Sender Name", "Ann Example");
         SetString(HKEY_CURRENT_USER, key, "Reply To", "answers@example.org");
         SetString(HKEY_CURRENT_USER, key + "\\POP3\\mail.example.org", "Account", "ann");
       }},
      {"\"C:\\Program Files\\Outlook Express\\msimn.exe\" /mailurl:%1",
       [&] {
         const std::string key = "Software\\Microsoft\\Internet Account Manager";
         SetString(HKEY_CURRENT_USER, key, "Default Mail Account", "00000001");
         const std::string account = key + "\\Accounts\\00000001";
         SetString(HKEY_CURRENT_USER, account, "SMTP Server", "mail.example.org");
         SetString(HKEY_CURRENT_USER, account, "SMTP Display Name", "Ann Example");
         SetString(HKEY_CURRENT_USER, account, "SMTP Email Address", "ann@example.org");
         SetString(HKEY_CURRENT_USER, account, "SMTP Reply To Email Address", "answers@example.org");
         SetString(HKEY_CURRENT_USER, account, "POP3 User Name", "ann");
       }},
  };
  for (const Source& source : sources) {
    SCOPED_TRACE(source.handler);
    SetString(HKEY_CLASSES_ROOT, command, "", source.handler);
    source.store();
    const MailDefaults d = ReadMailProgramDefaults();
    EXPECT_EQ(d.from, "ann@example.org");
    EXPECT_EQ(d.fromName, "Ann Example");
    EXPECT_EQ(d.replyTo, "answers@example.org");
    EXPECT_EQ(d.userId, "ann");
    EXPECT_EQ(d.server, "mail.example.org");
  }

  // In the dialog: the empty fields are filled, a stored one is kept.
  SetString(HKEY_CURRENT_USER, "Software\\Dornick\\QL\\SendForm", "FromEdit_Text", "kept@example.org");
  std::string from, server, user;
  ui.WhenModalWaits([&] {
    TSendImageForm* d = Dialog();
    ASSERT_NE(d, nullptr);
    from = d->FromEdit->GetText();
    server = d->SMTPServerEdit->GetText();
    user = d->UserIDEdit->GetText();
    Press(d->CancelBtn);
  });
  ShowSendImageForm();
  EXPECT_EQ(from, "kept@example.org");
  EXPECT_EQ(server, "mail.example.org");
  EXPECT_EQ(user, "ann");
}

TEST_F(SendImageFormTest, CancelAndEscapeStoreNothing) {
  Start();
  SetString(HKEY_CURRENT_USER, "Software\\Dornick\\QL\\SendForm", "FromEdit_Text", "kept@example.org");
  for (const bool escape : {false, true}) {
    ui.WhenModalWaits([this, escape] {
      TSendImageForm* d = Dialog();
      ASSERT_NE(d, nullptr);
      d->FromEdit->SetText("changed@example.org");
      if (escape)
        ui.QueuePress(VK_ESCAPE);
      else
        Press(d->CancelBtn);
    });
    ShowSendImageForm();
    const std::string registry = FileContents(home.Path() + "/registry.txt");
    EXPECT_NE(registry.find("kept@example.org"), std::string::npos) << escape;
    EXPECT_EQ(registry.find("changed@example.org"), std::string::npos) << escape;
  }
}

TEST_F(SendImageFormTest, NoServerKnownShowsTheAdvancedPart) {
  Settings.Level = 0;
  Start();
  bool shown = false;
  ui.WhenModalWaits([&] {
    TSendImageForm* d = Dialog();
    ASSERT_NE(d, nullptr);
    shown = d->AdvancedShown();
    Press(d->CancelBtn);
  });
  ShowSendImageForm();
  EXPECT_TRUE(shown);
  // With a server stored, a novice starts with it hidden.
  SetString(HKEY_CURRENT_USER, "Software\\Dornick\\QL\\SendForm", "SMTPServerEdit_Text", "mail.example.org");
  ui.WhenModalWaits([&] {
    shown = Dialog()->AdvancedShown();
    Press(Dialog()->CancelBtn);
  });
  ShowSendImageForm();
  EXPECT_FALSE(shown);
}

TEST(MailHeaders, ParsePrefsLineTakesOnlyTheExactPattern) {
  EXPECT_EQ(ParsePrefsLine("user_pref(\"mail.smtp_name\", \"ann\");", "mail.smtp_name"), "ann");
  EXPECT_EQ(ParsePrefsLine("user_pref(\"mail.smtp_name\" , \"ann\");", "mail.smtp_name"), "");
  EXPECT_EQ(ParsePrefsLine("user_pref(\"mail.smtp\", \"ann\");", "mail.smtp_name"), "");
  EXPECT_EQ(MailHeaderText("plain\r\ntext"), "plain  text");
  EXPECT_EQ(MailAddressHeader("", "<ann@example.org>\r\n"), "ann@example.org");
}

}  // namespace
