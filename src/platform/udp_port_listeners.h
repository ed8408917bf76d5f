// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Who else listens on a UDP port of this computer. A datagram sent straight to this computer's
// address reaches only one of the sockets bound to its port, so another listener can take
// replies that were meant for us.

#include <cstdint>
#include <string>
#include <vector>

namespace corvane::platform {

struct PortListener {
  int pid = 0;          // 0 when the system does not tell
  std::string program;  // empty when the system does not tell
};

// One entry per socket of another process that is bound to the port and can receive IPv4
// datagrams (an IPv4 socket, or an IPv6 one bound to any address or to a v4-mapped one). Empty
// when there is none or the system cannot tell.
std::vector<PortListener> OtherUdpListeners(std::uint16_t port);

}  // namespace corvane::platform
