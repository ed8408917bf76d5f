// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/names.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "operations/input_rules.h"
#include "scripted_device.h"

namespace corvane::operations {
namespace {

using testing::Bytes;
using ::testing::ElementsAre;
using testing::RecordingInteraction;
using testing::ScriptedSession;

std::string PayloadOf(const Bytes& request) {
  return std::string(request.begin() + 60, request.end());
}

class ChangeNamesTest : public ::testing::Test {
 protected:
  const std::vector<Bytes>& Sets() const { return scripted_.device.sets; }

  ScriptedSession scripted_;
  RecordingInteraction user_;
};

TEST_F(ChangeNamesTest, HostNameThenWorkgroupThenTheDeviceGetsASecond) {
  const NamesResult result = ChangeNames(scripted_.session, {"NAS-2", "R&D(2)"}, user_);
  EXPECT_EQ(result.outcome, NamesOutcome::kSent);
  EXPECT_TRUE(result.hostNameConfirmed);
  EXPECT_TRUE(result.workgroupConfirmed);
  EXPECT_TRUE(result.SearchAgain());
  ASSERT_EQ(Sets().size(), 2u);
  EXPECT_EQ(Sets()[0][21], 5);
  EXPECT_EQ(PayloadOf(Sets()[0]), "NAS-2");
  EXPECT_EQ(Sets()[1][21], 7);
  EXPECT_EQ(PayloadOf(Sets()[1]), "R&D(2)");
  EXPECT_THAT(user_.steps, ElementsAre("blocking", "blocking", "blocking"));
}

TEST_F(ChangeNamesTest, ARefusedWorkgroupComesAfterTheHostNameWasSent) {
  const NamesResult host = ChangeNames(scripted_.session, {"NAS 2", "WG"}, user_);
  EXPECT_EQ(host.outcome, NamesOutcome::kHostNameRefused);
  EXPECT_EQ(host.refusal, operations::text::kHostNameFormatLong);
  EXPECT_TRUE(Sets().empty());

  const NamesResult group = ChangeNames(scripted_.session, {"NAS-2", "MY.GROUP"}, user_);
  EXPECT_EQ(group.outcome, NamesOutcome::kWorkgroupRefused);
  EXPECT_EQ(group.refusal, operations::text::kWorkgroupFormat);
  EXPECT_FALSE(group.SearchAgain());
  ASSERT_EQ(Sets().size(), 1u);
  EXPECT_EQ(PayloadOf(Sets()[0]), "NAS-2");
  EXPECT_THAT(user_.steps, ElementsAre("blocking"));
}

TEST_F(ChangeNamesTest, UnconfirmedNamesAreStillBothSent) {
  scripted_.device.answersSets = false;
  const NamesResult result = ChangeNames(scripted_.session, {"NAS-2", "WG"}, user_);
  EXPECT_EQ(result.outcome, NamesOutcome::kSent);
  EXPECT_FALSE(result.hostNameConfirmed);
  EXPECT_FALSE(result.workgroupConfirmed);
  EXPECT_EQ(Sets().size(), 2u);
}

TEST_F(ChangeNamesTest, ALongNameIsCutAtACharacterBorderWhenItIsUtf8) {
  // 30 letters and a two-byte letter: 32 bytes, one more than the buffer holds.
  const std::string utf8 = std::string(30, 'N') + "\xC3\x85";
  // A legacy code page: one byte per character, cut anywhere.
  const std::string legacy = std::string(30, 'W') + "\xC5\xC5";
  ChangeNames(scripted_.session, {utf8, legacy}, user_);
  ASSERT_EQ(Sets().size(), 2u);
  EXPECT_EQ(PayloadOf(Sets()[0]), std::string(30, 'N'));
  EXPECT_EQ(PayloadOf(Sets()[1]), std::string(30, 'W') + "\xC5");
}

TEST(CheckNamesBeforeSending, BothNamesAndTheirLengthBeforeAnythingIsSent) {
  EXPECT_EQ(CheckNamesBeforeSending({"", "WG"}), operations::text::kHostNameEmpty);
  EXPECT_EQ(CheckNamesBeforeSending({"nas 1", "bad group"}), operations::text::kHostNameFormatLong);
  EXPECT_EQ(CheckNamesBeforeSending({"nas'1", "WG"}), operations::text::kHostNameFormatShort);
  EXPECT_EQ(CheckNamesBeforeSending({"nas1", "bad group"}), operations::text::kWorkgroupFormat);
  EXPECT_EQ(CheckNamesBeforeSending({"nas1", ""}), operations::text::kWorkgroupEmpty);
  EXPECT_FALSE(CheckNamesBeforeSending({"nas-1_a", "R&D(1)"}));
  const std::string fits(31, 'n');
  const std::string tooLong(32, 'n');
  EXPECT_FALSE(CheckNamesBeforeSending({fits, fits}));
  EXPECT_EQ(CheckNamesBeforeSending({tooLong, "WG"}), operations::text::kHostNameTooLong);
  EXPECT_EQ(CheckNamesBeforeSending({"nas1", tooLong}), operations::text::kWorkgroupTooLong);
}

}  // namespace
}  // namespace corvane::operations
