// SPDX-License-Identifier: GPL-3.0-or-later
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "platform/reachability.h"
#include "platform/unique_fd.h"

namespace corvane::platform {
namespace {

// Waits for the connection to finish within the bound; a poll that a signal interrupts goes on
// with the time that is left.
bool ConnectionOpened(int fd, std::chrono::milliseconds bound) {
  const auto deadline = std::chrono::steady_clock::now() + bound;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd entry{fd, POLLOUT, 0};
    const int ready = ::poll(&entry, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    int error = 0;
    socklen_t size = sizeof error;
    return ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
  }
}

}  // namespace

bool CheckHttpReachable(const std::string& address, std::chrono::milliseconds bound,
                        std::uint16_t port) {
  sockaddr_in target{};
  target.sin_family = AF_INET;
  target.sin_port = htons(port);
  if (::inet_pton(AF_INET, address.c_str(), &target.sin_addr) != 1) return false;
  const UniqueFd socket(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!socket.valid()) return false;
  if (::connect(socket.get(), reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0) {
    return true;
  }
  return errno == EINPROGRESS && ConnectionOpened(socket.get(), bound);
}

}  // namespace corvane::platform
