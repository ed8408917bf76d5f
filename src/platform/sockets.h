// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What differs between the systems' sockets where the protocol and the web port test hold them:
// the handle's type, how it is closed, where the reason of a failure is read, and Windows'
// start-up of its socket library.

#include <cstdint>
#include <utility>

namespace corvane::platform {

#if defined(_WIN32)
using SocketHandle = std::uintptr_t;  // SOCKET
inline constexpr SocketHandle kNoSocket = ~SocketHandle{0};
#else
using SocketHandle = int;
inline constexpr SocketHandle kNoSocket = -1;
#endif

// True when sockets can be used. Windows' socket library is started on the first call and stays
// started for the process; elsewhere there is nothing to start.
bool StartSockets();
void CloseSocket(SocketHandle socket);
// The reason the last socket call of this thread failed, as an errno value (EADDRINUSE,
// EWOULDBLOCK, EINPROGRESS...), whatever the system reports it as.
int LastSocketError();

// Owns one socket and closes it once.
class UniqueSocket {
 public:
  UniqueSocket() = default;
  explicit UniqueSocket(SocketHandle socket) : socket_(socket) {}
  UniqueSocket(UniqueSocket&& other) noexcept : socket_(std::exchange(other.socket_, kNoSocket)) {}
  UniqueSocket& operator=(UniqueSocket&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.socket_, kNoSocket));
    return *this;
  }
  UniqueSocket(const UniqueSocket&) = delete;
  UniqueSocket& operator=(const UniqueSocket&) = delete;
  ~UniqueSocket() { Reset(); }

  SocketHandle get() const { return socket_; }
  bool valid() const { return socket_ != kNoSocket; }
  void Reset(SocketHandle socket = kNoSocket) {
    if (socket_ != kNoSocket) CloseSocket(socket_);
    socket_ = socket;
  }

 private:
  SocketHandle socket_ = kNoSocket;
};

}  // namespace corvane::platform
