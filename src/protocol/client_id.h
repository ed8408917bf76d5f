// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "protocol/protocol_types.h"

namespace corvane::protocol {

// Six bytes from the system's random source, then four zero bytes. Two runs started in the same
// second must not share an id, or each would take the other's replies.
ClientIdBytes DrawClientId();

}  // namespace corvane::protocol
