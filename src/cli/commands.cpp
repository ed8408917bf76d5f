// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/commands.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <thread>

#include "cli/command_line.h"
#include "cli/input_checks.h"
#include "cli/language_output.h"
#include "cli/output_format.h"
#include "cli/password_input.h"
#include "cli/payloads_command.h"
#include "language/codepage_files.h"
#include "operations/codepage_install.h"
#include "operations/credentials.h"
#include "operations/device_view.h"
#include "operations/drive_mapping.h"
#include "operations/input_rules.h"
#include "operations/lan_settings.h"
#include "operations/names.h"
#include "operations/reachability_check.h"
#include "operations/web_page.h"
#include "platform/drive_mappings.h"
#include "platform/smb_files.h"
#include "platform/web_browser.h"
#include "protocol/session.h"

namespace corvane::cli {

namespace {

using operations::CredentialsAnswer;
using operations::DeviceIdentity;
using operations::Whereabouts;
using protocol::Session;

void Fail(Console& console, std::string_view message) {
  console.err << "corvane: " << TerminalSafe(OneLine(message)) << "\n";
}

// The share's user and password fill buffers of 16 characters, as the window's Login dialog does.
std::optional<std::string> CheckShareText(std::string_view text) {
  if (text.size() <= protocol::kMaxLoginLength) return std::nullopt;
  return "a share's user name and password hold at most 16 characters each";
}

// What mount answers for the window's Mapping Type and share Login dialogs.
struct ShareAnswers {
  bool byName = false;
  std::optional<std::string> user;
};

// The command line's side of an operation: the password from the options, a file or the
// terminal, and plain blocking waits.
class CommandInteraction : public operations::Interaction {
 public:
  CommandInteraction(GivenPassword given, std::string address, Console& console,
                     ShareAnswers share = {})
      : given_(std::move(given)),
        address_(std::move(address)),
        console_(console),
        share_(std::move(share)) {}

  // The given password, or one asked for on the terminal; nothing to try without either. One
  // from the terminal that the device cannot take is remembered and not tried.
  std::optional<platform::Credentials> AskAdministratorCredentials() override {
    AskOnTerminal("Administrator password for " + address_ + ": ");
    if (!given_.password) return std::nullopt;
    passwordRefusal_ = CheckPassword(given_.password->view());
    if (passwordRefusal_) return std::nullopt;
    return platform::Credentials{platform::SecretText(operations::kDefaultAdminUser),
                                 platform::SecretText(given_.password->view())};
  }

  // Nothing to keep going meanwhile: a short sleep between looks costs the work nothing.
  void WaitUntil(const std::function<bool()>& done) override {
    while (!done()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }

  // --by-name answers the question the window asks in its Mapping Type dialog.
  operations::MapType ChooseMapType() override {
    return share_.byName ? operations::MapType::kHostName : operations::MapType::kAddress;
  }

  // Only a user given with --user is tried; its password comes from --password,
  // --password-file or the terminal.
  std::optional<platform::Credentials> AskShareCredentials(std::string_view remote) override {
    if (!share_.user) return std::nullopt;
    AskOnTerminal("Password for " + *share_.user + " on " + TerminalSafe(remote) + ": ");
    platform::Credentials login{platform::SecretText(*share_.user), {}};
    if (!given_.password) return login;
    typedRefusal_ = CheckShareText(given_.password->view());
    if (!typedRefusal_) login.password = platform::SecretText(given_.password->view());
    return login;
  }

  // A password typed at the prompt that the share's buffer cannot take.
  const std::optional<std::string>& TypedRefusal() const { return typedRefusal_; }

  PasswordSource source() const { return given_.source; }

 private:
  // Asks when no password was given and there is a terminal to ask on.
  void AskOnTerminal(const std::string& prompt) {
    if (given_.password || !console_.askSecret) return;
    if (std::optional<std::string> typed = console_.askSecret(prompt)) {
      given_.password.emplace(*typed);
      given_.source = PasswordSource::kTerminal;
      platform::SecretText::Wipe(*typed);
    }
  }

 public:
  void Report(const operations::Progress& progress) override {
    if (progress.kind != operations::Progress::Kind::kFileWritten) return;
    console_.out << "wrote " << TerminalSafe(progress.text) << " (" << progress.bytes << " bytes)\n"
                 << std::flush;
  }

  // After the password check failed: what the user hears, and the exit status.
  int CredentialsNotProven(const operations::CredentialsProof& proof) {
    if (passwordRefusal_) {
      Fail(console_, *passwordRefusal_);
      return kExitUsage;
    }
    if (proof.Final() == CredentialsAnswer::kNoAnswer) {
      Fail(console_, "the device did not answer the administrator password check");
    } else if (!proof.givenPair) {
      Fail(console_,
           "the device refused its default administrator password; give its password with "
           "--password-file FILE, or run corvane on a terminal to be asked for it");
    } else {
      Fail(console_, operations::text::kWrongAdminPassword);
    }
    return kExitDeviceFailed;
  }

 private:
  GivenPassword given_;
  std::string address_;
  Console& console_;
  ShareAnswers share_;
  std::optional<std::string> passwordRefusal_;
  std::optional<std::string> typedRefusal_;
};

std::string_view AnswerText(CredentialsAnswer answer) {
  switch (answer) {
    case CredentialsAnswer::kAccepted:
      return "accepted";
    case CredentialsAnswer::kRefused:
      return "refused";
    case CredentialsAnswer::kNoAnswer:
      break;
  }
  return "no answer";
}

// One run of the protocol: the transport, with its problems on stderr, the searches, and the
// trace of --verbose.
class DeviceRun {
 public:
  DeviceRun(const CommandLine& line, Console& console) : console_(console), verbose_(line.verbose) {
    std::ostream& err = console.err;
    if (verbose_) {
      session_.SetTraceSink(
          [&err](std::string_view text) { err << TerminalLine(text) << std::flush; });
    } else {
      session_.SetTraceSink([](std::string_view) {});
    }
  }

