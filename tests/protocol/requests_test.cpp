// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/session.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fake_exchange_io.h"

namespace corvane::protocol {
namespace {

using testing::Bytes;
using testing::DeviceFacts;
using testing::FakeExchangeIo;
using testing::IoEvent;
using testing::kTestClientId;

// A session's state with two devices known on interface 1, and no sockets.
class RequestsTest : public ::testing::Test {
 protected:
  RequestsTest() {
    session_.SetTraceSink([this](std::string_view line) { lines_.emplace_back(line); });
    session_.ClientId = kTestClientId;
    session_.InterfaceCount = 2;
    session_.DeviceTable.AddDevice("Other", "192.168.50.20", "255.255.255.0", "192.168.50.1", "0",
                                   {9, 9, 9, 9, 9, 9, 192, 168, 50, 20}, 1);
    session_.DeviceTable.AddDevice("NAS1", "192.168.50.21", "255.255.255.0", "192.168.50.1", "0",
                                   {0, 0x11, 0x22, 0x33, 0x44, 0xaa, 192, 168, 50, 21}, 1);
    session_.SelectedAddress.Set("192.168.50.21");
  }

  // The device answers every request once with the given reply.
  void AnswerWith(std::function<Bytes(const Bytes&)> reply) {
    io_.onSend = [this, reply](int interfaceIndex, const Bytes& request) {
      io_.Queue(interfaceIndex, reply(request));
    };
  }

  static DeviceFacts Selected() { return DeviceFacts{}; }

