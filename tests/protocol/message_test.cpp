// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/message.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <numeric>

#include "test_datagrams.h"

namespace corvane::protocol {
namespace {

using testing::Bytes;
using testing::DeviceFacts;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing::kOtherClientId;
using testing::kTestClientId;

constexpr DeviceIdBytes kDevice = {0x00, 0x11, 0x22, 0x33, 0x44, 0xaa, 192, 168, 50, 21};

Bytes Sent(const RequestBuffer& buffer, std::size_t length) {
  return Bytes(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(length));
}

std::span<const std::uint8_t> View(const Bytes& bytes) {
  return {bytes.data(), bytes.size()};
}

Bytes Header(std::uint8_t opcode, std::uint8_t item) {
  Bytes bytes{opcode};
  bytes.insert(bytes.end(), kTestClientId.begin(), kTestClientId.end());
  bytes.insert(bytes.end(), kDevice.begin(), kDevice.end());
  bytes.push_back(item);
  return bytes;
}

TEST(RequestBuilders, DiscoveryIsOpcodeAndClientIdOnly) {
  RequestBuffer buffer{};
  const std::size_t length = BuildDiscovery(buffer, kTestClientId);
  EXPECT_THAT(Sent(buffer, length), ElementsAre(1, 0xa1, 0xb2, 0xc3, 0xd4, 0xe5, 0xf6, 0, 0, 0, 0));
}

TEST(RequestBuilders, ReadWithoutPayloadIs28BytesWithZeroTail) {
  RequestBuffer buffer{};
  const std::size_t length = BuildRead(buffer, kTestClientId, kDevice, 9);
  Bytes expected = Header(3, 9);
  expected.resize(28, 0);
  EXPECT_THAT(Sent(buffer, length), ElementsAreArray(expected));
}

TEST(RequestBuilders, CredentialsCarryUserSeparatorPassword) {
  RequestBuffer buffer{};
  const std::size_t length = BuildCredentialsRead(buffer, kTestClientId, kDevice, "ad", "pw");
  Bytes expected = Header(3, 4);
  expected.insert(expected.end(), {0, 0, 6, 0, 0, 0, 'a', 'd', 0x55, 0xAA, 'p', 'w'});
  EXPECT_EQ(length, 34u);
  EXPECT_THAT(Sent(buffer, length), ElementsAreArray(expected));
}

TEST(RequestBuilders, CredentialsWithEmptyTextsKeepTheSeparator) {
  RequestBuffer buffer{};
  const std::size_t length = BuildCredentialsRead(buffer, kTestClientId, kDevice, "", "");
  ASSERT_EQ(length, 30u);
  EXPECT_EQ(buffer[24], 2);
  EXPECT_EQ(buffer[28], 0x55);
  EXPECT_EQ(buffer[29], 0xAA);
}

TEST(RequestBuilders, SetDhcpIs60BytesZeroFrom22) {
  RequestBuffer buffer{};
  const std::size_t length = BuildSetDhcp(buffer, kTestClientId, kDevice);
  Bytes expected = Header(5, 2);
  expected.resize(60, 0);
  EXPECT_THAT(Sent(buffer, length), ElementsAreArray(expected));
}

TEST(RequestBuilders, SetCarriesNetmaskGatewayAndPayload) {
  RequestBuffer buffer{};
  const std::size_t length =
      BuildSet(buffer, kTestClientId, kDevice, 7, FixedText<16>("255.255.255.0"),
               FixedText<16>("192.168.50.1"), "WG");
  ASSERT_EQ(length, 62u);
  Bytes expected = Header(5, 7);
  expected.resize(60, 0);
  testing::PutText(expected, 24, "255.255.255.0");
  testing::PutText(expected, 40, "192.168.50.1");
  expected[56] = 2;
  expected.push_back('W');
  expected.push_back('G');
  EXPECT_THAT(Sent(buffer, length), ElementsAreArray(expected));
}

TEST(RequestBuilders, SetWithoutEnteredAddressesLeavesHeaderFieldsZero) {
  RequestBuffer buffer{};
  const std::size_t length =
      BuildSet(buffer, kTestClientId, kDevice, 10, FixedText<16>(), FixedText<16>(), "rw");
  ASSERT_EQ(length, 62u);
  EXPECT_TRUE(std::all_of(buffer.begin() + 22, buffer.begin() + 56, [](auto b) { return b == 0; }));
}

TEST(RequestBuilders, OversizedPayloadIsCutToTheBuffer) {
  RequestBuffer buffer{};
  const std::string huge(10000, 'x');
  const std::size_t length =
      BuildSet(buffer, kTestClientId, kDevice, 5, FixedText<16>(), FixedText<16>(), huge);
  EXPECT_EQ(length, kRequestCapacity);
  const std::size_t credentials = BuildCredentialsRead(buffer, kTestClientId, kDevice, huge, huge);
  EXPECT_EQ(credentials, kRequestCapacity);
}

TEST(ReplyFields, AddressIsPlainDecimalWithoutLeadingZeros) {
  const std::array<std::uint8_t, 4> octets = {192, 168, 1, 5};
  EXPECT_EQ(FormatAddress(octets), "192.168.1.5");
  const std::array<std::uint8_t, 4> wide = {255, 0, 10, 200};
  EXPECT_EQ(FormatAddress(wide), "255.0.10.200");
}

TEST(ReplyFields, AddressNeedsTheWholeDeviceId) {
  const Bytes full = testing::SetReply(kTestClientId, DeviceFacts{});
  EXPECT_EQ(ReplyAddress(View(full)).value(), "192.168.50.21");
  const Bytes cut(full.begin(), full.begin() + 20);
  EXPECT_FALSE(ReplyAddress(View(cut)).has_value());
}

TEST(ReplyFields, ClientMatchUsesBytesOneToSixOnly) {
  Bytes reply = testing::SetReply(kTestClientId, DeviceFacts{});
  EXPECT_TRUE(IsFromThisClient(View(reply), kTestClientId));
  reply[7] = 0x77;  // ClientId bytes 6-9 are not compared
  EXPECT_TRUE(IsFromThisClient(View(reply), kTestClientId));
  EXPECT_FALSE(IsFromThisClient(View(reply), kOtherClientId));
  const Bytes shortReply(reply.begin(), reply.begin() + 6);
  EXPECT_FALSE(IsFromThisClient(View(shortReply), kTestClientId));
}

TEST(DiscoveryReplies, PlainReplyGivesEveryField) {
  DeviceFacts device;
  device.dhcp = '1';
  const Bytes reply = testing::DiscoveryReply(kTestClientId, device);
  ASSERT_TRUE(AcceptDiscoveryReply(View(reply), kTestClientId, 6, 6));
  const auto fields = ReadDiscoveryReply(View(reply));
  ASSERT_TRUE(fields.has_value());
  EXPECT_EQ(fields->name, "NAS1");
  EXPECT_EQ(fields->address, "192.168.50.21");
  EXPECT_EQ(fields->netmask, "255.255.255.0");
  EXPECT_EQ(fields->gateway, "192.168.50.1");
  EXPECT_EQ(fields->dhcpFlag, "1");
  EXPECT_THAT(fields->deviceId, ElementsAreArray(kDevice));
}

TEST(DiscoveryReplies, ExtendedReplyReadsNameAt72) {
  DeviceFacts device;
  device.name = "Extended";
  const Bytes reply = testing::DiscoveryReplyExt(kTestClientId, device, 6, 6);
  const auto fields = ReadDiscoveryReply(View(reply));
  ASSERT_TRUE(fields.has_value());
  EXPECT_EQ(fields->name, "Extended");
}

TEST(DiscoveryReplies, FiltersApplyToExtendedRepliesOnly) {
  const DeviceFacts device;
  const Bytes match = testing::DiscoveryReplyExt(kTestClientId, device, 6, 6);
  const Bytes other = testing::DiscoveryReplyExt(kTestClientId, device, 6, 9);
  const Bytes plain = testing::DiscoveryReply(kTestClientId, device);
  EXPECT_TRUE(AcceptDiscoveryReply(View(match), kTestClientId, 6, 6));
  EXPECT_FALSE(AcceptDiscoveryReply(View(other), kTestClientId, 6, 6));
  EXPECT_TRUE(AcceptDiscoveryReply(View(other), kTestClientId, 6, 0));
  EXPECT_FALSE(AcceptDiscoveryReply(View(other), kTestClientId, 0, 6));
  EXPECT_TRUE(AcceptDiscoveryReply(View(other), kTestClientId, 0, 0));
  EXPECT_TRUE(AcceptDiscoveryReply(View(plain), kTestClientId, 1, 1));
}

TEST(DiscoveryReplies, ForeignClientAndOtherOpcodesAreRefused) {
  const DeviceFacts device;
  EXPECT_FALSE(AcceptDiscoveryReply(View(testing::DiscoveryReply(kOtherClientId, device)),
                                    kTestClientId, 6, 6));
  EXPECT_FALSE(AcceptDiscoveryReply(View(testing::DiscoveryReplyExt(kOtherClientId, device, 6, 6)),
                                    kTestClientId, 6, 6));
  const Bytes readReply = testing::ReadReply(kTestClientId, device, std::string(40, 'x'));
  EXPECT_FALSE(AcceptDiscoveryReply(View(readReply), kTestClientId, 0, 0));
  EXPECT_FALSE(ReadDiscoveryReply(View(readReply)).has_value());
  EXPECT_FALSE(AcceptDiscoveryReply({}, kTestClientId, 0, 0));
}

TEST(DiscoveryReplies, RepliesShorterThanTheirFixedPartAreDropped) {
  DeviceFacts device;
  device.name = "";
  const Bytes plain = testing::DiscoveryReply(kTestClientId, device);
  const Bytes ext = testing::DiscoveryReplyExt(kTestClientId, device, 6, 6);
  ASSERT_EQ(plain.size(), 60u);
  ASSERT_EQ(ext.size(), 72u);
  EXPECT_TRUE(ReadDiscoveryReply(View(plain)).has_value());
  EXPECT_TRUE(ReadDiscoveryReply(View(ext)).has_value());
  for (std::size_t length : {1u, 21u, 40u, 59u}) {
    const Bytes cut(plain.begin(), plain.begin() + length);
    EXPECT_FALSE(AcceptDiscoveryReply(View(cut), kTestClientId, 0, 0)) << length;
    EXPECT_FALSE(ReadDiscoveryReply(View(cut)).has_value()) << length;
  }
  for (std::size_t length : {57u, 58u, 60u, 71u}) {
    const Bytes cut(ext.begin(), ext.begin() + length);
    EXPECT_FALSE(AcceptDiscoveryReply(View(cut), kTestClientId, 0, 0)) << length;
    EXPECT_FALSE(ReadDiscoveryReply(View(cut)).has_value()) << length;
  }
}

TEST(DiscoveryReplies, NameRunningPastTheDatagramIsCutToWhatArrived) {
  DeviceFacts device;
  device.name = "TRUNCATED";
  Bytes reply = testing::DiscoveryReply(kTestClientId, device);
  testing::PutLe32(reply, 56, 200);  // announces far more than was sent
  const auto fields = ReadDiscoveryReply(View(reply));
  ASSERT_TRUE(fields.has_value());
  EXPECT_EQ(fields->name, "TRUNCATED");
  EXPECT_EQ(fields->address, "192.168.50.21");
}

TEST(DiscoveryReplies, NameOverLimitIsCutTo255) {
  DeviceFacts device;
  device.name = std::string(300, 'n');
  Bytes reply = testing::DiscoveryReply(kTestClientId, device);
  const auto fields = ReadDiscoveryReply(View(reply));
  ASSERT_TRUE(fields.has_value());
  EXPECT_EQ(fields->name.size(), 255u);
  testing::PutLe32(reply, 56, 0xffffffffu);  // a length that would wrap an int
  const auto wrapped = ReadDiscoveryReply(View(reply));
  ASSERT_TRUE(wrapped.has_value());
  EXPECT_EQ(wrapped->name.size(), 255u);
}

TEST(DiscoveryReplies, UnterminatedAddressFieldsAreCutToFifteen) {
  DeviceFacts device;
  device.netmask = std::string(16, '1');
  device.gateway = std::string(16, '2');
  const auto fields = ReadDiscoveryReply(View(testing::DiscoveryReply(kTestClientId, device)));
  ASSERT_TRUE(fields.has_value());
  EXPECT_EQ(fields->netmask, std::string(15, '1'));
  EXPECT_EQ(fields->gateway, std::string(15, '2'));
}

TEST(DiscoveryReplies, ZeroDhcpByteGivesEmptyFlag) {
  DeviceFacts device;
  device.dhcp = '\0';
  const auto fields = ReadDiscoveryReply(View(testing::DiscoveryReply(kTestClientId, device)));
  ASSERT_TRUE(fields.has_value());
  EXPECT_TRUE(fields->dhcpFlag.empty());
}

TEST(ReadReplies, ValueRunsToZeroOrEnd) {
  const DeviceFacts device;
  EXPECT_EQ(ReadReplyValue(View(testing::ReadReply(kTestClientId, device, "WORKGROUP"))),
            "WORKGROUP");
  Bytes withZero = testing::ReadReply(kTestClientId, device, "AB");
  withZero[29] = 0;
  withZero.push_back('C');
  EXPECT_EQ(ReadReplyValue(View(withZero)), "A");
}

TEST(ReadReplies, RepliesEndingBeforeTheValueCarryNone) {
  const Bytes full = testing::ReadReply(kTestClientId, DeviceFacts{}, "value");
  for (std::size_t length = 0; length <= 28; ++length) {
    const Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length));
    EXPECT_EQ(ReadReplyValue(View(cut)), "") << length;
  }
}