  Session& session() { return session_; }
  const DeviceIdentity& selected() const { return selected_; }

  // False when no interface can carry the protocol at all.
  bool Open() {
    session_.OpenTransport();
    // Each problem already names its interface and says what it costs.
    for (const protocol::TransportProblem& problem : session_.TransportProblems()) {
      Fail(console_, problem.message);
    }
    if (session_.InterfaceCount == 0) {
      if (session_.TransportProblems().empty()) Fail(console_, "no usable network interface");
      return false;
    }
    return true;
  }

  void Search() {
    session_.SearchDevices(protocol::kSearchFilter, protocol::kSearchFilter);
    // When every interface is already reported unusable, the firewall is not the question. A
    // problem that names no interface (another program on the port) leaves them all usable.
    const auto unusable = std::count_if(
        session_.TransportProblems().begin(), session_.TransportProblems().end(),
        [](const protocol::TransportProblem& problem) { return !problem.interfaceName.empty(); });
    if (session_.DeviceTable.count() == 0 && unusable < session_.InterfaceCount) {
      Fail(console_,
           "no device answered; UDP port 13579 must be open for inbound traffic in the local "
           "firewall");
    }
  }

  // Searches and selects the device; the exit status when it is not there.
  std::optional<int> SearchAndSelect(const std::string& address) {
    if (!Open()) return kExitDeviceFailed;
    Search();
    const protocol::DeviceRecord* record = session_.DeviceTable.FindDeviceByAddress(address);
    if (record == nullptr) {
      if (session_.DeviceTable.count() > 0) Fail(console_, "no device answered at " + address);
      return kExitNotFound;
    }
    selected_ = operations::IdentityOf(*record);
    session_.SelectedAddress.Set(address);
    return std::nullopt;
  }

  // After a change: where the device answers now. Only the device itself counts, not another
  // one that answers at the address.
  Whereabouts ReportWhereNow(const DeviceIdentity& device, const std::string& address) {
    session_.SearchDevices(protocol::kSearchFilter, protocol::kSearchFilter);
    const operations::DeviceAtAddress found = operations::LocateDevice(session_, device, address);
    switch (found.where) {
      case Whereabouts::kNoAnswer:
        Fail(console_, "the device does not answer a new search at " + address +
                           " yet; search again in a moment");
        break;
      case Whereabouts::kOtherDeviceAnswers:
        Fail(console_, "another device (" + found.record->name.str() + ") answers at " + address +
                           ", not the one that was changed");
        break;
      case Whereabouts::kAnswers:
        PrintAnswersAt(operations::ViewOf(*found.record, session_));
        break;
    }
    return found.where;
  }

  // The steps of a LAN change, for --verbose.
  void TraceSteps(const operations::LanResult& result, PasswordSource source) {
    if (!verbose_) return;
    const operations::CredentialsProof& proof = result.credentials;
    Trace("password check with the default password: " +
          std::string(AnswerText(proof.defaultPair)));
    if (proof.givenPair) {
      Trace("password check with the password from " + std::string(DescribeSource(source)) + ": " +
            std::string(AnswerText(*proof.givenPair)));
    }
    if (!proof.Accepted()) return;
    Trace(std::string("set request: ") + (result.confirmed ? "confirmed" : "not confirmed"));
  }

