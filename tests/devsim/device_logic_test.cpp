// SPDX-License-Identifier: GPL-3.0-or-later
#include "device_logic.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "request_bytes.h"

namespace corvane::devsim {
namespace {

using namespace corvane::devsim::testing;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr std::array<std::uint8_t, 6> kId{0x00, 0x11, 0x22, 0x33, 0x44, 0xa1};
constexpr std::array<std::uint8_t, 4> kHome{192, 168, 50, 21};

nlohmann::json BaseDevice() {
  return nlohmann::json::parse(R"({
    "id": "nas1",
    "legs": [ {"bridge": "a", "address": "192.168.50.21/24"},
              {"bridge": "b", "address": "192.168.60.21/24"} ],
    "name": "NAS-ALDER", "gateway": "192.168.50.1", "dhcpAddress": "192.168.50.121",
    "workgroup": "WORKGROUP", "shares": "HDD_a:public::music:", "codepage": "850",
    "ideok": "3", "systemShare": "HDD_a", "adminUser": "admin", "adminPassword": "vorel",
    "deviceId": "0011223344a1"
  })");
}

DeviceLogic Device(const nlohmann::json& changes = nlohmann::json::object()) {
  nlohmann::json device = BaseDevice();
  device.update(changes);
  return DeviceLogic(ParseDeviceConfig(device));
}

// The value text of a read reply, after checking its head.
std::string ReadValue(const Outcome& outcome, std::uint8_t item) {
  const Bytes& reply = outcome.reply;
  if (reply.size() < 28) return "<no read reply>";
  EXPECT_EQ(reply[0], 4);
  EXPECT_EQ(reply[21], item);
  EXPECT_EQ(Le32(reply, 24), reply.size() - 28);
  return Text(reply, 28);
}

TEST(DeviceLogicDiscovery, PlainReplyLayout) {
  DeviceLogic device = Device();
  Outcome outcome = device.Handle(Discovery(), 0, 1000);
  const Bytes& reply = outcome.reply;
  ASSERT_EQ(reply.size(), 60u + 9u);
  EXPECT_EQ(reply[0], 2);
  EXPECT_TRUE(std::equal(kClient.begin(), kClient.end(), reply.begin() + 1))
      << "whole ClientId echoed";
  EXPECT_THAT(Bytes(reply.begin() + 11, reply.begin() + 21),
              ElementsAre(0x00, 0x11, 0x22, 0x33, 0x44, 0xa1, 192, 168, 50, 21));
  EXPECT_EQ(reply[21], '0');
  EXPECT_EQ(Text(reply, 24, 16), "255.255.255.0");
  EXPECT_EQ(Text(reply, 40, 16), "192.168.50.1");
  EXPECT_EQ(Le32(reply, 56), 9u);
  EXPECT_EQ(Text(reply, 60), "NAS-ALDER");
  EXPECT_FALSE(outcome.addressChange);
  EXPECT_FALSE(outcome.stateChanged);
}

TEST(DeviceLogicDiscovery, ExtendedReplyCarriesMatchCodesAndMovesTheName) {
  DeviceLogic device = Device({{"replyForm", 7}, {"matchCodes", {1, 2}}, {"dhcp", true}});
  const Bytes reply = device.Handle(Discovery(), 0, 0).reply;
  ASSERT_EQ(reply.size(), 72u + 9u);
  EXPECT_EQ(reply[0], 7);
  EXPECT_EQ(reply[21], '1');
  EXPECT_EQ(reply[56], 1);
  EXPECT_EQ(reply[57], 2);
  EXPECT_THAT(Bytes(reply.begin() + 58, reply.begin() + 68), ::testing::Each(0));
  EXPECT_EQ(Le32(reply, 68), 9u);
  EXPECT_EQ(Text(reply, 72), "NAS-ALDER");
}

TEST(DeviceLogicDiscovery, SecondSendOfABurstIsAnsweredOnlyWhenConfigured) {
  DeviceLogic once = Device();
  EXPECT_FALSE(once.Handle(Discovery(), 0, 1000).reply.empty());
  EXPECT_TRUE(once.Handle(Discovery(), 0, 1050).reply.empty()) << "repeat within the burst";
  EXPECT_FALSE(once.Handle(Discovery(), 1, 1060).reply.empty()) << "other leg, own burst";
  auto other = kClient;
  other[0] = 0x99;
  EXPECT_FALSE(once.Handle(Discovery(other), 0, 1070).reply.empty()) << "other client";
  EXPECT_FALSE(once.Handle(Discovery(), 0, 1050 + DeviceLogic::kBurstWindowMs).reply.empty())
      << "a later search is a new burst";

  DeviceLogic both = Device({{"answerBothSends", true}});
  EXPECT_FALSE(both.Handle(Discovery(), 0, 1000).reply.empty());
  EXPECT_FALSE(both.Handle(Discovery(), 0, 1050).reply.empty());
}

TEST(DeviceLogicDiscovery, IdentityAddressFollowsThePolicyOnEveryLeg) {
  DeviceLogic shared = Device();
  EXPECT_EQ(AddressAt17(shared.Handle(Discovery(), 1, 0).reply), "192.168.50.21");
  DeviceLogic perLeg = Device({{"addressPolicy", "perLeg"}});
  EXPECT_EQ(AddressAt17(perLeg.Handle(Discovery(), 1, 0).reply), "192.168.60.21");
  // Requests must then name the address of the leg they arrive on.
  EXPECT_TRUE(perLeg.Handle(Read(kId, kHome, 6), 1, 0).reply.empty());
  EXPECT_FALSE(perLeg.Handle(Read(kId, {192, 168, 60, 21}, 6), 1, 0).reply.empty());
}

TEST(DeviceLogicDiscovery, SilentDeviceAnswersNothingUntilWokenUp) {
  DeviceLogic device = Device({{"silent", true}});
  EXPECT_TRUE(device.Handle(Discovery(), 0, 0).reply.empty());
  EXPECT_TRUE(device.Handle(Read(kId, kHome, 6), 0, 1).reply.empty());
  EXPECT_TRUE(device.Handle(Set(kId, kHome, 5, "X"), 0, 2).reply.empty());
  EXPECT_EQ(device.State().name, "NAS-ALDER") << "a silent device applies nothing";
  EXPECT_TRUE(device.SetSilent(false));
  EXPECT_FALSE(device.SetSilent(false));
  EXPECT_FALSE(device.Handle(Discovery(), 0, 10000).reply.empty());
}

TEST(DeviceLogicRead, EveryReadableItem) {
  DeviceLogic device = Device();
  EXPECT_EQ(ReadValue(device.Handle(Read(kId, kHome, 3), 0, 0), 3), "HDD_a:public::music:");
  EXPECT_EQ(ReadValue(device.Handle(Read(kId, kHome, 6), 0, 0), 6), "WORKGROUP");
  EXPECT_EQ(ReadValue(device.Handle(Read(kId, kHome, 9), 0, 0), 9), "850");
  EXPECT_EQ(ReadValue(device.Handle(Read(kId, kHome, 11), 0, 0), 11), "3");
  EXPECT_EQ(ReadValue(device.Handle(Read(kId, kHome, 12), 0, 0), 12), "HDD_a");
  for (int item : {0, 1, 2, 5, 7, 8, 10, 13, 14, 255}) {
    EXPECT_TRUE(
        device.Handle(Read(kId, kHome, static_cast<std::uint8_t>(item)), 0, 0).reply.empty())
        << item;
  }
}

TEST(DeviceLogicRead, UnansweredItemsAreIgnoredAltogether) {
  DeviceLogic device = Device({{"unanswered", {9, 8}}});
  EXPECT_TRUE(device.Handle(Read(kId, kHome, 9), 0, 0).reply.empty());
  EXPECT_TRUE(device.Handle(Set(kId, kHome, 8, "866"), 0, 0).reply.empty());
  EXPECT_EQ(device.State().codepage, "850");
  EXPECT_EQ(ReadValue(device.Handle(Read(kId, kHome, 11), 0, 0), 11), "3");
}

TEST(DeviceLogicRead, ReplyEchoesClientAndNamesTheDevice) {
  DeviceLogic device = Device();
  const Bytes reply = device.Handle(Read(kId, kHome, 6), 0, 0).reply;
  ASSERT_GE(reply.size(), 28u);
  EXPECT_TRUE(std::equal(kClient.begin(), kClient.end(), reply.begin() + 1));
  EXPECT_EQ(AddressAt17(reply), "192.168.50.21");
  EXPECT_THAT(Bytes(reply.begin() + 11, reply.begin() + 17),
              ElementsAre(0x00, 0x11, 0x22, 0x33, 0x44, 0xa1));
}

TEST(DeviceLogicRead, OnlyTheNamedDeviceAnswers) {
  DeviceLogic device = Device();
  auto otherId = kId;
  otherId[5] = 0xa2;
  EXPECT_TRUE(device.Handle(Read(otherId, kHome, 6), 0, 0).reply.empty()) << "identifier differs";
  EXPECT_TRUE(device.Handle(Read(kId, {192, 168, 50, 22}, 6), 0, 0).reply.empty())
      << "address differs";
  EXPECT_TRUE(device.Handle(Set(kId, {192, 168, 50, 22}, 5, "X"), 0, 0).reply.empty());
  EXPECT_EQ(device.State().name, "NAS-ALDER");
}

TEST(DeviceLogicRead, CredentialsAreCheckedExactly) {
  DeviceLogic device = Device();
  auto check = [&](const std::string& payload) {
    return ReadValue(device.Handle(Read(kId, kHome, 4, payload), 0, 0), 4);
  };
  EXPECT_EQ(check(Credentials("admin", "vorel")), "1");
  EXPECT_EQ(check(Credentials("admin", "vorel2")), "");
  EXPECT_EQ(check(Credentials("admin", "vore")), "");
  EXPECT_EQ(check(Credentials("root", "vorel")), "");
  EXPECT_EQ(check(Credentials("admin", "")), "");
  EXPECT_EQ(check("adminvorel"), "") << "no separator";
  EXPECT_EQ(check(""), "");
  DeviceLogic emptyPassword = Device({{"adminPassword", ""}});
  EXPECT_EQ(ReadValue(emptyPassword.Handle(Read(kId, kHome, 4, Credentials("admin", "")), 0, 0), 4),
            "1");
}

TEST(DeviceLogicRead, MalformedRequestsAreIgnored) {
  DeviceLogic device = Device();
  Bytes shortRead = Read(kId, kHome, 6);
  shortRead.resize(27);
  EXPECT_TRUE(device.Handle(shortRead, 0, 0).reply.empty());
  Bytes overrun = Read(kId, kHome, 4, Credentials("admin", "vorel"));
  PutLe32(overrun, 24, 200);
  EXPECT_TRUE(device.Handle(overrun, 0, 0).reply.empty()) << "length beyond the datagram";
  Bytes hugeLength = Set(kId, kHome, 5, "NEW");
  PutLe32(hugeLength, 56, 0xffffffffu);
  EXPECT_TRUE(device.Handle(hugeLength, 0, 0).reply.empty());
  EXPECT_TRUE(device.Handle(Bytes{1, 2, 3}, 0, 0).reply.empty());
  EXPECT_TRUE(device.Handle(Bytes{}, 0, 0).reply.empty());
  // Replies of other devices arrive on the same group and are never answered.
  Bytes otherReply = device.Handle(Discovery(), 0, 0).reply;
  for (int opcode : {2, 4, 6, 7, 0, 8}) {
    otherReply[0] = static_cast<std::uint8_t>(opcode);
    EXPECT_TRUE(device.Handle(otherReply, 0, 5000).reply.empty()) << opcode;
  }
  EXPECT_TRUE(device.Handle(Discovery(), 7, 9000).reply.empty()) << "no such leg";
}

TEST(DeviceLogicSet, TextItemsChangeTheStateAndShowInLaterReplies) {
  DeviceLogic device = Device();
  Outcome renamed =
      device.Handle(Set(kId, kHome, 5, "NAS-NEW", "255.255.255.0", "192.168.50.1"), 0, 0);
  ASSERT_GE(renamed.reply.size(), 21u);
  EXPECT_EQ(renamed.reply[0], 6);
  EXPECT_EQ(renamed.reply[21], 5);
  EXPECT_EQ(AddressAt17(renamed.reply), "192.168.50.21");
  EXPECT_TRUE(renamed.stateChanged);
  EXPECT_FALSE(renamed.addressChange);
  EXPECT_EQ(Text(device.Handle(Discovery(), 0, 0).reply, 60), "NAS-NEW");

  device.Handle(Set(kId, kHome, 7, "OFFICE"), 0, 0);
  EXPECT_EQ(ReadValue(device.Handle(Read(kId, kHome, 6), 0, 0), 6), "OFFICE");
  device.Handle(Set(kId, kHome, 8, "936"), 0, 0);
  EXPECT_EQ(ReadValue(device.Handle(Read(kId, kHome, 9), 0, 0), 9), "936");
  device.Handle(Set(kId, kHome, 10, "rw"), 0, 0);
  device.Handle(Set(kId, kHome, 13, "stop"), 0, 0);
  EXPECT_EQ(device.State().rw, "rw");
  EXPECT_EQ(device.State().stop, "stop");
  EXPECT_EQ(device.State().changes, 5);
  EXPECT_EQ(device.State().gateway, "192.168.50.1") << "only an address change takes the header";
  EXPECT_TRUE(device.Handle(Set(kId, kHome, 3, "x"), 0, 0).reply.empty()) << "not settable";
  EXPECT_TRUE(device.Handle(Set(kId, kHome, 14, "x"), 0, 0).reply.empty());
}

TEST(DeviceLogicSet, TextsStopAtZeroAndAreBounded) {
  DeviceLogic device = Device();
  device.Handle(Set(kId, kHome, 5, std::string("AB\0CD", 5)), 0, 0);
  EXPECT_EQ(device.State().name, "AB");
  device.Handle(Set(kId, kHome, 5, std::string(400, 'N')), 0, 0);
  EXPECT_EQ(device.State().name.size(), kMaxText);
  const Bytes reply = device.Handle(Discovery(), 0, 0).reply;
  EXPECT_EQ(Le32(reply, 56), kMaxText);
  EXPECT_EQ(reply.size(), 60u + kMaxText);
}

TEST(DeviceLogicSet, StaticAddressReaddressesTheLegAndMovesTheIdentity) {
  DeviceLogic device = Device();
  Outcome outcome = device.Handle(Set(kId, kHome, 1, "10.1.2.3", "255.255.0.0", "10.1.0.1"), 0, 0);
  EXPECT_EQ(outcome.reply.at(0), 6);
  EXPECT_EQ(AddressAt17(outcome.reply), "10.1.2.3");
  ASSERT_TRUE(outcome.addressChange);
  EXPECT_EQ(outcome.addressChange->leg, 0u);
  EXPECT_EQ(FormatIpv4(outcome.addressChange->address.address), "10.1.2.3");
  EXPECT_EQ(outcome.addressChange->address.prefix, 16);
  EXPECT_EQ(device.State().gateway, "10.1.0.1");
  EXPECT_FALSE(device.State().dhcp);

  EXPECT_TRUE(device.Handle(Read(kId, kHome, 6), 0, 0).reply.empty()) << "old address";
  EXPECT_FALSE(device.Handle(Read(kId, {10, 1, 2, 3}, 6), 0, 0).reply.empty());
  const Bytes discovered = device.Handle(Discovery(), 0, 0).reply;
  EXPECT_EQ(AddressAt17(discovered), "10.1.2.3");
  EXPECT_EQ(Text(discovered, 24, 16), "255.255.0.0");
  EXPECT_EQ(Text(discovered, 40, 16), "10.1.0.1");
}

TEST(DeviceLogicSet, UnusableAddressOrMaskKeepsWhatTheDeviceHas) {
  DeviceLogic device = Device();
  for (const char* bad :
       {"", "10.1.2", "10.1.2.300", "0.0.0.0", "224.0.0.1", "127.0.0.1", "a.b.c.d"}) {
    Outcome outcome = device.Handle(Set(kId, kHome, 1, bad, "255.255.255.0", "192.168.50.1"), 0, 0);
    EXPECT_FALSE(outcome.addressChange) << bad;
    EXPECT_FALSE(outcome.stateChanged) << bad;
    EXPECT_EQ(AddressAt17(outcome.reply), "192.168.50.21") << bad;
  }
  // A mask with holes is not applied, the address still is.
  Outcome outcome = device.Handle(Set(kId, kHome, 1, "192.168.50.30", "255.0.255.0", ""), 0, 0);
  ASSERT_TRUE(outcome.addressChange);
  EXPECT_EQ(outcome.addressChange->address.prefix, 24);
  EXPECT_EQ(device.State().gateway, "192.168.50.1") << "an empty gateway field changes nothing";
}

TEST(DeviceLogicSet, DhcpTakesTheConfiguredAddress) {
  DeviceLogic device = Device();
  Outcome outcome = device.Handle(Set(kId, kHome, 2, ""), 0, 0);
  EXPECT_EQ(AddressAt17(outcome.reply), "192.168.50.121");
  ASSERT_TRUE(outcome.addressChange);
  EXPECT_EQ(outcome.addressChange->address.prefix, 24);
  EXPECT_TRUE(device.State().dhcp);
  const Bytes discovered = device.Handle(Discovery(), 0, 0).reply;
  EXPECT_EQ(discovered.at(21), '1');
  EXPECT_EQ(AddressAt17(discovered), "192.168.50.121");

  nlohmann::json noDhcpAddress = BaseDevice();
  noDhcpAddress.erase("dhcpAddress");
  DeviceLogic keeps(ParseDeviceConfig(noDhcpAddress));
  EXPECT_EQ(AddressAt17(keeps.Handle(Set(kId, kHome, 2, ""), 0, 0).reply), "192.168.50.21");
}

TEST(DeviceLogicSet, ChangeOnASecondLegUnderPerLegPolicy) {
  DeviceLogic device = Device({{"addressPolicy", "perLeg"}});
  Outcome outcome =
      device.Handle(Set(kId, {192, 168, 60, 21}, 1, "192.168.60.99", "255.255.255.0", ""), 1, 0);
  ASSERT_TRUE(outcome.addressChange);
  EXPECT_EQ(outcome.addressChange->leg, 1u);
  EXPECT_EQ(FormatIpv4(device.State().legs[0].address.address), "192.168.50.21");
  EXPECT_EQ(FormatIpv4(device.State().legs[1].address.address), "192.168.60.99");
}

TEST(DeviceLogicReset, BringsBackTheConfiguredDeviceAndCountsItself) {
  DeviceLogic device = Device({{"silent", false}});
  device.Handle(Set(kId, kHome, 5, "RENAMED"), 0, 0);
  device.Handle(Set(kId, kHome, 1, "10.1.2.3", "255.255.0.0", "10.1.0.1"), 0, 0);
  device.SetSilent(true);

  const std::vector<AddressChange> moves = device.Reset();
  ASSERT_EQ(moves.size(), 1u) << "only the leg that moved";
  EXPECT_EQ(moves[0].leg, 0u);
  EXPECT_EQ(FormatIpv4(moves[0].address.address), "192.168.50.21");
  EXPECT_EQ(moves[0].address.prefix, 24);
  EXPECT_EQ(device.State().name, "NAS-ALDER");
  EXPECT_EQ(device.State().gateway, "192.168.50.1");
  EXPECT_FALSE(device.State().silent);
  EXPECT_EQ(device.State().changes, 0);
  EXPECT_EQ(device.State().resets, 1);
  EXPECT_FALSE(device.Handle(Read(kId, kHome, 6), 0, 0).reply.empty()) << "home again";
  EXPECT_TRUE(device.Reset().empty());
  EXPECT_EQ(device.State().resets, 2);
}

TEST(DeviceState, JsonNamesWhatTestsLookFor) {
  DeviceLogic device = Device({{"dhcp", true}});
  nlohmann::json state = StateToJson(device.Config(), device.State());
  EXPECT_EQ(state["id"], "nas1");
  EXPECT_EQ(state["deviceId"], "0011223344a1");
  EXPECT_EQ(state["address"], "192.168.50.21");
  EXPECT_EQ(state["netmask"], "255.255.255.0");
  EXPECT_EQ(state["dhcp"], true);
  EXPECT_EQ(state["legs"][1]["interface"], "eth1");
  EXPECT_EQ(state["legs"][1]["address"], "192.168.60.21");
  EXPECT_EQ(state["silent"], false);
  EXPECT_EQ(state["shares"], "HDD_a:public::music:");
  EXPECT_EQ(state["resets"], 0);
}

}  // namespace
}  // namespace corvane::devsim
