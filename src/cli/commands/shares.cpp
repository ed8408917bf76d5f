// SPDX-License-Identifier: GPL-3.0-or-later
// drives, mount, unmount and web: a device's shares on drive letters, and its web page.

#include "cli/command_interaction.h"
#include "cli/command_spec.h"
#include "cli/device_run.h"
#include "cli/output_format.h"
#include "operations/drive_mapping.h"
#include "operations/texts.h"
#include "operations/web_page.h"
#include "platform/drive_mappings.h"
#include "platform/unc_path.h"
#include "platform/web_browser.h"

namespace corvane::cli {

namespace {

std::string DeviceGone(const std::string& address) {
  return "Device is no longer available: nothing answers at http://" + address;
}

// Why a mapping failed, for the line after "Failed to map drive.".
std::string MountFailure(const operations::MountResult& result, const CommandLine& line) {
  using platform::DriveResult;
  const std::string drive{line.drive, ':'};
  switch (result.lastAttempt) {
    case DriveResult::kLoginNeeded:
      return line.user ? "The share refused the user and password."
                       : "The share needs a user and password (--user).";
    case DriveResult::kTimedOut:
      return "The device did not answer in time.";
    case DriveResult::kAlreadyAssigned:
    case DriveResult::kFilesOpen:
      return drive + " stays mapped: files are open on it.";
    case DriveResult::kNoFolder:
      return "The share has no folder for other programs (gvfs-fuse is missing).";
    case DriveResult::kStateFile:
      return "The record of the drive letters cannot be written.";
    case DriveResult::kUnavailable:
      return "Drive letters cannot be mapped here.";
    case DriveResult::kBadLocalName:
    case DriveResult::kBadRemoteName:
      return "The share cannot be named " + TerminalSafe(result.remote) + ".";
    case DriveResult::kOk:
    case DriveResult::kNotConnected:
    case DriveResult::kFailed:
      break;
  }
  return "The device refused " + TerminalSafe(result.remote) + ", or has no such share.";
}

// The share's user and the password of --password or --password-file, read and checked before
// anything is sent; empty when they were refused (a usage error, already told).
std::optional<GivenPassword> TakeShareLogin(const CommandLine& line, Console& console) {
  PasswordReading reading = ReadGivenPassword(line, console.in);
  if (!reading.refusal.empty()) {
    Fail(console, reading.refusal);
    return std::nullopt;
  }
  std::optional<std::string> refusal;
  if (line.user) refusal = CheckShareText(*line.user);
  if (!refusal && reading.given.password) refusal = CheckShareText(reading.given.password->view());
  if (refusal) {
    Fail(console, *refusal);
    return std::nullopt;
  }
  return std::move(reading.given);
}

// Drive letters need a desktop session: without one, say what is missing and stop.
std::unique_ptr<platform::DriveMappings> SessionDrives(Console& console) {
  std::unique_ptr<platform::DriveMappings> drives = platform::MakeDriveMappings();
  if (const std::string missing = drives->Unavailable(); !missing.empty()) {
    Fail(console, missing);
    return nullptr;
  }
  return drives;
}

int RunDrives(const CommandLine& line, Console& console) {
  const std::unique_ptr<platform::DriveMappings> drives = SessionDrives(console);
  if (!drives) return kExitDeviceFailed;
  const std::vector<operations::MappedDrive> mapped = operations::ListMappedDrives(*drives);
  console.out << (line.json ? FormatDrivesJson(mapped) : FormatDrivesTable(mapped));
  return kExitOk;
}

int TellMountResult(const operations::MountResult& result, const CommandLine& line,
                    const CommandInteraction& interaction, const protocol::DeviceRecord& device,
                    platform::DriveMappings& drives, Console& console) {
  switch (result.outcome) {
    case operations::MountOutcome::kMapped:
      console.out << operations::text::kMapDone << "\n"
                  << FormatDrivesTable(
                         {{line.drive, result.remote, drives.GetFolder(line.drive).value_or("")}});
      return kExitOk;
    case operations::MountOutcome::kUnavailable:
      Fail(console, result.unavailable);
      return kExitDeviceFailed;
    case operations::MountOutcome::kUnreachable:
      Fail(console, DeviceGone(line.address));
      return kExitDeviceFailed;
    case operations::MountOutcome::kNameRefused:
      Fail(console, std::string(operations::text::kMapFailed) + " The device's name " +
                        TerminalSafe(device.name.view()) + " cannot name a share.");
      return kExitDeviceFailed;
    case operations::MountOutcome::kFailed:
      Fail(console, std::string(operations::text::kMapFailed) + " " +
                        interaction.TypedRefusal().value_or(MountFailure(result, line)));
      return kExitDeviceFailed;
    case operations::MountOutcome::kNoShare:
    case operations::MountOutcome::kCancelled:
    case operations::MountOutcome::kNoLetter:
      break;
  }
  return kExitUsage;  // the arguments always name a share and a letter
}

int RunMount(const CommandLine& line, Console& console) {
  std::optional<GivenPassword> given = TakeShareLogin(line, console);
  if (!given) return kExitUsage;
  const std::unique_ptr<platform::DriveMappings> drives = SessionDrives(console);
  if (!drives) return kExitDeviceFailed;
  DeviceRun run(line, console);
  if (const auto status = run.SearchAndSelect(line.address)) return *status;
  if (const auto status = run.RefuseOutsideSubnet()) return *status;
  const protocol::DeviceRecord& device = run.record();
  const operations::MountRequest request{device.name.str(), line.address, line.share, line.drive};
  CommandInteraction interaction(std::move(*given), line.address, console,
                                 {line.byName, line.user});
  const operations::MountResult result = operations::MountShare({*drives}, request, interaction);
  return TellMountResult(result, line, interaction, device, *drives, console);
}

int RunUnmount(const CommandLine& line, Console& console) {
  const std::unique_ptr<platform::DriveMappings> drives = platform::MakeDriveMappings();
  CommandInteraction interaction({}, line.address, console);
  const operations::UnmountResult result =
      operations::UnmountDrive(*drives, std::string(1, line.drive), interaction);
  const std::string drive{line.drive, ':'};
  switch (result.outcome) {
    case operations::UnmountOutcome::kDone:
      console.out << operations::text::kUnmountDone << "\n";
      return kExitOk;
    case operations::UnmountOutcome::kUnavailable:
      Fail(console, result.unavailable);
      return kExitDeviceFailed;
    case operations::UnmountOutcome::kRefused:
      break;
  }
  std::string reason = "It could not be unmounted.";
  if (result.result == platform::DriveResult::kNotConnected) reason = drive + " is not mapped.";
  if (result.result == platform::DriveResult::kFilesOpen) {
    reason = "Files are open on " + drive + ", or a program works in one of its folders.";
  }
  Fail(console, std::string(operations::text::kUnmountFailedHeadline) + " " + reason);
  return kExitDeviceFailed;
}

int RunWeb(const CommandLine& line, Console& console) {
  CommandInteraction interaction({}, line.address, console);
  const std::unique_ptr<platform::WebBrowser> browser = platform::MakeWebBrowser();
  const operations::WebPageResult result =
      operations::OpenWebPage(line.address, *browser, interaction);
  switch (result.outcome) {
    case operations::WebPageOutcome::kUnreachable:
      Fail(console, DeviceGone(line.address));
      return kExitDeviceFailed;
    case operations::WebPageOutcome::kBrowser:
      console.out << "Opened " << result.url << " in " << TerminalSafe(result.browserName) << "\n";
      return kExitOk;
    case operations::WebPageOutcome::kSystemOpener:
      console.out << "Opened " << result.url << " with xdg-open\n";
      return kExitOk;
    case operations::WebPageOutcome::kNotStarted:
      break;
  }
  Fail(console, "neither the browser nor xdg-open could be started for " + result.url);
  return kExitDeviceFailed;
}

// The drive letter of mount and unmount, and the share and the login of mount.
std::string CheckLetter(CommandLine& line) {
  const std::optional<char> letter = NormaliseDriveLetter(*line.driveText);
  if (!letter) return "not a drive letter D-Z: " + *line.driveText;
  line.drive = *letter;
  return "";
}

std::string CheckMount(CommandLine& line) {
  if (std::string error = CheckLetter(line); !error.empty()) return error;
  if (!platform::ParseShareName("\\\\host\\" + line.share))
    return "not a share name: " + line.share;
  if ((line.password || line.passwordFile) && !line.user) {
    return std::string(line.password ? "--password" : "--password-file") + " needs --user";
  }
  return "";
}

}  // namespace

std::vector<CommandSpec> ShareCommands() {
  CommandSpec drives;
  drives.command = Command::kDrives;
  drives.name = "drives";
  drives.summary = "  drives                 list the drive letters mapped to shares\n";
  drives.usage =
      "Usage: corvane drives [--json]\n"
      "Lists the drive letters that stand for a device's share mounted in this desktop\n"
      "session: letter, the share as it was mapped (\\\\host\\share) and the folder any\n"
      "program opens its files in.\n";
  drives.options = {{"--json", &CommandLine::json, nullptr, false,
                     "  --json     print a JSON array of objects with the keys letter, remote and\n"
                     "             path\n"}};
  drives.run = RunDrives;

  CommandSpec mount;
  mount.command = Command::kMount;
  mount.name = "mount";
  mount.summary = "  mount ADDRESS SHARE    map a device's share to a drive letter\n";
  mount.usage =
      "Usage: corvane mount ADDRESS SHARE --drive L [--by-name] [--user U]\n"
      "                     [--password-file FILE | --password P]\n"
      "Searches, checks that the device at ADDRESS still answers on its web port, then\n"
      "maps its share SHARE to the drive letter L (D-Z), replacing what L stood for.\n"
      "The share is tried without credentials first; when it keeps refusing, once more\n"
      "with U and its password (from the options below, or asked for on a terminal).\n";
  mount.takesAddress = true;
  mount.operand = "SHARE";
  mount.takeOperand = [](CommandLine& line, const std::string& share) { line.share = share; };
  mount.options = {
      {"--drive", nullptr, &CommandLine::driveText, true,
       "  --drive L             the drive letter\n"},
      {"--by-name", &CommandLine::byName, nullptr, false,
       "  --by-name             name the share by the device's name, not its address\n"},
      {"--user", nullptr, &CommandLine::user, false,
       "  --user U              the user for a share that needs a login (at most 16\n"
       "                        characters)\n"},
      PasswordFileOption(),
      PasswordOption()};
  mount.check = CheckMount;
  mount.run = RunMount;

  CommandSpec unmount;
  unmount.command = Command::kUnmount;
  unmount.name = "unmount";
  unmount.summary = "  unmount L              remove the mapping of drive letter L\n";
  unmount.usage =
      "Usage: corvane unmount L\n"
      "Removes the mapping of the drive letter L (D-Z). Refused while any of your\n"
      "programs has a file open on the drive or works in one of its folders.\n";
  unmount.operand = "LETTER";
  unmount.takeOperand = [](CommandLine& line, const std::string& letter) {
    line.driveText = letter;
  };
  unmount.check = CheckLetter;
  unmount.run = RunUnmount;

  CommandSpec web;
  web.command = Command::kWeb;
  web.name = "web";
  web.summary = "  web ADDRESS            open a device's web page in the browser\n";
  web.usage =
      "Usage: corvane web ADDRESS\n"
      "Checks that the device at ADDRESS answers on its web port, then opens its web\n"
      "page, http://ADDRESS, in the desktop's default browser (or with xdg-open).\n";
  web.takesAddress = true;
  web.run = RunWeb;
  return {drives, mount, unmount, web};
}

}  // namespace corvane::cli
