// SPDX-License-Identifier: GPL-3.0-or-later
// drives, mount, unmount and web: a device's shares on drive letters, and its web page.

#include "cli/command_interaction.h"
#include "cli/command_table.h"
#include "cli/device_run.h"
#include "cli/output_format.h"
#include "operations/drive_mapping.h"
#include "operations/texts.h"
#include "operations/web_page.h"
#include "platform/drive_mappings.h"
#include "platform/translation.h"
#include "platform/unc_path.h"
#include "platform/web_browser.h"

namespace corvane::cli {

namespace {

using platform::Fill;
using platform::Tr;

std::string DeviceGone(const std::string& address) {
  // TRANSLATORS: %s is the device's address; http://%s is its web page.
  return Fill(Tr("Device is no longer available: nothing answers at http://%s"), {address});
}

// Why a mapping failed, for the sentence after "Failed to map drive.".
std::string MountFailure(const operations::MountResult& result, const CommandLine& line) {
  using platform::DriveResult;
  const std::string drive{line.drive, ':'};
  switch (result.lastAttempt) {
    case DriveResult::kLoginNeeded:
      return std::string(line.user ? Tr("The share refused the user and password.")
                                   : Tr("The share needs a user and password (--user)."));
    case DriveResult::kTimedOut:
      return std::string(Tr("The device did not answer in time."));
    case DriveResult::kAlreadyAssigned:
    case DriveResult::kFilesOpen:
      // TRANSLATORS: %s is a drive letter with its colon (Z:).
      return Fill(Tr("%s stays mapped: files are open on it."), {drive});
    case DriveResult::kNoFolder:
      return std::string(Tr("The share has no folder for other programs (gvfs-fuse is missing)."));
    case DriveResult::kStateFile:
      return std::string(Tr("The record of the drive letters cannot be written."));
    case DriveResult::kUnavailable:
      return std::string(Tr("Drive letters cannot be mapped here."));
    case DriveResult::kBadLocalName:
    case DriveResult::kBadRemoteName:
      // TRANSLATORS: %s is the share as it is mapped (\\host\share).
      return Fill(Tr("The share cannot be named %s."), {TerminalSafe(result.remote)});
    case DriveResult::kOk:
    case DriveResult::kNotConnected:
    case DriveResult::kFailed:
      break;
  }
  // TRANSLATORS: %s is the share as it is mapped (\\host\share).
  return Fill(Tr("The device refused %s, or has no such share."), {TerminalSafe(result.remote)});
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
      console.out << Tr(operations::text::kMapDone) << "\n"
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
      Fail(console, std::string(Tr(operations::text::kMapFailed)) + " " +
                        // TRANSLATORS: %s is the device's name.
                        Fill(Tr("The device's name %s cannot name a share."),
                             {TerminalSafe(device.name.view())}));
      return kExitDeviceFailed;
    case operations::MountOutcome::kFailed:
      Fail(console, std::string(Tr(operations::text::kMapFailed)) + " " +
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

// Why a drive letter stays, for the sentence after "Unmount Disk Fail!".
std::string UnmountRefusal(platform::DriveResult refusal, char letter) {
  const std::string drive{letter, ':'};
  if (refusal == platform::DriveResult::kNotConnected) {
    // TRANSLATORS: %s is a drive letter with its colon (Z:).
    return Fill(Tr("%s is not mapped."), {drive});
  }
  if (refusal == platform::DriveResult::kFilesOpen) {
    // TRANSLATORS: %s is a drive letter with its colon (Z:).
    return Fill(Tr("Files are open on %s, or a program works in one of its folders."), {drive});
  }
  return std::string(Tr("It could not be unmounted."));
}

int RunUnmount(const CommandLine& line, Console& console) {
  const std::unique_ptr<platform::DriveMappings> drives = platform::MakeDriveMappings();
  CommandInteraction interaction({}, line.address, console);
  const operations::UnmountResult result =
      operations::UnmountDrive(*drives, std::string(1, line.drive), interaction);
  switch (result.outcome) {
    case operations::UnmountOutcome::kDone:
      console.out << Tr(operations::text::kUnmountDone) << "\n";
      return kExitOk;
    case operations::UnmountOutcome::kUnavailable:
      Fail(console, result.unavailable);
      return kExitDeviceFailed;
    case operations::UnmountOutcome::kRefused:
      break;
  }
  Fail(console, std::string(Tr(operations::text::kUnmountFailedHeadline)) + " " +
                    UnmountRefusal(result.result, line.drive));
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
      // TRANSLATORS: %1$s is the web page's address, %2$s the browser's name.
      console.out << Fill(Tr("Opened %1$s in %2$s"), {result.url, TerminalSafe(result.browserName)})
                  << "\n";
      return kExitOk;
    case operations::WebPageOutcome::kSystemOpener:
      // TRANSLATORS: %s is the web page's address; xdg-open is a program's name.
      console.out << Fill(Tr("Opened %s with xdg-open"), {result.url}) << "\n";
      return kExitOk;
    case operations::WebPageOutcome::kNotStarted:
      break;
  }
  // TRANSLATORS: %s is the web page's address; xdg-open is a program's name.
  Fail(console, Fill(Tr("neither the browser nor xdg-open could be started for %s"), {result.url}));
  return kExitDeviceFailed;
}

// The drive letter of mount and unmount, and the share and the login of mount.
std::string CheckLetter(CommandLine& line) {
  const std::optional<char> letter = NormaliseDriveLetter(*line.driveText);
  if (!letter) return Fill(Tr("not a drive letter D-Z: %s"), {*line.driveText});
  line.drive = *letter;
  return "";
}

std::string CheckMount(CommandLine& line) {
  if (std::string error = CheckLetter(line); !error.empty()) return error;
  if (!platform::ParseShareName("\\\\host\\" + line.share)) {
    return Fill(Tr("not a share name: %s"), {line.share});
  }
  if ((line.password || line.passwordFile) && !line.user) {
    // TRANSLATORS: %s is an option, --password or --password-file.
    return Fill(Tr("%s needs --user"), {line.password ? "--password" : "--password-file"});
  }
  return "";
}

}  // namespace

std::vector<CommandSpec> ShareCommands() {
  CommandSpec drives;
  drives.command = Command::kDrives;
  drives.name = "drives";
  // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
  // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
  drives.summary = N_("  drives                 list the drive letters mapped to shares\n");
  drives.usage =
      // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
      // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
      N_("Usage: corvane drives [--json]\n"
         "Lists the drive letters that stand for a device's share mounted in this desktop\n"
         "session: letter, the share as it was mapped (\\\\host\\share) and the folder any\n"
         "program opens its files in.\n");
  drives.options = {
      {"--json", &CommandLine::json, nullptr, false,
       // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
       // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
       N_("  --json     print a JSON array of objects with the keys letter, remote and\n"
          "             path\n")}};
  drives.run = RunDrives;

  CommandSpec mount;
  mount.command = Command::kMount;
  mount.name = "mount";
  // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
  // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
  mount.summary = N_("  mount ADDRESS SHARE    map a device's share to a drive letter\n");
  mount.usage =
      // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
      // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
      N_("Usage: corvane mount ADDRESS SHARE --drive L [--by-name] [--user U]\n"
         "                     [--password-file FILE | --password P]\n"
         "Searches, checks that the device at ADDRESS still answers on its web port, then\n"
         "maps its share SHARE to the drive letter L (D-Z), replacing what L stood for.\n"
         "The share is tried without credentials first; when it keeps refusing, once more\n"
         "with U and its password (from the options below, or asked for on a terminal).\n");
  mount.takesAddress = true;
  mount.operand = "SHARE";
  mount.takeOperand = [](CommandLine& line, const std::string& share) { line.share = share; };
  mount.options = {
      {"--drive", nullptr, &CommandLine::driveText, true,
       // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
       // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
       N_("  --drive L             the drive letter\n")},
      {"--by-name", &CommandLine::byName, nullptr, false,
       // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
       // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
       N_("  --by-name             name the share by the device's name, not its address\n")},
      {"--user", nullptr, &CommandLine::user, false,
       // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
       // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
       N_("  --user U              the user for a share that needs a login (at most 16\n"
          "                        characters)\n")},
      PasswordFileOption(),
      PasswordOption()};
  mount.check = CheckMount;
  mount.run = RunMount;

  CommandSpec unmount;
  unmount.command = Command::kUnmount;
  unmount.name = "unmount";
  // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
  // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
  unmount.summary = N_("  unmount L              remove the mapping of drive letter L\n");
  unmount.usage =
      // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
      // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
      N_("Usage: corvane unmount L\n"
         "Removes the mapping of the drive letter L (D-Z). Refused while any of your\n"
         "programs has a file open on the drive or works in one of its folders.\n");
  unmount.operand = "LETTER";
  unmount.takeOperand = [](CommandLine& line, const std::string& letter) {
    line.driveText = letter;
  };
  unmount.check = CheckLetter;
  unmount.run = RunUnmount;

  CommandSpec web;
  web.command = Command::kWeb;
  web.name = "web";
  // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
  // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
  web.summary = N_("  web ADDRESS            open a device's web page in the browser\n");
  web.usage =
      // TRANSLATORS: help; lines within 80 columns (CJK characters count two); command names,
      // option names and placeholders (ADDRESS, FILE...) unchanged; option descriptions aligned.
      N_("Usage: corvane web ADDRESS\n"
         "Checks that the device at ADDRESS answers on its web port, then opens its web\n"
         "page, http://ADDRESS, in the desktop's default browser (or with xdg-open).\n");
  web.takesAddress = true;
  web.run = RunWeb;
  return {drives, mount, unmount, web};
}

}  // namespace corvane::cli