TEST(ShareListText, CutsAtColonsDropsEmptiesAndRepeats) {
  ShareEntryList list;
  FillShareList(list, "HDD_a::public:");
  std::vector<std::string> names;
  for (const ShareEntry& e : list) names.push_back(e.name.str());
  EXPECT_THAT(names, ElementsAre("HDD_a", "public"));

  list.ClearShareList();
  FillShareList(list, "a:a");
  EXPECT_EQ(list.count(), 1);

  list.ClearShareList();
  FillShareList(list, ":::");
  EXPECT_EQ(list.count(), 0);
  FillShareList(list, "");
  EXPECT_EQ(list.count(), 0);
  FillShareList(list, std::string_view("\0:a\0b:a", 7));  // a zero byte ends a name
  EXPECT_EQ(list.count(), 1);
  EXPECT_EQ(list[0].name, "a");
}

TEST(ShareListText, LongNamesAreCutAndThenDeduplicated) {
  ShareEntryList list;
  const std::string stem(131, 's');
  FillShareList(list, stem + "X:" + stem + "Y:short");
  ASSERT_EQ(list.count(), 2);
  EXPECT_EQ(list[0].name, stem);
  EXPECT_EQ(list[1].name, "short");
}

}  // namespace
}  // namespace corvane::protocol
