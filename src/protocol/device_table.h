// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "protocol/fixed_text.h"
#include "protocol/protocol_types.h"

namespace corvane::protocol {

// One device that answered the last search. Bytes 6-9 of deviceId are its IPv4 address.
struct DeviceRecord {
  FixedText<256> name;
  FixedText<16> address;  // dotted text; the key of the table
  FixedText<16> netmask;
  FixedText<16> gateway;
  FixedText<8> dhcpFlag;  // "1" when the device is a DHCP client
  DeviceIdBytes deviceId{};
  std::int32_t interfaceIndex = 0;
};

struct ShareEntry {
  FixedText<132> name;
};

// The devices found by the last search, in the order their first reply was read.
class DeviceRecordList {
 public:
  void ClearDeviceTable() { records_.clear(); }
  // Texts longer than their field are cut to fit. A device that finds no memory is dropped.
  void AddDevice(std::string_view name, std::string_view address, std::string_view netmask,
                 std::string_view gateway, std::string_view dhcpFlag, const DeviceIdBytes& deviceId,
                 std::int32_t interfaceIndex);
  DeviceRecord* FindDeviceByAddress(std::string_view address);
  const DeviceRecord* FindDeviceByAddress(std::string_view address) const;

  int count() const { return static_cast<int>(records_.size()); }
  const DeviceRecord& operator[](std::size_t index) const { return records_[index]; }
  std::vector<DeviceRecord>::const_iterator begin() const { return records_.begin(); }
  std::vector<DeviceRecord>::const_iterator end() const { return records_.end(); }

 private:
  std::vector<DeviceRecord> records_;
};

// The share names of the device last clicked.
class ShareEntryList {
 public:
  void ClearShareList() { entries_.clear(); }
  void AddShare(std::string_view name);        // cut to 131 characters
  int FindShare(std::string_view name) const;  // 1 when an entry has exactly this name

  int count() const { return static_cast<int>(entries_.size()); }
  const ShareEntry& operator[](std::size_t index) const { return entries_[index]; }
  std::vector<ShareEntry>::const_iterator begin() const { return entries_.begin(); }
  std::vector<ShareEntry>::const_iterator end() const { return entries_.end(); }

 private:
  std::vector<ShareEntry> entries_;
};

}  // namespace corvane::protocol
