// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "ipv4.h"

namespace corvane::devsim {

// Gives the interface exactly this one IPv4 address (in the current network namespace) with
// the `ip` tool. Returns an empty text on success, otherwise what went wrong.
std::string ReplaceInterfaceAddress(const std::string& interface, const AddressWithPrefix& address);

}  // namespace corvane::devsim
