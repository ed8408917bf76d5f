// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>
#include <vector>

#include "ipv4.h"

namespace corvane::devsim {

enum class ReplyMode { kMulticast, kUnicast, kBoth };

// How the device fills DeviceId bytes 6-9: one identity address for every leg (the first
// leg's), or each leg its own address.
enum class AddressPolicy { kFirstLeg, kPerLeg };

struct LegConfig {
  std::string bridge;
  std::string interface;  // name of the leg inside the device's namespace
  AddressWithPrefix address;
};

struct DeviceConfig {
  std::string id;
  std::vector<LegConfig> legs;
  std::string name;
  std::string gateway = "0.0.0.0";
  bool dhcp = false;
  std::optional<Ipv4> dhcpAddress;  // none: a DHCP switch keeps the current address
  std::string workgroup = "WORKGROUP";
  std::string shares = "HDD_a:public";
  std::string codepage = "850";
  std::string ideok = "3";
  std::string systemShare = "HDD_a";
  std::string adminUser = "admin";
  std::string adminPassword = "vorel";
  std::array<std::uint8_t, 6> deviceId{};
  int replyForm = 2;
  std::array<std::uint8_t, 2> matchCodes{6, 6};
  ReplyMode replyMode = ReplyMode::kMulticast;
  bool answerBothSends = false;
  int replyDelayMs = 0;
  bool silent = false;
  std::vector<int> unanswered;  // item codes the device ignores, as one that does not know them
  AddressPolicy addressPolicy = AddressPolicy::kFirstLeg;
};

// Reads one entry of the lab's "devices" array. Throws std::runtime_error with a readable
// message for a missing id or legs, or a field of the wrong kind.
DeviceConfig ParseDeviceConfig(const nlohmann::json& device);

// Finds the device with the given id in a whole lab config.
DeviceConfig FindDeviceConfig(const nlohmann::json& lab, const std::string& id);

}  // namespace corvane::devsim
