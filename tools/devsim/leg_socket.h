// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <netinet/in.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace corvane::devsim {

// The device's socket on one leg: bound to that interface on port 13579, member of 224.0.0.1
// there only, and sending its multicast out through that same interface. One socket per leg
// keeps every datagram attributed to the leg it arrived on.
class LegSocket {
 public:
  // Throws std::system_error naming the failed step.
  explicit LegSocket(const std::string& interface);
  ~LegSocket();
  LegSocket(LegSocket&& other) noexcept;
  LegSocket& operator=(LegSocket&&) = delete;
  LegSocket(const LegSocket&) = delete;
  LegSocket& operator=(const LegSocket&) = delete;

  int Fd() const { return fd_; }
  const std::string& Interface() const { return interface_; }

  struct Datagram {
    std::vector<std::uint8_t> bytes;
    sockaddr_in sender{};
  };
  // One datagram, or false when nothing (more) is waiting.
  bool Receive(Datagram& datagram);

  // Both return false (with errno) when the kernel refused the send.
  bool SendMulticast(std::span<const std::uint8_t> bytes);
  bool SendUnicast(std::span<const std::uint8_t> bytes, in_addr destination);

 private:
  bool SendTo(std::span<const std::uint8_t> bytes, in_addr destination);

  std::string interface_;
  int fd_ = -1;
};

}  // namespace corvane::devsim
