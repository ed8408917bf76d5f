// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Private to the operations: platform calls that block for a while (mounts, unmounts, the
// session check) run on a thread of their own while the front end waits in its own way, so a
// window keeps painting meanwhile.

#include <atomic>
#include <chrono>
#include <system_error>
#include <thread>
#include <utility>

#include "operations/interaction.h"

namespace corvane::operations::internal {

// Only a safety net: every platform call run aside is bounded by itself, far below this.
inline constexpr std::chrono::milliseconds kAsideLimit{std::chrono::minutes(2)};

// Runs work on a thread of its own, waits through the front end until it has ended, and returns
// its result. work must not touch the front end.
template <typename Work>
auto RunAside(Interaction& interaction, Work work) -> decltype(work()) {
  decltype(work()) result{};
  std::atomic<bool> done{false};
  std::thread worker;
  try {
    worker = std::thread([&] {
      result = work();
      done.store(true, std::memory_order_release);
    });
  } catch (const std::system_error&) {
    return work();  // no thread to be had: the front end waits without its usual care
  }
  interaction.WaitUntil([&] { return done.load(std::memory_order_acquire); }, kAsideLimit);
  worker.join();
  return result;
}

}  // namespace corvane::operations::internal
