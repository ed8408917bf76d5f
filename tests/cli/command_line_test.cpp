// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/command_line.h"

#include <gtest/gtest.h>

namespace corvane::cli {
namespace {

ParseOutcome Parse(std::vector<std::string> args) {
  return ParseCommandLine(args);
}

TEST(ParseCommandLine, ReadsEveryCommandWithItsOptions) {
  const ParseOutcome search = Parse({"search", "--json", "--verbose"});
  ASSERT_TRUE(search.ok()) << search.error;
  EXPECT_EQ(search.commandLine.command, Command::kSearch);
  EXPECT_TRUE(search.commandLine.json);
  EXPECT_TRUE(search.commandLine.verbose);

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

  const ParseOutcome dhcp = Parse({"set-dhcp", "1.2.3.4"});
  ASSERT_TRUE(dhcp.ok()) << dhcp.error;
  EXPECT_FALSE(dhcp.commandLine.password.has_value());
}

TEST(ParseCommandLine, DeviceAddressIsNormalisedToDottedDecimal) {
  EXPECT_EQ(Parse({"info", "0xC0.0250.1.10"}).commandLine.address, "192.168.1.10");
  EXPECT_EQ(Parse({"info", "10.1"}).commandLine.address, "10.0.0.1");
  EXPECT_FALSE(Parse({"info", "192.168.1.256"}).ok());
  EXPECT_FALSE(Parse({"info", "nas1"}).ok());
  EXPECT_FALSE(Parse({"info", ""}).ok());
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

TEST(ParseCommandLine, SetLanguageTakesAnAddressAndALanguageOrJustTheList) {
  const ParseOutcome set = Parse({"set-language", "--no-wait", "1.2.3.4", "Western European"});
  ASSERT_TRUE(set.ok()) << set.error;
  EXPECT_EQ(set.commandLine.command, Command::kSetLanguage);
  EXPECT_EQ(set.commandLine.address, "1.2.3.4");
  EXPECT_EQ(set.commandLine.language, "Western European");
  EXPECT_TRUE(set.commandLine.noWait);
  EXPECT_TRUE(Parse({"set-language", "--list"}).commandLine.list);

  EXPECT_EQ(Parse({"set-language", "1.2.3.4"}).error,
            "set-language needs the ADDRESS of a device and a LANGUAGE");
  EXPECT_EQ(Parse({"set-language", "1.2.3.4", "866", "x"}).error, "unexpected argument x");
  EXPECT_EQ(Parse({"set-language", "--list", "1.2.3.4"}).error, "unexpected argument 1.2.3.4");
  EXPECT_EQ(Parse({"set-language", "cyrillic", "1.2.3.4"}).error, "not an IPv4 address: cyrillic");
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
  for (const Command command : {Command::kSearch, Command::kInfo, Command::kSetDhcp,
                                Command::kSetStatic, Command::kSetNames, Command::kSetLanguage}) {
    const std::string usage = "Usage: corvane " + std::string(CommandName(command));
    EXPECT_EQ(HelpText(command).rfind(usage, 0), 0u) << CommandName(command);
  }
  const std::string overview = HelpText(Command::kNone);
  for (const char* name :
       {"search", "info", "set-dhcp", "set-static", "set-names", "set-language", "payloads"}) {
    EXPECT_NE(overview.find(std::string("  ") + name), std::string::npos) << name;
  }
}

}  // namespace
}  // namespace corvane::cli
