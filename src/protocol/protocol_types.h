// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The types the parts of the protocol share: the two identifiers on the wire, and what keeps an
// interface from carrying the protocol. The session facade is built on them, never the reverse.

#include <array>
#include <cstdint>
#include <string>

#include "protocol/protocol_constants.h"

namespace corvane::protocol {

// Names this program run in every request and reply: six random bytes, four zero bytes.
using ClientIdBytes = std::array<std::uint8_t, kClientIdLength>;

// Names a device: six bytes the program only copies back, then its IPv4 address.
using DeviceIdBytes = std::array<std::uint8_t, kDeviceIdLength>;

// Something that keeps an interface from working, e.g. port 13579 held exclusively by another
// program. Without it a search would just look empty.
struct TransportProblem {
  std::string interfaceName;
  std::string address;
  int error = 0;        // errno
  std::string message;  // one line for the user
};

}  // namespace corvane::protocol
