// SPDX-License-Identifier: GPL-3.0-or-later
// Drive letters and web pages through the command line, against real Samba and web servers in
// the lab (tests/platform/lab/shares.json), real GVfs mounts and real files, inside a desktop
// session of the test's own. The commands run in-process with a scripted terminal.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <future>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "cli_run.h"
#include "share_lab.h"
#include "support/lab_support.h"

namespace {

namespace fs = std::filesystem;
using corvane::cli::testing::CliRun;
using corvane::cli::testing::Describe;
using corvane::cli::testing::RunInProcess;
using corvane::lab::Environment;
using nlohmann::json;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using Clock = std::chrono::steady_clock;

constexpr char kAlder[] = "192.168.50.21";    // web page; guest shares HDD_a, public; private
constexpr char kBirch[] = "192.168.50.22";    // no web server
constexpr char kHang[] = "192.168.50.23";     // takes connections on 445 and 80, never answers
constexpr char kCrooked[] = "192.168.50.24";  // calls itself NAS-ALDER\private

json Drives() {
  const CliRun run = RunInProcess({"drives", "--json"});
  EXPECT_EQ(run.status, 0) << Describe(run);
  return json::parse(run.out, nullptr, false);
}

// What "drives --json" says of one letter; null when it is not mapped.
json Drive(const std::string& letter) {
  for (const json& drive : Drives()) {
    if (drive.value("letter", "") == letter) return drive;
  }
  return nullptr;
}

class SharesCommands : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(corvane::lab::InDesktopSession()); }
};

