// SPDX-License-Identifier: GPL-3.0-or-later
// set-names: the host name and the workgroup of a device.

#include "operations/names.h"
#include "cli/command_interaction.h"
#include "cli/command_table.h"
#include "cli/device_run.h"
#include "platform/translation.h"

namespace corvane::cli {

namespace {

int RunSetNames(const CommandLine& line, Console& console) {
  const operations::NamesInput input{line.hostName.value_or(""), line.workgroup.value_or("")};
  // Both names are checked before either is sent, so a refused workgroup cannot leave a
  // half-applied change behind.
  if (const auto refusal = operations::CheckNamesBeforeSending(input)) {
    Fail(console, *refusal);
    return kExitUsage;
  }
  DeviceRun run(line, console);
  if (const auto status = run.SearchAndSelect(line.address)) return *status;
  CommandInteraction interaction({}, line.address, console);
  // Both go out whatever the first answer: a lost reply does not mean the device ignored it.
  const operations::NamesResult result = operations::ChangeNames(run.session(), input, interaction);
  if (!result.hostNameConfirmed) {
    Fail(console, platform::Tr("the device did not confirm the host name change"));
  }
  if (!result.workgroupConfirmed) {
    Fail(console, platform::Tr("the device did not confirm the workgroup change"));
  }
  console.out << platform::Tr("Host name and workgroup sent.") << "\n";
  run.ReportWhereNow(run.selected(), line.address);
  return result.hostNameConfirmed && result.workgroupConfirmed ? kExitOk : kExitDeviceFailed;
}

}  // namespace

std::vector<CommandSpec> NameCommands() {
  CommandSpec setNames;
  setNames.command = Command::kSetNames;
  setNames.name = "set-names";
  // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
  // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
  setNames.summary = N_("  set-names ADDRESS      change a device's host name and workgroup\n");
  setNames.usage =
      // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
      // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned;
      // the characters listed are those a name cannot hold.
      N_("Usage: corvane set-names ADDRESS --host-name H --workgroup W\n"
         "Changes the host name and the workgroup of the device at ADDRESS. Both are\n"
         "checked before anything is sent. A host name cannot hold any of\n"
         "  \\ / : * ? \" < > | . ; + = ~ ` ' [ ] { } @ # ( ) ! ^ $ % & , and blanks;\n"
         "a workgroup cannot hold \\ / : * ? \" < > | . ; + = ~ ` ' [ ] { } , and blanks.\n"
         "Each holds at most 31 characters.\n");
  setNames.takesAddress = true;
  setNames.options = {{"--host-name", nullptr, &CommandLine::hostName, true, ""},
                      {"--workgroup", nullptr, &CommandLine::workgroup, true, ""}};
  setNames.run = RunSetNames;
  return {setNames};
}

}  // namespace corvane::cli