 private:
  void Trace(const std::string& line) { console_.err << TerminalLine(line) << std::flush; }

  void PrintAnswersAt(const DeviceView& view) {
    console_.out << TerminalSafe(view.name) << " now answers at " << view.address << " (netmask "
                 << TerminalSafe(view.netmask) << ", gateway " << TerminalSafe(view.gateway)
                 << ", DHCP " << (view.dhcp ? "Enabled" : "Disabled") << ")\n";
  }

  Console& console_;
  bool verbose_;
  Session session_;
  DeviceIdentity selected_{};
};

int RunSearch(const CommandLine& line, Console& console) {
  DeviceRun run(line, console);
  // A script reading the JSON gets an empty list; the reason is on stderr.
  if (!run.Open()) {
    if (line.json) console.out << FormatDevicesJson({});
    return kExitDeviceFailed;
  }
  run.Search();
  const std::vector<DeviceView> views = operations::ListDevices(run.session());
  console.out << (line.json ? FormatDevicesJson(views) : FormatDeviceTable(views));
  return kExitOk;
}

int RunInfo(const CommandLine& line, Console& console) {
  DeviceRun run(line, console);
  if (const auto status = run.SearchAndSelect(line.address)) return *status;
  CommandInteraction interaction({}, line.address, console);
  const DeviceDetails details = operations::ShowDevice(run.session(), interaction);
  console.out << (line.json ? FormatDetailsJson(details) : FormatDetailsText(details));
  if (!details.workgroupRead) Fail(console, "the device did not answer the workgroup request");
  if (!details.sharesRead) Fail(console, "the device did not answer the share list request");
  return details.workgroupRead && details.sharesRead ? kExitOk : kExitDeviceFailed;
}

// The administrator password of --password or --password-file, read and checked before
// anything is sent; empty when it was refused (a usage error, already told).
std::optional<GivenPassword> TakeAdminPassword(const CommandLine& line, Console& console) {
  PasswordReading reading = ReadGivenPassword(line, console.in);
  if (!reading.refusal.empty()) {
    Fail(console, reading.refusal);
    return std::nullopt;
  }
  if (reading.given.password) {
    if (const std::optional<std::string> refusal = CheckPassword(reading.given.password->view())) {
      Fail(console, *refusal);
      return std::nullopt;
    }
  }
  return std::move(reading.given);
}

int RunSetDhcp(const CommandLine& line, Console& console) {
  std::optional<GivenPassword> given = TakeAdminPassword(line, console);
  if (!given) return kExitUsage;
  DeviceRun run(line, console);
  if (const auto status = run.SearchAndSelect(line.address)) return *status;
  CommandInteraction interaction(std::move(*given), line.address, console);
  const operations::LanResult result =
      operations::ChangeLanSettings(run.session(), operations::LanChange::kDhcp, interaction);
  run.TraceSteps(result, interaction.source());
  switch (result.outcome) {
    case operations::LanOutcome::kCredentialsRefused:
    case operations::LanOutcome::kCredentialsUnanswered:
      return interaction.CredentialsNotProven(result.credentials);
    case operations::LanOutcome::kDhcpDone:
      console.out << operations::MessageFor(result.outcome) << "\n";
      // Any reply to this run confirms a DHCP switch: only the new search tells whose it was.
      return run.ReportWhereNow(result.device, result.newAddress) ==
                     Whereabouts::kOtherDeviceAnswers
                 ? kExitDeviceFailed
                 : kExitOk;
    case operations::LanOutcome::kDhcpFailed:
    case operations::LanOutcome::kAddressSent:
      break;
  }
  Fail(console, operations::MessageFor(operations::LanOutcome::kDhcpFailed));
  return kExitDeviceFailed;
}

int RunSetStatic(const CommandLine& line, Console& console) {
  DeviceRun run(line, console);
  // Refused input costs no search: the checks come first.
  const operations::StaticAddressInput input = ReadStaticInput(line.ip, line.netmask, line.gateway);
  if (const auto refusal = operations::TakeStaticAddresses(run.session(), input)) {
    Fail(console, refusal->message);
    return kExitUsage;
  }
  std::optional<GivenPassword> given = TakeAdminPassword(line, console);
  if (!given) return kExitUsage;
  if (const auto status = run.SearchAndSelect(line.address)) return *status;
  const std::string newAddress = run.session().NewAddress.str();
  if (const protocol::DeviceRecord* holder =
          operations::AddressHeldByAnother(run.session(), newAddress)) {
    Fail(console, newAddress + " is the address of another device that answers (" +
                      holder->name.str() + "); choose a free address");
    return kExitUsage;
  }
  CommandInteraction interaction(std::move(*given), line.address, console);
  const operations::LanResult result = operations::ChangeLanSettings(
      run.session(), operations::LanChange::kStaticAddress, interaction);
  run.TraceSteps(result, interaction.source());
  if (!result.credentials.Accepted()) return interaction.CredentialsNotProven(result.credentials);
  if (!result.confirmed) {
    // The device may have moved and lost the reply: the new search tells.
    Fail(console, "the device did not confirm the new address " + result.newAddress);
  }
  switch (run.ReportWhereNow(result.device, result.newAddress)) {
    case Whereabouts::kAnswers:
      return kExitOk;
    case Whereabouts::kNoAnswer:
      return result.confirmed ? kExitOk : kExitDeviceFailed;
    case Whereabouts::kOtherDeviceAnswers:
      break;
  }
  return kExitDeviceFailed;
}

int RunSetNames(const CommandLine& line, Console& console) {
  const operations::NamesInput input{line.hostName.value_or(""), line.workgroup.value_or("")};
  // Both names are checked before either is sent, so a refused workgroup cannot leave a
  // half-applied change behind.
  if (const auto refusal = operations::CheckNamesBeforeSending(input)) {
    Fail(console, *refusal);
    return kExitUsage;
  }
  DeviceRun run(line, console);
  if (const auto status = run.SearchAndSelect(line.address)) return *status;
  CommandInteraction interaction({}, line.address, console);
  // Both go out whatever the first answer: a lost reply does not mean the device ignored it.
  const operations::NamesResult result = operations::ChangeNames(run.session(), input, interaction);
  if (!result.hostNameConfirmed) Fail(console, "the device did not confirm the host name change");
  if (!result.workgroupConfirmed) {
    Fail(console, "the device did not confirm the workgroup change");
  }
  console.out << "Host name and workgroup sent.\n";
  run.ReportWhereNow(run.selected(), line.address);
  return result.hostNameConfirmed && result.workgroupConfirmed ? kExitOk : kExitDeviceFailed;
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
  const std::optional<platform::SecretText>& password = reading.given.password;
  for (const std::optional<std::string_view> text :
       {line.user ? std::optional<std::string_view>(*line.user) : std::nullopt,
        password ? std::optional<std::string_view>(password->view()) : std::nullopt}) {
    if (!text) continue;
    if (const std::optional<std::string> refusal = CheckShareText(*text)) {
      Fail(console, *refusal);
      return std::nullopt;
    }
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

int RunMount(const CommandLine& line, Console& console) {
  std::optional<GivenPassword> given = TakeShareLogin(line, console);
  if (!given) return kExitUsage;
  const std::unique_ptr<platform::DriveMappings> drives = SessionDrives(console);
  if (!drives) return kExitDeviceFailed;
  DeviceRun run(line, console);
  if (const auto status = run.SearchAndSelect(line.address)) return *status;
  const protocol::DeviceRecord* device =
      run.session().DeviceTable.FindDeviceByAddress(line.address);
  const operations::MountRequest request{device->name.str(), line.address, line.share, line.drive};
  CommandInteraction interaction(std::move(*given), line.address, console,
                                 {line.byName, line.user});
  const operations::MountResult result = operations::MountShare({*drives}, request, interaction);
  switch (result.outcome) {
    case operations::MountOutcome::kMapped:
      console.out << operations::text::kMapDone << "\n"
                  << FormatDrivesTable(
                         {{line.drive, result.remote, drives->GetFolder(line.drive).value_or("")}});
      return kExitOk;
    case operations::MountOutcome::kUnavailable:
      Fail(console, result.unavailable);
      return kExitDeviceFailed;
    case operations::MountOutcome::kUnreachable:
      Fail(console, "Device is no longer available: nothing answers at http://" + line.address);
      return kExitDeviceFailed;
    case operations::MountOutcome::kNameRefused:
      Fail(console, std::string(operations::text::kMapFailed) + " The device's name " +
                        TerminalSafe(device->name.view()) + " cannot name a share.");
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
  Fail(console, "Unmount Disk Fail! " + reason);
  return kExitDeviceFailed;
}

int RunWeb(const CommandLine& line, Console& console) {
  CommandInteraction interaction({}, line.address, console);
  const std::unique_ptr<platform::WebBrowser> browser = platform::MakeWebBrowser();
  const operations::WebPageResult result =
      operations::OpenWebPage(line.address, *browser, interaction);
  switch (result.outcome) {
    case operations::WebPageOutcome::kUnreachable:
      Fail(console, "Device is no longer available: nothing answers at http://" + line.address);
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

// A device whose disk cannot take a language: why, and where an unformatted one is formatted.
int TurnedAway(const operations::LanguageCheck& check, const std::string& address,
               Console& console) {
  if (!check.diskStateAnswered) Fail(console, "the device did not answer the disk state request");
  Fail(console, check.Refusal());
  if (check.OpensWebPage())
    Fail(console, "format the disk on the device's web page, http://" + address);
  return kExitDeviceFailed;
}

// The 90 seconds of the restart, then where the device answers.
void WaitForRestart(const std::string& address, Console& console, DeviceRun& run) {
  const Sleeper realSleep = [](std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
  };
  ShowRestartWait(console.out, console.outIsTerminal, console.sleep ? console.sleep : realSleep);
  run.ReportWhereNow(run.selected(), address);
}

// The disk and codepage checks, the installer, then the restart wait: as "Set language" in the
// window, told on the terminal.
int RunSetLanguage(const CommandLine& line, Console& console) {
  if (line.list) {
    console.out << FormatLanguageList();
    return kExitOk;
  }
  const std::optional<int> index = language::FindLanguage(line.language);
  if (!index) {
    Fail(console, "unknown language \"" + TerminalSafe(line.language) +
                      "\"; 'corvane set-language --list' prints the six");
    return kExitUsage;
  }
  DeviceRun run(line, console);
  if (const auto status = run.SearchAndSelect(line.address)) return *status;
  Session& session = run.session();
  CommandInteraction interaction({}, line.address, console);
  const operations::LanguageCheck check = operations::CheckLanguageSupport(session, interaction);
  if (!check.Ready()) return TurnedAway(check, line.address, console);
  if (check.codepageAnswered) {
    console.out << "The device uses codepage " << TerminalSafe(session.CodepageText.view())
                << " now.\n";
  }
  const std::unique_ptr<platform::SmbFiles> files = platform::MakeSmbFiles();
  const operations::InstallResult result =
      operations::InstallCodepageFiles(session, *files, *index, line.address, interaction);
  if (result.CopyFailed != 0) {
    Fail(console, operations::text::kCheckHardDrives);
    Fail(console, operations::DescribeInstallFailure(result));
    return kExitDeviceFailed;
  }
  const std::string_view codepage = language::kLanguages[static_cast<std::size_t>(*index)].codepage;
  console.out << "Codepage " << codepage << " sent; the device restarts.\n" << std::flush;
  if (!result.codepageConfirmed) Fail(console, "the device did not confirm the new codepage");
  if (!line.noWait) WaitForRestart(line.address, console, run);
  return result.codepageConfirmed ? kExitOk : kExitDeviceFailed;
}

int RunPayloads(const CommandLine& line, Console& console) {
  return RunPayloadsCommand(line.passThrough, console.out, console.err);
}

int RunParsed(const CommandLine& line, Console& console) {
  switch (line.command) {
    case Command::kSearch:
      return RunSearch(line, console);
    case Command::kInfo:
      return RunInfo(line, console);
    case Command::kSetDhcp:
      return RunSetDhcp(line, console);
    case Command::kSetStatic:
      return RunSetStatic(line, console);
    case Command::kSetNames:
      return RunSetNames(line, console);
    case Command::kDrives:
      return RunDrives(line, console);
    case Command::kMount:
      return RunMount(line, console);
    case Command::kUnmount:
      return RunUnmount(line, console);
    case Command::kWeb:
      return RunWeb(line, console);
    case Command::kPayloads:
      return RunPayloads(line, console);
    case Command::kSetLanguage:
      return RunSetLanguage(line, console);
    case Command::kNone:
      break;
  }
  return kExitUsage;
}

}  // namespace

int RunCorvane(const std::vector<std::string>& args, Console& console) {
  const ParseOutcome parsed = ParseCommandLine(args);
  const CommandLine& line = parsed.commandLine;
  if (!parsed.ok()) {
    Fail(console, parsed.error);
    const std::string_view name = CommandName(line.command);
    console.err << "Try 'corvane " << name << (name.empty() ? "" : " ") << "--help'.\n";
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
  return RunParsed(line, console);
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
