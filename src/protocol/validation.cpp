// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/validation.h"

#include <cstddef>
#include <cstring>

namespace corvane::validation {

namespace {

// One row per kind, one column per octet.
constexpr std::array<std::array<std::string_view, 4>, 3> kOctetMessages = {{
    {kIpOctet1, kIpOctet2, kIpOctet3, kIpOctet4},
    {kNetmaskOctet1, kNetmaskOctet2, kNetmaskOctet3, kNetmaskOctet4},
    {kGatewayOctet1, kGatewayOctet2, kGatewayOctet3, kGatewayOctet4},
}};

bool OctetInRange(AddressKind kind, int position, int value) {
  // A host or gateway cannot sit on the network or the broadcast address of a /24.
  const bool isHostLast = position == 3 && kind != AddressKind::kNetmask;
  const int lowest = isHostLast ? 1 : 0;
  const int highest = isHostLast ? 254 : 255;
  return value >= lowest && value <= highest;
}

// The order of the list decides nothing: each byte matches at most one entry.
constexpr std::string_view kHostNameForbidden = ",&^$'%!)(#@][}{`~;=+.|><\"?*:\\/ ";
constexpr std::string_view kWorkgroupForbidden = ",'][}{`~;=+.|><\"?*:\\/ ";

std::optional<char> FirstForbiddenByte(std::string_view text, std::string_view forbidden) {
  for (const char byte : text) {
    if (forbidden.find(byte) != std::string_view::npos) return byte;
  }
  return std::nullopt;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Value of c as a digit of the given base, or -1. The digits 8 and 9 count in octal too.
int DigitValue(char c, unsigned base) {
  if (c >= '0' && c <= '9') return c - '0';
  if (base == 16 && c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (base == 16 && c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<OctetError> ValidateAddress(AddressKind kind, const Octets& octets) {
  const int row = static_cast<int>(kind) - 1;
  if (row < 0 || row > 2) return std::nullopt;
  for (int position = 0; position < 4; ++position) {
    if (!OctetInRange(kind, position, octets[position])) {
      return OctetError{position, kOctetMessages[row][position]};
    }
  }
  return std::nullopt;
}

bool GatewayInSubnet(const Octets& address, const Octets& mask, const Octets& gateway) {
  return SameSubnet(gateway, mask, address);
}

std::optional<std::string_view> CheckHostName(std::string_view hostName) {
  if (hostName.empty()) return kHostNameEmpty;
  const std::optional<char> forbidden = FirstForbiddenByte(hostName, kHostNameForbidden);
  if (!forbidden) return std::nullopt;
  return *forbidden == '\'' ? kHostNameFormatShort : kHostNameFormatLong;
}

std::optional<std::string_view> CheckWorkgroup(std::string_view workgroup) {
  if (workgroup.empty()) return kWorkgroupEmpty;
  if (FirstForbiddenByte(workgroup, kWorkgroupForbidden)) return kWorkgroupFormat;
  return std::nullopt;
}

int ParseDottedAddress(std::string_view text, std::uint32_t* address) {
  std::array<std::uint32_t, 3> parts{};
  std::size_t stored = 0;
  std::size_t at = 0;
  std::uint32_t value = 0;
  for (;;) {
    unsigned base = 10;
    if (at < text.size() && text[at] == '0') {
      ++at;
      base = 8;
      if (at < text.size() && (text[at] == 'x' || text[at] == 'X')) {
        ++at;
        base = 16;
      }
    }
    value = 0;
    int digit = 0;
    while (at < text.size() && (digit = DigitValue(text[at], base)) >= 0) {
      value = value * base + static_cast<std::uint32_t>(digit);
      ++at;
    }
    if (at < text.size() && text[at] == '.') {
      if (stored >= 3 || value > 255) return 0;
      parts[stored++] = value;
      ++at;
      continue;
    }
    break;
  }
  for (; at < text.size(); ++at) {
    if (!IsBlank(text[at])) return 0;
  }
  std::uint32_t combined = 0;
  switch (stored) {
    case 0:
      combined = value;
      break;
    case 1:
      if (value > 0xFFFFFFu) return 0;
      combined = parts[0] << 24 | value;
      break;
    case 2:
      if (value > 0xFFFFu) return 0;
      combined = parts[0] << 24 | parts[1] << 16 | value;
      break;
    default:
      if (value > 0xFFu) return 0;
      combined = parts[0] << 24 | parts[1] << 16 | parts[2] << 8 | value;
      break;
  }
  if (address != nullptr) {
    const std::array<std::uint8_t, 4> bytes = {
        static_cast<std::uint8_t>(combined >> 24), static_cast<std::uint8_t>(combined >> 16),
        static_cast<std::uint8_t>(combined >> 8), static_cast<std::uint8_t>(combined)};
    // Network byte order: the first octet lies first in memory, whatever the host order.
    std::memcpy(address, bytes.data(), bytes.size());
  }
  return 1;
}

std::optional<Octets> ToOctets(std::string_view dotted) {
  std::uint32_t address = 0;
  if (ParseDottedAddress(dotted, &address) == 0) return std::nullopt;
  std::array<std::uint8_t, 4> bytes{};
  std::memcpy(bytes.data(), &address, bytes.size());
  return Octets{bytes[0], bytes[1], bytes[2], bytes[3]};
}

std::string ToDotted(const Octets& octets) {
  std::string text;
  for (std::size_t k = 0; k < octets.size(); ++k) {
    if (k != 0) text += '.';
    text += std::to_string(octets[k]);
  }
  return text;
}

bool SameSubnet(const Octets& device, const Octets& mask, const Octets& local) {
  for (std::size_t k = 0; k < 4; ++k) {
    if ((mask[k] & device[k]) != (mask[k] & local[k])) return false;
  }
  return true;
}

}  // namespace corvane::validation
