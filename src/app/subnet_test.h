// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

#include "protocol/validation.h"

namespace corvane::app {

// True when the device lies in the subnet, under its own netmask, of the local interface whose
// dotted address it answered through. Only then can the share, web page and language operations
// reach it.
bool DeviceInLocalSubnet(const validation::Octets& device, const validation::Octets& mask,
                         std::string_view localInterfaceAddress);

}  // namespace corvane::app
