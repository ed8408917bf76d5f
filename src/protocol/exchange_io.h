// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the search and exchange loops need from the network and the clock. The sockets implement
// it for real; unit tests of the loops supply scripted datagrams instead.

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>

#include "protocol/protocol_constants.h"

namespace corvane::protocol {

// One datagram as read by a poll, with a zero byte behind its last byte so that a text at the
// end of a reply always ends.
struct ReceiveBuffer {
  std::array<std::uint8_t, kReceiveCapacity + 1> bytes{};
  std::size_t length = 0;

  std::span<const std::uint8_t> datagram() const { return {bytes.data(), length}; }
};

enum class PollOutcome {
  kNothing,   // nothing arrived within the poll wait
  kFailed,    // the socket was readable but the read failed
  kDatagram,  // one datagram is in the buffer
};

// One interface's share of a poll over several interfaces.
struct InterfacePoll {
  int interfaceIndex = 0;
  PollOutcome outcome = PollOutcome::kNothing;
  ReceiveBuffer buffer;
};

class ExchangeIo {
 public:
  virtual ~ExchangeIo() = default;
  // Sends the bytes to the group through the interface's send socket.
  virtual void Send(int interfaceIndex, std::span<const std::uint8_t> bytes) = 0;
  // Waits at most the poll wait for the interface's receive socket; reads at most one datagram.
  virtual PollOutcome Poll(int interfaceIndex, ReceiveBuffer& buffer) = 0;
  // One poll on several interfaces at once: waits at most the poll wait until any of their
  // receive sockets is readable, then reads at most one datagram from each readable one. A round
  // over eight interfaces thus costs one poll wait, not eight.
  virtual void PollTogether(std::span<InterfacePoll> polls) = 0;
  virtual void Sleep(std::chrono::milliseconds duration) = 0;
  // The clock that bounds every wait, so that datagrams which are not counted cannot stretch it.
  virtual std::chrono::steady_clock::time_point Now() = 0;
};

}  // namespace corvane::protocol
