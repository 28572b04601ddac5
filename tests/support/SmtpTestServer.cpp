#include "support/SmtpTestServer.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

SmtpTestServer::SmtpTestServer(const std::string& folder, Mode mode, const std::string& refuse,
                               const std::string& login, const std::string& script)
    : folder_(folder) {
  std::filesystem::create_directories(folder_);
  std::vector<std::string> args = {"/usr/bin/python3", script,
                                   folder_};
  if (mode == Mode::StartTls) args.insert(args.end(), {"--tls", folder_});
  if (mode == Mode::Silent) args.push_back("--silent");
  if (mode == Mode::Drip) args.insert(args.end(), {"--drip", "4"});
  if (!refuse.empty()) args.insert(args.end(), {"--refuse", refuse});
  if (!login.empty()) args.insert(args.end(), {"--login", login});
  int toChild[2], fromChild[2];
  if (pipe(toChild) != 0) return;
  if (pipe(fromChild) != 0) {
    close(toChild[0]);
    close(toChild[1]);
    return;
  }
  pid_ = fork();
  if (pid_ == 0) {
    dup2(toChild[0], 0);
    dup2(fromChild[1], 1);
    close(toChild[1]);
    close(fromChild[0]);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(toChild[0]);
  close(fromChild[1]);
  input_ = toChild[1];
  // Waits for what the server shows: its ready line, or the end of its output.
  std::string line;
  char c = 0;
  while (read(fromChild[0], &c, 1) == 1 && c != '\n') line += c;
  close(fromChild[0]);
  if (line.rfind("READY ", 0) == 0) port_ = std::stoi(line.substr(6));
}

SmtpTestServer::~SmtpTestServer() {
  if (input_ >= 0) close(input_);  // the server stops when its input ends
  if (pid_ > 0) {
    int status = 0;
    if (port_ == 0) kill(pid_, SIGTERM);
    waitpid(pid_, &status, 0);
  }
}
