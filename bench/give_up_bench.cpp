// SPDX-License-Identifier: GPL-3.0-or-later
// How long a language installation takes to give up when the device's file server cannot be
// reached: a server that takes the connection and never answers (the device's own address in
// tools/lab/configs/bench-give-up.json, whose port 445 stalls), and a host that does not exist
// (the files addressed to a free address while the requests still go to the device). The
// installer ends with "stop" either way; the time runs from the first request to that answer.
//   give_up_bench DEVICE_ADDRESS ABSENT_ADDRESS RUNS
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "operations/codepage_install.h"
#include "operations/testing/unattended_interaction.h"
#include "platform/smb_files.h"
#include "protocol/session.h"

namespace {

using namespace corvane;
using Clock = std::chrono::steady_clock;

constexpr int kCyrillic = 5;

struct Figures {
  std::vector<double> seconds;
  int stops = 0;  // runs that ended with the device's confirmation of "stop"
};

Figures Measure(protocol::Session& session, const std::string& host, int runs) {
  Figures figures;
  operations::testing::UnattendedInteraction user;
  for (int run = 0; run < runs; ++run) {
    const auto smb = platform::MakeSmbFiles();
    const Clock::time_point start = Clock::now();
    const operations::InstallResult result =
        operations::InstallCodepageFiles(session, *smb, kCyrillic, host, user);
    figures.seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    figures.stops += result.stopConfirmed ? 1 : 0;
  }
  std::sort(figures.seconds.begin(), figures.seconds.end());
  return figures;
}

void Print(const char* what, const Figures& figures) {
  std::printf("| %-40s | %8.1f | %8.1f | %5d of %-3zu |\n", what,
              figures.seconds[figures.seconds.size() / 2], figures.seconds.back(), figures.stops,
              figures.seconds.size());
}

}  // namespace

int main(int argc, char** argv) {
  const std::string device = argc > 1 ? argv[1] : "192.168.50.51";
  const std::string absent = argc > 2 ? argv[2] : "192.168.50.99";
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;

  protocol::Session session;
  session.SetTraceSink([](std::string_view) {});
  session.OpenTransport();
  session.SearchDevices(protocol::kSearchFilter, protocol::kSearchFilter);
  session.SelectedAddress.Set(device);
  if (session.DeviceTable.FindDeviceByAddress(device) == nullptr) {
    std::fprintf(stderr, "give_up_bench: no device answers at %s\n", device.c_str());
    return 1;
  }
  std::printf("| %-40s | %8s | %8s | %-10s |\n", "files addressed to", "median s", "max s",
              "stop sent");
  std::printf("|------------------------------------------|----------|----------|------------|\n");
  Print("a server that accepts and never answers", Measure(session, device, runs));
  Print("a host that does not exist", Measure(session, absent, runs));
  return 0;
}
