// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/reachability_check.h"

namespace corvane::operations {

bool CheckReachable(const std::string& address, Interaction& interaction,
                    const platform::ReachabilityTest& test) {
  platform::ReachabilityWorker worker(address, platform::kReachabilityBound, test);
  interaction.WaitUntil([&] { return worker.Result() != platform::Reachability::kPending; },
                        kReachabilityWait);
  return worker.Result() == platform::Reachability::kReachable;
}

}  // namespace corvane::operations
