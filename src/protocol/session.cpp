// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/session.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "protocol/client_id.h"
#include "protocol/exchange.h"
#include "protocol/udp_transport.h"

namespace corvane::protocol {
namespace {

void WriteToStdout(std::string_view line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
}

// The sockets, with the idle handler run after every poll and every slice of a pause, so a
// window waiting on the protocol can still repaint.
class SocketIo : public ExchangeIo {
 public:
  SocketIo(UdpTransport& transport, const std::function<void()>& idle)
      : transport_(transport), idle_(idle) {}

  void Send(int interfaceIndex, std::span<const std::uint8_t> bytes) override {
    transport_.Send(interfaceIndex, bytes);
  }

  PollOutcome Poll(int interfaceIndex, ReceiveBuffer& buffer) override {
    const PollOutcome outcome = transport_.Poll(interfaceIndex, buffer);
    Idle();
    return outcome;
  }

  // Measured against a deadline, so the time the idle handler takes (a window repainting) does
  // not stretch the protocol's pauses.
  void Sleep(std::chrono::milliseconds duration) override {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + duration;
    for (Clock::time_point now = Clock::now(); now < deadline; now = Clock::now()) {
      std::this_thread::sleep_for(std::min<Clock::duration>(deadline - now, kIdleSlice));
      Idle();
    }
  }

 private:
  void Idle() {
    if (idle_) idle_();
  }

  UdpTransport& transport_;
  const std::function<void()>& idle_;
};

}  // namespace

struct Session::Impl {
  UdpTransport transport;
  std::vector<TransportProblem> problems;
  std::function<void()> idle;
  std::function<void(std::string_view)> trace = WriteToStdout;
  SocketIo sockets{transport, idle};
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
        "", "", 0, "No network interface with an IPv4 address is up; no device can be found."});
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

void Session::SetIdleHandler(std::function<void()> handler) {
  impl_->idle = std::move(handler);
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
