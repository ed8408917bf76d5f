// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/testing/search_one_at_a_time.h"

#include "protocol/exchange.h"
#include "protocol/message.h"

namespace corvane::protocol::testing {
namespace {

void SendDiscoveryBurst(ExchangeIo& io, int interfaceIndex, std::span<const std::uint8_t> request) {
  for (int send = 0; send < kDiscoverySends; ++send) {
    io.Send(interfaceIndex, request);
    io.Sleep(kDiscoverySendPause);
  }
}

void ListenOnOneInterface(ExchangeIo& io, int interfaceIndex, const ClientIdBytes& clientId,
                          int firstFilter, int secondFilter, DeviceRecordList& table) {
  ReceiveBuffer buffer;
  int polls = 0;
  while (true) {
    const PollOutcome outcome = io.Poll(interfaceIndex, buffer);
    if (outcome == PollOutcome::kFailed) continue;  // not counted, no pause
    if (outcome == PollOutcome::kDatagram &&
        AcceptDiscoveryReply(buffer.datagram(), clientId, firstFilter, secondFilter)) {
      if (auto fields = ReadDiscoveryReply(buffer.datagram())) {
        AddDiscoveredDevice(*fields, interfaceIndex, table);
      }
    }
    if (++polls == kDiscoveryPollsPerInterface) return;
    io.Sleep(kDiscoveryPollPause);
  }
}

}  // namespace

void RunSearchOneInterfaceAtATime(ExchangeIo& io, int interfaceCount, const ClientIdBytes& clientId,
                                  int firstFilter, int secondFilter, DeviceRecordList& table) {
  table.ClearDeviceTable();
  RequestBuffer request{};
  const std::size_t length = BuildDiscovery(request, clientId);
  const std::span<const std::uint8_t> bytes(request.data(), length);
  for (int i = 0; i < interfaceCount; ++i) {
    SendDiscoveryBurst(io, i, bytes);
    ListenOnOneInterface(io, i, clientId, firstFilter, secondFilter, table);
  }
}

}  // namespace corvane::protocol::testing
