// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Input rules shared by the window and the command line, with the texts the user sees.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvane::validation {

using Octets = std::array<int, 4>;  // first octet first

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

// BSD inet_aton rules (hex, octal, 1-4 parts, trailing blanks). Returns 1 on success and stores
// the address in network byte order when address is given; 0 otherwise.
int ParseDottedAddress(std::string_view text, std::uint32_t* address);

// Octets of a dotted text for the address controls; empty when it does not parse.
std::optional<Octets> ToOctets(std::string_view dotted);

// The dotted text of four octets, "%d.%d.%d.%d" first octet first, with no leading zeros. The
// one place an address becomes text: reply bytes, address controls and command-line input.
std::string ToDotted(const Octets& octets);

// True when (mask AND device) equals (mask AND local) in every octet.
bool SameSubnet(const Octets& device, const Octets& mask, const Octets& local);

// Texts of the LAN settings and the name change.
inline constexpr std::string_view kSelectServerToModifyIp =
    "You should select a server to modify IP!";
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

// The octet messages of ValidateAddress, by kind and octet.
inline constexpr std::string_view kIpOctet1 =
    "Invalid IP address in 1st digit. It should be 0-255.";
inline constexpr std::string_view kIpOctet2 =
    "Invalid IP address in 2nd digit. It should be 0-255.";
inline constexpr std::string_view kIpOctet3 =
    "Invalid IP address in 3rd digit. It should be 0-255.";
inline constexpr std::string_view kIpOctet4 =
    "Invalid IP address in 4th digit. It should be 1-254.";
inline constexpr std::string_view kNetmaskOctet1 =
    "Invalid subnet mask address in 1st digit. It should be 0-255.";
inline constexpr std::string_view kNetmaskOctet2 =
    "Invalid subnet mask address in 2nd digit. It should be 0-255.";
inline constexpr std::string_view kNetmaskOctet3 =
    "Invalid subnet mask address in 3rd digit. It should be 0-255.";
inline constexpr std::string_view kNetmaskOctet4 =
    "Invalid subnet mask address in 4th digit. It should be 0-255.";
inline constexpr std::string_view kGatewayOctet1 =
    "Invalid gateway IP address in 1st digit. It should be 0-255.";
inline constexpr std::string_view kGatewayOctet2 =
    "Invalid gateway IP address in 2nd digit. It should be 0-255.";
inline constexpr std::string_view kGatewayOctet3 =
    "Invalid gateway IP address in 3rd digit. It should be 0-255.";
inline constexpr std::string_view kGatewayOctet4 =
    "Invalid gateway IP address in 4th digit. It should be 1-254.";

// Format messages of the name change. The short host-name text is shown when an apostrophe is
// the first forbidden character, the long one (ending in " ,") for every other.
inline constexpr std::string_view kHostNameFormatShort =
    "The Host Name format is not correct.\r\nCan not include \\ /:*?\"< >|.;+=~'[ ]{} @ # ()!'^$% "
    "&";
inline constexpr std::string_view kHostNameFormatLong =
    "The Host Name format is not correct.\r\nCan not include \\ /:*?\"< >|.;+=~'[ ]{} @ # ()!'^$% "
    "& ,";
inline constexpr std::string_view kWorkgroupFormat =
    "The Workgroup format is not correct.\r\nCan not include \\ /:*?\"< >|.;+=~'[ ]{} ,";

// Longest host name or workgroup the device buffers hold. CheckHostName and CheckWorkgroup do
// not test it: each caller decides whether to refuse or cut a longer text.
inline constexpr std::size_t kMaxNameLength = 31;
inline constexpr std::string_view kHostNameTooLong =
    "The Host Name cannot be longer than 31 characters!";
inline constexpr std::string_view kWorkgroupTooLong =
    "The Workgroup cannot be longer than 31 characters!";

}  // namespace corvane::validation
