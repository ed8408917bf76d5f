// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/device_table.h"

#include <new>
#include <utility>

namespace corvane::protocol {
namespace {

// Unlinks node by node so a long list cannot exhaust the stack through nested destructors.
template <typename Node>
void FreeChain(std::unique_ptr<Node>& head) {
  while (head) head = std::move(head->next);
}

// A failed allocation yields null: the caller then drops this one node and the list stays as it
// was.
template <typename Node>
std::unique_ptr<Node> NewNode() {
  try {
    return std::make_unique<Node>();
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

// Links a node behind the tail; the list keeps head, tail and count consistent.
template <typename Node>
void LinkAtTail(std::unique_ptr<Node> node, std::unique_ptr<Node>& head, Node*& tail, int& count) {
  Node* raw = node.get();
  if (tail == nullptr) {
    head = std::move(node);
  } else {
    tail->next = std::move(node);
  }
  tail = raw;
  ++count;
}

}  // namespace

DeviceRecordList::~DeviceRecordList() {
  ClearDeviceTable();
}

void DeviceRecordList::ClearDeviceTable() {
  FreeChain(head_);
  tail_ = nullptr;
  count_ = 0;
}

void DeviceRecordList::AddDevice(std::string_view name, std::string_view address,
                                 std::string_view netmask, std::string_view gateway,
                                 std::string_view dhcpFlag, const DeviceIdBytes& deviceId,
                                 std::int32_t interfaceIndex) {
  std::unique_ptr<DeviceRecord> record = NewNode<DeviceRecord>();
  if (!record) return;
  record->name.Set(name);
  record->address.Set(address);
  record->netmask.Set(netmask);
  record->gateway.Set(gateway);
  record->dhcpFlag.Set(dhcpFlag);
  record->deviceId = deviceId;
  record->interfaceIndex = interfaceIndex;
  LinkAtTail(std::move(record), head_, tail_, count_);
}

DeviceRecord* DeviceRecordList::FindDeviceByAddress(std::string_view address) const {
  for (DeviceRecord& record : *this) {
    if (record.address == address) return &record;
  }
  return nullptr;
}

ShareEntryList::~ShareEntryList() {
  ClearShareList();
}

void ShareEntryList::ClearShareList() {
  FreeChain(head_);
  tail_ = nullptr;
  count_ = 0;
}

void ShareEntryList::AddShare(std::string_view name) {
  std::unique_ptr<ShareEntry> entry = NewNode<ShareEntry>();
  if (!entry) return;
  entry->name.Set(name);
  LinkAtTail(std::move(entry), head_, tail_, count_);
}

int ShareEntryList::FindShare(std::string_view name) const {
  for (const ShareEntry& entry : *this) {
    if (entry.name == name) return 1;
  }
  return 0;
}

}  // namespace corvane::protocol
