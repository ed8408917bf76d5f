// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Windows' network calls (mapping a drive, opening a file on a share) can hang for as long as a
// silent server keeps them. Each runs on a thread of its own that the caller waits for within
// its bound; one that overruns is reported as such and still ends before the owner's next call
// starts, and before the owner goes. Its result then goes nowhere.

#include <chrono>
#include <future>
#include <memory>
#include <optional>
#include <thread>
#include <utility>

namespace corvane::platform {

class BoundedWorker {
 public:
  BoundedWorker() = default;
  BoundedWorker(const BoundedWorker&) = delete;
  BoundedWorker& operator=(const BoundedWorker&) = delete;
  ~BoundedWorker() { Finish(); }

  // The work's result, or nothing when it did not end within the bound (or no thread could be
  // started). The work must own everything it uses: it may outlive the call.
  template <typename Work>
  auto Run(std::chrono::milliseconds bound, Work work)
      -> std::optional<decltype(std::declval<Work&>()())> {
    using Result = decltype(work());
    Finish();
    auto promise = std::make_shared<std::promise<Result>>();
    std::future<Result> answer = promise->get_future();
    try {
      thread_ =
          std::thread([promise, work = std::move(work)]() mutable { promise->set_value(work()); });
    } catch (const std::system_error&) {
      return std::nullopt;
    }
    if (answer.wait_for(bound) != std::future_status::ready) return std::nullopt;
    Finish();
    return answer.get();
  }

 private:
  void Finish() {
    if (thread_.joinable()) thread_.join();
  }

  std::thread thread_;
};

}  // namespace corvane::platform
