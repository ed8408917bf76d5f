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
  kDrives,
  kMount,
  kUnmount,
  kWeb,
  kPayloads,
  kSetLanguage,
};

struct CommandLine {
  Command command = Command::kNone;
  bool help = false;
  bool version = false;
  bool json = false;
  bool verbose = false;
  bool byName = false;
  std::string address;  // the device, four decimal numbers 0-255 as the device shows it
  std::string share;
  char drive = 0;  // the drive letter, D-Z, from driveText
  std::optional<std::string> driveText;
  std::optional<std::string> password;      // --password P
  std::optional<std::string> passwordFile;  // --password-file FILE, or "-" for standard input
  std::optional<std::string> ip;
  std::optional<std::string> netmask;
  std::optional<std::string> gateway;
  std::optional<std::string> hostName;
  std::optional<std::string> workgroup;
  std::optional<std::string> user;
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

// True for the ADDRESS of a device as the devices and 'corvane search' show it: four decimal
// numbers 0-255 separated by dots, without leading zeros (which would read as octal elsewhere).
bool IsDeviceAddress(std::string_view text);

// The letter of "Z", "z" or "Z:", upper case; empty when it is none of D-Z.
std::optional<char> NormaliseDriveLetter(std::string_view text);

}  // namespace corvane::cli
