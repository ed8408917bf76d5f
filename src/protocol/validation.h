// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Input rules shared by the window and the command line, with the texts the user sees.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace corvane::validation {

using Octets = std::array<int, 4>;  // first octet first

enum class AddressKind { kIp = 1, kNetmask = 2, kGateway = 3 };

struct OctetError {
  int field;                // 0-3: the octet at fault, where the focus goes
  std::string_view message; // e.g. "Invalid IP address in 4th digit. It should be 1-254."
};

// The octet rules: 0-255 for every octet, but 1-254 for the last octet of an IP address or
// gateway. Empty when valid.
std::optional<OctetError> ValidateAddress(AddressKind kind, const Octets& octets);

// True when the gateway lies in the subnet of the address under the mask.
bool GatewayInSubnet(const Octets& address, const Octets& mask, const Octets& gateway);

// Host name and workgroup: empty when acceptable, else the message to show.
std::optional<std::string_view> CheckHostName(std::string_view hostName);
std::optional<std::string_view> CheckWorkgroup(std::string_view workgroup);

// BSD inet_aton rules (hex, octal, 1-4 parts, trailing blanks). Returns 1 on success and stores
// the address in network byte order when address is given; 0 otherwise.
int ParseDottedAddress(std::string_view text, std::uint32_t* address);

// Octets of a dotted text for the address controls; empty when it does not parse.
std::optional<Octets> ToOctets(std::string_view dotted);

// True when (mask AND device) equals (mask AND local) in every octet.
bool SameSubnet(const Octets& device, const Octets& mask, const Octets& local);

// Texts of the LAN settings and the name change.
inline constexpr std::string_view kSelectServerToModifyIp = "You should select a server to modify IP!";
inline constexpr std::string_view kInputIpAddress = "Please input IP address!";
inline constexpr std::string_view kInputNetmask = "Please input net mask address!";
inline constexpr std::string_view kInputGateway = "Please input gateway address!";
inline constexpr std::string_view kGatewayInputError = "Gateway address input error!";
inline constexpr std::string_view kWrongAdminPassword = "Wrong administrator password input!";
inline constexpr std::string_view kDhcpDone = "Set to dhcp client done!";
inline constexpr std::string_view kDhcpFail = "Set to dhcp client fail";
inline constexpr std::string_view kSelectServerToModifyNames =
    "You should select a server to modify Host Name and Workgroup!";
inline constexpr std::string_view kHostNameEmpty = "The Host Name cannot be empty!";
inline constexpr std::string_view kWorkgroupEmpty = "The Workgroup cannot be empty!";

}  // namespace corvane::validation
