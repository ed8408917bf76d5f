// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/command_line.h"

#include <algorithm>
#include <cctype>

#include "cli/command_table.h"
#include "platform/translation.h"
#include "protocol/address_text.h"

namespace corvane::cli {

namespace {

using platform::Fill;
using platform::Tr;

constexpr std::string_view kPasswordOptionName = "--password";
constexpr std::string_view kPasswordFileOptionName = "--password-file";

const CommandSpec* FindSpec(std::string_view name) {
  for (const CommandSpec& spec : Commands()) {
    if (spec.name == name) return &spec;
  }
  return nullptr;
}

const Option* FindOption(const CommandSpec& spec, std::string_view name) {
  const auto found = std::find_if(spec.options.begin(), spec.options.end(),
                                  [&](const Option& option) { return option.name == name; });
  return found == spec.options.end() ? nullptr : &*found;
}

bool TakesValue(const CommandSpec& spec, std::string_view name) {
  const Option* option = FindOption(spec, name);
  return option != nullptr && option->value != nullptr;
}

bool IsHelp(std::string_view arg) {
  return arg == "--help" || arg == "-h";
}

// The options after the command name; the plain arguments go to positional. Returns the error
// text or "".
std::string ReadOptions(const CommandSpec& spec, const std::vector<std::string>& args,
                        CommandLine& line, std::vector<std::string>& positional) {
  bool optionsEnded = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      positional.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    const std::size_t equals = arg.find('=');
    const std::string_view name = std::string_view(arg).substr(0, equals);
    const Option* option = FindOption(spec, name);
    if (option == nullptr) {
      // TRANSLATORS: %1$s is the option as typed, %2$s the command (search, mount...).
      return Fill(Tr("unknown option %1$s for %2$s"), {name, spec.name});
    }
    if (option->flag != nullptr) {
      if (equals != std::string::npos) return Fill(Tr("option %s takes no value"), {name});
      line.*(option->flag) = true;
      continue;
    }
    std::optional<std::string>& slot = line.*(option->value);
    if (slot.has_value()) return Fill(Tr("option %s given twice"), {name});
    if (equals != std::string::npos) {
      slot = arg.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      slot = args[++i];
    } else {
      return Fill(Tr("option %s needs a value"), {name});
    }
  }
  return "";
}

std::string UnexpectedArgument(std::string_view argument) {
  return Fill(Tr("unexpected argument %s"), {argument});
}

// ADDRESS where the command takes one, then its further argument; returns the error text or "".
std::string ReadPositionals(const CommandSpec& spec, const std::vector<std::string>& positional,
                            CommandLine& line) {
  if (spec.withoutOperands != nullptr && line.*(spec.withoutOperands)) {
    return positional.empty() ? "" : UnexpectedArgument(positional.front());
  }
  std::size_t next = 0;
  if (spec.takesAddress) {
    if (positional.empty()) {
      // TRANSLATORS: %s is the command (info, set-dhcp...); ADDRESS stays as it is.
      return Fill(Tr("%s needs the ADDRESS of a device"), {spec.name});
    }
    if (!IsDeviceAddress(positional.front())) {
      return Fill(Tr("not a device address (four numbers 0-255 separated by dots): %s"),
                  {positional.front()});
    }
    line.address = positional.front();
    next = 1;
  }
  if (!spec.operand.empty()) {
    if (positional.size() <= next) {
      // TRANSLATORS: %1$s is the command, %2$s the argument it lacks as the help names it
      // (LANGUAGE, SHARE, LETTER), kept as it is.
      return Fill(Tr("%1$s needs the %2$s"), {spec.name, spec.operand});
    }
    spec.takeOperand(line, positional[next++]);
  }
  if (positional.size() > next) return UnexpectedArgument(positional[next]);
  return "";
}

// Reads the options and the positional arguments of one command; returns the error text or "".
std::string ParseCommandArguments(const CommandSpec& spec, const std::vector<std::string>& args,
                                  CommandLine& line) {
  std::vector<std::string> positional;
  if (std::string error = ReadOptions(spec, args, line, positional); !error.empty()) return error;
  if (std::string error = ReadPositionals(spec, positional, line); !error.empty()) return error;
  for (const Option& option : spec.options) {
    if (option.required && !(line.*(option.value)).has_value()) {
      // TRANSLATORS: %s is an option (--ip, --drive...).
      return Fill(Tr("%s is required"), {option.name});
    }
  }
  if (line.password && line.passwordFile) {
    return std::string(Tr("--password and --password-file cannot be used together"));
  }
  return spec.check != nullptr ? spec.check(line) : "";
}

// --help or -h in the place of an option (not as the value of one, a password may be "-h").
bool HelpRequested(const CommandSpec& spec, const std::vector<std::string>& args) {
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--") return false;
    if (IsHelp(args[i])) return true;
    if (TakesValue(spec, args[i])) ++i;
  }
  return false;
}

