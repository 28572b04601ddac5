#pragma once
// SmtpTransfer: runs one prepared libcurl SMTP exchange on a thread of its own, so that the
// thread that asked for it keeps its windows alive. It reports what the exchange showed (the
// command last sent, a refused recipient, a login asked for), its progress, and how it ended:
// finished with libcurl's result, cancelled, or ended because the server said nothing for
// the idle time. Cancel works from any thread at once (the worker's wait is woken); the
// destructor cancels and waits for the thread. An exchange that is given up on (cancelled, or
// the server silent) has its connection cut before libcurl lets it go: left open, libcurl would
// finish the message and wait for the silent server's reply.

#include <curl/curl.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class SmtpTransfer {
public:
  enum class End { Running, Finished, Cancelled, NoAnswer };
  struct Progress {
    bool answered = false;  // the server has said something
    long long sent = 0;     // bytes of the message sent
    long long total = 0;    // 0: not known yet
  };
  // What the server's replies showed.
  struct Exchange {
    std::string command;  // the last command sent (its first four letters)
    bool recipientRefused = false;
    bool loginNeeded = false;
  };

  // `easy` stays the caller's and must not be touched until the transfer has ended. `wake` is
  // called from the worker whenever there is something new to see (progress, the end).
  SmtpTransfer(CURL* easy, int idleTimeoutMs, std::function<void()> wake);
  ~SmtpTransfer();
  SmtpTransfer(const SmtpTransfer&) = delete;
  SmtpTransfer& operator=(const SmtpTransfer&) = delete;

  void Start();
  void Cancel();
  End Ended() const { return end_.load(); }
  Progress Snapshot() const;
  // Valid once the transfer has ended.
  CURLcode Result() const { return result_; }
  const Exchange& Seen() const { return exchange_; }
  // Waits for the end without doing anything else.
  void Wait();

private:
  void Run();
  void NoteActivity();
  static int Trace(CURL*, curl_infotype type, char* data, size_t size, void* self);
  static int OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t total, curl_off_t now);
  static int OnSocketOpened(void* self, curl_socket_t socket, curlsocktype purpose);
  static int OnSocketClosing(void* self, curl_socket_t socket);
  void CutConnections();

  struct MultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
  };

  CURL* easy_;
  std::unique_ptr<CURLM, MultiDeleter> multi_;
  const int idleTimeoutMs_;
  std::function<void()> wake_;
  std::thread thread_;
  std::atomic<bool> cancel_{false};
  std::atomic<End> end_{End::Running};
  std::atomic<long long> lastActivityMs_{0};
  mutable std::mutex mutex_;
  Progress progress_;
  CURLcode result_ = CURLE_OK;
  Exchange exchange_;  // the worker's until the end
  std::vector<curl_socket_t> sockets_;  // open ones, under mutex_
};
