// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/device_view.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "scripted_device.h"

namespace corvane::operations {
namespace {

using ::testing::ElementsAre;
using testing::RecordingInteraction;
using testing::ScriptedSession;

TEST(ShowDevice, TellsTheWorkgroupBeforeTheSharesAreRead) {
  ScriptedSession scripted;
  RecordingInteraction user;
  scripted.session.InterfaceTable[0].address.Set("192.168.50.10");
  scripted.session.InterfaceTable[0].name = "lan1";
  const DeviceDetails details = ShowDevice(scripted.session, user);
  EXPECT_THAT(user.steps, ElementsAre("blocking", "workgroup WORKGROUP", "blocking"));
  EXPECT_TRUE(details.workgroupRead);
  EXPECT_TRUE(details.sharesRead);
  EXPECT_EQ(details.workgroup, "WORKGROUP");
  EXPECT_THAT(details.shares, ElementsAre("HDD_a", "public"));
  EXPECT_EQ(details.device.name, "NAS1");
  EXPECT_EQ(details.device.interfaceName, "lan1");
  EXPECT_EQ(details.device.interfaceAddress, "192.168.50.10");
}

TEST(ShowDevice, ASilentDeviceShowsNoWorkgroupOfTheDeviceBefore) {
  ScriptedSession scripted;
  RecordingInteraction user;
  scripted.device.answersReads = false;
  scripted.session.WorkgroupText.Set("OTHER");
  scripted.session.ShareList.AddShare("other");
  const DeviceDetails details = ShowDevice(scripted.session, user);
  EXPECT_FALSE(details.workgroupRead);
  EXPECT_FALSE(details.sharesRead);
  EXPECT_EQ(details.workgroup, "");
  EXPECT_TRUE(details.shares.empty());
  EXPECT_THAT(user.steps, ElementsAre("blocking", "workgroup ", "blocking"));
}

}  // namespace
}  // namespace corvane::operations
