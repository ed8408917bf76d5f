// SPDX-License-Identifier: GPL-3.0-or-later
// Windows keeps the interfaces apart by address: a receive socket bound to an interface's own
// address hears the group joined on that interface and the unicast replies to that address, and
// nothing of the other interfaces (a socket bound to the any-address would hear them all).
#include <winsock2.h>
#include <ws2tcpip.h>

#include <vector>

#include "platform/translation.h"
#include "platform/wide_text_win.h"
#include "protocol/udp_sockets.h"

namespace corvane::protocol::sockets {
namespace {

SocketFailure Failed(const char* step) {
  const int code = ::WSAGetLastError();
  ::WSASetLastError(code);
  return SocketFailure{step, platform::LastSocketError(), code};
}

SOCKET Native(const platform::UniqueSocket& socket) {
  return static_cast<SOCKET>(socket.get());
}

template <typename Value>
std::optional<SocketFailure> SetOption(const platform::UniqueSocket& socket, int level, int option,
                                       const Value& value, const char* step) {
  if (::setsockopt(Native(socket), level, option, reinterpret_cast<const char*>(&value),
                   sizeof value) == 0) {
    return std::nullopt;
  }
  return Failed(step);
}

in_addr InAddress(const Octets& octets) {
  in_addr address{};
  address.s_addr =
      htonl((static_cast<u_long>(octets[0]) << 24) | (static_cast<u_long>(octets[1]) << 16) |
            (static_cast<u_long>(octets[2]) << 8) | static_cast<u_long>(octets[3]));
  return address;
}

platform::UniqueSocket NewDatagramSocket() {
  if (!platform::StartSockets()) return {};
  platform::UniqueSocket socket(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
  u_long nonBlocking = 1;
  if (socket.valid() && ::ioctlsocket(Native(socket), FIONBIO, &nonBlocking) != 0) socket.Reset();
  return socket;
}

PollOutcome ReadOneDatagram(const WSAPOLLFD& entry, ReceiveBuffer& buffer) {
  if (entry.fd == INVALID_SOCKET || (entry.revents & (POLLRDNORM | POLLERR)) == 0) {
    return PollOutcome::kNothing;
  }
  const int received =
      ::recv(entry.fd, reinterpret_cast<char*>(buffer.bytes.data()), kReceiveCapacity, 0);
  if (received < 0) {
    // An ICMP "port unreachable" for an earlier send shows up here as a reset: nothing to read.
    const int code = ::WSAGetLastError();
    if (code == WSAEWOULDBLOCK || code == WSAECONNRESET || code == WSAEMSGSIZE) {
      return PollOutcome::kNothing;
    }
    return PollOutcome::kFailed;
  }
  buffer.length = static_cast<std::size_t>(received);
  buffer.bytes[buffer.length] = 0;
  return PollOutcome::kDatagram;
}

}  // namespace

std::optional<SocketFailure> OpenSend(platform::UniqueSocket& socket,
                                      const platform::LocalInterface&, const Octets& address) {
  socket = NewDatagramSocket();
  if (!socket.valid()) return Failed(N_("create the send socket"));
  const DWORD loop = 0;
  if (auto failure = SetOption(socket, IPPROTO_IP, IP_MULTICAST_LOOP, loop,
                               N_("switch multicast loop-back off"))) {
    return failure;
  }
  // Without it the request leaves by the default route's interface.
  return SetOption(socket, IPPROTO_IP, IP_MULTICAST_IF, InAddress(address),
                   N_("bind to the interface"));
}

std::optional<SocketFailure> OpenReceive(platform::UniqueSocket& socket,
                                         const platform::LocalInterface&, const Octets& address) {
  socket = NewDatagramSocket();
  if (!socket.valid()) return Failed(N_("create the receive socket"));
  const BOOL on = TRUE;
  if (auto failure = SetOption(socket, SOL_SOCKET, SO_REUSEADDR, on, N_("allow address reuse"))) {
    return failure;
  }
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_port = htons(kDevicePort);
  local.sin_addr = InAddress(address);
  if (::bind(Native(socket), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
    SocketFailure failure = Failed(N_("bind"));
    // A program that holds the port for itself alone (SO_EXCLUSIVEADDRUSE) makes the bind
    // fail as "access denied": the port is in use all the same.
    if (failure.code == WSAEACCES) failure.error = EADDRINUSE;
    return failure;
  }
  ip_mreq membership{};
  ::inet_pton(AF_INET, kMulticastGroup, &membership.imr_multiaddr);
  membership.imr_interface = InAddress(address);
  if (auto failure = SetOption(socket, IPPROTO_IP, IP_ADD_MEMBERSHIP, membership,
                               N_("join the multicast group"))) {
    return failure;
  }
  const DWORD loop = 0;
  return SetOption(socket, IPPROTO_IP, IP_MULTICAST_LOOP, loop,
                   N_("switch multicast loop-back off"));
}

void SendToGroup(const platform::UniqueSocket& socket, const platform::LocalInterface&,
                 const Octets&, std::span<const std::uint8_t> bytes) {
  sockaddr_in group{};
  group.sin_family = AF_INET;
  group.sin_port = htons(kDevicePort);
  ::inet_pton(AF_INET, kMulticastGroup, &group.sin_addr);
  (void)::sendto(Native(socket), reinterpret_cast<const char*>(bytes.data()),
                 static_cast<int>(bytes.size()), 0, reinterpret_cast<const sockaddr*>(&group),
                 sizeof group);
}

// WSAPoll takes no sockets that are not open: they are left out of the wait, which still lasts
// the full time, so deaf interfaces behave as on Linux.
void WaitAndRead(std::span<PollSlot> slots) {
  std::vector<WSAPOLLFD> open;
  for (PollSlot& slot : slots) {
    slot.outcome = PollOutcome::kNothing;
    if (slot.socket != platform::kNoSocket) {
      open.push_back(WSAPOLLFD{static_cast<SOCKET>(slot.socket), POLLRDNORM, 0});
    }
  }
  const auto wait = static_cast<INT>(kPollWait.count());
  if (open.empty()) {
    ::Sleep(static_cast<DWORD>(wait));
    return;
  }
  if (::WSAPoll(open.data(), static_cast<ULONG>(open.size()), wait) <= 0) return;
  std::size_t next = 0;
  for (PollSlot& slot : slots) {
    if (slot.socket != platform::kNoSocket)
      slot.outcome = ReadOneDatagram(open[next++], *slot.buffer);
  }
}

std::string Reason(const SocketFailure& failure) {
  return platform::SystemMessage(static_cast<unsigned long>(failure.code));
}

}  // namespace corvane::protocol::sockets
