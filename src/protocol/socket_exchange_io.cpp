// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/socket_exchange_io.h"

#include <algorithm>
#include <thread>

namespace corvane::protocol {

void SocketExchangeIo::Send(int interfaceIndex, std::span<const std::uint8_t> bytes) {
  transport_.Send(interfaceIndex, bytes);
}

PollOutcome SocketExchangeIo::Poll(int interfaceIndex, ReceiveBuffer& buffer) {
  const PollOutcome outcome = transport_.Poll(interfaceIndex, buffer);
  Idle();
  return outcome;
}

void SocketExchangeIo::PollTogether(std::span<InterfacePoll> polls) {
  transport_.PollTogether(polls);
  Idle();
}

// Measured against a deadline, so the time the idle handler takes (a window repainting) does
// not stretch the protocol's pauses.
void SocketExchangeIo::Sleep(std::chrono::milliseconds duration) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + duration;
  for (Clock::time_point now = Clock::now(); now < deadline; now = Clock::now()) {
    std::this_thread::sleep_for(std::min<Clock::duration>(deadline - now, kIdleSlice));
    Idle();
  }
}

std::chrono::steady_clock::time_point SocketExchangeIo::Now() {
  return std::chrono::steady_clock::now();
}

void SocketExchangeIo::Idle() {
  if (idle_) idle_();
}

}  // namespace corvane::protocol
