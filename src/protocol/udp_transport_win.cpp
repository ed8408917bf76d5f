// SPDX-License-Identifier: GPL-3.0-or-later
// Windows keeps the interfaces apart by address: a receive socket bound to an interface's own
// address hears the group joined on that interface and the unicast replies to that address, and
// nothing of the other interfaces (a socket bound to the any-address would hear them all).
#include <winsock2.h>
#include <ws2tcpip.h>

#include <optional>
#include <string>

#include "platform/translation.h"
#include "platform/wide_text_win.h"
#include "protocol/udp_transport.h"

namespace corvane::protocol {
namespace {

// What went wrong while opening one socket: the step, its errno value and Winsock's own code.
struct SocketFailure {
  const char* step;
  int error;
  int code;
};

SocketFailure Failed(const char* step) {
  const int code = ::WSAGetLastError();
  ::WSASetLastError(code);
  return SocketFailure{step, platform::LastSocketError(), code};
}

template <typename Value>
std::optional<SocketFailure> SetOption(SOCKET socket, int level, int option, const Value& value,
                                       const char* step) {
  if (::setsockopt(socket, level, option, reinterpret_cast<const char*>(&value), sizeof value) ==
      0) {
    return std::nullopt;
  }
  return Failed(step);
}

std::optional<in_addr> ParseAddress(const std::string& dotted) {
  in_addr address{};
  if (::inet_pton(AF_INET, dotted.c_str(), &address) != 1) return std::nullopt;
  return address;
}

SOCKET Native(const platform::UniqueSocket& socket) {
  return static_cast<SOCKET>(socket.get());
}

platform::UniqueSocket NewDatagramSocket() {
  if (!platform::StartSockets()) return {};
  platform::UniqueSocket socket(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
  u_long nonBlocking = 1;
  if (socket.valid() && ::ioctlsocket(Native(socket), FIONBIO, &nonBlocking) != 0) socket.Reset();
  return socket;
}

std::optional<SocketFailure> OpenSendSocket(platform::UniqueSocket& socket, in_addr address) {
  socket = NewDatagramSocket();
  if (!socket.valid()) return Failed(N_("create the send socket"));
  const DWORD loop = 0;
  if (auto failure = SetOption(Native(socket), IPPROTO_IP, IP_MULTICAST_LOOP, loop,
                               N_("switch multicast loop-back off"))) {
    return failure;
  }
  // Without it the request leaves by the default route's interface.
  return SetOption(Native(socket), IPPROTO_IP, IP_MULTICAST_IF, address,
                   N_("bind to the interface"));
}

std::optional<SocketFailure> OpenReceiveSocket(platform::UniqueSocket& socket, in_addr address) {
  socket = NewDatagramSocket();
  if (!socket.valid()) return Failed(N_("create the receive socket"));
  const BOOL on = TRUE;
  if (auto failure =
          SetOption(Native(socket), SOL_SOCKET, SO_REUSEADDR, on, N_("allow address reuse"))) {
    return failure;
  }
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_port = htons(kDevicePort);
  local.sin_addr = address;
  if (::bind(Native(socket), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
    SocketFailure failure = Failed(N_("bind"));
    // A program that holds the port for itself alone (SO_EXCLUSIVEADDRUSE) makes the bind
    // fail as "access denied": the port is in use all the same.
    if (failure.code == WSAEACCES) failure.error = EADDRINUSE;
    return failure;
  }
  ip_mreq membership{};
  ::inet_pton(AF_INET, kMulticastGroup, &membership.imr_multiaddr);
  membership.imr_interface = address;
  if (auto failure = SetOption(Native(socket), IPPROTO_IP, IP_ADD_MEMBERSHIP, membership,
                               N_("join the multicast group"))) {
    return failure;
  }
  const DWORD loop = 0;
  return SetOption(Native(socket), IPPROTO_IP, IP_MULTICAST_LOOP, loop,
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
        platform::Tr("Cannot listen on %1$s: UDP port %2$d is in use by another program; devices "
                     "on this interface cannot be found."),
        {where, std::to_string(kDevicePort)});
  } else {
    problem.message = platform::Fill(
        platform::Tr("Cannot use %1$s: failed to %2$s (%3$s); devices on this interface cannot "
                     "be found."),
        {where, platform::Tr(failure.step),
         platform::SystemMessage(static_cast<unsigned long>(failure.code))});
  }
  return problem;
}

// Sockets that are not open are left out of the wait, which still lasts the full time, so deaf
// interfaces behave as on the other systems.
bool WaitUntilReadable(std::span<WSAPOLLFD> entries) {
  std::vector<WSAPOLLFD> open;
  for (const WSAPOLLFD& entry : entries) {
    if (entry.fd != INVALID_SOCKET) open.push_back(entry);
  }
  const auto wait = static_cast<INT>(kPollWait.count());
  if (open.empty()) {
    ::Sleep(static_cast<DWORD>(wait));
    return false;
  }
  if (::WSAPoll(open.data(), static_cast<ULONG>(open.size()), wait) <= 0) return false;
  std::size_t next = 0;
  for (WSAPOLLFD& entry : entries) {
    if (entry.fd != INVALID_SOCKET) entry.revents = open[next++].revents;
  }
  return true;
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

std::vector<TransportProblem> UdpTransport::Open(
    const std::vector<platform::LocalInterface>& interfaces) {
  Close();
  std::vector<TransportProblem> problems;
  for (const platform::LocalInterface& interface : interfaces) {
    Channel channel{interface, platform::UniqueSocket(), platform::UniqueSocket()};
    std::optional<SocketFailure> failure;
    const std::optional<in_addr> address = ParseAddress(interface.address);
    if (!address) {
      failure = SocketFailure{N_("read the interface address"), EINVAL, WSAEINVAL};
    } else {
      failure = OpenSendSocket(channel.sendSocket, *address);
      if (!failure) failure = OpenReceiveSocket(channel.receiveSocket, *address);
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
  sockaddr_in group{};
  group.sin_family = AF_INET;
  group.sin_port = htons(kDevicePort);
  ::inet_pton(AF_INET, kMulticastGroup, &group.sin_addr);
  // Send errors are not reported: the exchange then simply gets no reply.
  (void)::sendto(Native(channel->sendSocket), reinterpret_cast<const char*>(bytes.data()),
                 static_cast<int>(bytes.size()), 0, reinterpret_cast<const sockaddr*>(&group),
                 sizeof group);
}

platform::SocketHandle UdpTransport::ReceiveSocketOf(int interfaceIndex) const {
  const Channel* channel = ChannelAt(interfaceIndex);
  return channel != nullptr ? channel->receiveSocket.get() : platform::kNoSocket;
}

PollOutcome UdpTransport::Poll(int interfaceIndex, ReceiveBuffer& buffer) {
  WSAPOLLFD entry{static_cast<SOCKET>(ReceiveSocketOf(interfaceIndex)), POLLRDNORM, 0};
  if (!WaitUntilReadable(std::span<WSAPOLLFD>(&entry, 1))) return PollOutcome::kNothing;
  return ReadOneDatagram(entry, buffer);
}

void UdpTransport::PollTogether(std::span<InterfacePoll> polls) {
  std::vector<WSAPOLLFD> entries;
  entries.reserve(polls.size());
  for (InterfacePoll& poll : polls) {
    poll.outcome = PollOutcome::kNothing;
    entries.push_back(
        WSAPOLLFD{static_cast<SOCKET>(ReceiveSocketOf(poll.interfaceIndex)), POLLRDNORM, 0});
  }
  if (!WaitUntilReadable(entries)) return;
  for (std::size_t k = 0; k < polls.size(); ++k) {
    polls[k].outcome = ReadOneDatagram(entries[k], polls[k].buffer);
  }
}

}  // namespace corvane::protocol
