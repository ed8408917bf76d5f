// SPDX-License-Identifier: GPL-3.0-or-later
// Windows hands the command line over as UTF-16: it becomes UTF-8 here, as every text inside is,
// and the console is told to show UTF-8.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/secret_prompt.h"
#include "platform/translation.h"
#include "platform/wide_text_win.h"

int wmain(int argc, wchar_t** argv) {
  ::SetConsoleOutputCP(CP_UTF8);
  ::SetConsoleCP(CP_UTF8);
  // The same bytes as on Linux, line ends included: scripts read both alike.
  ::_setmode(_fileno(stdout), _O_BINARY);
  ::_setmode(_fileno(stderr), _O_BINARY);
  std::vector<std::string> arguments;
  arguments.reserve(static_cast<std::size_t>(argc));
  for (int k = 0; k < argc; ++k) arguments.push_back(corvane::platform::Utf8(argv[k]));
  std::vector<char*> pointers;
  for (std::string& argument : arguments) pointers.push_back(argument.data());
  pointers.push_back(nullptr);

  corvane::platform::StartTranslation(CORVANE_BUILD_CATALOGUES);
  corvane::cli::Console console{std::cout, std::cerr, corvane::cli::AskSecretOnTerminal, &std::cin};
  console.outIsTerminal = ::_isatty(_fileno(stdout)) != 0;
  return corvane::cli::RunProcess(argc, pointers.data(), console);
}
