// SPDX-License-Identifier: GPL-3.0-or-later
// The search that serves every interface at once must build exactly the table the search that
// served them one after another builds from the same datagrams.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

#include "fake_exchange_io.h"
#include "protocol/exchange.h"
#include "protocol/testing/search_one_at_a_time.h"

namespace corvane::protocol {
namespace {

using testing::Bytes;
using testing::DeviceFacts;
using testing::FakeExchangeIo;
using testing::IoEvent;
using testing::kOtherClientId;
using testing::kTestClientId;

using Script = std::function<void(FakeExchangeIo&)>;

DeviceFacts Device(std::uint8_t lastOctet, std::string name) {
  DeviceFacts d;
  d.address = {192, 168, 50, lastOctet};
  d.name = std::move(name);
  return d;
}

std::string Describe(const DeviceRecordList& table) {
  std::string text;
  for (const DeviceRecord& r : table) {
    text += std::to_string(r.interfaceIndex) + " " + r.name.str() + " " + r.address.str() + " " +
            r.netmask.str() + " " + r.gateway.str() + " " + r.dhcpFlag.str() + " ";
    for (std::uint8_t b : r.deviceId) text += std::to_string(b) + ".";
    text += "\n";
  }
  return text;
}

// Runs both searches over the same script; every interface must also be polled as often and be
// left with the same datagrams unread.
std::string ExpectSameTableBothWays(int interfaces, const Script& script) {
  FakeExchangeIo together;
  FakeExchangeIo oneByOne;
  script(together);
  script(oneByOne);
  DeviceRecordList parallel;
  DeviceRecordList serial;
  RunSearch(together, interfaces, kTestClientId, 6, 6, parallel);
  testing::RunSearchOneInterfaceAtATime(oneByOne, interfaces, kTestClientId, 6, 6, serial);
  EXPECT_EQ(Describe(parallel), Describe(serial));
  for (int i = 0; i < interfaces; ++i) {
    EXPECT_EQ(together.Count(IoEvent::kPoll, i), oneByOne.Count(IoEvent::kPoll, i)) << i;
    EXPECT_EQ(together.Pending(i), oneByOne.Pending(i)) << i;
  }
  return Describe(parallel);
}

TEST(SearchOrder, RecordsFollowTheInterfaceBeforeTheArrival) {
  const std::string table = ExpectSameTableBothWays(2, [](FakeExchangeIo& io) {
    io.QueueNothing(0, 10);  // interface 0 hears its devices after interface 1 heard its own
    io.Queue(0, testing::DiscoveryReply(kTestClientId, Device(30, "Late")));
    io.Queue(0, testing::DiscoveryReply(kTestClientId, Device(40, "TwinOn0")));
    io.Queue(1, testing::DiscoveryReply(kTestClientId, Device(31, "Early")));
    io.Queue(1, testing::DiscoveryReply(kTestClientId, Device(40, "TwinOn1")));
  });
  EXPECT_THAT(table, ::testing::MatchesRegex("0 Late .*\n0 TwinOn0 .*\n1 Early .*\n"));
}

// Random traffic: silence, failed reads, replies of this and other runs in both forms, with
// matching and other codes, short and foreign datagrams, more than 32 on some interfaces, and
// the same few addresses on several interfaces.
void QueueRandomTraffic(FakeExchangeIo& io, int interfaces, unsigned seed) {
  std::mt19937 random(seed);
  const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  for (int i = 0; i < interfaces; ++i) {
    const int steps = pick(45);
    for (int step = 0; step < steps; ++step) {
      const DeviceFacts device = Device(static_cast<std::uint8_t>(1 + pick(12)),
                                        "D" + std::to_string(i) + "-" + std::to_string(step));
      const ClientIdBytes& client = pick(6) == 0 ? kOtherClientId : kTestClientId;
      switch (pick(6)) {
        case 0:
          io.QueueNothing(i);
          break;
        case 1:
          io.QueueFailedRead(i);
          break;
        case 2:
          io.Queue(i, testing::DiscoveryReplyExt(client, device, 6, pick(2) ? 6 : 2));
          break;
        case 3:
          io.Queue(i, testing::ReadReply(client, device, "not a discovery reply"));
          break;
        default:
          io.Queue(i, testing::DiscoveryReply(client, device));
          break;
      }
    }
  }
}

TEST(SearchOrder, RandomTrafficGivesTheSameTableBothWays) {
  for (unsigned seed = 0; seed < 300; ++seed) {
    const int interfaces = 1 + static_cast<int>(seed % 8);
    ExpectSameTableBothWays(interfaces,
                            [&](FakeExchangeIo& io) { QueueRandomTraffic(io, interfaces, seed); });
    if (HasFailure()) FAIL() << "seed " << seed;
  }
}

std::string Repeat(const std::string& piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += (i ? " " : "") + piece;
  return text;
}

TEST(SearchOneInterfaceAtATime, ScheduleIsTwoSendsThenThirtyTwoPollsPerInterface) {
  FakeExchangeIo io;
  DeviceRecordList table;
  testing::RunSearchOneInterfaceAtATime(io, 2, kTestClientId, 6, 6, table);
  const auto forInterface = [](const std::string& i) {
    return "S" + i + " z50 S" + i + " z50 " + Repeat("P" + i + " z20", 31) + " P" + i;
  };
  EXPECT_EQ(io.Schedule(), forInterface("0") + " " + forInterface("1"));
}

}  // namespace
}  // namespace corvane::protocol
