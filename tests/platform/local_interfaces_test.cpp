// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/local_interfaces.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace corvane::platform {
namespace {

InterfaceAddress Usable(std::string name, unsigned index, std::string address) {
  InterfaceAddress entry;
  entry.name = std::move(name);
  entry.index = index;
  entry.address = std::move(address);
  entry.ipv4 = entry.up = entry.running = entry.multicast = true;
  return entry;
}

std::vector<std::string> Names(const std::vector<LocalInterface>& list) {
  std::vector<std::string> names;
  for (const LocalInterface& i : list) names.push_back(i.name);
  return names;
}

TEST(InterfaceSelection, TakesTheFirstEightInListedOrder) {
  std::vector<InterfaceAddress> entries;
  for (unsigned i = 1; i <= 9; ++i) {
    entries.push_back(
        Usable("lan" + std::to_string(i), i + 10, "10.0." + std::to_string(i) + ".1"));
  }
  const auto chosen = SelectProtocolInterfaces(entries);
  ASSERT_EQ(chosen.size(), 8u);
  EXPECT_EQ(chosen.front().name, "lan1");
  EXPECT_EQ(chosen.front().index, 11u);
  EXPECT_EQ(chosen.front().address, "10.0.1.1");
  EXPECT_EQ(chosen.back().name, "lan8");
}

TEST(InterfaceSelection, KeepsTheFirstAddressOfEachInterface) {
  const auto chosen =
      SelectProtocolInterfaces({Usable("eth0", 2, "192.168.1.10"), Usable("eth0:1", 2, "10.0.0.10"),
                                Usable("eth1", 3, "192.168.2.10")});
  ASSERT_EQ(chosen.size(), 2u);
  EXPECT_EQ(chosen[0].address, "192.168.1.10");
  EXPECT_EQ(chosen[1].name, "eth1");
}

TEST(InterfaceSelection, SkipsLoopbackDownCarrierlessNonMulticastAndUnknown) {
  InterfaceAddress loopback = Usable("lo", 1, "127.0.0.1");
  loopback.loopback = true;
  InterfaceAddress down = Usable("down", 4, "10.4.0.1");
  down.up = false;
  InterfaceAddress noCarrier = Usable("nocarrier", 5, "10.5.0.1");
  noCarrier.running = false;
  InterfaceAddress noMulticast = Usable("ptp", 6, "10.6.0.1");
  noMulticast.multicast = false;
  InterfaceAddress unknown = Usable("gone", 0, "10.7.0.1");
  InterfaceAddress ipv6 = Usable("v6", 8, "fe80::1");
  ipv6.ipv4 = false;
  // A skipped address must not reserve its interface: a later usable one still counts.
  const auto chosen = SelectProtocolInterfaces(
      {loopback, down, noCarrier, noMulticast, unknown, ipv6, Usable("lan", 9, "10.9.0.1")});
  EXPECT_THAT(Names(chosen), ::testing::ElementsAre("lan"));
}

TEST(InterfaceSelection, SkippedEntriesDoNotUseUpTheEightPlaces) {
  std::vector<InterfaceAddress> entries;
  for (unsigned i = 1; i <= 8; ++i) {
    InterfaceAddress down = Usable("down" + std::to_string(i), 100 + i, "10.1.0.1");
    down.up = false;
    entries.push_back(down);
  }
  for (unsigned i = 1; i <= 8; ++i)
    entries.push_back(Usable("lan" + std::to_string(i), i, "10.2.0.1"));
  EXPECT_EQ(SelectProtocolInterfaces(entries).size(), 8u);
}

TEST(InterfaceSelection, SystemListHasNoLoopback) {
  for (const LocalInterface& i : ListLocalInterfaces()) {
    EXPECT_NE(i.address.rfind("127.", 0), 0u) << i.name;
    EXPECT_NE(i.index, 0u);
  }
}

}  // namespace
}  // namespace corvane::platform
