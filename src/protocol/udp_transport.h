// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The sockets of the device protocol: per interface one receive socket that hears the group and
// unicast replies arriving on that interface only, and one unbound send socket.

#include <span>
#include <vector>

#include "platform/local_interfaces.h"
#include "platform/sockets.h"
#include "protocol/exchange_io.h"
#include "protocol/protocol_types.h"

namespace corvane::protocol {

class UdpTransport {
 public:
  // Opens the sockets of every interface; what keeps an interface from working is reported,
  // and that interface then simply never delivers anything.
  std::vector<TransportProblem> Open(const std::vector<platform::LocalInterface>& interfaces);
  void Close();
  bool IsOpen() const { return open_; }

  void Send(int interfaceIndex, std::span<const std::uint8_t> bytes);
  PollOutcome Poll(int interfaceIndex, ReceiveBuffer& buffer);
  // One poll over the receive sockets of all the interfaces named, then at most one read
  // from each readable one.
  void PollTogether(std::span<InterfacePoll> polls);

 private:
  struct Channel {
    platform::LocalInterface interface;
    platform::UniqueSocket sendSocket;
    platform::UniqueSocket receiveSocket;
  };
  const Channel* ChannelAt(int interfaceIndex) const;
  platform::SocketHandle ReceiveSocketOf(int interfaceIndex) const;

  std::vector<Channel> channels_;
  bool open_ = false;
};

}  // namespace corvane::protocol
