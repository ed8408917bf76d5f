// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace corvane::platform {

// A local IPv4 interface that can carry the device protocol.
struct LocalInterface {
  std::string name;     // e.g. "eth0" or a labelled name such as "eth0:1"
  unsigned index = 0;   // kernel interface index
  std::string address;  // dotted IPv4 text of its first address
};

// The interfaces that are up, running, multicast-capable and not loopback, one entry per
// interface index (its first IPv4 address), at most 8, in the order the system lists them.
std::vector<LocalInterface> ListLocalInterfaces();

inline constexpr std::size_t kMaxProtocolInterfaces = 8;

// One address of one interface as the system lists it, before any choice is made.
struct InterfaceAddress {
  std::string name;
  unsigned index = 0;  // 0 when the name does not resolve to an interface
  std::string address;
  bool ipv4 = false;
  bool up = false;
  bool running = false;
  bool multicast = false;
  bool loopback = false;
};

// The choice behind ListLocalInterfaces, over any list of addresses.
std::vector<LocalInterface> SelectProtocolInterfaces(const std::vector<InterfaceAddress>& entries);

}  // namespace corvane::platform
