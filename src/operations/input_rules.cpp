// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/input_rules.h"

#include <cstddef>
#include <cstring>

namespace corvane::operations {

namespace {

// One row per kind, one column per octet.
constexpr std::array<std::array<std::string_view, 4>, 3> kOctetMessages = {{
    {text::kIpOctet1, text::kIpOctet2, text::kIpOctet3, text::kIpOctet4},
    {text::kNetmaskOctet1, text::kNetmaskOctet2, text::kNetmaskOctet3, text::kNetmaskOctet4},
    {text::kGatewayOctet1, text::kGatewayOctet2, text::kGatewayOctet3, text::kGatewayOctet4},
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

}  // namespace

std::optional<OctetError> ValidateAddress(AddressKind kind, const Octets& octets) {
  const int row = static_cast<int>(kind) - 1;
  if (row < 0 || row > 2) return std::nullopt;
  for (int position = 0; position < 4; ++position) {
    if (!OctetInRange(kind, position, octets[position])) {
      return OctetError{position, platform::Tr(kOctetMessages[row][position])};
    }
  }
  return std::nullopt;
}

bool GatewayInSubnet(const Octets& address, const Octets& mask, const Octets& gateway) {
  return SameSubnet(gateway, mask, address);
}

std::optional<std::string_view> CheckHostName(std::string_view hostName) {
  if (hostName.empty()) return platform::Tr(text::kHostNameEmpty);
  const std::optional<char> forbidden = FirstForbiddenByte(hostName, kHostNameForbidden);
  if (!forbidden) return std::nullopt;
  return platform::Tr(*forbidden == '\'' ? text::kHostNameFormatShort : text::kHostNameFormatLong);
}

std::optional<std::string_view> CheckWorkgroup(std::string_view workgroup) {
  if (workgroup.empty()) return platform::Tr(text::kWorkgroupEmpty);
  if (FirstForbiddenByte(workgroup, kWorkgroupForbidden))
    return platform::Tr(text::kWorkgroupFormat);
  return std::nullopt;
}

bool SameSubnet(const Octets& device, const Octets& mask, const Octets& local) {
  for (std::size_t k = 0; k < 4; ++k) {
    if ((mask[k] & device[k]) != (mask[k] & local[k])) return false;
  }
  return true;
}

}  // namespace corvane::operations
