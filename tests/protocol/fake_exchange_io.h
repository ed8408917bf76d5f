// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Scripted datagrams per interface for unit tests of the loop logic; records every send, poll
// and pause so a test can check the schedule without measuring time. Its clock moves only by
// the pauses and polls it is asked for.

#include <algorithm>
#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "protocol/exchange_io.h"
#include "test_datagrams.h"

namespace corvane::protocol::testing {

struct IoEvent {
  enum Kind { kSend, kPoll, kSleep, kPollTogether } kind;
  int interfaceIndex = -1;                      // send and poll
  long long milliseconds = 0;                   // sleep
  Bytes bytes;                                  // send: the request
  PollOutcome outcome = PollOutcome::kNothing;  // poll
  std::vector<int> together;                    // the interfaces of a joint poll

  bool Polls(int interface) const {
    if (kind == kPoll) return interface < 0 || interfaceIndex == interface;
    if (kind != kPollTogether) return false;
    return interface < 0 ||
           std::find(together.begin(), together.end(), interface) != together.end();
  }
};

class FakeExchangeIo : public ExchangeIo {
 public:
  struct Step {
    PollOutcome outcome;
    Bytes bytes;
  };

  // Queues what the next polls of an interface deliver; an empty queue delivers nothing.
  void Queue(int interfaceIndex, Bytes datagram) {
    steps_[interfaceIndex].push_back({PollOutcome::kDatagram, std::move(datagram)});
  }
  void QueueFailedRead(int interfaceIndex) {
    steps_[interfaceIndex].push_back({PollOutcome::kFailed, {}});
  }
  // The interface's next polls deliver nothing even if more is queued behind.
  void QueueNothing(int interfaceIndex, int polls = 1) {
    for (int i = 0; i < polls; ++i) steps_[interfaceIndex].push_back({PollOutcome::kNothing, {}});
  }
  // What a poll that reads something costs on the clock; a poll that reads nothing waits the
  // full poll wait. A flood of 250 datagrams a second is 4 ms.
  std::chrono::milliseconds readCost{0};
  // Called after each send, e.g. to queue the device's answer.
  std::function<void(int, const Bytes&)> onSend;

  void Send(int interfaceIndex, std::span<const std::uint8_t> bytes) override {
    Bytes copy(bytes.begin(), bytes.end());
    events.push_back({IoEvent::kSend, interfaceIndex, 0, copy, PollOutcome::kNothing, {}});
    if (onSend) onSend(interfaceIndex, copy);
  }

  PollOutcome Poll(int interfaceIndex, ReceiveBuffer& buffer) override {
    const PollOutcome outcome = Deliver(interfaceIndex, buffer);
    events.push_back({IoEvent::kPoll, interfaceIndex, 0, {}, outcome, {}});
    PassPollTime(outcome != PollOutcome::kNothing);
    return outcome;
  }

  void PollTogether(std::span<InterfacePoll> polls) override {
    IoEvent event{IoEvent::kPollTogether, -1, 0, {}, PollOutcome::kNothing, {}};
    bool readSomething = false;
    for (InterfacePoll& poll : polls) {
      poll.outcome = Deliver(poll.interfaceIndex, poll.buffer);
      readSomething |= poll.outcome != PollOutcome::kNothing;
      event.together.push_back(poll.interfaceIndex);
    }
    events.push_back(std::move(event));
    PassPollTime(readSomething);
  }

  void Sleep(std::chrono::milliseconds duration) override {
    events.push_back({IoEvent::kSleep, -1, duration.count(), {}, PollOutcome::kNothing, {}});
    now_ += duration;
  }

  std::chrono::steady_clock::time_point Now() override { return now_; }
  std::chrono::milliseconds Elapsed() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(now_.time_since_epoch());
  }

  int Count(IoEvent::Kind kind, int interfaceIndex = -1) const {
    int n = 0;
    for (const IoEvent& e : events) {
      if (kind == IoEvent::kPoll
              ? e.Polls(interfaceIndex)
              : e.kind == kind && (interfaceIndex < 0 || e.interfaceIndex == interfaceIndex)) {
        ++n;
      }
    }
    return n;
  }
  std::vector<IoEvent> Sends() const {
    std::vector<IoEvent> sends;
    for (const IoEvent& e : events) {
      if (e.kind == IoEvent::kSend) sends.push_back(e);
    }
    return sends;
  }
  std::size_t Pending(int interfaceIndex) { return steps_[interfaceIndex].size(); }

  // A compact picture of the schedule: "S0" send on 0, "P0" poll on 0, "P0+1" one poll on 0 and
  // 1 together, "z20" 20 ms pause.
  std::string Schedule() const {
    std::string text;
    for (const IoEvent& e : events) {
      if (!text.empty()) text += ' ';
      switch (e.kind) {
        case IoEvent::kSend:
          text += "S" + std::to_string(e.interfaceIndex);
          break;
        case IoEvent::kPoll:
          text += "P" + std::to_string(e.interfaceIndex);
          break;
        case IoEvent::kSleep:
          text += "z" + std::to_string(e.milliseconds);
          break;
        case IoEvent::kPollTogether:
          text += "P";
          for (std::size_t k = 0; k < e.together.size(); ++k) {
            text += (k ? "+" : "") + std::to_string(e.together[k]);
          }
          break;
      }
    }
    return text;
  }

  std::vector<IoEvent> events;

 private:
  PollOutcome Deliver(int interfaceIndex, ReceiveBuffer& buffer) {
    auto& queue = steps_[interfaceIndex];
    if (queue.empty()) return PollOutcome::kNothing;
    Step step = std::move(queue.front());
    queue.pop_front();
    if (step.outcome == PollOutcome::kDatagram) {
      buffer.length = std::min(step.bytes.size(), kReceiveCapacity);
      std::copy_n(step.bytes.begin(), buffer.length, buffer.bytes.begin());
      buffer.bytes[buffer.length] = 0;
    }
    return step.outcome;
  }

  void PassPollTime(bool readSomething) { now_ += readSomething ? readCost : kPollWait; }

  std::map<int, std::deque<Step>> steps_;
  std::chrono::steady_clock::time_point now_{};
};

}  // namespace corvane::protocol::testing
