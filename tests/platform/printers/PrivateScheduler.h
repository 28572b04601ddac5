#pragma once
// A CUPS scheduler of the test's own: cupsd in the foreground with its configuration, spool
// and state in a temporary folder, listening on a local socket there, file devices allowed.
// CUPS_SERVER points at it while it runs; it is stopped (and its folder removed) at the end.
// Where cupsd cannot start, Running() is false and Why() says why.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>

class PrivateScheduler {
public:
  PrivateScheduler() {
    char pattern[] = "/tmp/quillo-cups-XXXXXX";
    if (!::mkdtemp(pattern)) {
      why_ = "no temporary folder";
      return;
    }
    root_ = pattern;
    namespace fs = std::filesystem;
    for (const char* sub : {"spool", "cache", "state", "log", "tmp", "out"}) fs::create_directories(root_ + "/" + sub);
    fs::permissions(root_, fs::perms::all);
    fs::permissions(root_ + "/out", fs::perms::all);
    fs::permissions(root_ + "/tmp", fs::perms::all | fs::perms::sticky_bit);
    std::ofstream(root_ + "/cupsd.conf") << "Listen " << Socket() << "\nLogLevel warn\nBrowsing No\nWebInterface No\n"
                                         << "PreserveJobFiles Yes\nPreserveJobHistory Yes\n"
                                         << "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                         << "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n";
    std::ofstream(root_ + "/cups-files.conf") << "FileDevice Yes\nServerRoot " << root_ << "\nRequestRoot " << root_
                                               << "/spool\nCacheDir " << root_ << "/cache\nStateDir " << root_
                                               << "/state\nTempDir " << root_ << "/tmp\nErrorLog " << root_
                                               << "/log/error_log\nAccessLog " << root_ << "/log/access_log\nPageLog "
                                               << root_ << "/log/page_log\n";
    if (::access("/usr/sbin/cupsd", X_OK) != 0) {
      why_ = "cupsd is not installed (Debian package cups-daemon)";
      return;
    }
    pid_ = ::fork();
    if (pid_ == 0) {
      const std::string conf = root_ + "/cupsd.conf", files = root_ + "/cups-files.conf";
      ::execl("/usr/sbin/cupsd", "cupsd", "-f", "-c", conf.c_str(), "-s", files.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    if (pid_ < 0) {
      why_ = "cupsd could not be started";
      return;
    }
    oldServer_ = std::getenv("CUPS_SERVER") ? std::optional<std::string>(std::getenv("CUPS_SERVER")) : std::nullopt;
    ::setenv("CUPS_SERVER", Socket().c_str(), 1);
    // Ready when it answers on its socket; a scheduler that exits or stays silent for 10 s is
    // given up on.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        why_ = "cupsd exited at start (see " + root_ + "/log/error_log)";
        return;
      }
      if (Run("lpstat -r 2>/dev/null | grep -q 'is running'")) {
        running_ = true;
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    why_ = "cupsd did not answer within 10 s";
  }

  ~PrivateScheduler() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      int status = 0;
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
      while (::waitpid(pid_, &status, WNOHANG) != pid_) {
        if (std::chrono::steady_clock::now() > deadline) {
          ::kill(pid_, SIGKILL);
          ::waitpid(pid_, &status, 0);
          break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
    }
    if (oldServer_) ::setenv("CUPS_SERVER", oldServer_->c_str(), 1);
    else ::unsetenv("CUPS_SERVER");
    std::error_code ignored;
    if (!root_.empty()) std::filesystem::remove_all(root_, ignored);
  }
  PrivateScheduler(const PrivateScheduler&) = delete;
  PrivateScheduler& operator=(const PrivateScheduler&) = delete;

  bool Running() const { return running_; }
  const std::string& Why() const { return why_; }
  std::string Socket() const { return root_ + "/cups.sock"; }
  const std::string& Root() const { return root_; }
  // Runs a CUPS command against this scheduler; true when it succeeded.
  static bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }
  // A raw queue writing to a file in the scheduler's folder.
  bool AddQueue(const std::string& name, const std::string& description) const {
    return Run("lpadmin -p " + name + " -E -v file://" + root_ + "/out/" + name + " -D '" + description + "' 2>/dev/null");
  }
  // The job's spooled document and control file (job 1 is the first).
  std::string Document(int job) const { return root_ + "/spool/d" + Number(job) + "-001"; }
  std::string Control(int job) const { return root_ + "/spool/c" + Number(job); }
  // Waits (at most 10 s) until the scheduler has finished with the job.
  bool WaitForJob(int job) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
      if (Run("lpstat -W completed -o 2>/dev/null | grep -q -- '-" + std::to_string(job) + " '")) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }

private:
  static std::string Number(int job) {
    char text[16];
    std::snprintf(text, sizeof(text), "%05d", job);
    return text;
  }

  std::string root_;
  std::string why_;
  pid_t pid_ = -1;
  bool running_ = false;
  std::optional<std::string> oldServer_;
};
