// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/address_text.h"

#include <cstdint>

namespace corvane::protocol {

namespace {

// Read here rather than by the system's inet_pton, whose rules (leading zeros) differ between
// systems.
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
  Octets octets{};
  std::size_t part = 0;
  std::size_t digits = 0;
  unsigned value = 0;
  for (const char c : text) {
    if (c == '.') {
      if (digits == 0 || part == 3) return std::nullopt;
      octets[part++] = static_cast<int>(value);
      digits = 0;
      value = 0;
    } else if (c >= '0' && c <= '9' && digits < 3) {
      value = value * 10 + static_cast<unsigned>(c - '0');
      ++digits;
      if (value > 255) return std::nullopt;
    } else {
      return std::nullopt;
    }
  }
  if (digits == 0 || part != 3) return std::nullopt;
  octets[3] = static_cast<int>(value);
  return octets;
}

}  // namespace corvane::protocol
