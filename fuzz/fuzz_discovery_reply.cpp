// SPDX-License-Identifier: GPL-3.0-or-later
// A discovery reply of any length and content, through the search's acceptance test and the
// reader, into a device table.
#include <cstddef>
#include <cstdint>
#include <span>

#include "protocol/message.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace corvane::protocol;
  // The first bytes of the datagram double as this run's ClientId, so matching replies are
  // as easy to reach as foreign ones.
  ClientIdBytes clientId{};
  for (std::size_t i = 0; i < 6 && 1 + i < size; ++i) clientId[i] = data[1 + i];
  const std::span<const std::uint8_t> datagram(data, size);

  DeviceRecordList table;
  for (int filter : {0, 6}) {
    if (AcceptDiscoveryReply(datagram, clientId, filter, filter)) {
      const auto fields = ReadDiscoveryReply(datagram);
      if (!fields) __builtin_trap();  // accepted replies must be readable
      table.AddDevice(fields->name.view(), fields->address.view(), fields->netmask.view(),
                      fields->gateway.view(), fields->dhcpFlag.view(), fields->deviceId, 0);
    }
  }
  if (const auto fields = ReadDiscoveryReply(datagram)) {
    if (fields->name.size() > 255 || fields->address.size() > 15) __builtin_trap();
  }
  return 0;
}
