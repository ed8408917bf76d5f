// SPDX-License-Identifier: GPL-3.0-or-later
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <memory>

#include "platform/local_interfaces.h"

namespace corvane::platform {

std::vector<LocalInterface> ListLocalInterfaces() {
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return {};
  const std::unique_ptr<ifaddrs, decltype(&::freeifaddrs)> owner(list, &::freeifaddrs);

  std::vector<InterfaceAddress> entries;
  for (const ifaddrs* item = list; item != nullptr; item = item->ifa_next) {
    if (item->ifa_addr == nullptr || item->ifa_addr->sa_family != AF_INET) continue;
    InterfaceAddress entry;
    entry.name = item->ifa_name;
    entry.index = ::if_nametoindex(item->ifa_name);
    char text[INET_ADDRSTRLEN] = {};
    const auto* address = reinterpret_cast<const sockaddr_in*>(item->ifa_addr);
    ::inet_ntop(AF_INET, &address->sin_addr, text, sizeof text);
    entry.address = text;
    entry.ipv4 = true;
    entry.up = (item->ifa_flags & IFF_UP) != 0;
    entry.running = (item->ifa_flags & IFF_RUNNING) != 0;
    entry.multicast = (item->ifa_flags & IFF_MULTICAST) != 0;
    entry.loopback = (item->ifa_flags & IFF_LOOPBACK) != 0;
    entries.push_back(std::move(entry));
  }
  return SelectProtocolInterfaces(entries);
}

}  // namespace corvane::platform