constexpr std::string_view kOverviewStart =
    // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
    // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
    N_("Usage: corvane COMMAND [OPTIONS]\n"
       "Finds network storage devices on the local network and changes their settings.\n"
       "\n"
       "Commands:\n");

constexpr std::string_view kOverviewEnd =
    // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
    // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
    N_("\n"
       "'corvane COMMAND --help' describes each command.\n"
       "\n"
       "ADDRESS is the device's address as 'corvane search' shows it (192.168.1.20).\n"
       "\n"
       "Exit status: 0 success, 1 the device refused or did not answer, or the\n"
       "operation failed, 2 usage error or input refused before anything was sent,\n"
       "3 no device with that address answered the search.\n"
       "Devices answer on UDP port 13579: it must be open for inbound traffic in the\n"
       "local firewall.\n");

}  // namespace

const std::vector<CommandSpec>& Commands() {
  static const std::vector<CommandSpec> table = [] {
    std::vector<CommandSpec> all;
    for (auto group : {DeviceCommands, LanCommands, NameCommands, ShareCommands, PayloadCommands,
                       LanguageCommands}) {
      for (CommandSpec& spec : group()) all.push_back(std::move(spec));
    }
    return all;
  }();
  return table;
}

Option PasswordFileOption() {
  return {
      kPasswordFileOptionName, nullptr, &CommandLine::passwordFile, false,
      // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
      // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
      N_("  --password-file FILE  read the password from the first line of FILE, which\n"
         "                        no one but its owner may access (chmod 600); - reads\n"
         "                        it from standard input\n")};
}

Option PasswordOption() {
  return {
      kPasswordOptionName, nullptr, &CommandLine::password, false,
      // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
      // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
      N_("  --password P          the password itself; other local users can see it in\n"
         "                        the process list while corvane runs: prefer\n"
         "                        --password-file\n")};
}

bool IsDeviceAddress(std::string_view text) {
  return protocol::ParseAddress(text).has_value();
}

std::optional<char> NormaliseDriveLetter(std::string_view text) {
  if (text.size() == 2 && text[1] == ':') text.remove_suffix(1);
  if (text.size() != 1) return std::nullopt;
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  if (letter < 'D' || letter > 'Z') return std::nullopt;
  return letter;
}

ParseOutcome ParseCommandLine(const std::vector<std::string>& args) {
  ParseOutcome outcome;
  CommandLine& line = outcome.commandLine;
  if (args.empty()) {
    outcome.error = Tr("no command given");
    return outcome;
  }
  const std::string& first = args.front();
  if (IsHelp(first) || first == "help") {
    line.help = true;
    if (first == "help" && args.size() > 1) {
      if (const CommandSpec* spec = FindSpec(args[1])) line.command = spec->command;
    }
    return outcome;
  }
  if (first == "--version") {
    line.version = true;
    return outcome;
  }
  const CommandSpec* spec = FindSpec(first);
  if (spec == nullptr) {
    outcome.error = Fill(Tr("unknown command %s"), {first});
    return outcome;
  }
  line.command = spec->command;
  if (spec->ownArguments) {
    line.passThrough.assign(args.begin() + 1, args.end());
    return outcome;
  }
  // Help wins over every other mistake on the line.
  if (HelpRequested(*spec, args)) {
    line.help = true;
    return outcome;
  }
  outcome.error = ParseCommandArguments(*spec, args, line);
  return outcome;
}

std::string_view CommandName(Command command) {
  for (const CommandSpec& spec : Commands()) {
    if (spec.command == command) return spec.name;
  }
  return "";
}

std::string HelpText(Command command) {
  std::string text;
  for (const CommandSpec& spec : Commands()) {
    if (command == Command::kNone) {
      text += Tr(spec.summary);
    } else if (spec.command == command) {
      text = Tr(spec.usage);
      for (const Option& option : spec.options) text += Tr(option.help);
      return text;
    }
  }
  return std::string(Tr(kOverviewStart)) + text + std::string(Tr(kOverviewEnd));
}

}  // namespace corvane::cli
