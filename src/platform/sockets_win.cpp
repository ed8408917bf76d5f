// SPDX-License-Identifier: GPL-3.0-or-later
#include <winsock2.h>

#include <cerrno>

#include "platform/sockets.h"

namespace corvane::platform {

bool StartSockets() {
  // Once per process, by whichever thread comes first; never cleaned up, as sockets may live
  // until the process ends.
  static const bool started = [] {
    WSADATA data{};
    return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started;
}

void CloseSocket(SocketHandle socket) {
  ::closesocket(static_cast<SOCKET>(socket));
}

// The errno values the callers test and print; others keep their Winsock number, which the
// system's message for it then describes.
int LastSocketError() {
  const int error = ::WSAGetLastError();
  switch (error) {
    case WSAEADDRINUSE:
      return EADDRINUSE;
    case WSAEWOULDBLOCK:
      return EWOULDBLOCK;
    case WSAEINPROGRESS:
      return EINPROGRESS;
    case WSAEINTR:
      return EINTR;
    case WSAEACCES:
      return EACCES;
    case WSAEINVAL:
      return EINVAL;
    case WSAEADDRNOTAVAIL:
      return EADDRNOTAVAIL;
    case WSAENETUNREACH:
      return ENETUNREACH;
    case WSAEHOSTUNREACH:
      return EHOSTUNREACH;
    case WSAECONNREFUSED:
      return ECONNREFUSED;
    case WSAETIMEDOUT:
      return ETIMEDOUT;
    case WSAEMFILE:
      return EMFILE;
    case WSAENOBUFS:
      return ENOBUFS;
    case WSANOTINITIALISED:
      return ENETDOWN;
    case WSAENETDOWN:
      return ENETDOWN;
    default:
      return error;
  }
}

}  // namespace corvane::platform
