// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/output_format.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

namespace corvane::cli {
namespace {

using nlohmann::json;

DeviceView Device(std::string name, std::string address, bool dhcp = false) {
  DeviceView device;
  device.name = std::move(name);
  device.address = std::move(address);
  device.netmask = "255.255.255.0";
  device.gateway = "192.168.50.1";
  device.dhcp = dhcp;
  device.interfaceAddress = "192.168.50.10";
  device.interfaceName = "lan1";
  return device;
}

TEST(JsonString, EscapesWhatJsonRequires) {
  EXPECT_EQ(JsonString("plain"), "\"plain\"");
  EXPECT_EQ(JsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
  EXPECT_EQ(JsonString("\n\r\t"), "\"\\n\\r\\t\"");
  // JSON's own escapes where it has them; DEL needs none.
  EXPECT_EQ(JsonString(std::string("\x01\x1f\b\f\x7f", 5)), "\"\\u0001\\u001f\\b\\f\x7f\"");
  EXPECT_EQ(JsonString(std::string("a\0b", 3)), "\"a\\u0000b\"");
}

TEST(JsonString, BytesFromTheNetworkAlwaysGiveValidJson) {
  const std::string utf8 =
      "K\xC3\xBC"
      "che \xE2\x82\xAC";
  EXPECT_EQ(json::parse(JsonString(utf8)).get<std::string>(), utf8);
  // Latin-1 or codepage bytes: each one keeps its value as a code point.
  const std::string latin1 = "Caf\xE9\x80";
  EXPECT_EQ(JsonString(latin1), "\"Caf\\u00e9\\u0080\"");
  EXPECT_EQ(json::parse(JsonString(latin1)).get<std::string>(), "Caf\xC3\xA9\xC2\x80");
  // Overlong forms, surrogates and cut sequences are no UTF-8.
  for (const std::string bad : {"\xC0\xAF", "\xED\xA0\x80", "\xE2\x82", "\xF4\x90\x80\x80"}) {
    EXPECT_NO_THROW(json::parse(JsonString(bad))) << JsonString(bad);
    EXPECT_NE(JsonString(bad).find("\\u00"), std::string::npos) << JsonString(bad);
  }
}

TEST(FormatDevicesJson, ArrayInTableOrderWithExactlyTheAgreedKeys) {
  const std::vector<DeviceView> devices = {Device("NAS\"1", "192.168.50.21"),
                                           Device("nas2", "192.168.50.22", true)};
  const json parsed = json::parse(FormatDevicesJson(devices));
  ASSERT_TRUE(parsed.is_array());
  ASSERT_EQ(parsed.size(), 2u);
  EXPECT_EQ(parsed[0]["name"], "NAS\"1");
  EXPECT_EQ(parsed[1]["address"], "192.168.50.22");
  EXPECT_EQ(parsed[0]["dhcp"], false);
  EXPECT_EQ(parsed[1]["dhcp"], true);
  EXPECT_EQ(parsed[1]["interface"], "192.168.50.10");
  std::vector<std::string> keys;
  for (const auto& item : parsed[0].items()) keys.push_back(item.key());
  std::sort(keys.begin(), keys.end());
  EXPECT_EQ(keys, (std::vector<std::string>{"address", "dhcp", "gateway", "interface", "name",
                                            "netmask"}));
  EXPECT_EQ(json::parse(FormatDevicesJson({})), json::array());
}

TEST(FormatDetailsJson, AddsWorkgroupAndShares) {
  DeviceDetails details{Device("NAS1", "192.168.50.21"), "WORK\\GROUP", {"HDD_a", "public"}};
  const json parsed = json::parse(FormatDetailsJson(details));
  EXPECT_EQ(parsed["workgroup"], "WORK\\GROUP");
  EXPECT_EQ(parsed["shares"], (json{"HDD_a", "public"}));
  EXPECT_EQ(parsed["address"], "192.168.50.21");
  EXPECT_EQ(parsed.size(), 8u);
  details.shares.clear();
  EXPECT_EQ(json::parse(FormatDetailsJson(details))["shares"], json::array());
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

TEST(FormatDeviceTable, ColumnsLineUpAndNetworkTextCannotSteerTheTerminal) {
  const std::string table = FormatDeviceTable({Device("a-rather-long-device-name", "192.168.50.21"),
                                               Device("K\xC3\xBC", "10.0.0.5", true),
                                               Device("evil\x1b[2J", "192.168.50.23")});
  const std::vector<std::string> lines = Lines(table);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].rfind("Name", 0), 0u);
  const std::size_t ipColumn = lines[0].find("IP");
  EXPECT_EQ(lines[1].find("192.168.50.21"), ipColumn);
  EXPECT_EQ(lines[2].find("10.0.0.5"), ipColumn + 1);  // two bytes of one character
  EXPECT_EQ(lines[3].find("192.168.50.23"), ipColumn);
  EXPECT_EQ(table.find('\x1b'), std::string::npos);
  EXPECT_NE(lines[3].find("evil?[2J"), std::string::npos);
  EXPECT_NE(lines[2].find("Enabled"), std::string::npos);
  EXPECT_NE(lines[1].find("Disabled"), std::string::npos);
  EXPECT_NE(lines[1].find("192.168.50.10 (lan1)"), std::string::npos);
}

TEST(TerminalSafe, C1ControlsAndBidirectionalOverridesShowAsQuestionMarks) {
  // UTF-8: CSI, OSC and ST as characters, then right-to-left override and isolate, each one '?'.
  const std::string utf8 =
      "a\xC2\x9B"
      "2J\xC2\x9D"
      "0;x\xC2\x9C"
      "b\xE2\x80\xAE"
      "c\xE2\x81\xA7"
      "d \xC3\xBC\xE2\x80\x93";
  EXPECT_EQ(TerminalSafe(utf8), "a?2J?0;x?b?c?d \xC3\xBC\xE2\x80\x93");
  // Not UTF-8: byte by byte, so a lone 0x9B is CSI.
  EXPECT_EQ(TerminalSafe("Caf\xE9\x9B"
                         "2J\x85"),
            "Caf\xE9?2J?");
  const std::vector<std::string> lines =
      Lines(FormatDeviceTable({Device("nas\xE2\x80\xAE", "192.168.50.21")}));
  EXPECT_EQ(lines[1].rfind("nas? ", 0), 0u);
  EXPECT_EQ(TerminalLine("workgroup=W\x1b\n"), "workgroup=W?\n");
}

TEST(FormatDetailsText, ListsEveryShareAndSaysWhenThereIsNone) {
  DeviceDetails details{Device("NAS1", "192.168.50.21"), "WORKGROUP", {"HDD_a", "public"}};
  const std::vector<std::string> lines = Lines(FormatDetailsText(details));
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[6], "Workgroup: WORKGROUP");
  EXPECT_EQ(lines[7], "Shares:    HDD_a");
  EXPECT_EQ(lines[8], "           public");
  details.shares.clear();
  EXPECT_EQ(Lines(FormatDetailsText(details)).back(), "Shares:    (none)");
}

}  // namespace
}  // namespace corvane::cli
