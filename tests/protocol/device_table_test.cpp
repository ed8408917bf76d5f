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

TEST(DeviceTable, KeepsInsertionOrder) {
  DeviceRecordList table;
  table.AddDevice("A", "10.0.0.1", "255.0.0.0", "10.0.0.254", "0", kId, 0);
  table.AddDevice("B", "10.0.0.2", "", "", "1", kId, 1);
  table.AddDevice("C", "10.0.0.3", "", "", "", kId, 1);
  EXPECT_THAT(Addresses(table), ::testing::ElementsAre("10.0.0.1", "10.0.0.2", "10.0.0.3"));
  table.ClearDeviceTable();
  table.AddDevice("D", "10.0.0.4", "", "", "", kId, 0);
  EXPECT_THAT(Addresses(table), ::testing::ElementsAre("10.0.0.4"));
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
  const DeviceRecord& r = table[0];
  EXPECT_EQ(r.name.size(), 255u);
  EXPECT_EQ(r.address, "192.168.100.200");
  EXPECT_EQ(r.netmask.size(), 15u);
  EXPECT_EQ(r.gateway.size(), 15u);
  EXPECT_EQ(r.dhcpFlag, "10");
  EXPECT_EQ(r.deviceId, kId);
  EXPECT_EQ(r.interfaceIndex, 5);
}

TEST(ShareList, AddFindClear) {
  ShareEntryList list;
  EXPECT_EQ(list.FindShare("HDD_a"), 0);
  list.AddShare("HDD_a");
  list.AddShare("public");
  EXPECT_EQ(list.count(), 2);
  EXPECT_EQ(list.FindShare("HDD_a"), 1);
  EXPECT_EQ(list.FindShare("hdd_a"), 0);
  EXPECT_EQ(list.FindShare("HDD"), 0);
  EXPECT_EQ(list[1].name, "public");
  list.ClearShareList();
  EXPECT_EQ(list.count(), 0);
  EXPECT_EQ(list.FindShare("HDD_a"), 0);
}

TEST(ShareList, NamesAreCutTo131) {
  ShareEntryList list;
  list.AddShare(std::string(200, 'q'));
  EXPECT_EQ(list[0].name.size(), 131u);
}

}  // namespace
}  // namespace corvane::protocol
