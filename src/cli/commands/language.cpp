// SPDX-License-Identifier: GPL-3.0-or-later
// set-language: language support installed on a device, as "Set language" in the window.

#include <thread>

#include "cli/command_interaction.h"
#include "cli/command_table.h"
#include "cli/device_run.h"
#include "cli/language_output.h"
#include "cli/output_format.h"
#include "language/codepage_files.h"
#include "operations/codepage_install.h"
#include "platform/smb_files.h"
#include "platform/translation.h"

namespace corvane::cli {

namespace {

using platform::Fill;
using platform::Tr;

// A device whose disk cannot take a language: why, and where an unformatted one is formatted.
int TurnedAway(const operations::LanguageCheck& check, const std::string& address,
               Console& console) {
  if (!check.diskStateAnswered) {
    Fail(console, Tr("the device did not answer the disk state request"));
  }
  Fail(console, check.Refusal());
  if (check.OpensWebPage()) {
    // TRANSLATORS: %s is the device's address; http://%s is its web page.
    Fail(console, Fill(Tr("format the disk on the device's web page, http://%s"), {address}));
  }
  return kExitDeviceFailed;
}

// The 90 seconds of the restart, then where the device answers.
void WaitForRestart(const std::string& address, Console& console, DeviceRun& run) {
  const Sleeper realSleep = [](std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
  };
  ShowRestartWait(console.out, console.outIsTerminal, console.sleep ? console.sleep : realSleep);
  run.ReportWhereNow(run.selected(), address);
}

// The disk and codepage checks, the installer, then the restart wait.
int RunSetLanguage(const CommandLine& line, Console& console) {
  if (line.list) {
    console.out << FormatLanguageList();
    return kExitOk;
  }
  const std::optional<int> index = language::FindLanguage(line.language);
  if (!index) {
    // TRANSLATORS: %s is the language as typed; the command in quotes stays as it is.
    Fail(console, Fill(Tr("unknown language \"%s\"; 'corvane set-language --list' prints the six"),
                       {TerminalSafe(line.language)}));
    return kExitUsage;
  }
  DeviceRun run(line, console);
  if (const auto status = run.SearchAndSelect(line.address)) return *status;
  if (const auto status = run.RefuseOutsideSubnet()) return *status;
  protocol::Session& session = run.session();
  CommandInteraction interaction({}, line.address, console);
  const operations::LanguageCheck check = operations::CheckLanguageSupport(session, interaction);
  if (!check.Ready()) return TurnedAway(check, line.address, console);
  if (check.codepageAnswered) {
    // TRANSLATORS: %s is a codepage number as the device tells it (950, 850...).
    console.out << Fill(Tr("The device uses codepage %s now."),
                        {TerminalSafe(session.CodepageText.view())})
                << "\n";
  }
  const std::unique_ptr<platform::SmbFiles> files = platform::MakeSmbFiles();
  const operations::InstallResult result =
      operations::InstallCodepageFiles(session, *files, *index, line.address, interaction);
  if (result.CopyFailed != 0) {
    Fail(console, Tr(operations::text::kCheckHardDrives));
    Fail(console, operations::DescribeInstallFailure(result));
    return kExitDeviceFailed;
  }
  const std::string_view codepage = language::kLanguages[static_cast<std::size_t>(*index)].codepage;
  // TRANSLATORS: %s is a codepage number (950, 850...).
  console.out << Fill(Tr("Codepage %s sent; the device restarts."), {codepage}) << "\n"
              << std::flush;
  if (!result.codepageConfirmed) Fail(console, Tr("the device did not confirm the new codepage"));
  if (!line.noWait) WaitForRestart(line.address, console, run);
  return result.codepageConfirmed ? kExitOk : kExitDeviceFailed;
}

}  // namespace

std::vector<CommandSpec> LanguageCommands() {
  CommandSpec setLanguage;
  setLanguage.command = Command::kSetLanguage;
  setLanguage.name = "set-language";
  // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
  // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
  setLanguage.summary = N_("  set-language ADDRESS   install language support on a device\n");
  setLanguage.usage =
      // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
      // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
      N_("Usage: corvane set-language ADDRESS LANGUAGE [--no-wait] [--verbose]\n"
         "       corvane set-language --list\n"
         "Installs language support on the device at ADDRESS: checks that it has a\n"
         "formatted disk, copies the language's codepage table, unicode maps and kernel\n"
         "modules onto its system share (each file is printed as it is written), sends\n"
         "it the new codepage and waits 90 seconds while it restarts. After a failed\n"
         "copy the device is told to stop and the exit status is 1.\n"
         "LANGUAGE is a name that --list prints, in any letter case (quote names with\n"
         "blanks), or its codepage number.\n");
  setLanguage.takesAddress = true;
  setLanguage.operand = "LANGUAGE";
  setLanguage.takeOperand = [](CommandLine& line, const std::string& language) {
    line.language = language;
  };
  setLanguage.options = {
      {"--list", &CommandLine::list, nullptr, false,
       // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
       // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
       N_("  --list     print the six languages with their codepage numbers\n")},
      {"--no-wait", &CommandLine::noWait, nullptr, false,
       // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
       // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
       N_("  --no-wait  end once the codepage is sent, without waiting for the restart\n")},
      {"--verbose", &CommandLine::verbose, nullptr, false,
       // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
       // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
       N_("  --verbose  print the protocol's trace lines on standard error\n")}};
  setLanguage.withoutOperands = &CommandLine::list;
  setLanguage.run = RunSetLanguage;
  return {setLanguage};
}

}  // namespace corvane::cli
