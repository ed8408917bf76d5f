// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/subnet_test.h"

#include <gtest/gtest.h>

namespace corvane::app {
namespace {

using validation::Octets;

TEST(DeviceInLocalSubnetTest, ComparesUnderTheDevicesOwnMask) {
  const Octets mask24{255, 255, 255, 0};
  EXPECT_TRUE(DeviceInLocalSubnet({192, 168, 50, 21}, mask24, "192.168.50.10"));
  EXPECT_FALSE(DeviceInLocalSubnet({10, 99, 0, 5}, mask24, "192.168.50.10"));
  EXPECT_FALSE(DeviceInLocalSubnet({192, 168, 51, 21}, mask24, "192.168.50.10"));
  EXPECT_TRUE(DeviceInLocalSubnet({192, 168, 51, 21}, {255, 255, 0, 0}, "192.168.50.10"));
  EXPECT_TRUE(DeviceInLocalSubnet({10, 99, 0, 5}, {0, 0, 0, 0}, "192.168.50.10"));
}

TEST(DeviceInLocalSubnetTest, LocalAddressIsReadInEveryDottedForm) {
  // Octet order must survive the parse: 0xC0.0250.1.10 is 192.168.1.10.
  EXPECT_TRUE(DeviceInLocalSubnet({192, 168, 1, 77}, {255, 255, 255, 0}, "0xC0.0250.1.10"));
  EXPECT_TRUE(DeviceInLocalSubnet({10, 0, 0, 9}, {255, 255, 255, 0}, "10.1"));
  EXPECT_FALSE(DeviceInLocalSubnet({10, 0, 1, 9}, {255, 255, 255, 0}, "10.1"));
  // An unreadable local address counts as 0.0.0.0.
  EXPECT_TRUE(DeviceInLocalSubnet({0, 0, 0, 7}, {255, 255, 255, 0}, "1.2.3.4x"));
}

}  // namespace
}  // namespace corvane::app
