// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/command_line.h"

#include <gtest/gtest.h>

namespace corvane::cli {
namespace {

ParseOutcome Parse(std::vector<std::string> args) {
  return ParseCommandLine(args);
}

TEST(ParseCommandLine, ReadsEveryCommandWithItsOptions) {
  const ParseOutcome search = Parse({"search", "--json"});
  ASSERT_TRUE(search.ok()) << search.error;
  EXPECT_EQ(search.commandLine.command, Command::kSearch);
  EXPECT_TRUE(search.commandLine.json);

  const ParseOutcome info = Parse({"info", "192.168.50.21"});
  ASSERT_TRUE(info.ok()) << info.error;
  EXPECT_EQ(info.commandLine.command, Command::kInfo);
  EXPECT_EQ(info.commandLine.address, "192.168.50.21");
  EXPECT_FALSE(info.commandLine.json);

  const ParseOutcome staticChange =
      Parse({"set-static", "--ip", "10.0.0.5", "192.168.50.21", "--netmask=255.0.0.0", "--gateway",
             "10.0.0.1", "--password=se=cret"});
  ASSERT_TRUE(staticChange.ok()) << staticChange.error;
  const CommandLine& line = staticChange.commandLine;
  EXPECT_EQ(line.command, Command::kSetStatic);
  EXPECT_EQ(line.address, "192.168.50.21");
  EXPECT_EQ(line.ip, "10.0.0.5");
  EXPECT_EQ(line.netmask, "255.0.0.0");
  EXPECT_EQ(line.gateway, "10.0.0.1");
  EXPECT_EQ(line.password, "se=cret");

  const ParseOutcome names =
      Parse({"set-names", "1.2.3.4", "--host-name", "-dash", "--workgroup", ""});
  ASSERT_TRUE(names.ok()) << names.error;
  EXPECT_EQ(names.commandLine.hostName, "-dash");
  EXPECT_EQ(names.commandLine.workgroup, "");

  const ParseOutcome dhcp = Parse({"set-dhcp", "1.2.3.4", "--verbose", "--password-file", "-"});
  ASSERT_TRUE(dhcp.ok()) << dhcp.error;
  EXPECT_FALSE(dhcp.commandLine.password.has_value());
  EXPECT_EQ(dhcp.commandLine.passwordFile, "-");
  EXPECT_TRUE(dhcp.commandLine.verbose);
}

TEST(ParseCommandLine, AddressIsFourDecimalNumbersAsTheDeviceShowsIt) {
  EXPECT_EQ(Parse({"info", "192.168.1.10"}).commandLine.address, "192.168.1.10");
  EXPECT_TRUE(Parse({"info", "0.0.0.0"}).ok());
  for (const char* wrong : {".", "0x", "1..2", "4294967297", "08.1.1.1", "0xC0.0250.1.10", "10.1",
                            "192.168.1.256", "1.2.3.4.", "+1.2.3.4", "nas1", ""}) {
    EXPECT_EQ(Parse({"info", wrong}).error,
              std::string("not a device address (four numbers 0-255 separated by dots): ") + wrong);
  }
}

TEST(ParseCommandLine, RefusesMistakesWithAReason) {
  const std::vector<std::vector<std::string>> wrong = {
      {},
      {"serch"},
      {"info"},
      {"info", "1.2.3.4", "5.6.7.8"},
      {"search", "1.2.3.4"},
      {"search", "--password", "x"},
      {"set-dhcp", "1.2.3.4", "--json"},
      {"set-static", "1.2.3.4", "--ip"},
      {"set-static", "1.2.3.4", "--ip", "1.1.1.1", "--ip", "2.2.2.2"},
      {"search", "--json=yes"},
      {"set-names", "--host-name", "a", "--workgroup", "b"},
  };
  for (const auto& args : wrong) {
    const ParseOutcome outcome = ParseCommandLine(args);
    std::string joined;
    for (const auto& a : args) joined += a + " ";
    EXPECT_FALSE(outcome.ok()) << "accepted: " << joined;
    EXPECT_FALSE(outcome.commandLine.help) << joined;
  }
  EXPECT_EQ(Parse({"search", "--colour"}).error, "unknown option --colour for search");
  EXPECT_EQ(Parse({"set-static", "1.2.3.4", "--ip"}).error, "option --ip needs a value");
}

TEST(ParseCommandLine, MissingOptionsAreNamedAndVerboseOnlyWhereItPrints) {
  EXPECT_EQ(
      Parse({"set-static", "1.2.3.4", "--netmask", "255.0.0.0", "--gateway", "1.0.0.1"}).error,
      "--ip is required");
  EXPECT_EQ(Parse({"set-names", "1.2.3.4", "--host-name", "NAS"}).error, "--workgroup is required");
  EXPECT_EQ(Parse({"search", "--verbose"}).error, "unknown option --verbose for search");
  EXPECT_EQ(Parse({"set-names", "1.2.3.4", "--verbose"}).error,
            "unknown option --verbose for set-names");
}

TEST(ParseCommandLine, PasswordOptionsComeTogetherAndExcludeEachOther) {
  EXPECT_EQ(Parse({"set-dhcp", "1.2.3.4", "--password", "p", "--password-file", "f"}).error,
            "--password and --password-file cannot be used together");
  EXPECT_EQ(Parse({"info", "1.2.3.4", "--password-file", "f"}).error,
            "unknown option --password-file for info");
  const ParseOutcome file = Parse({"set-static", "1.2.3.4", "--ip=1.2.3.5", "--netmask=255.0.0.0",
                                   "--gateway=1.0.0.1", "--password-file=-h"});
  ASSERT_TRUE(file.ok()) << file.error;
  EXPECT_EQ(file.commandLine.passwordFile, "-h");
  EXPECT_FALSE(file.commandLine.help);
}

TEST(ParseCommandLine, ShareCommandsTakeALetterAShareAndALogin) {
  const ParseOutcome mount =
      Parse({"mount", "192.168.50.21", "HDD_a", "--drive", "z:", "--by-name", "--user", "labuser"});
  ASSERT_TRUE(mount.ok()) << mount.error;
  EXPECT_EQ(mount.commandLine.share, "HDD_a");
  EXPECT_EQ(mount.commandLine.drive, 'Z');
  EXPECT_TRUE(mount.commandLine.byName);
  EXPECT_EQ(mount.commandLine.user, "labuser");
  EXPECT_EQ(Parse({"unmount", "y"}).commandLine.drive, 'Y');
  EXPECT_EQ(Parse({"web", "192.168.1.10"}).commandLine.address, "192.168.1.10");
  EXPECT_TRUE(Parse({"drives", "--json"}).commandLine.json);

  EXPECT_EQ(Parse({"mount", "1.2.3.4", "HDD_a"}).error, "--drive is required");
  EXPECT_EQ(Parse({"mount", "1.2.3.4", "--drive", "Z"}).error, "mount needs the SHARE");
  EXPECT_EQ(Parse({"mount", "1.2.3.4", "HDD_a", "--drive", "C"}).error,
            "not a drive letter D-Z: C");
  EXPECT_EQ(Parse({"mount", "1.2.3.4", "a\\b", "--drive", "Z"}).error, "not a share name: a\\b");
  EXPECT_EQ(Parse({"mount", "1.2.3.4", "HDD_a", "--drive", "Z", "--password", "x"}).error,
            "--password needs --user");
  EXPECT_EQ(Parse({"mount", "1.2.3.4", "HDD_a", "--drive", "Z", "--password-file", "f"}).error,
            "--password-file needs --user");
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"mount", "1.2.3.4", "a/b", "--drive", "Z"},
                                             {"mount", "1.2.3.4", "", "--drive", "Z"},
                                             {"mount", "1.2.3.4", "HDD_a", "--drive", "ZZ"},
                                             {"unmount"},
                                             {"unmount", "A:"},
                                             {"unmount", "Z", "Y"},
                                             {"web"},
                                             {"drives", "Z"}}) {
    EXPECT_FALSE(Parse(args).ok()) << args.front() << " " << args.size();
  }
}

