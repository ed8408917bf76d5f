// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/exchange.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fake_exchange_io.h"
#include "protocol/message.h"

namespace corvane::protocol {
namespace {

using testing::Bytes;
using testing::DeviceFacts;
using testing::FakeExchangeIo;
using testing::IoEvent;
using testing::kOtherClientId;
using testing::kTestClientId;

DeviceFacts Device(std::uint8_t lastOctet, std::string name) {
  DeviceFacts d;
  d.address = {192, 168, 50, lastOctet};
  d.name = std::move(name);
  return d;
}

std::string Repeat(const std::string& piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += (i ? " " : "") + piece;
  return text;
}

TEST(Search, EveryInterfaceIsServedInTheSameRounds) {
  FakeExchangeIo io;
  DeviceRecordList table;
  RunSearch(io, 2, kTestClientId, 6, 6, table);
  EXPECT_EQ(io.Schedule(), "S0 S1 z50 S0 S1 z50 " + Repeat("P0+1 z20", 31) + " P0+1");
  for (const IoEvent& send : io.Sends()) {
    EXPECT_THAT(send.bytes,
                ::testing::ElementsAre(1, 0xa1, 0xb2, 0xc3, 0xd4, 0xe5, 0xf6, 0, 0, 0, 0));
  }
}

TEST(Search, ZeroInterfacesEmptiesTheTableAndSendsNothing) {
  FakeExchangeIo io;
  DeviceRecordList table;
  table.AddDevice("old", "10.0.0.1", "", "", "", {}, 0);
  RunSearch(io, 0, kTestClientId, 6, 6, table);
  EXPECT_EQ(table.count(), 0);
  EXPECT_TRUE(io.events.empty());
}

TEST(Search, FailedReadsAreNotCountedNorFollowedByAPause) {
  FakeExchangeIo io;
  io.QueueFailedRead(0);
  io.QueueFailedRead(0);
  DeviceRecordList table;
  RunSearch(io, 1, kTestClientId, 6, 6, table);
  EXPECT_EQ(io.Count(IoEvent::kPoll, 0), 34);
  EXPECT_EQ(io.Count(IoEvent::kSleep), 2 + 31);

  // One interface's failures cost the other none of its polls.
  FakeExchangeIo two;
  two.QueueFailedRead(1);
  two.QueueFailedRead(1);
  RunSearch(two, 2, kTestClientId, 6, 6, table);
  EXPECT_EQ(two.Count(IoEvent::kPoll, 0), 32);
  EXPECT_EQ(two.Count(IoEvent::kPoll, 1), 34);
}

// A socket whose every read fails would otherwise keep a search polling for ever.
TEST(Search, EndsWithinTwiceItsWaitWhenReadsKeepFailing) {
  FakeExchangeIo io;
  io.readCost = std::chrono::milliseconds(1);
  io.Queue(1, testing::DiscoveryReply(kTestClientId, Device(22, "Heard")));
  for (int i = 0; i < 100000; ++i) io.QueueFailedRead(0);
  DeviceRecordList table;
  RunSearch(io, 2, kTestClientId, 6, 6, table);
  EXPECT_LE(io.Elapsed(), std::chrono::milliseconds(2100));
  EXPECT_GT(io.Pending(0), 0u);
  ASSERT_EQ(table.count(), 1);  // what was heard before the limit stays
  EXPECT_EQ(table[0].name, "Heard");
}

TEST(Search, ReadsAtMostThirtyTwoDatagramsPerInterface) {
  FakeExchangeIo io;
  for (int i = 0; i < 40; ++i)
    io.Queue(0,
             testing::DiscoveryReply(kTestClientId, Device(static_cast<std::uint8_t>(i + 1), "D")));
  DeviceRecordList table;
  RunSearch(io, 1, kTestClientId, 6, 6, table);
  EXPECT_EQ(table.count(), 32);
  EXPECT_EQ(io.Pending(0), 8u);  // left queued for whoever reads next
}

TEST(Search, FirstReplyPerAddressWinsAcrossFormsAndInterfaces) {
  FakeExchangeIo io;
  const DeviceFacts both = Device(21, "FirstForm");
  DeviceFacts again = both;
  again.name = "SecondForm";
  io.Queue(0, testing::DiscoveryReply(kTestClientId, both));
  io.Queue(0, testing::DiscoveryReplyExt(kTestClientId, again, 6, 6));
  io.Queue(1, testing::DiscoveryReply(kTestClientId, again));
  io.Queue(1, testing::DiscoveryReply(kTestClientId, Device(22, "Other")));
  DeviceRecordList table;
  RunSearch(io, 2, kTestClientId, 6, 6, table);
  ASSERT_EQ(table.count(), 2);
  EXPECT_EQ(table[0].name, "FirstForm");
  EXPECT_EQ(table[0].interfaceIndex, 0);
  EXPECT_EQ(table[static_cast<std::size_t>(table.count() - 1)].name, "Other");
  EXPECT_EQ(table[static_cast<std::size_t>(table.count() - 1)].interfaceIndex, 1);
}

TEST(Search, IgnoresForeignClientsFilteredAndShortRepliesButCountsThem) {
  FakeExchangeIo io;
  io.Queue(0, testing::DiscoveryReply(kOtherClientId, Device(1, "Foreign")));
  io.Queue(0, testing::DiscoveryReplyExt(kTestClientId, Device(2, "WrongCodes"), 6, 5));
  Bytes shortReply = testing::DiscoveryReply(kTestClientId, Device(3, ""));
  shortReply.resize(59);
  io.Queue(0, shortReply);
  io.Queue(0, testing::DiscoveryReplyExt(kTestClientId, Device(4, "Ext"), 6, 6));
  DeviceRecordList table;
  RunSearch(io, 1, kTestClientId, 6, 6, table);
  ASSERT_EQ(table.count(), 1);
  EXPECT_EQ(table[0].name, "Ext");
  EXPECT_EQ(io.Count(IoEvent::kPoll), 32);
}

TEST(Search, ZeroFiltersTakeEveryExtendedReply) {
  FakeExchangeIo io;
  io.Queue(0, testing::DiscoveryReplyExt(kTestClientId, Device(2, "Any"), 1, 2));
  DeviceRecordList table;
  RunSearch(io, 1, kTestClientId, 0, 0, table);
  EXPECT_EQ(table.count(), 1);
}

ExchangePlan Plan(int drain, int limit, std::optional<std::string> address) {
  ExchangePlan plan;
  plan.awaitedOpcode = kOpReadReply;
  plan.drainRounds = drain;
  plan.pollLimit = limit;
  if (address) plan.expectedAddress = FixedText<16>(*address);
  return plan;
}

const Bytes kRequest = {3, 1, 2, 3};

TEST(Exchange, UnansweredRequestWaitsLimitPlusOnePolls) {
  for (int limit : {10, 20, 100}) {
    FakeExchangeIo io;
    ReceiveBuffer reply;
    EXPECT_FALSE(
        RunExchange(io, 0, kTestClientId, kRequest, Plan(0, limit, "192.168.50.21"), reply));
    EXPECT_EQ(io.Schedule(), "S0 " + Repeat("P0 z100", limit) + " P0") << limit;
  }
}

TEST(Exchange, DrainsBeforeSendingWithoutPauses) {
  FakeExchangeIo io;
  const DeviceFacts device = Device(21, "");
  for (int i = 0; i < 6; ++i) io.Queue(0, testing::ReadReply(kTestClientId, device, "late"));
  io.Queue(0, testing::ReadReply(kTestClientId, device, "fresh"));
  ReceiveBuffer reply;
  ASSERT_TRUE(RunExchange(io, 0, kTestClientId, kRequest, Plan(6, 10, "192.168.50.21"), reply));
  EXPECT_EQ(ReadReplyValue(reply.datagram()), "fresh");
  EXPECT_EQ(io.Schedule(), Repeat("P0", 6) + " S0 P0");
}

TEST(Exchange, OtherOpcodesAndFailedReadsDoNotCount) {
  FakeExchangeIo io;
  const DeviceFacts device = Device(21, "");
  for (int i = 0; i < 30; ++i) io.Queue(0, testing::SetReply(kTestClientId, device));
  io.QueueFailedRead(0);
  io.Queue(0, Bytes{});  // an empty datagram has no opcode
  ReceiveBuffer reply;
  EXPECT_FALSE(RunExchange(io, 0, kTestClientId, kRequest, Plan(0, 10, "192.168.50.21"), reply));
  EXPECT_EQ(io.Count(IoEvent::kPoll), 32 + 11);
  EXPECT_EQ(io.Count(IoEvent::kSleep), 10);
}

// About 250 foreign datagrams a second from any host on the network: none of them counts, so
// only the clock can end the wait.
TEST(Exchange, AFloodOfOtherOpcodesEndsWithinTwiceTheWait) {
  for (int limit : {10, 100}) {
    FakeExchangeIo io;
    io.readCost = std::chrono::milliseconds(4);
    for (int i = 0; i < 20000; ++i) io.Queue(0, testing::SetReply(kTestClientId, Device(21, "")));
    ReceiveBuffer reply;
    EXPECT_FALSE(
        RunExchange(io, 0, kTestClientId, kRequest, Plan(6, limit, "192.168.50.21"), reply));
    const auto nominal = std::chrono::milliseconds((6 + limit + 1) * 10 + limit * 100);
    EXPECT_LE(io.Elapsed(), 2 * nominal + std::chrono::milliseconds(10)) << limit;
    EXPECT_GT(io.Pending(0), 0u) << limit;
  }
}

TEST(Exchange, ForeignClientWrongAddressAndShortRepliesCount) {
  FakeExchangeIo io;
  io.Queue(0, testing::ReadReply(kOtherClientId, Device(21, ""), "foreign"));
  io.Queue(0, testing::ReadReply(kTestClientId, Device(22, ""), "other device"));
  Bytes cut = testing::ReadReply(kTestClientId, Device(21, ""), "");
  cut.resize(20);
  io.Queue(0, cut);
  io.Queue(0, testing::ReadReply(kTestClientId, Device(21, ""), "mine"));
  ReceiveBuffer reply;
  ASSERT_TRUE(RunExchange(io, 0, kTestClientId, kRequest, Plan(0, 10, "192.168.50.21"), reply));
  EXPECT_EQ(ReadReplyValue(reply.datagram()), "mine");
  EXPECT_EQ(io.Schedule(), "S0 P0 z100 P0 z100 P0 z100 P0");
}

TEST(Exchange, LimitCountsOnlyUpToTheAcceptedReply) {
  FakeExchangeIo io;
  for (int i = 0; i < 10; ++i) io.Queue(0, testing::ReadReply(kOtherClientId, Device(21, ""), ""));
  io.Queue(0, testing::ReadReply(kTestClientId, Device(21, ""), "in time"));
  ReceiveBuffer reply;
  EXPECT_TRUE(RunExchange(io, 0, kTestClientId, kRequest, Plan(0, 10, "192.168.50.21"), reply));

  FakeExchangeIo late;
  for (int i = 0; i < 11; ++i)
    late.Queue(0, testing::ReadReply(kOtherClientId, Device(21, ""), ""));
  late.Queue(0, testing::ReadReply(kTestClientId, Device(21, ""), "too late"));
  EXPECT_FALSE(RunExchange(late, 0, kTestClientId, kRequest, Plan(0, 10, "192.168.50.21"), reply));
}

TEST(Exchange, WithoutAddressTestAnyReplyOfThisRunIsTaken) {
  FakeExchangeIo io;
  io.Queue(0, testing::ReadReply(kOtherClientId, Device(99, ""), "foreign"));
  io.Queue(0, testing::ReadReply(kTestClientId, Device(77, ""), "any device"));
  ReceiveBuffer reply;
  ASSERT_TRUE(RunExchange(io, 0, kTestClientId, kRequest, Plan(0, 10, std::nullopt), reply));
  EXPECT_EQ(ReadReplyValue(reply.datagram()), "any device");
}

TEST(Exchange, SendsTheRequestBytesOnTheChosenInterface) {
  FakeExchangeIo io;
  ReceiveBuffer reply;
  RunExchange(io, 3, kTestClientId, kRequest, Plan(0, 0, std::nullopt), reply);
  ASSERT_EQ(io.Sends().size(), 1u);
  EXPECT_EQ(io.Sends()[0].interfaceIndex, 3);
  EXPECT_EQ(io.Sends()[0].bytes, kRequest);
}

}  // namespace
}  // namespace corvane::protocol
