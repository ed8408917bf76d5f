// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/address_text.h"

#include <arpa/inet.h>

#include <cstdint>
#include <cstring>

namespace corvane::protocol {

namespace {

// inet_pton takes the rest; whether it refuses leading zeros differs between systems.
bool HasLeadingZero(std::string_view text) {
  for (std::size_t at = 0; at + 1 < text.size(); ++at) {
    const bool partStart = at == 0 || text[at - 1] == '.';
    if (partStart && text[at] == '0' && text[at + 1] != '.') return true;
  }
  return false;
}

}  // namespace

std::string ToDotted(const Octets& octets) {
  std::string text;
  for (std::size_t k = 0; k < octets.size(); ++k) {
    if (k != 0) text += '.';
    text += std::to_string(octets[k]);
  }
  return text;
}

std::optional<Octets> ParseAddress(std::string_view text) {
  constexpr std::size_t kLongest = 15;  // 255.255.255.255
  if (text.empty() || text.size() > kLongest || HasLeadingZero(text)) return std::nullopt;
  char terminated[kLongest + 1] = {};
  std::memcpy(terminated, text.data(), text.size());
  std::uint8_t bytes[4] = {};
  if (::inet_pton(AF_INET, terminated, bytes) != 1) return std::nullopt;
  return Octets{bytes[0], bytes[1], bytes[2], bytes[3]};
}

}  // namespace corvane::protocol
