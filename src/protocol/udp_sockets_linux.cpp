// SPDX-License-Identifier: GPL-3.0-or-later
// Linux keeps the interfaces apart by binding each receive socket to its interface
// (SO_BINDTOIFINDEX) and letting it hear only the groups it joined itself.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/translation.h"
#include "protocol/udp_sockets.h"

namespace corvane::protocol::sockets {
namespace {

SocketFailure Failed(const char* step) {
  const int error = errno;
  return SocketFailure{step, error, error};
}

template <typename Value>
std::optional<SocketFailure> SetOption(int fd, int level, int option, const Value& value,
                                       const char* step) {
  if (::setsockopt(fd, level, option, &value, sizeof value) == 0) return std::nullopt;
  return Failed(step);
}

in_addr InAddress(const Octets& octets) {
  in_addr address{};
  address.s_addr =
      htonl((static_cast<std::uint32_t>(octets[0]) << 24) |
            (static_cast<std::uint32_t>(octets[1]) << 16) |
            (static_cast<std::uint32_t>(octets[2]) << 8) | static_cast<std::uint32_t>(octets[3]));
  return address;
}

ip_mreqn InterfaceRequest(const platform::LocalInterface& interface, const Octets& address) {
  ip_mreqn request{};
  request.imr_address = InAddress(address);
  request.imr_ifindex = static_cast<int>(interface.index);
  return request;
}

platform::UniqueSocket NewDatagramSocket() {
  return platform::UniqueSocket(::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
}

PollOutcome ReadOneDatagram(const pollfd& entry, ReceiveBuffer& buffer) {
  if ((entry.revents & POLLIN) == 0) return PollOutcome::kNothing;
  const ssize_t received = ::recv(entry.fd, buffer.bytes.data(), kReceiveCapacity, 0);
  if (received < 0) {
    if (errno == EAGAIN || errno == EWOULDBLOCK) return PollOutcome::kNothing;
    return PollOutcome::kFailed;
  }
  buffer.length = static_cast<std::size_t>(received);
  buffer.bytes[buffer.length] = 0;
  return PollOutcome::kDatagram;
}

}  // namespace

std::optional<SocketFailure> OpenSend(platform::UniqueSocket& socket,
                                      const platform::LocalInterface&, const Octets&) {
  socket = NewDatagramSocket();
  if (!socket.valid()) return Failed(N_("create the send socket"));
  const unsigned char loop = 0;
  return SetOption(socket.get(), IPPROTO_IP, IP_MULTICAST_LOOP, loop,
                   N_("switch multicast loop-back off"));
}

std::optional<SocketFailure> OpenReceive(platform::UniqueSocket& socket,
                                         const platform::LocalInterface& interface,
                                         const Octets& address) {
  socket = NewDatagramSocket();
  if (!socket.valid()) return Failed(N_("create the receive socket"));
  const int on = 1;
  const int off = 0;
  const int index = static_cast<int>(interface.index);
  if (auto failure =
          SetOption(socket.get(), SOL_SOCKET, SO_REUSEADDR, on, N_("allow address reuse"))) {
    return failure;
  }
  if (auto failure = SetOption(socket.get(), SOL_SOCKET, SO_BINDTOIFINDEX, index,
                               N_("bind to the interface"))) {
    return failure;
  }
  if (auto failure = SetOption(socket.get(), IPPROTO_IP, IP_MULTICAST_ALL, off,
                               N_("restrict to the joined group"))) {
    return failure;
  }
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_port = htons(kDevicePort);
  local.sin_addr.s_addr = htonl(INADDR_ANY);
  if (::bind(socket.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
    return Failed(N_("bind"));
  }
  ip_mreqn membership = InterfaceRequest(interface, address);
  ::inet_pton(AF_INET, kMulticastGroup, &membership.imr_multiaddr);
  if (auto failure = SetOption(socket.get(), IPPROTO_IP, IP_ADD_MEMBERSHIP, membership,
                               N_("join the multicast group"))) {
    return failure;
  }
  const unsigned char loop = 0;
  return SetOption(socket.get(), IPPROTO_IP, IP_MULTICAST_LOOP, loop,
                   N_("switch multicast loop-back off"));
}

void SendToGroup(const platform::UniqueSocket& socket, const platform::LocalInterface& interface,
                 const Octets& address, std::span<const std::uint8_t> bytes) {
  // Set before every send: without it the request leaves by the default route's interface.
  const ip_mreqn outgoing = InterfaceRequest(interface, address);
  ::setsockopt(socket.get(), IPPROTO_IP, IP_MULTICAST_IF, &outgoing, sizeof outgoing);
  sockaddr_in group{};
  group.sin_family = AF_INET;
  group.sin_port = htons(kDevicePort);
  ::inet_pton(AF_INET, kMulticastGroup, &group.sin_addr);
  (void)::sendto(socket.get(), bytes.data(), bytes.size(), 0,
                 reinterpret_cast<const sockaddr*>(&group), sizeof group);
}

// Negative descriptors are ignored by poll(), so deaf interfaces still wait the full time.
void WaitAndRead(std::span<PollSlot> slots) {
  std::vector<pollfd> entries;
  entries.reserve(slots.size());
  for (const PollSlot& slot : slots) entries.push_back(pollfd{slot.socket, POLLIN, 0});
  for (PollSlot& slot : slots) slot.outcome = PollOutcome::kNothing;
  if (::poll(entries.data(), entries.size(), static_cast<int>(kPollWait.count())) <= 0) return;
  for (std::size_t k = 0; k < slots.size(); ++k) {
    slots[k].outcome = ReadOneDatagram(entries[k], *slots[k].buffer);
  }
}

std::string Reason(const SocketFailure& failure) {
  return std::strerror(failure.code);
}

}  // namespace corvane::protocol::sockets
