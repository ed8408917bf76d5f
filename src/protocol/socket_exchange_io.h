// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include "protocol/exchange_io.h"
#include "protocol/udp_transport.h"

namespace corvane::protocol {

// The loops' view of the real sockets, with the idle handler run after every poll and every
// slice of a pause, so that a window waiting on the protocol still repaints.
class SocketExchangeIo : public ExchangeIo {
 public:
  // Both are used by reference: the transport may be reopened and the handler replaced.
  SocketExchangeIo(UdpTransport& transport, const std::function<void()>& idle)
      : transport_(transport), idle_(idle) {}

  void Send(int interfaceIndex, std::span<const std::uint8_t> bytes) override;
  PollOutcome Poll(int interfaceIndex, ReceiveBuffer& buffer) override;
  void PollTogether(std::span<InterfacePoll> polls) override;
  void Sleep(std::chrono::milliseconds duration) override;
  std::chrono::steady_clock::time_point Now() override;

 private:
  void Idle();

  UdpTransport& transport_;
  const std::function<void()>& idle_;
};

}  // namespace corvane::protocol
