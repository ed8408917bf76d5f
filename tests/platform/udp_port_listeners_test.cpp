// SPDX-License-Identifier: GPL-3.0-or-later
// Real sockets on loopback, found through the real socket tables.
#include "platform/udp_port_listeners.h"

#include <arpa/inet.h>
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

// Bound with SO_REUSEADDR, as a second finder on the port would be; -1 on failure.
int BoundSocket(int family, std::uint16_t port) {
  const int fd = ::socket(family, SOCK_DGRAM, 0);
  const int on = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_storage address{};
  socklen_t length = 0;
  if (family == AF_INET) {
    auto* v4 = reinterpret_cast<sockaddr_in*>(&address);
    v4->sin_family = AF_INET;
    v4->sin_port = htons(port);
    v4->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    length = sizeof *v4;
  } else {
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&address);  // :: takes IPv4 as well
    v6->sin6_family = AF_INET6;
    v6->sin6_port = htons(port);
    length = sizeof *v6;
  }
  if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0) return -1;
  return fd;
}

std::uint16_t PortOf(int fd) {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  return ntohs(address.sin_port);
}

std::string OwnProgramName() {
  std::ifstream file("/proc/self/comm");
  std::string name;
  std::getline(file, name);
  return name;
}

TEST(UdpPortListeners, NamesOtherProcessesOnThePortButNeverThisOne) {
  const int mine = BoundSocket(AF_INET, 0);
  ASSERT_GE(mine, 0);
  const std::uint16_t port = PortOf(mine);
  EXPECT_TRUE(OtherUdpListeners(port).empty());

  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t other = ::fork();
  if (other == 0) {
    const char bound = static_cast<char>((BoundSocket(AF_INET, port) >= 0 ? 1 : 0) +
                                         (BoundSocket(AF_INET6, port) >= 0 ? 1 : 0));
    (void)!::write(ready[1], &bound, 1);
    ::pause();
    ::_exit(0);
  }
  char bound = 0;
  ASSERT_EQ(::read(ready[0], &bound, 1), 1);
  const std::vector<PortListener> listeners = OtherUdpListeners(port);
  ::kill(other, SIGKILL);
  ::waitpid(other, nullptr, 0);
  ::close(mine);

  ASSERT_GE(bound, 1);  // the IPv6 one only where the system has IPv6
  ASSERT_EQ(listeners.size(), static_cast<std::size_t>(bound));
  for (const PortListener& listener : listeners) {
    EXPECT_EQ(listener.pid, other);
    EXPECT_EQ(listener.program, OwnProgramName());  // a forked copy of this test
  }
}

}  // namespace
}  // namespace corvane::platform
