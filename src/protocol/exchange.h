// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The two loops of the protocol: a search over every interface, and one request/reply exchange
// with one device. Each ends within twice its nominal wait, however many datagrams arrive that
// do not count.

#include <optional>
#include <span>

#include "protocol/device_table.h"
#include "protocol/exchange_io.h"
#include "protocol/fixed_text.h"
#include "protocol/message.h"
#include "protocol/protocol_types.h"

namespace corvane::protocol {

// Empties the table and fills it from the replies heard on interfaces 0 .. interfaceCount-1.
// Every interface is served at once, yet the table comes out as if they had been served one
// after another: records by interface first and by arrival second.
void RunSearch(ExchangeIo& io, int interfaceCount, const ClientIdBytes& clientId, int firstFilter,
               int secondFilter, DeviceRecordList& table);

// Adds the device a discovery reply describes unless its address is listed already: the first
// reply for an address wins, so a device heard on two interfaces keeps the lower index.
void AddDiscoveredDevice(const DiscoveryReplyFields& fields, int interfaceIndex,
                         DeviceRecordList& table);

struct ExchangePlan {
  std::uint8_t awaitedOpcode = 0;
  int drainRounds = 0;
  // The address reply bytes 17-20 must spell; none accepts any reply with this ClientId.
  std::optional<FixedText<16>> expectedAddress;
  int pollLimit = 0;  // fails when the count of counted polls exceeds it
};

// Drains, sends the request once and waits for the reply the plan describes. On success the
// accepted datagram is left in reply and true is returned.
bool RunExchange(ExchangeIo& io, int interfaceIndex, const ClientIdBytes& clientId,
                 std::span<const std::uint8_t> request, const ExchangePlan& plan,
                 ReceiveBuffer& reply);

}  // namespace corvane::protocol
