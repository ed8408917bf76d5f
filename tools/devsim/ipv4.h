// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvane::devsim {

// An IPv4 address in host byte order, so octet 0 is the most significant byte.
struct Ipv4 {
  std::uint32_t value = 0;

  std::uint8_t Octet(int index) const {
    return static_cast<std::uint8_t>(value >> (24 - 8 * index));
  }
  bool operator==(const Ipv4&) const = default;
};

// Strict dotted-quad parsing: four decimal octets 0-255, nothing else.
std::optional<Ipv4> ParseIpv4(std::string_view text);
std::string FormatIpv4(Ipv4 address);

// "192.168.50.21/24"; a missing prefix means /24.
struct AddressWithPrefix {
  Ipv4 address;
  int prefix = 24;
  bool operator==(const AddressWithPrefix&) const = default;
};
std::optional<AddressWithPrefix> ParseAddressWithPrefix(std::string_view text);

// Only contiguous masks are accepted ("255.255.0.0" gives 16).
std::optional<int> PrefixFromNetmask(std::string_view netmask);
std::string NetmaskFromPrefix(int prefix);

}  // namespace corvane::devsim
