// SPDX-License-Identifier: GPL-3.0-or-later
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <iostream>

#include "cli/secret_prompt.h"

namespace corvane::cli {

namespace {

// Restored by the interrupt handler too, so Ctrl-C at the prompt leaves a terminal that echoes.
termios savedTerminal{};
volatile std::sig_atomic_t echoIsOff = 0;

extern "C" void RestoreEchoAndDie(int signalNumber) {
  if (echoIsOff != 0) tcsetattr(STDIN_FILENO, TCSANOW, &savedTerminal);
  std::signal(signalNumber, SIG_DFL);
  std::raise(signalNumber);
}

class EchoOff {
 public:
  EchoOff() {
    if (tcgetattr(STDIN_FILENO, &savedTerminal) != 0) return;
    termios quiet = savedTerminal;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    quiet.c_lflag |= ECHONL;
    previousInterrupt_ = std::signal(SIGINT, RestoreEchoAndDie);
    previousTerminate_ = std::signal(SIGTERM, RestoreEchoAndDie);
    echoIsOff = tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0 ? 1 : 0;
  }
  ~EchoOff() {
    if (echoIsOff != 0) tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
    echoIsOff = 0;
    if (previousInterrupt_ != SIG_ERR) std::signal(SIGINT, previousInterrupt_);
    if (previousTerminate_ != SIG_ERR) std::signal(SIGTERM, previousTerminate_);
  }
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;

 private:
  void (*previousInterrupt_)(int) = SIG_ERR;
  void (*previousTerminate_)(int) = SIG_ERR;
};

}  // namespace

std::optional<std::string> AskSecretOnTerminal(std::string_view prompt) {
  if (isatty(STDIN_FILENO) == 0) return std::nullopt;
  std::cerr << prompt << std::flush;
  std::string secret;
  {
    const EchoOff echoOff;
    if (!std::getline(std::cin, secret)) return std::nullopt;
  }
  if (!secret.empty() && secret.back() == '\r') secret.pop_back();
  return secret;
}

}  // namespace corvane::cli
