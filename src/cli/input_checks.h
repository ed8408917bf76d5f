// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "operations/input_rules.h"
#include "operations/lan_settings.h"

namespace corvane::cli {

// Reads an address the way the window's address control is read: four decimal fields separated
// by dots, an empty field reads as 0. Values above 255 are kept so the octet rules can name the
// field. std::nullopt when the text is blank; error set when it is no dotted text at all.
struct OctetsInput {
  std::optional<protocol::Octets> octets;
  bool malformed = false;
};
OctetsInput ReadOctets(std::string_view text);

// The three addresses of a static change as the options give them, for the checks of the LAN
// operation. A text that is no dotted address at all is refused with the option's name.
operations::StaticAddressInput ReadStaticInput(const std::optional<std::string>& ip,
                                               const std::optional<std::string>& netmask,
                                               const std::optional<std::string>& gateway);

// The device takes at most protocol::kMaxLoginLength characters of password.
std::optional<std::string> CheckPassword(std::string_view password);

// A message made fit for one line of a terminal: the line break inside some texts becomes a
// blank.
std::string OneLine(std::string_view message);

}  // namespace corvane::cli
