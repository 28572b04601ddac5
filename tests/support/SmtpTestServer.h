#pragma once
// A private SMTP server for one test (tests/support/smtp_server.py under the system's
// Python): it listens on a loopback port it picks itself, and the constructor returns once
// the server has said it is ready. Messages it takes are written to Folder() (see the script).
// The server ends when the object goes.

#include <sys/types.h>

#include <string>

// The script in the source tree, as the test programs know it.
#ifdef QUILLO_SOURCE_DIR
inline std::string SmtpServerScript() { return std::string(QUILLO_SOURCE_DIR) + "/tests/support/smtp_server.py"; }
#else
std::string SmtpServerScript();
#endif

class SmtpTestServer {
public:
  // Silent: takes connections and never answers (a hung server). Drip: answers one byte
  // every few milliseconds (a slow line).
  enum class Mode { Normal, StartTls, Silent, Drip };
  // refuse: recipients containing this text are answered 550. login "user:password": mail
  // is taken only after that login.
  SmtpTestServer(const std::string& folder, Mode mode = Mode::Normal, const std::string& refuse = "",
                 const std::string& login = "", const std::string& script = SmtpServerScript());
  ~SmtpTestServer();
  SmtpTestServer(const SmtpTestServer&) = delete;
  SmtpTestServer& operator=(const SmtpTestServer&) = delete;

  bool Ready() const { return port_ > 0; }
  int Port() const { return port_; }
  std::string Address() const { return "127.0.0.1:" + std::to_string(port_); }
  const std::string& Folder() const { return folder_; }
  // The certificate the server shows in StartTls mode.
  std::string CertificateFile() const { return folder_ + "/cert.pem"; }

private:
  std::string folder_;
  pid_t pid_ = -1;
  int input_ = -1;
  int port_ = 0;
};
