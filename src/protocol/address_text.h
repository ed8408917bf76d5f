// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// IPv4 addresses as the devices and the program write them: four decimal numbers 0-255 separated
// by dots, without leading zeros (which other readers take for octal).

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace corvane::protocol {

using Octets = std::array<int, 4>;  // first octet first

// "%d.%d.%d.%d", first octet first. The one place an address becomes text: reply bytes,
// address controls and command-line input alike.
std::string ToDotted(const Octets& octets);

// The octets of a dotted address as written above; empty for anything else (hex or octal parts,
// fewer parts, blanks, leading zeros, a part above 255).
std::optional<Octets> ParseAddress(std::string_view text);

}  // namespace corvane::protocol
