// SPDX-License-Identifier: GPL-3.0-or-later
#include <winsock2.h>
#include <ws2tcpip.h>
// after the socket headers
#include <iphlpapi.h>

#include <vector>

#include "platform/local_interfaces.h"
#include "platform/wide_text_win.h"

namespace corvane::platform {

std::vector<LocalInterface> ListLocalInterfaces() {
  constexpr ULONG kFlags =
      GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
  // The list may grow between the call that sizes it and the one that fills it.
  ULONG size = 16 * 1024;
  std::vector<unsigned char> storage;
  ULONG result = ERROR_BUFFER_OVERFLOW;
  for (int attempt = 0; attempt < 4 && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
    storage.assign(size, 0);
    result = ::GetAdaptersAddresses(AF_INET, kFlags, nullptr,
                                    reinterpret_cast<IP_ADAPTER_ADDRESSES*>(storage.data()), &size);
  }
  if (result != NO_ERROR) return {};

  std::vector<InterfaceAddress> entries;
  for (const auto* adapter = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(storage.data());
       adapter != nullptr; adapter = adapter->Next) {
    for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = adapter->FirstUnicastAddress;
         unicast != nullptr; unicast = unicast->Next) {
      const SOCKADDR* socketAddress = unicast->Address.lpSockaddr;
      if (socketAddress == nullptr || socketAddress->sa_family != AF_INET) continue;
      InterfaceAddress entry;
      // The name people see in the system's network settings ("Ethernet").
      entry.name = adapter->FriendlyName != nullptr ? Utf8(adapter->FriendlyName) : std::string();
      if (entry.name.empty()) entry.name = adapter->AdapterName;
      entry.index = adapter->IfIndex;
      char text[INET_ADDRSTRLEN] = {};
      const auto* address = reinterpret_cast<const sockaddr_in*>(socketAddress);
      ::inet_ntop(AF_INET, &address->sin_addr, text, sizeof text);
      entry.address = text;
      entry.ipv4 = true;
      entry.up = adapter->OperStatus == IfOperStatusUp;
      entry.running = entry.up;
      entry.multicast = (adapter->Flags & IP_ADAPTER_NO_MULTICAST) == 0;
      entry.loopback = adapter->IfType == IF_TYPE_SOFTWARE_LOOPBACK;
      entries.push_back(std::move(entry));
    }
  }
  return SelectProtocolInterfaces(entries);
}

}  // namespace corvane::platform
