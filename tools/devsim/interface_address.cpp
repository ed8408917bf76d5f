// SPDX-License-Identifier: GPL-3.0-or-later
#include "interface_address.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <vector>

extern char** environ;

namespace corvane::devsim {

namespace {

std::string Run(std::vector<std::string> arguments) {
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  int error = posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
  if (error != 0) return "cannot start ip: " + std::string(std::strerror(error));
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return "waitpid: " + std::string(std::strerror(errno));
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return {};
  std::string command;
  for (const std::string& argument : arguments) command += argument + " ";
  return "failed: " + command;
}

}  // namespace

std::string ReplaceInterfaceAddress(const std::string& interface,
                                    const AddressWithPrefix& address) {
  std::string error = Run({"ip", "-4", "addr", "flush", "dev", interface});
  if (!error.empty()) return error;
  std::string cidr = FormatIpv4(address.address) + "/" + std::to_string(address.prefix);
  return Run({"ip", "addr", "add", cidr, "dev", interface});
}

}  // namespace corvane::devsim
