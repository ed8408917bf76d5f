// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/reachability_check.h"

#include "operations/blocking.h"

namespace corvane::operations {

bool CheckReachable(const std::string& address, Interaction& interaction,
                    const platform::ReachabilityTest& test) {
  return RunBlocking(interaction, [&] {
    return test ? test(address, platform::kReachabilityBound)
                : platform::CheckHttpReachable(address, platform::kReachabilityBound);
  });
}

}  // namespace corvane::operations
