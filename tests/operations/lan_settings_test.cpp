// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/lan_settings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "scripted_device.h"

namespace corvane::operations {
namespace {

using protocol::Octets;
using ::testing::ElementsAre;
using testing::RecordingInteraction;
using testing::ScriptedSession;

AddressInput Entered(Octets octets) {
  return {octets, ""};
}

std::optional<LanRefusal> Take(protocol::Session& session, AddressInput address,
                               AddressInput netmask, AddressInput gateway) {
  return TakeStaticAddresses(session, {std::move(address), std::move(netmask), std::move(gateway)});
}

class StaticAddressChecks : public ::testing::Test {
 protected:
  std::string Refusal(AddressInput address, AddressInput netmask, AddressInput gateway) {
    const auto refusal = Take(session_, std::move(address), std::move(netmask), std::move(gateway));
    return refusal ? refusal->message : "";
  }
  protocol::Session session_;
};

TEST_F(StaticAddressChecks, MissingAddressesComeBeforeEveryOtherRefusal) {
  EXPECT_EQ(Refusal({}, Entered({999, 0, 0, 0}), {std::nullopt, "unreadable"}),
            operations::text::kInputIpAddress);
  EXPECT_EQ(Refusal(Entered({1, 2, 3, 0}), {}, Entered({1, 2, 3, 1})),
            operations::text::kInputNetmask);
  EXPECT_EQ(Refusal(Entered({1, 2, 3, 0}), Entered({255, 255, 255, 0}), {}),
            operations::text::kInputGateway);
  EXPECT_TRUE(session_.NewAddress.empty());
}

TEST_F(StaticAddressChecks, OctetRulesInTheOrderAddressMaskGatewayWithTheFieldAtFault) {
  const Octets mask = {255, 255, 255, 0};
  EXPECT_EQ(Refusal(Entered({192, 168, 1, 0}), Entered(mask), Entered({192, 168, 1, 1})),
            operations::text::kIpOctet4);
  EXPECT_EQ(
      Refusal(Entered({192, 300, 1, 20}), Entered({255, 255, 256, 0}), Entered({192, 168, 1, 255})),
      operations::text::kIpOctet2);
  const auto netmask = Take(session_, Entered({192, 168, 1, 20}), Entered({255, 255, 256, 0}),
                            Entered({192, 168, 1, 255}));
  ASSERT_TRUE(netmask);
  EXPECT_EQ(netmask->reason, LanRefusal::Reason::kOctet);
  EXPECT_EQ(netmask->kind, operations::AddressKind::kNetmask);
  EXPECT_EQ(netmask->field, 2);
  EXPECT_EQ(Refusal(Entered({192, 168, 1, 20}), Entered(mask), {std::nullopt, "--gateway: ?"}),
            "--gateway: ?");
}

TEST_F(StaticAddressChecks, EachAddressIsTakenAsSoonAsItPasses) {
  session_.NewGateway.Set("10.0.0.1");
  const auto refusal = Take(session_, Entered({192, 168, 1, 20}), Entered({255, 255, 0, 0}),
                            Entered({192, 168, 1, 255}));
  ASSERT_TRUE(refusal);
  EXPECT_EQ(refusal->message, operations::text::kGatewayOctet4);
  EXPECT_EQ(session_.NewAddress, "192.168.1.20");
  EXPECT_EQ(session_.NewNetmask, "255.255.0.0");
  EXPECT_EQ(session_.NewGateway, "10.0.0.1");
}

TEST_F(StaticAddressChecks, GatewayMustLieInTheNewSubnet) {
  const auto outside = Take(session_, Entered({192, 168, 1, 20}), Entered({255, 255, 255, 0}),
                            Entered({192, 168, 2, 1}));
  ASSERT_TRUE(outside);
  EXPECT_EQ(outside->reason, LanRefusal::Reason::kGatewayOutsideSubnet);
  EXPECT_EQ(outside->message, operations::text::kGatewayInputError);
  EXPECT_FALSE(Take(session_, Entered({192, 168, 1, 20}), Entered({255, 255, 0, 0}),
                    Entered({192, 168, 2, 1})));
  EXPECT_EQ(session_.NewGateway, "192.168.2.1");
  EXPECT_FALSE(
      Take(session_, Entered({192, 168, 1, 20}), Entered({0, 0, 0, 0}), Entered({10, 9, 8, 7})));
}

class LanChangeTest : public ::testing::Test {
 protected:
  int CredentialChecks() const {
    int checks = 0;
    for (const auto& send : scripted_.io.Sends()) checks += send.bytes[21] == 4 ? 1 : 0;
    return checks;
  }

