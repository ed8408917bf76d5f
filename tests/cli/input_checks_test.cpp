// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/input_checks.h"

#include <gtest/gtest.h>

namespace corvane::cli {
namespace {

using validation::Octets;

TEST(ReadOctets, ReadsLikeTheAddressControl) {
  EXPECT_EQ(ReadOctets("192.168.1.20").octets, (Octets{192, 168, 1, 20}));
  EXPECT_EQ(ReadOctets(" 010.1.1.1 ").octets, (Octets{10, 1, 1, 1}));  // decimal, not octal
  EXPECT_EQ(ReadOctets("192.168.1.").octets, (Octets{192, 168, 1, 0}));
  EXPECT_EQ(ReadOctets("300.1.1.1").octets, (Octets{300, 1, 1, 1}));
  for (const char* blank : {"", "   ", "...", " . . . "}) {
    const OctetsInput input = ReadOctets(blank);
    EXPECT_FALSE(input.octets) << '"' << blank << '"';
    EXPECT_FALSE(input.malformed) << '"' << blank << '"';
  }
  for (const char* malformed : {"192.168.1", "1.2.3.4.5", "a.b.c.d", "1.2.3.-4", "0x1.2.3.4",
                                "1.2.3.4x", "1.2.3.9999999"}) {
    EXPECT_TRUE(ReadOctets(malformed).malformed) << malformed;
  }
}

std::string StaticError(const char* ip, const char* mask, const char* gateway) {
  const auto optional = [](const char* text) {
    return text == nullptr ? std::nullopt : std::optional<std::string>(text);
  };
  return CheckStaticSettings(optional(ip), optional(mask), optional(gateway)).error;
}

TEST(CheckStaticSettings, MissingAddressesComeBeforeEveryOtherMessage) {
  EXPECT_EQ(StaticError(nullptr, "999.0.0.0", "x"), validation::kInputIpAddress);
  EXPECT_EQ(StaticError("1.2.3.0", "", "1.2.3.1"), validation::kInputNetmask);
  EXPECT_EQ(StaticError("1.2.3.0", "255.255.255.0", nullptr), validation::kInputGateway);
}

TEST(CheckStaticSettings, OctetRulesInTheOrderAddressMaskGateway) {
  EXPECT_EQ(StaticError("192.168.1.0", "255.255.255.0", "192.168.1.1"), validation::kIpOctet4);
  EXPECT_EQ(StaticError("192.168.1.255", "255.255.255.0", "192.168.1.1"), validation::kIpOctet4);
  EXPECT_EQ(StaticError("192.168.1.20", "255.255.255.0", "192.168.1.255"),
            validation::kGatewayOctet4);
  EXPECT_EQ(StaticError("192.300.1.20", "255.255.256.0", "192.168.1.255"), validation::kIpOctet2);
  EXPECT_EQ(StaticError("192.168.1.20", "255.255.256.0", "192.168.1.255"),
            validation::kNetmaskOctet3);
  EXPECT_EQ(StaticError("192.168.1.20", "255.255.255.0", "1.2.3"),
            "--gateway: not a dotted address (four numbers separated by dots): 1.2.3");
}

TEST(CheckStaticSettings, GatewayMustLieInTheNewSubnet) {
  EXPECT_EQ(StaticError("192.168.1.20", "255.255.255.0", "192.168.2.1"),
            validation::kGatewayInputError);
  const StaticCheck wide = CheckStaticSettings("192.168.001.20", "255.255.0.0", "192.168.2.1");
  ASSERT_TRUE(wide.settings) << wide.error;
  EXPECT_EQ(wide.settings->address, "192.168.1.20");
  EXPECT_EQ(wide.settings->netmask, "255.255.0.0");
  EXPECT_EQ(wide.settings->gateway, "192.168.2.1");
  EXPECT_TRUE(CheckStaticSettings("192.168.1.20", "0.0.0.0", "10.9.8.7").settings);
}

TEST(CheckNames, BothAreCheckedBeforeAnythingIsSent) {
  EXPECT_EQ(CheckNames(std::nullopt, "WG"), validation::kHostNameEmpty);
  EXPECT_EQ(CheckNames("nas 1", "bad group"), validation::kHostNameFormatLong);
  EXPECT_EQ(CheckNames("nas'1", "WG"), validation::kHostNameFormatShort);
  EXPECT_EQ(CheckNames("nas1", "bad group"), validation::kWorkgroupFormat);
  EXPECT_EQ(CheckNames("nas1", ""), validation::kWorkgroupEmpty);
  EXPECT_EQ(CheckNames("nas1", std::nullopt), validation::kWorkgroupEmpty);
  EXPECT_FALSE(CheckNames("nas-1_a", "R&D(1)"));
}

TEST(CheckNames, LongerThanTheDeviceBufferIsRefusedNotCut) {
  const std::string fits(31, 'n');
  const std::string tooLong(32, 'n');
  EXPECT_FALSE(CheckNames(fits, fits));
  EXPECT_EQ(CheckNames(tooLong, "WG"), validation::kHostNameTooLong);
  EXPECT_EQ(CheckNames("nas1", tooLong), validation::kWorkgroupTooLong);
}

TEST(CheckPassword, AtMostSixteenCharacters) {
  EXPECT_FALSE(CheckPassword(""));
  EXPECT_FALSE(CheckPassword(std::string(16, 'p')));
  EXPECT_TRUE(CheckPassword(std::string(17, 'p')));
}

TEST(OneLine, LineBreaksBecomeBlanks) {
  EXPECT_EQ(OneLine(validation::kWorkgroupFormat),
            "The Workgroup format is not correct. Can not include \\ /:*?\"< >|.;+=~'[ ]{} ,");
  EXPECT_EQ(OneLine("a\nb\rc"), "a b c");
}

}  // namespace
}  // namespace corvane::cli
