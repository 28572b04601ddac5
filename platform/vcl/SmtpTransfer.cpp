#include "platform/vcl/SmtpTransfer.h"

#include <algorithm>
#include <cctype>
#include <chrono>

#include <sys/socket.h>
#include <unistd.h>

namespace {

// How long the worker waits for the connection before it looks at Cancel and the idle time
// again (Cancel wakes it sooner) and reports that it is still waiting.
constexpr int kPollMs = 200;

long long NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// The reply code at the start of a server line; 0 when there is none.
int ReplyCode(const char* data, size_t size) {
  if (size < 3) return 0;
  int code = 0;
  for (size_t i = 0; i < 3; ++i) {
    if (data[i] < '0' || data[i] > '9') return 0;
    code = code * 10 + (data[i] - '0');
  }
  return code;
}

}  // namespace

SmtpTransfer::SmtpTransfer(CURL* easy, int idleTimeoutMs, std::function<void()> wake)
    : easy_(easy), multi_(curl_multi_init()), idleTimeoutMs_(std::max(1, idleTimeoutMs)), wake_(std::move(wake)) {
  curl_easy_setopt(easy_, CURLOPT_DEBUGFUNCTION, &SmtpTransfer::Trace);
  curl_easy_setopt(easy_, CURLOPT_DEBUGDATA, this);
  curl_easy_setopt(easy_, CURLOPT_VERBOSE, 1L);
  curl_easy_setopt(easy_, CURLOPT_XFERINFOFUNCTION, &SmtpTransfer::OnProgress);
  curl_easy_setopt(easy_, CURLOPT_XFERINFODATA, this);
  curl_easy_setopt(easy_, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(easy_, CURLOPT_SOCKOPTFUNCTION, &SmtpTransfer::OnSocketOpened);
  curl_easy_setopt(easy_, CURLOPT_SOCKOPTDATA, this);
  curl_easy_setopt(easy_, CURLOPT_CLOSESOCKETFUNCTION, &SmtpTransfer::OnSocketClosing);
  curl_easy_setopt(easy_, CURLOPT_CLOSESOCKETDATA, this);
}

SmtpTransfer::~SmtpTransfer() {
  Cancel();
  Wait();
  multi_.reset();  // closes what it keeps while the socket list it reports to still lives
}

void SmtpTransfer::Start() {
  lastActivityMs_ = NowMs();
  if (!multi_) {
    result_ = CURLE_OUT_OF_MEMORY;
    end_ = End::Finished;
    return;
  }
  thread_ = std::thread(&SmtpTransfer::Run, this);
}

void SmtpTransfer::Cancel() {
  cancel_ = true;
  if (multi_) curl_multi_wakeup(multi_.get());
}

void SmtpTransfer::Wait() {
  if (thread_.joinable()) thread_.join();
}

SmtpTransfer::Progress SmtpTransfer::Snapshot() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return progress_;
}

void SmtpTransfer::NoteActivity() { lastActivityMs_ = NowMs(); }

void SmtpTransfer::Run() {
  CURLM* multi = multi_.get();
  curl_multi_add_handle(multi, easy_);
  End end = End::Finished;
  for (;;) {
    int running = 0;
    curl_multi_perform(multi, &running);
    if (cancel_) {  // also when the progress callback has just ended the exchange for it
      end = End::Cancelled;
      break;
    }
    if (running == 0) break;
    if (NowMs() - lastActivityMs_ > idleTimeoutMs_) {
      end = End::NoAnswer;
      break;
    }
    curl_multi_poll(multi, nullptr, 0, kPollMs, nullptr);
    if (wake_) wake_();
  }
  if (end == End::Finished) {
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &left))
      if (message->msg == CURLMSG_DONE) result_ = message->data.result;
  } else {
    CutConnections();
  }
  curl_multi_remove_handle(multi, easy_);
  end_ = end;
  if (wake_) wake_();
}

int SmtpTransfer::OnSocketOpened(void* context, curl_socket_t socket, curlsocktype) {
  auto* self = static_cast<SmtpTransfer*>(context);
  std::lock_guard<std::mutex> lock(self->mutex_);
  self->sockets_.push_back(socket);
  return CURL_SOCKOPT_OK;
}

int SmtpTransfer::OnSocketClosing(void* context, curl_socket_t socket) {
  auto* self = static_cast<SmtpTransfer*>(context);
  std::lock_guard<std::mutex> lock(self->mutex_);
  std::erase(self->sockets_, socket);
  return ::close(socket);
}

void SmtpTransfer::CutConnections() {
  // Shut down, not closed: the descriptors stay libcurl's to close, so none can be reused
  // meanwhile; every later read sees the end and every write fails at once.
  std::lock_guard<std::mutex> lock(mutex_);
  for (curl_socket_t socket : sockets_) ::shutdown(socket, SHUT_RDWR);
}

int SmtpTransfer::Trace(CURL*, curl_infotype type, char* data, size_t size, void* context) {
  auto* self = static_cast<SmtpTransfer*>(context);
  switch (type) {
    case CURLINFO_HEADER_OUT: {
      self->NoteActivity();
      const std::string command = Upper(std::string(data, std::min<size_t>(size, 4)));
      if (command.size() == 4 && command != "QUIT") self->exchange_.command = command;
      break;
    }
    case CURLINFO_HEADER_IN: {
      self->NoteActivity();
      {
        std::lock_guard<std::mutex> lock(self->mutex_);
        self->progress_.answered = true;
      }
      const int code = ReplyCode(data, size);
      Exchange& seen = self->exchange_;
      if (seen.command == "RCPT" && code >= 500) seen.recipientRefused = true;
      if (code == 530 || (seen.command == "AUTH" && code == 535)) seen.loginNeeded = true;
      break;
    }
    case CURLINFO_DATA_OUT: case CURLINFO_SSL_DATA_IN: case CURLINFO_SSL_DATA_OUT: self->NoteActivity(); break;
    default: break;
  }
  return 0;
}

int SmtpTransfer::OnProgress(void* context, curl_off_t, curl_off_t, curl_off_t total, curl_off_t now) {
  auto* self = static_cast<SmtpTransfer*>(context);
  std::lock_guard<std::mutex> lock(self->mutex_);
  if (now != self->progress_.sent) self->NoteActivity();
  self->progress_.sent = now;
  self->progress_.total = total;
  return self->cancel_ ? 1 : 0;
}
