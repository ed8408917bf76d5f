// SPDX-License-Identifier: GPL-3.0-or-later
// The PC side of the lab for tests: sockets set up the way a searching program must set them
// up on Linux, with what is needed to see where each reply came from and was addressed to.
#pragma once

#include <arpa/inet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace corvane::devsim::testing {

struct Received {
  std::vector<std::uint8_t> bytes;
  std::string sender;  // source address of the datagram
  int senderPort = 0;
  std::string destination;  // address it was sent to: the group or our interface
};

class LabSocket {
 public:
  LabSocket(const std::string& interface, const std::string& address) : address_(address) {
    unsigned index = if_nametoindex(interface.c_str());
    if (index == 0) throw std::runtime_error("no interface " + interface);
    receive_ = Open();
    int on = 1, off = 0;
    int ifindex = static_cast<int>(index);
    Check(setsockopt(receive_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on), "SO_REUSEADDR");
    Check(setsockopt(receive_, SOL_SOCKET, SO_BINDTOIFINDEX, &ifindex, sizeof ifindex),
          "bind to interface");
    Check(setsockopt(receive_, IPPROTO_IP, IP_MULTICAST_ALL, &off, sizeof off), "IP_MULTICAST_ALL");
    Check(setsockopt(receive_, IPPROTO_IP, IP_PKTINFO, &on, sizeof on), "IP_PKTINFO");
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(13579);
    Check(bind(receive_, reinterpret_cast<sockaddr*>(&local), sizeof local), "bind");
    ip_mreqn membership{};
    inet_pton(AF_INET, "224.0.0.1", &membership.imr_multiaddr);
    membership.imr_ifindex = ifindex;
    Check(setsockopt(receive_, IPPROTO_IP, IP_ADD_MEMBERSHIP, &membership, sizeof membership),
          "join");
    send_ = Open();
    in_addr outgoing{};
    inet_pton(AF_INET, address.c_str(), &outgoing);
    Check(setsockopt(send_, IPPROTO_IP, IP_MULTICAST_IF, &outgoing, sizeof outgoing),
          "IP_MULTICAST_IF");
    Check(setsockopt(send_, IPPROTO_IP, IP_MULTICAST_LOOP, &off, sizeof off), "IP_MULTICAST_LOOP");
  }
  ~LabSocket() {
    close(receive_);
    close(send_);
  }
  LabSocket(const LabSocket&) = delete;
  LabSocket& operator=(const LabSocket&) = delete;

  void SendToGroup(const std::vector<std::uint8_t>& bytes) {
    sockaddr_in group{};
    group.sin_family = AF_INET;
    group.sin_port = htons(13579);
    inet_pton(AF_INET, "224.0.0.1", &group.sin_addr);
    Check(static_cast<int>(sendto(send_, bytes.data(), bytes.size(), 0,
                                  reinterpret_cast<sockaddr*>(&group), sizeof group)),
          "sendto");
  }

  // Collects datagrams until `done` says enough or the deadline passes; the deadline only
  // bounds a broken run, nothing is asserted about time.
  std::vector<Received> Collect(const std::function<bool(const std::vector<Received>&)>& done,
                                std::chrono::milliseconds deadline = std::chrono::seconds(5)) {
    std::vector<Received> received;
    auto end = std::chrono::steady_clock::now() + deadline;
    while (!done(received)) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          end - std::chrono::steady_clock::now());
      if (left.count() <= 0) break;
      pollfd fd{receive_, POLLIN, 0};
      if (poll(&fd, 1, static_cast<int>(left.count())) <= 0) continue;
      received.push_back(ReceiveOne());
    }
    return received;
  }

  // Throws away whatever is queued.
  void Drain() {
    pollfd fd{receive_, POLLIN, 0};
    while (poll(&fd, 1, 0) > 0) ReceiveOne();
  }

  const std::string& Address() const { return address_; }

 private:
  static int Open() {
    int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    Check(fd, "socket");
    return fd;
  }
  static void Check(int result, const char* what) {
    if (result < 0) throw std::runtime_error(std::string(what) + ": " + std::strerror(errno));
  }

  Received ReceiveOne() {
    Received received;
    received.bytes.resize(65536);
    sockaddr_in sender{};
    alignas(cmsghdr) char control[256];
    iovec data{received.bytes.data(), received.bytes.size()};
    msghdr message{};
    message.msg_name = &sender;
    message.msg_namelen = sizeof sender;
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    ssize_t size = recvmsg(receive_, &message, 0);
    Check(static_cast<int>(size), "recvmsg");
    received.bytes.resize(static_cast<std::size_t>(size));
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &sender.sin_addr, text, sizeof text);
    received.sender = text;
    received.senderPort = ntohs(sender.sin_port);
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
      if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
        in_pktinfo info{};
        std::memcpy(&info, CMSG_DATA(c), sizeof info);
        inet_ntop(AF_INET, &info.ipi_addr, text, sizeof text);
        received.destination = text;
      }
    }
    return received;
  }

  std::string address_;
  int receive_ = -1;
  int send_ = -1;
};

}  // namespace corvane::devsim::testing
