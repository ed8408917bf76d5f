// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/reachability.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace corvane::platform {
namespace {

using namespace std::chrono_literals;

TEST(CheckHttpReachable, NeedsAnOpenPortAndAnAddress) {
  const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(listener, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), size), 0);
  ASSERT_EQ(::listen(listener, 4), 0);
  ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size), 0);
  const std::uint16_t port = ntohs(address.sin_port);

  EXPECT_TRUE(CheckHttpReachable("127.0.0.1", 1s, port));
  ::close(listener);
  EXPECT_FALSE(CheckHttpReachable("127.0.0.1", 1s, port));
  EXPECT_FALSE(CheckHttpReachable("localhost", 1s, port));  // names are not looked up
  EXPECT_FALSE(CheckHttpReachable("", 1s, port));
}

}  // namespace
}  // namespace corvane::platform
