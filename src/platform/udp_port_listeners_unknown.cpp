// SPDX-License-Identifier: GPL-3.0-or-later
// Systems without a socket table the program can read: nobody is reported.
#include "platform/udp_port_listeners.h"

namespace corvane::platform {

std::vector<PortListener> OtherUdpListeners(std::uint16_t) {
  return {};
}

}  // namespace corvane::platform
