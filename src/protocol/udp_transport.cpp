// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/udp_transport.h"

#include <cerrno>
#include <optional>
#include <string>

#include "platform/translation.h"
#include "protocol/udp_sockets.h"

namespace corvane::protocol {
namespace {

using sockets::SocketFailure;

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
        {where, platform::Tr(failure.step), sockets::Reason(failure)});
  }
  return problem;
}

}  // namespace

std::vector<TransportProblem> UdpTransport::Open(
    const std::vector<platform::LocalInterface>& interfaces) {
  Close();
  std::vector<TransportProblem> problems;
  for (const platform::LocalInterface& interface : interfaces) {
    Channel channel{interface, platform::UniqueSocket(), platform::UniqueSocket()};
    std::optional<SocketFailure> failure;
    const std::optional<Octets> address = ParseAddress(interface.address);
    if (!address) {
      failure = SocketFailure{N_("read the interface address"), EINVAL, EINVAL};
    } else {
      failure = sockets::OpenSend(channel.sendSocket, interface, *address);
      if (!failure) failure = sockets::OpenReceive(channel.receiveSocket, interface, *address);
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
  const std::optional<Octets> address = ParseAddress(channel->interface.address);
  if (!address) return;
  sockets::SendToGroup(channel->sendSocket, channel->interface, *address, bytes);
}

platform::SocketHandle UdpTransport::ReceiveSocketOf(int interfaceIndex) const {
  const Channel* channel = ChannelAt(interfaceIndex);
  return channel != nullptr ? channel->receiveSocket.get() : platform::kNoSocket;
}

PollOutcome UdpTransport::Poll(int interfaceIndex, ReceiveBuffer& buffer) {
  sockets::PollSlot slot{ReceiveSocketOf(interfaceIndex), &buffer};
  sockets::WaitAndRead(std::span<sockets::PollSlot>(&slot, 1));
  return slot.outcome;
}

void UdpTransport::PollTogether(std::span<InterfacePoll> polls) {
  std::vector<sockets::PollSlot> slots;
  slots.reserve(polls.size());
  for (InterfacePoll& poll : polls) {
    slots.push_back(sockets::PollSlot{ReceiveSocketOf(poll.interfaceIndex), &poll.buffer});
  }
  sockets::WaitAndRead(slots);
  for (std::size_t k = 0; k < polls.size(); ++k) polls[k].outcome = slots[k].outcome;
}

}  // namespace corvane::protocol
