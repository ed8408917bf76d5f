// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The one way an operation waits: a search or a request, a file or mount call, a reachability
// test, a pause the device needs. The work runs on a thread of its own while the front end
// waits in its way (the window painting, the command line just waiting); the thread is always
// joined before the result is returned. Every piece of work given here ends by itself within a
// bound: the exchanges, the SMB and GVfs calls and the web-port test each have one.

#include <atomic>
#include <chrono>
#include <optional>
#include <system_error>
#include <thread>
#include <type_traits>

#include "operations/interaction.h"

namespace corvane::operations {

// work must not touch the front end.
template <typename Work>
auto RunBlocking(Interaction& interaction, Work work) -> decltype(work()) {
  using Result = decltype(work());
  std::atomic<bool> done{false};
  if constexpr (std::is_void_v<Result>) {
    std::thread worker;
    try {
      worker = std::thread([&] {
        work();
        done.store(true, std::memory_order_release);
      });
    } catch (const std::system_error&) {
      return work();  // no thread to be had: the front end waits without its usual care
    }
    interaction.WaitUntil([&] { return done.load(std::memory_order_acquire); });
    worker.join();
  } else {
    std::optional<Result> result;
    std::thread worker;
    try {
      worker = std::thread([&] {
        result.emplace(work());
        done.store(true, std::memory_order_release);
      });
    } catch (const std::system_error&) {
      return work();
    }
    interaction.WaitUntil([&] { return done.load(std::memory_order_acquire); });
    worker.join();
    return std::move(*result);
  }
}

// A pause the devices need, waited like any other work.
inline void Pause(Interaction& interaction, std::chrono::milliseconds duration) {
  RunBlocking(interaction, [duration] { std::this_thread::sleep_for(duration); });
}

}  // namespace corvane::operations
