// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Runs a corvane command in-process: in-memory output, and a scripted terminal that gives the
// queued answers to password prompts (and no answer once they are used up).

#include <deque>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace corvane::cli::testing {

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
  std::vector<std::string> prompts;  // what the user was asked
};

inline CliRun RunInProcess(const std::vector<std::string>& args,
                           std::deque<std::optional<std::string>> answers = {}) {
  std::ostringstream out;
  std::ostringstream err;
  CliRun run;
  Console console{out, err, [&](std::string_view prompt) -> std::optional<std::string> {
                    run.prompts.emplace_back(prompt);
                    if (answers.empty()) return std::nullopt;
                    std::optional<std::string> answer = answers.front();
                    answers.pop_front();
                    return answer;
                  }};
  run.status = RunCorvane(args, console);
  run.out = out.str();
  run.err = err.str();
  return run;
}

inline std::string Describe(const CliRun& run) {
  return "status " + std::to_string(run.status) + "\nstdout:\n" + run.out + "stderr:\n" + run.err;
}

}  // namespace corvane::cli::testing
