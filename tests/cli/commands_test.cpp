// SPDX-License-Identifier: GPL-3.0-or-later
// Commands run in-process up to the point where they would use the network: everything here is
// answered or refused before a socket is opened.
#include "cli/commands.h"

#include <stdlib.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "cli/command_line.h"
#include "cli/language_output.h"
#include "cli_run.h"

namespace corvane::cli {
namespace {

using testing::Describe;
using ::testing::HasSubstr;
using testing::RunInProcess;

TEST(Commands, HelpVersionAndUsageErrors) {
  const testing::CliRun version = RunInProcess({"--version"});
  EXPECT_EQ(version.status, kExitOk);
  EXPECT_EQ(version.out, "corvane " CORVANE_VERSION "\n");

  const testing::CliRun help = RunInProcess({"set-names", "--help"});
  EXPECT_EQ(help.status, kExitOk);
  EXPECT_THAT(help.out, ::testing::StartsWith("Usage: corvane set-names"));

  const testing::CliRun none = RunInProcess({});
  EXPECT_EQ(none.status, kExitUsage);
  EXPECT_EQ(none.err, "corvane: no command given\nTry 'corvane --help'.\n");
  const testing::CliRun bad = RunInProcess({"info", "nas1"});
  EXPECT_EQ(bad.status, kExitUsage);
  EXPECT_EQ(bad.err,
            "corvane: not a device address (four numbers 0-255 separated by dots): nas1\n"
            "Try 'corvane info --help'.\n");
}

TEST(Commands, InputIsRefusedBeforeAnythingIsSentOrAsked) {
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {{"set-static", "10.0.0.5", "--ip", "", "--netmask", "255.0.0.0", "--gateway", "10.0.0.1"},
       "corvane: Please input IP address!\n"},
      {{"set-static", "10.0.0.5", "--ip", "10.0.0.6", "--netmask", "255.0.0.0", "--gateway",
        "10.0.0.x"},
       "corvane: --gateway: not a dotted address (four numbers separated by dots): 10.0.0.x\n"},
      {{"set-dhcp", "10.0.0.5", "--password", std::string(17, 'p')},
       "corvane: the administrator password can hold at most 16 characters\n"},
      {{"mount", "10.0.0.5", "HDD_a", "--drive", "Z", "--user", std::string(17, 'u')},
       "corvane: a share's user name and password hold at most 16 characters each\n"},
      {{"set-names", "10.0.0.5", "--host-name", "NAS", "--workgroup", "MY.GROUP"},
       "corvane: The Workgroup format is not correct. Can not include \\ /:*?\"< >|.;+=~'[ ]{} "
       ",\n"},
      {{"set-language", "10.0.0.5", "Klingon"},
       "corvane: unknown language \"Klingon\"; 'corvane set-language --list' prints the six\n"},
  };
  for (const Case& c : cases) {
    const testing::CliRun run = RunInProcess(c.args, {"secret"});
    EXPECT_EQ(run.status, kExitUsage) << Describe(run);
    EXPECT_EQ(run.err, c.message);
    EXPECT_TRUE(run.prompts.empty());
    EXPECT_EQ(run.out, "");
  }
}

#if !defined(_WIN32)  // Windows' own mapped drives need no session bus
TEST(Commands, DriveLettersWithoutASessionBusSayWhatIsMissing) {
  ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"drives"}, {"mount", "10.0.0.5", "HDD_a", "--drive", "Z"}, {"unmount", "Z"}}) {
    const testing::CliRun run = RunInProcess(args);
    EXPECT_EQ(run.status, kExitDeviceFailed) << Describe(run);
    EXPECT_EQ(run.err,
              "corvane: drive letters need a D-Bus session bus, and there is none here "
              "(DBUS_SESSION_BUS_ADDRESS is not set)\n");
    EXPECT_EQ(run.out, "");
  }
}
#endif

TEST(Commands, PayloadsTakeTheirArgumentsAndTheConsole) {
  const testing::CliRun list = RunInProcess({"payloads"});
  EXPECT_EQ(list.status, kExitOk) << Describe(list);
  EXPECT_THAT(list.out, HasSubstr("codepage.850"));
  const testing::CliRun bad = RunInProcess({"payloads", "--bogus"});
  EXPECT_EQ(bad.status, kExitUsage);
  EXPECT_FALSE(bad.err.empty());
}

TEST(Commands, SetLanguageListsTheSixAndShowsTheRestartWait) {
  const testing::CliRun list = RunInProcess({"set-language", "--list"});
  EXPECT_EQ(list.status, kExitOk);
  EXPECT_EQ(list.out,
            "950  Traditional Chinese\n936  Simplified Chinese\n850  Western European\n"
            "932  Japanese SJIS\n949  Korean Hangul\n866  Cyrillic\n");

  std::chrono::milliseconds slept{0};
  const Sleeper sleep = [&](std::chrono::milliseconds duration) { slept += duration; };
  std::ostringstream lines;
  ShowRestartWait(lines, false, sleep);
  EXPECT_EQ(slept, kRestartWait);
  const std::string text = lines.str();
  EXPECT_THAT(text, ::testing::StartsWith("The device is restarting: 10 s of 90 s\n"));
  EXPECT_THAT(text, ::testing::EndsWith("The device is restarting: 90 s of 90 s\n"));
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 9);

  std::ostringstream bar;
  ShowRestartWait(bar, true, sleep, std::chrono::seconds(3));
  EXPECT_EQ(bar.str(),
            "\rThe device is restarting [..............................] 0 s of 3 s"
            "\rThe device is restarting [##########....................] 1 s of 3 s"
            "\rThe device is restarting [####################..........] 2 s of 3 s"
            "\rThe device is restarting [##############################] 3 s of 3 s\n");
}

TEST(RunProcess, TakesTheArgumentsAfterTheProgramNameAndFailsOnLostOutput) {
  std::ostringstream out;
  std::ostringstream err;
  Console console{out, err, nullptr};
  const char* argv[] = {"corvane", "--version"};
  EXPECT_EQ(RunProcess(2, argv, console), kExitOk);
  EXPECT_EQ(out.str(), "corvane " CORVANE_VERSION "\n");

  out.setstate(std::ios::badbit);  // a closed pipe or a full disk
  EXPECT_EQ(RunProcess(2, argv, console), 1);
}

}  // namespace
}  // namespace corvane::cli
