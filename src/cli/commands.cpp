// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/commands.h"

#include <algorithm>
#include <exception>
#include <thread>

#include "cli/command_line.h"
#include "cli/input_checks.h"
#include "cli/language_output.h"
#include "cli/output_format.h"
#include "language/codepage_files.h"
#include "language/payloads_command.h"
#include "operations/codepage_install.h"
#include "operations/credentials.h"
#include "operations/device_view.h"
#include "operations/lan_settings.h"
#include "operations/names.h"
#include "platform/smb_files.h"
#include "protocol/session.h"
#include "protocol/validation.h"

namespace corvane::cli {

namespace {

using protocol::Session;

void Fail(Console& console, std::string_view message) {
  console.err << "corvane: " << OneLine(message) << "\n";
}

// The command line's side of an operation: the password from the options or the terminal, and
// plain blocking waits.
class CommandInteraction : public operations::Interaction {
 public:
  CommandInteraction(const CommandLine& line, Console& console) : line_(line), console_(console) {}

  // The given password, or one asked for on the terminal; a refused one is remembered and the
  // pair left as it was.
  void AskAdministratorCredentials(Session& session) override {
    std::optional<std::string> password = line_.password;
    if (!password && console_.askSecret) {
      password = console_.askSecret("Administrator password for " + line_.address + ": ");
    }
    if (!password) return;
    passwordRefusal_ = CheckPassword(*password);
    if (passwordRefusal_) return;
    session.LoginUserName.Set(operations::kDefaultAdminUser);
    session.LoginPassword.Set(*password);
  }

  void Blocking(const std::function<void()>& exchange) override { exchange(); }

  void Wait(std::chrono::milliseconds duration) override { std::this_thread::sleep_for(duration); }

  void CodepageFileWritten(std::string_view targetPath, std::size_t bytes) override {
    console_.out << "wrote " << TerminalSafe(targetPath) << " (" << bytes << " bytes)\n"
                 << std::flush;
  }

  // After the device refused the password: what the user hears, and the exit status.
  int CredentialsRefused() {
    if (passwordRefusal_) {
      Fail(console_, *passwordRefusal_);
      return kExitUsage;
    }
    Fail(console_, validation::kWrongAdminPassword);
    return kExitDeviceFailed;
  }

 private:
  const CommandLine& line_;
  Console& console_;
  std::optional<std::string> passwordRefusal_;
};

// One run of the protocol: the transport, with its problems on stderr, and the searches.
class DeviceRun {
 public:
  DeviceRun(const CommandLine& line, Console& console) : console_(console) {
    std::ostream& err = console.err;
    if (line.verbose) {
      session_.SetTraceSink(
          [&err](std::string_view text) { err << TerminalSafe(text) << std::flush; });
    } else {
      session_.SetTraceSink([](std::string_view) {});
    }
  }

  Session& session() { return session_; }

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
    if (session_.DeviceTable.FindDeviceByAddress(address) == nullptr) {
      if (session_.DeviceTable.count() > 0) Fail(console_, "no device answered at " + address);
      return kExitNotFound;
    }
    session_.SelectedAddress.Set(address);
    return std::nullopt;
  }

  // After a change: where the device answers now.
  void ReportWhereNow(const std::string& address) {
    session_.SearchDevices(protocol::kSearchFilter, protocol::kSearchFilter);
    const protocol::DeviceRecord* record = session_.DeviceTable.FindDeviceByAddress(address);
    if (record == nullptr) {
      Fail(console_, "the device does not answer a new search at " + address +
                         " yet; search again in a moment");
      return;
    }
    const DeviceView view = operations::ViewOf(*record, session_);
    console_.out << TerminalSafe(view.name) << " now answers at " << view.address << " (netmask "
                 << TerminalSafe(view.netmask) << ", gateway " << TerminalSafe(view.gateway)
                 << ", DHCP " << (view.dhcp ? "Enabled" : "Disabled") << ")\n";
  }

