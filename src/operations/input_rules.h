// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The rules the user's input must keep before anything is sent, shared by the window and the
// command line, with the texts the user sees.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "operations/texts.h"
#include "protocol/address_text.h"

namespace corvane::operations {

using protocol::Octets;

enum class AddressKind { kIp = 1, kNetmask = 2, kGateway = 3 };

struct OctetError {
  int field;                 // 0-3: the octet at fault, where the focus goes
  std::string_view message;  // e.g. "Invalid IP address in 4th digit. It should be 1-254."
};

// The octet rules: 0-255 for every octet, but 1-254 for the last octet of an IP address or
// gateway. Empty when valid.
std::optional<OctetError> ValidateAddress(AddressKind kind, const Octets& octets);

// True when the gateway lies in the subnet of the address under the mask.
bool GatewayInSubnet(const Octets& address, const Octets& mask, const Octets& gateway);

// Host name and workgroup: empty when acceptable, else the message to show.
std::optional<std::string_view> CheckHostName(std::string_view hostName);
std::optional<std::string_view> CheckWorkgroup(std::string_view workgroup);

// True when (mask AND device) equals (mask AND local) in every octet.
bool SameSubnet(const Octets& device, const Octets& mask, const Octets& local);

// Longest host name or workgroup the device buffers hold. CheckHostName and CheckWorkgroup do
// not test it: each caller decides whether to refuse or cut a longer text.
inline constexpr std::size_t kMaxNameLength = 31;

}  // namespace corvane::operations
