// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/device_table.h"

#include <algorithm>
#include <new>

namespace corvane::protocol {

void DeviceRecordList::AddDevice(std::string_view name, std::string_view address,
                                 std::string_view netmask, std::string_view gateway,
                                 std::string_view dhcpFlag, const DeviceIdBytes& deviceId,
                                 std::int32_t interfaceIndex) {
  DeviceRecord record;
  record.name.Set(name);
  record.address.Set(address);
  record.netmask.Set(netmask);
  record.gateway.Set(gateway);
  record.dhcpFlag.Set(dhcpFlag);
  record.deviceId = deviceId;
  record.interfaceIndex = interfaceIndex;
  try {
    records_.push_back(record);
  } catch (const std::bad_alloc&) {
    // The table stays as it was.
  }
}

DeviceRecord* DeviceRecordList::FindDeviceByAddress(std::string_view address) {
  const auto found =
      std::find_if(records_.begin(), records_.end(),
                   [&](const DeviceRecord& record) { return record.address == address; });
  return found == records_.end() ? nullptr : &*found;
}

const DeviceRecord* DeviceRecordList::FindDeviceByAddress(std::string_view address) const {
  return const_cast<DeviceRecordList*>(this)->FindDeviceByAddress(address);
}

void ShareEntryList::AddShare(std::string_view name) {
  ShareEntry entry;
  entry.name.Set(name);
  try {
    entries_.push_back(entry);
  } catch (const std::bad_alloc&) {
    // The list stays as it was.
  }
}

int ShareEntryList::FindShare(std::string_view name) const {
  return std::any_of(entries_.begin(), entries_.end(),
                     [&](const ShareEntry& entry) { return entry.name == name; })
             ? 1
             : 0;
}

}  // namespace corvane::protocol
