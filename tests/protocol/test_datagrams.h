// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Device-side datagrams for tests, laid out independently of the readers under test.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/session.h"

namespace corvane::protocol::testing {

using Bytes = std::vector<std::uint8_t>;

inline constexpr ClientIdBytes kTestClientId = {0xa1, 0xb2, 0xc3, 0xd4, 0xe5, 0xf6, 0, 0, 0, 0};
inline constexpr ClientIdBytes kOtherClientId = {0xa1, 0xb2, 0xc3, 0xd4, 0xe5, 0x00, 0, 0, 0, 0};

struct DeviceFacts {
  std::array<std::uint8_t, 6> id = {0x00, 0x11, 0x22, 0x33, 0x44, 0xaa};
  std::array<std::uint8_t, 4> address = {192, 168, 50, 21};
  char dhcp = '0';
  std::string netmask = "255.255.255.0";
  std::string gateway = "192.168.50.1";
  std::string name = "NAS1";
};

inline void PutLe32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline void PutText(Bytes& bytes, std::size_t offset, std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i)
    bytes[offset + i] = static_cast<std::uint8_t>(text[i]);
}

// Opcode, ClientId and DeviceId: the first 21 bytes every reply shares.
inline Bytes ReplyHead(std::uint8_t opcode, const ClientIdBytes& client, const DeviceFacts& device,
                       std::size_t length) {
  Bytes bytes(length, 0);
  bytes[0] = opcode;
  for (std::size_t i = 0; i < 10 && 1 + i < length; ++i) bytes[1 + i] = client[i];
  for (std::size_t i = 0; i < 6 && 11 + i < length; ++i) bytes[11 + i] = device.id[i];
  for (std::size_t i = 0; i < 4 && 17 + i < length; ++i) bytes[17 + i] = device.address[i];
  return bytes;
}

inline Bytes DiscoveryReply(const ClientIdBytes& client, const DeviceFacts& device) {
  Bytes bytes = ReplyHead(2, client, device, 60 + device.name.size());
  bytes[21] = static_cast<std::uint8_t>(device.dhcp);
  PutText(bytes, 24, device.netmask);
  PutText(bytes, 40, device.gateway);
  PutLe32(bytes, 56, static_cast<std::uint32_t>(device.name.size()));
  PutText(bytes, 60, device.name);
  return bytes;
}

inline Bytes DiscoveryReplyExt(const ClientIdBytes& client, const DeviceFacts& device,
                               std::uint8_t match1, std::uint8_t match2) {
  Bytes bytes = ReplyHead(7, client, device, 72 + device.name.size());
  bytes[21] = static_cast<std::uint8_t>(device.dhcp);
  PutText(bytes, 24, device.netmask);
  PutText(bytes, 40, device.gateway);
  bytes[56] = match1;
  bytes[57] = match2;
  PutLe32(bytes, 68, static_cast<std::uint32_t>(device.name.size()));
  PutText(bytes, 72, device.name);
  return bytes;
}

inline Bytes ReadReply(const ClientIdBytes& client, const DeviceFacts& device,
                       std::string_view value, std::uint8_t item = 6) {
  Bytes bytes = ReplyHead(4, client, device, 28 + value.size());
  bytes[21] = item;
  PutLe32(bytes, 24, static_cast<std::uint32_t>(value.size()));
  PutText(bytes, 28, value);
  return bytes;
}

inline Bytes SetReply(const ClientIdBytes& client, const DeviceFacts& device,
                      std::uint8_t item = 5) {
  Bytes bytes = ReplyHead(6, client, device, 28);
  bytes[21] = item;
  return bytes;
}

}  // namespace corvane::protocol::testing
