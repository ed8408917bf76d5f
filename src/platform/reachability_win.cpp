// SPDX-License-Identifier: GPL-3.0-or-later
#include <winsock2.h>
#include <ws2tcpip.h>

#include "platform/reachability.h"
#include "platform/sockets.h"

namespace corvane::platform {

bool CheckHttpReachable(const std::string& address, std::chrono::milliseconds bound,
                        std::uint16_t port) {
  sockaddr_in target{};
  target.sin_family = AF_INET;
  target.sin_port = htons(port);
  if (::inet_pton(AF_INET, address.c_str(), &target.sin_addr) != 1) return false;
  if (!StartSockets()) return false;
  const UniqueSocket socket(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  if (!socket.valid()) return false;
  const auto native = static_cast<SOCKET>(socket.get());
  u_long nonBlocking = 1;
  if (::ioctlsocket(native, FIONBIO, &nonBlocking) != 0) return false;
  if (::connect(native, reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0) {
    return true;
  }
  if (::WSAGetLastError() != WSAEWOULDBLOCK) return false;
  // A refused connection shows in the exception set, a taken one in the write set.
  fd_set writable;
  fd_set failed;
  FD_ZERO(&writable);
  FD_ZERO(&failed);
  FD_SET(native, &writable);
  FD_SET(native, &failed);
  const auto milliseconds = bound.count() < 0 ? 0 : bound.count();
  timeval wait{static_cast<long>(milliseconds / 1000),
               static_cast<long>(milliseconds % 1000) * 1000};
  if (::select(0, nullptr, &writable, &failed, &wait) <= 0) return false;
  int error = 0;
  int size = sizeof error;
  return FD_ISSET(native, &writable) &&
         ::getsockopt(native, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) == 0 &&
         error == 0;
}

}  // namespace corvane::platform
