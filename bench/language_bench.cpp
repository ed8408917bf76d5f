// SPDX-License-Identifier: GPL-3.0-or-later
// The language installation with the most files (Cyrillic on a device of the HDD_1 layout)
// against a simulated device with a real Samba share: wall time of the whole installer, and
// the copy of its files by Corvane's SMB file service beside `smbclient put` of the same files
// onto the same share. Run in a lab (tools/lab/configs/bench-language.json) inside a desktop
// session, so that both clients read the same SMB client configuration.
//   language_bench ADDRESS RUNS
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "language/codepage_files.h"
#include "language/payload_catalogue.h"
#include "operations/codepage_install.h"
#include "operations/testing/unattended_interaction.h"
#include "platform/smb_files.h"
#include "protocol/session.h"

namespace {

namespace fs = std::filesystem;
using namespace corvane;
using Clock = std::chrono::steady_clock;

constexpr int kCyrillic = 5;
constexpr char kShare[] = "HDD_1";
constexpr char kFolder[] = ".systemfile/.codepages";

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

// Waits for every exchange and file and keeps how long each took: "rw", the share name, the
// files, the codepage.
class Unattended : public operations::testing::UnattendedInteraction {
 public:
  std::vector<double> exchanges;

 private:
  void WaitUntil(const std::function<bool()>& done) override {
    const Clock::time_point start = Clock::now();
    UnattendedInteraction::WaitUntil(done);
    exchanges.push_back(MillisecondsSince(start));
  }
};

struct File {
  std::string name;
  std::span<const std::uint8_t> bytes;
};

std::vector<File> CyrillicFiles() {
  std::vector<File> files;
  for (const int id : language::CodepageFileIds(kCyrillic, language::TargetLayout::kArmLinux26)) {
    const auto payload = language::LookUpPayload(id);
    files.push_back({std::string(payload->fileName), payload->bytes});
  }
  return files;
}

std::size_t TotalBytes(const std::vector<File>& files) {
  std::size_t total = 0;
  for (const File& file : files) total += file.bytes.size();
  return total;
}

// Writes the files through the service; false on any failure.
bool CopyWithCorvane(platform::SmbFiles& smb, const std::string& address,
                     const std::vector<File>& files) {
  bool ok = true;
  for (const File& file : files) {
    const std::string path =
        "\\\\" + address + "\\" + kShare + "\\.systemfile\\.codepages\\" + file.name;
    ok &= smb.WriteFile(path, file.bytes).error == 0;
  }
  return ok;
}

// One smbclient process that puts the files `rounds` times over one connection; its wall time.
double CopyWithSmbclient(const std::string& address, const std::string& localDir,
                         const std::vector<File>& files, int rounds, bool& ok) {
  std::string commands = std::string("cd ") + kFolder + "; lcd " + localDir;
  for (int round = 0; round < rounds; ++round) {
    for (const File& file : files) commands += "; put " + file.name;
  }
  const std::string conf = std::string(std::getenv("HOME")) + "/.smb/smb.conf";
  const std::string line =
      "smbclient -N -s '" + conf + "' //" + address + "/" + kShare + " -c '" + commands + "' 2>&1";
  const Clock::time_point start = Clock::now();
  FILE* pipe = popen(line.c_str(), "r");
  if (pipe == nullptr) {
    ok = false;
    return 0;
  }
  std::string output;
  char buffer[4096];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
  const bool done = pclose(pipe) == 0 && output.find("NT_STATUS") == std::string::npos;
  const double wall = MillisecondsSince(start);
  if (!done) std::fprintf(stderr, "smbclient: %s", output.c_str());
  ok &= done;
  return wall;
}

double MBs(std::size_t bytes, double ms) {
  return ms > 0 ? static_cast<double>(bytes) / 1e6 / (ms / 1000) : 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string address = argc > 1 ? argv[1] : "192.168.50.41";
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
  const std::vector<File> files = CyrillicFiles();
  const std::size_t bytes = TotalBytes(files);

  // The installer as the window and the command line run it (a fresh SMB client each time).
  protocol::Session session;
  session.SetTraceSink([](std::string_view) {});
  session.OpenTransport();
  session.SearchDevices(protocol::kSearchFilter, protocol::kSearchFilter);
  session.SelectedAddress.Set(address);
  Unattended user;
  std::vector<double> installs;
  std::vector<double> requests;
  int failures = 0;
  for (int run = 0; run < runs; ++run) {
    const auto smb = platform::MakeSmbFiles();
    user.exchanges.clear();
    const Clock::time_point start = Clock::now();
    const operations::InstallResult result =
        operations::InstallCodepageFiles(session, *smb, kCyrillic, address, user);
    installs.push_back(MillisecondsSince(start));
    failures += result.CopyFailed;
    if (user.exchanges.size() == files.size() + 3) {
      requests.push_back(user.exchanges[0] + user.exchanges[1] + user.exchanges.back());
    }
  }

  // The copy alone, against smbclient. Cold: a new client (its start, the connection, the
  // files). Connected: one more round of the files over a connection already open, for
  // smbclient the difference between a process that copies them kExtraRounds times more and
  // one that copies them once.
  constexpr int kExtraRounds = 10;
  const fs::path local = fs::temp_directory_path() / "corvane-language-bench";
  fs::create_directories(local);
  for (const File& file : files) {
    std::ofstream(local / file.name, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.bytes.data()),
               static_cast<std::streamsize>(file.bytes.size()));
  }
  std::vector<double> corvaneCold;
  std::vector<double> corvaneWarm;
  std::vector<double> smbclientOnce;
  std::vector<double> smbclientMore;
  bool ok = true;
  const auto warmService = platform::MakeSmbFiles();
  ok &= CopyWithCorvane(*warmService, address, files);  // opens the connection
  for (int run = 0; run < runs; ++run) {
    Clock::time_point start = Clock::now();
    const auto smb = platform::MakeSmbFiles();
    ok &= CopyWithCorvane(*smb, address, files);
    corvaneCold.push_back(MillisecondsSince(start));
    start = Clock::now();
    for (int round = 0; round < kExtraRounds; ++round) {
      ok &= CopyWithCorvane(*warmService, address, files);
    }
    corvaneWarm.push_back(MillisecondsSince(start) / kExtraRounds);
    smbclientOnce.push_back(CopyWithSmbclient(address, local.string(), files, 1, ok));
    smbclientMore.push_back(
        CopyWithSmbclient(address, local.string(), files, 1 + kExtraRounds, ok));
  }
  failures += ok ? 0 : 1;
  fs::remove_all(local);

