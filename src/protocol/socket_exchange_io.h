// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "protocol/exchange_io.h"
#include "protocol/udp_transport.h"

namespace corvane::protocol {

// The loops' view of the real sockets.
class SocketExchangeIo : public ExchangeIo {
 public:
  // Used by reference: the transport may be reopened.
  explicit SocketExchangeIo(UdpTransport& transport) : transport_(transport) {}

  void Send(int interfaceIndex, std::span<const std::uint8_t> bytes) override;
  PollOutcome Poll(int interfaceIndex, ReceiveBuffer& buffer) override;
  void PollTogether(std::span<InterfacePoll> polls) override;
  void Sleep(std::chrono::milliseconds duration) override;
  std::chrono::steady_clock::time_point Now() override;

 private:
  UdpTransport& transport_;
};

}  // namespace corvane::protocol
