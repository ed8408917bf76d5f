// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/session.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <set>

#include "platform/translation.h"
#include "platform/udp_port_listeners.h"
#include "protocol/client_id.h"
#include "protocol/exchange.h"
#include "protocol/socket_exchange_io.h"
#include "protocol/udp_transport.h"

namespace corvane::protocol {
namespace {

void WriteToStdout(std::string_view line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
}

// "name, pid N" of each process the system names, once each; the number of listeners besides.
std::string NameListeners(const std::vector<platform::PortListener>& listeners, int& count) {
  std::string names;
  std::set<int> named;
  bool hidden = false;
  for (const platform::PortListener& listener : listeners) {
    hidden |= listener.pid == 0;
    if (listener.pid == 0 || !named.insert(listener.pid).second) continue;
    if (!names.empty()) names += "; ";
    names += (listener.program.empty() ? "" : listener.program + ", ") + "pid " +
             std::to_string(listener.pid);
  }
  count = static_cast<int>(named.size()) + (hidden ? 1 : 0);
  return names;
}

// Devices that answer straight to this computer's address reach only one of the sockets on the
// port, so each program listening there may miss some of them.
TransportProblem DescribeOtherListeners(const std::vector<platform::PortListener>& listeners) {
  int count = 0;
  const std::string names = NameListeners(listeners, count);
  TransportProblem problem;
  problem.error = EADDRINUSE;
  problem.message = platform::Fill(
      // TRANSLATORS: %1$d is the port number; %2$s is empty or " (names of the programs)".
      platform::TrN("Another program also listens on UDP port %1$d%2$s: devices that answer "
                    "straight to this computer's address reach only one of the listeners, so "
                    "some devices may be missing from the list.",
                    "Other programs also listen on UDP port %1$d%2$s: devices that answer "
                    "straight to this computer's address reach only one of the listeners, so "
                    "some devices may be missing from the list.",
                    static_cast<unsigned long>(count)),
      {std::to_string(kDevicePort), names.empty() ? "" : " (" + names + ")"});
  return problem;
}

}  // namespace

struct Session::Impl {
  UdpTransport transport;
  std::vector<TransportProblem> problems;
  std::function<void(std::string_view)> trace = WriteToStdout;
  SocketExchangeIo sockets{transport};
  ExchangeIo* io = &sockets;  // the sockets, or what a test put in their place
};

Session::Session() : impl_(std::make_unique<Impl>()) {}

Session::Session(ExchangeIo& io) : impl_(std::make_unique<Impl>()) {
  impl_->io = &io;
}

Session::~Session() {
  CloseTransport();
}

void Session::OpenTransport() {
  OpenTransport(platform::ListLocalInterfaces());
}

void Session::OpenTransport(const std::vector<platform::LocalInterface>& interfaces) {
  CloseTransport();
  // Records name their interface by its place in the table, which a new table may change.
  DeviceTable.ClearDeviceTable();
  const std::size_t count = std::min(interfaces.size(), static_cast<std::size_t>(kMaxInterfaces));
  const std::vector<platform::LocalInterface> used(interfaces.begin(), interfaces.begin() + count);
  for (std::size_t i = 0; i < used.size(); ++i) {
    InterfaceTable[i].address.Set(used[i].address);
    InterfaceTable[i].systemIndex = used[i].index;
    InterfaceTable[i].name = used[i].name;
  }
  InterfaceCount = static_cast<int>(used.size());
  ClientId = DrawClientId();
  impl_->problems = impl_->transport.Open(used);
  if (used.empty()) {
    impl_->problems.push_back(TransportProblem{
        "", "", 0,
        std::string(platform::Tr(
            "No network interface with an IPv4 address is up; no device can be found."))});
  } else if (impl_->problems.size() < used.size()) {  // some interface listens
    const std::vector<platform::PortListener> others = platform::OtherUdpListeners(kDevicePort);
    if (!others.empty()) impl_->problems.push_back(DescribeOtherListeners(others));
  }
}

void Session::CloseTransport() {
  impl_->transport.Close();
  impl_->problems.clear();
  InterfaceTable = {};
  InterfaceCount = 0;
}

bool Session::IsTransportOpen() const {
  return impl_->transport.IsOpen();
}

const std::vector<TransportProblem>& Session::TransportProblems() const {
  return impl_->problems;
}

void Session::SearchDevices(int firstFilter, int secondFilter) {
  RunSearch(*impl_->io, InterfaceCount, ClientId, firstFilter, secondFilter, DeviceTable);
}

void Session::SetTraceSink(std::function<void(std::string_view)> sink) {
  impl_->trace = std::move(sink);
}

ExchangeIo& Session::RequestIo() {
  return *impl_->io;
}

void Session::TraceLine(std::string_view line) const {
  if (impl_->trace) impl_->trace(line);
}

}  // namespace corvane::protocol
