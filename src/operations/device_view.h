// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Showing the devices: the list the search found, and the details of one device.

#include <string>
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

// Reads the workgroup (told to the front end as soon as it is there) and the share list of the
// device SelectedAddress names; the shares also stay in the session's ShareList.
DeviceDetails ShowDevice(protocol::Session& session, Interaction& interaction);

}  // namespace corvane::operations
