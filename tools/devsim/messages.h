// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ipv4.h"

namespace corvane::devsim {

inline constexpr std::uint16_t kPort = 13579;
inline constexpr char kGroup[] = "224.0.0.1";

enum Opcode : std::uint8_t {
  kDiscoveryRequest = 1,
  kDiscoveryReply = 2,
  kReadRequest = 3,
  kReadReply = 4,
  kSetRequest = 5,
  kSetReply = 6,
  kDiscoveryReplyExt = 7,
};

using ClientId = std::array<std::uint8_t, 10>;

// DeviceId: six identifier bytes, then the IPv4 address first octet first.
struct DeviceIdentity {
  std::array<std::uint8_t, 6> id{};
  Ipv4 address;
};

// A request as the device understands it. Texts are cut at their first zero byte.
struct Request {
  std::uint8_t opcode = 0;
  ClientId clientId{};
  DeviceIdentity target;  // read and set requests only
  std::uint8_t item = 0;  // read and set requests only
  std::string netmask;    // set requests: bytes 24-39
  std::string gateway;    // set requests: bytes 40-55
  std::vector<std::uint8_t> payload;
};

// Anything too short, with an unknown opcode or with a payload length that runs past the end
// of the datagram is not a request.
std::optional<Request> ParseRequest(std::span<const std::uint8_t> datagram);

struct DiscoveryAnswer {
  int form = 2;  // 2 or 7
  ClientId clientId{};
  DeviceIdentity device;
  bool dhcp = false;
  std::string netmask;
  std::string gateway;
  std::array<std::uint8_t, 2> matchCodes{};
  std::string name;
};

std::vector<std::uint8_t> BuildDiscoveryReply(const DiscoveryAnswer& answer);
std::vector<std::uint8_t> BuildReadReply(const ClientId& clientId, const DeviceIdentity& device,
                                         std::uint8_t item, const std::string& value);
std::vector<std::uint8_t> BuildSetReply(const ClientId& clientId, const DeviceIdentity& device,
                                        std::uint8_t item);

// Longest text the device keeps; a discovery reply cannot announce a longer name.
inline constexpr std::size_t kMaxText = 255;

}  // namespace corvane::devsim