// First in this file: the browser's registration is read once per process.
TEST(WebCommand, OpensTheDefaultBrowserOrElseXdgOpenOnlyForAnAnsweringDevice) {
  const fs::path bin = fs::path(Environment("CORVANE_SESSION_DIR")) / "bin";
  fs::create_directories(bin);
  for (const char* name : {"browser", "xdg-open"}) {
    const fs::path program = bin / name;
    std::ofstream(program)
        << "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.args\"\n";
    fs::permissions(program, fs::perms::owner_all);
  }
  fs::create_directories(Environment("XDG_DATA_HOME") + "/applications");
  std::ofstream(Environment("XDG_DATA_HOME") + "/applications/corvane-test-browser.desktop")
      << "[Desktop Entry]\nType=Application\nName=Test browser\nExec=" << (bin / "browser").string()
      << " --new-window %u\nMimeType=x-scheme-handler/http;\n";
  std::ofstream(Environment("XDG_CONFIG_HOME") + "/mimeapps.list")
      << "[Default Applications]\nx-scheme-handler/http=corvane-test-browser.desktop\n";
  ::setenv("PATH", (bin.string() + ":" + Environment("PATH")).c_str(), 1);
  const auto argumentsOf = [&](const char* name) {
    const fs::path record = bin / (std::string(name) + ".args");
    for (int i = 0; i < 500 && !fs::exists(record); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return corvane::lab::ReadWholeFile(record.string());
  };

  CliRun run = RunInProcess({"web", kAlder});
  EXPECT_EQ(run.status, 0) << Describe(run);
  EXPECT_EQ(run.out, "Opened http://192.168.50.21 in corvane-test-browser.desktop\n");
  EXPECT_EQ(argumentsOf("browser"), "--new-window\nhttp://192.168.50.21\n");

  fs::permissions(bin / "browser", fs::perms::owner_read);
  run = RunInProcess({"web", kAlder});
  EXPECT_EQ(run.status, 0) << Describe(run);
  EXPECT_EQ(run.out, "Opened http://192.168.50.21 with xdg-open\n");
  EXPECT_EQ(argumentsOf("xdg-open"), "http://192.168.50.21\n");

  fs::remove(bin / "xdg-open.args");
  run = RunInProcess({"web", kBirch});
  EXPECT_EQ(run.status, 1) << Describe(run);
  EXPECT_EQ(run.err,
            "corvane: Device is no longer available: nothing answers at http://192.168.50.22\n");
  EXPECT_FALSE(fs::exists(bin / "xdg-open.args"));
}

TEST_F(SharesCommands, MountByAddressOrNameThenRemapAndUnmountOnceNothingIsOpen) {
  CliRun run = RunInProcess({"mount", kAlder, "HDD_a", "--drive", "z"});
  ASSERT_EQ(run.status, 0) << Describe(run);
  EXPECT_THAT(run.out, StartsWith("Successfully mapped drive.\n"));
  json drive = Drive("Z");
  ASSERT_TRUE(drive.is_object()) << Drives();
  EXPECT_EQ(drive["remote"], "\\\\192.168.50.21\\HDD_a");
  EXPECT_EQ(corvane::lab::ReadWholeFile(drive["path"].get<std::string>() + "/public.txt"),
            "on the share\n");

  // By name onto the same letter: the old mapping goes, the name stays as the device gave it.
  ASSERT_TRUE(corvane::lab::WaitForNetbiosName("NAS-ALDER"));
  run = RunInProcess({"mount", kAlder, "public", "--drive", "Z", "--by-name"});
  ASSERT_EQ(run.status, 0) << Describe(run);
  drive = Drive("Z");
  EXPECT_EQ(drive["remote"], "\\\\NAS-ALDER\\public");
  const std::string document = drive["path"].get<std::string>() + "/letter.txt";
  {
    std::ofstream open(document);
    open << "unsaved";
    open.flush();
    run = RunInProcess({"unmount", "Z"});
    EXPECT_EQ(run.status, 1) << Describe(run);
    EXPECT_EQ(run.err,
              "corvane: Unmount Disk Fail! Files are open on Z:, or a program works in one of "
              "its folders.\n");
  }
  EXPECT_EQ(
      corvane::lab::ReadWholeFile(corvane::lab::ShareFolder("alder", "public") + "/letter.txt"),
      "unsaved");
  run = RunInProcess({"unmount", "Z"});
  EXPECT_EQ(run.status, 0) << Describe(run);
  EXPECT_EQ(run.out, "Unmount Disk OK!\n");
  EXPECT_TRUE(Drive("Z").is_null());
  run = RunInProcess({"unmount", "Z"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "corvane: Unmount Disk Fail! Z: is not mapped.\n");
}

TEST_F(SharesCommands, AShareThatNeedsALoginTakesTheUserAndThePromptedPassword) {
  CliRun run = RunInProcess({"mount", kAlder, "private", "--drive", "X"});
  EXPECT_EQ(run.status, 1) << Describe(run);
  EXPECT_EQ(run.err,
            "corvane: Failed to map drive. The share needs a user and password (--user).\n");
  run = RunInProcess({"mount", kAlder, "private", "--drive", "X", "--user", "labuser"},
                     {"lab-secret"});
  ASSERT_EQ(run.status, 0) << Describe(run);
  EXPECT_EQ(run.prompts,
            (std::vector<std::string>{"Password for labuser on \\\\192.168.50.21\\private: "}));
  EXPECT_EQ(RunInProcess({"unmount", "X"}).status, 0);

  // From a file only its owner may read; the password is then nowhere in what Corvane wrote:
  // its output, its record of the letters, anything else in the home folder.
  const fs::path passwordFile = fs::temp_directory_path() / "corvane-share-password";
  std::ofstream(passwordFile) << "lab-secret\n";
  fs::permissions(passwordFile, fs::perms::owner_read | fs::perms::owner_write);
  run = RunInProcess({"mount", kAlder, "private", "--drive", "X", "--user", "labuser",
                      "--password-file", passwordFile.string()});
  fs::remove(passwordFile);
  ASSERT_EQ(run.status, 0) << Describe(run);
  EXPECT_TRUE(run.prompts.empty());
  EXPECT_THAT(run.out + run.err, ::testing::Not(HasSubstr("lab-secret")));
  ASSERT_TRUE(fs::exists(Environment("XDG_STATE_HOME") + "/corvane/letters"));
  for (const auto& entry : fs::recursive_directory_iterator(Environment("HOME"))) {
    if (!entry.is_regular_file()) continue;
    EXPECT_EQ(corvane::lab::ReadWholeFile(entry.path()).find("lab-secret"), std::string::npos)
        << entry.path();
  }
  EXPECT_EQ(RunInProcess({"unmount", "X"}).status, 0);
}

// The session's GVfs FUSE server: the one serving this session's runtime folder.
pid_t FolderServer() {
  const std::string folder = Environment("XDG_RUNTIME_DIR") + "/gvfs";
  for (const auto& entry : fs::directory_iterator("/proc")) {
    std::string line = corvane::lab::ReadWholeFile(entry.path() / "cmdline");
    std::replace(line.begin(), line.end(), '\0', ' ');
    if (line.find("gvfsd-fuse") != std::string::npos && line.find(folder) != std::string::npos) {
      return static_cast<pid_t>(std::atoi(entry.path().filename().c_str()));
    }
  }
  return 0;
}

// With GVfs's FUSE server stopped, every look into a share's folder would hang: what is mapped
// comes from GIO's list of mounts instead, and the unmount's wait for the folder is bounded.
TEST_F(SharesCommands, DrivesAndUnmountAnswerWhileTheFolderServerIsStopped) {
  ASSERT_EQ(RunInProcess({"mount", kAlder, "public", "--drive", "S"}).status, 0);
  const pid_t server = FolderServer();
  ASSERT_GT(server, 0);
  ::kill(server, SIGSTOP);
  auto stopped = std::async(std::launch::async, [] {
    CliRun drives = RunInProcess({"drives"});
    return std::pair(std::move(drives), RunInProcess({"unmount", "S"}));
  });
  const bool ended = stopped.wait_for(std::chrono::seconds(40)) == std::future_status::ready;
  ::kill(server, SIGCONT);
  ASSERT_TRUE(ended) << "hangs while the folder server is stopped";
  const auto [drives, unmount] = stopped.get();
  EXPECT_THAT(drives.out, HasSubstr("\\\\192.168.50.21\\public")) << Describe(drives);
  EXPECT_EQ(unmount.status, 0) << Describe(unmount);
  EXPECT_TRUE(Drive("S").is_null());
}

TEST_F(SharesCommands, CrookedNamesGoneAndSilentDevicesFailWithinTheirBounds) {
  CliRun run = RunInProcess({"mount", kCrooked, "HDD_a", "--drive", "W", "--by-name"});
  EXPECT_EQ(run.status, 1) << Describe(run);
  EXPECT_EQ(run.err,
            "corvane: Failed to map drive. The device's name NAS-ALDER\\private cannot name a "
            "share.\n");
  run = RunInProcess({"mount", kBirch, "HDD_1", "--drive", "W"});
  EXPECT_EQ(run.status, 1) << Describe(run);
  EXPECT_THAT(run.err, HasSubstr("Device is no longer available"));
  EXPECT_EQ(RunInProcess({"mount", "192.168.50.99", "HDD_a", "--drive", "W"}).status, 3);

  const auto start = Clock::now();
  run = RunInProcess({"mount", kHang, "HDD_a", "--drive", "W"});
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  std::cout << "[measure] mount of a silent server given up after " << seconds << " s\n";
  EXPECT_EQ(run.status, 1) << Describe(run);
  EXPECT_EQ(run.err, "corvane: Failed to map drive. The device did not answer in time.\n");
  EXPECT_LT(seconds, 25) << "does not hang";
  EXPECT_TRUE(Drive("W").is_null());
}

}  // namespace
