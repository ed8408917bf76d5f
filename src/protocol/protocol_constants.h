// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Every number of the device protocol in one place: byte layout, opcodes, items and timing.

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace corvane::protocol {

// Where the devices listen and answer.
inline constexpr std::uint16_t kDevicePort = 13579;
inline constexpr char kMulticastGroup[] = "224.0.0.1";
inline constexpr int kMaxInterfaces = 8;
inline constexpr int kSearchFilter = 6;  // both filters of every search the program runs

// Opcodes (byte 0 of every datagram).
inline constexpr std::uint8_t kOpDiscoveryRequest = 1;
inline constexpr std::uint8_t kOpDiscoveryReply = 2;
inline constexpr std::uint8_t kOpReadRequest = 3;
inline constexpr std::uint8_t kOpReadReply = 4;
inline constexpr std::uint8_t kOpSetRequest = 5;
inline constexpr std::uint8_t kOpSetReply = 6;
inline constexpr std::uint8_t kOpDiscoveryReplyExt = 7;

// Item codes of the read and set requests.
inline constexpr std::uint8_t kItemAddress = 1;
inline constexpr std::uint8_t kItemDhcp = 2;
inline constexpr std::uint8_t kItemShareList = 3;
inline constexpr std::uint8_t kItemCredentials = 4;
inline constexpr std::uint8_t kItemHostName = 5;
inline constexpr std::uint8_t kItemWorkgroup = 6;
inline constexpr std::uint8_t kItemSetWorkgroup = 7;
inline constexpr std::uint8_t kItemSetCodepage = 8;
inline constexpr std::uint8_t kItemCodepage = 9;
inline constexpr std::uint8_t kItemRw = 10;
inline constexpr std::uint8_t kItemIdeOk = 11;
inline constexpr std::uint8_t kItemShareName = 12;
inline constexpr std::uint8_t kItemStop = 13;

// Byte layout shared by all messages.
inline constexpr std::size_t kClientIdOffset = 1;
inline constexpr std::size_t kClientIdLength = 10;
inline constexpr std::size_t kClientIdMatchLength = 6;  // replies are matched on these bytes
inline constexpr std::size_t kDeviceIdOffset = 11;
inline constexpr std::size_t kDeviceIdLength = 10;
inline constexpr std::size_t kDeviceIdAddressOffset = 6;  // within DeviceId
inline constexpr std::size_t kReplyAddressOffset = 17;    // DeviceId bytes 6-9 in a message
inline constexpr std::size_t kReplyAddressEnd = 21;  // a reply must reach this far to be matched
inline constexpr std::size_t kItemOffset = 21;

// Requests.
inline constexpr std::size_t kRequestCapacity = 4096;
inline constexpr std::size_t kDiscoveryRequestLength = 11;
inline constexpr std::size_t kReadHeaderLength = 28;
inline constexpr std::size_t kReadPayloadLengthOffset = 24;
inline constexpr std::size_t kSetHeaderLength = 60;
inline constexpr std::size_t kSetNetmaskOffset = 24;
inline constexpr std::size_t kSetGatewayOffset = 40;
inline constexpr std::size_t kSetAddressFieldWidth = 16;
inline constexpr std::size_t kSetPayloadLengthOffset = 56;
inline constexpr std::uint8_t kCredentialsSeparator[2] = {0x55, 0xAA};

// Discovery replies.
inline constexpr std::size_t kDhcpFlagOffset = 21;
inline constexpr std::size_t kReplyNetmaskOffset = 24;
inline constexpr std::size_t kReplyGatewayOffset = 40;
inline constexpr std::size_t kReplyTextFieldWidth = 16;
inline constexpr std::size_t kDiscoveryReplyHeaderLength = 60;  // opcode 2
inline constexpr std::size_t kDiscoveryNameLengthOffset = 56;
inline constexpr std::size_t kDiscoveryReplyExtHeaderLength = 72;  // opcode 7
inline constexpr std::size_t kMatchCode1Offset = 56;
inline constexpr std::size_t kMatchCode2Offset = 57;
inline constexpr std::size_t kDiscoveryExtNameLengthOffset = 68;
inline constexpr std::size_t kMaxNameLength = 255;
// Longest user name or password a credentials request carries, for the device and its shares
// alike.
inline constexpr std::size_t kMaxLoginLength = 16;

// Read replies.
inline constexpr std::size_t kReadReplyValueOffset = 28;

// Receiving.
inline constexpr std::size_t kReceiveCapacity = 4096;

// Timing.
inline constexpr std::chrono::milliseconds kPollWait{10};
inline constexpr std::chrono::milliseconds kDiscoverySendPause{50};  // after each of the two sends
inline constexpr int kDiscoverySends = 2;
inline constexpr std::chrono::milliseconds kDiscoveryPollPause{20};
inline constexpr int kDiscoveryPollsPerInterface = 32;
inline constexpr std::chrono::milliseconds kExchangePollPause{100};

// Poll limits (an exchange fails when its counter exceeds the limit) and drain rounds.
inline constexpr int kShortLimit = 10;
inline constexpr int kMediumLimit = 20;
inline constexpr int kLongLimit = 100;
inline constexpr int kShortDrain = 6;
inline constexpr int kLongDrain = 11;
inline constexpr int kCredentialsDrain = kLongDrain;

}  // namespace corvane::protocol