  ScriptedSession scripted_;
  protocol::Session& session_ = scripted_.session;
  RecordingInteraction user_;
};

TEST_F(LanChangeTest, DefaultPasswordOpensTheDeviceWithoutAsking) {
  const LanResult result = ChangeLanSettings(session_, LanChange::kDhcp, user_);
  EXPECT_EQ(result.outcome, LanOutcome::kDhcpDone);
  EXPECT_EQ(result.newAddress, "192.168.50.121");
  EXPECT_TRUE(result.SearchAgain());
  EXPECT_EQ(MessageFor(result.outcome), operations::text::kDhcpDone);
  EXPECT_THAT(user_.steps, ElementsAre("blocking", "blocking"));
  EXPECT_TRUE(session_.LoginUserName.empty() && session_.LoginPassword.empty())
      << "the pair is kept no longer than its check";
}

TEST_F(LanChangeTest, TheUserIsAskedOnceAndTheAnswerTriedOnce) {
  scripted_.device.password = "secret";
  user_.answer = [] { return std::pair<std::string, std::string>("admin", "secret"); };
  const LanResult opened = ChangeLanSettings(session_, LanChange::kDhcp, user_);
  EXPECT_EQ(opened.outcome, LanOutcome::kDhcpDone);
  EXPECT_THAT(user_.steps, ElementsAre("blocking", "ask", "blocking", "blocking"));
}

TEST_F(LanChangeTest, RefusedTwiceChangesNothingEvenWhenThePromptFails) {
  scripted_.device.password = "secret";
  user_.answer = []() -> std::pair<std::string, std::string> {
    throw std::runtime_error("no terminal");
  };
  const LanResult refused = ChangeLanSettings(session_, LanChange::kDhcp, user_);
  EXPECT_EQ(refused.outcome, LanOutcome::kCredentialsRefused);
  EXPECT_FALSE(refused.SearchAgain());
  EXPECT_THAT(user_.steps, ElementsAre("blocking", "ask", "blocking"));
  EXPECT_EQ(CredentialChecks(), 2);
  EXPECT_TRUE(scripted_.device.sets.empty()) << "no set request may follow a refusal";
}

TEST_F(LanChangeTest, NothingToTryAfterTheDefaultSendsTheDefaultOnlyOnce) {
  scripted_.device.password = "secret";
  const LanResult refused = ChangeLanSettings(session_, LanChange::kDhcp, user_);
  EXPECT_EQ(refused.outcome, LanOutcome::kCredentialsRefused);
  EXPECT_EQ(refused.credentials.defaultPair, CredentialsAnswer::kRefused);
  EXPECT_FALSE(refused.credentials.givenPair);
  EXPECT_EQ(CredentialChecks(), 1);
}

TEST_F(LanChangeTest, ASilentDeviceIsNoRefusal) {
  scripted_.device.answersReads = false;
  user_.answer = [] { return std::pair<std::string, std::string>("admin", "secret"); };
  const LanResult silent = ChangeLanSettings(session_, LanChange::kDhcp, user_);
  EXPECT_EQ(silent.outcome, LanOutcome::kCredentialsUnanswered);
  EXPECT_EQ(silent.credentials.givenPair, CredentialsAnswer::kNoAnswer);
  EXPECT_NE(MessageFor(silent.outcome), operations::text::kWrongAdminPassword);
  EXPECT_TRUE(scripted_.device.sets.empty());
}

TEST_F(LanChangeTest, OnlyTheChangedDeviceCountsAtTheNewAddress) {
  session_.DeviceTable.AddDevice("OTHER", "192.168.50.22", "255.255.255.0", "", "0",
                                 {0, 0x11, 0x22, 0x33, 0x44, 0xbb, 192, 168, 50, 22}, 0);
  EXPECT_NE(AddressHeldByAnother(session_, "192.168.50.22"), nullptr);
  EXPECT_EQ(AddressHeldByAnother(session_, "192.168.50.21"), nullptr) << "its own address";
  EXPECT_EQ(AddressHeldByAnother(session_, "192.168.50.23"), nullptr);

  const LanResult result = ChangeLanSettings(session_, LanChange::kDhcp, user_);
  EXPECT_EQ(LocateDevice(session_, result.device, "192.168.50.22").where,
            Whereabouts::kOtherDeviceAnswers);
  EXPECT_EQ(LocateDevice(session_, result.device, "192.168.50.23").where, Whereabouts::kNoAnswer);
  // The request moved the device's record to where it said it went.
  const DeviceAtAddress moved = LocateDevice(session_, result.device, result.newAddress);
  EXPECT_EQ(moved.where, Whereabouts::kAnswers);
  EXPECT_EQ(moved.record->name, "NAS1");
}

TEST_F(LanChangeTest, UnansweredDhcpSwitchFailsAndNeedsNoNewSearch) {
  scripted_.device.answersSets = false;
  const LanResult result = ChangeLanSettings(session_, LanChange::kDhcp, user_);
  EXPECT_EQ(result.outcome, LanOutcome::kDhcpFailed);
  EXPECT_EQ(MessageFor(result.outcome), operations::text::kDhcpFail);
  EXPECT_FALSE(result.SearchAgain());
}

TEST_F(LanChangeTest, ConfirmedStaticAddressIsSearchedFor) {
  ASSERT_FALSE(Take(session_, Entered({192, 168, 50, 31}), Entered({255, 255, 255, 0}),
                    Entered({192, 168, 50, 1})));
  const LanResult confirmed = ChangeLanSettings(session_, LanChange::kStaticAddress, user_);
  EXPECT_EQ(confirmed.outcome, LanOutcome::kAddressSent);
  EXPECT_TRUE(confirmed.confirmed);
  EXPECT_EQ(confirmed.newAddress, "192.168.50.31");
  EXPECT_TRUE(MessageFor(confirmed.outcome).empty());
  ASSERT_EQ(scripted_.device.sets.size(), 1u);
  EXPECT_EQ(scripted_.device.sets[0][21], 1);
}

TEST_F(LanChangeTest, StaticAddressTheDeviceDidNotConfirmIsSearchedForToo) {
  scripted_.device.answersSets = false;
  ASSERT_FALSE(Take(session_, Entered({192, 168, 50, 32}), Entered({255, 255, 255, 0}),
                    Entered({192, 168, 50, 1})));
  const LanResult lost = ChangeLanSettings(session_, LanChange::kStaticAddress, user_);
  EXPECT_FALSE(lost.confirmed);
  EXPECT_EQ(lost.newAddress, "192.168.50.32");
  EXPECT_TRUE(lost.SearchAgain());
}

}  // namespace
}  // namespace corvane::operations
