// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/command_line.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>

#include "platform/unc_path.h"
#include "protocol/validation.h"

namespace corvane::cli {

namespace {

struct CommandSpec {
  Command command;
  std::string_view name;
  bool takesAddress;
  std::vector<std::string_view> flags;         // options without a value
  std::vector<std::string_view> valueOptions;  // options followed by a value
  std::string_view operand = {};               // a further argument after ADDRESS, if any
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
      {Command::kDrives, "drives", false, {"--json"}, {}},
      {Command::kMount,
       "mount",
       true,
       {"--by-name", "--verbose"},
       {"--drive", "--user", "--password"},
       "SHARE"},
      {Command::kUnmount, "unmount", false, {}, {}, "LETTER"},
      {Command::kWeb, "web", true, {}, {}},
      {Command::kPayloads, "payloads", false, {}, {}},
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
  if (option == "--user") return &line.user;
  if (option == "--drive") return &line.driveText;
  return nullptr;
}

void SetFlag(CommandLine& line, std::string_view flag) {
  if (flag == "--json") line.json = true;
  if (flag == "--verbose") line.verbose = true;
  if (flag == "--by-name") line.byName = true;
}

// The drive letter, the share name and the credentials of mount and unmount.
std::string CheckShareArguments(const CommandSpec& spec, CommandLine& line) {
  if (spec.command != Command::kMount && spec.command != Command::kUnmount) return "";
  if (!line.driveText) return "mount needs --drive with a drive letter D-Z";
  const std::optional<char> letter = NormaliseDriveLetter(*line.driveText);
  if (!letter) return "not a drive letter D-Z: " + *line.driveText;
  line.drive = *letter;
  if (spec.command == Command::kUnmount) return "";
  if (!platform::ParseShareName("\\\\host\\" + line.share)) {
    return "not a share name: " + line.share;
  }
  if (line.password && !line.user) return "--password needs --user";
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
  std::size_t next = 0;
  if (spec.takesAddress) {
    if (positional.empty()) return std::string(spec.name) + " needs the ADDRESS of a device";
    const std::optional<std::string> address = NormaliseDeviceAddress(positional.front());
    if (!address) return "not an IPv4 address: " + positional.front();
    line.address = *address;
    next = 1;
  }
  if (!spec.operand.empty()) {
    if (positional.size() <= next) {
      return std::string(spec.name) + " needs the " + std::string(spec.operand);
    }
    const std::string& operand = positional[next++];
    if (spec.operand == "SHARE") {
      line.share = operand;
    } else {
      line.driveText = operand;
    }
  }
  if (positional.size() > next) return "unexpected argument " + positional[next];
  return CheckShareArguments(spec, line);
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
    case Command::kDrives:
      return "Usage: corvane drives [--json]\n"
             "Lists the drive letters that stand for a device's share mounted in this desktop\n"
             "session: letter, the share as it was mapped (\\\\host\\share) and the folder any\n"
             "program opens its files in.\n"
             "  --json     print a JSON array of objects with the keys letter, remote and path\n";
    case Command::kMount:
      return "Usage: corvane mount ADDRESS SHARE --drive L [--by-name] [--user U]\n"
             "                     [--password P] [--verbose]\n"
             "Searches, checks that the device at ADDRESS still answers on its web port, then\n"
             "maps its share SHARE to the drive letter L (D-Z), replacing whatever L stood for.\n"
             "The share is tried without credentials first; when it keeps refusing, once more\n"
             "with U and P.\n"
             "  --drive L     the drive letter\n"
             "  --by-name     name the share by the device's name instead of its address\n"
             "  --user U      the user for a share that needs a login (at most 16 characters)\n"
             "  --password P  U's password; without it, it is asked for on a terminal\n"
             "  --verbose     print the protocol's trace lines on standard error\n";
    case Command::kUnmount:
      return "Usage: corvane unmount L\n"
             "Removes the mapping of the drive letter L (D-Z). Refused while any of your\n"
             "programs has a file open on the drive or works in one of its folders.\n";
    case Command::kWeb:
      return "Usage: corvane web ADDRESS\n"
             "Checks that the device at ADDRESS answers on its web port, then opens its web\n"
             "page, http://ADDRESS, in the desktop's default browser (or with xdg-open).\n";
    case Command::kPayloads:
      return "Usage: corvane payloads [...]\n"
             "Works with the language support files; see 'corvane payloads --help'.\n";
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
         "  drives                 list the drive letters mapped to shares\n"
         "  mount ADDRESS SHARE    map a device's share to a drive letter\n"
         "  unmount L              remove the mapping of drive letter L\n"
         "  web ADDRESS            open a device's web page in the browser\n"
         "  payloads               work with the language support files\n"
         "\n"
         "'corvane COMMAND --help' describes each command.\n"
         "\n"
         "Exit status: 0 success, 1 the device refused or did not answer, or the operation\n"
         "failed, 2 usage error, 3 no device with that address answered the search.\n"
         "Devices answer on UDP port 13579: it must be open for inbound traffic in the local\n"
         "firewall.\n";
}

}  // namespace corvane::cli
