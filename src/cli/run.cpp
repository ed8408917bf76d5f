// SPDX-License-Identifier: GPL-3.0-or-later
// The command line as a whole: the arguments read, then help, the version or the command's run.

#include <exception>

#include "cli/command_table.h"
#include "cli/commands.h"
#include "cli/input_checks.h"
#include "cli/output_format.h"
#include "platform/translation.h"

namespace corvane::cli {

namespace {

// Where the help is for the command given, or for all when none is.
std::string TryHelp(std::string_view command) {
  if (command.empty()) return std::string(platform::Tr("Try 'corvane --help'."));
  // TRANSLATORS: %s is the command (search, mount...); keep 'corvane' and --help.
  return platform::Fill(platform::Tr("Try 'corvane %s --help'."), {command});
}

}  // namespace

void Fail(Console& console, std::string_view message) {
  console.err << "corvane: " << TerminalSafe(OneLine(message)) << "\n";
}

int RunCorvane(const std::vector<std::string>& args, Console& console) {
  const ParseOutcome parsed = ParseCommandLine(args);
  const CommandLine& line = parsed.commandLine;
  if (!parsed.ok()) {
    Fail(console, parsed.error);
    console.err << TryHelp(CommandName(line.command)) << "\n";
    return kExitUsage;
  }
  if (line.help) {
    console.out << HelpText(line.command);
    return kExitOk;
  }
  if (line.version) {
    console.out << "corvane " << CORVANE_VERSION << "\n";
    return kExitOk;
  }
  for (const CommandSpec& spec : Commands()) {
    if (spec.command == line.command) return spec.run(line, console);
  }
  return kExitUsage;
}

int RunProcess(int argc, const char* const* argv, Console& console) {
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  try {
    const int status = RunCorvane(args, console);
    console.out.flush();
    return console.out.fail() ? 1 : status;
  } catch (const std::exception& error) {
    console.err << "corvane: " << error.what() << "\n";
    return 1;
  }
}

}  // namespace corvane::cli
