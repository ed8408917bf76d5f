// SPDX-License-Identifier: GPL-3.0-or-later
#include <unistd.h>

#include <cerrno>

#include "platform/sockets.h"

namespace corvane::platform {

bool StartSockets() {
  return true;
}

void CloseSocket(SocketHandle socket) {
  ::close(socket);
}

int LastSocketError() {
  return errno;
}

}  // namespace corvane::platform
