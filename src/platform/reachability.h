// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Whether a device's web server can be reached: a real TCP connection to its web port.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace corvane::platform {

inline constexpr std::uint16_t kHttpPort = 80;

// True when a TCP connection to address:port opens within the bound. The address is dotted IPv4
// text; names are not looked up (a look-up could not be bounded), so they read as unreachable.
bool CheckHttpReachable(const std::string& address, std::chrono::milliseconds bound,
                        std::uint16_t port = kHttpPort);

using ReachabilityTest =
    std::function<bool(const std::string& address, std::chrono::milliseconds bound)>;

// How long a reachability test may take: a device that has not taken the connection by then
// counts as gone.
inline constexpr std::chrono::milliseconds kReachabilityBound{1500};

}  // namespace corvane::platform
