// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::cli {

// What the process returns, so scripts can tell the cases apart.
enum ExitStatus : int {
  kExitOk = 0,
  kExitDeviceFailed = 1,  // the device refused or did not answer
  kExitUsage = 2,         // bad arguments or input refused before anything was sent
  kExitNotFound = 3,      // no device with that address answered the search
};

enum class Command {
  kNone,
  kSearch,
  kInfo,
  kSetDhcp,
  kSetStatic,
  kSetNames,
  kPayloads,
  kSetLanguage,
};

struct CommandLine {
  Command command = Command::kNone;
  bool help = false;
  bool version = false;
  bool json = false;
  bool verbose = false;
  std::string address;  // the device, normalised to dotted decimal
  std::optional<std::string> password;
  std::optional<std::string> ip;
  std::optional<std::string> netmask;
  std::optional<std::string> gateway;
  std::optional<std::string> hostName;
  std::optional<std::string> workgroup;
  std::vector<std::string> passThrough;  // everything after "payloads"
  // set-language
  std::string language;  // as given: a name of the list or a codepage number
  bool list = false;
  bool noWait = false;
};

struct ParseOutcome {
  CommandLine commandLine;
  std::string error;  // empty when the arguments were understood
  bool ok() const { return error.empty(); }
};

// args without the program name.
ParseOutcome ParseCommandLine(const std::vector<std::string>& args);

std::string_view CommandName(Command command);

// Help for one command, or the overview for Command::kNone.
std::string HelpText(Command command);

// The dotted decimal form of a device address given on the command line (hex, octal and short
// forms are understood); empty when the text is no IPv4 address.
std::optional<std::string> NormaliseDeviceAddress(std::string_view text);

}  // namespace corvane::cli
