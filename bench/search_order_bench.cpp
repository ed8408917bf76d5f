// SPDX-License-Identifier: GPL-3.0-or-later
// Wall time of a search that serves every interface at once against the one-after-another
// search it replaced, taken in turns on the same sockets, against whatever devices the lab
// around it simulates. Prints one table row: interfaces, devices found each way, median times
// and how many times faster serving all at once is.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/local_interfaces.h"
#include "protocol/client_id.h"
#include "protocol/exchange.h"
#include "protocol/socket_exchange_io.h"
#include "protocol/testing/search_one_at_a_time.h"
#include "protocol/udp_transport.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace protocol = corvane::protocol;

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

template <typename Search>
double TimeSearch(const Search& search, protocol::DeviceRecordList& table) {
  const Clock::time_point start = Clock::now();
  search(table);
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Devices on one interface answer in no fixed order, so the two searches are compared by which
// device each lists on which interface; the order itself is for the replay tests to prove.
std::vector<std::string> Listed(const protocol::DeviceRecordList& table) {
  std::vector<std::string> rows;
  for (const auto& r : table) rows.push_back(std::to_string(r.interfaceIndex) + r.address.str());
  std::sort(rows.begin(), rows.end());
  return rows;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string label = argc > 1 ? argv[1] : "?";
  const int runs = argc > 2 ? std::atoi(argv[2]) : 5;

  const std::vector<corvane::platform::LocalInterface> interfaces =
      corvane::platform::ListLocalInterfaces();
  protocol::UdpTransport transport;
  for (const auto& problem : transport.Open(interfaces)) {
    std::fprintf(stderr, "%s\n", problem.message.c_str());
  }
  protocol::SocketExchangeIo io(transport);
  const protocol::ClientIdBytes clientId = protocol::DrawClientId();
  const int count = static_cast<int>(std::min<std::size_t>(interfaces.size(), 8));
  const int filter = protocol::kSearchFilter;

  protocol::DeviceRecordList together;
  protocol::DeviceRecordList oneByOne;
  std::vector<double> togetherTimes;
  std::vector<double> oneByOneTimes;
  int differences = 0;
  for (int run = 0; run < runs; ++run) {
    togetherTimes.push_back(TimeSearch(
        [&](auto& table) { protocol::RunSearch(io, count, clientId, filter, filter, table); },
        together));
    oneByOneTimes.push_back(TimeSearch(
        [&](auto& table) {
          protocol::testing::RunSearchOneInterfaceAtATime(io, count, clientId, filter, filter,
                                                          table);
        },
        oneByOne));
    if (Listed(together) != Listed(oneByOne)) ++differences;
  }

  const double togetherMedian = Median(togetherTimes);
  const double oneByOneMedian = Median(oneByOneTimes);
  std::printf("| %-10s | %8d | %10d | %12.0f | %12.0f | %14.0f | %8.2f | %11d |\n", label.c_str(),
              together.count(), oneByOne.count(), togetherMedian,
              *std::max_element(togetherTimes.begin(), togetherTimes.end()), oneByOneMedian,
              togetherMedian > 0 ? oneByOneMedian / togetherMedian : 0.0, differences);
  return differences == 0 ? 0 : 1;
}
