// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/drive_mapping.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/testing/fake_drive_mappings.h"
#include "scripted_device.h"

namespace corvane::operations {
namespace {

using platform::DriveResult;
using platform::testing::FakeDriveMappings;
using ::testing::ElementsAre;
using testing::RecordingInteraction;

constexpr char kRemote[] = "\\\\192.168.50.21\\HDD_a";
constexpr char kLogin[] = "share login \\\\192.168.50.21\\HDD_a";

class MountShareTest : public ::testing::Test {
 protected:
  MountShareTest() {
    user_.shareAnswer = [] { return std::pair<std::string, std::string>("labuser", "lab-secret"); };
  }

  MountResult Mount(MountRequest request = {"NAS-ALDER", "192.168.50.21", "HDD_a", 'Z'}) {
    const ShareServices services{drives_, [this](const std::string&, auto) { return reachable_; }};
    return MountShare(services, request, user_);
  }

  // The credentials of each attempt, "user:password".
  std::vector<std::string> Attempts() const {
    std::vector<std::string> attempts;
    for (const auto& call : drives_.AddCalls()) attempts.push_back(call.user + ":" + call.password);
    return attempts;
  }

  FakeDriveMappings drives_;
  RecordingInteraction user_;
  bool reachable_ = true;
};

TEST_F(MountShareTest, ReplacesTheLettersConnectionAndAsksNothingWhenTheShareIsOpen) {
  drives_.Connect('Z', "\\\\old\\share");
  const MountResult result = Mount();
  EXPECT_EQ(result.outcome, MountOutcome::kMapped);
  EXPECT_EQ(drives_.GetConnection('Z'), kRemote);
  ASSERT_EQ(drives_.CancelCalls().size(), 1u);
  EXPECT_FALSE(drives_.CancelCalls()[0].force);
  EXPECT_THAT(Attempts(), ElementsAre(":"));
  EXPECT_THAT(user_.Questions(), ElementsAre("map type"));
}

TEST_F(MountShareTest, SixAttemptsWithoutCredentialsThenTheLoginOnce) {
  drives_.QueueAddResults(std::vector<DriveResult>(6, DriveResult::kLoginNeeded));
  EXPECT_EQ(Mount().outcome, MountOutcome::kMapped);
  EXPECT_THAT(Attempts(), ElementsAre(":", ":", ":", ":", ":", ":", "labuser:lab-secret"));
  EXPECT_THAT(user_.Questions(), ElementsAre("map type", kLogin));
}

TEST_F(MountShareTest, AnAttemptThatCannotTurnOutOtherwiseEndsTheAttempts) {
  drives_.QueueAddResults({DriveResult::kTimedOut});
  const MountResult result = Mount();
  EXPECT_EQ(result.outcome, MountOutcome::kFailed);
  EXPECT_EQ(result.lastAttempt, DriveResult::kTimedOut);
  EXPECT_EQ(drives_.AddCalls().size(), 1u);
  EXPECT_THAT(user_.Questions(), ElementsAre("map type"));
}

TEST_F(MountShareTest, ADeviceNameThatWouldPointElsewhereIsRefusedBeforeTheLetterIsTouched) {
  drives_.Connect('Z', "\\\\old\\share");
  user_.mapType = MapType::kHostName;
  for (const char* name : {"NAS\\HDD_b", "../NAS", "NAS\x01", "", "192.168.50.21",
                           "files.example.org", "3232248341", "0xC0A83215"}) {
    const MountResult result = Mount({name, "192.168.50.21", "HDD_a", 'Z'});
    EXPECT_EQ(result.outcome, MountOutcome::kNameRefused) << name;
  }
  EXPECT_TRUE(drives_.CancelCalls().empty());
  EXPECT_TRUE(drives_.AddCalls().empty());
  EXPECT_EQ(drives_.GetConnection('Z'), "\\\\old\\share");
}

TEST_F(MountShareTest, EachEarlyEndLeavesTheLetterAsItWas) {
  drives_.Connect('Z', "\\\\old\\share");
  EXPECT_EQ(Mount({"NAS", "192.168.50.21", "", 'Z'}).outcome, MountOutcome::kNoShare);
  EXPECT_TRUE(user_.Questions().empty());
  user_.mapType = MapType::kCancelled;
  EXPECT_EQ(Mount().outcome, MountOutcome::kCancelled);
  user_.mapType = MapType::kAddress;
  reachable_ = false;
  EXPECT_EQ(Mount().outcome, MountOutcome::kUnreachable);
  reachable_ = true;
  EXPECT_EQ(Mount({"NAS", "192.168.50.21", "HDD_a", std::nullopt}).outcome,
            MountOutcome::kNoLetter);
  EXPECT_TRUE(drives_.CancelCalls().empty());
  EXPECT_EQ(drives_.GetConnection('Z'), "\\\\old\\share");

  user_.steps.clear();
  drives_.SetUnavailable("no session bus");
  EXPECT_EQ(Mount().unavailable, "no session bus");
  EXPECT_TRUE(user_.Questions().empty()) << "nothing is asked when letters cannot be mapped";
}

TEST(UnmountDriveTest, RefusedWhileFilesAreOpenOrWithoutAConnection) {
  FakeDriveMappings drives;
  RecordingInteraction user;
  drives.Connect('Z', kRemote);
  drives.SetFilesOpen('Z', true);
  UnmountResult result = UnmountDrive(drives, "Z: \\\\192.168.50.21\\HDD_a", user);
  EXPECT_EQ(result.outcome, UnmountOutcome::kRefused);
  EXPECT_EQ(result.result, DriveResult::kFilesOpen);
  drives.SetFilesOpen('Z', false);
  EXPECT_EQ(UnmountDrive(drives, "Z:", user).outcome, UnmountOutcome::kDone);
  EXPECT_EQ(UnmountDrive(drives, "Z:", user).result, DriveResult::kNotConnected);
  EXPECT_EQ(UnmountDrive(drives, "", user).outcome, UnmountOutcome::kRefused);
  for (const auto& call : drives.CancelCalls()) EXPECT_FALSE(call.force);
}

}  // namespace
}  // namespace corvane::operations
