// SPDX-License-Identifier: GPL-3.0-or-later
#include "device_state.h"

#include <cstdio>
#include <nlohmann/json.hpp>

namespace corvane::devsim {

DeviceState InitialState(const DeviceConfig& config) {
  DeviceState state;
  state.name = config.name;
  for (const LegConfig& leg : config.legs) {
    state.legs.push_back(LegState{leg.interface, leg.bridge, leg.address});
  }
  state.gateway = config.gateway;
  state.dhcp = config.dhcp;
  state.workgroup = config.workgroup;
  state.shares = config.shares;
  state.codepage = config.codepage;
  state.ideok = config.ideok;
  state.systemShare = config.systemShare;
  state.silent = config.silent;
  return state;
}

nlohmann::json StateToJson(const DeviceConfig& config, const DeviceState& state) {
  nlohmann::json legs = nlohmann::json::array();
  for (const LegState& leg : state.legs) {
    legs.push_back({{"interface", leg.interface},
                    {"bridge", leg.bridge},
                    {"address", FormatIpv4(leg.address.address)},
                    {"prefix", leg.address.prefix},
                    {"netmask", NetmaskFromPrefix(leg.address.prefix)}});
  }
  std::string deviceId;
  for (std::uint8_t byte : config.deviceId) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02x", byte);
    deviceId += hex;
  }
  return {{"id", config.id},
          {"deviceId", deviceId},
          {"name", state.name},
          {"address", legs.at(0)["address"]},
          {"netmask", legs.at(0)["netmask"]},
          {"gateway", state.gateway},
          {"dhcp", state.dhcp},
          {"legs", legs},
          {"workgroup", state.workgroup},
          {"shares", state.shares},
          {"codepage", state.codepage},
          {"ideok", state.ideok},
          {"systemShare", state.systemShare},
          {"silent", state.silent},
          {"rw", state.rw},
          {"stop", state.stop},
          {"changes", state.changes},
          {"resets", state.resets}};
}

}  // namespace corvane::devsim
