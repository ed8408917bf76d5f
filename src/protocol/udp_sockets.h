// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What UdpTransport asks of the system's sockets: one implementation per system
// (udp_sockets_linux.cpp, udp_sockets_win.cpp); the transport's logic is udp_transport.cpp.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/local_interfaces.h"
#include "platform/sockets.h"
#include "protocol/address_text.h"
#include "protocol/exchange_io.h"

namespace corvane::protocol::sockets {

// What went wrong while opening one socket: the step, its errno value, and the system's own code
// for it (errno on Linux, Winsock's code on Windows), which Reason describes.
struct SocketFailure {
  const char* step;
  int error;
  int code;
};

// The send socket of one interface: multicast leaves by that interface, and is not looped back.
std::optional<SocketFailure> OpenSend(platform::UniqueSocket& socket,
                                      const platform::LocalInterface& interface,
                                      const Octets& address);
// The receive socket of one interface: it hears the group and unicast replies that arrive on
// this interface, nothing of the others.
std::optional<SocketFailure> OpenReceive(platform::UniqueSocket& socket,
                                         const platform::LocalInterface& interface,
                                         const Octets& address);
// Send errors are not reported: the exchange then simply gets no reply.
void SendToGroup(const platform::UniqueSocket& socket, const platform::LocalInterface& interface,
                 const Octets& address, std::span<const std::uint8_t> bytes);

struct PollSlot {
  platform::SocketHandle socket = platform::kNoSocket;  // never readable
  ReceiveBuffer* buffer = nullptr;
  PollOutcome outcome = PollOutcome::kNothing;
};
// Waits at most the poll wait (the full wait when no socket is open) until any socket is
// readable, then reads at most one datagram from each readable one.
void WaitAndRead(std::span<PollSlot> slots);

// The system's reason for the failure, in words.
std::string Reason(const SocketFailure& failure);

}  // namespace corvane::protocol::sockets
