// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "protocol/validation.h"

namespace corvane::cli {

// The three dotted texts a static address change sends.
struct StaticSettings {
  std::string address;
  std::string netmask;
  std::string gateway;
};

struct StaticCheck {
  std::optional<StaticSettings> settings;
  std::string error;  // the message to show when settings is empty
};

// Reads an address the way the window's address control is read: four decimal fields separated
// by dots, an empty field reads as 0. Values above 255 are kept so the octet rules can name the
// field. std::nullopt when the text is blank; error set when it is no dotted text at all.
struct OctetsInput {
  std::optional<validation::Octets> octets;
  bool malformed = false;
};
OctetsInput ReadOctets(std::string_view text);

// The checks of a static change, in the window's order: presence of each address, the octet
// rules of address, netmask and gateway, then the gateway test.
StaticCheck CheckStaticSettings(const std::optional<std::string>& ip,
                                const std::optional<std::string>& netmask,
                                const std::optional<std::string>& gateway);

// Host name then workgroup: emptiness, forbidden characters, length. The message, if refused.
std::optional<std::string> CheckNames(const std::optional<std::string>& hostName,
                                      const std::optional<std::string>& workgroup);

// The device takes at most 16 characters of password.
inline constexpr std::size_t kMaxPasswordLength = 16;
std::optional<std::string> CheckPassword(std::string_view password);

// A message made fit for one line of a terminal: the line break inside some texts becomes a
// blank.
std::string OneLine(std::string_view message);

}  // namespace corvane::cli