TEST(ParseCommandLine, SetLanguageTakesAnAddressAndALanguageOrJustTheList) {
  const ParseOutcome set = Parse({"set-language", "--no-wait", "1.2.3.4", "Western European"});
  ASSERT_TRUE(set.ok()) << set.error;
  EXPECT_EQ(set.commandLine.command, Command::kSetLanguage);
  EXPECT_EQ(set.commandLine.address, "1.2.3.4");
  EXPECT_EQ(set.commandLine.language, "Western European");
  EXPECT_TRUE(set.commandLine.noWait);
  EXPECT_TRUE(Parse({"set-language", "--list"}).commandLine.list);

  EXPECT_EQ(Parse({"set-language", "1.2.3.4"}).error, "set-language needs the LANGUAGE");
  EXPECT_EQ(Parse({"set-language", "1.2.3.4", "866", "x"}).error, "unexpected argument x");
  EXPECT_EQ(Parse({"set-language", "--list", "1.2.3.4"}).error, "unexpected argument 1.2.3.4");
  EXPECT_EQ(Parse({"set-language", "cyrillic", "1.2.3.4"}).error,
            "not a device address (four numbers 0-255 separated by dots): cyrillic");
}

TEST(ParseCommandLine, HelpWinsExceptAsTheValueOfAnOption) {
  EXPECT_TRUE(Parse({"--help"}).commandLine.help);
  EXPECT_TRUE(Parse({"-h"}).commandLine.help);
  const ParseOutcome commandHelp = Parse({"set-static", "--bogus", "--help"});
  EXPECT_TRUE(commandHelp.ok());
  EXPECT_TRUE(commandHelp.commandLine.help);
  EXPECT_EQ(commandHelp.commandLine.command, Command::kSetStatic);
  EXPECT_EQ(Parse({"help", "info"}).commandLine.command, Command::kInfo);

  const ParseOutcome password = Parse({"set-dhcp", "1.2.3.4", "--password", "-h"});
  ASSERT_TRUE(password.ok()) << password.error;
  EXPECT_FALSE(password.commandLine.help);
  EXPECT_EQ(password.commandLine.password, "-h");
}

