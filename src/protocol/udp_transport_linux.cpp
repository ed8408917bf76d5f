// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/udp_transport.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <string>

#include "platform/translation.h"

namespace corvane::protocol {
namespace {

// What went wrong while opening one socket: the step and its errno.
struct SocketFailure {
  const char* step;
  int error;
};

template <typename Value>
std::optional<SocketFailure> SetOption(int fd, int level, int option, const Value& value,
                                       const char* step) {
  if (::setsockopt(fd, level, option, &value, sizeof value) == 0) return std::nullopt;
  return SocketFailure{step, errno};
}

std::optional<in_addr> ParseAddress(const std::string& dotted) {
  in_addr address{};
  if (::inet_pton(AF_INET, dotted.c_str(), &address) != 1) return std::nullopt;
  return address;
}

ip_mreqn InterfaceRequest(const platform::LocalInterface& interface, in_addr address) {
  ip_mreqn request{};
  request.imr_address = address;
  request.imr_ifindex = static_cast<int>(interface.index);
  return request;
}

sockaddr_in GroupAddress(std::uint16_t port) {
  sockaddr_in group{};
  group.sin_family = AF_INET;
  group.sin_port = htons(port);
  ::inet_pton(AF_INET, kMulticastGroup, &group.sin_addr);
  return group;
}

platform::UniqueSocket NewDatagramSocket() {
  return platform::UniqueSocket(::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
}

std::optional<SocketFailure> OpenSendSocket(platform::UniqueSocket& fd) {
  fd = NewDatagramSocket();
  if (!fd.valid()) return SocketFailure{N_("create the send socket"), errno};
  const unsigned char loop = 0;
  return SetOption(fd.get(), IPPROTO_IP, IP_MULTICAST_LOOP, loop,
                   N_("switch multicast loop-back off"));
}

// Bound to the interface and port: hears the group and unicast replies that arrive on this
// interface, nothing from the others.
std::optional<SocketFailure> OpenReceiveSocket(platform::UniqueSocket& fd,
                                               const platform::LocalInterface& interface,
                                               in_addr address) {
  fd = NewDatagramSocket();
  if (!fd.valid()) return SocketFailure{N_("create the receive socket"), errno};
  const int on = 1;
  const int off = 0;
  const int index = static_cast<int>(interface.index);
  if (auto failure = SetOption(fd.get(), SOL_SOCKET, SO_REUSEADDR, on, N_("allow address reuse"))) {
    return failure;
  }
  if (auto failure =
          SetOption(fd.get(), SOL_SOCKET, SO_BINDTOIFINDEX, index, N_("bind to the interface"))) {
    return failure;
  }
  if (auto failure = SetOption(fd.get(), IPPROTO_IP, IP_MULTICAST_ALL, off,
                               N_("restrict to the joined group"))) {
    return failure;
  }
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_port = htons(kDevicePort);
  local.sin_addr.s_addr = htonl(INADDR_ANY);
  if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
    return SocketFailure{N_("bind"), errno};
  }
  ip_mreqn membership = InterfaceRequest(interface, address);
  ::inet_pton(AF_INET, kMulticastGroup, &membership.imr_multiaddr);
  if (auto failure = SetOption(fd.get(), IPPROTO_IP, IP_ADD_MEMBERSHIP, membership,
                               N_("join the multicast group"))) {
    return failure;
  }
  const unsigned char loop = 0;
  return SetOption(fd.get(), IPPROTO_IP, IP_MULTICAST_LOOP, loop,
                   N_("switch multicast loop-back off"));
}

TransportProblem DescribeProblem(const platform::LocalInterface& interface,
                                 const SocketFailure& failure) {
  TransportProblem problem;
  problem.interfaceName = interface.name;
  problem.address = interface.address;
  problem.error = failure.error;
  const std::string where = interface.name + " (" + interface.address + ")";
  if (failure.error == EADDRINUSE) {
    problem.message = platform::Fill(
        // TRANSLATORS: %1$s is an interface with its address, such as "eth0 (192.168.1.5)".
        platform::Tr("Cannot listen on %1$s: UDP port %2$d is in use by another program; devices "
                     "on this interface cannot be found."),
        {where, std::to_string(kDevicePort)});
  } else {
    problem.message = platform::Fill(
        // TRANSLATORS: %1$s is an interface with its address, %2$s a step such as "create the
        // send socket", %3$s the system's reason.
        platform::Tr("Cannot use %1$s: failed to %2$s (%3$s); devices on this interface cannot "
                     "be found."),
        {where, platform::Tr(failure.step), std::strerror(failure.error)});
  }
  return problem;
}

// Negative descriptors are ignored by poll(), so deaf interfaces still wait the full time.
bool WaitUntilReadable(std::span<pollfd> entries) {
  return ::poll(entries.data(), entries.size(), static_cast<int>(kPollWait.count())) > 0;
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

std::vector<TransportProblem> UdpTransport::Open(
    const std::vector<platform::LocalInterface>& interfaces) {
  Close();
  std::vector<TransportProblem> problems;
  for (const platform::LocalInterface& interface : interfaces) {
    Channel channel{interface, platform::UniqueSocket(), platform::UniqueSocket()};
    std::optional<SocketFailure> failure;
    const std::optional<in_addr> address = ParseAddress(interface.address);
    if (!address) {
      failure = SocketFailure{N_("read the interface address"), EINVAL};
    } else {
      failure = OpenSendSocket(channel.sendSocket);
      if (!failure) failure = OpenReceiveSocket(channel.receiveSocket, interface, *address);
    }
    if (failure) {
      // A half-set-up receive socket could hear the wrong interface: it is better deaf.
      channel.receiveSocket.Reset();
      problems.push_back(DescribeProblem(interface, *failure));
    }
    channels_.push_back(std::move(channel));
  }
  open_ = true;
  return problems;
}

void UdpTransport::Close() {
  channels_.clear();
  open_ = false;
}

const UdpTransport::Channel* UdpTransport::ChannelAt(int interfaceIndex) const {
  if (interfaceIndex < 0 || static_cast<std::size_t>(interfaceIndex) >= channels_.size()) {
    return nullptr;
  }
  return &channels_[static_cast<std::size_t>(interfaceIndex)];
}

void UdpTransport::Send(int interfaceIndex, std::span<const std::uint8_t> bytes) {
  const Channel* channel = ChannelAt(interfaceIndex);
  if (channel == nullptr || !channel->sendSocket.valid()) return;
  const std::optional<in_addr> address = ParseAddress(channel->interface.address);
  if (!address) return;
  // Set before every send: without it the request leaves by the default route's interface.
  const ip_mreqn outgoing = InterfaceRequest(channel->interface, *address);
  ::setsockopt(channel->sendSocket.get(), IPPROTO_IP, IP_MULTICAST_IF, &outgoing, sizeof outgoing);
  const sockaddr_in group = GroupAddress(kDevicePort);
  // Send errors are not reported: the exchange then simply gets no reply.
  (void)::sendto(channel->sendSocket.get(), bytes.data(), bytes.size(), 0,
                 reinterpret_cast<const sockaddr*>(&group), sizeof group);
}

platform::SocketHandle UdpTransport::ReceiveSocketOf(int interfaceIndex) const {
  const Channel* channel = ChannelAt(interfaceIndex);
  return channel != nullptr ? channel->receiveSocket.get() : platform::kNoSocket;
}

PollOutcome UdpTransport::Poll(int interfaceIndex, ReceiveBuffer& buffer) {
  pollfd entry{ReceiveSocketOf(interfaceIndex), POLLIN, 0};
  if (!WaitUntilReadable(std::span<pollfd>(&entry, 1))) return PollOutcome::kNothing;
  return ReadOneDatagram(entry, buffer);
}

void UdpTransport::PollTogether(std::span<InterfacePoll> polls) {
  std::vector<pollfd> entries;
  entries.reserve(polls.size());
  for (InterfacePoll& poll : polls) {
    poll.outcome = PollOutcome::kNothing;
    entries.push_back(pollfd{ReceiveSocketOf(poll.interfaceIndex), POLLIN, 0});
  }
  if (!WaitUntilReadable(entries)) return;
  for (std::size_t k = 0; k < polls.size(); ++k) {
    polls[k].outcome = ReadOneDatagram(entries[k], polls[k].buffer);
  }
}

}  // namespace corvane::protocol
