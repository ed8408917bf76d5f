// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Access to the running virtual network from inside a lab test: device logs, lab commands and
// datagrams sent from a device's namespace.

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::lab {

using Bytes = std::vector<std::uint8_t>;

std::string Hex(const Bytes& bytes);

// The environment variable's value, or "" when it is not set.
std::string Environment(const char* name);

struct LoggedDatagram {
  std::string leg;  // the device's interface it arrived on
  std::string hex;
};

// Every datagram the device has received so far.
std::vector<LoggedDatagram> DeviceLog(std::string_view deviceId);

// Runs tools/lab/lab.sh with the lab's name before ARGS; returns its exit status.
int LabCommand(const std::vector<std::string>& args);

// Sends one UDP datagram from the device's namespace to DESTINATION:13579.
bool SendFromDevice(std::string_view deviceId, std::string_view destination, const Bytes& bytes);

// Start ARGV (on the PC, or in the device's namespace) and return at once with its pid, for
// StopProcess.
pid_t StartProcess(const std::vector<std::string>& argv);
pid_t StartInDevice(std::string_view deviceId, const std::vector<std::string>& argv);
void StopProcess(pid_t pid);

// The device's current state file, as text.
std::string DeviceState(std::string_view deviceId);

// Every device back to its configured state (lab.sh reset): what a test fixture's tear-down
// calls, so that a test that changed a device and then failed leaves nothing behind for the
// tests after it. True when every device confirmed.
bool ResetDevices();

}  // namespace corvane::lab
