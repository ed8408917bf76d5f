// SPDX-License-Identifier: GPL-3.0-or-later
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/secret_prompt.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  corvane::cli::Console console{std::cout, std::cerr, corvane::cli::AskSecretOnTerminal};
  try {
    const int status = corvane::cli::RunCorvane(args, console);
    std::cout.flush();
    return std::cout.fail() ? 1 : status;
  } catch (const std::exception& error) {
    std::cerr << "corvane: " << error.what() << "\n";
    return 1;
  }
}
