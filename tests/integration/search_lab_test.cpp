// SPDX-License-Identifier: GPL-3.0-or-later
// The search over the four interfaces of tests/integration/lab/four_interfaces.json: served all
// at once, they must give the table that serving them one after another gives.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/local_interfaces.h"
#include "protocol/client_id.h"
#include "protocol/exchange.h"
#include "protocol/socket_exchange_io.h"
#include "protocol/testing/search_one_at_a_time.h"
#include "protocol/udp_transport.h"

namespace corvane::protocol {
namespace {

std::string Describe(const DeviceRecordList& table) {
  std::string text;
  for (const DeviceRecord& r : table) {
    text += std::to_string(r.interfaceIndex) + " " + r.name.str() + " " + r.address.str() + "\n";
  }
  return text;
}

TEST(SearchLab, FourInterfacesGiveTheTableOfTheOneAfterAnotherSearch) {
  UdpTransport transport;
  ASSERT_TRUE(transport.Open(platform::ListLocalInterfaces()).empty());
  SocketExchangeIo io(transport);
  const ClientIdBytes clientId = DrawClientId();

  DeviceRecordList together;
  DeviceRecordList oneByOne;
  RunSearch(io, 4, clientId, kSearchFilter, kSearchFilter, together);
  testing::RunSearchOneInterfaceAtATime(io, 4, clientId, kSearchFilter, kSearchFilter, oneByOne);
  // The device on lan1 answers last, the one on lan2 and lan3 keeps lan2, the extended reply on
  // lan4 comes after the plain one.
  EXPECT_EQ(Describe(together),
            "0 LATE-ON-LAN1 10.61.0.21\n"
            "1 TWIN-ON-LAN2-LAN3 10.62.0.22\n"
            "2 UNICAST-ON-LAN3 10.63.0.23\n"
            "3 EARLY-ON-LAN4 10.64.0.24\n"
            "3 EXTENDED-ON-LAN4 10.64.0.25\n");
  EXPECT_EQ(Describe(together), Describe(oneByOne));
}

}  // namespace
}  // namespace corvane::protocol
