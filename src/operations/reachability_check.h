// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Whether the device still answers, checked before its web page is opened or one of its shares
// is mapped.

#include <chrono>
#include <string>

#include "operations/interaction.h"
#include "platform/reachability.h"

namespace corvane::operations {

// How long a front end waits for the answer. The test itself gives up sooner
// (platform::kReachabilityBound), so its thread has always ended when the wait does.
inline constexpr std::chrono::milliseconds kReachabilityWait{2000};

// True when the device's web server at address takes a connection. Each check has a test of its
// own, joined before the check returns: an answer that comes late can never count for a later
// check of this or another device. An empty test connects to the web port.
bool CheckReachable(const std::string& address, Interaction& interaction,
                    const platform::ReachabilityTest& test = {});

}  // namespace corvane::operations