 private:
  Console& console_;
  Session session_;
};

int RunSearch(const CommandLine& line, Console& console) {
  DeviceRun run(line, console);
  if (!run.Open()) return kExitDeviceFailed;
  run.Search();
  const std::vector<DeviceView> views = operations::ListDevices(run.session());
  console.out << (line.json ? FormatDevicesJson(views) : FormatDeviceTable(views));
  return kExitOk;
}

int RunInfo(const CommandLine& line, Console& console) {
  DeviceRun run(line, console);
  if (const auto status = run.SearchAndSelect(line.address)) return *status;
  CommandInteraction interaction(line, console);
  const DeviceDetails details = operations::ShowDevice(run.session(), interaction);
  console.out << (line.json ? FormatDetailsJson(details) : FormatDetailsText(details));
  if (!details.workgroupRead) Fail(console, "the device did not answer the workgroup request");
  if (!details.sharesRead) Fail(console, "the device did not answer the share list request");
  return details.workgroupRead && details.sharesRead ? kExitOk : kExitDeviceFailed;
}

// A password given on the command line is checked before anything is sent; the exit status
// when it is refused.
std::optional<int> RefuseGivenPassword(const CommandLine& line, Console& console) {
  if (!line.password) return std::nullopt;
  const std::optional<std::string> refusal = CheckPassword(*line.password);
  if (!refusal) return std::nullopt;
  Fail(console, *refusal);
  return kExitUsage;
}

int RunSetDhcp(const CommandLine& line, Console& console) {
  if (const auto status = RefuseGivenPassword(line, console)) return *status;
  DeviceRun run(line, console);
  if (const auto status = run.SearchAndSelect(line.address)) return *status;
  CommandInteraction interaction(line, console);
  const operations::LanResult result =
      operations::ChangeLanSettings(run.session(), operations::LanChange::kDhcp, interaction);
  switch (result.outcome) {
    case operations::LanOutcome::kCredentialsRefused:
      return interaction.CredentialsRefused();
    case operations::LanOutcome::kDhcpDone:
      console.out << operations::MessageFor(result.outcome) << "\n";
      run.ReportWhereNow(result.newAddress);
      return kExitOk;
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
  if (const auto status = RefuseGivenPassword(line, console)) return *status;
  if (const auto status = run.SearchAndSelect(line.address)) return *status;
  CommandInteraction interaction(line, console);
  const operations::LanResult result = operations::ChangeLanSettings(
      run.session(), operations::LanChange::kStaticAddress, interaction);
  if (result.outcome == operations::LanOutcome::kCredentialsRefused) {
    return interaction.CredentialsRefused();
  }
  if (!result.confirmed) {
    // The device may have moved and lost the reply: the new search tells.
    Fail(console, "the device did not confirm the new address " + result.newAddress);
  }
  run.ReportWhereNow(result.newAddress);
  if (result.confirmed) return kExitOk;
  return run.session().DeviceTable.FindDeviceByAddress(result.newAddress) != nullptr
             ? kExitOk
             : kExitDeviceFailed;
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
  CommandInteraction interaction(line, console);
  // Both go out whatever the first answer: a lost reply does not mean the device ignored it.
  const operations::NamesResult result = operations::ChangeNames(run.session(), input, interaction);
  if (!result.hostNameConfirmed) Fail(console, "the device did not confirm the host name change");
  if (!result.workgroupConfirmed) {
    Fail(console, "the device did not confirm the workgroup change");
  }
  console.out << "Host name and workgroup sent.\n";
  run.ReportWhereNow(line.address);
  return result.hostNameConfirmed && result.workgroupConfirmed ? kExitOk : kExitDeviceFailed;
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
  run.ReportWhereNow(address);
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
  CommandInteraction interaction(line, console);
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
    Fail(console, operations::kCheckHardDrives);
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
  return language::RunPayloadsCommand(line.passThrough, console.out, console.err);
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
