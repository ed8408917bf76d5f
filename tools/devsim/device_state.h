// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <nlohmann/json_fwd.hpp>
#include <string>
#include <vector>

#include "device_config.h"
#include "ipv4.h"

namespace corvane::devsim {

struct LegState {
  std::string interface;
  std::string bridge;
  AddressWithPrefix address;
};

// What the device currently is; starts from the config and changes with set requests.
struct DeviceState {
  std::string name;
  std::vector<LegState> legs;
  std::string gateway;
  bool dhcp = false;
  std::string workgroup;
  std::string shares;
  std::string codepage;
  std::string ideok;
  std::string systemShare;
  bool silent = false;
  std::string rw;    // last text of the disk-mode request
  std::string stop;  // last text of the stop request
  int changes = 0;   // set requests applied since the start or the last reset
  int resets = 0;    // times the device was brought back to its configured state
};

DeviceState InitialState(const DeviceConfig& config);

// The state file the lab publishes for tests: everything above plus the device's identity.
nlohmann::json StateToJson(const DeviceConfig& config, const DeviceState& state);

}  // namespace corvane::devsim
