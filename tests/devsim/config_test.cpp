// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <stdexcept>

#include "device_config.h"
#include "ipv4.h"

namespace corvane::devsim {
namespace {

using nlohmann::json;

TEST(Ipv4Text, StrictDottedQuads) {
  EXPECT_EQ(ParseIpv4("192.168.1.5")->value, 0xc0a80105u);
  EXPECT_EQ(FormatIpv4(Ipv4{0xc0a80105u}), "192.168.1.5");
  EXPECT_EQ(FormatIpv4(Ipv4{0x0a000001u}), "10.0.0.1") << "no leading zeros";
  for (const char* bad : {"", "1.2.3", "1.2.3.4.5", "1.2.3.256", "1..2.3", "1.2.3.4 ", "-1.2.3.4",
                          "1.2.3.0x1", "01234.1.1.1"}) {
    EXPECT_FALSE(ParseIpv4(bad)) << bad;
  }
  EXPECT_EQ(ParseAddressWithPrefix("10.99.0.5/16")->prefix, 16);
  EXPECT_EQ(ParseAddressWithPrefix("10.99.0.5")->prefix, 24);
  EXPECT_FALSE(ParseAddressWithPrefix("10.99.0.5/33"));
  EXPECT_FALSE(ParseAddressWithPrefix("10.99.0.5/"));
}

TEST(Ipv4Text, NetmasksMustBeContiguous) {
  EXPECT_EQ(PrefixFromNetmask("255.255.255.0"), 24);
  EXPECT_EQ(PrefixFromNetmask("255.255.255.255"), 32);
  EXPECT_EQ(PrefixFromNetmask("255.255.240.0"), 20);
  EXPECT_EQ(PrefixFromNetmask("0.0.0.0"), 0);
  EXPECT_FALSE(PrefixFromNetmask("255.0.255.0"));
  EXPECT_FALSE(PrefixFromNetmask("0.255.255.255"));
  EXPECT_EQ(NetmaskFromPrefix(20), "255.255.240.0");
  EXPECT_EQ(NetmaskFromPrefix(32), "255.255.255.255");
  EXPECT_EQ(NetmaskFromPrefix(0), "0.0.0.0");
}

TEST(DeviceConfigParse, OnlyIdAndLegsAreNeeded) {
  DeviceConfig config =
      ParseDeviceConfig(json::parse(R"({"id": "x", "legs": [{"address": "10.0.0.2"}]})"));
  EXPECT_EQ(config.name, "x");
  EXPECT_EQ(config.legs.at(0).interface, "eth0");
  EXPECT_EQ(config.replyForm, 2);
  EXPECT_EQ(config.replyMode, ReplyMode::kMulticast);
  EXPECT_FALSE(config.answerBothSends);
  EXPECT_EQ(config.adminUser, "admin");
  EXPECT_EQ(config.adminPassword, "vorel");
  EXPECT_EQ(config.replyDelayMs, 0);
  EXPECT_FALSE(config.dhcpAddress);
  // Two devices without a configured deviceId still differ.
  DeviceConfig other =
      ParseDeviceConfig(json::parse(R"({"id": "y", "legs": [{"address": "10.0.0.3"}]})"));
  EXPECT_NE(config.deviceId, other.deviceId);
}

TEST(DeviceConfigParse, RejectsWhatWouldMisbehaveLater) {
  const char* bad[] = {
      R"({"legs": [{"address": "10.0.0.2"}]})",
      R"({"id": "x"})",
      R"({"id": "x", "legs": []})",
      R"({"id": "x", "legs": [{"address": "10.0.0"}]})",
      R"({"id": "x", "legs": [{"address": "10.0.0.2"}], "deviceId": "0011"})",
      R"({"id": "x", "legs": [{"address": "10.0.0.2"}], "deviceId": "00112233445g"})",
      R"({"id": "x", "legs": [{"address": "10.0.0.2"}], "replyForm": 3})",
      R"({"id": "x", "legs": [{"address": "10.0.0.2"}], "replyMode": "broadcast"})",
      R"({"id": "x", "legs": [{"address": "10.0.0.2"}], "matchCodes": [6]})",
      R"({"id": "x", "legs": [{"address": "10.0.0.2"}], "matchCodes": [6, 256]})",
      R"({"id": "x", "legs": [{"address": "10.0.0.2"}], "dhcpAddress": "nope"})",
      R"({"id": "x", "legs": [{"address": "10.0.0.2"}], "silent": "yes"})",
  };
  for (const char* text : bad) {
    EXPECT_THROW(ParseDeviceConfig(json::parse(text)), std::runtime_error) << text;
  }
}

TEST(DeviceConfigParse, FindsTheDeviceInTheShippedLabConfigs) {
  for (const char* name : {"standard.json", "demo.json"}) {
    std::ifstream in(std::string(CORVANE_LAB_CONFIGS) + "/" + name);
    ASSERT_TRUE(in) << name;
    json lab = json::parse(in);
    std::set<std::string> addresses;
    for (const json& device : lab["devices"]) {
      DeviceConfig config = FindDeviceConfig(lab, device["id"]);
      EXPECT_TRUE(addresses.insert(FormatIpv4(config.legs[0].address.address)).second)
          << name << ": two devices share an address";
    }
  }
  json lab = json::parse(R"({"devices": [{"id": "a", "legs": [{"address": "10.0.0.2"}]}]})");
  EXPECT_THROW(FindDeviceConfig(lab, "b"), std::runtime_error);
  EXPECT_THROW(FindDeviceConfig(json::object(), "a"), std::runtime_error);
}

TEST(DeviceConfigParse, StandardLabCoversTheSituationsTestsNeed) {
  std::ifstream in(std::string(CORVANE_LAB_CONFIGS) + "/standard.json");
  json lab = json::parse(in);
  bool multicast = false, unicast = false, twoLegs = false, foreign = false, ext66 = false,
       extOther = false, slow = false, silent = false, both = false;
  for (const json& device : lab["devices"]) {
    DeviceConfig c = FindDeviceConfig(lab, device["id"]);
    multicast |= c.replyForm == 2 && c.replyMode == ReplyMode::kMulticast;
    unicast |= c.replyMode == ReplyMode::kUnicast;
    twoLegs |= c.legs.size() == 2 && c.legs[0].bridge != c.legs[1].bridge;
    foreign |= c.legs[0].address.address.Octet(0) == 10;
    ext66 |= c.replyForm == 7 && c.matchCodes == std::array<std::uint8_t, 2>{6, 6};
    extOther |= c.replyForm == 7 && c.matchCodes != std::array<std::uint8_t, 2>{6, 6};
    slow |= c.replyDelayMs >= 1200;  // beyond the shortest exchange wait
    silent |= c.silent;
    both |= c.answerBothSends;
  }
  EXPECT_TRUE(multicast && unicast && twoLegs && foreign && ext66 && extOther && slow && silent &&
              both);
}

}  // namespace
}  // namespace corvane::devsim
