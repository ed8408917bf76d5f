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

using testing::DeviceFacts;
using testing::FakeExchangeIo;
using testing::IoEvent;
using testing::kTestClientId;

DeviceFacts Device(int lastOctet, std::string name) {
  DeviceFacts d;
  d.address[3] = static_cast<std::uint8_t>(lastOctet);
  d.name = std::move(name);
  return d;
}

std::string Describe(const DeviceRecordList& table) {
  std::string text;
  for (const DeviceRecord& r : table) {
    text += std::to_string(r.interfaceIndex) + " " + r.name.str() + " " + r.address.str() + " " +
            r.netmask.str() + r.gateway.str() + r.dhcpFlag.str() + std::to_string(r.deviceId[9]) +
            "\n";
  }
  return text;
}

// Both searches over the same script; each interface must also be polled as often and keep the
// same datagrams unread.
std::string ExpectSameTableBothWays(int interfaces,
                                    const std::function<void(FakeExchangeIo&)>& script) {
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

// Silence, failed reads, replies of this and another run in both forms with matching and other
// codes, foreign datagrams, more than 32 on some interfaces, a few addresses on many interfaces.
TEST(SearchOrder, RandomTrafficGivesTheSameTableBothWays) {
  for (unsigned seed = 0; seed < 300; ++seed) {
    const int interfaces = 1 + static_cast<int>(seed % 8);
    ExpectSameTableBothWays(interfaces, [&](FakeExchangeIo& io) {
      std::mt19937 random(seed);
      const auto pick = [&](unsigned n) { return static_cast<int>(random() % n); };
      for (int i = 0; i < interfaces; ++i) {
        for (int step = pick(45); step > 0; --step) {
          const DeviceFacts d =
              Device(1 + pick(12), std::to_string(i) + "-" + std::to_string(step));
          const ClientIdBytes& client = pick(6) ? kTestClientId : testing::kOtherClientId;
          const int kind = pick(6);
          if (kind == 0) io.QueueNothing(i);
          if (kind == 1) io.QueueFailedRead(i);
          if (kind == 2) io.Queue(i, testing::DiscoveryReplyExt(client, d, 6, pick(2) ? 6 : 2));
          if (kind == 3) io.Queue(i, testing::ReadReply(client, d, "not a discovery reply"));
          if (kind > 3) io.Queue(i, testing::DiscoveryReply(client, d));
        }
      }
    });
    if (HasFailure()) FAIL() << "seed " << seed;
  }
}

TEST(SearchOneInterfaceAtATime, ScheduleIsTwoSendsThenThirtyTwoPollsPerInterface) {
  FakeExchangeIo io;
  DeviceRecordList table;
  testing::RunSearchOneInterfaceAtATime(io, 2, kTestClientId, 6, 6, table);
  std::string expected;
  for (const std::string i : {"0", "1"}) {
    expected += (i == "0" ? "S" : " S") + i + " z50 S" + i + " z50";
    for (int poll = 0; poll < 31; ++poll) expected += " P" + i + " z20";
    expected += " P" + i;
  }
  EXPECT_EQ(io.Schedule(), expected);
}

}  // namespace
}  // namespace corvane::protocol
