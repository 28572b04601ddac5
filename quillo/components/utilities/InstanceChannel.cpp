#include "quillo/components/utilities/InstanceChannel.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/rtl/SettingsFolder.h"
#include "platform/user/User.h"
#include "platform/vcl/AllocateHWnd.h"
#include "quillo/components/utilities/VclUtils.h"

namespace {

constexpr char kActivate[] = "activate";
constexpr UINT kPollMs = 200;

// The socket address: an abstract name (no file, no path-length worry), stable between
// processes of any build since the hash is spelled out here.
sockaddr_un AddressFor(const AnsiString& mainFormClass, const AnsiString& title, socklen_t& length) {
  const AnsiString key = SettingsFolder() + '\0' + mainFormClass + '\0' + title;
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (unsigned char c : key) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  char name[64];
  const int n = std::snprintf(name, sizeof name, "quillo-instance-%u-%016llx", static_cast<unsigned>(getuid()),
                              static_cast<unsigned long long>(hash));
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  address.sun_path[0] = '\0';
  std::memcpy(address.sun_path + 1, name, static_cast<size_t>(n));
  length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + static_cast<size_t>(n));
  return address;
}

std::unique_ptr<TInstanceChannel>& Announced() {
  static std::unique_ptr<TInstanceChannel> channel;
  return channel;
}

}  // namespace

TInstanceChannel::TInstanceChannel(const AnsiString& mainFormClass, const AnsiString& title)
    : mainFormClass_(mainFormClass), title_(title) {
  socklen_t length = 0;
  const sockaddr_un address = AddressFor(mainFormClass, title, length);
  const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return;
  if (bind(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0) {
    close(fd);
    return;
  }
  socket_ = fd;
  window_ = AllocateHWnd([this](TMessage& m) {
    if (m.Msg == WM_TIMER) {
      ProcessRequests();
      return;
    }
    m.Result = DefWindowProc(window_, m.Msg, m.WParam, m.LParam);
  });
  SetTimer(window_, 1, kPollMs, nullptr);
}

TInstanceChannel::~TInstanceChannel() {
  if (window_) {
    KillTimer(window_, 1);
    DeallocateHWnd(window_);
  }
  if (socket_ >= 0) close(socket_);
}

int TInstanceChannel::ProcessRequests() {
  if (socket_ < 0) return 0;
  int requests = 0;
  char buffer[32];
  for (;;) {
    const ssize_t n = recv(socket_, buffer, sizeof buffer, 0);
    if (n < 0) break;  // nothing more waiting
    // Anything but the one request this channel knows is ignored.
    if (static_cast<size_t>(n) != sizeof kActivate - 1 || std::memcmp(buffer, kActivate, sizeof kActivate - 1) != 0)
      continue;
    ++requests;
    // Only this desktop's window: asking the running instance again would be asking itself.
    ActivateInstanceWindow(mainFormClass_, title_);
  }
  return requests;
}

bool TInstanceChannel::Request(const AnsiString& mainFormClass, const AnsiString& title) {
  socklen_t length = 0;
  const sockaddr_un address = AddressFor(mainFormClass, title, length);
  const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const ssize_t sent = sendto(fd, kActivate, sizeof kActivate - 1, MSG_NOSIGNAL | MSG_DONTWAIT,
                              reinterpret_cast<const sockaddr*>(&address), length);
  close(fd);
  return sent == static_cast<ssize_t>(sizeof kActivate - 1);
}

bool AnnounceInstance(const AnsiString& mainFormClass, const AnsiString& title) {
  if (Announced()) return false;
  auto channel = std::make_unique<TInstanceChannel>(mainFormClass, title);
  if (!channel->Listening()) return false;
  Announced() = std::move(channel);
  return true;
}

void WithdrawInstance() { Announced().reset(); }

bool RequestInstanceActivation(const AnsiString& mainFormClass, const AnsiString& title) {
  if (mainFormClass.empty() && title.empty()) return false;
  // This process's own name is not another instance.
  if (Announced() && Announced()->Names(mainFormClass, title)) return false;
  return TInstanceChannel::Request(mainFormClass, title);
}
