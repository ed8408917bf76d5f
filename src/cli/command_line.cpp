// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/command_line.h"

#include <algorithm>
#include <cctype>

#include "platform/unc_path.h"
#include "protocol/address_text.h"

namespace corvane::cli {

namespace {

constexpr std::string_view kPasswordOption = "--password";
constexpr std::string_view kPasswordFileOption = "--password-file";

// The commands and what each takes. A command that sends a password declares takesPassword and
// gets, from this one place: --password P and --password-file FILE|- (never both, a usage
// error), CommandLine::password and passwordFile, and the help lines of kPasswordOptionsHelp.
// It then reads the password with ReadGivenPassword (cli/password_input.h) before it sends
// anything, so a file that others may read is refused in time. ADDRESS, where a command takes
// one, is checked here for every command alike (IsDeviceAddress).
struct CommandSpec {
  Command command;
  std::string_view name;
  bool takesAddress;
  std::vector<std::string_view> flags;         // options without a value
  std::vector<std::string_view> valueOptions;  // options followed by a value
  std::vector<std::string_view> required;      // value options that must be given
  bool takesPassword = false;
  std::string_view operand = {};  // a further argument after ADDRESS, if any
};

// --verbose only where it prints something: the trace lines of the device's read replies (info)
// and the steps of the password check (the LAN changes).
const std::vector<CommandSpec>& Specs() {
  static const std::vector<CommandSpec> specs = {
      {Command::kSearch, "search", false, {"--json"}, {}, {}},
      {Command::kInfo, "info", true, {"--json", "--verbose"}, {}, {}},
      {Command::kSetDhcp, "set-dhcp", true, {"--verbose"}, {}, {}, true},
      {Command::kSetStatic,
       "set-static",
       true,
       {"--verbose"},
       {"--ip", "--netmask", "--gateway"},
       {"--ip", "--netmask", "--gateway"},
       true},
      {Command::kSetNames,
       "set-names",
       true,
       {},
       {"--host-name", "--workgroup"},
       {"--host-name", "--workgroup"}},
      {Command::kDrives, "drives", false, {"--json"}, {}, {}},
      {Command::kMount,
       "mount",
       true,
       {"--by-name"},
       {"--drive", "--user"},
       {"--drive"},
       true,
       "SHARE"},
      {Command::kUnmount, "unmount", false, {}, {}, {}, false, "LETTER"},
      {Command::kWeb, "web", true, {}, {}, {}},
      {Command::kPayloads, "payloads", false, {}, {}, {}},
      {Command::kSetLanguage,
       "set-language",
       true,
       {"--list", "--no-wait", "--verbose"},
       {},
       {},
       false,
       "LANGUAGE"},
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

bool TakesValue(const CommandSpec& spec, std::string_view option) {
  if (spec.takesPassword && (option == kPasswordOption || option == kPasswordFileOption)) {
    return true;
  }
  return Contains(spec.valueOptions, option);
}

bool IsHelp(std::string_view arg) {
  return arg == "--help" || arg == "-h";
}

std::optional<std::string>* ValueSlot(CommandLine& line, std::string_view option) {
  if (option == kPasswordOption) return &line.password;
  if (option == kPasswordFileOption) return &line.passwordFile;
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
  if (flag == "--list") line.list = true;
  if (flag == "--no-wait") line.noWait = true;
}

// The drive letter, the share name and the credentials of mount and unmount.
std::string CheckShareArguments(const CommandSpec& spec, CommandLine& line) {
  if (spec.command != Command::kMount && spec.command != Command::kUnmount) return "";
  if (!line.driveText) return "";  // required: refused before this
  const std::optional<char> letter = NormaliseDriveLetter(*line.driveText);
  if (!letter) return "not a drive letter D-Z: " + *line.driveText;
  line.drive = *letter;
  if (spec.command == Command::kUnmount) return "";
  if (!platform::ParseShareName("\\\\host\\" + line.share)) {
    return "not a share name: " + line.share;
  }
  if ((line.password || line.passwordFile) && !line.user) {
    return std::string(line.password ? kPasswordOption : kPasswordFileOption) + " needs --user";
  }
  return "";
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
    const std::string_view option = std::string_view(arg).substr(0, equals);
    if (Contains(spec.flags, option)) {
      if (equals != std::string::npos) return "option " + std::string(option) + " takes no value";
      SetFlag(line, option);
      continue;
    }
    if (!TakesValue(spec, option)) {
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
  return "";
}

// ADDRESS where the command takes one, then its further argument; returns the error text or "".
std::string ReadPositionals(const CommandSpec& spec, const std::vector<std::string>& positional,
                            CommandLine& line) {
  // set-language --list names no device and no language.
  if (spec.command == Command::kSetLanguage && line.list) {
    return positional.empty() ? "" : "unexpected argument " + positional.front();
  }
  std::size_t next = 0;
  if (spec.takesAddress) {
    if (positional.empty()) return std::string(spec.name) + " needs the ADDRESS of a device";
    if (!IsDeviceAddress(positional.front())) {
      return "not a device address (four numbers 0-255 separated by dots): " + positional.front();
    }
    line.address = positional.front();
    next = 1;
  }
  if (!spec.operand.empty()) {
    if (positional.size() <= next) {
      return std::string(spec.name) + " needs the " + std::string(spec.operand);
    }
    const std::string& operand = positional[next++];
    if (spec.operand == "SHARE") {
      line.share = operand;
    } else if (spec.operand == "LANGUAGE") {
      line.language = operand;
    } else {
      line.driveText = operand;
    }
  }
  if (positional.size() > next) return "unexpected argument " + positional[next];
  return "";
}

// Reads the options and the positional arguments of one command; returns the error text or "".
std::string ParseCommandArguments(const CommandSpec& spec, const std::vector<std::string>& args,
                                  CommandLine& line) {
  std::vector<std::string> positional;
  if (std::string error = ReadOptions(spec, args, line, positional); !error.empty()) return error;
  if (std::string error = ReadPositionals(spec, positional, line); !error.empty()) return error;
  for (const std::string_view option : spec.required) {
    if (!ValueSlot(line, option)->has_value()) return std::string(option) + " is required";
  }
  if (line.password && line.passwordFile) {
    return "--password and --password-file cannot be used together";
  }
  return CheckShareArguments(spec, line);
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

constexpr std::string_view kVerboseStepsHelp =
    "  --verbose             print each step on standard error: the password tries\n"
    "                        (never the password) and the device's answers\n";

constexpr std::string_view kPasswordOptionsHelp =
    "  --password-file FILE  read the password from the first line of FILE, which\n"
    "                        no one but its owner may access (chmod 600); - reads\n"
    "                        it from standard input\n"
    "  --password P          the password itself; other local users can see it in\n"
    "                        the process list while corvane runs: prefer\n"
    "                        --password-file\n";

}  // namespace

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
  outcome.error = ParseCommandArguments(*spec, args, line);
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
             "  --json     print a JSON array of objects with the keys name, address,\n"
             "             netmask, gateway, dhcp (true or false) and interface\n";
    case Command::kInfo:
      return "Usage: corvane info ADDRESS [--json] [--verbose]\n"
             "Searches, then shows the device at ADDRESS with its workgroup and share names.\n"
             "  --json     print one JSON object: the keys of 'search --json' plus workgroup\n"
             "             and shares (an array of names)\n"
             "  --verbose  print the protocol's trace lines on standard error\n";
    case Command::kSetDhcp:
      return std::string(
                 "Usage: corvane set-dhcp ADDRESS [--password-file FILE | --password P]\n"
                 "                        [--verbose]\n"
                 "Makes the device at ADDRESS a DHCP client, then searches again and tells\n"
                 "where it answers now. The default administrator password is tried first;\n"
                 "when the device refuses it, the password given is tried with the user admin\n"
                 "(without one, it is asked for on a terminal).\n") +
             std::string(kPasswordOptionsHelp) + std::string(kVerboseStepsHelp);
    case Command::kSetStatic:
      return std::string(
                 "Usage: corvane set-static ADDRESS --ip A --netmask M --gateway G\n"
                 "                          [--password-file FILE | --password P] [--verbose]\n"
                 "Gives the device at ADDRESS the static address A with netmask M and gateway G.\n"
                 "The last octet of A and G must be 1-254, G must lie in the subnet of A, and no\n"
                 "other device may answer at A. The password is handled as for set-dhcp.\n") +
             std::string(kPasswordOptionsHelp) + std::string(kVerboseStepsHelp);
    case Command::kSetNames:
      return "Usage: corvane set-names ADDRESS --host-name H --workgroup W\n"
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
             "  --json     print a JSON array of objects with the keys letter, remote and\n"
             "             path\n";
    case Command::kMount:
      return std::string(
                 "Usage: corvane mount ADDRESS SHARE --drive L [--by-name] [--user U]\n"
                 "                     [--password-file FILE | --password P]\n"
                 "Searches, checks that the device at ADDRESS still answers on its web port, then\n"
                 "maps its share SHARE to the drive letter L (D-Z), replacing what L stood for.\n"
                 "The share is tried without credentials first; when it keeps refusing, once more\n"
                 "with U and its password (from the options below, or asked for on a terminal).\n"
                 "  --drive L             the drive letter\n"
                 "  --by-name             name the share by the device's name, not its address\n"
                 "  --user U              the user for a share that needs a login (at most 16\n"
                 "                        characters)\n") +
             std::string(kPasswordOptionsHelp);
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
         "  drives                 list the drive letters mapped to shares\n"
         "  mount ADDRESS SHARE    map a device's share to a drive letter\n"
         "  unmount L              remove the mapping of drive letter L\n"
         "  web ADDRESS            open a device's web page in the browser\n"
         "  payloads               work with the language support files\n"
         "  set-language ADDRESS   install language support on a device\n"
         "\n"
         "'corvane COMMAND --help' describes each command.\n"
         "\n"
         "ADDRESS is the device's address as 'corvane search' shows it (192.168.1.20).\n"
         "\n"
         "Exit status: 0 success, 1 the device refused or did not answer, or the\n"
         "operation failed, 2 usage error or input refused before anything was sent,\n"
         "3 no device with that address answered the search.\n"
         "Devices answer on UDP port 13579: it must be open for inbound traffic in the\n"
         "local firewall.\n";
}

}  // namespace corvane::cli
