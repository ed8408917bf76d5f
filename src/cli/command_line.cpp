// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/command_line.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "protocol/validation.h"

namespace corvane::cli {

namespace {

struct CommandSpec {
  Command command;
  std::string_view name;
  bool takesAddress;
  std::vector<std::string_view> flags;         // options without a value
  std::vector<std::string_view> valueOptions;  // options followed by a value
};

const std::vector<CommandSpec>& Specs() {
  static const std::vector<CommandSpec> specs = {
      {Command::kSearch, "search", false, {"--json", "--verbose"}, {}},
      {Command::kInfo, "info", true, {"--json", "--verbose"}, {}},
      {Command::kSetDhcp, "set-dhcp", true, {"--verbose"}, {"--password"}},
      {Command::kSetStatic,
       "set-static",
       true,
       {"--verbose"},
       {"--ip", "--netmask", "--gateway", "--password"}},
      {Command::kSetNames, "set-names", true, {"--verbose"}, {"--host-name", "--workgroup"}},
      {Command::kPayloads, "payloads", false, {}, {}},
      {Command::kSetLanguage, "set-language", true, {"--list", "--no-wait", "--verbose"}, {}},
  };
  return specs;
}

const CommandSpec* FindSpec(std::string_view name) {
  for (const CommandSpec& spec : Specs()) {
    if (spec.name == name) return &spec;
  }
  return nullptr;
}

bool Contains(const std::vector<std::string_view>& list, std::string_view item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

bool IsHelp(std::string_view arg) {
  return arg == "--help" || arg == "-h";
}

std::optional<std::string>* ValueSlot(CommandLine& line, std::string_view option) {
  if (option == "--password") return &line.password;
  if (option == "--ip") return &line.ip;
  if (option == "--netmask") return &line.netmask;
  if (option == "--gateway") return &line.gateway;
  if (option == "--host-name") return &line.hostName;
  if (option == "--workgroup") return &line.workgroup;
  return nullptr;
}

void SetFlag(CommandLine& line, std::string_view flag) {
  if (flag == "--json") line.json = true;
  if (flag == "--verbose") line.verbose = true;
  if (flag == "--list") line.list = true;
  if (flag == "--no-wait") line.noWait = true;
}

// set-language takes the LANGUAGE after the ADDRESS, and neither with --list. Leaves the address
// in positional; returns the error text or "".
std::string TakeLanguage(std::vector<std::string>& positional, CommandLine& line) {
  if (line.list) return positional.empty() ? "" : "unexpected argument " + positional.front();
  if (positional.size() < 2) return "set-language needs the ADDRESS of a device and a LANGUAGE";
  if (positional.size() > 2) return "unexpected argument " + positional[2];
  line.language = positional[1];
  positional.pop_back();
  return "";
}

// Reads the options and the address of one command; returns the error text or "".
std::string ParseCommandArguments(const CommandSpec& spec, const std::vector<std::string>& args,
                                  std::size_t first, CommandLine& line) {
  std::vector<std::string> positional;
  bool optionsEnded = false;
  for (std::size_t i = first; i < args.size(); ++i) {
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
    const std::string_view option = std::string_view(arg).substr(0, equals);
    if (Contains(spec.flags, option)) {
      if (equals != std::string::npos) return "option " + std::string(option) + " takes no value";
      SetFlag(line, option);
      continue;
    }
    if (!Contains(spec.valueOptions, option)) {
      return "unknown option " + std::string(option) + " for " + std::string(spec.name);
    }
    std::optional<std::string>* slot = ValueSlot(line, option);
    if (slot->has_value()) return "option " + std::string(option) + " given twice";
    if (equals != std::string::npos) {
      *slot = arg.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      *slot = args[++i];
    } else {
      return "option " + std::string(option) + " needs a value";
    }
  }
  if (!spec.takesAddress) {
    if (!positional.empty()) return "unexpected argument " + positional.front();
    return "";
  }
  if (spec.command == Command::kSetLanguage) {
    std::string error = TakeLanguage(positional, line);
    if (!error.empty() || line.list) return error;
  }
  if (positional.empty()) return std::string(spec.name) + " needs the ADDRESS of a device";
  if (positional.size() > 1) return "unexpected argument " + positional[1];
  const std::optional<std::string> address = NormaliseDeviceAddress(positional.front());
  if (!address) return "not an IPv4 address: " + positional.front();
  line.address = *address;
  return "";
}

// --help or -h in the place of an option (not as the value of one, a password may be "-h").
bool HelpRequested(const CommandSpec& spec, const std::vector<std::string>& args) {
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--") return false;
    if (IsHelp(args[i])) return true;
    if (Contains(spec.valueOptions, args[i])) ++i;
  }
  return false;
}

}  // namespace

std::optional<std::string> NormaliseDeviceAddress(std::string_view text) {
  if (text.empty()) return std::nullopt;
  const std::optional<validation::Octets> octets = validation::ToOctets(text);
  if (!octets) return std::nullopt;
  return validation::ToDotted(*octets);
}

ParseOutcome ParseCommandLine(const std::vector<std::string>& args) {
  ParseOutcome outcome;
  CommandLine& line = outcome.commandLine;
  if (args.empty()) {
    outcome.error = "no command given";
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
    outcome.error = "unknown command " + first;
    return outcome;
  }
  line.command = spec->command;
  if (spec->command == Command::kPayloads) {
    line.passThrough.assign(args.begin() + 1, args.end());
    return outcome;
  }
  // Help wins over every other mistake on the line.
  if (HelpRequested(*spec, args)) {
    line.help = true;
    return outcome;
  }
  outcome.error = ParseCommandArguments(*spec, args, 1, line);
  return outcome;
}

std::string_view CommandName(Command command) {
  for (const CommandSpec& spec : Specs()) {
    if (spec.command == command) return spec.name;
  }
  return "";
}

std::string HelpText(Command command) {
  switch (command) {
    case Command::kSearch:
      return "Usage: corvane search [--json]\n"
             "Searches every local network interface for storage devices and lists them:\n"
             "name, IP address, netmask, gateway, DHCP client setting and the local interface\n"
             "that found them.\n"
             "  --json     print a JSON array of objects with the keys name, address, netmask,\n"
             "             gateway, dhcp (true or false) and interface\n";
    case Command::kInfo:
      return "Usage: corvane info ADDRESS [--json] [--verbose]\n"
             "Searches, then shows the device at ADDRESS with its workgroup and share names.\n"
             "  --json     print one JSON object: the keys of 'search --json' plus workgroup\n"
             "             and shares (an array of names)\n"
             "  --verbose  print the protocol's trace lines on standard error\n";
    case Command::kSetDhcp:
      return "Usage: corvane set-dhcp ADDRESS [--password P] [--verbose]\n"
             "Makes the device at ADDRESS a DHCP client. The default administrator password is\n"
             "tried first; when the device refuses it, P is tried with the user admin (without\n"
             "--password the password is asked for on a terminal).\n";
    case Command::kSetStatic:
      return "Usage: corvane set-static ADDRESS --ip A --netmask M --gateway G [--password P]\n"
             "                          [--verbose]\n"
             "Gives the device at ADDRESS the static address A with netmask M and gateway G.\n"
             "The last octet of A and G must be 1-254 and G must lie in the subnet of A.\n"
             "The password is handled as for set-dhcp.\n";
    case Command::kSetNames:
      return "Usage: corvane set-names ADDRESS --host-name H --workgroup W [--verbose]\n"
             "Changes the host name and the workgroup of the device at ADDRESS. Both are\n"
             "checked before anything is sent. A host name cannot hold any of\n"
             "  \\ / : * ? \" < > | . ; + = ~ ` ' [ ] { } @ # ( ) ! ^ $ % & , and blanks;\n"
             "a workgroup cannot hold \\ / : * ? \" < > | . ; + = ~ ` ' [ ] { } , and blanks.\n"
             "Each holds at most 31 characters.\n";
    case Command::kPayloads:
      return "Usage: corvane payloads [...]\n"
             "Works with the language support files; see 'corvane payloads --help'.\n";
    case Command::kSetLanguage:
      return "Usage: corvane set-language ADDRESS LANGUAGE [--no-wait] [--verbose]\n"
             "       corvane set-language --list\n"
             "Installs language support on the device at ADDRESS: checks that it has a\n"
             "formatted disk, copies the language's codepage table, unicode maps and kernel\n"
             "modules onto its system share (each file is printed as it is written), sends\n"
             "it the new codepage and waits 90 seconds while it restarts. After a failed\n"
             "copy the device is told to stop and the exit status is 1.\n"
             "LANGUAGE is a name that --list prints, in any letter case (quote names with\n"
             "blanks), or its codepage number.\n"
             "  --list     print the six languages with their codepage numbers\n"
             "  --no-wait  end once the codepage is sent, without waiting for the restart\n"
             "  --verbose  print the protocol's trace lines on standard error\n";
    case Command::kNone:
      break;
  }
  return "Usage: corvane COMMAND [OPTIONS]\n"
         "Finds network storage devices on the local network and changes their settings.\n"
         "\n"
         "Commands:\n"
         "  search                 list the devices that answer\n"
         "  info ADDRESS           show one device with its workgroup and shares\n"
         "  set-dhcp ADDRESS       make a device a DHCP client\n"
         "  set-static ADDRESS     give a device a static address, netmask and gateway\n"
         "  set-names ADDRESS      change a device's host name and workgroup\n"
         "  payloads               work with the language support files\n"
         "  set-language ADDRESS   install language support on a device\n"
         "\n"
         "'corvane COMMAND --help' describes each command.\n"
         "\n"
         "Exit status: 0 success, 1 the device refused or did not answer, 2 usage error,\n"
         "3 no device with that address answered the search.\n"
         "Devices answer on UDP port 13579: it must be open for inbound traffic in the local\n"
         "firewall.\n";
}

}  // namespace corvane::cli
