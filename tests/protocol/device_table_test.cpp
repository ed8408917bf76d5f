// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/device_table.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvane::protocol {
namespace {

constexpr DeviceIdBytes kId = {1, 2, 3, 4, 5, 6, 10, 0, 0, 1};

std::vector<std::string> Addresses(const DeviceRecordList& table) {
  std::vector<std::string> addresses;
  for (const DeviceRecord& r : table) addresses.push_back(r.address.str());
  return addresses;
}

TEST(DeviceTable, KeepsInsertionOrderAndConsistentEnds) {
  DeviceRecordList table;
  EXPECT_EQ(table.count(), 0);
  EXPECT_EQ(table.head(), nullptr);
  EXPECT_EQ(table.tail(), nullptr);

  table.AddDevice("A", "10.0.0.1", "255.0.0.0", "10.0.0.254", "0", kId, 0);
  EXPECT_EQ(table.head(), table.tail());
  table.AddDevice("B", "10.0.0.2", "", "", "1", kId, 1);
  table.AddDevice("C", "10.0.0.3", "", "", "", kId, 1);
  EXPECT_EQ(table.count(), 3);
  EXPECT_THAT(Addresses(table), ::testing::ElementsAre("10.0.0.1", "10.0.0.2", "10.0.0.3"));
  EXPECT_EQ(table.tail()->name, "C");
  EXPECT_EQ(table.tail()->next, nullptr);

  table.ClearDeviceTable();
  EXPECT_EQ(table.count(), 0);
  EXPECT_EQ(table.head(), nullptr);
  EXPECT_EQ(table.tail(), nullptr);
  table.AddDevice("D", "10.0.0.4", "", "", "", kId, 0);
  EXPECT_EQ(table.head(), table.tail());
  EXPECT_EQ(table.count(), 1);
}

TEST(DeviceTable, FindsByExactAddressOnly) {
  DeviceRecordList table;
  table.AddDevice("first", "10.0.0.1", "", "", "", kId, 0);
  table.AddDevice("second", "10.0.0.10", "", "", "", kId, 0);
  table.AddDevice("again", "10.0.0.1", "", "", "", kId, 1);
  EXPECT_EQ(table.FindDeviceByAddress("10.0.0.1")->name, "first");
  EXPECT_EQ(table.FindDeviceByAddress("10.0.0.10")->name, "second");
  EXPECT_EQ(table.FindDeviceByAddress("10.0.0.100"), nullptr);
  EXPECT_EQ(table.FindDeviceByAddress("10.0.0."), nullptr);
  EXPECT_EQ(table.FindDeviceByAddress(""), nullptr);
  EXPECT_EQ(table.FindDeviceByAddress("NAS"), nullptr);  // never by name
}

TEST(DeviceTable, CopiesEveryFieldAndCutsOversizedTexts) {
  DeviceRecordList table;
  table.AddDevice(std::string(300, 'n'), "192.168.100.200.7", std::string(20, 'm'),
                  std::string(20, 'g'), "10", kId, 5);
  const DeviceRecord& r = *table.head();
  EXPECT_EQ(r.name.size(), 255u);
  EXPECT_EQ(r.address, "192.168.100.200");
  EXPECT_EQ(r.netmask.size(), 15u);
  EXPECT_EQ(r.gateway.size(), 15u);
  EXPECT_EQ(r.dhcpFlag, "10");
  EXPECT_EQ(r.deviceId, kId);
  EXPECT_EQ(r.interfaceIndex, 5);
}

TEST(DeviceTable, FreesLongListsWithoutDeepRecursion) {
  DeviceRecordList table;
  for (int i = 0; i < 200000; ++i) table.AddDevice("x", "10.0.0.1", "", "", "", kId, 0);
  EXPECT_EQ(table.count(), 200000);
  table.ClearDeviceTable();
  EXPECT_EQ(table.count(), 0);
  ShareEntryList shares;
  for (int i = 0; i < 200000; ++i) shares.AddShare("s");
}  // both destructors run here

TEST(ShareList, AddFindClear) {
  ShareEntryList list;
  EXPECT_EQ(list.FindShare("HDD_a"), 0);
  list.AddShare("HDD_a");
  list.AddShare("public");
  EXPECT_EQ(list.count(), 2);
  EXPECT_EQ(list.FindShare("HDD_a"), 1);
  EXPECT_EQ(list.FindShare("hdd_a"), 0);
  EXPECT_EQ(list.FindShare("HDD"), 0);
  EXPECT_EQ(list.tail()->name, "public");
  list.ClearShareList();
  EXPECT_EQ(list.count(), 0);
  EXPECT_EQ(list.head(), nullptr);
  EXPECT_EQ(list.tail(), nullptr);
  EXPECT_EQ(list.FindShare("HDD_a"), 0);
}

TEST(ShareList, NamesAreCutTo131) {
  ShareEntryList list;
  list.AddShare(std::string(200, 'q'));
  EXPECT_EQ(list.head()->name.size(), 131u);
}

}  // namespace
}  // namespace corvane::protocol
