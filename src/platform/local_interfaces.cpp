// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/local_interfaces.h"

#include <algorithm>

namespace corvane::platform {

std::vector<LocalInterface> SelectProtocolInterfaces(const std::vector<InterfaceAddress>& entries) {
  std::vector<LocalInterface> chosen;
  for (const InterfaceAddress& entry : entries) {
    if (chosen.size() == kMaxProtocolInterfaces) break;
    // Down links fail every send, links without carrier swallow a whole search window.
    const bool usable = entry.ipv4 && entry.up && entry.running && entry.multicast &&
                        !entry.loopback && entry.index != 0;
    if (!usable) continue;
    const bool seen = std::any_of(chosen.begin(), chosen.end(),
                                  [&](const LocalInterface& c) { return c.index == entry.index; });
    if (seen) continue;  // a second address of the same interface
    chosen.push_back(LocalInterface{entry.name, entry.index, entry.address});
  }
  return chosen;
}

}  // namespace corvane::platform
