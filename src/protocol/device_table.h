// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <iterator>
#include <memory>
#include <string_view>

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
  std::unique_ptr<DeviceRecord> next;
};

struct ShareEntry {
  FixedText<132> name;
  std::unique_ptr<ShareEntry> next;
};

// Forward iteration over an owning singly linked list (head/next), for range-for.
template <typename Node>
class NodeIterator {
 public:
  using iterator_category = std::forward_iterator_tag;
  using value_type = Node;
  using difference_type = std::ptrdiff_t;
  using pointer = Node*;
  using reference = Node&;

  explicit NodeIterator(Node* node = nullptr) : node_(node) {}
  Node& operator*() const { return *node_; }
  Node* operator->() const { return node_; }
  NodeIterator& operator++() {
    node_ = node_->next.get();
    return *this;
  }
  NodeIterator operator++(int) {
    NodeIterator before = *this;
    ++*this;
    return before;
  }
  bool operator==(const NodeIterator& other) const { return node_ == other.node_; }

 private:
  Node* node_;
};

// The devices found by the last search, in the order their first reply was read.
class DeviceRecordList {
 public:
  DeviceRecordList() = default;
  DeviceRecordList(const DeviceRecordList&) = delete;
  DeviceRecordList& operator=(const DeviceRecordList&) = delete;
  ~DeviceRecordList();

  void ClearDeviceTable();
  // Texts longer than their field are cut to fit.
  void AddDevice(std::string_view name, std::string_view address, std::string_view netmask,
                 std::string_view gateway, std::string_view dhcpFlag, const DeviceIdBytes& deviceId,
                 std::int32_t interfaceIndex);
  DeviceRecord* FindDeviceByAddress(std::string_view address) const;

  int count() const { return count_; }
  DeviceRecord* head() const { return head_.get(); }
  DeviceRecord* tail() const { return tail_; }
  NodeIterator<DeviceRecord> begin() const { return NodeIterator<DeviceRecord>(head_.get()); }
  NodeIterator<DeviceRecord> end() const { return NodeIterator<DeviceRecord>(); }

 private:
  int count_ = 0;
  std::unique_ptr<DeviceRecord> head_;
  DeviceRecord* tail_ = nullptr;
};

// The share names of the device last clicked.
class ShareEntryList {
 public:
  ShareEntryList() = default;
  ShareEntryList(const ShareEntryList&) = delete;
  ShareEntryList& operator=(const ShareEntryList&) = delete;
  ~ShareEntryList();

  void ClearShareList();
  void AddShare(std::string_view name);        // cut to 131 characters
  int FindShare(std::string_view name) const;  // 1 when an entry has exactly this name

  int count() const { return count_; }
  ShareEntry* head() const { return head_.get(); }
  ShareEntry* tail() const { return tail_; }
  NodeIterator<ShareEntry> begin() const { return NodeIterator<ShareEntry>(head_.get()); }
  NodeIterator<ShareEntry> end() const { return NodeIterator<ShareEntry>(); }

 private:
  int count_ = 0;
  std::unique_ptr<ShareEntry> head_;
  ShareEntry* tail_ = nullptr;
};

}  // namespace corvane::protocol
