// SPDX-License-Identifier: GPL-3.0-or-later
// devsim: one simulated storage device on the lab network.
#include <exception>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "device_config.h"
#include "responder.h"

namespace {

constexpr char kUsage[] =
    "usage: devsim --config LAB.json --device ID [--log FILE] [--state FILE] [--ready FILE]\n"
    "Plays device ID of the lab config on the legs of the current network namespace.\n"
    "SIGUSR1 makes it silent, SIGUSR2 lets it answer again, SIGHUP brings it back to its\n"
    "configured state.\n";

struct Arguments {
  std::string config;
  std::string device;
  corvane::devsim::ResponderFiles files;
};

bool ParseArguments(int argc, char** argv, Arguments& arguments) {
  for (int i = 1; i < argc; ++i) {
    std::string_view option = argv[i];
    if (i + 1 >= argc) return false;
    std::string value = argv[++i];
    if (option == "--config") {
      arguments.config = value;
    } else if (option == "--device") {
      arguments.device = value;
    } else if (option == "--log") {
      arguments.files.log = value;
    } else if (option == "--state") {
      arguments.files.state = value;
    } else if (option == "--ready") {
      arguments.files.ready = value;
    } else {
      return false;
    }
  }
  return !arguments.config.empty() && !arguments.device.empty();
}

}  // namespace

int main(int argc, char** argv) {
  Arguments arguments;
  if (!ParseArguments(argc, argv, arguments)) {
    std::cerr << kUsage;
    return 2;
  }
  try {
    std::ifstream in(arguments.config);
    if (!in) throw std::runtime_error("cannot read " + arguments.config);
    nlohmann::json lab = nlohmann::json::parse(in);
    auto config = corvane::devsim::FindDeviceConfig(lab, arguments.device);
    corvane::devsim::Responder responder(std::move(config), arguments.files);
    return responder.Run();
  } catch (const std::exception& error) {
    std::cerr << "devsim " << arguments.device << ": " << error.what() << "\n";
    return 1;
  }
}
