// SPDX-License-Identifier: GPL-3.0-or-later
// Real sockets on loopback, found through the real socket tables.
#include "platform/udp_port_listeners.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>

namespace corvane::platform {
namespace {

// Shared with SO_REUSEADDR, as a second finder on the port would; false on failure. IPv6 is
// bound to ::, which takes IPv4 as well.
bool Bind(int fd, std::uint16_t port, bool ipv6) {
  const int on = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in v4{AF_INET, htons(port), {htonl(INADDR_LOOPBACK)}, {}};
  sockaddr_in6 v6{AF_INET6, htons(port), 0, in6addr_any, 0};
  return ipv6 ? ::bind(fd, reinterpret_cast<sockaddr*>(&v6), sizeof v6) == 0
              : ::bind(fd, reinterpret_cast<sockaddr*>(&v4), sizeof v4) == 0;
}

TEST(UdpPortListeners, NamesOtherProcessesOnThePortButNeverThisOne) {
  const int mine = ::socket(AF_INET, SOCK_DGRAM, 0);
  ASSERT_TRUE(Bind(mine, 0, false));
  sockaddr_in address{};
  socklen_t length = sizeof address;
  ::getsockname(mine, reinterpret_cast<sockaddr*>(&address), &length);
  const std::uint16_t port = ntohs(address.sin_port);
  EXPECT_TRUE(OtherUdpListeners(port).empty());

  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t other = ::fork();
  if (other == 0) {
    const char bound = static_cast<char>(Bind(::socket(AF_INET, SOCK_DGRAM, 0), port, false) +
                                         Bind(::socket(AF_INET6, SOCK_DGRAM, 0), port, true));
    (void)!::write(ready[1], &bound, 1);
    ::pause();
  }
  char bound = 0;
  ASSERT_EQ(::read(ready[0], &bound, 1), 1);
  const std::vector<PortListener> listeners = OtherUdpListeners(port);
  ::kill(other, SIGKILL);
  ::waitpid(other, nullptr, 0);
  ::close(mine);

  std::ifstream comm("/proc/self/comm");
  std::string ownName;
  std::getline(comm, ownName);
  ASSERT_GE(bound, 1);  // the IPv6 one only where the system has IPv6
  ASSERT_EQ(listeners.size(), static_cast<std::size_t>(bound));
  for (const PortListener& listener : listeners) {
    EXPECT_EQ(listener.pid, other);
    EXPECT_EQ(listener.program, ownName);  // a forked copy of this test
  }
}

}  // namespace
}  // namespace corvane::platform
