// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/input_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace corvane::operations {
namespace {

std::string Message(const std::optional<OctetError>& error) {
  return error ? std::string(error->message) : std::string("<valid>");
}

struct OctetCase {
  AddressKind kind;
  Octets octets;
  int field;
  std::string_view message;
};

TEST(ValidateAddress, EachOctetOutOfRangeNamesItsFieldAndMessage) {
  const OctetCase cases[] = {
      {AddressKind::kIp, {256, 1, 1, 1}, 0, "Invalid IP address in 1st digit. It should be 0-255."},
      {AddressKind::kIp, {1, -1, 1, 1}, 1, "Invalid IP address in 2nd digit. It should be 0-255."},
      {AddressKind::kIp, {1, 1, 300, 1}, 2, "Invalid IP address in 3rd digit. It should be 0-255."},
      {AddressKind::kIp, {1, 1, 1, 0}, 3, "Invalid IP address in 4th digit. It should be 1-254."},
      {AddressKind::kNetmask,
       {999, 0, 0, 0},
       0,
       "Invalid subnet mask address in 1st digit. It should be 0-255."},
      {AddressKind::kNetmask,
       {255, 256, 0, 0},
       1,
       "Invalid subnet mask address in 2nd digit. It should be 0-255."},
      {AddressKind::kNetmask,
       {255, 255, -5, 0},
       2,
       "Invalid subnet mask address in 3rd digit. It should be 0-255."},
      {AddressKind::kNetmask,
       {255, 255, 255, 256},
       3,
       "Invalid subnet mask address in 4th digit. It should be 0-255."},
      {AddressKind::kGateway,
       {256, 0, 0, 1},
       0,
       "Invalid gateway IP address in 1st digit. It should be 0-255."},
      {AddressKind::kGateway,
       {10, 256, 0, 1},
       1,
       "Invalid gateway IP address in 2nd digit. It should be 0-255."},
      {AddressKind::kGateway,
       {10, 0, 256, 1},
       2,
       "Invalid gateway IP address in 3rd digit. It should be 0-255."},
      {AddressKind::kGateway,
       {10, 0, 0, 255},
       3,
       "Invalid gateway IP address in 4th digit. It should be 1-254."},
  };
  for (const OctetCase& c : cases) {
    const auto error = ValidateAddress(c.kind, c.octets);
    ASSERT_TRUE(error.has_value()) << c.message;
    EXPECT_EQ(error->field, c.field) << c.message;
    EXPECT_EQ(error->message, c.message);
  }
}

TEST(ValidateAddress, FirstOffendingOctetWins) {
  const auto error = ValidateAddress(AddressKind::kIp, {1, 256, 256, 0});
  ASSERT_TRUE(error);
  EXPECT_EQ(error->field, 1);
}

TEST(ValidateAddress, FourthOctetZeroAndBroadcastRefusedForHostsOnly) {
  EXPECT_EQ(Message(ValidateAddress(AddressKind::kIp, {192, 168, 1, 0})), text::kIpOctet4);
  EXPECT_EQ(Message(ValidateAddress(AddressKind::kIp, {192, 168, 1, 255})), text::kIpOctet4);
  EXPECT_EQ(Message(ValidateAddress(AddressKind::kGateway, {192, 168, 1, 255})),
            text::kGatewayOctet4);
  EXPECT_EQ(Message(ValidateAddress(AddressKind::kGateway, {192, 168, 1, 0})),
            text::kGatewayOctet4);
  EXPECT_FALSE(ValidateAddress(AddressKind::kIp, {192, 168, 1, 1}));
  EXPECT_FALSE(ValidateAddress(AddressKind::kIp, {0, 0, 0, 254}));
  EXPECT_FALSE(ValidateAddress(AddressKind::kGateway, {255, 255, 255, 254}));
  // Any mask is accepted, the odd ones too.
  EXPECT_FALSE(ValidateAddress(AddressKind::kNetmask, {0, 0, 0, 0}));
  EXPECT_FALSE(ValidateAddress(AddressKind::kNetmask, {255, 255, 255, 255}));
  EXPECT_FALSE(ValidateAddress(AddressKind::kNetmask, {0, 255, 7, 255}));
}

TEST(ValidateAddress, UnknownKindIsAlwaysValid) {
  EXPECT_FALSE(ValidateAddress(static_cast<AddressKind>(4), {999, 999, 999, 999}));
  EXPECT_FALSE(ValidateAddress(static_cast<AddressKind>(0), {-1, -1, -1, -1}));
}

TEST(GatewayInSubnet, DependsOnTheMask) {
  const Octets ip = {192, 168, 1, 20};
  const Octets otherSubnetGateway = {192, 168, 2, 1};
  EXPECT_FALSE(GatewayInSubnet(ip, {255, 255, 255, 0}, otherSubnetGateway));
  EXPECT_TRUE(GatewayInSubnet(ip, {255, 255, 0, 0}, otherSubnetGateway));
  EXPECT_TRUE(GatewayInSubnet(ip, {255, 255, 255, 0}, {192, 168, 1, 1}));
  EXPECT_TRUE(GatewayInSubnet(ip, {0, 0, 0, 0}, {10, 9, 8, 7}));
  // A mask bit set only in the last octet still counts.
  EXPECT_FALSE(GatewayInSubnet(ip, {255, 255, 255, 128}, {192, 168, 1, 200}));
  EXPECT_TRUE(GatewayInSubnet(ip, {255, 255, 255, 128}, {192, 168, 1, 100}));
}

TEST(SameSubnet, ComparesEveryOctetUnderTheMask) {
  EXPECT_FALSE(SameSubnet({10, 0, 0, 5}, {255, 255, 255, 0}, {192, 168, 1, 10}));
  EXPECT_TRUE(SameSubnet({192, 168, 1, 5}, {255, 255, 255, 0}, {192, 168, 1, 10}));
  EXPECT_TRUE(SameSubnet({10, 0, 0, 5}, {0, 0, 0, 0}, {192, 168, 1, 10}));
}

constexpr std::string_view kAllForbidden = ",&^$'%!)(#@][}{`~;=+.|><\"?*:\\/ ";
constexpr std::string_view kAllowedInWorkgroupOnly = "&^$%!)(#@";

TEST(CheckHostName, RefusesEveryListedCharacterAnywhere) {
  ASSERT_EQ(kAllForbidden.size(), 31u);
  for (const char c : kAllForbidden) {
    const std::string expected(c == '\'' ? text::kHostNameFormatShort : text::kHostNameFormatLong);
    for (const std::string& name : {std::string(1, c), "nas" + std::string(1, c),
                                    std::string(1, c) + "nas", "a" + std::string(1, c) + "b"}) {
      const auto message = CheckHostName(name);
      ASSERT_TRUE(message) << "accepted host name '" << name << "'";
      EXPECT_EQ(*message, expected) << "host name '" << name << "'";
    }
  }
}

TEST(CheckHostName, ApostropheMessageOnlyWhenItIsTheFirstForbiddenCharacter) {
  EXPECT_EQ(CheckHostName("it's"), text::kHostNameFormatShort);
  EXPECT_EQ(CheckHostName("a,b'c"), text::kHostNameFormatLong);
  EXPECT_EQ(CheckHostName("a'b,c"), text::kHostNameFormatShort);
  EXPECT_EQ(CheckHostName("a b"), text::kHostNameFormatLong);
  // The two texts differ exactly by the final " ,".
  EXPECT_EQ(std::string(text::kHostNameFormatShort) + " ,", text::kHostNameFormatLong);
  // Byte by byte: carriage return, line feed, one backslash, one double quote.
  const std::string expectedLong = std::string("The Host Name format is not correct.") + '\x0D' +
                                   '\x0A' + "Can not include " + '\x5C' + " /:*?" + '\x22' +
                                   "< >|.;+=~'[ ]{} @ # ()!'^$% & ,";
  EXPECT_EQ(text::kHostNameFormatLong, expectedLong);
}

TEST(CheckHostName, AcceptsLettersDigitsHyphensUnderscoresAndHighBytes) {
  EXPECT_FALSE(CheckHostName("NAS-1_backup"));
  EXPECT_FALSE(CheckHostName("-_-"));
  EXPECT_FALSE(
      CheckHostName("K\xC3\xBC"
                    "che"));  // a multi-byte character without listed bytes
  EXPECT_EQ(CheckHostName(""), text::kHostNameEmpty);
}

TEST(CheckWorkgroup, RefusesItsTwentyTwoAndAllowsTheNineOthers) {
  int refused = 0;
  for (const char c : kAllForbidden) {
    const std::string workgroup = "WORK" + std::string(1, c) + "GROUP";
    const bool allowed = kAllowedInWorkgroupOnly.find(c) != std::string_view::npos;
    const auto message = CheckWorkgroup(workgroup);
    if (allowed) {
      EXPECT_FALSE(message) << "refused workgroup '" << workgroup << "'";
    } else {
      ++refused;
      ASSERT_TRUE(message) << "accepted workgroup '" << workgroup << "'";
      EXPECT_EQ(*message, text::kWorkgroupFormat);
    }
  }
  EXPECT_EQ(refused, 22);
  EXPECT_EQ(CheckWorkgroup(""), text::kWorkgroupEmpty);
  EXPECT_FALSE(CheckWorkgroup("R&D(@#1)"));
  EXPECT_EQ(text::kWorkgroupFormat,
            "The Workgroup format is not correct.\r\nCan not include \\ /:*?\"< >|.;+=~'[ ]{} ,");
}

TEST(ToDotted, WritesEveryOctetWithoutLeadingZeros) {
  EXPECT_EQ(protocol::ToDotted({0, 10, 255, 1}), "0.10.255.1");
}

}  // namespace
}  // namespace corvane::operations
