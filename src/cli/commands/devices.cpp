// SPDX-License-Identifier: GPL-3.0-or-later
// search and info: the devices that answer, and one device with its workgroup and shares.

#include "cli/command_interaction.h"
#include "cli/command_table.h"
#include "cli/device_run.h"
#include "cli/output_format.h"
#include "operations/device_view.h"
#include "platform/translation.h"

namespace corvane::cli {

namespace {

int RunSearch(const CommandLine& line, Console& console) {
  DeviceRun run(line, console);
  // A script reading the JSON gets an empty list; the reason is on stderr.
  if (!run.Open()) {
    if (line.json) console.out << FormatDevicesJson({});
    return kExitDeviceFailed;
  }
  run.Search();
  const std::vector<DeviceView> views = operations::ListDevices(run.session());
  console.out << (line.json ? FormatDevicesJson(views) : FormatDeviceTable(views));
  return kExitOk;
}

int RunInfo(const CommandLine& line, Console& console) {
  DeviceRun run(line, console);
  if (const auto status = run.SearchAndSelect(line.address)) return *status;
  CommandInteraction interaction({}, line.address, console);
  const DeviceDetails details = operations::ShowDevice(run.session(), interaction);
  console.out << (line.json ? FormatDetailsJson(details) : FormatDetailsText(details));
  if (!details.workgroupRead) {
    Fail(console, platform::Tr("the device did not answer the workgroup request"));
  }
  if (!details.sharesRead) {
    Fail(console, platform::Tr("the device did not answer the share list request"));
  }
  return details.workgroupRead && details.sharesRead ? kExitOk : kExitDeviceFailed;
}

}  // namespace

std::vector<CommandSpec> DeviceCommands() {
  CommandSpec search;
  search.command = Command::kSearch;
  search.name = "search";
  // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
  // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
  search.summary = N_("  search                 list the devices that answer\n");
  search.usage =
      // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
      // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
      N_("Usage: corvane search [--json]\n"
         "Searches every local network interface for storage devices and lists them:\n"
         "name, IP address, netmask, gateway, DHCP client setting and the local interface\n"
         "that found them.\n");
  search.options = {
      {"--json", &CommandLine::json, nullptr, false,
       // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
       // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
       N_("  --json     print a JSON array of objects with the keys name, address,\n"
          "             netmask, gateway, dhcp (true or false) and interface\n")}};
  search.run = RunSearch;

  CommandSpec info;
  info.command = Command::kInfo;
  info.name = "info";
  // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
  // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
  info.summary = N_("  info ADDRESS           show one device with its workgroup and shares\n");
  info.usage =
      // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
      // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
      N_("Usage: corvane info ADDRESS [--json] [--verbose]\n"
         "Searches, then shows the device at ADDRESS with its workgroup and share names.\n");
  info.takesAddress = true;
  info.options = {
      {"--json", &CommandLine::json, nullptr, false,
       // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
       // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
       N_("  --json     print one JSON object: the keys of 'search --json' plus workgroup\n"
          "             and shares (an array of names)\n")},
      {"--verbose", &CommandLine::verbose, nullptr, false,
       // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
       // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
       N_("  --verbose  print the protocol's trace lines on standard error\n")}};
  info.run = RunInfo;
  return {search, info};
}

}  // namespace corvane::cli
