// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "device_logic.h"
#include "leg_socket.h"

namespace corvane::devsim {

struct ResponderFiles {
  std::string log;    // one line per received datagram
  std::string state;  // JSON, rewritten after every change
  std::string ready;  // written once every leg listens; holds the pid
};

// Runs one device on the real network: every leg listens, every datagram is logged, requests
// are handed to DeviceLogic after the configured delay and its replies are sent as the config
// says. SIGUSR1 silences the device, SIGUSR2 lets it answer again, SIGHUP brings it back to its
// configured state, SIGTERM/SIGINT end it.
class Responder {
 public:
  Responder(DeviceConfig config, ResponderFiles files);
  ~Responder();
  Responder(const Responder&) = delete;
  Responder& operator=(const Responder&) = delete;

  int Run();  // process exit status

 private:
  struct Pending {
    std::size_t leg = 0;
    LegSocket::Datagram datagram;
    std::int64_t receivedMs = 0;
  };

  void OpenLegs();
  bool HandleSignals();  // false when the device must stop
  void Reset();
  void ReceiveAll(std::size_t leg);
  void ProcessDue(std::int64_t nowMs);
  void Process(const Pending& pending);
  void SendReply(const Pending& pending, const std::vector<std::uint8_t>& reply);
  void LogDatagram(std::size_t leg, const std::vector<std::uint8_t>& bytes);
  void WriteState();
  void WriteReady();
  int PollTimeoutMs(std::int64_t nowMs) const;

  DeviceLogic logic_;
  ResponderFiles files_;
  std::vector<LegSocket> legs_;
  std::deque<Pending> pending_;
  int logFd_ = -1;
  int signalFd_ = -1;
};

}  // namespace corvane::devsim
