// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/commands.h"

#include <algorithm>
#include <exception>
#include <thread>

#include "cli/command_line.h"
#include "cli/input_checks.h"
#include "cli/output_format.h"
#include "cli/password_input.h"
#include "language/payloads_command.h"
#include "operations/credentials.h"
#include "operations/device_view.h"
#include "operations/lan_settings.h"
#include "operations/names.h"
#include "protocol/session.h"
#include "protocol/validation.h"

namespace corvane::cli {

namespace {

using operations::CredentialsAnswer;
using operations::DeviceIdentity;
using operations::Whereabouts;
using protocol::Session;

void Fail(Console& console, std::string_view message) {
  console.err << "corvane: " << TerminalSafe(OneLine(message)) << "\n";
}

// The command line's side of an operation: the given password or one asked for on the
// terminal, and plain blocking waits.
class CommandInteraction : public operations::Interaction {
 public:
  CommandInteraction(GivenPassword given, std::string address, Console& console)
      : given_(std::move(given)), address_(std::move(address)), console_(console) {}

  // The given password, or one asked for on the terminal; nothing to try without either. One
  // from the terminal that the device cannot take is remembered and not tried.
  bool AskAdministratorCredentials(Session& session) override {
    if (!given_.password && console_.askSecret) {
      given_.password = console_.askSecret("Administrator password for " + address_ + ": ");
      if (given_.password) given_.source = PasswordSource::kTerminal;
    }
    if (!given_.password) return false;
    passwordRefusal_ = CheckPassword(*given_.password);
    if (passwordRefusal_) return false;
    session.LoginUserName.Set(operations::kDefaultAdminUser);
    session.LoginPassword.Set(*given_.password);
    return true;
  }

  void Blocking(const std::function<void()>& exchange) override { exchange(); }

  void Wait(std::chrono::milliseconds duration) override { std::this_thread::sleep_for(duration); }

  PasswordSource source() const { return given_.source; }

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
      Fail(console_, validation::kWrongAdminPassword);
    }
    return kExitDeviceFailed;
  }

 private:
  GivenPassword given_;
  std::string address_;
  Console& console_;
  std::optional<std::string> passwordRefusal_;
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
    if (const std::optional<std::string> refusal = CheckPassword(*reading.given.password)) {
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
