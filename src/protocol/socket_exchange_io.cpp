// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/socket_exchange_io.h"

#include <thread>

namespace corvane::protocol {

void SocketExchangeIo::Send(int interfaceIndex, std::span<const std::uint8_t> bytes) {
  transport_.Send(interfaceIndex, bytes);
}

PollOutcome SocketExchangeIo::Poll(int interfaceIndex, ReceiveBuffer& buffer) {
  return transport_.Poll(interfaceIndex, buffer);
}

void SocketExchangeIo::PollTogether(std::span<InterfacePoll> polls) {
  transport_.PollTogether(polls);
}

void SocketExchangeIo::Sleep(std::chrono::milliseconds duration) {
  std::this_thread::sleep_for(duration);
}

std::chrono::steady_clock::time_point SocketExchangeIo::Now() {
  return std::chrono::steady_clock::now();
}

}  // namespace corvane::protocol
