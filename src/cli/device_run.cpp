// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/device_run.h"

#include <algorithm>

#include "cli/output_format.h"
#include "platform/translation.h"

namespace corvane::cli {

namespace {

using operations::CredentialsAnswer;
using operations::Whereabouts;
using platform::Fill;
using platform::Tr;

// The device's answer to a password check, for the steps of --verbose.
std::string_view AnswerText(CredentialsAnswer answer) {
  switch (answer) {
    case CredentialsAnswer::kAccepted:
      return Tr(NC_("password check answer", "accepted"));
    case CredentialsAnswer::kRefused:
      return Tr(NC_("password check answer", "refused"));
    case CredentialsAnswer::kNoAnswer:
      break;
  }
  return Tr(NC_("password check answer", "no answer"));
}

// The step of --verbose for the password given, by where it came from; the option names stay.
std::string_view GivenPasswordStep(PasswordSource source) {
  switch (source) {
    case PasswordSource::kOption:
      // TRANSLATORS: a step of --verbose; %s is the answer: accepted, refused or no answer.
      return Tr("password check with the password from --password: %s");
    case PasswordSource::kFile:
      // TRANSLATORS: a step of --verbose; %s is the answer: accepted, refused or no answer.
      return Tr("password check with the password from --password-file: %s");
    case PasswordSource::kStandardInput:
      // TRANSLATORS: a step of --verbose; %s is the answer: accepted, refused or no answer.
      return Tr("password check with the password from standard input: %s");
    case PasswordSource::kTerminal:
      // TRANSLATORS: a step of --verbose; %s is the answer: accepted, refused or no answer.
      return Tr("password check with the password from the terminal: %s");
    case PasswordSource::kNone:
      break;
  }
  // TRANSLATORS: a step of --verbose; %s is the answer: accepted, refused or no answer.
  return Tr("password check with the password from the default password: %s");
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
    if (session_.TransportProblems().empty()) Fail(console_, Tr("no usable network interface"));
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
    Fail(console_, Tr("no device answered; UDP port 13579 must be open for inbound traffic in the "
                      "local firewall"));
  }
}

std::optional<int> DeviceRun::SearchAndSelect(const std::string& address) {
  if (!Open()) return kExitDeviceFailed;
  Search();
  const protocol::DeviceRecord* found = session_.DeviceTable.FindDeviceByAddress(address);
  if (found == nullptr) {
    if (session_.DeviceTable.count() > 0) {
      Fail(console_, Fill(Tr("no device answered at %s"), {address}));
    }
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
  // TRANSLATORS: %1$s is the device's address, %2$s its netmask, %3$s the address of the
  // local interface it answered on.
  Fail(console_, Fill(Tr("the device at %1$s (netmask %2$s) is outside the local subnet of the "
                         "interface it answered on (%3$s): only its LAN settings can be changed "
                         "from here"),
                      {view.address, view.netmask, view.interfaceAddress}));
  return kExitDeviceFailed;
}

Whereabouts DeviceRun::ReportWhereNow(const operations::DeviceIdentity& device,
                                      const std::string& address) {
  session_.SearchDevices(protocol::kSearchFilter, protocol::kSearchFilter);
  const operations::DeviceAtAddress found = operations::LocateDevice(session_, device, address);
  switch (found.where) {
    case Whereabouts::kNoAnswer:
      Fail(console_,
           Fill(Tr("the device does not answer a new search at %s yet; search again in a moment"),
                {address}));
      break;
    case Whereabouts::kOtherDeviceAnswers:
      // TRANSLATORS: %1$s is the other device's name, %2$s the address.
      Fail(console_, Fill(Tr("another device (%1$s) answers at %2$s, not the one that was changed"),
                          {found.record->name.view(), address}));
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
  // TRANSLATORS: a step of --verbose; %s is the answer: accepted, refused or no answer.
  Trace(Fill(Tr("password check with the default password: %s"), {AnswerText(proof.defaultPair)}));
  if (proof.givenPair) Trace(Fill(GivenPasswordStep(source), {AnswerText(*proof.givenPair)}));
  if (!proof.Accepted()) return;
  Trace(std::string(result.confirmed ? Tr("set request: confirmed")
                                     : Tr("set request: not confirmed")));
}

void DeviceRun::Trace(const std::string& line) {
  console_.err << TerminalLine(line) << std::flush;
}

void DeviceRun::PrintAnswersAt(const operations::DeviceView& view) {
  const std::string_view dhcp =
      Tr(view.dhcp ? NC_("DHCP client", "Enabled") : NC_("DHCP client", "Disabled"));
  // TRANSLATORS: %1$s is the device's name, %2$s its address, %3$s its netmask, %4$s its
  // gateway, %5$s whether it is a DHCP client (Enabled or Disabled).
  console_.out << Fill(Tr("%1$s now answers at %2$s (netmask %3$s, gateway %4$s, DHCP %5$s)"),
                       {TerminalSafe(view.name), view.address, TerminalSafe(view.netmask),
                        TerminalSafe(view.gateway), dhcp})
               << "\n";
}

}  // namespace corvane::cli
