// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How a command is described: its name, its line in the overview, its help, its options and
// operands, and the function that runs it. Each command group (cli/commands/*.cpp) describes
// its commands once; the one table (Commands) lists them for the parser, the help and the
// dispatch.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_line.h"

namespace corvane::cli {

struct Console;

// One option: where its value goes (a flag or a text), and its lines in the command's help,
// exactly as they are shown there (empty when the usage line says all). The help texts here
// are the English keys of the catalogue, marked with N_ where they are written; HelpText
// translates them.
struct Option {
  std::string_view name;
  bool CommandLine::*flag = nullptr;
  std::optional<std::string> CommandLine::*value = nullptr;
  bool required = false;
  std::string_view help;
};

struct CommandSpec {
  Command command = Command::kNone;
  std::string_view name;
  std::string_view summary;  // its line under "Commands:" in the overview
  std::string_view usage;    // the start of its help; its options' lines follow
  bool takesAddress = false;
  // A further argument after ADDRESS: its name in messages, and where it goes.
  std::string_view operand;
  void (*takeOperand)(CommandLine&, const std::string&) = nullptr;
  std::vector<Option> options;
  // When this flag is given, the command takes no ADDRESS and no operand at all.
  bool CommandLine::*withoutOperands = nullptr;
  // Checks beyond what the table says, which may complete the line: the error text, or "".
  std::string (*check)(CommandLine& line) = nullptr;
  // The rest of the line is the command's own (it parses it itself).
  bool ownArguments = false;
  int (*run)(const CommandLine& line, Console& console) = nullptr;
};

// The commands, in the order of the overview.
const std::vector<CommandSpec>& Commands();

// --password-file FILE and --password P, for every command that sends a password.
Option PasswordFileOption();
Option PasswordOption();

// Each group's commands (cli/commands/*.cpp).
std::vector<CommandSpec> DeviceCommands();    // search, info
std::vector<CommandSpec> LanCommands();       // set-dhcp, set-static
std::vector<CommandSpec> NameCommands();      // set-names
std::vector<CommandSpec> ShareCommands();     // drives, mount, unmount, web
std::vector<CommandSpec> PayloadCommands();   // payloads
std::vector<CommandSpec> LanguageCommands();  // set-language

}  // namespace corvane::cli
