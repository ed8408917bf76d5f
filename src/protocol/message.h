// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Byte layout of the datagrams: request builders and reply readers. Readers never look past the
// end of the datagram they are given, whatever its length fields claim.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "protocol/device_table.h"
#include "protocol/fixed_text.h"
#include "protocol/protocol_constants.h"
#include "protocol/protocol_types.h"

namespace corvane::protocol {

using RequestBuffer = std::array<std::uint8_t, kRequestCapacity>;
using Datagram = std::span<const std::uint8_t>;

// Builders write into a zeroed buffer and return the number of bytes to send.
std::size_t BuildDiscovery(RequestBuffer& buffer, const ClientIdBytes& clientId);
std::size_t BuildRead(RequestBuffer& buffer, const ClientIdBytes& clientId,
                      const DeviceIdBytes& deviceId, std::uint8_t item);
// Item 4: user name, 0x55 0xAA, password, neither text terminated.
std::size_t BuildCredentialsRead(RequestBuffer& buffer, const ClientIdBytes& clientId,
                                 const DeviceIdBytes& deviceId, std::string_view userName,
                                 std::string_view password);
std::size_t BuildSet(RequestBuffer& buffer, const ClientIdBytes& clientId,
                     const DeviceIdBytes& deviceId, std::uint8_t item, const FixedText<16>& netmask,
                     const FixedText<16>& gateway, std::string_view payload);
// Item 2: no payload, bytes 24-59 zero.
std::size_t BuildSetDhcp(RequestBuffer& buffer, const ClientIdBytes& clientId,
                         const DeviceIdBytes& deviceId);

// The dotted text of four bytes, first byte first (ToDotted).
FixedText<16> FormatAddress(std::span<const std::uint8_t, 4> octets);

// True when bytes 1-6 echo this run's ClientId.
bool IsFromThisClient(Datagram datagram, const ClientIdBytes& clientId);

// The device address a reply carries in bytes 17-20; empty when the datagram is too short.
std::optional<FixedText<16>> ReplyAddress(Datagram datagram);

// What a discovery reply (opcode 2 or 7) says about its device.
struct DiscoveryReplyFields {
  FixedText<256> name;
  FixedText<16> address;
  FixedText<16> netmask;
  FixedText<16> gateway;
  FixedText<8> dhcpFlag;
  DeviceIdBytes deviceId{};
};

// True when a search with these filters takes the datagram: opcode 2 with this ClientId, or
// opcode 7 with this ClientId and match codes equal to the non-zero filters. Replies shorter
// than their fixed part are refused.
bool AcceptDiscoveryReply(Datagram datagram, const ClientIdBytes& clientId, int firstFilter,
                          int secondFilter);

// Reads an accepted discovery reply. Empty when it is not a discovery reply or is shorter than
// its fixed part. A name longer than 255 bytes or running past the datagram is cut to what fits.
std::optional<DiscoveryReplyFields> ReadDiscoveryReply(Datagram datagram);

// The value of a read reply: from byte 28 to the first zero byte or the end of the datagram;
// empty for a reply that ends before byte 28.
std::string_view ReadReplyValue(Datagram datagram);

// Refills a share list from a value of names separated by ":". Runs of ":" count as one cut,
// empty pieces are dropped, names are cut to the entry's capacity and added once.
void FillShareList(ShareEntryList& list, std::string_view value);

}  // namespace corvane::protocol
