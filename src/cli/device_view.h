// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace corvane::cli {

// One found device as the command line shows it, detached from the protocol's table.
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
};

}  // namespace corvane::cli
