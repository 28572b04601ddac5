// An exchange with a server that takes the connection and never says a word ends at once when
// it is given up on, by the idle time or by Cancel, and lets go of its thread: libcurl's
// clean-up must not sit waiting for that server to answer the end of the message.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/vcl/SmtpTransfer.h"

namespace {

// A listening socket nobody accepts from: the kernel completes the connection and the
// "server" stays silent for ever.
class SilentListener {
public:
  SilentListener() {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(fd_, 4) != 0 ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
      return;
    port_ = ntohs(address.sin_port);
  }
  ~SilentListener() {
    if (fd_ >= 0) ::close(fd_);
  }
  int Port() const { return port_; }

private:
  int fd_ = -1;
  int port_ = 0;
};

struct EasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct SlistDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

TEST(SmtpTransfer, GivingUpOnASilentServerEndsAtOnce) {
  enum class GiveUp { IdleTime, Cancel };
  for (GiveUp how : {GiveUp::IdleTime, GiveUp::Cancel}) {
    SCOPED_TRACE(how == GiveUp::IdleTime ? "idle time" : "cancel");
    SilentListener server;
    ASSERT_GT(server.Port(), 0);
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    ASSERT_TRUE(easy);
    const std::string url = "smtp://127.0.0.1:" + std::to_string(server.Port());
    curl_easy_setopt(easy.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy.get(), CURLOPT_MAIL_FROM, "<ann@example.org>");
    std::unique_ptr<curl_slist, SlistDeleter> to(curl_slist_append(nullptr, "<bob@example.org>"));
    curl_easy_setopt(easy.get(), CURLOPT_MAIL_RCPT, to.get());
    curl_mime* mime = curl_mime_init(easy.get());
    curl_mime_data(curl_mime_addpart(mime), "Hello\r\n", CURL_ZERO_TERMINATED);
    curl_easy_setopt(easy.get(), CURLOPT_MIMEPOST, mime);

    std::mutex mutex;
    std::condition_variable woken;
    // The idle time is the only limit for the first case; the second would wait far longer.
    SmtpTransfer transfer(easy.get(), how == GiveUp::IdleTime ? 300 : 10 * 60 * 1000, [&] {
      std::lock_guard<std::mutex> lock(mutex);
      woken.notify_all();
    });
    transfer.Start();
    if (how == GiveUp::Cancel) transfer.Cancel();
    {
      // Not a speed goal: a guard, so that a hung clean-up fails here instead of hanging.
      std::unique_lock<std::mutex> lock(mutex);
      EXPECT_TRUE(woken.wait_for(lock, std::chrono::seconds(60),
                                 [&] { return transfer.Ended() != SmtpTransfer::End::Running; }));
    }
    EXPECT_EQ(transfer.Ended(), how == GiveUp::IdleTime ? SmtpTransfer::End::NoAnswer : SmtpTransfer::End::Cancelled);
    transfer.Wait();
    curl_mime_free(mime);
  }
}

}  // namespace
