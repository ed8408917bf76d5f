// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/input_checks.h"

#include <gtest/gtest.h>

namespace corvane::cli {
namespace {

using protocol::Octets;

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

TEST(ReadStaticInput, BlankOptionsAreMissingAndOtherTextsAreNamedByTheirOption) {
  const operations::StaticAddressInput input =
      ReadStaticInput(std::nullopt, "255.255.255.0", "1.2.3");
  EXPECT_TRUE(input.address.blank());
  EXPECT_EQ(input.netmask.octets, (Octets{255, 255, 255, 0}));
  EXPECT_EQ(input.gateway.unreadable,
            "--gateway: not a dotted address (four numbers separated by dots): 1.2.3");
  EXPECT_FALSE(input.gateway.blank());
}

TEST(CheckPassword, AtMostSixteenCharacters) {
  EXPECT_FALSE(CheckPassword(""));
  EXPECT_FALSE(CheckPassword(std::string(16, 'p')));
  EXPECT_TRUE(CheckPassword(std::string(17, 'p')));
}

TEST(OneLine, LineBreaksBecomeBlanks) {
  EXPECT_EQ(OneLine(operations::text::kWorkgroupFormat),
            "The Workgroup format is not correct. Can not include \\ /:*?\"< >|.;+=~'[ ]{} ,");
  EXPECT_EQ(OneLine("a\nb\rc"), "a b c");
}

}  // namespace
}  // namespace corvane::cli
