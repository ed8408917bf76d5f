// SPDX-License-Identifier: GPL-3.0-or-later
// Wall time of a device search and of the two reads behind a click in the device list
// (workgroup, then share list), against whatever devices the lab around it simulates.
// Prints one table row: devices found, search time, click time.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "protocol/session.h"

namespace {

using Clock = std::chrono::steady_clock;
using corvane::protocol::Session;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double Max(const std::vector<double>& values) {
  return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

}  // namespace

int main(int argc, char** argv) {
  const std::string label = argc > 1 ? argv[1] : "?";
  const int searches = argc > 2 ? std::atoi(argv[2]) : 3;

  Session session;
  session.SetTraceSink([](std::string_view) {});
  session.OpenTransport();
  for (const auto& problem : session.TransportProblems()) {
    std::fprintf(stderr, "%s\n", problem.message.c_str());
  }

  std::vector<double> searchTimes;
  for (int i = 0; i < searches; ++i) {
    const Clock::time_point start = Clock::now();
    session.SearchDevices(corvane::protocol::kSearchFilter, corvane::protocol::kSearchFilter);
    searchTimes.push_back(MillisecondsSince(start));
  }

  std::vector<std::string> addresses;
  for (const auto& record : session.DeviceTable) addresses.push_back(record.address.str());

  std::vector<double> clickTimes;
  int failures = 0;
  for (const std::string& address : addresses) {
    session.SelectedAddress.Set(address);
    session.WorkgroupText.Clear();
    const Clock::time_point start = Clock::now();
    const int workgroup = session.ReadWorkgroup();
    const int shares = session.ReadShareList();
    clickTimes.push_back(MillisecondsSince(start));
    if (workgroup == 0 || shares == 0) ++failures;
  }

  std::printf("| %-8s | %10d | %6d | %10.0f | %10.0f | %10.0f | %10.0f | %8d |\n", label.c_str(),
              session.InterfaceCount, session.DeviceTable.count(), Median(searchTimes),
              Max(searchTimes), Median(clickTimes), Max(clickTimes), failures);
  return failures == 0 ? 0 : 1;
}
