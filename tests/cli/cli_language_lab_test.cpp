// SPDX-License-Identifier: GPL-3.0-or-later
// corvane set-language against the devices of tests/language/lab/language.json, with real
// Samba shares, run in-process; the restart wait sleeps through the console's injected sleep.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli_run.h"
#include "support/lab_support.h"

namespace corvane::cli {
namespace {

using testing::CliRun;
using testing::Describe;
using ::testing::HasSubstr;

CliRun SetLanguage(const std::vector<std::string>& args, std::chrono::milliseconds* slept) {
  std::ostringstream out;
  std::ostringstream err;
  Console console{out, err, {}};
  console.sleep = [slept](std::chrono::milliseconds duration) { *slept += duration; };
  std::vector<std::string> line = {"set-language"};
  line.insert(line.end(), args.begin(), args.end());
  CliRun run;
  run.status = RunCorvane(line, console);
  run.out = out.str();
  run.err = err.str();
  return run;
}

class CliLanguageLab : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_TRUE(lab::ResetDevices()); }
  std::chrono::milliseconds slept_{0};
};

TEST_F(CliLanguageLab, InstallsPrintsEachFileWaitsForTheRestartAndFindsTheDeviceAgain) {
  const CliRun run = SetLanguage({"192.168.50.31", "japanese sjis"}, &slept_);
  ASSERT_EQ(run.status, kExitOk) << Describe(run);
  const std::string dir = "\\\\192.168.50.31\\HDD_a\\.codepages\\";
  std::string files;
  for (const char* name :
       {"codepage.932", "nls_cp932.o", "nls_euc-jp.o", "nls_sjis.o", "unicode_map.932"}) {
    files += "wrote " + dir + name;
  }
  std::string printed;
  std::istringstream lines(run.out);
  for (std::string text; std::getline(lines, text);) {
    if (text.rfind("wrote ", 0) == 0) printed += text.substr(0, text.find(" ("));
  }
  EXPECT_EQ(printed, files);
  EXPECT_THAT(run.out, HasSubstr("Codepage 932 sent; the device restarts.\n"));
  EXPECT_THAT(run.out, HasSubstr("The device is restarting: 90 s of 90 s\n"));
  EXPECT_THAT(run.out, HasSubstr("NAS-CEDAR now answers at 192.168.50.31"));
  EXPECT_EQ(slept_, std::chrono::seconds(90));
}

TEST_F(CliLanguageLab, EachRefusalHasItsMessageAndStatus) {
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string err;
  };
  const std::vector<Case> cases = {
      {{"192.168.50.33", "850"},
       kExitDeviceFailed,
       "corvane: Please check hard drives.\ncorvane: could not write "
       "\\\\192.168.50.33\\HDD_a\\.codepages\\codepage.850: No such file or directory\n"},
      {{"192.168.50.36", "850"},
       kExitDeviceFailed,
       "corvane: No hard drives were detected. Please verify that the hard drives are properly "
       "connected before continuing.\n"},
      {{"192.168.50.37", "850"},
       kExitDeviceFailed,
       "corvane: Please format hard drive.\ncorvane: format the disk on the device's web page, "
       "http://192.168.50.37\n"},
      {{"192.168.50.99", "850"}, kExitNotFound, "corvane: no device answered at 192.168.50.99\n"},
  };
  for (const Case& c : cases) {
    const CliRun run = SetLanguage(c.args, &slept_);
    EXPECT_EQ(run.status, c.status) << Describe(run);
    EXPECT_EQ(run.err, c.err);
  }
  EXPECT_EQ(slept_.count(), 0);
}

}  // namespace
}  // namespace corvane::cli
