// SPDX-License-Identifier: GPL-3.0-or-later
#include "leg_socket.h"

#include <arpa/inet.h>
#include <net/if.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "messages.h"

namespace corvane::devsim {

namespace {

// Datagrams larger than any request are still read whole so the log shows what arrived.
constexpr std::size_t kMaxDatagram = 65536;

void Check(int result, const std::string& what) {
  if (result < 0) throw std::system_error(errno, std::generic_category(), what);
}

template <typename T>
void SetOption(int fd, int level, int name, const T& value, const std::string& what) {
  Check(setsockopt(fd, level, name, &value, sizeof value), what);
}

in_addr GroupAddress() {
  in_addr group{};
  inet_pton(AF_INET, kGroup, &group);
  return group;
}

}  // namespace

LegSocket::LegSocket(const std::string& interface) : interface_(interface) {
  const std::string where = " on " + interface;
  int index = static_cast<int>(if_nametoindex(interface.c_str()));
  if (index == 0) throw std::system_error(errno, std::generic_category(), "no interface" + where);
  fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  Check(fd_, "socket" + where);
  try {
    SetOption(fd_, SOL_SOCKET, SO_REUSEADDR, 1, "SO_REUSEADDR" + where);
    SetOption(fd_, SOL_SOCKET, SO_BINDTOIFINDEX, index, "SO_BINDTOIFINDEX" + where);
    SetOption(fd_, IPPROTO_IP, IP_MULTICAST_ALL, 0, "IP_MULTICAST_ALL" + where);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(kPort);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    Check(bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local), "bind" + where);
    ip_mreqn membership{};
    membership.imr_multiaddr = GroupAddress();
    membership.imr_ifindex = index;
    SetOption(fd_, IPPROTO_IP, IP_ADD_MEMBERSHIP, membership, "IP_ADD_MEMBERSHIP" + where);
    // By index, so the setting survives a change of the leg's address.
    ip_mreqn outgoing{};
    outgoing.imr_ifindex = index;
    SetOption(fd_, IPPROTO_IP, IP_MULTICAST_IF, outgoing, "IP_MULTICAST_IF" + where);
    SetOption(fd_, IPPROTO_IP, IP_MULTICAST_LOOP, 0, "IP_MULTICAST_LOOP" + where);
  } catch (...) {
    close(fd_);
    throw;
  }
}

LegSocket::~LegSocket() {
  if (fd_ >= 0) close(fd_);
}

LegSocket::LegSocket(LegSocket&& other) noexcept
    : interface_(std::move(other.interface_)), fd_(other.fd_) {
  other.fd_ = -1;
}

bool LegSocket::Receive(Datagram& datagram) {
  datagram.bytes.resize(kMaxDatagram);
  socklen_t senderSize = sizeof datagram.sender;
  ssize_t size = recvfrom(fd_, datagram.bytes.data(), datagram.bytes.size(), 0,
                          reinterpret_cast<sockaddr*>(&datagram.sender), &senderSize);
  if (size < 0) {
    datagram.bytes.clear();
    return false;
  }
  datagram.bytes.resize(static_cast<std::size_t>(size));
  return true;
}

bool LegSocket::SendTo(std::span<const std::uint8_t> bytes, in_addr destination) {
  sockaddr_in target{};
  target.sin_family = AF_INET;
  target.sin_port = htons(kPort);
  target.sin_addr = destination;
  ssize_t sent = sendto(fd_, bytes.data(), bytes.size(), 0,
                        reinterpret_cast<const sockaddr*>(&target), sizeof target);
  return sent == static_cast<ssize_t>(bytes.size());
}

bool LegSocket::SendMulticast(std::span<const std::uint8_t> bytes) {
  return SendTo(bytes, GroupAddress());
}

bool LegSocket::SendUnicast(std::span<const std::uint8_t> bytes, in_addr destination) {
  return SendTo(bytes, destination);
}

}  // namespace corvane::devsim
