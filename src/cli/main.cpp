// SPDX-License-Identifier: GPL-3.0-or-later
#include <unistd.h>

#include <iostream>

#include "cli/commands.h"
#include "cli/secret_prompt.h"
#include "platform/translation.h"

int main(int argc, char** argv) {
  corvane::platform::StartTranslation(CORVANE_BUILD_CATALOGUES);
  corvane::cli::Console console{std::cout, std::cerr, corvane::cli::AskSecretOnTerminal, &std::cin};
  console.outIsTerminal = isatty(STDOUT_FILENO) == 1;
  return corvane::cli::RunProcess(argc, argv, console);
}
