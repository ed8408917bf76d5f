// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Whether the device still answers, checked before its web page is opened or one of its shares
// is mapped.

#include <string>

#include "operations/interaction.h"
#include "platform/reachability.h"

namespace corvane::operations {

// True when the device's web server at address takes a connection within
// platform::kReachabilityBound. The test runs aside and is over when the check returns, so an
// answer that comes late can never count for a later check. An empty test connects to the web
// port.
bool CheckReachable(const std::string& address, Interaction& interaction,
                    const platform::ReachabilityTest& test = {});

}  // namespace corvane::operations
