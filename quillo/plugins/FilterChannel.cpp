#include "quillo/plugins/FilterChannel.h"

#include <sys/socket.h>

#include <cerrno>

namespace {

int ReceiveOnce(int socket, void* message, std::size_t size, int flags) {
  for (;;) {
    const ssize_t got = recv(socket, message, size, flags);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return 0;
    return got == static_cast<ssize_t>(size) ? 1 : -1;
  }
}

}  // namespace

bool SendChannelMessage(int socket, const void* message, std::size_t size) {
  for (;;) {
    const ssize_t sent = send(socket, message, size, MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    return sent == static_cast<ssize_t>(size);
  }
}

bool ReceiveChannelMessage(int socket, void* message, std::size_t size) {
  return ReceiveOnce(socket, message, size, 0) == 1;
}

int PollChannelMessage(int socket, void* message, std::size_t size) {
  return ReceiveOnce(socket, message, size, MSG_DONTWAIT);
}
