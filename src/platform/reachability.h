// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Whether a device's web server can be reached: a real TCP connection to its web port, and a
// worker that runs that test beside a window that keeps painting.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace corvane::platform {

inline constexpr std::uint16_t kHttpPort = 80;

// True when a TCP connection to address:port opens within the bound. The address is dotted IPv4
// text; names are not looked up (a look-up could not be bounded), so they read as unreachable.
bool CheckHttpReachable(const std::string& address, std::chrono::milliseconds bound,
                        std::uint16_t port = kHttpPort);

enum class Reachability { kPending = 0, kReachable = 1, kUnreachable = -1 };

using ReachabilityTest =
    std::function<bool(const std::string& address, std::chrono::milliseconds bound)>;

// A test whose caller polls for about two seconds: the worker is done before the caller gives
// up, so it can always be joined without making the caller wait longer.
inline constexpr std::chrono::milliseconds kReachabilityBound{1500};

// One reachability check: starts the test of one address on a thread of its own at
// construction. The result lives in this object and nowhere else, so a test that finishes late
// can never answer a later check of another device; the destructor joins the thread, which
// ends within the bound given to the test.
class ReachabilityWorker {
 public:
  ReachabilityWorker(std::string address, std::chrono::milliseconds bound,
                     ReachabilityTest test = {});  // empty: CheckHttpReachable on port 80
  ~ReachabilityWorker();
  ReachabilityWorker(const ReachabilityWorker&) = delete;
  ReachabilityWorker& operator=(const ReachabilityWorker&) = delete;

  // The result so far, without waiting.
  Reachability Result() const;
  // Waits until the result is known or the time is up, and returns it (pending when not yet).
  Reachability WaitFor(std::chrono::milliseconds wait);

 private:
  mutable std::mutex mutex_;
  std::condition_variable done_;
  Reachability result_ = Reachability::kPending;
  std::thread thread_;
};

}  // namespace corvane::platform
