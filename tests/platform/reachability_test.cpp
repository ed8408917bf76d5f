// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/reachability.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>

namespace corvane::platform {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(ReachabilityWorker, ALateResultNeverAnswersALaterCheck) {
  std::atomic<bool> firstFinished{false};
  const auto start = Clock::now();
  {
    // The device answers only after its check gave up.
    ReachabilityWorker first("192.168.50.21", 300ms,
                             [&](const std::string&, std::chrono::milliseconds bound) {
                               std::this_thread::sleep_for(bound);
                               firstFinished = true;
                               return true;
                             });
    EXPECT_EQ(first.WaitFor(50ms), Reachability::kPending);
  }
  // Giving up joined the worker, within the bound it was given.
  EXPECT_TRUE(firstFinished);
  EXPECT_LT(Clock::now() - start, 2s);

  ReachabilityWorker second("192.168.50.22", 300ms,
                            [](const std::string& address, std::chrono::milliseconds) {
                              return address == "192.168.50.21";
                            });
  EXPECT_EQ(second.WaitFor(2s), Reachability::kUnreachable);
  EXPECT_EQ(second.Result(), Reachability::kUnreachable);
}

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