TEST(ParseCommandLine, PayloadsGetsTheRestUntouched) {
  const ParseOutcome outcome = Parse({"payloads", "--help", "list", "-x"});
  ASSERT_TRUE(outcome.ok());
  EXPECT_EQ(outcome.commandLine.command, Command::kPayloads);
  EXPECT_FALSE(outcome.commandLine.help);
  EXPECT_EQ(outcome.commandLine.passThrough, (std::vector<std::string>{"--help", "list", "-x"}));
}

TEST(HelpText, EachCommandDescribesItsOwnUsage) {
  for (const Command command :
       {Command::kSearch, Command::kInfo, Command::kSetDhcp, Command::kSetStatic,
        Command::kSetNames, Command::kDrives, Command::kMount, Command::kUnmount, Command::kWeb,
        Command::kSetLanguage}) {
    const std::string usage = "Usage: corvane " + std::string(CommandName(command));
    EXPECT_EQ(HelpText(command).rfind(usage, 0), 0u) << CommandName(command);
  }
  const std::string overview = HelpText(Command::kNone);
  for (const char* name : {"search", "info", "set-dhcp", "set-static", "set-names", "drives",
                           "mount", "unmount", "web", "set-language", "payloads"}) {
    EXPECT_NE(overview.find(std::string("  ") + name), std::string::npos) << name;
  }
}

}  // namespace
}  // namespace corvane::cli
