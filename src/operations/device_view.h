// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Showing the devices: the list the search found, and the details of one device.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "operations/interaction.h"
#include "protocol/session.h"

namespace corvane::operations {

// One found device, detached from the protocol's table.
struct DeviceView {
  std::string name;
  std::string address;
  std::string netmask;
  std::string gateway;
  bool dhcp = false;
  std::string interfaceAddress;  // the local interface the device answered on
  std::string interfaceName;
};

// What a click on a device shows: the device with its workgroup and shares.
struct DeviceDetails {
  DeviceView device;
  std::string workgroup;
  std::vector<std::string> shares;
  bool workgroupRead = false;  // false: the device did not answer, the workgroup shows empty
  bool sharesRead = false;     // false: the device did not answer, no shares show
};

DeviceView ViewOf(const protocol::DeviceRecord& record, const protocol::Session& session);
std::vector<DeviceView> ListDevices(const protocol::Session& session);

// Bytes 0-5 of a DeviceId name the device whatever its address (bytes 6-9 are the address), so
// they tell the device that was changed from another one that answers at the same address.
using DeviceIdentity = std::array<std::uint8_t, 6>;
DeviceIdentity IdentityOf(const protocol::DeviceRecord& record);

// Where a device stands after a change and a new search.
enum class Whereabouts {
  kAnswers,             // the device itself answers at the address
  kOtherDeviceAnswers,  // a device with another identity holds the address
  kNoAnswer,
};
struct DeviceAtAddress {
  Whereabouts where = Whereabouts::kNoAnswer;
  const protocol::DeviceRecord* record = nullptr;  // whoever answers there
};
DeviceAtAddress LocateDevice(const protocol::Session& session, const DeviceIdentity& device,
                             std::string_view address);

// Whether the device's shares, web page and language support are within reach: the device lies
// in the subnet, under its own netmask, of the local interface it answered through. A device
// outside (a factory address on another subnet, say) can only have its LAN settings changed.
bool InLocalSubnet(const protocol::Session& session, const protocol::DeviceRecord& record);

// Reads the workgroup (told to the front end as soon as it is there) and the share list of the
// device SelectedAddress names; the shares also stay in the session's ShareList.
DeviceDetails ShowDevice(protocol::Session& session, Interaction& interaction);

}  // namespace corvane::operations
