// SPDX-License-Identifier: GPL-3.0-or-later
#include <system_error>

#include "platform/reachability.h"

namespace corvane::platform {

ReachabilityWorker::ReachabilityWorker(std::string address, std::chrono::milliseconds bound,
                                       ReachabilityTest test) {
  if (!test) {
    test = [](const std::string& host, std::chrono::milliseconds limit) {
      return CheckHttpReachable(host, limit);
    };
  }
  try {
    thread_ = std::thread([this, address = std::move(address), bound, test = std::move(test)] {
      const bool reachable = test(address, bound);
      const std::lock_guard<std::mutex> lock(mutex_);
      result_ = reachable ? Reachability::kReachable : Reachability::kUnreachable;
      done_.notify_all();
    });
  } catch (const std::system_error&) {
    result_ = Reachability::kUnreachable;  // no thread, no test: the device cannot be confirmed
  }
}

ReachabilityWorker::~ReachabilityWorker() {
  if (thread_.joinable()) thread_.join();
}

Reachability ReachabilityWorker::Result() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return result_;
}

Reachability ReachabilityWorker::WaitFor(std::chrono::milliseconds wait) {
  std::unique_lock<std::mutex> lock(mutex_);
  done_.wait_for(lock, wait, [this] { return result_ != Reachability::kPending; });
  return result_;
}

}  // namespace corvane::platform
