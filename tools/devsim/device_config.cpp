// SPDX-License-Identifier: GPL-3.0-or-later
#include "device_config.h"

#include <nlohmann/json.hpp>
#include <stdexcept>

namespace corvane::devsim {

namespace {

using nlohmann::json;

[[noreturn]] void Fail(const std::string& id, const std::string& what) {
  throw std::runtime_error("device " + id + ": " + what);
}

template <typename T>
void ReadField(const json& device, const char* key, T& target) {
  auto it = device.find(key);
  if (it == device.end() || it->is_null()) return;
  try {
    target = it->get<T>();
  } catch (const json::exception&) {
    Fail(device.value("id", std::string("?")),
         std::string("field \"") + key + "\" has the wrong type");
  }
}

std::array<std::uint8_t, 6> ParseDeviceIdHex(const std::string& id, const std::string& hex) {
  if (hex.size() != 12) Fail(id, "deviceId must be 12 hex digits");
  std::array<std::uint8_t, 6> bytes{};
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::size_t used = 0;
    unsigned long value = 0;
    try {
      value = std::stoul(hex.substr(2 * i, 2), &used, 16);
    } catch (const std::exception&) {
      used = 0;
    }
    if (used != 2) Fail(id, "deviceId must be 12 hex digits");
    bytes[i] = static_cast<std::uint8_t>(value);
  }
  return bytes;
}

// Without a configured deviceId every device still gets its own, derived from its id.
std::array<std::uint8_t, 6> DeviceIdFromName(const std::string& id) {
  std::array<std::uint8_t, 6> bytes{0x02, 0, 0, 0, 0, 0};
  std::uint32_t hash = 2166136261u;
  for (unsigned char c : id) hash = (hash ^ c) * 16777619u;
  for (int i = 0; i < 4; ++i) bytes[2 + i] = static_cast<std::uint8_t>(hash >> (8 * i));
  return bytes;
}

std::vector<LegConfig> ParseLegs(const std::string& id, const json& device) {
  auto legs = device.find("legs");
  if (legs == device.end() || !legs->is_array() || legs->empty()) {
    Fail(id, "needs at least one leg");
  }
  std::vector<LegConfig> result;
  for (const json& leg : *legs) {
    LegConfig config;
    config.bridge = leg.value("bridge", std::string());
    config.interface = leg.value("interface", "eth" + std::to_string(result.size()));
    auto address = ParseAddressWithPrefix(leg.value("address", std::string()));
    if (!address) Fail(id, "leg " + std::to_string(result.size()) + " has no valid address");
    config.address = *address;
    result.push_back(config);
  }
  return result;
}

ReplyMode ParseReplyMode(const std::string& id, const std::string& text) {
  if (text == "multicast") return ReplyMode::kMulticast;
  if (text == "unicast") return ReplyMode::kUnicast;
  if (text == "both") return ReplyMode::kBoth;
  Fail(id, "replyMode must be multicast, unicast or both");
}

void ReadOptionalParts(const std::string& id, const json& device, DeviceConfig& config) {
  std::string text;
  ReadField(device, "dhcpAddress", text);
  if (!text.empty()) {
    config.dhcpAddress = ParseIpv4(text);
    if (!config.dhcpAddress) Fail(id, "dhcpAddress is not an IPv4 address");
  }
  text.clear();
  ReadField(device, "deviceId", text);
  config.deviceId = text.empty() ? DeviceIdFromName(id) : ParseDeviceIdHex(id, text);
  text = "multicast";
  ReadField(device, "replyMode", text);
  config.replyMode = ParseReplyMode(id, text);
  std::vector<int> codes{6, 6};
  ReadField(device, "matchCodes", codes);
  if (codes.size() != 2) Fail(id, "matchCodes needs two numbers");
  for (int i = 0; i < 2; ++i) {
    if (codes[i] < 0 || codes[i] > 255) Fail(id, "matchCodes are bytes (0-255)");
    config.matchCodes[i] = static_cast<std::uint8_t>(codes[i]);
  }
  if (config.replyForm != 2 && config.replyForm != 7) Fail(id, "replyForm must be 2 or 7");
  text = "firstLeg";
  ReadField(device, "addressPolicy", text);
  if (text != "firstLeg" && text != "perLeg") Fail(id, "addressPolicy is firstLeg or perLeg");
  config.addressPolicy = text == "perLeg" ? AddressPolicy::kPerLeg : AddressPolicy::kFirstLeg;
  if (config.replyDelayMs < 0) config.replyDelayMs = 0;
  ReadField(device, "unanswered", config.unanswered);
  for (int item : config.unanswered) {
    if (item < 1 || item > 13) Fail(id, "unanswered lists item codes (1-13)");
  }
}

}  // namespace

DeviceConfig ParseDeviceConfig(const json& device) {
  if (!device.is_object()) throw std::runtime_error("a device entry is not an object");
  DeviceConfig config;
  ReadField(device, "id", config.id);
  if (config.id.empty()) throw std::runtime_error("a device has no id");
  config.legs = ParseLegs(config.id, device);
  config.name = config.id;
  ReadField(device, "name", config.name);
  ReadField(device, "gateway", config.gateway);
  ReadField(device, "dhcp", config.dhcp);
  ReadField(device, "workgroup", config.workgroup);
  ReadField(device, "shares", config.shares);
  ReadField(device, "codepage", config.codepage);
  ReadField(device, "ideok", config.ideok);
  ReadField(device, "systemShare", config.systemShare);
  ReadField(device, "adminUser", config.adminUser);
  ReadField(device, "adminPassword", config.adminPassword);
  ReadField(device, "replyForm", config.replyForm);
  ReadField(device, "answerBothSends", config.answerBothSends);
  ReadField(device, "replyDelayMs", config.replyDelayMs);
  ReadField(device, "silent", config.silent);
  ReadOptionalParts(config.id, device, config);
  return config;
}

DeviceConfig FindDeviceConfig(const json& lab, const std::string& id) {
  auto devices = lab.find("devices");
  if (devices == lab.end() || !devices->is_array()) {
    throw std::runtime_error("the lab config has no \"devices\" array");
  }
  for (const json& device : *devices) {
    if (device.is_object() && device.value("id", std::string()) == id) {
      return ParseDeviceConfig(device);
    }
  }
  throw std::runtime_error("no device \"" + id + "\" in the lab config");
}

}  // namespace corvane::devsim
