#include "quillo/output/MailDefaults.h"

#include <sstream>
#include <string>

#include "platform/rtl/RegularFile.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Registry.h"

namespace {

constexpr size_t kMaxPrefsLine = 254;
constexpr size_t kMaxPrefsValue = 255;
// A mail program's preferences run to some hundred kilobytes; a larger file is not read.
constexpr std::int64_t kMostPrefsBytes = std::int64_t(4) << 20;

// A registry key opened for reading only, never made.
class ReadKey {
public:
  ReadKey(HKEY root, const AnsiString& key) : registry_(MakeObject<TRegistry>(KEY_READ)) {
    registry_->SetRootKey(root);
    open_ = registry_->OpenKeyReadOnly(key);
  }
  bool Open() const { return open_; }
  AnsiString String(const AnsiString& name) const {
    return open_ && registry_->ValueExists(name) ? registry_->ReadString(name) : AnsiString();
  }

private:
  TOwnedPtr<TRegistry> registry_;
  bool open_ = false;
};

bool KeyExists(const AnsiString& key) { return ReadKey(HKEY_CURRENT_USER, key).Open(); }

void ReadNetscapePrefs(MailDefaults& d) {
  const AnsiString user = ReadKey(HKEY_CURRENT_USER, "\\Software\\Netscape\\Netscape Navigator\\biff").String("CurrentUser");
  const AnsiString folder =
      ReadKey(HKEY_CURRENT_USER, "\\Software\\Netscape\\Netscape Navigator\\Main").String("Install Directory");
  // The defaults are a convenience: a file that is no regular file or too large is left unread.
  RegularFileText file = ReadRegularFile(folder + "/users/" + user + "/prefs.js", kMostPrefsBytes);
  std::istringstream prefs(std::move(file.text));
  std::string line;
  while (std::getline(prefs, line)) {
    if (line.size() > kMaxPrefsLine) line.resize(kMaxPrefsLine);
    struct Field {
      const char* key;
      AnsiString* value;
    };
    for (const Field& f : {Field{"mail.identity.reply_to", &d.replyTo}, Field{"mail.identity.useremail", &d.from},
                           Field{"mail.identity.username", &d.fromName}, Field{"mail.smtp_name", &d.userId},
                           Field{"network.hosts.smtp_server", &d.server}}) {
      const AnsiString value = ParsePrefsLine(line, f.key);
      if (!value.empty()) {
        *f.value = value;
        break;
      }
    }
  }
}

void ReadInternetMail(MailDefaults& d) {
  const ReadKey mail(HKEY_CURRENT_USER, "\\Software\\Microsoft\\Internet Mail and News\\Mail");
  d.server = mail.String("Default SMTP Server");
  d.from = mail.String("Sender EMail");
  d.fromName = mail.String("Sender Name");
  d.replyTo = mail.String("Reply To");
  d.userId = ReadKey(HKEY_CURRENT_USER, "\\Software\\Microsoft\\Internet Mail and News\\Mail\\POP3\\" + d.server)
                 .String("Account");
}

void ReadAccountManager(MailDefaults& d) {
  const AnsiString account =
      ReadKey(HKEY_CURRENT_USER, "\\Software\\Microsoft\\Internet Account Manager").String("Default Mail Account");
  const ReadKey key(HKEY_CURRENT_USER, "\\Software\\Microsoft\\Internet Account Manager\\Accounts\\" + account);
  d.server = key.String("SMTP Server");
  d.fromName = key.String("SMTP Display Name");
  d.from = key.String("SMTP Email Address");
  d.replyTo = key.String("SMTP Reply To Email Address");
  d.userId = key.String("POP3 User Name");
}

}  // namespace

AnsiString ParsePrefsLine(const AnsiString& line, const AnsiString& key) {
  const AnsiString pattern = "user_pref(\"" + key + "\",";
  const size_t at = line.find(pattern);
  if (at == AnsiString::npos) return AnsiString();
  const AnsiString rest = line.substr(at + pattern.size());
  const size_t quote = rest.find('"');
  if (quote == AnsiString::npos) return AnsiString();
  AnsiString value = rest.substr(quote + 1, kMaxPrefsValue);
  const size_t end = value.find('"');
  if (end != AnsiString::npos) value.resize(end);
  return value;
}

MailDefaults ReadMailProgramDefaults() {
  MailDefaults d;
  const AnsiString command = LowerCase(ReadKey(HKEY_CLASSES_ROOT, "\\mailto\\shell\\open\\command").String(""));
  if (command.find("netscape.exe") != AnsiString::npos && KeyExists("Software\\Netscape\\Netscape Navigator\\biff"))
    ReadNetscapePrefs(d);
  else if (command.find("mailnews.dll") != AnsiString::npos &&
           KeyExists("\\Software\\Microsoft\\Internet Mail and News\\Mail"))
    ReadInternetMail(d);
  else if (command.find("msimn.exe") != AnsiString::npos && KeyExists("\\Software\\Microsoft\\Internet Account Manager"))
    ReadAccountManager(d);
  return d;
}