  const double installMedian = Median(installs);
  std::printf("Installer, Cyrillic in the HDD_1 layout: %zu files, %zu bytes, %d runs\n",
              files.size(), bytes, runs);
  std::printf(
      "  wall time median %.1f ms, max %.1f ms; the three requests (\"rw\", share name,\n"
      "  codepage) take %.1f ms of it (median), the files the rest\n\n",
      installMedian, *std::max_element(installs.begin(), installs.end()), Median(requests));
  const double cold = Median(corvaneCold);
  const double warm = Median(corvaneWarm);
  const double otherCold = Median(smbclientOnce);
  const double otherWarm = std::max(0.0, (Median(smbclientMore) - otherCold) / kExtraRounds);
  std::printf("| %-36s | %19s | %19s | %9s |\n", "copy of the same files, median", "Corvane",
              "smbclient put", "ratio");
  std::printf(
      "|--------------------------------------|---------------------|"
      "---------------------|-----------|\n");
  const auto row = [bytes](const char* what, double ours, double theirs) {
    std::printf("| %-36s | %6.1f ms %4.1f MB/s | %6.1f ms %4.1f MB/s | %9.2f |\n", what, ours,
                MBs(bytes, ours), theirs, MBs(bytes, theirs), ours > 0 ? theirs / ours : 0);
  };
  row("new client: start, connect, files", cold, otherCold);
  row("connected: one round of the files", warm, otherWarm);
  std::printf("(ratio: Corvane's throughput over smbclient's; above 1 Corvane is faster)\n");
  std::printf("failures: %d\n", failures);
  return failures == 0 ? 0 : 1;
}
