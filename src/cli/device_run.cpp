// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/device_run.h"

#include <algorithm>

#include "cli/output_format.h"

namespace corvane::cli {

namespace {

using operations::CredentialsAnswer;
using operations::Whereabouts;

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

}  // namespace

DeviceRun::DeviceRun(const CommandLine& line, Console& console)
    : console_(console), verbose_(line.verbose) {
  std::ostream& err = console.err;
  if (verbose_) {
    session_.SetTraceSink(
        [&err](std::string_view text) { err << TerminalLine(text) << std::flush; });
  } else {
    session_.SetTraceSink([](std::string_view) {});
  }
}

bool DeviceRun::Open() {
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

void DeviceRun::Search() {
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

std::optional<int> DeviceRun::SearchAndSelect(const std::string& address) {
  if (!Open()) return kExitDeviceFailed;
  Search();
  const protocol::DeviceRecord* found = session_.DeviceTable.FindDeviceByAddress(address);
  if (found == nullptr) {
    if (session_.DeviceTable.count() > 0) Fail(console_, "no device answered at " + address);
    return kExitNotFound;
  }
  address_ = address;
  selected_ = operations::IdentityOf(*found);
  session_.SelectedAddress.Set(address);
  return std::nullopt;
}

std::optional<int> DeviceRun::RefuseOutsideSubnet() {
  const protocol::DeviceRecord& device = record();
  if (operations::InLocalSubnet(session_, device)) return std::nullopt;
  const operations::DeviceView view = operations::ViewOf(device, session_);
  Fail(console_, "the device at " + view.address + " (netmask " + view.netmask +
                     ") is outside the local subnet of the interface it answered on (" +
                     view.interfaceAddress + "): only its LAN settings can be changed from here");
  return kExitDeviceFailed;
}

Whereabouts DeviceRun::ReportWhereNow(const operations::DeviceIdentity& device,
                                      const std::string& address) {
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

void DeviceRun::TraceSteps(const operations::LanResult& result, PasswordSource source) {
  if (!verbose_) return;
  const operations::CredentialsProof& proof = result.credentials;
  Trace("password check with the default password: " + std::string(AnswerText(proof.defaultPair)));
  if (proof.givenPair) {
    Trace("password check with the password from " + std::string(DescribeSource(source)) + ": " +
          std::string(AnswerText(*proof.givenPair)));
  }
  if (!proof.Accepted()) return;
  Trace(std::string("set request: ") + (result.confirmed ? "confirmed" : "not confirmed"));
}

void DeviceRun::Trace(const std::string& line) {
  console_.err << TerminalLine(line) << std::flush;
}

void DeviceRun::PrintAnswersAt(const operations::DeviceView& view) {
  console_.out << TerminalSafe(view.name) << " now answers at " << view.address << " (netmask "
               << TerminalSafe(view.netmask) << ", gateway " << TerminalSafe(view.gateway)
               << ", DHCP " << (view.dhcp ? "Enabled" : "Disabled") << ")\n";
}

}  // namespace corvane::cli
