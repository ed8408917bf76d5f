// SPDX-License-Identifier: GPL-3.0-or-later
// set-dhcp and set-static: the LAN settings of a device, after the administrator password.

#include "cli/command_interaction.h"
#include "cli/command_table.h"
#include "cli/device_run.h"
#include "cli/input_checks.h"
#include "operations/lan_settings.h"
#include "platform/translation.h"

namespace corvane::cli {

namespace {

using operations::Whereabouts;

constexpr std::string_view kVerboseStepsHelp =
    // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
    // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
    N_("  --verbose             print each step on standard error: the password tries\n"
       "                        (never the password) and the device's answers\n");

// The administrator password of --password or --password-file, read and checked before
// anything is sent; empty when it was refused (a usage error, already told).
std::optional<GivenPassword> TakeAdminPassword(const CommandLine& line, Console& console) {
  PasswordReading reading = ReadGivenPassword(line, console.in);
  if (!reading.refusal.empty()) {
    Fail(console, reading.refusal);
    return std::nullopt;
  }
  if (reading.given.password) {
    if (const std::optional<std::string> refusal = CheckPassword(reading.given.password->view())) {
      Fail(console, *refusal);
      return std::nullopt;
    }
  }
  return std::move(reading.given);
}

int RunSetDhcp(const CommandLine& line, Console& console) {
  std::optional<GivenPassword> given = TakeAdminPassword(line, console);
  if (!given) return kExitUsage;
  DeviceRun run(line, console);
  if (const auto status = run.SearchAndSelect(line.address)) return *status;
  CommandInteraction interaction(std::move(*given), line.address, console);
  const operations::LanResult result =
      operations::ChangeLanSettings(run.session(), operations::LanChange::kDhcp, interaction);
  run.TraceSteps(result, interaction.source());
  switch (result.outcome) {
    case operations::LanOutcome::kCredentialsRefused:
    case operations::LanOutcome::kCredentialsUnanswered:
      return interaction.CredentialsNotProven(result.credentials);
    case operations::LanOutcome::kDhcpDone:
      console.out << operations::MessageFor(result.outcome) << "\n";
      // Any reply to this run confirms a DHCP switch: only the new search tells whose it was.
      return run.ReportWhereNow(result.device, result.newAddress) ==
                     Whereabouts::kOtherDeviceAnswers
                 ? kExitDeviceFailed
                 : kExitOk;
    case operations::LanOutcome::kDhcpFailed:
    case operations::LanOutcome::kAddressSent:
      break;
  }
  Fail(console, operations::MessageFor(operations::LanOutcome::kDhcpFailed));
  return kExitDeviceFailed;
}

int RunSetStatic(const CommandLine& line, Console& console) {
  DeviceRun run(line, console);
  // Refused input costs no search: the checks come first.
  const operations::StaticAddressInput input = ReadStaticInput(line.ip, line.netmask, line.gateway);
  if (const auto refusal = operations::TakeStaticAddresses(run.session(), input)) {
    Fail(console, refusal->message);
    return kExitUsage;
  }
  std::optional<GivenPassword> given = TakeAdminPassword(line, console);
  if (!given) return kExitUsage;
  if (const auto status = run.SearchAndSelect(line.address)) return *status;
  const std::string newAddress = run.session().NewAddress.str();
  if (const protocol::DeviceRecord* holder =
          operations::AddressHeldByAnother(run.session(), newAddress)) {
    // TRANSLATORS: %1$s is the new address, %2$s the name of the device that has it.
    Fail(console, platform::Fill(platform::Tr("%1$s is the address of another device that "
                                              "answers (%2$s); choose a free address"),
                                 {newAddress, holder->name.view()}));
    return kExitUsage;
  }
  CommandInteraction interaction(std::move(*given), line.address, console);
  const operations::LanResult result = operations::ChangeLanSettings(
      run.session(), operations::LanChange::kStaticAddress, interaction);
  run.TraceSteps(result, interaction.source());
  if (!result.credentials.Accepted()) return interaction.CredentialsNotProven(result.credentials);
  if (!result.confirmed) {
    // The device may have moved and lost the reply: the new search tells.
    Fail(console, platform::Fill(platform::Tr("the device did not confirm the new address %s"),
                                 {result.newAddress}));
  }
  switch (run.ReportWhereNow(result.device, result.newAddress)) {
    case Whereabouts::kAnswers:
      return kExitOk;
    case Whereabouts::kNoAnswer:
      return result.confirmed ? kExitOk : kExitDeviceFailed;
    case Whereabouts::kOtherDeviceAnswers:
      break;
  }
  return kExitDeviceFailed;
}

Option VerboseStepsOption() {
  return {"--verbose", &CommandLine::verbose, nullptr, false, kVerboseStepsHelp};
}

}  // namespace

std::vector<CommandSpec> LanCommands() {
  CommandSpec setDhcp;
  setDhcp.command = Command::kSetDhcp;
  setDhcp.name = "set-dhcp";
  // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
  // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
  setDhcp.summary = N_("  set-dhcp ADDRESS       make a device a DHCP client\n");
  setDhcp.usage =
      // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
      // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
      N_("Usage: corvane set-dhcp ADDRESS [--password-file FILE | --password P]\n"
         "                        [--verbose]\n"
         "Makes the device at ADDRESS a DHCP client, then searches again and tells\n"
         "where it answers now. The default administrator password is tried first;\n"
         "when the device refuses it, the password given is tried with the user admin\n"
         "(without one, it is asked for on a terminal).\n");
  setDhcp.takesAddress = true;
  setDhcp.options = {PasswordFileOption(), PasswordOption(), VerboseStepsOption()};
  setDhcp.run = RunSetDhcp;

  CommandSpec setStatic;
  setStatic.command = Command::kSetStatic;
  setStatic.name = "set-static";
  setStatic.summary =
      // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
      // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
      N_("  set-static ADDRESS     give a device a static address, netmask and gateway\n");
  setStatic.usage =
      // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
      // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
      N_("Usage: corvane set-static ADDRESS --ip A --netmask M --gateway G\n"
         "                          [--password-file FILE | --password P] [--verbose]\n"
         "Gives the device at ADDRESS the static address A with netmask M and gateway G.\n"
         "The last octet of A and G must be 1-254, G must lie in the subnet of A, and no\n"
         "other device may answer at A. The password is handled as for set-dhcp.\n");
  setStatic.takesAddress = true;
  setStatic.options = {{"--ip", nullptr, &CommandLine::ip, true, ""},
                       {"--netmask", nullptr, &CommandLine::netmask, true, ""},
                       {"--gateway", nullptr, &CommandLine::gateway, true, ""},
                       PasswordFileOption(),
                       PasswordOption(),
                       VerboseStepsOption()};
  setStatic.run = RunSetStatic;
  return {setDhcp, setStatic};
}

}  // namespace corvane::cli
