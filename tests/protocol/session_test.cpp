// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/session.h"

#include <gtest/gtest.h>

namespace corvane::protocol {
namespace {

TEST(Session, RunsStartedTogetherGetDifferentClientIds) {
  Session first;
  Session second;
  first.OpenTransport({});
  second.OpenTransport({});
  EXPECT_NE(first.ClientId, second.ClientId);
  for (const Session* s : {&first, &second}) {
    EXPECT_EQ(s->ClientId[6] | s->ClientId[7] | s->ClientId[8] | s->ClientId[9], 0);
  }
}

TEST(Session, WithoutInterfacesSearchesFindNothingAndSaySo) {
  Session session;
  session.OpenTransport({});
  EXPECT_TRUE(session.IsTransportOpen());
  EXPECT_EQ(session.InterfaceCount, 0);
  ASSERT_EQ(session.TransportProblems().size(), 1u);
  EXPECT_FALSE(session.TransportProblems()[0].message.empty());

  session.DeviceTable.AddDevice("old", "10.0.0.1", "", "", "", {}, 0);
  session.SearchDevices(kSearchFilter, kSearchFilter);
  EXPECT_EQ(session.DeviceTable.count(), 0);
}

TEST(Session, ClosingForgetsInterfacesSoRequestsFailAtOnce) {
  Session session;
  session.OpenTransport({});
  session.CloseTransport();
  EXPECT_FALSE(session.IsTransportOpen());
  EXPECT_TRUE(session.TransportProblems().empty());
  session.DeviceTable.AddDevice("kept", "10.0.0.1", "", "", "", {}, 0);
  session.SelectedAddress.Set("10.0.0.1");
  EXPECT_EQ(session.ReadWorkgroup(), 0);
  EXPECT_EQ(session.SetAddress(), 0);
}

TEST(Session, ReopeningForgetsRecordsThatNamedTheOldInterfaceTable) {
  Session session;
  session.OpenTransport({});
  session.DeviceTable.AddDevice("old", "10.0.0.1", "", "", "", {}, 0);
  session.OpenTransport({});
  EXPECT_EQ(session.DeviceTable.count(), 0);
}

TEST(FixedText, TakesAnEmptyViewWithoutData) {
  FixedText<8> text("before");
  text.Set(std::string_view{});  // data() is null: must not reach memcpy
  EXPECT_TRUE(text.empty());
}

}  // namespace
}  // namespace corvane::protocol
