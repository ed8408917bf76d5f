// SPDX-License-Identifier: GPL-3.0-or-later
#include "responder.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <system_error>

#include "interface_address.h"

namespace corvane::devsim {

namespace {

constexpr std::size_t kMaxPending = 4096;

std::int64_t NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Readers never see a half-written file.
void WriteFileAtomically(const std::string& path, const std::string& content) {
  std::string temporary = path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::trunc);
    out << content;
    if (!out) {
      std::cerr << "devsim: cannot write " << temporary << "\n";
      return;
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::cerr << "devsim: cannot rename " << temporary << ": " << std::strerror(errno) << "\n";
  }
}

std::string Hex(const std::vector<std::uint8_t>& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (std::uint8_t byte : bytes) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0f];
  }
  return text;
}

sigset_t HandledSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (int signal : {SIGUSR1, SIGUSR2, SIGTERM, SIGINT, SIGHUP}) sigaddset(&set, signal);
  return set;
}

}  // namespace

Responder::Responder(DeviceConfig config, ResponderFiles files)
    : logic_(std::move(config)), files_(std::move(files)) {
  sigset_t set = HandledSignals();
  if (sigprocmask(SIG_BLOCK, &set, nullptr) != 0) {
    throw std::system_error(errno, std::generic_category(), "sigprocmask");
  }
  signalFd_ = signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
  if (signalFd_ < 0) throw std::system_error(errno, std::generic_category(), "signalfd");
  if (!files_.log.empty()) {
    logFd_ = open(files_.log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (logFd_ < 0) {
      throw std::system_error(errno, std::generic_category(), "cannot open " + files_.log);
    }
  }
}

Responder::~Responder() {
  if (logFd_ >= 0) close(logFd_);
  if (signalFd_ >= 0) close(signalFd_);
}

void Responder::OpenLegs() {
  for (const LegState& leg : logic_.State().legs) legs_.emplace_back(leg.interface);
}

int Responder::Run() {
  OpenLegs();
  WriteState();
  WriteReady();
  std::vector<pollfd> fds(legs_.size() + 1);
  for (std::size_t i = 0; i < legs_.size(); ++i) fds[i] = {legs_[i].Fd(), POLLIN, 0};
  fds.back() = {signalFd_, POLLIN, 0};
  for (;;) {
    int ready = poll(fds.data(), fds.size(), PollTimeoutMs(NowMs()));
    if (ready < 0 && errno != EINTR) {
      std::perror("devsim: poll");
      return 1;
    }
    if (fds.back().revents != 0 && !HandleSignals()) return 0;
    for (std::size_t i = 0; i < legs_.size(); ++i) {
      if (fds[i].revents != 0) ReceiveAll(i);
    }
    ProcessDue(NowMs());
  }
}

bool Responder::HandleSignals() {
  signalfd_siginfo info{};
  while (read(signalFd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
    switch (info.ssi_signo) {
      case SIGUSR1:
      case SIGUSR2:
        if (logic_.SetSilent(info.ssi_signo == SIGUSR1)) WriteState();
        break;
      case SIGHUP:
        Reset();
        break;
      default:
        return false;
    }
  }
  return true;
}

void Responder::Reset() {
  // Requests that arrived before the reset must not change the device after it.
  pending_.clear();
  for (const AddressChange& move : logic_.Reset()) {
    std::string error = ReplaceInterfaceAddress(legs_[move.leg].Interface(), move.address);
    if (!error.empty()) std::cerr << "devsim " << logic_.Config().id << ": " << error << "\n";
  }
  WriteState();
}

void Responder::ReceiveAll(std::size_t leg) {
  Pending pending;
  while (legs_[leg].Receive(pending.datagram)) {
    pending.leg = leg;
    pending.receivedMs = NowMs();
    LogDatagram(leg, pending.datagram.bytes);
    // A flood at a slow device must not grow without bound; what is dropped is still logged.
    if (pending_.size() >= kMaxPending) continue;
    pending_.push_back(std::move(pending));
    pending = Pending{};
  }
}

int Responder::PollTimeoutMs(std::int64_t nowMs) const {
  if (pending_.empty()) return -1;
  std::int64_t due = pending_.front().receivedMs + logic_.Config().replyDelayMs;
  return static_cast<int>(std::max<std::int64_t>(0, due - nowMs));
}

void Responder::ProcessDue(std::int64_t nowMs) {
  // One delay for every datagram, so arrival order is also due order.
  while (!pending_.empty() && pending_.front().receivedMs + logic_.Config().replyDelayMs <= nowMs) {
    Process(pending_.front());
    pending_.pop_front();
  }
}

void Responder::Process(const Pending& pending) {
  Outcome outcome = logic_.Handle(pending.datagram.bytes, pending.leg, pending.receivedMs);
  if (outcome.addressChange) {
    const AddressChange& change = *outcome.addressChange;
    std::string error = ReplaceInterfaceAddress(legs_[change.leg].Interface(), change.address);
    if (!error.empty()) std::cerr << "devsim " << logic_.Config().id << ": " << error << "\n";
  }
  if (outcome.stateChanged) WriteState();
  if (!outcome.reply.empty()) SendReply(pending, outcome.reply);
}

void Responder::SendReply(const Pending& pending, const std::vector<std::uint8_t>& reply) {
  LegSocket& leg = legs_[pending.leg];
  ReplyMode mode = logic_.Config().replyMode;
  if (mode != ReplyMode::kUnicast && !leg.SendMulticast(reply)) {
    std::cerr << "devsim " << logic_.Config().id << ": multicast reply on " << leg.Interface()
              << ": " << std::strerror(errno) << "\n";
  }
  if (mode != ReplyMode::kMulticast && !leg.SendUnicast(reply, pending.datagram.sender.sin_addr)) {
    char sender[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &pending.datagram.sender.sin_addr, sender, sizeof sender);
    std::cerr << "devsim " << logic_.Config().id << ": unicast reply to " << sender << ": "
              << std::strerror(errno) << "\n";
  }
}

void Responder::LogDatagram(std::size_t leg, const std::vector<std::uint8_t>& bytes) {
  if (logFd_ < 0) return;
  std::string line = legs_[leg].Interface() + " " + Hex(bytes) + "\n";
  // One write per line: readers polling the file never see a partial line of ours.
  if (write(logFd_, line.data(), line.size()) != static_cast<ssize_t>(line.size())) {
    std::perror("devsim: log");
  }
}

void Responder::WriteState() {
  if (files_.state.empty()) return;
  WriteFileAtomically(files_.state, StateToJson(logic_.Config(), logic_.State()).dump(2) + "\n");
}

void Responder::WriteReady() {
  if (files_.ready.empty()) return;
  WriteFileAtomically(files_.ready, std::to_string(getpid()) + "\n");
}

}  // namespace corvane::devsim
