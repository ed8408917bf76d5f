// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/lab_support.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace corvane::lab {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

namespace {

std::string Env(const char* name) {
  std::string value = Environment(name);
  if (value.empty()) throw std::runtime_error(std::string(name) + " is not set: run in the lab");
  return value;
}

std::string DevicePath(std::string_view deviceId, std::string_view suffix) {
  return Env("CORVANE_LAB_DIR") + "/devices/" + std::string(deviceId) + std::string(suffix);
}

int Spawn(const std::vector<std::string>& argv) {
  const pid_t pid = StartProcess(argv);
  if (pid < 0) return -1;
  int status = 0;
  if (::waitpid(pid, &status, 0) < 0) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> LabArguments(const std::vector<std::string>& args) {
  std::vector<std::string> argv = {CORVANE_SOURCE_DIR "/tools/lab/lab.sh", args.at(0),
                                   Env("CORVANE_LAB")};
  argv.insert(argv.end(), args.begin() + 1, args.end());
  return argv;
}

}  // namespace

pid_t StartProcess(const std::vector<std::string>& argv) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  return pid;
}

std::string Hex(const Bytes& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (std::uint8_t b : bytes) {
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
  }
  return text;
}

std::vector<LoggedDatagram> DeviceLog(std::string_view deviceId) {
  std::ifstream file(DevicePath(deviceId, ".log"));
  std::vector<LoggedDatagram> lines;
  LoggedDatagram entry;
  while (file >> entry.leg >> entry.hex) lines.push_back(entry);
  return lines;
}

int LabCommand(const std::vector<std::string>& args) {
  return Spawn(LabArguments(args));
}

// lab.sh execs its way into the command, so the pid is the command's own.
pid_t StartInDevice(std::string_view deviceId, const std::vector<std::string>& argv) {
  std::vector<std::string> args = {"dev", std::string(deviceId), "--"};
  args.insert(args.end(), argv.begin(), argv.end());
  return StartProcess(LabArguments(args));
}

void StopProcess(pid_t pid) {
  if (pid <= 0) return;
  ::kill(pid, SIGTERM);
  ::waitpid(pid, nullptr, 0);
}

bool SendFromDevice(std::string_view deviceId, std::string_view destination, const Bytes& bytes) {
  const char* script =
      "import socket, sys\n"
      "s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)\n"
      "s.sendto(bytes.fromhex(sys.argv[1]), (sys.argv[2], 13579))\n";
  return LabCommand({"dev", std::string(deviceId), "--", "/usr/bin/python3", "-c", script,
                     Hex(bytes), std::string(destination)}) == 0;
}

std::string DeviceState(std::string_view deviceId) {
  std::ifstream file(DevicePath(deviceId, ".state.json"));
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

bool ResetDevices() {
  return LabCommand({"reset"}) == 0;
}

}  // namespace corvane::lab