  FakeExchangeIo io_;
  Session session_{io_};
  std::vector<std::string> lines_;
};

TEST_F(RequestsTest, EveryRequestFailsAtOnceWithoutASelectedRecord) {
  session_.SelectedAddress.Set("192.168.50.99");
  session_.ShareList.AddShare("stale");
  session_.WorkgroupText.Set("kept");
  using Request = int (Session::*)();
  for (Request request :
       {&Session::SetAddress, &Session::SetDhcp, &Session::ReadShareList,
        &Session::CheckCredentials, &Session::SetHostName, &Session::ReadWorkgroup,
        &Session::SetWorkgroup, &Session::SetCodepage, &Session::ReadCodepage, &Session::SendRw,
        &Session::ReadIdeOk, &Session::ReadShareName, &Session::SendStop}) {
    EXPECT_EQ((session_.*request)(), 0);
  }
  EXPECT_TRUE(io_.events.empty());
  EXPECT_EQ(session_.ShareList.count(), 0);  // emptied before the lookup
  EXPECT_EQ(session_.WorkgroupText, "kept");
}

TEST_F(RequestsTest, RecordWithAnInterfaceBeyondTheTableIsNotUsed) {
  session_.InterfaceCount = 1;
  EXPECT_EQ(session_.ReadWorkgroup(), 0);
  EXPECT_TRUE(io_.events.empty());
}

TEST_F(RequestsTest, ReadsUseTheirDrainAndLimitOnTheRecordsInterface) {
  struct Case {
    int (Session::*request)();
    std::uint8_t item;
    int drain;
    int limit;
  };
  for (const Case& c :
       {Case{&Session::ReadShareList, 3, 11, 20}, Case{&Session::ReadWorkgroup, 6, 6, 10},
        Case{&Session::ReadCodepage, 9, 11, 10}, Case{&Session::ReadIdeOk, 11, 11, 20},
        Case{&Session::ReadShareName, 12, 11, 20}, Case{&Session::CheckCredentials, 4, 11, 10}}) {
    io_.events.clear();
    EXPECT_EQ((session_.*c.request)(), 0);
    const auto sends = io_.Sends();
    ASSERT_EQ(sends.size(), 1u);
    EXPECT_EQ(sends[0].interfaceIndex, 1);
    EXPECT_EQ(sends[0].bytes[0], 3);
    EXPECT_EQ(sends[0].bytes[21], c.item);
    EXPECT_EQ(io_.Count(IoEvent::kPoll), c.drain + c.limit + 1) << int(c.item);
    EXPECT_EQ(io_.events[static_cast<std::size_t>(c.drain)].kind, IoEvent::kSend) << int(c.item);
  }
}

TEST_F(RequestsTest, SetsWaitTenPollsWithoutDrainAndCarryTheirText) {
  session_.NewNetmask.Set("255.255.0.0");
  session_.NewGateway.Set("192.168.0.1");
  session_.HostNameText.Set("host");
  session_.WorkgroupText.Set("WG");
  session_.CodepageText.Set("850");
  session_.RwText.Set("rw");
  session_.StopText.Set("stop");
  struct Case {
    int (Session::*request)();
    std::uint8_t item;
    std::string payload;
  };
  for (const Case& c :
       {Case{&Session::SetHostName, 5, "host"}, Case{&Session::SetWorkgroup, 7, "WG"},
        Case{&Session::SetCodepage, 8, "850"}, Case{&Session::SendRw, 10, "rw"},
        Case{&Session::SendStop, 13, "stop"}}) {
    io_.events.clear();
    EXPECT_EQ((session_.*c.request)(), 0);
    ASSERT_EQ(io_.Sends().size(), 1u);
    const Bytes sent = io_.Sends()[0].bytes;
    EXPECT_EQ(io_.events[0].kind, IoEvent::kSend);
    EXPECT_EQ(io_.Count(IoEvent::kPoll), 11);
    EXPECT_EQ(sent[0], 5);
    EXPECT_EQ(sent[21], c.item);
    EXPECT_EQ(std::string(sent.begin() + 24, sent.begin() + 35), "255.255.0.0");
    EXPECT_EQ(std::string(sent.begin() + 40, sent.begin() + 51), "192.168.0.1");
    EXPECT_EQ(std::string(sent.begin() + 60, sent.end()), c.payload);
  }
}

TEST_F(RequestsTest, SetsSucceedOnTheSelectedDevicesReply) {
  AnswerWith([](const Bytes&) { return testing::SetReply(kTestClientId, Selected()); });
  EXPECT_EQ(session_.SetHostName(), 1);
  EXPECT_EQ(session_.SetWorkgroup(), 1);
  EXPECT_EQ(session_.SetCodepage(), 1);
  EXPECT_EQ(session_.SendRw(), 1);
  EXPECT_EQ(session_.SendStop(), 1);
}

TEST_F(RequestsTest, ReadValuesAreStoredCutAndTraced) {
  std::string value;
  AnswerWith([&](const Bytes&) { return testing::ReadReply(kTestClientId, Selected(), value); });
  value = std::string(40, 'W');
  EXPECT_EQ(session_.ReadWorkgroup(), 1);
  EXPECT_EQ(session_.WorkgroupText, std::string(31, 'W'));
  value = "850";
  EXPECT_EQ(session_.ReadCodepage(), 1);
  EXPECT_EQ(session_.CodepageText, "850");
  value = "3 and a long tail";
  EXPECT_EQ(session_.ReadIdeOk(), 1);
  EXPECT_EQ(session_.IdeOkText, "3 and a");
  value = "HDD_a_with_a_long_system_name";
  EXPECT_EQ(session_.ReadShareName(), 1);
  EXPECT_EQ(session_.ShareNameText, "HDD_a_with_a_long_s");
  EXPECT_THAT(lines_,
              ::testing::ElementsAre("workgroup=" + std::string(31, 'W') + "\n", "codepage=850\n",
                                     "ideok=3 and a\n", "sharename=HDD_a_with_a_long_s\n"));
}

TEST_F(RequestsTest, EmptyValueIsStoredAsEmptyText) {
  AnswerWith([](const Bytes&) {
    Bytes reply = testing::ReadReply(kTestClientId, Selected(), "");
    reply.resize(24);  // ends inside the header
    return reply;
  });
  session_.WorkgroupText.Set("before");
  EXPECT_EQ(session_.ReadWorkgroup(), 1);
  EXPECT_TRUE(session_.WorkgroupText.empty());
  EXPECT_EQ(session_.CheckCredentials(), 0);
}

TEST_F(RequestsTest, FailedReadKeepsTheText) {
  session_.CodepageText.Set("437");
  EXPECT_EQ(session_.ReadCodepage(), 0);
  EXPECT_EQ(session_.CodepageText, "437");
  EXPECT_TRUE(lines_.empty());
}

TEST_F(RequestsTest, CredentialsReturnTheFirstValueByteSigned) {
  std::string value;
  AnswerWith([&](const Bytes&) { return testing::ReadReply(kTestClientId, Selected(), value, 4); });
  session_.LoginUserName.Set("admin");
  session_.LoginPassword.Set("secret");
  value = "1";
  EXPECT_EQ(session_.CheckCredentials(), '1');
  const Bytes sent = io_.Sends().back().bytes;
  EXPECT_EQ(sent.size(), 28u + 5 + 2 + 6);
  value = "\xff";
  EXPECT_EQ(session_.CheckCredentials(), -1);
  value = "";
  EXPECT_EQ(session_.CheckCredentials(), 0);
}

TEST_F(RequestsTest, StaleReadRepliesNeitherProveNorRefuseCredentials) {
  session_.LoginUserName.Set("admin");
  session_.LoginPassword.Set("wrong");
  // Left over from the click before: the share list, answered twice.
  io_.Queue(1, testing::ReadReply(kTestClientId, Selected(), "HDD_a:public", 3));
  io_.Queue(1, testing::ReadReply(kTestClientId, Selected(), "HDD_a:public", 3));
  AnswerWith([](const Bytes&) { return testing::ReadReply(kTestClientId, Selected(), "", 4); });
  EXPECT_EQ(session_.CheckCredentials(), 0);

  // A refusal that arrived twice must not refuse the next, right password.
  io_.Queue(1, testing::ReadReply(kTestClientId, Selected(), "", 4));
  AnswerWith([](const Bytes&) { return testing::ReadReply(kTestClientId, Selected(), "1", 4); });
  EXPECT_EQ(session_.CheckCredentials(), '1');
}

TEST_F(RequestsTest, ShareListIsRefilledFromTheValueAndEmptiedOnFailure) {
  session_.ShareList.AddShare("stale");
  AnswerWith([](const Bytes&) {
    return testing::ReadReply(kTestClientId, Selected(), "HDD_a::public:HDD_a:", 3);
  });
  EXPECT_EQ(session_.ReadShareList(), 1);
  std::vector<std::string> names;
  for (const ShareEntry& e : session_.ShareList) names.push_back(e.name.str());
  EXPECT_THAT(names, ::testing::ElementsAre("HDD_a", "public"));

  io_.onSend = nullptr;
  EXPECT_EQ(session_.ReadShareList(), 0);
  EXPECT_EQ(session_.ShareList.count(), 0);
}

TEST_F(RequestsTest, SetAddressMovesTheRecordInPlace) {
  session_.NewAddress.Set("10.1.2.3");
  session_.NewNetmask.Set("255.0.0.0");
  session_.NewGateway.Set("10.0.0.1");
  AnswerWith([](const Bytes& request) {
    DeviceFacts moved = Selected();
    moved.address = {10, 1, 2, 3};
    EXPECT_EQ(std::string(request.begin() + 60, request.end()), "10.1.2.3");
    return testing::SetReply(kTestClientId, moved, 1);
  });
  // A reply still naming the old address is not the answer to an address change.
  io_.Queue(1, testing::SetReply(kTestClientId, Selected(), 1));
  EXPECT_EQ(session_.SetAddress(), 1);
  EXPECT_EQ(session_.SelectedAddress, "10.1.2.3");
  ASSERT_EQ(session_.DeviceTable.count(), 2);
  const DeviceRecord& record =
      session_.DeviceTable[static_cast<std::size_t>(session_.DeviceTable.count() - 1)];
  EXPECT_EQ(record.name, "NAS1");
  EXPECT_EQ(record.address, "10.1.2.3");
  EXPECT_EQ(record.netmask, "255.0.0.0");
  EXPECT_EQ(record.gateway, "10.0.0.1");
  EXPECT_EQ(record.dhcpFlag, "0");
  EXPECT_THAT(record.deviceId,
              ::testing::ElementsAre(0, 0x11, 0x22, 0x33, 0x44, 0xaa, 10, 1, 2, 3));
  EXPECT_EQ(session_.DeviceTable.FindDeviceByAddress("192.168.50.21"), nullptr);

  // The next request finds the device under its new address.
  io_.onSend = nullptr;
  io_.events.clear();
  session_.ReadWorkgroup();
  ASSERT_EQ(io_.Sends().size(), 1u);
  const Bytes sent = io_.Sends()[0].bytes;
  EXPECT_THAT(Bytes(sent.begin() + 11, sent.begin() + 21),
              ::testing::ElementsAre(0, 0x11, 0x22, 0x33, 0x44, 0xaa, 10, 1, 2, 3));
}

TEST_F(RequestsTest, SetAddressWaitsUpToAHundredPolls) {
  session_.NewAddress.Set("10.1.2.3");
  EXPECT_EQ(session_.SetAddress(), 0);
  EXPECT_EQ(io_.Count(IoEvent::kPoll), 101);
  EXPECT_EQ(session_.SelectedAddress, "192.168.50.21");
  EXPECT_NE(session_.DeviceTable.FindDeviceByAddress("192.168.50.21"), nullptr);
}

TEST_F(RequestsTest, SetDhcpTakesTheAddressFromTheReply) {
  AnswerWith([](const Bytes& request) {
    EXPECT_EQ(request.size(), 60u);
    DeviceFacts moved = Selected();
    moved.address = {192, 168, 50, 121};
    return testing::SetReply(kTestClientId, moved, 2);
  });
  EXPECT_EQ(session_.SetDhcp(), 1);
  EXPECT_EQ(session_.SelectedAddress, "192.168.50.121");
  const DeviceRecord& record =
      session_.DeviceTable[static_cast<std::size_t>(session_.DeviceTable.count() - 1)];
  EXPECT_EQ(record.address, "192.168.50.121");
  EXPECT_EQ(record.netmask, "255.255.255.0");
  EXPECT_EQ(record.deviceId[9], 121);
  EXPECT_EQ(record.deviceId[0], 0);
}

}  // namespace
}  // namespace corvane::protocol
