// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::cli {

// Where a command writes, and how it asks for a password when none was given: the function
// returns std::nullopt when it cannot ask (no terminal) or the user gave up. in is standard
// input, read only by --password-file -; nullptr reads as empty.
struct Console {
  std::ostream& out;
  std::ostream& err;
  std::function<std::optional<std::string>(std::string_view prompt)> askSecret;
  std::istream* in = nullptr;
  // For waits that show their progress (the restart of set-language): whether `out` is a
  // terminal, which gets a bar redrawn in place, and how to sleep (empty: really sleep).
  bool outIsTerminal = false;
  std::function<void(std::chrono::milliseconds)> sleep = {};
};

// One line on standard error: "corvane: " and the message, made safe for a terminal.
void Fail(Console& console, std::string_view message);

// Runs the command line (args without the program name) and returns the exit status.
int RunCorvane(const std::vector<std::string>& args, Console& console);

// The whole process: the arguments from main(); an exception, or output that could not be
// written, ends with status 1.
int RunProcess(int argc, const char* const* argv, Console& console);

}  // namespace corvane::cli
