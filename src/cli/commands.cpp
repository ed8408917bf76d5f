// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/commands.h"

#include <chrono>
#include <thread>

#include "cli/command_line.h"
#include "cli/device_view.h"
#include "cli/input_checks.h"
#include "cli/output_format.h"
#include "language/payloads_command.h"
#include "protocol/credentials.h"
#include "protocol/session.h"
#include "protocol/validation.h"

namespace corvane::cli {

namespace {

using protocol::Session;

// A device applies a new host name or workgroup a moment after it confirms it.
constexpr std::chrono::milliseconds kNameSettleTime{1000};

void Fail(Console& console, std::string_view message) {
  console.err << "corvane: " << OneLine(message) << "\n";
}

DeviceView ViewOf(const protocol::DeviceRecord& record, const Session& session) {
  DeviceView view;
  view.name = record.name.str();
  view.address = record.address.str();
  view.netmask = record.netmask.str();
  view.gateway = record.gateway.str();
  view.dhcp = record.dhcpFlag == "1";
  const int index = record.interfaceIndex;
  if (index >= 0 && index < session.InterfaceCount && index < protocol::kMaxInterfaces) {
    const protocol::InterfaceEntry& entry = session.InterfaceTable[static_cast<std::size_t>(index)];
    view.interfaceAddress = entry.address.str();
    view.interfaceName = entry.name;
  }
  return view;
}

std::vector<DeviceView> ViewsOf(const Session& session) {
  std::vector<DeviceView> views;
  for (const protocol::DeviceRecord& record : session.DeviceTable) {
    views.push_back(ViewOf(record, session));
  }
  return views;
}

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
    const auto problems = static_cast<int>(session_.TransportProblems().size());
    // When every interface is already reported unusable, the firewall is not the question.
    if (session_.DeviceTable.count() == 0 && problems < session_.InterfaceCount) {
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
    const DeviceView view = ViewOf(*record, session_);
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
  const std::vector<DeviceView> views = ViewsOf(run.session());
  console.out << (line.json ? FormatDevicesJson(views) : FormatDeviceTable(views));
  return kExitOk;
}

int RunInfo(const CommandLine& line, Console& console) {
  DeviceRun run(line, console);
  if (const auto status = run.SearchAndSelect(line.address)) return *status;
  Session& session = run.session();
  DeviceDetails details;
  details.device = ViewOf(*session.DeviceTable.FindDeviceByAddress(line.address), session);
  session.WorkgroupText.Clear();
  const int workgroupRead = session.ReadWorkgroup();
  const int sharesRead = session.ReadShareList();
  details.workgroup = session.WorkgroupText.str();
  for (const protocol::ShareEntry& share : session.ShareList)
    details.shares.push_back(share.name.str());
  console.out << (line.json ? FormatDetailsJson(details) : FormatDetailsText(details));
  if (workgroupRead == 0) Fail(console, "the device did not answer the workgroup request");
  if (sharesRead == 0) Fail(console, "the device did not answer the share list request");
  return workgroupRead != 0 && sharesRead != 0 ? kExitOk : kExitDeviceFailed;
}

// The default pair first, then the given password or one asked for on the terminal.
// kExitOk when the device accepted.
int ProveAdministrator(const CommandLine& line, Console& console, Session& session) {
  std::optional<std::string> passwordRefusal;
  const auto ask = [&]() {
    std::optional<std::string> password = line.password;
    if (!password && console.askSecret) {
      password = console.askSecret("Administrator password for " + line.address + ": ");
    }
    if (!password) return;
    passwordRefusal = CheckPassword(*password);
    if (passwordRefusal) return;
    session.LoginUserName.Set(protocol::kDefaultAdminUser);
    session.LoginPassword.Set(*password);
  };
  if (protocol::ProveCredentials(session, ask)) return kExitOk;
  if (passwordRefusal) {
    Fail(console, *passwordRefusal);
    return kExitUsage;
  }
  Fail(console, validation::kWrongAdminPassword);
  return kExitDeviceFailed;
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

// The start of every LAN change: find and select the device, then prove the administrator
// password to it. The exit status when that fails.
std::optional<int> SelectAndProve(const CommandLine& line, Console& console, DeviceRun& run) {
  if (const auto status = run.SearchAndSelect(line.address)) return status;
  if (const int status = ProveAdministrator(line, console, run.session()); status != kExitOk) {
    return status;
  }
  return std::nullopt;
}

int RunSetDhcp(const CommandLine& line, Console& console) {
  if (const auto status = RefuseGivenPassword(line, console)) return *status;
  DeviceRun run(line, console);
  if (const auto status = SelectAndProve(line, console, run)) return *status;
  Session& session = run.session();
  if (session.SetDhcp() == 0) {
    Fail(console, validation::kDhcpFail);
    return kExitDeviceFailed;
  }
  console.out << validation::kDhcpDone << "\n";
  run.ReportWhereNow(session.SelectedAddress.str());
  return kExitOk;
}

int RunSetStatic(const CommandLine& line, Console& console) {
  const StaticCheck check = CheckStaticSettings(line.ip, line.netmask, line.gateway);
  if (!check.settings) {
    Fail(console, check.error);
    return kExitUsage;
  }
  if (const auto status = RefuseGivenPassword(line, console)) return *status;
  DeviceRun run(line, console);
  if (const auto status = SelectAndProve(line, console, run)) return *status;
  Session& session = run.session();
  session.NewAddress.Set(check.settings->address);
  session.NewNetmask.Set(check.settings->netmask);
  session.NewGateway.Set(check.settings->gateway);
  const bool confirmed = session.SetAddress() != 0;
  if (!confirmed) {
    // The device may have moved and lost the reply: the new search tells.
    Fail(console, "the device did not confirm the new address " + check.settings->address);
  }
  run.ReportWhereNow(check.settings->address);
  if (confirmed) return kExitOk;
  return session.DeviceTable.FindDeviceByAddress(check.settings->address) != nullptr
             ? kExitOk
             : kExitDeviceFailed;
}

int RunSetNames(const CommandLine& line, Console& console) {
  // Both names are checked before either is sent, so a refused workgroup cannot leave a
  // half-applied change behind.
  if (const std::optional<std::string> refusal = CheckNames(line.hostName, line.workgroup)) {
    Fail(console, *refusal);
    return kExitUsage;
  }
  DeviceRun run(line, console);
  if (const auto status = run.SearchAndSelect(line.address)) return *status;
  Session& session = run.session();
  // Both go out whatever the first answer: a lost reply does not mean the device ignored it.
  session.HostNameText.Set(*line.hostName);
  const bool hostNameConfirmed = session.SetHostName() != 0;
  session.WorkgroupText.Set(*line.workgroup);
  const bool workgroupConfirmed = session.SetWorkgroup() != 0;
  if (!hostNameConfirmed) Fail(console, "the device did not confirm the host name change");
  if (!workgroupConfirmed) Fail(console, "the device did not confirm the workgroup change");
  console.out << "Host name and workgroup sent.\n";
  std::this_thread::sleep_for(kNameSettleTime);
  run.ReportWhereNow(line.address);
  return hostNameConfirmed && workgroupConfirmed ? kExitOk : kExitDeviceFailed;
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

}  // namespace corvane::cli
